#pragma once
// The one-dimensional 8-point forward DCT of Arai, Agui and Nakajima (float), written once for
// plain floats and for the SIMD vector types, so that every variant runs exactly the same
// arithmetic and the variants' coefficients agree bit for bit. The outputs are the true DCT
// values scaled by 8 * aan[u] (aan[0] = 1, aan[u] = cos(u * pi / 16) * sqrt(2)); the quantiser
// divides that scale out (MakeQuantDivisors).
//
// Header-only with internal linkage on purpose: each variant's file is compiled with its own
// instruction-set flags, and a shared out-of-line instantiation could carry AVX2 code into the
// scalar path.

namespace orvel::jpeg {
namespace {

template <typename V>
struct AanConstants {
  V c0707;  // cos(4 pi / 16)
  V c0382;  // cos(6 pi / 16)
  V c0541;  // cos(2 pi / 16) - cos(6 pi / 16)
  V c1306;  // cos(2 pi / 16) + cos(6 pi / 16)
};

// Transforms d[0..7] in place; V supports +, - and * (float or a GCC vector type).
template <typename V>
inline void AanForwardDct8(V (&d)[8], const AanConstants<V>& c) {
  const V tmp0 = d[0] + d[7], tmp7 = d[0] - d[7];
  const V tmp1 = d[1] + d[6], tmp6 = d[1] - d[6];
  const V tmp2 = d[2] + d[5], tmp5 = d[2] - d[5];
  const V tmp3 = d[3] + d[4], tmp4 = d[3] - d[4];

  // Even part.
  const V even10 = tmp0 + tmp3, even13 = tmp0 - tmp3;
  const V even11 = tmp1 + tmp2, even12 = tmp1 - tmp2;
  d[0] = even10 + even11;
  d[4] = even10 - even11;
  const V z1 = (even12 + even13) * c.c0707;
  d[2] = even13 + z1;
  d[6] = even13 - z1;

  // Odd part.
  const V odd10 = tmp4 + tmp5, odd11 = tmp5 + tmp6, odd12 = tmp6 + tmp7;
  const V z5 = (odd10 - odd12) * c.c0382;
  const V z2 = odd10 * c.c0541 + z5;
  const V z4 = odd12 * c.c1306 + z5;
  const V z3 = odd11 * c.c0707;
  const V z11 = tmp7 + z3, z13 = tmp7 - z3;
  d[5] = z13 + z2;
  d[3] = z13 - z2;
  d[1] = z11 + z4;
  d[7] = z11 - z4;
}

template <typename V>
inline AanConstants<V> MakeAanConstants(V (*splat)(float)) {
  return {splat(0.707106781f), splat(0.382683433f), splat(0.541196100f), splat(1.306562965f)};
}

}  // namespace
}  // namespace orvel::jpeg
