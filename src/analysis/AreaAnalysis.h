#pragma once
// The "2D" area analysis of a rectangle or ellipse on one slice: selected area, relative area,
// the 4-connected objects, their size classes and the values behind the size distribution graph.
#include <array>
#include <cstdint>
#include <string>

#include "analysis/ColourScheme.h"
#include "analysis/SelectionBox.h"
#include "analysis/SelectionMask.h"
#include "image/SliceImage.h"

namespace orvel::analysis {

constexpr int kSizeClassCount = 20;
constexpr int kDrawnSizeClasses = 12;  // classes 12 and up are counted, not drawn
using SizeClassCounts = std::array<std::int64_t, kSizeClassCount>;

struct AreaRequest {
  ImagePoint start;
  ImagePoint stop;
  AreaShape shape = AreaShape::kRectangle;
  ThresholdRange window{0, 255};  // ThresholdWindow of the two level-slider positions
  bool invert = false;            // count the values outside the window
  double pixelSizeMm = 0;         // millimetres per pixel; 0 selects the pixel formats
};

struct AreaMeasurement {
  std::int64_t selected = 0;         // T: selected pixels
  std::int64_t boxArea = 0;          // dx x dy
  double relativeAreaPercent = 0.0;  // T against the box, or against the ellipse inside it
  std::int64_t objects = 0;          // K: 4-connected groups of selected pixels
  SizeClassCounts sizeClassCounts{};
  std::string text;  // the area block, "\r\n" line ends
};

// Throws std::length_error for a box of more than kMaxMaskCells pixels.
AreaMeasurement MeasureArea(const SliceImage& slice, const AreaRequest& request);

// The size class of an object of cells pixels: the integer part of log2 of its equivalent
// diameter sqrt(cells * 4 / 3.1415). Class 0 holds 1-3 pixels, 1: 4-12, 2: 13-50, ...
int SizeClassOf(std::int64_t cells);

// One bar of the size distribution graph: graph columns left .. right - 1, filled on the rows
// bottom-most rows (graph row height - 1 upwards). Every class draws at least its bottom row.
struct SizeBar {
  int left;
  int right;
  int rows;
};

// The bars of classes 0 .. 11 in a graph graphWidth x graphHeight pixels, scaled so that the
// largest of all 20 counters fills the height.
std::array<SizeBar, kDrawnSizeClasses> SizeDistributionBars(const SizeClassCounts& counts, int graphWidth,
                                                            int graphHeight);

}  // namespace orvel::analysis
