#include <gtest/gtest.h>

#include "platform/DirectorySearch.h"
#include "platform/File.h"
#include "support/TestSupport.h"

namespace orvel::platform {
namespace {

using test::TemporaryDirectory;

TEST(WildcardTest, QuestionMarkIsOneCharacterAndCaseIsIgnored) {
  EXPECT_TRUE(WildcardMatch("scan????.bmp", "SCAN0001.BMP"));
  EXPECT_TRUE(WildcardMatch("scan????.bmp", "scan_SPR.bmp"));
  EXPECT_FALSE(WildcardMatch("scan????.bmp", "scan001.bmp"));
  EXPECT_FALSE(WildcardMatch("scan????.bmp", "scan00001.bmp"));
  EXPECT_TRUE(WildcardMatch("*.tif", "a.TIF"));
  EXPECT_TRUE(WildcardMatch("a*b*c", "aXXbYYc"));
  EXPECT_FALSE(WildcardMatch("a*b*c", "aXXbYY"));
}

TEST(DirectorySearchTest, FindsRegularFilesWithAbsolutePathsInNameOrder) {
  TemporaryDirectory dir;
  for (const char* name : {"b0002.bmp", "A0001.bmp", "c0003.bmp"}) test::WriteFile(dir.File(name), std::string("x"));
  std::filesystem::create_directory(dir.File("d0004.bmp"));
  const std::vector<SearchEntry> found = FindFiles(dir.Path() + "/?0*.BMP");
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].name, "A0001.bmp");
  EXPECT_EQ(found[2].absolutePath, dir.File("c0003.bmp"));
  EXPECT_TRUE(FindFiles(dir.Path() + "/missing/*.bmp").empty());
}

TEST(OutputFileTest, TheTargetChangesOnlyOnCommit) {
  TemporaryDirectory dir;
  const std::string path = dir.File("out.bin");
  test::WriteFile(path, std::string("old"));
  for (const bool commit : {false, true}) {
    OutputFile file;  // the first is abandoned by going out of scope
    ASSERT_TRUE(file.Create(path));
    file.Write("new data", 8);
    file.WriteAt(0, "N", 1);
    EXPECT_EQ(test::ReadFileBytes(path).size(), 3u) << "the old file, before a commit";
    if (commit) {
      ASSERT_TRUE(file.Commit());
    }
  }
  const auto bytes = test::ReadFileBytes(path);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "New data");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left
}

TEST(InputFileTest, ShortReadsAtTheEndAreNotErrors) {
  TemporaryDirectory dir;
  test::WriteFile(dir.File("in.bin"), std::string("abc"));
  InputFile file;
  ASSERT_TRUE(file.Open(dir.File("in.bin")));
  char buffer[8] = {};
  EXPECT_EQ(file.Read(buffer, 8), 3u);
  file.Seek(100);
  EXPECT_EQ(file.Read(buffer, 8), 0u);
  EXPECT_FALSE(InputFile().Open(dir.Path()));  // a directory is not a file
}

}  // namespace
}  // namespace orvel::platform
