// Damaged and hostile streams, made here from good ones: cut short at every length, with bytes
// changed at random, with broken tables and markers, with coefficients at the limits of 16 bits.
// The decoder must stay inside its buffers (these tests run under AddressSanitizer and
// UndefinedBehaviorSanitizer too), report a failure, and keep what it decoded before the damage.
#include <gtest/gtest.h>

#include "JpegDecoderTestSupport.h"

namespace orvel::jpeg {
namespace {

using Stream = std::vector<std::uint8_t>;

class JpegDecoderDamage : public testing::Test {
 protected:
  void SetUp() override { test::ExpectOracle(test::kCjpeg); }
};

// Offset of the first byte of entropy-coded data.
std::size_t ScanDataStart(const Stream& stream) {
  const std::size_t sos = test::SegmentOffset(stream, 0xDA);
  return sos + 2 + (stream[sos + 2] << 8 | stream[sos + 3]);
}

int FirstDifferingRow(const test::Picture& a, const test::Picture& b) {
  const std::size_t rowBytes = std::size_t(a.width) * a.channels;
  for (int y = 0; y < a.height; ++y)
    if (!std::equal(a.samples.begin() + y * rowBytes, a.samples.begin() + (y + 1) * rowBytes,
                    b.samples.begin() + y * rowBytes))
      return y;
  return a.height;
}

TEST_F(JpegDecoderDamage, TruncatedSequentialStreamKeepsTheRowsBeforeTheCut) {
  for (int channels : {1, 3}) {
    SCOPED_TRACE(channels);
    // Noise codes every row at the same rate.
    const Stream stream =
        test::EncodeWithCjpeg(test::MakeNoisePicture(64, 256, channels, 3), "-quality 90 -sample 2x2");
    const test::CodecDecode full = test::DecodeWithCodec(stream, channels, false);
    ASSERT_EQ(full.imageStatus, kSuccess);
    const std::size_t start = ScanDataStart(stream), data = stream.size() - 2 - start;
    for (double fraction : {0.3, 0.5, 0.8}) {
      SCOPED_TRACE(fraction);
      const Stream cut(stream.begin(), stream.begin() + std::ptrdiff_t(start + std::size_t(fraction * data)));
      const test::CodecDecode partial = test::DecodeWithCodec(cut, channels, false, 0, 0x77);
      EXPECT_EQ(partial.imageStatus, kErrorEof);
      // The rows before the cut are exact.
      EXPECT_GE(FirstDifferingRow(partial.picture, full.picture), int((fraction - 0.1) * 256));
      // Nothing is written for the rows after it.
      EXPECT_TRUE(std::all_of(partial.bitmap.end() - 16 * 64 * channels, partial.bitmap.end(),
                              [](std::uint8_t b) { return b == 0x77; }));
    }
  }
}

TEST_F(JpegDecoderDamage, EveryTruncationStaysInsideTheBuffers) {
  const Stream streams[] = {
      test::EncodeWithCjpeg(test::MakeCtPicture(24, 20, 3), "-quality 85 -sample 2x2 -progressive"),
      test::EncodeWithCjpeg(test::MakeCtPicture(24, 20, 1), "-grayscale -quality 85 -restart 1"),
      test::EncodeWithCjpeg(test::MakeCtPicture(20, 24, 3), "-quality 85 -sample 2x1 -restart 1B")};
  for (const Stream& stream : streams)
    for (std::size_t length = 0; length < stream.size(); ++length) {
      const Stream cut(stream.begin(), stream.begin() + std::ptrdiff_t(length));
      for (int channels : {1, 3}) {
        const test::CodecDecode decoded = test::DecodeWithCodec(cut, channels);
        ASSERT_TRUE(decoded.parameterStatus != kSuccess || decoded.imageStatus != kSuccess) << length;
      }
    }
}

TEST_F(JpegDecoderDamage, RandomlyChangedBytesStayInsideTheBuffers) {
  const Stream streams[] = {
      test::EncodeWithCjpeg(test::MakeCtPicture(48, 40, 1), "-grayscale -quality 90"),
      test::EncodeWithCjpeg(test::MakeCtPicture(48, 40, 3), "-quality 90 -sample 2x2 -progressive"),
      test::EncodeWithCjpeg(test::MakeCtPicture(48, 40, 3), "-quality 70 -sample 1x2 -restart 2B")};
  std::uint32_t seed = 7;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  for (const Stream& stream : streams)
    for (int trial = 0; trial < 150; ++trial) {
      Stream damaged = stream;
      // Mostly the scan data; now and then the tables in front of it.
      const std::size_t start = trial % 5 == 0 ? 2 : ScanDataStart(stream);
      for (int i = 0; i < 1 + trial % 4; ++i)
        damaged[start + next() % (damaged.size() - start)] = static_cast<std::uint8_t>(next());
      for (int channels : {1, 3}) test::DecodeWithCodec(damaged, channels);
    }
}

// Replaces the first occurrence of a segment's code, or removes every segment of it.
Stream WithMarker(Stream stream, std::uint8_t from, std::uint8_t to) {
  stream[test::SegmentOffset(stream, from) + 1] = to;
  return stream;
}

Stream WithoutEvery(Stream stream, std::uint8_t marker) {
  while (test::SegmentOffset(stream, marker) != std::string::npos) stream = test::WithoutSegment(stream, marker);
  return stream;
}

TEST_F(JpegDecoderDamage, BrokenTablesAndMarkersGiveTheirStatus) {
  const Stream grey = test::EncodeWithCjpeg(test::MakeCtPicture(32, 32, 1), "-grayscale -quality 80");
  const std::size_t dht = test::SegmentOffset(grey, 0xC4), dqt = test::SegmentOffset(grey, 0xDB);
  const std::size_t sof = test::SegmentOffset(grey, 0xC0), sos = test::SegmentOffset(grey, 0xDA);

  Stream overfullHuffman = grey;
  overfullHuffman[dht + 5] = 3;  // three codes of one bit
  Stream badPrecision = grey;
  badPrecision[dqt + 4] = 0x20;
  Stream unknownComponent = grey;
  unknownComponent[sos + 5] = 9;
  Stream undefinedTable = grey;
  undefinedTable[sos + 6] = 0x22;
  Stream twoFrames = grey;
  twoFrames.insert(twoFrames.begin() + std::ptrdiff_t(sos), grey.begin() + std::ptrdiff_t(sof),
                   grey.begin() + std::ptrdiff_t(sof + 2 + (grey[sof + 2] << 8 | grey[sof + 3])));
  const Stream endsAfterScanHeader(grey.begin(), grey.begin() + std::ptrdiff_t(ScanDataStart(grey)));
  Stream noFrame = test::WithoutSegment(grey, 0xC0);
  Stream zeroHeight = test::WithFrame(grey, 0xC0, 32, 0);
  Stream twelveBit = grey;
  twelveBit[sof + 4] = 12;

  struct Case {
    const char* what;
    const Stream& stream;
    int parameterStatus, imageStatus;
  } const cases[] = {
      {"overfull Huffman table", overfullHuffman, kSuccess, kBadHuffmanTable},
      {"quantization precision", badPrecision, kBadQuantizationTable, 0},
      {"undefined Huffman table", undefinedTable, kSuccess, kNoHuffmanTable},
      {"no quantization table", WithoutEvery(grey, 0xDB), kSuccess, kNoQuantizationTable},
      {"scan of an unknown component", unknownComponent, kSuccess, kErrorComp},
      {"second frame", twoFrames, kSuccess, kMultipleFrames},
      {"no scan data", endsAfterScanHeader, kSuccess, kErrorEof},
      {"scan before any frame", noFrame, kNoFrame, 0},
      {"height from a DNL segment", zeroHeight, kErrorDnl, 0},
      {"12-bit samples", twelveBit, kNotSupported, 0},
      {"no scan at all", WithMarker(grey, 0xDA, 0xFE), kSuccess, kNoImage},
  };
  for (const Case& c : cases) {
    const test::CodecDecode decoded = test::DecodeWithCodec(c.stream, 1);
    EXPECT_EQ(decoded.parameterStatus, c.parameterStatus) << c.what;
    if (c.parameterStatus == kSuccess) {
      EXPECT_EQ(decoded.imageStatus, c.imageStatus) << c.what;
    }
  }
}

TEST_F(JpegDecoderDamage, StreamWithoutHuffmanTablesUsesTheTypicalOnes) {
  // cjpeg codes a baseline stream with the typical tables unless asked to optimise them.
  const Stream stream = test::EncodeWithCjpeg(test::MakeCtPicture(40, 32, 3), "-quality 80 -sample 2x2");
  const test::CodecDecode withTables = test::DecodeWithCodec(stream, 3);
  const test::CodecDecode without = test::DecodeWithCodec(WithoutEvery(stream, 0xC4), 3);
  EXPECT_EQ(without.imageStatus, kSuccess);
  EXPECT_EQ(without.picture.samples, withTables.picture.samples);
}

TEST_F(JpegDecoderDamage, MissingRestartMarkerStopsTheScan) {
  const Stream stream = test::EncodeWithCjpeg(test::MakeCtPicture(64, 64, 1), "-grayscale -quality 90 -restart 1");
  const test::CodecDecode full = test::DecodeWithCodec(stream, 1, false);
  ASSERT_EQ(full.imageStatus, kSuccess);
  Stream damaged = stream;
  std::size_t at = ScanDataStart(stream);
  while (!(damaged[at] == 0xFF && damaged[at + 1] >= 0xD3 && damaged[at + 1] <= 0xD7)) ++at;  // the fourth
  damaged[at + 1] = 0xD9;
  const test::CodecDecode decoded = test::DecodeWithCodec(damaged, 1, false);
  EXPECT_EQ(decoded.imageStatus, kBadRstMarker);
  EXPECT_EQ(FirstDifferingRow(decoded.picture, full.picture), 32);  // four intervals of 8 rows
}

TEST_F(JpegDecoderDamage, CoefficientsAtTheLimitsAgreeInEveryVariant) {
  // 16-bit quantization tables of 65535 with busy content push every product and sum of the
  // transform to the edge of its range.
  Stream stream = test::EncodeWithCjpeg(test::MakeNoisePicture(40, 24, 3, 5), "-quality 100 -sample 1x1");
  for (std::size_t dqt = test::SegmentOffset(stream, 0xDB); dqt != std::string::npos;) {
    const std::size_t length = 2 + (stream[dqt + 2] << 8 | stream[dqt + 3]);
    Stream table = {0xFF, 0xDB, 0x00, 0x83, 0x10};
    table.resize(table.size() + 128, 0xFF);
    stream.erase(stream.begin() + std::ptrdiff_t(dqt), stream.begin() + std::ptrdiff_t(dqt + length));
    stream.insert(stream.begin() + std::ptrdiff_t(dqt), table.begin(), table.end());
    table[4] = 0x11;
    stream.insert(stream.begin() + std::ptrdiff_t(dqt), table.begin(), table.end());
    break;
  }
  std::vector<test::Picture> results;
  for (int useCpu : {0, 5, 6}) {
    const test::ScopedSystemIni ini(test::UseCpuIni(useCpu));
    const test::CodecDecode decoded = test::DecodeWithCodec(stream, 3);
    ASSERT_EQ(decoded.imageStatus, kSuccess);
    results.push_back(decoded.picture);
  }
  EXPECT_LE(test::MaxDifference(results[0], results[1]), 1);
  EXPECT_LE(test::MaxDifference(results[0], results[2]), 1);
}

}  // namespace
}  // namespace orvel::jpeg
