// Damaged and hostile slice files, made here: cut short at every byte of their headers, with
// sizes, offsets and colour counts that cannot be, and files that are no files at all. Each read
// gives its format's message or a failure and leaves the image empty, or partly filled where only
// pixels are missing; none reaches outside a buffer (these tests also run under AddressSanitizer).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "app/DatasetDiscovery.h"
#include "app/ImageLoader.h"
#include "image/BmpFile.h"
#include "image/ByteOrder.h"
#include "image/SliceImage.h"
#include "support/BmpBuilder.h"
#include "support/JpegBuilder.h"
#include "support/SliceFileTest.h"
#include "support/TestSupport.h"
#include "support/TiffBuilder.h"

namespace orvel {
namespace {

using test::Bytes;

constexpr const char* kInvalidBitmap = "Invalid bitmap file";
constexpr const char* kInvalidTiff = "Invalid tiff file";

class MalformedFilesTest : public test::SliceFileTest {
 protected:
  // Reads bytes as the slice file name into an image that held a picture before.
  LoadStatus Load(const std::string& name, const Bytes& bytes, SliceImage& image) {
    image.Create(8, 8, 8, false);
    return LoadAs(name, bytes, image);
  }
  // The messages shown since the last call.
  std::vector<std::string> TakeMessages() {
    std::vector<std::string> texts = m_messages.Texts();
    texts.erase(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(m_seen));
    m_seen = m_messages.Texts().size();
    return texts;
  }
  // A refusal: the image is empty and the format's message (or none) was shown once.
  void ExpectRefused(LoadStatus status, const SliceImage& image, const char* message, const std::string& what) {
    EXPECT_NE(status, LoadStatus::kLoaded) << what;
    EXPECT_TRUE(image.IsEmpty()) << what;
    const std::vector<std::string> shown = TakeMessages();
    EXPECT_EQ(shown, message ? std::vector<std::string>{message} : std::vector<std::string>{}) << what;
  }

  // A file of this name and these bytes that the reader must refuse with message (or none).
  struct RefusedFile {
    std::string what, name;
    Bytes bytes;
    const char* message;
  };
  void ExpectAllRefused(const std::vector<RefusedFile>& files) {
    for (const RefusedFile& file : files) {
      SliceImage image;
      ExpectRefused(Load(file.name, file.bytes, image), image, file.message, file.what);
    }
  }

  std::size_t m_seen = 0;
};

Bytes Ramp(std::size_t count) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>(1 + i % 250);
  return bytes;
}

test::BmpLayout PlainBmp(int width, int height) {
  test::BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.pixels = Ramp(static_cast<std::size_t>((width + 3) / 4 * 4) * height);
  return layout;
}

TEST_F(MalformedFilesTest, BmpCutShortAnywhereInItsHeadersIsRefused) {
  test::BmpLayout plain = PlainBmp(6, 4);
  test::BmpLayout v5 = plain;
  v5.headerSize = 124;
  test::BmpLayout fields = PlainBmp(6, 4);
  fields.bits = 16;
  fields.colours = 0;
  fields.compression = 3;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  test::BmpLayout runs = PlainBmp(6, 4);
  runs.compression = 1;
  runs.pixels = {6, 3, 0, 0, 6, 4, 0, 1};
  for (const test::BmpLayout& layout : {plain, v5, fields, runs}) {
    const Bytes whole = test::BuildBmp(layout);
    const std::size_t pixelOffset = LoadLe32(&whole[10]);
    for (std::size_t cut = 0; cut < pixelOffset; ++cut) {
      SliceImage image;
      const LoadStatus status = Load("cut0000.bmp", Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(cut)), image);
      // Fewer bytes than the file header: no bitmap file at all, and no message.
      ExpectRefused(status, image, cut < 14 ? nullptr : kInvalidBitmap,
                    "header " + std::to_string(layout.headerSize) + ", cut at " + std::to_string(cut));
    }
  }
}

