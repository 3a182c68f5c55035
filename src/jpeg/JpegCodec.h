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

// Every field starts at zero (null), so a record declared without an initialiser is the zeroed
// record Init expects.
struct JpegProperties {
  std::int32_t useInternalState = 0;  // not used: the state always follows the fields
  // The bitmap side: rows of bitmapWidth pixels of bitmapChannels bytes, bitmapPadBytes after
  // each; a negative bitmapHeight means the rows are stored bottom-up, as in a DIB.
  std::uint8_t* bitmapPixels = nullptr;
  std::int32_t bitmapWidth = 0;
  std::int32_t bitmapHeight = 0;
  std::int32_t bitmapPadBytes = 0;
  std::int32_t bitmapChannels = 0;
  std::int32_t bitmapColour = 0;
  std::int32_t bitmapSubsampling = 0;        // not used
  const char* fileName = nullptr;            // the JPEG file (file modes)
  const std::uint8_t* jpegBuffer = nullptr;  // a JPEG stream in memory (buffer modes)
  std::int32_t jpegBufferSize = 0;
  // The stream side: image size, component count, colour and sampling codes.
  std::int32_t jpegWidth = 0;
  std::int32_t jpegHeight = 0;
  std::int32_t jpegChannels = 0;
  std::int32_t jpegColour = 0;
  std::int32_t jpegSubsampling = 0;  // writing: 0 only
  std::int32_t thumbnailWidth = 0;   // not used
  std::int32_t thumbnailHeight = 0;  // not used
  // Not used: conversion follows the two colour codes, subsampled components are always upsampled.
  std::int32_t colourConversionRequired = 0;
  std::int32_t upsamplingRequired = 0;
  std::int32_t quality = 0;            // encoding quality (75 after Init), scaled as QualityScaleFactor says
  JpegCodecState* internal = nullptr;  // set by Init, released by Free; a copied record shares it
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
