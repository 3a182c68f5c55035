#include "viewer/OncePerFrame.h"

#include <utility>

namespace orvel::viewer {

namespace {
constexpr qint64 kFrameNs = 1'000'000'000 / 60;
}

OncePerFrame::OncePerFrame(std::function<void()> action) : m_action(std::move(action)) {
  m_held.setSingleShot(true);
  m_held.setTimerType(Qt::PreciseTimer);
  QObject::connect(&m_held, &QTimer::timeout, &m_held, [this] { Run(); });
}

void OncePerFrame::Request() {
  if (m_held.isActive()) return;  // the held request will show this one too
  const qint64 sinceLastRun = m_lastRun.isValid() ? m_lastRun.nsecsElapsed() : kFrameNs;
  if (sinceLastRun >= kFrameNs) {
    Run();
    return;
  }
  const qint64 remainingMs = (kFrameNs - sinceLastRun + 999'999) / 1'000'000;
  m_held.start(static_cast<int>(remainingMs));
}

void OncePerFrame::Run() {
  m_lastRun.start();
  m_action();
}

}  // namespace orvel::viewer
