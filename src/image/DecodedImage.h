#pragma once
// A picture as the TIFF (other than the scanner's) and PNG readers decode it, before it becomes
// a SliceImage: rows top-down without padding, one value per pixel, or red, green and blue.
#include <cstdint>
#include <vector>

#include "image/SampleWindow.h"
#include "image/SliceImage.h"

namespace orvel {

struct DecodedImage {
  enum class Kind {
    kGrey,     // bytes: one 8-bit grey value per pixel
    kDeep,     // samples: 16-bit integer or 32-bit float values, mapped to 8 bits by a window
    kPalette,  // bytes: one index per pixel into palette
    kRgb,      // bytes: red, green, blue per pixel
  };
  Kind kind = Kind::kGrey;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bytes;
  std::vector<float> samples;
  std::vector<RgbEntry> palette;   // at most 256 entries
  std::int32_t xPelsPerMeter = 0;  // 0 when the file gives no absolute resolution
  std::int32_t yPelsPerMeter = 0;

  // The bytes a decoded picture of this kind and size holds, together with the slice made from
  // it; what a reader checks against kMaxImageBytes before it allocates anything.
  static std::uint64_t HeldBytes(Kind kind, std::uint64_t width, std::uint64_t height);
};

// Makes image the slice of decoded: 8-bit grey with the grey table (deep samples through window),
// 8-bit with the file's colours as its table and its original colours, or 24-bit without a
// table. Levels as after reading a BMP.
void ToSliceImage(const DecodedImage& decoded, const SampleWindow& window, SliceImage& image);

}  // namespace orvel
