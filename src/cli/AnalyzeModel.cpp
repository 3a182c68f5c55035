// The "model" section: the 3D model of the rectangle or ellipse over the selection range.
#include <optional>
#include <stdexcept>

#include "analysis/Model3D.h"
#include "cli/AnalyzeSections.h"
#include "cli/AnalyzeSelection.h"
#include "cli/Json.h"
#include "cli/SliceReadAhead.h"

namespace orvel::cli {

namespace {

analysis::AreaShape ShapeOf(SelectionTool tool) {
  switch (tool) {
    case SelectionTool::kRectangle: return analysis::AreaShape::kRectangle;
    case SelectionTool::kEllipse: return analysis::AreaShape::kEllipse;
    default: return analysis::AreaShape::kNone;
  }
}

analysis::ModelSettings ModelSettingsOf(const AnalyzeContext& context) {
  const PointPair& points = context.options.points;
  analysis::ModelSettings settings;
  settings.box = analysis::SelectionBox::FromPoints({points.x0, points.y0}, {points.x1, points.y1});
  settings.shape = ShapeOf(context.options.tool);
  settings.window = analysis::ThresholdWindow(context.lowerLevelPosition, context.upperLevelPosition);
  settings.invert = context.options.invert;
  settings.layers = context.topIndex - context.bottomIndex + 1;
  settings.spacing = context.dataset.SliceSpacing();
  return settings;
}

}  // namespace

SectionResult RunModelSection(const AnalyzeContext& context) {
  RequireMeasurableSlice(context.slice);
  const analysis::ModelSettings settings = ModelSettingsOf(context);
  std::optional<analysis::ModelBuilder> builder;
  try {
    builder.emplace(settings);
  } catch (const std::length_error&) {
    throw SectionFailure{"the selection is too large for a 3D model"};
  }
  const auto& paths = context.dataset.slicePaths;
  SliceReadAhead slices({paths.begin() + context.bottomIndex, paths.begin() + context.topIndex + 1});
  SectionProgress progress(context.progress, builder->Layers());
  for (int k = 0; k < builder->Layers(); ++k) {
    const SliceImage& slice = slices.Next();
    RequireMeasurableSlice(slice);  // the model reads such a slice as empty: its result would be made up
    builder->AddSlice(slice);
    progress.LayerDone(k + 1);
  }
  const analysis::ModelResult result = builder->Finish();

  JsonObject json;
  json.Add("modelsize", result.modelSize)
      .Add("volume", result.volume)
      .Add("surface", result.surface)
      .Add("text", result.text);
  return {result.text, json.Text()};
}

}  // namespace orvel::cli
