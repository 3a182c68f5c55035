#include "analysis/ObjectLabelling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "analysis/FloodFill.h"

namespace orvel::analysis {
namespace {

// Masks drawn as text, top row first: '#' selected, '.' not.
SelectionMask MaskFromPicture(const std::vector<std::string>& rows) {
  SelectionMask mask;
  mask.height = static_cast<int>(rows.size());
  mask.width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
  for (const std::string& row : rows)
    for (const char c : row) mask.cells.push_back(c == '#' ? kSelectedCell : kUnselectedCell);
  return mask;
}

SelectionMask RandomMask(int width, int height, double fill, std::uint32_t seed) {
  SelectionMask mask;
  mask.width = width;
  mask.height = height;
  std::mt19937 random(seed);
  std::bernoulli_distribution selected(fill);
  for (int i = 0; i < width * height; ++i) mask.cells.push_back(selected(random) ? kSelectedCell : kUnselectedCell);
  return mask;
}

std::vector<std::int64_t> RunLabelledSizes(const SelectionMask& mask) {
  ObjectAreaCollector collector;
  CollectObjects(LabelRuns(mask.cells.data(), mask.width, mask.height), collector);
  std::sort(collector.areas.begin(), collector.areas.end());
  return collector.areas;
}

// The object-at-a-time way: visit rows from the last to the first, each left to right, and flood
// every cell still holding 255 with 254.
std::vector<std::int64_t> FloodFilledSizes(SelectionMask mask) {
  std::vector<std::int64_t> sizes;
  for (int y = 0; y < mask.height; ++y)  // y counts rows upwards from the last
    for (int x = 0; x < mask.width; ++x)
      if (mask.At(x, mask.height - 1 - y) == kSelectedCell) sizes.push_back(FillObject(mask, x, y, 254));
  std::sort(sizes.begin(), sizes.end());
  return sizes;
}

TEST(ObjectLabellingTest, ObjectSizesOfDrawnMasks) {
  const struct {
    const char* what;
    std::vector<std::string> picture;
    std::vector<std::int64_t> sizes;  // ascending
  } cases[] = {
      {"corner contact separates, edge contact joins", {"#.#..", ".#...", "...##", "....#"}, {1, 1, 1, 3}},
      // The arms of the U and the comb's teeth meet only in the bottom rows.
      {"U and comb joined further down", {"#...#.#.#.#", "#...#.#.#.#", "#####.#####"}, {9, 11}},
      {"spiral winding inwards", {"#######", "......#", "#####.#", "#...#.#", "#.###.#", "#.....#", "#######"}, {31}},
      {"empty mask", {}, {}},
      {"one row", {"##.###.#"}, {1, 2, 3}},
      {"one column", {"#", "#", ".", "#"}, {1, 2}},
      {"nothing selected", {"....", "...."}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(RunLabelledSizes(MaskFromPicture(c.picture)), c.sizes) << c.what;
}

TEST(ObjectLabellingTest, ObjectsAreNumberedInOrderOfTheirFirstRun) {
  const SelectionMask mask = MaskFromPicture({"..#.#", "#...#", "##..."});
  const RunLabelling labelling = LabelRuns(mask.cells.data(), mask.width, mask.height);
  ASSERT_EQ(labelling.objectCount, 3);
  EXPECT_EQ(labelling.objectOf, (std::vector<std::int32_t>{0, 1, 2, 1, 2}));
}

TEST(ObjectLabellingTest, RunLabellingAgreesWithFloodFillOnRandomMasks) {
  std::uint32_t seed = 1;
  for (const double fill : {0.1, 0.3, 0.5, 0.6, 0.8})
    for (const auto& [width, height] : {std::pair{1, 40}, std::pair{40, 1}, std::pair{37, 23}, std::pair{128, 96}}) {
      const SelectionMask mask = RandomMask(width, height, fill, seed++);
      const auto sizes = RunLabelledSizes(mask);
      EXPECT_EQ(sizes, FloodFilledSizes(mask)) << fill << " " << width << "x" << height;
      const auto selected = std::count(mask.cells.begin(), mask.cells.end(), kSelectedCell);
      EXPECT_EQ(std::accumulate(sizes.begin(), sizes.end(), std::int64_t{0}), selected);
    }
}

// An H-tree: every branch splits in two at its ends, so its tips all lie at one distance from the
// centre and a breadth-first frontier grows to thousands of cells, far beyond 4 x the side.
void DrawHTree(SelectionMask& mask, int x, int y, int half, int levels, bool horizontal) {
  if (levels == 0 || half < 1) return;
  const int x0 = horizontal ? x - half : x, x1 = horizontal ? x + half : x;
  const int y0 = horizontal ? y : y - half, y1 = horizontal ? y : y + half;
  for (int r = y0; r <= y1; ++r)
    for (int c = x0; c <= x1; ++c) mask.At(c, r) = kSelectedCell;
  const int next = horizontal ? half : half / 2;
  DrawHTree(mask, x0, y0, next, levels - 1, !horizontal);
  DrawHTree(mask, x1, y1, next, levels - 1, !horizontal);
}

TEST(FloodFillTest, FrontierGrowsForStronglyBranchedObjects) {
  SelectionMask mask;
  mask.width = mask.height = 128;
  mask.cells.assign(128 * 128, kUnselectedCell);
  DrawHTree(mask, 64, 64, 32, 10, true);
  const auto selected = std::count(mask.cells.begin(), mask.cells.end(), kSelectedCell);
  // Seeded at the centre (mask row 64 is y = 63 counted from the last row).
  EXPECT_EQ(FillObject(mask, 64, 63, 254), selected);
  EXPECT_EQ(std::count(mask.cells.begin(), mask.cells.end(), 254), selected);
}

TEST(FloodFillTest, TryFillPixelRefusesCellsOutsideOrHoldingAnotherValue) {
  SelectionMask mask = MaskFromPicture({"#.", ".#"});
  EXPECT_FALSE(TryFillPixel(mask, -1, 0, kSelectedCell, 254));
  EXPECT_FALSE(TryFillPixel(mask, 2, 0, kSelectedCell, 254));
  EXPECT_FALSE(TryFillPixel(mask, 0, 2, kSelectedCell, 254));
  EXPECT_FALSE(TryFillPixel(mask, 1, 0, kSelectedCell, 254));
  EXPECT_TRUE(TryFillPixel(mask, 0, 0, kSelectedCell, 254));
  EXPECT_EQ(mask.At(0, 0), 254);
  // The seed's row counts upwards: y = 0 is the last row.
  EXPECT_EQ(FillObject(mask, 1, 0, 7), 1);
  EXPECT_EQ(mask.At(1, 1), 7);
  EXPECT_EQ(FillObject(mask, 1, 0, 7), 0);  // already holds the new value
  EXPECT_EQ(FillObject(mask, 5, 0, 7), 0);  // outside
}

}  // namespace
}  // namespace orvel::analysis
