#include <gtest/gtest.h>

#include <cstring>

#include "app/ImageLoader.h"
#include "image/BmpFile.h"
#include "image/ByteOrder.h"
#include "image/SliceImage.h"
#include "platform/File.h"
#include "support/BmpBuilder.h"
#include "support/SliceFileTest.h"
#include "support/TestSupport.h"

namespace orvel {
namespace {

using Bytes = std::vector<unsigned char>;
using test::BmpLayout;
using test::BuildBmp;

class BmpTest : public test::SliceFileTest {
 protected:
  bool Load(const Bytes& bytes, SliceImage& image) {
    return LoadAs("slice0000.bmp", bytes, image) == LoadStatus::kLoaded;
  }
};

TEST_F(BmpTest, PaletteImageLoadsWithItsTableAsColoursAndOriginalColours) {
  BmpLayout layout;
  layout.width = 100;
  layout.height = 7;
  for (int i = 0; i < 700; ++i) layout.pixels.push_back(static_cast<unsigned char>(i));
  SliceImage image;
  ASSERT_TRUE(Load(BuildBmp(layout), image));
  EXPECT_EQ(image.GetColourCount(), 256);
  EXPECT_EQ(image.GetImageBytes(), 700u);
  EXPECT_EQ(image.GetLowerLevel(), 128);
  EXPECT_EQ(image.GetUpperLevel(), 383);
  const Bytes file = BuildBmp(layout);
  EXPECT_EQ(0, std::memcmp(image.GetColourTable(), &file[54], 1024));
  EXPECT_EQ(0, std::memcmp(image.GetOriginalColours().data(), &file[54], 1024));
  EXPECT_EQ(image.GetPixel(99, 6), static_cast<std::uint8_t>(699));
  EXPECT_EQ(image.GetXPelsPerMeter(), 3780);
}

TEST_F(BmpTest, MissingVerticalResolutionBecomes254000) {
  BmpLayout layout;
  layout.yPels = 0;
  layout.pixels.assign(8, 1);
  SliceImage image;
  ASSERT_TRUE(Load(BuildBmp(layout), image));
  EXPECT_EQ(image.GetYPelsPerMeter(), 254000);
  EXPECT_EQ(image.GetXPelsPerMeter(), 3780);
}

TEST_F(BmpTest, ForeignAndDamagedFilesAreRefusedAndLeaveTheImageEmpty) {
  BmpLayout good;
  good.pixels.assign(8, 7);
  Bytes wrongType = BuildBmp(good);
  wrongType[1] = 'A';
  Bytes shortBlock = BuildBmp(good);
  StoreLe32(&shortBlock[10], 14 + 40 + 100);  // colour table cut short
  BmpLayout zeroWidth = good;
  zeroWidth.width = 0;
  BmpLayout huge = good;
  huge.width = 40000;
  huge.height = 40000;  // 1.6 GB of pixels
  BmpLayout badBits = good;
  badBits.bits = 7;
  BmpLayout vast = good;  // 400 MB of pixels claimed by a file of a few hundred bytes
  vast.width = vast.height = 20000;
  vast.pixels.assign(100, 9);
  BmpLayout vastTopDown = vast;
  vastTopDown.height = -20000;
  for (const Bytes& bytes : {wrongType, shortBlock, BuildBmp(zeroWidth), BuildBmp(huge), BuildBmp(badBits),
                             BuildBmp(vast), BuildBmp(vastTopDown)}) {
    SliceImage image;
    ASSERT_TRUE(Load(BuildBmp(good), image));
    EXPECT_FALSE(Load(bytes, image));
    EXPECT_TRUE(image.IsEmpty());
  }
  EXPECT_EQ(m_messages.Texts(), std::vector<std::string>(7, "Invalid bitmap file"));
}

TEST_F(BmpTest, TenByteFileFailsWithoutMessage) {
  SliceImage image;
  EXPECT_FALSE(Load(Bytes(10, 'B'), image));
  EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(BmpTest, ShortPixelAreaReadsAsZero) {
  BmpLayout layout;
  layout.pixels = {9, 9, 9};
  SliceImage image;
  ASSERT_TRUE(Load(BuildBmp(layout), image));
  EXPECT_EQ(image.GetPixel(2, 0), 9);
  EXPECT_EQ(image.GetPixel(3, 0), 0);
  EXPECT_EQ(image.GetPixel(0, 1), 0);
}

// Short by no more than three times what the file holds and a megabyte, as a scan cut off can be
// (pixels claimed far past that are refused above).
TEST_F(BmpTest, ATruncatedScanReads) {
  BmpLayout truncated;  // 16 MiB claimed, 5 MiB present
  truncated.width = truncated.height = 4096;
  truncated.pixels.assign(5u << 20, 9);
  SliceImage image;
  ASSERT_TRUE(Load(BuildBmp(truncated), image));
  EXPECT_EQ(image.GetPixel(4095, 1279), 9);  // the last of the 1280 storage rows present
  EXPECT_EQ(image.GetPixel(0, 1280), 0);
  EXPECT_EQ(image.GetPixel(4095, 4095), 0);
}

TEST_F(BmpTest, TopDownFileIsHeldBottomUpAndWritesBackCorrectly) {
  BmpLayout layout;
  layout.height = -2;
  layout.pixels = {1, 2, 3, 4, 5, 6, 7, 8};  // first stored row is the top row
  SliceImage image;
  ASSERT_TRUE(Load(BuildBmp(layout), image));
  EXPECT_EQ(image.GetHeight(), 2);
  EXPECT_EQ(image.GetPixel(0, 1), 1);  // storage row 1 is the top
  EXPECT_EQ(image.GetPixel(0, 0), 5);
  ASSERT_TRUE(SaveBmpFile(image, m_dir.File("out0000.bmp")));
  SliceImage back;
  ASSERT_EQ(LoadImageFile(m_dir.File("out0000.bmp"), back), LoadStatus::kLoaded);
  EXPECT_EQ(back.GetHeight(), 2);
  EXPECT_EQ(back.GetPixel(0, 1), 1);
}

TEST_F(BmpTest, RunLengthEncodedFilesAreDecoded) {
  BmpLayout rle8;
  rle8.width = 6;
  rle8.height = 2;
  rle8.compression = 1;
  // row 0: run of 3 x 7, absolute 2 5 9, end of line; row 1: delta (2, 0), run 2 x 4, end of bitmap
  rle8.pixels = {3, 7, 0, 3, 2, 5, 9, 0, 0, 0, 0, 2, 2, 0, 2, 4, 0, 1};
  SliceImage image;
  ASSERT_TRUE(Load(BuildBmp(rle8), image));
  const std::uint8_t row0[6] = {7, 7, 7, 2, 5, 9};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(image.GetPixel(x, 0), row0[x]) << x;
  EXPECT_EQ(image.GetPixel(1, 1), 0);
  EXPECT_EQ(image.GetPixel(2, 1), 4);
  EXPECT_EQ(image.GetPixel(3, 1), 4);
  EXPECT_EQ(image.HeaderField32(header::kCompression), 0);

  BmpLayout rle4;
  rle4.width = 6;
  rle4.height = 1;
  rle4.bits = 4;
  rle4.colours = 16;
  rle4.compression = 2;
  rle4.pixels = {3, 0x12, 0, 3, 0xAB, 0xC0, 0, 1};  // 1 2 1, then absolute A B C
  ASSERT_TRUE(Load(BuildBmp(rle4), image));
  EXPECT_EQ(image.GetBits()[0], 0x12);
  EXPECT_EQ(image.GetBits()[1], 0x1A);
  EXPECT_EQ(image.GetBits()[2], 0xBC);
}

TEST_F(BmpTest, WrittenFileHasTheExpectedLayoutAndReadsBackTheSame) {
  SliceImage image;
  image.Create(5, 2, 8, false);
  for (int i = 0; i < 256; ++i) image.GetColourTable()[4 * i + 1] = static_cast<std::uint8_t>(i);
  image.SetPixel(4, 1, 200);
  image.SetXPelsPerMeter(5000);
  image.SetYPelsPerMeter(6000);
  ASSERT_TRUE(SaveBmpFile(image, m_dir.File("w.bmp")));
  const Bytes file = test::ReadFileBytes(m_dir.File("w.bmp"));
  ASSERT_EQ(file.size(), 1094u);
  EXPECT_EQ(LoadLe32(&file[10]), 1078u);
  EXPECT_EQ(LoadLe32(&file[2]), 1094u);
  SliceImage back;
  ASSERT_EQ(LoadImageFile(m_dir.File("w.bmp"), back), LoadStatus::kLoaded);
  EXPECT_EQ(back.GetHeaderBlock(), image.GetHeaderBlock());
  EXPECT_EQ(0, std::memcmp(back.GetBits(), image.GetBits(), 16));
}

TEST_F(BmpTest, RowsOf65536BitsAndMoreLayOutAndRoundTrip) {
  SliceImage image;
  image.Create(3000, 3, 24, false);  // 72000 bits per row
  EXPECT_EQ(image.GetRowBytes(), 9000);
  EXPECT_EQ(image.GetImageBytes(), 27000u);
  image.GetBits()[26999] = 77;
  ASSERT_TRUE(SaveBmpFile(image, m_dir.File("wide.bmp")));
  SliceImage back;
  ASSERT_EQ(LoadImageFile(m_dir.File("wide.bmp"), back), LoadStatus::kLoaded);
  EXPECT_EQ(back.GetWidth(), 3000);
  EXPECT_EQ(back.GetBits()[26999], 77);

  image.Create(9000, 2, 8, false);  // an 8-bit row of 72000 bits
  EXPECT_EQ(image.GetRowBytes(), 9000);
  image.SetPixel(8999, 1, 5);
  EXPECT_EQ(image.GetBits()[17999], 5);
}

TEST_F(BmpTest, LowBitDepthsLoadWithTheirColourCounts) {
  for (const auto& [bits, colours] : {std::pair{1, 2}, {4, 16}, {24, 0}}) {
    BmpLayout layout;
    layout.bits = bits;
    layout.colours = colours;
    layout.pixels.assign(32, 0x5A);
    SliceImage image;
    ASSERT_TRUE(Load(BuildBmp(layout), image)) << bits;
    EXPECT_EQ(image.GetColourCount(), colours);
    EXPECT_EQ(image.GetBitCount(), bits);
    EXPECT_EQ(image.GetDisplayPalette() != nullptr, colours > 0);
  }
}

TEST_F(BmpTest, AFailedSaveLeavesTheOldFileIntact) {
  const std::string path = m_dir.File("keep.bmp");
  test::WriteFile(path, std::string("old contents"));
  SliceImage empty;
  EXPECT_FALSE(SaveBmpFile(empty, path));
  const Bytes after = test::ReadFileBytes(path);
  EXPECT_EQ(std::string(after.begin(), after.end()), "old contents");
  EXPECT_FALSE(SaveBmpFile(empty, m_dir.File("missing-dir/x.bmp")));
  EXPECT_EQ(m_messages.Texts().back(), "write error");
}

}  // namespace
}  // namespace orvel
