// Streams the encoder writes, decoded by djpeg (libjpeg-turbo, an independent decoder used as a
// test oracle): partial blocks, both row orders, row padding, grey and colour, every processor
// variant, and content that drives the entropy coder to its extremes.
#include <gtest/gtest.h>

#include "JpegEncoderTestSupport.h"
#include "jpeg/JpegStatus.h"

namespace orvel::jpeg {
namespace {

struct Encoded {
  std::vector<std::uint8_t> stream;
  test::DecodedPicture decoded;
};

Encoded EncodeAndDecode(const test::Picture& picture, int quality, bool bottomUp = true, int padding = 3,
                        CpuVariant variant = CpuVariant::kAvx2) {
  const test::StoredPicture stored = test::StorePicture(picture, bottomUp, padding, quality);
  Encoded encoded;
  EXPECT_EQ(EncodeBaseline(stored.input, encoded.stream, variant), kSuccess);
  encoded.decoded = test::DecodeWithDjpeg(encoded.stream);
  EXPECT_TRUE(encoded.decoded.ok);
  EXPECT_EQ(encoded.decoded.warnings, "");
  EXPECT_EQ(encoded.decoded.picture.width, picture.width);
  EXPECT_EQ(encoded.decoded.picture.height, picture.height);
  EXPECT_EQ(encoded.decoded.picture.channels, picture.channels);
  return encoded;
}

TEST(JpegEncoderRoundTrip, EverySizeAndRowOrderDecodesCloseToTheInput) {
  const std::pair<int, int> sizes[] = {{1, 1}, {7, 9}, {8, 8}, {16, 24}, {33, 17}, {17, 1023}};
  for (int channels : {1, 3})
    for (const auto& [width, height] : sizes)
      for (bool bottomUp : {true, false})
        for (int padding : {0, 3}) {
          SCOPED_TRACE(testing::Message() << width << "x" << height << " channels " << channels
                                          << (bottomUp ? " bottom-up" : " top-down") << " padding " << padding);
          const test::Picture picture = test::MakeSmoothPicture(width, height, channels);
          const Encoded encoded = EncodeAndDecode(picture, 95, bottomUp, padding);
          if (encoded.decoded.ok) {
            EXPECT_GE(test::Psnr(encoded.decoded.picture, picture), 40.0);
          }
        }
}

TEST(JpegEncoderRoundTrip, RowPaddingIsNeverCoded) {
  for (int channels : {1, 3}) {
    const test::Picture picture = test::MakeSmoothPicture(13, 11, channels);
    std::vector<std::uint8_t> streams[2];
    for (int i = 0; i < 2; ++i) {
      const test::StoredPicture stored = test::StorePicture(picture, true, 5, 80, i ? 0x00 : 0xFF);
      ASSERT_EQ(EncodeBaseline(stored.input, streams[i]), kSuccess);
    }
    EXPECT_EQ(streams[0], streams[1]) << channels;
  }
}

TEST(JpegEncoderRoundTrip, RowOrderOfTheInputIsHonoured) {
  // Black top half, white bottom half: a flipped picture would decode the other way round.
  test::Picture picture{16, 16, 1, std::vector<std::uint8_t>(256, 0)};
  std::fill(picture.samples.begin() + 128, picture.samples.end(), 255);
  for (bool bottomUp : {true, false}) {
    const Encoded encoded = EncodeAndDecode(picture, 90, bottomUp, 0);
    ASSERT_TRUE(encoded.decoded.ok);
    EXPECT_LE(encoded.decoded.picture.samples.front(), 5) << bottomUp;
    EXPECT_GE(encoded.decoded.picture.samples.back(), 250) << bottomUp;
  }
}

TEST(JpegEncoderRoundTrip, ProcessorVariantsDecodeToTheScalarPixels) {
  const test::Picture pictures[] = {test::MakeSmoothPicture(45, 21, 1), test::MakeSmoothPicture(45, 21, 3),
                                    test::MakeNoisePicture(40, 16, 1, 5), test::MakeNoisePicture(37, 9, 3, 6)};
  for (const test::Picture& picture : pictures) {
    const Encoded scalar = EncodeAndDecode(picture, 85, true, 2, CpuVariant::kScalar);
    for (CpuVariant variant : {CpuVariant::kSse2, CpuVariant::kAvx2}) {
      const Encoded other = EncodeAndDecode(picture, 85, true, 2, variant);
      ASSERT_TRUE(other.decoded.ok && scalar.decoded.ok);
      EXPECT_LE(test::MaxDifference(other.decoded.picture, scalar.decoded.picture), 1)
          << CpuVariantName(variant) << " channels " << picture.channels;
    }
  }
}

TEST(JpegEncoderRoundTrip, ExtremeContentCodesCleanly) {
  // Noise at quality 100 gives the longest codes, the largest coefficients and many 0xFF bytes;
  // quality 0 the coarsest tables; flat black and white the extreme DC values.
  for (int channels : {1, 3}) {
    SCOPED_TRACE(channels);
    const test::Picture noise = test::MakeNoisePicture(64, 48, channels, 9);
    const Encoded fine = EncodeAndDecode(noise, 100);
    if (fine.decoded.ok) {
      EXPECT_GE(test::Psnr(fine.decoded.picture, noise), 40.0);
    }
    const Encoded coarse = EncodeAndDecode(noise, 0);
    EXPECT_LT(coarse.stream.size(), fine.stream.size() / 4);
    for (std::uint8_t level : {0, 255}) {
      const test::Picture flat{24, 8, channels, std::vector<std::uint8_t>(24 * 8 * channels, level)};
      const Encoded encoded = EncodeAndDecode(flat, 100);
      if (encoded.decoded.ok) {
        EXPECT_LE(test::MaxDifference(encoded.decoded.picture, flat), 1) << int(level);
      }
    }
  }
}

}  // namespace
}  // namespace orvel::jpeg
