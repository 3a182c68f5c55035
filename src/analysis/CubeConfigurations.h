#pragma once
// The 256 configurations of a 2 x 2 x 2 cube of binary voxels, and what the surface estimates
// that work on them share. Corner i of a configuration sits at x = i & 1, y = (i >> 1) & 1,
// z = (i >> 2) & 1, and is set when bit i of the configuration is.
#include <array>
#include <cstdint>

namespace orvel::analysis {

// A point of the cube in half-voxel units: each coordinate 0, 1 or 2. Edge midpoints have
// exactly one coordinate 1; the centre is (1, 1, 1).
struct HalfPoint {
  int x, y, z;
};

// One of the 48 rotations and reflections of the cube: new coordinate a is old coordinate
// axis[a], mirrored (1 - c) when mirror[a].
struct CubeSymmetry {
  std::array<int, 3> axis;
  std::array<bool, 3> mirror;

  std::uint8_t Apply(std::uint8_t configuration) const;
  HalfPoint Apply(HalfPoint point) const;
};

const std::array<CubeSymmetry, 48>& CubeSymmetries();

// A value per configuration: the surface area that one cube in that configuration adds.
using ConfigurationTable = std::array<double, 256>;

}  // namespace orvel::analysis
