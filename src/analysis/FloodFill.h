#pragma once
// Relabelling one object of a selection mask by a breadth-first flood fill with 4-neighbourhood:
// the object-at-a-time way of finding objects, beside the run labelling that the area analysis
// uses for speed. Both give the same objects.
#include <cstdint>

#include "analysis/SelectionMask.h"

namespace orvel::analysis {

// Writes newValue into cell (x, y) (mask row y) and returns true when the cell lies inside the
// mask and holds oldValue; otherwise leaves the mask alone and returns false.
bool TryFillPixel(SelectionMask& mask, std::int64_t x, std::int64_t y, std::uint8_t oldValue, std::uint8_t newValue);

// Relabels with newValue the 4-connected group of cells that hold the value found at the seed
// and returns the number of cells relabelled. The seed is column x of mask row height - 1 - y
// (y counts rows upwards from the mask's last row). A seed outside the mask
// or already holding newValue gives 0.
std::int64_t FillObject(SelectionMask& mask, int x, int y, std::uint8_t newValue);

}  // namespace orvel::analysis
