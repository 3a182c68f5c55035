#include "jpeg/JpegBitWriter.h"

#include <algorithm>

namespace orvel::jpeg {

BitWriter::BitWriter(std::vector<std::uint8_t>& stream) : m_stream(stream) {
  m_cursor.out = stream.data() + stream.size();
  m_end = m_cursor.out;
}

void BitWriter::Grow(std::size_t bytes) {
  const std::size_t used = static_cast<std::size_t>(m_cursor.out - m_stream.data());
  // Doubling keeps the number of copies logarithmic in the stream size; may throw bad_alloc.
  m_stream.resize(std::max(used + bytes, m_stream.size() * 2));
  m_cursor.out = m_stream.data() + used;
  m_end = m_stream.data() + m_stream.size();
}

void BitWriter::Finish() {
  EnsureRoom(2 * 8);
  // Pad the partial byte with 1-bits (T.81 F.1.2.3).
  const int padding = (8 - m_cursor.pendingBits) % 8;
  if (padding != 0) m_cursor.PutBits((1u << padding) - 1, padding);
  m_stream.resize(static_cast<std::size_t>(m_cursor.out - m_stream.data()));
  m_cursor.out = m_end = m_stream.data() + m_stream.size();
}

}  // namespace orvel::jpeg
