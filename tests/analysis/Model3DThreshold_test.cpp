// Thresholding into packed bits: both implementations against the window read value by value.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "analysis/ThresholdBits.h"

namespace orvel::analysis {
namespace {

using PackFunction = void (*)(const std::uint8_t*, std::size_t, ThresholdRange, bool, std::uint64_t*);

std::vector<PackFunction> Implementations() {
  std::vector<PackFunction> all = {PackThresholdBitsScalar, PackThresholdBits};
#if defined(ORVEL_HAVE_X86_THRESHOLD)
  all.push_back(PackThresholdBitsSse2);
  if (ProcessorHasAvx2()) all.push_back(PackThresholdBitsAvx2);
#endif
  return all;
}

TEST(Model3DThresholdTest, EveryBitIsTheWindowTestOfItsValue) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> values(300);
  for (auto& v : values) v = static_cast<std::uint8_t>(random());
  values[0] = 0;
  values[1] = 255;
  // Windows inside the byte range, at its ends, one value wide, and reaching beyond it (level
  // positions are not bounded on the command line).
  const ThresholdRange windows[] = {{100, 150}, {0, 255},   {0, 0},     {255, 255}, {77, 77},
                                    {-20, 40},  {200, 900}, {300, 400}, {-9, -1}};
  // Counts that end inside a 16-value step, on a word edge, and just past one.
  for (const std::size_t count :
       {std::size_t{0}, std::size_t{1}, std::size_t{15}, std::size_t{64}, std::size_t{65}, std::size_t{300}})
    for (const ThresholdRange window : windows)
      for (const bool invert : {false, true})
        for (const PackFunction pack : Implementations()) {
          std::vector<std::uint64_t> words((count + 63) / 64 + 1, ~std::uint64_t{0});
          pack(values.data(), count, window, invert, words.data());
          for (std::size_t j = 0; j < (count + 63) / 64 * 64; ++j) {
            const bool bit = (words[j / 64] >> (j % 64)) & 1;
            const bool expected = j < count && (window.Contains(values[j]) != invert);
            ASSERT_EQ(bit, expected) << "value " << j << " of " << count << ", window " << window.low << ".."
                                     << window.high << ", invert " << invert;
          }
          EXPECT_EQ(words.back(), ~std::uint64_t{0}) << "wrote past its words";
        }
}

}  // namespace
}  // namespace orvel::analysis
