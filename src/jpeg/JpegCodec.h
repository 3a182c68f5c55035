#pragma once
// The JPEG codec as its callers drive it: a parameter record, zeroed by the caller, passed through
// Init -> Read or Write (one or more) -> Free. Every operation returns a JpegStatus (0 success).
//
// Read modes: 0 reads the parameters of the file named by fileName (the stream must start with
// the start-of-image marker), 2 decodes the whole image from that file into bitmapPixels;
// 1 and 3 do the same from the stream of jpegBufferSize bytes at jpegBuffer.
// Write mode: 8 encodes the whole image from bitmapPixels into the file named by fileName. The
// file is written beside its target and renamed over it when complete, so a failed write never
// damages an existing file. Other modes return -12 ("Not supported").
//
// Colour codes: 1 RGB (bitmap rows B, G, R as in a 24-bit DIB), 3 YCbCr, 4 grey, 255 other.
// Stream sampling codes: 0 every component alike, 1 4:2:2, 2 4:2:0, 3 another layout.
#include <cstdint>

#include "jpeg/JpegCpu.h"
#include "jpeg/JpegStatus.h"

namespace orvel::jpeg {

struct JpegCodecState;  // the codec's working state, owned through the record

enum JpegMode : int {
  kReadFileParameters = 0,
  kReadBufferParameters = 1,
  kReadFileImage = 2,
  kReadBufferImage = 3,
  kWriteFileImage = 8,
};

struct JpegProperties {
  std::int32_t useInternalState;     // not used: the codec always derives its state from the fields
  std::uint8_t* bitmapPixels;        // rows of the bitmap side
  std::int32_t bitmapWidth;          // pixels per row
  std::int32_t bitmapHeight;         // rows; negative: stored bottom-up as in a DIB
  std::int32_t bitmapPadBytes;       // bytes after each row
  std::int32_t bitmapChannels;       // bytes per pixel
  std::int32_t bitmapColour;         // colour code of the bitmap side
  std::int32_t bitmapSubsampling;    // not used
  const char* fileName;              // path of the JPEG file (file modes)
  const std::uint8_t* jpegBuffer;    // a JPEG stream in memory (buffer modes)
  std::int32_t jpegBufferSize;       // its size in bytes
  std::int32_t jpegWidth;            // image size in the stream
  std::int32_t jpegHeight;
  std::int32_t jpegChannels;         // components in the stream
  std::int32_t jpegColour;           // colour code of the stream
  std::int32_t jpegSubsampling;      // sampling code of the stream (writing: 0 only)
  std::int32_t thumbnailWidth;       // not used
  std::int32_t thumbnailHeight;      // not used
  std::int32_t colourConversionRequired;  // not used: conversion follows the two colour codes
  std::int32_t upsamplingRequired;        // not used: subsampled components are always upsampled
  std::int32_t quality;              // encoding quality, 75 unless set; see QualityScaleFactor
  JpegCodecState* internal;          // set by Init, released by Free; copying a record shares it
};

class JpegCodec {
 public:
  // Sets the defaults, selects the processor variant and allocates the working state; -5 when
  // that fails. A record that still holds a state from an earlier Init has it released first.
  static int Init(JpegProperties& record);
  static int Free(JpegProperties& record);
  static int Read(JpegProperties& record, int mode);
  static int Write(JpegProperties& record, int mode);
  // The processor variant Init chose for the record (the scalar one before Init).
  static CpuVariant VariantOf(const JpegProperties& record);
};

}  // namespace orvel::jpeg
