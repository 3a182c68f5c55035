// Start, Stop, the playback step and the vertical sliders (slice selector and the two limits).
// The timer, the pauses of a step and the read-ahead are Playback's; the handlers here decide
// what a step shows and when playback stops.
#include <QSlider>
#include <algorithm>

#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::viewer {

// Slice i sits at slider position count - 1 - i: the top of a vertical slider is the last slice.
// Clamped, so that no position a slider may be given names a slice the dataset lacks.
int ViewerDialog::SliceIndexAt(const QSlider* slider) const {
  return std::clamp(m_sliceCount - 1 - slider->value(), 0, m_sliceCount - 1);
}

// The reverse of SliceIndexAt: the slider's position that names slice index.
void ViewerDialog::SetSliderToSlice(QSlider* slider, int index) { SetSliderPosition(slider, m_sliceCount - 1 - index); }

int ViewerDialog::CurrentSliceIndex() const { return SliceIndexAt(m_sliceSlider); }

LoadStatus ViewerDialog::LoadSliceFile(int index) { return m_playback.Load(index, m_slice); }

void ViewerDialog::OnStart() {
  if (m_sliceCount < 2) return;  // nothing to play through; the controls are hidden
  m_play = true;
  ShowFields();
  m_playback.Start(CurrentSliceIndex());
}

void ViewerDialog::OnStop() {
  m_playback.Stop();
  m_play = false;
  ShowFields();
}

void ViewerDialog::OnPlaybackTimer() { m_playback.Step(CurrentSliceIndex()); }

// What a step shows: load, move the selector, caption, redraw.
void ViewerDialog::ShowNextPlaybackSlice(int next) {
  const LoadStatus status = LoadSliceFile(next);
  // A BMP or TIFF slice that cannot be decoded stops playback and keeps the line points; a JPEG
  // slice never does, and a file that cannot be opened is passed over silently.
  if (status == LoadStatus::kReadFailed && ImageTypeFromExtension(m_slicePaths[next]) != kJpegImage) {
    OnStop();
    WriteLinePointsToSettings();
  }
  SetSliderToSlice(m_sliceSlider, next);
  ShowFields();
  SetCaption(m_sliceTitles[next]);
  Redraw();
}

void ViewerDialog::SetDecodeWorkers(int workers) {
  m_decodeWorkers = workers;
  m_playback.SetDecodeWorkers(workers);
  if (m_playback.Running()) m_playback.ReadAheadFrom(CurrentSliceIndex());
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
      SetSliderToSlice(m_bottomLimitSlider, top);
      SetSliderToSlice(m_topLimitSlider, bottom);
      ShowFields();
    }
  }
  Redraw();
}

}  // namespace orvel::viewer
