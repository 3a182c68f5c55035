#pragma once
// Colour-scheme arithmetic: how a display mode rewrites the colour table of an indexed image.
// Pixel indices are never changed for display; only the table entries (blue, green, red, 0).
#include <array>
#include <cstdint>

namespace orvel::analysis {

// One entry of the colour ramp, 6-bit channels (0..63); shown as 4 x value.
struct Rgb6 {
  std::uint8_t red, green, blue;
};

// Black through violet, red, orange, yellow, green and blue to white; index = grey level.
extern const std::array<Rgb6, 256> ColourRamp;

enum ColourSchemeId : int {
  kGreyscale = 0,
  kColour1 = 2,
  kColour2 = 4,
  kBinary = 6,
  kOriginal = 8,  // odd = the inverted twin of the even scheme below it
};

enum LevelMode : int { kWindowLevels = 0, kThresholdLevels = 2 };

// The window (brightness/contrast) mapping of table entry i for an n-entry table, lower level
// l1 and upper level l2 (1..2n-2), truncated toward zero and clamped to 0..n-1.
int WindowFunction(int i, int n, int l1, int l2);

// The threshold pair from the two level-slider positions p1 and p2: low = min(p1, p2 div 2),
// high = max(p1, p2 div 2). "Inside" is low <= value <= high.
struct ThresholdRange {
  int low;
  int high;
  bool Contains(int value) const { return low <= value && value <= high; }
};
ThresholdRange ThresholdWindow(int p1, int p2);

// The window moved by shift grey levels, both bounds together, each kept within 0 .. 255.
ThresholdRange ShiftedWindow(ThresholdRange window, int shift);

// Rewrites the n four-byte entries of table for the scheme (0..9). The binary schemes colour an
// entry by whether it lies in [low, high]; the original schemes copy (or complement) the file
// colours in originalColours; the others apply the window function with l1 and l2.
void ComputeColourTable(int scheme, int n, int l1, int l2, int low, int high,
                        const std::uint8_t* originalColours, std::uint8_t* table);

}  // namespace orvel::analysis
