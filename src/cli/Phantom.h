#pragma once
// A synthetic micro-CT dataset for demos, tests and benchmarks: a cylinder of material with
// spherical pores and a few loose particles beside it, with mild noise, one 8-bit slice per
// number, and a side-view preview whose row r (counted from the bottom) shows slice number r.
#include <cstdint>
#include <string>
#include <vector>

#include "image/SliceImage.h"

namespace orvel::cli {

struct PhantomOptions {
  std::string outputDirectory;
  std::string format = "bmp";  // bmp, tif or jpg
  int slices = 64;
  int width = 256, height = 256;
  int step = 1;                          // slice numbers 0, step, 2 step, ...
  std::int32_t pixelsPerMetre = 100000;  // 10 micrometre pixels
  int quality = 90;                      // JPEG output
  std::uint32_t seed = 1;
};

// Writes the dataset; false with error when a file could not be written.
bool WritePhantom(const PhantomOptions& options, std::string& error);

// One slice of the specimen at plane z (voxel planes, the slice number), 8-bit grey.
class PhantomSpecimen {
 public:
  explicit PhantomSpecimen(const PhantomOptions& options);
  void RenderSlice(int z, SliceImage& image) const;

 private:
  struct Sphere {
    double x, y, z, radius;
    std::uint8_t value;
  };
  void DrawSphereSection(const Sphere& sphere, int z, SliceImage& image) const;

  PhantomOptions m_options;
  std::vector<Sphere> m_spheres;  // pores and loose particles
};

}  // namespace orvel::cli
