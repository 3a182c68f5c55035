// Pacing to the frames of a 60 Hz screen: an action asked for many times within a frame runs
// once, and the last request is never lost; a window asked to repaint many times within a frame is
// painted once, and a repaint still held when the pacing ends happens all the same.
#include <QElapsedTimer>
#include <QPainter>
#include <QWidget>
#include <QtTest>

#include "viewer/FramePacedRepaints.h"
#include "viewer/OncePerFrame.h"

using namespace orvel::viewer;

namespace {

// Counts its paints.
class PaintCounter : public QWidget {
 public:
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override {
    ++paints;
    QPainter(this).fillRect(rect(), Qt::white);
  }
};

// Requests, with the event loop let through after each, for about the given time.
template <typename Request>
int RequestRepeatedly(int milliseconds, Request request) {
  QElapsedTimer clock;
  clock.start();
  int requests = 0;
  while (clock.elapsed() < milliseconds) {
    request();
    ++requests;
    QCoreApplication::processEvents();
  }
  return requests;
}

}  // namespace

class FramePacingTest : public QObject {
  Q_OBJECT

 private slots:
  void ActionRunsAtOnceThenOncePerFrame() {
    int runs = 0;
    OncePerFrame pacer([&] { ++runs; });
    pacer.Request();
    QCOMPARE(runs, 1);  // the first request is not delayed
    pacer.Request();
    pacer.Request();
    QCOMPARE(runs, 1);
    const int requests = RequestRepeatedly(100, [&] { pacer.Request(); });
    QVERIFY(requests > 20);
    // 100 ms hold six frames; a timer may fire a little late, never early.
    QVERIFY2(runs >= 2 && runs <= 8, qPrintable(QString::number(runs)));
    pacer.Request();
    pacer.Request();  // within a frame of any run: held, if the first was not
    const int before = runs;
    QTRY_COMPARE(runs, before + 1);  // the request held last runs when its frame is over
    QTest::qWait(50);
    QCOMPARE(runs, before + 1);
  }

  void WindowIsPaintedOncePerFrameWhilePaced() {
    PaintCounter window;
    window.resize(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    const int unpaced = window.paints;
    for (int pass = 0; pass < 20; ++pass) {
      window.update();
      QCoreApplication::processEvents();
    }
    QVERIFY(window.paints - unpaced >= 10);  // without pacing, every pass paints

    int paced = 0;
    {
      FramePacedRepaints pacing(&window);
      const int before = window.paints;
      RequestRepeatedly(100, [&] { window.update(); });
      paced = window.paints - before;
      QVERIFY2(paced >= 2 && paced <= 8, qPrintable(QString::number(paced)));
      window.update();  // held as the pacing ends
    }
    const int after = window.paints;
    QTRY_VERIFY(window.paints > after);
  }
};

QTEST_MAIN(FramePacingTest)
#include "FramePacing_test.moc"
