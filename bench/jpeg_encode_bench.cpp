// Encoding speed of our baseline encoder against libjpeg-turbo (linked into the benchmarks only,
// as the yardstick) on 8-bit grey CT-like slices: a smooth disc with pores and scanner noise, at
// quality 75 and 95. Each run prints megapixels per second; the end adds the ratio of our time to
// libjpeg-turbo's per image size and quality (the goal is at most 1.5). CPU time, not wall time:
// the machine is shared, and waiting for a core says nothing about either encoder.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "jpeg/JpegEncoder.h"
#include "jpeg/JpegEncoderKernels.h"
#include "CtSlice.h"

namespace {

using orvel::jpeg::CpuVariant;

// The benchmark picture of this size, made once.
const std::vector<std::uint8_t>& CtSlice(int size) {
  static std::map<int, std::vector<std::uint8_t>> cache;
  std::vector<std::uint8_t>& slice = cache[size];
  if (slice.empty()) slice = MakeCtSlice(size);
  return slice;
}

// The slice as a tinted 24-bit picture (B, G, R), for the colour path.
const std::vector<std::uint8_t>& CtSliceColour(int size) {
  static std::map<int, std::vector<std::uint8_t>> cache;
  std::vector<std::uint8_t>& pixels = cache[size];
  if (!pixels.empty()) return pixels;
  const std::vector<std::uint8_t>& grey = CtSlice(size);
  pixels.resize(grey.size() * 3);
  for (std::size_t i = 0; i < grey.size(); ++i) {
    pixels[3 * i] = grey[i];
    pixels[3 * i + 1] = static_cast<std::uint8_t>(grey[i] * 7 / 8);
    pixels[3 * i + 2] = static_cast<std::uint8_t>(grey[i] * 3 / 4 + 32);
  }
  return pixels;
}

void SetRate(benchmark::State& state, int size) {
  state.counters["MP/s"] =
      benchmark::Counter(static_cast<double>(size) * size * 1e-6 * state.iterations(), benchmark::Counter::kIsRate);
}

void OrvelEncode(benchmark::State& state, CpuVariant variant) {
  const int size = static_cast<int>(state.range(0)), quality = static_cast<int>(state.range(1));
  const std::vector<std::uint8_t>& slice = CtSlice(size);
  const orvel::jpeg::EncoderInput input = {slice.data(), size, size, size, true, 1, quality};
  std::vector<std::uint8_t> stream;
  for (auto _ : state) {
    if (orvel::jpeg::EncodeBaseline(input, stream, variant) != 0) state.SkipWithError("encode failed");
    benchmark::DoNotOptimize(stream.data());
  }
  SetRate(state, size);
  state.counters["bytes"] = static_cast<double>(stream.size());
}

void BM_OrvelEncode(benchmark::State& state) { OrvelEncode(state, CpuVariant::kAvx2); }

void BM_OrvelEncodeColour(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0)), quality = static_cast<int>(state.range(1));
  const std::vector<std::uint8_t>& pixels = CtSliceColour(size);
  const orvel::jpeg::EncoderInput input = {pixels.data(), size, size, 3 * size, true, 3, quality};
  std::vector<std::uint8_t> stream;
  for (auto _ : state) {
    if (orvel::jpeg::EncodeBaseline(input, stream) != 0) state.SkipWithError("encode failed");
    benchmark::DoNotOptimize(stream.data());
  }
  SetRate(state, size);
  state.counters["bytes"] = static_cast<double>(stream.size());
}
void BM_OrvelEncodeScalar(benchmark::State& state) { OrvelEncode(state, CpuVariant::kScalar); }

void TurboEncode(benchmark::State& state, bool colour) {
  const int size = static_cast<int>(state.range(0)), quality = static_cast<int>(state.range(1));
  const std::vector<std::uint8_t>& slice = colour ? CtSliceColour(size) : CtSlice(size);
  const int pixelFormat = colour ? TJPF_BGR : TJPF_GRAY, sampling = colour ? TJSAMP_444 : TJSAMP_GRAY;
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long jpegSize = 0;
  for (auto _ : state) {
    // Bottom-up rows like ours, so both read the same memory in the same order.
    if (tjCompress2(handle, slice.data(), size, 0, size, pixelFormat, &jpeg, &jpegSize, sampling, quality,
                    TJFLAG_BOTTOMUP) != 0)
      state.SkipWithError(tjGetErrorStr2(handle));
  }
  SetRate(state, size);
  state.counters["bytes"] = static_cast<double>(jpegSize);
  tjFree(jpeg);
  tjDestroy(handle);
}

void BM_TurboEncode(benchmark::State& state) { TurboEncode(state, false); }
void BM_TurboEncodeColour(benchmark::State& state) { TurboEncode(state, true); }

// The transform and quantisation alone (no entropy coding) over every block of the 2048 slice at
// quality 95, per variant: the share of the encode time that is not Huffman coding.
void BM_OrvelTransformOnly(benchmark::State& state) {
  const auto variant = static_cast<CpuVariant>(state.range(0));
  const int size = 2048;
  const std::vector<std::uint8_t>& slice = CtSlice(size);
  const orvel::jpeg::EncoderKernels kernels = orvel::jpeg::SelectEncoderKernels(variant);
  const orvel::jpeg::QuantDivisors divisors =
      orvel::jpeg::MakeQuantDivisors(orvel::jpeg::ScaleQuantTable(orvel::jpeg::kLuminanceQuantZigzag, 95));
  alignas(32) std::int16_t zigzag[64];
  for (auto _ : state) {
    std::uint64_t masks = 0;
    for (int y = 0; y < size; y += 8)
      for (int x = 0; x < size; x += 8)
        masks ^=
            kernels.forwardDctQuantize(slice.data() + static_cast<std::size_t>(y) * size + x, size, divisors, zigzag);
    benchmark::DoNotOptimize(masks);
  }
  SetRate(state, size);
  state.SetLabel(orvel::jpeg::CpuVariantName(orvel::jpeg::SupportedEncoderVariant(variant)));
}
BENCHMARK(BM_OrvelTransformOnly)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void Sizes(benchmark::internal::Benchmark* benchmark) {
  for (int size : {1024, 2048})
    for (int quality : {75, 95}) benchmark->Args({size, quality});
  benchmark->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_OrvelEncode)->Apply(Sizes);
BENCHMARK(BM_OrvelEncodeScalar)->Apply(Sizes);
BENCHMARK(BM_TurboEncode)->Apply(Sizes);
// Colour at full chroma resolution, as we write it: 1024 x 1024 only, to keep the run short.
BENCHMARK(BM_OrvelEncodeColour)->Args({1024, 75})->Args({1024, 95})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TurboEncodeColour)->Args({1024, 75})->Args({1024, 95})->Unit(benchmark::kMillisecond);

// Console output as usual, plus the time of every run kept for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        m_seconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    std::printf("\nratio of our time to libjpeg-turbo's (goal <= 1.5):\n");
    for (const auto& [name, seconds] : m_seconds) {
      const std::string prefix = "BM_TurboEncode";
      if (name.compare(0, prefix.size(), prefix) != 0) continue;
      const std::string args = name.substr(prefix.size());
      for (const char* ours : {"BM_OrvelEncode", "BM_OrvelEncodeScalar"}) {
        const auto found = m_seconds.find(ours + args);
        if (found != m_seconds.end()) std::printf("  %-22s %-16s %.2f\n", ours, args.c_str(), found->second / seconds);
      }
    }
  }

 private:
  std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
