// What the selection tools cost while the user drags, each measured as the handler's Redraw and
// the paint it causes together, in a window 1000 pixels high on the offscreen platform:
//   - one mouse move of the line's stop point on a 2048 x 2048 slice, the line from corner to
//     corner (line block, profile graph, repaint of the slice and its overlay);
//   - the release that ends a drag of a 1024 x 1024 rectangle with "2D" on, on a porous phantom
//     slice (mask, labelling, text, size distribution graph).
// A drag must feel live: each should stay under 16 ms (one frame at 60 Hz). Times are wall-clock
// and CPU time is the whole process's, since Qt's raster engine converts large images on its own
// worker threads while the window's thread waits.
// Needs orvel-phantom beside this executable (both land in build/bin).
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QProcess>
#include <QSlider>
#include <QTemporaryDir>
#include <memory>

#include "app/DatasetDiscovery.h"
#include "app/SettingsFile.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace {

using namespace orvel;
using namespace orvel::viewer;

constexpr int kSide = 2048;
const QSize kWindow(1300, 1000);

// A two-slice porous phantom of 2048 x 2048 pixels, written once.
const std::string& PhantomSlice() {
  static QTemporaryDir directory;
  static const std::string first = [] {
    const QString phantom = QCoreApplication::applicationDirPath() + "/orvel-phantom";
    const QStringList arguments{directory.path(), "--slices", "2", "--size", "2048x2048"};
    if (QProcess::execute(phantom, arguments) != 0) qFatal("cannot run %s", qPrintable(phantom));
    return (directory.path() + "/phantom0000.bmp").toStdString();
  }();
  return first;
}

// The viewer as the program starts it, stopped, in a window 1000 pixels high, with the selection
// points the settings file holds.
std::unique_ptr<ViewerDialog> OpenViewer(PixelPoint start, PixelPoint stop) {
  static QTemporaryDir settingsDirectory;
  qputenv("XDG_CONFIG_HOME", settingsDirectory.path().toUtf8());
  platform::IniFile settings(SettingsFilePath());
  WriteLinePoints(settings, {start, stop});
  Dataset dataset;
  if (OpenDatasetFromPath(PhantomSlice(), dataset) != DiscoveryResult::kFound) qFatal("no phantom dataset");
  auto dialog = std::make_unique<ViewerDialog>(dataset);
  dialog->InitialiseViewer();
  dialog->show();
  qobject_cast<QAbstractButton*>(dialog->Control(id::kStop))->click();
  dialog->resize(kWindow);
  QCoreApplication::processEvents();
  return dialog;
}

void Click(ViewerDialog& dialog, int controlId) { qobject_cast<QAbstractButton*>(dialog.Control(controlId))->click(); }

// The dialog point over image point (x, y).
QPointF DialogPoint(ViewerDialog& dialog, double x, double y) {
  const auto* frame = static_cast<const QFrame*>(dialog.Control(id::kImage));
  const double scale = static_cast<double>(frame->contentsRect().width()) / kSide;
  return QPointF(frame->mapTo(&dialog, frame->contentsRect().topLeft())) +
         QPointF((x + 0.5) * scale, (y + 0.5) * scale);
}

void SendMouse(ViewerDialog& dialog, QEvent::Type type, QPointF point, Qt::MouseButtons buttons) {
  QMouseEvent event(type, point, dialog.mapToGlobal(point), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &event);
}

// The stop point alternates between two corners' neighbourhoods, so every move changes the line.
void BM_LineMoveRedraw(benchmark::State& state) {
  auto dialog = OpenViewer({5, 5}, {kSide - 5, kSide - 5});
  Click(*dialog, id::kColour1);
  Click(*dialog, id::kLine);
  SendMouse(*dialog, QEvent::MouseButtonPress, DialogPoint(*dialog, kSide - 5, kSide - 5), Qt::LeftButton);
  QCoreApplication::processEvents();
  bool nearCorner = false;
  for (auto _ : state) {
    const double corner = nearCorner ? kSide - 6 : kSide - 10;
    SendMouse(*dialog, QEvent::MouseMove, DialogPoint(*dialog, corner, corner), Qt::LeftButton);
    QCoreApplication::processEvents();  // the paint the move asked for
    nearCorner = !nearCorner;
  }
  SendMouse(*dialog, QEvent::MouseButtonRelease, DialogPoint(*dialog, kSide - 6, kSide - 6), Qt::NoButton);
  state.counters["frame_px"] = dialog->Control(id::kImage)->height();
  if (dialog->ResultsText().rfind("2D Length", 0) != 0) state.SkipWithError("no line results");
}
BENCHMARK(BM_LineMoveRedraw)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Each iteration drags the rectangle's stop point by a pixel (press and move untimed) and times
// the release, whose Redraw runs the area block, and the paint that follows.
void BM_RectangleDragEnd2D(benchmark::State& state) {
  auto dialog = OpenViewer({500, 500}, {1524, 1524});
  Click(*dialog, id::kBinary);
  qobject_cast<QSlider*>(dialog->Control(id::kLowerLevel))->setValue(20);  // the pores
  qobject_cast<QSlider*>(dialog->Control(id::kUpperLevel))->setValue(160);
  Click(*dialog, id::kRectangle);
  Click(*dialog, id::kSizeDistribution);
  QCoreApplication::processEvents();
  bool larger = false;
  for (auto _ : state) {
    state.PauseTiming();
    const double from = larger ? 1523 : 1524, to = larger ? 1524 : 1523;
    SendMouse(*dialog, QEvent::MouseButtonPress, DialogPoint(*dialog, from, from), Qt::LeftButton);
    SendMouse(*dialog, QEvent::MouseMove, DialogPoint(*dialog, to, to), Qt::LeftButton);
    QCoreApplication::processEvents();
    state.ResumeTiming();
    SendMouse(*dialog, QEvent::MouseButtonRelease, DialogPoint(*dialog, to, to), Qt::NoButton);
    QCoreApplication::processEvents();
    larger = !larger;
  }
  state.counters["frame_px"] = dialog->Control(id::kImage)->height();
  if (dialog->ResultsText().find("Number of Objects") == std::string::npos) state.SkipWithError("no area results");
}
BENCHMARK(BM_RectangleDragEnd2D)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
