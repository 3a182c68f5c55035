// The results box and the graph under it: the line block and the area block of Redraw, and the
// "2D" button that switches the area block on and off. The texts and the graph values come from
// the core, so the box and orvel-analyze can never differ.
#include <QSlider>

#include "analysis/AreaAnalysis.h"
#include "analysis/LineMeasurement.h"
#include "viewer/GraphPictures.h"
#include "viewer/GraphView.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::viewer {

namespace {

analysis::ImagePoint ImagePointOf(PixelPoint point) { return {point.x, point.y}; }

}  // namespace

void ViewerDialog::SetResultsText(const std::string& text) {
  m_resultsText = text;
  SetText(id::kResults, text);
}

// Lengths, grey values and the profile of the line on the current slice. The 3D length spans the
// slice steps from the bottom to the top limit.
void ViewerDialog::ShowLineResults() {
  analysis::LineRequest request;
  request.start = ImagePointOf(m_startPoint);
  request.stop = ImagePointOf(m_stopPoint);
  request.pixelSizeMm = m_slice.GetPixelSizeMm();
  request.sliceSteps = m_bottomLimitSlider->value() - m_topLimitSlider->value();
  request.sliceSpacing = m_sliceSpacing;
  const analysis::LineMeasurement line = analysis::MeasureLine(m_slice, request);
  const QSize graphSize = m_graphView->contentsRect().size();
  m_graphView->SetGraph(LineProfileGraph(
      analysis::LineProfile(m_slice, request.start, request.stop, graphSize.width()), graphSize));
  SetResultsText(m_resultsText + line.text);
}

// Area, objects and the size distribution of the rectangle or ellipse, thresholded by the window
// of the two level sliders in every display mode. With no figure tool on nothing is selected.
void ViewerDialog::ShowAreaResults() {
  analysis::AreaRequest request;
  request.start = ImagePointOf(m_startPoint);
  request.stop = ImagePointOf(m_stopPoint);
  request.shape = m_rectangleTool ? analysis::AreaShape::kRectangle
                  : m_ellipseTool ? analysis::AreaShape::kEllipse
                                  : analysis::AreaShape::kNone;
  request.window = analysis::ThresholdWindow(m_lowerLevelSlider->value(), m_upperLevelSlider->value());
  request.invert = m_invert;
  request.pixelSizeMm = m_slice.GetPixelSizeMm();
  const analysis::AreaMeasurement area = analysis::MeasureArea(m_slice, request);
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