TEST_F(MalformedFilesTest, BmpCutShortInItsPixelsKeepsThePixelsBeforeTheCut) {
  const Bytes whole = test::BuildBmp(PlainBmp(6, 4));  // rows of 8 bytes, bottom row first
  const std::size_t pixelOffset = LoadLe32(&whole[10]);
  for (std::size_t kept = 1; kept < 32; kept += 5) {
    SliceImage image;
    ASSERT_EQ(Load("cut0000.bmp", Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(pixelOffset + kept)), image),
              LoadStatus::kLoaded);
    const std::uint8_t* bits = image.GetBits();
    for (std::size_t i = 0; i < 32; ++i) EXPECT_EQ(bits[i], i < kept ? whole[pixelOffset + i] : 0) << kept << " " << i;
  }
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(MalformedFilesTest, TiffCutShortAnywhereBeforeItsEndIsRefused) {
  // Header, pixels, colour map, resolutions, then the directory: a cut anywhere loses part of it.
  test::TiffLayout grey;
  grey.pixels = Ramp(10);
  test::TiffLayout palette = grey;
  palette.photometric = 3;
  palette.mapColours = 4;
  for (const test::TiffLayout& layout : {grey, palette}) {
    const Bytes whole = test::BuildTiff(layout);
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
      SliceImage image;
      const LoadStatus status = Load("cut0000.tif", Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(cut)), image);
      ExpectRefused(status, image, kInvalidTiff,
                    "photometric " + std::to_string(layout.photometric) + ", cut at " + std::to_string(cut) + " of " +
                        std::to_string(whole.size()));
    }
  }
}

TEST_F(MalformedFilesTest, JpegCutShortBeforeItsScanIsRefusedAndWithinItKeepsAPicture) {
  SliceImage picture;
  picture.Create(24, 16, 8, false);
  for (std::uint32_t i = 0; i < picture.GetImageBytes(); ++i) picture.GetBits()[i] = static_cast<std::uint8_t>(i * 5);
  ASSERT_TRUE(picture.WriteJpeg(m_dir.File("whole0000.jpg"), 90));
  const Bytes whole = test::ReadFileBytes(m_dir.File("whole0000.jpg"));
  std::size_t scanData = 0;  // just past the scan header
  for (std::size_t at = 0; at + 3 < whole.size() && !scanData; ++at)
    if (whole[at] == 0xFF && whole[at + 1] == 0xDA) scanData = at + 2 + (whole[at + 2] << 8 | whole[at + 3]);
  std::size_t frameEnd = 0;  // just past the frame header
  for (std::size_t at = 0; at + 3 < whole.size() && !frameEnd; ++at)
    if (whole[at] == 0xFF && whole[at + 1] == 0xC0) frameEnd = at + 2 + (whole[at + 2] << 8 | whole[at + 3]);
  ASSERT_TRUE(scanData && frameEnd);
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    SliceImage image;
    const LoadStatus status = Load("cut0000.jpg", Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(cut)), image);
    if (cut < frameEnd) {
      ExpectRefused(status, image, nullptr, "cut at " + std::to_string(cut));
    } else {
      // The frame's picture, as far as its data arrived (nothing before the scan data).
      ASSERT_EQ(status, LoadStatus::kLoaded) << cut;
      EXPECT_EQ(image.GetSize(), std::make_pair(24, 16));
      if (cut <= scanData) {
        EXPECT_TRUE(std::all_of(image.GetBits(), image.GetBits() + image.GetImageBytes(), [](std::uint8_t v) {
          return v == 0;
        })) << cut;
      }
    }
  }
}

