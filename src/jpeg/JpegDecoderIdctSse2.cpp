// SSE2 inverse DCT: eight 16-bit lanes per register, products formed with pmaddwd on interleaved
// pairs of rows so that every sum is exact in 32 bits; the same arithmetic as IdctScalar.
#include "jpeg/JpegDecoderIdct.h"

#ifdef ORVEL_JPEG_X86
#include <emmintrin.h>

namespace orvel::jpeg {

namespace {

using namespace idct;

#define ORVEL_SSE2 __attribute__((target("sse2")))

// Two 16-bit constants repeated, the multiplier pair of one pmaddwd.
ORVEL_SSE2 inline __m128i Pair(int first, int second) {
  return _mm_set1_epi32(
      static_cast<int>((static_cast<std::uint32_t>(second) << 16) | (static_cast<std::uint32_t>(first) & 0xFFFF)));
}

// a * first + b * second for the four low (lo) or four high (hi) lanes, exact in 32 bits.
struct Product {
  __m128i lo, hi;
};

ORVEL_SSE2 inline Product MultiplyPair(__m128i a, __m128i b, __m128i pair) {
  return {_mm_madd_epi16(_mm_unpacklo_epi16(a, b), pair), _mm_madd_epi16(_mm_unpackhi_epi16(a, b), pair)};
}

ORVEL_SSE2 inline Product Add(Product x, Product y) { return {_mm_add_epi32(x.lo, y.lo), _mm_add_epi32(x.hi, y.hi)}; }

ORVEL_SSE2 inline Product Sub(Product x, Product y) { return {_mm_sub_epi32(x.lo, y.lo), _mm_sub_epi32(x.hi, y.hi)}; }

// (x + bias) >> shift, saturated to 16 bits.
template <int kShift>
ORVEL_SSE2 inline __m128i Descale(Product x, __m128i bias) {
  return _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(x.lo, bias), kShift),
                         _mm_srai_epi32(_mm_add_epi32(x.hi, bias), kShift));
}

// The one-dimensional transform along the register index: v[k] holds input k for eight lanes.
template <int kShift>
ORVEL_SSE2 void Transform1d(__m128i v[8], __m128i bias) {
  // Even part (inputs 0, 2, 4, 6), the scalar expressions expanded into pairs of multipliers.
  const Product even2 = MultiplyPair(v[2], v[6], Pair(k0_541196100, k0_541196100 - k1_847759065));
  const Product even3 = MultiplyPair(v[2], v[6], Pair(k0_541196100 + k0_765366865, k0_541196100));
  const Product even0 = MultiplyPair(v[0], v[4], Pair(1 << kConstBits, 1 << kConstBits));
  const Product even1 = MultiplyPair(v[0], v[4], Pair(1 << kConstBits, -(1 << kConstBits)));
  const Product t10 = Add(even0, even3), t13 = Sub(even0, even3);
  const Product t11 = Add(even1, even2), t12 = Sub(even1, even2);

  // Odd part: inputs 1, 3 and 5, 7 in pairs; each output is a fixed combination of all four.
  constexpr int c = k1_175875602;
  const Product odd3 = Add(MultiplyPair(v[1], v[3], Pair(k1_501321110 - k0_899976223 - k0_390180644 + c, c)),
                           MultiplyPair(v[5], v[7], Pair(c - k0_390180644, c - k0_899976223)));
  const Product odd2 = Add(MultiplyPair(v[1], v[3], Pair(c, k3_072711026 - k2_562915447 - k1_961570560 + c)),
                           MultiplyPair(v[5], v[7], Pair(c - k2_562915447, c - k1_961570560)));
  const Product odd1 = Add(MultiplyPair(v[1], v[3], Pair(c - k0_390180644, c - k2_562915447)),
                           MultiplyPair(v[5], v[7], Pair(k2_053119869 - k2_562915447 - k0_390180644 + c, c)));
  const Product odd0 = Add(MultiplyPair(v[1], v[3], Pair(c - k0_899976223, c - k1_961570560)),
                           MultiplyPair(v[5], v[7], Pair(c, k0_298631336 - k0_899976223 - k1_961570560 + c)));

  v[0] = Descale<kShift>(Add(t10, odd3), bias);
  v[7] = Descale<kShift>(Sub(t10, odd3), bias);
  v[1] = Descale<kShift>(Add(t11, odd2), bias);
  v[6] = Descale<kShift>(Sub(t11, odd2), bias);
  v[2] = Descale<kShift>(Add(t12, odd1), bias);
  v[5] = Descale<kShift>(Sub(t12, odd1), bias);
  v[3] = Descale<kShift>(Add(t13, odd0), bias);
  v[4] = Descale<kShift>(Sub(t13, odd0), bias);
}

ORVEL_SSE2 void Transpose8x16(__m128i v[8]) {
  const __m128i a0 = _mm_unpacklo_epi16(v[0], v[1]), a1 = _mm_unpackhi_epi16(v[0], v[1]);
  const __m128i a2 = _mm_unpacklo_epi16(v[2], v[3]), a3 = _mm_unpackhi_epi16(v[2], v[3]);
  const __m128i a4 = _mm_unpacklo_epi16(v[4], v[5]), a5 = _mm_unpackhi_epi16(v[4], v[5]);
  const __m128i a6 = _mm_unpacklo_epi16(v[6], v[7]), a7 = _mm_unpackhi_epi16(v[6], v[7]);
  const __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
  const __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
  const __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
  const __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
  v[0] = _mm_unpacklo_epi64(b0, b4);
  v[1] = _mm_unpackhi_epi64(b0, b4);
  v[2] = _mm_unpacklo_epi64(b1, b5);
  v[3] = _mm_unpackhi_epi64(b1, b5);
  v[4] = _mm_unpacklo_epi64(b2, b6);
  v[5] = _mm_unpackhi_epi64(b2, b6);
  v[6] = _mm_unpacklo_epi64(b3, b7);
  v[7] = _mm_unpackhi_epi64(b3, b7);
}

}  // namespace

ORVEL_SSE2 void IdctSse2(const std::int16_t* coefficients, std::uint8_t* out, std::ptrdiff_t stride) {
  __m128i v[8];
  for (int row = 0; row < 8; ++row) v[row] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coefficients + row * 8));
  // Column pass: registers are rows, so the transform runs down each column.
  constexpr int kShift1 = kConstBits - kPass1Bits;
  Transform1d<kShift1>(v, _mm_set1_epi32(1 << (kShift1 - 1)));
  Transpose8x16(v);
  // Row pass, with the level shift of +128 folded into the rounding bias.
  constexpr int kShift2 = kConstBits + kPass1Bits + 3;
  Transform1d<kShift2>(v, _mm_set1_epi32((1 << (kShift2 - 1)) + (128 << kShift2)));
  Transpose8x16(v);
  for (int row = 0; row < 8; row += 2) {
    const __m128i bytes = _mm_packus_epi16(v[row], v[row + 1]);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + row * stride), bytes);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (row + 1) * stride), _mm_srli_si128(bytes, 8));
  }
}

}  // namespace orvel::jpeg

#endif  // ORVEL_JPEG_X86
