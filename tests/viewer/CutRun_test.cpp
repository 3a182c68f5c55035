// The "Cut" button: the run over the selection range ends in the save dialog showing the cut
// that orvel-analyze makes for the same line, range and colours, pixel for pixel; while it runs
// the box shows the line's results on the slices it reads; a cancelled cut shows nothing.
#include <QtTest>

#include "app/ImageLoader.h"
#include "dialogs/SaveImageDialog.h"
#include "dialogs/SaveImageTemplate.h"
#include "support/TestSupport.h"
#include "viewer/ViewerTemplate.h"
#include "viewer/support/RunTestSupport.h"
#include "viewer/support/ToolsTestViewer.h"

using namespace orvel;
using namespace orvel::viewer;
using orvel::test::Checked;

namespace {

constexpr int kSlices = 14;
const QSize kWindow(700, 700);

// After a cut, finished or not: the line tool is off with its controls, playback stopped.
void VerifyLineToolOffAndStopped(ViewerDialog& dialog) {
  QCOMPARE(test::BoxText(dialog), QString());
  QCOMPARE(test::LabelText(dialog, id::kGraphCaption), QString());
  QVERIFY(!dialog.Control(id::kGraph)->isVisible());
  QVERIFY(!dialog.Control(id::kBottomLimit)->isVisible());
  QVERIFY(!dialog.Control(id::kTopLimit)->isVisible());
  QVERIFY(!Checked(dialog, id::kLine));
  QVERIFY(!Checked(dialog, id::kCut));
  QVERIFY(!dialog.Control(id::kCut)->isEnabled());
  QVERIFY(Checked(dialog, id::kStop));
  for (int button : {id::kLine, id::kRectangle, id::kEllipse}) QVERIFY(dialog.Control(button)->isEnabled());
}

}  // namespace

Q_DECLARE_METATYPE(orvel::test::RunSetup)
Q_DECLARE_METATYPE(orvel::PixelPoint)

class CutRunTest : public QObject {
  Q_OBJECT

  test::TemporaryDirectory m_data;
  std::string m_firstSlice;  // slice numbers step 2: each slice stands for two rows of the cut

 private slots:
  void initTestCase() {
    m_firstSlice = test::MakePhantomDataset(m_data.Path(),
                                            {"--slices", QString::number(kSlices), "--size", "160x120", "--step", "2"});
  }

  // The image the dialog shows, and the BMP it saves, are orvel-analyze's: same pixels, same
  // colour table (Binary thresholds, the file colours, the file colours inverted).
  void CutIsTheImageOfAnalyze_data() {
    QTest::addColumn<test::RunSetup>("setup");
    QTest::addColumn<PixelPoint>("start");
    QTest::addColumn<PixelPoint>("stop");
    const test::RunSetup original{id::kLine, 2, 11};
    QTest::newRow("Original") << original << PixelPoint{10, 20} << PixelPoint{150, 90};
    QTest::newRow("Original inverted") << test::RunSetup{id::kLine, 2, 11, id::kOriginal, -1, -1, true}
                                       << PixelPoint{10, 20} << PixelPoint{150, 90};
    QTest::newRow("Binary") << test::RunSetup{id::kLine, 0, kSlices - 1, id::kBinary, 80, 320} << PixelPoint{5, 50}
                            << PixelPoint{155, 52};
    QTest::newRow("Binary inverted") << test::RunSetup{id::kLine, 4, 9, id::kBinary, 100, 280, true}
                                     << PixelPoint{5, 50} << PixelPoint{155, 52};
    QTest::newRow("Colour 1") << test::RunSetup{id::kLine, 1, 6, id::kColour1, 60, 350} << PixelPoint{30, 10}
                              << PixelPoint{120, 110};
    QTest::newRow("right to left") << original << PixelPoint{150, 30} << PixelPoint{12, 40};
    QTest::newRow("one slice") << test::RunSetup{id::kLine, 5, 5} << PixelPoint{10, 20} << PixelPoint{150, 90};
  }
  void CutIsTheImageOfAnalyze() {
    QFETCH(test::RunSetup, setup);
    QFETCH(PixelPoint, start);
    QFETCH(PixelPoint, stop);
    test::WriteSelectionPoints(start, stop);
    test::TemporaryDirectory out;
    test::ToolsViewer viewer(m_firstSlice, kWindow);
    ViewerDialog& dialog = viewer.Dialog();
    test::PrepareRun(viewer, kSlices, setup);
    QStringList arguments = test::RunArguments(m_firstSlice, dialog, setup);
    arguments << "--line" << test::PointsArgument(dialog.SelectionPoints()) << "--cut"
              << QString::fromStdString(out.File("analyze.bmp"));
    test::AnalyzeSection(arguments, "cut");

    viewer.dialogs.saveAnswers.push_back(out.File("viewer.bmp"));
    test::SaveDialogAnswer answer([](dialogs::SaveImageDialog& save) { test::Click(save, dialogs::id::kSaveBmp); });
    viewer.Click(id::kCut);
    QVERIFY(answer.Seen());
    QCOMPARE(viewer.dialogs.saveRequests.front().startFolder, m_data.Path());
    SliceImage expected;
    QCOMPARE(LoadImageFile(out.File("analyze.bmp"), expected), LoadStatus::kLoaded);
    const SliceImage& shown = answer.Image();
    QCOMPARE(shown.GetSize(), expected.GetSize());
    QVERIFY(std::equal(expected.GetBits(), expected.GetBits() + expected.GetImageBytes(), shown.GetBits()));
    QVERIFY(std::equal(expected.GetColourTable(), expected.GetColourTable() + 1024, shown.GetColourTable()));
    QCOMPARE(test::ReadFileBytes(out.File("viewer.bmp")), test::ReadFileBytes(out.File("analyze.bmp")));
    VerifyLineToolOffAndStopped(dialog);
  }

