#include "support/JpegBuilder.h"

namespace orvel::test {

void AppendJpegMarker(Bytes& stream, int marker) {
  stream.push_back(0xFF);
  stream.push_back(static_cast<unsigned char>(marker));
}

void AppendJpegSegment(Bytes& stream, int marker, const Bytes& payload) {
  AppendJpegMarker(stream, marker);
  const std::size_t length = payload.size() + 2;
  stream.push_back(static_cast<unsigned char>(length >> 8));
  stream.push_back(static_cast<unsigned char>(length));
  stream.insert(stream.end(), payload.begin(), payload.end());
}

Bytes JpegFrameHeader(const JpegFrameLayout& frame) {
  Bytes stream;
  AppendJpegMarker(stream, 0xD8);
  if (frame.adobeRgb) AppendJpegSegment(stream, 0xEE, {'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 0});
  Bytes quant(65, 1);
  quant[0] = 0;  // 8-bit entries, table 0
  AppendJpegSegment(stream, 0xDB, quant);
  Bytes sof = {8,
               static_cast<unsigned char>(frame.height >> 8),
               static_cast<unsigned char>(frame.height),
               static_cast<unsigned char>(frame.width >> 8),
               static_cast<unsigned char>(frame.width),
               static_cast<unsigned char>(frame.components.size())};
  for (const JpegComponentLayout& c : frame.components)
    sof.insert(sof.end(), {static_cast<unsigned char>(c.id), static_cast<unsigned char>(c.h << 4 | c.v), 0});
  AppendJpegSegment(stream, frame.marker, sof);
  return stream;
}

void AppendJpegScan(Bytes& stream, std::initializer_list<int> componentIds, int spectralStart, int spectralEnd,
                    int approximation, const Bytes& data) {
  Bytes sos = {static_cast<unsigned char>(componentIds.size())};
  for (int id : componentIds) sos.insert(sos.end(), {static_cast<unsigned char>(id), 0x00});
  sos.insert(sos.end(), {static_cast<unsigned char>(spectralStart), static_cast<unsigned char>(spectralEnd),
                         static_cast<unsigned char>(approximation)});
  AppendJpegSegment(stream, 0xDA, sos);
  stream.insert(stream.end(), data.begin(), data.end());
}

}  // namespace orvel::test
