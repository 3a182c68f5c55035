#pragma once
// The parts of an orvel-analyze run. The driver (Analyze.cpp) opens the dataset and the current
// slice, then asks each section that the options call for; a section gives its block of result
// text (CR LF line ends, as the viewer's results box holds it) and its JSON value.
#include <string>

#include "app/Dataset.h"
#include "app/DatasetWindow.h"
#include "cli/AnalyzeOptions.h"
#include "cli/OutputPath.h"
#include "cli/ProgressLine.h"
#include "image/SliceImage.h"

namespace orvel::cli {

struct AnalyzeContext {
  const AnalyzeOptions& options;
  const Dataset& dataset;
  const SliceImage& slice;  // the current slice (options.slice), as its reader left it
  int sliceIndex = 0;
  int lowerLevelPosition = 0;  // level-slider positions: --levels or the first slice's levels
  int upperLevelPosition = 0;
  int bottomIndex = 0;  // selection range, slice indices, bottom <= top
  int topIndex = 0;
  StagedOutputs* outputs = nullptr;  // where sections write images; the driver commits them at the end
  ProgressLine* progress = nullptr;  // where long sections report their layers; null for nowhere
  DatasetWindow* window = nullptr;   // how deep samples become 8 bits; null: each file its own
};

struct SectionResult {
  std::string text;  // block for the plain output, "\r\n" line ends; empty for none
  std::string json;  // JSON value for the section's key
};

// A failure that ends the run: exit status 1 (dataset or slice unreadable, output not written)
// with message on standard error.
struct SectionFailure {
  std::string message;
};

// The window through which the dataset's deep samples became 8 bits, as a JSON object (low, high,
// source "automatic" or "manual"); low and high null and source "none" while no deep slice was read
// and none was given.
std::string WindowJson(const AnalyzeContext& context);

// Each throws SectionFailure on failure.
SectionResult RunInfoSection(const AnalyzeContext& context);
SectionResult RunExportSection(const AnalyzeContext& context);
SectionResult RunLineSection(const AnalyzeContext& context);
SectionResult RunAreaSection(const AnalyzeContext& context);
SectionResult RunModelSection(const AnalyzeContext& context);
SectionResult RunCutSection(const AnalyzeContext& context);

}  // namespace orvel::cli
