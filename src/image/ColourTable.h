#pragma once
// The colour tables of the display modes: how a mode rewrites the colour table of an indexed
// image. Pixel indices are never changed for display; only the table entries (blue, green, red, 0).
#include <array>
#include <cstdint>

namespace orvel {

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

// Rewrites the n four-byte entries of table for the scheme (0..9). The binary schemes colour an
// entry by whether it lies in [low, high]; the original schemes copy (or complement) the file
// colours in originalColours; the others apply the window function with l1 and l2.
void ComputeColourTable(int scheme, int n, int l1, int l2, int low, int high, const std::uint8_t* originalColours,
                        std::uint8_t* table);

}  // namespace orvel
