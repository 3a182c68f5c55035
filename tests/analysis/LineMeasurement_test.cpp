#include "analysis/LineMeasurement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/SliceBuilder.h"

namespace orvel::analysis {
namespace {

using test::ImagePixel;
using test::MakeSlice;
using test::SetImagePixel;

LineRequest Line(int x0, int y0, int x1, int y1, double pixelSizeMm = 0, std::int64_t steps = 0, int spacing = 1) {
  LineRequest request;
  request.start = {x0, y0};
  request.stop = {x1, y1};
  request.pixelSizeMm = pixelSizeMm;
  request.sliceSteps = steps;
  request.sliceSpacing = spacing;
  return request;
}

// Row 5 holds 0, 1, ..., 99 from x = 10 on, and 255 at the right end point x = 110.
SliceImage RampRow() {
  SliceImage slice = MakeSlice(128, 16);
  for (int i = 0; i < 100; ++i) SetImagePixel(slice, 10 + i, 5, static_cast<std::uint8_t>(i));
  SetImagePixel(slice, 110, 5, 255);
  return slice;
}

TEST(LineMeasurementTest, HorizontalLineSamplesFromTheLeftEndUpToButExcludingTheRightEnd) {
  const SliceImage slice = RampRow();
  for (const LineRequest& request : {Line(10, 5, 110, 5), Line(110, 5, 10, 5)}) {
    const LineMeasurement line = MeasureLine(slice, request);
    EXPECT_EQ(line.samples, 100);
    EXPECT_EQ(line.minimum, 0);
    EXPECT_EQ(line.maximum, 99);  // the 255 at the right end is not sampled
    EXPECT_EQ(line.average, 49);  // 4950 div 100
    EXPECT_EQ(line.text,
              "2D Length: 100 pixels\r\n"
              "3D Length: 100 pixels\r\n"
              "Min / Max : 0.0% / 38.8%\r\n"
              "Average value: 19.2%\r\n");
  }
}

TEST(LineMeasurementTest, MillimetreFormsUseTheTruncatedPixelLength) {
  // 10000 pixels per metre: 0.1 mm per pixel.
  EXPECT_TRUE(MeasureLine(RampRow(), Line(10, 5, 110, 5, 0.1))
                  .text.starts_with("2D Length: 10.00 mm\r\n3D Length: 10.00 mm\r\nMin"));
  // N = trunc(sqrt(8)) = 2: 0.20 mm, not 0.28 mm.
  EXPECT_TRUE(MeasureLine(RampRow(), Line(10, 5, 12, 7, 0.1)).text.starts_with("2D Length: 0.20 mm\r\n"));
}

TEST(LineMeasurementTest, RisingLineIsSampledFromItsLowerLeftEnd) {
  SliceImage slice = MakeSlice(64, 64);
  SetImagePixel(slice, 10, 50, 200);  // lower left end: sampled
  SetImagePixel(slice, 40, 20, 250);  // upper right end: not sampled
  for (const LineRequest& request : {Line(10, 50, 40, 20), Line(40, 20, 10, 50)}) {
    const LineMeasurement line = MeasureLine(slice, request);
    EXPECT_EQ(line.samples, 42);
    EXPECT_EQ(line.maximum, 200);
    EXPECT_EQ(line.minimum, 0);
  }
  const auto profile = LineProfile(slice, {40, 20}, {10, 50}, 30);
  ASSERT_EQ(profile.size(), 31u);
  EXPECT_EQ(profile.front(), 200);
  EXPECT_EQ(profile.back(), 250);  // position w is the right end point
}

TEST(LineMeasurementTest, ProfileFollowsTheDrawnLineAndMirrorsWithTheSlice) {
  const SliceImage slice = test::RandomSlice(64, 64, 7);
  // dx = dy = 30 over a graph 30 wide: position a is exactly (10 + a, 50 - a).
  const auto rising = LineProfile(slice, {10, 50}, {40, 20}, 30);
  ASSERT_EQ(rising.size(), 31u);
  for (int a = 0; a <= 30; ++a) EXPECT_EQ(rising[a], ImagePixel(slice, 10 + a, 50 - a)) << a;

  // Mirrored left to right, the same line now falls from its left end (23, 20).
  const auto mirrored = LineProfile(test::MirroredSlice(slice), {53, 50}, {23, 20}, 30);
  EXPECT_EQ(mirrored, std::vector<std::uint8_t>(rising.rbegin(), rising.rend()));
}

TEST(LineMeasurementTest, ProfileOfAnyWidthHasOneValueMoreThanTheWidth) {
  const SliceImage slice = RampRow();
  EXPECT_TRUE(LineProfile(slice, {10, 5}, {110, 5}, 0).empty());
  const auto stretched = LineProfile(slice, {10, 5}, {110, 5}, 400);
  ASSERT_EQ(stretched.size(), 401u);
  EXPECT_EQ(stretched[0], 0);
  EXPECT_EQ(stretched[399], 99);   // x = 10 + 100 * 399 div 400 = 109
  EXPECT_EQ(stretched[400], 255);  // the right end point
  EXPECT_EQ(ProfileGraphRow(255, 100), 0);
  EXPECT_EQ(ProfileGraphRow(0, 100), 99);
  EXPECT_EQ(ProfileGraphRow(128, 256), 127);
}

struct ThreeDCase {
  std::int64_t steps;
  int spacing;
  double pixelSizeMm;
  const char* lengthLine;
};

TEST(LineMeasurementTest, ThreeDLengthSpansSpacingTimesTheSlicesBetweenTheLimits) {
  const SliceImage slice = MakeSlice(64, 16);
  const ThreeDCase cases[] = {
      {4, 1, 0, "3D Length: 5 pixels\r\n"},                                         // N = 3, Z = 4
      {2, 2, 0, "3D Length: 5 pixels\r\n"},                                         // Z = 2 x 2
      {4, 0, 0, "3D Length: 5 pixels\r\n"},                                         // a spacing below 1 counts as 1
      {4, -3, 0, "3D Length: 5 pixels\r\n"}, {0, 5, 0, "3D Length: 3 pixels\r\n"},  // one-slice range: no z extent
      {4, 1, 0.1, "3D Length: 0.50 mm\r\n"}, {9999, 9999, 0, "3D Length: 99980001 pixels\r\n"},  // beyond 16 bits
  };
  for (const ThreeDCase& c : cases) {
    const std::string text = MeasureLine(slice, Line(10, 5, 13, 5, c.pixelSizeMm, c.steps, c.spacing)).text;
    EXPECT_NE(text.find(c.lengthLine), std::string::npos) << text;
  }
  // Limits one slice apart in a series numbered in steps of 1: sqrt(1 + N^2).
  EXPECT_NE(MeasureLine(slice, Line(0, 0, 7, 0, 0, 1, 1)).text.find("3D Length: 7 pixels\r\n"), std::string::npos);
}

TEST(LineMeasurementTest, UniformWhiteGivesOneHundredPercent) {
  const LineMeasurement line = MeasureLine(MakeSlice(32, 32, 255), Line(2, 3, 25, 20));
  EXPECT_NE(line.text.find("Min / Max : 100.0% / 100.0%\r\nAverage value: 100.0%\r\n"), std::string::npos);
}

TEST(LineMeasurementTest, BothPointsOnOnePixelGiveLengthsOnly) {
  const SliceImage slice = MakeSlice(16, 16, 90);
  const LineMeasurement pixels = MeasureLine(slice, Line(7, 7, 7, 7, 0, 3));
  EXPECT_EQ(pixels.samples, 0);
  EXPECT_FALSE(pixels.minimum.has_value());
  EXPECT_FALSE(pixels.maximum.has_value());
  EXPECT_FALSE(pixels.average.has_value());
  EXPECT_EQ(pixels.text, "2D Length: 0 pixels\r\n3D Length: 3 pixels\r\n");
  EXPECT_EQ(MeasureLine(slice, Line(7, 7, 7, 7, 0.5)).text, "2D Length: 0.00 mm\r\n3D Length: 0.00 mm\r\n");
}

TEST(LineMeasurementTest, PointsOutsideTheSliceReadAsZero) {
  const SliceImage slice = MakeSlice(10, 10, 200);
  const LineMeasurement crossing = MeasureLine(slice, Line(-10, 5, 20, 5));
  EXPECT_EQ(crossing.samples, 30);
  EXPECT_EQ(crossing.minimum, 0);
  EXPECT_EQ(crossing.maximum, 200);
  EXPECT_EQ(crossing.average, 66);  // ten samples of 200 over 30
  const auto profile = LineProfile(slice, {-10, 5}, {20, 5}, 30);
  EXPECT_EQ(std::count(profile.begin(), profile.end(), 200), 10);

  const LineMeasurement far = MeasureLine(slice, Line(2000000000, -2000000000, 2000000100, -2000000050));
  EXPECT_EQ(far.maximum, 0);
  // End points 2^32 - 1 pixels apart: the step arithmetic must not overflow.
  const auto wide = LineProfile(slice, {-2147483647 - 1, 5}, {2147483647, 5}, 100);
  EXPECT_EQ(std::count(wide.begin(), wide.end(), 0), 101);

  SliceImage colour;
  colour.Create(10, 10, 24, false);
  EXPECT_EQ(MeasureLine(colour, Line(0, 5, 9, 5)).maximum, 0);  // no grey values without 8 bits
}

TEST(LineMeasurementTest, VerticalLineRunsDownwardsFromTheTopPoint) {
  SliceImage slice = MakeSlice(16, 16);
  SetImagePixel(slice, 4, 2, 10);
  SetImagePixel(slice, 4, 12, 20);
  const auto profile = LineProfile(slice, {4, 12}, {4, 2}, 10);
  EXPECT_EQ(profile.front(), 10);
  EXPECT_EQ(profile.back(), 20);
}

}  // namespace
}  // namespace orvel::analysis
