#include "jpeg/JpegDecoder.h"

#include <utility>

namespace orvel::jpeg {

namespace {

constexpr int kSos = 0xDA, kEoi = 0xD9;

// Encoders write up to a dozen scans in a frame. Every scan of a progressive frame passes over all
// the blocks of its components, yet an end-of-band run of a few bits covers 32767 blocks, so a
// stream of many such scans costs seconds per kilobyte: the scans past this many are damage.
constexpr int kMaxScans = 128;

// Frame markers other than DHT (0xC4) and DAC (0xCC).
bool IsFrameMarker(int marker) { return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xCC; }

int SubsamplingCode(const Frame& frame) {
  const auto& c = frame.components;
  bool alike = true;
  for (const Component& component : c) alike &= component.h == c[0].h && component.v == c[0].v;
  if (alike) return 0;
  if (c.size() != 3 || c[1].h != 1 || c[1].v != 1 || c[2].h != 1 || c[2].v != 1) return 3;
  if (c[0].h == 2 && c[0].v == 1) return 1;
  if (c[0].h == 2 && c[0].v == 2) return 2;
  return 3;
}

}  // namespace

// Tables 0 and 1 start as the typical tables of T.81 Annex K, which streams that carry no DHT
// segment of their own (as motion-JPEG frames do) are coded with.
JpegDecoder::JpegDecoder(StreamBytes stream, const DecoderRoutines& routines)
    : m_stream(std::move(stream)), m_routines(routines) {
  const HuffmanTableSource* defaults[2][2] = {{&kLuminanceDcHuffman, &kLuminanceAcHuffman},
                                              {&kChrominanceDcHuffman, &kChrominanceAcHuffman}};
  for (int index = 0; index < 2; ++index) {
    const HuffmanTableSource& dc = *defaults[index][0];
    const HuffmanTableSource& ac = *defaults[index][1];
    BuildHuffmanTable(dc.bits.data(), dc.values.data(), dc.valueCount, m_dcTables[index]);
    BuildHuffmanTable(ac.bits.data(), ac.values.data(), ac.valueCount, m_acTables[index]);
  }
}

StreamInfo JpegDecoder::Info() const {
  StreamInfo info;
  info.width = m_frame.width;
  info.height = m_frame.height;
  info.components = static_cast<int>(m_frame.components.size());
  if (info.components == 1) info.colour = kColourGrey;
  else if (info.components == 3) info.colour = IsRgbStream() ? kColourRgb : kColourYcbcr;
  info.subsampling = m_frame.defined ? SubsamplingCode(m_frame) : 0;
  return info;
}

int JpegDecoder::Decode(const BitmapTarget& target) {
  if (!m_frame.defined) return kNoFrame;
  // Two- and four-component streams (CMYK and others) have no meaning for the bitmaps.
  const std::size_t count = m_frame.components.size();
  if (count != 1 && count != 3) return kNotSupported;
  if (!target.pixels || target.width != m_frame.width || target.height != m_frame.height || target.padBytes < 0)
    return kInvalidProperties;
  if (target.channels != 1 && target.channels != 3) return kUnsupportedBytesPerPixel;
  int status = PrepareComponents(target);
  if (status != kSuccess) return status;
  int scans = 0;
  try {
    for (int marker = NextMarker(); marker != kEoi; marker = NextMarker()) {
      if (IsFrameMarker(marker)) Fail(kMultipleFrames);
      if (marker != kSos) {
        ReadTablesOrSkip(marker);
        continue;
      }
      const std::size_t length = SegmentLength();
      const Scan scan = ParseScan(&m_stream[m_position], length);
      m_position += length;
      if (++scans > kMaxScans) Fail(kDataError);
      DecodeScan(scan);
    }
    if (scans == 0) status = kNoImage;
  } catch (const DecodeError& error) {
    status = error.status;
  }
  // Whatever arrived before a failure is still put into the bitmap.
  try {
    if (m_frame.progressive) TransformProgressiveBlocks();
    WriteConvertedRows(target);
  } catch (const DecodeError& error) {
    if (status == kSuccess) status = error.status;
  }
  return status;
}

}  // namespace orvel::jpeg
