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
std::vector<SliceImage> Stack(int width, int height, int layers, const std::function<bool(int, int, int)>& solid) {
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

ModelSettings Box(int width, int height, int layers, int spacing = 1, AreaShape shape = AreaShape::kRectangle) {
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

bool Everywhere(int, int, int) { return true; }

// Slices of value 200 that cover 4 x 4 pixels, and a slice of 24 bits whose bytes are all 200.
std::vector<SliceImage> SolidFourByFour(int layers) { return Stack(4, 4, layers, Everywhere); }
SliceImage ColourSlice() {
  SliceImage colour;
  colour.Create(4, 4, 24, false);
  std::fill(colour.GetBits(), colour.GetBits() + colour.GetImageBytes(), std::uint8_t{200});
  return colour;
}

ModelSettings WithWindow(ModelSettings settings, ThresholdRange window) {
  settings.window = window;
  return settings;
}

// Shapes whose volume, surface and model size (in voxels and faces) are counted by hand; a
// figure of -1 is not checked for that shape.
struct Shape {
  const char* what;
  std::vector<SliceImage> slices;
  ModelSettings settings;
  std::int64_t volume, surface, modelSize;
};

std::vector<Shape> CountedShapes() {
  std::vector<Shape> shapes = {
      // Corners add 3 each (8), edge middles 2 (12), face centres 1 (6), the centre 0: 54 faces.
      {"solid cube of three", Stack(7, 7, 7, [](int x, int y, int k) { return InCube(x, y, k, 2, 4); }), Box(7, 7, 7),
       27, 54, 7 * 7 * 8},
      {"isolated voxel", Stack(5, 5, 3, [](int x, int y, int k) { return x == 2 && y == 2 && k == 1; }), Box(5, 5, 3),
       1, 1, -1},
      // A 5-cube without its 3-cube core: 98 voxels; corners 3, edge voxels 2, face voxels 1
      // (their inward neighbour is the cavity): 8 x 3 + 36 x 2 + 54 x 1 = 150 = 6 x 25.
      {"hollow shell counts its outer faces only",
       Stack(9, 9, 9, [](int x, int y, int k) { return InCube(x, y, k, 2, 6) && !InCube(x, y, k, 3, 5); }),
       Box(9, 9, 9), 98, 150, -1},
      {"voxels in the border count for the volume, never for the surface",
       Stack(6, 6, 4,
             [](int x, int y, int k) {
               return (k == 0 && x == 3 && y == 3) || (x == 0 && y == 2) || (k == 3 && x == 2 && y == 2);
             }),
       Box(6, 6, 4), 1 + 4 + 1, 0, -1},
      {"spacing 2 of 10 layers: 22 planes, the last block empty", Stack(4, 4, 10, Everywhere), Box(4, 4, 10, 2),
       16 * 20, -1, 16 * 22},
      {"spacing 0 taken as 1", SolidFourByFour(2), Box(4, 4, 2, 0), 32, -1, 16 * 3},
      {"spacing -3 taken as 1", SolidFourByFour(2), Box(4, 4, 2, -3), 32, -1, 16 * 3},
      // Fewer than three voxels across give no surface.
      {"2 pixels wide", Stack(9, 9, 9, Everywhere), Box(2, 9, 9), -1, 0, -1},
      {"2 pixels high", Stack(9, 9, 9, Everywhere), Box(9, 2, 9), -1, 0, -1},
      {"2 planes deep", Stack(9, 9, 2, Everywhere), Box(9, 9, 2), 162, 0, -1},
      {"one slice gives a model of one layer", Stack(8, 8, 1, Everywhere), Box(8, 8, 1), 64, 0, 64 * 2},
      // Box 4 x 4: a = b = 2 about (2, 2); rows dy = 0, +-1, 2 admit 4, 3 + 3 and 1 columns.
      {"ellipse admits the voxels of the inscribed ellipse", SolidFourByFour(2), Box(4, 4, 2, 1, AreaShape::kEllipse),
       11 * 2, -1, -1},
      // A box of 6 x 6 over slices of 4 x 4: with the window {0, 100} only the pixels outside
      // the slice (read as 0) are set.
      {"pixels outside a smaller slice read as zero", SolidFourByFour(2), WithWindow(Box(6, 6, 2), {0, 100}),
       (36 - 16) * 2, -1, -1},
      {"a slice of other than 8 bits reads as zero", {ColourSlice()}, Box(4, 4, 1), 0, -1, -1},
      {"a slice of other than 8 bits reads as zero, window {0, 10}",
       {ColourSlice()},
       WithWindow(Box(4, 4, 1), {0, 10}),
       16,
       -1,
       -1},
  };
  Shape invert{"invert sets the voxels outside the window",
               Stack(6, 6, 3, [](int x, int, int) { return x < 2; }),
               Box(6, 6, 3),
               4 * 6 * 3,
               -1,
               -1};
  invert.settings.invert = true;
  shapes.push_back(std::move(invert));
  Shape outside{"a box sticking out to the top left of a smaller slice",
                SolidFourByFour(2),
                WithWindow(Box(6, 6, 2), {0, 100}),
                (36 - 16) * 2,
                -1,
                -1};
  outside.settings.box = {-2, -2, 4, 4};
  shapes.push_back(std::move(outside));
  // One voxel on slice 1 of 3 becomes a column of s voxels: its ends touch one neighbour, its
  // middle voxels two, so each adds 1 and the surface equals s.
  for (const int spacing : {1, 2, 3, 5, 8})
    shapes.push_back({"spacing repeats each slice over its planes", shapes[1].slices, Box(5, 5, 3, spacing), spacing,
                      spacing, 25 * 4 * spacing});
  return shapes;
}

TEST(Model3DTest, ShapesCountedByHand) {
  for (const Shape& shape : CountedShapes()) {
    const ModelResult result = BuildModel(shape.settings, shape.slices);
    const std::string row = std::string(shape.what) + ", spacing " + std::to_string(shape.settings.spacing);
    if (shape.volume >= 0) {
      EXPECT_EQ(result.volume, shape.volume) << row;
    }
    if (shape.surface >= 0) {
      EXPECT_EQ(result.surface, shape.surface) << row;
    }
    if (shape.modelSize >= 0) {
      EXPECT_EQ(result.modelSize, shape.modelSize) << row;
    }
  }
}

TEST(Model3DTest, ResultTexts) {
  // All 5 x 5 x 5 voxels count for the volume; clearing the border leaves the 3-cube inside.
  const ModelResult filled = BuildModel(Box(5, 5, 5), Stack(5, 5, 5, Everywhere));
  EXPECT_EQ(filled.volume, 125);
  EXPECT_EQ(filled.surface, 54);
  EXPECT_EQ(filled.text,
            "3D-model creation\r\n"
            "modelsize 150 voxels\r\n"
            "3D-model analysis\r\n"
            "Total Volume :      125 cub.pixels\r\n"
            "Volume Fraction : 100.0 %\r\n"
            "Total Surface :       54 sq.pixels\r\n"
            "Surface/Volume:      0 pixels-1\r\n");
  EXPECT_NE(BuildModel(Box(4, 4, 10, 2), Stack(4, 4, 10, Everywhere)).text.find("Volume Fraction : 100.0 %\r\n"),
            std::string::npos);
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
