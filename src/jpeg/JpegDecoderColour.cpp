// JFIF YCbCr to RGB: R = Y + 1.402 Cr', G = Y - 0.344136 Cb' - 0.714136 Cr', B = Y + 1.772 Cb',
// with Cb' = Cb - 128 and Cr' = Cr - 128, in 16-bit fixed point rounded to nearest.
#include "jpeg/JpegDecoderColour.h"

namespace orvel::jpeg {

namespace {

constexpr int kRedFromCr = 91881, kGreenFromCb = -22554, kGreenFromCr = -46802, kBlueFromCb = 116130;
constexpr int kHalf = 1 << 15;

std::uint8_t Clamp(int value) { return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value)); }

}  // namespace

void YcbcrToBgr(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* bgr, int count) {
  for (int i = 0; i < count; ++i, bgr += 3) {
    const int luma = y[i], blue = cb[i] - 128, red = cr[i] - 128;
    bgr[0] = Clamp(luma + ((kBlueFromCb * blue + kHalf) >> 16));
    bgr[1] = Clamp(luma + ((kGreenFromCb * blue + kGreenFromCr * red + kHalf) >> 16));
    bgr[2] = Clamp(luma + ((kRedFromCr * red + kHalf) >> 16));
  }
}

}  // namespace orvel::jpeg
