// The cut along the line: which pixels each row of the cut image takes, and its colours.
#include "analysis/Cut.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/SliceBuilder.h"

namespace orvel::analysis {
namespace {

CutSettings Line(int x0, int y0, int x1, int y1, int layers, int spacing = 1) {
  CutSettings settings;
  settings.start = {x0, y0};
  settings.stop = {x1, y1};
  settings.layers = layers;
  settings.spacing = spacing;
  return settings;
}

std::vector<SliceImage> RandomStack(int width, int height, int layers) {
  std::vector<SliceImage> slices;
  for (int k = 0; k < layers; ++k) slices.push_back(test::RandomSlice(width, height, 100 + k));
  return slices;
}

SliceImage Cut(const CutSettings& settings, const std::vector<SliceImage>& slices, const CutDisplay& display = {}) {
  CutBuilder builder(settings);
  for (const SliceImage& slice : slices) builder.AddSlice(slice);
  return builder.TakeCutImage(display);
}

// Pixel j of storage row r (row 0 is the bottom of the cut: the first slice of the range).
int CutPixel(const SliceImage& cut, int j, int storageRow) { return cut.GetPixel(j, storageRow); }

TEST(CutTest, HorizontalLineStacksTheSlicesFromTheBottom) {
  const auto slices = RandomStack(256, 80, 4);
  const SliceImage cut = Cut(Line(100, 50, 200, 50, 4), slices);
  ASSERT_EQ(cut.GetWidth(), 100);
  ASSERT_EQ(cut.GetHeight(), 4);
  EXPECT_EQ(cut.GetBitCount(), 8);
  for (int k = 0; k < 4; ++k)
    for (int j = 0; j < 100; ++j)
      ASSERT_EQ(CutPixel(cut, j, k), test::ImagePixel(slices[k], 100 + j, 50)) << "slice " << k << ", j " << j;
}

TEST(CutTest, SpacingRepeatsEachSliceButTheLastOnce) {
  const auto slices = RandomStack(64, 64, 4);
  const SliceImage cut = Cut(Line(3, 10, 60, 40, 4, 3), slices);
  ASSERT_EQ(cut.GetHeight(), 10);  // (4 - 1) 3 + 1
  const int sourceOfRow[10] = {0, 0, 0, 1, 1, 1, 2, 2, 2, 3};
  for (int r = 0; r < 10; ++r) {
    const SliceImage single = Cut(Line(3, 10, 60, 40, 1, 3), {slices[sourceOfRow[r]]});
    ASSERT_EQ(single.GetHeight(), 1);  // a single layer gives one row, whatever the spacing
    for (int j = 0; j < cut.GetWidth(); ++j) ASSERT_EQ(CutPixel(cut, j, r), CutPixel(single, j, 0)) << r;
  }
}

TEST(CutTest, SampleCountIsTheTruncatedLengthAndTheStopPointIsLeftOut) {
  EXPECT_EQ(CutBuilder(Line(0, 0, 3, 4, 1)).Width(), 5);
  EXPECT_EQ(CutBuilder(Line(0, 0, 10, 10, 1)).Width(), 14);  // 14.14...
  EXPECT_EQ(CutBuilder(Line(5, 5, 5, 5, 1)).Width(), 0);
  // Diagonal from (0, 0) to (10, 10): points j (10 / 14) truncated.
  SliceImage slice = test::MakeSlice(16, 16);
  for (int i = 0; i < 16; ++i) test::SetImagePixel(slice, i, i, static_cast<std::uint8_t>(i + 1));
  const SliceImage cut = Cut(Line(0, 0, 10, 10, 1), {slice});
  for (int j = 0; j < 14; ++j) {
    const int at = static_cast<int>(j * (10.0 / 14));
    EXPECT_EQ(CutPixel(cut, j, 0), at + 1) << j;
  }
}

TEST(CutTest, RightToLeftCutMirrorsTheLeftToRightCut) {
  // Each direction samples from its own start and leaves out its own stop point, so the reverse
  // cut is the mirror image moved by that one pixel: reverse[j] = forward[len - j].
  const auto slices = RandomStack(128, 128, 3);
  const struct { int x0, y0, x1, y1; } lines[] = {{10, 70, 110, 70}, {40, 5, 40, 120}};
  for (const auto& l : lines) {
    const SliceImage forward = Cut(Line(l.x0, l.y0, l.x1, l.y1, 3), slices);
    const SliceImage reverse = Cut(Line(l.x1, l.y1, l.x0, l.y0, 3), slices);
    const int len = forward.GetWidth();
    ASSERT_EQ(reverse.GetWidth(), len);
    for (int r = 0; r < 3; ++r) {
      for (int j = 1; j < len; ++j) ASSERT_EQ(CutPixel(reverse, j, r), CutPixel(forward, len - j, r));
      EXPECT_EQ(CutPixel(reverse, 0, r), test::ImagePixel(slices[r], l.x1, l.y1));
      EXPECT_EQ(CutPixel(forward, 0, r), test::ImagePixel(slices[r], l.x0, l.y0));
    }
  }
}

TEST(CutTest, MirroredStackWithMirroredLineGivesTheSameCut) {
  const auto slices = RandomStack(100, 60, 3);
  std::vector<SliceImage> mirrored;
  for (const SliceImage& slice : slices) mirrored.push_back(test::MirroredSlice(slice));
  const SliceImage cut = Cut(Line(20, 30, 80, 30, 3), slices);
  const SliceImage mirrorCut = Cut(Line(79, 30, 19, 30, 3), mirrored);
  ASSERT_EQ(mirrorCut.GetWidth(), cut.GetWidth());
  for (int r = 0; r < 3; ++r)
    for (int j = 0; j < cut.GetWidth(); ++j) ASSERT_EQ(CutPixel(mirrorCut, j, r), CutPixel(cut, j, r));
}

TEST(CutTest, PointsOutsideTheSliceReadAsZero) {
  // The second slice is smaller than the first; the line also starts left of both.
  const std::vector<SliceImage> slices = {test::MakeSlice(40, 40, 9), test::MakeSlice(20, 20, 7)};
  const SliceImage cut = Cut(Line(-5, 10, 35, 10, 2), slices);
  for (int j = 0; j < 40; ++j) {
    const int x = -5 + j;
    EXPECT_EQ(CutPixel(cut, j, 0), x >= 0 ? 9 : 0) << j;
    EXPECT_EQ(CutPixel(cut, j, 1), x >= 0 && x < 20 ? 7 : 0) << j;
  }
}

TEST(CutTest, TakesTheResolutionOfTheLastSlice) {
  std::vector<SliceImage> slices = RandomStack(20, 20, 2);
  slices[0].SetXPelsPerMeter(1000);
  slices[1].SetXPelsPerMeter(20000);
  slices[1].SetYPelsPerMeter(30000);
  const SliceImage cut = Cut(Line(0, 5, 10, 5, 2), slices);
  EXPECT_EQ(cut.GetXPelsPerMeter(), 20000);
  EXPECT_EQ(cut.GetYPelsPerMeter(), 30000);
}

TEST(CutTest, RefusesMisuseAndCutsTooLargeForAnImage) {
  CutBuilder builder(Line(0, 0, 5, 0, 1));
  EXPECT_THROW(builder.TakeCutImage({}), std::logic_error);
  builder.AddSlice(test::MakeSlice(8, 8));
  EXPECT_THROW(builder.AddSlice(test::MakeSlice(8, 8)), std::logic_error);
  EXPECT_THROW(CutBuilder(Line(-2000000000, 0, 2000000000, 0, 1)), std::length_error);
  EXPECT_THROW(CutBuilder(Line(0, 0, 40000, 0, 9000, 9)), std::length_error);
}

}  // namespace
}  // namespace orvel::analysis
