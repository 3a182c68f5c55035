// Marker segments: every field is checked where it is read, and a segment that claims more bytes
// than the stream holds ends the read.
#include <algorithm>
#include <cstring>

#include "jpeg/JpegDecoder.h"

namespace orvel::jpeg {

namespace {

constexpr int kSof0 = 0xC0, kSof1 = 0xC1, kSof2 = 0xC2, kDht = 0xC4, kDqt = 0xDB, kDri = 0xDD;
constexpr int kApp14 = 0xEE;

int Be16(const std::uint8_t* p) { return (p[0] << 8) | p[1]; }

}  // namespace

// The code of the marker at the current position; bytes that are not a marker (garbage between
// segments) and fill bytes 0xFF are passed over.
int JpegDecoder::NextMarker() {
  const std::size_t size = m_stream.size();
  while (m_position + 1 < size) {
    if (m_stream[m_position] != 0xFF) {
      ++m_position;
      continue;
    }
    const int code = m_stream[m_position + 1];
    if (code == 0xFF) {
      ++m_position;
      continue;
    }
    m_position += 2;
    if (code != 0x00) return code;
  }
  m_position = size;
  Fail(kErrorEof);
}

// The length of the segment at the current position, without its two length bytes; the position
// is left at the segment's data.
std::size_t JpegDecoder::SegmentLength() {
  if (m_position + 2 > m_stream.size()) Fail(kErrorEof);
  const std::size_t length = static_cast<std::size_t>(Be16(&m_stream[m_position]));
  if (length < 2) Fail(kDataError);
  if (m_position + length > m_stream.size()) Fail(kErrorEof);
  m_position += 2;
  return length - 2;
}

// Handles a marker that may stand between the scans: tables and restart intervals are read,
// other segments skipped, and markers without a segment passed over.
void JpegDecoder::ReadTablesOrSkip(int marker) {
  const bool standalone = (marker >= 0xD0 && marker <= 0xD8) || marker == 0x01;
  if (standalone) return;
  const std::size_t length = SegmentLength();
  const std::uint8_t* data = &m_stream[m_position];
  switch (marker) {
    case kDqt: ParseQuantTables(data, length); break;
    case kDht: ParseHuffmanTables(data, length); break;
    case kDri: ParseRestartInterval(data, length); break;
    // What the components mean is settled by the segments before the frame: the decode of the
    // frame prepares the planes its colours need, and one arriving later must not change them.
    case kApp14:
      if (!m_frame.defined) ParseAdobe(data, length);
      break;
    case 0xE0:
      if (!m_frame.defined && length >= 5 && std::memcmp(data, "JFIF\0", 5) == 0) m_hasJfif = true;
      break;
    default: break;
  }
  m_position += length;
}

void JpegDecoder::ParseQuantTables(const std::uint8_t* data, std::size_t length) {
  std::size_t offset = 0;
  while (offset < length) {
    const int precision = data[offset] >> 4, index = data[offset] & 15;
    const std::size_t entryBytes = precision == 0 ? 1 : 2;
    if (precision > 1 || index > 3 || offset + 1 + 64 * entryBytes > length) Fail(kBadQuantizationTable);
    const std::uint8_t* entries = data + offset + 1;
    QuantTable& table = m_quant[index];
    table.zigzag.fill(0);
    for (int k = 0; k < 64; ++k)
      table.zigzag[k] = static_cast<std::uint16_t>(entryBytes == 1 ? entries[k] : Be16(entries + 2 * k));
    table.defined = true;
    offset += 1 + 64 * entryBytes;
  }
}

void JpegDecoder::ParseHuffmanTables(const std::uint8_t* data, std::size_t length) {
  std::size_t offset = 0;
  while (offset < length) {
    const int tableClass = data[offset] >> 4, index = data[offset] & 15;
    if (tableClass > 1 || index > 3 || offset + 17 > length) Fail(kBadHuffmanTable);
    const std::uint8_t* counts = data + offset + 1;
    int symbolCount = 0;
    for (int i = 0; i < 16; ++i) symbolCount += counts[i];
    if (symbolCount > 256 || offset + 17 + symbolCount > length) Fail(kBadHuffmanTable);
    HuffmanTable& table = tableClass == 0 ? m_dcTables[index] : m_acTables[index];
    BuildHuffmanTable(counts, data + offset + 17, symbolCount, table);
    offset += 17 + static_cast<std::size_t>(symbolCount);
  }
}

void JpegDecoder::ParseRestartInterval(const std::uint8_t* data, std::size_t length) {
  if (length != 2) Fail(kDataError);
  m_restartInterval = Be16(data);
}

void JpegDecoder::ParseAdobe(const std::uint8_t* data, std::size_t length) {
  // "Adobe", version, two flag words, then the colour transform (0 none, 1 YCbCr).
  if (length >= 12 && std::memcmp(data, "Adobe", 5) == 0) m_adobeTransform = data[11];
}

void JpegDecoder::ParseFrame(int marker, const std::uint8_t* data, std::size_t length) {
  if (m_frame.defined) Fail(kMultipleFrames);
  if (length < 6) Fail(kErrorSof);
  // Only 8-bit samples: 12-bit extended frames are outside what the bitmaps hold.
  if (data[0] != 8) Fail(kNotSupported);
  const int height = Be16(data + 1), width = Be16(data + 3), count = data[5];
  if (width == 0 || count == 0 || count > 4 || length != 6 + 3 * static_cast<std::size_t>(count)) Fail(kErrorSof);
  // A height given later in a DNL segment is not supported.
  if (height == 0) Fail(kErrorDnl);
  Frame frame;
  frame.progressive = marker == kSof2;
  frame.width = width;
  frame.height = height;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* entry = data + 6 + 3 * i;
    Component component;
    component.id = entry[0];
    component.h = entry[1] >> 4;
    component.v = entry[1] & 15;
    component.quantIndex = entry[2];
    if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4 || component.quantIndex > 3)
      Fail(kErrorSof);
    for (const Component& other : frame.components)
      if (other.id == component.id) Fail(kErrorComp);
    frame.maxH = std::max(frame.maxH, component.h);
    frame.maxV = std::max(frame.maxV, component.v);
    frame.components.push_back(component);
  }
  frame.mcusPerLine = (width + 8 * frame.maxH - 1) / (8 * frame.maxH);
  frame.mcusPerColumn = (height + 8 * frame.maxV - 1) / (8 * frame.maxV);
  for (Component& c : frame.components) {
    c.sampleWidth = (width * c.h + frame.maxH - 1) / frame.maxH;
    c.sampleHeight = (height * c.v + frame.maxV - 1) / frame.maxV;
    c.blocksPerLine = (c.sampleWidth + 7) / 8;
    c.blocksPerColumn = (c.sampleHeight + 7) / 8;
    c.paddedBlocksPerLine = frame.mcusPerLine * c.h;
    c.paddedBlocksPerColumn = frame.mcusPerColumn * c.v;
  }
  frame.defined = true;
  m_frame = std::move(frame);
}

