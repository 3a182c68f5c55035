// The 3D model on shapes whose volume and surface can be counted by hand, and its result texts.
#include "analysis/Model3D.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "support/SliceBuilder.h"

namespace orvel::analysis {
namespace {

constexpr std::uint8_t kSolid = 200;  // inside the window {100, 255}

// L slices of width x height; solid(x, y, k) says which pixels of slice k are solid.
std::vector<SliceImage> Stack(int width, int height, int layers,
                              const std::function<bool(int, int, int)>& solid) {
  std::vector<SliceImage> slices;
  for (int k = 0; k < layers; ++k) {
    SliceImage slice = test::MakeSlice(width, height, 0);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (solid(x, y, k)) test::SetImagePixel(slice, x, y, kSolid);
    slices.push_back(std::move(slice));
  }
  return slices;
}

ModelSettings Box(int width, int height, int layers, int spacing = 1,
                  AreaShape shape = AreaShape::kRectangle) {
  ModelSettings settings;
  settings.box = {0, 0, width, height};
  settings.shape = shape;
  settings.window = {100, 255};
  settings.layers = layers;
  settings.spacing = spacing;
  return settings;
}

ModelResult BuildModel(const ModelSettings& settings, const std::vector<SliceImage>& slices) {
  ModelBuilder builder(settings);
  for (const SliceImage& slice : slices) builder.AddSlice(slice);
  return builder.Finish();
}

bool InCube(int x, int y, int z, int from, int to) {
  return x >= from && x <= to && y >= from && y <= to && z >= from && z <= to;
}

TEST(Model3DTest, SolidCubeOfThreeHas27VoxelsAnd54Faces) {
  // Corners add 3 each (8), edge middles 2 (12), face centres 1 (6), the centre 0: 54 faces.
  const auto slices = Stack(7, 7, 7, [](int x, int y, int k) { return InCube(x, y, k, 2, 4); });
  const ModelResult result = BuildModel(Box(7, 7, 7), slices);
  EXPECT_EQ(result.volume, 27);
  EXPECT_EQ(result.surface, 54);
  EXPECT_EQ(result.modelSize, 7 * 7 * 8);
}

TEST(Model3DTest, IsolatedVoxelAddsOneToTheSurface) {
  const auto slices = Stack(5, 5, 3, [](int x, int y, int k) { return x == 2 && y == 2 && k == 1; });
  const ModelResult result = BuildModel(Box(5, 5, 3), slices);
  EXPECT_EQ(result.volume, 1);
  EXPECT_EQ(result.surface, 1);
}

TEST(Model3DTest, HollowShellCountsItsOuterFacesOnly) {
  // A 5-cube without its 3-cube core: 98 voxels; corners 3, edge voxels 2, face voxels 1
  // (their inward neighbour is the cavity): 8 x 3 + 36 x 2 + 54 x 1 = 150 = 6 x 25.
  const auto slices = Stack(9, 9, 9, [](int x, int y, int k) {
    return InCube(x, y, k, 2, 6) && !InCube(x, y, k, 3, 5);
  });
  const ModelResult result = BuildModel(Box(9, 9, 9), slices);
  EXPECT_EQ(result.volume, 98);
  EXPECT_EQ(result.surface, 150);
}

TEST(Model3DTest, BoxFilledToItsBorderLosesTheBorderForTheSurfaceOnly) {
  // All 5 x 5 x 5 voxels count for the volume; clearing the border leaves the 3-cube inside.
  const auto slices = Stack(5, 5, 5, [](int, int, int) { return true; });
  const ModelResult result = BuildModel(Box(5, 5, 5), slices);
  EXPECT_EQ(result.volume, 125);
  EXPECT_EQ(result.surface, 54);
  EXPECT_EQ(result.text,
            "3D-model creation\r\n"
            "modelsize 150 voxels\r\n"
            "3D-model analysis\r\n"
            "Total Volume :      125 cub.pixels\r\n"
            "Volume Fraction : 100.0 %\r\n"
            "Total Surface :       54 sq.pixels\r\n"
            "Surface/Volume:      0 pixels-1\r\n");
}

TEST(Model3DTest, VoxelsInTheBorderCountForTheVolumeButNeverForTheSurface) {
  const auto slices = Stack(6, 6, 4, [](int x, int y, int k) {
    return (k == 0 && x == 3 && y == 3) || (x == 0 && y == 2) || (k == 3 && x == 2 && y == 2);
  });
  const ModelResult result = BuildModel(Box(6, 6, 4), slices);
  EXPECT_EQ(result.volume, 1 + 4 + 1);
  EXPECT_EQ(result.surface, 0);
}

TEST(Model3DTest, SpacingRepeatsEachSliceOverItsPlanes) {
  // One voxel on slice 1 of 3 becomes a column of s voxels: its ends touch one neighbour, its
  // middle voxels two, so each adds 1 and the surface equals s.
  for (const int spacing : {1, 2, 3, 5, 8}) {
    const auto slices = Stack(5, 5, 3, [](int x, int y, int k) { return x == 2 && y == 2 && k == 1; });
    const ModelResult result = BuildModel(Box(5, 5, 3, spacing), slices);
    EXPECT_EQ(result.volume, spacing) << "s = " << spacing;
    EXPECT_EQ(result.surface, spacing) << "s = " << spacing;
    EXPECT_EQ(result.modelSize, 25 * 4 * spacing);
  }
}

TEST(Model3DTest, SpacingTwoWithTenLayersHas22PlanesTheLastBlockEmpty) {
  const auto slices = Stack(4, 4, 10, [](int, int, int) { return true; });
  const ModelResult result = BuildModel(Box(4, 4, 10, 2), slices);
  EXPECT_EQ(result.modelSize, 16 * 22);
  EXPECT_EQ(result.volume, 16 * 20);
  EXPECT_NE(result.text.find("Volume Fraction : 100.0 %\r\n"), std::string::npos);
}

TEST(Model3DTest, SpacingBelowOneIsTakenAsOne) {
  const auto slices = Stack(4, 4, 2, [](int, int, int) { return true; });
  for (const int spacing : {0, -3}) {
    const ModelResult result = BuildModel(Box(4, 4, 2, spacing), slices);
    EXPECT_EQ(result.modelSize, 16 * 3);
    EXPECT_EQ(result.volume, 32);
  }
}

TEST(Model3DTest, FewerThanThreeVoxelsAcrossGivesNoSurface) {
  const auto solid = [](int, int, int) { return true; };
  EXPECT_EQ(BuildModel(Box(2, 9, 9), Stack(9, 9, 9, solid)).surface, 0);
  EXPECT_EQ(BuildModel(Box(9, 2, 9), Stack(9, 9, 9, solid)).surface, 0);
  const ModelResult thin = BuildModel(Box(9, 9, 2), Stack(9, 9, 2, solid));  // L s = 2
  EXPECT_EQ(thin.surface, 0);
  EXPECT_EQ(thin.volume, 162);
}

TEST(Model3DTest, OneSliceDatasetGivesAModelOfOneLayer) {
  const auto slices = Stack(8, 8, 1, [](int, int, int) { return true; });
  const ModelResult result = BuildModel(Box(8, 8, 1), slices);
  EXPECT_EQ(result.modelSize, 64 * 2);
  EXPECT_EQ(result.volume, 64);
  EXPECT_EQ(result.surface, 0);
}

TEST(Model3DTest, EllipseAdmitsTheVoxelsOfTheInscribedEllipse) {
  // Box 4 x 4: a = b = 2 about (2, 2); rows dy = 0, +-1, 2 admit 4, 3 + 3 and 1 columns.
  const auto slices = Stack(4, 4, 2, [](int, int, int) { return true; });
  const ModelResult result = BuildModel(Box(4, 4, 2, 1, AreaShape::kEllipse), slices);
  EXPECT_EQ(result.volume, 11 * 2);
}

TEST(Model3DTest, InvertSetsTheVoxelsOutsideTheWindow) {
  const auto slices = Stack(6, 6, 3, [](int x, int, int) { return x < 2; });
  ModelSettings settings = Box(6, 6, 3);
  settings.invert = true;
  EXPECT_EQ(BuildModel(settings, slices).volume, 4 * 6 * 3);
}

TEST(Model3DTest, PixelsOutsideASmallerSliceReadAsZero) {
  // The box is 6 x 6 but the slices 4 x 4 of value 200; with the window {0, 100} only the pixels
  // outside the slice (read as 0) are set.
  const auto slices = Stack(4, 4, 2, [](int, int, int) { return true; });
  ModelSettings settings = Box(6, 6, 2);
  settings.window = {0, 100};
  EXPECT_EQ(BuildModel(settings, slices).volume, (36 - 16) * 2);
  settings.box = {-2, -2, 4, 4};  // sticking out to the top left
  EXPECT_EQ(BuildModel(settings, slices).volume, (36 - 16) * 2);
}

TEST(Model3DTest, SliceOfOtherThanEightBitsReadsAsZero) {
  SliceImage colour;
  colour.Create(4, 4, 24, false);
  std::fill(colour.GetBits(), colour.GetBits() + colour.GetImageBytes(), std::uint8_t{200});
  ModelSettings settings = Box(4, 4, 1);
  EXPECT_EQ(BuildModel(settings, {colour}).volume, 0);
  settings.window = {0, 10};
  EXPECT_EQ(BuildModel(settings, {colour}).volume, 16);
}

TEST(Model3DTest, ProgressShowsTheLayerAboutToBeRead) {
  ModelBuilder builder(Box(3, 2, 2));
  EXPECT_EQ(builder.Text(), "3D-model creation\r\nmodelsize 18 voxels\r\n");
  EXPECT_EQ(builder.ProgressText(), "3D-model creation\r\nmodelsize 18 voxels\r\nlayer 1 of 2\r\n");
  builder.AddSlice(test::MakeSlice(3, 2));
  EXPECT_EQ(builder.ProgressText(), "3D-model creation\r\nmodelsize 18 voxels\r\nlayer 2 of 2\r\n");
}

TEST(Model3DTest, RefusesMisuseAndBoxesTooLargeToHold) {
  ModelBuilder builder(Box(3, 3, 1));
  EXPECT_THROW(builder.Finish(), std::logic_error);
  builder.AddSlice(test::MakeSlice(3, 3));
  EXPECT_THROW(builder.AddSlice(test::MakeSlice(3, 3)), std::logic_error);
  ModelSettings huge = Box(1, 1, 1);
  huge.box = {-2000000000, -2000000000, 2000000000, 2000000000};
  EXPECT_THROW(ModelBuilder{huge}, std::length_error);
}

}  // namespace
}  // namespace orvel::analysis
