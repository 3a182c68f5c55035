#pragma once
// The area selection of one slice: which pixels of the rectangle or ellipse pass the threshold
// window.
#include <cstdint>
#include <vector>

#include "analysis/ColourScheme.h"
#include "analysis/SelectionBox.h"
#include "image/SliceImage.h"

namespace orvel::analysis {

enum class AreaShape {
  kNone,  // the "2D" mode outlived its figure tool: nothing is selected
  kRectangle,
  kEllipse,
};

constexpr std::uint8_t kSelectedCell = 255;
constexpr std::uint8_t kUnselectedCell = 0;

// dx x dy cells over the selection box; row r is image row minY + r (top-down), column c is
// image column minX + c; each cell is kSelectedCell or kUnselectedCell.
struct SelectionMask {
  int width = 0;   // dx
  int height = 0;  // dy
  std::vector<std::uint8_t> cells;
  std::int64_t selected = 0;  // T: selected cells

  std::uint8_t& At(int column, int row) {
    return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + column];
  }
};

// The largest mask built (cells); a larger box (only from points far outside any slice) is
// refused with std::length_error.
constexpr std::int64_t kMaxMaskCells = std::int64_t{1} << 30;

// Selects the cells of the box whose grey value lies in the threshold window (outside it with
// invert) and, for the ellipse, whose centre lies in the ellipse inscribed in the box. Pixels
// outside the slice read as 0.
SelectionMask BuildSelectionMask(const SliceImage& slice, const SelectionBox& box, AreaShape shape,
                                 ThresholdRange window, bool invert);

}  // namespace orvel::analysis
