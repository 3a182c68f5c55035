#include "jpeg/JpegDecoderRoutines.h"

namespace orvel::jpeg {

namespace {

constexpr DecoderRoutines kScalarRoutines{IdctScalar};
#ifdef ORVEL_JPEG_X86
constexpr DecoderRoutines kSse2Routines{IdctSse2};
constexpr DecoderRoutines kAvx2Routines{IdctAvx2};
#endif

}  // namespace

const DecoderRoutines& DecoderRoutinesFor(CpuVariant variant) {
#ifdef ORVEL_JPEG_X86
  if (variant == CpuVariant::kAvx2) return kAvx2Routines;
  if (variant == CpuVariant::kSse2) return kSse2Routines;
#endif
  (void)variant;
  return kScalarRoutines;
}

}  // namespace orvel::jpeg
