#pragma once
// The information headers BMP files carry, and the pixels they describe. Scanners write the
// 40-byte header; other programs write longer ones (52 and 56 bytes with bit-field masks, OS/2's
// 64, and the V4 and V5 headers of 108 and 124 bytes, the default of common image editors). All
// begin with the same 40 bytes; the colour table follows the header's own size.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvel {

constexpr std::uint16_t kBmpType = 0x4D42;  // "BM"
constexpr std::size_t kBmpFileHeaderBytes = 14;

enum class BmpPixelCoding { kPlain, kRunLength8, kRunLength4, kBitFields };

struct BmpFormat {
  std::size_t tableOffset = 40;  // where the colour table starts in the header block
  BmpPixelCoding coding = BmpPixelCoding::kPlain;
  std::uint32_t masks[3] = {};  // red, green, blue bits of a bit-field pixel
};

// The layout of a header block as read from a file (at least 40 bytes). Header sizes other than
// the known ones read as 40, as they always have.
BmpFormat ReadBmpFormat(const std::vector<std::uint8_t>& block);

// Bit-field pixels are held as plain pixels other programs read without masks: 16-bit ones as
// 24-bit, 32-bit ones as 32-bit with the colours in their usual bytes.
int HeldBitFieldBits(int fileBits);

// Turns one row of width bit-field pixels of fileBits (16 or 32) into the held row: blue, green,
// red, and a zero fourth byte for 32-bit rows. Each channel is widened to 8 bits as value x 255 /
// its largest value, truncated.
void ConvertBitFieldRow(const std::uint8_t* fileRow, int fileBits, const std::uint32_t (&masks)[3], int width,
                        std::uint8_t* heldRow);

}  // namespace orvel
