#include "analysis/LineMeasurement.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>

#include "analysis/ResultText.h"

namespace orvel::analysis {
namespace {

// (extent * i) div count for 0 <= i <= count; 128-bit because points loaded from an edited
// settings file can lie 2^32 pixels apart, which overflows a 64-bit product.
std::int64_t ScaledStep(std::int64_t extent, std::int64_t i, std::int64_t count) {
  return static_cast<std::int64_t>(static_cast<__int128>(extent) * i / count);
}

// Walks the drawn line from its left end: position i of count lies at
// (minX + (dx * i) div count, yL +- (dy * i) div count), yL being the y of the left end point
// (minY for a vertical line). Position count is the right end point.
class LinePath {
 public:
  LinePath(ImagePoint start, ImagePoint stop) : m_box(SelectionBox::FromPoints(start, stop)) {
    const ImagePoint& left = start.x <= stop.x ? start : stop;
    m_leftY = start.x == stop.x ? m_box.minY : left.y;
    m_rising = m_leftY == m_box.maxY && m_box.Height() != 0;
  }

  std::int64_t Dx() const { return m_box.Width(); }
  std::int64_t Dy() const { return m_box.Height(); }

  int ValueAt(const SliceImage& slice, std::int64_t i, std::int64_t count) const {
    const std::int64_t x = m_box.minX + ScaledStep(Dx(), i, count);
    const std::int64_t rise = ScaledStep(Dy(), i, count);
    const std::int64_t y = m_rising ? m_leftY - rise : m_leftY + rise;
    return ImagePixelOrZero(slice, x, y);
  }

 private:
  SelectionBox m_box;
  std::int64_t m_leftY = 0;
  bool m_rising = false;  // the left end is the lower one (larger image y)
};

// trunc(sqrt(a^2 + b^2)) in floating point; the sum is exact below 2^53, so for any real
// image it is the root of the integer sum.
std::int64_t TruncatedHypot(std::int64_t a, std::int64_t b) {
  const double fa = static_cast<double>(a), fb = static_cast<double>(b);
  return static_cast<std::int64_t>(std::sqrt(fa * fa + fb * fb));
}

void SampleLine(const SliceImage& slice, const LinePath& path, LineMeasurement& result) {
  const std::int64_t count = result.samples;
  if (count == 0) return;
  int minimum = 256, maximum = 0;
  std::int64_t sum = 0;
  for (std::int64_t i = 0; i < count; ++i) {
    const int value = path.ValueAt(slice, i, count);
    minimum = std::min(minimum, value);
    maximum = std::max(maximum, value);
    sum += value;
  }
  result.minimum = minimum;
  result.maximum = maximum;
  result.average = static_cast<int>(sum / count);
}

void AppendLengthLines(const LineRequest& request, const LineMeasurement& result, std::string& text) {
  const std::int64_t n = result.samples;
  const double ps = request.pixelSizeMm;
  // The z extent between the two limits, in pixel rows.
  const std::int64_t z = std::int64_t{std::max(1, request.sliceSpacing)} * request.sliceSteps;
  if (ps == 0) {
    AppendFormatted(text, "2D Length: %" PRId64 " pixels\r\n", n);
    AppendFormatted(text, "3D Length: %" PRId64 " pixels\r\n", TruncatedHypot(z, n));
  } else {
    AppendFormatted(text, "2D Length: %.2f mm\r\n", static_cast<double>(n) * ps);
    const double zMm = static_cast<double>(z) * ps, nMm = static_cast<double>(n) * ps;
    AppendFormatted(text, "3D Length: %.2f mm\r\n", std::sqrt(zMm * zMm + nMm * nMm));
  }
}

double Percent(int greyValue) { return greyValue * 100.0 / 255.0; }

}  // namespace

LineMeasurement MeasureLine(const SliceImage& slice, const LineRequest& request) {
  const LinePath path(request.start, request.stop);
  LineMeasurement result;
  result.samples = TruncatedHypot(path.Dx(), path.Dy());
  SampleLine(slice, path, result);
  AppendLengthLines(request, result, result.text);
  if (result.samples > 0) {
    AppendFormatted(result.text, "Min / Max : %.1f%% / %.1f%%\r\n", Percent(*result.minimum), Percent(*result.maximum));
    AppendFormatted(result.text, "Average value: %.1f%%\r\n", Percent(*result.average));
  }
  return result;
}

std::vector<std::uint8_t> LineProfile(const SliceImage& slice, ImagePoint start, ImagePoint stop, int graphWidth) {
  std::vector<std::uint8_t> values;
  if (graphWidth < 1) return values;
  const LinePath path(start, stop);
  values.reserve(static_cast<std::size_t>(graphWidth) + 1);
  for (int a = 0; a <= graphWidth; ++a) values.push_back(static_cast<std::uint8_t>(path.ValueAt(slice, a, graphWidth)));
  return values;
}

}  // namespace orvel::analysis
