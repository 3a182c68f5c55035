#include "viewer/Playback.h"

#include <exception>
#include <utility>

#include "app/PlaybackReadAhead.h"

namespace orvel::viewer {

namespace {

constexpr unsigned kPlaybackTimerId = 1;
constexpr int kPlaybackPeriodMs = 10;
constexpr int kEndPauseMs = 500;  // at the first and the last slice

}  // namespace

Playback::Playback(const std::vector<std::string>& paths, DatasetWindow& window, std::function<void()> onTick,
                   std::function<void(int slice)> showSlice)
    : m_paths(paths),
      m_window(window),
      m_showSlice(std::move(showSlice)),
      m_timer([tick = std::move(onTick)](unsigned) { tick(); }) {
  m_pauseTimer.setSingleShot(true);
  m_pauseTimer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&m_pauseTimer, &QTimer::timeout, &m_pauseTimer, [this] {
    if (m_afterPause) std::exchange(m_afterPause, nullptr)();
  });
}

Playback::~Playback() = default;

void Playback::Start(int current) {
  m_timerId = m_timer.Set(kPlaybackTimerId, kPlaybackPeriodMs);
  ReadAheadFrom(current);
}

void Playback::Stop() {
  if (m_timerId != 0) m_timer.Kill(m_timerId);
  CancelPause();
  m_timerId = 0;
  if (m_readAhead) m_readAhead->Forget();
}

void Playback::Step(int current) {
  if (m_tickBusy) return;
  m_tickBusy = true;
  try {
    const PlaybackMove move = NextPlaybackSlice(current, m_playDirection, SliceCount());
    m_playDirection = move.direction;
    const bool atEnd = current == 0 || current == SliceCount() - 1;
    PauseThen(atEnd ? kEndPauseMs : 0, [this, next = move.slice] { ShowThenDelay(next); });
  } catch (const std::exception&) {
    m_tickBusy = false;
  }
}

// The second half of a step: the viewer shows the slice, the read-ahead moves on with it, then
// the speed delay.
void Playback::ShowThenDelay(int next) {
  try {
    m_showSlice(next);
    if (Running()) ReadAheadFrom(next);
    PauseThen(m_playDelay, [this] { m_tickBusy = false; });
  } catch (const std::exception&) {
    m_tickBusy = false;
  }
}

void Playback::PauseThen(int milliseconds, std::function<void()> continuation) {
  if (milliseconds <= 0) {
    continuation();
    return;
  }
  m_afterPause = std::move(continuation);
  m_pauseTimer.start(milliseconds);
}

// Abandons the rest of a step that waits in a pause; the step is over.
void Playback::CancelPause() {
  if (!m_pauseTimer.isActive()) return;
  m_pauseTimer.stop();
  m_afterPause = nullptr;
  m_tickBusy = false;
}

void Playback::EndPauseNow() {
  if (!m_pauseTimer.isActive()) return;
  m_pauseTimer.stop();
  std::exchange(m_afterPause, nullptr)();
}

LoadStatus Playback::Load(int index, SliceImage& image) {
  if (m_readAhead) return m_readAhead->Load(index, image);
  return LoadImageFile(m_paths[index], image, &m_window);
}

void Playback::StartReadingAhead() { m_readAhead = std::make_unique<PlaybackReadAhead>(m_paths, &m_window); }

void Playback::ReadAheadFrom(int current) {
  if (!m_readAhead) return;
  std::vector<int> slices;
  PlaybackMove move{current, m_playDirection};
  for (int k = 0; k < m_readAhead->Slots(); ++k) {
    move = NextPlaybackSlice(move.slice, move.direction, SliceCount());
    slices.push_back(move.slice);
  }
  m_readAhead->ReadAhead(slices);
}

void Playback::SetDecodeWorkers(int workers) {
  if (!m_readAhead) return;
  m_readAhead.reset();  // its workers end before the new ones start
  m_readAhead = std::make_unique<PlaybackReadAhead>(m_paths, &m_window, workers);
}

int Playback::SlicesReadAhead() const { return m_readAhead ? m_readAhead->ReadyCount() : 0; }

}  // namespace orvel::viewer
