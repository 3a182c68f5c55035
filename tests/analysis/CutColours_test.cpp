// The colours of the cut image: in every display mode they are the colours the viewer gives the
// slices, Original with Invert included.
#include <gtest/gtest.h>

#include <vector>

#include "analysis/ColourScheme.h"
#include "analysis/Cut.h"
#include "support/SliceBuilder.h"

namespace orvel::analysis {
namespace {

// A slice whose file colours are not grey, so that any mix-up of file and displayed colours shows.
SliceImage TintedSlice() {
  SliceImage slice = test::RandomSlice(32, 8, 5);
  std::vector<std::uint8_t> colours(1024);
  for (int i = 0; i < 256; ++i) {
    colours[4 * i] = static_cast<std::uint8_t>(i);            // blue
    colours[4 * i + 1] = static_cast<std::uint8_t>(255 - i);  // green
    colours[4 * i + 2] = static_cast<std::uint8_t>(i / 2);    // red
  }
  slice.SetOriginalColours(colours);
  std::copy(colours.begin(), colours.end(), slice.GetColourTable());
  return slice;
}

// The slice as the viewer's redraw shows it for a palette mode, invert and the level sliders.
void ShowAsTheViewer(SliceImage& slice, const CutDisplay& display) {
  switch (display.palette) {
    case kGreyscalePalette: slice.ShowGreyscale(); break;
    case kColour1Palette: slice.ShowColour1(); break;
    case kColour2Palette: slice.ShowColour2(); break;
    case kBinaryPalette: slice.ShowBinary(); break;
    default: slice.ShowOriginal(); break;
  }
  if (display.palette == kBinaryPalette) {
    const ThresholdRange window = ThresholdWindow(display.lowerLevelPosition, display.upperLevelPosition);
    slice.SetBinaryThresholds(window.low, window.high);
  } else if (display.palette != kOriginalPalette) {
    slice.SetLowerLevel(display.lowerLevelPosition);
    slice.SetUpperLevel(display.upperLevelPosition);
  }
  slice.SetInverted(display.invert);
}

SliceImage CutOf(const SliceImage& slice, const CutDisplay& display) {
  CutSettings settings;
  settings.start = {0, 4};
  settings.stop = {30, 4};
  CutBuilder builder(settings);
  builder.AddSlice(slice);
  return builder.TakeCutImage(display);
}

std::vector<std::uint8_t> Table(const SliceImage& image) {
  const std::uint8_t* table = image.GetColourTable();
  return {table, table + 4 * image.GetColourCount()};
}

TEST(CutColoursTest, EveryModeLooksAsTheViewerShowsTheSlice) {
  for (int palette = kGreyscalePalette; palette <= kOriginalPalette; ++palette)
    for (const bool invert : {false, true})
      for (const auto& levels : {std::pair{128, 383}, std::pair{40, 470}, std::pair{200, 90}}) {
        const CutDisplay display{palette, invert, levels.first, levels.second};
        SliceImage viewer = TintedSlice();
        const SliceImage cut = CutOf(viewer, display);
        ShowAsTheViewer(viewer, display);
        EXPECT_EQ(Table(cut), Table(viewer))
            << "palette " << palette << ", invert " << invert << ", levels " << levels.first << "/" << levels.second;
        EXPECT_EQ(cut.GetScheme(), 2 * palette + invert);
      }
}

TEST(CutColoursTest, OriginalWithInvertIsTheComplementOfTheFileColours) {
  const SliceImage slice = TintedSlice();
  const SliceImage cut = CutOf(slice, {kOriginalPalette, true, 128, 383});
  const std::uint8_t* table = cut.GetColourTable();
  const std::vector<std::uint8_t>& file = slice.GetOriginalColours();
  for (int i = 0; i < 256 * 4; ++i) ASSERT_EQ(table[i], i % 4 == 3 ? 0 : 255 - file[i]) << "entry " << i / 4;
  // The file colours travel with the cut, as the slice's own original colours.
  EXPECT_EQ(cut.GetOriginalColours(), file);
}

TEST(CutColoursTest, BinaryColoursFollowTheThresholdWindowOfTheLevelSliders) {
  // Sliders 120 and 300: window 120 .. 150. Inside a red ramp, outside a green one.
  const SliceImage slice = TintedSlice();
  const SliceImage cut = CutOf(slice, {kBinaryPalette, false, 120, 300});
  const SliceImage inverted = CutOf(slice, {kBinaryPalette, true, 120, 300});
  auto rgb = [](const SliceImage& image, int i) {
    const std::uint8_t* e = image.GetColourTable() + 4 * i;
    return std::vector<int>{e[2], e[1], e[0]};
  };
  EXPECT_EQ(rgb(cut, 119), (std::vector<int>{0, 109, 14}));
  EXPECT_EQ(rgb(cut, 120), (std::vector<int>{150, 30, 24}));
  EXPECT_EQ(rgb(cut, 150), (std::vector<int>{172, 37, 30}));
  EXPECT_EQ(rgb(cut, 151), (std::vector<int>{0, 133, 18}));
  EXPECT_EQ(rgb(inverted, 119), (std::vector<int>{149, 29, 23}));
  EXPECT_EQ(rgb(inverted, 120), (std::vector<int>{0, 110, 15}));
}

}  // namespace
}  // namespace orvel::analysis
