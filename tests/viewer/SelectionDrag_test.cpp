// Dragging the start and stop point with the mouse: which presses grab, where the points land at
// several window sizes, the band they stay in, and what a long run or a release stops.
#include <QtTest>

#include "support/TestSupport.h"
#include "viewer/SliceView.h"
#include "viewer/ViewerTemplate.h"
#include "viewer/support/ToolsTestViewer.h"

using namespace orvel;
using namespace orvel::viewer;

namespace {

constexpr int kWidth = 400, kHeight = 300;

bool InsideBand(PixelPoint point) {
  return 5 <= point.x && point.x <= kWidth - 5 && 5 <= point.y && point.y <= kHeight - 5;
}

}  // namespace

Q_DECLARE_METATYPE(orvel::PixelPoint)

class SelectionDragTest : public QObject {
  Q_OBJECT

  test::TemporaryDirectory m_data;
  std::string m_firstSlice;

 private slots:
  void initTestCase() { m_firstSlice = test::MakeGradientDataset(m_data.Path(), kWidth, kHeight, 4); }

  // At every scale the grabbed point lands on the pixel under the mouse; the other stays.
  void DragMovesTheGrabbedPoint_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("tool");
    QTest::addColumn<bool>("stopPoint");
    QTest::addColumn<PixelPoint>("target");
    QTest::newRow("stop, line, shrunk below one to one")
        << QSize(480, 600) << id::kLine << true << PixelPoint{200, 250};
    QTest::newRow("start, rectangle, shrunk") << QSize(480, 600) << id::kRectangle << false << PixelPoint{7, 6};
    QTest::newRow("stop, ellipse, near one to one") << QSize(800, 700) << id::kEllipse << true << PixelPoint{390, 20};
    QTest::newRow("start, line, enlarged") << QSize(1400, 1100) << id::kLine << false << PixelPoint{150, 150};
    QTest::newRow("stop, rectangle, enlarged") << QSize(1400, 1100) << id::kRectangle << true << PixelPoint{394, 294};
  }

  void DragMovesTheGrabbedPoint() {
    QFETCH(QSize, size);
    QFETCH(int, tool);
    QFETCH(bool, stopPoint);
    QFETCH(PixelPoint, target);
    const LinePoints before{{20, 30}, {300, 200}};
    test::WriteSelectionPoints(before.start, before.stop);
    test::ToolsViewer viewer(m_firstSlice, size);
    viewer.Click(tool);
    const QPoint from = viewer.DialogPointOver(stopPoint ? before.stop : before.start);
    const QPoint to = viewer.DialogPointOver(target);
    viewer.Drag(from, {(from + to) / 2, to});

    const PixelPoint landed = viewer.PixelUnder(to);
    QVERIFY(InsideBand(landed));
    const LinePoints after = viewer.Dialog().SelectionPoints();
    QCOMPARE(stopPoint ? after.stop : after.start, landed);
    QCOMPARE(stopPoint ? after.start : after.stop, stopPoint ? before.start : before.stop);
    // The figure is drawn at the new points.
    const SliceOverlay& overlay = static_cast<SliceView*>(viewer.Dialog().Control(id::kImage))->Overlay();
    const float scale = static_cast<float>(viewer.Scale());
    const QPoint drawn = stopPoint ? overlay.stop : overlay.start;
    QCOMPARE(drawn, QPoint(static_cast<int>(static_cast<float>(landed.x) * scale),
                           static_cast<int>(static_cast<float>(landed.y) * scale)));
  }

  // A point loaded outside the band is grabbed within its handle but moves only once the mouse is
  // inside the band; the press there does not move it.
  void PointOutsideTheBandMovesOnlyIntoIt_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("shrunk") << QSize(480, 600);
    QTest::newRow("enlarged") << QSize(1300, 1000);
  }

  void PointOutsideTheBandMovesOnlyIntoIt() {
    QFETCH(QSize, size);
    test::WriteSelectionPoints({2, 3}, {300, 200});
    test::ToolsViewer viewer(m_firstSlice, size);
    viewer.Click(id::kLine);
    QCOMPARE(viewer.Dialog().SelectionPoints().start, (PixelPoint{2, 3}));
    QTest::mousePress(&viewer.Dialog(), Qt::LeftButton, {}, viewer.DialogPointOver({2, 3}));
    QCOMPARE(viewer.Dialog().SelectionPoints().start, (PixelPoint{2, 3}));
    QTest::mouseMove(&viewer.Dialog(), viewer.DialogPointOver({1, 100}));
    QCOMPARE(viewer.Dialog().SelectionPoints().start, (PixelPoint{2, 3}));
    const QPoint inside = viewer.DialogPointOver({40, 50});
    QTest::mouseMove(&viewer.Dialog(), inside);
    QTest::mouseRelease(&viewer.Dialog(), Qt::LeftButton, {}, inside);
    QCOMPARE(viewer.Dialog().SelectionPoints().start, viewer.PixelUnder(inside));
    QCOMPARE(viewer.Dialog().SelectionPoints().stop, (PixelPoint{300, 200}));
  }

  // Dragged beyond the image, the point stays where the mouse last was inside the band.
  void PointsStayInsideTheBand() {
    test::WriteSelectionPoints({20, 30}, {300, 200});
    test::ToolsViewer viewer(m_firstSlice, QSize(1000, 900));
    viewer.Click(id::kRectangle);
    const QPoint lastInside = viewer.DialogPointOver({394, 294});
    const QPoint beyond = viewer.DialogPointOver({460, 380});
    viewer.Drag(viewer.DialogPointOver({300, 200}), {lastInside, viewer.DialogPointOver({397, 200}), beyond});
    QCOMPARE(viewer.Dialog().SelectionPoints().stop, viewer.PixelUnder(lastInside));
  }

  // Handles that overlap are grabbed together and snap to the press; the first move puts the
  // start point one pixel to the right of the stop point.
  void OverlappingHandlesMoveTogether() {
    test::WriteSelectionPoints({50, 50}, {53, 52});
    test::ToolsViewer viewer(m_firstSlice, QSize(1000, 900));
    viewer.Click(id::kLine);
    const QPoint press = viewer.DialogPointOver({51, 51});
    QTest::mousePress(&viewer.Dialog(), Qt::LeftButton, {}, press);
    const PixelPoint snapped = viewer.PixelUnder(press);
    QCOMPARE(viewer.Dialog().SelectionPoints().start, snapped);
    QCOMPARE(viewer.Dialog().SelectionPoints().stop, snapped);
    const QPoint to = viewer.DialogPointOver({120, 80});
    QTest::mouseMove(&viewer.Dialog(), to);
    QTest::mouseRelease(&viewer.Dialog(), Qt::LeftButton, {}, to);
    const PixelPoint landed = viewer.PixelUnder(to);
    QCOMPARE(viewer.Dialog().SelectionPoints().stop, landed);
    QCOMPARE(viewer.Dialog().SelectionPoints().start, (PixelPoint{landed.x + 1, landed.y}));
  }

  // A perfectly vertical line cannot be dragged: meeting columns shift the start point.
  void MeetingColumnsShiftTheStartPoint() {
    test::WriteSelectionPoints({100, 50}, {300, 200});
    test::ToolsViewer viewer(m_firstSlice, QSize(1000, 900));
    viewer.Click(id::kLine);
    const QPoint to = viewer.DialogPointOver({100, 150});
    QCOMPARE(viewer.PixelUnder(to).x, 100);
    viewer.Drag(viewer.DialogPointOver({300, 200}), {to});
    QCOMPARE(viewer.Dialog().SelectionPoints().stop, viewer.PixelUnder(to));
    QCOMPARE(viewer.Dialog().SelectionPoints().start, (PixelPoint{101, 50}));
  }

  // Presses that must leave the points alone: away from the handles, exactly 5 pixels from a
  // point (the handle test is strict), with no tool on, during a long run, with the right button,
  // and a new press after a release outside the window ended the previous drag.
  void PressesThatMoveNothing_data() {
    QTest::addColumn<QString>("situation");
    QTest::newRow("away from the handles") << "away";
    QTest::newRow("on the handle's edge") << "edge";
    QTest::newRow("no tool on") << "no tool";
    QTest::newRow("during a long run") << "long run";
    QTest::newRow("right button") << "right";
    QTest::newRow("after a release outside the window") << "released";
  }

  void PressesThatMoveNothing() {
    QFETCH(QString, situation);
    const LinePoints before{{100, 100}, {300, 200}};
    test::WriteSelectionPoints(before.start, before.stop);
    test::ToolsViewer viewer(m_firstSlice, QSize(1000, 900));
    ViewerDialog& dialog = viewer.Dialog();
    if (situation != "no tool") viewer.Click(id::kLine);
    // Inside the stop point's handle but off its pixel, so a grab would show as a snap.
    QPoint press = viewer.DialogPointOver({before.stop.x + 3, before.stop.y + 3});
    Qt::MouseButton button = Qt::LeftButton;
    if (situation == "away") press = viewer.DialogPointOver({200, 150});
    if (situation == "edge") {
      viewer.SetScale(2);
      press = viewer.DialogPointAt(before.stop.x - 5, before.stop.y + 0.5);
    }
    if (situation == "right") button = Qt::RightButton;
    if (situation == "long run") {
      test::Button(dialog, id::kStart)->setChecked(true);
      dialog.Redraw();
    }
    if (situation == "released") {
      QTest::mousePress(&dialog, Qt::LeftButton, {}, viewer.DialogPointOver(before.stop));
      QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(-40, -30));
      QCOMPARE(dialog.SelectionPoints().stop, before.stop);
      press = viewer.DialogPointOver({200, 150});
    }
    const QPoint to = viewer.DialogPointOver({250, 120});
    QTest::mousePress(&dialog, button, {}, press);
    QTest::mouseMove(&dialog, to);
    QTest::mouseRelease(&dialog, button, {}, to);
    QCOMPARE(dialog.SelectionPoints().stop, before.stop);
    QCOMPARE(dialog.SelectionPoints().start, before.start);
  }

  // The frames let the mouse through to the window: a drag over the image frame itself works.
  void DragOverTheImageFrameReachesTheWindow() {
    test::WriteSelectionPoints({20, 30}, {300, 200});
    test::ToolsViewer viewer(m_firstSlice, QSize(1000, 900));
    viewer.Click(id::kEllipse);
    QWidget* frame = viewer.Dialog().Control(id::kImage);
    auto inFrame = [&](PixelPoint pixel) { return frame->mapFrom(&viewer.Dialog(), viewer.DialogPointOver(pixel)); };
    QTest::mousePress(frame, Qt::LeftButton, {}, inFrame({300, 200}));
    QTest::mouseMove(frame, inFrame({250, 260}));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, inFrame({250, 260}));
    QCOMPARE(viewer.Dialog().SelectionPoints().stop, viewer.PixelUnder(viewer.DialogPointOver({250, 260})));
  }
};

QTEST_MAIN(SelectionDragTest)
#include "SelectionDrag_test.moc"
