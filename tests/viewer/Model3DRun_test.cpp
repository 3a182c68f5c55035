// The "3D" button: the run over the selection range gives exactly orvel-analyze's text, shows
// every slice it reads with its progress line, and ends early, with nothing shown, whenever
// playback is stopped while it runs or a slice cannot be read.
#include <QtTest>
#include <filesystem>

#include "support/TestSupport.h"
#include "viewer/SliceView.h"
#include "viewer/ViewerTemplate.h"
#include "viewer/support/RunTestSupport.h"
#include "viewer/support/ToolsTestViewer.h"

using namespace orvel;
using namespace orvel::viewer;
using orvel::test::Checked;

namespace {

constexpr int kSlices = 16;
const QSize kWindow(700, 700);

int ThreadCount() {
  const std::filesystem::directory_iterator tasks("/proc/self/task");
  return static_cast<int>(std::distance(tasks, std::filesystem::directory_iterator()));
}

// What a run leaves when it was cancelled: nothing of the model, playback stopped, the tool
// buttons back.
void VerifyCancelled(ViewerDialog& dialog) {
  QCOMPARE(test::BoxText(dialog), QString());
  QCOMPARE(test::LabelText(dialog, id::kGraphCaption), QString());
  QVERIFY(Checked(dialog, id::kStop));
  QVERIFY(!Checked(dialog, id::kModel3D));
  for (int button : {id::kLine, id::kRectangle, id::kEllipse, id::kModel3D, id::kSizeDistribution})
    QVERIFY(dialog.Control(button)->isEnabled());
}

}  // namespace

Q_DECLARE_METATYPE(orvel::test::RunSetup)

class Model3DRunTest : public QObject {
  Q_OBJECT

  test::TemporaryDirectory m_data;
  std::string m_firstSlice;  // slice numbers step 3: each slice stands for three voxel planes

  test::RunSetup Rectangle(int first, int last) const { return {id::kRectangle, first, last}; }

 private slots:
  void initTestCase() {
    m_firstSlice = test::MakePhantomDataset(m_data.Path(),
                                            {"--slices", QString::number(kSlices), "--size", "160x120", "--step", "3"});
    test::WriteSelectionPoints({20, 15}, {140, 100});
  }

  void RunGivesTheTextOfAnalyze_data() {
    QTest::addColumn<test::RunSetup>("setup");
    QTest::newRow("rectangle, whole stack") << test::RunSetup{id::kRectangle, 0, kSlices - 1};
    QTest::newRow("ellipse, part of the stack") << test::RunSetup{id::kEllipse, 3, 11};
    QTest::newRow("binary levels") << test::RunSetup{id::kRectangle, 2, 9, id::kBinary, 60, 300};
    QTest::newRow("inverted, colour 1") << test::RunSetup{id::kEllipse, 1, 14, id::kColour1, 90, 400, true};
    QTest::newRow("one slice") << test::RunSetup{id::kRectangle, 7, 7};
  }
  void RunGivesTheTextOfAnalyze() {
    QFETCH(test::RunSetup, setup);
    test::ToolsViewer viewer(m_firstSlice, kWindow);
    ViewerDialog& dialog = viewer.Dialog();
    test::PrepareRun(viewer, kSlices, setup);
    QStringList arguments = test::RunArguments(m_firstSlice, dialog, setup);
    arguments << (setup.tool == id::kEllipse ? "--ellipse" : "--rectangle")
              << test::PointsArgument(dialog.SelectionPoints()) << "--3d";
    const std::string expected = test::AnalyzeText(arguments, "model");
    QVERIFY(expected.rfind("3D-model creation", 0) == 0);

    viewer.Click(id::kModel3D);
    QCOMPARE(test::BoxText(dialog), test::AsShown(expected));
    QVERIFY(Checked(dialog, id::kStop));
    QVERIFY(!Checked(dialog, id::kModel3D));
    for (int button : {id::kLine, id::kRectangle, id::kEllipse, id::kModel3D, id::kSizeDistribution})
      QVERIFY(dialog.Control(button)->isEnabled());
  }

