#include "analysis/Model3DText.h"

#include "analysis/ResultText.h"

namespace orvel::analysis {

namespace {
// The decimal value of pi the volume fraction of the ellipse uses.
constexpr double kEllipsePi = 3.1415926535898;

// Volumes and areas up to 10 (cubic or square millimetres) print with five decimals.
constexpr double kSmallMeasure = 10.0;

void AppendVolume(std::string& text, std::int64_t volume, double ps) {
  if (ps == 0.0) {
    AppendFormatted(text, "Total Volume : %8lld cub.pixels\r\n", static_cast<long long>(volume));
    return;
  }
  const double vol = static_cast<double>(volume) * ps * ps * ps;
  if (vol > kSmallMeasure) AppendFormatted(text, "Total Volume : %8.1lf cub.mm\r\n", vol);
  else AppendFormatted(text, "Total Volume : %2.5lf cub.mm\r\n", vol);
}

void AppendSurface(std::string& text, std::int64_t surface, double ps) {
  if (ps == 0.0) {
    AppendFormatted(text, "Total Surface : %8lld sq.pixels\r\n", static_cast<long long>(surface));
    return;
  }
  const double area = ps * static_cast<double>(surface) * ps;
  if (area > kSmallMeasure) AppendFormatted(text, "Total Surface : %8.1lf sq.mm\r\n", area);
  else AppendFormatted(text, "Total Surface : %2.5lf sq.mm\r\n", area);
}

void AppendSurfaceToVolume(std::string& text, std::int64_t surface, std::int64_t volume, double ps) {
  const double ratio = volume == 0 ? 0.0 : static_cast<double>(surface) / static_cast<double>(volume);
  if (ps == 0.0) AppendFormatted(text, "Surface/Volume: %6lld pixels-1\r\n", static_cast<long long>(ratio));
  else AppendFormatted(text, "Surface/Volume : %7.1lf mm-1\r\n", ratio / ps);
}

}  // namespace

std::string ModelCreationText(std::int64_t modelSize) {
  std::string text = "3D-model creation\r\n";
  AppendFormatted(text, "modelsize %lld voxels\r\n", static_cast<long long>(modelSize));
  return text;
}

std::string ModelLayerText(int layer, int layers) {
  std::string text;
  AppendFormatted(text, "layer %d of %d\r\n", layer, layers);
  return text;
}

double VolumeFractionPercent(std::int64_t volume, AreaShape shape, std::int64_t width, std::int64_t height, int layers,
                             int spacing) {
  double divisor = 0.0;
  if (shape == AreaShape::kEllipse) {
    const std::int64_t a = width / 2, b = height / 2;
    divisor = static_cast<double>(a) * kEllipsePi * static_cast<double>(b) * layers * spacing;
  } else {
    divisor = static_cast<double>(width * height * layers * spacing);
  }
  return divisor == 0.0 ? 0.0 : static_cast<double>(volume) / divisor * 100;
}

void AppendModelAnalysis(std::string& text, const ModelFigures& figures) {
  text += "3D-model analysis\r\n";
  AppendVolume(text, figures.volume, figures.pixelSizeMm);
  AppendFormatted(text, "Volume Fraction : %3.1f %%\r\n", figures.volumeFractionPercent);
  AppendSurface(text, figures.surface, figures.pixelSizeMm);
  AppendSurfaceToVolume(text, figures.surface, figures.volume, figures.pixelSizeMm);
}

void AppendMeshSurfaceLines(std::string& text, const char* method, double area, const ModelFigures& figures) {
  const double ps = figures.pixelSizeMm;
  const double ratio = figures.volume == 0 ? 0.0 : area / static_cast<double>(figures.volume);
  if (ps == 0.0) {
    AppendFormatted(text, "Total Surface (%s) : %10.1lf sq.pixels\r\n", method, area);
    AppendFormatted(text, "Surface/Volume (%s) : %8.4lf pixels-1\r\n", method, ratio);
    return;
  }
  const double mm2 = ps * area * ps;
  if (mm2 > kSmallMeasure) AppendFormatted(text, "Total Surface (%s) : %8.1lf sq.mm\r\n", method, mm2);
  else AppendFormatted(text, "Total Surface (%s) : %2.5lf sq.mm\r\n", method, mm2);
  AppendFormatted(text, "Surface/Volume (%s) : %7.3lf mm-1\r\n", method, ratio / ps);
}

}  // namespace orvel::analysis
