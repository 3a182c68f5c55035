// orvel-analyze --cut end to end: the written file, its format by name, and failures that leave
// nothing at OUT.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "StackRun.h"
#include "analysis/ColourScheme.h"
#include "image/BmpFile.h"
#include "platform/File.h"
#include "support/SliceBuilder.h"
#include "support/TestSupport.h"

namespace orvel {
namespace {

using test::Analyze;
using test::RunResult;
using test::SliceName;
using test::TemporaryDirectory;

// Random slices numbered 10, 13, 16, ... (spacing 3), with a resolution.
std::vector<SliceImage> WriteSeries(const TemporaryDirectory& dir, int count) {
  std::vector<SliceImage> slices;
  for (int i = 0; i < count; ++i) {
    SliceImage slice = test::RandomSlice(64, 48, 900 + i);
    slice.SetXPelsPerMeter(40000);
    slice.SetYPelsPerMeter(40000);
    EXPECT_TRUE(SaveBmpFile(slice, dir.File(SliceName(10 + 3 * i))));
    slices.push_back(std::move(slice));
  }
  return slices;
}

SliceImage ReadBack(const std::string& path) {
  SliceImage image;
  platform::InputFile file(path);
  EXPECT_TRUE(image.ReadBmp(file)) << path;
  return image;
}

using CutSectionTest = test::StackRunTest;

TEST_F(CutSectionTest, WritesTheCutAsBmp) {
  const auto slices = WriteSeries(m_dir, 4);
  const std::string out = m_dir.File("cut.bmp");
  const RunResult result = Analyze({Slice(10), "--line", "5,20,45,20", "--range", "1,3", "--cut", out, "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"cut\":{\"path\":\"" + out + "\",\"width\":40,\"height\":7}"), std::string::npos)
      << result.out;
  const SliceImage cut = ReadBack(out);
  ASSERT_EQ(cut.GetWidth(), 40);
  ASSERT_EQ(cut.GetHeight(), 7);  // slices 1, 2, 3 with spacing 3: (3 - 1) 3 + 1 rows
  EXPECT_EQ(cut.GetXPelsPerMeter(), 40000);
  const int sliceOfRow[7] = {1, 1, 1, 2, 2, 2, 3};
  for (int r = 0; r < 7; ++r)
    for (int j = 0; j < 40; ++j)
      ASSERT_EQ(cut.GetPixel(j, r), test::ImagePixel(slices[sliceOfRow[r]], 5 + j, 20)) << r << ", " << j;
}

TEST_F(CutSectionTest, WritesTheCutAsJpegAtTheQualityAsked) {
  std::vector<SliceImage> slices;
  for (int i = 0; i < 3; ++i) {  // smooth ramps, which JPEG keeps close at high quality
    SliceImage slice = test::MakeSlice(64, 48);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) test::SetImagePixel(slice, x, y, static_cast<std::uint8_t>(2 * x + 20 * i));
    ASSERT_TRUE(SaveBmpFile(slice, Slice(10 + 3 * i)));
    slices.push_back(std::move(slice));
  }
  const std::string fine = m_dir.File("fine.JPG"), coarse = m_dir.File("coarse.jpg");
  for (const auto& [out, quality] : {std::pair{fine, "100"}, std::pair{coarse, "5"}}) {
    const RunResult result = Analyze({Slice(10), "--line", "2,10,62,10", "--cut", out, "--quality", quality});
    ASSERT_EQ(result.status, 0) << result.err;
  }
  SliceImage cut;
  ASSERT_TRUE(cut.ReadJpeg(fine));
  ASSERT_EQ(cut.GetWidth(), 60);
  ASSERT_EQ(cut.GetHeight(), 7);
  for (int r = 0; r < 7; ++r)
    for (int j = 0; j < 60; ++j)
      ASSERT_NEAR(cut.GetPixel(j, r), test::ImagePixel(slices[r / 3], 2 + j, 10), 3) << r << ", " << j;
  EXPECT_GT(std::filesystem::file_size(fine), std::filesystem::file_size(coarse));
}

TEST_F(CutSectionTest, PaletteGivesTheColoursTheViewerShows) {
  WriteSeries(m_dir, 2);
  const std::string out = m_dir.File("binary.BMP");  // the extension's case is ignored
  const RunResult result = Analyze(
      {Slice(10), "--line", "0,0,30,40", "--cut", out, "--palette", "binary", "--levels", "60,200", "--invert"});
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<std::uint8_t> expected(1024);
  ComputeColourTable(7, 256, 60, 200, 60, 100, nullptr, expected.data());
  const SliceImage cut = ReadBack(out);
  ASSERT_EQ(cut.GetColourCount(), 256);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), cut.GetColourTable()));
}

TEST_F(CutSectionTest, OneSliceDatasetGivesOneRow) {
  ASSERT_TRUE(SaveBmpFile(test::RandomSlice(20, 20, 3), Slice(4)));
  const std::string out = m_dir.File("one.bmp");
  const RunResult result = Analyze({Slice(4), "--line", "2,3,12,3", "--cut", out});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadBack(out).GetHeight(), 1);
}

TEST_F(CutSectionTest, FailuresLeaveNothingAtOut) {
  WriteSeries(m_dir, 3);
  const std::string out = m_dir.File("cut.bmp");

  RunResult result = Analyze({Slice(10), "--line", "5,5,5,5", "--cut", out});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("shorter than one pixel"), std::string::npos) << result.err;

  result = Analyze({Slice(10), "--line", "5,5,25,5", "--cut", m_dir.File("cut.png")});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find(".bmp or .jpg"), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("cut.png")));

  test::WriteFile(Slice(16), std::string("BM"));
  result = Analyze({Slice(10), "--line", "5,5,25,5", "--cut", out});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("cannot read slice " + Slice(16)), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  // An older file at OUT survives a failed cut.
  test::WriteFile(out, std::string("previous"));
  result = Analyze({Slice(10), "--line", "5,5,25,5", "--cut", out});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(test::ReadFileBytes(out), (std::vector<unsigned char>{'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) entries += entry.is_regular_file();
  EXPECT_EQ(entries, 4u);  // three slices and the old file: no temporary left behind
}

}  // namespace
}  // namespace orvel
