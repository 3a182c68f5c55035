#pragma once
// What part of the slice the image frame shows. Fitted, the whole slice fills the frame, as the
// window always showed it; zoomed, a region of it is magnified about a point, and it can be
// panned. Slice point p shows at frame pixel trunc((p - origin) x scale), the same arithmetic
// as the fitted view with its origin at 0.
#include <QPointF>
#include <QRectF>
#include <QSize>

namespace orvel::viewer {

class SliceViewport {
 public:
  static constexpr double kZoomStep = 1.25;     // per wheel step
  static constexpr double kMaxPixelScale = 16;  // screen pixels per slice pixel, at most

  // A new frame or slice size keeps the zoom and the slice point at the frame's centre.
  void SetFrame(QSize frame, QSize slice);
  // Zooms by kZoomStep per step (in when steps > 0) so that the slice point under frame
  // position `at` stays there; clamped between fitted and kMaxPixelScale.
  void ZoomAbout(QPointF at, int steps);
  // Moves the picture with the mouse by delta frame pixels, within the slice.
  void Pan(QPointF delta);
  void Fit();

  bool Fitted() const { return m_zoom == 1.0; }
  double Zoom() const { return m_zoom; }  // 1 when fitted
  // Screen pixels per slice pixel: the fitted frame width over the slice width, times the zoom.
  float Scale() const { return m_fitScale * static_cast<float>(m_zoom); }
  QPointF Origin() const { return m_origin; }  // slice point at the frame's top-left corner
  // The part of the slice shown, in slice pixels; the whole slice when fitted.
  QRectF VisibleRegion() const;
  QPointF SlicePoint(QPointF framePoint) const { return m_origin + framePoint / Scale(); }
  QPoint FramePoint(int x, int y) const;
  // What assistive technology is told: "fitted" or "zoom 2.4×", and the slice pixels shown.
  QString Description() const;

 private:
  void ClampOrigin();

  QSize m_frame, m_slice;
  float m_fitScale = 1.0f;
  double m_zoom = 1.0;
  QPointF m_origin;
};

}  // namespace orvel::viewer