  // "2D" goes off, its graph and caption with it; the run shows "Start" pressed and the tool
  // buttons disabled.
  void RunTurns2DOffAndHoldsTheToolsStill() {
    test::ToolsViewer viewer(m_firstSlice, kWindow);
    ViewerDialog& dialog = viewer.Dialog();
    test::PrepareRun(viewer, kSlices, Rectangle(0, 5));
    viewer.Click(id::kSizeDistribution);
    QVERIFY(dialog.Control(id::kGraph)->isVisible());
    bool checkedDuringRun = false;
    test::DuringRun([&] {
      checkedDuringRun = true;
      QVERIFY(Checked(dialog, id::kStart));
      QVERIFY(Checked(dialog, id::kModel3D));
      QVERIFY(!Checked(dialog, id::kSizeDistribution));
      for (int button : {id::kLine, id::kRectangle, id::kEllipse, id::kModel3D, id::kSizeDistribution})
        QVERIFY(!dialog.Control(button)->isEnabled());
      QCOMPARE(test::LabelText(dialog, id::kGraphCaption), QString());
      QVERIFY(!dialog.Control(id::kGraph)->isVisible());
    });
    viewer.Click(id::kModel3D);
    QVERIFY(checkedDuringRun);
    QVERIFY(!Checked(dialog, id::kSizeDistribution));
    QVERIFY(!dialog.Control(id::kGraph)->isVisible());
    QVERIFY(test::BoxText(dialog).startsWith("3D-model creation"));
  }

  // Every slice moves the selector and the caption, and the progress line counts it.
  void EverySliceIsShownWithItsLayerLine() {
    test::ToolsViewer viewer(m_firstSlice, kWindow);
    ViewerDialog& dialog = viewer.Dialog();
    test::PrepareRun(viewer, kSlices, Rectangle(4, 12));
    std::vector<test::PumpState> states;
    {
      test::PumpRecorder recorder(dialog);
      viewer.Click(id::kModel3D);
      states = recorder.States();
    }
    QStringList captions;
    for (const test::PumpState& state : states) {
      if (!captions.isEmpty() && captions.back() == state.caption) continue;
      captions << state.caption;
      const int slice = kSlices - 1 - state.selectorPosition;
      QCOMPARE(state.caption, QStringLiteral("phantom%1.bmp").arg(3 * slice, 4, 10, QLatin1Char('0')));
      QVERIFY2(state.box.endsWith(QStringLiteral("\nlayer %1 of 9").arg(slice - 3)), qPrintable(state.box));
    }
    QCOMPARE(captions.size(), 9);
  }

  // "Invert" is read once: a model is never thresholded two ways. The display still follows it.
  void InvertDuringTheRunChangesOnlyTheDisplay() {
    test::ToolsViewer viewer(m_firstSlice, kWindow);
    ViewerDialog& dialog = viewer.Dialog();
    const test::RunSetup setup{id::kRectangle, 0, 10, id::kBinary, 70, 330};
    test::PrepareRun(viewer, kSlices, setup);
    QStringList arguments = test::RunArguments(m_firstSlice, dialog, setup);
    arguments << "--rectangle" << test::PointsArgument(dialog.SelectionPoints()) << "--3d";
    test::DuringRun([&] { viewer.Click(id::kInvert); });
    viewer.Click(id::kModel3D);
    QVERIFY(Checked(dialog, id::kInvert));
    QCOMPARE(test::BoxText(dialog), test::AsShown(test::AnalyzeText(arguments, "model")));
  }

