#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace orvel {
namespace {

using platform::IniFile;
using test::TemporaryDirectory;

class LinePointsTest : public ::testing::Test {
 protected:
  LinePoints Read(const std::string& text, int width, int height) {
    test::WriteFile(m_dir.File("orvel.ini"), text);
    return ReadLinePoints(IniFile(m_dir.File("orvel.ini")), width, height);
  }
  TemporaryDirectory m_dir;
};

TEST_F(LinePointsTest, DefaultsRunAcrossTheMiddleWithTheStopTwoRowsLower) {
  const LinePoints points = Read("", 100, 60);
  EXPECT_EQ(points.start, (PixelPoint{5, 30}));
  EXPECT_EQ(points.stop, (PixelPoint{95, 32}));
}

TEST_F(LinePointsTest, StoredValuesAreCorrectedAgainstTheFirstSlice) {
  // start x beyond width - 5 -> 5; stop x beyond -> width - 5; start y beyond height / 2 -> height / 2;
  // stop y of height - 5 is kept.
  const LinePoints points = Read("[Startpoint]\nx=96\ny=31\n[Stoppoint]\nx=96\ny=55\n", 100, 60);
  EXPECT_EQ(points.start, (PixelPoint{5, 30}));
  EXPECT_EQ(points.stop, (PixelPoint{95, 55}));
  EXPECT_EQ(Read("[Stoppoint]\ny=56\n", 100, 60).stop.y, 30 + 2);  // beyond height - 5 -> height / 2, then apart
}

TEST_F(LinePointsTest, CoincidingPointsMoveApartAndNegativeValuesTakeDefaults) {
  const LinePoints points = Read("[Startpoint]\nx=20\ny=10\n[Stoppoint]\nx=20\ny=10\n", 100, 60);
  EXPECT_EQ(points.stop, (PixelPoint{22, 12}));
  const LinePoints negative = Read("[Startpoint]\nx=-4\ny=-1\n", 100, 60);
  EXPECT_EQ(negative.start, (PixelPoint{5, 30}));
}

TEST_F(LinePointsTest, WrittenPointsReadBack) {
  IniFile ini(m_dir.File("orvel.ini"));
  WriteLinePoints(ini, {{11, 12}, {40, 20}});
  const LinePoints points = ReadLinePoints(ini, 100, 60);
  EXPECT_EQ(points.start, (PixelPoint{11, 12}));
  EXPECT_EQ(points.stop, (PixelPoint{40, 20}));
}

TEST(JpegQualityTest, OutOfRangeQualitiesShowAsTheDefault) {
  TemporaryDirectory dir;
  IniFile ini(dir.File("orvel.ini"));
  EXPECT_EQ(ReadJpegQuality(ini), 75);
  for (const auto& [stored, shown] : {std::pair{24, 75}, {25, 25}, {100, 100}, {101, 75}, {-5, 75}}) {
    WriteJpegQuality(ini, stored);
    EXPECT_EQ(ReadJpegQuality(ini), shown) << stored;
  }
}

TEST(SettingsPathTest, FollowsTheConfigurationDirectory) {
  const test::ScopedEnvironment home("HOME", "/home/someone");
  {
    const test::ScopedEnvironment config("XDG_CONFIG_HOME", "/tmp/orvel-config");
    EXPECT_EQ(SettingsFilePath(), "/tmp/orvel-config/orvel.ini");
  }
  const test::ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/orvel.ini");
}

TEST(SettingsPathTest, FirstWriteOnAFreshAccountCreatesTheConfigurationFolder) {
  TemporaryDirectory home;
  const test::ScopedEnvironment homeVariable("HOME", home.Path().c_str());
  const test::ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
  IniFile settings(SettingsFilePath());
  WriteJpegQuality(settings, 90);
  WriteLinePoints(settings, {{11, 12}, {40, 20}});
  EXPECT_EQ(ReadJpegQuality(settings), 90);
  EXPECT_EQ(ReadLinePoints(settings, 100, 60).stop, (PixelPoint{40, 20}));
  const auto folder = std::filesystem::status(home.File(".config"));
  EXPECT_EQ(folder.permissions(), std::filesystem::perms::owner_all);  // private, as a configuration folder is
}

}  // namespace
}  // namespace orvel
