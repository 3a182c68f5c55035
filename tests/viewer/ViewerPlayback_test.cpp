// Playback and the slice selector: the order of slices, the pauses, the caption, failed reads,
// and the difference between positions the program sets and those the user sets.
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"
#include "viewer/support/PlaybackTestSupport.h"
#include "viewer/support/ViewerTestSupport.h"

using namespace orvel;
using namespace orvel::viewer;
using orvel::test::Button;
using orvel::test::Playing;
using orvel::test::SelectedSlice;
using orvel::test::ShownSlice;
using orvel::test::Slider;
using orvel::test::Step;
using orvel::test::WaitForReadAhead;

namespace {

QRect HandleRect(QSlider* slider) {
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = slider->orientation();
  option.minimum = slider->minimum();
  option.maximum = slider->maximum();
  option.sliderPosition = slider->sliderPosition();
  option.sliderValue = slider->value();
  option.tickPosition = slider->tickPosition();
  option.upsideDown = !slider->invertedAppearance();  // vertical sliders: the platform's way up
  option.subControls = QStyle::SC_SliderHandle;
  return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

}  // namespace

class ViewerPlaybackTest : public QObject {
  Q_OBJECT

 private slots:
  // Back and forth over all slices, with a pause at either end and none between, whatever the
  // number of slices decoded ahead at once.
  void VisitsEverySliceBackAndForth_data() {
    QTest::addColumn<int>("slices");
    QTest::addColumn<int>("workers");
    QTest::addColumn<QList<int>>("order");
    const QList<int> five{1, 2, 3, 4, 3, 2, 1, 0, 1, 2, 3, 4, 3};
    QTest::addRow("two slices alternate") << 2 << 1 << QList<int>{1, 0, 1, 0, 1};
    QTest::addRow("two slices, three workers") << 2 << 3 << QList<int>{1, 0, 1, 0, 1};
    QTest::addRow("five slices") << 5 << 1 << five;
    QTest::addRow("five slices, two workers") << 5 << 2 << five;
    QTest::addRow("five slices, seven workers") << 5 << 7 << five;
  }

  void VisitsEverySliceBackAndForth() {
    QFETCH(int, slices);
    QFETCH(int, workers);
    QFETCH(QList<int>, order);
    test::ViewerFixture fixture({"bmp", slices, 32, 32});
    ViewerDialog& viewer = fixture.Start();
    viewer.SetDecodeWorkers(workers);
    QCOMPARE(ShownSlice(viewer), 0);
    QList<int> visited;
    for (int step = 0; step < order.size(); ++step) {
      const int before = SelectedSlice(viewer);
      viewer.OnPlaybackTimer();
      // The step pauses before moving on from either end, and only there.
      QCOMPARE(viewer.PlaybackPausePending(), before == 0 || before == slices - 1);
      if (viewer.PlaybackPausePending()) {
        viewer.OnPlaybackTimer();  // a tick during the pause is dropped
        QCOMPARE(SelectedSlice(viewer), before);
        viewer.EndPlaybackPauseNow();
      }
      QVERIFY(!viewer.PlaybackPausePending());
      visited.push_back(SelectedSlice(viewer));
      QCOMPARE(ShownSlice(viewer), SelectedSlice(viewer));
      QCOMPARE(viewer.windowTitle(), QString("s%1").arg(SelectedSlice(viewer), 4, 10, QChar('0')));
      QVERIFY(Playing(viewer));  // the program's own moves of the selector stop nothing
    }
    QCOMPARE(visited, order);
  }

  // The speed slider's delay ends each step; ticks during it are dropped.
  void TheSpeedDelayHoldsTheNextStep() {
    test::ViewerFixture fixture({"bmp", 4, 16, 16});
    ViewerDialog& viewer = fixture.Start();
    Step(viewer);
    QCOMPARE(SelectedSlice(viewer), 1);
    Slider(viewer, id::kSpeed)->setValue(300);  // as the user drags it
    QVERIFY(Playing(viewer));
    viewer.OnPlaybackTimer();
    QCOMPARE(SelectedSlice(viewer), 2);
    QVERIFY(viewer.PlaybackPausePending());
    viewer.OnPlaybackTimer();
    QCOMPARE(SelectedSlice(viewer), 2);
    // The playback timer takes the next step once the real delay has passed.
    QTRY_COMPARE_WITH_TIMEOUT(SelectedSlice(viewer), 3, 5000);
  }

