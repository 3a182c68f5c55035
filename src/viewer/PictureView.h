#pragma once
// A frame that shows one slice image stretched into a rectangle of its client area, and nothing
// else of its own: Redraw tells it what to show. The colour bar uses it as it is; the preview
// adds its marks.
#include <QFrame>
#include <QRect>

#include "gui/IndexedImagePainter.h"

namespace orvel {
class SliceImage;
}

namespace orvel::viewer {

class PictureView : public QFrame {
 public:
  explicit PictureView(QWidget* parent) : QFrame(parent) {}

  // The image to show (owned by the viewer, read at every paint), where, in client pixels, and
  // which part of it, in image pixels. An empty target means the whole client area, an empty
  // source the whole image.
  void SetPicture(const SliceImage* image, const QRect& target = {}, const QRectF& source = {});
  QRect ClientRect() const { return contentsRect().translated(-contentsRect().topLeft()); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // What a subclass draws over the picture, in client coordinates.
  virtual void PaintOver(QPainter&) {}

 private:
  const SliceImage* m_image = nullptr;
  QRect m_target;
  QRectF m_source;
  gui::IndexedImagePainter m_painter;
};

}  // namespace orvel::viewer
