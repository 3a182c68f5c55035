#include "image/SliceImage.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

TEST(SliceImageTest, EmptyImageHasNoSizeColoursOrPalette) {
  SliceImage image;
  EXPECT_EQ(image.GetSize(), std::make_pair(0, 0));
  EXPECT_EQ(image.GetColourCount(), 0);
  EXPECT_FALSE(image.UpdatePalette());
  EXPECT_FALSE(image.ApplyColourScheme(0, 0, 255));
  EXPECT_EQ(image.GetLowerLevel(), 127);
  EXPECT_EQ(image.GetUpperLevel(), 384);
}

TEST(SliceImageTest, CreateLaysOutPaddedBlackImages) {
  SliceImage image;
  ASSERT_TRUE(image.Create(100, 7, 8, false));
  EXPECT_EQ(image.GetRowBytes(), 100);
  EXPECT_EQ(image.GetRowPadding(), 0);
  EXPECT_EQ(image.GetImageBytes(), 700u);
  EXPECT_EQ(image.GetColourCount(), 256);
  EXPECT_EQ(image.GetLowerLevel(), 127);
  EXPECT_EQ(image.GetUpperLevel(), 383);
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(image.GetColourTable()[i], 0);

  ASSERT_TRUE(image.Create(5, 2, 8, false));
  EXPECT_EQ(image.GetRowPadding(), 3);
  EXPECT_EQ(image.GetImageBytes(), 16u);
  image.GetBits()[12] = 42;
  EXPECT_EQ(image.GetPixel(4, 1), 42);

  ASSERT_TRUE(image.Create(1, 3, 8, false));  // rows of one pixel still start 4 bytes apart
  EXPECT_EQ(image.GetRowPadding(), 3);
  image.SetPixel(0, 2, 9);
  EXPECT_EQ(image.GetBits()[8], 9);
}

TEST(SliceImageTest, CreateOfOtherDepths) {
  SliceImage image;
  ASSERT_TRUE(image.Create(10, 10, 4, false));
  EXPECT_EQ(image.GetColourCount(), 16);
  EXPECT_EQ(image.GetLowerLevel(), 7);
  EXPECT_EQ(image.GetUpperLevel(), 23);
  ASSERT_TRUE(image.Create(10, 10, 24, false));
  EXPECT_EQ(image.GetColourCount(), 0);
  EXPECT_EQ(image.GetDisplayPalette(), nullptr);
}

TEST(SliceImageTest, CreateCanKeepTheDisplayLevels) {
  SliceImage image;
  image.Create(4, 4, 8, false);
  image.SetLowerLevel(10);
  image.SetBinaryThresholds(3, 4);
  image.Create(8, 8, 8, true);
  EXPECT_EQ(image.GetLowerLevel(), 10);
  EXPECT_EQ(image.GetBinaryHigh(), 4);
  image.Create(8, 8, 8, false);
  EXPECT_EQ(image.GetLowerLevel(), 127);
}

TEST(SliceImageTest, PaletteIsKeptWhileTheTableDoesNotChange) {
  SliceImage image;
  image.Create(4, 4, 8, false);
  image.FillGreyColourTable();
  image.SetOriginalColours(std::vector<std::uint8_t>(image.GetColourTable(), image.GetColourTable() + 1024));
  image.SetLowerLevel(128);
  image.ShowGreyscale();  // identity at 128 / 383
  const auto before = image.GetDisplayPalette();
  image.ShowGreyscale();
  EXPECT_EQ(image.GetDisplayPalette(), before);
  image.ShowColour1();
  EXPECT_NE(image.GetDisplayPalette(), before);
  EXPECT_EQ((*image.GetDisplayPalette())[255], (RgbEntry{252, 252, 252}));
}

TEST(SliceImageTest, InversionTogglesBetweenTwinSchemes) {
  SliceImage image;
  image.Create(2, 2, 8, false);
  image.ShowOriginal();
  EXPECT_EQ(image.GetScheme(), 8);
  EXPECT_FALSE(image.SetInverted(true));
  EXPECT_EQ(image.GetScheme(), 9);
  EXPECT_TRUE(image.SetInverted(false));
  EXPECT_EQ(image.GetScheme(), 8);
  image.SetInverted(true);
  image.ShowBinary();
  EXPECT_EQ(image.GetScheme(), 7);
  EXPECT_EQ(image.GetLevelMode(), 2);
}

TEST(SliceImageTest, DisplaySettingsFollowAnotherImage) {
  SliceImage slice, preview;
  slice.Create(2, 2, 8, false);
  preview.Create(3, 3, 8, false);
  slice.SetBinaryThresholds(10, 20);
  slice.ShowBinary();
  preview.CopyDisplaySettings(slice);
  EXPECT_EQ(preview.GetScheme(), 6);
  EXPECT_EQ(preview.GetBinaryLow(), 10);
  EXPECT_EQ(preview.GetColourTable()[4 * 15 + 2], 3 * 15 / 4 + 60);  // inside: red ramp
  EXPECT_EQ(preview.GetColourTable()[4 * 25 + 2], 0);                // outside: green ramp
}

// A slice that failed to read has no colour table, yet the preview and the colour bar copy the
// display mode from it: the mode chosen while it is on screen must reach them.
TEST(SliceImageTest, AnEmptySliceStillPassesOnTheModeChosen) {
  SliceImage slice, bar;
  slice.Create(2, 2, 8, false);
  bar.Create(256, 1, 8, false);
  slice.ShowOriginal();
  slice.Clear();
  slice.ShowColour1();
  bar.CopyDisplaySettings(slice);
  EXPECT_EQ(bar.GetScheme(), 2);
  slice.ShowBinary();
  slice.SetInverted(true);
  bar.CopyDisplaySettings(slice);
  EXPECT_EQ(bar.GetScheme(), 7);
  EXPECT_EQ(bar.GetLevelMode(), 2);
}

TEST(SliceImageTest, PixelSizeFromTheHorizontalResolution) {
  SliceImage image;
  image.Create(2, 2, 8, false);
  EXPECT_EQ(image.GetPixelSizeMm(), 0.0);
  image.SetXPelsPerMeter(100000);
  EXPECT_DOUBLE_EQ(image.GetPixelSizeMm(), 0.01);
}

}  // namespace
}  // namespace orvel