  // The user picks a slice while a step waits at the end of the stack: the step is abandoned and
  // never moves away from the slice chosen.
  void StopAbandonsAPendingPause() {
    test::ViewerFixture fixture({"bmp", 6, 16, 16});
    ViewerDialog& viewer = fixture.Start();
    viewer.OnPlaybackTimer();  // at slice 0: the 500 ms pause begins
    QVERIFY(viewer.PlaybackPausePending());
    QTest::keyClick(Slider(viewer, id::kSliceSelector), Qt::Key_Up);  // one slice up the stack
    QVERIFY(!viewer.PlaybackPausePending());
    QVERIFY(!Playing(viewer));
    QCOMPARE(SelectedSlice(viewer), 1);
    QCOMPARE(ShownSlice(viewer), 1);

    // Pressing Stop during a pause abandons it too, and Start carries on from the chosen slice.
    Button(viewer, id::kStart)->click();
    QTest::keyClick(Slider(viewer, id::kSliceSelector), Qt::Key_End);  // the first slice
    Button(viewer, id::kStart)->click();
    viewer.OnPlaybackTimer();
    QVERIFY(viewer.PlaybackPausePending());
    Button(viewer, id::kStop)->click();
    QVERIFY(!viewer.PlaybackPausePending());
    Button(viewer, id::kStart)->click();
    Step(viewer);
    QCOMPARE(SelectedSlice(viewer), 1);
    QCOMPARE(ShownSlice(viewer), 1);
  }

  // A BMP or TIFF slice that cannot be decoded stops playback and keeps the line points, with
  // the reader's message shown at the step that reaches it; a JPEG slice does neither.
  void AFailedReadDuringPlayback_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("message");
    QTest::addRow("bmp") << "bmp"
                         << "Invalid bitmap file";
    QTest::addRow("tif") << "tif"
                         << "Invalid tiff file";
    QTest::addRow("jpg") << "jpg"
                         << "";
  }

  void AFailedReadDuringPlayback() {
    QFETCH(QString, format);
    QFETCH(QString, message);
    test::ViewerFixture fixture({format.toStdString(), 5, 32, 32});
    test::DamageSlice(fixture.dataset, 2);
    ViewerDialog& viewer = fixture.Start();
    Step(viewer);
    QCOMPARE(SelectedSlice(viewer), 1);
    WaitForReadAhead(viewer, 2);                // slices 2 and 3 at least, the damaged one read ahead
    QVERIFY(fixture.dialogs.messages.empty());  // its message waits for the step that shows it
    Step(viewer);
    QCOMPARE(SelectedSlice(viewer), 2);
    QCOMPARE(viewer.windowTitle(), QString("s0002"));
    QCOMPARE(ShownSlice(viewer), -1);
    if (message.isEmpty()) {
      QVERIFY(fixture.dialogs.messages.empty());
      QVERIFY(Playing(viewer));
      QCOMPARE(fixture.settings.Text(), std::string());
      Step(viewer);
      QCOMPARE(SelectedSlice(viewer), 3);
      return;
    }
    QCOMPARE(fixture.dialogs.messages, (std::vector<platform::Message>{{message.toStdString(), "orvel"}}));
    QVERIFY(!Playing(viewer));
    QVERIFY(!viewer.PlaybackPausePending());
    const std::string settings = fixture.settings.Text();
    QVERIFY2(settings.find("[Startpoint]") != std::string::npos && settings.find("x=27") != std::string::npos,
             settings.c_str());
  }

