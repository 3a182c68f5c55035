// The marching-cubes and weighted-configuration surfaces of the 3D model on shapes whose area is
// known: boxes (exactly, for marching cubes, with any slice spacing) and spheres (the weighted
// estimate within 3 % of 4 pi r^2). scikit-image checks random stacks in mesh_crosscheck.py.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "analysis/ConfigurationHistogram.h"
#include "analysis/Model3D.h"
#include "analysis/SurfaceConfigurations.h"
#include "support/SliceBuilder.h"

namespace orvel::analysis {
namespace {

constexpr double kPi = 3.14159265358979323846;

// width x height x layers voxels, solid where solid(x, y, k) says, as a model of the whole box.
ModelResult BuildShape(int width, int height, int layers, int spacing, bool mesh,
                       const std::function<bool(int, int, int)>& solid) {
  ModelSettings settings;
  settings.box = {0, 0, width, height};
  settings.window = {100, 255};
  settings.layers = layers;
  settings.spacing = spacing;
  settings.meshSurfaces = mesh;
  ModelBuilder builder(settings);
  for (int k = 0; k < layers; ++k) {
    SliceImage slice = test::MakeSlice(width, height, 0);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (solid(x, y, k)) test::SetImagePixel(slice, x, y, 200);
    builder.AddSlice(slice);
  }
  return builder.Finish();
}

// A box of a x b x c voxels, two voxels from every side of the model.
ModelResult BuildBox(int a, int b, int c, int spacing, bool mesh = true) {
  return BuildShape(a + 4, b + 4, c + 4, spacing, mesh, [=](int x, int y, int k) {
    return x >= 2 && x < a + 2 && y >= 2 && y < b + 2 && k >= 2 && k < c + 2;
  });
}

ModelResult BuildSphere(int radius, bool mesh = true) {
  const int size = 2 * radius + 5, centre = radius + 2;
  return BuildShape(size, size, size, 1, mesh, [=](int x, int y, int k) {
    const int dx = x - centre, dy = y - centre, dz = k - centre;
    return dx * dx + dy * dy + dz * dz <= radius * radius;
  });
}

// The isosurface of an a x b x c box of 1 x 1 x s voxels: faces between the outermost voxel
// centres, bevels of half a voxel along the edges and a triangle at each corner.
double MarchingCubesBoxArea(int a, int b, int c, double s) {
  const double faces = 2.0 * (a - 1) * (b - 1) + 2.0 * s * (c - 1) * (a - 1 + b - 1);
  const double zEdges = 4.0 * s * (c - 1) * std::sqrt(0.5);
  const double flatEdges = 4.0 * (a - 1 + b - 1) * std::sqrt(0.25 + 0.25 * s * s);
  const double corners = 8 * 0.125 * std::sqrt(2 * s * s + 1);
  return faces + zEdges + flatEdges + corners;
}

TEST(MeshSurfaceTest, MarchingCubesMeasuresABoxExactlyAndSpacingStretchesIt) {
  for (const int spacing : {1, 2, 3}) {
    const ModelResult box = BuildBox(20, 30, 40, spacing);
    ASSERT_TRUE(box.mesh.has_value());
    EXPECT_NEAR(box.mesh->marchingCubes, MarchingCubesBoxArea(20, 30, 40, spacing), 1e-9) << spacing;
  }
}

TEST(MeshSurfaceTest, WeightedBoxOfTwiceTheSpacingIsTheBoxOfTwiceTheLayers) {
  const double stretched = BuildBox(20, 30, 20, 2).mesh->weighted;
  const double doubled = BuildBox(20, 30, 40, 1).mesh->weighted;
  EXPECT_NEAR(stretched, doubled, 0.01 * doubled);
  // Planes along the grid weigh 0.927 per face and edges less than their bevel: a box reads
  // about 9 % low.
  const double trueArea = 2.0 * (20 * 30 + 20 * 40 + 30 * 40);
  EXPECT_NEAR(doubled, 0.91 * trueArea, 0.01 * trueArea);
}

TEST(MeshSurfaceTest, WeightedSpheresAreWithinThreePercentOfTheirArea) {
  for (const int radius : {20, 40}) {
    const ModelResult sphere = BuildSphere(radius);
    const double area = 4 * kPi * radius * radius;
    EXPECT_NEAR(sphere.mesh->weighted, area, 0.03 * area) << radius;
    // Marching cubes keeps part of the staircase: about 1.09 times the area.
    EXPECT_NEAR(sphere.mesh->marchingCubes / area, 1.09, 0.02) << radius;
  }
}

TEST(MeshSurfaceTest, VoxelFaceResultsStayAsTheyAreWithTheMeshSurfaces) {
  const ModelResult plain = BuildSphere(10, false);
  const ModelResult mesh = BuildSphere(10, true);
  EXPECT_FALSE(plain.mesh.has_value());
  EXPECT_EQ(mesh.volume, plain.volume);
  EXPECT_EQ(mesh.surface, plain.surface);
  ASSERT_EQ(mesh.text.compare(0, plain.text.size(), plain.text), 0) << mesh.text;
  EXPECT_NE(mesh.text.find("Total Surface (marching cubes) :"), std::string::npos) << mesh.text;
  EXPECT_NE(mesh.text.find("Surface/Volume (weighted) :"), std::string::npos) << mesh.text;
}

TEST(MeshSurfaceTest, OneVoxelAndNoVoxel) {
  const ModelResult one = BuildShape(3, 3, 3, 1, true, [](int x, int y, int k) { return x == 1 && y == 1 && k == 1; });
  EXPECT_NEAR(one.mesh->marchingCubes, std::sqrt(3.0), 1e-12);  // eight corner triangles
  EXPECT_NEAR(one.mesh->weighted, 8 * 0.6380, 1e-12);
  const ModelResult none = BuildShape(3, 3, 3, 1, true, [](int, int, int) { return false; });
  EXPECT_EQ(none.mesh->marchingCubes, 0.0);
  EXPECT_NE(none.text.find("Surface/Volume (weighted) :   0.0000 pixels-1"), std::string::npos) << none.text;
}

// Configurations counted cube by cube over the whole padded volume.
std::array<std::int64_t, 256> CountDirectly(const std::vector<std::vector<std::uint8_t>>& layers, int width,
                                            int height) {
  const auto at = [&](int x, int y, int z) {
    if (x < 0 || y < 0 || z < 0 || x >= width || y >= height || z >= static_cast<int>(layers.size())) return 0;
    return int{layers[z][static_cast<std::size_t>(y) * width + x]};
  };
  std::array<std::int64_t, 256> counts{};
  for (int z = -1; z < static_cast<int>(layers.size()); ++z)
    for (int y = -1; y < height; ++y)
      for (int x = -1; x < width; ++x) {
        int code = 0;
        for (int corner = 0; corner < 8; ++corner)
          code |= at(x + (corner & 1), y + (corner >> 1 & 1), z + (corner >> 2 & 1)) << corner;
        if (code != 0 && code != 255) ++counts[code];
      }
  return counts;
}

TEST(MeshSurfaceTest, HistogramOfLayersEqualsTheCubesCountedOneByOne) {
  std::mt19937 random(7);
  for (const int width : {1, 2, 63, 64, 65, 128, 130}) {
    const int height = 1 + static_cast<int>(random() % 6), depth = 1 + static_cast<int>(random() % 4);
    std::vector<std::vector<std::uint8_t>> layers(depth, std::vector<std::uint8_t>(width * height));
    ConfigurationHistogram histogram(width, height);
    for (auto& layer : layers) {
      VoxelPlane plane(width, height);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          if ((layer[y * width + x] = random() % 3 == 0)) plane.Row(y)[x / 64] |= std::uint64_t{1} << (x % 64);
      histogram.AddLayer(plane);
    }
    histogram.Finish();
    EXPECT_EQ(histogram.Counts(), CountDirectly(layers, width, height)) << width << " x " << height;
  }
}

}  // namespace
}  // namespace orvel::analysis
