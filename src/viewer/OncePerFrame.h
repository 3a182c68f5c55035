#pragma once
// Runs an action at most once per frame of a 60 Hz screen. A request that comes less than a frame
// after the action last ran is held, and the action runs once when that frame is over (at the
// first pass of the event loop after it), however many requests came in between. The long runs
// use it for the picture: slices arrive faster than a screen can show them, and painting each one
// would take longer than reading and measuring it.
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace orvel::viewer {

class OncePerFrame {
 public:
  explicit OncePerFrame(std::function<void()> action);
  OncePerFrame(const OncePerFrame&) = delete;
  OncePerFrame& operator=(const OncePerFrame&) = delete;

  void Request();

 private:
  void Run();

  std::function<void()> m_action;
  QElapsedTimer m_lastRun;  // invalid until the action first runs
  QTimer m_held;            // single shot, active while a request is held
};

}  // namespace orvel::viewer
