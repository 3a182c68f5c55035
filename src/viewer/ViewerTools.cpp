// The three selection tools ("Line", "Rectangle", "Ellipse"), the figure each draws over the slice
// and the blue range marks of the two limit sliders on the preview. The tools are exclusive: each
// handler turns the others off by running their handlers, so their controls are reset on the way.
#include <QSlider>
#include <utility>

#include "viewer/PreviewView.h"
#include "viewer/SliceView.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::viewer {

namespace {

using Figure = SliceOverlay::Figure;

// Image pixels from a point to the edges of its handle square.
constexpr int kHandleReach = 5;

// The handle square's corners in drawing order, each image corner truncated to the screen on its
// own, so a handle may come out a pixel wider on one side than on the other.
void SetHandleCorners(QPoint (&corners)[4], PixelPoint point, const SliceViewport& viewport) {
  const int left = point.x - kHandleReach, right = point.x + kHandleReach;
  const int top = point.y - kHandleReach, bottom = point.y + kHandleReach;
  corners[0] = viewport.FramePoint(left, top);
  corners[1] = viewport.FramePoint(left, bottom);
  corners[2] = viewport.FramePoint(right, bottom);
  corners[3] = viewport.FramePoint(right, top);
}

SliceOverlay FigureOverlay(Figure figure, PixelPoint start, PixelPoint stop, const SliceViewport& viewport,
                           bool handles) {
  SliceOverlay overlay;
  overlay.figure = figure;
  overlay.start = viewport.FramePoint(start.x, start.y);
  overlay.stop = viewport.FramePoint(stop.x, stop.y);
  overlay.handles = handles;
  SetHandleCorners(overlay.startHandle, start, viewport);
  SetHandleCorners(overlay.stopHandle, stop, viewport);
  return overlay;
}

// The frame repaints the slice under every change, so a figure is erased by taking it away
// rather than by drawing it a second time.
void ShowFigure(SliceView& view, Figure figure, bool toolOn, const SliceOverlay& overlay) {
  if (toolOn) view.SetOverlay(overlay);
  else if (view.Overlay().figure == figure) view.SetOverlay({});
}

}  // namespace

void ViewerDialog::OnLine() {
  SetShown(id::kGraph, !m_lineTool);
  if (m_ellipseTool) OnEllipse();
  if (m_rectangleTool) OnRectangle();
  SetResultsText("");
  SetText(id::kGraphCaption, "");
  m_sizeDistributionMode = false;
  m_ellipseTool = m_rectangleTool = false;
  for (int button : {id::kEllipse, id::kRectangle, id::kSizeDistribution, id::kModel3D}) SetChecked(button, false);
  m_lineTool = !m_lineTool;
  if (m_lineTool) {
    SetText(id::kGraphCaption, "line profile");
    SetChecked(id::kLine, true);
    ShowLimitSliders(true);
    SetEnabled(id::kCut, true);
    SetEnabled(id::kSizeDistribution, false);
    SetEnabled(id::kModel3D, false);
    DrawSelectionOverlay();
    DrawRangeMarks();
    Redraw();
  } else {
    ShowLimitSliders(false);
    SetEnabled(id::kCut, false);
    SetChecked(id::kLine, false);
    DrawSelectionOverlay();
    DrawRangeMarks();  // no tool is on: the marks go with the line
  }
}

void ViewerDialog::OnRectangle() { ToggleFigureTool(FigureTool::kRectangle); }

void ViewerDialog::OnEllipse() { ToggleFigureTool(FigureTool::kEllipse); }

// Rectangle and ellipse are the same handler with the roles of the two figures exchanged.
// Turning a figure off leaves the "2D" mode and its button as they are, for the next figure.
void ViewerDialog::ToggleFigureTool(FigureTool tool) {
  const bool rectangle = tool == FigureTool::kRectangle;
  bool& ownTool = rectangle ? m_rectangleTool : m_ellipseTool;
  bool& otherTool = rectangle ? m_ellipseTool : m_rectangleTool;
  const int ownButton = rectangle ? id::kRectangle : id::kEllipse;
  const int otherButton = rectangle ? id::kEllipse : id::kRectangle;
  if (m_lineTool) OnLine();
  if (otherTool) rectangle ? OnEllipse() : OnRectangle();
  SetChecked(id::kLine, false);
  SetChecked(otherButton, false);
  m_lineTool = false;
  otherTool = false;
  ownTool = !ownTool;
  SetChecked(ownButton, ownTool);
  DrawSelectionOverlay();
  ShowLimitSliders(ownTool);
  SetEnabled(id::kSizeDistribution, ownTool);
  SetEnabled(id::kModel3D, ownTool);
  if (ownTool) SetEnabled(id::kCut, false);
  DrawRangeMarks();
  Redraw();
}

void ViewerDialog::ShowLimitSliders(bool shown) {
  SetShown(id::kBottomLimit, shown);
  SetShown(id::kTopLimit, shown);
}

// Screen pixels per slice pixel follow the window size and the zoom.
void ViewerDialog::UpdateDisplayScale() {
  m_viewport.SetFrame(m_sliceView->ClientRect().size(), QSize(m_imageWidth, m_imageHeight));
  if (m_imageWidth > 0) m_displayScale = m_viewport.Scale();
}

// The part of the slice the viewport names; assistive technology is told which part it is.
void ViewerDialog::ShowSlicePicture() {
  UpdateDisplayScale();
  m_sliceView->SetPicture(&m_slice, {}, m_viewport.Fitted() ? QRectF() : m_viewport.VisibleRegion());
  const QString description = m_viewport.Description();
  if (m_sliceView->accessibleDescription() != description) m_sliceView->setAccessibleDescription(description);
}

// After a zoom, a pan or a new frame size: the picture with the selection figure over it.
void ViewerDialog::ShowSliceRegion() {
  ShowSlicePicture();
  DrawSelectionOverlay();
}

// The handles show while the points may be dragged.
void ViewerDialog::DrawSelectionOverlay() {
  UpdateDisplayScale();
  const std::pair<Figure, bool> figures[] = {
      {Figure::kLine, m_lineTool}, {Figure::kRectangle, m_rectangleTool}, {Figure::kEllipse, m_ellipseTool}};
  for (const auto& [figure, toolOn] : figures)
    ShowFigure(*m_sliceView, figure, toolOn,
               FigureOverlay(figure, m_startPoint, m_stopPoint, m_viewport, !LongRunInProgress()));
}

// The rows of the bottom and the top limit on the preview, whatever kind of preview it is, while
// a tool is on. Slice numbers count preview rows from the preview's bottom edge.
void ViewerDialog::DrawRangeMarks() {
  PreviewMarks marks = m_previewView->Marks();
  marks.left = m_previewOffsetX;
  marks.right = m_previewOffsetX + m_previewWidth;
  marks.rangeRows.clear();
  if (AnySelectionToolOn() && m_preview.GetHeight() != 0) {
    const double scale = static_cast<double>(m_previewHeight) / m_preview.GetHeight();
    const int base = m_previewOffsetY + m_previewHeight - 1;
    for (const QSlider* limit : {m_bottomLimitSlider, m_topLimitSlider}) {
      const int row = base - static_cast<int>(m_sliceNumbers[SliceIndexAt(limit)] * scale);
      if (m_previewOffsetY <= row && row <= m_previewOffsetY + m_previewHeight) marks.rangeRows.push_back(row);
    }
  }
  m_previewView->SetMarks(marks);
}

}  // namespace orvel::viewer
