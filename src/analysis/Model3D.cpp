#include "analysis/Model3D.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "analysis/Model3DText.h"
#include "analysis/SurfaceConfigurations.h"
#include "analysis/ThresholdBits.h"

namespace orvel::analysis {
namespace {

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

}  // namespace

VoxelPlane FigurePlane(AreaShape shape, int width, int height) {
  VoxelPlane plane(width, height);
  if (shape == AreaShape::kRectangle) plane.SetAll();
  else if (shape == AreaShape::kEllipse) SelectEllipse(plane);
  return plane;
}

// Straight from the slice when the box row lies inside it (the usual case; copying every row
// cost a fifth of the sampling time), else a copy in scratch.
const std::uint8_t* BoxRowValues(const SliceImage& slice, const SelectionBox& box, std::int64_t y,
                                 std::uint8_t* scratch) {
  const int sliceWidth = slice.GetWidth(), sliceHeight = slice.GetHeight();
  const bool readable = slice.GetBitCount() == 8 && y >= 0 && y < sliceHeight;
  const std::uint8_t* pixels = readable ? slice.GetStorageRow(static_cast<int>(sliceHeight - 1 - y)) : nullptr;
  if (readable && box.minX >= 0 && box.maxX <= sliceWidth) return pixels + box.minX;
  std::fill(scratch, scratch + box.Width(), std::uint8_t{0});
  const std::int64_t first = std::max<std::int64_t>(box.minX, 0);
  const std::int64_t end = std::min<std::int64_t>(box.maxX, sliceWidth);
  if (readable && first < end)
    std::memcpy(scratch + (first - box.minX), pixels + first, static_cast<std::size_t>(end - first));
  return scratch;
}

bool BoxInsideSlice(const SliceImage& slice, const SelectionBox& box) {
  return slice.GetBitCount() == 8 && box.minX >= 0 && box.minY >= 0 && box.maxX <= slice.GetWidth() &&
         box.maxY <= slice.GetHeight();
}

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
  m_selection = FigurePlane(settings.shape, w, h);
  m_faces.emplace(w, h, m_layers, m_spacing);
  m_rowValues.resize(static_cast<std::size_t>(w));
  if (settings.meshSurfaces) m_configurations.emplace(w, h);
  m_modelSize = width * height * (m_layers + 1) * m_spacing;
  m_text = ModelCreationText(m_modelSize);
}

std::string ModelBuilder::ProgressText() const { return m_text + ModelLayerText(m_layersAdded + 1, m_layers); }

// The box thresholded into bits and cut to the figure; returns the number of set voxels.
std::int64_t ModelBuilder::SampleSlice(const SliceImage& slice, VoxelPlane& layer) {
  std::int64_t set = 0;
  for (int r = 0; r < layer.Height(); ++r) {
    std::uint64_t* bits = layer.Row(r);
    const std::uint8_t* values = BoxRowValues(slice, m_box, std::int64_t{m_box.minY} + r, m_rowValues.data());
    PackThresholdBits(values, m_rowValues.size(), m_window, m_invert, bits);
    set += KeepAndCount(bits, m_selection.Row(r), layer.RowWords());
  }
  return set;
}

void ModelBuilder::AddSlice(const SliceImage& slice) {
  if (m_layersAdded >= m_layers) throw std::logic_error("more slices than layers");
  VoxelPlane& layer = m_faces->NextLayer();
  const std::int64_t set = SampleSlice(slice, layer);
  if (m_configurations) m_configurations->AddLayer(layer);
  m_faces->AddLayer(set);
  m_pixelSizeMm = slice.GetPixelSizeMm();
  ++m_layersAdded;
}

ModelResult ModelBuilder::Finish() {
  if (m_layersAdded != m_layers) throw std::logic_error("model finished before its last slice");
  m_faces->Finish();
  ModelResult result;
  result.modelSize = m_modelSize;
  result.volume = m_faces->Volume();
  result.surface = m_faces->Surface();
  result.pixelSizeMm = m_pixelSizeMm;
  ModelFigures figures;
  figures.volume = result.volume;
  figures.surface = result.surface;
  figures.pixelSizeMm = m_pixelSizeMm;
  figures.volumeFractionPercent =
      VolumeFractionPercent(result.volume, m_shape, m_box.Width(), m_box.Height(), m_layers, m_spacing);
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
