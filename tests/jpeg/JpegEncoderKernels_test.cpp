// The encoder's building blocks in every processor variant against plain definitions: the forward
// DCT with quantisation against a double-precision DCT, the colour conversion against the JFIF
// formulas, the bit writer against a bit-at-a-time writer, the Huffman codes against T.81 K.3.
#include "jpeg/JpegEncoderKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "jpeg/JpegBitWriter.h"
#include "jpeg/JpegHuffmanEncoder.h"

namespace orvel::jpeg {
namespace {

constexpr CpuVariant kVariants[] = {CpuVariant::kScalar, CpuVariant::kSse2, CpuVariant::kAvx2};

// F(u, v) = 1/4 C(u) C(v) sum f(x, y) cos((2x + 1) u pi / 16) cos((2y + 1) v pi / 16), T.81 A.3.3;
// index row * 8 + column with v the vertical frequency (row).
std::array<double, 64> ReferenceDct(const std::uint8_t* samples, int stride) {
  std::array<double, 64> out{};
  for (int v = 0; v < 8; ++v)
    for (int u = 0; u < 8; ++u) {
      double sum = 0;
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          sum += (samples[y * stride + x] - 128.0) * std::cos((2 * x + 1) * u * std::numbers::pi / 16) *
                 std::cos((2 * y + 1) * v * std::numbers::pi / 16);
      const double cu = u ? 1.0 : std::numbers::sqrt2 / 2, cv = v ? 1.0 : std::numbers::sqrt2 / 2;
      out[v * 8 + u] = 0.25 * cu * cv * sum;
    }
  return out;
}

std::vector<std::array<std::uint8_t, 64>> TestBlocks() {
  std::vector<std::array<std::uint8_t, 64>> blocks;
  std::mt19937 random(7);
  for (int i = 0; i < 40; ++i) {
    std::array<std::uint8_t, 64> block;
    for (std::uint8_t& sample : block) sample = static_cast<std::uint8_t>(random() & 255);
    blocks.push_back(block);
  }
  std::array<std::uint8_t, 64> black{}, white, checker, ramp;
  white.fill(255);
  for (int i = 0; i < 64; ++i) {
    checker[i] = ((i / 8 + i % 8) % 2) ? 255 : 0;  // the largest AC coefficient there is
    ramp[i] = static_cast<std::uint8_t>(i * 4);
  }
  blocks.insert(blocks.end(), {black, white, checker, ramp});
  return blocks;
}

TEST(JpegEncoderKernels, ForwardDctQuantizeFollowsTheDefinitionInEveryVariant) {
  Block64 ones;
  ones.fill(1);
  const Block64 quality75 = ScaleQuantTable(kLuminanceQuantZigzag, 75);
  for (const Block64* table : {static_cast<const Block64*>(&ones), &quality75}) {
    const QuantDivisors divisors = MakeQuantDivisors(*table);
    for (CpuVariant variant : kVariants) {
      SCOPED_TRACE(CpuVariantName(SupportedEncoderVariant(variant)));
      const EncoderKernels kernels = SelectEncoderKernels(variant);
      for (const auto& block : TestBlocks()) {
        // Stored in a wider buffer, so that a wrong stride reads the wrong samples.
        std::vector<std::uint8_t> rows(8 * 24, 0x55);
        for (int y = 0; y < 8; ++y) std::copy_n(block.begin() + y * 8, 8, rows.begin() + y * 24 + 8);
        std::int16_t zigzag[64];
        const std::uint64_t nonZero = kernels.forwardDctQuantize(rows.data() + 8, 24, divisors, zigzag);
        const std::array<double, 64> reference = ReferenceDct(block.data(), 8);
        for (int k = 0; k < 64; ++k) {
          const double expected = reference[kZigzagToNatural[k]] / (*table)[k];
          ASSERT_LE(std::abs(zigzag[k] - expected), 0.5 + 1e-3) << "position " << k;
          EXPECT_EQ((nonZero >> k) & 1, k > 0 && zigzag[k] != 0 ? 1u : 0u) << "position " << k;
        }
      }
    }
  }
}

TEST(JpegEncoderKernels, VariantsAgreeBitForBitOnBottomUpRows) {
  const QuantDivisors divisors = MakeQuantDivisors(ScaleQuantTable(kLuminanceQuantZigzag, 90));
  const EncoderKernels scalar = SelectEncoderKernels(CpuVariant::kScalar);
  for (CpuVariant variant : kVariants) {
    const EncoderKernels kernels = SelectEncoderKernels(variant);
    for (const auto& block : TestBlocks()) {
      std::int16_t expected[64], actual[64];
      // A negative stride walks the rows upwards, as bottom-up input is read.
      const std::uint64_t expectedMask = scalar.forwardDctQuantize(block.data() + 56, -8, divisors, expected);
      EXPECT_EQ(kernels.forwardDctQuantize(block.data() + 56, -8, divisors, actual), expectedMask);
      EXPECT_TRUE(std::equal(expected, expected + 64, actual)) << CpuVariantName(variant);
    }
  }
}

TEST(JpegEncoderKernels, ColourConversionFollowsJfifInEveryVariant) {
  // 37 pixels: two 16-pixel steps and a tail; the primaries and extremes first.
  std::vector<std::uint8_t> bgr = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
  std::mt19937 random(11);
  while (bgr.size() < 37 * 3) bgr.push_back(static_cast<std::uint8_t>(random() & 255));
  const int width = 37;
  std::vector<std::uint8_t> scalarPlanes;
  for (CpuVariant variant : kVariants) {
    SCOPED_TRACE(CpuVariantName(SupportedEncoderVariant(variant)));
    std::vector<std::uint8_t> planes(3 * width + 1, 0xEE);  // one guard byte
    SelectEncoderKernels(variant).bgrToYcc(bgr.data(), width, planes.data(), planes.data() + width,
                                           planes.data() + 2 * width);
    EXPECT_EQ(planes.back(), 0xEE);
    for (int x = 0; x < width; ++x) {
      const double b = bgr[3 * x], g = bgr[3 * x + 1], r = bgr[3 * x + 2];
      EXPECT_NEAR(planes[x], 0.299 * r + 0.587 * g + 0.114 * b, 0.51) << x;
      EXPECT_NEAR(planes[width + x], -0.168736 * r - 0.331264 * g + 0.5 * b + 128, 0.51) << x;
      EXPECT_NEAR(planes[2 * width + x], 0.5 * r - 0.418688 * g - 0.081312 * b + 128, 0.51) << x;
    }
    if (variant == CpuVariant::kScalar) scalarPlanes = planes;
    EXPECT_EQ(planes, scalarPlanes);
  }
}

// Writes bit by bit, stuffing a zero after each 0xFF and padding with ones: T.81 F.1.2.3 spelt out.
std::vector<std::uint8_t> ReferenceBits(const std::vector<std::pair<std::uint32_t, int>>& codes) {
  std::vector<std::uint8_t> bytes;
  int byte = 0, used = 0;
  auto putBit = [&](int bit) {
    byte = byte << 1 | bit;
    if (++used == 8) {
      bytes.push_back(static_cast<std::uint8_t>(byte));
      if (byte == 0xFF) bytes.push_back(0);
      byte = used = 0;
    }
  };
  for (const auto& [bits, count] : codes)
    for (int i = count - 1; i >= 0; --i) putBit((bits >> i) & 1);
  while (used != 0) putBit(1);
  return bytes;
}

TEST(JpegEncoderKernels, BitWriterStuffsAndPadsLikeTheBitByBitReference) {
  std::mt19937 random(3);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::pair<std::uint32_t, int>> codes;
    const int count = static_cast<int>(random() % 300);
    for (int i = 0; i < count; ++i) {
      const int length = 1 + static_cast<int>(random() % 32);
      // Mostly ones, so that 0xFF bytes (and their stuffing) are frequent at every alignment.
      std::uint32_t bits = random() % 4 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(random());
      if (length < 32) bits &= (1u << length) - 1;
      codes.emplace_back(bits, length);
    }
    std::vector<std::uint8_t> stream = {0xAA};  // existing contents stay in front
    BitWriter writer(stream);
    for (const auto& [bits, length] : codes) {
      writer.EnsureRoom(16);
      BitCursor cursor = writer.Cursor();
      cursor.PutBits(bits, length);
      writer.SetCursor(cursor);
    }
    writer.Finish();
    std::vector<std::uint8_t> expected = {0xAA};
    const std::vector<std::uint8_t> reference = ReferenceBits(codes);
    expected.insert(expected.end(), reference.begin(), reference.end());
    ASSERT_EQ(stream, expected) << "round " << round;
  }
}

TEST(JpegEncoderKernels, HuffmanCodesAreThoseOfTableK3) {
  HuffmanCodeTable table;
  ASSERT_TRUE(BuildHuffmanCodeTable(kLuminanceDcHuffman, table));
  // T.81 Table K.3: category -> code word.
  const char* expected[] = {"00",   "010",   "011",    "100",     "101",      "110",
                            "1110", "11110", "111110", "1111110", "11111110", "111111110"};
  for (int category = 0; category < 12; ++category) {
    std::string code;
    for (int i = table.length[category] - 1; i >= 0; --i) code += (table.code[category] >> i) & 1 ? '1' : '0';
    EXPECT_EQ(code, expected[category]) << category;
  }
  for (const HuffmanTableSource* huffman : {&kChrominanceDcHuffman, &kLuminanceAcHuffman, &kChrominanceAcHuffman})
    EXPECT_TRUE(BuildHuffmanCodeTable(*huffman, table));
}

TEST(JpegEncoderKernels, HuffmanTablesThatAreNoPrefixCodeAreRefused) {
  HuffmanTableSource tooManyShortCodes = kLuminanceDcHuffman;
  tooManyShortCodes.bits = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // three 1-bit codes
  tooManyShortCodes.valueCount = 3;
  HuffmanTableSource repeatedSymbol = kLuminanceDcHuffman;
  repeatedSymbol.values[1] = repeatedSymbol.values[0];
  HuffmanTableSource countMismatch = kLuminanceDcHuffman;
  countMismatch.valueCount = 11;
  HuffmanCodeTable table;
  EXPECT_FALSE(BuildHuffmanCodeTable(tooManyShortCodes, table));
  EXPECT_FALSE(BuildHuffmanCodeTable(repeatedSymbol, table));
  EXPECT_FALSE(BuildHuffmanCodeTable(countMismatch, table));
}

}  // namespace
}  // namespace orvel::jpeg
