#pragma once
// Samples deeper than 8 bits (16-bit integers, 32-bit floats) become the 8-bit pixels that every
// measurement reads through one window per dataset: values at or below its low end give 0, at or
// above its high end 255, and linearly in between, rounded half up.
#include <cstdint>
#include <string>
#include <vector>

namespace orvel {

struct SampleWindow {
  double low = 0;
  double high = 0;
  bool operator==(const SampleWindow&) const = default;
};

// trunc((v - low) * 255 / (high - low) + 0.5) inside the window; a sample that is not a number
// gives 0.
std::uint8_t MapSample(float sample, const SampleWindow& window);

// The automatic window: the 0.5th and the 99.5th percentile of the finite samples, interpolated
// linearly between neighbouring order statistics. Samples that are not finite (a reconstruction's
// masked corners) take no part; without any finite sample the window is 0 .. 0.
SampleWindow PercentileWindow(const std::vector<float>& samples);

// "LOW..HIGH" with up to seven significant digits, as the caption and the summary show it.
std::string WindowText(const SampleWindow& window);

}  // namespace orvel
