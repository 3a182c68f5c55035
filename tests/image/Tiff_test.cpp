#include <gtest/gtest.h>

#include "app/ImageLoader.h"
#include "image/ByteOrder.h"
#include "image/SliceImage.h"
#include "support/SliceFileTest.h"
#include "support/TestSupport.h"
#include "support/TiffBuilder.h"

namespace orvel {
namespace {

using Bytes = std::vector<unsigned char>;
using test::BuildTiff;
using test::TiffLayout;

class TiffTest : public test::SliceFileTest {
 protected:
  bool Load(const Bytes& bytes, SliceImage& image) {
    return LoadAs("slice0000.tif", bytes, image) == LoadStatus::kLoaded;
  }
};

TEST_F(TiffTest, GreyRowsArriveBottomUpWithPadding) {
  TiffLayout layout;
  layout.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  SliceImage image;
  ASSERT_TRUE(Load(BuildTiff(layout), image));
  EXPECT_EQ(image.GetBitCount(), 8);
  EXPECT_EQ(image.GetRowPadding(), 3);
  const std::uint8_t expected[16] = {6, 7, 8, 9, 10, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(image.GetBits()[i], expected[i]) << i;
  EXPECT_EQ(image.GetLowerLevel(), 127);
  EXPECT_EQ(image.GetUpperLevel(), 383);
  EXPECT_EQ(image.GetColourTable()[4 * 200], 200);  // grey table, grey scheme at identity levels
}

TEST_F(TiffTest, SixteenBitSamplesKeepTheirHighByte) {
  TiffLayout layout;
  layout.width = 2;
  layout.height = 1;
  layout.bits = 16;
  layout.pixels = {0x34, 0x12, 0xFF, 0xFF};
  SliceImage image;
  ASSERT_TRUE(Load(BuildTiff(layout), image));
  EXPECT_EQ(image.GetPixel(0, 0), 0x12);
  EXPECT_EQ(image.GetPixel(1, 0), 0xFF);
}

TEST_F(TiffTest, ResolutionPerInchOrPerCentimetre) {
  TiffLayout layout;
  layout.pixels.assign(10, 0);
  SliceImage image;
  ASSERT_TRUE(Load(BuildTiff(layout), image));
  EXPECT_EQ(image.GetXPelsPerMeter(), 3937);
  layout.xNumerator = 254;
  ASSERT_TRUE(Load(BuildTiff(layout), image));
  EXPECT_EQ(image.GetXPelsPerMeter(), 10000);
  layout.unit = 3;
  layout.xNumerator = 40;
  layout.yNumerator = 50;
  ASSERT_TRUE(Load(BuildTiff(layout), image));
  EXPECT_EQ(image.GetXPelsPerMeter(), 4000);
  EXPECT_EQ(image.GetYPelsPerMeter(), 5000);
}

TEST_F(TiffTest, PaletteFileShowsItsColourMapButKeepsGreyOriginalColours) {
  for (const int entries : {13, 14}) {
    TiffLayout layout;
    layout.photometric = 3;
    layout.entries = entries;
    layout.mapColours = 256;
    layout.pixels.assign(10, 3);
    SliceImage image;
    ASSERT_TRUE(Load(BuildTiff(layout), image)) << entries;
    EXPECT_EQ(image.GetColourCount(), 256);
    const std::uint8_t* table = image.GetColourTable();
    EXPECT_EQ(table[4 * 10 + 2], 10);                       // red
    EXPECT_EQ(table[4 * 10 + 1], 0x80);                     // green
    EXPECT_EQ(table[4 * 10 + 0], 245);                      // blue
    EXPECT_EQ(image.GetOriginalColours()[4 * 10 + 1], 10);  // grey
    image.ShowOriginal();
    EXPECT_EQ(image.GetColourTable()[4 * 10 + 1], 10);
  }
}

TEST_F(TiffTest, ForeignAndDamagedFilesAreRefused) {
  TiffLayout good;
  good.pixels.assign(10, 1);
  Bytes bigEndian = BuildTiff(good);
  bigEndian[0] = bigEndian[1] = 'M';
  TiffLayout otherCase = good;
  otherCase.maker = "VOXALON";
  Bytes directoryOutside = BuildTiff(good);
  StoreLe32(&directoryOutside[4], 1000000);
  TiffLayout resolutionOutside = good;
  resolutionOutside.resolutionOffsetOverride = 999999;
  TiffLayout mapOutside = good;
  mapOutside.photometric = 3;
  mapOutside.mapColours = 256;
  Bytes truncatedMap = BuildTiff(mapOutside);
  truncatedMap.resize(16 + 10 + 100);  // cuts the colour map and the directory
  StoreLe32(&truncatedMap[4], 16 + 10 + 90);
  TiffLayout huge = good;
  huge.width = 50000;
  huge.height = 50000;
  TiffLayout vast = good;  // 400 MB of 8-bit samples claimed by a file of a few hundred bytes
  vast.width = vast.height = 20000;
  vast.pixels.assign(100, 9);
  TiffLayout wide = vast;  // as many bytes of 16-bit samples
  wide.height = 10000;
  wide.bits = 16;
  const std::pair<const char*, Bytes> files[] = {{"big-endian", bigEndian},
                                                 {"maker VOXALON", BuildTiff(otherCase)},
                                                 {"directory outside", directoryOutside},
                                                 {"resolution outside", BuildTiff(resolutionOutside)},
                                                 {"colour map cut", truncatedMap},
                                                 {"50000 x 50000", BuildTiff(huge)},
                                                 {"8-bit samples far past the end", BuildTiff(vast)},
                                                 {"16-bit samples far past the end", BuildTiff(wide)}};
  for (const auto& [what, bytes] : files) {
    SliceImage image;
    EXPECT_FALSE(Load(bytes, image)) << what;
    EXPECT_TRUE(image.IsEmpty()) << what;
  }
  EXPECT_EQ(m_messages.Texts(), std::vector<std::string>(8, "Invalid tiff file"));
}

TEST_F(TiffTest, ShortPixelAreaReadsAsZero) {
  // A picture larger than the file: its rows run over the resolution block and the directory
  // up to the end of the file, and the rest of the last row reads as zeros.
  TiffLayout layout;
  layout.width = 300;
  layout.height = 1;
  layout.pixels = {1, 2, 3};
  const Bytes bytes = BuildTiff(layout);
  ASSERT_LT(bytes.size(), 16u + 300u);
  SliceImage image;
  ASSERT_TRUE(Load(bytes, image));
  EXPECT_EQ(image.GetPixel(0, 0), 1);
  EXPECT_EQ(image.GetPixel(2, 0), 3);
  for (int x = static_cast<int>(bytes.size()) - 16; x < 300; ++x) ASSERT_EQ(image.GetPixel(x, 0), 0) << x;
}

}  // namespace
}  // namespace orvel
