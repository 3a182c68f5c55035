#pragma once
// How the 3D model moves with the threshold: the models of one selection for the threshold
// window shifted by -D .. +D grey levels (both bounds together, each kept within 0 .. 255), built
// side by side from one reading of the slices. Each model keeps three layers of bits; the
// models of a slice are built on several threads.
#include <cstdint>
#include <vector>

#include "analysis/Model3D.h"
#include "analysis/ParallelRuns.h"

namespace orvel::analysis {

struct SweepModel {
  int shift = 0;
  ThresholdRange window{0, 0};
  std::int64_t volume = 0;   // V
  std::int64_t surface = 0;  // S, voxel faces
  double volumeFractionPercent = 0.0;
};

class ModelSweep {
 public:
  // The box, figure, Invert, layers and spacing of settings (its mesh surfaces are not swept);
  // maxShift 0 .. 255; workers and share as ParallelRuns takes them. Throws std::length_error
  // when the models' planes would pass 1 GiB.
  ModelSweep(const ModelSettings& settings, int maxShift, int workers, platform::ProcessorShare* share = nullptr);

  int Layers() const { return m_layers; }
  // The next slice of the range, at most Layers() times.
  void AddSlice(const SliceImage& slice);
  // One model per shift, from -maxShift up, once every slice is added.
  std::vector<SweepModel> Finish();

 private:
  void PrepareRows(const SliceImage& slice);
  void SampleRows(int first, int end, std::int64_t* setVoxels);

  SelectionBox m_box;
  AreaShape m_shape;
  bool m_invert;
  int m_layers;
  int m_spacing;
  int m_maxShift;
  VoxelPlane m_selection;
  std::vector<ThresholdRange> m_windows;  // per model
  std::vector<VoxelFaceCount> m_models;
  std::vector<const std::uint8_t*> m_rows;  // the current slice's grey values, per box row
  std::vector<std::uint8_t> m_outside;      // rows copied when the box leaves the slice
  int m_layersAdded = 0;
  ParallelRuns m_runs;
};

}  // namespace orvel::analysis
