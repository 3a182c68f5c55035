#include "analysis/Model3D.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "analysis/Model3DText.h"
#include "analysis/PlaneSurface.h"
#include "analysis/SurfaceConfigurations.h"
#include "analysis/ThresholdBits.h"

namespace orvel::analysis {
namespace {

constexpr std::int64_t kEmptyPlane = -1;

// The voxels of the box inside the ellipse with semi-axes a = W div 2, b = H div 2 about
// (a, b): dx dx / a / a + dy dy / b / b <= 1 in double precision, dx and dy the offsets from the
// centre. A zero semi-axis makes every quotient infinite or not-a-number: nothing is inside.
void SelectEllipse(VoxelPlane& plane) {
  const int a = plane.Width() / 2, b = plane.Height() / 2;
  if (a == 0 || b == 0) return;
  std::vector<double> columnTerms(static_cast<std::size_t>(plane.Width()));
  for (int c = 0; c < plane.Width(); ++c) {
    const double dx = a - c;
    columnTerms[c] = dx * dx / a / a;
  }
  for (int r = 0; r < plane.Height(); ++r) {
    const double dy = b - r;
    const double rowTerm = dy * dy / b / b;
    std::uint64_t* row = plane.Row(r);
    for (int c = 0; c < plane.Width(); ++c)
      if (columnTerms[c] + rowTerm <= 1.0) row[c / 64] |= std::uint64_t{1} << (c % 64);
  }
}

VoxelPlane SelectionPlane(AreaShape shape, int width, int height) {
  VoxelPlane plane(width, height);
  if (shape == AreaShape::kRectangle) plane.SetAll();
  else if (shape == AreaShape::kEllipse) SelectEllipse(plane);
  return plane;
}

}  // namespace

ModelBuilder::ModelBuilder(const ModelSettings& settings)
    : m_box(settings.box),
      m_shape(settings.shape),
      m_window(settings.window),
      m_invert(settings.invert),
      m_layers(std::max(settings.layers, 1)),
      m_spacing(std::max(settings.spacing, 1)) {
  const std::int64_t width = m_box.Width(), height = m_box.Height();
  if (width > kMaxModelPlaneWords * 64 || height > kMaxModelPlaneWords ||
      VoxelPlaneWords(width, height) > kMaxModelPlaneWords)
    throw std::length_error("selection too large");
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  m_filledPlanes = std::int64_t{m_layers} * m_spacing;
  m_selection = SelectionPlane(settings.shape, w, h);
  for (VoxelPlane& layer : m_layerRing) layer = VoxelPlane(w, h);
  m_empty = VoxelPlane(w, h);
  m_rowValues.resize(static_cast<std::size_t>(w));
  if (settings.meshSurfaces) m_configurations.emplace(w, h);
  m_modelSize = width * height * (m_layers + 1) * m_spacing;
  m_text = ModelCreationText(m_modelSize);
}

std::string ModelBuilder::ProgressText() const {
  return m_text + ModelLayerText(m_layersAdded + 1, m_layers);
}

// The grey values of image row y across the box: straight from the slice when the box row lies
// inside it (the usual case; copying every row cost a fifth of the sampling time), else a copy in
// which the pixels outside the slice, and every pixel of a slice that is not 8 bits per pixel,
// read as 0. The slice's storage is bottom-up.
const std::uint8_t* ModelBuilder::BoxRow(const SliceImage& slice, std::int64_t y) {
  const int sliceWidth = slice.GetWidth(), sliceHeight = slice.GetHeight();
  const bool readable = slice.GetBitCount() == 8 && y >= 0 && y < sliceHeight;
  const std::uint8_t* pixels = readable ? slice.GetStorageRow(static_cast<int>(sliceHeight - 1 - y)) : nullptr;
  if (readable && m_box.minX >= 0 && m_box.maxX <= sliceWidth) return pixels + m_box.minX;
  std::fill(m_rowValues.begin(), m_rowValues.end(), std::uint8_t{0});
  const std::int64_t first = std::max<std::int64_t>(m_box.minX, 0);
  const std::int64_t end = std::min<std::int64_t>(m_box.maxX, sliceWidth);
  if (readable && first < end)
    std::memcpy(m_rowValues.data() + (first - m_box.minX), pixels + first, static_cast<std::size_t>(end - first));
  return m_rowValues.data();
}

// The box thresholded into bits and cut to the figure; returns the number of set voxels.
std::int64_t ModelBuilder::SampleSlice(const SliceImage& slice, VoxelPlane& layer) {
  std::int64_t set = 0;
  for (int r = 0; r < layer.Height(); ++r) {
    std::uint64_t* bits = layer.Row(r);
    PackThresholdBits(BoxRow(slice, std::int64_t{m_box.minY} + r), m_rowValues.size(), m_window, m_invert, bits);
    set += KeepAndCount(bits, m_selection.Row(r), layer.RowWords());
  }
  return set;
}

void ModelBuilder::AddSlice(const SliceImage& slice) {
  if (m_layersAdded >= m_layers) throw std::logic_error("more slices than layers");
  VoxelPlane& layer = m_layerRing[m_layersAdded % 3];
  // The volume counts the layer's s planes before their border is cleared for the surface.
  m_volume += SampleSlice(slice, layer) * m_spacing;
  if (m_configurations) m_configurations->AddLayer(layer);
  layer.ClearBorder();
  m_pixelSizeMm = slice.GetPixelSizeMm();
  ++m_layersAdded;
  // A plane's surface is known once the plane above it is: up to the newest layer's last but one.
  CountSurfaceThrough(std::int64_t{m_layersAdded} * m_spacing - 2);
}

// Which layer plane z shows, or kEmptyPlane: the first and the last filled plane are cleared
// like the box's edges, and the planes from L s on are never filled.
std::int64_t ModelBuilder::SourceOfPlane(std::int64_t z) const {
  if (z <= 0 || z >= m_filledPlanes - 1) return kEmptyPlane;
  return z / m_spacing;
}

const VoxelPlane& ModelBuilder::PlaneOf(std::int64_t source) const {
  return source == kEmptyPlane ? m_empty : m_layerRing[source % 3];
}

// Surface of the planes m_nextPlane .. lastPlane (at most L s - 2, the last plane the analysis
// examines). Planes inside one layer's block with the same layer above and below all add the
// same, so such a run is counted once and multiplied.
void ModelBuilder::CountSurfaceThrough(std::int64_t lastPlane) {
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

ModelResult ModelBuilder::Finish() {
  if (m_layersAdded != m_layers) throw std::logic_error("model finished before its last slice");
  CountSurfaceThrough(m_filledPlanes - 2);
  ModelResult result;
  result.modelSize = m_modelSize;
  result.volume = m_volume;
  result.surface = m_surface;
  ModelFigures figures;
  figures.volume = m_volume;
  figures.surface = m_surface;
  figures.pixelSizeMm = m_pixelSizeMm;
  figures.volumeFractionPercent =
      VolumeFractionPercent(m_volume, m_shape, m_box.Width(), m_box.Height(), m_layers, m_spacing);
  result.text = m_text;
  AppendModelAnalysis(result.text, figures);
  if (m_configurations) {
    m_configurations->Finish();
    result.mesh = MeshSurfaces{m_configurations->Total(MarchingCubesAreas(m_spacing)),
                               m_configurations->Total(WeightedConfigurationAreas(m_spacing))};
    AppendMeshSurfaceLines(result.text, "marching cubes", result.mesh->marchingCubes, figures);
    AppendMeshSurfaceLines(result.text, "weighted", result.mesh->weighted, figures);
  }
  return result;
}

}  // namespace orvel::analysis
