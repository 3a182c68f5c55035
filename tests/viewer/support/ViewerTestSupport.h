#pragma once
// What the viewer tests share: small datasets written with the core's writers, message boxes and
// file dialogs answered without a person, and a settings file of the test's own.
#include <QByteArray>
#include <QImage>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Dataset.h"
#include "platform/Messages.h"
#include "platform/qt/UserDialogs.h"
#include "support/TestSupport.h"

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

// Message boxes and file dialogs answered by the test; the core's messages reach them as they
// reach the message boxes of the program. Settings go to a directory of the test's own.
class ViewerTestScope {
 public:
  ViewerTestScope();
  ~ViewerTestScope();

  const std::vector<platform::Message>& MessageBoxes() const;
  std::vector<platform::FileDialogRequest> OpenRequests() const;
  void AnswerOpenFile(std::optional<std::string> path);
  std::string SettingsPath() const;
  std::string SettingsText() const;  // empty when there is no file

 private:
  class Dialogs;
  Dialogs* m_dialogs;  // owned by the platform layer while the scope lives
  TemporaryDirectory m_config;
  QByteArray m_previousConfig;
};

// What the widget shows, rendered as the screen would get it.
QImage Grab(QWidget* widget);

}  // namespace orvel::test
