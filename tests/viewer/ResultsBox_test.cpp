// The results box and the graph frame: the texts are exactly orvel-analyze's for the same points,
// slice, range, levels and Invert; the graphs drawn in the frame are the core's profile and bars.
#include <QImage>
#include <QJsonArray>
#include <QtTest>

#include "analysis/AreaAnalysis.h"
#include "analysis/LineMeasurement.h"
#include "app/ImageLoader.h"
#include "support/TestSupport.h"
#include "viewer/GraphView.h"
#include "viewer/ViewerTemplate.h"
#include "viewer/support/ToolsTestViewer.h"

using namespace orvel;
using namespace orvel::viewer;

namespace {

const QRgb kRed = qRgb(255, 0, 0);

// The graph as the frame shows it on screen.
QImage RenderedGraph(ViewerDialog& dialog) {
  auto* graph = static_cast<GraphView*>(dialog.Control(id::kGraph));
  return graph->grab(graph->contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
}

QStringList SliceArguments(const std::string& firstSlice, int slice, int bottom, int top) {
  return {QString::fromStdString(firstSlice), "--slice", QString::number(slice), "--range",
          QStringLiteral("%1,%2").arg(bottom).arg(top)};
}

}  // namespace

Q_DECLARE_METATYPE(orvel::PixelPoint)

class ResultsBoxTest : public QObject {
  Q_OBJECT

  test::TemporaryDirectory m_phantomData, m_gradientData;
  std::string m_phantom, m_gradient;  // first slices: porous with a resolution; gradient without

  std::string FirstSliceOf(const QString& name) const { return name == "phantom" ? m_phantom : m_gradient; }

 private slots:
  void initTestCase() {
    m_phantom = test::MakePhantomDataset(m_phantomData.Path(), {"--slices", "12", "--size", "256x256", "--step", "2"});
    m_gradient = test::MakeGradientDataset(m_gradientData.Path(), 300, 200, 5);
  }

  // Dragging the stop point recomputes the line block on every move; the text is orvel-analyze's
  // for the points, slice and limits on display.
  void LineDragGivesTheTextOfAnalyze_data() {
    QTest::addColumn<QString>("dataset");
    QTest::addColumn<int>("slice");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("top");
    QTest::addColumn<PixelPoint>("target");
    QTest::newRow("pixels, whole stack") << "gradient" << 0 << 0 << 4 << PixelPoint{250, 30};
    QTest::newRow("pixels, limits one slice apart") << "gradient" << 0 << 2 << 3 << PixelPoint{60, 180};
    QTest::newRow("pixels, third slice") << "gradient" << 2 << 1 << 1 << PixelPoint{290, 190};
    QTest::newRow("millimetres, whole stack") << "phantom" << 0 << 0 << 11 << PixelPoint{200, 220};
    QTest::newRow("millimetres, inner range, other slice") << "phantom" << 7 << 3 << 9 << PixelPoint{128, 10};
  }

  void LineDragGivesTheTextOfAnalyze() {
    QFETCH(QString, dataset);
    QFETCH(int, slice);
    QFETCH(int, bottom);
    QFETCH(int, top);
    QFETCH(PixelPoint, target);
    const std::string firstSlice = FirstSliceOf(dataset);
    test::WriteSelectionPoints({30, 40}, {150, 120});
    test::ToolsViewer viewer(firstSlice, QSize(900, 800));
    ViewerDialog& dialog = viewer.Dialog();
    viewer.Click(id::kLine);
    const int last = dataset == "phantom" ? 11 : 4;
    viewer.MoveSlider(id::kBottomLimit, last - bottom);
    viewer.MoveSlider(id::kTopLimit, last - top);
    viewer.MoveSlider(id::kSliceSelector, last - slice);
    const QStringList context = SliceArguments(firstSlice, slice, bottom, top);

    QTest::mousePress(&dialog, Qt::LeftButton, {}, viewer.DialogPointOver({150, 120}));
    QTest::mouseMove(&dialog, viewer.DialogPointOver({(150 + target.x) / 2, (120 + target.y) / 2}));
    // Mid-drag, before any release: the box already follows the line.
    QCOMPARE(
        dialog.ResultsText(),
        test::AnalyzeText(context + QStringList{"--line", test::PointsArgument(dialog.SelectionPoints())}, "line"));
    const QPoint to = viewer.DialogPointOver(target);
    QTest::mouseMove(&dialog, to);
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, to);
    QCOMPARE(dialog.SelectionPoints().stop, viewer.PixelUnder(to));
    const std::string expected =
        test::AnalyzeText(context + QStringList{"--line", test::PointsArgument(dialog.SelectionPoints())}, "line");
    QVERIFY(expected.rfind("2D Length: ", 0) == 0);
    QCOMPARE(dialog.ResultsText(), expected);
  }

