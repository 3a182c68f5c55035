// A dataset with one damaged slice in the middle, played through in the viewer: a BMP or TIFF
// slice its reader refuses stops playback with the reader's message, once, at the step that shows
// it; a JPEG slice, or a file that cannot be opened at all, is passed over. Either way the window
// stays usable afterwards: playback goes on past the slice, the display modes redraw, the tools
// measure the good slices, and a 3D run or a cut over the damaged slice ends as a failed read
// ends it, or gives its result when the slice still holds a picture.
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>
#include <filesystem>

#include "image/ByteOrder.h"
#include "support/BmpBuilder.h"
#include "support/JpegBuilder.h"
#include "support/TiffBuilder.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"
#include "viewer/support/PlaybackTestSupport.h"
#include "viewer/support/RunTestSupport.h"
#include "viewer/support/ToolsTestViewer.h"
#include "viewer/support/ViewerTestSupport.h"

using namespace orvel;
using namespace orvel::viewer;
using orvel::test::Click;
using orvel::test::MoveSlider;

namespace {

constexpr int kSlices = 5, kSize = 32, kDamaged = 2;
const QString kLevels = "100,300";  // the threshold window 100 .. 150: part of every slice

// Where the entropy-coded data of the first scan begins, just past its header; 0 without one.
std::size_t JpegScanData(const test::Bytes& stream) {
  for (std::size_t at = 2; at + 3 < stream.size(); ++at)
    if (stream[at] == 0xFF && stream[at + 1] == 0xDA) return at + 2 + (stream[at + 2] << 8 | stream[at + 3]);
  return 0;
}

// The good file of the slice cut short inside its headers, or halfway through its pixels.
test::Bytes CutShort(const test::Bytes& whole, const std::string& format, bool inPixels) {
  std::size_t keep = 0;
  if (format == "bmp") keep = inPixels ? LoadLe32(&whole[10]) + kSize * kSize / 2 : 14 + 20;
  if (format == "tif") keep = inPixels ? 16 + kSize * kSize / 2 : 12;  // the maker field ends at 16
  if (format == "jpg") {
    const std::size_t scan = JpegScanData(whole);
    keep = inPixels ? scan + (whole.size() - scan) / 2 : scan / 2;
  }
  return {whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep)};
}

// A slice file of the format with a size no picture can have: none at all, or more than 4 GB.
test::Bytes ImpossibleSize(const std::string& format, bool huge) {
  const int width = huge ? 65535 : 0, height = huge ? 65535 : kSize;
  if (format == "bmp") {
    test::BmpLayout layout;
    layout.width = huge ? 65536 : 0;
    layout.height = huge ? 65536 : kSize;
    layout.pixels = test::Bytes(64, 7);
    return test::BuildBmp(layout);
  }
  if (format == "tif") {
    test::TiffLayout layout;
    layout.width = width;
    layout.height = height;
    layout.pixels = test::Bytes(64, 7);
    return test::BuildTiff(layout);
  }
  test::JpegFrameLayout frame;
  frame.width = width;
  frame.height = height;
  test::Bytes stream = test::JpegFrameHeader(frame);
  test::AppendJpegScan(stream, {1}, 0, 63, 0, {0x00});
  test::AppendJpegMarker(stream, 0xD9);
  return stream;
}

// Puts the damage in place of slice index, after the dataset was discovered.
void Damage(const Dataset& dataset, int index, const std::string& format, const QString& damage) {
  const std::string path = dataset.slicePaths[index];
  if (damage == "header cut short") test::WriteFile(path, CutShort(test::ReadFileBytes(path), format, false));
  if (damage == "pixels cut short") test::WriteFile(path, CutShort(test::ReadFileBytes(path), format, true));
  if (damage == "no size") test::WriteFile(path, ImpossibleSize(format, false));
  if (damage == "huge size") test::WriteFile(path, ImpossibleSize(format, true));
  if (damage == "empty") test::WriteFile(path, std::string());
  if (damage == "unreadable") chmod(path.c_str(), 0);
  if (damage == "vanished" || damage == "a directory" || damage == "a FIFO") std::filesystem::remove(path);
  if (damage == "a directory") std::filesystem::create_directory(path);
  if (damage == "a FIFO") mkfifo(path.c_str(), 0644);  // opened the ordinary way, it waits for a writer
}

