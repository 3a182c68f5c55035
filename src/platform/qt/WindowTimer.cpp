#include "platform/qt/WindowTimer.h"

#include <QTimerEvent>

namespace orvel::platform {

WindowTimer::WindowTimer(Callback callback, QObject* parent) : QObject(parent), m_callback(std::move(callback)) {}

unsigned WindowTimer::Set(unsigned id, int periodMs) {
  Kill(id);
  m_qtIds[id] = startTimer(periodMs, Qt::PreciseTimer);
  return id;
}

void WindowTimer::Kill(unsigned id) {
  const auto found = m_qtIds.find(id);
  if (found == m_qtIds.end()) return;
  killTimer(found->second);
  m_qtIds.erase(found);
}

void WindowTimer::timerEvent(QTimerEvent* event) {
  for (const auto& [id, qtId] : m_qtIds) {
    if (qtId == event->timerId()) {
      m_callback(id);
      return;
    }
  }
}

}  // namespace orvel::platform
