// The slice image's JPEG reading and writing: grey bitmaps with their palette and levels, the
// resolution carried in the JFIF header both ways, refusals (missing or foreign files, oversized
// headers, images the writer cannot hold) and the quality rule of the writer.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "image/SliceImage.h"
#include "jpeg/JpegDecoderTestSupport.h"
#include "jpeg/JpegStatus.h"
#include "jpeg/JpegTables.h"

namespace orvel {
namespace {

using test::Picture;

// The picture held by an 8-bit image, top-down without padding.
Picture PictureOf(const SliceImage& image) {
  Picture picture{image.GetWidth(), image.GetHeight(), 1, {}};
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) picture.samples.push_back(image.GetPixel(x, picture.height - 1 - y));
  return picture;
}

// An 8-bit image showing the picture (grey), with the given resolution.
SliceImage ImageOf(const Picture& picture, std::int32_t pelsPerMeter = 0) {
  SliceImage image;
  image.Create(picture.width, picture.height, picture.channels == 1 ? 8 : 24, false);
  for (int y = 0; y < picture.height; ++y) {
    std::uint8_t* row = image.GetBits() + std::size_t(picture.height - 1 - y) * image.GetRowBytes();
    std::copy_n(picture.samples.begin() + std::ptrdiff_t(y) * picture.width * picture.channels,
                picture.width * picture.channels, row);
  }
  image.SetXPelsPerMeter(pelsPerMeter);
  image.SetYPelsPerMeter(pelsPerMeter);
  return image;
}

// A stream with the JFIF density fields set (the header cjpeg writes is the first segment).
std::vector<std::uint8_t> WithDensity(std::vector<std::uint8_t> stream, int units, int x, int y) {
  stream[13] = std::uint8_t(units);
  stream[14] = std::uint8_t(x >> 8);
  stream[15] = std::uint8_t(x);
  stream[16] = std::uint8_t(y >> 8);
  stream[17] = std::uint8_t(y);
  return stream;
}

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  test::WriteFile(path, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

class JpegAdapterTest : public testing::Test {
 protected:
  void SetUp() override {
    test::ExpectOracle(test::kCjpeg);
    test::ExpectOracle(test::kDjpeg);
  }
  std::string Path(const std::string& name) const { return m_directory.File(name); }
  test::TemporaryDirectory m_directory;
};

TEST_F(JpegAdapterTest, GreyJpegReadsAsBottomUpGreyImageWithItsLevels) {
  const auto stream = test::EncodeWithCjpeg(test::MakeCtPicture(13, 7, 1), "-grayscale -quality 90");
  Write(Path("grey.jpg"), stream);
  SliceImage image;
  ASSERT_TRUE(image.ReadJpeg(Path("grey.jpg")));
  EXPECT_EQ(image.GetSize(), std::make_pair(13, 7));
  EXPECT_EQ(image.GetBitCount(), 8);
  EXPECT_EQ(image.GetHeaderBlock().size(), 1064u);
  EXPECT_EQ(image.GetColourCount(), 256);
  EXPECT_EQ(image.GetRowPadding(), 3);
  EXPECT_EQ(image.GetLowerLevel(), 128);
  EXPECT_EQ(image.GetUpperLevel(), 383);
  for (int i = 0; i < 256; ++i) {
    const std::uint8_t* entry = image.GetColourTable() + 4 * i;
    ASSERT_TRUE(entry[0] == i && entry[1] == i && entry[2] == i && entry[3] == 0) << i;
  }
  EXPECT_EQ(image.GetOriginalColours().size(), 1024u);
  const test::DecodedPicture reference = test::DecodeWithDjpeg(stream, true);
  ASSERT_TRUE(reference.ok);
  EXPECT_LE(test::MaxDifference(PictureOf(image), reference.picture), 2);
  for (int y = 0; y < 7; ++y)
    for (int pad = 13; pad < 16; ++pad) EXPECT_EQ(image.GetStorageRow(y)[pad], 0);
}

TEST_F(JpegAdapterTest, ColourJpegReadsAsItsLuma) {
  const auto stream = test::EncodeWithCjpeg(test::MakeCtPicture(40, 30, 3), "-quality 90 -sample 2x2");
  Write(Path("colour.jpg"), stream);
  SliceImage image;
  ASSERT_TRUE(image.ReadJpeg(Path("colour.jpg")));
  EXPECT_EQ(image.GetBitCount(), 8);
  EXPECT_EQ(image.GetColourCount(), 256);
  const test::DecodedPicture luma = test::DecodeWithDjpeg(stream, true);
  ASSERT_TRUE(luma.ok);
  EXPECT_LE(test::MaxDifference(PictureOf(image), luma.picture), 2);
}

TEST_F(JpegAdapterTest, ResolutionComesFromTheJfifDensity) {
  const auto stream = test::EncodeWithCjpeg(test::MakeCtPicture(8, 8, 1), "-grayscale");
  struct Case {
    int units, x, y;
    std::int32_t expectedX, expectedY;
  } const cases[] = {
      {1, 100, 100, 3937, 3937},    // dots per inch
      {2, 40, 40, 3976, 3976},      // dots per centimetre: 101 dpi
      {0, 1, 1, 27716, 27716},      // no unit: read as 704 dpi
      {3, 100, 100, 27716, 27716},  // unknown unit, likewise
      {1, 300, 72, 11811, 2834},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "units " << c.units << " density " << c.x << "/" << c.y);
    Write(Path("density.jpg"), WithDensity(stream, c.units, c.x, c.y));
    SliceImage image;
    ASSERT_TRUE(image.ReadJpeg(Path("density.jpg")));
    EXPECT_EQ(image.GetXPelsPerMeter(), c.expectedX);
    EXPECT_EQ(image.GetYPelsPerMeter(), c.expectedY);
  }
}

TEST_F(JpegAdapterTest, StreamWithoutJfifHeaderKeeps3600PixelsPerMetre) {
  const auto stream = test::EncodeWithCjpeg(test::MakeCtPicture(9, 9, 1), "-grayscale");
  auto withoutJfif = test::WithoutSegment(stream, 0xE0);
  Write(Path("bare.jpg"), withoutJfif);
  // Another application segment first, as cameras write.
  const std::vector<std::uint8_t> exif = {0xFF, 0xE1, 0x00, 0x08, 'E', 'x', 'i', 'f', 0, 0};
  withoutJfif.insert(withoutJfif.begin() + 2, exif.begin(), exif.end());
  Write(Path("exif.jpg"), withoutJfif);
  for (const char* name : {"bare.jpg", "exif.jpg"}) {
    SCOPED_TRACE(name);
    SliceImage image;
    ASSERT_TRUE(image.ReadJpeg(Path(name)));
    EXPECT_EQ(image.GetXPelsPerMeter(), 3600);
    EXPECT_EQ(image.GetYPelsPerMeter(), 3600);
    const test::DecodedPicture reference = test::DecodeWithDjpeg(stream, true);
    EXPECT_LE(test::MaxDifference(PictureOf(image), reference.picture), 2);
  }
}

TEST_F(JpegAdapterTest, DensityRoundTripTruncatesTwice) {
  const auto stream = test::EncodeWithCjpeg(test::MakeCtPicture(16, 16, 1), "-grayscale");
  Write(Path("in.jpg"), WithDensity(stream, 1, 100, 100));
  SliceImage image;
  ASSERT_TRUE(image.ReadJpeg(Path("in.jpg")));
  ASSERT_TRUE(image.WriteJpeg(Path("out.jpg"), 90));
  const auto written = test::ReadFileBytes(Path("out.jpg"));
  ASSERT_GE(written.size(), 20u);
  const std::vector<std::uint8_t> header(written.begin(), written.begin() + 20);
  const std::vector<std::uint8_t> expected = {0xFF, 0xD8,       0xFF,       0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F',
                                              0x00, header[11], header[12], 1,    0,    99,   0,   99,  0,   0};
  EXPECT_EQ(header, expected);
  SliceImage again;
  ASSERT_TRUE(again.ReadJpeg(Path("out.jpg")));
  EXPECT_EQ(again.GetXPelsPerMeter(), 3897);  // 99 dpi
}

TEST_F(JpegAdapterTest, UnreadableFilesLeaveTheImageEmpty) {
  const auto grey = test::EncodeWithCjpeg(test::MakeCtPicture(8, 8, 1), "-grayscale");
  Write(Path("text.jpg"), {'h', 'e', 'l', 'l', 'o'});
  Write(Path("empty.jpg"), {});
  Write(Path("arithmetic.jpg"), test::EncodeWithCjpeg(test::MakeCtPicture(8, 8, 1), "-grayscale -arithmetic"));
  Write(Path("huge.jpg"), test::WithFrame(grey, 0xC0, 65535, 20000));  // a header claiming 1.22 GiB of rows
  for (const char* name : {"missing.jpg", "text.jpg", "empty.jpg", "arithmetic.jpg", "huge.jpg"}) {
    SCOPED_TRACE(name);
    SliceImage image;
    image.Create(4, 4, 8, false);  // a previous picture must not survive
    EXPECT_FALSE(image.ReadJpeg(Path(name)));
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.GetImageBytes(), 0u);
    EXPECT_EQ(image.GetColourCount(), 0);
  }
}

