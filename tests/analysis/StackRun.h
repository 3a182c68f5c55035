#pragma once
// Running orvel-analyze in the test process over slice series written to a temporary directory.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Analyze.h"
#include "support/TestSupport.h"

namespace orvel::test {

struct RunResult {
  int status;
  std::string out;
  std::string err;  // the messages shown, then the driver's own lines
};

inline RunResult Analyze(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "orvel-analyze");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out, err;
  MessageCapture messages;
  const int status = cli::RunAnalyze(static_cast<int>(argv.size()), argv.data(), out, err);
  std::string shown;
  for (const std::string& text : messages.Texts()) shown += text + "\n";
  return {status, out.str(), shown + err.str()};
}

// "ct" and the four-digit slice number.
inline std::string SliceName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "ct%04d.bmp", number);
  return name;
}

}  // namespace orvel::test
