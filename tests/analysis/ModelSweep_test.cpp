// The threshold sweep: every model of the sweep against a model built on its own with the
// shifted window, and the shifted windows themselves.
#include "analysis/ModelSweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <climits>
#include <cmath>
#include <random>
#include <vector>

#include "analysis/Model3DText.h"
#include "support/SliceBuilder.h"

namespace orvel::analysis {
namespace {

// Grey values that drift smoothly across the slice and from slice to slice, with noise, so that
// every shift of the window moves the edges of the objects.
SliceImage RampSlice(int width, int height, int k, std::mt19937& random) {
  SliceImage slice = test::MakeSlice(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int wave = static_cast<int>(60 * std::sin(0.21 * x + 0.5 * k) + 50 * std::cos(0.17 * y - 0.3 * k));
      test::SetImagePixel(slice, x, y,
                          static_cast<std::uint8_t>(std::clamp(128 + wave + int(random() % 9) - 4, 0, 255)));
    }
  return slice;
}

TEST(ModelSweepTest, EveryModelEqualsTheModelOfItsShiftedWindow) {
  std::mt19937 random(99);
  struct Case {
    SelectionBox box;
    AreaShape shape;
    ThresholdRange window;
    bool invert;
    int spacing, workers;
  };
  const Case cases[] = {
      {{0, 0, 70, 30}, AreaShape::kRectangle, {100, 180}, false, 1, 1},
      {{3, 2, 69, 29}, AreaShape::kEllipse, {60, 140}, true, 2, 3},
      {{-5, -3, 75, 20}, AreaShape::kRectangle, {1, 40}, false, 3, 2},   // box outside the slices; low clamped
      {{10, 5, 140, 28}, AreaShape::kEllipse, {230, 254}, false, 1, 4},  // high clamped; width past 128
  };
  for (const Case& c : cases) {
    ModelSettings settings;
    settings.box = c.box;
    settings.shape = c.shape;
    settings.window = c.window;
    settings.invert = c.invert;
    settings.layers = 6;
    settings.spacing = c.spacing;
    std::vector<SliceImage> slices;
    for (int k = 0; k < settings.layers; ++k) slices.push_back(RampSlice(130, 30, k, random));

    ModelSweep sweep(settings, 3, c.workers);
    for (const SliceImage& slice : slices) sweep.AddSlice(slice);
    const std::vector<SweepModel> models = sweep.Finish();
    ASSERT_EQ(models.size(), 7u);
    for (const SweepModel& model : models) {
      SCOPED_TRACE(testing::Message() << "window " << c.window.low << ".." << c.window.high << ", shift "
                                      << model.shift);
      ModelSettings shifted = settings;
      shifted.window = ShiftedWindow(c.window, model.shift);
      ModelBuilder builder(shifted);
      for (const SliceImage& slice : slices) builder.AddSlice(slice);
      const ModelResult alone = builder.Finish();
      EXPECT_EQ(model.window.low, shifted.window.low);
      EXPECT_EQ(model.window.high, shifted.window.high);
      EXPECT_EQ(model.volume, alone.volume);
      EXPECT_EQ(model.surface, alone.surface);
      EXPECT_EQ(model.volumeFractionPercent,
                VolumeFractionPercent(alone.volume, c.shape, c.box.Width(), c.box.Height(), 6, c.spacing));
    }
    EXPECT_NE(models.front().volume, models.back().volume);
  }
}

TEST(ModelSweepTest, ShiftedWindowsMoveBothBoundsAndStayWithinTheByteRange) {
  EXPECT_EQ(ShiftedWindow({100, 150}, -3).low, 97);
  EXPECT_EQ(ShiftedWindow({100, 150}, -3).high, 147);
  EXPECT_EQ(ShiftedWindow({2, 150}, -5).low, 0);
  EXPECT_EQ(ShiftedWindow({200, 253}, 5).high, 255);
  EXPECT_EQ(ShiftedWindow({254, 255}, 10).low, 255);
  EXPECT_EQ(ShiftedWindow({INT_MIN, INT_MAX}, 255).low, 0);
  EXPECT_EQ(ShiftedWindow({INT_MIN, INT_MAX}, 255).high, 255);
}

TEST(ModelSweepTest, RefusesSlicesBeyondItsLayers) {
  ModelSettings settings;
  settings.box = {0, 0, 4, 4};
  settings.layers = 1;
  ModelSweep sweep(settings, 1, 2);
  EXPECT_THROW(sweep.Finish(), std::logic_error);
  sweep.AddSlice(test::MakeSlice(4, 4, 200));
  EXPECT_THROW(sweep.AddSlice(test::MakeSlice(4, 4, 200)), std::logic_error);
}

TEST(ModelSweepTest, ParallelRunsCallEveryIndexOnceAndPassOnAFailure) {
  ParallelRuns runs(3);
  for (const int count : {0, 1, 2, 7, 50}) {
    std::vector<std::atomic<int>> calls(static_cast<std::size_t>(count));
    runs.Run(count, [&](int i) { ++calls[i]; });
    for (int i = 0; i < count; ++i) EXPECT_EQ(calls[i].load(), 1) << i << " of " << count;
  }
  EXPECT_THROW(runs.Run(9,
                        [](int i) {
                          if (i == 5) throw std::bad_alloc();
                        }),
               std::bad_alloc);
  std::atomic<int> after{0};
  runs.Run(4, [&](int) { ++after; });  // the workers are still there after a failure
  EXPECT_EQ(after.load(), 4);
}

}  // namespace
}  // namespace orvel::analysis
