#include "viewer/support/ViewerTestSupport.h"

#include <QWidget>
#include <QtTest>
#include <cstdio>

#include "app/DatasetDiscovery.h"
#include "image/BmpFile.h"
#include "image/ScannerTiff.h"
#include "image/SliceImage.h"
#include "support/SliceBuilder.h"
#include "viewer/ViewerDialog.h"

namespace orvel::test {

int SlicePixel(int x, int y, int slice) { return (x + 2 * y + 16 * slice) & 0xFF; }

namespace {

// 24-bit pixels hold the value in blue, +40 in green and +80 in red.
SliceImage MakeImage(int width, int height, int bits, int slice) {
  const auto value = [slice](int x, int y) { return SlicePixel(x, y, slice); };
  SliceImage image;
  if (bits == 8) {
    image = MakeSlice(width, height, value);
    SetGreyTable(image);
  } else {
    image.Create(width, height, bits, false);
    for (int y = 0; y < height; ++y) {
      std::uint8_t* row = image.GetBits() + static_cast<std::size_t>(height - 1 - y) * image.GetRowBytes();
      for (int x = 0; x < width; ++x)
        for (int b = 0; b < bits / 8; ++b) row[x * bits / 8 + b] = static_cast<std::uint8_t>(value(x, y) + 40 * b);
    }
  }
  image.SetXPelsPerMeter(100000);
  image.SetYPelsPerMeter(100000);
  return image;
}

void Save(const SliceImage& image, const std::string& format, const std::string& path) {
  bool saved = false;
  if (format == "bmp") saved = SaveBmpFile(image, path);
  else if (format == "tif") saved = WriteScannerTiff(image, path);
  else if (format == "jpg") saved = image.WriteJpeg(path, 95);
  QVERIFY2(saved, path.c_str());
}

}  // namespace

Dataset WriteDataset(const TemporaryDirectory& dir, const DatasetOptions& options) {
  for (int i = 0; i < options.slices; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "s%04d.%s", i, options.format.c_str());
    Save(MakeImage(options.width, options.height, options.bits, i), options.format, dir.File(name));
  }
  if (options.preview != Preview::kNone) {
    // A side view: one row per slice number, wider than high.
    const std::string name = (options.preview == Preview::kSide ? "s_SPR." : "s_VPR.") + options.format;
    Save(MakeImage(80, 40, 8, 3), options.format, dir.File(name));
  }
  Dataset dataset;
  const std::string first = dir.File("s0000." + options.format);
  if (DiscoverDataset(first, dataset) != DiscoveryResult::kFound) QTest::qFail("no dataset", __FILE__, __LINE__);
  return dataset;
}

void DamageSlice(const Dataset& dataset, int index) {
  WriteFile(dataset.slicePaths[index], std::string("BM and then nothing that any reader accepts"));
}

ViewerFixture::ViewerFixture(const DatasetOptions& options) : dataset(WriteDataset(folder, options)) {}

ViewerFixture::~ViewerFixture() = default;

viewer::ViewerDialog& ViewerFixture::Start() {
  m_viewer = std::make_unique<viewer::ViewerDialog>(dataset);
  m_viewer->InitialiseViewer();
  return *m_viewer;
}

QImage Grab(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace orvel::test
