#include "viewer/SliceViewport.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace orvel::viewer {

void SliceViewport::SetFrame(QSize frame, QSize slice) {
  if (frame == m_frame && slice == m_slice) return;
  const QPointF centre = SlicePoint(QPointF(m_frame.width(), m_frame.height()) / 2);
  m_frame = frame;
  m_slice = slice;
  m_fitScale = slice.width() > 0 ? static_cast<float>(frame.width()) / static_cast<float>(slice.width()) : 1.0f;
  m_zoom = std::min(m_zoom, std::max(1.0, kMaxPixelScale / m_fitScale));
  m_origin = centre - QPointF(frame.width(), frame.height()) / 2 / Scale();
  ClampOrigin();
}

void SliceViewport::ZoomAbout(QPointF at, int steps) {
  const QPointF fixed = SlicePoint(at);
  const double maxZoom = std::max(1.0, kMaxPixelScale / m_fitScale);
  m_zoom = std::clamp(m_zoom * std::pow(kZoomStep, steps), 1.0, maxZoom);
  // Zooming back out by as many steps as in lands on the fit, not a rounding error short of it.
  if (std::abs(m_zoom - 1.0) < 1e-9) m_zoom = 1.0;
  m_origin = fixed - at / Scale();
  ClampOrigin();
}

void SliceViewport::Pan(QPointF delta) {
  m_origin -= delta / Scale();
  ClampOrigin();
}

void SliceViewport::Fit() {
  m_zoom = 1.0;
  m_origin = {};
}

// The region shown stays inside the slice; fitted, it is the whole slice.
void SliceViewport::ClampOrigin() {
  if (Fitted()) {
    m_origin = {};
    return;
  }
  const QRectF shown = VisibleRegion();
  m_origin.setX(std::clamp(m_origin.x(), 0.0, std::max(0.0, m_slice.width() - shown.width())));
  m_origin.setY(std::clamp(m_origin.y(), 0.0, std::max(0.0, m_slice.height() - shown.height())));
}

QRectF SliceViewport::VisibleRegion() const {
  if (Fitted()) return QRectF(0, 0, m_slice.width(), m_slice.height());
  return QRectF(m_origin, QSizeF(m_frame.width(), m_frame.height()) / Scale());
}

QPoint SliceViewport::FramePoint(int x, int y) const {
  const float scale = Scale();
  return {static_cast<int>((static_cast<float>(x) - static_cast<float>(m_origin.x())) * scale),
          static_cast<int>((static_cast<float>(y) - static_cast<float>(m_origin.y())) * scale)};
}

QString SliceViewport::Description() const {
  const QRectF shown = VisibleRegion();
  const QString zoom = Fitted() ? QStringLiteral("fitted") : QStringLiteral("zoom %1×").arg(m_zoom, 0, 'f', 1);
  return QStringLiteral("%1; slice pixels %2 to %3 across, %4 to %5 down")
      .arg(zoom)
      .arg(static_cast<int>(shown.left()))
      .arg(static_cast<int>(std::ceil(shown.right())) - 1)
      .arg(static_cast<int>(shown.top()))
      .arg(static_cast<int>(std::ceil(shown.bottom())) - 1);
}

}  // namespace orvel::viewer