  // Everything that stops playback cancels the run after the slice it is on; the ways that end
  // the window end it too, and the run does not go on behind it.
  void EveryWayOfStoppingCancelsTheRun_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("windowEnds");
    QTest::newRow("Stop") << "stop" << false;
    QTest::newRow("slice selector") << "selector" << false;
    QTest::newRow("bottom limit") << "bottom" << false;
    QTest::newRow("top limit") << "top" << false;
    QTest::newRow("Exit") << "exit" << true;
    QTest::newRow("Enter") << "enter" << true;
    QTest::newRow("close box") << "close" << true;
    QTest::newRow("Escape") << "escape" << true;
    QTest::newRow("Escape after Start") << "start, escape" << true;
  }
  void EveryWayOfStoppingCancelsTheRun() {
    QFETCH(QString, how);
    QFETCH(bool, windowEnds);
    test::ToolsViewer viewer(m_firstSlice, kWindow);
    ViewerDialog& dialog = viewer.Dialog();
    dialog.SetDecodeWorkers(4);  // several of them busy when the run is cancelled
    const int threads = ThreadCount();
    test::PrepareRun(viewer, kSlices, Rectangle(0, kSlices - 1));
    std::vector<test::PumpState> states;
    test::DuringRun([&] {
      if (how == "stop") viewer.Click(id::kStop);
      if (how == "selector") viewer.MoveSlider(id::kSliceSelector, 3);
      if (how == "bottom") viewer.MoveSlider(id::kBottomLimit, kSlices - 2);
      if (how == "top") viewer.MoveSlider(id::kTopLimit, 1);
      if (how == "exit") viewer.Click(id::kExit);
      if (how == "enter") QTest::keyClick(&dialog, Qt::Key_Return);
      if (how == "close") dialog.close();
      if (how == "start, escape") viewer.Click(id::kStart);
      if (how.endsWith("escape")) QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    {
      test::PumpRecorder recorder(dialog);
      viewer.Click(id::kModel3D);
      states = recorder.States();
    }
    VerifyCancelled(dialog);
    QCOMPARE(dialog.isVisible(), !windowEnds);
    // The run stopped after its first slice: no later slice was read, and no worker is left.
    for (const test::PumpState& state : states) QVERIFY(!state.box.contains("layer 2 of"));
    QCOMPARE(ThreadCount(), threads);
  }

  // "Start" during a run gives back playback, the handles and the mouse; the run goes on with
  // the box it took at the start and stops playback when it ends. Without "Start" the mouse
  // leaves the selection alone.
  void StartDuringTheRunBringsBackTheMouse_data() {
    QTest::addColumn<bool>("start");
    QTest::newRow("Start pressed") << true;
    QTest::newRow("still running") << false;
  }
  void StartDuringTheRunBringsBackTheMouse() {
    QFETCH(bool, start);
    test::ToolsViewer viewer(m_firstSlice, kWindow);
    ViewerDialog& dialog = viewer.Dialog();
    const test::RunSetup setup = Rectangle(0, kSlices - 1);
    test::PrepareRun(viewer, kSlices, setup);
    const LinePoints before = dialog.SelectionPoints();
    QStringList arguments = test::RunArguments(m_firstSlice, dialog, setup);
    arguments << "--rectangle" << test::PointsArgument(before) << "--3d";
    bool handles = false;
    test::DuringRun([&] {
      if (start) viewer.Click(id::kStart);
      viewer.Drag(viewer.DialogPointOver(before.stop), {viewer.DialogPointOver({100, 80})});
      handles = static_cast<SliceView*>(dialog.Control(id::kImage))->Overlay().handles;
    });
    viewer.Click(id::kModel3D);
    QCOMPARE(handles, start);
    QCOMPARE(dialog.SelectionPoints().stop == PixelPoint({100, 80}), start);
    QCOMPARE(test::BoxText(dialog), test::AsShown(test::AnalyzeText(arguments, "model")));
    QVERIFY(Checked(dialog, id::kStop));
  }

  // The reader's message comes when the run reaches the slice, and the run ends there, even when
  // "Start" is pressed before the run sees playback stopped.
  void UnreadableSliceStopsTheRunWithTheReadersMessage_data() {
    QTest::addColumn<bool>("startAfterMessage");
    QTest::newRow("stopped") << false;
    QTest::newRow("Start pressed after the message") << true;
  }
  void UnreadableSliceStopsTheRunWithTheReadersMessage() {
    QFETCH(bool, startAfterMessage);
    test::TemporaryDirectory data;
    const std::string first = test::MakePhantomDataset(data.Path(), {"--slices", "8", "--size", "64x48"});
    test::WriteFile(data.File("phantom0005.bmp"), std::string("BM but not a bitmap at all"));
    test::ToolsViewer viewer(first, kWindow);
    ViewerDialog& dialog = viewer.Dialog();
    test::PrepareRun(viewer, 8, Rectangle(0, 7));
    QTimer startOnce;
    startOnce.setInterval(0);
    connect(&startOnce, &QTimer::timeout, [&] {
      if (viewer.dialogs.messages.empty()) return;
      viewer.Click(id::kStart);
      startOnce.stop();
    });
    if (startAfterMessage) startOnce.start();
    viewer.Click(id::kModel3D);
    QCOMPARE(viewer.dialogs.messages.size(), std::size_t{1});
    QCOMPARE(viewer.dialogs.messages.front().text, std::string("Invalid bitmap file"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("phantom0005.bmp"));
    QCOMPARE(test::BoxText(dialog), QString());
    QCOMPARE(Checked(dialog, id::kStart), startAfterMessage);
    if (!startAfterMessage) VerifyCancelled(dialog);
  }
};

QTEST_MAIN(Model3DRunTest)
#include "Model3DRun_test.moc"
