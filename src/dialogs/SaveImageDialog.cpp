#include "dialogs/SaveImageDialog.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <algorithm>

#include "dialogs/SaveImageTemplate.h"
#include "image/BmpFile.h"
#include "jpeg/JpegStatus.h"
#include "platform/Messages.h"
#include "gui/IndexedImagePainter.h"
#include "platform/qt/UserDialogs.h"

namespace orvel::dialogs {

namespace {

constexpr int kMargin = 10;  // pixels between the button group, the image and the window edges
constexpr int kQualityTickStep = 25;

// Frame 1053: the image stretched over the whole frame, through its current colour table.
class ImageFrame : public QWidget {
 public:
  ImageFrame(const SliceImage& image, QWidget* parent) : QWidget(parent), m_image(image) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    gui::PaintSliceImage(painter, m_image, rect());
  }

 private:
  const SliceImage& m_image;
};

QString QualityText(int quality) { return QString::asprintf("%d%%", quality); }

}  // namespace

SaveImageDialog::SaveImageDialog(QWidget* parent) : QDialog(parent), m_settings(SettingsFilePath()) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  m_controls = platform::BuildDialog(this, SaveImageTemplate(),
                                     [this](const platform::ControlRow& row, QWidget* dialog) -> QWidget* {
                                       return row.id == id::kPreviewFrame ? new ImageFrame(m_image, dialog) : nullptr;
                                     });
  m_qualityLabel = qobject_cast<QLabel*>(Control(id::kQualityLabel));
  m_qualitySlider = qobject_cast<QSlider*>(Control(id::kQualitySlider));
  m_previewFrame = Control(id::kPreviewFrame);
  m_buttonGroup = Control(id::kButtonGroup);
  connect(m_controls.Button(id::kClose), &QAbstractButton::clicked, this, &QDialog::accept);
  connect(m_controls.Button(id::kSaveBmp), &QAbstractButton::clicked, this, [this] { OnSaveBmp(); });
  connect(m_controls.Button(id::kSaveJpg), &QAbstractButton::clicked, this, [this] { OnSaveJpg(); });
  connect(m_qualitySlider, &QSlider::valueChanged, this, [this] { OnQualityScroll(); });
}

SaveImageDialog::~SaveImageDialog() = default;

void SaveImageDialog::SetImage(SliceImage image) {
  m_image = std::move(image);
  m_displayWidth = m_image.IsEmpty() ? 0 : m_image.GetWidth();
  m_displayHeight = m_image.IsEmpty() ? 0 : m_image.GetHeight();
  m_previewFrame->update();
}

void SaveImageDialog::showEvent(QShowEvent* event) {
  if (!m_initialised) InitialiseDialog();
  m_initialised = true;
  QDialog::showEvent(event);
}

void SaveImageDialog::InitialiseDialog() {
  const int quality = ReadJpegQuality(m_settings);
  m_qualitySlider->setRange(25, 100);
  m_qualitySlider->setValue(quality);
  m_qualitySlider->setTickInterval(kQualityTickStep);
  m_qualityLabel->setText(QualityText(quality));
  LayOut();
  CentreOnScreen();
}

// The image frame takes the image's size beside the button group; the window holds both with a
// margin all round (sizes of the client area: the window manager adds its own border and caption).
// A picture too large for the screen is shown smaller, its proportions kept, so that the whole
// dialog and its buttons stay on the screen; the image saved keeps its own size.
void SaveImageDialog::LayOut() {
  FitPictureToScreen();
  m_previewFrame->resize(m_displayWidth, m_displayHeight);
  const QRect group = m_buttonGroup->geometry();
  const int width = m_displayWidth + group.width() + 3 * kMargin;
  const int height = std::max(m_displayHeight, group.height()) + kMargin + 2 * group.top() + 10;
  setFixedSize(width, height);
  m_previewFrame->move(group.width() + 2 * kMargin, m_previewFrame->y());
}

void SaveImageDialog::FitPictureToScreen() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen || m_displayWidth <= 0 || m_displayHeight <= 0) return;
  const QRect group = m_buttonGroup->geometry();
  const QSize room = screen->availableGeometry().size() - Decorations() -
                     QSize(group.width() + 3 * kMargin, kMargin + 2 * group.top() + 10);
  if (m_displayWidth <= room.width() && m_displayHeight <= room.height()) return;
  const double scale = std::min(static_cast<double>(room.width()) / m_displayWidth,
                                static_cast<double>(room.height()) / m_displayHeight);
  m_displayWidth = std::max(1, static_cast<int>(m_displayWidth * scale));
  m_displayHeight = std::max(1, static_cast<int>(m_displayHeight * scale));
}

// The frame the window manager will add, as it framed the window this dialog belongs to; none
// known before the dialog is shown otherwise.
QSize SaveImageDialog::Decorations() const {
  const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  return owner ? owner->frameGeometry().size() - owner->geometry().size() : QSize(0, 0);
}

void SaveImageDialog::CentreOnScreen() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  const QSize outer = size() + Decorations();
  move(available.left() + (available.width() - outer.width()) / 2,
       available.top() + (available.height() - outer.height()) / 2);
}

// The frame keeps the image's proportions at its width: its height follows from it.
void SaveImageDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const int displayWidth = std::max(m_displayWidth, 1);
  m_previewFrame->resize(m_previewFrame->width(), m_displayHeight * m_previewFrame->width() / displayWidth);
}

void SaveImageDialog::closeEvent(QCloseEvent* event) {
  accept();
  event->accept();
}

void SaveImageDialog::reject() { OnSaveBmp(); }

void SaveImageDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter || event->modifiers() & ~Qt::KeypadModifier) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
  else accept();
}

void SaveImageDialog::OnQualityScroll() { m_qualityLabel->setText(QualityText(m_qualitySlider->value())); }

platform::FileDialogRequest SaveImageDialog::SaveRequest(const char* filterName, const char* pattern,
                                                         const char* extension) const {
  return {"", filterName, pattern, extension, true, m_saveFolder};
}

void SaveImageDialog::OnSaveBmp() {
  const auto path = platform::CurrentUserDialogs().AskSaveFile(this, SaveRequest("BMP Files (*.bmp)", "*.bmp", "bmp"));
  if (!path) return;
  SaveBmpFile(m_image, *path);  // shows "write error" itself; an existing file stays as it was
}

// The quality is kept whatever the write gives, as the next save will most likely want it again.
void SaveImageDialog::OnSaveJpg() {
  const auto path = platform::CurrentUserDialogs().AskSaveFile(this, SaveRequest("JPG Files (*.jpg)", "*.jpg", "jpg"));
  if (!path) return;
  const int quality = m_qualitySlider->value();
  int status = jpeg::kSuccess;
  if (!m_image.WriteJpeg(*path, quality, &status)) platform::ShowFileMessage(jpeg::JpegStatusText(status));
  WriteJpegQuality(m_settings, quality);
}

}  // namespace orvel::dialogs