// The colour the frame shows for image pixel (x, y), y from the top. The frame shows pixel
// floor(t x kSize / extent) at its position t: the first t that shows a pixel is the ceiling.
QRgb ShownColour(const ViewerDialog& viewer, int x, int y) {
  QWidget* frame = viewer.Control(id::kImage);
  const QRect content = frame->contentsRect();
  return test::Grab(frame).pixel(content.left() + (x * content.width() + kSize - 1) / kSize,
                                 content.top() + (y * content.height() + kSize - 1) / kSize);
}

int ShownGreyInRow(const ViewerDialog& viewer, int row) { return qGreen(ShownColour(viewer, 0, row)); }

// An 8-bit BMP of kSize x kSize with a colour table of colours entries (entry i: blue i, green
// 255 - i, red i / 2) whose pixels take every value 0 .. 255: image pixel (x, y) holds
// (x + kSize y) mod 256.
test::Bytes EveryValueBmp(int colours) {
  test::BmpLayout layout;
  layout.width = layout.height = kSize;
  layout.colours = colours;
  for (int fileRow = 0; fileRow < kSize; ++fileRow)  // the bottom row first
    for (int x = 0; x < kSize; ++x)
      layout.pixels.push_back(static_cast<unsigned char>(x + kSize * (kSize - 1 - fileRow)));
  test::Bytes bytes = test::BuildBmp(layout);
  StoreLe32(&bytes[14 + 32], static_cast<std::uint32_t>(colours));  // colours used
  return bytes;
}

QImage ColourBar(const ViewerDialog& viewer) { return test::Grab(viewer.Control(id::kColourBar)); }

std::vector<platform::Message> Times(int count, const QString& message) {
  if (message.isEmpty()) return {};
  return std::vector<platform::Message>(static_cast<std::size_t>(count), {message.toStdString(), "orvel"});
}

}  // namespace

class DamagedSliceTest : public QObject {
  Q_OBJECT

