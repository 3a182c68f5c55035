// The "model" section: the 3D model of the rectangle or ellipse over the selection range.
#include <algorithm>
#include <optional>
#include <stdexcept>

#include "analysis/Model3D.h"
#include "analysis/ModelSweep.h"
#include "app/SliceReadAhead.h"
#include "cli/AnalyzeSections.h"
#include "cli/AnalyzeSelection.h"
#include "cli/Json.h"
#include "cli/SliceReading.h"
#include "cli/SweepResults.h"
#include "platform/ProcessorShare.h"

namespace orvel::cli {

namespace {

// One surface estimate in square pixels and its ratio to the volume, per pixel (0 for V = 0).
std::string SurfaceEstimateJson(double area, std::int64_t volume) {
  JsonObject json;
  json.Add("surface", area).Add("surfaceToVolume", volume == 0 ? 0.0 : area / static_cast<double>(volume));
  return json.Text();
}

}  // namespace

SectionResult RunModelSection(const AnalyzeContext& context) {
  RequireMeasurableSlice(context.slice);
  analysis::ModelSettings settings = analysis::ModelSettingsFor(AnalysisRequestOf(context));
  settings.meshSurfaces = context.options.meshSurfaces;
  // The decoding workers and the sweep's threads beside this one take turns on the same
  // processors: while the read-ahead is full its workers wait and the sweep gets them all.
  const int threads = DecodeThreads(context.options);
  platform::ProcessorShare processors(threads);
  std::optional<analysis::ModelBuilder> builder;
  std::optional<analysis::ModelSweep> sweep;  // built from the same reading of the slices
  try {
    builder.emplace(settings);
    if (const std::optional<int> maxShift = context.options.sweep)
      sweep.emplace(settings, *maxShift, std::min(threads, analysis::WorkersFor(2 * *maxShift + 1)), &processors);
  } catch (const std::length_error&) {
    throw SectionFailure{"the selection is too large for a 3D model"};
  }
  const auto& paths = context.dataset.slicePaths;
  SliceReadAhead slices({paths.begin() + context.bottomIndex, paths.begin() + context.topIndex + 1}, context.window,
                        threads, &processors);
  SliceImage slice;
  SectionProgress progress(context.progress, builder->Layers());
  for (int k = 0; k < builder->Layers(); ++k) {
    FailUnlessLoaded(slices.Next(slice), paths[context.bottomIndex + k]);
    RequireMeasurableSlice(slice);  // the model reads such a slice as empty: its result would be made up
    builder->AddSlice(slice);
    if (sweep) sweep->AddSlice(slice);
    progress.LayerDone(k + 1);
  }
  const analysis::ModelResult result = builder->Finish();

  JsonObject json;
  json.Add("modelsize", result.modelSize)
      .Add("volume", result.volume)
      .Add("surface", result.surface)
      .Add("text", result.text);
  if (result.mesh) {
    json.AddRaw("marchingCubes", SurfaceEstimateJson(result.mesh->marchingCubes, result.volume));
    json.AddRaw("weighted", SurfaceEstimateJson(result.mesh->weighted, result.volume));
  }
  std::string text = result.text;
  if (sweep) {
    const std::vector<analysis::SweepModel> models = sweep->Finish();
    text += ModelSweepText(models, result.pixelSizeMm);
    json.AddRaw("sweep", ModelSweepJson(models));
  }
  return {text, json.Text()};
}

}  // namespace orvel::cli
