// The "Line", "Rectangle", "Ellipse" and "2D" buttons: which controls each sequence of clicks
// leaves shown, enabled and checked, the figure over the slice and the range marks on the preview.
#include <QtTest>

#include "app/ImageLoader.h"
#include "support/TestSupport.h"
#include "viewer/support/RunTestSupport.h"
#include "viewer/support/ToolsTestViewer.h"
#include "viewer/PreviewView.h"
#include "viewer/SliceView.h"
#include "viewer/ViewerTemplate.h"

using namespace orvel;
using namespace orvel::viewer;
using Figure = SliceOverlay::Figure;

namespace {

enum class Results { kEmpty, kLine, kArea };

// What the controls show after a sequence of clicks.
struct ToolStates {
  std::vector<int> checked;  // of Line, Rectangle, Ellipse, 2D
  bool limitsShown;
  std::vector<int> enabled;  // of Cut, 2D, 3D
  bool graphShown;
  const char* caption;
  Figure figure;
  Results results;
};

const int kToolButtons[] = {id::kLine, id::kRectangle, id::kEllipse, id::kSizeDistribution};
const int kProcessingButtons[] = {id::kCut, id::kSizeDistribution, id::kModel3D};

Results ResultsKind(const std::string& text) {
  if (text.empty()) return Results::kEmpty;
  return text.rfind("2D Length", 0) == 0 ? Results::kLine : Results::kArea;
}

bool Contains(const std::vector<int>& ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

}  // namespace

Q_DECLARE_METATYPE(ToolStates)

class SelectionToolsTest : public QObject {
  Q_OBJECT

  test::TemporaryDirectory m_data;
  std::string m_firstSlice;

 private slots:
  void initTestCase() {
    m_firstSlice = test::MakePhantomDataset(m_data.Path(), {"--slices", "20", "--size", "160x120", "--step", "3"});
    test::WriteSelectionPoints({20, 30}, {120, 90});
  }

  void ClicksSetUpTheControlsOfEachTool_data() {
    QTest::addColumn<std::vector<int>>("clicks");
    QTest::addColumn<ToolStates>("states");
    const int line = id::kLine, rect = id::kRectangle, ellipse = id::kEllipse, twoD = id::kSizeDistribution;
    const std::vector<int> none, cut{id::kCut}, area{id::kSizeDistribution, id::kModel3D};
    QTest::newRow("line on") << std::vector{line}
                             << ToolStates{{line}, true, cut, true, "line profile", Figure::kLine, Results::kLine};
    QTest::newRow("line off") << std::vector{line, line}
                              << ToolStates{{}, false, none, false, "", Figure::kNone, Results::kEmpty};
    QTest::newRow("rectangle on") << std::vector{rect}
                                  << ToolStates{{rect}, true, area, false, "", Figure::kRectangle, Results::kEmpty};
    QTest::newRow("rectangle off") << std::vector{rect, rect}
                                   << ToolStates{{}, false, none, false, "", Figure::kNone, Results::kEmpty};
    QTest::newRow("ellipse on") << std::vector{ellipse}
                                << ToolStates{{ellipse}, true, area, false, "", Figure::kEllipse, Results::kEmpty};
    QTest::newRow("line to rectangle") << std::vector{line, rect}
                                       << ToolStates{{rect},         true, area, false, "", Figure::kRectangle,
                                                     Results::kEmpty};
    QTest::newRow("rectangle to line") << std::vector{rect, line}
                                       << ToolStates{{line},         true,          cut,           true,
                                                     "line profile", Figure::kLine, Results::kLine};
    QTest::newRow("rectangle to ellipse")
        << std::vector{rect, ellipse}
        << ToolStates{{ellipse}, true, area, false, "", Figure::kEllipse, Results::kEmpty};
    QTest::newRow("ellipse to rectangle")
        << std::vector{ellipse, rect} << ToolStates{{rect}, true, area, false, "", Figure::kRectangle, Results::kEmpty};
    QTest::newRow("2D on a rectangle") << std::vector{rect, twoD}
                                       << ToolStates{{rect, twoD},       true,          area, true, "size distribution",
                                                     Figure::kRectangle, Results::kArea};
    QTest::newRow("2D pressed twice") << std::vector{rect, twoD, twoD}
                                      << ToolStates{{rect}, true, area, false, "", Figure::kRectangle, Results::kEmpty};
    QTest::newRow("line ends 2D") << std::vector{rect, twoD, line}
                                  << ToolStates{{line}, true, cut, true, "line profile", Figure::kLine, Results::kLine};
    QTest::newRow("line on and off after 2D") << std::vector{rect, twoD, line, line}
                                              << ToolStates{{}, false, none, false, "", Figure::kNone, Results::kEmpty};
    // Turning the figure off keeps the mode: nothing is selected, so the area block reports zero.
    QTest::newRow("rectangle off keeps 2D")
        << std::vector{rect, twoD, rect}
        << ToolStates{{twoD}, false, none, true, "size distribution", Figure::kNone, Results::kArea};
    QTest::newRow("2D carried to the ellipse")
        << std::vector{rect, twoD, rect, ellipse}
        << ToolStates{{ellipse, twoD}, true, area, true, "size distribution", Figure::kEllipse, Results::kArea};
    QTest::newRow("rectangle to ellipse with 2D")
        << std::vector{rect, twoD, ellipse}
        << ToolStates{{ellipse, twoD}, true, area, true, "size distribution", Figure::kEllipse, Results::kArea};
    QTest::newRow("2D is disabled with the line")
        << std::vector{line, twoD}
        << ToolStates{{line}, true, cut, true, "line profile", Figure::kLine, Results::kLine};
  }

