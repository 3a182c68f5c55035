#pragma once
// The result lines of the 3D model, in the exact formats the results box shows ("...\r\n").
#include <cstdint>
#include <string>

#include "analysis/SelectionMask.h"

namespace orvel::analysis {

// "3D-model creation" and the modelsize line with P (L + 1) s.
std::string ModelCreationText(std::int64_t modelSize);

// "layer k of L", shown while slice k (1-based) of L is read; never kept in the results.
std::string ModelLayerText(int layer, int layers);

// The share of the figure's voxels that are set, in percent: V over the elliptic cylinder
// a pi b L s (a = W div 2, b = H div 2) for the ellipse, over the box P L s otherwise. A zero
// divisor (a or b 0, an empty box) gives 0.
double VolumeFractionPercent(std::int64_t volume, AreaShape shape, std::int64_t width, std::int64_t height, int layers,
                             int spacing);

struct ModelFigures {
  std::int64_t volume = 0;   // V, voxels
  std::int64_t surface = 0;  // S, voxel faces by the surface rule
  double volumeFractionPercent = 0.0;
  double pixelSizeMm = 0.0;  // 0: pixel units
};

// "3D-model analysis" and the volume, volume fraction, surface and surface-to-volume lines.
// With V = 0 the surface-to-volume ratio prints 0 in either unit.
void AppendModelAnalysis(std::string& text, const ModelFigures& figures);

// The lines of another surface estimate (area in square pixels) of the same model, named by
// method: "Total Surface (method) : ..." and "Surface/Volume (method) : ...", in the units of
// the voxel-face lines. The ratio has decimals in both units, as the estimate is no count.
void AppendMeshSurfaceLines(std::string& text, const char* method, double area, const ModelFigures& figures);

}  // namespace orvel::analysis
