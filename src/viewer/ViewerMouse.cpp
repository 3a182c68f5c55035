// Dragging the start and stop point of the selection by their handles. The frames ignore the
// mouse, so its messages reach the dialog in the dialog's client coordinates. Qt grabs the mouse
// for the widget that got the press, so a release anywhere, even outside the window, ends a drag.
#include <QMouseEvent>

#include "viewer/SliceView.h"
#include "viewer/ViewerDialog.h"

namespace orvel::viewer {

namespace {

// A press strictly within this many image pixels of a point, in x and in y, grabs it; points are
// dragged only this far inside the image's edges.
constexpr float kGrabReach = 5.0f;

bool WithinReach(PixelPoint point, const QPointF& image) {
  return point.x - kGrabReach < image.x() && image.x() < point.x + kGrabReach && point.y - kGrabReach < image.y() &&
         image.y() < point.y + kGrabReach;
}

}  // namespace

// The mouse point in slice pixels: its offset from the image frame's client origin over the
// display scale.
QPointF ViewerDialog::ImagePosition(const QPointF& dialogPoint) const {
  const QPointF origin = m_sliceView->mapTo(this, m_sliceView->contentsRect().topLeft());
  return (dialogPoint - origin) / m_displayScale;
}

// Moves every grabbed point to the truncated image position, only inside the band kGrabReach
// pixels within the image's edges.
bool ViewerDialog::MoveGrabbedPoints(const QPointF& image) {
  const bool insideBand = kGrabReach <= image.x() && image.x() <= m_imageWidth - kGrabReach &&
                          kGrabReach <= image.y() && image.y() <= m_imageHeight - kGrabReach;
  if (!insideBand) return false;
  const PixelPoint snapped{static_cast<int>(image.x()), static_cast<int>(image.y())};
  if (m_startGrabbed) m_startPoint = snapped;
  if (m_stopGrabbed) m_stopPoint = snapped;
  return true;
}

// A press near a handle grabs its point and snaps it to the mouse at once. Both points are
// grabbed when their handles overlap there.
void ViewerDialog::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !LongRunInProgress() && AnySelectionToolOn()) {
    const QPointF image = ImagePosition(event->position());
    if (WithinReach(m_startPoint, image)) m_startGrabbed = 1;
    if (WithinReach(m_stopPoint, image)) m_stopGrabbed = 1;
    if (MoveGrabbedPoints(image)) DrawSelectionOverlay();
  }
  QDialog::mousePressEvent(event);
}

// The line's results and profile follow every move; the area results wait for the release.
void ViewerDialog::mouseMoveEvent(QMouseEvent* event) {
  if (!LongRunInProgress() && AnySelectionToolOn() && (m_startGrabbed || m_stopGrabbed)) {
    if (MoveGrabbedPoints(ImagePosition(event->position()))) {
      // Two points on one column would make a vertical line; keep them a pixel apart.
      if (m_startPoint.x == m_stopPoint.x) ++m_startPoint.x;
      DrawSelectionOverlay();
    }
    if (m_lineTool) Redraw();
  }
  QDialog::mouseMoveEvent(event);
}

void ViewerDialog::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && (!LongRunInProgress() || AnySelectionToolOn())) {
    m_startGrabbed = m_stopGrabbed = 0;
    if (m_sizeDistributionMode) Redraw();
  }
  QDialog::mouseReleaseEvent(event);
}

}  // namespace orvel::viewer
