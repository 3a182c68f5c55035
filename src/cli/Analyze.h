#pragma once
// orvel-analyze as a function: the tests call it without starting a process.
#include <ostream>

namespace orvel::cli {

// Runs the whole command line; returns the exit status (0 success, 1 dataset, slice or output
// failure or memory exhausted, 2 usage error). errIsTerminal: err is a terminal, where long runs
// may show their progress.
int RunAnalyze(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal = false);

}  // namespace orvel::cli