TEST_F(JpegAdapterTest, FourComponentStreamGivesAZeroedGreyImage) {
  test::ExpectOracle(test::kPython);
  Write(Path("cmyk.jpg"), test::EncodeWithPillow(test::MakeCtPicture(24, 10, 3), 90, false, 0, "CMYK"));
  SliceImage image;
  ASSERT_TRUE(image.ReadJpeg(Path("cmyk.jpg")));
  EXPECT_EQ(image.GetSize(), std::make_pair(24, 10));
  EXPECT_EQ(image.GetColourCount(), 256);
  for (std::uint32_t i = 0; i < image.GetImageBytes(); ++i) ASSERT_EQ(image.GetBits()[i], 0) << i;
}

TEST_F(JpegAdapterTest, WritesGreyAndColourImagesThatDjpegDecodes) {
  for (int channels : {1, 3}) {
    SCOPED_TRACE(channels);
    const Picture picture = test::MakeCtPicture(37, 21, channels);
    const std::string path = Path("written" + std::to_string(channels) + ".jpg");
    ASSERT_TRUE(ImageOf(picture, 3937).WriteJpeg(path, 95));
    const test::DecodedPicture decoded = test::DecodeWithDjpeg(test::ReadFileBytes(path));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.warnings, "");
    EXPECT_EQ(decoded.picture.channels, channels);
    EXPECT_GE(test::Psnr(decoded.picture, picture), 35.0);
  }
}

