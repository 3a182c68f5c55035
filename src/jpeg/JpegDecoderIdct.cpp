#include "jpeg/JpegDecoderIdct.h"

namespace orvel::jpeg {

namespace {

using namespace idct;

// The eight outputs of the one-dimensional transform of in[0], in[step], ... in[7 * step],
// before descaling. With inputs in the 16-bit range no intermediate leaves 31 bits.
void Transform1d(const int* in, int out[8]) {
  // Even part: coefficients 0, 2, 4, 6.
  int z2 = in[2], z3 = in[6];
  int z1 = (z2 + z3) * k0_541196100;
  const int even2 = z1 - z3 * k1_847759065;
  const int even3 = z1 + z2 * k0_765366865;
  const int even0 = (in[0] + in[4]) * (1 << kConstBits);
  const int even1 = (in[0] - in[4]) * (1 << kConstBits);
  const int t10 = even0 + even3, t13 = even0 - even3, t11 = even1 + even2, t12 = even1 - even2;

  // Odd part: coefficients 7, 5, 3, 1.
  int odd0 = in[7], odd1 = in[5], odd2 = in[3], odd3 = in[1];
  z1 = odd0 + odd3;
  z2 = odd1 + odd2;
  z3 = odd0 + odd2;
  int z4 = odd1 + odd3;
  const int z5 = (z3 + z4) * k1_175875602;
  odd0 *= k0_298631336;
  odd1 *= k2_053119869;
  odd2 *= k3_072711026;
  odd3 *= k1_501321110;
  z1 *= -k0_899976223;
  z2 *= -k2_562915447;
  z3 = z3 * -k1_961570560 + z5;
  z4 = z4 * -k0_390180644 + z5;
  odd0 += z1 + z3;
  odd1 += z2 + z4;
  odd2 += z2 + z3;
  odd3 += z1 + z4;

  out[0] = t10 + odd3;
  out[7] = t10 - odd3;
  out[1] = t11 + odd2;
  out[6] = t11 - odd2;
  out[2] = t12 + odd1;
  out[5] = t12 - odd1;
  out[3] = t13 + odd0;
  out[4] = t13 - odd0;
}

int Descale(int value, int shift) { return (value + (1 << (shift - 1))) >> shift; }

int Saturate16(int value) { return value < -32768 ? -32768 : (value > 32767 ? 32767 : value); }

std::uint8_t ClampSample(int value) { return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value)); }

bool AcIsZero(const int* in) { return (in[1] | in[2] | in[3] | in[4] | in[5] | in[6] | in[7]) == 0; }

}  // namespace

void IdctScalar(const std::int16_t* coefficients, std::uint8_t* out, std::ptrdiff_t stride) {
  int workspace[64];  // column pass output, row-major
  for (int column = 0; column < 8; ++column) {
    int in[8], result[8];
    for (int row = 0; row < 8; ++row) in[row] = coefficients[row * 8 + column];
    if (AcIsZero(in)) {
      // Exactly what the full transform gives for a lone DC term, and the common case.
      const int value = Saturate16(in[0] * (1 << kPass1Bits));
      for (int row = 0; row < 8; ++row) workspace[row * 8 + column] = value;
      continue;
    }
    Transform1d(in, result);
    for (int row = 0; row < 8; ++row)
      workspace[row * 8 + column] = Saturate16(Descale(result[row], kConstBits - kPass1Bits));
  }
  for (int row = 0; row < 8; ++row, out += stride) {
    const int* in = workspace + row * 8;
    if (AcIsZero(in)) {
      const std::uint8_t value = ClampSample(((in[0] + 16) >> 5) + 128);
      for (int column = 0; column < 8; ++column) out[column] = value;
      continue;
    }
    int result[8];
    Transform1d(in, result);
    for (int column = 0; column < 8; ++column)
      out[column] = ClampSample(Descale(result[column], kConstBits + kPass1Bits + 3) + 128);
  }
}

}  // namespace orvel::jpeg
