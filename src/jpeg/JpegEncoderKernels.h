#pragma once
// The per-block and per-row routines of the encoder, in a scalar and in SIMD variants. The
// encoder picks one set per image, so no routine tests processor features per block.
#include <array>
#include <cstddef>
#include <cstdint>

#include "jpeg/JpegCpu.h"
#include "jpeg/JpegTables.h"

namespace orvel::jpeg {

// Multipliers that turn the scaled output of the AAN forward DCT into quantised coefficients:
// 1 / (8 * quant * aan[row] * aan[column]). `natural` is indexed row * 8 + column (row = vertical
// frequency); `transposed` is indexed column * 8 + row, the order the SIMD transforms leave.
struct QuantDivisors {
  alignas(32) std::array<float, 64> natural;
  alignas(32) std::array<float, 64> transposed;
};

// Builds the multipliers from a quantization table in zig-zag order (as written to DQT).
QuantDivisors MakeQuantDivisors(const Block64& quantZigzag);

// Zig-zag position -> index in the transposed (column * 8 + row) layout.
inline constexpr std::array<std::uint8_t, 64> kZigzagToTransposed = [] {
  std::array<std::uint8_t, 64> table{};
  for (int k = 0; k < 64; ++k) {
    const int natural = kZigzagToNatural[k];
    table[k] = static_cast<std::uint8_t>((natural % 8) * 8 + natural / 8);
  }
  return table;
}();

// JFIF colour conversion in 14-bit fixed point, shared by every variant so that they agree bit for
// bit: Y = (R*kYr + G*kYg + B*kYb + kHalf) >> 14, Cb = (R*kCbR + G*kCbG + B*kHalf + kChromaBias)
// >> 14, Cr = (R*kHalf + G*kCrG + B*kCrB + kChromaBias) >> 14. Each row of weights sums to 1.0
// (16384) or 0; the chroma bias is 128.0 plus just under 0.5, so B = 255 gives Cb 255, not 256.
namespace ycc {
inline constexpr int kShift = 14;
inline constexpr int kYr = 4899, kYg = 9617, kYb = 1868;  // 0.299, 0.587, 0.114
inline constexpr int kCbR = -2765, kCbG = -5427;          // -0.168736, -0.331264
inline constexpr int kCrG = -6860, kCrB = -1332;          // -0.418688, -0.081312
inline constexpr int kHalf = 8192;                        // 0.5, also the rounding of Y
inline constexpr int kChromaBias = (128 << kShift) + kHalf - 1;
}  // namespace ycc

// Transforms and quantises one 8x8 block of samples (rows `stride` bytes apart, may be negative),
// writes the coefficients in zig-zag order to `zigzag` and returns a mask with bit k set when
// coefficient k (k >= 1) is non-zero; bit 0 is always clear.
using ForwardDctQuantizeFn = std::uint64_t (*)(const std::uint8_t* samples, std::ptrdiff_t stride,
                                               const QuantDivisors& divisors, std::int16_t* zigzag);

// Converts `width` pixels stored B, G, R to the three JFIF planes Y, Cb, Cr.
using BgrToYccFn = void (*)(const std::uint8_t* bgr, int width, std::uint8_t* y, std::uint8_t* cb, std::uint8_t* cr);

struct EncoderKernels {
  ForwardDctQuantizeFn forwardDctQuantize;
  BgrToYccFn bgrToYcc;
};

// The variant SelectEncoderKernels uses for `requested`: `requested`, or the best one below it
// that both the processor and this build (compiler flags) support.
CpuVariant SupportedEncoderVariant(CpuVariant requested);

// The routines of SupportedEncoderVariant(requested).
EncoderKernels SelectEncoderKernels(CpuVariant requested);

// Per-variant tables; the SIMD ones are empty (null routines) when the build lacks them.
EncoderKernels ScalarEncoderKernels();
EncoderKernels Sse2EncoderKernels();
EncoderKernels Avx2EncoderKernels();

}  // namespace orvel::jpeg
