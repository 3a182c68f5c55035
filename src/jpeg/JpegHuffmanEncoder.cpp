#include "jpeg/JpegHuffmanEncoder.h"

namespace orvel::jpeg {
namespace {

constexpr int kEndOfBlock = 0x00;
constexpr int kSixteenZeros = 0xF0;

// The magnitude category of a value (number of significant bits of |v|) and its appended bits:
// v itself when positive, v - 1 in the category's width when negative (T.81 F.1.2.1).
struct Magnitude {
  int category;
  std::uint32_t bits;
};

inline Magnitude MagnitudeOf(int value) {
  const unsigned absolute = static_cast<unsigned>(value < 0 ? -value : value);
  const int category = absolute ? 32 - __builtin_clz(absolute) : 0;
  const unsigned bits = static_cast<unsigned>(value < 0 ? value - 1 : value) & ((1u << category) - 1);
  return {category, bits};
}

inline void PutSymbol(BitCursor& cursor, const HuffmanCodeTable& table, int symbol, Magnitude magnitude) {
  cursor.PutBits((std::uint32_t{table.code[symbol]} << magnitude.category) | magnitude.bits,
                 table.length[symbol] + magnitude.category);
}

}  // namespace

bool BuildHuffmanCodeTable(const HuffmanTableSource& huffman, HuffmanCodeTable& table) {
  table = {};
  std::uint32_t code = 0;
  int next = 0;
  for (int length = 1; length <= 16; ++length) {
    for (int i = 0; i < huffman.bits[length - 1]; ++i, ++next, ++code) {
      if (next >= huffman.valueCount || code >= (1u << length)) return false;
      const int symbol = huffman.values[next];
      if (table.length[symbol] != 0) return false;
      table.code[symbol] = static_cast<std::uint16_t>(code);
      table.length[symbol] = static_cast<std::uint8_t>(length);
    }
    code <<= 1;
  }
  return next == huffman.valueCount;
}

void EncodeBlock(BitWriter& writer, const std::int16_t* zigzag, std::uint64_t nonZero, int& lastDc,
                 const HuffmanCodeTable& dc, const HuffmanCodeTable& ac) {
  BitCursor cursor = writer.Cursor();
  const Magnitude difference = MagnitudeOf(zigzag[0] - lastDc);
  lastDc = zigzag[0];
  PutSymbol(cursor, dc, difference.category, difference);

  int previous = 0;  // zig-zag position of the last coded coefficient
  while (nonZero != 0) {
    const int position = __builtin_ctzll(nonZero);
    int run = position - previous - 1;
    for (; run >= 16; run -= 16) cursor.PutBits(ac.code[kSixteenZeros], ac.length[kSixteenZeros]);
    const Magnitude magnitude = MagnitudeOf(zigzag[position]);
    PutSymbol(cursor, ac, run * 16 + magnitude.category, magnitude);
    previous = position;
    nonZero &= nonZero - 1;
  }
  if (previous != 63) cursor.PutBits(ac.code[kEndOfBlock], ac.length[kEndOfBlock]);
  writer.SetCursor(cursor);
}

}  // namespace orvel::jpeg
