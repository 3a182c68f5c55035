// What a hostile header can make a reader take: a few bytes claiming a picture must not make one
// read hold more than the gigabyte any slice may take, nor much more than its file before reading
// the pixels. Reads that would take much run in a child process, whose growth of resident memory
// the parent measures.
#include <gtest/gtest.h>

#include "app/ImageLoader.h"
#include "image/SliceImage.h"
#include "support/BmpBuilder.h"
#include "support/JpegBuilder.h"
#include "support/TestSupport.h"
#include "support/TiffBuilder.h"

namespace orvel {
namespace {

using test::Bytes;

// Well above what reading a small slice takes, under AddressSanitizer too; well below the bound.
constexpr long kModestKiB = 400 * 1024;

// A progressive frame whose three components the output uses (an Adobe segment says they are red,
// green and blue), with a DC scan whose data ends at once: 121 MB of bitmap, but 1.1 GB more of
// coefficients and sample planes had the decoder allocated them.
Bytes ProgressiveRgbHeader(int side) {
  test::JpegFrameLayout frame;
  frame.marker = 0xC2;
  frame.width = frame.height = side;
  frame.components = {{1, 1, 1}, {2, 1, 1}, {3, 1, 1}};
  frame.adobeRgb = true;
  Bytes stream = test::JpegFrameHeader(frame);
  test::AppendJpegScan(stream, {1, 2, 3}, 0, 0, 0, {0x00, 0x00});
  test::AppendJpegMarker(stream, 0xD9);
  return stream;
}

TEST(ResourceBoundsTest, JpegDecodeCountsItsCoefficientsAndPlanesWithTheBitmap) {
  test::TemporaryDirectory dir;
  const std::string path = dir.File("rgb0000.jpg");
  test::WriteFile(path, ProgressiveRgbHeader(11000));
  const test::ChildRun run = test::RunInChild([&] {
    SliceImage image;
    const bool read = image.ReadJpeg(path);
    return read ? 1 : (image.IsEmpty() ? 0 : 2);
  });
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.status, 0) << "a decode that needs more memory than a slice may take fails and leaves no image";
  EXPECT_LT(run.growthKiB, kModestKiB);
  EXPECT_GE(run.growthKiB, 0);
}

TEST(ResourceBoundsTest, JpegFramesWithinTheBoundStillDecode) {
  // The same frame at 2000 x 2000 needs 40 MB: it reads, its pixels what the one DC scan gave.
  test::TemporaryDirectory dir;
  const std::string path = dir.File("rgb0000.jpg");
  test::WriteFile(path, ProgressiveRgbHeader(2000));
  SliceImage image;
  ASSERT_TRUE(image.ReadJpeg(path));
  EXPECT_EQ(image.GetSize(), std::make_pair(2000, 2000));
}

// A file holding `present` bytes of the pixels of a width x height 8-bit slice.
Bytes UncompressedSlice(const std::string& extension, int width, int height, std::size_t present) {
  if (extension == "bmp") {
    test::BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.pixels.assign(present, 7);
    return test::BuildBmp(layout);
  }
  test::TiffLayout layout;  // the directory follows the pixels, so the file is made whole around them
  layout.width = width;
  layout.height = height;
  layout.pixels.assign(present, 7);
  return test::BuildTiff(layout);
}

TEST(ResourceBoundsTest, UncompressedPixelsMissingFarBeyondWhatTheFileHoldsAreRefused) {
  // Before its pixels are read a reader may take a small multiple of the file: what is missing of
  // them may be three times what the file holds and a megabyte, as a scan cut short can be.
  struct Case {
    const char* extension;
    std::size_t present;  // of the 2048 x 4096 = 8 MiB of pixels
    bool reads;
  };
  for (const Case& c : {Case{"bmp", 2 << 20, true}, Case{"tif", 2 << 20, true}, Case{"bmp", 1 << 20, false},
                        Case{"tif", 1 << 20, false}, Case{"bmp", 1000, false}, Case{"tif", 1000, false}}) {
    test::TemporaryDirectory dir;
    test::MessageCapture messages;
    const std::string path = dir.File(std::string("cut0000.") + c.extension);
    test::WriteFile(path, UncompressedSlice(c.extension, 2048, 4096, c.present));
    SliceImage image;
    const LoadStatus status = LoadImageFile(path, image);
    EXPECT_EQ(status == LoadStatus::kLoaded, c.reads) << c.extension << " " << c.present;
    if (!c.reads) {
      EXPECT_TRUE(image.IsEmpty());
      EXPECT_EQ(messages.Texts().size(), 1u);
    }
  }
}

}  // namespace
}  // namespace orvel
