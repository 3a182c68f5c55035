#include "gui/IndexedImagePainter.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "image/SliceImage.h"

namespace orvel::gui {

namespace {

QList<QRgb> ColourTableOf(const SliceImage& image) {
  QList<QRgb> table;
  if (const auto palette = image.GetDisplayPalette()) {
    table.reserve(static_cast<int>(palette->size()));
    for (const RgbEntry& entry : *palette) table.push_back(qRgb(entry.red, entry.green, entry.blue));
  }
  while (table.size() < 256) table.push_back(qRgb(0, 0, 0));  // indices past the table show black
  return table;
}

// 4-bit rows have no Qt format: spread them to one index a byte.
QImage SpreadNibbles(const SliceImage& image) {
  QImage spread(image.GetWidth(), image.GetHeight(), QImage::Format_Indexed8);
  for (int row = 0; row < image.GetHeight(); ++row) {
    const std::uint8_t* source = image.GetStorageRow(row);
    uchar* target = spread.scanLine(row);
    for (int x = 0; x < image.GetWidth(); ++x) target[x] = x % 2 ? source[x / 2] & 0x0F : source[x / 2] >> 4;
  }
  return spread;
}

// A view of the pixel rows without copying them (4-bit images excepted), in storage order.
QImage StorageImage(const SliceImage& image) {
  const int width = image.GetWidth(), height = image.GetHeight(), stride = image.GetRowBytes();
  const uchar* bits = image.GetBits();
  switch (image.GetBitCount()) {
    case 1: {
      QImage mono(bits, width, height, stride, QImage::Format_Mono);
      mono.setColorTable(ColourTableOf(image).mid(0, 2));
      return mono;
    }
    case 4: {
      QImage spread = SpreadNibbles(image);
      spread.setColorTable(ColourTableOf(image));
      return spread;
    }
    case 16: return QImage(bits, width, height, stride, QImage::Format_RGB555);
    default: return {};
  }
}

// Through Qt's own scaling: 1-, 4- and 16-bit images are rare and small.
void PaintThroughQt(QPainter& painter, const SliceImage& image, const QRect& target, const QRectF& source) {
  const QImage storage = StorageImage(image);
  if (storage.isNull()) return;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  // Storage row 0 is the bottom of the picture: flip the target vertically, and the source with it.
  painter.translate(target.left(), target.top() + target.height());
  painter.scale(1.0, -1.0);
  const QRectF stored(source.left(), image.GetHeight() - source.bottom(), source.width(), source.height());
  painter.drawImage(QRectF(0, 0, target.width(), target.height()), storage, stored);
  painter.restore();
}

// The image column or row that a target column or row shows: the source position under it,
// within the image. Integer arithmetic stays exact for the whole image (left 0, width the image's).
int SourceIndex(int t, double left, double width, int targetSize, int imageSize) {
  const int index = static_cast<int>(std::floor(left + static_cast<double>(t) * width / targetSize));
  return std::clamp(index, 0, imageSize - 1);
}

}  // namespace

void IndexedImagePainter::Paint(QPainter& painter, const SliceImage& image, const QRect& target, const QRectF& source) {
  if (image.IsEmpty() || image.GetWidth() <= 0 || image.GetHeight() <= 0 || target.isEmpty()) return;
  const QRectF region = source.isEmpty() ? QRectF(0, 0, image.GetWidth(), image.GetHeight()) : source;
  const int bits = image.GetBitCount();
  if (bits != 8 && bits != 24 && bits != 32) {
    PaintThroughQt(painter, image, target, region);
    return;
  }
  PrepareBuffers(image.GetWidth(), target.size(), region.left(), region.width());
  m_rowsTop = region.top();
  m_rowsHeight = region.height();
  if (bits == 8) {
    std::array<QRgb, 256> colours;
    colours.fill(qRgb(0, 0, 0));  // indices past the table show black
    if (const auto palette = image.GetDisplayPalette()) {
      for (std::size_t i = 0; i < palette->size() && i < colours.size(); ++i)
        colours[i] = qRgb((*palette)[i].red, (*palette)[i].green, (*palette)[i].blue);
    }
    FillCanvas(image, [&colours](const std::uint8_t* row, int column) { return colours[row[column]]; });
  } else {
    const int bytes = bits / 8;  // blue, green, red (and a fourth byte unused)
    FillCanvas(image, [bytes](const std::uint8_t* row, int column) {
      const std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(column) * bytes;
      return qRgb(pixel[2], pixel[1], pixel[0]);
    });
  }
  painter.drawImage(target.topLeft(), m_canvas);
}

void IndexedImagePainter::PrepareBuffers(int imageWidth, const QSize& targetSize, double left, double width) {
  if (m_canvas.size() != targetSize) m_canvas = QImage(targetSize, QImage::Format_RGB32);
  const int targetWidth = targetSize.width();
  if (static_cast<int>(m_sourceColumns.size()) == targetWidth && m_columnsImageWidth == imageWidth &&
      m_columnsLeft == left && m_columnsWidth == width)
    return;
  m_sourceColumns.resize(targetWidth);
  for (int t = 0; t < targetWidth; ++t) m_sourceColumns[t] = SourceIndex(t, left, width, targetWidth, imageWidth);
  m_columnsImageWidth = imageWidth;
  m_columnsLeft = left;
  m_columnsWidth = width;
}

// Target row t shows the image row under it (rows counted from the top, so the storage row is
// mirrored), and likewise for columns, so that a point at image x lands on screen at
// trunc((x - source left) x scale). Only the target's pixels are filled, whatever the zoom.
template <typename PixelOf>
void IndexedImagePainter::FillCanvas(const SliceImage& image, PixelOf pixelOf) {
  const int height = image.GetHeight();
  const int targetWidth = m_canvas.width(), targetHeight = m_canvas.height();
  const int* columns = m_sourceColumns.data();
  for (int t = 0; t < targetHeight; ++t) {
    const int imageRow = SourceIndex(t, m_rowsTop, m_rowsHeight, targetHeight, height);
    const std::uint8_t* source = image.GetStorageRow(height - 1 - imageRow);
    auto* out = reinterpret_cast<QRgb*>(m_canvas.scanLine(t));
    for (int x = 0; x < targetWidth; ++x) out[x] = pixelOf(source, columns[x]);
  }
}

void PaintSliceImage(QPainter& painter, const SliceImage& image, const QRect& target) {
  IndexedImagePainter().Paint(painter, image, target);
}

}  // namespace orvel::gui
