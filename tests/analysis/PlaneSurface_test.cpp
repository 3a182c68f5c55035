// The vector surface count against the word-at-a-time one, on planes of every width around the
// word and vector edges.
#include "analysis/PlaneSurface.h"

#include <gtest/gtest.h>

#include <random>

#include "analysis/ThresholdBits.h"

namespace orvel::analysis {
namespace {

VoxelPlane RandomPlane(int width, int height, int percentSet, std::mt19937& random) {
  VoxelPlane plane(width, height);
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c)
      if (static_cast<int>(random() % 100) < percentSet) plane.Row(r)[c / 64] |= std::uint64_t{1} << (c % 64);
  plane.ClearBorder();
  return plane;
}

TEST(PlaneSurfaceTest, VectorCountEqualsTheWordCount) {
#if defined(ORVEL_HAVE_X86_SURFACE)
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "no AVX2 on this processor";
  std::mt19937 random(3);
  for (const int width : {1, 3, 63, 64, 65, 127, 128, 129, 255, 256, 257, 300, 320}) {
    for (const int percentSet : {20, 60, 95}) {
      const int height = 3 + static_cast<int>(random() % 9);
      const VoxelPlane below = RandomPlane(width, height, percentSet, random);
      const VoxelPlane plane = RandomPlane(width, height, percentSet, random);
      const VoxelPlane above = RandomPlane(width, height, percentSet, random);
      EXPECT_EQ(CountPlaneSurfaceAvx2(below, plane, above), CountPlaneSurfaceScalar(below, plane, above))
          << width << " x " << height << ", " << percentSet << " % set";
    }
  }
#else
  GTEST_SKIP() << "no vector implementation on this processor";
#endif
}

}  // namespace
}  // namespace orvel::analysis
