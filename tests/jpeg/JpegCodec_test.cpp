// The codec's interface: the record's defaults, the status texts, parameter reads and their
// refusals (foreign files, unsupported frame types, component counts), the bitmap side of an
// image read, and whole-image writes that never damage an existing file.
#include "jpeg/JpegCodec.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "JpegDecoderTestSupport.h"

namespace orvel::jpeg {
namespace {

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  test::WriteFile(path, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

// Reads the parameters of a file through a fresh record; the record is returned freed.
int ReadFileParameters(const std::string& path, JpegProperties& record) {
  record = JpegProperties{};
  JpegCodec::Init(record);
  record.fileName = path.c_str();
  const int status = JpegCodec::Read(record, kReadFileParameters);
  JpegCodec::Free(record);
  return status;
}

TEST(JpegCodec, InitSetsTheDefaultsAndFreeReleasesTheState) {
  JpegProperties record{};
  record.quality = 12;
  record.bitmapWidth = 99;
  ASSERT_EQ(JpegCodec::Init(record), kSuccess);
  EXPECT_NE(record.internal, nullptr);
  EXPECT_EQ(record.quality, 75);
  EXPECT_EQ(record.bitmapWidth, 0);
  EXPECT_EQ(record.bitmapChannels, 3);
  EXPECT_EQ(record.bitmapColour, 2);
  EXPECT_EQ(record.jpegChannels, 3);
  EXPECT_EQ(record.jpegColour, 3);
  EXPECT_EQ(record.jpegSubsampling, 1);
  EXPECT_EQ(record.colourConversionRequired, 1);
  EXPECT_EQ(record.upsamplingRequired, 1);
  EXPECT_EQ(record.bitmapPixels, nullptr);
  EXPECT_EQ(record.fileName, nullptr);
  ASSERT_EQ(JpegCodec::Init(record), kSuccess);  // a second Init releases the first state
  EXPECT_EQ(JpegCodec::Free(record), kSuccess);
  EXPECT_EQ(record.internal, nullptr);
  EXPECT_EQ(JpegCodec::Read(record, kReadFileParameters), kInvalidProperties);  // after Free
}

TEST(JpegCodec, StatusTexts) {
  // clang-format off
  const std::pair<int, const char*> texts[] = {
      {2, "ROI Success"}, {1, "Interrupt Success"}, {0, "Success"}, {-1, "Exception detected"},
      {-2, "Invalid Encoder"}, {-3, "Unsupported subsampling"}, {-4, "Unsupported bytes per pixel"},
      {-5, "Memory error"}, {-6, "Bad Huffman table"}, {-7, "Bad Quantization table"},
      {-8, "Invalid JPEG_PROPERTIES"}, {-9, "Error close file"}, {-10, "Invalid file name"}, {-11, "Error EOF"},
      {-12, "Not supported"}, {-13, "Not JPEG"}, {-14, "Error COMP"}, {-15, "Error SOF"}, {-16, "Error DNL"},
      {-17, "No Huffman table"}, {-18, "No Quantization table"}, {-19, "No frame"}, {-20, "Multiply frame"},
      {-21, "Data error"}, {-22, "No image"}, {-23, "File error"}, {-24, "Internal error"},
      {-25, "Bad RST marker"}, {-26, "Thumbnail too small"}, {-27, "Thumbnail has wrong color"},
      {-28, "Output buffer too small"}, {-29, "Unsupported frame was found"},
      {-30, "Error access to jpeg_comment buffer"}, {-99, "Reserved"}, {3, "Unknown error code"},
      {-31, "Unknown error code"}, {-98, "Unknown error code"}};
  // clang-format on
  for (const auto& [status, text] : texts) EXPECT_STREQ(JpegStatusText(status), text) << status;
}

TEST(JpegCodec, ParametersOfGreyAndColourFilesAndTheirSampling) {
  test::ExpectOracle(test::kCjpeg);
  test::TemporaryDirectory directory;
  struct Case {
    std::string options;
    int channels, colour, subsampling;
  } const cases[] = {{"-grayscale", 1, 4, 0},  {"-sample 1x1", 3, 3, 0},
                     {"-sample 2x1", 3, 3, 1}, {"-sample 2x2 -progressive", 3, 3, 2},
                     {"-sample 1x2", 3, 3, 3}, {"-rgb", 3, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    const std::string path = directory.File("p.jpg");
    Write(path, test::EncodeWithCjpeg(test::MakeCtPicture(33, 17, 3), c.options));
    JpegProperties record{};
    ASSERT_EQ(ReadFileParameters(path, record), kSuccess);
    EXPECT_EQ(record.jpegWidth, 33);
    EXPECT_EQ(record.jpegHeight, 17);
    EXPECT_EQ(record.jpegChannels, c.channels);
    EXPECT_EQ(record.jpegColour, c.colour);
    EXPECT_EQ(record.jpegSubsampling, c.subsampling);
  }
}

TEST(JpegCodec, ParameterReadRefusesFilesThatAreNoJpegStream) {
  test::TemporaryDirectory directory;
  JpegProperties record{};
  EXPECT_EQ(ReadFileParameters(directory.File("missing.jpg"), record), kInvalidFileName);
  EXPECT_EQ(ReadFileParameters(directory.Path(), record), kInvalidFileName);  // a directory
  const std::pair<const char*, std::vector<std::uint8_t>> foreign[] = {
      {"empty", {}},
      {"text", {'J', 'P', 'E', 'G'}},
      {"bitmap", {'B', 'M', 0, 0, 0, 0}},
      // A valid stream after one stray byte: the start-of-image marker must come first.
      {"late SOI", {0x00, 0xFF, 0xD8, 0xFF, 0xD9}}};
  for (const auto& [name, bytes] : foreign) {
    Write(directory.File("f.jpg"), bytes);
    EXPECT_EQ(ReadFileParameters(directory.File("f.jpg"), record), kNotJpeg) << name;
  }
  Write(directory.File("f.jpg"), {0xFF, 0xD8, 0xFF, 0xD9});
  EXPECT_EQ(ReadFileParameters(directory.File("f.jpg"), record), kNoFrame);
  Write(directory.File("f.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 0x00});
  EXPECT_EQ(ReadFileParameters(directory.File("f.jpg"), record), kErrorEof);
}

TEST(JpegCodec, UnsupportedFrameTypesGiveStatus29) {
  test::ExpectOracle(test::kCjpeg);
  const auto stream = test::EncodeWithCjpeg(test::MakeCtPicture(16, 16, 1), "-grayscale");
  for (int marker : {0xC3, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCD, 0xCE, 0xCF}) {
    const test::CodecDecode decoded = test::DecodeWithCodec(test::WithFrame(stream, std::uint8_t(marker)), 1);
    EXPECT_EQ(decoded.parameterStatus, kUnsupportedFrame) << std::hex << marker;
  }
  const auto arithmetic = test::EncodeWithCjpeg(test::MakeCtPicture(16, 16, 1), "-grayscale -arithmetic");
  EXPECT_EQ(test::DecodeWithCodec(arithmetic, 1).parameterStatus, kUnsupportedFrame);
}

TEST(JpegCodec, ExtendedSequentialFrameDecodesLikeBaseline) {
  test::ExpectOracle(test::kCjpeg);
  const auto stream = test::EncodeWithCjpeg(test::MakeCtPicture(40, 24, 3), "-quality 80");
  const test::CodecDecode baseline = test::DecodeWithCodec(stream, 3);
  const test::CodecDecode extended = test::DecodeWithCodec(test::WithFrame(stream, 0xC1), 3);
  EXPECT_EQ(extended.imageStatus, kSuccess);
  EXPECT_EQ(extended.picture.samples, baseline.picture.samples);
}

TEST(JpegCodec, TwoAndFourComponentStreamsAreNotSupportedAndLeaveTheBitmapAlone) {
  test::ExpectOracle(test::kPython);
  const auto cmyk = test::EncodeWithPillow(test::MakeCtPicture(20, 12, 3), 90, false, 0, "CMYK");
  // Two components: the colour stream's frame header cut down to its first two components.
  auto two = test::EncodeWithCjpeg(test::MakeCtPicture(20, 12, 3), "-sample 1x1");
  const std::size_t sof = test::SegmentOffset(two, 0xC0);
  ASSERT_NE(sof, std::string::npos);
  two[sof + 3] -= 3;  // length
  two[sof + 9] = 2;   // component count
  two.erase(two.begin() + std::ptrdiff_t(sof + 16), two.begin() + std::ptrdiff_t(sof + 19));
  const std::vector<std::uint8_t>* streams[] = {&two, &cmyk};
  for (const std::vector<std::uint8_t>* stream : streams) {
    for (int channels : {1, 3}) {
      const test::CodecDecode decoded = test::DecodeWithCodec(*stream, channels, true, 0, 0xA5);
      EXPECT_EQ(decoded.parameterStatus, kSuccess);
      EXPECT_EQ(decoded.record.jpegChannels, stream == &two ? 2 : 4);
      EXPECT_EQ(decoded.imageStatus, kNotSupported);
      EXPECT_TRUE(std::all_of(decoded.bitmap.begin(), decoded.bitmap.end(), [](std::uint8_t b) { return b == 0xA5; }));
    }
  }
}

TEST(JpegCodec, ImageReadHonoursRowOrderPaddingAndChecksTheBitmapSide) {
  test::ExpectOracle(test::kCjpeg);
  const auto stream = test::EncodeWithCjpeg(test::MakeCtPicture(21, 11, 3), "-quality 90 -sample 2x2");
  for (int channels : {1, 3}) {
    const test::CodecDecode bottomUp = test::DecodeWithCodec(stream, channels, true, 5, 0xEE);
    const test::CodecDecode topDown = test::DecodeWithCodec(stream, channels, false, 0);
    ASSERT_EQ(bottomUp.imageStatus, kSuccess);
    EXPECT_EQ(bottomUp.picture.samples, topDown.picture.samples);
    // Padding bytes are not written.
    for (int row = 0; row < 11; ++row)
      for (int pad = 0; pad < 5; ++pad)
        EXPECT_EQ(bottomUp.bitmap[row * (21 * channels + 5) + 21 * channels + pad], 0xEE);
  }
  std::vector<std::uint8_t> bitmap(64 * 64 * 4);
  auto readInto = [&](int width, int height, int channels, int colour) {
    JpegProperties record{};
    JpegCodec::Init(record);
    record.jpegBuffer = stream.data();
    record.jpegBufferSize = static_cast<std::int32_t>(stream.size());
    record.bitmapPixels = bitmap.data();
    record.bitmapWidth = width;
    record.bitmapHeight = height;
    record.bitmapChannels = channels;
    record.bitmapColour = colour;
    const int status = JpegCodec::Read(record, kReadBufferImage);  // parameters read on the way
    JpegCodec::Free(record);
    return status;
  };
  EXPECT_EQ(readInto(21, -11, 1, 4), kSuccess);
  EXPECT_EQ(readInto(22, -11, 1, 4), kInvalidProperties);
  EXPECT_EQ(readInto(21, 12, 1, 4), kInvalidProperties);
  EXPECT_EQ(readInto(21, 11, 4, 4), kUnsupportedBytesPerPixel);
  EXPECT_EQ(readInto(21, 11, 1, 3), kNotSupported);
}

TEST(JpegCodec, ImageReadOfAnotherFileThanTheParametersReadsThatFile) {
  test::ExpectOracle(test::kCjpeg);
  test::TemporaryDirectory directory;
  const std::string first = directory.File("first.jpg"), second = directory.File("second.jpg");
  Write(first, test::EncodeWithCjpeg(test::MakeCtPicture(8, 8, 1), "-grayscale"));
  const auto secondStream = test::EncodeWithCjpeg(test::MakeCtPicture(16, 12, 1), "-grayscale");
  Write(second, secondStream);
  JpegProperties record;  // zero without an initialiser
  ASSERT_EQ(JpegCodec::Init(record), kSuccess);
  record.fileName = first.c_str();
  ASSERT_EQ(JpegCodec::Read(record, kReadFileParameters), kSuccess);
  std::vector<std::uint8_t> bitmap(16 * 12);
  record.fileName = second.c_str();
  record.bitmapPixels = bitmap.data();
  record.bitmapWidth = 16;
  record.bitmapHeight = 12;
  record.bitmapChannels = 1;
  record.bitmapColour = 4;
  EXPECT_EQ(JpegCodec::Read(record, kReadFileImage), kSuccess);
  JpegCodec::Free(record);
  EXPECT_EQ(bitmap, test::DecodeWithCodec(secondStream, 1, false).bitmap);
}

TEST(JpegCodec, UnusedModesAreNotSupported) {
  JpegProperties record{};
  JpegCodec::Init(record);
  for (int mode : {4, 5, 7, 14, 21}) EXPECT_EQ(JpegCodec::Read(record, mode), kNotSupported);
  for (int mode : {9, 10, 13}) EXPECT_EQ(JpegCodec::Write(record, mode), kNotSupported);
  JpegCodec::Free(record);
}

// A record set up to write the picture (top-down rows, no padding) to path.
JpegProperties WriteRecord(const test::Picture& picture, const std::string& path) {
  JpegProperties record{};
  JpegCodec::Init(record);
  record.bitmapPixels = const_cast<std::uint8_t*>(picture.samples.data());
  record.bitmapWidth = record.jpegWidth = picture.width;
  record.bitmapHeight = record.jpegHeight = picture.height;
  record.bitmapChannels = record.jpegChannels = picture.channels;
  record.bitmapColour = picture.channels == 1 ? 4 : 1;
  record.jpegColour = picture.channels == 1 ? 4 : 3;
  record.jpegSubsampling = 0;
  record.fileName = path.c_str();
  return record;
}

TEST(JpegCodec, WriteThenReadGivesThePictureBack) {
  test::TemporaryDirectory directory;
  for (int channels : {1, 3}) {
    const test::Picture picture = test::MakeCtPicture(45, 30, channels);
    const std::string path = directory.File("w.jpg");
    JpegProperties record = WriteRecord(picture, path);
    record.quality = 98;
    ASSERT_EQ(JpegCodec::Write(record, kWriteFileImage), kSuccess);
    JpegCodec::Free(record);
    const test::CodecDecode decoded = test::DecodeWithCodec(test::ReadFileBytes(path), channels, false);
    ASSERT_EQ(decoded.imageStatus, kSuccess);
    EXPECT_GE(test::Psnr(decoded.picture, picture), 38.0) << channels;
  }
}

TEST(JpegCodec, RefusedWritesLeaveTheExistingFileWhole) {
  test::TemporaryDirectory directory;
  const test::Picture picture = test::MakeCtPicture(8, 8, 1);
  const std::string path = directory.File("existing.jpg");
  Write(path, {1, 2, 3});
  struct Case {
    const char* what;
    void (*spoil)(JpegProperties&);
    int status;
  } const cases[] = {
      {"no pixels", [](JpegProperties& r) { r.bitmapPixels = nullptr; }, kInvalidProperties},
      {"two bytes per pixel", [](JpegProperties& r) { r.bitmapChannels = 2; }, kUnsupportedBytesPerPixel},
      {"sizes differ", [](JpegProperties& r) { r.jpegWidth = 9; }, kInvalidProperties},
      {"subsampled", [](JpegProperties& r) { r.jpegSubsampling = 2; }, kUnsupportedSubsampling},
      {"colour codes differ", [](JpegProperties& r) { r.jpegColour = 3; }, kNotSupported},
      {"no file name", [](JpegProperties& r) { r.fileName = nullptr; }, kInvalidFileName},
  };
  for (const Case& c : cases) {
    JpegProperties record = WriteRecord(picture, path);
    c.spoil(record);
    EXPECT_EQ(JpegCodec::Write(record, kWriteFileImage), c.status) << c.what;
    JpegCodec::Free(record);
    EXPECT_EQ(test::ReadFileBytes(path), (std::vector<std::uint8_t>{1, 2, 3})) << c.what;
  }
  const std::string unreachable = directory.File("missing/out.jpg");
  JpegProperties record = WriteRecord(picture, unreachable);
  EXPECT_EQ(JpegCodec::Write(record, kWriteFileImage), kInvalidFileName);
  JpegCodec::Free(record);
  // Only the target remains in the directory: no temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.Path()), {}), 1);
}

}  // namespace
}  // namespace orvel::jpeg
