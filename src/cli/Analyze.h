#pragma once
// orvel-analyze as a function: the tests call it without starting a process.
#include <ostream>

namespace orvel::cli {

// Runs the whole command line; returns the exit status (0 success, 1 dataset, slice or output
// failure or memory exhausted, 2 usage error).
int RunAnalyze(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace orvel::cli
