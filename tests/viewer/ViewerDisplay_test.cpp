// What the palette controls and the level sliders do to the pixels on screen, the read-outs, the
// preview's current-slice marker, and Redraw's guard against running inside itself.
#include <QtTest>

#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"
#include "viewer/support/ViewerTestSupport.h"

using namespace orvel;
using namespace orvel::viewer;
using orvel::test::Button;
using orvel::test::Click;
using orvel::test::LabelText;
using orvel::test::Preview;
using orvel::test::Slider;

namespace {

// The colour of each table entry as shown on screen: a slice whose top row holds 0 .. 255 from
// left to right, stretched wider than 256 pixels so that every entry shows.
std::map<int, QRgb> ShownEntries(QWidget* frame, int imageWidth) {
  const QImage shown = test::Grab(frame);
  const QRect client = frame->contentsRect();
  std::map<int, QRgb> entries;
  for (int x = 0; x < client.width(); ++x)
    entries[test::SlicePixel(x * imageWidth / client.width(), 0, 0)] = shown.pixel(client.left() + x, client.top());
  return entries;
}

}  // namespace

class ViewerDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  // Entries spot-checked against the scheme table, the colour ramp and the window function.
  void PaletteButtonsAndInvertRewriteTheColourTable_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<QList<int>>("entries");
    QTest::addColumn<QList<QRgb>>("colours");
    QTest::addRow("Greyscale: each entry its own grey")
        << id::kGreyscale << false << 128 << 383 << QList<int>{0, 77, 255}
        << QList<QRgb>{qRgb(0, 0, 0), qRgb(77, 77, 77), qRgb(255, 255, 255)};
    QTest::addRow("Greyscale at the lowest levels: 63 to 127")
        << id::kGreyscale << false << 0 << 1 << QList<int>{0, 100, 255}
        << QList<QRgb>{qRgb(63, 63, 63), qRgb(88, 88, 88), qRgb(127, 127, 127)};
    QTest::addRow("Greyscale inverted at the highest levels")
        << id::kGreyscale << true << 255 << 510 << QList<int>{0, 1, 255}
        << QList<QRgb>{qRgb(128, 128, 128), qRgb(0, 0, 0), qRgb(0, 0, 0)};
    QTest::addRow("Colour 1: the ramp times four")
        << id::kColour1 << false << 128 << 383 << QList<int>{0, 63, 98, 137, 255}
        << QList<QRgb>{qRgb(0, 0, 0), qRgb(252, 148, 0), qRgb(192, 252, 0), qRgb(0, 136, 64), qRgb(252, 252, 252)};
    QTest::addRow("Colour 1 inverted: the ramp read backwards")
        << id::kColour1 << true << 128 << 383 << QList<int>{0, 192, 255}
        << QList<QRgb>{qRgb(252, 252, 252), qRgb(252, 148, 0), qRgb(0, 0, 0)};
    QTest::addRow("Colour 2: complement of Colour 1 backwards")
        << id::kColour2 << false << 128 << 383 << QList<int>{0, 192} << QList<QRgb>{qRgb(3, 3, 3), qRgb(3, 107, 255)};
    QTest::addRow("Colour 2 inverted") << id::kColour2 << true << 128 << 383 << QList<int>{63, 255}
                                       << QList<QRgb>{qRgb(3, 107, 255), qRgb(3, 3, 3)};
    QTest::addRow("Binary: red ramp inside 128..191, green outside")
        << id::kBinary << false << 128 << 383 << QList<int>{50, 128, 150, 191, 192}
        << QList<QRgb>{qRgb(0, 57, 6), qRgb(156, 32, 25), qRgb(172, 37, 30), qRgb(203, 47, 38), qRgb(0, 164, 24)};
    QTest::addRow("Binary inverted exchanges the ramps")
        << id::kBinary << true << 128 << 383 << QList<int>{50, 150} << QList<QRgb>{qRgb(97, 12, 10), qRgb(0, 132, 18)};
    QTest::addRow("Binary with the levels crossed: 100..150")
        << id::kBinary << false << 150 << 200 << QList<int>{99, 100, 150, 151}
        << QList<QRgb>{qRgb(0, 94, 12), qRgb(135, 25, 20), qRgb(172, 37, 30), qRgb(0, 133, 18)};
    QTest::addRow("Original inverted complements the file colours")
        << id::kOriginal << true << 0 << 1 << QList<int>{0, 200} << QList<QRgb>{qRgb(255, 255, 255), qRgb(55, 55, 55)};
  }

  void PaletteButtonsAndInvertRewriteTheColourTable() {
    QFETCH(int, button);
    QFETCH(bool, invert);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(QList<int>, entries);
    QFETCH(QList<QRgb>, colours);
    test::ViewerFixture fixture({"bmp", 1, 256, 16});
    ViewerDialog& viewer = fixture.Start();
    viewer.show();
    viewer.resize(900, viewer.height());

    Click(viewer, button);
    if (invert) Click(viewer, id::kInvert);
    Slider(viewer, id::kLowerLevel)->setValue(lower);  // as the user drags them
    Slider(viewer, id::kUpperLevel)->setValue(upper);
    const std::map<int, QRgb> slice = ShownEntries(viewer.Control(id::kImage), 256);
    // The colour bar is 256 entries wide and shows the same table.
    const std::map<int, QRgb> bar = ShownEntries(viewer.Control(id::kColourBar), 256);
    for (int i = 0; i < entries.size(); ++i) {
      const int entry = entries[i];
      QVERIFY2(slice.count(entry), qPrintable(QString::number(entry)));
      QCOMPARE(QColor(slice.at(entry)), QColor(colours[i]));
      if (bar.count(entry)) QCOMPARE(QColor(bar.at(entry)), QColor(colours[i]));
    }
  }

  // The read-outs show the slider positions, and in Binary exactly the threshold pair.
  void ReadoutsFollowTheModeAndTheSliders() {
    test::ViewerFixture fixture({"bmp", 2, 32, 32});
    ViewerDialog& viewer = fixture.Start();
    QSlider* lower = Slider(viewer, id::kLowerLevel);
    QSlider* upper = Slider(viewer, id::kUpperLevel);

    Click(viewer, id::kBinary);
    QCOMPARE(std::make_pair(LabelText(viewer, id::kLowerLevelCaption), LabelText(viewer, id::kUpperLevelCaption)),
             std::make_pair(QString("level 1"), QString("level 2")));
    QCOMPARE(std::make_pair(LabelText(viewer, id::kLowerLevelValue), LabelText(viewer, id::kUpperLevelValue)),
             std::make_pair(QString("128"), QString("191")));
    QVERIFY(!lower->isHidden() && lower->isEnabled() && upper->isEnabled());
    upper->setValue(201);
    QCOMPARE(LabelText(viewer, id::kUpperLevelValue), QString("100"));
    lower->setValue(150);
    QCOMPARE(LabelText(viewer, id::kLowerLevelValue), QString("150"));

    Click(viewer, id::kColour2);
    QCOMPARE(std::make_pair(LabelText(viewer, id::kLowerLevelCaption), LabelText(viewer, id::kUpperLevelCaption)),
             std::make_pair(QString("colour"), QString("range")));
    QCOMPARE(LabelText(viewer, id::kUpperLevelValue), QString("201"));
    Click(viewer, id::kGreyscale);
    QCOMPARE(LabelText(viewer, id::kUpperLevelCaption), QString("contrast"));

    Click(viewer, id::kOriginal);
    QCOMPARE(LabelText(viewer, id::kLowerLevelCaption), QString(" "));
    QCOMPARE(LabelText(viewer, id::kUpperLevelValue), QString(" "));
    QVERIFY(lower->isHidden() && !lower->isEnabled() && !upper->isEnabled());
    Click(viewer, id::kColour1);  // the levels come back where they were
    QCOMPARE(std::make_pair(lower->value(), upper->value()), std::make_pair(150, 201));
    QVERIFY(lower->isEnabled());
  }

  // The red line on a side preview marks the current slice's number, counted up from the
  // preview's bottom row; other previews carry no marker.
  void TheSidePreviewMarksTheCurrentSlice_data() {
    QTest::addColumn<Preview>("preview");
    QTest::addRow("_SPR") << Preview::kSide;
    QTest::addRow("_VPR") << Preview::kVolume;
  }

  void TheSidePreviewMarksTheCurrentSlice() {
    QFETCH(Preview, preview);
    test::ViewerFixture fixture({"bmp", 6, 32, 32, preview});
    ViewerDialog& viewer = fixture.Start();
    QWidget* frame = viewer.Control(id::kPreview);
    // The 80 x 40 preview, wider than high, fills the frame's width, centred vertically.
    const int drawnHeight = frame->width() * 40 / 80;
    const int top = (frame->height() - drawnHeight) / 2;
    for (int slice : {0, 1, 2}) {
      const QImage shown = test::Grab(frame);
      std::vector<int> redRows;
      for (int y = 0; y < shown.height(); ++y)
        if (shown.pixel(frame->width() / 2, y) == qRgb(255, 0, 0)) redRows.push_back(y);
      if (preview == Preview::kVolume) {
        QVERIFY(redRows.empty());
      } else {
        const int row = top + drawnHeight - 1 - slice * drawnHeight / 40;
        QCOMPARE(redRows, std::vector<int>{row});
        QCOMPARE(shown.pixel(0, row), qRgb(255, 0, 0));
      }
      viewer.OnPlaybackTimer();
      viewer.EndPlaybackPauseNow();
    }
  }

  // A redraw asked for while one runs (here from a control that Redraw itself changes) is
  // dropped: what the outer one read from the controls is what the window shows.
  void ARedrawInsideRedrawIsDropped() {
    test::ViewerFixture fixture({"bmp", 1, 256, 16});
    ViewerDialog& viewer = fixture.Start();
    viewer.show();
    viewer.resize(900, viewer.height());
    int nested = 0;
    EventHook hook([&] {
      ++nested;
      Button(viewer, id::kInvert)->setChecked(true);
      viewer.Redraw();
    });
    Slider(viewer, id::kLowerLevel)->installEventFilter(&hook);
    Click(viewer, id::kGreyscale);  // Redraw enables the level sliders
    QCOMPARE(nested, 1);
    QCOMPARE(QColor(ShownEntries(viewer.Control(id::kImage), 256).at(0)), QColor(qRgb(0, 0, 0)));
    Slider(viewer, id::kLowerLevel)->removeEventFilter(&hook);
    Click(viewer, id::kOriginal);  // the next redraw reads the box checked inside the dropped one
    QCOMPARE(QColor(ShownEntries(viewer.Control(id::kImage), 256).at(0)), QColor(qRgb(255, 255, 255)));
  }

 private:
  class EventHook : public QObject {
   public:
    explicit EventHook(std::function<void()> onEnable) : m_onEnable(std::move(onEnable)) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::EnabledChange) m_onEnable();
      return false;
    }

   private:
    std::function<void()> m_onEnable;
  };
};

QTEST_MAIN(ViewerDisplayTest)
#include "ViewerDisplay_test.moc"
