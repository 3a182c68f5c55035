// Streams made to mislead the decoder rather than damaged by accident: scans without end, scans in
// an order no encoder writes, restart markers out of sequence, Huffman tables that overflow their
// code lengths. Each decode ends, stays inside its buffers (these tests also run under the
// sanitizers), and keeps what the stream's sound part gave.
#include <gtest/gtest.h>

#include <algorithm>

#include "JpegDecoderTestSupport.h"
#include "support/JpegBuilder.h"

namespace orvel::jpeg {
namespace {

using Stream = std::vector<std::uint8_t>;

// Packs bits (most significant first), pads the last byte with ones and stuffs a 0 after 0xFF.
Stream Entropy(const std::string& bits) {
  Stream bytes;
  for (std::size_t i = 0; i < bits.size(); i += 8) {
    int value = 0;
    for (std::size_t b = i; b < i + 8; ++b) value = value << 1 | (b < bits.size() ? bits[b] - '0' : 1);
    bytes.push_back(static_cast<std::uint8_t>(value));
    if (value == 0xFF) bytes.push_back(0);
  }
  return bytes;
}

// A 64 x 64 grey progressive frame whose AC table 0 holds one code, "0", for an end-of-band run of
// 2^14 blocks and more: one short AC scan covers every block and changes none.
Stream ProgressiveFrameWithEndlessAcScans(int acScans) {
  test::JpegFrameLayout frame;
  frame.marker = 0xC2;
  frame.width = frame.height = 64;
  Stream stream = test::JpegFrameHeader(frame);
  test::AppendJpegSegment(stream, 0xC4, {0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE0});
  for (int i = 0; i < acScans; ++i) test::AppendJpegScan(stream, {1}, 1, 63, 0, Entropy(std::string(15, '0')));
  // Then the DC scan: a difference of 63 in the first block (typical table: category 6 is "1110"),
  // none in the other 63, so every sample becomes 128 + 63 / 8.
  std::string dc = "1110111111";
  for (int block = 1; block < 64; ++block) dc += "00";
  test::AppendJpegScan(stream, {1}, 0, 0, 0, Entropy(dc));
  test::AppendJpegMarker(stream, 0xD9);
  return stream;
}

TEST(JpegDecoderHostile, ScansWithoutEndStopAtTheScanLimit) {
  const test::CodecDecode within = test::DecodeWithCodec(ProgressiveFrameWithEndlessAcScans(127), 1);
  EXPECT_EQ(within.imageStatus, kSuccess);
  EXPECT_TRUE(std::all_of(within.bitmap.begin(), within.bitmap.end(), [](std::uint8_t v) { return v == 136; }));
  // One scan more, and the DC scan is past the limit: the decode stops before it.
  const test::CodecDecode beyond = test::DecodeWithCodec(ProgressiveFrameWithEndlessAcScans(128), 1);
  EXPECT_EQ(beyond.imageStatus, kDataError);
  EXPECT_TRUE(std::all_of(beyond.bitmap.begin(), beyond.bitmap.end(), [](std::uint8_t v) { return v == 128; }));
}

// The header (everything before the first scan), each scan with its data, and what follows the last.
struct SplitStream {
  Stream header;
  std::vector<Stream> scans;
  Stream end = {0xFF, 0xD9};
  Stream Join(const std::vector<int>& order) const {
    Stream joined = header;
    for (int i : order) joined.insert(joined.end(), scans[i].begin(), scans[i].end());
    joined.insert(joined.end(), end.begin(), end.end());
    return joined;
  }
};

// A scan runs from the first segment after the previous scan's data (its tables) to the end of its
// own data.
SplitStream SplitScans(const Stream& stream) {
  SplitStream split;
  const std::size_t first = test::SegmentOffset(stream, 0xDA);
  split.header.assign(stream.begin(), stream.begin() + std::ptrdiff_t(first));
  std::size_t start = first;
  std::size_t at = first;
  while (at + 3 < stream.size()) {
    const int marker = stream[at + 1];
    if (marker == 0xD9) break;
    at += 2 + (stream[at + 2] << 8 | stream[at + 3]);  // past the segment
    if (marker != 0xDA) continue;
    // Past the entropy-coded data, restart markers included, to the next segment.
    while (at + 1 < stream.size() &&
           !(stream[at] == 0xFF && stream[at + 1] != 0x00 && (stream[at + 1] < 0xD0 || stream[at + 1] > 0xD7)))
      ++at;
    split.scans.emplace_back(stream.begin() + std::ptrdiff_t(start), stream.begin() + std::ptrdiff_t(at));
    start = at;
  }
  return split;
}

TEST(JpegDecoderHostile, ProgressiveScansOutOfOrderStayInsideTheBuffers) {
  test::ExpectOracle(test::kCjpeg);
  // The default script for grey: DC first, AC 1-5 first, AC 6-63 first, AC refinement, DC
  // refinement, AC refinement.
  const Stream stream = test::EncodeWithCjpeg(test::MakeCtPicture(40, 32, 1), "-grayscale -quality 90 -progressive");
  const SplitStream split = SplitScans(stream);
  ASSERT_EQ(split.scans.size(), 6u);
  const test::CodecDecode inOrder = test::DecodeWithCodec(split.Join({0, 1, 2, 3, 4, 5}), 1);
  ASSERT_EQ(inOrder.imageStatus, kSuccess);
  // The two first AC scans cover different coefficients: either order gives the same picture.
  const test::CodecDecode swapped = test::DecodeWithCodec(split.Join({0, 2, 1, 3, 4, 5}), 1);
  EXPECT_EQ(swapped.imageStatus, kSuccess);
  EXPECT_EQ(swapped.picture.samples, inOrder.picture.samples);
  // Refinements before what they refine, a scan twice, the script backwards: refinement bits read
  // against the wrong coefficients may stop the decode with a failure; either way it ends, with
  // no access outside the coefficients.
  for (const std::vector<int>& order : std::vector<std::vector<int>>{
           {5, 4, 3, 2, 1, 0}, {3, 0, 1, 2, 4, 5}, {0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5}, {4, 5}, {1, 2, 3}}) {
    const test::CodecDecode decoded = test::DecodeWithCodec(split.Join(order), 3);
    EXPECT_TRUE(decoded.imageStatus == kSuccess || decoded.imageStatus == kDataError) << decoded.imageStatus;
  }
}

TEST(JpegDecoderHostile, RestartMarkersOutOfSequenceKeepTheRowsBeforeThem) {
  test::ExpectOracle(test::kCjpeg);
  // A restart marker after every row of MCUs (8 rows of pixels).
  const Stream stream = test::EncodeWithCjpeg(test::MakeCtPicture(64, 64, 1), "-grayscale -quality 90 -restart 1");
  const test::CodecDecode full = test::DecodeWithCodec(stream, 1, false);
  ASSERT_EQ(full.imageStatus, kSuccess);
  std::vector<std::size_t> restarts;
  for (std::size_t at = test::SegmentOffset(stream, 0xDA); at + 1 < stream.size(); ++at)
    if (stream[at] == 0xFF && stream[at + 1] >= 0xD0 && stream[at + 1] <= 0xD7) restarts.push_back(at);
  ASSERT_EQ(restarts.size(), 7u);

  // Every marker numbered 0: the intervals are still told apart by the markers themselves.
  Stream renumbered = stream;
  for (std::size_t at : restarts) renumbered[at + 1] = 0xD0;
  const test::CodecDecode sameNumber = test::DecodeWithCodec(renumbered, 1, false);
  EXPECT_EQ(sameNumber.imageStatus, kSuccess);
  EXPECT_EQ(sameNumber.picture.samples, full.picture.samples);

  // The third interval missing: the rows before it are exact, the rest are filled from what
  // follows, and the last interval's place finds no data.
  Stream dropped = stream;
  dropped.erase(dropped.begin() + std::ptrdiff_t(restarts[1]), dropped.begin() + std::ptrdiff_t(restarts[2]));
  const test::CodecDecode gap = test::DecodeWithCodec(dropped, 1, false);
  EXPECT_NE(gap.imageStatus, kSuccess);
  EXPECT_TRUE(
      std::equal(gap.picture.samples.begin(), gap.picture.samples.begin() + 16 * 64, full.picture.samples.begin()));
}

TEST(JpegDecoderHostile, AnAdobeSegmentAfterTheFrameLeavesItsColoursAsTheFrameSaid) {
  test::ExpectOracle(test::kCjpeg);
  // JFIF colour streams (luma and chroma), then an Adobe segment saying "red, green, blue" after
  // the frame header. The grey decode of luma sampled less densely than chroma had prepared the
  // luma plane alone when the segment came, and then read the two chroma planes it never made.
  const Stream adobe = {0xFF, 0xEE, 0x00, 0x0E, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 0};
  for (const char* sampling : {"2x2", "1x1,2x2,1x1"}) {
    const Stream stream =
        test::EncodeWithCjpeg(test::MakeCtPicture(32, 24, 3), std::string("-quality 85 -sample ") + sampling);
    Stream late = stream;
    late.insert(late.begin() + std::ptrdiff_t(test::SegmentOffset(stream, 0xDA)), adobe.begin(), adobe.end());
    for (int channels : {1, 3}) {
      const test::CodecDecode expected = test::DecodeWithCodec(stream, channels);
      const test::CodecDecode decoded = test::DecodeWithCodec(late, channels);
      EXPECT_EQ(decoded.imageStatus, kSuccess) << sampling;
      EXPECT_EQ(decoded.picture.samples, expected.picture.samples) << sampling << ", channels " << channels;
    }
  }
}

TEST(JpegDecoderHostile, HuffmanTablesThatOverflowTheirCodeLengthsAreRefused) {
  test::JpegFrameLayout frame;
  const Stream header = test::JpegFrameHeader(frame);
  struct Case {
    const char* what;
    Stream table;  // class and index, 16 counts, symbols
  };
  Stream threeOfOneBit = {0x00, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2};
  Stream fullAtEveryLength = {0x10};  // 2 codes of 1 bit leave no room for the 1 of 16 bits
  fullAtEveryLength.insert(fullAtEveryLength.end(), {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
  fullAtEveryLength.insert(fullAtEveryLength.end(), {0x01, 0x02, 0x03});
  Stream moreThan256 = {0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 255};  // 15 and 16 bits
  moreThan256.resize(17 + 257, 1);
  for (const Case& c : {Case{"three codes of one bit", threeOfOneBit},
                        Case{"a code past a full tree", fullAtEveryLength}, Case{"257 codes", moreThan256}}) {
    Stream stream = header;
    test::AppendJpegSegment(stream, 0xC4, c.table);
    test::AppendJpegScan(stream, {1}, 0, 63, 0, Entropy("00"));
    test::AppendJpegMarker(stream, 0xD9);
    const test::CodecDecode decoded = test::DecodeWithCodec(stream, 1);
    EXPECT_EQ(decoded.parameterStatus, kSuccess) << c.what;
    EXPECT_EQ(decoded.imageStatus, kBadHuffmanTable) << c.what;
  }
}

}  // namespace
}  // namespace orvel::jpeg
