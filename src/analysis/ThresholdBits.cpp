#include "analysis/ThresholdBits.h"

#include "analysis/ThresholdBitsWindow.h"
#include "analysis/VoxelPlane.h"

namespace orvel::analysis {

void PackThresholdBitsScalar(const std::uint8_t* values, std::size_t count, ThresholdRange window, bool invert,
                             std::uint64_t* words) {
  PackThresholdTail(values, 0, count, CutToBytes(window), invert, words);
}

void PackThresholdBits(const std::uint8_t* values, std::size_t count, ThresholdRange window, bool invert,
                       std::uint64_t* words) {
#if defined(ORVEL_HAVE_X86_THRESHOLD)
  static const auto pack = ProcessorHasAvx2() ? PackThresholdBitsAvx2 : PackThresholdBitsSse2;
  pack(values, count, window, invert, words);
#else
  PackThresholdBitsScalar(values, count, window, invert, words);
#endif
}

std::int64_t PackMaskedThresholdBits(const std::uint8_t* values, std::size_t count, ThresholdRange window, bool invert,
                                     const std::uint64_t* mask, std::uint64_t* words) {
#if defined(ORVEL_HAVE_X86_THRESHOLD)
  static const bool avx2 = ProcessorHasAvx2();
  if (avx2) return PackMaskedThresholdBitsAvx2(values, count, window, invert, mask, words);
#endif
  PackThresholdBits(values, count, window, invert, words);
  return KeepAndCount(words, mask, static_cast<int>((count + 63) / 64));
}

}  // namespace orvel::analysis
