// The 3D model and the cut over a stack of BMP slices, against only reading and decoding the same
// files. ORVEL_STACK_DIR names a dataset directory of BMP, JPEG or TIFF slices (orvel-phantom
// OUTDIR --slices 200 --size 1024x1024 makes one); without it a synthetic stack of 200 BMP slices
// of 1024 x 1024 is written to a temporary directory first. bench/model3d_cut_memory.sh measures peak memory.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "analysis/Model3D.h"
#include "analysis/ThresholdBits.h"
#include "app/DatasetDiscovery.h"
#include "app/ImageLoader.h"
#include "cli/AnalyzeSections.h"
#include "image/BmpFile.h"

namespace {

using namespace orvel;

constexpr int kSlices = 200;
constexpr int kSize = 1024;

// Discs of material (value 180..220) with pores and mild noise, drifting from slice to slice, so
// that the model has surface everywhere rather than a few large faces.
SliceImage SyntheticSlice(int index) {
  SliceImage slice;
  slice.Create(kSize, kSize, 8, false);
  std::mt19937 random(static_cast<unsigned>(index));
  for (int y = 0; y < kSize; ++y) {
    std::uint8_t* row = slice.GetBits() + static_cast<std::size_t>(y) * slice.GetRowBytes();
    for (int x = 0; x < kSize; ++x) {
      const int cell = ((x + index) / 23 + (y / 17)) % 5;
      row[x] = static_cast<std::uint8_t>(cell == 0 ? 30 + random() % 40 : 180 + random() % 40);
    }
  }
  slice.SetXPelsPerMeter(100000);
  slice.SetYPelsPerMeter(100000);
  return slice;
}

std::string StackDirectory() {
  if (const char* dir = std::getenv("ORVEL_STACK_DIR")) return dir;
  static const std::string dir = [] {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("orvel-stack-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(path);
    for (int i = 0; i < kSlices; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/stack%04d.bmp", i);
      SaveBmpFile(SyntheticSlice(i), path + name);
    }
    std::atexit([] { std::filesystem::remove_all(StackDirectory()); });
    return path;
  }();
  return dir;
}

struct Stack {
  Dataset dataset;
  SliceImage first;
};

const Stack& BenchStack() {
  static const Stack stack = [] {
    Stack s;
    std::string firstFile;
    for (const auto& entry : std::filesystem::directory_iterator(StackDirectory()))
      if (ImageTypeFromExtension(entry.path().string()) != 0 && entry.path().string().find("_SPR") == std::string::npos)
        firstFile = entry.path().string();
    if (firstFile.empty() || OpenDatasetFromPath(firstFile, s.dataset) != DiscoveryResult::kFound ||
        LoadImageFile(s.dataset.slicePaths[0], s.first) != LoadStatus::kLoaded) {
      std::fprintf(stderr, "no dataset in %s\n", StackDirectory().c_str());
      std::exit(2);
    }
    return s;
  }();
  return stack;
}

cli::AnalyzeOptions Options(cli::SelectionTool tool, int x0, int y0, int x1, int y1) {
  cli::AnalyzeOptions options;
  options.tool = tool;
  options.points = {x0, y0, x1, y1};
  return options;
}

void RunSection(benchmark::State& state, const cli::AnalyzeOptions& options,
                cli::SectionResult (*section)(const cli::AnalyzeContext&)) {
  const Stack& stack = BenchStack();
  for (auto _ : state) {
    // As a run of orvel-analyze does: outputs written beside their targets, then moved onto them.
    cli::StagedOutputs outputs;
    const cli::AnalyzeContext context{options,
                                      stack.dataset,
                                      stack.first,
                                      0,
                                      stack.first.GetLowerLevel(),
                                      stack.first.GetUpperLevel(),
                                      0,
                                      stack.dataset.SliceCount() - 1,
                                      &outputs};
    benchmark::DoNotOptimize(section(context));
    outputs.Commit();
  }
  state.counters["slices"] = stack.dataset.SliceCount();
}

// Only reading and decoding every slice, one after the other, into one image.
void BM_ReadStack(benchmark::State& state) {
  const Stack& stack = BenchStack();
  SliceImage image;
  for (auto _ : state)
    for (const std::string& path : stack.dataset.slicePaths)
      if (LoadImageFile(path, image) != LoadStatus::kLoaded) state.SkipWithError("unreadable slice");
  state.counters["slices"] = stack.dataset.SliceCount();
}

// The whole of orvel-analyze --rectangle 0,0,W,H --3d: reading ahead, sampling, analysis.
void BM_Model3D(benchmark::State& state) {
  const SliceImage& first = BenchStack().first;
  RunSection(state, Options(cli::SelectionTool::kRectangle, 0, 0, first.GetWidth(), first.GetHeight()),
             cli::RunModelSection);
}

// orvel-analyze --rectangle 0,0,W,H --3d --sweep 10: the model and the 21 models of the window
// shifted by -10 .. +10, from one reading of the slices. Against BM_Model3D: the cost of the sweep.
void BM_Model3DSweep10(benchmark::State& state) {
  const SliceImage& first = BenchStack().first;
  cli::AnalyzeOptions options = Options(cli::SelectionTool::kRectangle, 0, 0, first.GetWidth(), first.GetHeight());
  options.sweep = 10;
  RunSection(state, options, cli::RunModelSection);
}

// orvel-analyze --rectangle 0,0,W,H --3d --surface mesh: the model with the marching-cubes and the
// weighted surfaces.
void BM_Model3DMeshSurfaces(benchmark::State& state) {
  const SliceImage& first = BenchStack().first;
  cli::AnalyzeOptions options = Options(cli::SelectionTool::kRectangle, 0, 0, first.GetWidth(), first.GetHeight());
  options.meshSurfaces = true;
  RunSection(state, options, cli::RunModelSection);
}

// The whole of orvel-analyze --line (diagonal) --cut OUT.bmp, writing included.
void BM_Cut(benchmark::State& state) {
  const SliceImage& first = BenchStack().first;
  cli::AnalyzeOptions options = Options(cli::SelectionTool::kLine, 0, 0, first.GetWidth() - 1, first.GetHeight() - 1);
  const std::string out =
      (std::filesystem::temp_directory_path() / ("orvel-cut-" + std::to_string(getpid()) + ".bmp")).string();
  options.cutPath = out;
  RunSection(state, options, cli::RunCutSection);
  std::filesystem::remove(out);
}

// Only saving an image of the cut's size (the diagonal of the slice by the stack's slices), to
// tell the writing (with its sync to disk) apart from the reading.
void BM_SaveCutSizedImage(benchmark::State& state) {
  const Stack& stack = BenchStack();
  SliceImage image;
  image.Create(static_cast<int>(std::hypot(stack.first.GetWidth() - 1, stack.first.GetHeight() - 1)),
               stack.dataset.SliceCount(), 8, false);
  const std::string out =
      (std::filesystem::temp_directory_path() / ("orvel-save-" + std::to_string(getpid()) + ".bmp")).string();
  for (auto _ : state) SaveBmpFile(image, out);
  std::filesystem::remove(out);
}

// The model's own work per slice, without any reading: the first slice sampled 200 times.
void BM_Model3DSamplingOnly(benchmark::State& state) {
  const SliceImage& first = BenchStack().first;
  analysis::ModelSettings settings;
  settings.box = {0, 0, first.GetWidth(), first.GetHeight()};
  settings.window = analysis::ThresholdWindow(first.GetLowerLevel(), first.GetUpperLevel());
  settings.layers = kSlices;
  for (auto _ : state) {
    analysis::ModelBuilder builder(settings);
    for (int k = 0; k < kSlices; ++k) builder.AddSlice(first);
    benchmark::DoNotOptimize(builder.Finish());
  }
}

template <void (*Pack)(const std::uint8_t*, std::size_t, analysis::ThresholdRange, bool, std::uint64_t*)>
void BM_ThresholdRows(benchmark::State& state) {
  const SliceImage& first = BenchStack().first;
  std::vector<std::uint64_t> words((first.GetWidth() + 63) / 64);
  for (auto _ : state)
    for (int y = 0; y < first.GetHeight(); ++y) {
      Pack(first.GetStorageRow(y), static_cast<std::size_t>(first.GetWidth()), {128, 191}, false, words.data());
      benchmark::DoNotOptimize(words.data());
    }
  state.SetItemsProcessed(state.iterations() * first.GetWidth() * first.GetHeight());
}

BENCHMARK(BM_ReadStack)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Model3D)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Model3DSweep10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Model3DMeshSurfaces)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Cut)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveCutSizedImage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Model3DSamplingOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_ThresholdRows, analysis::PackThresholdBitsScalar)->Unit(benchmark::kMicrosecond);
#if defined(ORVEL_HAVE_X86_THRESHOLD)
BENCHMARK_TEMPLATE(BM_ThresholdRows, analysis::PackThresholdBitsSse2)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_ThresholdRows, analysis::PackThresholdBitsAvx2)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

BENCHMARK_MAIN();
