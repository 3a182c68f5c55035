#include "cli/AnalyzeOptions.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "app/ImageLoader.h"

namespace orvel::cli {

const char* const kAnalyzeUsage =
    "usage: orvel-analyze FILE [--info] [--slice I] [--line|--rectangle|--ellipse X0,Y0,X1,Y1] "
    "[--range FIRST,LAST] [--levels P1,P2] [--invert] [--2d] [--3d] [--cut OUT] "
    "[--palette original|greyscale|colour1|colour2|binary] [--quality Q] [--export OUT] [--json] "
    "[--csv] [--hash-content] [--sweep D] [--surface mesh] [--window LOW,HIGH] [--threads N] [--help] "
    "[--version]";

const char* const kAnalyzeHelp =
    "usage: orvel-analyze FILE [options]\n"
    "Opens the dataset that FILE (any slice of the series, or its preview) belongs to and prints\n"
    "what the viewer's results box shows for the same selection.\n"
    "\n"
    "  --info                   the dataset and the current slice\n"
    "  --slice I                current slice, 0 .. count-1 in title order (default 0)\n"
    "  --line X0,Y0,X1,Y1       measuring line; image pixels, y down from the top, X 0..width-1,\n"
    "                           Y 0..height-1\n"
    "  --rectangle X0,Y0,X1,Y1  rectangle given by two opposite corners, X 0..width, Y 0..height;\n"
    "                           the far corner is excluded: 0,0,512,512 is a whole 512 x 512 slice\n"
    "  --ellipse X0,Y0,X1,Y1    ellipse inside the box given by two opposite corners, as above\n"
    "  --range FIRST,LAST       slices of the 3D length, the 3D model and the cut (default all)\n"
    "  --levels P1,P2           level-slider positions, P1 0..255 and P2 1..510; the binary\n"
    "                           threshold window is min(P1, P2/2) .. max(P1, P2/2)\n"
    "  --invert                 select the values outside the window instead\n"
    "  --2d                     area analysis of the rectangle or ellipse on the current slice\n"
    "  --3d                     3D model of the rectangle or ellipse over the range\n"
    "  --cut OUT                re-slice the range along the line and write OUT (.bmp or .jpg)\n"
    "  --palette NAME           colours of the cut: original, greyscale, colour1, colour2, binary\n"
    "  --quality Q              JPEG quality 0..100 of .jpg outputs (default 75)\n"
    "  --export OUT             write the current slice as read (.bmp or .jpg)\n"
    "  --json                   one JSON object on one line instead of text; its member\n"
    "                           'provenance' names the program, the files and the settings\n"
    "  --csv                    the JSON result as a header line and one row, a column per\n"
    "                           value named by its path (model.volume); the results text is left\n"
    "                           out\n"
    "  --hash-content           with --json or --csv: the provenance also holds the SHA-256 of\n"
    "                           the bytes of the range's files\n"
    "  --sweep D                with --2d or --3d: the analysis again for the threshold window\n"
    "                           shifted by -D .. +D grey levels (D 0..255)\n"
    "  --surface mesh           with --3d: the marching-cubes and the weighted-configuration\n"
    "                           surfaces beside the per-voxel surface rule\n"
    "  --window LOW,HIGH        16-bit and float samples map to 8 bits through this window\n"
    "                           (0 at LOW and below, 255 at HIGH and above) instead of the\n"
    "                           automatic one, the 0.5 and 99.5 percentiles of the first\n"
    "                           deep slice\n"
    "  --threads N              slices decoded at once by --3d and --cut, 1..256, sharing the\n"
    "                           processors with the sweep (default: the processors this process\n"
    "                           may use)\n"
    "  --help                   show this text\n"
    "  --version                show the version\n"
    "\n"
    "Runs with the same options give the same CSV columns; to gather them in one table, append\n"
    "each later row without its header line:\n"
    "  orvel-analyze A/scan0000.bmp --rectangle 0,0,512,512 --3d --csv > table.csv\n"
    "  orvel-analyze B/scan0000.bmp --rectangle 0,0,512,512 --3d --csv | tail -n +2 >> table.csv\n"
    "\n"
    "While --3d or --cut runs longer than a second and standard error is a terminal, one updating\n"
    "line there shows the layer, the rate and the time left.\n"
    "\n"
    "Exit status: 0 success; 1 the dataset, a slice or an output could not be read or written\n"
    "(the reason on standard error); 2 usage error.\n";

namespace {

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool ParseIntList(const std::string& text, std::vector<int>& values, std::size_t count) {
  values.clear();
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    int value = 0;
    if (!ParseInt(text.substr(start, comma - start), value)) return false;
    values.push_back(value);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return values.size() == count;
}

// Two numbers LOW,HIGH with LOW below HIGH.
bool ParseWindow(const std::string& text, SampleWindow& window) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  const std::string low = text.substr(0, comma), high = text.substr(comma + 1);
  const auto parse = [](const std::string& part, double& value) {
    const char* end = part.data() + part.size();
    auto [ptr, ec] = std::from_chars(part.data(), end, value);
    return !part.empty() && ec == std::errc() && ptr == end && std::isfinite(value);
  };
  return parse(low, window.low) && parse(high, window.high) && window.low < window.high;
}

bool IsPaletteName(const std::string& name) {
  return name == "original" || name == "greyscale" || name == "colour1" || name == "colour2" || name == "binary";
}

struct Parser {
  int argc;
  const char* const* argv;
  int index = 1;
  std::string& error;

