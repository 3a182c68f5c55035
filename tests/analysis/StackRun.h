#pragma once
// Running orvel-analyze and orvel-phantom in the test process, over slice series written to a
// temporary directory.
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cli/Analyze.h"
#include "cli/PhantomCommand.h"
#include "support/TestSupport.h"

namespace orvel::test {

struct RunResult {
  int status;
  std::string out;
  std::string err;  // the messages shown, then the driver's own lines
};

using Command = int (*)(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Runs the command (its entry point as the program's main calls it) with these arguments.
inline RunResult Run(Command command, const char* program, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), program);
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out, err;
  MessageCapture messages;  // the sink prints nothing during the test; the driver's own lines go to err
  const int status = command(static_cast<int>(argv.size()), argv.data(), out, err);
  std::string shown;
  for (const std::string& text : messages.Texts()) shown += text + "\n";
  return {status, out.str(), shown + err.str()};
}

inline RunResult Analyze(std::vector<std::string> arguments) {
  // Without a terminal: no progress line.
  const Command analyze = [](int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    return cli::RunAnalyze(argc, argv, out, err);
  };
  return Run(analyze, "orvel-analyze", std::move(arguments));
}

inline RunResult Phantom(std::vector<std::string> arguments) {
  return Run(cli::RunPhantom, "orvel-phantom", std::move(arguments));
}

// "ct" and the four-digit slice number.
inline std::string SliceName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "ct%04d.bmp", number);
  return name;
}

// The fixture of the tests that run orvel-analyze over a series of their own, in m_dir.
class StackRunTest : public ::testing::Test {
 protected:
  std::string Slice(int number) const { return m_dir.File(SliceName(number)); }

  TemporaryDirectory m_dir;
};

}  // namespace orvel::test
