// The 20-byte JFIF header the slice image reads the resolution from and patches it into.
#include "image/JfifHeader.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/TestSupport.h"

namespace orvel {
namespace {

std::vector<unsigned char> JfifStart(int units, int x, int y) {
  // clang-format off
  return {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, static_cast<unsigned char>(units),
          static_cast<unsigned char>(x >> 8), static_cast<unsigned char>(x), static_cast<unsigned char>(y >> 8),
          static_cast<unsigned char>(y), 0, 0, 0xFF, 0xDB};
  // clang-format on
}

TEST(JpegJfifHeader, ReadFromTellsJfifFromOtherFiles) {
  test::TemporaryDirectory directory;
  const std::string path = directory.File("f.jpg");
  JfifHeader header;
  test::WriteFile(path, JfifStart(1, 72, 72));
  EXPECT_EQ(header.ReadFrom(path), 0);

  auto zeroLength = JfifStart(1, 72, 72);
  zeroLength[4] = zeroLength[5] = 0;
  auto exif = JfifStart(1, 72, 72);
  exif[3] = 0xE1;
  auto notJfif = JfifStart(1, 72, 72);
  notJfif[10] = ' ';
  auto shortFile = JfifStart(1, 72, 72);
  shortFile.resize(19);
  for (const auto& bytes : {zeroLength, exif, notJfif, shortFile}) {
    test::WriteFile(path, bytes);
    EXPECT_EQ(header.ReadFrom(path), JfifHeader::kNotJfif);
  }
  EXPECT_EQ(header.ReadFrom(directory.File("missing.jpg")), ENOENT);
  EXPECT_EQ(header.Bytes(), (std::array<std::uint8_t, 20>{}));  // zeroed before reading
}

TEST(JpegJfifHeader, DotsPerInchFromEveryUnit) {
  test::TemporaryDirectory directory;
  const std::string path = directory.File("f.jpg");
  struct Case {
    int units, x, y, dpiX, dpiY;
  } const cases[] = {{1, 300, 150, 300, 150}, {2, 40, 118, 101, 299}, {0, 1, 1, 704, 704}, {7, 300, 300, 704, 704}};
  for (const Case& c : cases) {
    test::WriteFile(path, JfifStart(c.units, c.x, c.y));
    JfifHeader header;
    ASSERT_EQ(header.ReadFrom(path), 0);
    EXPECT_EQ(header.GetXDpi(), c.dpiX);
    EXPECT_EQ(header.GetYDpi(), c.dpiY);
  }
}

TEST(JpegJfifHeader, SetDpiSwitchesToInchesAndWriteToPatchesInPlace) {
  test::TemporaryDirectory directory;
  const std::string path = directory.File("f.jpg");
  auto file = JfifStart(2, 40, 40);
  file.insert(file.end(), 100, 0x5A);  // the rest of the stream must stay
  test::WriteFile(path, file);
  JfifHeader header;
  ASSERT_EQ(header.ReadFrom(path), 0);
  header.SetXDpi(600);
  header.SetYDpi(70000);  // beyond the 16-bit field: the largest it holds
  ASSERT_EQ(header.WriteTo(path), 0);
  const auto written = test::ReadFileBytes(path);
  ASSERT_EQ(written.size(), file.size());
  EXPECT_EQ(written[13], 1);
  EXPECT_EQ((written[14] << 8) | written[15], 600);
  EXPECT_EQ((written[16] << 8) | written[17], 65535);
  EXPECT_TRUE(std::equal(file.begin() + 18, file.end(), written.begin() + 18));
  EXPECT_EQ(header.WriteTo(directory.File("missing.jpg")), ENOENT);
}

}  // namespace
}  // namespace orvel
