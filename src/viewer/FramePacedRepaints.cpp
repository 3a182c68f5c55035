#include "viewer/FramePacedRepaints.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace orvel::viewer {

FramePacedRepaints::FramePacedRepaints(QWidget* window) : m_window(window), m_frames([this] { LetOneThrough(); }) {
  m_window->installEventFilter(this);
}

FramePacedRepaints::~FramePacedRepaints() {
  m_window->removeEventFilter(this);
  if (m_holding) QCoreApplication::postEvent(m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

// Qt asks for a repaint of the whole window with one update request, and asks again only after
// that request has been handled; a held request is therefore replaced by one of our own.
bool FramePacedRepaints::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_window || event->type() != QEvent::UpdateRequest) return false;
  if (event == m_ownRequest) {
    m_ownRequest = nullptr;
    return false;
  }
  m_holding = true;
  m_frames.Request();
  return true;
}

void FramePacedRepaints::LetOneThrough() {
  if (!m_holding) return;
  m_holding = false;
  auto* request = new QEvent(QEvent::UpdateRequest);
  m_ownRequest = request;
  QCoreApplication::postEvent(m_window, request, Qt::LowEventPriority);
}

}  // namespace orvel::viewer
