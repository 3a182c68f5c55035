// --2d: the area block of the rectangle or ellipse on the current slice.
#include <stdexcept>
#include <vector>

#include "analysis/AreaAnalysis.h"
#include "cli/AnalyzeSections.h"
#include "cli/AnalyzeSelection.h"
#include "cli/Json.h"

namespace orvel::cli {

SectionResult RunAreaSection(const AnalyzeContext& context) {
  RequireMeasurableSlice(context.slice);
  analysis::AreaRequest request;
  request.start = StartPoint(context.options);
  request.stop = StopPoint(context.options);
  request.shape = context.options.tool == SelectionTool::kEllipse ? analysis::AreaShape::kEllipse
                                                                  : analysis::AreaShape::kRectangle;
  request.window = analysis::ThresholdWindow(context.lowerLevelPosition, context.upperLevelPosition);
  request.invert = context.options.invert;
  request.pixelSizeMm = context.slice.GetPixelSizeMm();
  analysis::AreaMeasurement area;
  try {
    area = analysis::MeasureArea(context.slice, request);
  } catch (const std::length_error&) {
    throw SectionFailure{"the selection is too large to analyse"};
  }

  JsonObject json;
  json.Add("selected", area.selected);
  json.Add("boxArea", area.boxArea);
  json.Add("objects", area.objects);
  json.Add("sizeClasses", std::vector<std::int64_t>(area.sizeClassCounts.begin(), area.sizeClassCounts.end()));
  json.Add("text", area.text);
  return {area.text, json.Text()};
}

}  // namespace orvel::cli
