// The results box and the graph under it: the line block and the area block of Redraw, and the
// "2D" button that switches the area block on and off. The texts and the graph values come from
// the core, so the box and orvel-analyze can never differ.
#include "analysis/AnalysisRequest.h"
#include "viewer/GraphPictures.h"
#include "viewer/GraphView.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::viewer {

namespace {

analysis::ImagePoint ImagePointOf(PixelPoint point) { return {point.x, point.y}; }

analysis::SelectionTool ToolOf(bool line, bool rectangle, bool ellipse) {
  using Tool = analysis::SelectionTool;
  return line ? Tool::kLine : rectangle ? Tool::kRectangle : ellipse ? Tool::kEllipse : Tool::kNone;
}

}  // namespace

analysis::AnalysisRequest ViewerDialog::CurrentRequest() const {
  analysis::AnalysisRequest request;
  request.tool = ToolOf(m_lineTool, m_rectangleTool, m_ellipseTool);
  request.start = ImagePointOf(m_startPoint);
  request.stop = ImagePointOf(m_stopPoint);
  request.display = CurrentDisplay();
  request.firstSlice = SliceIndexAt(m_bottomLimitSlider);
  request.lastSlice = SliceIndexAt(m_topLimitSlider);
  request.spacing = m_sliceSpacing;
  return request;
}

void ViewerDialog::SetResultsText(const std::string& text) {
  m_resultsText = text;
  SetText(id::kResults, text);
}

// Lengths, grey values and the profile of the line on the current slice. The 3D length spans the
// slice steps from the bottom to the top limit.
void ViewerDialog::ShowLineResults() {
  const analysis::LineRequest request = analysis::LineRequestFor(CurrentRequest(), m_slice);
  const analysis::LineMeasurement line = analysis::MeasureLine(m_slice, request);
  const QSize graphSize = m_graphView->contentsRect().size();
  m_graphView->SetGraph(
      LineProfileGraph(analysis::LineProfile(m_slice, request.start, request.stop, graphSize.width()), graphSize));
  SetResultsText(m_resultsText + line.text);
}

// Area, objects and the size distribution of the rectangle or ellipse, thresholded by the window
// of the two level sliders in every display mode. With no figure tool on nothing is selected.
void ViewerDialog::ShowAreaResults() {
  const analysis::AreaMeasurement area =
      analysis::MeasureArea(m_slice, analysis::AreaRequestFor(CurrentRequest(), m_slice));
  m_graphView->SetGraph(SizeDistributionGraph(area.sizeClassCounts, m_graphView->contentsRect().size()));
  SetResultsText(m_resultsText + area.text);
}

// Switching the mode off empties the box and the caption at once, before the redraw.
void ViewerDialog::On2D() {
  SetShown(id::kGraph, !m_sizeDistributionMode);
  m_sizeDistributionMode = !m_sizeDistributionMode;
  SetChecked(id::kModel3D, false);
  SetChecked(id::kSizeDistribution, m_sizeDistributionMode);
  if (m_sizeDistributionMode) {
    SetText(id::kGraphCaption, "size distribution");
  } else {
    SetResultsText("");
    SetText(id::kGraphCaption, "");
  }
  Redraw();
}

}  // namespace orvel::viewer
