#include "support/TiffBuilder.h"

#include <algorithm>

#include "image/ByteOrder.h"

namespace orvel::test {

namespace {

void PutEntry(Bytes& out, std::uint16_t tag, std::uint32_t count, std::uint32_t value) {
  unsigned char entry[12] = {};
  StoreLe16(entry, tag);
  StoreLe16(entry + 2, 3);
  StoreLe32(entry + 4, count);
  StoreLe32(entry + 8, value);
  out.insert(out.end(), entry, entry + 12);
}

}  // namespace

Bytes BuildTiff(const TiffLayout& layout) {
  Bytes out = {'I', 'I', 42, 0, 0, 0, 0, 0};
  Bytes maker(8, 0);
  std::copy(layout.maker.begin(), layout.maker.end(), maker.begin());
  out.insert(out.end(), maker.begin(), maker.end());
  out.insert(out.end(), layout.pixels.begin(), layout.pixels.end());
  for (int channel = 0; channel < 3; ++channel)  // red ramp, green constant, blue inverse
    for (int i = 0; i < layout.mapColours; ++i) {
      const int value = channel == 0 ? i * 256 : channel == 1 ? 0x8000 : (255 - i) * 256;
      out.push_back(static_cast<unsigned char>(value));
      out.push_back(static_cast<unsigned char>(value >> 8));
    }
  const auto resolutionOffset =
      layout.resolutionOffsetOverride ? layout.resolutionOffsetOverride : static_cast<std::uint32_t>(out.size());
  for (std::uint32_t value : {layout.xNumerator, 1u, layout.yNumerator, 1u})
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<unsigned char>(value >> (8 * b)));
  StoreLe32(&out[4], static_cast<std::uint32_t>(out.size()));
  out.push_back(static_cast<unsigned char>(layout.entries));
  out.push_back(0);
  const std::uint32_t values[12] = {0,
                                    static_cast<std::uint32_t>(layout.width),
                                    static_cast<std::uint32_t>(layout.height),
                                    static_cast<std::uint32_t>(layout.bits),
                                    1,
                                    static_cast<std::uint32_t>(layout.photometric),
                                    16,
                                    1,
                                    static_cast<std::uint32_t>(layout.height),
                                    0,
                                    resolutionOffset,
                                    resolutionOffset + 8};
  const std::uint16_t tags[12] = {254, 256, 257, 258, 259, 262, 273, 277, 278, 279, 282, 283};
  for (int i = 0; i < 12; ++i) PutEntry(out, tags[i], 1, values[i]);
  if (layout.entries > 13 || layout.photometric != 3) PutEntry(out, 296, 1, static_cast<std::uint32_t>(layout.unit));
  if (layout.photometric == 3) PutEntry(out, 320, static_cast<std::uint32_t>(3 * layout.mapColours), 0);
  return out;
}

}  // namespace orvel::test
