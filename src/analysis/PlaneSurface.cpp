#include "analysis/PlaneSurface.h"

#include "analysis/PopcountClones.h"
#include "analysis/ThresholdBits.h"

namespace orvel::analysis {

// Compiled with and without the population count instruction, chosen at load time.
ORVEL_POPCOUNT_CLONES
std::int64_t CountPlaneSurfaceScalar(const VoxelPlane& below, const VoxelPlane& plane, const VoxelPlane& above) {
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
      surface += WordSurface(voxels, left, right, up[i], down[i], front[i], back[i]);
    }
  }
  return surface;
}

std::int64_t CountPlaneSurface(const VoxelPlane& below, const VoxelPlane& plane, const VoxelPlane& above) {
#if defined(ORVEL_HAVE_X86_SURFACE)
  static const auto count = ProcessorHasAvx2() ? CountPlaneSurfaceAvx2 : CountPlaneSurfaceScalar;
  return count(below, plane, above);
#else
  return CountPlaneSurfaceScalar(below, plane, above);
#endif
}

}  // namespace orvel::analysis
