#include "analysis/AreaAnalysis.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "support/SliceBuilder.h"

namespace orvel::analysis {
namespace {

using test::MakeSlice;
using test::SetImagePixel;

// Value 200 passes the window [100, 250]; 0 does not.
constexpr ThresholdRange kWindow{100, 250};

AreaRequest Area(int x0, int y0, int x1, int y1, AreaShape shape = AreaShape::kRectangle, double pixelSizeMm = 0,
                 bool invert = false) {
  AreaRequest request;
  request.start = {x0, y0};
  request.stop = {x1, y1};
  request.shape = shape;
  request.window = kWindow;
  request.invert = invert;
  request.pixelSizeMm = pixelSizeMm;
  return request;
}

constexpr const char* kEmptyText =
    "Total Area: 0 sq.pixels\r\n"
    "Relative Area: 0.0%\r\n"
    "Average Object Size: unknown\r\n"
    "Number of Objects: 0\r\n";

TEST(AreaAnalysisTest, NothingPassingGivesZeroAreaAndUnknownSize) {
  const AreaMeasurement area = MeasureArea(MakeSlice(32, 32, 0), Area(2, 2, 30, 30));
  EXPECT_EQ(area.selected, 0);
  EXPECT_EQ(area.objects, 0);
  EXPECT_EQ(area.boxArea, 28 * 28);
  EXPECT_EQ(area.sizeClassCounts, SizeClassCounts{});
  EXPECT_EQ(area.text, kEmptyText);
}

TEST(AreaAnalysisTest, ObjectsAreFourConnected) {
  SliceImage slice = MakeSlice(16, 16);
  SetImagePixel(slice, 3, 3, 200);  // a single pixel
  SetImagePixel(slice, 8, 8, 200);  // two pixels touching at a corner only
  SetImagePixel(slice, 9, 9, 200);
  SetImagePixel(slice, 12, 2, 200);  // two pixels sharing an edge
  SetImagePixel(slice, 12, 3, 200);
  const AreaMeasurement area = MeasureArea(slice, Area(0, 0, 16, 16));
  EXPECT_EQ(area.selected, 5);
  EXPECT_EQ(area.objects, 4);
  EXPECT_EQ(area.sizeClassCounts[0], 4);  // sizes 1, 1, 1 and 2 are all class 0
  EXPECT_EQ(area.text,
            "Total Area: 5 sq.pixels\r\n"
            "Relative Area: 2.0%\r\n"
            "Average Object Size:  1.3 pixels\r\n"  // sqrt(5 * 4 / 4 / 3.1415)
            "Number of Objects: 4\r\n");
}

TEST(AreaAnalysisTest, BoxExcludesItsMaximumRowAndColumn) {
  const SliceImage slice = MakeSlice(16, 16, 200);
  const AreaMeasurement area = MeasureArea(slice, Area(12, 9, 2, 1));
  EXPECT_EQ(area.selected, 80);  // 10 x 8
  EXPECT_EQ(area.objects, 1);
  EXPECT_EQ(area.sizeClassCounts[3], 1);  // 51-201 pixels
  EXPECT_NE(area.text.find("Relative Area: 100.0%\r\n"), std::string::npos);
}

TEST(AreaAnalysisTest, InvertCountsThePixelsOutsideTheWindow) {
  SliceImage slice = MakeSlice(8, 8, 200);
  SetImagePixel(slice, 1, 1, 99);   // just below the window
  SetImagePixel(slice, 5, 5, 251);  // just above it
  SetImagePixel(slice, 6, 6, 100);  // its bounds are inside
  SetImagePixel(slice, 7, 7, 250);
  const AreaMeasurement area = MeasureArea(slice, Area(0, 0, 8, 8, AreaShape::kRectangle, 0, true));
  EXPECT_EQ(area.selected, 2);
  EXPECT_EQ(area.objects, 2);
  EXPECT_EQ(MeasureArea(slice, Area(0, 0, 8, 8)).selected, 62);
}

TEST(AreaAnalysisTest, EllipseSelectsTheCellsOfTheInscribedEllipse) {
  // Box 4 x 4, halfW = halfH = 2: cells with ex^2 + ey^2 <= 4, ex = 2 - column, ey = 2 - row.
  const SliceImage slice = MakeSlice(8, 8, 200);
  const SelectionMask mask =
      BuildSelectionMask(slice, SelectionBox::FromPoints({1, 1}, {5, 5}), AreaShape::kEllipse, kWindow, false);
  const std::vector<std::uint8_t> expected = {
      0,   0,   255, 0,    //
      0,   255, 255, 255,  //
      255, 255, 255, 255,  //
      0,   255, 255, 255,  //
  };
  EXPECT_EQ(mask.cells, expected);
  EXPECT_EQ(mask.selected, 11);
  // Measured against pi x halfW x halfH, not against the box.
  const AreaMeasurement area = MeasureArea(slice, Area(1, 1, 5, 5, AreaShape::kEllipse));
  EXPECT_NE(area.text.find("Relative Area: 87.5%\r\n"), std::string::npos);  // 1100 / (4 pi)
  EXPECT_NE(MeasureArea(slice, Area(1, 1, 5, 5)).text.find("Relative Area: 100.0%\r\n"), std::string::npos);
}

TEST(AreaAnalysisTest, DegenerateBoxesPrintZeroInsteadOfDividingByZero) {
  const SliceImage slice = MakeSlice(16, 16, 200);
  // An ellipse under 2 pixels high has no inside.
  const AreaMeasurement thin = MeasureArea(slice, Area(2, 4, 12, 5, AreaShape::kEllipse));
  EXPECT_EQ(thin.selected, 0);
  EXPECT_EQ(thin.text, kEmptyText);
  EXPECT_EQ(MeasureArea(slice, Area(2, 4, 3, 14, AreaShape::kEllipse)).text, kEmptyText);
  // Both points on one pixel: an empty box.
  const AreaMeasurement point = MeasureArea(slice, Area(6, 6, 6, 6));
  EXPECT_EQ(point.boxArea, 0);
  EXPECT_EQ(point.text, kEmptyText);
}

TEST(AreaAnalysisTest, WithoutAFigureToolNothingIsSelected) {
  const AreaMeasurement area = MeasureArea(MakeSlice(16, 16, 200), Area(0, 0, 16, 16, AreaShape::kNone));
  EXPECT_EQ(area.selected, 0);
  EXPECT_EQ(area.text, kEmptyText);
}

TEST(AreaAnalysisTest, PixelsOutsideTheSliceReadAsZero) {
  // A 4 x 4 slice of 100 in a box reaching two pixels beyond it on every side; the window
  // [0, 10] takes the outside (read as 0) and leaves the slice: a ring of 64 - 16 cells.
  AreaRequest request = Area(-2, -2, 6, 6);
  request.window = {0, 10};
  const AreaMeasurement area = MeasureArea(MakeSlice(4, 4, 100), request);
  EXPECT_EQ(area.selected, 48);
  EXPECT_EQ(area.objects, 1);
}

TEST(AreaAnalysisTest, MillimetreForms) {
  const SliceImage slice = MakeSlice(16, 16, 200);
  EXPECT_EQ(MeasureArea(slice, Area(0, 0, 10, 10, AreaShape::kRectangle, 0.1)).text,
            "Total Area:  1.00000 sq.mm\r\n"
            "Relative Area: 100.0%\r\n"
            "Average Object Size: 1.128 mm\r\n"  // sqrt(400 / 3.1415) x 0.1
            "Number of Objects: 1\r\n");
  EXPECT_NE(MeasureArea(slice, Area(0, 0, 10, 10)).text.find("Average Object Size: 11.3 pixels\r\n"),
            std::string::npos);
}

TEST(AreaAnalysisTest, SizeClassesFollowTheBase2LogarithmOfTheEquivalentDiameter) {
  // First and last object size of classes 0 .. 11.
  const std::int64_t bounds[12][2] = {
      {1, 3},        {4, 12},        {13, 50},        {51, 201},        {202, 804},        {805, 3216},
      {3217, 12867}, {12868, 51470}, {51471, 205881}, {205882, 823525}, {823526, 3294101}, {3294102, 13176406},
  };
  for (int k = 0; k < 12; ++k) {
    EXPECT_EQ(SizeClassOf(bounds[k][0]), k) << bounds[k][0];
    EXPECT_EQ(SizeClassOf(bounds[k][1]), k) << bounds[k][1];
  }
  EXPECT_EQ(SizeClassOf(13176407), 12);
  EXPECT_EQ(SizeClassOf(std::int64_t{1} << 30), 15);
}

TEST(AreaAnalysisTest, CountsBeyondSixteenBitsAreKept) {
  // A 300 x 300 checkerboard: 45000 single-pixel objects in class 0.
  SliceImage slice = MakeSlice(300, 300);
  for (int y = 0; y < 300; ++y)
    for (int x = (y & 1); x < 300; x += 2) SetImagePixel(slice, x, y, 200);
  const AreaMeasurement area = MeasureArea(slice, Area(0, 0, 300, 300));
  EXPECT_EQ(area.selected, 45000);
  EXPECT_EQ(area.objects, 45000);
  EXPECT_EQ(area.sizeClassCounts[0], 45000);
  EXPECT_NE(area.text.find("Number of Objects: 45000\r\n"), std::string::npos);
}

TEST(AreaAnalysisTest, ObjectSizesSumToTheSelectedArea) {
  const SliceImage slice = test::RandomSlice(97, 61, 11);
  for (const AreaShape shape : {AreaShape::kRectangle, AreaShape::kEllipse}) {
    AreaRequest request = Area(3, 2, 90, 59, shape);
    request.window = {0, 110};  // about 43 % of the pixels: many objects of many sizes
    const AreaMeasurement area = MeasureArea(slice, request);
    const std::int64_t objects =
        std::accumulate(area.sizeClassCounts.begin(), area.sizeClassCounts.end(), std::int64_t{0});
    EXPECT_EQ(objects, area.objects);
    EXPECT_GT(area.objects, 100);
    // Mirroring the slice and the box changes no count.
    AreaRequest mirrored = request;
    mirrored.start = {96 - 90 + 1, 2};  // columns 3..89 become 7..93
    mirrored.stop = {96 - 3 + 1, 59};
    const AreaMeasurement other = MeasureArea(test::MirroredSlice(slice), mirrored);
    EXPECT_EQ(other.selected, area.selected);
    EXPECT_EQ(other.sizeClassCounts, area.sizeClassCounts);
  }
}

TEST(AreaAnalysisTest, HugeBoxIsRefused) {
  EXPECT_THROW(MeasureArea(MakeSlice(4, 4), Area(-2000000000, -2000000000, 2000000000, 2000000000)), std::length_error);
}

TEST(AreaAnalysisTest, BarsScaleToTheLargestOfAllTwentyCounters) {
  SizeClassCounts counts{};
  counts[0] = 4;
  counts[1] = 2;
  auto bars = SizeDistributionBars(counts, 120, 100);
  EXPECT_EQ(bars[0].left, 0);
  EXPECT_EQ(bars[0].right, 10);
  EXPECT_EQ(bars[0].rows, 100);  // the largest fills the height
  EXPECT_EQ(bars[1].rows, 51);   // rows t = 0 .. 50 satisfy 2 x 100 >= 4 x t
  EXPECT_EQ(bars[2].rows, 1);    // an empty class still draws the bottom row
  EXPECT_EQ(bars[11].left, 110);
  EXPECT_EQ(bars[11].right, 120);

  counts[15] = 8;  // counted, not drawn, yet it sets the scale
  bars = SizeDistributionBars(counts, 100, 100);
  EXPECT_EQ(bars[0].rows, 51);
  EXPECT_EQ(bars[1].left, 8);  // trunc(8.333)
  EXPECT_EQ(bars[3].left, 25);

  EXPECT_EQ(SizeDistributionBars(SizeClassCounts{}, 120, 100)[5].rows, 1);  // all zero: G = 1
  EXPECT_EQ(SizeDistributionBars(counts, 120, 0)[0].rows, 0);
}

}  // namespace
}  // namespace orvel::analysis
