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

// The writing position and the bits not yet in a whole byte. After every code the whole bytes go
// out with one 8-byte store, so the only branch is the rare one for a 0xFF byte; a variant that
// wrote once per 64 bits spent its time on the unpredictable "accumulator full" branch.
// A block is coded on a local copy (BitWriter::Cursor / SetCursor): held in registers there,
// since byte stores through `out` could otherwise alias it and force reloads after every code.
struct BitCursor {
  std::uint64_t accumulator = 0;  // pending bits in the low `pendingBits` bits, stale bits above
  int pendingBits = 0;            // 0..7 between calls
  std::uint8_t* out = nullptr;

  // Appends the low `count` bits of `bits` (1 <= count <= 32, higher bits of `bits` zero).
  // Writes 8 bytes at `out` (fewer are kept), so 8 bytes of room beyond the code are needed.
  void PutBits(std::uint32_t bits, int count) {
    accumulator = (accumulator << count) | bits;
    pendingBits += count;
    // Left-aligned: whole bytes first, then the partial byte padded with zeros (never 0xFF).
    const std::uint64_t aligned = accumulator << (64 - pendingBits);
    const int wholeBytes = pendingBits >> 3;
    if (HasFFByte(aligned)) [[unlikely]] {
      for (int i = 0; i < wholeBytes; ++i) WriteStuffedByte(static_cast<std::uint8_t>(aligned >> (56 - 8 * i)));
    } else {
      const std::uint64_t bigEndian = __builtin_bswap64(aligned);
      std::memcpy(out, &bigEndian, 8);
      out += wholeBytes;
    }
    pendingBits &= 7;
  }

  // A byte is 0xFF exactly when it is 0x00 in the complement (the classic zero-byte test).
  static bool HasFFByte(std::uint64_t word) {
    return ((~word - 0x0101010101010101ull) & word & 0x8080808080808080ull) != 0;
  }

  void WriteStuffedByte(std::uint8_t byte) {
    *out++ = byte;
    if (byte == 0xFF) *out++ = 0x00;
  }
};

class BitWriter {
 public:
  // Appends to `stream` after its current contents.
  explicit BitWriter(std::vector<std::uint8_t>& stream);

  // Makes sure at least `bytes` bytes can be written without growing the stream.
  void EnsureRoom(std::size_t bytes) {
    if (static_cast<std::size_t>(m_end - m_cursor.out) < bytes) Grow(bytes);
  }

  BitCursor Cursor() const { return m_cursor; }
  void SetCursor(const BitCursor& cursor) { m_cursor = cursor; }

  // Pads the last byte with 1-bits, writes what is pending and trims the stream to its end.
  void Finish();

 private:
  void Grow(std::size_t bytes);

  std::vector<std::uint8_t>& m_stream;
  BitCursor m_cursor;
  std::uint8_t* m_end;
};

}  // namespace orvel::jpeg
