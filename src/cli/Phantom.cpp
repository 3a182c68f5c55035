#include "cli/Phantom.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>

#include "image/BmpFile.h"
#include "image/ScannerTiff.h"

namespace orvel::cli {

namespace {

constexpr std::uint8_t kBackground = 20, kMaterial = 170, kPore = 50, kParticle = 215;

// Mild, repeatable noise: a small hash of the voxel position, -6..+6 grey levels.
int Noise(int x, int y, int z) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u ^
                    static_cast<std::uint32_t>(z) * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return static_cast<int>(h % 13) - 6;
}

void MakeGreyImage(int width, int height, std::int32_t pixelsPerMetre, SliceImage& image) {
  image.Create(width, height, 8, false);
  image.FillGreyColourTable();
  const std::uint8_t* table = image.GetColourTable();
  image.SetOriginalColours(std::vector<std::uint8_t>(table, table + 1024));
  image.SetXPelsPerMeter(pixelsPerMetre);
  image.SetYPelsPerMeter(pixelsPerMetre);
}

bool SaveSlice(const SliceImage& image, const std::string& path, const PhantomOptions& o) {
  if (o.format == "tif") return WriteScannerTiff(image, path);
  if (o.format == "jpg") return image.WriteJpeg(path, o.quality);
  return SaveBmpFile(image, path);
}

// The side view: each column's mean grey value over the picture rows.
void ProjectSlice(const SliceImage& slice, std::vector<std::uint8_t>& row) {
  const int width = slice.GetWidth(), height = slice.GetHeight();
  std::vector<std::uint32_t> sums(static_cast<std::size_t>(width), 0);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* pixels = slice.GetStorageRow(y);
    for (int x = 0; x < width; ++x) sums[x] += pixels[x];
  }
  row.resize(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x) row[x] = static_cast<std::uint8_t>(sums[x] / static_cast<std::uint32_t>(height));
}

}  // namespace

PhantomSpecimen::PhantomSpecimen(const PhantomOptions& options) : m_options(options) {
  std::mt19937 random(options.seed);
  const double side = std::min(options.width, options.height);
  const double radius = 0.38 * side, depth = (options.slices - 1.0) * options.step + 1.0;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  // Pores, small ones far more often than large ones, until they take about 12 % of the material.
  const double poreVolume = 0.12 * 3.14159 * radius * radius * depth;
  for (double volume = 0; volume < poreVolume;) {
    const double r = 1.0 + std::pow(unit(random), 3.0) * 0.05 * side;
    const double angle = 6.283185307 * unit(random), distance = std::sqrt(unit(random)) * (radius - r);
    m_spheres.push_back({options.width / 2.0 + distance * std::cos(angle),
                         options.height / 2.0 + distance * std::sin(angle), unit(random) * depth, r, kPore});
    volume += 4.18879 * r * r * r;
  }
  for (int i = 0; i < 4; ++i) {  // loose particles in the corners, outside the cylinder
    const double r = 0.03 * side + 1.0;
    const double x = (i % 2 == 0 ? 0.08 : 0.92) * options.width, y = (i < 2 ? 0.08 : 0.92) * options.height;
    m_spheres.push_back({x, y, depth * (0.2 + 0.2 * i), r + 0.5 * r * i / 4.0, kParticle});
  }
}

void PhantomSpecimen::DrawSphereSection(const Sphere& sphere, int z, SliceImage& image) const {
  const double dz = z - sphere.z;
  const double r2 = sphere.radius * sphere.radius - dz * dz;
  if (r2 <= 0) return;
  const double r = std::sqrt(r2);
  const int height = image.GetHeight(), width = image.GetWidth();
  for (int y = std::max(0, static_cast<int>(sphere.y - r)); y <= std::min(height - 1, static_cast<int>(sphere.y + r));
       ++y) {
    const double dy = y - sphere.y;
    if (dy * dy > r2) continue;
    const double half = std::sqrt(r2 - dy * dy);
    const int x0 = std::max(0, static_cast<int>(std::ceil(sphere.x - half)));
    const int x1 = std::min(width - 1, static_cast<int>(sphere.x + half));
    for (int x = x0; x <= x1; ++x) image.SetPixel(x, height - 1 - y, sphere.value);
  }
}

void PhantomSpecimen::RenderSlice(int z, SliceImage& image) const {
  const int width = m_options.width, height = m_options.height;
  MakeGreyImage(width, height, m_options.pixelsPerMetre, image);
  const double cx = width / 2.0, cy = height / 2.0, radius = 0.38 * std::min(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool inside = (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
      image.SetPixel(x, height - 1 - y, inside ? kMaterial : kBackground);
    }
  for (const Sphere& sphere : m_spheres) DrawSphereSection(sphere, z, image);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int value = image.GetPixel(x, y) + Noise(x, y, z);
      image.SetPixel(x, y, static_cast<std::uint8_t>(std::clamp(value, 0, 255)));
    }
}

bool WritePhantom(const PhantomOptions& options, std::string& error) {
  std::error_code ignored;
  std::filesystem::create_directories(options.outputDirectory, ignored);
  const PhantomSpecimen specimen(options);
  const int previewRows = (options.slices - 1) * options.step + 1;
  SliceImage slice, preview;
  MakeGreyImage(options.width, previewRows, options.pixelsPerMetre, preview);
  std::vector<std::uint8_t> projection;
  for (int k = 0; k < options.slices; ++k) {
    const int number = k * options.step;
    specimen.RenderSlice(number, slice);
    char name[32];
    std::snprintf(name, sizeof name, "/phantom%04d.", number);
    const std::string path = options.outputDirectory + name + options.format;
    if (!SaveSlice(slice, path, options)) {
      error = "cannot write " + path;
      return false;
    }
    ProjectSlice(slice, projection);
    for (int row = number; row < std::min(number + options.step, previewRows); ++row)
      for (int x = 0; x < options.width; ++x) preview.SetPixel(x, row, projection[x]);
  }
  const std::string previewPath = options.outputDirectory + "/phantom_SPR." + options.format;
  if (!SaveSlice(preview, previewPath, options)) {
    error = "cannot write " + previewPath;
    return false;
  }
  return true;
}

}  // namespace orvel::cli
