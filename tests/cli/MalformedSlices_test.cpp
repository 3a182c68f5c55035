// orvel-analyze over a dataset with one damaged slice in the middle: every run that reads that
// slice ends with status 1, names it, shows the format's message where it has one, and leaves its
// output files as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "analysis/StackRun.h"
#include "cli/Phantom.h"
#include "image/BmpFile.h"
#include "image/ScannerTiff.h"
#include "image/SliceImage.h"
#include "support/TestSupport.h"
#include "support/TiffBuilder.h"  // Bytes

namespace orvel {
namespace {

using test::Analyze;
using test::Bytes;
using test::RunResult;

// Three 16 x 12 grey slices of the format, numbered 0 to 2; true when all were written.
bool WriteSlices(const test::TemporaryDirectory& dir, const std::string& format) {
  for (int number = 0; number < 3; ++number) {
    SliceImage image;
    image.Create(16, 12, 8, false);
    for (std::uint32_t i = 0; i < image.GetImageBytes(); ++i) image.GetBits()[i] = static_cast<std::uint8_t>(i * 3);
    const std::string path = dir.File("ct000" + std::to_string(number) + "." + format);
    const bool written = format == "bmp"   ? SaveBmpFile(image, path)
                         : format == "tif" ? WriteScannerTiff(image, path)
                                           : image.WriteJpeg(path, 90);
    if (!written) return false;
  }
  return true;
}

struct Damage {
  const char* what;
  std::string format;
  const char* message;  // the format's own, or null
  bool unreadable;      // the file cannot be opened at all
  void (*apply)(const std::string& path);
};

void CutToHalfItsHeader(const std::string& path) { std::filesystem::resize_file(path, 30); }
void Empty(const std::string& path) { std::filesystem::resize_file(path, 0); }
void HugeWidth(const std::string& path) {
  Bytes bytes = test::ReadFileBytes(path);
  const bool bmp = path.ends_with(".bmp");
  if (bmp) {
    bytes[14 + 4 + 3] = 0x7F;  // the width's top byte: 2 billion pixels and more
  } else {
    const std::size_t directory = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | std::size_t(bytes[7]) << 24;
    bytes[directory + 2 + 12 + 8 + 3] = 0x7F;  // the top byte of the second entry's value
  }
  test::WriteFile(path, bytes);
}
void NoFrame(const std::string& path) {
  Bytes bytes = test::ReadFileBytes(path);
  for (std::size_t at = 2; at + 1 < bytes.size(); ++at)
    if (bytes[at] == 0xFF && bytes[at + 1] == 0xC0) bytes[at + 1] = 0xFE;  // a comment now
  test::WriteFile(path, bytes);
}
void Unreadable(const std::string& path) { chmod(path.c_str(), 0); }

const Damage kDamages[] = {
    {"BMP cut in its header", "bmp", "Invalid bitmap file", false, CutToHalfItsHeader},
    {"BMP of impossible width", "bmp", "Invalid bitmap file", false, HugeWidth},
    {"empty BMP", "bmp", nullptr, false, Empty},
    {"TIFF cut in its header", "tif", "Invalid tiff file", false, CutToHalfItsHeader},
    {"TIFF of impossible width", "tif", "Invalid tiff file", false, HugeWidth},
    {"JPEG without a frame", "jpg", nullptr, false, NoFrame},
    {"empty JPEG", "jpg", nullptr, false, Empty},
    {"unreadable BMP", "bmp", nullptr, true, Unreadable},
    {"unreadable JPEG", "jpg", nullptr, true, Unreadable},
};

TEST(MalformedSlicesTest, RunsOverADamagedSliceFailWithItsNameAndLeaveTheOutputs) {
  for (const Damage& damage : kDamages) {
    SCOPED_TRACE(damage.what);
    test::TemporaryDirectory dir;
    chmod(dir.Path().c_str(), 0777);  // the runs reach the folder as an unprivileged user
    ASSERT_TRUE(WriteSlices(dir, damage.format));
    const std::string first = dir.File("ct0000." + damage.format), middle = dir.File("ct0001." + damage.format);
    damage.apply(middle);
    const std::string exported = dir.File("e.bmp"), cut = dir.File("c.bmp");
    test::WriteFile(exported, std::string("older"));
    const std::vector<std::vector<std::string>> runs = {
        {first, "--rectangle", "0,0,15,11", "--3d", "--export", exported},
        {first, "--line", "0,0,15,11", "--cut", cut},
        {first, "--slice", "1", "--info"},
    };
    for (const std::vector<std::string>& arguments : runs) {
      const test::UnprivilegedFileAccess access;  // so that the unreadable slice is so for root too
      const RunResult result = Analyze(arguments);
      EXPECT_EQ(result.status, 1) << arguments[1];
      const std::string named = (damage.unreadable ? "cannot open " : "cannot read slice ") + middle;
      EXPECT_NE(result.err.find(named), std::string::npos) << result.err;
      if (damage.message) {
        EXPECT_NE(result.err.find(damage.message), std::string::npos) << result.err;
      }
      EXPECT_TRUE(result.out.empty()) << result.out;
    }
    EXPECT_EQ(test::ReadFileBytes(exported), (Bytes{'o', 'l', 'd', 'e', 'r'}));
    EXPECT_FALSE(std::filesystem::exists(cut));
    // Nothing half-written is left beside the outputs either.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);
  }
}

TEST(MalformedSlicesTest, AFolderNamedLikeASliceIsNoDataset) {
  test::TemporaryDirectory dir;
  std::filesystem::create_directory(dir.File("ct0000.bmp"));
  const RunResult result = Analyze({dir.File("ct0000.bmp"), "--info"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("The file dropped is not a Voxalon dataset file."), std::string::npos) << result.err;
}

}  // namespace
}  // namespace orvel
