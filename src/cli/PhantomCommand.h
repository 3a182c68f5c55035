#pragma once
// orvel-phantom as a function: OUTDIR [--format bmp|tif|jpg] [--slices N] [--size WxH] [--step S].
#include <ostream>
#include <string>

#include "cli/Phantom.h"

namespace orvel::cli {

// Parses argv; on failure returns false with one line in error naming the option at fault.
// help or version is set when --help or --version was given, and nothing else is checked.
struct PhantomRequest {
  PhantomOptions options;
  bool help = false;
  bool version = false;
};
bool ParsePhantomOptions(int argc, const char* const* argv, PhantomRequest& request, std::string& error);

// Runs the whole command line; returns the exit status (0 success, 1 a file could not be
// written, 2 usage error).
int RunPhantom(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace orvel::cli
