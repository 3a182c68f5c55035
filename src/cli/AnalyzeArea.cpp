// --2d: the area block of the rectangle or ellipse on the current slice.
#include <stdexcept>
#include <vector>

#include "analysis/AreaAnalysis.h"
#include "cli/AnalyzeSections.h"
#include "cli/AnalyzeSelection.h"
#include "cli/Json.h"
#include "cli/SweepResults.h"

namespace orvel::cli {

namespace {

analysis::AreaMeasurement Measure(const SliceImage& slice, const analysis::AreaRequest& request) {
  try {
    return analysis::MeasureArea(slice, request);
  } catch (const std::length_error&) {
    throw SectionFailure{"the selection is too large to analyse"};
  }
}

// The analysis again for every shift of the window, -D .. +D.
std::vector<AreaSweepRow> SweepArea(const SliceImage& slice, analysis::AreaRequest request, int maxShift) {
  const analysis::ThresholdRange central = request.window;
  std::vector<AreaSweepRow> rows;
  for (int shift = -maxShift; shift <= maxShift; ++shift) {
    request.window = analysis::ShiftedWindow(central, shift);
    const analysis::AreaMeasurement area = Measure(slice, request);
    rows.push_back({shift, request.window, area.selected, area.relativeAreaPercent, area.objects});
  }
  return rows;
}

}  // namespace

SectionResult RunAreaSection(const AnalyzeContext& context) {
  RequireMeasurableSlice(context.slice);
  const analysis::AreaRequest request = analysis::AreaRequestFor(AnalysisRequestOf(context), context.slice);
  const analysis::AreaMeasurement area = Measure(context.slice, request);

  JsonObject json;
  json.Add("selected", area.selected);
  json.Add("boxArea", area.boxArea);
  json.Add("objects", area.objects);
  json.Add("sizeClasses", std::vector<std::int64_t>(area.sizeClassCounts.begin(), area.sizeClassCounts.end()));
  json.Add("text", area.text);
  std::string text = area.text;
  if (context.options.sweep) {
    const std::vector<AreaSweepRow> rows = SweepArea(context.slice, request, *context.options.sweep);
    text += AreaSweepText(rows, request.pixelSizeMm);
    json.AddRaw("sweep", AreaSweepJson(rows));
  }
  return {text, json.Text()};
}

}  // namespace orvel::cli
