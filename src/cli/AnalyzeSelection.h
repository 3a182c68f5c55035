#pragma once
// What the line, area and model sections share: the tool's two points and the check that a slice
// can be measured at all.
#include "analysis/SelectionBox.h"
#include "cli/AnalyzeOptions.h"
#include "image/SliceImage.h"

namespace orvel::cli {

inline analysis::ImagePoint StartPoint(const AnalyzeOptions& options) {
  return {options.points.x0, options.points.y0};
}
inline analysis::ImagePoint StopPoint(const AnalyzeOptions& options) {
  return {options.points.x1, options.points.y1};
}

// Grey values are colour-table indices of an 8-bit slice with a 256-entry table; on other slices
// the viewer offers no selection tools. Throws SectionFailure for such a slice.
void RequireMeasurableSlice(const SliceImage& slice);

}  // namespace orvel::cli