  // Rectangle and ellipse with "2D": the area block thresholded by the level sliders' window in
  // any display mode, with and without Invert; recomputed when a drag ends, not while it runs.
  void AreaWith2DGivesTheTextOfAnalyze_data() {
    QTest::addColumn<QString>("dataset");
    QTest::addColumn<int>("tool");
    QTest::addColumn<int>("palette");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    const int rect = id::kRectangle, ellipse = id::kEllipse, binary = id::kBinary;
    QTest::newRow("rectangle, Binary") << "phantom" << rect << binary << false << 100 << 510;
    QTest::newRow("rectangle, Binary, inverted") << "phantom" << rect << binary << true << 100 << 510;
    QTest::newRow("ellipse, Binary") << "phantom" << ellipse << binary << false << 180 << 260;
    QTest::newRow("ellipse, Binary, inverted") << "phantom" << ellipse << binary << true << 180 << 260;
    QTest::newRow("rectangle, Colour 1") << "phantom" << rect << int(id::kColour1) << false << 60 << 300;
    QTest::newRow("ellipse, Greyscale, inverted") << "phantom" << ellipse << int(id::kGreyscale) << true << 150 << 200;
    QTest::newRow("rectangle, pixels, crossed levels") << "gradient" << rect << binary << false << 200 << 150;
    QTest::newRow("ellipse, pixels, Colour 2") << "gradient" << ellipse << int(id::kColour2) << true << 20 << 120;
  }

