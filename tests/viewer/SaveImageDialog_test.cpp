// The save image dialog: the image at its natural size beside the buttons, saves in both formats
// that read back as the image, the JPEG quality kept in the settings file, and the keys and
// buttons that save or end the dialog.
#include <QScreen>
#include <QtTest>
#include <filesystem>
#include <optional>

#include "app/ImageLoader.h"
#include "app/SettingsFile.h"
#include "dialogs/SaveImageDialog.h"
#include "dialogs/SaveImageTemplate.h"
#include "support/TestSupport.h"
#include "viewer/support/Controls.h"
#include "viewer/support/FakeDialogs.h"

using namespace orvel;
using dialogs::SaveImageDialog;
using platform::IniFile;
using test::Click;
namespace id = dialogs::id;

namespace {

// An 8-bit picture with a colour table of its own (no grey ramp) and a resolution, as a cut is.
SliceImage MakePicture(int width, int height, std::int32_t pelsPerMeter) {
  SliceImage image;
  image.Create(width, height, 8, false);
  std::uint8_t* table = image.GetColourTable();
  for (int i = 0; i < 256; ++i) {
    table[4 * i] = static_cast<std::uint8_t>(i);            // blue
    table[4 * i + 1] = static_cast<std::uint8_t>(255 - i);  // green
    table[4 * i + 2] = static_cast<std::uint8_t>(i / 2);    // red
  }
  image.UpdatePalette();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.SetPixel(x, y, static_cast<std::uint8_t>((x * 7 + y * 13) % 256));
  image.SetXPelsPerMeter(pelsPerMeter);
  image.SetYPelsPerMeter(pelsPerMeter);
  return image;
}

QSlider* QualitySlider(const SaveImageDialog& dialog) { return test::Slider(dialog, id::kQualitySlider); }
QString QualityLabel(const SaveImageDialog& dialog) { return test::LabelText(dialog, id::kQualityLabel); }

}  // namespace

class SaveImageDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Every case starts with its own settings folder and its dialogs answered by the test.
  void init() {
    m_settings.emplace();
    m_dialogs.emplace();
  }
  void cleanup() {
    m_shown.reset();
    m_dialogs.reset();
    m_settings.reset();
  }

  void QualityStartsFromTheSettingsFile_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("none") << QString() << 75;
    QTest::newRow("40") << "40" << 40;
    QTest::newRow("25") << "25" << 25;
    QTest::newRow("100") << "100" << 100;
    QTest::newRow("24") << "24" << 75;
    QTest::newRow("101") << "101" << 75;
  }
  void QualityStartsFromTheSettingsFile() {
    QFETCH(QString, stored);
    QFETCH(int, shown);
    IniFile settings(SettingsFilePath());
    if (!stored.isNull()) settings.WriteString("JPEG", "Quality", stored.toStdString());
    SaveImageDialog& dialog = Show(MakePicture(40, 30, 0));
    QCOMPARE(QualitySlider(dialog)->value(), shown);
    QCOMPARE(QualityLabel(dialog), QStringLiteral("%1%").arg(shown));
    QCOMPARE(QualitySlider(dialog)->minimum(), 25);
    QCOMPARE(QualitySlider(dialog)->maximum(), 100);
    QCOMPARE(QualitySlider(dialog)->tickInterval(), 25);
  }

  void SliderMovesTheLabel() {
    SaveImageDialog& dialog = Show(MakePicture(40, 30, 0));
    QTest::keyClick(QualitySlider(dialog), Qt::Key_End);
    QCOMPARE(QualityLabel(dialog), QStringLiteral("100%"));
    QTest::keyClick(QualitySlider(dialog), Qt::Key_Left);
    QCOMPARE(QualityLabel(dialog), QStringLiteral("99%"));
  }

  // The window holds the button group and the image side by side, 10 pixels apart and from the
  // edges; the taller of the two sets the height.
  void ImageIsShownAtItsNaturalSize_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("wide and low") << 300 << 20;
    QTest::newRow("tall") << 120 << 400;
    QTest::newRow("one pixel") << 1 << 1;
  }
  void ImageIsShownAtItsNaturalSize() {
    QFETCH(int, width);
    QFETCH(int, height);
    SaveImageDialog& dialog = Show(MakePicture(width, height, 0));
    const QRect group = dialog.Control(id::kButtonGroup)->geometry();
    const QRect frame = dialog.Control(id::kPreviewFrame)->geometry();
    QCOMPARE(frame.size(), QSize(width, height));
    QCOMPARE(frame.x(), group.width() + 20);
    QCOMPARE(dialog.width(), width + group.width() + 30);
    QCOMPARE(dialog.height(), std::max(height, group.height()) + 2 * group.top() + 20);
    QCOMPARE(dialog.Control(id::kPreviewFrame)->accessibleName(), QStringLiteral("Image"));
    QCOMPARE(QualitySlider(dialog)->accessibleName(), QStringLiteral("JPEG quality"));
  }

  // A cut across thousands of slices or of a huge slice: the dialog and its buttons stay on the
  // screen with the picture shown smaller, in proportion, and the file saved keeps its full size.
  void APictureLargerThanTheScreenFitsItAndIsSavedWhole() {
    test::TemporaryDirectory dir;
    QWidget viewer;  // the window the dialog belongs to, whose frame it expects
    viewer.show();
    for (const QSize size : {QSize(20160, 30), QSize(40, 10020)}) {
      const SliceImage picture = MakePicture(size.width(), size.height(), 0);
      SaveImageDialog dialog(&viewer);
      dialog.SetImage(picture);
      dialog.show();
      QVERIFY(dialog.screen()->availableGeometry().contains(dialog.frameGeometry()));
      const QSize shown = dialog.Control(id::kPreviewFrame)->size();
      QVERIFY(std::abs(shown.width() * size.height() - shown.height() * size.width()) <= size.width() + size.height());
      m_dialogs->saveAnswers.push_back(dir.File("cut.bmp"));
      Click(dialog, id::kSaveBmp);
      SliceImage back;
      QCOMPARE(LoadImageFile(dir.File("cut.bmp"), back), LoadStatus::kLoaded);
      QCOMPARE(back.GetSize(), picture.GetSize());
    }
  }

  // The frame paints the picture through its colour table, bottom-up rows the right way up.
  void FramePaintsThePictureInItsColours() {
    const SliceImage picture = MakePicture(30, 20, 0);
    SaveImageDialog& dialog = Show(picture);
    const QImage shown = dialog.Control(id::kPreviewFrame)->grab().toImage();
    QCOMPARE(shown.size(), QSize(30, 20));
    for (const QPoint point : {QPoint(0, 0), QPoint(29, 0), QPoint(5, 19), QPoint(17, 11)}) {
      const std::uint8_t index = picture.GetPixel(point.x(), 19 - point.y());
      QCOMPARE(shown.pixel(point), qRgb(index / 2, 255 - index, index));
    }
  }

  void BmpSaveReadsBackAsTheImage() {
    test::TemporaryDirectory dir;
    const SliceImage picture = MakePicture(301, 17, 3937);
    SaveImageDialog& dialog = Show(picture);
    m_dialogs->saveAnswers.push_back(dir.File("cut.bmp"));
    Click(dialog, id::kSaveBmp);
    QCOMPARE(m_dialogs->saveRequests.size(), std::size_t{1});
    const platform::FileDialogRequest& request = m_dialogs->saveRequests.front();
    QCOMPARE(request.filterName, std::string("BMP Files (*.bmp)"));
    QCOMPARE(request.defaultExtension, std::string("bmp"));
    QVERIFY(request.promptOverwrite);
    QVERIFY(dialog.isVisible());

    SliceImage back;
    QCOMPARE(LoadImageFile(dir.File("cut.bmp"), back), LoadStatus::kLoaded);
    QCOMPARE(back.GetSize(), picture.GetSize());
    QCOMPARE(back.GetXPelsPerMeter(), 3937);
    QCOMPARE(back.GetYPelsPerMeter(), 3937);
    QVERIFY(std::equal(picture.GetBits(), picture.GetBits() + picture.GetImageBytes(), back.GetBits()));
    QVERIFY(std::equal(picture.GetColourTable(), picture.GetColourTable() + 1024, back.GetColourTable()));
    QVERIFY(m_dialogs->messages.empty());
  }

  // The JFIF header carries dots per inch: the resolution comes back through two truncations.
  void JpegSaveKeepsSizeAndRoundsTheResolution() {
    test::TemporaryDirectory dir;
    SaveImageDialog& dialog = Show(MakePicture(301, 17, 3937));
    QualitySlider(dialog)->setValue(40);
    m_dialogs->saveAnswers.push_back(dir.File("cut.jpg"));
    Click(dialog, id::kSaveJpg);
    const platform::FileDialogRequest& request = m_dialogs->saveRequests.front();
    QCOMPARE(request.filterName, std::string("JPG Files (*.jpg)"));
    QCOMPARE(request.defaultExtension, std::string("jpg"));
    QVERIFY(request.promptOverwrite);
    QVERIFY(dialog.isVisible());

    SliceImage back;
    QCOMPARE(LoadImageFile(dir.File("cut.jpg"), back), LoadStatus::kLoaded);
    QCOMPARE(back.GetSize(), (std::pair<int, int>(301, 17)));
    const int dotsPerInch = static_cast<int>(3937 * 2.54 / 100);  // 99
    const int pelsPerMeter = static_cast<int>(dotsPerInch * 39.37007874015748);
    QCOMPARE(back.GetXPelsPerMeter(), pelsPerMeter);
    QCOMPARE(back.GetYPelsPerMeter(), pelsPerMeter);
    QCOMPARE(IniFile(SettingsFilePath()).GetString("JPEG", "Quality"), std::optional<std::string>("40"));

    SaveImageDialog next;
    next.SetImage(MakePicture(10, 10, 0));
    next.show();
    QCOMPARE(QualitySlider(next)->value(), 40);
    QCOMPARE(QualityLabel(next), QStringLiteral("40%"));
  }

  // Nothing is written, nor the quality stored, when the user cancels the file dialog.
  void CancelledFileDialogSavesNothing() {
    SaveImageDialog& dialog = Show(MakePicture(10, 10, 0));
    QualitySlider(dialog)->setValue(60);
    Click(dialog, id::kSaveJpg);
    Click(dialog, id::kSaveBmp);
    QCOMPARE(m_dialogs->saveRequests.size(), std::size_t{2});
    QVERIFY(!IniFile(SettingsFilePath()).GetString("JPEG", "Quality"));
    QVERIFY(m_dialogs->messages.empty());
  }

  // A JPEG that could not be written says so with the codec's text (the quality is still kept);
  // a BMP says "write error". Either way an existing file keeps its contents.
  void FailedSavesSayWhy() {
    test::TemporaryDirectory dir;
    SaveImageDialog& dialog = Show(MakePicture(10, 10, 0));
    QualitySlider(dialog)->setValue(55);
    m_dialogs->saveAnswers.push_back(dir.File("missing/cut.jpg"));
    Click(dialog, id::kSaveJpg);
    m_dialogs->saveAnswers.push_back(dir.File("missing/cut.bmp"));
    Click(dialog, id::kSaveBmp);
    QCOMPARE(m_dialogs->messages.size(), std::size_t{2});
    QCOMPARE(m_dialogs->messages[0].text, std::string("Invalid file name"));
    QCOMPARE(m_dialogs->messages[1].text, std::string("write error"));
    QCOMPARE(IniFile(SettingsFilePath()).GetString("JPEG", "Quality"), std::optional<std::string>("55"));
    QVERIFY(dialog.isVisible());
  }

  // Escape is the cancel command, which the BMP button carries: it saves, and the dialog stays.
  void EscapeStartsTheBmpSave() {
    test::TemporaryDirectory dir;
    SaveImageDialog& dialog = Show(MakePicture(10, 10, 0));
    m_dialogs->saveAnswers.push_back(dir.File("escape.bmp"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(m_dialogs->saveRequests.size(), std::size_t{1});
    QCOMPARE(m_dialogs->saveRequests.front().filterName, std::string("BMP Files (*.bmp)"));
    QVERIFY(std::filesystem::exists(dir.File("escape.bmp")));
    QVERIFY(dialog.isVisible());
  }

  void CancelEnterAndTheCloseBoxEndTheDialog_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("close box") << "close";
  }
  void CancelEnterAndTheCloseBoxEndTheDialog() {
    QFETCH(QString, how);
    SaveImageDialog& dialog = Show(MakePicture(10, 10, 0));
    dialog.Control(id::kQualitySlider)->setFocus();
    if (how == "cancel") Click(dialog, id::kClose);
    if (how == "enter") QTest::keyClick(dialog.Control(id::kQualitySlider), Qt::Key_Return);
    if (how == "close") dialog.close();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), 1);
    QVERIFY(m_dialogs->saveRequests.empty());
  }

  // Enter on a focused button presses that button, as Space does.
  void EnterPressesTheFocusedButton() {
    SaveImageDialog& dialog = Show(MakePicture(10, 10, 0));
    dialog.Control(id::kSaveJpg)->setFocus();
    QTest::keyClick(dialog.Control(id::kSaveJpg), Qt::Key_Return);
    QCOMPARE(m_dialogs->saveRequests.size(), std::size_t{1});
    QCOMPARE(m_dialogs->saveRequests.front().defaultExtension, std::string("jpg"));
    QVERIFY(dialog.isVisible());
  }

 private:
  // The dialog shown with the picture, as a cut shows it.
  SaveImageDialog& Show(const SliceImage& picture) {
    m_shown.emplace();
    m_shown->SetImage(picture);
    m_shown->show();
    return *m_shown;
  }

  std::optional<test::SettingsFolder> m_settings;
  std::optional<test::FakeDialogs> m_dialogs;
  std::optional<SaveImageDialog> m_shown;
};

QTEST_MAIN(SaveImageDialogTest)
#include "SaveImageDialog_test.moc"
