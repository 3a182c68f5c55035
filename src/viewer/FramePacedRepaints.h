#pragma once
// While it lives, a window is repainted at most once per frame of a 60 Hz screen: Qt's requests
// to repaint it are held, and one is let through when the frame is over, painting everything that
// changed meanwhile. The long runs move the selector and change the caption and the progress line
// for every slice; painting each change at once took longer than reading and measuring the slice
// (a slider repaint alone costs about 170 microseconds). A repaint still held when it ends is let
// through then.
#include <QObject>

#include "viewer/OncePerFrame.h"

class QWidget;
class QEvent;

namespace orvel::viewer {

class FramePacedRepaints : public QObject {
 public:
  explicit FramePacedRepaints(QWidget* window);
  ~FramePacedRepaints() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LetOneThrough();

  QWidget* m_window;
  OncePerFrame m_frames;
  bool m_holding = false;                // a repaint request was held back
  const QEvent* m_ownRequest = nullptr;  // the request let through, on its way
};

}  // namespace orvel::viewer
