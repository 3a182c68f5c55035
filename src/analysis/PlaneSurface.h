#pragma once
// The surface rule of the 3D analysis for one plane of the model: every set voxel adds by how its
// six face neighbours are set. With n set neighbours it adds 1 for n = 0, 1, 2 or 5 and 0 for
// n = 6; for n = 3 it adds 1 when all three lie in one axis plane through the voxel, else 3; for
// n = 4 it adds 1 when all four lie in one axis plane, else 2.
#include <bit>
#include <cstdint>

#include "analysis/VoxelPlane.h"

namespace orvel::analysis {

// The surface that the set voxels of plane add, given the planes below (z - 1) and above
// (z + 1). The three planes have the same size and their borders cleared, so every set voxel of
// plane has all six neighbours inside the box. Runs the fastest implementation below that the
// processor has.
std::int64_t CountPlaneSurface(const VoxelPlane& below, const VoxelPlane& plane, const VoxelPlane& above);

// The implementations behind CountPlaneSurface, kept callable so that tests compare them.
std::int64_t CountPlaneSurfaceScalar(const VoxelPlane& below, const VoxelPlane& plane, const VoxelPlane& above);
#if defined(__x86_64__) && defined(__GNUC__)
#define ORVEL_HAVE_X86_SURFACE 1
// Only where ProcessorHasAvx2().
std::int64_t CountPlaneSurfaceAvx2(const VoxelPlane& below, const VoxelPlane& plane, const VoxelPlane& above);
#endif

// What the 64 voxels of one word add, given the words of their neighbours on either side along
// x (left, right: bit c holds the voxel at c - 1, c + 1), y and z. Counted per axis, the rule
// gives every set voxel 0 where both neighbours are set on all three axes (n = 6), 3 where
// exactly one is set on each (n = 3, no axis plane holds all three), 2 where both are set on one
// axis and one on each other (n = 4, no axis plane holds all four), and 1 in every other case,
// an axis without set neighbours included. Those values as two bit planes: two population counts.
inline std::int64_t WordSurface(std::uint64_t voxels, std::uint64_t left, std::uint64_t right, std::uint64_t up,
                                std::uint64_t down, std::uint64_t front, std::uint64_t back) {
  const std::uint64_t xTwo = left & right, xOne = left ^ right;
  const std::uint64_t yTwo = up & down, yOne = up ^ down;
  const std::uint64_t zTwo = front & back, zOne = front ^ back;
  const std::uint64_t full = xTwo & yTwo & zTwo;
  const std::uint64_t allOne = xOne & yOne & zOne;
  const std::uint64_t twoOneOne = (xTwo & yOne & zOne) | (xOne & yTwo & zOne) | (xOne & yOne & zTwo);
  const std::uint64_t lowBit = voxels & ~full & ~twoOneOne;     // adds 1 or 3
  const std::uint64_t highBit = voxels & (allOne | twoOneOne);  // adds 2 or 3
  return std::popcount(lowBit) + 2 * std::popcount(highBit);
}

}  // namespace orvel::analysis
