// Our decoder against djpeg (libjpeg-turbo, an independent decoder used as a test oracle) on
// streams written by cjpeg and by Pillow: grey and colour, baseline, progressive and with restart
// intervals, every common sampling layout, sizes from one pixel to a full slice.
#include <gtest/gtest.h>

#include "JpegDecoderTestSupport.h"

namespace orvel::jpeg {
namespace {

struct OracleCase {
  const char* encoder;  // "cjpeg" or "pillow"
  std::string options;  // cjpeg options, or for Pillow "progressive" and/or "s0".."s2"
  int width, height, channels;
};

std::ostream& operator<<(std::ostream& out, const OracleCase& c) {
  return out << c.encoder << " [" << c.options << "] " << c.width << "x" << c.height << " channels " << c.channels;
}

std::vector<std::uint8_t> Encode(const OracleCase& c) {
  const test::Picture picture = test::MakeCtPicture(c.width, c.height, c.channels);
  if (std::string(c.encoder) == "cjpeg") return test::EncodeWithCjpeg(picture, c.options);
  const bool progressive = c.options.find("progressive") != std::string::npos;
  const std::size_t s = c.options.find('s', c.options.find("progressive") == 0 ? 11 : 0);
  const int subsampling = s == std::string::npos ? 0 : c.options[s + 1] - '0';
  return test::EncodeWithPillow(picture, 90, progressive, subsampling);
}

// Our decode into a bitmap of the given channels against djpeg's of the same stream.
void ExpectAgreesWithDjpeg(const std::vector<std::uint8_t>& stream, int channels) {
  const test::DecodedPicture reference = test::DecodeWithDjpeg(stream, channels == 1);
  ASSERT_TRUE(reference.ok);
  const test::CodecDecode ours = test::DecodeWithCodec(stream, channels, true, 3);
  ASSERT_EQ(ours.parameterStatus, kSuccess);
  EXPECT_EQ(ours.imageStatus, kSuccess);
  ASSERT_EQ(ours.picture.width, reference.picture.width);
  ASSERT_EQ(ours.picture.height, reference.picture.height);
  EXPECT_LE(test::MaxDifference(ours.picture, reference.picture), 2);
  EXPECT_GE(test::Psnr(ours.picture, reference.picture), 45.0);
}

class JpegDecoderOracle : public testing::TestWithParam<OracleCase> {
 protected:
  void SetUp() override {
    test::ExpectOracle(test::kCjpeg);
    test::ExpectOracle(test::kDjpeg);
    test::ExpectOracle(test::kPython);
  }
};

TEST_P(JpegDecoderOracle, AgreesWithDjpeg) {
  const OracleCase& c = GetParam();
  const std::vector<std::uint8_t> stream = Encode(c);
  ASSERT_GT(stream.size(), 2u);
  // A grey bitmap of a colour stream holds its luma; a colour bitmap needs every component.
  {
    SCOPED_TRACE("grey bitmap");
    ExpectAgreesWithDjpeg(stream, 1);
  }
  if (c.channels == 3) {
    SCOPED_TRACE("colour bitmap");
    ExpectAgreesWithDjpeg(stream, 3);
  }
}

std::vector<OracleCase> GreyCases() {
  std::vector<OracleCase> cases;
  const std::pair<int, int> sizes[] = {{1, 1}, {7, 9}, {17, 1023}, {1024, 1024}};
  for (const auto& [w, h] : sizes) {
    cases.push_back({"cjpeg", "-grayscale -quality 75", w, h, 1});
    cases.push_back({"cjpeg", "-grayscale -quality 95 -progressive", w, h, 1});
    cases.push_back({"pillow", "", w, h, 1});
    cases.push_back({"pillow", "progressive", w, h, 1});
  }
  cases.push_back({"cjpeg", "-grayscale -quality 85 -restart 1", 333, 129, 1});
  cases.push_back({"cjpeg", "-grayscale -quality 85 -restart 3B -progressive", 333, 129, 1});
  cases.push_back({"cjpeg", "-grayscale -quality 100", 64, 48, 1});
  cases.push_back({"cjpeg", "-grayscale -quality 5", 64, 48, 1});
  cases.push_back({"cjpeg", "-grayscale -quality 90 -optimize", 200, 150, 1});
  return cases;
}

std::vector<OracleCase> ColourCases() {
  std::vector<OracleCase> cases;
  const std::pair<int, int> sizes[] = {{1, 1}, {7, 9}, {17, 1023}};
  for (const char* sampling : {"1x1", "2x1", "2x2", "1x2"})
    for (const auto& [w, h] : sizes) {
      const std::string options = std::string("-quality 90 -sample ") + sampling;
      cases.push_back({"cjpeg", options, w, h, 3});
      cases.push_back({"cjpeg", options + " -progressive", w, h, 3});
    }
  cases.push_back({"cjpeg", "-quality 80 -sample 2x2 -restart 2B", 150, 101, 3});
  cases.push_back({"cjpeg", "-quality 80 -sample 2x1 -restart 1 -progressive", 150, 101, 3});
  cases.push_back({"cjpeg", "-quality 75 -sample 2x2", 1024, 1024, 3});
  for (const char* options : {"s0", "s1", "s2", "progressive s2", "progressive s0"}) {
    cases.push_back({"pillow", options, 7, 9, 3});
    cases.push_back({"pillow", options, 257, 131, 3});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Grey, JpegDecoderOracle, testing::ValuesIn(GreyCases()));
INSTANTIATE_TEST_SUITE_P(Colour, JpegDecoderOracle, testing::ValuesIn(ColourCases()));

}  // namespace
}  // namespace orvel::jpeg
