#pragma once
// The geometry the selection tools share: two points in image pixels (x to the right from the
// left edge, y downwards from the top edge) and the bounding box they span.
#include <algorithm>
#include <cstdint>

#include "image/SliceImage.h"

namespace orvel::analysis {

struct ImagePoint {
  int x = 0;
  int y = 0;
};

// The box spanned by two points. Rectangle and ellipse cover the columns minX .. maxX - 1 and rows
// minY .. maxY - 1: the maximum row and column are excluded, so the box holds dx x dy pixels.
struct SelectionBox {
  int minX, minY, maxX, maxY;

  static SelectionBox FromPoints(ImagePoint start, ImagePoint stop) {
    return {std::min(start.x, stop.x), std::min(start.y, stop.y), std::max(start.x, stop.x), std::max(start.y, stop.y)};
  }
  // 64-bit: points loaded from an edited settings file may lie far apart.
  std::int64_t Width() const { return std::int64_t{maxX} - minX; }
  std::int64_t Height() const { return std::int64_t{maxY} - minY; }
};

// Grey value (colour-table index) of an 8-bit slice at image column x, image row y (from the
// top). Points outside the slice, and every point of an image that is not 8 bits per pixel,
// read as 0, so no read ever leaves the pixel buffer.
inline int ImagePixelOrZero(const SliceImage& slice, std::int64_t x, std::int64_t y) {
  const int width = slice.GetWidth(), height = slice.GetHeight();
  if (slice.GetBitCount() != 8 || x < 0 || y < 0 || x >= width || y >= height) return 0;
  return slice.GetPixel(static_cast<int>(x), static_cast<int>(height - 1 - y));
}

}  // namespace orvel::analysis
