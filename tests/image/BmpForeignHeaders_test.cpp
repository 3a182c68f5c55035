// BMP files with the headers other programs write (the longer Windows headers, OS/2's, bit-field
// masks), read and exported again, with Pillow as the independent oracle: our colours must be the
// ones Pillow reads from the original file, and Pillow must read every export with those colours.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/ImageLoader.h"
#include "image/BmpFile.h"
#include "image/ByteOrder.h"
#include "image/SliceImage.h"
#include "support/BmpBuilder.h"
#include "support/SliceFileTest.h"
#include "support/TestSupport.h"

namespace orvel {
namespace {

using test::BmpLayout;

constexpr const char* kPython = "/usr/bin/python3";
constexpr int kBitFields = 3;

// Pillow's reading of a BMP file as red, green, blue samples, top row first; empty when Pillow
// refuses the file.
std::vector<std::uint8_t> PillowRgb(const std::string& path) {
  const std::string command = std::string(kPython) +
                              " -c 'import sys; from PIL import Image; "
                              "sys.stdout.buffer.write(Image.open(sys.argv[1]).convert(\"RGB\").tobytes())' '" +
                              path + "' 2>/dev/null";
  std::vector<std::uint8_t> samples;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return samples;
  std::uint8_t buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    samples.insert(samples.end(), buffer, buffer + got);
  const int status = pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) samples.clear();
  return samples;
}

// Our reading in the same form: colour-table entries for palette images, the pixels' own colour
// otherwise (16-bit pixels as 5 bits per channel, widened as Pillow widens them).
std::vector<std::uint8_t> OurRgb(const SliceImage& image) {
  std::vector<std::uint8_t> samples;
  const int bits = image.GetBitCount();
  for (int y = image.GetHeight() - 1; y >= 0; --y) {
    const std::uint8_t* row = image.GetStorageRow(y);
    for (int x = 0; x < image.GetWidth(); ++x) {
      if (bits <= 8) {
        const int shift = 8 - bits - (x * bits) % 8;
        const int index = (row[x * bits / 8] >> shift) & ((1 << bits) - 1);
        const std::uint8_t* entry = image.GetColourTable() + 4 * index;
        samples.insert(samples.end(), {entry[2], entry[1], entry[0]});
      } else if (bits == 16) {
        const int pixel = LoadLe16(row + 2 * x);
        for (int shift : {10, 5, 0}) samples.push_back(static_cast<std::uint8_t>(((pixel >> shift) & 31) * 255 / 31));
      } else {
        const std::uint8_t* p = row + x * bits / 8;
        samples.insert(samples.end(), {p[2], p[1], p[0]});
      }
    }
  }
  return samples;
}

struct ForeignCase {
  const char* name;
  int headerSize, bits, compression;
  std::vector<std::uint32_t> masks;
};

// Pixels that reach every palette index and every bit of every mask, rows padded to 4 bytes.
BmpLayout Layout(const ForeignCase& c) {
  BmpLayout layout;
  layout.width = 19;
  layout.height = 5;
  layout.bits = c.bits;
  layout.colours = c.bits <= 8 ? 1 << c.bits : 0;
  layout.compression = c.compression;
  layout.headerSize = c.headerSize;
  layout.masks = c.masks;
  const std::size_t rowBytes = (static_cast<std::size_t>(layout.width) * c.bits + 31) / 32 * 4;
  for (std::size_t i = 0; i < rowBytes * layout.height; ++i)
    layout.pixels.push_back(static_cast<unsigned char>(i * 37 + i / 7));
  return layout;
}

const ForeignCase kCases[] = {
    {"scanner 8-bit", 40, 8, 0, {}},
    {"OS/2 8-bit", 64, 8, 0, {}},
    {"V4 8-bit", 108, 8, 0, {}},
    {"V5 8-bit", 124, 8, 0, {}},
    {"V5 4-bit", 124, 4, 0, {}},
    {"V5 24-bit", 124, 24, 0, {}},
    {"bit fields 5-6-5", 40, 16, kBitFields, {0xF800, 0x07E0, 0x001F}},
    {"V4 bit fields 5-5-5", 108, 16, kBitFields, {0x7C00, 0x03E0, 0x001F, 0}},
    {"V5 bit fields 32-bit", 124, 32, kBitFields, {0xFF0000, 0xFF00, 0xFF, 0}},
    {"V5 bit fields 32-bit with alpha", 124, 32, kBitFields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}},
};

class BmpForeignHeaderTest : public test::SliceFileTest {
 protected:
  void SetUp() override { ASSERT_EQ(access(kPython, X_OK), 0) << kPython << " is missing: install python3-pil"; }
};

TEST_F(BmpForeignHeaderTest, ColoursAreThoseTheOtherProgramsRead) {
  for (const ForeignCase& c : kCases) {
    const std::string path = m_dir.File("foreign0000.bmp");
    test::WriteFile(path, test::BuildBmp(Layout(c)));
    const std::vector<std::uint8_t> expected = PillowRgb(path);
    ASSERT_EQ(expected.size(), 19u * 5u * 3u) << c.name << ": Pillow cannot read the test file";
    SliceImage image;
    ASSERT_EQ(LoadImageFile(path, image), LoadStatus::kLoaded) << c.name;
    EXPECT_TRUE(OurRgb(image) == expected) << c.name;
  }
}

TEST_F(BmpForeignHeaderTest, ExportsAreFilesOtherProgramsReadWithTheSameColours) {
  for (const ForeignCase& c : kCases) {
    const std::string path = m_dir.File("foreign0000.bmp"), exported = m_dir.File("export.bmp");
    test::WriteFile(path, test::BuildBmp(Layout(c)));
    SliceImage image;
    ASSERT_EQ(LoadImageFile(path, image), LoadStatus::kLoaded) << c.name;
    ASSERT_TRUE(SaveBmpFile(image, exported)) << c.name;
    EXPECT_TRUE(PillowRgb(exported) == PillowRgb(path)) << c.name << ": Pillow reads the export otherwise or not";
    const std::vector<unsigned char> file = test::ReadFileBytes(exported);
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(LoadLe32(&file[14]), 40u) << c.name;  // the header held and written is 40 bytes long
    EXPECT_EQ(LoadLe32(&file[30]), 0u) << c.name;   // of uncompressed pixels
  }
}

TEST_F(BmpForeignHeaderTest, ScannerFilesKeepTheirHeaderAndColours) {
  const std::string path = m_dir.File("scan0000.bmp");
  const std::vector<unsigned char> bytes = test::BuildBmp(Layout(kCases[0]));
  test::WriteFile(path, bytes);
  SliceImage image;
  ASSERT_EQ(LoadImageFile(path, image), LoadStatus::kLoaded);
  EXPECT_EQ(image.GetHeaderBlock(), std::vector<std::uint8_t>(bytes.begin() + 14, bytes.begin() + 14 + 40 + 1024));
  ASSERT_TRUE(SaveBmpFile(image, m_dir.File("export.bmp")));
  EXPECT_EQ(test::ReadFileBytes(m_dir.File("export.bmp")), bytes);
}

}  // namespace
}  // namespace orvel
