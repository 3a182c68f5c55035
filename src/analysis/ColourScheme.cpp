#include "analysis/ColourScheme.h"

#include <algorithm>
#include <cstdint>

namespace orvel::analysis {

// Red/green/blue, 6 bits each, eight entries a row.
const std::array<Rgb6, 256> ColourRamp = {{
    {0,0,0}, {2,0,1}, {4,0,2}, {6,0,3}, {8,0,4}, {10,0,5}, {12,0,6}, {14,0,7},  // 0-7
    {16,0,8}, {17,0,10}, {18,0,12}, {19,0,14}, {20,0,16}, {21,0,17}, {22,0,18}, {23,0,19},  // 8-15
    {24,0,20}, {25,0,21}, {26,0,22}, {27,0,23}, {28,0,24}, {29,0,25}, {29,0,26}, {30,0,27},  // 16-23
    {30,0,28}, {31,0,30}, {31,0,32}, {32,0,34}, {32,0,36}, {32,0,37}, {33,0,38}, {33,0,39},  // 24-31
    {34,0,40}, {34,1,38}, {35,1,37}, {35,2,35}, {36,2,34}, {37,3,32}, {38,4,30}, {39,5,28},  // 32-39
    {40,6,26}, {41,7,25}, {42,9,23}, {43,11,22}, {44,12,20}, {45,13,19}, {46,15,18}, {47,17,16},  // 40-47
    {48,18,15}, {49,19,14}, {50,20,13}, {51,21,12}, {52,22,10}, {53,23,9}, {54,25,7}, {55,27,6},  // 48-55
    {56,28,5}, {57,29,4}, {58,31,3}, {59,32,2}, {60,34,1}, {61,35,0}, {62,36,0}, {63,37,0},  // 56-63
    {63,38,0}, {63,39,0}, {62,40,0}, {62,41,0}, {62,42,0}, {61,42,0}, {61,43,0}, {60,43,0},  // 64-71
    {60,44,0}, {60,44,0}, {59,45,0}, {59,45,0}, {59,46,0}, {58,46,0}, {58,47,0}, {58,47,0},  // 72-79
    {58,48,0}, {57,48,0}, {57,49,0}, {57,49,0}, {56,50,0}, {56,51,0}, {56,52,0}, {55,53,0},  // 80-87
    {54,54,0}, {54,55,0}, {54,56,0}, {53,57,0}, {52,58,0}, {52,59,0}, {51,60,0}, {51,61,0},  // 88-95
    {50,62,0}, {49,62,0}, {48,63,0}, {46,63,0}, {44,63,0}, {43,62,0}, {41,61,0}, {39,60,0},  // 96-103
    {38,60,0}, {36,59,0}, {34,58,0}, {32,57,0}, {31,56,0}, {29,55,0}, {28,54,0}, {27,53,0},  // 104-111
    {25,52,0}, {24,51,0}, {23,50,0}, {22,49,0}, {21,48,0}, {20,47,0}, {19,46,0}, {18,45,0},  // 112-119
    {18,44,0}, {17,44,0}, {16,43,0}, {15,43,0}, {14,42,0}, {13,42,1}, {12,41,2}, {11,41,4},  // 120-127
    {10,40,5}, {9,40,6}, {8,39,7}, {7,39,8}, {5,38,10}, {4,38,11}, {3,37,12}, {2,36,14},  // 128-135
    {1,35,15}, {0,34,16}, {0,33,18}, {0,32,19}, {0,30,20}, {0,29,21}, {1,27,22}, {2,26,23},  // 136-143
    {3,25,25}, {5,24,27}, {7,23,29}, {8,21,31}, {10,20,32}, {12,18,33}, {13,17,34}, {14,16,36},  // 144-151
    {15,15,38}, {16,14,40}, {17,13,42}, {18,12,44}, {20,11,45}, {19,10,47}, {18,9,49}, {17,7,51},  // 152-159
    {15,5,52}, {14,6,52}, {13,8,53}, {12,9,53}, {10,10,53}, {9,11,53}, {8,13,54}, {7,14,54},  // 160-167
    {5,15,54}, {4,16,55}, {3,18,55}, {2,19,55}, {1,20,55}, {0,21,56}, {0,22,56}, {0,23,56},  // 168-175
    {0,23,56}, {0,24,57}, {0,25,57}, {0,26,57}, {0,27,58}, {0,28,58}, {0,29,59}, {0,30,59},  // 176-183
    {0,30,59}, {0,31,59}, {0,31,60}, {0,32,60}, {0,32,60}, {0,33,61}, {0,34,62}, {0,35,62},  // 184-191
    {0,36,63}, {2,37,63}, {3,39,63}, {4,41,63}, {5,42,63}, {6,43,63}, {7,44,63}, {8,46,63},  // 192-199
    {10,48,63}, {11,49,63}, {13,50,63}, {14,51,63}, {15,52,63}, {16,53,63}, {18,54,63}, {19,55,63},  // 200-207
    {20,57,63}, {21,58,63}, {22,59,63}, {23,60,63}, {24,61,63}, {25,61,63}, {26,61,63}, {27,62,63},  // 208-215
    {28,62,63}, {29,62,63}, {30,62,63}, {30,62,63}, {31,63,63}, {31,63,63}, {32,63,63}, {32,63,63},  // 216-223
    {32,63,63}, {33,63,63}, {34,63,63}, {35,63,63}, {36,63,63}, {37,63,63}, {39,63,63}, {40,63,63},  // 224-231
    {42,63,63}, {43,63,63}, {44,63,63}, {46,63,63}, {48,63,63}, {49,63,63}, {50,63,63}, {51,63,63},  // 232-239
    {53,63,63}, {54,63,63}, {55,63,63}, {56,63,63}, {57,63,63}, {58,63,63}, {59,63,63}, {60,63,63},  // 240-247
    {60,63,63}, {61,63,63}, {61,63,63}, {62,63,63}, {62,63,63}, {63,63,63}, {63,63,63}, {63,63,63},  // 248-255
}};

int WindowFunction(int i, int n, int l1, int l2) {
  const int m = n - 1;
  const double half = m / 2.0;
  const int divisor = 2 * n - 1 - l2;
  if (divisor == 0) return std::clamp(i + l1 - m >= 0 ? m : 0, 0, m);  // infinite contrast
  const double v = half * (i + l1 - m) / divisor + half;
  const int w = static_cast<int>(v);  // truncation toward zero
  return std::clamp(w, 0, m);
}

ThresholdRange ThresholdWindow(int p1, int p2) {
  const int halved = p2 / 2;
  return {std::min(p1, halved), std::max(p1, halved)};
}

ThresholdRange ShiftedWindow(ThresholdRange window, int shift) {
  // 64-bit: level positions given on a command line may lie near the ends of int.
  const auto moved = [shift](int bound) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{bound} + shift, 0, 255));
  };
  return {moved(window.low), moved(window.high)};
}

