// The bytes of an encoded stream before the scan: the JFIF header, the banner comment, the order
// and contents of the segments, and the refusal of input the encoder cannot code.
#include <gtest/gtest.h>

#include <cstring>

#include "JpegEncoderTestSupport.h"
#include "jpeg/JpegStatus.h"

namespace orvel::jpeg {
namespace {

std::vector<std::uint8_t> Encode(const test::Picture& picture, int quality) {
  test::StoredPicture stored = test::StorePicture(picture, true, 1, quality);
  std::vector<std::uint8_t> stream;
  EXPECT_EQ(EncodeBaseline(stored.input, stream), kSuccess);
  return stream;
}

std::vector<std::uint8_t> Markers(const std::vector<test::Segment>& segments) {
  std::vector<std::uint8_t> markers;
  for (const test::Segment& segment : segments) markers.push_back(segment.marker);
  return markers;
}

TEST(JpegEncoderStream, StartsWithTheTwentyByteJfifHeader) {
  const std::vector<std::uint8_t> stream = Encode(test::MakeSmoothPicture(9, 5, 1), 75);
  const std::vector<std::uint8_t> expected = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J',  'F',  'I',  'F',
                                              0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00};
  ASSERT_GE(stream.size(), 20u);
  EXPECT_EQ(std::vector<std::uint8_t>(stream.begin(), stream.begin() + 20), expected);
}

TEST(JpegEncoderStream, CommentCarriesTheBannerWithItsZeroByte) {
  const std::string banner = std::string("Orvel JPEG codec, version [") + ORVEL_VERSION + "]";
  EXPECT_STREQ(EncoderBanner(), banner.c_str());
  const std::vector<test::Segment> segments = test::ParseHeaderSegments(Encode(test::MakeSmoothPicture(3, 3, 3), 75));
  ASSERT_GE(segments.size(), 3u);
  EXPECT_EQ(segments[2].marker, 0xFE);
  EXPECT_EQ(segments[2].length, static_cast<int>(2 + banner.size() + 1));
  std::vector<std::uint8_t> expected(banner.begin(), banner.end());
  expected.push_back(0);
  EXPECT_EQ(segments[2].payload, expected);
}

TEST(JpegEncoderStream, GreySegmentsComeInOrderWithOneComponent) {
  const std::vector<std::uint8_t> stream = Encode(test::MakeSmoothPicture(17, 1023, 1), 75);
  const std::vector<test::Segment> segments = test::ParseHeaderSegments(stream);
  EXPECT_EQ(Markers(segments), (std::vector<std::uint8_t>{0xD8, 0xE0, 0xFE, 0xDB, 0xC4, 0xC4, 0xC0, 0xDA}));
  ASSERT_EQ(segments.size(), 8u);
  EXPECT_EQ(segments[4].payload[0], 0x00);  // DC table 0
  EXPECT_EQ(segments[5].payload[0], 0x10);  // AC table 0
  // SOF0: precision 8, height 1023, width 17, one component with id 1, sampling 1x1, table 0.
  EXPECT_EQ(segments[6].payload, (std::vector<std::uint8_t>{8, 0x03, 0xFF, 0x00, 17, 1, 1, 0x11, 0}));
  // SOS: one component with tables DC 0 / AC 0, spectral range 0..63, no approximation.
  EXPECT_EQ(segments[7].payload, (std::vector<std::uint8_t>{1, 1, 0x00, 0, 63, 0}));
  EXPECT_EQ(stream[stream.size() - 2], 0xFF);
  EXPECT_EQ(stream.back(), 0xD9);
}

TEST(JpegEncoderStream, ColourSegmentsComeInOrderWithThreeFullResolutionComponents) {
  const std::vector<std::uint8_t> stream = Encode(test::MakeSmoothPicture(300, 2, 3), 75);
  const std::vector<test::Segment> segments = test::ParseHeaderSegments(stream);
  EXPECT_EQ(Markers(segments),
            (std::vector<std::uint8_t>{0xD8, 0xE0, 0xFE, 0xDB, 0xDB, 0xDB, 0xC4, 0xC4, 0xC4, 0xC4, 0xC0, 0xDA}));
  ASSERT_EQ(segments.size(), 12u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(segments[3 + i].payload[0], i) << "DQT slot, 8-bit entries";
  EXPECT_EQ(segments[10].payload, (std::vector<std::uint8_t>{8, 0, 2, 0x01, 0x2C, 3,  //
                                                             1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 2}));
  EXPECT_EQ(segments[11].payload, (std::vector<std::uint8_t>{3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}));
  EXPECT_EQ(stream.back(), 0xD9);
}

TEST(JpegEncoderStream, QuantizationSegmentsHoldTheScaledTables) {
  for (int quality : {0, 1, 25, 50, 75, 100, 150}) {
    SCOPED_TRACE(quality);
    const std::vector<test::Segment> grey =
        test::ParseHeaderSegments(Encode(test::MakeSmoothPicture(8, 8, 1), quality));
    const std::vector<test::Segment> colour =
        test::ParseHeaderSegments(Encode(test::MakeSmoothPicture(8, 8, 3), quality));
    const Block64 luminance = ScaleQuantTable(kLuminanceQuantZigzag, quality);
    const Block64 chrominance = ScaleQuantTable(kChrominanceQuantZigzag, quality);
    ASSERT_EQ(grey.size(), 8u);
    ASSERT_EQ(colour.size(), 12u);
    EXPECT_EQ(grey[3].length, 67);
    EXPECT_TRUE(std::equal(luminance.begin(), luminance.end(), grey[3].payload.begin() + 1));
    EXPECT_TRUE(std::equal(luminance.begin(), luminance.end(), colour[3].payload.begin() + 1));
    EXPECT_TRUE(std::equal(chrominance.begin(), chrominance.end(), colour[4].payload.begin() + 1));
    EXPECT_TRUE(std::equal(chrominance.begin(), chrominance.end(), colour[5].payload.begin() + 1));
  }
}

TEST(JpegEncoderStream, InputItCannotCodeIsRefusedWithAnEmptyStream) {
  const std::vector<std::uint8_t> pixels(4 * 70000, 128);
  auto status = [&](EncoderInput input) {
    std::vector<std::uint8_t> stream = {1, 2, 3};
    const int result = EncodeBaseline(input, stream);
    EXPECT_TRUE(stream.empty()) << result;
    return result;
  };
  const EncoderInput good = {pixels.data(), 4, 4, 12, true, 3, 75};
  EncoderInput input = good;
  input.pixels = nullptr;
  EXPECT_EQ(status(input), kInvalidProperties);
  for (auto [width, height] : {std::pair{0, 4}, {4, 0}, {-1, 4}, {65536, 1}, {1, 65536}}) {
    input = good;
    input.width = width;
    input.height = height;
    input.strideBytes = 3 * 70000;
    EXPECT_EQ(status(input), kInvalidProperties) << width << "x" << height;
  }
  input = good;
  input.strideBytes = 11;  // one byte short of 4 B, G, R pixels
  EXPECT_EQ(status(input), kInvalidProperties);
  input.strideBytes = -12;
  EXPECT_EQ(status(input), kInvalidProperties);
  for (int channels : {0, 2, 4}) {
    input = good;
    input.channels = channels;
    EXPECT_EQ(status(input), kUnsupportedBytesPerPixel) << channels;
  }
  // The largest width a frame header can carry is still accepted.
  input = {pixels.data(), 65535, 1, 65535, false, 1, 75};
  std::vector<std::uint8_t> stream;
  EXPECT_EQ(EncodeBaseline(input, stream), kSuccess);
}

}  // namespace
}  // namespace orvel::jpeg
