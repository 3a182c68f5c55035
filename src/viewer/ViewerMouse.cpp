// Dragging the start and stop point of the selection by their handles. The frames ignore the
// mouse, so its messages reach the dialog in the dialog's client coordinates. Qt grabs the mouse
// for the widget that got the press, so a release anywhere, even outside the window, ends a drag.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QWheelEvent>

#include "platform/qt/TemplateControls.h"
#include "viewer/PreviewView.h"
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

// The mouse point in slice pixels, through the part of the slice the frame shows.
QPointF ViewerDialog::ImagePosition(const QPointF& dialogPoint) const {
  return m_viewport.SlicePoint(FramePosition(dialogPoint));
}

// The dialog point in the image frame's client pixels.
QPointF ViewerDialog::FramePosition(const QPointF& dialogPoint) const {
  return dialogPoint - QPointF(m_sliceView->mapTo(this, m_sliceView->contentsRect().topLeft()));
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
// grabbed when their handles overlap there. The middle button, or the left one with Space held,
// takes hold of the picture instead, to pan it.
void ViewerDialog::mousePressEvent(QMouseEvent* event) {
  // Space counts only while the frame keeps the focus: its release may have gone to another control.
  const bool spacePan = m_spaceHeld && focusWidget() == m_sliceView;
  const bool panButton = event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spacePan);
  if (panButton && m_sliceView->geometry().contains(event->position().toPoint())) {
    m_panFrom = event->position();
    m_panning = true;
  } else if (event->button() == Qt::LeftButton && !LongRunInProgress() && AnySelectionToolOn()) {
    const QPointF image = ImagePosition(event->position());
    if (WithinReach(m_startPoint, image)) m_startGrabbed = true;
    if (WithinReach(m_stopPoint, image)) m_stopGrabbed = true;
    if (MoveGrabbedPoints(image)) DrawSelectionOverlay();
  }
  QDialog::mousePressEvent(event);
}

// The line's results and profile follow every move; the area results wait for the release.
void ViewerDialog::mouseMoveEvent(QMouseEvent* event) {
  if (m_panning) {
    m_viewport.Pan(event->position() - m_panFrom);
    m_panFrom = event->position();
    ShowSliceRegion();
  } else if (!LongRunInProgress() && AnySelectionToolOn() && (m_startGrabbed || m_stopGrabbed)) {
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
  if (m_panning) {
    m_panning = false;
  } else if (event->button() == Qt::LeftButton && (!LongRunInProgress() || AnySelectionToolOn())) {
    m_startGrabbed = m_stopGrabbed = false;
    if (m_sizeDistributionMode) Redraw();
  }
  QDialog::mouseReleaseEvent(event);
}

// A double click with the middle button over the image returns to the fitted view.
void ViewerDialog::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton && m_sliceView->geometry().contains(event->position().toPoint())) {
    m_viewport.Fit();
    ShowSliceRegion();
  }
  QDialog::mouseDoubleClickEvent(event);
}

// A wheel notch over the image or the preview moves the slice selector by one slice, as the user
// would (up towards its top, the last slice); with Ctrl held, over the image, it zooms about the
// point under the mouse. Wheels that send fractions of a notch act once a whole notch is in.
void ViewerDialog::wheelEvent(QWheelEvent* event) {
  const QPoint at = event->position().toPoint();
  const bool overImage = m_sliceView->geometry().contains(at);
  if (!overImage && !m_previewView->geometry().contains(at)) {
    QDialog::wheelEvent(event);
    return;
  }
  event->accept();
  constexpr int kNotch = 120;  // eighths of a degree
  m_wheelTurn += event->angleDelta().y();
  const int notches = m_wheelTurn / kNotch;
  m_wheelTurn -= notches * kNotch;
  if (notches == 0) return;
  if (event->modifiers() & Qt::ControlModifier) {
    if (!overImage) return;
    m_viewport.ZoomAbout(FramePosition(event->position()), notches);
    ShowSliceRegion();
  } else if (platform::IsOperable(m_sliceSlider)) {
    m_sliceSlider->setValue(m_sliceSlider->value() - notches);  // notifies, as a move by the user does
  }
}

// Keys that reach the window while the image frame has the focus (a click into it gives it):
// "0" returns to the fitted view, Space held turns the left button into a panning one.
void ViewerDialog::keyPressEvent(QKeyEvent* event) {
  if (focusWidget() == m_sliceView && event->key() == Qt::Key_0) {
    m_viewport.Fit();
    ShowSliceRegion();
  } else if (focusWidget() == m_sliceView && event->key() == Qt::Key_Space) {
    m_spaceHeld = true;
  } else {
    QDialog::keyPressEvent(event);
  }
}

void ViewerDialog::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) m_spaceHeld = false;
  QDialog::keyReleaseEvent(event);
}

}  // namespace orvel::viewer
