#pragma once
// The JPEG decoder: baseline, extended sequential (8-bit) and progressive Huffman-coded frames of
// one or three components. Pipeline: markers -> Huffman tables -> blocks -> inverse DCT ->
// upsampling and colour conversion into a bitmap. A damaged stream stops the decoding where the
// damage is; the blocks decoded before it stay in the bitmap.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jpeg/JpegDecoderHuffman.h"
#include "jpeg/JpegDecoderRoutines.h"
#include "jpeg/JpegDecoderTypes.h"
#include "platform/LargeBuffers.h"

namespace orvel::jpeg {

// The most memory one decode may take: the stream, the bitmap it fills, and the decoder's sample
// planes and progressive coefficients together (the bound every slice reader keeps).
inline constexpr std::uint64_t kMaxDecodeBytes = std::uint64_t{1} << 30;

// The bytes of a stream, in huge pages when they are megabytes.
using StreamBytes = std::vector<std::uint8_t, platform::LargeBufferAllocator<std::uint8_t>>;

// Colour codes of a stream or a bitmap.
enum ColourCode : int { kColourRgb = 1, kColourYcbcr = 3, kColourGrey = 4, kColourOther = 255 };

// What the frame header says about the stream.
struct StreamInfo {
  int width = 0, height = 0;
  int components = 0;
  int colour = kColourOther;
  int subsampling = 0;  // 0 all components alike, 1 4:2:2, 2 4:2:0, 3 other layouts
};

// The bitmap the pixels go to: rows of width * channels bytes followed by padBytes, the first
// row in memory being the bottom of the picture when bottomUp is set.
struct BitmapTarget {
  std::uint8_t* pixels = nullptr;
  int width = 0, height = 0;
  int channels = 1;  // 1 grey, 3 blue, green, red
  int padBytes = 0;
  bool bottomUp = false;
};

class JpegDecoder {
 public:
  JpegDecoder(StreamBytes stream, const DecoderRoutines& routines);

  // Reads the markers up to and including the frame header; a JpegStatus.
  int ReadHeader();
  StreamInfo Info() const;
  // Decodes the scans that follow the frame header into target; a JpegStatus. The target's
  // size must be the frame's.
  int Decode(const BitmapTarget& target);

 private:
  // Markers (JpegDecoderMarkers.cpp).
  int NextMarker();
  std::size_t SegmentLength();
  void ReadTablesOrSkip(int marker);
  void ParseQuantTables(const std::uint8_t* data, std::size_t length);
  void ParseHuffmanTables(const std::uint8_t* data, std::size_t length);
  void ParseRestartInterval(const std::uint8_t* data, std::size_t length);
  void ParseAdobe(const std::uint8_t* data, std::size_t length);
  void ParseFrame(int marker, const std::uint8_t* data, std::size_t length);
  Scan ParseScan(const std::uint8_t* data, std::size_t length) const;
  std::size_t FindMarker(std::size_t from) const;
  void SkipEntropyCodedData();
  bool IsRgbStream() const;

  // Scans (JpegDecoderScan.cpp, JpegDecoderProgressive.cpp).
  void DecodeScan(const Scan& scan);
  void DecodeSequentialScan(const Scan& scan, BitReader& reader);
  void DecodeProgressiveScan(const Scan& scan, BitReader& reader);
  template <typename BlockDecoder>
  void ForEachBlock(const Scan& scan, BitReader& reader, BlockDecoder&& decodeBlock);
  void ProcessRestart(const Scan& scan, BitReader& reader);
  void StoreBlock(const Component& component, int blockX, int blockY, const std::int16_t* block, bool dcOnly);
  std::int16_t* CoefficientsOf(Component& component, int blockX, int blockY);
  void TransformProgressiveBlocks();

  // Output (JpegDecoderOutput.cpp).
  int PrepareComponents(const BitmapTarget& target);
  void WriteConvertedRows(const BitmapTarget& target);
  int CompleteRows() const;
  const std::uint8_t* UpsampledRow(const Component& component, int y, std::uint8_t* buffer) const;

  StreamBytes m_stream;
  std::size_t m_position = 0;
  const DecoderRoutines& m_routines;
  Frame m_frame;
  std::array<QuantTable, 4> m_quant;
  std::array<HuffmanTable, 4> m_dcTables, m_acTables;
  int m_restartInterval = 0;
  int m_adobeTransform = -1;  // -1: no Adobe segment
  bool m_hasJfif = false;
  int m_eobRun = 0;
  bool m_direct = false;  // component 0 is written straight into the bitmap
  alignas(32) std::array<std::int16_t, 64> m_block{};
  alignas(32) std::array<std::int16_t, 64> m_scratchBlock{};
};

}  // namespace orvel::jpeg