  void AreaWith2DGivesTheTextOfAnalyze() {
    QFETCH(QString, dataset);
    QFETCH(int, tool);
    QFETCH(int, palette);
    QFETCH(bool, invert);
    QFETCH(int, lower);
    QFETCH(int, upper);
    const std::string firstSlice = FirstSliceOf(dataset);
    test::WriteSelectionPoints({20, 25}, {180, 150});
    test::ToolsViewer viewer(firstSlice, QSize(900, 800));
    ViewerDialog& dialog = viewer.Dialog();
    viewer.Click(palette);
    viewer.MoveSlider(id::kLowerLevel, lower);
    viewer.MoveSlider(id::kUpperLevel, upper);
    if (invert) viewer.Click(id::kInvert);
    viewer.Click(tool);
    viewer.Click(id::kSizeDistribution);

    QStringList arguments{QString::fromStdString(firstSlice), "--levels", QStringLiteral("%1,%2").arg(lower).arg(upper),
                          "--2d"};
    if (invert) arguments << "--invert";
    const QString toolOption = tool == id::kRectangle ? "--rectangle" : "--ellipse";
    auto analyzed = [&] {
      return test::AnalyzeText(arguments + QStringList{toolOption, test::PointsArgument(dialog.SelectionPoints())},
                               "area");
    };
    const std::string before = analyzed();
    QVERIFY(before.rfind("Total Area: ", 0) == 0);
    QCOMPARE(dialog.ResultsText(), before);

    const QPoint to = viewer.DialogPointOver({140, 170});
    QTest::mousePress(&dialog, Qt::LeftButton, {}, viewer.DialogPointOver({180, 150}));
    QTest::mouseMove(&dialog, to);
    QCOMPARE(dialog.ResultsText(), before);
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, to);
    QCOMPARE(dialog.SelectionPoints().stop, viewer.PixelUnder(to));
    QCOMPARE(dialog.ResultsText(), analyzed());
  }

  // The frame shows the 12 bars of the size classes that orvel-analyze counts, each filled from
  // the bottom edge, and white everywhere else.
  void SizeDistributionBarsAreDrawnInTheGraphFrame_data() {
    QTest::addColumn<int>("tool");
    QTest::addColumn<QSize>("size");
    QTest::newRow("rectangle") << int(id::kRectangle) << QSize(900, 800);
    QTest::newRow("ellipse, small window") << int(id::kEllipse) << QSize(600, 640);
  }

  void SizeDistributionBarsAreDrawnInTheGraphFrame() {
    QFETCH(int, tool);
    QFETCH(QSize, size);
    test::WriteSelectionPoints({10, 10}, {246, 240});
    test::ToolsViewer viewer(m_phantom, size);
    viewer.Click(id::kBinary);
    viewer.MoveSlider(id::kLowerLevel, 20);  // the pores: grey values 20 .. 80
    viewer.MoveSlider(id::kUpperLevel, 160);
    viewer.Click(tool);
    viewer.Click(id::kSizeDistribution);
    const QJsonObject area =
        test::AnalyzeSection({QString::fromStdString(m_phantom), "--levels", "20,160",
                              tool == id::kRectangle ? "--rectangle" : "--ellipse", "10,10,246,240", "--2d"},
                             "area");
    analysis::SizeClassCounts counts{};
    const QJsonArray classes = area.value("sizeClasses").toArray();
    QCOMPARE(classes.size(), analysis::kSizeClassCount);
    for (int k = 0; k < analysis::kSizeClassCount; ++k) counts[k] = classes[k].toInteger();
    QVERIFY(area.value("objects").toInteger() > 1);

    const QImage graph = RenderedGraph(viewer.Dialog());
    const int width = graph.width(), height = graph.height();
    QVERIFY(width > 12 && height > 4);
    const auto bars = analysis::SizeDistributionBars(counts, width, height);
    std::vector<int> expectedRows(width, 0);
    for (const analysis::SizeBar& bar : bars)
      for (int x = bar.left; x < bar.right; ++x) expectedRows[x] = bar.rows;
    int tallest = 0;
    for (int x = 0; x < width; ++x) {
      for (int y = 0; y < height; ++y) {
        const bool red = graph.pixel(x, y) == kRed;
        QVERIFY2(red == (y >= height - expectedRows[x]),
                 qPrintable(QStringLiteral("pixel %1,%2 of %3 x %4").arg(x).arg(y).arg(width).arg(height)));
        QVERIFY(red || graph.pixel(x, y) == qRgb(255, 255, 255));
      }
      tallest = std::max(tallest, expectedRows[x]);
    }
    QCOMPARE(tallest, height);  // the most frequent class fills the frame
  }

  // The profile runs from the left end point's grey value at column 0 to the right end point's at
  // the last column, through the core's profile values in between.
  void ProfileRunsFromTheLeftEndToTheRightEnd_data() {
    QTest::addColumn<PixelPoint>("start");
    QTest::addColumn<PixelPoint>("stop");
    QTest::newRow("falling to the right") << PixelPoint{12, 20} << PixelPoint{270, 170};
    QTest::newRow("start on the right, rising") << PixelPoint{280, 30} << PixelPoint{40, 180};
  }

  void ProfileRunsFromTheLeftEndToTheRightEnd() {
    QFETCH(PixelPoint, start);
    QFETCH(PixelPoint, stop);
    test::WriteSelectionPoints(start, stop);
    test::ToolsViewer viewer(m_gradient, QSize(900, 800));
    viewer.Click(id::kLine);
    const QImage graph = RenderedGraph(viewer.Dialog());
    const int width = graph.width(), height = graph.height();
    const PixelPoint left = start.x < stop.x ? start : stop, right = start.x < stop.x ? stop : start;
    auto value = [](PixelPoint p) { return (3 * p.x + 7 * p.y) & 0xFF; };  // slice 0 of the gradient
    QCOMPARE(graph.pixel(0, analysis::ProfileGraphRow(value(left), height)), kRed);
    QCOMPARE(graph.pixel(width - 1, analysis::ProfileGraphRow(value(right), height)), kRed);

    SliceImage slice;
    QCOMPARE(LoadImageFile(m_gradient, slice), LoadStatus::kLoaded);
    const auto profile = analysis::LineProfile(slice, {start.x, start.y}, {stop.x, stop.y}, width);
    QCOMPARE(int(profile.front()), value(left));
    QCOMPARE(int(profile.back()), value(right));
    for (int a = 0; a < width; ++a)
      QVERIFY2(graph.pixel(a, analysis::ProfileGraphRow(profile[a + 1], height)) == kRed,
               qPrintable(QStringLiteral("column %1").arg(a)));
  }
};

QTEST_MAIN(ResultsBoxTest)
#include "ResultsBox_test.moc"
