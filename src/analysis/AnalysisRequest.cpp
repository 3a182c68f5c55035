#include "analysis/AnalysisRequest.h"

#include "analysis/ColourScheme.h"

namespace orvel::analysis {

namespace {

ThresholdRange WindowOf(const SliceDisplay& display) {
  return ThresholdWindow(display.lowerLevelPosition, display.upperLevelPosition);
}

}  // namespace

AreaShape ShapeOfTool(SelectionTool tool) {
  switch (tool) {
    case SelectionTool::kRectangle: return AreaShape::kRectangle;
    case SelectionTool::kEllipse: return AreaShape::kEllipse;
    case SelectionTool::kLine:
    case SelectionTool::kNone: break;
  }
  return AreaShape::kNone;
}

LineRequest LineRequestFor(const AnalysisRequest& request, const SliceImage& slice) {
  LineRequest line;
  line.start = request.start;
  line.stop = request.stop;
  line.pixelSizeMm = slice.GetPixelSizeMm();
  line.sliceSteps = request.lastSlice - request.firstSlice;  // the limit sliders' position difference
  line.sliceSpacing = request.spacing;
  return line;
}

AreaRequest AreaRequestFor(const AnalysisRequest& request, const SliceImage& slice) {
  AreaRequest area;
  area.start = request.start;
  area.stop = request.stop;
  area.shape = ShapeOfTool(request.tool);
  area.window = WindowOf(request.display);
  area.invert = request.display.invert;
  area.pixelSizeMm = slice.GetPixelSizeMm();
  return area;
}

ModelSettings ModelSettingsFor(const AnalysisRequest& request) {
  ModelSettings model;
  model.box = SelectionBox::FromPoints(request.start, request.stop);
  model.shape = ShapeOfTool(request.tool);
  model.window = WindowOf(request.display);
  model.invert = request.display.invert;
  model.layers = request.lastSlice - request.firstSlice + 1;
  model.spacing = request.spacing;
  return model;
}

CutSettings CutSettingsFor(const AnalysisRequest& request) {
  CutSettings cut;
  cut.start = request.start;
  cut.stop = request.stop;
  cut.layers = request.lastSlice - request.firstSlice + 1;
  cut.spacing = request.spacing;
  return cut;
}

}  // namespace orvel::analysis
