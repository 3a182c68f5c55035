#pragma once
// The threshold window of the level sliders, beside the display modes' colour tables it selects
// with (image/ColourTable.h, included for the analyses that colour their results).
#include "image/ColourTable.h"

namespace orvel::analysis {

// The threshold pair from the two level-slider positions p1 and p2: low = min(p1, p2 div 2),
// high = max(p1, p2 div 2). "Inside" is low <= value <= high.
struct ThresholdRange {
  int low;
  int high;
  bool Contains(int value) const { return low <= value && value <= high; }
};
ThresholdRange ThresholdWindow(int p1, int p2);

// The window moved by shift grey levels, both bounds together, each kept within 0 .. 255.
ThresholdRange ShiftedWindow(ThresholdRange window, int shift);

}  // namespace orvel::analysis
