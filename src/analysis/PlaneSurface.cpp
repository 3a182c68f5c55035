#include "analysis/PlaneSurface.h"

#include <bit>

namespace orvel::analysis {
namespace {

// Per axis, from the two neighbour bits of 64 voxels at once: both set, exactly one set.
struct AxisCount {
  std::uint64_t two;
  std::uint64_t one;
};

AxisCount Count(std::uint64_t minus, std::uint64_t plus) { return {minus & plus, minus ^ plus}; }

// With the set neighbours counted per axis (0..2 each), the rule gives every set voxel 0 where
// the count is (2,2,2) (n = 6), 3 where it is (1,1,1) (n = 3, no axis plane holds all three), 2
// where it is a permutation of (2,1,1) (n = 4, no axis plane holds all four), and 1 in every
// other case, a zero axis included. Those values as two bit planes: two population counts a word.
std::int64_t WordSurface(std::uint64_t voxels, AxisCount x, AxisCount y, AxisCount z) {
  const std::uint64_t full = x.two & y.two & z.two;
  const std::uint64_t allOne = x.one & y.one & z.one;
  const std::uint64_t twoOneOne = (x.two & y.one & z.one) | (x.one & y.two & z.one) | (x.one & y.one & z.two);
  const std::uint64_t lowBit = voxels & ~full & ~twoOneOne;  // adds 1 or 3
  const std::uint64_t highBit = voxels & (allOne | twoOneOne);  // adds 2 or 3
  return std::popcount(lowBit) + 2 * std::popcount(highBit);
}

}  // namespace

// Compiled with and without the population count instruction, chosen at load time.
__attribute__((target_clones("popcnt", "default")))
std::int64_t CountPlaneSurface(const VoxelPlane& below, const VoxelPlane& plane, const VoxelPlane& above) {
  const int words = plane.RowWords();
  std::int64_t surface = 0;
  // Rows 0 and height - 1 are cleared: only the rows between can hold voxels.
  for (int r = 1; r + 1 < plane.Height(); ++r) {
    const std::uint64_t* row = plane.Row(r);
    const std::uint64_t* up = plane.Row(r - 1);
    const std::uint64_t* down = plane.Row(r + 1);
    const std::uint64_t* front = below.Row(r);
    const std::uint64_t* back = above.Row(r);
    for (int i = 0; i < words; ++i) {
      const std::uint64_t voxels = row[i];
      if (voxels == 0) continue;
      // Bit c of left is the voxel at c - 1, of right the voxel at c + 1, across word edges.
      const std::uint64_t left = (voxels << 1) | (i > 0 ? row[i - 1] >> 63 : 0);
      const std::uint64_t right = (voxels >> 1) | (i + 1 < words ? row[i + 1] << 63 : 0);
      surface += WordSurface(voxels, Count(left, right), Count(up[i], down[i]), Count(front[i], back[i]));
    }
  }
  return surface;
}

}  // namespace orvel::analysis
