#include "analysis/FloodFill.h"

#include <utility>
#include <vector>

namespace orvel::analysis {

bool TryFillPixel(SelectionMask& mask, std::int64_t x, std::int64_t y, std::uint8_t oldValue, std::uint8_t newValue) {
  if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) return false;
  std::uint8_t& cell = mask.At(static_cast<int>(x), static_cast<int>(y));
  if (cell != oldValue) return false;
  cell = newValue;
  return true;
}

std::int64_t FillObject(SelectionMask& mask, int x, int y, std::uint8_t newValue) {
  struct Cell {
    std::int64_t x, y;
  };
  const int row = mask.height - 1 - y;
  if (x < 0 || row < 0 || x >= mask.width || row >= mask.height) return 0;
  const std::uint8_t oldValue = mask.At(x, row);
  if (oldValue == newValue) return 0;  // nothing to relabel; filling would never end
  mask.At(x, row) = newValue;
  // The frontier grows as needed: a strongly branched object can hold far more frontier cells
  // than any fixed multiple of the mask's side.
  std::vector<Cell> frontier{{x, row}}, next;
  std::int64_t count = 0;
  while (!frontier.empty()) {
    next.clear();
    for (const Cell& cell : frontier) {
      ++count;
      const Cell neighbours[4] = {
          {cell.x + 1, cell.y}, {cell.x - 1, cell.y}, {cell.x, cell.y + 1}, {cell.x, cell.y - 1}};
      for (const Cell& n : neighbours)
        if (TryFillPixel(mask, n.x, n.y, oldValue, newValue)) next.push_back(n);
    }
    std::swap(frontier, next);
  }
  return count;
}

}  // namespace orvel::analysis
