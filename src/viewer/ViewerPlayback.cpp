// Start, Stop, the playback step and the vertical sliders (slice selector and the two limits).
#include <QSlider>

#include "app/ImageLoader.h"
#include "platform/qt/WindowTimer.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::viewer {

namespace {
constexpr int kPlaybackTimerId = 1;
constexpr int kPlaybackPeriodMs = 10;
}  // namespace

// Slice i sits at slider position count - 1 - i: the top of a vertical slider is the last slice.
int ViewerDialog::CurrentSliceIndex() const { return m_sliceCount - 1 - m_sliceSlider->value(); }

bool ViewerDialog::LoadSlice(int index) {
  const LoadStatus status = LoadImageFile(m_slicePaths[index], m_slice);
  const int type = ImageTypeFromExtension(m_slicePaths[index]);
  return status == LoadStatus::kLoaded || type == kJpegImage;
}

void ViewerDialog::OnStart() {
  m_play = 1;
  ShowFields();
  m_timerId = m_timer->Set(kPlaybackTimerId, kPlaybackPeriodMs);
}

void ViewerDialog::OnStop() {
  if (m_timerId != 0) m_timer->Kill(m_timerId);
  m_play = 0;
  ShowFields();
  m_timerId = 0;
}

void ViewerDialog::OnPlaybackTimer() {
  if (m_tickBusy) return;
  m_tickBusy = 1;
  const int current = CurrentSliceIndex();
  if (current == 0) m_playDirection = +1;
  if (current == m_sliceCount - 1) m_playDirection = -1;
  const int next = current + m_playDirection;
  if (!LoadSlice(next)) {
    OnStop();
    WriteLinePointsToSettings();
  }
  SetSliderPosition(m_sliceSlider, m_sliceCount - 1 - next);
  ShowFields();
  SetCaption(m_sliceTitles[next]);
  Redraw();
  m_tickBusy = 0;
}

void ViewerDialog::OnVerticalScroll(int controlId) {
  OnStop();
  ReadControls();
  const int current = CurrentSliceIndex();
  if (controlId == id::kSliceSelector) {
    SetChecked(id::kStart, false);
    SetChecked(id::kStop, true);
    LoadImageFile(m_slicePaths[current], m_slice);
    SetCaption(SliceTitleWithExtension(current));
  } else {
    const int bottom = m_sliceCount - 1 - m_bottomLimitSlider->value();
    const int top = m_sliceCount - 1 - m_topLimitSlider->value();
    if (bottom > top) {
      SetSliderPosition(m_bottomLimitSlider, m_sliceCount - 1 - top);
      SetSliderPosition(m_topLimitSlider, m_sliceCount - 1 - bottom);
      ShowFields();
    }
  }
  Redraw();
}

}  // namespace orvel::viewer
