#include "SliceInvariants.h"

#include <cstdint>
#include <numeric>

#include "FuzzSupport.h"

namespace orvel::fuzz {

void CheckAcceptedImage(const SliceImage& image) {
  Expect(!image.IsEmpty(), "an accepted image is not empty");
  const auto [width, height] = image.GetSize();
  Expect(width > 0 && height > 0, "an accepted image has a positive size");
  const std::uint64_t rowBytes = static_cast<std::uint64_t>(image.GetRowBytes());
  Expect(rowBytes * 8 >= static_cast<std::uint64_t>(width) * image.GetBitCount(), "a row holds its pixels");
  Expect(image.GetImageBytes() == rowBytes * static_cast<std::uint64_t>(height), "the buffer holds every row");
  Expect(image.GetImageBytes() <= kMaxImageBytes, "no image is larger than the bound");
  const std::size_t tableBytes = 4 * static_cast<std::size_t>(image.GetColourCount());
  Expect(image.GetHeaderBlock().size() >= header::kColourTable + tableBytes, "the colour table fits its block");
  // Touch every byte, so that AddressSanitizer sees a buffer shorter than the layout says.
  const std::uint8_t* bits = image.GetBits();
  volatile std::uint64_t sum = std::accumulate(bits, bits + image.GetImageBytes(), std::uint64_t{0});
  (void)sum;
  if (image.GetColourCount() > 0) Expect(image.GetDisplayPalette() != nullptr, "an indexed image has a palette");
}

}  // namespace orvel::fuzz
