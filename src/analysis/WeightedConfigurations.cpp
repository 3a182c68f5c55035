// Lindblad's weighted local configurations: the area weight of each of the 14 classes that the
// configurations form under the cube's symmetries and under exchanging set and unset voxels.
#include <algorithm>
#include <bit>

#include "analysis/SurfaceConfigurations.h"

namespace orvel::analysis {
namespace {

// The published weights (square voxel edges). A1 is free: every A1 gives planes of all
// orientations without bias, and 0.6380 gives them the least spread. A11 is the marching-cubes
// area of its class, which planes never produce.
constexpr double kA1 = 0.6380;
constexpr double kA2 = 0.6690;
constexpr double kA5 = 1.1897 - kA1;
constexpr double kA8 = 0.9270;
constexpr double kA9 = 1.6942 - 2 * kA1;
constexpr double kA11 = 1.573132;

// Weight per class, indexed by the class numbers of marching cubes used in the paper.
constexpr double kClassWeights[14] = {
    0.0,        // 0: empty (or full)
    kA1,        // 1: one corner
    kA2,        // 2: two corners on an edge
    2 * kA1,    // 3: two corners diagonal on a face
    2 * kA1,    // 4: two corners on the body diagonal
    kA5,        // 5: three corners on a face
    kA1 + kA2,  // 6: an edge and the corner diagonally opposite it
    3 * kA1,    // 7: three corners, pairwise diagonal
    kA8,        // 8: a face
    kA9,        // 9: a corner with its three neighbours
    2 * kA2,    // 10: two opposite edges
    kA11,       // 11: a path of three edges, not in one face
    kA1 + kA5,  // 12: three corners on a face and a corner diagonal to them
    4 * kA1,    // 13: four corners, pairwise diagonal
};

bool Adjacent(int a, int b) { return std::popcount(static_cast<unsigned>(a ^ b)) == 1; }

// The class of a configuration, from the smaller of its set and unset corner groups: how many
// corners, how many cube edges join them, and the largest number of edges at one corner.
int ClassOf(std::uint8_t configuration) {
  unsigned corners = configuration;
  if (std::popcount(corners) > 4) corners = ~corners & 0xFF;
  const int count = std::popcount(corners);
  int edges = 0, mostAtOneCorner = 0;
  for (int a = 0; a < 8; ++a) {
    if (!(corners >> a & 1)) continue;
    int atCorner = 0;
    for (int b = 0; b < 8; ++b)
      if (b != a && (corners >> b & 1) && Adjacent(a, b)) ++atCorner;
    edges += atCorner;
    mostAtOneCorner = std::max(mostAtOneCorner, atCorner);
  }
  edges /= 2;
  switch (count) {
    case 0: return 0;
    case 1: return 1;
    case 2: {
      const int first = std::countr_zero(corners), second = 31 - std::countl_zero(corners);
      return 1 + std::popcount(static_cast<unsigned>(first ^ second));  // edge, face or body diagonal
    }
    case 3: return edges == 2 ? 5 : edges == 1 ? 6 : 7;
    default:
      if (edges == 4) return 8;
      if (edges == 3) return mostAtOneCorner == 3 ? 9 : 11;
      if (edges == 2) return mostAtOneCorner == 1 ? 10 : 12;
      return 13;
  }
}

}  // namespace

ConfigurationTable WeightedConfigurationAreas(double zSpacing) {
  const ConfigurationTable cubic = MarchingCubesAreas(1.0);
  const ConfigurationTable stretched = MarchingCubesAreas(zSpacing);
  ConfigurationTable weights{};
  for (int configuration = 1; configuration < 255; ++configuration)
    weights[configuration] = kClassWeights[ClassOf(static_cast<std::uint8_t>(configuration))] *
                             (stretched[configuration] / cubic[configuration]);
  return weights;
}

}  // namespace orvel::analysis
