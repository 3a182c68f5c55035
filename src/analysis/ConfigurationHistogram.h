#pragma once
// How often each 2 x 2 x 2 configuration occurs in a binary model that arrives layer by layer.
// The model is taken as surrounded by unset voxels on every side, so the cubes run from one
// voxel before the first column, row and layer to one after the last, and the surface closes
// where the object meets the edge of the box or the end of the range. Only the previous layer is
// kept.
#include <array>
#include <cstdint>

#include "analysis/CubeConfigurations.h"
#include "analysis/VoxelPlane.h"

namespace orvel::analysis {

class ConfigurationHistogram {
 public:
  ConfigurationHistogram(int width, int height);

  // The next layer, every layer the same width and height as given above.
  void AddLayer(const VoxelPlane& layer);
  // Adds the cubes between the last layer and the unset voxels after it; call once, at the end.
  void Finish();

  // Cubes per configuration; the empty and the full cube (0 and 255) are not counted.
  std::array<std::int64_t, 256> Counts() const;
  // The sum of counts times the table's value per configuration.
  double Total(const ConfigurationTable& table) const;

 private:
  void CountBetween(const VoxelPlane& below, const VoxelPlane& above);

  VoxelPlane m_previous;                                  // the last layer added, or unset voxels before the first
  std::array<std::array<std::int64_t, 256>, 4> m_bins{};  // summed by Counts()
};

}  // namespace orvel::analysis
