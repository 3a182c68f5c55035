#include "jpeg/JpegBitWriter.h"

#include <algorithm>

namespace orvel::jpeg {

BitWriter::BitWriter(std::vector<std::uint8_t>& stream)
    : m_stream(stream), m_out(stream.data() + stream.size()), m_end(m_out) {}

void BitWriter::Grow(std::size_t bytes) {
  const std::size_t used = static_cast<std::size_t>(m_out - m_stream.data());
  // Doubling keeps the number of copies logarithmic in the stream size; may throw bad_alloc.
  m_stream.resize(std::max(used + bytes, m_stream.size() * 2));
  m_out = m_stream.data() + used;
  m_end = m_stream.data() + m_stream.size();
}

void BitWriter::Finish() {
  int pending = 64 - m_freeBits;
  const int padding = (8 - pending % 8) % 8;
  m_accumulator = (m_accumulator << padding) | ((std::uint64_t{1} << padding) - 1);
  pending += padding;
  EnsureRoom(2 * 8);
  for (int shift = pending - 8; shift >= 0; shift -= 8)
    WriteStuffedByte(static_cast<std::uint8_t>(m_accumulator >> shift));
  m_accumulator = 0;
  m_freeBits = 64;
  m_stream.resize(static_cast<std::size_t>(m_out - m_stream.data()));
  m_out = m_end = m_stream.data() + m_stream.size();
}

}  // namespace orvel::jpeg
