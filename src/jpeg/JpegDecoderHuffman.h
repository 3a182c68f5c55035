#pragma once
// Entropy-coded data as the decoder reads it: a bit reader over the bytes of one scan that
// removes the stuffed zero bytes and stops at the next marker, and Huffman tables decoded with a
// 9-bit look-up (most codes in a slice are shorter) and a canonical-code slow path for the rest.
#include <array>
#include <cstdint>
#include <cstring>

#include "jpeg/JpegDecoderError.h"
#include "jpeg/JpegStatus.h"

namespace orvel::jpeg {

class BitReader {
 public:
  void Reset(const std::uint8_t* position, const std::uint8_t* end) {
    m_position = position;
    m_end = end;
    m_buffer = 0;
    m_count = 0;
    m_padding = 0;
    m_stopped = false;
  }

  // Ensures at least 57 bits are buffered. Past a marker or the end of the data, zero bits are
  // supplied and counted as padding, so a damaged stream never reads outside the data.
  void Fill() {
    if (m_count > 56) return;
    if (!m_stopped && m_end - m_position >= 8 && FillEightBytesWithoutMarker()) return;
    FillBytewise();
  }
  void FillIfBelow(int bits) {
    if (m_count < bits) Fill();
  }

  // The next n bits (1..32) without consuming them.
  std::uint32_t Peek(int n) const { return static_cast<std::uint32_t>(m_buffer >> (64 - n)); }
  void Skip(int n) {
    m_buffer <<= n;
    m_count -= n;
  }
  // Consumes n bits (1..16; the buffer must hold them).
  std::uint32_t Take(int n) {
    const std::uint32_t value = Peek(n);
    Skip(n);
    return value;
  }

  // True once bits beyond the end of the scan's data were consumed: the stream is truncated or
  // damaged and what follows is not image data.
  bool Overran() const { return m_padding > m_count; }
  // The first byte not taken into the buffer: at the end of a scan, where its marker starts.
  const std::uint8_t* Position() const { return m_position; }

 private:
  bool FillEightBytesWithoutMarker() {
    std::uint64_t word = 0;
    for (int i = 0; i < 8; ++i) word = (word << 8) | m_position[i];
    // A byte equal to 0xFF (stuffing or a marker) needs the byte-wise path.
    const std::uint64_t inverted = ~word;
    if (((inverted - 0x0101010101010101ULL) & ~inverted & 0x8080808080808080ULL) != 0) return false;
    const int bytes = (64 - m_count) >> 3;
    const int bits = bytes * 8;
    const std::uint64_t top = bits == 64 ? word : word >> (64 - bits);
    m_buffer |= top << (64 - m_count - bits);
    m_count += bits;
    m_position += bytes;
    return true;
  }

  void FillBytewise() {
    while (m_count <= 56) {
      std::uint64_t byte = 0;
      if (!m_stopped && m_position < m_end) {
        byte = *m_position;
        if (byte != 0xFF) {
          ++m_position;
        } else if (m_position + 1 < m_end && m_position[1] == 0) {
          m_position += 2;  // 0xFF 0x00 is a data byte 0xFF
        } else {
          m_stopped = true;  // a marker ends the entropy-coded data
          byte = 0;
        }
      } else {
        m_stopped = true;
      }
      if (m_stopped) m_padding += 8;
      m_buffer |= byte << (56 - m_count);
      m_count += 8;
    }
  }

  const std::uint8_t* m_position = nullptr;
  const std::uint8_t* m_end = nullptr;
  std::uint64_t m_buffer = 0;  // next bit is bit 63
  int m_count = 0;             // bits in m_buffer, padding included
  int m_padding = 0;           // zero bits supplied past the data, at the tail of the buffer
  bool m_stopped = false;
};

// A value of category s (1..16) from its s extra bits, as T.81 F.2.2.1 extends it.
inline int ExtendValue(std::uint32_t bits, int s) {
  return bits < (1u << (s - 1)) ? static_cast<int>(bits) - (1 << s) + 1 : static_cast<int>(bits);
}

struct HuffmanTable {
  static constexpr int kFastBits = 9;
  bool defined = false;
  // Index: the next 9 bits. Value: (code length << 8) | symbol, 0 when the code is longer.
  std::array<std::uint16_t, 1 << kFastBits> fast{};
  // AC tables, index as above: (value << 8) | (zero run << 4) | (code length + value bits) for
  // codes whose value bits also fit in the 9 bits; 0 otherwise.
  std::array<std::int32_t, 1 << kFastBits> fastAc{};
  // Slow path, index = code length 1..16 (17 is a sentinel): codes of that length are below
  // limit[length] when left-aligned to 16 bits; symbolOffset turns a code into its index.
  std::array<std::uint32_t, 18> limit{};
  std::array<int, 18> symbolOffset{};
  std::array<std::uint8_t, 256> symbols{};
};

// Builds table from a DHT entry: counts[i] codes of length i + 1, symbols in code order. Throws
// DecodeError(kBadHuffmanTable) for a table whose codes do not fit their lengths.
void BuildHuffmanTable(const std::uint8_t counts[16], const std::uint8_t* symbols, int symbolCount,
                       HuffmanTable& table);

int DecodeSymbolSlow(BitReader& reader, const HuffmanTable& table);

// One Huffman-coded symbol; the reader must hold at least 16 bits.
inline int DecodeSymbol(BitReader& reader, const HuffmanTable& table) {
  const std::uint16_t entry = table.fast[reader.Peek(HuffmanTable::kFastBits)];
  if (entry != 0) {
    reader.Skip(entry >> 8);
    return entry & 0xFF;
  }
  return DecodeSymbolSlow(reader, table);
}

}  // namespace orvel::jpeg
