#include "analysis/VoxelFaceCount.h"

#include <algorithm>

#include "analysis/PlaneSurface.h"

namespace orvel::analysis {
namespace {

constexpr std::int64_t kEmptyPlane = -1;

}  // namespace

VoxelFaceCount::VoxelFaceCount(int width, int height, int layers, int spacing)
    : m_spacing(spacing), m_filledPlanes(std::int64_t{layers} * spacing), m_empty(width, height) {
  for (VoxelPlane& layer : m_layerRing) layer = VoxelPlane(width, height);
}

void VoxelFaceCount::AddLayer(std::int64_t setVoxels) {
  // The volume counts the layer's s planes before their border is cleared for the surface.
  m_volume += setVoxels * m_spacing;
  NextLayer().ClearBorder();
  ++m_layersAdded;
  // A plane's surface is known once the plane above it is: up to the newest layer's last but one.
  CountSurfaceThrough(std::int64_t{m_layersAdded} * m_spacing - 2);
}

void VoxelFaceCount::Finish() { CountSurfaceThrough(m_filledPlanes - 2); }

// Which layer plane z shows, or kEmptyPlane: the first and the last filled plane are cleared
// like the box's edges, and the planes from L s on are never filled.
std::int64_t VoxelFaceCount::SourceOfPlane(std::int64_t z) const {
  if (z <= 0 || z >= m_filledPlanes - 1) return kEmptyPlane;
  return z / m_spacing;
}

const VoxelPlane& VoxelFaceCount::PlaneOf(std::int64_t source) const {
  return source == kEmptyPlane ? m_empty : m_layerRing[source % 3];
}

// Surface of the planes m_nextPlane .. lastPlane (at most L s - 2, the last plane the analysis
// examines). Planes inside one layer's block with the same layer above and below all add the
// same, so such a run is counted once and multiplied.
void VoxelFaceCount::CountSurfaceThrough(std::int64_t lastPlane) {
  lastPlane = std::min(lastPlane, m_filledPlanes - 2);
  while (m_nextPlane <= lastPlane) {
    const std::int64_t z = m_nextPlane;
    const std::int64_t below = SourceOfPlane(z - 1), here = SourceOfPlane(z), above = SourceOfPlane(z + 1);
    std::int64_t runEnd = z;
    if (below == here && above == here)  // up to the last plane whose upper neighbour is still here
      runEnd = std::min({lastPlane, (here + 1) * m_spacing - 2, m_filledPlanes - 3});
    const std::int64_t planeSurface = CountPlaneSurface(PlaneOf(below), PlaneOf(here), PlaneOf(above));
    m_surface += planeSurface * (runEnd - z + 1);
    m_nextPlane = runEnd + 1;
  }
}

}  // namespace orvel::analysis