  // The line tool stays on for the run: the box shows the line's results of a slice the run has
  // read, from the first slice on, and never anything else.
  void RunShowsTheLineResultsOfItsSlices() {
    test::WriteSelectionPoints({10, 20}, {150, 90});
    test::ToolsViewer viewer(m_firstSlice, kWindow);
    ViewerDialog& dialog = viewer.Dialog();
    const test::RunSetup setup{id::kLine, 3, 8};
    test::PrepareRun(viewer, kSlices, setup);
    QStringList results;  // the line block of each slice of the range, as orvel-analyze gives it
    for (int slice = setup.first; slice <= setup.last; ++slice) {
      QStringList arguments = test::RunArguments(m_firstSlice, dialog, setup);
      arguments << "--slice" << QString::number(slice) << "--line" << test::PointsArgument(dialog.SelectionPoints());
      results << test::AsShown(test::AnalyzeText(arguments, "line"));
    }
    std::vector<test::PumpState> states;
    {
      test::SaveDialogAnswer answer;
      test::PumpRecorder recorder(dialog);
      viewer.Click(id::kCut);
      states = recorder.States();
      QVERIFY(answer.Seen());
    }
    QVERIFY(!states.empty());
    QCOMPARE(states.front().box, results.front());
    for (const test::PumpState& state : states) {
      if (state.box.isEmpty()) continue;  // the save dialog's own loop, after the run
      const int slice = kSlices - 1 - state.selectorPosition;
      const qsizetype shownSlice = results.indexOf(state.box) + setup.first;
      QVERIFY2(shownSlice >= setup.first && shownSlice <= slice, qPrintable(state.box));
    }
  }

  // Cancelled by Stop, by the slice selector or by ending the window: no dialog appears and the
  // line tool is off.
  void CancelledCutShowsNoDialog_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Stop") << "stop";
    QTest::newRow("slice selector") << "selector";
    QTest::newRow("Exit") << "exit";
    QTest::newRow("close box") << "close";
    QTest::newRow("Escape") << "escape";
  }
  void CancelledCutShowsNoDialog() {
    QFETCH(QString, how);
    test::WriteSelectionPoints({10, 20}, {150, 90});
    test::ToolsViewer viewer(m_firstSlice, kWindow);
    ViewerDialog& dialog = viewer.Dialog();
    test::PrepareRun(viewer, kSlices, {id::kLine, 0, kSlices - 1});
    test::DuringRun([&] {
      QVERIFY(Checked(dialog, id::kStart));
      QVERIFY(Checked(dialog, id::kCut));
      if (how == "stop") viewer.Click(id::kStop);
      if (how == "selector") viewer.MoveSlider(id::kSliceSelector, 3);
      if (how == "exit") viewer.Click(id::kExit);
      if (how == "close") dialog.close();
      if (how == "escape") QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    test::SaveDialogAnswer answer;
    viewer.Click(id::kCut);
    QVERIFY(!answer.Seen());
    VerifyLineToolOffAndStopped(dialog);
  }

  void UnreadableSliceStopsTheCutWithTheReadersMessage() {
    test::TemporaryDirectory data;
    const std::string first = test::MakePhantomDataset(data.Path(), {"--slices", "8", "--size", "64x48"});
    test::WriteFile(data.File("phantom0004.bmp"), std::string("BM but not a bitmap at all"));
    test::WriteSelectionPoints({10, 20}, {50, 30});
    test::ToolsViewer viewer(first, kWindow);
    test::PrepareRun(viewer, 8, {id::kLine, 0, 7});
    test::SaveDialogAnswer answer;
    viewer.Click(id::kCut);
    QVERIFY(!answer.Seen());
    QCOMPARE(viewer.dialogs.messages.size(), std::size_t{1});
    QCOMPARE(viewer.dialogs.messages.front().text, std::string("Invalid bitmap file"));
    VerifyLineToolOffAndStopped(viewer.Dialog());
  }
};

QTEST_MAIN(CutRunTest)
#include "CutRun_test.moc"
