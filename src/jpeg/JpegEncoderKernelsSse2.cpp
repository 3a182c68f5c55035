// SSE2 variant of the encoder routines: the 8x8 block as two halves of four columns, a row of
// four floats per register; 8 pixels per colour-conversion step. SSE2 lacks a byte shuffle, so
// the colour conversion gathers its channels with scalar loads; only the arithmetic is vectorised.
#include "jpeg/JpegEncoderKernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "jpeg/JpegAanDct.h"

namespace orvel::jpeg {
namespace {

// GCC vector type for the shared transform: __m128 itself carries attributes that a template
// argument drops (with a warning); this plain type converts to and from it freely.
using Float4 = float __attribute__((vector_size(16)));

Float4 Splat4(float value) { return _mm_set1_ps(value); }

// Transposes the 4x4 block in[0..3] into out[0..3].
void Transpose4x4(const Float4* in, Float4* out) {
  const __m128 t0 = _mm_unpacklo_ps(in[0], in[1]), t1 = _mm_unpackhi_ps(in[0], in[1]);
  const __m128 t2 = _mm_unpacklo_ps(in[2], in[3]), t3 = _mm_unpackhi_ps(in[2], in[3]);
  out[0] = _mm_movelh_ps(t0, t2);
  out[1] = _mm_movehl_ps(t2, t0);
  out[2] = _mm_movelh_ps(t1, t3);
  out[3] = _mm_movehl_ps(t3, t1);
}

std::uint64_t NonZeroMask(const std::int16_t* zigzag) {
  const __m128i zero = _mm_setzero_si128();
  std::uint64_t zeroMask = 0;
  for (int part = 0; part < 4; ++part) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + part * 16));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + part * 16 + 8));
    const __m128i bytes = _mm_packs_epi16(_mm_cmpeq_epi16(a, zero), _mm_cmpeq_epi16(b, zero));
    zeroMask |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(bytes))) << (part * 16);
  }
  return ~zeroMask;
}

std::uint64_t ForwardDctQuantizeSse2(const std::uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                                     std::int16_t* zigzag) {
  const AanConstants<Float4> constants = MakeAanConstants<Float4>(Splat4);
  const __m128 levelShift = _mm_set1_ps(128.0f);
  const __m128i zero = _mm_setzero_si128();
  Float4 left[8], right[8];  // columns 0-3 and 4-7 of each row
  for (int row = 0; row < 8; ++row) {
    const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples + row * stride));
    const __m128i words = _mm_unpacklo_epi8(bytes, zero);
    left[row] = _mm_sub_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(words, zero)), levelShift);
    right[row] = _mm_sub_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(words, zero)), levelShift);
  }
  AanForwardDct8(left, constants);
  AanForwardDct8(right, constants);

  // After the transpose, low[x] holds vertical frequencies 0-3 of column x, high[x] 4-7.
  Float4 low[8], high[8];
  Transpose4x4(left, low);
  Transpose4x4(right, low + 4);
  Transpose4x4(left + 4, high);
  Transpose4x4(right + 4, high + 4);
  AanForwardDct8(low, constants);
  AanForwardDct8(high, constants);

  alignas(16) std::int16_t transposed[64];
  for (int u = 0; u < 8; ++u) {
    const __m128i q0 = _mm_cvtps_epi32(_mm_mul_ps(low[u], _mm_load_ps(&divisors.transposed[u * 8])));
    const __m128i q1 = _mm_cvtps_epi32(_mm_mul_ps(high[u], _mm_load_ps(&divisors.transposed[u * 8 + 4])));
    _mm_store_si128(reinterpret_cast<__m128i*>(transposed + u * 8), _mm_packs_epi32(q0, q1));
  }
  for (int k = 0; k < 64; ++k) zigzag[k] = transposed[kZigzagToTransposed[k]];
  return NonZeroMask(zigzag) & ~std::uint64_t{1};
}

__m128i WeightPair(int first, int second) {
  return _mm_set1_epi32(
      static_cast<int>((static_cast<std::uint32_t>(second) << 16) | static_cast<std::uint16_t>(first)));
}

// (R*wr + G*wg + B*wb + bias) >> 14 for 8 pixels; rg and b1 hold (R, G) and (B, 1) pairs.
void StorePlane(const __m128i (&rg)[2], const __m128i (&b1)[2], __m128i rgWeights, __m128i bWeights, __m128i bias,
                std::uint8_t* out) {
  __m128i half[2];
  for (int i = 0; i < 2; ++i) {
    const __m128i sum = _mm_add_epi32(_mm_madd_epi16(rg[i], rgWeights), _mm_madd_epi16(b1[i], bWeights));
    half[i] = _mm_srai_epi32(_mm_add_epi32(sum, bias), ycc::kShift);
  }
  const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(half[0], half[1]), _mm_setzero_si128());
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
}

void BgrToYccSse2(const std::uint8_t* bgr, int width, std::uint8_t* y, std::uint8_t* cb, std::uint8_t* cr) {
  using namespace ycc;
  const __m128i one = _mm_set1_epi16(1), zero = _mm_setzero_si128();
  const __m128i chromaBias = _mm_set1_epi32(kChromaBias);
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    const std::uint8_t* p = bgr + x * 3;
    const __m128i blue = _mm_setr_epi16(p[0], p[3], p[6], p[9], p[12], p[15], p[18], p[21]);
    const __m128i green = _mm_setr_epi16(p[1], p[4], p[7], p[10], p[13], p[16], p[19], p[22]);
    const __m128i red = _mm_setr_epi16(p[2], p[5], p[8], p[11], p[14], p[17], p[20], p[23]);
    const __m128i rg[2] = {_mm_unpacklo_epi16(red, green), _mm_unpackhi_epi16(red, green)};
    const __m128i b1[2] = {_mm_unpacklo_epi16(blue, one), _mm_unpackhi_epi16(blue, one)};
    StorePlane(rg, b1, WeightPair(kYr, kYg), WeightPair(kYb, kHalf), zero, y + x);
    StorePlane(rg, b1, WeightPair(kCbR, kCbG), WeightPair(kHalf, 0), chromaBias, cb + x);
    StorePlane(rg, b1, WeightPair(kHalf, kCrG), WeightPair(kCrB, 0), chromaBias, cr + x);
  }
  if (x < width) ScalarEncoderKernels().bgrToYcc(bgr + x * 3, width - x, y + x, cb + x, cr + x);
}

}  // namespace

EncoderKernels Sse2EncoderKernels() { return {ForwardDctQuantizeSse2, BgrToYccSse2}; }

}  // namespace orvel::jpeg

#else

namespace orvel::jpeg {
EncoderKernels Sse2EncoderKernels() { return {nullptr, nullptr}; }
}  // namespace orvel::jpeg

#endif
