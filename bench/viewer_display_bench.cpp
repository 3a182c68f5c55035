// The viewer's display pipeline: a playback step (load the next slice, Redraw, and the paint it
// causes, forced with repaint()) on 1024 x 1024 BMP, TIFF and JPEG slices in a window 1000 pixels
// high, beside only reading and decoding the same files and beside Redraw and paint alone; and a
// level-slider change on a 2048 x 2048 slice; and the frame zoomed into a 4096 x 4096 slice. Runs on the offscreen
// platform unless QT_QPA_PLATFORM names another. Wall-clock times: the read-ahead works on another thread.
//
// The step is timed twice: back to back, where the reader on the worker thread has only the step
// itself to read the next slice in, and at the playback timer's 10 ms period, as when playing.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QSlider>
#include <QWheelEvent>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>

#include "app/DatasetDiscovery.h"
#include "app/ImageLoader.h"
#include "cli/Phantom.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace {

using namespace orvel;

constexpr int kSlices = 40;
constexpr int kWindowHeight = 1000;

const std::string& TemporaryRoot() {
  static const std::string root = [] {
    const auto path = std::filesystem::temp_directory_path() / ("orvel-viewer-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    std::atexit([] { std::filesystem::remove_all(TemporaryRoot()); });
    return path.string();
  }();
  return root;
}

// The phantom dataset of the format and size, written once per run.
const Dataset& PhantomDataset(const std::string& format, int size, int slices) {
  static std::map<std::string, Dataset> datasets;
  const std::string key = format + std::to_string(size);
  if (!datasets.count(key)) {
    cli::PhantomOptions options;
    options.outputDirectory = TemporaryRoot() + "/" + key;
    options.format = format;
    options.slices = slices;
    options.width = options.height = size;
    std::string error;
    if (!cli::WritePhantom(options, error)) throw std::runtime_error(error);
    DiscoverDataset(options.outputDirectory + "/phantom0000." + format, datasets[key]);
  }
  return datasets.at(key);
}

const char* const kFormats[] = {"bmp", "tif", "jpg"};

std::unique_ptr<viewer::ViewerDialog> OpenViewer(const Dataset& dataset) {
  auto viewer = std::make_unique<viewer::ViewerDialog>(dataset);
  viewer->InitialiseViewer();
  viewer->show();
  viewer->resize(viewer->width(), kWindowHeight);
  QApplication::processEvents();
  return viewer;
}

void BM_ReadAndDecode(benchmark::State& state) {
  const Dataset& dataset = PhantomDataset(kFormats[state.range(0)], 1024, kSlices);
  SliceImage image;
  int next = 0;
  for (auto _ : state) {
    LoadImageFile(dataset.slicePaths[next], image);
    next = (next + 1) % kSlices;
  }
  state.SetLabel(kFormats[state.range(0)]);
}
BENCHMARK(BM_ReadAndDecode)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RedrawAndPaint(benchmark::State& state) {
  auto viewer = OpenViewer(PhantomDataset(kFormats[state.range(0)], 1024, kSlices));
  viewer->OnStop();
  for (auto _ : state) {
    viewer->Redraw();
    viewer->repaint();
  }
  state.SetLabel(std::string(kFormats[state.range(0)]) + ", frame " +
                 std::to_string(viewer->Control(viewer::id::kImage)->height()) + " px high");
}
BENCHMARK(BM_RedrawAndPaint)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// range(0): format; range(1): the playback timer's period in milliseconds, 0 for back to back.
// The 500 ms pauses at the ends of the stack are taken over at once and not counted.
void BM_PlaybackStep(benchmark::State& state) {
  auto viewer = OpenViewer(PhantomDataset(kFormats[state.range(0)], 1024, kSlices));
  const auto period = std::chrono::milliseconds(state.range(1));
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    viewer->OnPlaybackTimer();
    if (viewer->PlaybackPausePending()) viewer->EndPlaybackPauseNow();
    viewer->repaint();
    if (period.count() > 0) {
      state.PauseTiming();
      std::this_thread::sleep_until(start + period);
      state.ResumeTiming();
    }
  }
  state.SetLabel(std::string(kFormats[state.range(0)]) + (period.count() ? ", every 10 ms" : ", back to back"));
}
BENCHMARK(BM_PlaybackStep)->ArgsProduct({{0, 1, 2}, {0, 10}})->Unit(benchmark::kMillisecond)->UseRealTime();

// A user's move of the lower level slider in Greyscale: the handler's Redraw and the paint.
void BM_LevelChange2048(benchmark::State& state) {
  auto viewer = OpenViewer(PhantomDataset("bmp", 2048, 2));
  viewer->OnStop();
  qobject_cast<QAbstractButton*>(viewer->Control(viewer::id::kGreyscale))->click();
  auto* lower = qobject_cast<QSlider*>(viewer->Control(viewer::id::kLowerLevel));
  int position = 100;
  for (auto _ : state) {
    position = position == 100 ? 150 : 100;
    lower->setValue(position);
    viewer->repaint();
  }
  state.SetLabel("frame " + std::to_string(viewer->Control(viewer::id::kImage)->height()) + " px high");
}
BENCHMARK(BM_LevelChange2048)->Unit(benchmark::kMillisecond)->UseRealTime();

// The image frame zoomed into a 4096 x 4096 slice: Redraw and the paint it causes, and the paint
// after a pan step, fitted and at about 4x and 16x. range(0): wheel notches with Ctrl (1.25 each);
// range(1): 1 for pan steps instead of Redraw. Only the frame's own pixels are painted at any zoom.
void BM_Zoomed4096(benchmark::State& state) {
  auto viewer = OpenViewer(PhantomDataset("bmp", 4096, 2));
  viewer->OnStop();
  viewer->resize(1300, 1100);  // a frame about 1000 pixels high, as on a desk's screen
  QApplication::processEvents();
  QWidget* frame = viewer->Control(viewer::id::kImage);
  const QPointF centre = frame->geometry().center();
  QWheelEvent wheel(centre, viewer->mapToGlobal(centre), QPoint(), QPoint(0, 120 * static_cast<int>(state.range(0))),
                    Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(viewer.get(), &wheel);
  const bool pan = state.range(1) != 0;
  QMouseEvent press(QEvent::MouseButtonPress, centre, viewer->mapToGlobal(centre), Qt::MiddleButton, Qt::MiddleButton,
                    Qt::NoModifier);
  if (pan) QApplication::sendEvent(viewer.get(), &press);
  int step = 1;
  for (auto _ : state) {
    if (pan) {
      step = -step;  // to and fro by 3 screen pixels, so the region never reaches the slice's edge
      const QPointF to = centre + QPointF(3 * (step + 1) / 2, 0);
      QMouseEvent move(QEvent::MouseMove, to, viewer->mapToGlobal(to), Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
      QApplication::sendEvent(viewer.get(), &move);
    } else {
      viewer->Redraw();
    }
    viewer->repaint();
  }
  const QString zoom = viewer->Viewport().Fitted()
                           ? QStringLiteral("fitted")
                           : QStringLiteral("zoom %1x").arg(viewer->Viewport().Zoom(), 0, 'f', 1);
  state.SetLabel(
      (zoom + (pan ? ", pan step" : ", Redraw and paint") + ", frame %1 px high").arg(frame->height()).toStdString());
}
BENCHMARK(BM_Zoomed4096)
    ->Args({0, 0})
    ->Args({6, 0})
    ->Args({12, 0})
    ->Args({12, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(TemporaryRoot()));  // the viewer's settings file
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
