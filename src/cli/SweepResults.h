#pragma once
// --sweep: the lines and the JSON of the analyses for the shifted threshold windows. Text units
// follow the section's own lines (millimetres when the slice has a resolution); JSON values are
// in pixels, as the section's counts are.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/ModelSweep.h"

namespace orvel::cli {

struct AreaSweepRow {
  int shift = 0;
  analysis::ThresholdRange window{0, 0};
  std::int64_t selected = 0;  // total area, pixels
  double relativeAreaPercent = 0.0;
  std::int64_t objects = 0;
};

std::string AreaSweepText(const std::vector<AreaSweepRow>& rows, double pixelSizeMm);
std::string AreaSweepJson(const std::vector<AreaSweepRow>& rows);

std::string ModelSweepText(const std::vector<analysis::SweepModel>& models, double pixelSizeMm);
std::string ModelSweepJson(const std::vector<analysis::SweepModel>& models);

}  // namespace orvel::cli
