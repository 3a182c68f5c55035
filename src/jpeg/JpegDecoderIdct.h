#pragma once
// The inverse DCT of one 8x8 block: dequantized coefficients in natural (row-major) order in,
// 64 samples (level-shifted back to 0..255) out. Every variant computes the same fixed-point
// Loeffler-Ligtenberg-Moschytz factorisation (13 fraction bits, 2 extra bits between the column
// and the row pass, intermediates saturated to 16 bits), so they agree to the bit.
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#define ORVEL_JPEG_X86 1
#endif

namespace orvel::jpeg {

// out points at the top-left sample; stride is the byte distance between rows (may be negative).
using IdctFunction = void (*)(const std::int16_t* coefficients, std::uint8_t* out, std::ptrdiff_t stride);

void IdctScalar(const std::int16_t* coefficients, std::uint8_t* out, std::ptrdiff_t stride);
#ifdef ORVEL_JPEG_X86
void IdctSse2(const std::int16_t* coefficients, std::uint8_t* out, std::ptrdiff_t stride);
void IdctAvx2(const std::int16_t* coefficients, std::uint8_t* out, std::ptrdiff_t stride);
#endif

// The sample value of a block whose only non-zero coefficient is the (dequantized) DC term;
// equal to what the full transform gives for such a block.
inline std::uint8_t DcOnlySample(int dc) {
  int scaled = dc * 4;  // the column pass's two extra bits, saturated like its output
  scaled = scaled < -32768 ? -32768 : (scaled > 32767 ? 32767 : scaled);
  const int value = ((scaled + 16) >> 5) + 128;
  return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

// Fixed-point constants: round(x * 2^13).
namespace idct {
inline constexpr int kConstBits = 13;
inline constexpr int kPass1Bits = 2;
inline constexpr int k0_298631336 = 2446;
inline constexpr int k0_390180644 = 3196;
inline constexpr int k0_541196100 = 4433;
inline constexpr int k0_765366865 = 6270;
inline constexpr int k0_899976223 = 7373;
inline constexpr int k1_175875602 = 9633;
inline constexpr int k1_501321110 = 12299;
inline constexpr int k1_847759065 = 15137;
inline constexpr int k1_961570560 = 16069;
inline constexpr int k2_053119869 = 16819;
inline constexpr int k2_562915447 = 20995;
inline constexpr int k3_072711026 = 25172;
}  // namespace idct

}  // namespace orvel::jpeg
