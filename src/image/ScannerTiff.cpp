#include "image/ScannerTiff.h"

#include <cstring>
#include <vector>

#include "image/ByteOrder.h"
#include "platform/File.h"

namespace orvel {

namespace {

void PutEntry(std::vector<std::uint8_t>& out, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
              std::uint32_t value) {
  std::uint8_t entry[12];
  StoreLe16(entry, tag);
  StoreLe16(entry + 2, type);
  StoreLe32(entry + 4, count);
  StoreLe32(entry + 8, value);
  out.insert(out.end(), entry, entry + 12);
}

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  std::uint8_t bytes[4];
  StoreLe32(bytes, value);
  out.insert(out.end(), bytes, bytes + 4);
}

}  // namespace

bool WriteScannerTiff(const SliceImage& image, const std::string& path) {
  constexpr std::uint16_t kShort = 3, kLong = 4, kRational = 5;
  const auto width = static_cast<std::uint32_t>(image.GetWidth());
  const auto height = static_cast<std::uint32_t>(image.GetHeight());
  const std::uint32_t pixelBytes = width * height;
  const std::uint32_t resolutionOffset = 16 + pixelBytes;
  const std::uint32_t directoryOffset = resolutionOffset + 16;
  // Pixels per metre back to pixels per inch, rounded to the nearest whole number.
  const auto perInch = static_cast<std::uint32_t>(image.GetXPelsPerMeter() / 39.37007874015748 + 0.5);

  std::vector<std::uint8_t> out = {'I', 'I', 42, 0};
  PutLe32(out, directoryOffset);
  const char maker[8] = "Voxalon";
  out.insert(out.end(), maker, maker + 8);
  for (std::uint32_t k = 0; k < height; ++k) {  // top row of the picture first
    const std::uint8_t* row = image.GetStorageRow(static_cast<int>(height - 1 - k));
    out.insert(out.end(), row, row + width);
  }
  for (int axis = 0; axis < 2; ++axis) {
    PutLe32(out, perInch);
    PutLe32(out, 1);
  }
  out.push_back(13);
  out.push_back(0);
  PutEntry(out, 254, kLong, 1, 0);
  PutEntry(out, 256, kShort, 1, width);
  PutEntry(out, 257, kShort, 1, height);
  PutEntry(out, 258, kShort, 1, 8);
  PutEntry(out, 259, kShort, 1, 1);
  PutEntry(out, 262, kShort, 1, 1);
  PutEntry(out, 273, kLong, 1, 16);
  PutEntry(out, 277, kShort, 1, 1);
  PutEntry(out, 278, kLong, 1, height);
  PutEntry(out, 279, kLong, 1, pixelBytes);
  PutEntry(out, 282, kRational, 1, resolutionOffset);
  PutEntry(out, 283, kRational, 1, resolutionOffset + 8);
  PutEntry(out, 296, kShort, 1, 2);
  PutLe32(out, 0);  // no further directory
  return platform::WriteWholeFileAtomically(path, std::string(out.begin(), out.end()));
}

}  // namespace orvel
