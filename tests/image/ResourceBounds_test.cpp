// What a hostile header can make a reader take: a few bytes claiming a picture must not make one
// read hold more than the gigabyte any slice may take. Each read runs in a child process, whose
// growth of resident memory the parent measures.
#include <gtest/gtest.h>

#include "image/SliceImage.h"
#include "support/JpegBuilder.h"
#include "support/TestSupport.h"

namespace orvel {
namespace {

using test::Bytes;

// Well above what reading a small slice takes, under AddressSanitizer too; well below the bound.
constexpr long kModestKiB = 400 * 1024;

// A progressive frame whose three components the output uses (an Adobe segment says they are red,
// green and blue), with a DC scan whose data ends at once: 121 MB of bitmap, but 1.1 GB more of
// coefficients and sample planes had the decoder allocated them.
Bytes ProgressiveRgbHeader(int side) {
  test::JpegFrameSpec frame;
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

}  // namespace
}  // namespace orvel
