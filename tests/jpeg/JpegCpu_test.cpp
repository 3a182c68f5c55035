// Processor variants: the USECPU override of the machine-wide file and its fallback to the
// processor's features, and the agreement of every variant with the scalar one, routine by routine
// and over whole decodes.
#include "jpeg/JpegCpu.h"

#include <gtest/gtest.h>

#include "JpegDecoderTestSupport.h"
#include "jpeg/JpegDecoderIdct.h"
#include "jpeg/JpegDecoderRoutines.h"

namespace orvel::jpeg {
namespace {

CpuVariant VariantOfNewRecord() {
  JpegProperties record{};
  JpegCodec::Init(record);
  const CpuVariant variant = JpegCodec::VariantOf(record);
  JpegCodec::Free(record);
  return variant;
}

TEST(JpegCpu, UseCpuValuesNameTheVariants) {
  const CpuVariant expected[] = {CpuVariant::kScalar, CpuVariant::kScalar, CpuVariant::kScalar, CpuVariant::kSse2,
                                 CpuVariant::kSse2,   CpuVariant::kSse2,   CpuVariant::kAvx2};
  for (int value = 0; value <= 6; ++value) {
    CpuVariant variant;
    ASSERT_TRUE(CpuVariantFromUseCpu(value, variant)) << value;
    EXPECT_EQ(variant, expected[value]) << value;
  }
  CpuVariant variant;
  for (int value : {-1, 7, 100}) EXPECT_FALSE(CpuVariantFromUseCpu(value, variant)) << value;
}

TEST(JpegCpu, MachineWideFileForcesTheVariantAndOtherwiseDetectionDecides) {
  EXPECT_EQ(SystemIniPath(), "/etc/orvel/orvel-system.ini");
  const CpuVariant best = DetectCpuVariant();
  struct Case {
    std::string contents;
    CpuVariant expected;
  } const cases[] = {
      {"[JpegCodec]\nUSECPU=0\n", CpuVariant::kScalar},
      {"[JpegCodec]\nUSECPU=2\n", CpuVariant::kScalar},
      {"; forced\n[jpegcodec]\nusecpu = 4\n", std::min(CpuVariant::kSse2, best)},
      {"[JpegCodec]\nUSECPU=6\n", std::min(CpuVariant::kAvx2, best)},
      {"[JpegCodec]\nUSECPU=7\n", best},
      {"[JpegCodec]\nUSECPU=-1\n", best},
      {"[JpegCodec]\nTRACE=1\n", best},
      {"[Other]\nUSECPU=0\n", best},
      {"", best},
  };
  for (const Case& c : cases) {
    const test::ScopedSystemIni ini(c.contents);
    EXPECT_EQ(VariantOfNewRecord(), c.expected) << c.contents;
  }
  test::TemporaryDirectory directory;
  SetSystemIniPath(directory.File("missing.ini"));
  EXPECT_EQ(VariantOfNewRecord(), best);
  SetSystemIniPath("");
}

TEST(JpegCpu, EmptyOrNonNumericUseCpuIsNoValue) {
  const CpuVariant best = DetectCpuVariant();
  ASSERT_NE(best, CpuVariant::kScalar) << "needs a processor with SSE2 to tell detection from the override";
  for (const char* value : {"", "abc", "x3", " ", "-"}) {
    const test::ScopedSystemIni ini(std::string("[JpegCodec]\nUSECPU=") + value + "\n");
    EXPECT_EQ(VariantOfNewRecord(), best) << "USECPU=" << value;
  }
  const test::ScopedSystemIni padded("[JpegCodec]\nUSECPU = 0 \n");
  EXPECT_EQ(VariantOfNewRecord(), CpuVariant::kScalar);
}

std::vector<CpuVariant> SupportedVariants() {
  std::vector<CpuVariant> variants;
  for (CpuVariant v : {CpuVariant::kScalar, CpuVariant::kSse2, CpuVariant::kAvx2})
    if (v <= DetectCpuVariant()) variants.push_back(v);
  return variants;
}

// Random blocks from sparse and small (as in real streams) to dense and at the 16-bit limits.
std::vector<std::array<std::int16_t, 64>> TestBlocks() {
  std::vector<std::array<std::int16_t, 64>> blocks;
  std::uint32_t seed = 99;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  for (int i = 0; i < 3000; ++i) {
    std::array<std::int16_t, 64> block{};
    const int magnitude = i < 1000 ? 64 : (i < 2000 ? 2048 : 32768);
    const int nonZero = 1 + int(next() % 64);
    for (int k = 0; k < nonZero; ++k)
      block[next() % 64] = static_cast<std::int16_t>(int(next() % (2 * magnitude)) - magnitude);
    blocks.push_back(block);
  }
  std::array<std::int16_t, 64> extreme;
  extreme.fill(32767);
  blocks.push_back(extreme);
  extreme.fill(-32768);
  blocks.push_back(extreme);
  return blocks;
}

TEST(JpegCpu, InverseTransformVariantsAgreeWithTheScalarOne) {
  const auto blocks = TestBlocks();
  for (CpuVariant variant : SupportedVariants()) {
    const IdctFunction idct = DecoderRoutinesFor(variant).idct;
    int largest = 0;
    for (const auto& block : blocks) {
      std::uint8_t expected[64], actual[64 * 3];
      IdctScalar(block.data(), expected, 8);
      idct(block.data(), actual + 8, 24);  // an unaligned, wider stride
      for (int i = 0; i < 64; ++i)
        largest = std::max(largest, std::abs(expected[i] - actual[8 + (i / 8) * 24 + i % 8]));
    }
    EXPECT_LE(largest, 1) << CpuVariantName(variant);
  }
}

TEST(JpegCpu, LoneDcShortcutEqualsTheTransformOfEveryVariant) {
  for (CpuVariant variant : SupportedVariants())
    for (int dc = -32768; dc <= 32767; dc += 7) {
      std::array<std::int16_t, 64> block{};
      block[0] = static_cast<std::int16_t>(dc);
      std::uint8_t samples[64];
      DecoderRoutinesFor(variant).idct(block.data(), samples, 8);
      for (int i = 0; i < 64; ++i) ASSERT_EQ(samples[i], DcOnlySample(dc)) << CpuVariantName(variant) << " " << dc;
    }
}

TEST(JpegCpu, WholeDecodesAgreeInEveryForcedVariant) {
  test::ExpectOracle(test::kCjpeg);
  const std::pair<int, const char*> streams[] = {{1, "-grayscale -quality 95"},
                                                 {3, "-quality 90 -sample 2x2 -progressive"},
                                                 {3, "-quality 75 -sample 2x1 -restart 1"}};
  for (const auto& [channels, options] : streams) {
    const auto stream = test::EncodeWithCjpeg(test::MakeCtPicture(131, 77, channels), options);
    std::vector<test::Picture> pictures;
    for (int useCpu : {0, 5, 6}) {
      const test::ScopedSystemIni ini(test::UseCpuIni(useCpu));
      pictures.push_back(test::DecodeWithCodec(stream, 3).picture);
    }
    EXPECT_LE(test::MaxDifference(pictures[0], pictures[1]), 1) << options;
    EXPECT_LE(test::MaxDifference(pictures[0], pictures[2]), 1) << options;
  }
}

}  // namespace
}  // namespace orvel::jpeg
