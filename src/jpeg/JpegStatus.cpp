#include "jpeg/JpegStatus.h"

namespace orvel::jpeg {

const char* JpegStatusText(int status) {
  switch (status) {
    case kRoiSuccess: return "ROI Success";
    case kInterruptSuccess: return "Interrupt Success";
    case kSuccess: return "Success";
    case kExceptionDetected: return "Exception detected";
    case kInvalidEncoder: return "Invalid Encoder";
    case kUnsupportedSubsampling: return "Unsupported subsampling";
    case kUnsupportedBytesPerPixel: return "Unsupported bytes per pixel";
    case kMemoryError: return "Memory error";
    case kBadHuffmanTable: return "Bad Huffman table";
    case kBadQuantizationTable: return "Bad Quantization table";
    case kInvalidProperties: return "Invalid JPEG_PROPERTIES";
    case kErrorCloseFile: return "Error close file";
    case kInvalidFileName: return "Invalid file name";
    case kErrorEof: return "Error EOF";
    case kNotSupported: return "Not supported";
    case kNotJpeg: return "Not JPEG";
    case kErrorComp: return "Error COMP";
    case kErrorSof: return "Error SOF";
    case kErrorDnl: return "Error DNL";
    case kNoHuffmanTable: return "No Huffman table";
    case kNoQuantizationTable: return "No Quantization table";
    case kNoFrame: return "No frame";
    case kMultipleFrames: return "Multiply frame";
    case kDataError: return "Data error";
    case kNoImage: return "No image";
    case kFileError: return "File error";
    case kInternalError: return "Internal error";
    case kBadRstMarker: return "Bad RST marker";
    case kThumbnailTooSmall: return "Thumbnail too small";
    case kThumbnailWrongColour: return "Thumbnail has wrong color";
    case kOutputBufferTooSmall: return "Output buffer too small";
    case kUnsupportedFrame: return "Unsupported frame was found";
    case kCommentBufferError: return "Error access to jpeg_comment buffer";
    case kReserved: return "Reserved";
    default: return "Unknown error code";
  }
}

}  // namespace orvel::jpeg
