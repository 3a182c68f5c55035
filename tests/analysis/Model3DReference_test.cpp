// The plane-by-plane model against the model built the long way: one byte per voxel over all
// P (L + 1) s voxels, the border cleared, and the surface rule applied voxel by voxel with the
// neighbour counts per axis plane, exactly as the analysis describes it.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "analysis/Model3D.h"
#include "support/SliceBuilder.h"

namespace orvel::analysis {
namespace {

struct FullModel {
  int width, height, planes;  // planes = (L + 1) s
  std::vector<std::uint8_t> voxels;
  std::uint8_t& At(int x, int y, int z) { return voxels[(static_cast<std::size_t>(z) * height + y) * width + x]; }
};

bool Admits(const ModelSettings& s, int x, int y) {
  if (s.shape == AreaShape::kRectangle) return true;
  if (s.shape == AreaShape::kNone) return false;
  const int a = static_cast<int>(s.box.Width() / 2), b = static_cast<int>(s.box.Height() / 2);
  const double dx = s.box.minX + a - x, dy = s.box.minY + b - y;
  return dx * dx / a / a + dy * dy / b / b <= 1.0;
}

FullModel BuildFullModel(const ModelSettings& s, const std::vector<SliceImage>& slices) {
  FullModel model{static_cast<int>(s.box.Width()), static_cast<int>(s.box.Height()), (s.layers + 1) * s.spacing, {}};
  model.voxels.assign(static_cast<std::size_t>(model.width) * model.height * model.planes, 0);
  for (int k = 0; k < s.layers; ++k)
    for (int y = s.box.minY; y < s.box.maxY; ++y)
      for (int x = s.box.minX; x < s.box.maxX; ++x) {
        const int v = ImagePixelOrZero(slices[k], x, y);
        const bool passes = s.invert ? (v < s.window.low || v > s.window.high) : s.window.Contains(v);
        for (int z = k * s.spacing; z < (k + 1) * s.spacing; ++z)
          model.At(x - s.box.minX, y - s.box.minY, z) = passes && Admits(s, x, y) ? 255 : 0;
      }
  return model;
}

std::int64_t CountVolume(const FullModel& model) {
  std::int64_t volume = 0;
  for (const std::uint8_t v : model.voxels) volume += v != 0;
  return volume;
}

std::int64_t CountSurface(FullModel& model, int filledPlanes) {
  for (int z = 0; z < filledPlanes; ++z)
    for (int y = 0; y < model.height; ++y)
      for (int x = 0; x < model.width; ++x)
        if (z == 0 || z == filledPlanes - 1 || x == 0 || x == model.width - 1 || y == 0 || y == model.height - 1)
          model.At(x, y, z) = 0;
  double surface = 0;
  for (int z = 1; z <= filledPlanes - 2; ++z)
    for (int y = 1; y <= model.height - 2; ++y)
      for (int x = 1; x <= model.width - 2; ++x) {
        if (model.At(x, y, z) != 255) continue;
        const int nx = (model.At(x - 1, y, z) == 255) + (model.At(x + 1, y, z) == 255);
        const int ny = (model.At(x, y - 1, z) == 255) + (model.At(x, y + 1, z) == 255);
        const int nz = (model.At(x, y, z - 1) == 255) + (model.At(x, y, z + 1) == 255);
        const int n = nx + ny + nz, cXY = nx + ny, cXZ = nx + nz, cYZ = ny + nz;
        if (n <= 2 || n == 5) surface += 1;
        else if (n == 3) surface += (cXY == 3 || cXZ == 3 || cYZ == 3) ? 1 : 3;
        else if (n == 4) surface += (cXY == 4 || cXZ == 4 || cYZ == 4) ? 1 : 2;
      }
  return static_cast<std::int64_t>(surface);
}

// Slices of blobs: values cluster so that the window gives connected objects with holes, edges
// and corners of every kind rather than salt and pepper only.
SliceImage BlobSlice(int width, int height, std::mt19937& random) {
  SliceImage slice = test::MakeSlice(width, height);
  std::uniform_int_distribution<int> coin(0, 99);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool dense = ((x / 5 + y / 4) % 3) != 0;
      const int v = dense ? (coin(random) < 80 ? 200 : 40) : (coin(random) < 15 ? 200 : 40);
      test::SetImagePixel(slice, x, y, static_cast<std::uint8_t>(v));
    }
  return slice;
}

TEST(Model3DReferenceTest, VolumeAndSurfaceEqualTheFullVoxelModel) {
  std::mt19937 random(20240611);
  const AreaShape shapes[] = {AreaShape::kRectangle, AreaShape::kEllipse};
  for (int trial = 0; trial < 60; ++trial) {
    ModelSettings settings;
    // Widths beyond 64 and 128 voxels cross word edges; the box may stick out of the slices.
    const int width = 1 + static_cast<int>(random() % 150), height = 1 + static_cast<int>(random() % 40);
    const int minX = static_cast<int>(random() % 20) - 8, minY = static_cast<int>(random() % 12) - 4;
    settings.box = {minX, minY, minX + width, minY + height};
    settings.shape = shapes[trial % 2];
    settings.window = trial % 5 == 0 ? ThresholdRange{0, 100} : ThresholdRange{100, 255};
    settings.invert = trial % 3 == 0;
    settings.layers = 1 + static_cast<int>(random() % 7);
    settings.spacing = 1 + static_cast<int>(random() % 4);
    std::vector<SliceImage> slices;
    for (int k = 0; k < settings.layers; ++k) slices.push_back(BlobSlice(140, 30, random));

    ModelBuilder builder(settings);
    for (const SliceImage& slice : slices) builder.AddSlice(slice);
    const ModelResult result = builder.Finish();

    FullModel model = BuildFullModel(settings, slices);
    SCOPED_TRACE(testing::Message() << "trial " << trial << ", box " << width << " x " << height << ", L "
                                    << settings.layers << ", s " << settings.spacing);
    EXPECT_EQ(result.modelSize, static_cast<std::int64_t>(model.voxels.size()));
    EXPECT_EQ(result.volume, CountVolume(model));
    EXPECT_EQ(result.surface, CountSurface(model, settings.layers * settings.spacing));
  }
}

}  // namespace
}  // namespace orvel::analysis
