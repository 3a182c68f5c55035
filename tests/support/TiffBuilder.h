#pragma once
// Writes TIFF files in the scanner's fixed layout, with every field the tests want to vary.
#include <cstdint>
#include <string>
#include <vector>

namespace orvel::test {

using Bytes = std::vector<unsigned char>;

struct TiffLayout {
  int width = 5, height = 2, bits = 8, photometric = 1, entries = 13, unit = 2;
  std::uint32_t xNumerator = 100, yNumerator = 100;
  Bytes pixels;        // file rows, top first
  int mapColours = 0;  // palette images: colour-map entries (n); the map follows the pixels
  std::string maker = "Voxalon";
  std::uint32_t resolutionOffsetOverride = 0;
};

// The file: header with the maker field, pixels from offset 16, colour map (red ramp, green
// constant 0x80, blue inverse ramp), resolution rationals, then the directory.
Bytes BuildTiff(const TiffLayout& layout);

}  // namespace orvel::test
