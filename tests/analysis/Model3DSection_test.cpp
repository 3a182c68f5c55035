// orvel-analyze --3d end to end: BMP series on disk, slices read ahead on the worker thread.
#include <gtest/gtest.h>

#include <vector>

#include "StackRun.h"
#include "analysis/Model3D.h"
#include "cli/AnalyzeSections.h"
#include "image/BmpFile.h"
#include "support/SliceBuilder.h"
#include "support/TestSupport.h"

namespace orvel {
namespace {

using test::Analyze;
using test::RunResult;
using test::SliceName;
using test::TemporaryDirectory;

// Slices numbered 0, 2, 4, ... (spacing 2); slices 1 .. 3 hold a 6 x 6 square of 200 at x, y 4..9.
void WriteCubeSeries(const TemporaryDirectory& dir, int count) {
  for (int i = 0; i < count; ++i) {
    SliceImage slice = test::MakeSlice(16, 16, 20);
    if (i >= 1 && i <= 3)
      for (int y = 4; y < 10; ++y)
        for (int x = 4; x < 10; ++x) test::SetImagePixel(slice, x, y, 200);
    ASSERT_TRUE(SaveBmpFile(slice, dir.File(SliceName(2 * i))));
  }
}

using Model3DSectionTest = test::StackRunTest;

TEST_F(Model3DSectionTest, PrintsTheCompleteTextOfAFinishedRun) {
  WriteCubeSeries(m_dir, 5);
  // Levels 100 and 510: window 100 .. 255. The cube is 6 x 6 x (3 slices x 2 planes).
  const RunResult result = Analyze({Slice(0), "--rectangle", "2,2,14,14", "--3d", "--levels", "100,510"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "3D-model creation\n"
            "modelsize 1728 voxels\n"
            "3D-model analysis\n"
            "Total Volume :      216 cub.pixels\n"
            "Volume Fraction : 15.0 %\n"
            "Total Surface :      216 sq.pixels\n"
            "Surface/Volume:      1 pixels-1\n");
}

TEST_F(Model3DSectionTest, JsonHoldsTheCountsAndTheTextOfTheRange) {
  WriteCubeSeries(m_dir, 5);
  const RunResult result =
      Analyze({Slice(4), "--rectangle", "2,2,14,14", "--3d", "--levels", "100,510", "--range", "3,2", "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  // Slices 2 and 3: 4 planes, the end ones cleared, leave a 6 x 6 x 2 slab: 72 + 48 faces.
  EXPECT_NE(result.out.find("\"model\":{\"modelsize\":864,\"volume\":144,\"surface\":120,\"text\":"
                            "\"3D-model creation\\r\\nmodelsize 864 voxels\\r\\n3D-model analysis\\r\\n"),
            std::string::npos)
      << result.out;
}

TEST_F(Model3DSectionTest, ReadAheadGivesTheResultsOfReadingSliceBySlice) {
  std::vector<SliceImage> slices;
  for (int i = 0; i < 9; ++i) {
    slices.push_back(test::RandomSlice(40, 30, 50 + i));
    ASSERT_TRUE(SaveBmpFile(slices.back(), Slice(i)));
  }
  analysis::ModelSettings settings;
  settings.box = {3, 2, 37, 29};
  settings.shape = analysis::AreaShape::kEllipse;
  settings.window = analysis::ThresholdWindow(90, 400);
  settings.layers = 9;
  analysis::ModelBuilder builder(settings);
  for (const SliceImage& slice : slices) builder.AddSlice(slice);
  const analysis::ModelResult expected = builder.Finish();

  const RunResult result = Analyze({Slice(0), "--ellipse", "37,29,3,2", "--3d", "--levels", "90,400", "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"volume\":" + std::to_string(expected.volume) +
                            ",\"surface\":" + std::to_string(expected.surface)),
            std::string::npos)
      << result.out;
}

TEST_F(Model3DSectionTest, OneSliceDatasetHasSpacingOne) {
  ASSERT_TRUE(SaveBmpFile(test::MakeSlice(10, 10, 200), Slice(7)));
  const RunResult result = Analyze({Slice(7), "--rectangle", "0,0,10,10", "--3d", "--levels", "100,510", "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"modelsize\":200,\"volume\":100,\"surface\":0"), std::string::npos) << result.out;
}

TEST_F(Model3DSectionTest, UnreadableSliceFailsWithTheReadersMessageAndThePath) {
  WriteCubeSeries(m_dir, 5);
  test::WriteFile(Slice(6), std::string("BM but not a bitmap at all"));
  const RunResult result = Analyze({Slice(0), "--rectangle", "2,2,14,14", "--3d"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("Invalid bitmap file"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("cannot read slice " + Slice(6)), std::string::npos) << result.err;
}

TEST_F(Model3DSectionTest, SlicesThatAreNotEightBitAreRefusedLikeTheOtherTools) {
  // A whole 24-bit series, and an 8-bit series with one 24-bit slice inside the range.
  for (const int colourSlice : {-1, 2}) {
    TemporaryDirectory dir;
    for (int i = 0; i < 4; ++i) {
      SliceImage slice = test::MakeSlice(16, 16, 200);
      if (colourSlice < 0 || i == colourSlice) slice.Create(16, 16, 24, false);
      ASSERT_TRUE(SaveBmpFile(slice, dir.File(SliceName(i))));
    }
    const RunResult result = Analyze({dir.File(SliceName(0)), "--rectangle", "2,2,14,14", "--3d"});
    EXPECT_EQ(result.status, 1) << colourSlice << ": " << result.out;
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("the selection tools need slices of 8 bits with a 256-entry colour table"),
              std::string::npos)
        << result.err;
  }
}

}  // namespace
}  // namespace orvel