TEST_F(JpegAdapterTest, GreyRoundTripKeepsPictureAndOrientation) {
  const Picture picture = test::MakeCtPicture(64, 48, 1);
  ASSERT_TRUE(ImageOf(picture, 10000).WriteJpeg(Path("round.jpg"), 100));
  SliceImage image;
  ASSERT_TRUE(image.ReadJpeg(Path("round.jpg")));
  EXPECT_GE(test::Psnr(PictureOf(image), picture), 45.0);
  EXPECT_EQ(image.GetXPelsPerMeter(), 10000);  // through 254 dpi
}

TEST_F(JpegAdapterTest, ColourRoundTripReadsBackTheLuma) {
  const Picture picture = test::MakeCtPicture(50, 30, 3);
  ASSERT_TRUE(ImageOf(picture).WriteJpeg(Path("colour.jpg"), 100));
  SliceImage image;
  ASSERT_TRUE(image.ReadJpeg(Path("colour.jpg")));
  Picture luma{50, 30, 1, {}};
  for (std::size_t i = 0; i < picture.samples.size(); i += 3)
    luma.samples.push_back(static_cast<std::uint8_t>(
        std::lround(0.114 * picture.samples[i] + 0.587 * picture.samples[i + 1] + 0.299 * picture.samples[i + 2])));
  EXPECT_GE(test::Psnr(PictureOf(image), luma), 40.0);
}

TEST_F(JpegAdapterTest, QualityOutside0To100LeavesTheDefault75) {
  const SliceImage image = ImageOf(test::MakeCtPicture(16, 16, 1));
  for (int quality : {0, 1, 25, 50, 75, 100, 150, -1}) {
    SCOPED_TRACE(quality);
    const std::string path = Path("q.jpg");
    ASSERT_TRUE(image.WriteJpeg(path, quality));
    const auto stream = test::ReadFileBytes(path);
    const std::size_t dqt = test::SegmentOffset(stream, 0xDB);
    ASSERT_NE(dqt, std::string::npos);
    const int expectedQuality = quality >= 0 && quality <= 100 ? quality : 75;
    const jpeg::Block64 expected = jpeg::ScaleQuantTable(jpeg::kLuminanceQuantZigzag, expectedQuality);
    ASSERT_EQ(stream[dqt + 4], 0);  // 8-bit table 0
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), stream.begin() + std::ptrdiff_t(dqt + 5)));
  }
}

// A write the codec refuses says why in its own status code, so that the user can be told, and
// creates no file, or leaves the one at the path as it was.
TEST_F(JpegAdapterTest, FailedWriteReportsTheCodecStatusAndLeavesTheTarget) {
  SliceImage empty, fourBit, sixteenBit, thirtyTwoBit;
  fourBit.Create(8, 8, 4, false);
  sixteenBit.Create(8, 8, 16, false);
  thirtyTwoBit.Create(8, 8, 32, false);
  const SliceImage grey = ImageOf(test::MakeCtPicture(8, 8, 1));
  const std::vector<std::uint8_t> kept = {'k', 'e', 'e', 'p'};
  Write(Path("keep.jpg"), kept);
  const struct {
    const char* what;
    const SliceImage* image;
    std::string name;
    std::optional<int> status;  // unset: any failure
  } cases[] = {{"empty", &empty, "none.jpg", jpeg::kNoImage},
               {"4 bits", &fourBit, "none.jpg", jpeg::kUnsupportedBytesPerPixel},
               {"4 bits over a file", &fourBit, "keep.jpg", jpeg::kUnsupportedBytesPerPixel},
               {"16 bits", &sixteenBit, "none.jpg", jpeg::kUnsupportedBytesPerPixel},
               {"32 bits", &thirtyTwoBit, "none.jpg", std::nullopt},
               {"no such folder", &grey, "no-such-directory/out.jpg", jpeg::kInvalidFileName}};
  for (const auto& c : cases) {
    int status = 12345;
    EXPECT_FALSE(c.image->WriteJpeg(Path(c.name), 75, &status)) << c.what;
    if (c.status) {
      EXPECT_EQ(status, *c.status) << c.what;
    }
    EXPECT_FALSE(std::filesystem::exists(Path("none.jpg"))) << c.what;
    EXPECT_EQ(test::ReadFileBytes(Path("keep.jpg")), kept) << c.what;
  }
  int status = 12345;
  EXPECT_TRUE(grey.WriteJpeg(Path("e.jpg"), 75, &status));
  EXPECT_EQ(status, jpeg::kSuccess);
}

}  // namespace
}  // namespace orvel
