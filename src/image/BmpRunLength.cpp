#include "image/BmpFile.h"

#include <algorithm>

namespace orvel {

namespace {

// Writes pixel values into the bottom-up rows, one pixel at a time (a nibble for 4-bit rows).
class RunLengthCanvas {
 public:
  RunLengthCanvas(bool nibbles, int width, int height, int rowBytes, std::uint8_t* pixels)
      : m_nibbles(nibbles), m_width(width), m_height(height), m_rowBytes(rowBytes), m_pixels(pixels) {}

  // Pixels past the end of the row are dropped: the column stops at the width, so no count of
  // runs or moves can carry it past what an int holds.
  void Put(std::uint8_t value) {
    if (m_x >= m_width) return;
    if (m_y < m_height) {
      std::uint8_t* row = m_pixels + static_cast<std::size_t>(m_y) * m_rowBytes;
      if (!m_nibbles) {
        row[m_x] = value;
      } else {
        std::uint8_t& byte = row[m_x / 2];
        byte = (m_x % 2 == 0) ? static_cast<std::uint8_t>((byte & 0x0F) | (value << 4))
                              : static_cast<std::uint8_t>((byte & 0xF0) | (value & 0x0F));
      }
    }
    ++m_x;
  }
  void NextLine() {
    m_x = 0;
    ++m_y;
  }
  // dx and dy are single bytes; the row count ends the decoding once it reaches the height.
  void Move(int dx, int dy) {
    m_x = std::min(m_x + dx, m_width);
    m_y += dy;
  }
  bool Finished() const { return m_y >= m_height; }

 private:
  bool m_nibbles;
  int m_width, m_height, m_rowBytes;
  std::uint8_t* m_pixels;
  int m_x = 0, m_y = 0;  // column, storage row (0 = bottom)
};

}  // namespace

void DecodeBmpRunLength(const std::uint8_t* data, std::size_t size, int compression, int width, int height,
                        int rowBytes, std::uint8_t* pixels) {
  const bool nibbles = compression == 2;
  RunLengthCanvas canvas(nibbles, width, height, rowBytes, pixels);
  std::size_t at = 0;
  while (at + 1 < size && !canvas.Finished()) {
    const int count = data[at];
    const std::uint8_t value = data[at + 1];
    at += 2;
    if (count > 0) {  // encoded run; 4-bit runs alternate the two nibbles
      for (int i = 0; i < count; ++i)
        canvas.Put(nibbles ? static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
    } else if (value == 0) {
      canvas.NextLine();
    } else if (value == 1) {
      break;  // end of bitmap
    } else if (value == 2) {
      if (at + 1 >= size) break;
      canvas.Move(data[at], data[at + 1]);
      at += 2;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      const std::size_t bytes = nibbles ? (value + 1u) / 2u : value;
      for (int i = 0; i < value && at + (nibbles ? i / 2 : i) < size; ++i) {
        const std::uint8_t byte = data[at + (nibbles ? i / 2 : i)];
        canvas.Put(nibbles ? static_cast<std::uint8_t>(i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
      }
      at += bytes + (bytes % 2);
    }
  }
}

}  // namespace orvel
