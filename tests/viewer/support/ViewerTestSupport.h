#pragma once
// What the viewer tests share: small datasets written with the core's writers, and the viewer
// started on one with its dialogs answered and its settings in a folder of its own.
#include <QImage>
#include <memory>
#include <string>

#include "app/Dataset.h"
#include "support/TestSupport.h"
#include "viewer/support/Controls.h"
#include "viewer/support/FakeDialogs.h"

namespace orvel::viewer {
class ViewerDialog;
}

namespace orvel::test {

enum class Preview { kNone, kSide, kVolume };

struct DatasetOptions {
  std::string format = "bmp";  // bmp, tif or jpg
  int slices = 4;
  int width = 64, height = 64;
  Preview preview = Preview::kNone;
  int bits = 8;  // BMP only: 24 gives a series without a colour table
};

// The grey value of image pixel (x, y) (y down from the top) of slice i: slices and rows differ,
// so that a test sees which slice is shown and which way up.
int SlicePixel(int x, int y, int slice);

// Writes slices "s0000.ext", "s0001.ext", ... (and "s_SPR.ext" or "s_VPR.ext") and discovers
// them as the program would.
Dataset WriteDataset(const TemporaryDirectory& dir, const DatasetOptions& options);

// Replaces the file of slice index of a dataset with one its reader refuses.
void DamageSlice(const Dataset& dataset, int index);

// The set-up every window test shares: the user's dialogs answered by the test, the settings in a
// folder of the test's own, a dataset written for the test, and the viewer on it, started by
// Start() as the program starts it. Before Start() a test may damage the dataset or write settings.
class ViewerFixture {
 public:
  explicit ViewerFixture(const DatasetOptions& options = {});
  ~ViewerFixture();
  viewer::ViewerDialog& Start();

  FakeDialogs dialogs;
  SettingsFolder settings;
  TemporaryDirectory folder;  // the dataset's
  Dataset dataset;

 private:
  std::unique_ptr<viewer::ViewerDialog> m_viewer;
};

// What the widget shows, rendered as the screen would get it.
QImage Grab(QWidget* widget);

}  // namespace orvel::test
