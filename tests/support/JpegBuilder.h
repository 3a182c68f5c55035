#pragma once
// Writes JPEG streams marker by marker, for the streams no encoder writes: frames of any size and
// sampling with no data behind them, scans in any order, tables that do not fit their codes. The
// decoder's typical Huffman tables 0 and 1 serve streams that carry none.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "support/TiffBuilder.h"  // Bytes

namespace orvel::test {

struct JpegComponentLayout {
  int id = 1;
  int h = 1, v = 1;  // sampling factors
};

struct JpegFrameLayout {
  int marker = 0xC0;  // SOF0 baseline, 0xC2 progressive
  int width = 16, height = 16;
  std::vector<JpegComponentLayout> components = std::vector<JpegComponentLayout>(1);  // one grey, 1 x 1
  bool adobeRgb = false;  // an Adobe segment saying the three components are red, green, blue
};

// Start of image, an Adobe segment when asked, quantization table 0 (every entry 1) and the frame.
Bytes JpegFrameHeader(const JpegFrameLayout& frame);

// A scan header over the components with these ids, Huffman tables 0, the spectral selection
// and successive approximation given, then the entropy-coded bytes as they stand.
void AppendJpegScan(Bytes& stream, std::initializer_list<int> componentIds, int spectralStart, int spectralEnd,
                    int approximation, const Bytes& data);

// A segment of the marker code holding payload (its length is added), and a marker alone.
void AppendJpegSegment(Bytes& stream, int marker, const Bytes& payload);
void AppendJpegMarker(Bytes& stream, int marker);

}  // namespace orvel::test
