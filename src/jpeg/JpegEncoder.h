#pragma once
// The baseline JPEG encoder: turns 8-bit grey or 24-bit B,G,R pixel rows into a complete JFIF
// stream (SOI, APP0 JFIF, COM banner, DQT per component, DHT, SOF0, SOS, scan, EOI) with the
// T.81 Annex K tables scaled by the quality. Every component is coded at full resolution.
#include <cstdint>
#include <vector>

#include "jpeg/JpegEncoderKernels.h"

namespace orvel::jpeg {

struct EncoderInput {
  const std::uint8_t* pixels;  // first stored row
  int width;                   // pixels per row, 1..65535
  int height;                  // rows, 1..65535
  int strideBytes;             // bytes from one stored row to the next, >= width * channels
  bool bottomUp;               // true: the first stored row is the bottom of the picture (DIB order)
  int channels;                // 1 grey; 3 RGB stored B, G, R as in a 24-bit DIB
  int quality;                 // scales the quantization tables; any value, see QualityScaleFactor
};

// The comment segment's text (without its terminating zero byte).
const char* EncoderBanner();

// Replaces `stream` with the encoded image. Returns 0, or a negative JpegStatus with `stream`
// empty: -8 for a null buffer, sizes out of range or a stride too small for the width, -4 for a
// channel count other than 1 or 3, -5 when memory runs out. Uses the best routines the processor
// supports, or at most those of `variant` (kScalar forces the plain C++ path).
int EncodeBaseline(const EncoderInput& input, std::vector<std::uint8_t>& stream);
int EncodeBaseline(const EncoderInput& input, std::vector<std::uint8_t>& stream, CpuVariant variant);

}  // namespace orvel::jpeg
