// orvel-analyze --threads N: the model with its sweep and mesh surfaces, and the cut, come out
// byte for byte the same whatever the number of slices decoded at once, on every format, and a
// damaged slice in the middle ends every run at that slice with its message shown once.
#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/StackRun.h"
#include "cli/Phantom.h"

namespace orvel {
namespace {

using test::Analyze;
using test::RunResult;

struct Outcome {
  RunResult model, cut;
  std::vector<unsigned char> cutFile;
};

Outcome RunWithThreads(const test::TemporaryDirectory& dir, const std::string& format, int threads) {
  const std::string first = dir.File("phantom0000." + format), cut = dir.File("cut.bmp");
  std::filesystem::remove(cut);
  const std::string n = std::to_string(threads);
  Outcome outcome;
  outcome.model = Analyze({first, "--threads", n, "--ellipse", "8,6,90,70", "--levels", "100,300", "--3d", "--surface",
                           "mesh", "--sweep", "3", "--json"});
  outcome.cut = Analyze({first, "--threads", n, "--line", "3,5,90,60", "--cut", cut, "--json"});
  if (std::filesystem::exists(cut)) outcome.cutFile = test::ReadFileBytes(cut);
  return outcome;
}

void ExpectSameOutcome(const Outcome& a, const Outcome& b) {
  EXPECT_EQ(a.model.status, b.model.status);
  EXPECT_EQ(a.model.out, b.model.out);
  EXPECT_EQ(a.model.err, b.model.err);
  EXPECT_EQ(a.cut.status, b.cut.status);
  EXPECT_EQ(a.cut.out, b.cut.out);
  EXPECT_EQ(a.cut.err, b.cut.err);
  EXPECT_EQ(a.cutFile, b.cutFile);
}

TEST(ThreadsTest, ResultsAndFailuresAreTheSameWithAnyNumberOfDecodingThreads) {
  for (const std::string format : {"bmp", "jpg", "tif"}) {
    SCOPED_TRACE(format);
    test::TemporaryDirectory dir;
    cli::PhantomOptions phantom;
    phantom.outputDirectory = dir.Path();
    phantom.format = format;
    phantom.slices = 30;
    phantom.width = phantom.height = 96;
    std::string error;
    ASSERT_TRUE(cli::WritePhantom(phantom, error)) << error;
    const Outcome alone = RunWithThreads(dir, format, 1);
    ASSERT_EQ(alone.model.status, 0) << alone.model.err;
    ASSERT_FALSE(alone.cutFile.empty());
    for (int threads : {2, 7}) ExpectSameOutcome(alone, RunWithThreads(dir, format, threads));

    std::filesystem::resize_file(dir.File("phantom0013." + format), 30);  // its header cut short
    const Outcome damaged = RunWithThreads(dir, format, 1);
    ASSERT_EQ(damaged.model.status, 1);
    const std::string named = "orvel-analyze: cannot read slice " + dir.File("phantom0013." + format) + "\n";
    EXPECT_TRUE(damaged.model.err.ends_with(named)) << damaged.model.err;
    if (format != "jpg") {
      const std::string message = format == "bmp" ? "Invalid bitmap file\n" : "Invalid tiff file\n";
      EXPECT_EQ(damaged.model.err, message + named);
    }
    for (int threads : {2, 7}) ExpectSameOutcome(damaged, RunWithThreads(dir, format, threads));
  }
}

}  // namespace
}  // namespace orvel
