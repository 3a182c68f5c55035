// Start, Stop, the playback step and the vertical sliders (slice selector and the two limits).
//
// A playback step pauses 500 ms at either end of the stack and then for the speed slider's delay.
// The pauses are timers, not sleeps, so the window stays live during them; the step counts as
// running until its last pause ends (ticks meanwhile are dropped), and Stop, or anything that
// stops playback, abandons a pending pause so that the step never moves away from a slice the
// user has just chosen.
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <vector>

#include "app/PlaybackReadAhead.h"
#include "platform/qt/WindowTimer.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::viewer {

namespace {

constexpr int kPlaybackTimerId = 1;
constexpr int kPlaybackPeriodMs = 10;
constexpr int kEndPauseMs = 500;  // at the first and the last slice

// The file title: the name after the last separator, up to its last dot.
std::string FileTitleOf(const std::string& path) {
  const std::string name = path.substr(path.rfind('/') + 1);
  return name.substr(0, name.rfind('.'));
}

}  // namespace

// Slice i sits at slider position count - 1 - i: the top of a vertical slider is the last slice.
// Clamped, so that no position a slider may be given names a slice the dataset lacks.
int ViewerDialog::SliceIndexAt(const QSlider* slider) const {
  return std::clamp(m_sliceCount - 1 - slider->value(), 0, m_sliceCount - 1);
}

int ViewerDialog::CurrentSliceIndex() const { return SliceIndexAt(m_sliceSlider); }

// Through the read-ahead when playback has one; it reads on the spot what it does not hold.
LoadStatus ViewerDialog::LoadSliceFile(int index) {
  if (m_readAhead) return m_readAhead->Load(index, m_slice);
  return LoadImageFile(m_slicePaths[index], m_slice, &m_sampleWindow);
}

bool ViewerDialog::LoadSlice(int index) {
  const LoadStatus status = LoadSliceFile(index);
  return status == LoadStatus::kLoaded || ImageTypeFromExtension(m_slicePaths[index]) == kJpegImage;
}

void ViewerDialog::OnStart() {
  if (m_sliceCount < 2) return;  // nothing to play through; the controls are hidden
  m_play = 1;
  ShowFields();
  m_timerId = m_timer->Set(kPlaybackTimerId, kPlaybackPeriodMs);
  ReadAheadFromCurrentSlice();
}

void ViewerDialog::OnStop() {
  if (m_timerId != 0) m_timer->Kill(m_timerId);
  CancelPlaybackPause();
  m_play = 0;
  ShowFields();
  m_timerId = 0;
  // A later start reads the files as they are then.
  if (m_readAhead) m_readAhead->Forget();
}

void ViewerDialog::OnPlaybackTimer() {
  if (m_tickBusy) return;
  m_tickBusy = 1;
  try {
    const int current = CurrentSliceIndex();
    int pause = 0;
    if (current == 0) {
      m_playDirection = +1;
      pause += kEndPauseMs;
    }
    if (current == m_sliceCount - 1) {
      m_playDirection = -1;
      pause += kEndPauseMs;
    }
    PauseThen(pause, [this, current] { ShowNextPlaybackSlice(current + m_playDirection); });
  } catch (const std::exception&) {
    m_tickBusy = 0;
  }
}

// The second half of a step: load, move the selector, caption, redraw, then the speed delay.
void ViewerDialog::ShowNextPlaybackSlice(int next) {
  try {
    const LoadStatus status = LoadSliceFile(next);
    // A BMP or TIFF slice that cannot be decoded stops playback and keeps the line points; a JPEG
    // slice never does, and a file that cannot be opened is passed over silently.
    if (status == LoadStatus::kReadFailed && ImageTypeFromExtension(m_slicePaths[next]) != kJpegImage) {
      OnStop();
      WriteLinePointsToSettings();
    }
    SetSliderPosition(m_sliceSlider, m_sliceCount - 1 - next);
    ShowFields();
    SetCaption(FileTitleOf(m_slicePaths[next]));
    Redraw();
    if (m_timerId != 0) ReadAheadFromCurrentSlice();
    PauseThen(m_playDelay, [this] { m_tickBusy = 0; });
  } catch (const std::exception&) {
    m_tickBusy = 0;
  }
}

// The slices the next steps will show, as many as the read-ahead holds, from the slice shown now
// and the direction.
void ViewerDialog::ReadAheadFromCurrentSlice() {
  if (!m_readAhead) return;
  std::vector<int> slices;
  PlaybackMove move{CurrentSliceIndex(), m_playDirection};
  for (int k = 0; k < m_readAhead->Slots(); ++k) {
    move = NextPlaybackSlice(move.slice, move.direction, m_sliceCount);
    slices.push_back(move.slice);
  }
  m_readAhead->ReadAhead(slices);
}

void ViewerDialog::PauseThen(int milliseconds, std::function<void()> continuation) {
  if (milliseconds <= 0) {
    continuation();
    return;
  }
  m_afterPause = std::move(continuation);
  m_pauseTimer->start(milliseconds);
}

// Abandons the rest of a step that waits in a pause; the step is over.
void ViewerDialog::CancelPlaybackPause() {
  if (!m_pauseTimer->isActive()) return;
  m_pauseTimer->stop();
  m_afterPause = nullptr;
  m_tickBusy = 0;
}

void ViewerDialog::SetDecodeWorkers(int workers) {
  m_decodeWorkers = workers;
  if (m_readAhead) {
    m_readAhead.reset();  // its workers end before the new ones start
    m_readAhead = std::make_unique<PlaybackReadAhead>(m_slicePaths, &m_sampleWindow, workers);
    if (m_timerId != 0) ReadAheadFromCurrentSlice();
  }
}

int ViewerDialog::SlicesReadAhead() const { return m_readAhead ? m_readAhead->ReadyCount() : 0; }

bool ViewerDialog::PlaybackPausePending() const { return m_pauseTimer->isActive(); }

void ViewerDialog::EndPlaybackPauseNow() {
  if (!m_pauseTimer->isActive()) return;
  m_pauseTimer->stop();
  std::exchange(m_afterPause, nullptr)();
}

void ViewerDialog::OnVerticalScroll(int controlId) {
  OnStop();
  ReadControls();
  const int current = CurrentSliceIndex();
  if (controlId == id::kSliceSelector) {
    SetChecked(id::kStart, false);
    SetChecked(id::kStop, true);
    LoadSliceFile(current);  // not examined: an empty or partly read slice is shown as it is
    SetCaption(SliceTitleWithExtension(current));
  } else {
    const int bottom = SliceIndexAt(m_bottomLimitSlider);
    const int top = SliceIndexAt(m_topLimitSlider);
    if (bottom > top) {
      SetSliderPosition(m_bottomLimitSlider, m_sliceCount - 1 - top);
      SetSliderPosition(m_topLimitSlider, m_sliceCount - 1 - bottom);
      ShowFields();
    }
  }
  Redraw();
}

}  // namespace orvel::viewer
