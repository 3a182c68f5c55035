// Writes the seed corpora of the fuzz targets into OUTDIR/<target>/ with our own writers and the
// tests' file builders: every pixel coding and header variant the readers know, small enough that
// the fuzzers run fast. orvel-phantom's datasets and the peer encoder's progressive and restart
// variants are added by make-seeds beside this program.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/BmpFile.h"
#include "image/SliceImage.h"
#include "support/BmpBuilder.h"
#include "support/TestSupport.h"
#include "support/TiffBuilder.h"

using namespace orvel;

namespace {

test::Bytes Ramp(std::size_t count, int step) {
  test::Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>(i * step);
  return bytes;
}

test::BmpLayout Bmp(int width, int height, int bits, int colours, int compression, test::Bytes pixels) {
  test::BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bits = bits;
  layout.colours = colours;
  layout.compression = compression;
  layout.pixels = std::move(pixels);
  return layout;
}

void WriteBmpSeeds(const std::string& folder) {
  std::vector<std::pair<std::string, test::BmpLayout>> seeds = {
      {"grey8", Bmp(5, 3, 8, 256, 0, Ramp(24, 11))},
      {"mono1", Bmp(9, 2, 1, 2, 0, Ramp(8, 37))},
      {"nibble4", Bmp(5, 2, 4, 16, 0, Ramp(8, 29))},
      {"rgb24", Bmp(3, 2, 24, 0, 0, Ramp(24, 7))},
      {"rgb32", Bmp(2, 2, 32, 0, 0, Ramp(16, 13))},
      // Runs, an absolute run, a move, end of line and end of bitmap.
      {"rle8", Bmp(6, 4, 8, 256, 1, {3, 9, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 2, 5, 0, 0, 0, 1})},
      {"rle4", Bmp(7, 3, 4, 16, 2, {5, 0x12, 0, 4, 0x34, 0x56, 0, 0, 0, 2, 2, 1, 3, 0x7F, 0, 1})},
      {"topdown", Bmp(4, -3, 8, 256, 0, Ramp(12, 19))},
      {"fewcolours", Bmp(4, 2, 8, 12, 0, Ramp(8, 1))},
  };
  test::BmpLayout fields16 = Bmp(3, 2, 16, 0, 3, Ramp(16, 23));
  fields16.masks = {0xF800, 0x07E0, 0x001F};
  seeds.emplace_back("fields16", fields16);
  test::BmpLayout fields32 = Bmp(2, 2, 32, 0, 3, Ramp(16, 31));
  fields32.masks = {0xFF0000, 0xFF00, 0xFF};
  fields32.headerSize = 124;
  seeds.emplace_back("fields32v5", fields32);
  for (int headerSize : {64, 108}) {
    test::BmpLayout longer = Bmp(4, 2, 8, 256, 0, Ramp(8, 3));
    longer.headerSize = headerSize;
    seeds.emplace_back("header" + std::to_string(headerSize), longer);
  }
  for (const auto& [name, layout] : seeds) test::WriteFile(folder + "/" + name + ".bmp", test::BuildBmp(layout));
}

void WriteTiffSeeds(const std::string& folder) {
  test::TiffLayout grey;
  grey.pixels = Ramp(10, 17);
  test::TiffLayout wide = grey;
  wide.bits = 16;
  wide.pixels = Ramp(20, 9);
  test::TiffLayout palette = grey;
  palette.photometric = 3;
  palette.mapColours = 16;
  test::TiffLayout fourteen = palette;
  fourteen.entries = 14;
  test::TiffLayout metric = grey;
  metric.unit = 3;
  for (const auto& [name, layout] : {std::pair{"grey8", grey},
                                     {"grey16", wide},
                                     {"palette13", palette},
                                     {"palette14", fourteen},
                                     {"centimetres", metric}})
    test::WriteFile(folder + "/" + name + ".tif", test::BuildTiff(layout));
}

// A grey and a colour picture through our encoder, in sizes that end inside a block.
void WriteJpegSeeds(const std::string& folder) {
  for (const auto& [name, width, height, bits] :
       {std::tuple{"grey", 19, 11, 8}, {"greyblock", 8, 8, 8}, {"colour", 21, 10, 24}}) {
    SliceImage image;
    image.Create(width, height, bits, false);
    for (std::uint32_t i = 0; i < image.GetImageBytes(); ++i)
      image.GetBits()[i] = static_cast<std::uint8_t>(i * 7 ^ i >> 3);
    image.WriteJpeg(folder + "/" + name + ".jpg", 75);
  }
}

// The first byte picks the section and key names the target asks for.
void WriteIniSeeds(const std::string& folder) {
  test::WriteFile(folder + "/settings", std::string("\x05") +
                                            "; written by the viewer\n[Settings]\nPalette=2\nLevelLow = 12\n\n"
                                            "[Line]\r\nLinePoints=1,2,3,4\r\n[settings]\nPALETTE=7\n");
  test::WriteFile(folder + "/codec", std::string("\x0F") + "[Codec]\nUSECPU=abc\n[Codec]\nUSECPU=3\n");
  test::WriteFile(folder + "/empty", std::string("\x00", 1));
}

// Folder listings, the chosen file first: series with previews, and names that are nearly numbered.
void WriteDiscoverySeeds(const std::string& folder) {
  test::WriteFile(folder + "/series", "scan0003.bmp\nscan0001.bmp\nscan0002.bmp\nscan_SPR.bmp\nscanInfo.bmp\n");
  test::WriteFile(folder + "/nearly",
                  "slice0001.tif\nslice000a.tif\nslice 001.tif\nslice00001.tif\nslice-001.tif\nslice0001.TIF\n"
                  "slice0002.tif.bak\nSLICE0003.tif\nslice_VPR.tif\nslice+001.tif\n");
  test::WriteFile(folder + "/short", "0001.jpg\n0002.jpg\n1.jpg\n.jpg\n_SPR.jpg\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: orvel-fuzz-seeds OUTDIR\n");
    return 2;
  }
  const std::string out = argv[1];
  for (const char* target : {"ReadBmp", "ReadTiff", "JpegCodecRead", "IniFile", "DatasetDiscovery"})
    std::filesystem::create_directories(out + "/" + target);
  WriteBmpSeeds(out + "/ReadBmp");
  WriteTiffSeeds(out + "/ReadTiff");
  WriteJpegSeeds(out + "/JpegCodecRead");
  WriteIniSeeds(out + "/IniFile");
  WriteDiscoverySeeds(out + "/DatasetDiscovery");
  return 0;
}
