#pragma once
// The command line of orvel-analyze: FILE [options]. Points are image pixels, y down from the top.
#include <optional>
#include <string>

#include "analysis/AnalysisRequest.h"
#include "image/SampleWindow.h"

namespace orvel::cli {

struct PointPair {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct IntPair {
  int first = 0, second = 0;
};

using analysis::SelectionTool;

// What the command line asks for: a run, or only the help text or the version.
enum class AnalyzeRequest { kRun, kHelp, kVersion };

struct AnalyzeOptions {
  AnalyzeRequest request = AnalyzeRequest::kRun;
  std::string file;
  bool info = false;
  int slice = 0;
  SelectionTool tool = SelectionTool::kNone;
  PointPair points;               // start and stop point of the tool
  std::optional<IntPair> range;   // bottom and top limit, slice indices
  std::optional<IntPair> levels;  // lower and upper level-slider positions
  bool invert = false;
  bool area = false;   // --2d
  bool model = false;  // --3d
  std::optional<std::string> cutPath;
  std::string palette = "original";
  int quality = 75;
  std::optional<std::string> exportPath;
  bool json = false;
  bool csv = false;                    // the JSON result flattened into a header line and one row
  std::optional<int> sweep;            // --sweep D: the analysis for the window shifted by -D .. +D
  bool meshSurfaces = false;           // --surface mesh
  bool hashContent = false;            // provenance also hashes the bytes of the range's files
  std::optional<SampleWindow> window;  // --window: 16-bit and float samples map through it
  int threads = 0;                     // --threads N: slices decoded at once; 0: one per usable processor
};

// Parses argv; on failure returns false with one line describing the problem in error, naming
// the option at fault. --help or --version anywhere asks for that alone, whatever else is given.
bool ParseAnalyzeOptions(int argc, const char* const* argv, AnalyzeOptions& options, std::string& error);

extern const char* const kAnalyzeUsage;  // the one-line synopsis that follows a usage error
extern const char* const kAnalyzeHelp;   // --help: the synopsis, every option, the exit status

}  // namespace orvel::cli
