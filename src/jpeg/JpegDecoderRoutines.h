#pragma once
// The decoder's per-processor routines, chosen once per codec record so that no per-block test
// of processor features is needed.
#include <cstdint>

#include "jpeg/JpegCpu.h"
#include "jpeg/JpegDecoderIdct.h"

namespace orvel::jpeg {

// Converts count samples of the three planes to blue, green, red byte triples (JFIF YCbCr).
using YcbcrToBgrFunction = void (*)(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr,
                                    std::uint8_t* bgr, int count);

struct DecoderRoutines {
  IdctFunction idct;
  YcbcrToBgrFunction ycbcrToBgr;
};

void YcbcrToBgrScalar(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* bgr,
                      int count);

const DecoderRoutines& DecoderRoutinesFor(CpuVariant variant);

}  // namespace orvel::jpeg
