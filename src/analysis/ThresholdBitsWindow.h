#pragma once
// What the threshold implementations share: the window cut to the byte range, and the value by
// value loop for what their vector steps leave.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "analysis/ColourScheme.h"

namespace orvel::analysis {

// A value v passes when (v - first) mod 256 <= span. An empty cut (the window misses 0..255)
// lets no value pass.
struct ByteWindow {
  std::uint8_t first = 0;
  std::uint8_t span = 0;
  bool empty = false;
};

inline ByteWindow CutToBytes(ThresholdRange window) {
  const int first = std::max(window.low, 0), last = std::min(window.high, 255);
  if (first > last) return {0, 0, true};
  return {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(last - first), false};
}

// Values begin .. count - 1 into their bits; begin is a multiple of 64 and the words from
// begin / 64 on are written whole.
inline void PackThresholdTail(const std::uint8_t* values, std::size_t begin, std::size_t count, ByteWindow cut,
                              bool invert, std::uint64_t* words) {
  std::fill(words + begin / 64, words + (count + 63) / 64, std::uint64_t{0});
  for (std::size_t j = begin; j < count; ++j) {
    const bool inside = !cut.empty && static_cast<std::uint8_t>(values[j] - cut.first) <= cut.span;
    if (inside != invert) words[j / 64] |= std::uint64_t{1} << (j % 64);
  }
}

}  // namespace orvel::analysis
