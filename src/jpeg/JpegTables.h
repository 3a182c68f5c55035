#pragma once
// Fixed tables of ITU-T T.81 used by the encoder and the decoder: the zig-zag scan order, the
// example quantization tables of Annex K (K.1, K.2) and the typical Huffman tables (K.3 to K.6),
// and the quality scaling that turns a base quantization table into the one written to a file.
#include <array>
#include <cstdint>

namespace orvel::jpeg {

using Block64 = std::array<std::uint8_t, 64>;

// Index: position in the zig-zag scan (0 = DC). Value: natural (row-major) index in the 8x8
// block, row * 8 + column.
// clang-format off
inline constexpr std::array<std::uint8_t, 64> kZigzagToNatural = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

namespace detail {
// Table K.1 (luminance) as printed in T.81: index = row * 8 + column, row 0 = lowest vertical
// frequency. Kept private because files and the encoder use the zig-zag form below.
inline constexpr Block64 kLuminanceQuantNatural = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

// Table K.2 (chrominance) as printed in T.81, same indexing as above.
inline constexpr Block64 kChrominanceQuantNatural = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

constexpr Block64 NaturalToZigzag(const Block64& natural) {
  Block64 zigzag{};
  for (int k = 0; k < 64; ++k) zigzag[k] = natural[kZigzagToNatural[k]];
  return zigzag;
}
}  // namespace detail

// Base quantization tables, index = zig-zag position (the order of a DQT segment).
inline constexpr Block64 kLuminanceQuantZigzag = detail::NaturalToZigzag(detail::kLuminanceQuantNatural);
inline constexpr Block64 kChrominanceQuantZigzag =
    detail::NaturalToZigzag(detail::kChrominanceQuantNatural);

// A Huffman table as a DHT segment carries it: bits[i] = number of codes of length i + 1 bits
// (i = 0..15), values = the symbols in order of increasing code length (162 at most for AC).
struct HuffmanTableSource {
  std::array<std::uint8_t, 16> bits;
  std::array<std::uint8_t, 162> values;
  int valueCount;
};

// Table K.3: luminance DC differences; symbols are the magnitude categories 0..11.
inline constexpr HuffmanTableSource kLuminanceDcHuffman = {
    {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
    12};

// Table K.4: chrominance DC differences.
inline constexpr HuffmanTableSource kChrominanceDcHuffman = {
    {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
    12};

// Table K.5: luminance AC coefficients; a symbol is run-of-zeros * 16 + magnitude category
// (0x00 end of block, 0xF0 sixteen zeros).
inline constexpr HuffmanTableSource kLuminanceAcHuffman = {
    {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d},
    {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61,
     0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52,
     0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25,
     0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45,
     0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64,
     0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
     0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99,
     0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6,
     0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3,
     0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8,
     0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa},
    162};

// Table K.6: chrominance AC coefficients, symbols as in K.5.
inline constexpr HuffmanTableSource kChrominanceAcHuffman = {
    {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77},
    {0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61,
     0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33,
     0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1, 0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18,
     0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44,
     0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63,
     0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
     0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97,
     0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4,
     0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca,
     0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7,
     0xe8, 0xe9, 0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa},
    162};
// clang-format on

// Percentage by which the base tables are scaled for an encoding quality: 5000 for q <= 0,
// 5000 / q below 50, 200 - 2q from 50 to 100 (100 at q = 50, i.e. the base table), 0 above 100.
constexpr int QualityScaleFactor(int quality) {
  if (quality <= 0) return 5000;
  if (quality < 50) return 5000 / quality;
  if (quality <= 100) return 200 - 2 * quality;
  return 0;
}

// The quantization table written for a quality: each entry (f * base + 50) / 100, clamped to
// 1..255 so that it fits an 8-bit DQT entry. Index order is that of the base table.
constexpr Block64 ScaleQuantTable(const Block64& base, int quality) {
  const int factor = QualityScaleFactor(quality);
  Block64 scaled{};
  for (int k = 0; k < 64; ++k) {
    const int entry = (factor * base[k] + 50) / 100;
    scaled[k] = static_cast<std::uint8_t>(entry < 1 ? 1 : (entry > 255 ? 255 : entry));
  }
  return scaled;
}

}  // namespace orvel::jpeg
