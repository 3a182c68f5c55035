// The marching-cubes surface of every configuration, from the triangles of one representative
// per class carried over by the cube's symmetries.
#include <cmath>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "analysis/SurfaceConfigurations.h"

namespace orvel::analysis {
namespace {

// Triangles of one configuration per class (the 20 classes with a surface; the empty and the
// full cube have none). A vertex is written as its three half-voxel coordinates "xyz"; triangles
// are separated by '|'. Faces with two diagonal set corners (0x06, 0x16, 0x3D, ...) join them.
// The surface of 0x16 (three set corners, pairwise diagonal) runs partly in the cube's faces, and
// 0x3D has a tunnel through the centre: both are what the Lewiner variant builds when the
// values sit exactly on the level, as binary values always do.
struct ClassTriangles {
  std::uint8_t configuration;
  std::string_view triangles;
};

constexpr ClassTriangles kClassTriangles[] = {
    {0x01, "010 001 100"},
    {0x03, "010 001 210|210 001 201"},
    {0x06, "010 100 021|100 201 021|210 120 021|210 021 201"},
    {0x07, "120 021 210|021 201 210|021 001 201"},
    {0x0F, "221 001 201|021 001 221"},
    {0x16,
     "021 012 001|102 001 012|001 102 201|001 201 100|210 100 201|100 210 010|"
     "120 010 210|010 120 021|010 021 001"},
    {0x17, "021 012 102|021 102 201|120 021 201|210 120 201"},
    {0x18, "221 120 210|012 102 001"},
    {0x19, "100 210 102|221 102 210|102 221 012|120 012 221|012 120 010"},
    {0x1B, "201 221 120|012 201 120|010 012 120|102 201 012"},
    {0x1E, "001 010 100|012 102 021|201 021 102|021 201 221"},
    {0x1F, "021 012 102|201 021 102|221 021 201"},
    {0x3C, "212 221 012|021 012 221|001 210 201|210 001 010"},
    {0x3D,
     "212 111 012|111 201 012|100 012 201|012 100 021|210 021 100|021 210 111|"
     "111 221 021|212 221 111|111 210 201"},
    {0x3F, "212 221 021|212 021 012"},
    {0x69, "001 102 012|120 010 021|201 100 210|221 122 212"},
    {0x6B, "120 010 021|102 012 001|122 212 221"},
    {0x6F, "212 221 122|102 012 001"},
    {0x7E, "100 001 010|212 221 122"},
    {0x7F, "122 212 221"},
};

using Triangle = std::array<HalfPoint, 3>;

std::vector<Triangle> ParseTriangles(std::string_view text) {
  std::vector<Triangle> triangles;
  std::vector<HalfPoint> points;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == ' ' || text[i] == '|') {
      ++i;
      continue;
    }
    points.push_back({text[i] - '0', text[i + 1] - '0', text[i + 2] - '0'});
    i += 3;
    if (points.size() == 3) {
      triangles.push_back({points[0], points[1], points[2]});
      points.clear();
    }
  }
  return triangles;
}

// The triangles of all 256 configurations, built once.
const std::array<std::vector<Triangle>, 256>& ConfigurationTriangles() {
  static const std::array<std::vector<Triangle>, 256> all = [] {
    std::array<std::vector<Triangle>, 256> triangles;
    std::array<bool, 256> done{};
    done[0x00] = done[0xFF] = true;
    for (const ClassTriangles& representative : kClassTriangles) {
      const std::vector<Triangle> own = ParseTriangles(representative.triangles);
      for (const CubeSymmetry& symmetry : CubeSymmetries()) {
        const std::uint8_t image = symmetry.Apply(representative.configuration);
        if (done[image]) continue;
        done[image] = true;
        for (const Triangle& t : own)
          triangles[image].push_back({symmetry.Apply(t[0]), symmetry.Apply(t[1]), symmetry.Apply(t[2])});
      }
    }
    for (const bool covered : done)
      if (!covered) throw std::logic_error("a configuration class without triangles");
    return triangles;
  }();
  return all;
}

double TriangleArea(const Triangle& t, double zSpacing) {
  // Half-voxel units to pixels; z in slices of zSpacing pixels.
  const auto position = [zSpacing](HalfPoint p) {
    return std::array<double, 3>{p.x * 0.5, p.y * 0.5, p.z * 0.5 * zSpacing};
  };
  const auto a = position(t[0]), b = position(t[1]), c = position(t[2]);
  const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  return 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
}

}  // namespace

ConfigurationTable MarchingCubesAreas(double zSpacing) {
  const auto& triangles = ConfigurationTriangles();
  ConfigurationTable areas{};
  for (int configuration = 0; configuration < 256; ++configuration)
    for (const Triangle& t : triangles[configuration]) areas[configuration] += TriangleArea(t, zSpacing);
  return areas;
}

}  // namespace orvel::analysis
