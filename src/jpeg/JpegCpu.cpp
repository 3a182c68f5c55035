#include "jpeg/JpegCpu.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "platform/IniFile.h"

namespace orvel::jpeg {

namespace {

std::mutex g_pathMutex;
std::string g_systemIniPath;  // empty: kSystemIniPath

}  // namespace

CpuVariant DetectCpuVariant() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return CpuVariant::kAvx2;
  if (__builtin_cpu_supports("sse2")) return CpuVariant::kSse2;
#endif
  return CpuVariant::kScalar;
}

bool CpuVariantFromUseCpu(int useCpu, CpuVariant& variant) {
  if (useCpu < 0 || useCpu > 6) return false;
  variant = useCpu <= 2 ? CpuVariant::kScalar : (useCpu <= 5 ? CpuVariant::kSse2 : CpuVariant::kAvx2);
  return true;
}

CpuVariant SelectCpuVariant() {
  const CpuVariant best = DetectCpuVariant();
  // A missing key, text without digits (such as an empty value) and every number outside 0..6
  // leave the choice to detection: only a real setting may force the slow scalar routines.
  const std::optional<int> useCpu = platform::IniFile(SystemIniPath()).FindInt("JpegCodec", "USECPU");
  CpuVariant forced;
  if (!useCpu || !CpuVariantFromUseCpu(*useCpu, forced)) return best;
  return std::min(forced, best);
}

const char* CpuVariantName(CpuVariant variant) {
  switch (variant) {
    case CpuVariant::kScalar: return "scalar";
    case CpuVariant::kSse2: return "SSE2";
    case CpuVariant::kAvx2: return "AVX2";
  }
  return "unknown";
}

void SetSystemIniPath(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_pathMutex);
  g_systemIniPath = path;
}

std::string SystemIniPath() {
  std::lock_guard<std::mutex> lock(g_pathMutex);
  return g_systemIniPath.empty() ? kSystemIniPath : g_systemIniPath;
}

}  // namespace orvel::jpeg
