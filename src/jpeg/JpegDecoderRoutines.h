#pragma once
// The decoder's per-processor routines, chosen once per codec record so that no per-block test
// of processor features is needed.
#include "jpeg/JpegCpu.h"
#include "jpeg/JpegDecoderIdct.h"

namespace orvel::jpeg {

// The inverse DCT is where a grey slice's decoding spends its arithmetic; colour conversion and
// upsampling only serve colour bitmaps, which the slice image never asks for, and stay scalar.
struct DecoderRoutines {
  IdctFunction idct;
};

const DecoderRoutines& DecoderRoutinesFor(CpuVariant variant);

}  // namespace orvel::jpeg
