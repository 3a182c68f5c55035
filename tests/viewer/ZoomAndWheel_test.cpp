// The wheel and the zoom on the image frame: a notch steps one slice as the selector would, Ctrl
// zooms about the mouse, the middle button pans, and at every zoom the frame shows the right
// slice pixels and the selection is grabbed and dragged at the slice pixel under the mouse.
#include <QFrame>
#include <QtTest>

#include "app/ImageLoader.h"
#include "support/TestSupport.h"
#include "viewer/ViewerTemplate.h"
#include "viewer/support/ToolsTestViewer.h"

using namespace orvel;
using namespace orvel::viewer;

namespace {

constexpr int kWidth = 400, kHeight = 300, kNotch = 120;

}  // namespace

class ZoomAndWheelTest : public QObject {
  Q_OBJECT

  test::TemporaryDirectory m_data;
  std::string m_firstSlice;

  // Zooms about the slice pixel `about` by notches, then pans by a middle-button drag.
  static void ZoomAndPan(test::ToolsViewer& viewer, PixelPoint about, int notches, QPoint pan) {
    const QPoint at = viewer.DialogPointOver(about);
    viewer.Wheel(at, notches * kNotch, Qt::ControlModifier);
    QTest::mousePress(&viewer.Dialog(), Qt::MiddleButton, {}, at);
    QTest::mouseMove(&viewer.Dialog(), at + pan);
    QTest::mouseRelease(&viewer.Dialog(), Qt::MiddleButton, {}, at + pan);
  }

 private slots:
  void initTestCase() { m_firstSlice = test::MakeGradientDataset(m_data.Path(), kWidth, kHeight, 4); }

  void AWheelNotchStepsOneSliceAsTheSelectorWould() {
    test::ToolsViewer viewer(m_firstSlice, QSize(900, 800));
    ViewerDialog& dialog = viewer.Dialog();
    QSlider* selector = test::Slider(dialog, id::kSliceSelector);
    viewer.Click(id::kStart);
    viewer.Wheel(viewer.DialogPointOver({100, 100}), kNotch);  // up: towards the last slice
    QVERIFY(test::Checked(dialog, id::kStop));
    QCOMPARE(selector->value(), 2);
    QCOMPARE(dialog.windowTitle(), QString("grad0001.bmp"));
    for (int part = 0; part < 3; ++part) viewer.Wheel(viewer.DialogPointOver({100, 100}), kNotch / 3);
    QCOMPARE(selector->value(), 1);  // three thirds of a notch make one
    const QWidget* preview = dialog.Control(id::kPreview);
    viewer.Wheel(preview->geometry().center(), 5 * kNotch);  // past the last slice: stops there
    QCOMPARE(selector->value(), 0);
    QCOMPARE(dialog.windowTitle(), QString("grad0003.bmp"));
    viewer.Wheel(dialog.Control(id::kExit)->geometry().center(), -kNotch);  // not over a picture
    QCOMPARE(selector->value(), 0);
  }

  void TheFrameShowsTheSlicePixelsUnderItAtEveryZoom_data() {
    QTest::addColumn<int>("notches");
    QTest::addRow("fitted") << 0;
    QTest::addRow("zoom 3.8") << 6;
    QTest::addRow("16 screen pixels a slice pixel") << 40;
  }

  void TheFrameShowsTheSlicePixelsUnderItAtEveryZoom() {
    QFETCH(int, notches);
    test::ToolsViewer viewer(m_firstSlice, QSize(900, 800));
    ZoomAndPan(viewer, {150, 120}, notches, QPoint(-31, 17));
    const SliceViewport& viewport = viewer.Dialog().Viewport();
    QCOMPARE(viewport.Fitted(), notches == 0);
    if (notches == 40) QCOMPARE(viewport.Scale(), 16.0f);
    SliceImage slice;
    QCOMPARE(LoadImageFile(m_firstSlice, slice), LoadStatus::kLoaded);
    slice.ShowOriginal();
    const auto palette = *slice.GetDisplayPalette();
    auto* frame = qobject_cast<QFrame*>(viewer.Dialog().Control(id::kImage));
    const QImage shown = frame->grab(frame->contentsRect()).toImage();
    const QRectF region = viewport.VisibleRegion();
    for (int y = 0; y < shown.height(); y += 7) {
      for (int x = 0; x < shown.width(); x += 5) {
        const int column = static_cast<int>(region.left() + x * region.width() / shown.width());
        const int row = static_cast<int>(region.top() + y * region.height() / shown.height());
        const RgbEntry colour = palette[slice.GetPixel(column, kHeight - 1 - row)];
        QCOMPARE(shown.pixel(x, y), qRgb(colour.red, colour.green, colour.blue));
      }
    }
  }

  void ZoomedDragsLandOnTheSlicePixelUnderTheMouse_data() {
    QTest::addColumn<int>("notches");
    QTest::addColumn<QString>("zoom");
    QTest::addRow("fitted") << 0 << "fitted";
    QTest::addRow("zoom 2.4") << 4 << "zoom 2.4×";
    QTest::addRow("16 screen pixels a slice pixel") << 40 << "zoom ";
  }

  void ZoomedDragsLandOnTheSlicePixelUnderTheMouse() {
    QFETCH(int, notches);
    QFETCH(QString, zoom);
    const PixelPoint start{60, 50}, stop{200, 150};
    test::WriteSelectionPoints(start, stop);
    test::ToolsViewer viewer(m_firstSlice, QSize(900, 800));
    viewer.Click(id::kLine);
    ZoomAndPan(viewer, stop, notches, QPoint(-37, -23));
    QVERIFY(viewer.Dialog().Control(id::kImage)->accessibleDescription().startsWith(zoom));
    QCOMPARE(viewer.Dialog().SelectionPoints().stop, stop);  // panning never moves the selection

    const QPoint from = viewer.DialogPointOver(stop), to = from + QPoint(25, 15);
    viewer.Drag(from, {to});
    const LinePoints after = viewer.Dialog().SelectionPoints();
    QCOMPARE(after.stop, viewer.PixelUnder(to));
    QCOMPARE(after.start, start);
    const QStringList line{QString::fromStdString(m_firstSlice), "--line", test::PointsArgument(after)};
    QCOMPARE(viewer.Dialog().ResultsText(), test::AnalyzeText(line, "line"));
  }

  // "0" with the image frame focused and a middle double click both return to the fitted view.
  void BackToTheFit() {
    test::ToolsViewer viewer(m_firstSlice, QSize(900, 800));
    const QPoint at = viewer.DialogPointOver({100, 100});
    for (const bool key : {true, false}) {
      viewer.Wheel(at, 3 * kNotch, Qt::ControlModifier);
      QVERIFY(!viewer.Dialog().Viewport().Fitted());
      if (key) {
        QWidget* frame = viewer.Dialog().Control(id::kImage);
        frame->setFocus();
        QTest::keyClick(frame, Qt::Key_0);
      } else {
        QTest::mouseDClick(&viewer.Dialog(), Qt::MiddleButton, {}, at);
      }
      QVERIFY(viewer.Dialog().Viewport().Fitted());
    }
  }
};

QTEST_MAIN(ZoomAndWheelTest)
#include "ZoomAndWheel_test.moc"
