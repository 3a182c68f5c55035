#pragma once
// The binary 3D model of a rectangle or ellipse selection over a range of slices, and its
// analysis: total volume, volume fraction, total surface and surface-to-volume ratio.
//
// The model is defined over P (L + 1) s voxels: P = W x H voxels per plane (the selection box),
// each of the L slices standing for s planes, plus one block of s empty planes. The builder
// takes one slice at a time (so a caller can show progress, let messages through and stop
// between slices) and never holds that buffer: each slice becomes one bit plane, the volume is
// counted as it arrives, and the surface of every plane is counted as soon as the planes above
// and below it are known. It keeps five planes of W x H bits (the last three layers, the figure
// and an empty plane), whatever L and s are: 640 KiB for a 1024 x 1024 box. The mesh surfaces,
// when asked for, take one plane more: the previous layer as sampled, border included.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/ColourScheme.h"
#include "analysis/ConfigurationHistogram.h"
#include "analysis/SelectionBox.h"
#include "analysis/SelectionMask.h"
#include "analysis/VoxelFaceCount.h"
#include "analysis/VoxelPlane.h"
#include "image/SliceImage.h"

namespace orvel::analysis {

struct ModelSettings {
  SelectionBox box;  // taken once when the run starts
  AreaShape shape = AreaShape::kRectangle;
  ThresholdRange window{0, 255};
  bool invert = false;        // set voxels for values outside the window
  int layers = 1;             // L: slices first .. last
  int spacing = 1;            // s: planes per slice; below 1 taken as 1
  bool meshSurfaces = false;  // also the marching-cubes and weighted-configuration surfaces
};

// The surface estimates that do not count voxel faces, in square pixels (voxels 1 x 1 x s):
// the model as set, before its border is cleared, surrounded by unset voxels.
struct MeshSurfaces {
  double marchingCubes = 0.0;
  double weighted = 0.0;
};

struct ModelResult {
  std::int64_t modelSize = 0;        // P (L + 1) s, the voxels of the whole model
  std::int64_t volume = 0;           // V: set voxels
  std::int64_t surface = 0;          // S
  double pixelSizeMm = 0.0;          // of the last slice; 0: pixel units
  std::optional<MeshSurfaces> mesh;  // when the settings ask for them
  std::string text;                  // the complete results text, "\r\n" line ends
};

// The largest plane the builder keeps, in 64-bit words (128 MiB): every box inside a slice that
// a reader accepts fits; larger boxes come only from points far outside the slices.
constexpr std::int64_t kMaxModelPlaneWords = std::int64_t{1} << 24;

// The voxels of a W x H box that the figure admits: every one for the rectangle, those inside
// the ellipse with semi-axes W div 2 and H div 2 for the ellipse, none for no figure.
VoxelPlane FigurePlane(AreaShape shape, int width, int height);

// The grey values of image row y across the box: pixels outside the slice, and every pixel of a
// slice that is not 8 bits per pixel, read as 0. Points into the slice where it can, else fills
// scratch (box.Width() bytes). The slice's storage is bottom-up.
const std::uint8_t* BoxRowValues(const SliceImage& slice, const SelectionBox& box, std::int64_t y,
                                 std::uint8_t* scratch);
// Whether every row of the box lies inside the 8-bit slice, so that BoxRowValues needs no scratch.
bool BoxInsideSlice(const SliceImage& slice, const SelectionBox& box);

class ModelBuilder {
 public:
  // Throws std::length_error when the box needs a plane larger than kMaxModelPlaneWords.
  explicit ModelBuilder(const ModelSettings& settings);

  // The results text so far: "3D-model creation" and the modelsize line.
  const std::string& Text() const { return m_text; }
  // Text() followed by "layer k of L" for the slice about to be added (what the results box
  // shows while that slice is read).
  std::string ProgressText() const;
  int LayersAdded() const { return m_layersAdded; }
  int Layers() const { return m_layers; }

  // Samples the next slice of the range (pixels outside it read as 0). At most Layers() times.
  void AddSlice(const SliceImage& slice);
  // The analysis, once every slice is added; the pixel size is that of the last slice.
  ModelResult Finish();

 private:
  std::int64_t SampleSlice(const SliceImage& slice, VoxelPlane& layer);

  SelectionBox m_box;
  AreaShape m_shape;
  ThresholdRange m_window;
  bool m_invert;
  int m_layers;
  int m_spacing;
  std::int64_t m_modelSize;                                // P (L + 1) s
  VoxelPlane m_selection;                                  // the voxels the figure admits
  std::optional<VoxelFaceCount> m_faces;                   // volume and surface; made once the box is checked
  std::vector<std::uint8_t> m_rowValues;                   // one box row of grey values
  std::optional<ConfigurationHistogram> m_configurations;  // for the mesh surfaces
  int m_layersAdded = 0;
  double m_pixelSizeMm = 0.0;
  std::string m_text;
};

}  // namespace orvel::analysis
