// The viewer as it opens: the controls a dataset can use, the caption, the sliders, the first
// slice on screen, the window's size and the choice of dataset before it.
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>
#include <map>

#include "platform/qt/DialogTemplate.h"
#include "viewer/InitialWindowLayout.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerStartUp.h"
#include "viewer/ViewerTemplate.h"
#include "viewer/support/ViewerTestSupport.h"

using namespace orvel;
using namespace orvel::viewer;
using orvel::test::Preview;

Q_DECLARE_METATYPE(orvel::test::Preview)

namespace {

// What the user sees of a control as the window opens: nothing, a greyed-out control, or one to
// use (shown and enabled, at least partly inside the window).
enum class Seen { kAbsent, kGreyed, kUsable };

Seen SeenOf(const ViewerDialog& viewer, int controlId) {
  const QWidget* control = viewer.Control(controlId);
  if (!control->isVisibleTo(&viewer)) return Seen::kAbsent;
  const QRect where(control->mapTo(&viewer, QPoint(0, 0)), control->size());
  if (!viewer.rect().intersects(where)) return Seen::kAbsent;
  return control->isEnabled() ? Seen::kUsable : Seen::kGreyed;
}

// What a dataset offers the user at first, by what the tasks need: playback a stack of slices;
// the palettes and every analysis a colour table; the selection tools a dataset without a volume
// preview, and the line and the cut a stack too. An analysis stays greyed out until a selection
// or palette is chosen, and the sliders that go with a palette, the range of a selection or a
// line's graph appear only then. Every other control is there to use.
std::map<int, Seen> Offered(int slices, Preview preview, int bits) {
  const bool stack = slices > 1, table = bits == 8, selections = table && preview != Preview::kVolume;
  const auto usable = [](bool offered) { return offered ? Seen::kUsable : Seen::kAbsent; };
  const auto greyed = [](bool offered) { return offered ? Seen::kGreyed : Seen::kAbsent; };
  std::map<int, Seen> seen;
  for (int control : {id::kStart, id::kStop, id::kSliceSelector, id::kSpeed, id::kFastLabel, id::kSlowLabel})
    seen[control] = usable(stack);
  for (int control : {id::kGreyscale, id::kColour1, id::kColour2, id::kBinary, id::kInvert, id::kLowerLevelCaption,
                      id::kUpperLevelCaption, id::kColourBar, id::kProcessingGroup, id::kResultsGroup, id::kResults})
    seen[control] = usable(table);
  for (int control : {id::kSelectionGroup, id::kRectangle, id::kEllipse}) seen[control] = usable(selections);
  seen[id::kLine] = usable(selections && stack);
  seen[id::kSizeDistribution] = greyed(table);
  seen[id::kModel3D] = greyed(table && stack);
  seen[id::kCut] = greyed(selections && stack);
  for (int control : {id::kLowerLevel, id::kUpperLevel, id::kBottomLimit, id::kTopLimit, id::kGraph})
    seen[control] = Seen::kAbsent;
  // The window made for one slice without a preview ends at the palettes, above the (empty)
  // caption of a line's graph; part of the results box still shows.
  seen[id::kGraphCaption] = usable(stack || preview != Preview::kNone);
  return seen;
}

}  // namespace

class ViewerStartupTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsWhatTheDatasetCanUse_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("slices");
    QTest::addColumn<Preview>("preview");
    QTest::addColumn<int>("bits");
    for (const char* format : {"bmp", "tif", "jpg"}) {
      for (int slices : {1, 5}) {
        for (const auto& [preview, name] :
             {std::pair{Preview::kNone, "no preview"}, {Preview::kSide, "_SPR"}, {Preview::kVolume, "_VPR"}})
          QTest::addRow("%s, %d slice(s), %s", format, slices, name) << format << slices << preview << 8;
      }
    }
    QTest::addRow("24-bit bmp, 3 slices") << "bmp" << 3 << Preview::kSide << 24;
  }

  void ShowsWhatTheDatasetCanUse() {
    QFETCH(QString, format);
    QFETCH(int, slices);
    QFETCH(Preview, preview);
    QFETCH(int, bits);
    test::ViewerFixture fixture({format.toStdString(), slices, 64, 64, preview, bits});
    ViewerDialog& viewer = fixture.Start();

    const std::map<int, Seen> offered = Offered(slices, preview, bits);
    for (const platform::ControlRow& control : ViewerTemplate().controls) {
      QVERIFY2(viewer.Control(control.id), qPrintable(QString::number(control.id)));
      const auto expected = offered.find(control.id);
      QCOMPARE(std::make_pair(control.id, SeenOf(viewer, control.id)),
               std::make_pair(control.id, expected == offered.end() ? Seen::kUsable : expected->second));
    }
    QCOMPARE(viewer.windowTitle(), "s0000." + format);
    QVERIFY(test::Checked(viewer, id::kOriginal));
    QCOMPARE(test::Checked(viewer, id::kStart), slices > 1);
    QCOMPARE(test::Checked(viewer, id::kStop), slices < 2);
    QVERIFY(!viewer.PlaybackPausePending());

    if (bits == 8) {
      QSlider* lower = test::Slider(viewer, id::kLowerLevel);
      QSlider* upper = test::Slider(viewer, id::kUpperLevel);
      QCOMPARE(std::make_pair(lower->minimum(), lower->maximum()), std::make_pair(0, 255));
      QCOMPARE(lower->value(), format == "tif" ? 127 : 128);
      QCOMPARE(std::make_pair(upper->minimum(), upper->maximum()), std::make_pair(1, 510));
      QCOMPARE(upper->value(), 383);
    }
    if (slices > 1) {
      QSlider* selector = test::Slider(viewer, id::kSliceSelector);
      QCOMPARE(std::make_pair(selector->minimum(), selector->maximum()), std::make_pair(0, slices - 1));
      QCOMPARE(selector->value(), slices - 1);  // the first slice: the bottom of the selector
      QSlider* speed = test::Slider(viewer, id::kSpeed);
      QCOMPARE(std::make_pair(speed->minimum(), speed->maximum()), std::make_pair(0, 1000));
      QCOMPARE(speed->value(), 0);
      QCOMPARE(std::make_tuple(speed->singleStep(), speed->pageStep(), speed->tickInterval()),
               std::make_tuple(50, 100, 100));
      QCOMPARE(test::Slider(viewer, id::kBottomLimit)->value(), slices - 1);
      QCOMPARE(test::Slider(viewer, id::kTopLimit)->value(), 0);
      QCOMPARE(test::Slider(viewer, id::kTopLimit)->maximum(), slices - 1);
    }
    CheckFirstSliceIsShown(viewer, format == "jpg" ? 8 : 0, bits);
  }

  // The window grows by what the slice needs beyond the template's image frame; its bottom edge
  // reaches screen row 570 at least; the frame then fits 10 pixels inside the client area.
  void SizesTheWindowToTheFirstSlice_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("slices");
    QTest::addRow("64 x 64, 3 slices") << 64 << 3;
    QTest::addRow("64 x 64, 1 slice without preview") << 64 << 1;
    QTest::addRow("1024 x 1024, 2 slices") << 1024 << 2;
  }

  void SizesTheWindowToTheFirstSlice() {
    QFETCH(int, size);
    QFETCH(int, slices);
    test::ViewerFixture fixture({"bmp", slices, size, size, Preview::kNone, 8});
    ViewerDialog& viewer = fixture.Start();

    const platform::DialogBaseUnits units = platform::DialogBaseUnits::OfFont(platform::DialogFont());
    const QSize templateSize = units.ToPixels(0, 0, 156, 376).size();
    const QRect templateFrame = units.ToPixels(142, 6, 8, 210);
    // With one slice and no preview the palette group sets the height to reach, else the preview.
    const QRect anchor = slices < 2 ? units.ToPixels(14, 39, 117, 83) : units.ToPixels(25, 126, 96, 90);
    const int reach = std::max(size, anchor.top() + anchor.height());
    int height = templateSize.height() + reach - templateFrame.height();
    const int decoration = viewer.frameGeometry().height() - viewer.height();
    const int windowTop = viewer.frameGeometry().top();
    if (windowTop + decoration + height < 570) height = 570 - windowTop - decoration;
    const int width = templateSize.width() + size - templateFrame.width();
    const QRect screen = viewer.screen()->availableGeometry();
    if (!screen.contains(QRect(viewer.frameGeometry().topLeft(), QSize(width, height + decoration)))) {
      // Too large for the screen: the window fits it instead, the frame square as the slice is.
      QVERIFY(screen.contains(viewer.frameGeometry()));
      const QSize frame = viewer.Control(id::kImage)->size();
      QVERIFY(std::abs(frame.width() - frame.height()) <= 1 && frame.width() < size);
      return;
    }
    QCOMPARE(viewer.size(), QSize(width, height));
    QVERIFY(viewer.frameGeometry().bottom() + 1 >= 570);

    const int available = std::min(width - 10 - templateFrame.left(), height - 10 - templateFrame.top());
    QCOMPARE(viewer.Control(id::kImage)->geometry(), QRect(templateFrame.topLeft(), QSize(available, available)));
    QCOMPARE(viewer.Control(id::kPreview)->geometry(), units.ToPixels(25, 126, 96, 90));
  }

  // On the screens users have, with a window manager's frame, the window fits the available area
  // and the frame keeps the slice's aspect; a window that fits is the one computed above.
  void TheFirstWindowFitsTheScreen() {
    const platform::DialogBaseUnits units = platform::DialogBaseUnits::OfFont(platform::DialogFont());
    const QMargins decorations(1, 24, 1, 1);
    for (const QSize screen : {QSize(1280, 1024), QSize(1920, 1080)}) {
      for (const QSize slice : {QSize(64, 64), QSize(1024, 1024), QSize(2048, 2048), QSize(4096, 600)}) {
        const WindowLayoutInput input{slice,
                                      units.ToPixels(0, 0, 156, 376).size(),
                                      units.ToPixels(142, 6, 8, 210),
                                      units.ToPixels(25, 126, 96, 90).bottom() + 1,
                                      decorations,
                                      QRect(QPoint(0, 0), screen - QSize(0, 40))};  // a panel below
        const WindowLayout layout = InitialWindowLayout(input);
        const QRect window(layout.windowTopLeft, layout.client.grownBy(decorations));
        const QString where = QStringLiteral("%1x%2 on %3x%4")
                                  .arg(slice.width())
                                  .arg(slice.height())
                                  .arg(screen.width())
                                  .arg(screen.height());
        QVERIFY2(input.available.contains(window), qPrintable(where));
        QVERIFY2(layout.frame.width() <= slice.width() &&
                     std::abs(layout.frame.height() - slice.height() * layout.frame.width() / slice.width()) <= 1,
                 qPrintable(where));
        QVERIFY2(window.bottom() + 1 >= kLowestWindowBottom, qPrintable(where));
        if (slice.width() == 64) QCOMPARE(layout.frame, slice);
      }
    }
  }

  void ResizingKeepsTheSliceAspectInsideTenPixelMargins_data() {
    QTest::addColumn<QSize>("client");
    QTest::addRow("wide window: height decides") << QSize(1400, 500);
    QTest::addRow("narrow window: width decides") << QSize(500, 900);
    QTest::addRow("too small: nothing shown") << QSize(100, 5);
  }

  void ResizingKeepsTheSliceAspectInsideTenPixelMargins() {
    QFETCH(QSize, client);
    test::ViewerFixture fixture({"bmp", 2, 120, 60, Preview::kNone, 8});
    ViewerDialog& viewer = fixture.Start();
    viewer.show();
    viewer.resize(client);
    QCOMPARE(viewer.size(), client);
    const QRect frame = viewer.Control(id::kImage)->geometry();
    const int availableWidth = client.width() - 10 - frame.left();
    const int availableHeight = client.height() - 10 - frame.top();
    QSize expected(availableWidth, availableWidth / 2);
    if (availableHeight < expected.height()) expected = QSize(2 * availableHeight, availableHeight);
    QCOMPARE(frame.size(), expected.expandedTo(QSize(0, 0)));
    viewer.OnStop();
  }

  void ChoosesTheDatasetFromTheCommandLineOrTheOpenFileDialog() {
    test::ViewerFixture fixture({"bmp", 3, 16, 16, Preview::kSide, 8});
    const test::TemporaryDirectory& dir = fixture.folder;
    QCOMPARE(CommandLineOf({"orvel", "/a/b c", "d.bmp"}), std::string("/a/b c d.bmp"));

    Dataset dataset;
    std::string quoted(1, '"');
    quoted.append(dir.File("s0001.bmp")).push_back('"');
    QVERIFY(ChooseDataset(quoted, dataset));
    QCOMPARE(dataset.SliceCount(), 3);
    QVERIFY(!ChooseDataset(dir.File("s0001.bmp") + " extra words", dataset));
    QCOMPARE(fixture.dialogs.messages.back(),
             (platform::Message{"The file dropped is not a Voxalon dataset file.", "Orvel: Opening dataset"}));

    fixture.dialogs.openAnswer = std::nullopt;  // cancelled: ends without a message
    const std::size_t messages = fixture.dialogs.messages.size();
    QVERIFY(!ChooseDataset("", dataset));
    QCOMPARE(fixture.dialogs.messages.size(), messages);
    QCOMPARE(fixture.dialogs.openRequests.back().title, std::string("Orvel: Open dataset"));
    QVERIFY(QString::fromStdString(fixture.dialogs.openRequests.back().filterName).contains("*.tif"));

    fixture.dialogs.openAnswer = dir.File("s_SPR.bmp");
    QVERIFY(ChooseDataset("", dataset));
    QCOMPARE(dataset.previewKind, kSidePreview);
  }

 private:
  // The image frame shows slice 0 the right way up: client pixel (x, y) shows image pixel
  // (x * width / client width, y * height / client height).
  static void CheckFirstSliceIsShown(ViewerDialog& viewer, int tolerance, int bits) {
    QWidget* frame = viewer.Control(id::kImage);
    const QRect client = frame->contentsRect();
    QVERIFY(client.width() > 8 && client.height() > 8);
    const QImage shown = test::Grab(frame);
    const QPoint samples[] = {QPoint(1, 2), QPoint(client.width() - 3, client.height() / 2),
                              QPoint(5, client.height() - 1)};
    for (const QPoint& at : samples) {
      const int x = at.x() * 64 / client.width(), y = at.y() * 64 / client.height();
      const QRgb pixel = shown.pixel(client.topLeft() + at);
      // 24-bit pixels hold the value in blue, +40 in green and +80 in red.
      const int expected = test::SlicePixel(x, y, 0);
      QVERIFY2(std::abs(qBlue(pixel) - expected) <= tolerance,
               qPrintable(QString("at %1,%2: %3 for %4").arg(x).arg(y).arg(qBlue(pixel)).arg(expected)));
      if (bits == 8) QCOMPARE(qRed(pixel), qBlue(pixel));
    }
  }
};

QTEST_MAIN(ViewerStartupTest)
#include "ViewerStartup_test.moc"
