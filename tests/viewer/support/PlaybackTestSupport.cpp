#include "viewer/support/PlaybackTestSupport.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>
#include <cstdlib>

#include "viewer/ViewerTemplate.h"
#include "viewer/support/ViewerTestSupport.h"

namespace orvel::test {

bool Playing(const viewer::ViewerDialog& viewer) {
  return Checked(viewer, viewer::id::kStart) && !Checked(viewer, viewer::id::kStop);
}

int SelectedSlice(const viewer::ViewerDialog& viewer) {
  const QSlider* selector = Slider(viewer, viewer::id::kSliceSelector);
  return selector->maximum() - selector->value();
}

int ShownSlice(const viewer::ViewerDialog& viewer, int tolerance) {
  QWidget* frame = viewer.Control(viewer::id::kImage);
  const QRgb pixel = Grab(frame).pixel(frame->contentsRect().topLeft());
  const int grey = qGreen(pixel);
  if (qRed(pixel) != grey || qBlue(pixel) != grey) return -1;
  const int slice = (grey + 8) / 16;
  return std::abs(grey - 16 * slice) <= tolerance ? slice : -1;
}

void Step(viewer::ViewerDialog& viewer) {
  viewer.OnPlaybackTimer();
  while (viewer.PlaybackPausePending()) viewer.EndPlaybackPauseNow();
}

void WaitForReadAhead(const viewer::ViewerDialog& viewer, int slices) {
  QElapsedTimer waited;
  waited.start();
  while (viewer.SlicesReadAhead() < slices && waited.elapsed() < 10000) QThread::msleep(1);
  QVERIFY(viewer.SlicesReadAhead() >= slices);
}

}  // namespace orvel::test
