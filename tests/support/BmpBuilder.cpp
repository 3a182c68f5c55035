#include "support/BmpBuilder.h"

#include "image/ByteOrder.h"

namespace orvel::test {

Bytes BuildBmp(const BmpLayout& layout) {
  const bool masksAfterHeader = layout.headerSize == 40;
  const std::size_t maskBytes = masksAfterHeader ? 4 * layout.masks.size() : 0;
  const std::size_t blockBytes = layout.headerSize + maskBytes + 4 * static_cast<std::size_t>(layout.colours);
  Bytes bytes(14 + blockBytes, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  StoreLe32(&bytes[2], static_cast<std::uint32_t>(bytes.size() + layout.pixels.size()));
  StoreLe32(&bytes[10], static_cast<std::uint32_t>(14 + blockBytes + layout.pixelOffsetDelta));
  unsigned char* h = &bytes[14];
  StoreLe32(h, static_cast<std::uint32_t>(layout.headerSize));
  StoreLe32(h + 4, static_cast<std::uint32_t>(layout.width));
  StoreLe32(h + 8, static_cast<std::uint32_t>(layout.height));
  StoreLe16(h + 12, 1);
  StoreLe16(h + 14, static_cast<std::uint16_t>(layout.bits));
  StoreLe32(h + 16, static_cast<std::uint32_t>(layout.compression));
  StoreLe32(h + 24, static_cast<std::uint32_t>(layout.xPels));
  StoreLe32(h + 28, static_cast<std::uint32_t>(layout.yPels));
  for (std::size_t i = 0; i < layout.masks.size(); ++i) StoreLe32(h + 40 + 4 * i, layout.masks[i]);
  unsigned char* table = h + layout.headerSize + maskBytes;
  for (int i = 0; i < layout.colours; ++i) {
    table[4 * i] = static_cast<unsigned char>(i);
    table[4 * i + 1] = static_cast<unsigned char>(255 - i);
    table[4 * i + 2] = static_cast<unsigned char>(i / 2);
  }
  bytes.insert(bytes.end(), layout.pixels.begin(), layout.pixels.end());
  return bytes;
}

}  // namespace orvel::test
