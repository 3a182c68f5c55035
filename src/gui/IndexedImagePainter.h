#pragma once
// Paints a slice image the way the original platform's stretched blit does: the unchanged pixel
// indices through the image's current colour table, nearest-neighbour, storage rows bottom-up.
#include <QImage>
#include <QRect>
#include <QRectF>
#include <vector>

class QPainter;

namespace orvel {
class SliceImage;
}

namespace orvel::gui {

class IndexedImagePainter {
 public:
  // Stretches the source region of image (image pixels, y down from the top; the whole image
  // when empty) over target. Target pixel t shows image pixel floor(source left + t x source
  // width / target width), and likewise down. An empty image paints nothing.
  void Paint(QPainter& painter, const SliceImage& image, const QRect& target, const QRectF& source = {});

 private:
  void PrepareBuffers(int imageWidth, const QSize& targetSize, double left, double width);
  template <typename PixelOf>
  void FillCanvas(const SliceImage& image, PixelOf pixelOf);

  // 8-, 24- and 32-bit images go straight into display pixels, looked up in the colour table
  // where they have one: only the pixels the target shows are converted, whatever the image's
  // size, so a palette change on a large slice costs what the window shows. The buffers are kept
  // between paints of the same size.
  QImage m_canvas;                   // display pixels, RGB32, target size
  std::vector<int> m_sourceColumns;  // image column shown in each target column
  // What m_sourceColumns was made for: image width, source left and source width.
  int m_columnsImageWidth = 0;
  double m_columnsLeft = 0, m_columnsWidth = 0;
  double m_rowsTop = 0, m_rowsHeight = 0;  // the source rows of the canvas being filled
};

// The same without buffers kept between calls.
void PaintSliceImage(QPainter& painter, const SliceImage& image, const QRect& target);

}  // namespace orvel::gui
