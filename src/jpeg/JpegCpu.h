#pragma once
// The processor variant of the codec's coding routines. The machine-wide file
// /etc/orvel/orvel-system.ini may force one with key USECPU of section [JpegCodec]:
//   0, 1, 2  the generic (scalar) routines;
//   3, 4, 5  SSE2 routines (these numbers once named MMX and SSE tables; SSE2 is their nearest
//            counterpart on x86-64, where every processor has it);
//   6        AVX2 routines (the newest table).
// Any other value, or none (empty or non-numeric text is none), lets the processor's features
// decide. A forced variant the processor cannot run is lowered to the best one it can, so a wrong
// setting never ends in an illegal instruction.
#include <string>

namespace orvel::jpeg {

enum class CpuVariant { kScalar = 0, kSse2 = 1, kAvx2 = 2 };

inline constexpr const char* kSystemIniPath = "/etc/orvel/orvel-system.ini";

// The best variant this build and this processor support.
CpuVariant DetectCpuVariant();
// The variant a USECPU value forces (before the processor check), or false for values that
// do not force one.
bool CpuVariantFromUseCpu(int useCpu, CpuVariant& variant);
// The variant for a new codec record: the override of the machine-wide file, else detection.
CpuVariant SelectCpuVariant();
const char* CpuVariantName(CpuVariant variant);

// Tests point the machine-wide file elsewhere; an empty path restores the default.
void SetSystemIniPath(const std::string& path);
std::string SystemIniPath();

}  // namespace orvel::jpeg