  void ClicksSetUpTheControlsOfEachTool() {
    QFETCH(std::vector<int>, clicks);
    QFETCH(ToolStates, states);
    test::ToolsViewer viewer(m_firstSlice, QSize(700, 640));
    ViewerDialog& dialog = viewer.Dialog();
    for (int button : clicks) viewer.Click(button);

    for (int button : kToolButtons)
      QVERIFY2(dialog.Control(button)->property("checked").toBool() == Contains(states.checked, button),
               qPrintable(QStringLiteral("check of %1").arg(button)));
    for (int button : kProcessingButtons)
      QVERIFY2(dialog.Control(button)->isEnabled() == Contains(states.enabled, button),
               qPrintable(QStringLiteral("enabled state of %1").arg(button)));
    QCOMPARE(dialog.Control(id::kBottomLimit)->isVisible(), states.limitsShown);
    QCOMPARE(dialog.Control(id::kTopLimit)->isVisible(), states.limitsShown);
    QCOMPARE(dialog.Control(id::kGraph)->isVisible(), states.graphShown);
    QCOMPARE(test::LabelText(dialog, id::kGraphCaption), QString(states.caption));
    QCOMPARE(static_cast<SliceView*>(dialog.Control(id::kImage))->Overlay().figure, states.figure);
    QCOMPARE(ResultsKind(dialog.ResultsText()), states.results);
    // The box shows the same text with plain line ends, none after the last line.
    QCOMPARE(test::BoxText(dialog), test::AsShown(dialog.ResultsText()));
  }

  // The figure's points and handle corners sit at trunc(image point x scale) at every window size;
  // a rectangle follows a resize without a redraw of its own.
  void FigureFollowsThePointsAtEveryWindowSize_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("tool");
    QTest::newRow("line, small window") << QSize(520, 600) << id::kLine;
    QTest::newRow("line, large window") << QSize(1200, 1000) << id::kLine;
    QTest::newRow("rectangle, medium window") << QSize(800, 700) << id::kRectangle;
    QTest::newRow("ellipse, large window") << QSize(1100, 900) << id::kEllipse;
  }

