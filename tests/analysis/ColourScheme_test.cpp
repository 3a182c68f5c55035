#include "analysis/ColourScheme.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvel::analysis {
namespace {

struct Entry {
  int red, green, blue;
  bool operator==(const Entry&) const = default;
};

std::vector<Entry> Table(int scheme, int l1, int l2, int low = 0, int high = 255,
                         const std::vector<std::uint8_t>& original = std::vector<std::uint8_t>(1024, 0)) {
  std::vector<std::uint8_t> table(1024, 0xEE);
  ComputeColourTable(scheme, 256, l1, l2, low, high, original.data(), table.data());
  std::vector<Entry> entries;
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(table[4 * i + 3], 0);
    entries.push_back({table[4 * i + 2], table[4 * i + 1], table[4 * i]});
  }
  return entries;
}

TEST(WindowFunctionTest, LoadedLevelsMapEveryEntryToItself) {
  for (int i = 0; i < 256; ++i) ASSERT_EQ(WindowFunction(i, 256, 128, 383), i) << i;
}

TEST(WindowFunctionTest, ExtremeLevels) {
  EXPECT_EQ(WindowFunction(0, 256, 0, 1), 63);
  EXPECT_EQ(WindowFunction(255, 256, 0, 1), 127);
  EXPECT_EQ(WindowFunction(0, 256, 255, 510), 127);
  for (int i = 1; i < 256; ++i) ASSERT_EQ(WindowFunction(i, 256, 255, 510), 255) << i;
}

TEST(ColourSchemeTest, GreyscaleAndColourRampsAtIdentityLevels) {
  const auto grey = Table(0, 128, 383);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(grey[i], (Entry{i, i, i}));
  const auto colour1 = Table(2, 128, 383);
  EXPECT_EQ(colour1[0], (Entry{0, 0, 0}));
  EXPECT_EQ(colour1[255], (Entry{252, 252, 252}));
  EXPECT_EQ(colour1[63], (Entry{252, 148, 0}));
  const auto colour2 = Table(4, 128, 383);
  EXPECT_EQ(colour2[0], (Entry{3, 3, 3}));  // complement of ramp[255] (white, 252)
  const auto inverted = Table(1, 128, 383);
  EXPECT_EQ(inverted[10], (Entry{245, 245, 245}));
}

TEST(ColourSchemeTest, BinaryColoursInsideAndOutsideTheWindow) {
  const ThresholdRange window = ThresholdWindow(128, 383);
  EXPECT_EQ(window.low, 128);
  EXPECT_EQ(window.high, 191);
  const auto binary = Table(6, 128, 383, window.low, window.high);
  EXPECT_EQ(binary[128], (Entry{3 * 128 / 4 + 60, 32, 25}));
  EXPECT_EQ(binary[127], (Entry{0, 3 * 127 / 4 + 20, 127 / 8}));
  const auto inverted = Table(7, 128, 383, window.low, window.high);
  EXPECT_EQ(inverted[128], (Entry{0, 3 * 128 / 4 + 20, 16}));
  EXPECT_EQ(inverted[127], (Entry{3 * 127 / 4 + 60, 31, 25}));
}

TEST(ColourSchemeTest, ThresholdWindowSwapsWhenTheLowerSliderIsAboveHalfTheUpper) {
  const ThresholdRange window = ThresholdWindow(200, 300);
  EXPECT_EQ(window.low, 150);
  EXPECT_EQ(window.high, 200);
  EXPECT_TRUE(window.Contains(150));
  EXPECT_FALSE(window.Contains(201));
}

TEST(ColourSchemeTest, OriginalCopiesOrComplementsTheFileColours) {
  std::vector<std::uint8_t> original(1024);
  for (int i = 0; i < 256; ++i) {
    original[4 * i] = static_cast<std::uint8_t>(i);            // blue
    original[4 * i + 1] = 7;                                   // green
    original[4 * i + 2] = static_cast<std::uint8_t>(255 - i);  // red
  }
  EXPECT_EQ(Table(8, 0, 1, 0, 255, original)[10], (Entry{245, 7, 10}));
  EXPECT_EQ(Table(9, 0, 1, 0, 255, original)[10], (Entry{10, 248, 245}));
}

}  // namespace
}  // namespace orvel::analysis
