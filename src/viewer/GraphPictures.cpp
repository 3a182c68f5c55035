#include "viewer/GraphPictures.h"

#include <QPainter>
#include <QPolygon>

#include "analysis/LineMeasurement.h"

namespace orvel::viewer {

namespace {

const QColor kGraphRed(255, 0, 0);

QImage WhitePicture(QSize size) {
  QImage picture(size, QImage::Format_RGB32);  // null for an empty size
  picture.fill(Qt::white);
  return picture;
}

}  // namespace

QImage LineProfileGraph(const std::vector<std::uint8_t>& profile, QSize size) {
  QImage picture = WhitePicture(size);
  const int width = size.width(), height = size.height();
  if (width < 1 || height < 1 || profile.size() != static_cast<std::size_t>(width) + 1) return picture;
  QPolygon path;
  path.reserve(width + 1);
  path << QPoint(0, analysis::ProfileGraphRow(profile[0], height));
  for (int a = 0; a < width; ++a) path << QPoint(a, analysis::ProfileGraphRow(profile[a + 1], height));
  QPainter painter(&picture);
  painter.setPen(QPen(kGraphRed, 1));
  painter.drawPolyline(path);
  return picture;
}

QImage SizeDistributionGraph(const analysis::SizeClassCounts& counts, QSize size) {
  QImage picture = WhitePicture(size);
  const int width = size.width(), height = size.height();
  if (width < 1 || height < 1) return picture;
  QPainter painter(&picture);
  for (const analysis::SizeBar& bar : analysis::SizeDistributionBars(counts, width, height))
    painter.fillRect(QRect(bar.left, height - bar.rows, bar.right - bar.left, bar.rows), kGraphRed);
  return picture;
}

}  // namespace orvel::viewer
