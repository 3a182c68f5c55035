// The fixed tables against independent definitions: the zig-zag order by its geometry, and the
// Annex K quantization and Huffman tables and the quality scaling against what cjpeg (libjpeg-turbo,
// a test oracle) writes into its files.
#include "jpeg/JpegTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "JpegEncoderTestSupport.h"

namespace orvel::jpeg {
namespace {

TEST(JpegTables, ZigzagWalksTheAntiDiagonalsAlternately) {
  std::set<int> seen(kZigzagToNatural.begin(), kZigzagToNatural.end());
  EXPECT_EQ(seen.size(), 64u);
  EXPECT_EQ(*seen.rbegin(), 63);
  for (int k = 1; k < 64; ++k) {
    const int row = kZigzagToNatural[k] / 8, column = kZigzagToNatural[k] % 8;
    const int previousRow = kZigzagToNatural[k - 1] / 8, previousColumn = kZigzagToNatural[k - 1] % 8;
    const int diagonal = row + column, previousDiagonal = previousRow + previousColumn;
    if (diagonal == previousDiagonal) {
      // Odd anti-diagonals run down-left (row grows), even ones up-right.
      EXPECT_EQ(row - previousRow, diagonal % 2 ? 1 : -1) << "position " << k;
    } else {
      EXPECT_EQ(diagonal, previousDiagonal + 1) << "position " << k;
    }
  }
}

TEST(JpegTables, QualityScalingKeepsItsFixedPoints) {
  EXPECT_EQ(ScaleQuantTable(kLuminanceQuantZigzag, 50), kLuminanceQuantZigzag);
  EXPECT_EQ(ScaleQuantTable(kChrominanceQuantZigzag, 50), kChrominanceQuantZigzag);
  for (int quality : {100, 101, 150, 100000}) {
    const Block64 table = ScaleQuantTable(kLuminanceQuantZigzag, quality);
    EXPECT_TRUE(std::all_of(table.begin(), table.end(), [](int entry) { return entry == 1; })) << quality;
  }
  // q <= 0 and q = 1 share f = 5000: every base entry of 6 or more saturates at 255.
  for (int quality : {-7, 0, 1}) {
    EXPECT_EQ(ScaleQuantTable(kChrominanceQuantZigzag, quality), ScaleQuantTable(kChrominanceQuantZigzag, 1));
    EXPECT_EQ(ScaleQuantTable(kLuminanceQuantZigzag, quality)[0], 255);
  }
  // q 75: f = 50, entry (50 * 16 + 50) / 100 = 8 for the luminance DC.
  EXPECT_EQ(ScaleQuantTable(kLuminanceQuantZigzag, 75)[0], 8);
  EXPECT_EQ(ScaleQuantTable(kLuminanceQuantZigzag, 75)[1], 6);  // (50 * 11 + 50) / 100
}

// The tables of a baseline file cjpeg writes at `quality`, keyed by table slot / class and slot.
struct OracleTables {
  std::map<int, Block64> quant;
  std::map<int, std::pair<std::vector<std::uint8_t>, std::vector<std::uint8_t>>> huffman;  // bits, values
};

OracleTables CjpegTables(int quality) {
  test::TemporaryDirectory directory;
  const test::Picture picture = test::MakeSmoothPicture(16, 16, 3);
  std::string ppm = "P6\n16 16\n255\n";
  for (std::size_t i = 0; i < picture.samples.size(); ++i) ppm.push_back(static_cast<char>(picture.samples[i]));
  test::WriteFile(directory.File("in.ppm"), ppm);
  const std::string command = "cjpeg -baseline -quality " + std::to_string(quality) + " -outfile '" +
                              directory.File("out.jpg") + "' '" + directory.File("in.ppm") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  const std::vector<unsigned char> bytes = test::ReadFileBytes(directory.File("out.jpg"));
  OracleTables tables;
  for (const test::Segment& segment : test::ParseHeaderSegments({bytes.begin(), bytes.end()})) {
    const std::vector<std::uint8_t>& p = segment.payload;
    for (std::size_t at = 0; segment.marker == 0xDB && at + 65 <= p.size(); at += 65)
      std::copy_n(p.begin() + at + 1, 64, tables.quant[p[at]].begin());
    for (std::size_t at = 0; segment.marker == 0xC4 && at + 17 <= p.size();) {
      int count = 0;
      for (int i = 1; i <= 16; ++i) count += p[at + i];
      auto& [bits, values] = tables.huffman[p[at]];
      bits.assign(p.begin() + at + 1, p.begin() + at + 17);
      values.assign(p.begin() + at + 17, p.begin() + at + 17 + count);
      at += 17 + count;
    }
  }
  return tables;
}

TEST(JpegTables, QuantizationTablesMatchTheOracleAtEveryQuality) {
  // cjpeg limits its quality to 1..100; ours treats 0 like 1 and everything above 100 like 100.
  for (int quality : {0, 1, 25, 50, 75, 95, 100, 150}) {
    const OracleTables oracle = CjpegTables(std::clamp(quality, 1, 100));
    ASSERT_EQ(oracle.quant.size(), 2u);
    EXPECT_EQ(ScaleQuantTable(kLuminanceQuantZigzag, quality), oracle.quant.at(0)) << quality;
    EXPECT_EQ(ScaleQuantTable(kChrominanceQuantZigzag, quality), oracle.quant.at(1)) << quality;
  }
}

TEST(JpegTables, HuffmanTablesMatchTheOracle) {
  const OracleTables oracle = CjpegTables(75);
  const std::pair<int, const HuffmanTableSource*> expected[] = {{0x00, &kLuminanceDcHuffman},
                                                                {0x10, &kLuminanceAcHuffman},
                                                                {0x01, &kChrominanceDcHuffman},
                                                                {0x11, &kChrominanceAcHuffman}};
  ASSERT_EQ(oracle.huffman.size(), 4u);
  for (const auto& [classAndSlot, huffman] : expected) {
    const auto& [bits, values] = oracle.huffman.at(classAndSlot);
    EXPECT_EQ(std::vector<std::uint8_t>(huffman->bits.begin(), huffman->bits.end()), bits) << classAndSlot;
    EXPECT_EQ(std::vector<std::uint8_t>(huffman->values.begin(), huffman->values.begin() + huffman->valueCount), values)
        << classAndSlot;
  }
}

}  // namespace
}  // namespace orvel::jpeg
