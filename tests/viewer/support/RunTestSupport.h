#pragma once
// What the tests of the long runs ("3D", "Cut") share: a viewer set up for a run over a range,
// work done from inside the run's message pump, a record of what the window showed at every pass
// of the pump, and the save dialog the cut opens, answered in place of a person.
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "image/SliceImage.h"
#include "viewer/support/ToolsTestViewer.h"

namespace orvel::dialogs {
class SaveImageDialog;
}

namespace orvel::test {

// How the viewer is set up before a run; slice indices and level-slider positions.
struct RunSetup {
  int tool = 0;  // the button of the tool to turn on (line, rectangle or ellipse)
  int first = 0, last = 0;
  int palette = 0;                       // the palette button; 0 keeps "Original"
  int lowerLevel = -1, upperLevel = -1;  // -1 keeps the position the first slice gave
  bool invert = false;
};

void PrepareRun(ToolsViewer& viewer, int sliceCount, const RunSetup& setup);

// orvel-analyze's arguments for the same range, levels and invert.
QStringList RunArguments(const std::string& firstSlice, const viewer::ViewerDialog& dialog, const RunSetup& setup);

// The results box as shown (line ends without carriage returns, none after the last line) and a
// core text made alike.
QString BoxText(const viewer::ViewerDialog& dialog);
QString AsShown(const std::string& coreText);

// Runs work once, at the first pass of the event loop: inside a run, after its first slice.
void DuringRun(std::function<void()> work);

// What the window shows at every pass of the event loop while it lives.
struct PumpState {
  QString caption;
  int selectorPosition = 0;
  QString box;
};
class PumpRecorder {
 public:
  explicit PumpRecorder(viewer::ViewerDialog& dialog);
  const std::vector<PumpState>& States() const { return m_states; }

 private:
  QTimer m_everyPass;
  std::vector<PumpState> m_states;
};

// Answers the save dialog a cut opens: keeps a copy of its image, does what the test asks with
// the dialog, then closes it with "&Cancel".
class SaveDialogAnswer {
 public:
  explicit SaveDialogAnswer(std::function<void(dialogs::SaveImageDialog&)> action = {});
  bool Seen() const { return m_seen; }
  const SliceImage& Image() const { return m_image; }

 private:
  std::function<void(dialogs::SaveImageDialog&)> m_action;
  QTimer m_poll;
  bool m_seen = false;
  SliceImage m_image;
};

}  // namespace orvel::test
