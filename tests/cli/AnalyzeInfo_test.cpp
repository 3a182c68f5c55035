#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "analysis/StackRun.h"
#include "image/BmpFile.h"
#include "image/SliceImage.h"
#include "support/TestSupport.h"
#include "support/TiffBuilder.h"

namespace orvel {
namespace {

using test::Analyze;
using test::RunResult;
using test::TemporaryDirectory;

void WriteBmpSeries(const TemporaryDirectory& dir, int bits, const std::vector<int>& numbers) {
  for (int number : numbers) {
    SliceImage image;
    image.Create(12, 8, bits, false);
    image.SetXPelsPerMeter(50000);
    ASSERT_TRUE(SaveBmpFile(image, dir.File(test::SliceName(number))));
  }
}

using AnalyzeInfoTest = test::StackRunTest;

TEST_F(AnalyzeInfoTest, BmpDatasetsOfEveryDepthFromAnyMember) {
  for (const auto& [bits, colours] : {std::pair{1, 2}, {4, 16}, {8, 256}, {24, 0}}) {
    TemporaryDirectory dir;
    WriteBmpSeries(dir, bits, {3, 1, 5});
    test::WriteFile(dir.File("ct_SPR.bmp"), std::string("not read by --info"));
    const RunResult result = Analyze({dir.File("ct0005.bmp"), "--info", "--json", "--slice", "2"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string& json = result.out;
    EXPECT_NE(json.find("\"count\":3"), std::string::npos) << json;
    EXPECT_NE(json.find("\"titles\":[\"ct0001\",\"ct0003\",\"ct0005\"]"), std::string::npos) << json;
    EXPECT_NE(json.find("\"numbers\":[1,3,5]"), std::string::npos);
    EXPECT_NE(json.find("\"preview\":\"" + dir.File("ct_SPR.bmp") + "\",\"previewKind\":1"), std::string::npos);
    EXPECT_NE(json.find("\"index\":2,\"path\":\"" + dir.File("ct0005.bmp") + "\""), std::string::npos);
    EXPECT_NE(json.find("\"width\":12,\"height\":8,\"bitsPerPixel\":" + std::to_string(bits) +
                        ",\"colours\":" + std::to_string(colours) + ",\"xPelsPerMeter\":50000"),
              std::string::npos)
        << json;
    const int lower = colours / 2, upper = colours + colours / 2 - 1;
    EXPECT_NE(json.find("\"lowerLevel\":" + std::to_string(lower) + ",\"upperLevel\":" + std::to_string(upper)),
              std::string::npos)
        << json;
  }
}

TEST_F(AnalyzeInfoTest, TiffDatasetsEightSixteenBitAndPalette) {
  struct Case {
    int bits, photometric, mapColours;
  };
  for (const Case& c : {Case{8, 1, 0}, Case{16, 1, 0}, Case{8, 3, 256}}) {
    TemporaryDirectory dir;
    test::TiffLayout layout;
    layout.bits = c.bits;
    layout.photometric = c.photometric;
    layout.entries = c.photometric == 3 ? 14 : 13;
    layout.mapColours = c.mapColours;
    layout.pixels.assign(static_cast<std::size_t>(10 * (c.bits / 8)), 0x40);
    test::WriteFile(dir.File("t0000.tif"), test::BuildTiff(layout));
    test::WriteFile(dir.File("t0001.tif"), test::BuildTiff(layout));
    const RunResult result = Analyze({dir.File("t0001.tif"), "--info", "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\"width\":5,\"height\":2,\"bitsPerPixel\":8,\"colours\":256,"
                              "\"xPelsPerMeter\":3937,\"yPelsPerMeter\":3937,\"lowerLevel\":127,\"upperLevel\":383"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\"preview\":\"\",\"previewKind\":3"), std::string::npos) << result.out;
  }
}

TEST_F(AnalyzeInfoTest, BadFilesGiveTheirMessageAndStatusOne) {
  test::WriteFile(m_dir.File("bad0000.bmp"), std::string("BA and some more bytes"));
  test::WriteFile(m_dir.File("bad0000.tif"), std::string("MM\0*........................", 28));
  test::WriteFile(m_dir.File("only_SPR.bmp"), std::string("x"));
  struct Case {
    std::string file, message;
  };
  for (const Case& c : {Case{"bad0000.bmp", "Invalid bitmap file"}, Case{"bad0000.tif", "Invalid tiff file"},
                        Case{"only_SPR.bmp", "This file is not a Voxalon dataset file."},
                        Case{"none0000.bmp", "The file dropped is not a Voxalon dataset file."}}) {
    const RunResult result = Analyze({m_dir.File(c.file), "--info"});
    EXPECT_EQ(result.status, 1) << c.file;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty());
  }
}

TEST_F(AnalyzeInfoTest, UsageErrorsGiveStatusTwoAndOneLine) {
  WriteBmpSeries(m_dir, 8, {0, 1});
  const std::string file = m_dir.File("ct0000.bmp");
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{},
                                                    {file, "--bogus"},
                                                    {file, "--slice", "2"},
                                                    {file, "--slice", "x"},
                                                    {file, "--2d"},
                                                    {file, "--line", "1,2,3"},
                                                    {file, "--range", "0,5"},
                                                    {file, "--quality", "101"},
                                                    {file, "--export", "out.png"},
                                                    {file, "--line", "1,1,5,5", "--rectangle", "1,1,5,5"}}) {
    const RunResult result = Analyze(arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
}

using AnalyzeExportTest = test::StackRunTest;

TEST_F(AnalyzeExportTest, BmpExportIsTheSliceAsRead) {
  test::TiffLayout layout;
  layout.photometric = 3;
  layout.entries = 14;
  layout.mapColours = 256;
  layout.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  test::WriteFile(m_dir.File("p0000.tif"), test::BuildTiff(layout));
  const RunResult result = Analyze({m_dir.File("p0000.tif"), "--export", m_dir.File("out.BMP"), "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"export\":{\"path\":\"" + m_dir.File("out.BMP") + "\",\"width\":5,\"height\":2}"),
            std::string::npos);
  const test::Bytes bmp = test::ReadFileBytes(m_dir.File("out.BMP"));
  ASSERT_EQ(bmp.size(), 14u + 1064u + 16u);
  EXPECT_EQ(bmp[54 + 4 * 9 + 2], 9);  // red of entry 9: the file's colour map
  EXPECT_EQ(bmp[54 + 4 * 9 + 1], 0x80);
  EXPECT_EQ(bmp[1078 + 8], 1);  // top file row is storage row 1
}

TEST_F(AnalyzeExportTest, UnwritableOutputFailsWithStatusOneAndLeavesNothing) {
  WriteBmpSeries(m_dir, 8, {0});
  const RunResult result = Analyze({m_dir.File("ct0000.bmp"), "--export", m_dir.File("no-dir/out.bmp")});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("write error"), std::string::npos) << result.err;
}

TEST_F(AnalyzeExportTest, ARunThatFailsLaterLeavesNothingAtItsOutputs) {
  WriteBmpSeries(m_dir, 24, {0});  // the line needs an 8-bit slice: on slice 0 it fails after the export
  WriteBmpSeries(m_dir, 8, {1});
  const std::string slices = m_dir.File("ct0000.bmp");
  const std::string exported = m_dir.File("e.bmp"), cut = m_dir.File("c.jpg");
  auto fileNames = [this] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path()))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  };

  RunResult result = Analyze({slices, "--export", exported, "--line", "0,0,4,4"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(fileNames(), (std::vector<std::string>{"ct0000.bmp", "ct0001.bmp"}));

  test::WriteFile(exported, std::string("older"));  // an older file at an output is kept as it was
  result = Analyze({slices, "--export", exported, "--line", "0,0,4,4"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(test::ReadFileBytes(exported), (test::Bytes{'o', 'l', 'd', 'e', 'r'}));
  std::filesystem::remove(exported);

  // The export is written before the cut fails to be written.
  const std::string missingFolder = m_dir.File("no-dir/c.bmp");
  result = Analyze({slices, "--slice", "1", "--export", exported, "--line", "0,0,4,4", "--cut", missingFolder});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(fileNames(), (std::vector<std::string>{"ct0000.bmp", "ct0001.bmp"}));

  result = Analyze({slices, "--slice", "1", "--export", exported, "--line", "0,0,4,4", "--cut", cut});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(fileNames(), (std::vector<std::string>{"c.jpg", "ct0000.bmp", "ct0001.bmp", "e.bmp"}));
}

}  // namespace
}  // namespace orvel
