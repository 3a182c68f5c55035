#include "image/SampleWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orvel {

namespace {

// Linear interpolation from a towards b, computed from the nearer end as numpy's percentile does,
// so that the two agree to the last bit.
double Lerp(double a, double b, double t) {
  const double difference = b - a;
  return t >= 0.5 ? b - difference * (1 - t) : a + difference * t;
}

// The percentile (0..100) of values, which it reorders: the order statistics either side of the
// index (count - 1) * percentile / 100, found by partial sorting.
double Percentile(std::vector<float>& values, double percentile) {
  const double index = static_cast<double>(values.size() - 1) * (percentile / 100);
  const std::size_t below = static_cast<std::size_t>(std::floor(index));
  const std::size_t above = std::min(below + 1, values.size() - 1);
  std::nth_element(values.begin(), values.begin() + below, values.end());
  const double lower = values[below];
  const double upper = above == below ? lower : *std::min_element(values.begin() + above, values.end());
  return Lerp(lower, upper, index - static_cast<double>(below));
}

}  // namespace

std::uint8_t MapSample(float sample, const SampleWindow& window) {
  const double v = sample;
  if (v <= window.low) return 0;
  if (v >= window.high) return 255;
  const double scaled = (v - window.low) * 255 / (window.high - window.low) + 0.5;
  // Inside the window the value lies in 0.5 .. 255.5; only a NaN fails both comparisons above.
  if (!(scaled >= 0)) return 0;
  return static_cast<std::uint8_t>(std::min(scaled, 255.0));
}

SampleWindow PercentileWindow(const std::vector<float>& samples) {
  std::vector<float> finite;
  finite.reserve(samples.size());
  for (float v : samples)
    if (std::isfinite(v)) finite.push_back(v);
  if (finite.empty()) return {};
  const double low = Percentile(finite, 0.5);
  return {low, Percentile(finite, 99.5)};
}

std::string WindowText(const SampleWindow& window) {
  char text[64];
  std::snprintf(text, sizeof text, "%.7g..%.7g", window.low, window.high);
  return text;
}

}  // namespace orvel
