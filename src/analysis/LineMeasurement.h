#pragma once
// The line tool's measurements: 2D and 3D length, minimum, maximum and average grey value along
// the line, and the values behind the line profile graph.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/SelectionBox.h"
#include "image/SliceImage.h"

namespace orvel::analysis {

struct LineRequest {
  ImagePoint start;
  ImagePoint stop;
  double pixelSizeMm = 0;       // millimetres per pixel; 0 selects the pixel formats
  std::int64_t sliceSteps = 0;  // slice steps from the bottom to the top limit (>= 0)
  int sliceSpacing = 1;         // pixel rows one slice stands for; below 1 counts as 1
};

struct LineMeasurement {
  std::int64_t samples = 0;  // N: the truncated 2D length in pixels
  // Grey values 0..255 over the N samples; absent when N = 0 (both points on one pixel).
  std::optional<int> minimum;
  std::optional<int> maximum;
  std::optional<int> average;  // sum div N
  std::string text;            // the line block, "\r\n" line ends
};

LineMeasurement MeasureLine(const SliceImage& slice, const LineRequest& request);

// The grey values at the graphWidth + 1 positions 0 .. graphWidth of the profile graph, spread
// along the line from its left end to its right end; empty when graphWidth < 1.
std::vector<std::uint8_t> LineProfile(const SliceImage& slice, ImagePoint start, ImagePoint stop, int graphWidth);

// The graph row (0 = top) of grey value 0..255 in a graph graphHeight rows high: 255 at the top,
// 0 near the bottom.
inline int ProfileGraphRow(int value, int graphHeight) {
  return static_cast<int>((std::int64_t{255 - value} * graphHeight) / 256);
}

}  // namespace orvel::analysis
