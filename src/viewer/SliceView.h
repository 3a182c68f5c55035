#pragma once
// The image frame: the slice stretched over the client area, and the selection figure drawn over
// it with the inverting raster operation, so it stays visible on any colour.
#include <QPoint>

#include "viewer/PictureView.h"

namespace orvel::viewer {

struct SliceOverlay {
  enum class Figure { kNone, kLine, kRectangle, kEllipse };
  Figure figure = Figure::kNone;
  QPoint start, stop;                    // screen positions in client pixels: trunc(image point x scale)
  bool handles = false;                  // the two handle squares
  QPoint startHandle[4], stopHandle[4];  // their corners, screen positions, in drawing order
};

class SliceView : public PictureView {
 public:
  explicit SliceView(QWidget* parent) : PictureView(parent) {}
  void SetOverlay(const SliceOverlay& overlay);
  const SliceOverlay& Overlay() const { return m_overlay; }

 protected:
  void PaintOver(QPainter& painter) override;

 private:
  SliceOverlay m_overlay;
};

}  // namespace orvel::viewer
