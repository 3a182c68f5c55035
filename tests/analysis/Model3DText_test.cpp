// The 3D result lines character for character: pixel and millimetre forms, the split at 10,
// and the zero divisors.
#include "analysis/Model3DText.h"

#include <gtest/gtest.h>

namespace orvel::analysis {
namespace {

std::string Analysis(std::int64_t volume, std::int64_t surface, double fraction, double ps) {
  std::string text;
  AppendModelAnalysis(text, ModelFigures{volume, surface, fraction, ps});
  return text;
}

struct AnalysisCase {
  const char* what;
  std::int64_t volume, surface;
  double fraction, ps;  // ps: pixel size in mm, 0 without a resolution
  const char* lines;    // after "3D-model analysis\r\n"
};

TEST(Model3DTextTest, PixelAndMillimetreFormsSplitAtTenAndZeroRatios) {
  const AnalysisCase cases[] = {
      {"pixel forms without a resolution", 27, 54, 12.5, 0.0,
       "Total Volume :       27 cub.pixels\r\nVolume Fraction : 12.5 %\r\n"
       "Total Surface :       54 sq.pixels\r\nSurface/Volume:      2 pixels-1\r\n"},
      // ps = 1 mm: a volume of exactly 10 prints with five decimals, just above with one.
      {"ps 1 mm, volume 10", 10, 10, 100.0, 1.0,
       "Total Volume : 10.00000 cub.mm\r\nVolume Fraction : 100.0 %\r\n"
       "Total Surface : 10.00000 sq.mm\r\nSurface/Volume :     1.0 mm-1\r\n"},
      {"ps 1 mm, volume 11", 11, 30, 100.0, 1.0,
       "Total Volume :     11.0 cub.mm\r\nVolume Fraction : 100.0 %\r\n"
       "Total Surface :     30.0 sq.mm\r\nSurface/Volume :     2.7 mm-1\r\n"},
      {"ps 0.1 mm (10000 pixels per metre)", 125, 54, 100.0, 0.1,
       "Total Volume : 0.12500 cub.mm\r\nVolume Fraction : 100.0 %\r\n"
       "Total Surface : 0.54000 sq.mm\r\nSurface/Volume :     4.3 mm-1\r\n"},
      {"empty model in pixels", 0, 0, 0.0, 0.0,
       "Total Volume :        0 cub.pixels\r\nVolume Fraction : 0.0 %\r\n"
       "Total Surface :        0 sq.pixels\r\nSurface/Volume:      0 pixels-1\r\n"},
      {"empty model in mm", 0, 0, 0.0, 0.5,
       "Total Volume : 0.00000 cub.mm\r\nVolume Fraction : 0.0 %\r\n"
       "Total Surface : 0.00000 sq.mm\r\nSurface/Volume :     0.0 mm-1\r\n"},
  };
  for (const AnalysisCase& c : cases)
    EXPECT_EQ(Analysis(c.volume, c.surface, c.fraction, c.ps), std::string("3D-model analysis\r\n") + c.lines)
        << c.what;
}

TEST(Model3DTextTest, VoxelCountsBeyond32BitsPrintWhole) {
  const std::int64_t volume = std::int64_t{5} << 32;
  EXPECT_EQ(ModelCreationText(volume * 2), "3D-model creation\r\nmodelsize 42949672960 voxels\r\n");
  EXPECT_NE(Analysis(volume, 0, 0.0, 0.0).find("Total Volume : 21474836480 cub.pixels\r\n"), std::string::npos);
}

TEST(Model3DTextTest, VolumeFractionOfBoxAndEllipse) {
  // Box: V over P L s. Ellipse: V over a pi b L s with a = W div 2, b = H div 2.
  EXPECT_DOUBLE_EQ(VolumeFractionPercent(30, AreaShape::kRectangle, 5, 4, 3, 1), 50.0);
  EXPECT_DOUBLE_EQ(VolumeFractionPercent(30, AreaShape::kRectangle, 5, 4, 3, 2), 25.0);
  EXPECT_DOUBLE_EQ(VolumeFractionPercent(157, AreaShape::kEllipse, 21, 10, 2, 1),
                   157 / (10 * 3.1415926535898 * 5 * 2 * 1) * 100);
}

TEST(Model3DTextTest, VolumeFractionWithAZeroDivisorIsZero) {
  EXPECT_EQ(VolumeFractionPercent(0, AreaShape::kEllipse, 1, 10, 3, 1), 0.0);    // a = 0
  EXPECT_EQ(VolumeFractionPercent(0, AreaShape::kEllipse, 10, 1, 3, 1), 0.0);    // b = 0
  EXPECT_EQ(VolumeFractionPercent(0, AreaShape::kRectangle, 0, 10, 3, 1), 0.0);  // width 0
  EXPECT_EQ(VolumeFractionPercent(0, AreaShape::kRectangle, 10, 0, 3, 1), 0.0);  // height 0
}

TEST(Model3DTextTest, LayerLine) { EXPECT_EQ(ModelLayerText(3, 12), "layer 3 of 12\r\n"); }

}  // namespace
}  // namespace orvel::analysis
