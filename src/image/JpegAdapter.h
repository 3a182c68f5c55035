#pragma once
// The one place through which the slice image calls the JPEG codec. It holds no state of its
// own; each call forwards to the codec operation of the same role and returns its status.
#include "jpeg/JpegCodec.h"

namespace orvel {

class JpegAdapter {
 public:
  virtual ~JpegAdapter() = default;

  // Prepares a zeroed record (defaults, processor variant, working state).
  int Initialise(jpeg::JpegProperties& record) const { return jpeg::JpegCodec::Init(record); }
  // Frees what the codec holds for the record.
  int Release(jpeg::JpegProperties& record) const { return jpeg::JpegCodec::Free(record); }
  // Mode 0 reads the parameters of the file named in the record, 2 the whole image.
  int Decode(jpeg::JpegProperties& record, int mode) const { return jpeg::JpegCodec::Read(record, mode); }
  // Mode 8 writes the whole image from the bitmap side to the file named in the record.
  int Encode(jpeg::JpegProperties& record, int mode) const { return jpeg::JpegCodec::Write(record, mode); }
};

}  // namespace orvel
