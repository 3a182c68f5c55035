#include "cli/PhantomCommand.h"

#include <charconv>
#include <cstdint>

#include "image/SliceImage.h"

namespace orvel::cli {

namespace {

const char* const kPhantomUsage =
    "usage: orvel-phantom OUTDIR [--format bmp|tif|jpg] [--slices N] [--size WxH] [--step S]";

const char* const kPhantomHelp =
    "usage: orvel-phantom OUTDIR [options]\n"
    "Writes a synthetic porous specimen as a dataset to try Orvel on: the slices\n"
    "OUTDIR/phantom0000.bmp, phantom0001.bmp, ... (8-bit grey, 10 micrometre pixels) and the\n"
    "side-view preview OUTDIR/phantom_SPR.bmp, or .tif or .jpg files with --format.\n"
    "OUTDIR is made when missing; files of the same names in it are replaced.\n"
    "\n"
    "  --format bmp|tif|jpg  file format of the slices and the preview (default bmp)\n"
    "  --slices N            number of slices, at least 1 (default 64)\n"
    "  --size WxH            slice width and height in pixels (default 256x256)\n"
    "  --step S              slice numbers 0, S, 2S, ... (default 1); at most 9999\n"
    "  --help                show this text\n"
    "  --version             show the version\n"
    "\n"
    "Exit status: 0 success; 1 a file could not be written; 2 usage error.\n";

bool ParseNumber(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  const std::size_t x = text.find('x');
  return x != std::string::npos && ParseNumber(text.substr(0, x), width) && ParseNumber(text.substr(x + 1), height) &&
         width > 0 && height > 0;
}

// Sets error to what option expects when value does not fit it.
bool ParseOption(const std::string& option, const std::string& value, PhantomOptions& o, std::string& error) {
  const std::string given = ", not '" + value + "'";
  if (option == "--format") {
    o.format = value;
    if (value != "bmp" && value != "tif" && value != "jpg") error = "--format takes bmp, tif or jpg" + given;
  } else if (option == "--slices") {
    if (!ParseNumber(value, o.slices) || o.slices < 1) error = "--slices takes a whole number of at least 1" + given;
  } else if (option == "--size") {
    if (!ParseSize(value, o.width, o.height)) error = "--size takes WIDTHxHEIGHT in pixels" + given;
  } else if (option == "--step") {
    if (!ParseNumber(value, o.step) || o.step < 1) error = "--step takes a whole number of at least 1" + given;
  } else {
    error = "unknown option '" + option + "'";
  }
  return error.empty();
}

// Bytes of an 8-bit image of this size, rows padded to 4 bytes.
std::uint64_t GreyImageBytes(int width, std::int64_t rows) {
  return (static_cast<std::uint64_t>(width) + 3) / 4 * 4 * static_cast<std::uint64_t>(rows);
}

bool CheckCombination(const PhantomOptions& o, std::string& error) {
  const std::int64_t lastNumber = (o.slices - 1) * static_cast<std::int64_t>(o.step);
  if (o.outputDirectory.empty()) error = "no OUTDIR given";
  else if (lastNumber > 9999) error = "--slices and --step would number slices past 9999";
  else if (GreyImageBytes(o.width, o.height) > kMaxImageBytes) error = "--size gives slices larger than 1 GiB";
  else if (GreyImageBytes(o.width, lastNumber + 1) > kMaxImageBytes)
    error = "--size and --slices give a preview larger than 1 GiB";
  return error.empty();
}

}  // namespace

bool ParsePhantomOptions(int argc, const char* const* argv, PhantomRequest& request, std::string& error) {
  request = PhantomRequest();
  error.clear();
  PhantomOptions& options = request.options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    request.help = request.help || argument == "--help";
    request.version = request.version || argument == "--version";
  }
  if (request.help || request.version) return true;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("--", 0) == 0) {
      if (i + 1 >= argc) {
        error = argument + " needs a value";
        return false;
      }
      if (!ParseOption(argument, argv[++i], options, error)) return false;
    } else if (options.outputDirectory.empty()) {
      options.outputDirectory = argument;
    } else {
      error = "more than one OUTDIR given: '" + options.outputDirectory + "' and '" + argument + "'";
      return false;
    }
  }
  return CheckCombination(options, error);
}

int RunPhantom(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  PhantomRequest request;
  std::string error;
  if (!ParsePhantomOptions(argc, argv, request, error)) {
    err << "orvel-phantom: " << error << "; " << kPhantomUsage << "\n";
    return 2;
  }
  if (request.help) {
    out << kPhantomHelp;
    return 0;
  }
  if (request.version) {
    out << "orvel-phantom " ORVEL_VERSION "\n";
    return 0;
  }
  if (!WritePhantom(request.options, error)) {
    err << "orvel-phantom: " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace orvel::cli
