#pragma once
// Writes BMP files with every field the tests want to vary: the 40-byte header scanners write, the
// longer headers of other programs, bit-field masks, run-length data.
#include <cstdint>
#include <vector>

#include "support/TiffBuilder.h"  // Bytes

namespace orvel::test {

struct BmpLayout {
  int width = 4, height = 2, bits = 8, colours = 256, compression = 0;
  int xPels = 3780, yPels = 3780;
  Bytes pixels;              // as stored in the file
  int pixelOffsetDelta = 0;  // added to the correct pixel data offset
  int headerSize = 40;       // 52, 56, 108 and 124 are the longer Windows headers, 64 is OS/2's
  // Bit-field masks (red, green, blue, alpha): after a 40-byte header, inside a longer one.
  std::vector<std::uint32_t> masks;
};

// The file: file header, information header, masks, colour table (a recognisable, non-grey one:
// entry i is blue i, green 255 - i, red i / 2), then the pixels.
Bytes BuildBmp(const BmpLayout& layout);

}  // namespace orvel::test
