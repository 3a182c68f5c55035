// The "cut" section: the cut along the line over the selection range, saved to OUT.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/Cut.h"
#include "app/SliceReadAhead.h"
#include "cli/AnalyzeSections.h"
#include "cli/AnalyzeSelection.h"
#include "cli/Json.h"
#include "cli/SliceReading.h"

namespace orvel::cli {

namespace {

analysis::CutBuilder MakeCutBuilder(const analysis::AnalysisRequest& request) {
  try {
    return analysis::CutBuilder(analysis::CutSettingsFor(request));
  } catch (const std::length_error&) {
    throw SectionFailure{"the cut along this line would be larger than any image can be"};
  }
}

}  // namespace

SectionResult RunCutSection(const AnalyzeContext& context) {
  const std::string& path = *context.options.cutPath;  // .bmp or .jpg, as the parser checked
  const analysis::AnalysisRequest request = AnalysisRequestOf(context);
  analysis::CutBuilder builder = MakeCutBuilder(request);
  if (builder.Width() == 0) throw SectionFailure{"cannot cut along a line shorter than one pixel"};

  // With one thread the slices are read on this one: sampling a line takes a few microseconds
  // against the 80 of reading a 1024 x 1024 slice, so a single worker saves nothing, and handing
  // each slice across cores made the cut over 200 slices 1.2 times the reading time instead of
  // 1.0. Several workers decode side by side, which pays on a JPEG stack.
  const auto& paths = context.dataset.slicePaths;
  const int threads = DecodeThreads(context.options);
  std::optional<SliceReadAhead> slices;
  if (threads > 1)
    slices.emplace(std::vector<std::string>(paths.begin() + context.bottomIndex, paths.begin() + context.topIndex + 1),
                   context.window, threads);
  SliceImage slice;
  SectionProgress progress(context.progress, builder.Layers());
  for (int k = 0; k < builder.Layers(); ++k) {
    const std::string& slicePath = paths[context.bottomIndex + k];
    if (slices) FailUnlessLoaded(slices->Next(slice), slicePath);
    else ReadSliceOrFail(slicePath, slice, context.window);
    builder.AddSlice(slice);
    progress.LayerDone(k + 1);
  }
  const SliceImage cut = builder.TakeCutImage(request.display);
  context.outputs->Stage(cut, path, context.options.quality);

  JsonObject json;
  json.Add("path", path).Add("width", cut.GetWidth()).Add("height", cut.GetHeight());
  return {"", json.Text()};
}

}  // namespace orvel::cli
