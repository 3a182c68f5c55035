#pragma once
// A frame that shows one slice image stretched into a rectangle of its client area, and nothing
// else of its own: Redraw tells it what to show. The colour bar uses it as it is; the preview
// adds its marks.
#include <QFrame>
#include <QRect>

#include "viewer/IndexedImagePainter.h"

namespace orvel {
class SliceImage;
}

namespace orvel::viewer {

class PictureView : public QFrame {
 public:
  explicit PictureView(QWidget* parent) : QFrame(parent) {}

  // The image to show (owned by the viewer, read at every paint) and where, in client pixels; an
  // empty target means the whole client area.
  void SetPicture(const SliceImage* image, const QRect& target = {});
  QRect ClientRect() const { return contentsRect().translated(-contentsRect().topLeft()); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // What a subclass draws over the picture, in client coordinates.
  virtual void PaintOver(QPainter&) {}

 private:
  const SliceImage* m_image = nullptr;
  QRect m_target;
  IndexedImagePainter m_painter;
};

}  // namespace orvel::viewer
