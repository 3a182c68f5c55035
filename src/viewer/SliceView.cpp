#include "viewer/SliceView.h"

#include <QPainter>
#include <QPolygon>

namespace orvel::viewer {

void SliceView::SetOverlay(const SliceOverlay& overlay) {
  m_overlay = overlay;
  update();
}

void SliceView::PaintOver(QPainter& painter) {
  using Figure = SliceOverlay::Figure;
  if (m_overlay.figure == Figure::kNone) return;
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::NoBrush);
  const QPoint a = m_overlay.start, b = m_overlay.stop;
  switch (m_overlay.figure) {
    case Figure::kLine: painter.drawLine(a, b); break;
    case Figure::kRectangle:
      painter.drawPolyline(QPolygon({a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y()), a}));
      break;
    case Figure::kEllipse: painter.drawEllipse(QRect(a, b).normalized()); break;
    case Figure::kNone: break;
  }
  if (m_overlay.handles) {
    for (const QPoint* corners : {m_overlay.startHandle, m_overlay.stopHandle}) painter.drawPolygon(corners, 4);
  }
  painter.restore();
}

}  // namespace orvel::viewer
