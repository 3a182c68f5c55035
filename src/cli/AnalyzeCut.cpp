// The "cut" section: the cut along the line over the selection range, saved to OUT.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/Cut.h"
#include "app/SliceReadAhead.h"
#include "cli/AnalyzeSections.h"
#include "cli/Json.h"
#include "cli/SliceReading.h"

namespace orvel::cli {

namespace {

int PaletteModeOf(const std::string& name) {
  if (name == "greyscale") return analysis::kGreyscalePalette;
  if (name == "colour1") return analysis::kColour1Palette;
  if (name == "colour2") return analysis::kColour2Palette;
  if (name == "binary") return analysis::kBinaryPalette;
  return analysis::kOriginalPalette;
}

analysis::CutBuilder MakeCutBuilder(const AnalyzeContext& context) {
  const PointPair& points = context.options.points;
  analysis::CutSettings settings;
  settings.start = {points.x0, points.y0};
  settings.stop = {points.x1, points.y1};
  settings.layers = context.topIndex - context.bottomIndex + 1;
  settings.spacing = context.dataset.SliceSpacing();
  try {
    return analysis::CutBuilder(settings);
  } catch (const std::length_error&) {
    throw SectionFailure{"the cut along this line would be larger than any image can be"};
  }
}

}  // namespace

SectionResult RunCutSection(const AnalyzeContext& context) {
  const std::string& path = *context.options.cutPath;  // .bmp or .jpg, as the parser checked
  analysis::CutBuilder builder = MakeCutBuilder(context);
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
  const analysis::CutDisplay display{PaletteModeOf(context.options.palette), context.options.invert,
                                     context.lowerLevelPosition, context.upperLevelPosition};
  const SliceImage cut = builder.TakeCutImage(display);
  context.outputs->Stage(cut, path, context.options.quality);

  JsonObject json;
  json.Add("path", path).Add("width", cut.GetWidth()).Add("height", cut.GetHeight());
  return {"", json.Text()};
}

}  // namespace orvel::cli
