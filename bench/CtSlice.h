#pragma once
// The picture the JPEG benchmarks code: a micro-CT-like 8-bit slice of size x size pixels, rows
// top-down without padding. Dark noisy background, a bright disc with a radial falloff, a grid
// of dark pores, a dense inclusion, and scanner noise of a few grey levels; the same every call.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

inline std::vector<std::uint8_t> MakeCtSlice(int size) {
  std::vector<std::uint8_t> slice(static_cast<std::size_t>(size) * size);
  std::uint32_t seed = 2024;
  auto uniform = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / 16777216.0;
  };
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double dx = (x - size / 2.0) / size, dy = (y - size / 2.0) / size;
      const double radius = std::sqrt(dx * dx + dy * dy);
      double value = radius < 0.42 ? 160 - 90 * radius : 22;
      const double px = std::fmod(x, size / 20.0) - size / 40.0, py = std::fmod(y, size / 20.0) - size / 40.0;
      if (radius < 0.42 && px * px + py * py < (size / 100.0) * (size / 100.0)) value = 45;
      if (std::hypot(dx - 0.1, dy + 0.12) < 0.05) value = 235;
      value += (uniform() + uniform() + uniform() - 1.5) * 8;
      slice[static_cast<std::size_t>(y) * size + x] = static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
    }
  return slice;
}
