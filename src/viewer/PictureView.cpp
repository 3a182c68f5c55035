#include "viewer/PictureView.h"

#include <QPainter>

#include "gui/IndexedImagePainter.h"

namespace orvel::viewer {

void PictureView::SetPicture(const SliceImage* image, const QRect& target, const QRectF& source) {
  m_image = image;
  m_target = target;
  m_source = source;
  update();
}

void PictureView::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.translate(contentsRect().topLeft());
  if (m_image) m_painter.Paint(painter, *m_image, m_target.isEmpty() ? ClientRect() : m_target, m_source);
  PaintOver(painter);
}

}  // namespace orvel::viewer
