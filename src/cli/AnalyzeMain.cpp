#include <unistd.h>

#include <iostream>

#include "cli/Analyze.h"
#include "platform/Messages.h"

int main(int argc, char** argv) {
  orvel::platform::SetApplicationTitle("orvel-analyze");
  return orvel::cli::RunAnalyze(argc, argv, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