 private slots:
  // stops: playback stops at the slice; message: the reader's, if any; partRow: the image row
  // (from the top) that a partly read slice still shows, -1 when it shows nothing. A slice that
  // holds a picture is sampled by the long runs; any other ends them.
  void PlayingThroughADamagedSlice_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("stops");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("partRow");
    const QString bitmap = "Invalid bitmap file", tiff = "Invalid tiff file";
    struct Row {
      const char* damage;
      bool bmpStops;
      QString bmpMessage;
      bool tifStops;
      QString tifMessage;
    };
    const Row rows[] = {
        {"header cut short", true, bitmap, true, tiff},
        {"pixels cut short", false, "", true, tiff},  // a BMP keeps the rows before the cut
        {"no size", true, bitmap, true, tiff},
        {"huge size", true, bitmap, true, tiff},
        {"empty", true, "", true, tiff},        // too short for a bitmap file header: no message
        {"a directory", false, "", false, ""},  // files that cannot be opened are passed over
        {"unreadable", false, "", false, ""},
        {"a FIFO", false, "", false, ""},
        {"vanished", false, "", false, ""},
    };
    for (const Row& row : rows) {
      const bool pixels = QString(row.damage) == "pixels cut short";
      QTest::addRow("bmp, %s", row.damage) << "bmp" << row.damage << row.bmpStops << row.bmpMessage
                                           << (pixels ? kSize - 4 : -1);  // the bottom rows come first
      QTest::addRow("tif, %s", row.damage) << "tif" << row.damage << row.tifStops << row.tifMessage << -1;
      QTest::addRow("jpg, %s", row.damage) << "jpg" << row.damage << false << QString() << (pixels ? 0 : -1);
    }
  }

  void PlayingThroughADamagedSlice() {
    QFETCH(QString, format);
    QFETCH(QString, damage);
    QFETCH(bool, stops);
    QFETCH(QString, message);
    QFETCH(int, partRow);
    if (damage == "unreadable" && geteuid() == 0)
      QSKIP(
          "running as root, which reads every file whatever its mode; the viewer reads slices on worker "
          "threads, which a per-thread file identity does not reach; ctest runs these rows again as nobody");
    const int tolerance = format == "jpg" ? 3 : 0;
    const test::DatasetOptions options{format.toStdString(), kSlices, kSize, kSize};
    test::ViewerFixture fixture(options);
    test::TemporaryDirectory pristineDir;
    const Dataset pristine = test::WriteDataset(pristineDir, options);
    Damage(fixture.dataset, kDamaged, options.format, damage);
    ViewerDialog& viewer = fixture.Start();

    // Playback reaches the slice; a message waits for the step that shows it.
    test::Step(viewer);
    QCOMPARE(test::SelectedSlice(viewer), 1);
    test::WaitForReadAhead(viewer, 2);
    QVERIFY(fixture.dialogs.messages.empty());
    test::Step(viewer);
    QCOMPARE(test::SelectedSlice(viewer), kDamaged);
    QCOMPARE(viewer.windowTitle(), QString("s0002"));
    QCOMPARE(fixture.dialogs.messages, Times(1, message));
    QCOMPARE(test::Playing(viewer), !stops);
    if (partRow < 0) {
      QCOMPARE(test::ShownSlice(viewer), -1);
    } else {
      QVERIFY(std::abs(ShownGreyInRow(viewer, partRow) - test::SlicePixel(0, partRow, kDamaged)) <= tolerance);
    }

    // The display modes redraw over it, the colour bar as over any slice.
    Click(viewer, id::kColour1);
    const QImage colour1Bar = ColourBar(viewer);
    Click(viewer, id::kBinary);
    const QImage binaryBar = ColourBar(viewer);
    Click(viewer, id::kOriginal);

    // Start plays on past it; the message is not shown again.
    Click(viewer, id::kStart);
    test::Step(viewer);
    QCOMPARE(test::SelectedSlice(viewer), kDamaged + 1);
    QCOMPARE(test::ShownSlice(viewer, tolerance), kDamaged + 1);
    QVERIFY(test::Playing(viewer));
    QCOMPARE(fixture.dialogs.messages, Times(1, message));
    Click(viewer, id::kColour1);
    QCOMPARE(ColourBar(viewer), colour1Bar);
    Click(viewer, id::kBinary);
    QCOMPARE(ColourBar(viewer), binaryBar);

    // A rectangle on the good slice measures what it measures in the undamaged dataset.
    Click(viewer, id::kStop);
    MoveSlider(viewer, id::kLowerLevel, kLevels.section(',', 0, 0).toInt());
    MoveSlider(viewer, id::kUpperLevel, kLevels.section(',', 1, 1).toInt());
    Click(viewer, id::kRectangle);
    Click(viewer, id::kSizeDistribution);
    const QString rectangle = test::PointsArgument(viewer.SelectionPoints());
    const std::string area = test::AnalyzeText({QString::fromStdString(pristine.slicePaths.front()), "--slice", "3",
                                                "--levels", kLevels, "--rectangle", rectangle, "--2d"},
                                               "area");
    QVERIFY(area.rfind("Total Area: ", 0) == 0);
    QCOMPARE(viewer.ResultsText(), area);

    // A 3D run over the damaged slice: the model of what the slices hold, or nothing.
    MoveSlider(viewer, id::kBottomLimit, kSlices - 1 - (kDamaged - 1));
    MoveSlider(viewer, id::kTopLimit, kSlices - 1 - (kDamaged + 1));
    Click(viewer, id::kModel3D);
    QVERIFY(test::Checked(viewer, id::kStop));
    if (partRow >= 0) {
      const QStringList arguments{QString::fromStdString(fixture.dataset.slicePaths.front()),
                                  "--range",
                                  "1,3",
                                  "--levels",
                                  kLevels,
                                  "--rectangle",
                                  rectangle,
                                  "--3d"};
      QCOMPARE(test::BoxText(viewer), test::AsShown(test::AnalyzeText(arguments, "model")));
    } else {
      QCOMPARE(test::BoxText(viewer), QString());
      QCOMPARE(viewer.windowTitle(), QStringLiteral("s0002.%1").arg(format));
    }
    QCOMPARE(fixture.dialogs.messages, Times(partRow >= 0 ? 1 : 2, message));
    for (int button : {id::kLine, id::kRectangle, id::kEllipse, id::kModel3D, id::kSizeDistribution})
      QVERIFY(viewer.Control(button)->isEnabled());

    // A cut over it: the save dialog with the cut, or nothing.
    Click(viewer, id::kLine);
    test::SaveDialogAnswer answer;
    Click(viewer, id::kCut);
    QCOMPARE(answer.Seen(), partRow >= 0);
    if (answer.Seen()) QCOMPARE(answer.Image().GetHeight(), 3);
    QCOMPARE(fixture.dialogs.messages, Times(partRow >= 0 ? 1 : 3, message));
    QVERIFY(!test::Checked(viewer, id::kLine));
    QVERIFY(viewer.Control(id::kLine)->isEnabled());
  }

  // A slice whose pixels point past its colour table, in the middle of a dataset: every display
  // mode shows the pixels the table covers in its colours and the others black, and the line,
  // the 2D and the 3D analysis measure its grey values as they measure the same pixels with a
  // whole table (orvel-analyze takes no slice with a short table).
  void PixelsPastAShortColourTable() {
    test::ViewerFixture fixture({"bmp", kSlices, kSize, kSize});
    test::WriteFile(fixture.dataset.slicePaths[kDamaged], EveryValueBmp(16));
    test::TemporaryDirectory wholeTableDir;
    const Dataset wholeTable = test::WriteDataset(wholeTableDir, {"bmp", kSlices, kSize, kSize});
    test::WriteFile(wholeTable.slicePaths[kDamaged], EveryValueBmp(256));
    ViewerDialog& viewer = fixture.Start();
    Click(viewer, id::kStop);
    viewer.show();
    viewer.resize(600, 700);  // every slice pixel on screen
    QCoreApplication::processEvents();
    MoveSlider(viewer, id::kSliceSelector, kSlices - 1 - kDamaged);
    QCOMPARE(viewer.windowTitle(), QString("s0002.bmp"));
    QVERIFY(fixture.dialogs.messages.empty());
    QCOMPARE(ShownColour(viewer, 3, 0), qRgb(1, 252, 3));  // entry 3 of the file's table
    for (bool invert : {false, true}) {
      if (invert) Click(viewer, id::kInvert);
      for (int mode : {id::kOriginal, id::kGreyscale, id::kColour1, id::kColour2, id::kBinary}) {
        Click(viewer, mode);
        for (const QPoint past : {QPoint(16, 0), QPoint(31, 7)})  // values 16 and 255
          QCOMPARE(ShownColour(viewer, past.x(), past.y()), qRgb(0, 0, 0));
      }
    }
    Click(viewer, id::kInvert);
    MoveSlider(viewer, id::kLowerLevel, kLevels.section(',', 0, 0).toInt());
    MoveSlider(viewer, id::kUpperLevel, kLevels.section(',', 1, 1).toInt());

    const QStringList context{
        QString::fromStdString(wholeTable.slicePaths.front()), "--slice", "2", "--range", "1,3", "--levels", kLevels};
    Click(viewer, id::kLine);
    MoveSlider(viewer, id::kBottomLimit, kSlices - 1 - (kDamaged - 1));
    MoveSlider(viewer, id::kTopLimit, kSlices - 1 - (kDamaged + 1));
    const QString line = test::PointsArgument(viewer.SelectionPoints());
    QCOMPARE(viewer.ResultsText(), test::AnalyzeText(context + QStringList{"--line", line}, "line"));
    Click(viewer, id::kRectangle);
    Click(viewer, id::kSizeDistribution);
    const QStringList rectangle = context + QStringList{"--rectangle", line};
    QCOMPARE(viewer.ResultsText(), test::AnalyzeText(rectangle + QStringList{"--2d"}, "area"));
    Click(viewer, id::kModel3D);
    QCOMPARE(test::BoxText(viewer), test::AsShown(test::AnalyzeText(rectangle + QStringList{"--3d"}, "model")));
    QVERIFY(fixture.dialogs.messages.empty());
  }
};

QTEST_MAIN(DamagedSliceTest)
#include "DamagedSlice_test.moc"
