#pragma once
// The volume and the voxel-face surface of one binary model that arrives layer by layer: each
// layer stands for s planes, the planes from L s on are empty, and the first and last filled
// plane and the box's outermost rows and columns are cleared before the surface rule looks at
// them. The surface of a plane is counted as soon as the plane above it is known, so only the
// last three layers are kept.
#include <cstdint>

#include "analysis/VoxelPlane.h"

namespace orvel::analysis {

class VoxelFaceCount {
 public:
  VoxelFaceCount(int width, int height, int layers, int spacing);

  // The plane to fill with the next layer's set voxels (figure applied), before AddLayer.
  VoxelPlane& NextLayer() { return m_layerRing[m_layersAdded % 3]; }
  // Takes the filled layer with its count of set voxels: adds it s times to the volume, clears
  // its border and counts the surface that is now known.
  void AddLayer(std::int64_t setVoxels);
  // Counts the surface of the last planes; once every layer is added.
  void Finish();

  int LayersAdded() const { return m_layersAdded; }
  std::int64_t Volume() const { return m_volume; }    // V
  std::int64_t Surface() const { return m_surface; }  // S

 private:
  void CountSurfaceThrough(std::int64_t lastPlane);
  std::int64_t SourceOfPlane(std::int64_t z) const;
  const VoxelPlane& PlaneOf(std::int64_t source) const;

  int m_spacing;
  std::int64_t m_filledPlanes;  // L s: the planes the layers fill
  VoxelPlane m_layerRing[3];    // the last three layers, borders cleared
  VoxelPlane m_empty;
  int m_layersAdded = 0;
  std::int64_t m_volume = 0;
  std::int64_t m_surface = 0;
  std::int64_t m_nextPlane = 1;  // the next plane whose surface is counted
};

}  // namespace orvel::analysis
