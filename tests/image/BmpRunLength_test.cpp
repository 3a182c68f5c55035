// The run-length decoder on its own: hostile streams whose runs and moves never end a row.
#include <gtest/gtest.h>

#include <vector>

#include "image/BmpFile.h"

namespace orvel {
namespace {

constexpr int kRle8 = 1;

// Enough 255-pixel steps to carry a column counter well past 2^31 on a row one pixel wide.
constexpr std::size_t kStepsPastTwoToThe31 = (std::size_t{1} << 31) / 255 + 16;

std::vector<std::uint8_t> Repeated(std::vector<std::uint8_t> unit, std::size_t times, std::vector<std::uint8_t> end) {
  std::vector<std::uint8_t> data;
  data.reserve(unit.size() * times + end.size());
  for (std::size_t i = 0; i < times; ++i) data.insert(data.end(), unit.begin(), unit.end());
  data.insert(data.end(), end.begin(), end.end());
  return data;
}

TEST(BmpRunLengthTest, RunsAndMovesPastTheRowEndAreDroppedWhateverTheirCount) {
  // Runs of 255 pixels of value 7, then the end of the bitmap: the first run fills the one pixel.
  const auto runs = Repeated({0xFF, 7}, kStepsPastTwoToThe31, {0, 1});
  // Moves 255 columns to the right, then one pixel of 9 far past the end of the row.
  const auto moves = Repeated({0, 2, 0xFF, 0}, kStepsPastTwoToThe31, {1, 9, 0, 1});
  struct Case {
    const std::vector<std::uint8_t>& data;
    std::uint8_t pixel;
  };
  for (const Case& c : {Case{runs, 7}, Case{moves, 0}}) {
    std::uint8_t rows[8] = {};  // two rows of one pixel, 4 bytes each; the top row must stay 0
    DecodeBmpRunLength(c.data.data(), c.data.size(), kRle8, 1, 1, 4, rows);
    EXPECT_EQ(rows[0], c.pixel);
    EXPECT_EQ(std::vector<std::uint8_t>(rows + 1, rows + 8), std::vector<std::uint8_t>(7, 0));
  }
}

}  // namespace
}  // namespace orvel
