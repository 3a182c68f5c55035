#include "jpeg/JpegEncoderKernels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "jpeg/JpegAanDct.h"

// The scalar routines, the quantiser's multipliers and the choice of variant.
namespace orvel::jpeg {
namespace {

float SplatFloat(float value) { return value; }

// Rounds to the nearest integer, ties to even, exactly as the SIMD conversions do under the
// default rounding mode; valid for |value| < 2^22, far beyond any coefficient (|c| <= 2^11 * 8).
std::int16_t RoundToInt16(float value) {
  constexpr float kMagic = 12582912.0f;  // 1.5 * 2^23
  const float rounded = (value + kMagic) - kMagic;
  return static_cast<std::int16_t>(rounded);
}

std::uint64_t ForwardDctQuantizeScalar(const std::uint8_t* samples, std::ptrdiff_t stride,
                                       const QuantDivisors& divisors, std::int16_t* zigzag) {
  const AanConstants<float> constants = MakeAanConstants<float>(SplatFloat);
  float block[64];  // natural order, row * 8 + column
  // Vertical pass first, as the SIMD variants do, so that the rounding of every step matches.
  for (int column = 0; column < 8; ++column) {
    float d[8];
    for (int row = 0; row < 8; ++row) d[row] = static_cast<float>(samples[row * stride + column]) - 128.0f;
    AanForwardDct8(d, constants);
    for (int row = 0; row < 8; ++row) block[row * 8 + column] = d[row];
  }
  for (int row = 0; row < 8; ++row) {
    float d[8];
    for (int column = 0; column < 8; ++column) d[column] = block[row * 8 + column];
    AanForwardDct8(d, constants);
    for (int column = 0; column < 8; ++column) block[row * 8 + column] = d[column];
  }
  std::uint64_t nonZero = 0;
  zigzag[0] = RoundToInt16(block[0] * divisors.natural[0]);
  for (int k = 1; k < 64; ++k) {
    const int natural = kZigzagToNatural[k];
    zigzag[k] = RoundToInt16(block[natural] * divisors.natural[natural]);
    nonZero |= static_cast<std::uint64_t>(zigzag[k] != 0) << k;
  }
  return nonZero;
}

void BgrToYccScalar(const std::uint8_t* bgr, int width, std::uint8_t* y, std::uint8_t* cb, std::uint8_t* cr) {
  using namespace ycc;
  for (int x = 0; x < width; ++x, bgr += 3) {
    const int blue = bgr[0], green = bgr[1], red = bgr[2];
    y[x] = static_cast<std::uint8_t>((red * kYr + green * kYg + blue * kYb + kHalf) >> kShift);
    cb[x] = static_cast<std::uint8_t>((red * kCbR + green * kCbG + blue * kHalf + kChromaBias) >> kShift);
    cr[x] = static_cast<std::uint8_t>((red * kHalf + green * kCrG + blue * kCrB + kChromaBias) >> kShift);
  }
}

}  // namespace

QuantDivisors MakeQuantDivisors(const Block64& quantZigzag) {
  // aan[k] = cos(k * pi / 16) * sqrt(2) for k >= 1: the scale each AAN pass leaves on frequency k.
  double aan[8] = {1.0};
  for (int k = 1; k < 8; ++k) aan[k] = std::cos(k * std::numbers::pi / 16.0) * std::sqrt(2.0);
  QuantDivisors divisors{};
  for (int k = 0; k < 64; ++k) {
    const int natural = kZigzagToNatural[k];
    const int row = natural / 8, column = natural % 8;
    const double scale = 8.0 * quantZigzag[k] * aan[row] * aan[column];
    divisors.natural[natural] = static_cast<float>(1.0 / scale);
    divisors.transposed[column * 8 + row] = static_cast<float>(1.0 / scale);
  }
  return divisors;
}

EncoderKernels ScalarEncoderKernels() { return {ForwardDctQuantizeScalar, BgrToYccScalar}; }

CpuVariant SupportedEncoderVariant(CpuVariant requested) {
  const CpuVariant variant = std::min(requested, DetectCpuVariant());
  if (variant == CpuVariant::kAvx2 && Avx2EncoderKernels().forwardDctQuantize) return CpuVariant::kAvx2;
  if (variant >= CpuVariant::kSse2 && Sse2EncoderKernels().forwardDctQuantize) return CpuVariant::kSse2;
  return CpuVariant::kScalar;
}

EncoderKernels SelectEncoderKernels(CpuVariant requested) {
  switch (SupportedEncoderVariant(requested)) {
    case CpuVariant::kAvx2: return Avx2EncoderKernels();
    case CpuVariant::kSse2: return Sse2EncoderKernels();
    case CpuVariant::kScalar: break;
  }
  return ScalarEncoderKernels();
}

}  // namespace orvel::jpeg
