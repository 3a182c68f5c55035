// orvel-analyze as a separate process under a memory limit, on files made to overflow a counter or
// exhaust memory: every run must end with its status and a message, never with a crash or an
// abort. AddressSanitizer cannot start under a memory limit, so these run in the normal build only.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/BmpBuilder.h"
#include "support/TestSupport.h"
#include "support/TiffBuilder.h"

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
  test::BmpLayout layout;
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

TEST_F(HostileFileTest, AnAllocationThatFailsEndsWithAMessageNotAnAbort) {
  // 900 MB of pixels, within what a slice may take, from a run-length file of a few bytes.
  test::BmpLayout vast;
  vast.width = vast.height = 30000;
  vast.compression = 1;
  vast.pixels = {0, 1};
  test::WriteFile(m_dir.File("vast0000.bmp"), test::BuildBmp(vast));
  // 4 MB of pixels, and a threshold sweep whose 511 models keep planes of the whole slice:
  // about 1 GB, within the sweep's own bound.
  test::BmpLayout wide = vast;
  wide.width = wide.height = 2000;
  test::WriteFile(m_dir.File("wide0000.bmp"), test::BuildBmp(wide));
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  for (const Case& c :
       {Case{{m_dir.File("vast0000.bmp"), "--info"}, "orvel-analyze: cannot read slice " + m_dir.File("vast0000.bmp")},
        Case{{m_dir.File("wide0000.bmp"), "--rectangle", "0,0,2000,2000", "--3d", "--sweep", "255"},
             "orvel-analyze: out of memory"}}) {
    const ProcessResult result = RunAnalyzeUnderMemoryLimit(c.arguments);
    ASSERT_TRUE(result.exited) << result.output;
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("terminate"), std::string::npos) << result.output;
  }
}

TEST_F(HostileFileTest, SixteenBitTiffsNeedingMoreThanTheBoundAreRefused) {
  struct Case {
    const char* name;
    std::uint32_t width, height;
    std::uint64_t fileBytes;  // 0: as built
  };
  // A slice of 768 MiB whose 16-bit row scratch takes another 512 MiB, in a sparse file that
  // really holds all its samples; and a file of a few hundred bytes that claims 2 GiB of samples.
  for (const Case& c : {Case{"scratch0000.tif", 1u << 28, 3, 16 + 6 * (std::uint64_t{1} << 28)},
                        Case{"tiny0000.tif", 1073741800, 1, 0}}) {
    test::TiffLayout layout;
    layout.bits = 16;
    layout.width = static_cast<int>(c.width);
    layout.height = static_cast<int>(c.height);
    const std::string path = m_dir.File(c.name);
    test::WriteFile(path, test::BuildTiff(layout));
    if (c.fileBytes) std::filesystem::resize_file(path, c.fileBytes);
    const ProcessResult result = RunAnalyzeUnderMemoryLimit({path, "--info"});
    ASSERT_TRUE(result.exited) << c.name << ": " << result.output;
    EXPECT_EQ(result.status, 1) << c.name;
    EXPECT_NE(result.output.find("Invalid tiff file"), std::string::npos) << c.name << ": " << result.output;
  }
}

}  // namespace
}  // namespace orvel
