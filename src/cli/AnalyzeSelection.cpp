#include "cli/AnalyzeSelection.h"

#include <string>

namespace orvel::cli {

namespace {

// The names --palette accepts, as the parser checked them.
int PaletteModeOf(const std::string& name) {
  if (name == "greyscale") return analysis::kGreyscalePalette;
  if (name == "colour1") return analysis::kColour1Palette;
  if (name == "colour2") return analysis::kColour2Palette;
  if (name == "binary") return analysis::kBinaryPalette;
  return analysis::kOriginalPalette;
}

}  // namespace

analysis::AnalysisRequest AnalysisRequestOf(const AnalyzeContext& context) {
  const AnalyzeOptions& options = context.options;
  analysis::AnalysisRequest request;
  request.tool = options.tool;
  request.start = {options.points.x0, options.points.y0};
  request.stop = {options.points.x1, options.points.y1};
  request.display = {PaletteModeOf(options.palette), options.invert, context.lowerLevelPosition,
                     context.upperLevelPosition};
  request.firstSlice = context.bottomIndex;
  request.lastSlice = context.topIndex;
  request.spacing = context.dataset.SliceSpacing();
  return request;
}

void RequireMeasurableSlice(const SliceImage& slice) {
  if (slice.GetBitCount() != 8 || slice.GetColourCount() != 256)
    throw SectionFailure{"the selection tools need slices of 8 bits with a 256-entry colour table"};
}

}  // namespace orvel::cli