namespace {

struct Rgb {
  int red, green, blue;
};

Rgb RampColour(int index) {
  const Rgb6& c = ColourRamp[static_cast<std::size_t>(std::clamp(index, 0, 255))];
  return {4 * c.red, 4 * c.green, 4 * c.blue};
}

Rgb Complement(Rgb c) { return {255 - c.red, 255 - c.green, 255 - c.blue}; }

// Inside the threshold window: a red ramp; outside: a green ramp, so structure stays visible.
Rgb BinaryInside(int i) { return {3 * i / 4 + 60, i / 4, i / 5}; }
Rgb BinaryOutside(int i) { return {0, 3 * i / 4 + 20, i / 8}; }

Rgb SchemeColour(int scheme, int i, int w, bool inside, const std::uint8_t* original) {
  switch (scheme) {
    case 0: return {w, w, w};
    case 1: return Complement({w, w, w});
    case 2: return RampColour(w);
    case 3: return RampColour(255 - w);
    case 4: return Complement(RampColour(255 - w));
    case 5: return Complement(RampColour(w));
    case 6: return inside ? BinaryInside(i) : BinaryOutside(i);
    case 7: return inside ? BinaryOutside(i) : BinaryInside(i);
    case 8: return {original[4 * i + 2], original[4 * i + 1], original[4 * i]};
    case 9: return Complement({original[4 * i + 2], original[4 * i + 1], original[4 * i]});
    default: return {w, w, w};
  }
}

}  // namespace

void ComputeColourTable(int scheme, int n, int l1, int l2, int low, int high,
                        const std::uint8_t* originalColours, std::uint8_t* table) {
  for (int i = 0; i < n; ++i) {
    const int w = WindowFunction(i, n, l1, l2);
    const bool inside = low <= i && i <= high;
    const Rgb c = SchemeColour(scheme, i, w, inside, originalColours);
    table[4 * i] = static_cast<std::uint8_t>(c.blue);
    table[4 * i + 1] = static_cast<std::uint8_t>(c.green);
    table[4 * i + 2] = static_cast<std::uint8_t>(c.red);
    table[4 * i + 3] = 0;
  }
}

}  // namespace orvel::analysis
