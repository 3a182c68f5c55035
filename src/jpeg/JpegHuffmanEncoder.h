#pragma once
// Huffman coding of quantised blocks (T.81 F.1.2): code tables derived from a DHT description and
// the coding of one block's DC difference and AC run/size symbols.
#include <array>
#include <cstdint>

#include "jpeg/JpegBitWriter.h"
#include "jpeg/JpegTables.h"

namespace orvel::jpeg {

// Index: symbol (DC: magnitude category; AC: run * 16 + category). Length 0 = no code.
struct HuffmanCodeTable {
  std::array<std::uint16_t, 256> code{};  // right-aligned code bits
  std::array<std::uint8_t, 256> length{};
};

// Assigns the canonical codes of T.81 Annex C; false when the description is not a valid
// prefix code (more codes of a length than remain, or a symbol listed twice).
bool BuildHuffmanCodeTable(const HuffmanTableSource& huffman, HuffmanCodeTable& table);

// The bytes one block can take at most: 16 + 11 bits of DC and 63 * (16 + 10) bits of AC, doubled
// for stuffing bytes, plus the eight bytes the writer may hold back.
inline constexpr std::size_t kMaxBlockBytes = (27 + 63 * 26 + 7) / 8 * 2 + 8;

// Codes one block: `zigzag` holds the 64 quantised coefficients in zig-zag order, `nonZero` has
// bit k set for each non-zero AC coefficient k; `lastDc` is the component's DC predictor.
void EncodeBlock(BitWriter& writer, const std::int16_t* zigzag, std::uint64_t nonZero, int& lastDc,
                 const HuffmanCodeTable& dc, const HuffmanCodeTable& ac);

}  // namespace orvel::jpeg
