#pragma once
// Paints a slice image the way the original platform's stretched blit does: the unchanged pixel
// indices through the image's current colour table, nearest-neighbour, storage rows bottom-up.
#include <QImage>
#include <QRect>
#include <vector>

class QPainter;

namespace orvel {
class SliceImage;
}

namespace orvel::viewer {

class IndexedImagePainter {
 public:
  // Stretches image over target; an empty image paints nothing.
  void Paint(QPainter& painter, const SliceImage& image, const QRect& target);

 private:
  void PrepareBuffers(int imageWidth, const QSize& targetSize);
  template <typename PixelOf>
  void FillCanvas(const SliceImage& image, PixelOf pixelOf);

  // 8-, 24- and 32-bit images go straight into display pixels, looked up in the colour table
  // where they have one: only the pixels the target shows are converted, whatever the image's
  // size, so a palette change on a large slice costs what the window shows. The buffers are kept
  // between paints of the same size.
  QImage m_canvas;                   // display pixels, RGB32, target size
  std::vector<int> m_sourceColumns;  // image column shown in each target column
  int m_columnsImageWidth = 0;       // the image width m_sourceColumns was made for
};

// The same without buffers kept between calls.
void PaintSliceImage(QPainter& painter, const SliceImage& image, const QRect& target);

}  // namespace orvel::viewer
