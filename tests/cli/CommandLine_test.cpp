#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/StackRun.h"

namespace orvel {
namespace {

using test::Analyze;
using test::Phantom;
using test::RunResult;

// Each usage error is one line on standard error, status 2, nothing on standard output, and
// names the option (or argument) at fault before the synopsis.
void ExpectUsageError(const RunResult& result, const std::string& culprit, const std::string& program) {
  EXPECT_EQ(result.status, 2) << result.err;
  EXPECT_TRUE(result.out.empty());
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_EQ(result.err.rfind(program + ": ", 0), 0u) << result.err;
  const std::size_t synopsis = result.err.find("; usage:");
  ASSERT_NE(synopsis, std::string::npos) << result.err;
  EXPECT_NE(result.err.substr(0, synopsis).find(culprit), std::string::npos) << result.err;
}

struct UsageCase {
  std::vector<std::string> arguments;
  std::string culprit;
};

TEST(CommandLineTest, AnalyzeUsageErrorsNameTheOptionAtFault) {
  test::TemporaryDirectory dir;  // slices of 128 x 96, read only by the cases about the selection
  ASSERT_EQ(Phantom({dir.Path(), "--slices", "2", "--size", "128x96"}).status, 0);
  const std::string file = dir.File("phantom0000.bmp");
  for (const UsageCase& c : std::vector<UsageCase>{
           {{file, "--bogus"}, "'--bogus'"},
           {{file, "--slice"}, "--slice needs a value"},
           {{file, "--slice", "x"}, "--slice"},
           {{file, "--line", "1,2,3"}, "--line"},
           {{file, "--levels", "1,2,x"}, "--levels"},
           {{file, "--levels", "300,900"}, "--levels"},
           {{file, "--levels", "0,0"}, "--levels"},
           {{file, "--levels", "-1,510"}, "--levels"},
           {{file, "--rectangle", "0,0,200,200"}, "--rectangle"},
           {{file, "--ellipse", "0,-1,128,96"}, "--ellipse"},
           {{file, "--rectangle", "0,0,128,97", "--3d"}, "--rectangle"},
           {{file, "--line", "0,48,300,48"}, "--line"},
           {{file, "--line", "128,0,0,95"}, "--line"},
           {{file, "--line", "0,96,127,0", "--slice", "1"}, "--line"},
           {{file, "--palette", "rainbow"}, "'rainbow'"},
           {{file, "--quality", "101"}, "--quality"},
           {{file, "--cut", "out.png", "--line", "0,0,1,1"}, "--cut"},
           {{file, "--3d"}, "--3d"},
           {{file, "other0000.bmp"}, "'other0000.bmp'"},
           {{}, "FILE"},
       }) {
    SCOPED_TRACE(c.culprit);
    ExpectUsageError(Analyze(c.arguments), c.culprit, "orvel-analyze");
  }
  // The far corner of a figure is excluded, so it may lie on the width and the height.
  for (const char* figure : {"--rectangle", "--ellipse"})
    EXPECT_EQ(Analyze({file, figure, "0,0,128,96", "--2d", "--levels", "255,510"}).status, 0) << figure;
  EXPECT_EQ(Analyze({file, "--line", "0,95,127,0", "--levels", "0,1"}).status, 0);
}

TEST(CommandLineTest, PhantomUsageErrorsNameTheOptionAtFault) {
  for (const UsageCase& c : std::vector<UsageCase>{
           {{"out", "--format", "png"}, "--format"},
           {{"out", "--slices", "0"}, "--slices"},
           {{"out", "--slices"}, "--slices needs a value"},
           {{"out", "--size", "64"}, "--size"},
           {{"out", "--step", "-2"}, "--step"},
           {{"out", "--colour", "red"}, "'--colour'"},
           {{"out", "--slices", "5000", "--step", "3"}, "--step"},
           {{"out", "more"}, "'more'"},
           {{"--slices", "3"}, "OUTDIR"},
       }) {
    SCOPED_TRACE(c.culprit);
    ExpectUsageError(Phantom(c.arguments), c.culprit, "orvel-phantom");
  }
}

// Slices or a preview past the image bound were once allocated as nothing and then written to.
TEST(CommandLineTest, PhantomRefusesImagesLargerThanAnImageCanBe) {
  test::TemporaryDirectory dir;
  ExpectUsageError(Phantom({dir.Path(), "--size", "70000x70000", "--slices", "1"}), "--size", "orvel-phantom");
  ExpectUsageError(Phantom({dir.Path(), "--size", "200000x8", "--slices", "9000"}), "--slices", "orvel-phantom");
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(CommandLineTest, HelpListsEveryOptionOnStandardOutput) {
  const RunResult analyze = Analyze({"--help"});
  EXPECT_EQ(analyze.status, 0);
  EXPECT_TRUE(analyze.err.empty());
  for (const char* option :
       {"--info", "--slice", "--line", "--rectangle", "--ellipse", "--range", "--levels", "--invert", "--2d", "--3d",
        "--cut", "--palette", "--quality", "--export", "--json", "--help", "--version"})
    EXPECT_NE(analyze.out.find(std::string("  ") + option + " "), std::string::npos) << option;
  const RunResult phantom = Phantom({"--help"});
  EXPECT_EQ(phantom.status, 0);
  for (const char* option : {"--format", "--slices", "--size", "--step", "--help", "--version"})
    EXPECT_NE(phantom.out.find(std::string("  ") + option + " "), std::string::npos) << option;
}

// --help and --version answer alone, even beside arguments that would be usage errors.
TEST(CommandLineTest, HelpAndVersionWinOverEverythingElse) {
  const std::string version = std::string(" ") + ORVEL_VERSION + "\n";
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"--version"}, {"--bogus", "--version"}, {"a", "b", "--version", "--slice"}}) {
    const RunResult analyze = Analyze(arguments);
    EXPECT_EQ(analyze.status, 0);
    EXPECT_EQ(analyze.out, "orvel-analyze" + version);
    const RunResult phantom = Phantom(arguments);
    EXPECT_EQ(phantom.status, 0);
    EXPECT_EQ(phantom.out, "orvel-phantom" + version);
  }
  EXPECT_EQ(Analyze({"--version", "--help"}).out.rfind("usage: orvel-analyze FILE", 0), 0u);
}

}  // namespace
}  // namespace orvel
