// Area analysis of a 1024 x 1024 box: the labelling alone on a precomputed mask (the work that
// OpenCV's connectedComponentsWithStats does) and the whole area block from the slice (threshold,
// labelling, size classes, text). Run through bench/area_vs_opencv.py, which writes the slice,
// passes its path in ORVEL_AREA_BENCH_SLICE and times OpenCV on the same mask.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "analysis/AreaAnalysis.h"
#include "analysis/ObjectLabelling.h"
#include "app/ImageLoader.h"

namespace {

using namespace orvel;
using namespace orvel::analysis;

// The slice holds 0 (background) and 200 (objects); the window [128, 255] selects the objects.
constexpr ThresholdRange kObjects{128, 255};

const SliceImage& BenchSlice() {
  static const SliceImage slice = [] {
    SliceImage image;
    const char* path = std::getenv("ORVEL_AREA_BENCH_SLICE");
    if (!path || LoadImageFile(path, image) != LoadStatus::kLoaded) {
      std::fprintf(stderr, "set ORVEL_AREA_BENCH_SLICE to an 8-bit BMP (bench/area_vs_opencv.py does)\n");
      std::exit(2);
    }
    return image;
  }();
  return slice;
}

AreaRequest WholeSlice(const SliceImage& slice) {
  AreaRequest request;
  request.start = {0, 0};
  request.stop = {slice.GetWidth(), slice.GetHeight()};
  request.shape = AreaShape::kRectangle;
  request.window = kObjects;
  return request;
}

void BM_LabelMask(benchmark::State& state) {
  const SliceImage& slice = BenchSlice();
  const AreaRequest request = WholeSlice(slice);
  const SelectionMask mask = BuildSelectionMask(slice, SelectionBox::FromPoints(request.start, request.stop),
                                                request.shape, request.window, false);
  std::int64_t objects = 0;
  for (auto _ : state) {
    const RunLabelling labelling = LabelRuns(mask.cells.data(), mask.width, mask.height);
    ObjectAreaCollector collector;
    CollectObjects(labelling, collector);
    SizeClassCounts counts{};
    for (const std::int64_t area : collector.areas) ++counts[SizeClassOf(area)];
    benchmark::DoNotOptimize(counts);
    objects = labelling.objectCount;
  }
  state.counters["objects"] = static_cast<double>(objects);
  state.counters["fill"] = static_cast<double>(mask.selected) / static_cast<double>(mask.cells.size());
}
BENCHMARK(BM_LabelMask)->Unit(benchmark::kMillisecond);

void BM_MeasureArea(benchmark::State& state) {
  const SliceImage& slice = BenchSlice();
  const AreaRequest request = WholeSlice(slice);
  for (auto _ : state) benchmark::DoNotOptimize(MeasureArea(slice, request));
}
BENCHMARK(BM_MeasureArea)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
