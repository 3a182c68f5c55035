// Decoding speed of our decoder against libjpeg-turbo (linked into the benchmarks only, as the
// yardstick) on 8-bit grey CT-like slices at quality 75 and 95, both decoding the same streams
// (written by libjpeg-turbo) from memory into bottom-up rows. Each run prints megapixels per
// second; the end adds the ratio of our processor time to libjpeg-turbo's (the goal is at most 1.5;
// processor time, because the machine is shared and wall time counts the waits for other work).
#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "jpeg/JpegCodec.h"
#include "jpeg/JpegCpu.h"
#include "CtSlice.h"

namespace {

using orvel::jpeg::JpegCodec;
using orvel::jpeg::JpegProperties;

// The stream of the slice of this size at this quality, written by libjpeg-turbo.
const std::vector<std::uint8_t>& Stream(int size, int quality) {
  static std::map<std::pair<int, int>, std::vector<std::uint8_t>> cache;
  std::vector<std::uint8_t>& stream = cache[{size, quality}];
  if (!stream.empty()) return stream;
  const std::vector<std::uint8_t> slice = MakeCtSlice(size);
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long jpegSize = 0;
  tjCompress2(handle, slice.data(), size, size, size, TJPF_GRAY, &jpeg, &jpegSize, TJSAMP_GRAY, quality, 0);
  stream.assign(jpeg, jpeg + jpegSize);
  tjFree(jpeg);
  tjDestroy(handle);
  return stream;
}

void SetCounters(benchmark::State& state, int size, std::size_t streamBytes) {
  state.counters["MP/s"] =
      benchmark::Counter(static_cast<double>(size) * size * 1e-6 * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["bytes"] = static_cast<double>(streamBytes);
}

// Points the codec's variant override at a temporary file while a run forces a variant.
class ForcedVariant {
 public:
  explicit ForcedVariant(int useCpu) {
    char pattern[] = "/tmp/orvel-bench-XXXXXX";
    const int descriptor = mkstemp(pattern);
    close(descriptor);
    m_path = pattern;
    std::ofstream(m_path) << "[JpegCodec]\nUSECPU=" << useCpu << "\n";
    orvel::jpeg::SetSystemIniPath(m_path);
  }
  ~ForcedVariant() {
    orvel::jpeg::SetSystemIniPath("");
    unlink(m_path.c_str());
  }

 private:
  std::string m_path;
};

void OrvelDecode(benchmark::State& state, int useCpu) {
  const int size = static_cast<int>(state.range(0)), quality = static_cast<int>(state.range(1));
  const std::vector<std::uint8_t>& stream = Stream(size, quality);
  std::vector<std::uint8_t> bitmap(static_cast<std::size_t>(size) * size);
  const ForcedVariant forced(useCpu);
  for (auto _ : state) {
    // The whole call sequence of a slice read: zeroed record, Init, parameters, image, Free.
    JpegProperties record{};
    JpegCodec::Init(record);
    record.jpegBuffer = stream.data();
    record.jpegBufferSize = static_cast<std::int32_t>(stream.size());
    int status = JpegCodec::Read(record, orvel::jpeg::kReadBufferParameters);
    record.bitmapPixels = bitmap.data();
    record.bitmapWidth = size;
    record.bitmapHeight = -size;
    record.bitmapChannels = 1;
    record.bitmapColour = 4;
    if (status == 0) status = JpegCodec::Read(record, orvel::jpeg::kReadBufferImage);
    JpegCodec::Free(record);
    if (status != 0) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(bitmap.data());
  }
  SetCounters(state, size, stream.size());
}

// USECPU 7 is outside 0..6: the processor's best variant.
void BM_OrvelDecode(benchmark::State& state) { OrvelDecode(state, 7); }
void BM_OrvelDecodeSse2(benchmark::State& state) { OrvelDecode(state, 5); }
void BM_OrvelDecodeScalar(benchmark::State& state) { OrvelDecode(state, 0); }

void BM_TurboDecode(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0)), quality = static_cast<int>(state.range(1));
  const std::vector<std::uint8_t>& stream = Stream(size, quality);
  std::vector<std::uint8_t> bitmap(static_cast<std::size_t>(size) * size);
  tjhandle handle = tjInitDecompress();
  for (auto _ : state) {
    if (tjDecompress2(handle, stream.data(), stream.size(), bitmap.data(), size, size, size, TJPF_GRAY,
                      TJFLAG_BOTTOMUP) != 0)
      state.SkipWithError(tjGetErrorStr2(handle));
    benchmark::DoNotOptimize(bitmap.data());
  }
  tjDestroy(handle);
  SetCounters(state, size, stream.size());
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
  for (int size : {1024, 2048})
    for (int quality : {75, 95}) benchmark->Args({size, quality});
  benchmark->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_OrvelDecode)->Apply(Sizes);
BENCHMARK(BM_OrvelDecodeSse2)->Apply(Sizes);
BENCHMARK(BM_OrvelDecodeScalar)->Apply(Sizes);
BENCHMARK(BM_TurboDecode)->Apply(Sizes);

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
    std::printf("\nratio of our decode time to libjpeg-turbo's (goal <= 1.5):\n");
    const std::string turbo = "BM_TurboDecode";
    for (const auto& [name, seconds] : m_seconds) {
      if (name.compare(0, turbo.size(), turbo) != 0) continue;
      const std::string args = name.substr(turbo.size());
      for (const char* ours : {"BM_OrvelDecode", "BM_OrvelDecodeSse2", "BM_OrvelDecodeScalar"}) {
        const auto found = m_seconds.find(ours + args);
        if (found != m_seconds.end()) std::printf("  %-22s %-10s %.2f\n", ours, args.c_str(), found->second / seconds);
      }
    }
  }

 private:
  std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
