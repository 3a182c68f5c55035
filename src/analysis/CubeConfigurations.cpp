#include "analysis/CubeConfigurations.h"

#include <algorithm>

namespace orvel::analysis {

std::uint8_t CubeSymmetry::Apply(std::uint8_t configuration) const {
  std::uint8_t mapped = 0;
  for (int corner = 0; corner < 8; ++corner) {
    if (!(configuration >> corner & 1)) continue;
    int image = 0;
    for (int a = 0; a < 3; ++a) image |= ((corner >> axis[a] & 1) ^ int{mirror[a]}) << a;
    mapped |= static_cast<std::uint8_t>(1 << image);
  }
  return mapped;
}

HalfPoint CubeSymmetry::Apply(HalfPoint point) const {
  const int old[3] = {point.x, point.y, point.z};
  int mapped[3];
  for (int a = 0; a < 3; ++a) mapped[a] = mirror[a] ? 2 - old[axis[a]] : old[axis[a]];
  return {mapped[0], mapped[1], mapped[2]};
}

const std::array<CubeSymmetry, 48>& CubeSymmetries() {
  static const std::array<CubeSymmetry, 48> symmetries = [] {
    std::array<CubeSymmetry, 48> all{};
    std::array<int, 3> axis{0, 1, 2};
    int n = 0;
    do {
      for (int mirrors = 0; mirrors < 8; ++mirrors)
        all[n++] = {axis, {(mirrors & 1) != 0, (mirrors & 2) != 0, (mirrors & 4) != 0}};
    } while (std::next_permutation(axis.begin(), axis.end()));
    return all;
  }();
  return symmetries;
}

}  // namespace orvel::analysis
