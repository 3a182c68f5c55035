#pragma once
// Thresholding a run of grey values into packed bits: bit j of words[j / 64] (least significant
// first) is set when value j passes the threshold window, i.e. lies in [low, high], or outside
// it with invert. The 3D model keeps its layers in this form, 64 voxels to a word.
#include <cstddef>
#include <cstdint>

#include "analysis/ColourScheme.h"

namespace orvel::analysis {

// The bits of the last, partial word beyond count are cleared. words holds (count + 63) / 64.
// Runs the fastest implementation below that the processor has.
void PackThresholdBits(const std::uint8_t* values, std::size_t count, ThresholdRange window, bool invert,
                       std::uint64_t* words);

// PackThresholdBits, then the bits that mask (same layout) does not have cleared; returns how
// many bits stay set. One pass where the processor has AVX2 (the threshold sweep packs every row
// once per model), else the two steps one after the other.
std::int64_t PackMaskedThresholdBits(const std::uint8_t* values, std::size_t count, ThresholdRange window, bool invert,
                                     const std::uint64_t* mask, std::uint64_t* words);

// The implementations behind PackThresholdBits, kept callable so that tests compare them and
// benchmarks time them.
void PackThresholdBitsScalar(const std::uint8_t* values, std::size_t count, ThresholdRange window, bool invert,
                             std::uint64_t* words);
#if defined(__x86_64__) && defined(__GNUC__)
#define ORVEL_HAVE_X86_THRESHOLD 1
void PackThresholdBitsSse2(const std::uint8_t* values, std::size_t count, ThresholdRange window, bool invert,
                           std::uint64_t* words);
// Only where ProcessorHasAvx2().
std::int64_t PackMaskedThresholdBitsAvx2(const std::uint8_t* values, std::size_t count, ThresholdRange window,
                                         bool invert, const std::uint64_t* mask, std::uint64_t* words);
// Only where ProcessorHasAvx2().
void PackThresholdBitsAvx2(const std::uint8_t* values, std::size_t count, ThresholdRange window, bool invert,
                           std::uint64_t* words);
bool ProcessorHasAvx2();
#endif

}  // namespace orvel::analysis
