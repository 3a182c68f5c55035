#pragma once
// A window timer as the original platform gives it: set by a small identifier of the caller's
// choosing, which is also what setting it returns, restarted when set again with the same
// identifier, and delivered to one callback with that identifier. Qt's own timer ids are
// arbitrary, and the viewer compares the identifier with its playback state.
#include <QObject>
#include <functional>
#include <map>

namespace orvel::platform {

class WindowTimer : public QObject {
 public:
  using Callback = std::function<void(unsigned id)>;
  explicit WindowTimer(Callback callback, QObject* parent = nullptr);

  // Starts (or restarts) timer id with the period in milliseconds; returns id.
  unsigned Set(unsigned id, int periodMs);
  void Kill(unsigned id);
  bool IsRunning(unsigned id) const { return m_qtIds.count(id) != 0; }

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  Callback m_callback;
  std::map<unsigned, int> m_qtIds;  // our identifier -> Qt's
};

}  // namespace orvel::platform
