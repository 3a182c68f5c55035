// The 3D model and the cut run in the viewer window, driven as a user drives it, against
// orvel-analyze doing the same work in the same process, on 200 slices of 1024 x 1024.
// ORVEL_STACK_DIR names a dataset directory (orvel-phantom OUTDIR --slices 200 --size 1024x1024
// makes one); without it such a phantom is written to a temporary directory first. The window is
// 1200 x 1000 pixels, so the slice is painted at about 980 x 980. QT_QPA_PLATFORM chooses where
// it is painted (offscreen unless set; under xvfb-run, set it to xcb). The window's runs are timed
// from the click to the finished text, or to the save dialog showing the cut.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/DatasetDiscovery.h"
#include "app/SettingsFile.h"
#include "cli/Analyze.h"
#include "cli/Phantom.h"
#include "dialogs/SaveImageDialog.h"
#include "dialogs/SaveImageTemplate.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace {

using namespace orvel;

constexpr int kSlices = 200;
constexpr int kSize = 1024;
// The selection: a box over the whole slice but its margin, a line across the middle.
const PixelPoint kBoxStart{5, 5}, kBoxStop{kSize - 5, kSize - 5};
const PixelPoint kLineStart{5, kSize / 2}, kLineStop{kSize - 5, kSize / 2 + 2};

std::string FirstSliceIn(const std::string& directory) {
  std::string first;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    const std::string path = entry.path().string();
    if (path.find("_SPR") == std::string::npos && (first.empty() || path < first)) first = path;
  }
  return first;
}

const std::string& FirstSlice() {
  static const std::string first = [] {
    if (const char* dir = std::getenv("ORVEL_STACK_DIR")) return FirstSliceIn(dir);
    static QTemporaryDir directory;
    cli::PhantomOptions options;
    options.outputDirectory = directory.path().toStdString();
    options.slices = kSlices;
    options.width = options.height = kSize;
    std::string error;
    if (!cli::WritePhantom(options, error)) qFatal("%s", error.c_str());
    return FirstSliceIn(options.outputDirectory);
  }();
  return first;
}

void RunAnalyze(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv{"orvel-analyze"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out, err;
  if (cli::RunAnalyze(static_cast<int>(argv.size()), argv.data(), out, err) != 0) qFatal("%s", err.str().c_str());
}

std::string PointsArgument(PixelPoint start, PixelPoint stop) {
  return std::to_string(start.x) + "," + std::to_string(start.y) + "," + std::to_string(stop.x) + "," +
         std::to_string(stop.y);
}

// The viewer on the dataset with the selection points given, playback stopped, one tool on.
std::unique_ptr<viewer::ViewerDialog> OpenViewer(PixelPoint start, PixelPoint stop, int tool) {
  static QTemporaryDir settingsDirectory;
  qputenv("XDG_CONFIG_HOME", settingsDirectory.path().toUtf8());
  platform::IniFile settings(SettingsFilePath());
  WriteLinePoints(settings, {start, stop});
  Dataset dataset;
  if (OpenDatasetFromPath(FirstSlice(), dataset) != DiscoveryResult::kFound) qFatal("no dataset");
  auto dialog = std::make_unique<viewer::ViewerDialog>(dataset);
  dialog->InitialiseViewer();
  dialog->show();
  dialog->resize(1200, 1000);
  qobject_cast<QAbstractButton*>(dialog->Control(viewer::id::kStop))->click();
  qobject_cast<QAbstractButton*>(dialog->Control(tool))->click();
  QCoreApplication::processEvents();
  return dialog;
}

void BM_AnalyzeModel(benchmark::State& state) {
  const std::vector<std::string> arguments{FirstSlice(), "--rectangle", PointsArgument(kBoxStart, kBoxStop), "--3d"};
  for (auto _ : state) RunAnalyze(arguments);
}

void BM_WindowModel(benchmark::State& state) {
  auto dialog = OpenViewer(kBoxStart, kBoxStop, viewer::id::kRectangle);
  auto* button = qobject_cast<QAbstractButton*>(dialog->Control(viewer::id::kModel3D));
  for (auto _ : state) button->click();
}

void BM_AnalyzeCut(benchmark::State& state) {
  QTemporaryDir out;
  const std::vector<std::string> arguments{FirstSlice(), "--line", PointsArgument(kLineStart, kLineStop), "--cut",
                                           out.filePath("cut.bmp").toStdString()};
  for (auto _ : state) RunAnalyze(arguments);
}

// Timed until the save dialog shows the cut; closing it is not.
void BM_WindowCut(benchmark::State& state) {
  auto dialog = OpenViewer(kLineStart, kLineStop, viewer::id::kLine);
  QElapsedTimer clock;
  QTimer answer;
  answer.setInterval(0);
  QObject::connect(&answer, &QTimer::timeout, &answer, [&] {
    auto* save = dynamic_cast<dialogs::SaveImageDialog*>(QApplication::activeModalWidget());
    if (!save || !save->isVisible()) return;
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
    qobject_cast<QAbstractButton*>(save->Control(dialogs::id::kClose))->click();
  });
  answer.start();
  for (auto _ : state) {
    clock.start();
    qobject_cast<QAbstractButton*>(dialog->Control(viewer::id::kCut))->click();
    state.PauseTiming();
    qobject_cast<QAbstractButton*>(dialog->Control(viewer::id::kLine))->click();
    state.ResumeTiming();
  }
}

BENCHMARK(BM_AnalyzeModel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowModel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AnalyzeCut)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowCut)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  FirstSlice();  // the dataset is written before anything is timed
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
