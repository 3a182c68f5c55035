#include "image/BmpFormat.h"

#include <bit>

#include "image/ByteOrder.h"
#include "image/SliceImage.h"

namespace orvel {

namespace {

constexpr int kRle8 = 1, kRle4 = 2, kBitFields = 3;
constexpr std::uint32_t kOs2HeaderBytes = 64;  // its compression 3 is Huffman coding, not bit fields

bool IsLongerHeader(std::uint32_t size) {
  return size == 52 || size == 56 || size == kOs2HeaderBytes || size == 108 || size == 124;
}

}  // namespace

BmpFormat ReadBmpFormat(const std::vector<std::uint8_t>& block) {
  const std::uint32_t size = LoadLe32(block.data() + header::kSize);
  const int bits = LoadLe16(block.data() + header::kBitCount);
  const std::uint32_t compression = LoadLe32(block.data() + header::kCompression);
  BmpFormat format;
  format.tableOffset = IsLongerHeader(size) ? size : header::kColourTable;
  if (compression == kRle8 && bits == 8) format.coding = BmpPixelCoding::kRunLength8;
  if (compression == kRle4 && bits == 4) format.coding = BmpPixelCoding::kRunLength4;
  if (compression == kBitFields && (bits == 16 || bits == 32) && size != kOs2HeaderBytes) {
    format.coding = BmpPixelCoding::kBitFields;
    // The longer headers hold the masks at offset 40; after a 40-byte one they come before the table.
    if (!IsLongerHeader(size)) format.tableOffset = header::kColourTable + 12;
    if (block.size() >= header::kColourTable + 12)
      for (int i = 0; i < 3; ++i) format.masks[i] = LoadLe32(block.data() + header::kColourTable + 4 * i);
  }
  return format;
}

int HeldBitFieldBits(int fileBits) { return fileBits == 16 ? 24 : 32; }

namespace {

// One colour of a bit-field pixel: where its bits lie and how they widen to 8 bits.
class BitFieldChannel {
 public:
  explicit BitFieldChannel(std::uint32_t mask)
      : m_mask(mask), m_shift(std::countr_zero(mask) % 32), m_largest(mask >> m_shift) {}
  std::uint8_t Value(std::uint32_t pixel) const {
    if (m_largest == 0) return 0;
    return static_cast<std::uint8_t>(std::uint64_t{(pixel & m_mask) >> m_shift} * 255 / m_largest);
  }

 private:
  std::uint32_t m_mask;
  int m_shift;  // 0 for an empty mask
  std::uint32_t m_largest;
};

}  // namespace

void ConvertBitFieldRow(const std::uint8_t* fileRow, int fileBits, const std::uint32_t (&masks)[3], int width,
                        std::uint8_t* heldRow) {
  const BitFieldChannel red(masks[0]), green(masks[1]), blue(masks[2]);
  const int heldBytes = HeldBitFieldBits(fileBits) / 8;
  for (int x = 0; x < width; ++x) {
    const std::uint32_t pixel = fileBits == 16 ? LoadLe16(fileRow + 2 * x) : LoadLe32(fileRow + 4 * x);
    std::uint8_t* held = heldRow + x * heldBytes;
    held[0] = blue.Value(pixel);
    held[1] = green.Value(pixel);
    held[2] = red.Value(pixel);
    if (heldBytes == 4) held[3] = 0;
  }
}

}  // namespace orvel
