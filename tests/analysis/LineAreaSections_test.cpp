#include <gtest/gtest.h>

#include <string>

#include "cli/AnalyzeSections.h"
#include "support/SliceBuilder.h"

namespace orvel::cli {
namespace {

using test::MakeSlice;
using test::SetImagePixel;

struct SectionFixture {
  AnalyzeOptions options;
  Dataset dataset;
  SliceImage slice = MakeSlice(32, 32, 0);

  SectionFixture(SelectionTool tool, PointPair points) {
    options.tool = tool;
    options.points = points;
    dataset.slicePaths = {"/d/s0000.bmp", "/d/s0002.bmp", "/d/s0004.bmp"};
    dataset.sliceTitles = {"s0000", "s0002", "s0004"};
    dataset.sliceNumbers = {0, 2, 4};  // every slice stands for 2 pixel rows
  }
  // Level-slider positions 100 and 300: the threshold window is [100, 150].
  AnalyzeContext Context(int bottom = 0, int top = 0) const {
    return AnalyzeContext{options, dataset, slice, 0, 100, 300, bottom, top};
  }
};

TEST(LineSectionTest, ReportsRawValuesAndTheBlockWithCarriageReturns) {
  SectionFixture fixture(SelectionTool::kLine, {4, 10, 7, 10});
  SetImagePixel(fixture.slice, 4, 10, 51);
  SetImagePixel(fixture.slice, 5, 10, 255);
  // Limits two slices apart: z = 2 x 2 = 4 rows over N = 3: 3D length 5.
  const SectionResult result = RunLineSection(fixture.Context(0, 2));
  const std::string text =
      "2D Length: 3 pixels\r\n3D Length: 5 pixels\r\nMin / Max : 0.0% / 100.0%\r\nAverage value: 40.0%\r\n";
  EXPECT_EQ(result.text, text);
  EXPECT_EQ(result.json,
            "{\"samples\":3,\"min\":0,\"max\":255,\"average\":102,\"text\":"
            "\"2D Length: 3 pixels\\r\\n3D Length: 5 pixels\\r\\nMin / Max : 0.0% / 100.0%\\r\\n"
            "Average value: 40.0%\\r\\n\"}");
}

TEST(LineSectionTest, NoSamplesGiveNullValues) {
  SectionFixture fixture(SelectionTool::kLine, {9, 9, 9, 9});
  EXPECT_EQ(RunLineSection(fixture.Context()).json,
            "{\"samples\":0,\"min\":null,\"max\":null,\"average\":null,"
            "\"text\":\"2D Length: 0 pixels\\r\\n3D Length: 0 pixels\\r\\n\"}");
}

TEST(AreaSectionTest, ThresholdsWithTheLevelSliderWindow) {
  SectionFixture fixture(SelectionTool::kRectangle, {20, 20, 0, 0});
  SetImagePixel(fixture.slice, 1, 1, 100);  // in [100, 150]
  SetImagePixel(fixture.slice, 5, 5, 150);
  SetImagePixel(fixture.slice, 6, 5, 140);
  SetImagePixel(fixture.slice, 9, 9, 151);  // above the window
  const SectionResult result = RunAreaSection(fixture.Context());
  EXPECT_EQ(result.text,
            "Total Area: 3 sq.pixels\r\nRelative Area: 0.8%\r\nAverage Object Size:  1.4 pixels\r\n"
            "Number of Objects: 2\r\n");
  EXPECT_EQ(result.json.substr(0, result.json.find(",\"text\"")),
            "{\"selected\":3,\"boxArea\":400,\"objects\":2,"
            "\"sizeClasses\":[2,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0]");

  fixture.options.invert = true;
  EXPECT_TRUE(RunAreaSection(fixture.Context()).json.starts_with("{\"selected\":397,"));
  fixture.options.tool = SelectionTool::kEllipse;
  fixture.options.invert = false;
  EXPECT_TRUE(RunAreaSection(fixture.Context()).json.starts_with("{\"selected\":2,"));  // (1, 1) is outside
}

TEST(SelectionSectionsTest, RefuseSlicesWithoutGreyValuesAndHugeBoxes) {
  SectionFixture fixture(SelectionTool::kRectangle, {0, 0, 8, 8});
  fixture.slice.Create(16, 16, 24, false);
  EXPECT_THROW(RunAreaSection(fixture.Context()), SectionFailure);
  EXPECT_THROW(RunLineSection(fixture.Context()), SectionFailure);

  SectionFixture huge(SelectionTool::kRectangle, {-2000000000, 0, 2000000000, 2000});
  EXPECT_THROW(RunAreaSection(huge.Context()), SectionFailure);
}

}  // namespace
}  // namespace orvel::cli
