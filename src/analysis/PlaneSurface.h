#pragma once
// The surface rule of the 3D analysis for one plane of the model: every set voxel adds by how its
// six face neighbours are set. With n set neighbours it adds 1 for n = 0, 1, 2 or 5 and 0 for
// n = 6; for n = 3 it adds 1 when all three lie in one axis plane through the voxel, else 3; for
// n = 4 it adds 1 when all four lie in one axis plane, else 2.
#include <cstdint>

#include "analysis/VoxelPlane.h"

namespace orvel::analysis {

// The surface that the set voxels of plane add, given the planes below (z - 1) and above
// (z + 1). The three planes have the same size and their borders cleared, so every set voxel of
// plane has all six neighbours inside the box.
std::int64_t CountPlaneSurface(const VoxelPlane& below, const VoxelPlane& plane, const VoxelPlane& above);

}  // namespace orvel::analysis