  // The same selector position, set by the program (playback) or by the user through the
  // keyboard, the accessibility interface or the mouse.
  void OnlyTheUserMovingTheSelectorStopsPlayback_data() {
    QTest::addColumn<QString>("how");
    QTest::addRow("keyboard") << "keyboard";
    QTest::addRow("assistive technology") << "accessibility";
    QTest::addRow("mouse drag") << "mouse";
  }

  void OnlyTheUserMovingTheSelectorStopsPlayback() {
    QFETCH(QString, how);
    test::ViewerFixture fixture({"bmp", 12, 32, 32});
    ViewerDialog& viewer = fixture.Start();
    viewer.SetDecodeWorkers(3);  // the selector moves while they read slices 4 to 7 ahead
    viewer.show();
    for (int i = 0; i < 3; ++i) Step(viewer);
    QVERIFY(Playing(viewer));
    QCOMPARE(SelectedSlice(viewer), 3);

    QSlider* selector = Slider(viewer, id::kSliceSelector);
    if (how == "keyboard") {
      QTest::keyClick(selector, Qt::Key_PageUp);  // a page up the stack: towards the last slice
    } else if (how == "accessibility") {
      QAccessible::queryAccessibleInterface(selector)->valueInterface()->setCurrentValue(selector->value() - 2);
    } else {
      const QPoint grip = HandleRect(selector).center();
      SendMouse(selector, QEvent::MouseButtonPress, grip, Qt::LeftButton);
      QVERIFY(selector->isSliderDown());
      for (int dy = 1; dy <= 25; ++dy) SendMouse(selector, QEvent::MouseMove, grip - QPoint(0, dy), Qt::LeftButton);
      SendMouse(selector, QEvent::MouseButtonRelease, grip - QPoint(0, 25), Qt::NoButton);
    }
    QVERIFY(!Playing(viewer));
    QVERIFY(SelectedSlice(viewer) > 3);
    QCOMPARE(ShownSlice(viewer), SelectedSlice(viewer));
    QCOMPARE(viewer.windowTitle(), QString("s%1.bmp").arg(SelectedSlice(viewer), 4, 10, QChar('0')));
  }

  // Taking hold of the thumb and letting go where it was stops playback too.
  void ReleasingTheSelectorThumbStopsPlayback() {
    test::ViewerFixture fixture({"bmp", 6, 16, 16});
    ViewerDialog& viewer = fixture.Start();
    viewer.show();
    Step(viewer);
    QSlider* selector = Slider(viewer, id::kSliceSelector);
    const QPoint grip = HandleRect(selector).center();
    SendMouse(selector, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    SendMouse(selector, QEvent::MouseButtonRelease, grip, Qt::NoButton);
    QVERIFY(!Playing(viewer));
    QCOMPARE(SelectedSlice(viewer), 1);
    QCOMPARE(viewer.windowTitle(), QString("s0001.bmp"));
  }

  // The bottom limit never names a later slice than the top limit.
  void TheLimitSlidersExchangeWhenCrossed() {
    test::ViewerFixture fixture({"bmp", 10, 16, 16});
    ViewerDialog& viewer = fixture.Start();
    QSlider* bottom = Slider(viewer, id::kBottomLimit);
    QSlider* top = Slider(viewer, id::kTopLimit);
    top->setValue(6);  // the top limit comes down to slice 3
    QVERIFY(!Playing(viewer));
    QCOMPARE(std::make_pair(bottom->value(), top->value()), std::make_pair(9, 6));
    bottom->setValue(2);  // the bottom limit goes up past it, to slice 7
    QCOMPARE(std::make_pair(bottom->value(), top->value()), std::make_pair(6, 2));
    top->setValue(8);  // the top limit goes down past the bottom one (slice 3), to slice 1
    QCOMPARE(std::make_pair(bottom->value(), top->value()), std::make_pair(8, 6));
    QCOMPARE(SelectedSlice(viewer), 0);  // the slice shown stays
  }
};

QTEST_MAIN(ViewerPlaybackTest)
#include "ViewerPlayback_test.moc"
