#pragma once
// Status codes of the JPEG codec's operations: 0 success, negative failure.

namespace orvel::jpeg {

enum JpegStatus : int {
  kRoiSuccess = 2,
  kInterruptSuccess = 1,
  kSuccess = 0,
  kExceptionDetected = -1,
  kInvalidEncoder = -2,
  kUnsupportedSubsampling = -3,
  kUnsupportedBytesPerPixel = -4,
  kMemoryError = -5,
  kBadHuffmanTable = -6,
  kBadQuantizationTable = -7,
  kInvalidProperties = -8,
  kErrorCloseFile = -9,
  kInvalidFileName = -10,
  kErrorEof = -11,
  kNotSupported = -12,
  kNotJpeg = -13,
  kErrorComp = -14,
  kErrorSof = -15,
  kErrorDnl = -16,
  kNoHuffmanTable = -17,
  kNoQuantizationTable = -18,
  kNoFrame = -19,
  kMultipleFrames = -20,
  kDataError = -21,
  kNoImage = -22,
  kFileError = -23,
  kInternalError = -24,
  kBadRstMarker = -25,
  kThumbnailTooSmall = -26,
  kThumbnailWrongColour = -27,
  kOutputBufferTooSmall = -28,
  kUnsupportedFrame = -29,
  kCommentBufferError = -30,
  kReserved = -99,
};

// The text of a status code; "Unknown error code" for codes not in the table.
const char* JpegStatusText(int status);

}  // namespace orvel::jpeg
