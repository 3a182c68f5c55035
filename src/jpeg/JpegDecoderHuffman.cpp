#include "jpeg/JpegDecoderHuffman.h"

namespace orvel::jpeg {

namespace {

void FillFastTables(const std::uint8_t counts[16], HuffmanTable& table) {
  table.fast.fill(0);
  table.fastAc.fill(0);
  std::uint32_t code = 0;
  int index = 0;
  for (int length = 1; length <= HuffmanTable::kFastBits; ++length) {
    for (int i = 0; i < counts[length - 1]; ++i, ++index, ++code) {
      const int shift = HuffmanTable::kFastBits - length;
      const std::uint8_t symbol = table.symbols[index];
      for (std::uint32_t fill = 0; fill < (1u << shift); ++fill) {
        const std::uint32_t slot = (code << shift) | fill;
        table.fast[slot] = static_cast<std::uint16_t>((length << 8) | symbol);
        // AC symbol: zero run in the high nibble, value bits in the low nibble.
        const int run = symbol >> 4, valueBits = symbol & 15;
        if (valueBits == 0 || length + valueBits > HuffmanTable::kFastBits) continue;
        const std::uint32_t bits = (slot >> (shift - valueBits)) & ((1u << valueBits) - 1);
        const int value = ExtendValue(bits, valueBits);
        table.fastAc[slot] = value * 256 + run * 16 + length + valueBits;
      }
    }
    code <<= 1;
  }
}

}  // namespace

void BuildHuffmanTable(const std::uint8_t counts[16], const std::uint8_t* symbols, int symbolCount,
                       HuffmanTable& table) {
  if (symbolCount > 256) Fail(kBadHuffmanTable);
  std::memcpy(table.symbols.data(), symbols, static_cast<std::size_t>(symbolCount));
  std::uint32_t code = 0;
  int index = 0;
  table.limit[0] = 0;
  for (int length = 1; length <= 16; ++length) {
    table.symbolOffset[length] = index - static_cast<int>(code);
    code += counts[length - 1];
    index += counts[length - 1];
    // Canonical codes of one length must fit in that many bits.
    if (code > (1u << length)) Fail(kBadHuffmanTable);
    table.limit[length] = code << (16 - length);
    code <<= 1;
  }
  table.limit[17] = 0xFFFFFFFFu;
  FillFastTables(counts, table);
  table.defined = true;
}

int DecodeSymbolSlow(BitReader& reader, const HuffmanTable& table) {
  const std::uint32_t code16 = reader.Peek(16);
  int length = HuffmanTable::kFastBits + 1;
  while (code16 >= table.limit[length]) ++length;
  // No code of 16 bits or less matches: the data does not belong to this table.
  if (length > 16) Fail(kDataError);
  reader.Skip(length);
  const int index = static_cast<int>(code16 >> (16 - length)) + table.symbolOffset[length];
  if (index < 0 || index > 255) Fail(kDataError);
  return table.symbols[index];
}

}  // namespace orvel::jpeg