Scan JpegDecoder::ParseScan(const std::uint8_t* data, std::size_t length) const {
  Scan scan;
  if (length < 1) Fail(kDataError);
  scan.componentCount = data[0];
  if (scan.componentCount < 1 || scan.componentCount > 4 ||
      length != 4 + 2 * static_cast<std::size_t>(scan.componentCount))
    Fail(kDataError);
  int blocksPerMcu = 0;
  for (int i = 0; i < scan.componentCount; ++i) {
    const int id = data[1 + 2 * i], tables = data[2 + 2 * i];
    int index = -1;
    for (int c = 0; c < static_cast<int>(m_frame.components.size()); ++c)
      if (m_frame.components[c].id == id) index = c;
    for (int j = 0; j < i; ++j)
      if (scan.components[j] == index) index = -1;
    if (index < 0 || (tables >> 4) > 3 || (tables & 15) > 3) Fail(kErrorComp);
    scan.components[i] = index;
    scan.dcTables[i] = tables >> 4;
    scan.acTables[i] = tables & 15;
    blocksPerMcu += m_frame.components[index].h * m_frame.components[index].v;
  }
  // T.81 limits an interleaved MCU to ten blocks.
  if (scan.componentCount > 1 && blocksPerMcu > 10) Fail(kErrorComp);
  const std::uint8_t* selection = data + 1 + 2 * scan.componentCount;
  scan.spectralStart = selection[0];
  scan.spectralEnd = selection[1];
  scan.approximationHigh = selection[2] >> 4;
  scan.approximationLow = selection[2] & 15;
  if (m_frame.progressive) {
    const bool dcScan = scan.spectralStart == 0;
    if (scan.spectralEnd > 63 || scan.spectralStart > scan.spectralEnd || (dcScan && scan.spectralEnd != 0) ||
        (!dcScan && scan.componentCount != 1) || scan.approximationHigh > 13 || scan.approximationLow > 13)
      Fail(kDataError);
  } else {
    scan.spectralStart = 0;
    scan.spectralEnd = 63;
  }
  return scan;
}

// The position of the next marker's 0xFF at or after from, passing over stuffed data bytes and
// fill bytes; the stream's size when there is none.
std::size_t JpegDecoder::FindMarker(std::size_t from) const {
  const std::size_t size = m_stream.size();
  for (; from + 1 < size; ++from)
    if (m_stream[from] == 0xFF && m_stream[from + 1] != 0x00 && m_stream[from + 1] != 0xFF) return from;
  return size;
}

// Passes over entropy-coded bytes, and the restart markers within them, up to the next marker.
void JpegDecoder::SkipEntropyCodedData() {
  for (;;) {
    m_position = FindMarker(m_position);
    if (m_position >= m_stream.size() || m_stream[m_position + 1] < 0xD0 || m_stream[m_position + 1] > 0xD7) return;
    m_position += 2;
  }
}

bool JpegDecoder::IsRgbStream() const {
  if (m_frame.components.size() != 3) return false;
  if (m_adobeTransform >= 0) return m_adobeTransform == 0;
  if (m_hasJfif) return false;
  const auto& c = m_frame.components;
  return c[0].id == 'R' && c[1].id == 'G' && c[2].id == 'B';
}

int JpegDecoder::ReadHeader() {
  if (m_stream.size() < 2 || m_stream[0] != 0xFF || m_stream[1] != 0xD8) return kNotJpeg;
  m_position = 2;
  try {
    for (;;) {
      const int marker = NextMarker();
      if (marker == kSof0 || marker == kSof1 || marker == kSof2) {
        const std::size_t length = SegmentLength();
        ParseFrame(marker, &m_stream[m_position], length);
        m_position += length;
        return kSuccess;
      }
      // Lossless, hierarchical and arithmetic-coded frames, and the reserved JPG marker.
      if (marker >= 0xC3 && marker <= 0xCF && marker != kDht && marker != 0xCC) return kUnsupportedFrame;
      if (marker == 0xDA || marker == 0xD9) return kNoFrame;
      ReadTablesOrSkip(marker);
    }
  } catch (const DecodeError& error) {
    return error.status;
  }
}

}  // namespace orvel::jpeg
