#include "platform/qt/IndexedImagePainter.h"

#include <QImage>
#include <QPainter>

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
    case 8: {
      QImage indexed(bits, width, height, stride, QImage::Format_Indexed8);
      indexed.setColorTable(ColourTableOf(image));
      return indexed;
    }
    case 16: return QImage(bits, width, height, stride, QImage::Format_RGB555);
    case 24: return QImage(bits, width, height, stride, QImage::Format_BGR888);
    case 32: return QImage(bits, width, height, stride, QImage::Format_RGB32);
    default: return {};
  }
}

}  // namespace

void PaintSliceImage(QPainter& painter, const SliceImage& image, const QRect& target) {
  if (image.IsEmpty() || image.GetWidth() <= 0 || image.GetHeight() <= 0 || target.isEmpty()) return;
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

}  // namespace orvel::platform
