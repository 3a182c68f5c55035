#include "platform/qt/IndexedImagePainter.h"

#include <QPainter>
#include <array>

#include "image/SliceImage.h"

namespace orvel::platform {

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
    case 24: return QImage(bits, width, height, stride, QImage::Format_BGR888);
    case 32: return QImage(bits, width, height, stride, QImage::Format_RGB32);
    default: return {};
  }
}

// Through Qt's own scaling: images of other depths are rare and small enough.
void PaintThroughQt(QPainter& painter, const SliceImage& image, const QRect& target) {
  const QImage storage = StorageImage(image);
  if (storage.isNull()) return;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  // Storage row 0 is the bottom of the picture: flip the target vertically.
  painter.translate(target.left(), target.top() + target.height());
  painter.scale(1.0, -1.0);
  painter.drawImage(QRect(0, 0, target.width(), target.height()), storage);
  painter.restore();
}

}  // namespace

void IndexedImagePainter::Paint(QPainter& painter, const SliceImage& image, const QRect& target) {
  if (image.IsEmpty() || image.GetWidth() <= 0 || image.GetHeight() <= 0 || target.isEmpty()) return;
  if (image.GetBitCount() == 8) PaintIndexed8(painter, image, target);
  else PaintThroughQt(painter, image, target);
}

// Target column t shows image column t x width / target width (rounded down), and likewise for
// rows counted from the top, so a point at image x lands on screen at trunc(x x scale).
void IndexedImagePainter::PaintIndexed8(QPainter& painter, const SliceImage& image, const QRect& target) {
  const int width = image.GetWidth(), height = image.GetHeight();
  const int targetWidth = target.width(), targetHeight = target.height();
  if (m_canvas.size() != target.size()) m_canvas = QImage(target.size(), QImage::Format_RGB32);
  if (static_cast<int>(m_sourceColumns.size()) != targetWidth || m_columnsImageWidth != width) {
    m_sourceColumns.resize(targetWidth);
    for (int t = 0; t < targetWidth; ++t)
      m_sourceColumns[t] = static_cast<int>(static_cast<long long>(t) * width / targetWidth);
    m_columnsImageWidth = width;
  }
  std::array<QRgb, 256> colours{};
  if (const auto palette = image.GetDisplayPalette()) {
    for (std::size_t i = 0; i < palette->size() && i < colours.size(); ++i)
      colours[i] = qRgb((*palette)[i].red, (*palette)[i].green, (*palette)[i].blue);
  }
  for (auto& colour : colours) colour |= 0xFF000000u;  // indices past the table show opaque black
  const int* columns = m_sourceColumns.data();
  for (int t = 0; t < targetHeight; ++t) {
    const int imageRow = static_cast<int>(static_cast<long long>(t) * height / targetHeight);
    const std::uint8_t* source = image.GetStorageRow(height - 1 - imageRow);
    auto* out = reinterpret_cast<QRgb*>(m_canvas.scanLine(t));
    for (int x = 0; x < targetWidth; ++x) out[x] = colours[source[columns[x]]];
  }
  painter.drawImage(target.topLeft(), m_canvas);
}

void PaintSliceImage(QPainter& painter, const SliceImage& image, const QRect& target) {
  IndexedImagePainter().Paint(painter, image, target);
}

}  // namespace orvel::platform
