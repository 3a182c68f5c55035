#pragma once
// The entropy-coded segment's bit writer: codes go into a 64-bit accumulator, which is written out
// eight bytes at a time; a 0xFF byte gets the 0x00 stuffing byte that T.81 (F.1.2.3) demands. The
// caller reserves room for a whole block first (EnsureRoom), so writing a code never checks for
// space.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace orvel::jpeg {

class BitWriter {
 public:
  // Appends to `stream` after its current contents.
  explicit BitWriter(std::vector<std::uint8_t>& stream);

  // Makes sure at least `bytes` bytes can be written without growing the stream.
  void EnsureRoom(std::size_t bytes) {
    if (static_cast<std::size_t>(m_end - m_out) < bytes) Grow(bytes);
  }

  // Appends the low `count` bits of `bits` (count <= 32, higher bits of `bits` zero).
  void PutBits(std::uint32_t bits, int count) {
    if (count < m_freeBits) {
      m_accumulator = (m_accumulator << count) | bits;
      m_freeBits -= count;
      return;
    }
    // Fill the accumulator with the leading bits, write it, keep the rest. The bits above the
    // kept ones are stale but leave through the top before the next write.
    const int rest = count - m_freeBits;
    m_accumulator = (m_accumulator << m_freeBits) | (bits >> rest);
    WriteAccumulator();
    m_accumulator = bits;
    m_freeBits = 64 - rest;
  }

  // Pads the last byte with 1-bits, writes what is pending and trims the stream to its end.
  void Finish();

 private:
  void WriteAccumulator() {
    // A byte is 0xFF exactly when it is 0x00 in the complement (the classic zero-byte test).
    const std::uint64_t inverted = ~m_accumulator;
    const bool hasFF = ((inverted - 0x0101010101010101ull) & m_accumulator & 0x8080808080808080ull) != 0;
    if (!hasFF) {
      const std::uint64_t bigEndian = __builtin_bswap64(m_accumulator);
      std::memcpy(m_out, &bigEndian, 8);
      m_out += 8;
      return;
    }
    for (int shift = 56; shift >= 0; shift -= 8)
      WriteStuffedByte(static_cast<std::uint8_t>(m_accumulator >> shift));
  }

  void WriteStuffedByte(std::uint8_t byte) {
    *m_out++ = byte;
    if (byte == 0xFF) *m_out++ = 0x00;
  }

  void Grow(std::size_t bytes);

  std::vector<std::uint8_t>& m_stream;
  std::uint8_t* m_out;
  std::uint8_t* m_end;
  std::uint64_t m_accumulator = 0;
  int m_freeBits = 64;  // 1..64; 64 means the accumulator holds no pending bits
};

}  // namespace orvel::jpeg