TEST_F(MalformedFilesTest, JpegWithBadOrMissingMarkersIsRefused) {
  const Bytes good = [] {
    Bytes stream = test::JpegFrameHeader({});
    test::AppendJpegScan(stream, {1}, 0, 63, 0, {0x00});
    test::AppendJpegMarker(stream, 0xD9);
    return stream;
  }();
  SliceImage control;
  ASSERT_EQ(Load("good0000.jpg", good, control), LoadStatus::kLoaded);
  auto withFrameMarker = [&](int marker) {
    Bytes stream = good;
    for (std::size_t at = 2; at + 1 < stream.size(); ++at)
      if (stream[at] == 0xFF && stream[at + 1] == 0xC0) stream[at + 1] = static_cast<unsigned char>(marker);
    return stream;
  };
  struct Case {
    std::string what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"no start of image", Bytes(good.begin() + 2, good.end())},
      {"start of image alone", {0xFF, 0xD8}},
      {"end of image before a frame", {0xFF, 0xD8, 0xFF, 0xD9}},
      {"a scan before any frame", withFrameMarker(0xFE)},
      {"a lossless frame", withFrameMarker(0xC3)},
      {"an arithmetic-coded frame", withFrameMarker(0xC9)},
      // The start of image and the marker at 2 of the good file, then 0xFFFF for that segment's length.
      {"a segment longer than the file", Bytes{good[0], good[1], good[2], good[3], 0xFF, 0xFF}},
      {"markers of nothing but fill bytes", Bytes{0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
  };
  for (const Case& c : cases) {
    SliceImage image;
    ExpectRefused(Load("marker0000.jpg", c.bytes, image), image, nullptr, c.what);
  }
}

TEST_F(MalformedFilesTest, ImpossibleSizesAreRefused) {
  std::vector<RefusedFile> cases;
  auto bmp = [&](const std::string& what, std::int64_t width, std::int64_t height, int bits) {
    test::BmpLayout layout = PlainBmp(4, 2);
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    layout.bits = bits;
    cases.push_back({"BMP " + what, "size0000.bmp", test::BuildBmp(layout), kInvalidBitmap});
  };
  bmp("zero width", 0, 2, 8);
  bmp("zero height", 4, 0, 8);
  bmp("negative width", -4, 2, 8);
  bmp("largest width", 0x7FFFFFFF, 1, 8);
  bmp("smallest height", 4, -0x7FFFFFFF - 1, 8);
  bmp("4 GiB of 1-bit rows", 0x7FFFFFFF, 16, 1);
  bmp("65536 x 65536", 65536, 65536, 8);
  bmp("no bits per pixel", 4, 2, 0);
  bmp("64 bits per pixel", 4, 2, 64);
  auto tiff = [&](const std::string& what, std::uint32_t width, std::uint32_t height) {
    test::TiffLayout layout;
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    layout.pixels = Ramp(10);
    cases.push_back({"TIFF " + what, "size0000.tif", test::BuildTiff(layout), kInvalidTiff});
  };
  tiff("zero width", 0, 2);
  tiff("zero height", 5, 0);
  tiff("width past 2^31", 0x80000000u, 1);
  tiff("largest height", 5, 0xFFFFFFFFu);
  tiff("70000 x 70000", 70000, 70000);
  auto jpeg = [&](const std::string& what, int width, int height) {
    test::JpegFrameLayout frame;
    frame.width = width;
    frame.height = height;
    Bytes stream = test::JpegFrameHeader(frame);
    test::AppendJpegScan(stream, {1}, 0, 63, 0, {0x00});
    test::AppendJpegMarker(stream, 0xD9);
    cases.push_back({"JPEG " + what, "size0000.jpg", stream, nullptr});
  };
  jpeg("zero width", 0, 16);
  jpeg("zero height (a height given later is not read)", 16, 0);
  jpeg("65535 x 65535", 65535, 65535);
  ExpectAllRefused(cases);
}

TEST_F(MalformedFilesTest, OffsetsPastTheEndOfTheFileAreRefused) {
  std::vector<RefusedFile> cases;
  const Bytes bmp = test::BuildBmp(PlainBmp(4, 2));
  for (const std::uint32_t offset : {static_cast<std::uint32_t>(bmp.size() + 1), 0xFFFFFFFFu, 20u}) {
    Bytes bytes = bmp;
    StoreLe32(&bytes[10], offset);
    cases.push_back({"BMP pixels at " + std::to_string(offset), "offset0000.bmp", bytes, kInvalidBitmap});
  }
  test::TiffLayout tiffLayout;
  tiffLayout.pixels = Ramp(10);
  const Bytes tiff = test::BuildTiff(tiffLayout);
  for (const std::uint32_t offset : {static_cast<std::uint32_t>(tiff.size() - 1), 0xFFFFFFFFu}) {
    Bytes bytes = tiff;
    StoreLe32(&bytes[4], offset);
    cases.push_back({"TIFF directory at " + std::to_string(offset), "offset0000.tif", bytes, kInvalidTiff});
  }
  for (const std::uint32_t offset : {static_cast<std::uint32_t>(tiff.size() - 2), 0xFFFFFFFCu}) {
    test::TiffLayout layout = tiffLayout;
    layout.resolutionOffsetOverride = offset;  // the second resolution lies 8 bytes further on
    cases.push_back(
        {"TIFF resolution at " + std::to_string(offset), "offset0000.tif", test::BuildTiff(layout), kInvalidTiff});
  }
  ExpectAllRefused(cases);
}

TEST_F(MalformedFilesTest, ColourCountsThatDoNotFitAreRefused) {
  std::vector<RefusedFile> cases;
  for (const std::uint32_t used : {257u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    Bytes bytes = test::BuildBmp(PlainBmp(4, 2));  // 256 entries in the file
    StoreLe32(&bytes[14 + 32], used);
    cases.push_back({"BMP of 8 bits, colours used " + std::to_string(used), "colours0000.bmp", bytes, kInvalidBitmap});
  }
  test::BmpLayout mono = PlainBmp(4, 2);
  mono.bits = 1;
  mono.colours = 2;
  Bytes monoBytes = test::BuildBmp(mono);
  StoreLe32(&monoBytes[14 + 32], 300);
  cases.push_back({"BMP of 1 bit, colours used 300", "colours0000.bmp", monoBytes, kInvalidBitmap});
  for (const int mapColours : {0, 1 << 28}) {
    test::TiffLayout layout;
    layout.pixels = Ramp(10);
    layout.photometric = 3;
    layout.mapColours = 4;  // the map in the file; the directory claims mapColours
    Bytes bytes = test::BuildTiff(layout);
    const std::size_t directory = LoadLe32(&bytes[4]);
    StoreLe32(&bytes[directory + 2 + 12 * 12 + 4], static_cast<std::uint32_t>(3 * mapColours));
    cases.push_back({"TIFF colour map of " + std::to_string(mapColours), "colours0000.tif", bytes, kInvalidTiff});
  }
  ExpectAllRefused(cases);
}

TEST_F(MalformedFilesTest, FilesThatAreNotThereOrNoFilesLeaveNoPicture) {
  struct Kind {
    const char* extension;
    const char* emptyMessage;  // what an empty file of the kind shows
  };
  for (const Kind& kind : {Kind{"bmp", nullptr}, Kind{"tif", kInvalidTiff}, Kind{"jpg", nullptr}}) {
    const std::string ext = kind.extension;
    SliceImage image;
    std::filesystem::create_directory(m_dir.File("folder0000." + ext));
    image.Create(8, 8, 8, false);
    EXPECT_EQ(LoadImageFile(m_dir.File("folder0000." + ext), image), LoadStatus::kCannotOpen) << ext;
    EXPECT_TRUE(image.IsEmpty());

    EXPECT_EQ(Load("empty0000." + ext, {}, image), LoadStatus::kReadFailed) << ext;
    ExpectRefused(LoadStatus::kReadFailed, image, kind.emptyMessage, "empty " + ext);

    test::WriteFile(m_dir.File("locked0000." + ext), test::ReadFileBytes(m_dir.File("empty0000." + ext)));
    chmod(m_dir.File("locked0000." + ext).c_str(), 0);
    image.Create(8, 8, 8, false);
    {
      const test::UnprivilegedFileAccess access;
      EXPECT_EQ(LoadImageFile(m_dir.File("locked0000." + ext), image), LoadStatus::kCannotOpen) << ext;
    }
    EXPECT_TRUE(image.IsEmpty());
  }
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(MalformedFilesTest, ASliceThatVanishesAfterDiscoveryCannotBeOpened) {
  for (int number = 0; number < 3; ++number) {
    SliceImage slice;
    slice.Create(4, 4, 8, false);
    ASSERT_TRUE(SaveBmpFile(slice, m_dir.File("ct000" + std::to_string(number) + ".bmp")));
  }
  Dataset dataset;
  ASSERT_EQ(DiscoverDataset(m_dir.File("ct0000.bmp"), dataset), DiscoveryResult::kFound);
  ASSERT_EQ(dataset.SliceCount(), 3);
  std::filesystem::remove(dataset.slicePaths[1]);
  SliceImage image;
  ASSERT_EQ(LoadImageFile(dataset.slicePaths[0], image), LoadStatus::kLoaded);
  EXPECT_EQ(LoadImageFile(dataset.slicePaths[1], image), LoadStatus::kCannotOpen);
  EXPECT_TRUE(image.IsEmpty());
  EXPECT_EQ(LoadImageFile(dataset.slicePaths[2], image), LoadStatus::kLoaded);
  EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace
}  // namespace orvel
