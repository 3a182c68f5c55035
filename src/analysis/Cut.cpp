#include "analysis/Cut.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace orvel::analysis {
namespace {

// Bytes of an 8-bit image of width x height, rows padded to 4 bytes.
double ImageBytes(double width, double height) { return std::ceil(width / 4) * 4 * height; }

}  // namespace

CutBuilder::CutBuilder(const CutSettings& settings)
    : m_layers(std::max(settings.layers, 1)), m_spacing(std::max(settings.spacing, 1)) {
  const double dx = static_cast<double>(std::int64_t{settings.stop.x} - settings.start.x);
  const double dy = static_cast<double>(std::int64_t{settings.stop.y} - settings.start.y);
  const double length = std::trunc(std::sqrt(dx * dx + dy * dy));
  const double outRows = static_cast<double>(m_layers - 1) * m_spacing + 1;
  if (ImageBytes(length, outRows) > static_cast<double>(kMaxImageBytes)) throw std::length_error("cut too large");
  m_samples = static_cast<int>(length);
  m_outRows = static_cast<int>(outRows);
  // The sample points are the same on every slice: start + j (dx, dy) / len, truncated.
  m_columns.resize(static_cast<std::size_t>(m_samples));
  m_rows.resize(static_cast<std::size_t>(m_samples));
  if (m_samples > 0) {
    const double sx = dx / m_samples, sy = dy / m_samples;
    for (int j = 0; j < m_samples; ++j) {
      m_columns[j] = static_cast<std::int64_t>(settings.start.x + j * sx);
      m_rows[j] = static_cast<std::int64_t>(settings.start.y + j * sy);
    }
  }
  m_image.Create(m_samples, m_outRows, 8, false);
}

void CutBuilder::AddSlice(const SliceImage& slice) {
  if (m_layersAdded >= m_layers) throw std::logic_error("more slices than layers");
  m_xPelsPerMeter = slice.GetXPelsPerMeter();
  m_yPelsPerMeter = slice.GetYPelsPerMeter();
  m_fileColours = slice.GetOriginalColours();
  const int layer = m_layersAdded++;
  if (m_samples == 0) return;              // a line shorter than one pixel: an image without pixels
  const int firstRow = layer * m_spacing;  // storage rows: the first slice is the bottom
  const int endRow = std::min(firstRow + m_spacing, m_outRows);
  const std::size_t rowBytes = static_cast<std::size_t>(m_image.GetRowBytes());
  std::uint8_t* first = m_image.GetBits() + static_cast<std::size_t>(firstRow) * rowBytes;
  SampleLine(slice, first);
  for (int r = firstRow + 1; r < endRow; ++r)
    std::memcpy(m_image.GetBits() + static_cast<std::size_t>(r) * rowBytes, first, rowBytes);
}

// The grey value at every sample point; points outside the slice, and every point of a slice that
// is not 8 bits per pixel, read as 0. The slice's size is read once: reading it from the header
// at every point cost a tenth of the time it takes to read a 1024 x 1024 slice.
void CutBuilder::SampleLine(const SliceImage& slice, std::uint8_t* row) const {
  const std::int64_t width = slice.GetWidth(), height = slice.GetHeight();
  const bool readable = slice.GetBitCount() == 8;
  for (int j = 0; j < m_samples; ++j) {
    const std::int64_t x = m_columns[j], y = m_rows[j];
    const bool inside = readable && x >= 0 && y >= 0 && x < width && y < height;
    row[j] = inside ? slice.GetPixel(static_cast<int>(x), static_cast<int>(height - 1 - y)) : 0;
  }
}

// The slice's file colours become the cut's original colours, so every scheme, Original with
// Invert included, is computed from the same table as on the slice: the cut looks as the slices do.
SliceImage CutBuilder::TakeCutImage(const CutDisplay& display) {
  if (m_layersAdded != m_layers) throw std::logic_error("cut taken before its last slice");
  m_image.SetXPelsPerMeter(m_xPelsPerMeter);
  m_image.SetYPelsPerMeter(m_yPelsPerMeter);
  m_image.SetOriginalColours(m_fileColours);
  ApplySliceDisplay(m_image, display);
  return std::move(m_image);
}

}  // namespace orvel::analysis
