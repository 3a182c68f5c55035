// orvel-analyze as a separate process under a memory limit, on files made to overflow a counter or
// exhaust memory: every run must end with its status and a message, never with a crash or an
// abort. AddressSanitizer cannot start under a memory limit, so these run in the normal build only.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/BmpBuilder.h"
#include "support/TestSupport.h"

namespace orvel {
namespace {

using test::TemporaryDirectory;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// Far less than the gigabyte a slice may take, far more than reading a small slice needs.
constexpr int kMemoryLimitKiB = 256 * 1024;

struct ProcessResult {
  bool exited = false;  // false: ended by a signal (a crash or an abort)
  int status = -1;
  std::string output;  // standard output and standard error
};

ProcessResult RunAnalyzeUnderMemoryLimit(const std::vector<std::string>& arguments) {
  std::string command = "ulimit -v " + std::to_string(kMemoryLimitKiB) + "; exec '" ORVEL_BIN_DIR "/orvel-analyze'";
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  command += " 2>&1";
  ProcessResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, got);
  const int wait = pclose(pipe);
  result.exited = WIFEXITED(wait);
  result.status = result.exited ? WEXITSTATUS(wait) : -1;
  return result;
}

class HostileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (kAddressSanitizer) GTEST_SKIP() << "AddressSanitizer cannot start under a memory limit";
  }
  TemporaryDirectory m_dir;
};

TEST_F(HostileFileTest, RunLengthRowsWhoseRunsNeverEndReadWithoutACrash) {
  // One pixel, then runs of 255 pixels that carry the column well past 2^31: 16.8 MB of runs.
  test::BmpSpec layout;
  layout.width = layout.height = 1;
  layout.compression = 1;
  const std::size_t runs = (std::size_t{1} << 31) / 255 + 16;
  layout.pixels.reserve(2 * runs + 2);
  for (std::size_t i = 0; i < runs; ++i) layout.pixels.insert(layout.pixels.end(), {0xFF, 7});
  layout.pixels.insert(layout.pixels.end(), {0, 1});
  test::WriteFile(m_dir.File("runs0000.bmp"), test::BuildBmp(layout));
  const ProcessResult result = RunAnalyzeUnderMemoryLimit({m_dir.File("runs0000.bmp"), "--info"});
  ASSERT_TRUE(result.exited) << result.output;
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("size: 1 x 1, 8 bits per pixel"), std::string::npos) << result.output;
}

}  // namespace
}  // namespace orvel
