// The private-profile file as the settings and the codec's machine-wide file use it.
#include "platform/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/File.h"
#include "support/TestSupport.h"

namespace orvel::platform {
namespace {

using test::TemporaryDirectory;
using test::UnprivilegedFileAccess;

std::string ReadText(const std::string& path) {
  const auto bytes = test::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
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

TEST(IniFileTest, WritingKeepsTheLineEndsOfTheFile) {
  TemporaryDirectory dir;
  for (const std::string lineEnd : {"\n", "\r\n"}) {
    const std::string path = dir.File("a.ini");
    test::WriteFile(path, "[Startpoint]" + lineEnd + "x=3" + lineEnd);
    IniFile ini(path);
    ASSERT_TRUE(ini.WriteString("Startpoint", "x", "4") && ini.WriteString("Startpoint", "y", "5") &&
                ini.WriteString("JPEG", "Quality", "90"));
    EXPECT_EQ(ReadText(path), "[Startpoint]" + lineEnd + "x=4" + lineEnd + "y=5" + lineEnd + "[JPEG]" + lineEnd +
                                  "Quality=90" + lineEnd);
  }
}

TEST(IniFileTest, AFailedWriteLeavesTheFileAsItWas) {
  TemporaryDirectory dir;
  IniFile ini(dir.File("no-such-dir/a.ini"));
  EXPECT_FALSE(ini.WriteString("A", "b", "1"));
}

TEST(IniFileWriteTest, AFileThatCannotBeReadIsNeverReplaced) {
  TemporaryDirectory dir;
  const std::string path = dir.File("orvel.ini");
  const std::string kept = "[Startpoint]\nx=12\ny=40\n";
  test::WriteFile(path, kept);
  chmod(dir.Path().c_str(), 0777);  // the folder stays writable: only the file is unreadable
  chmod(path.c_str(), 0200);
  {
    const UnprivilegedFileAccess access;
    std::string text;
    ASSERT_FALSE(ReadWholeFile(path, text, 1 << 20));
    IniFile ini(path);
    EXPECT_FALSE(ini.WriteString("JPEG", "Quality", "90"));
  }
  EXPECT_EQ(ReadText(path), kept);
  EXPECT_EQ(ModeOf(path), 0200u);
}

TEST(IniFileWriteTest, AWriteKeepsTheModeOfTheFile) {
  TemporaryDirectory dir;
  const std::string path = dir.File("orvel.ini");
  test::WriteFile(path, std::string("[JPEG]\nQuality=80\n"));
  chmod(path.c_str(), 0600);
  IniFile ini(path);
  ASSERT_TRUE(ini.WriteString("JPEG", "Quality", "90"));
  EXPECT_EQ(ModeOf(path), 0600u);
  EXPECT_EQ(ini.GetInt("JPEG", "Quality", 0), 90);
}

TEST(IniFileWriteTest, AWriteGoesThroughASymbolicLinkToItsTarget) {
  TemporaryDirectory dir;
  std::filesystem::create_directory(dir.File("dotfiles"));
  test::WriteFile(dir.File("dotfiles/orvel.ini"), std::string("[Startpoint]\nx=12\n"));
  std::filesystem::create_symlink("dotfiles/orvel.ini", dir.File("linked.ini"));
  std::filesystem::create_symlink("dotfiles/new.ini", dir.File("dangling.ini"));
  IniFile linked(dir.File("linked.ini")), dangling(dir.File("dangling.ini"));
  ASSERT_TRUE(linked.WriteString("Startpoint", "y", "40"));
  ASSERT_TRUE(dangling.WriteString("JPEG", "Quality", "90"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("linked.ini")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("dangling.ini")));
  EXPECT_EQ(ReadText(dir.File("dotfiles/orvel.ini")), "[Startpoint]\nx=12\ny=40\n");
  EXPECT_EQ(ReadText(dir.File("dotfiles/new.ini")), "[JPEG]\nQuality=90\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("dotfiles")), {}), 2);  // no temporary left
}

TEST(IniFileTest, ASettingsFileOfGigabytesReadsAsMissingAndIsNeverReplaced) {
  // No settings file is that large: one is damaged (or not ours), and reading it whole would take
  // the machine's memory. A sparse file takes no disk space.
  TemporaryDirectory dir;
  const std::string path = dir.File("orvel.ini");
  test::WriteFile(path, std::string("[Startpoint]\nx=12\n"));
  std::filesystem::resize_file(path, std::uint64_t{64} << 30);
  IniFile ini(path);
  EXPECT_FALSE(ini.GetString("Startpoint", "x"));
  EXPECT_EQ(ini.GetInt("Startpoint", "x", 5), 5);
  EXPECT_FALSE(ini.WriteString("Startpoint", "y", "40"));
  EXPECT_EQ(std::filesystem::file_size(path), std::uint64_t{64} << 30);
}

}  // namespace
}  // namespace orvel::platform
