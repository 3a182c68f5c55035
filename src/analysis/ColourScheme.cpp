#include "analysis/ColourScheme.h"

#include <algorithm>
#include <cstdint>

namespace orvel::analysis {

ThresholdRange ThresholdWindow(int p1, int p2) {
  const int halved = p2 / 2;
  return {std::min(p1, halved), std::max(p1, halved)};
}

ThresholdRange ShiftedWindow(ThresholdRange window, int shift) {
  // 64-bit: level positions given on a command line may lie near the ends of int.
  const auto moved = [shift](int bound) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{bound} + shift, 0, 255));
  };
  return {moved(window.low), moved(window.high)};
}

}  // namespace orvel::analysis
