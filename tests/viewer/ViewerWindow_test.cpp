// The window as a whole: how it ends (and what it keeps of the line points), the keyboard, and
// what assistive technology sees of its controls.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QtTest>

#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"
#include "viewer/support/ViewerTestSupport.h"

using namespace orvel;
using namespace orvel::viewer;
using orvel::test::Button;
using orvel::test::Preview;
using orvel::test::Slider;

class ViewerWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void ExitAndCloseKeepTheLinePointsEscapeDoesNot_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("written");
    QTest::addRow("Exit") << "exit" << true;
    QTest::addRow("Enter presses Exit") << "enter" << true;
    QTest::addRow("close box") << "close" << true;
    QTest::addRow("Escape") << "escape" << false;
  }

  void ExitAndCloseKeepTheLinePointsEscapeDoesNot() {
    QFETCH(QString, how);
    QFETCH(bool, written);
    test::ViewerFixture fixture({"bmp", 3, 40, 40});
    // Points stored by an earlier run come back as they were; the JPEG quality is left alone.
    const std::string stored = "[JPEG]\nQuality=90\n[Startpoint]\nx=7\ny=9\n[Stoppoint]\nx=20\ny=30\n";
    test::WriteFile(fixture.settings.FilePath(), stored);
    ViewerDialog& viewer = fixture.Start();
    viewer.show();
    test::WriteFile(fixture.settings.FilePath(), std::string("[JPEG]\nQuality=90\n"));
    if (how == "exit") Button(viewer, id::kExit)->click();
    else if (how == "enter") QTest::keyClick(Button(viewer, id::kColour1), Qt::Key_Return);
    else if (how == "close") viewer.close();
    else QTest::keyClick(&viewer, Qt::Key_Escape);

    QVERIFY(viewer.isHidden());
    QCOMPARE(viewer.result(), how == "exit" || how == "enter" ? QDialog::Accepted : QDialog::Rejected);
    QCOMPARE(fixture.settings.Text(), written ? stored : std::string("[JPEG]\nQuality=90\n"));
    // Exit and close stop playback first; Escape just ends the window.
    QCOMPARE(Button(viewer, id::kStop)->isChecked(), written);
  }

  // Tab goes through the controls in template order.
  void TabOrderIsTheTemplateOrder() {
    test::ViewerFixture fixture({"bmp", 3, 32, 32, Preview::kSide});
    ViewerDialog& viewer = fixture.Start();
    std::vector<int> chain;
    for (QWidget* widget = viewer.nextInFocusChain(); widget != &viewer; widget = widget->nextInFocusChain()) {
      if (widget->parentWidget() == &viewer && widget->objectName().startsWith("id"))
        chain.push_back(widget->objectName().mid(2).toInt());
    }
    std::vector<int> templateOrder;
    for (const auto& control : ViewerTemplate().controls) templateOrder.push_back(control.id);
    QCOMPARE(chain, templateOrder);

    viewer.OnStop();
    viewer.show();
    viewer.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&viewer));
    Button(viewer, id::kExit)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), viewer.Control(id::kStop));
    // A radio group is one stop, at its checked button; the arrow keys move inside it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), viewer.Control(id::kSpeed));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), viewer.Control(id::kStop));
  }

  // The platform's trackbar keys, the same for horizontal and vertical trackbars: Left and Up
  // towards the minimum (on a vertical one, up the screen), Page Up/Down by a page.
  void TrackbarsTakeArrowsAndPageKeys_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addRow("speed, Right: a line slower") << id::kSpeed << int(Qt::Key_Right) << 500 << 550;
    QTest::addRow("speed, Up: a line faster") << id::kSpeed << int(Qt::Key_Up) << 500 << 450;
    QTest::addRow("speed, Page Down: a page slower") << id::kSpeed << int(Qt::Key_PageDown) << 500 << 600;
    QTest::addRow("speed, Page Up: a page faster") << id::kSpeed << int(Qt::Key_PageUp) << 500 << 400;
    QTest::addRow("speed, End") << id::kSpeed << int(Qt::Key_End) << 500 << 1000;
    QTest::addRow("upper level, Page Up: a fifth of 1..510") << id::kUpperLevel << int(Qt::Key_PageUp) << 383 << 282;
    QTest::addRow("lower level, Left") << id::kLowerLevel << int(Qt::Key_Left) << 128 << 127;
    QTest::addRow("slice, Up: towards the last slice") << id::kSliceSelector << int(Qt::Key_Up) << 10 << 9;
    QTest::addRow("slice, Page Down: two slices back") << id::kSliceSelector << int(Qt::Key_PageDown) << 5 << 7;
    QTest::addRow("slice, Left") << id::kSliceSelector << int(Qt::Key_Left) << 5 << 4;
    QTest::addRow("slice, Home: the last slice") << id::kSliceSelector << int(Qt::Key_Home) << 5 << 0;
  }

  void TrackbarsTakeArrowsAndPageKeys() {
    QFETCH(int, control);
    QFETCH(int, key);
    QFETCH(int, from);
    QFETCH(int, to);
    test::ViewerFixture fixture({"bmp", 11, 32, 32});
    ViewerDialog& viewer = fixture.Start();
    Button(viewer, id::kGreyscale)->click();  // the level sliders take keys once shown and enabled
    QSlider* slider = Slider(viewer, control);
    slider->setValue(from);
    QTest::keyClick(slider, Qt::Key(key));
    QCOMPARE(slider->value(), to);
    viewer.OnStop();
  }

  // Arrow keys move through a radio group, and the button reached is clicked.
  void ArrowKeysMoveThroughARadioGroup() {
    test::ViewerFixture fixture({"bmp", 3, 32, 32});
    ViewerDialog& viewer = fixture.Start();
    viewer.show();
    viewer.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&viewer));
    Button(viewer, id::kOriginal)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // round to the first of the group
    QCOMPARE(QApplication::focusWidget(), viewer.Control(id::kGreyscale));
    QVERIFY(Button(viewer, id::kGreyscale)->isChecked());
    QVERIFY(!Button(viewer, id::kOriginal)->isChecked());
    QVERIFY(Slider(viewer, id::kLowerLevel)->isEnabled());  // its handler ran
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QVERIFY(Button(viewer, id::kOriginal)->isChecked());

    Button(viewer, id::kStart)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QVERIFY(Button(viewer, id::kStop)->isChecked());
    QVERIFY(!viewer.PlaybackPausePending());
  }

  // Controls go by their captions; those without one carry a name of their own. "Results" names
  // a group and a text box, told apart by role.
  void AssistiveTechnologyFindsEveryControlByName_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    const int slider = QAccessible::Slider;
    QTest::addRow("1034") << id::kSpeed << "Speed" << slider;
    QTest::addRow("1046") << id::kSliceSelector << "Slice" << slider;
    QTest::addRow("1047") << id::kBottomLimit << "Bottom selection limit" << slider;
    QTest::addRow("1052") << id::kTopLimit << "Top selection limit" << slider;
    QTest::addRow("1049") << id::kLowerLevel << "Lower level" << slider;
    QTest::addRow("1050") << id::kUpperLevel << "Upper level" << slider;
    QTest::addRow("1083") << id::kResults << "Results" << int(QAccessible::EditableText);
    QTest::addRow("1095") << id::kResultsGroup << "Results" << int(QAccessible::Grouping);
    QTest::addRow("1048") << id::kPaletteGroup << "Palette" << int(QAccessible::Grouping);
    QTest::addRow("1020") << id::kImage << "Image" << -1;
    QTest::addRow("1036") << id::kPreview << "Preview" << -1;
    QTest::addRow("1096") << id::kColourBar << "Colour bar" << -1;
    QTest::addRow("1092") << id::kGraph << "Graph" << -1;
    QTest::addRow("1") << id::kExit << "Exit" << int(QAccessible::Button);
    QTest::addRow("1024") << id::kStop << "Stop" << int(QAccessible::RadioButton);
    QTest::addRow("1142") << id::kColour1 << "Colour 1" << int(QAccessible::RadioButton);
    QTest::addRow("1075") << id::kInvert << "Invert" << int(QAccessible::CheckBox);
  }

  void AssistiveTechnologyFindsEveryControlByName() {
    QFETCH(int, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    test::ViewerFixture fixture({"bmp", 1, 16, 16});
    ViewerDialog& viewer = fixture.Start();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(viewer.Control(control));
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    if (role >= 0) QCOMPARE(int(accessible->role()), role);
  }

  // A screen reader's action on a button is a click: the handler runs, the group follows.
  void AssistiveTechnologyActionsClickTheButtons() {
    test::ViewerFixture fixture({"bmp", 4, 16, 16});
    ViewerDialog& viewer = fixture.Start();
    const auto act = [&](int control) {
      QAccessibleActionInterface* actions =
          QAccessible::queryAccessibleInterface(viewer.Control(control))->actionInterface();
      QVERIFY(actions);
      QCOMPARE(actions->actionNames().size(), 1);
      actions->doAction(actions->actionNames().front());
      QCoreApplication::sendPostedEvents();  // the click waits for the event loop
    };
    viewer.OnPlaybackTimer();  // a step waits at the first slice
    QVERIFY(viewer.PlaybackPausePending());
    act(id::kStop);
    QVERIFY(Button(viewer, id::kStop)->isChecked() && !Button(viewer, id::kStart)->isChecked());
    QVERIFY(!viewer.PlaybackPausePending());  // OnStop ran
    act(id::kColour1);
    QVERIFY(Button(viewer, id::kColour1)->isChecked() && !Button(viewer, id::kOriginal)->isChecked());
    QVERIFY(!Slider(viewer, id::kLowerLevel)->isHidden());  // OnColour1 ran
    act(id::kColour1);                                      // again: stays checked, as a radio button does
    QVERIFY(Button(viewer, id::kColour1)->isChecked());
    act(id::kInvert);
    QVERIFY(Button(viewer, id::kInvert)->isChecked());
    QVERIFY(QAccessible::queryAccessibleInterface(viewer.Control(id::kInvert))->state().checked);
  }

  void TheLimitSlidersCarryTheirTooltipsAndTheWindowItsIcon() {
    test::ViewerFixture fixture({"bmp", 1, 16, 16});
    ViewerDialog& viewer = fixture.Start();
    QCOMPARE(viewer.Control(id::kBottomLimit)->toolTip(), QString("Bottom selection limit"));
    QCOMPARE(viewer.Control(id::kTopLimit)->toolTip(), QString("Top selection limit"));
    QVERIFY(!viewer.windowIcon().pixmap(32, 32).isNull());
  }
};

QTEST_MAIN(ViewerWindowTest)
#include "ViewerWindow_test.moc"