  void FigureFollowsThePointsAtEveryWindowSize() {
    QFETCH(QSize, size);
    QFETCH(int, tool);
    test::ToolsViewer viewer(m_firstSlice, QSize(600, 600));
    viewer.Click(tool);
    viewer.Dialog().resize(size);
    QCoreApplication::processEvents();
    const double scale = viewer.Scale();
    auto screen = [scale](int x, int y) {
      return QPoint(static_cast<int>(static_cast<float>(x) * scale), static_cast<int>(static_cast<float>(y) * scale));
    };
    const SliceOverlay& overlay = static_cast<SliceView*>(viewer.Dialog().Control(id::kImage))->Overlay();
    QCOMPARE(overlay.start, screen(20, 30));
    QCOMPARE(overlay.stop, screen(120, 90));
    QVERIFY(overlay.handles);
    const QPoint startCorners[] = {screen(15, 25), screen(15, 35), screen(25, 35), screen(25, 25)};
    const QPoint stopCorners[] = {screen(115, 85), screen(115, 95), screen(125, 95), screen(125, 85)};
    for (int corner = 0; corner < 4; ++corner) {
      QCOMPARE(overlay.startHandle[corner], startCorners[corner]);
      QCOMPARE(overlay.stopHandle[corner], stopCorners[corner]);
    }
  }

  // While a long run holds the Start state without the playback timer, the handles are not drawn.
  void NoHandlesDuringALongRun() {
    test::ToolsViewer viewer(m_firstSlice, QSize(700, 640));
    viewer.Click(id::kRectangle);
    test::Button(viewer.Dialog(), id::kStart)->setChecked(true);
    viewer.Dialog().Redraw();
    const SliceOverlay& overlay = static_cast<SliceView*>(viewer.Dialog().Control(id::kImage))->Overlay();
    QCOMPARE(overlay.figure, Figure::kRectangle);
    QVERIFY(!overlay.handles);
  }

  // The blue marks lie on the preview rows of the two limits' slice numbers, counted from the
  // preview's bottom edge, while a tool is on.
  void RangeMarksLieOnTheRowsOfTheLimits_data() {
    QTest::addColumn<int>("bottomSlice");
    QTest::addColumn<int>("topSlice");
    QTest::newRow("whole stack") << 0 << 19;
    QTest::newRow("inner range") << 4 << 13;
    QTest::newRow("crossed limits are exchanged") << 15 << 2;
    QTest::newRow("one slice") << 9 << 9;
  }

  void RangeMarksLieOnTheRowsOfTheLimits() {
    QFETCH(int, bottomSlice);
    QFETCH(int, topSlice);
    test::ToolsViewer viewer(m_firstSlice, QSize(700, 640));
    auto* previewView = static_cast<PreviewView*>(viewer.Dialog().Control(id::kPreview));
    QVERIFY(previewView->Marks().rangeRows.empty());
    viewer.Click(id::kLine);
    viewer.MoveSlider(id::kBottomLimit, 19 - bottomSlice);
    viewer.MoveSlider(id::kTopLimit, 19 - topSlice);

    // The 160 x 58 preview fills the frame's width and is centred across its height.
    SliceImage preview;
    QCOMPARE(LoadImageFile(m_data.File("phantom_SPR.bmp"), preview), LoadStatus::kLoaded);
    QCOMPARE(preview.GetHeight(), 58);
    const QRect client = previewView->contentsRect();
    const int drawnHeight = static_cast<int>(static_cast<double>(client.width()) / preview.GetWidth() * 58);
    const int offsetY = (client.height() - drawnHeight) / 2;
    const double scale = static_cast<double>(drawnHeight) / 58;
    auto row = [&](int slice) { return offsetY + drawnHeight - 1 - static_cast<int>(3 * slice * scale); };
    const std::vector<int> expected{row(std::min(bottomSlice, topSlice)), row(std::max(bottomSlice, topSlice))};
    QCOMPARE(previewView->Marks().rangeRows, expected);
    QCOMPARE(previewView->Marks().left, 0);
    QCOMPARE(previewView->Marks().right, client.width());

    viewer.Click(id::kLine);
    QVERIFY(previewView->Marks().rangeRows.empty());
  }
};

QTEST_MAIN(SelectionToolsTest)
#include "SelectionTools_test.moc"
