// The provenance of --json results and the --csv row: the digests against sha256sum, the
// settings as given, and a digest that follows the files it covers.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <algorithm>
#include <map>

#include "analysis/StackRun.h"
#include "cli/Csv.h"
#include "image/BmpFile.h"
#include "support/SliceBuilder.h"

namespace orvel {
namespace {

using test::Analyze;
using test::RunResult;
using test::SliceName;
using test::TemporaryDirectory;

// Output of a shell command line.
std::string Shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
  pclose(pipe);
  return out;
}

std::map<std::string, std::string> Members(const std::string& json) {
  std::map<std::string, std::string> members;
  for (auto& [name, value] : cli::FlattenJson(json)) members[name] = value;
  return members;
}

// Five slices of different content (and so different files), numbered 0, 3, 6, ...
void WriteSeries(const TemporaryDirectory& dir) {
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(SaveBmpFile(test::RandomSlice(9 + i, 7, 40 + i), dir.File(SliceName(3 * i))));
}

using ProvenanceTest = test::StackRunTest;

TEST_F(ProvenanceTest, ContentDigestIsSha256sumOfTheRangesFilesOneAfterTheOther) {
  WriteSeries(m_dir);
  const RunResult result = Analyze({Slice(0), "--range", "3,1", "--json", "--hash-content"});
  ASSERT_EQ(result.status, 0) << result.err;
  auto members = Members(result.out);
  const std::string files = Slice(3) + " " + Slice(6) + " " + Slice(9);
  EXPECT_EQ(members["provenance.contentSha256"], Shell("cat " + files + " | sha256sum").substr(0, 64));

  // The list digest covers the same three files' names, sizes and modification times.
  std::string records;
  for (const int number : {3, 6, 9}) {
    struct stat status {};
    ASSERT_EQ(stat(Slice(number).c_str(), &status), 0);
    char line[128];
    std::snprintf(line, sizeof line, "%s\t%lld\t%lld.%09ld\n", SliceName(number).c_str(),
                  static_cast<long long>(status.st_size), static_cast<long long>(status.st_mtim.tv_sec),
                  static_cast<long>(status.st_mtim.tv_nsec));
    records += line;
  }
  test::WriteFile(m_dir.File("records"), records);
  EXPECT_EQ(members["provenance.fileListSha256"], Shell("sha256sum < " + m_dir.File("records")).substr(0, 64));
  EXPECT_EQ(members["provenance.firstFile"], SliceName(3));
  EXPECT_EQ(members["provenance.lastFile"], SliceName(9));
  EXPECT_EQ(members["provenance.sliceCount"], "3");
  EXPECT_EQ(members["provenance.datasetSliceCount"], "5");
  EXPECT_EQ(members["provenance.sliceSpacing"], "3");
  EXPECT_EQ(members["provenance.datasetFolder"], m_dir.Path());
}

TEST_F(ProvenanceTest, HoldsTheSettingsThatShapeTheFigures) {
  WriteSeries(m_dir);
  const RunResult result =
      Analyze({Slice(6), "--ellipse", "8,6,1,0", "--2d", "--levels", "50,400", "--invert", "--slice", "2", "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  auto members = Members(result.out);
  EXPECT_EQ(members["provenance.program"], "orvel-analyze");
  EXPECT_EQ(members["provenance.levels.0"], "50");
  EXPECT_EQ(members["provenance.levels.1"], "400");
  EXPECT_EQ(members["provenance.thresholdLow"], "50");
  EXPECT_EQ(members["provenance.thresholdHigh"], "200");
  EXPECT_EQ(members["provenance.invert"], "true");
  EXPECT_EQ(members["provenance.selection"], "ellipse");
  EXPECT_EQ(members["provenance.points.0"] + members["provenance.points.3"], "80");
  EXPECT_EQ(members["provenance.range.0"] + "," + members["provenance.range.1"], "0,4");
  EXPECT_EQ(members["provenance.slice"], "2");
  EXPECT_EQ(members["provenance.sliceFile"], SliceName(6));
  EXPECT_EQ(members.count("provenance.contentSha256"), 0u);  // only with --hash-content
  // The results before it stay as they were.
  EXPECT_EQ(result.out.rfind("{\"area\":{\"selected\":", 0), 0u) << result.out;
}

TEST_F(ProvenanceTest, ListDigestChangesWithAFilesTimeAndContentDigestWithItsBytes) {
  WriteSeries(m_dir);
  const std::vector<std::string> run = {Slice(0), "--json", "--hash-content"};
  auto before = Members(Analyze(run).out);
  auto again = Members(Analyze(run).out);
  EXPECT_EQ(before["provenance.fileListSha256"], again["provenance.fileListSha256"]);

  const std::string touched = Slice(12);
  struct timespec times[2] = {{1000000000, 5}, {1000000000, 5}};
  ASSERT_EQ(utimensat(AT_FDCWD, touched.c_str(), times, 0), 0);
  auto after = Members(Analyze(run).out);
  EXPECT_NE(before["provenance.fileListSha256"], after["provenance.fileListSha256"]);
  EXPECT_EQ(before["provenance.contentSha256"], after["provenance.contentSha256"]);

  ASSERT_TRUE(SaveBmpFile(test::RandomSlice(13, 7, 99), touched));  // same size, other pixels
  ASSERT_EQ(utimensat(AT_FDCWD, touched.c_str(), times, 0), 0);
  auto rewritten = Members(Analyze(run).out);
  EXPECT_EQ(after["provenance.fileListSha256"], rewritten["provenance.fileListSha256"]);
  EXPECT_NE(after["provenance.contentSha256"], rewritten["provenance.contentSha256"]);
}

TEST(CsvTest, FieldsAreQuotedOnlyWhenTheyMustBe) {
  EXPECT_EQ(cli::CsvField("plain value"), "plain value");
  EXPECT_EQ(cli::CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(cli::CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(cli::CsvField("two\nlines"), "\"two\nlines\"");
}

TEST(CsvTest, NestedMembersBecomePathsAndTextsStayOut) {
  const std::string json =
      "{\"a\":{\"b\":1.5,\"c\":[1,2],\"text\":\"x\\r\\ny\"},\"d\":\"q\\\"\\u0001,\",\"e\":[],\"f\":null}";
  EXPECT_EQ(cli::CsvFromJson(json), "a.b,a.c.0,a.c.1,d,f\n1.5,1,2,\"q\"\"\x01,\",null\n");
  EXPECT_THROW(cli::FlattenJson("[1]"), std::invalid_argument);
  EXPECT_THROW(cli::FlattenJson("{\"a\":1"), std::invalid_argument);
}

TEST(CsvTest, UsageErrorsOfTheReviewOptions) {
  TemporaryDirectory dir;
  WriteSeries(dir);
  const std::string file = dir.File(SliceName(0));
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{file, "--json", "--csv"},
                                                    {file, "--hash-content"},
                                                    {file, "--sweep", "2"},
                                                    {file, "--rectangle", "0,0,5,5", "--2d", "--sweep", "256"},
                                                    {file, "--rectangle", "0,0,5,5", "--2d", "--sweep", "-1"},
                                                    {file, "--rectangle", "0,0,5,5", "--2d", "--surface", "mesh"},
                                                    {file, "--rectangle", "0,0,5,5", "--3d", "--surface", "faces"}}) {
    const RunResult result = Analyze(arguments);
    EXPECT_EQ(result.status, 2) << arguments.back();
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
}

}  // namespace
}  // namespace orvel
