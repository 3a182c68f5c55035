#include "cli/Provenance.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "analysis/ColourScheme.h"
#include "cli/Json.h"
#include "cli/Sha256.h"

namespace orvel::cli {
namespace {

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

const char* SelectionName(SelectionTool tool) {
  switch (tool) {
    case SelectionTool::kLine: return "line";
    case SelectionTool::kRectangle: return "rectangle";
    case SelectionTool::kEllipse: return "ellipse";
    default: return "none";
  }
}

// The digests over the files of the range, in title order.
void AddRangeDigests(const AnalyzeContext& context, JsonObject& json) {
  Sha256 list, content;
  for (int i = context.bottomIndex; i <= context.topIndex; ++i) {
    const std::string& path = context.dataset.slicePaths[i];
    list.Update(FileRecord(path));
    if (context.options.hashContent) HashFileContent(path, content);
  }
  json.Add("fileListSha256", list.HexDigest());
  if (context.options.hashContent) json.Add("contentSha256", content.HexDigest());
}

}  // namespace

std::string FileRecord(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) throw SectionFailure{"cannot examine " + path};
  char record[96];
  std::snprintf(record, sizeof record, "\t%lld\t%lld.%09ld\n", static_cast<long long>(status.st_size),
                static_cast<long long>(status.st_mtim.tv_sec), static_cast<long>(status.st_mtim.tv_nsec));
  return FileName(path) + record;
}

std::string ProvenanceJson(const AnalyzeContext& context) {
  const AnalyzeOptions& options = context.options;
  const auto& paths = context.dataset.slicePaths;
  const analysis::ThresholdRange window =
      analysis::ThresholdWindow(context.lowerLevelPosition, context.upperLevelPosition);
  JsonObject json;
  json.Add("program", "orvel-analyze")
      .Add("version", ORVEL_VERSION)
      .Add("datasetFolder", std::filesystem::path(paths.front()).parent_path().string())
      .Add("firstFile", FileName(paths[context.bottomIndex]))
      .Add("lastFile", FileName(paths[context.topIndex]))
      .Add("sliceCount", context.topIndex - context.bottomIndex + 1)
      .Add("datasetSliceCount", context.dataset.SliceCount())
      .Add("sliceSpacing", context.dataset.SliceSpacing())
      .Add("levels", std::vector<std::int64_t>{context.lowerLevelPosition, context.upperLevelPosition})
      .Add("thresholdLow", window.low)
      .Add("thresholdHigh", window.high)
      .Add("invert", options.invert)
      .AddRaw("window", WindowJson(context))
      .Add("selection", SelectionName(options.tool));
  if (options.tool != SelectionTool::kNone) {
    const PointPair& p = options.points;
    json.Add("points", std::vector<std::int64_t>{p.x0, p.y0, p.x1, p.y1});
  }
  json.Add("range", std::vector<std::int64_t>{context.bottomIndex, context.topIndex})
      .Add("slice", context.sliceIndex)
      .Add("sliceFile", FileName(paths[context.sliceIndex]));
  AddRangeDigests(context, json);
  return json.Text();
}

}  // namespace orvel::cli