  bool Value(const std::string& option, std::string& value) {
    if (index + 1 >= argc) {
      error = option + " needs a value";
      return false;
    }
    value = argv[++index];
    return true;
  }

  bool Ints(const std::string& option, std::size_t count, std::vector<int>& values) {
    std::string text;
    if (!Value(option, text)) return false;
    if (ParseIntList(text, values, count)) return true;
    error = option + " takes " + std::to_string(count) + " comma-separated integers, not '" + text + "'";
    return false;
  }
};

bool ParseTool(Parser& parser, const std::string& option, SelectionTool tool, AnalyzeOptions& options) {
  std::vector<int> v;
  if (!parser.Ints(option, 4, v)) return false;
  if (options.tool != SelectionTool::kNone) {
    parser.error = "only one of --line, --rectangle and --ellipse may be given";
    return false;
  }
  options.tool = tool;
  options.points = {v[0], v[1], v[2], v[3]};
  return true;
}

// The options that help a reviewer judge a result: what produced it, how it moves with the
// threshold, other surface estimates, a table row. Empty when option is none of them.
std::optional<bool> ParseReviewOption(Parser& p, const std::string& option, AnalyzeOptions& o) {
  std::vector<int> v;
  std::string text;
  if (option == "--csv") {
    o.csv = true;
  } else if (option == "--hash-content") {
    o.hashContent = true;
  } else if (option == "--sweep") {
    if (!p.Ints(option, 1, v)) return false;
    o.sweep = v[0];
  } else if (option == "--window") {
    SampleWindow window;
    if (!p.Value(option, text)) return false;
    if (!ParseWindow(text, window)) {
      p.error = "--window takes two numbers LOW,HIGH with LOW below HIGH, not '" + text + "'";
      return false;
    }
    o.window = window;
  } else if (option == "--surface") {
    if (!p.Value(option, text)) return false;
    if (text != "mesh") {
      p.error = "--surface takes 'mesh', not '" + text + "'";
      return false;
    }
    o.meshSurfaces = true;
  } else {
    return std::nullopt;
  }
  return true;
}

bool ParseOption(Parser& p, const std::string& option, AnalyzeOptions& o) {
  std::vector<int> v;
  std::string text;
  if (option == "--info") o.info = true;
  else if (option == "--json") o.json = true;
  else if (option == "--invert") o.invert = true;
  else if (option == "--2d") o.area = true;
  else if (option == "--3d") o.model = true;
  else if (option == "--line") return ParseTool(p, option, SelectionTool::kLine, o);
  else if (option == "--rectangle") return ParseTool(p, option, SelectionTool::kRectangle, o);
  else if (option == "--ellipse") return ParseTool(p, option, SelectionTool::kEllipse, o);
  else if (option == "--slice") {
    if (!p.Ints(option, 1, v)) return false;
    o.slice = v[0];
  } else if (option == "--range") {
    if (!p.Ints(option, 2, v)) return false;
    o.range = IntPair{v[0], v[1]};
  } else if (option == "--levels") {
    if (!p.Ints(option, 2, v)) return false;
    o.levels = IntPair{v[0], v[1]};
  } else if (option == "--quality") {
    if (!p.Ints(option, 1, v)) return false;
    o.quality = v[0];
  } else if (option == "--cut") {
    if (!p.Value(option, text)) return false;
    o.cutPath = text;
  } else if (option == "--export") {
    if (!p.Value(option, text)) return false;
    o.exportPath = text;
  } else if (option == "--palette") {
    if (!p.Value(option, text)) return false;
    if (!IsPaletteName(text)) {
      p.error = "unknown palette '" + text + "'";
      return false;
    }
    o.palette = text;
  } else if (option == "--threads") {
    if (!p.Ints(option, 1, v)) return false;
    if (v[0] < 1 || v[0] > 256) {
      p.error = "--threads takes a value from 1 to 256";
      return false;
    }
    o.threads = v[0];
  } else if (const std::optional<bool> parsed = ParseReviewOption(p, option, o)) {
    return *parsed;
  } else {
    p.error = "unknown option '" + option + "'";
    return false;
  }
  return true;
}

bool IsImageOutput(const std::string& path) {
  const int type = ImageTypeFromExtension(path);
  return type == kBmpImage || type == kJpegImage;
}

// The ranges of the two level sliders.
bool LevelsOnTheSliders(IntPair levels) {
  return levels.first >= 0 && levels.first <= 255 && levels.second >= 1 && levels.second <= 510;
}

bool CheckCombination(const AnalyzeOptions& o, std::string& error) {
  const bool figure = o.tool == SelectionTool::kRectangle || o.tool == SelectionTool::kEllipse;
  if (o.area && !figure) error = "--2d needs --rectangle or --ellipse";
  else if (o.model && !figure) error = "--3d needs --rectangle or --ellipse";
  else if (o.cutPath && o.tool != SelectionTool::kLine) error = "--cut needs --line";
  else if (o.quality < 0 || o.quality > 100) error = "--quality takes a value from 0 to 100";
  else if (o.levels && !LevelsOnTheSliders(*o.levels)) error = "--levels takes P1 from 0 to 255 and P2 from 1 to 510";
  else if (o.json && o.csv) error = "--json and --csv exclude each other";
  else if (o.hashContent && !o.json && !o.csv) error = "--hash-content needs --json or --csv";
  else if (o.sweep && !o.area && !o.model) error = "--sweep needs --2d or --3d";
  else if (o.sweep && (*o.sweep < 0 || *o.sweep > 255)) error = "--sweep takes a value from 0 to 255";
  else if (o.meshSurfaces && !o.model) error = "--surface mesh needs --3d";
  else if (o.cutPath && !IsImageOutput(*o.cutPath)) error = "--cut OUT must end in .bmp or .jpg";
  else if (o.exportPath && !IsImageOutput(*o.exportPath)) error = "--export OUT must end in .bmp or .jpg";
  return error.empty();
}

// --help before --version when both are given, as most programs do.
AnalyzeRequest RequestOf(int argc, const char* const* argv) {
  AnalyzeRequest request = AnalyzeRequest::kRun;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help") return AnalyzeRequest::kHelp;
    if (argument == "--version") request = AnalyzeRequest::kVersion;
  }
  return request;
}

}  // namespace

bool ParseAnalyzeOptions(int argc, const char* const* argv, AnalyzeOptions& options, std::string& error) {
  options = AnalyzeOptions();
  error.clear();
  options.request = RequestOf(argc, argv);
  if (options.request != AnalyzeRequest::kRun) return true;
  Parser parser{argc, argv, 1, error};
  for (; parser.index < argc; ++parser.index) {
    const std::string argument = argv[parser.index];
    if (argument.size() > 1 && argument[0] == '-') {
      if (!ParseOption(parser, argument, options)) return false;
    } else if (options.file.empty()) {
      options.file = argument;
    } else {
      error = "more than one FILE given: '" + options.file + "' and '" + argument + "'";
      return false;
    }
  }
  if (options.file.empty()) {
    error = "no FILE given";
    return false;
  }
  return CheckCombination(options, error);
}

}  // namespace orvel::cli
