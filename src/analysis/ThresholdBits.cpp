#include "analysis/ThresholdBits.h"

#include "analysis/ThresholdBitsWindow.h"

namespace orvel::analysis {

void PackThresholdBitsScalar(const std::uint8_t* values, std::size_t count, ThresholdRange window,
                             bool invert, std::uint64_t* words) {
  PackThresholdTail(values, 0, count, CutToBytes(window), invert, words);
}

void PackThresholdBits(const std::uint8_t* values, std::size_t count, ThresholdRange window,
                       bool invert, std::uint64_t* words) {
#if defined(ORVEL_HAVE_X86_THRESHOLD)
  static const auto pack = ProcessorHasAvx2() ? PackThresholdBitsAvx2 : PackThresholdBitsSse2;
  pack(values, count, window, invert, words);
#else
  PackThresholdBitsScalar(values, count, window, invert, words);
#endif
}

}  // namespace orvel::analysis
