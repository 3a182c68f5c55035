#pragma once
// What the viewer and orvel-analyze ask of the core, in one value: the tool and its two points,
// how the slices are shown (palette, Invert and the level sliders; the area and the model
// threshold with the same levels and Invert), the selection range and the slice spacing. Each
// request of the analyses is built from it here, so the window and the command line cannot
// assemble the same request two ways.
#include "analysis/AreaAnalysis.h"
#include "analysis/Cut.h"
#include "analysis/LineMeasurement.h"
#include "analysis/Model3D.h"
#include "analysis/SelectionBox.h"
#include "analysis/SelectionMask.h"
#include "analysis/SliceDisplay.h"
#include "image/SliceImage.h"

namespace orvel::analysis {

// The tool that is on: the viewer's tool buttons, orvel-analyze's --line, --rectangle, --ellipse.
enum class SelectionTool { kNone, kLine, kRectangle, kEllipse };

// The figure a tool selects with: kNone for the line and for no tool.
AreaShape ShapeOfTool(SelectionTool tool);

struct AnalysisRequest {
  SelectionTool tool = SelectionTool::kNone;
  ImagePoint start;  // the tool's points: image pixels, y down from the top
  ImagePoint stop;
  SliceDisplay display;
  int firstSlice = 0;  // selection range: slice indices of the bottom and the top limit
  int lastSlice = 0;
  int spacing = 1;  // pixel rows or voxel planes one slice stands for
};

// The line on a slice, in its pixel size; its 3D length spans the slice steps of the range.
LineRequest LineRequestFor(const AnalysisRequest& request, const SliceImage& slice);
// The rectangle or ellipse on a slice, in its pixel size, thresholded by the level sliders' window.
AreaRequest AreaRequestFor(const AnalysisRequest& request, const SliceImage& slice);
// The model of the rectangle or ellipse over the range; the mesh surfaces are left off.
ModelSettings ModelSettingsFor(const AnalysisRequest& request);
// The cut along the line over the range.
CutSettings CutSettingsFor(const AnalysisRequest& request);

}  // namespace orvel::analysis
