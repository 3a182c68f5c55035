// The private-profile file as the settings and the codec's machine-wide file use it.
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace orvel::platform {
namespace {

using test::TemporaryDirectory;

std::string ReadText(const std::string& path) {
  const auto bytes = test::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(IniFileTest, ReadsLikeThePrivateProfileFunctions) {
  TemporaryDirectory dir;
  test::WriteFile(dir.File("a.ini"), std::string("; comment\n[Startpoint]\n X = 12abc\ny=-3\n[jpeg]\nQuality=\n"));
  const IniFile ini(dir.File("a.ini"));
  EXPECT_EQ(ini.GetInt("startpoint", "x", 5), 12);
  EXPECT_EQ(ini.GetInt("Startpoint", "y", 5), -3);
  EXPECT_EQ(ini.GetInt("JPEG", "Quality", 75), 0);  // present but without digits
  EXPECT_EQ(ini.FindInt("JPEG", "Quality"), std::nullopt);
  EXPECT_EQ(ini.FindInt("Startpoint", "x"), 12);
  EXPECT_EQ(ini.GetInt("Stoppoint", "x", 7), 7);
  EXPECT_EQ(IniFile(dir.File("missing.ini")).GetInt("Startpoint", "x", 9), 9);
}

TEST(IniFileTest, WritingKeepsEverythingElseOfTheFile) {
  TemporaryDirectory dir;
  const std::string path = dir.File("a.ini");
  test::WriteFile(path, std::string("; keep me\n[Other]\nk=1\n\n[Startpoint]\nx=3\n; inner\n[Last]\nz=2\n"));
  IniFile ini(path);
  ASSERT_TRUE(ini.WriteString("Startpoint", "x", "40"));
  ASSERT_TRUE(ini.WriteString("Startpoint", "y", "41"));
  ASSERT_TRUE(ini.WriteString("JPEG", "Quality", "90"));
  EXPECT_EQ(ReadText(path),
            "; keep me\n[Other]\nk=1\n\n[Startpoint]\nx=40\ny=41\n; inner\n[Last]\nz=2\n[JPEG]\nQuality=90\n");
}

TEST(IniFileTest, AFailedWriteLeavesTheFileAsItWas) {
  TemporaryDirectory dir;
  IniFile ini(dir.File("no-such-dir/a.ini"));
  EXPECT_FALSE(ini.WriteString("A", "b", "1"));
}

}  // namespace
}  // namespace orvel::platform
