// --line: the line block of the current slice.
#include "analysis/LineMeasurement.h"
#include "cli/AnalyzeSections.h"
#include "cli/AnalyzeSelection.h"
#include "cli/Json.h"

namespace orvel::cli {

SectionResult RunLineSection(const AnalyzeContext& context) {
  RequireMeasurableSlice(context.slice);
  const analysis::LineRequest request = analysis::LineRequestFor(AnalysisRequestOf(context), context.slice);
  const analysis::LineMeasurement line = analysis::MeasureLine(context.slice, request);

  JsonObject json;
  json.Add("samples", line.samples);
  for (const auto& [key, value] :
       {std::pair{"min", line.minimum}, std::pair{"max", line.maximum}, std::pair{"average", line.average}}) {
    if (value) json.Add(key, *value);
    else json.AddNull(key);
  }
  json.Add("text", line.text);
  return {line.text, json.Text()};
}

}  // namespace orvel::cli
