#include "viewer/GraphPictures.h"

#include <QPainter>
#include <cstdlib>

#include "analysis/LineMeasurement.h"

namespace orvel::viewer {

namespace {

const QColor kGraphRed(255, 0, 0);

// Plots the one-pixel line from a to b, both ends included (Bresenham). Every vertex of the profile
// is thus on the picture, which a painter's line rules do not promise for zero-length steps.
void PlotLine(QImage& picture, QPoint a, QPoint b) {
  const int dx = std::abs(b.x() - a.x()), dy = -std::abs(b.y() - a.y());
  const int stepX = a.x() < b.x() ? 1 : -1, stepY = a.y() < b.y() ? 1 : -1;
  int error = dx + dy;
  QPoint p = a;
  while (true) {
    if (picture.rect().contains(p)) picture.setPixel(p, kGraphRed.rgb());
    if (p == b) return;
    const int doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      p.rx() += stepX;
    }
    if (doubled <= dx) {
      error += dx;
      p.ry() += stepY;
    }
  }
}

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
  QPoint previous(0, analysis::ProfileGraphRow(profile[0], height));
  for (int a = 0; a < width; ++a) {
    const QPoint next(a, analysis::ProfileGraphRow(profile[a + 1], height));
    PlotLine(picture, previous, next);
    previous = next;
  }
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
