#include "app/DatasetDiscovery.h"

#include <gtest/gtest.h>

#include "app/ImageLoader.h"
#include "support/SliceFileTest.h"
#include "support/TestSupport.h"

namespace orvel {
namespace {

class DatasetDiscoveryTest : public test::SliceFileTest {
 protected:
  void Touch(const std::string& name) { test::WriteFile(m_dir.File(name), std::string("x")); }
  std::string Path(const std::string& name) const { return m_dir.File(name); }
};

TEST_F(DatasetDiscoveryTest, AnyMemberOfTheSeriesGivesTheSameSortedDataset) {
  for (const char* name : {"scan0010.bmp", "scan0000.bmp", "scan0002.bmp", "scan_SPR.bmp"}) Touch(name);
  for (const char* chosen : {"scan0000.bmp", "scan0002.bmp", "scan0010.bmp", "scan_SPR.bmp"}) {
    Dataset dataset;
    ASSERT_EQ(DiscoverDataset(Path(chosen), dataset), DiscoveryResult::kFound) << chosen;
    EXPECT_EQ(dataset.sliceTitles, (std::vector<std::string>{"scan0000", "scan0002", "scan0010"}));
    EXPECT_EQ(dataset.sliceNumbers, (std::vector<std::uint16_t>{0, 2, 10}));
    EXPECT_EQ(dataset.slicePaths.front(), Path("scan0000.bmp"));
    EXPECT_EQ(dataset.previewPath, Path("scan_SPR.bmp"));
    EXPECT_EQ(dataset.SliceSpacing(), 2);
  }
  EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(DatasetDiscoveryTest, OnlyFourDigitNumbersWithTheSameExtensionAreSlices) {
  for (const char* name : {"s0001.tif", "s001.tif", "s00001.tif", "s12a4.tif", "s0002.bmp", "s0003.jpg", "s0004.TIF",
                           "s0005.tiff", "t0006.tif"})
    Touch(name);
  Dataset dataset;
  ASSERT_EQ(DiscoverDataset(Path("s0001.tif"), dataset), DiscoveryResult::kFound);
  EXPECT_EQ(dataset.sliceTitles, (std::vector<std::string>{"s0001", "s0004"}));
  ASSERT_EQ(DiscoverDataset(Path("s0005.tiff"), dataset), DiscoveryResult::kFound);
  EXPECT_EQ(dataset.sliceTitles, (std::vector<std::string>{"s0005"}));
}

TEST_F(DatasetDiscoveryTest, PreviewKindFollowsTheLastFileExamined) {
  Touch("a0000.jpg");
  Touch("a_VPR.jpg");
  Dataset dataset;
  ASSERT_EQ(DiscoverDataset(Path("a0000.jpg"), dataset), DiscoveryResult::kFound);
  EXPECT_EQ(dataset.previewKind, kVolumePreview);  // "_" sorts after the digits
  EXPECT_EQ(dataset.previewPath, Path("a_VPR.jpg"));

  Touch("b_spr.jpg");
  Touch("b0000.jpg");
  ASSERT_EQ(DiscoverDataset(Path("b0000.jpg"), dataset), DiscoveryResult::kFound);
  EXPECT_EQ(dataset.previewKind, kSidePreview);
}

TEST_F(DatasetDiscoveryTest, SearchOrderFoldsNamesToUpperCaseSoUnderscoreFollowsTheLetters) {
  // Folded to upper case, "_" (0x5F) sorts after "I" (0x49): the preview is the last file examined.
  for (const char* name : {"scan0000.bmp", "scan0001.bmp", "scan_SPR.bmp", "scanInfo.bmp"}) Touch(name);
  Dataset dataset;
  ASSERT_EQ(DiscoverDataset(Path("scan0000.bmp"), dataset), DiscoveryResult::kFound);
  EXPECT_EQ(dataset.previewKind, kSidePreview);
  EXPECT_EQ(dataset.sliceTitles, (std::vector<std::string>{"scan0000", "scan0001"}));
}

TEST_F(DatasetDiscoveryTest, TitlesSortCaseSensitivelyWithUpperCaseFirst) {
  Touch("scan0001.bmp");
  Touch("SCAN0002.bmp");
  Dataset dataset;
  ASSERT_EQ(DiscoverDataset(Path("scan0001.bmp"), dataset), DiscoveryResult::kFound);
  EXPECT_EQ(dataset.sliceTitles, (std::vector<std::string>{"SCAN0002", "scan0001"}));
}

TEST_F(DatasetDiscoveryTest, FailuresShowTheirMessagesWithTheDatasetCaption) {
  Touch("only_SPR.bmp");
  Touch("notes.txt");
  Dataset dataset;
  EXPECT_EQ(DiscoverDataset(Path("only_SPR.bmp"), dataset), DiscoveryResult::kNotDataset);
  EXPECT_EQ(DiscoverDataset(Path("notes.txt"), dataset), DiscoveryResult::kNotDataset);
  EXPECT_EQ(OpenDatasetFromPath(Path("missing0000.bmp"), dataset), DiscoveryResult::kNoSuchFile);
  ASSERT_EQ(m_messages.Messages().size(), 3u);
  EXPECT_EQ(m_messages.Messages()[0].text, "This file is not a Voxalon dataset file.");
  EXPECT_EQ(m_messages.Messages()[1].text, "This file is not a Voxalon dataset file.");
  EXPECT_EQ(m_messages.Messages()[2].text, "The file dropped is not a Voxalon dataset file.");
  for (const auto& message : m_messages.Messages()) EXPECT_EQ(message.caption, "Orvel: Opening dataset");
}

TEST_F(DatasetDiscoveryTest, CommandLinePathHonoursWildcardsAndQuotes) {
  Touch("with blank0007.bmp");
  Dataset dataset;
  const std::string quoted = "\"" + Path("with blank0007.bmp") + "\"";
  ASSERT_EQ(OpenDatasetFromPath(PathFromCommandLine(quoted), dataset), DiscoveryResult::kFound);
  EXPECT_EQ(dataset.sliceNumbers, (std::vector<std::uint16_t>{7}));
  EXPECT_EQ(dataset.SliceSpacing(), 1);
  ASSERT_EQ(OpenDatasetFromPath(Path("with*.bmp"), dataset), DiscoveryResult::kFound);
  EXPECT_EQ(OpenDatasetFromPath(Path("with blank0007.bmp") + " extra", dataset), DiscoveryResult::kNoSuchFile);
}

// Only the number field is a wildcard: "?", "*" and "\\" in a prefix, and bytes that are no
// UTF-8, are part of the name, whether the file is named on the command line or chosen.
TEST_F(DatasetDiscoveryTest, APrefixMatchesLiterally) {
  for (const char* name : {"x?0000.bmp", "x?0001.bmp", "x*0000.bmp", "xa0000.bmp", "xy0002.bmp", "x\\0003.bmp",
                           "x\xe9"
                           "0004.bmp"})
    Touch(name);
  const std::vector<std::pair<std::string, std::vector<std::string>>> table = {
      {"x?0000.bmp", {"x?0000", "x?0001"}},
      {"x*0000.bmp", {"x*0000"}},
      {"xa0000.bmp", {"xa0000"}},
      {"x\\0003.bmp", {"x\\0003"}},
      {"x\xe9"
       "0004.bmp",
       {"x\xe9"
        "0004"}},
  };
  for (const auto& [chosen, titles] : table) {
    Dataset dataset;
    ASSERT_EQ(OpenDatasetFromPath(Path(chosen), dataset), DiscoveryResult::kFound) << chosen;
    EXPECT_EQ(dataset.sliceTitles, titles) << chosen;
  }
}

TEST(CommandLineTest, QuotedAndUnquotedPaths) {
  EXPECT_EQ(PathFromCommandLine("\"/a b/c0001.bmp\" ignored"), "/a b/c0001.bmp");
  EXPECT_EQ(PathFromCommandLine("\"/a b/c0001.bmp"), "/a b/c0001.bmp");
  EXPECT_EQ(PathFromCommandLine("/a b/c0001.bmp extra"), "/a b/c0001.bmp extra");
}

TEST(ImageTypeTest, TheImageExtensionsInAnyCase) {
  EXPECT_EQ(ImageTypeFromExtension("x.bmp"), kBmpImage);
  EXPECT_EQ(ImageTypeFromExtension("x.BmP"), kBmpImage);
  EXPECT_EQ(ImageTypeFromExtension("x.JPG"), kJpegImage);
  EXPECT_EQ(ImageTypeFromExtension("x.jPeG"), kJpegImage);
  EXPECT_EQ(ImageTypeFromExtension("dir.tif/x.tif"), kTiffImage);
  EXPECT_EQ(ImageTypeFromExtension("x.TIFF"), kTiffImage);
  EXPECT_EQ(ImageTypeFromExtension("x.Png"), kPngImage);
  for (const char* other : {"x.jpe", "x.tiff.gz", "x.", "x", "x.bmp.txt", "x.bm"})
    EXPECT_EQ(ImageTypeFromExtension(other), kOtherImage) << other;
}

}  // namespace
}  // namespace orvel
