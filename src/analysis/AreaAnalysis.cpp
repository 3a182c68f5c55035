#include "analysis/AreaAnalysis.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>

#include "analysis/ObjectLabelling.h"
#include "analysis/ResultText.h"

namespace orvel::analysis {
namespace {

// Two different values of pi, as the results have always used them: the relative area of an
// ellipse takes the long one, equivalent diameters (size classes, average size) the short one.
constexpr double kEllipsePi = 3.1415926535898;
constexpr double kDiameterPi = 3.1415;

SizeClassCounts CountSizeClasses(const SelectionMask& mask, std::int64_t& objects) {
  const RunLabelling labelling = LabelRuns(mask.cells.data(), mask.width, mask.height);
  ObjectAreaCollector collector;
  CollectObjects(labelling, collector);
  SizeClassCounts counts{};
  for (const std::int64_t area : collector.areas) ++counts[SizeClassOf(area)];
  objects = labelling.objectCount;
  return counts;
}

double RelativeAreaPercent(const SelectionBox& box, AreaShape shape, std::int64_t selected) {
  const double hundredfold = static_cast<double>(selected * 100);
  if (shape == AreaShape::kEllipse) {
    // Against the inscribed ellipse; a box under 2 pixels wide or high has none (and selects
    // nothing), so its relative area is 0.
    const std::int64_t halfW = box.Width() / 2, halfH = box.Height() / 2;
    if (halfW == 0 || halfH == 0) return 0.0;
    return hundredfold / (static_cast<double>(halfH * halfW) * kEllipsePi);
  }
  const std::int64_t boxArea = std::max<std::int64_t>(box.Width() * box.Height(), 1);
  return hundredfold / static_cast<double>(boxArea);
}

void AppendAreaLines(const AreaMeasurement& m, const AreaRequest& request, std::string& text) {
  const double ps = request.pixelSizeMm;
  if (ps == 0) AppendFormatted(text, "Total Area: %" PRId64 " sq.pixels\r\n", m.selected);
  else AppendFormatted(text, "Total Area: %8.5lf sq.mm\r\n", ps * static_cast<double>(m.selected) * ps);
  AppendFormatted(text, "Relative Area: %3.1f%%\r\n", m.relativeAreaPercent);
  if (m.objects < 1) {
    text += "Average Object Size: unknown\r\n";
  } else {
    // The diameter of the circle whose area is the mean object area.
    const double diameter =
        std::sqrt(static_cast<double>(m.selected * 4) / static_cast<double>(m.objects) / kDiameterPi);
    if (ps == 0) AppendFormatted(text, "Average Object Size: %4.1lf pixels\r\n", diameter);
    else AppendFormatted(text, "Average Object Size: %3.3lf mm\r\n", diameter * ps);
  }
  AppendFormatted(text, "Number of Objects: %" PRId64 "\r\n", m.objects);
}

}  // namespace

int SizeClassOf(std::int64_t cells) {
  const double diameter = std::sqrt(static_cast<double>(cells * 4) / kDiameterPi);
  const int sizeClass = static_cast<int>(std::log(diameter) / std::log(2.0));
  // A mask of at most 2^30 cells reaches class 15; the bound only guards the counters.
  return std::clamp(sizeClass, 0, kSizeClassCount - 1);
}

AreaMeasurement MeasureArea(const SliceImage& slice, const AreaRequest& request) {
  const SelectionBox box = SelectionBox::FromPoints(request.start, request.stop);
  const SelectionMask mask = BuildSelectionMask(slice, box, request.shape, request.window, request.invert);
  AreaMeasurement result;
  result.selected = mask.selected;
  result.boxArea = box.Width() * box.Height();
  result.relativeAreaPercent = RelativeAreaPercent(box, request.shape, result.selected);
  result.sizeClassCounts = CountSizeClasses(mask, result.objects);
  AppendAreaLines(result, request, result.text);
  return result;
}

std::array<SizeBar, kDrawnSizeClasses> SizeDistributionBars(const SizeClassCounts& counts, int graphWidth,
                                                            int graphHeight) {
  const std::int64_t largest = std::max<std::int64_t>(*std::max_element(counts.begin(), counts.end()), 1);
  const float barWidth = static_cast<float>(graphWidth) / 12.0f;  // single precision, as drawn
  std::array<SizeBar, kDrawnSizeClasses> bars{};
  for (int k = 0; k < kDrawnSizeClasses; ++k) {
    // Row t (0 = bottom) is drawn while counter * height >= largest * t.
    const std::int64_t rows = graphHeight < 1 ? 0 : counts[k] * graphHeight / largest + 1;
    bars[k] = {static_cast<int>(static_cast<float>(k) * barWidth),
               static_cast<int>(static_cast<float>(k + 1) * barWidth),
               static_cast<int>(std::min<std::int64_t>(rows, graphHeight))};
  }
  return bars;
}

}  // namespace orvel::analysis
