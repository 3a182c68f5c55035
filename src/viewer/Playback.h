#pragma once
// Playback's machinery, which the viewer owns: the timer whose ticks step through the stack, the
// pauses of a step, the slices read ahead of it, the direction it moves in and the guard that
// drops ticks while a step is under way. What a step shows is the viewer's: the step hands it the
// slice to show and carries on when it is shown.
//
// A step pauses 500 ms at either end of the stack and then for the speed slider's delay. The
// pauses are timers, not sleeps, so the window stays live during them; the step counts as
// running until its last pause ends (ticks meanwhile are dropped), and Stop abandons a pending
// pause so that the step never moves away from a slice the user has just chosen.
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DatasetWindow.h"
#include "app/ImageLoader.h"
#include "image/SliceImage.h"
#include "platform/qt/WindowTimer.h"

namespace orvel {
class PlaybackReadAhead;
}

namespace orvel::viewer {

class Playback {
 public:
  // paths: the slices, first to last; window maps their deep samples. onTick runs at every tick
  // of the timer, showSlice shows the slice a step has reached. paths and window outlive playback.
  Playback(const std::vector<std::string>& paths, DatasetWindow& window, std::function<void()> onTick,
           std::function<void(int slice)> showSlice);
  ~Playback();
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  // Starts the ticks and reads ahead from slice current.
  void Start(int current);
  // Stops the ticks, abandons a step waiting in a pause and drops what was read ahead, so that a
  // later start reads the files as they are then.
  void Stop();
  bool Running() const { return m_timerId != 0; }

  // One step on from slice current, unless a step is under way.
  void Step(int current);
  void SetDelay(int milliseconds) { m_playDelay = milliseconds; }

  // Slice index into image: through the read-ahead when there is one, which reads on the spot
  // what it does not hold.
  LoadStatus Load(int index, SliceImage& image);
  // From now on, the slices the next steps reach are read ahead; by default one per usable processor.
  void StartReadingAhead();
  // The slices the next steps will show from slice current, as many as the read-ahead holds.
  void ReadAheadFrom(int current);
  // Slices decoded at once, once reading ahead has started; drops what was read ahead.
  void SetDecodeWorkers(int workers);
  int SlicesReadAhead() const;  // read ahead and ready to be shown

  // For tests and benchmarks: whether a pause is under way, and ending it at once as if its time
  // had passed.
  bool PausePending() const { return m_pauseTimer.isActive(); }
  void EndPauseNow();

 private:
  int SliceCount() const { return static_cast<int>(m_paths.size()); }
  void ShowThenDelay(int next);
  void PauseThen(int milliseconds, std::function<void()> continuation);
  void CancelPause();

  const std::vector<std::string>& m_paths;
  DatasetWindow& m_window;
  std::function<void(int)> m_showSlice;
  platform::WindowTimer m_timer;
  unsigned m_timerId = 0;  // the playback timer's identifier while it runs
  QTimer m_pauseTimer;
  std::function<void()> m_afterPause;              // the rest of the step, run when the pause ends
  std::unique_ptr<PlaybackReadAhead> m_readAhead;  // slices the next steps reach (two or more slices)
  int m_playDirection = 1;                         // +1 towards the last slice, -1 towards the first
  int m_playDelay = 0;                             // milliseconds after each step
  bool m_tickBusy = false;                         // a step is under way, its pauses included
};

}  // namespace orvel::viewer
