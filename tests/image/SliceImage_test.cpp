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
}

}  // namespace
}  // namespace orvel
