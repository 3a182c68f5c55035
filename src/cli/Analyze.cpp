#include "cli/Analyze.h"

#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/DatasetDiscovery.h"
#include "app/ImageLoader.h"
#include "cli/AnalyzeSections.h"
#include "cli/Csv.h"
#include "cli/Json.h"
#include "cli/Provenance.h"
#include "platform/Messages.h"

namespace orvel::cli {

namespace {

struct UsageError {
  std::string message;
};

std::string LoadFailureText(LoadStatus status, const std::string& path) {
  return (status == LoadStatus::kCannotOpen ? "cannot open " : "cannot read slice ") + path;
}

void LoadSlice(const std::string& path, SliceImage& image, DatasetWindow& window) {
  const LoadStatus status = LoadImageFile(path, image, &window);
  if (status != LoadStatus::kLoaded) throw SectionFailure{LoadFailureText(status, path)};
}

// Slice indices of the two limits; crossed limits are exchanged as the limit sliders do.
std::pair<int, int> SelectionRange(const AnalyzeOptions& options, int count) {
  IntPair range = options.range.value_or(IntPair{0, count - 1});
  if (range.first > range.second) std::swap(range.first, range.second);
  if (range.first < 0 || range.second >= count)
    throw UsageError{"--range must lie within 0.." + std::to_string(count - 1)};
  return {range.first, range.second};
}

const char* ToolOption(SelectionTool tool) {
  switch (tool) {
    case SelectionTool::kLine: return "--line";
    case SelectionTool::kRectangle: return "--rectangle";
    case SelectionTool::kEllipse: return "--ellipse";
    case SelectionTool::kNone: break;
  }
  return "";
}

// The points lie on the slice they select from: line ends are pixels, 0 .. width - 1, while the
// corners of a rectangle or an ellipse run to the width, as the far edge is left out of the
// pixels. Anything beyond would be counted as grey value 0.
void RequireSelectionOnSlice(const AnalyzeOptions& options, const SliceImage& slice) {
  if (options.tool == SelectionTool::kNone) return;
  const int edge = options.tool == SelectionTool::kLine ? 1 : 0;
  const int maxX = slice.GetWidth() - edge, maxY = slice.GetHeight() - edge;
  const PointPair& p = options.points;
  const auto within = [](int value, int max) { return value >= 0 && value <= max; };
  if (within(p.x0, maxX) && within(p.x1, maxX) && within(p.y0, maxY) && within(p.y1, maxY)) return;
  throw UsageError{std::string(ToolOption(options.tool)) + " must lie within the slice: x 0.." + std::to_string(maxX) +
                   ", y 0.." + std::to_string(maxY)};
}

std::string WithLineFeeds(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

// While a progress line may stand on the terminal, the readers' messages (some from the
// read-ahead thread) blank it first, so that each starts at the left edge of a line of its own.
class MessagesAboveProgress {
 public:
  explicit MessagesAboveProgress(ProgressLine& line)
      : m_previous(platform::SetMessageSink([this, &line](const std::string& text, const std::string& caption) {
          line.ShowAbove([&] { m_previous(text, caption); });
        })) {}
  ~MessagesAboveProgress() { platform::SetMessageSink(m_previous); }
  MessagesAboveProgress(const MessagesAboveProgress&) = delete;
  MessagesAboveProgress& operator=(const MessagesAboveProgress&) = delete;

 private:
  platform::MessageSink m_previous;
};

struct SectionCall {
  bool wanted;
  const char* key;
  SectionResult (*run)(const AnalyzeContext&);
};

int Run(const AnalyzeOptions& options, std::ostream& out, ProgressLine& progress) {
  Dataset dataset;
  if (OpenDatasetFromPath(options.file, dataset) != DiscoveryResult::kFound) return 1;
  const int count = dataset.SliceCount();
  if (options.slice < 0 || options.slice >= count)
    throw UsageError{"--slice must lie within 0.." + std::to_string(count - 1)};
  const auto [bottom, top] = SelectionRange(options, count);

  // The level sliders start at the first slice's levels, whichever slice is current.
  DatasetWindow window(dataset.slicePaths, options.window);
  SliceImage first;
  LoadSlice(dataset.slicePaths[0], first, window);
  SliceImage current;
  if (options.slice != 0) LoadSlice(dataset.slicePaths[options.slice], current, window);
  const SliceImage& slice = options.slice == 0 ? first : current;
  RequireSelectionOnSlice(options, slice);
  const IntPair levels = options.levels.value_or(IntPair{first.GetLowerLevel(), first.GetUpperLevel()});

  StagedOutputs outputs;
  const AnalyzeContext context{options, dataset, slice,    options.slice, levels.first, levels.second,
                               bottom,  top,     &outputs, &progress,     &window};
  const SectionCall calls[] = {
      {options.info, "", RunInfoSection},
      {options.exportPath.has_value(), "export", RunExportSection},
      {options.tool == SelectionTool::kLine, "line", RunLineSection},
      {options.area, "area", RunAreaSection},
      {options.model, "model", RunModelSection},
      {options.cutPath.has_value(), "cut", RunCutSection},
  };
  JsonObject json;
  std::string text;
  for (const SectionCall& call : calls) {
    if (!call.wanted) continue;
    const SectionResult result = call.run(context);
    text += result.text;
    // The info section gives its members ("dataset", "slice") rather than one value.
    if (*call.key == '\0') json.AddMembers(result.json);
    else json.AddRaw(call.key, result.json);
  }
  if (options.json || options.csv) json.AddRaw("provenance", ProvenanceJson(context));
  outputs.Commit();
  if (options.csv) out << CsvFromJson(json.Text());
  else out << (options.json ? json.Text() + "\n" : WithLineFeeds(text));
  return 0;
}

}  // namespace

int RunAnalyze(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  AnalyzeOptions options;
  ProgressLine progress(errIsTerminal ? &err : nullptr);
  std::optional<MessagesAboveProgress> messages;
  if (errIsTerminal) messages.emplace(progress);
  std::string error;
  try {
    if (!ParseAnalyzeOptions(argc, argv, options, error)) throw UsageError{error};
    switch (options.request) {
      case AnalyzeRequest::kHelp: out << kAnalyzeHelp; return 0;
      case AnalyzeRequest::kVersion: out << "orvel-analyze " ORVEL_VERSION "\n"; return 0;
      case AnalyzeRequest::kRun: break;
    }
    return Run(options, out, progress);
  } catch (const UsageError& usage) {
    err << "orvel-analyze: " << usage.message << "; " << kAnalyzeUsage << "\n";
    return 2;
  } catch (const SectionFailure& failure) {
    err << "orvel-analyze: " << failure.message << "\n";
    return 1;
  } catch (const std::bad_alloc&) {
    // An analysis that needs more memory than there is fails like any other: one line, status 1.
    err << "orvel-analyze: out of memory\n";
    return 1;
  }
}

}  // namespace orvel::cli
