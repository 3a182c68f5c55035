#include "analysis/SelectionMask.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace orvel::analysis {
namespace {

// Mask value of every grey value: selected when it lies in the window (outside it with invert).
std::array<std::uint8_t, 256> PassTable(ThresholdRange window, bool invert) {
  std::array<std::uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v) table[v] = window.Contains(v) != invert ? kSelectedCell : kUnselectedCell;
  return table;
}

// Thresholds the box's part of image row y into row; columns outside the slice read as 0.
void ThresholdRow(const SliceImage& slice, const SelectionBox& box, std::int64_t y,
                  const std::array<std::uint8_t, 256>& pass, std::uint8_t* row, int width) {
  std::memset(row, pass[0], static_cast<std::size_t>(width));
  const int sliceWidth = slice.GetWidth(), sliceHeight = slice.GetHeight();
  if (slice.GetBitCount() != 8 || y < 0 || y >= sliceHeight) return;
  const std::int64_t first = std::max<std::int64_t>(box.minX, 0);
  const std::int64_t last = std::min<std::int64_t>(box.maxX, sliceWidth);  // exclusive
  const std::uint8_t* pixels = slice.GetStorageRow(static_cast<int>(sliceHeight - 1 - y));
  for (std::int64_t x = first; x < last; ++x) row[x - box.minX] = pass[pixels[x]];
}

// Keeps the cells of row r whose centre offsets from the box centre satisfy
// ey^2 / halfH^2 + ex^2 / halfW^2 <= 1 in floating point. With halfW or halfH 0 the quotients
// are not-a-number or infinite and no cell is inside.
class EllipseClip {
 public:
  EllipseClip(const SelectionBox& box, int width) : m_halfW(width / 2), m_halfH(box.Height() / 2) {
    if (m_halfW == 0 || m_halfH == 0) return;
    const double halfW2 = static_cast<double>(m_halfW * m_halfW);
    m_columnTerms.resize(static_cast<std::size_t>(width));
    for (int c = 0; c < width; ++c) {
      const std::int64_t ex = m_halfW - c;  // minX + halfW - x
      m_columnTerms[c] = static_cast<double>(ex * ex) / halfW2;
    }
  }

  void Apply(int r, std::uint8_t* row, int width) const {
    if (m_columnTerms.empty()) {
      std::memset(row, kUnselectedCell, static_cast<std::size_t>(width));
      return;
    }
    const std::int64_t ey = m_halfH - r;  // minY + halfH - y
    const double rowTerm = static_cast<double>(ey * ey) / static_cast<double>(m_halfH * m_halfH);
    for (int c = 0; c < width; ++c)
      if (!(rowTerm + m_columnTerms[c] <= 1.0)) row[c] = kUnselectedCell;
  }

 private:
  std::int64_t m_halfW, m_halfH;
  std::vector<double> m_columnTerms;  // ex^2 / halfW^2 of every column
};

}  // namespace

SelectionMask BuildSelectionMask(const SliceImage& slice, const SelectionBox& box, AreaShape shape,
                                 ThresholdRange window, bool invert) {
  if (box.Width() > kMaxMaskCells || box.Height() > kMaxMaskCells || box.Width() * box.Height() > kMaxMaskCells)
    throw std::length_error("selection too large");
  SelectionMask mask;
  mask.width = static_cast<int>(box.Width());
  mask.height = static_cast<int>(box.Height());
  mask.cells.assign(static_cast<std::size_t>(box.Width() * box.Height()), kUnselectedCell);
  if (shape == AreaShape::kNone || mask.cells.empty()) return mask;

  const auto pass = PassTable(window, invert);
  const EllipseClip ellipse(box, mask.width);
  for (int r = 0; r < mask.height; ++r) {
    std::uint8_t* row = &mask.At(0, r);
    ThresholdRow(slice, box, std::int64_t{box.minY} + r, pass, row, mask.width);
    if (shape == AreaShape::kEllipse) ellipse.Apply(r, row, mask.width);
  }
  mask.selected = std::count(mask.cells.begin(), mask.cells.end(), kSelectedCell);
  return mask;
}

}  // namespace orvel::analysis
