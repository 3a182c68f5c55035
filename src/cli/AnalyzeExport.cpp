// --export: the current slice written exactly as its reader left it.
#include "cli/AnalyzeSections.h"
#include "cli/Json.h"

namespace orvel::cli {

SectionResult RunExportSection(const AnalyzeContext& context) {
  const std::string& path = *context.options.exportPath;
  context.outputs->Stage(context.slice, path, context.options.quality);
  JsonObject json;
  json.Add("path", path).Add("width", context.slice.GetWidth()).Add("height", context.slice.GetHeight());
  return {"", json.Text()};
}

}  // namespace orvel::cli
