#include "platform/qt/UserDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include "platform/Messages.h"

namespace orvel::platform {

namespace {

QString FilterOf(const FileDialogRequest& request) { return QString::fromStdString(request.filterName); }

// A save-file dialog that stays open on a name whose folder does not exist: the file could not
// be created there, and the user would learn it only from a write error after the dialog closed.
class SaveFileDialog final : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

  void accept() override {
    const QStringList chosen = selectedFiles();
    if (!chosen.isEmpty() && !QFileInfo(chosen.first()).absoluteDir().exists()) {
      QMessageBox::warning(this, windowTitle(),
                           QStringLiteral("%1\nThe folder does not exist.\nCheck the path and try again.")
                               .arg(QDir::toNativeSeparators(chosen.first())));
      return;
    }
    QFileDialog::accept();
  }
};

// Paths cross between Qt's text and our bytes through the file-name encoding, so that a name
// that is not UTF-8 survives the trip.
class QtUserDialogs final : public UserDialogs {
 public:
  void ShowMessageBox(QWidget* parent, const std::string& text, const std::string& caption) override {
    QMessageBox::information(parent, QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok);
  }

  std::optional<std::string> AskOpenFile(QWidget* parent, const FileDialogRequest& request) override {
    const QString path = QFileDialog::getOpenFileName(parent, QString::fromStdString(request.title),
                                                      QFile::decodeName(request.startFolder.c_str()), FilterOf(request),
                                                      nullptr, QFileDialog::ReadOnly);
    if (path.isEmpty()) return std::nullopt;
    return QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString();
  }

  std::optional<std::string> AskSaveFile(QWidget* parent, const FileDialogRequest& request) override {
    SaveFileDialog dialog(parent, QString::fromStdString(request.title), QFile::decodeName(request.startFolder.c_str()),
                          FilterOf(request));
    // Qt's own dialog, so that the folder check above runs while it is still open: a native one
    // may have closed by the time the answer arrives.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.promptOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath()).toStdString();
  }
};

std::unique_ptr<UserDialogs> g_replacement;

}  // namespace

UserDialogs& CurrentUserDialogs() {
  static QtUserDialogs qtDialogs;
  return g_replacement ? *g_replacement : static_cast<UserDialogs&>(qtDialogs);
}

std::unique_ptr<UserDialogs> SetUserDialogs(std::unique_ptr<UserDialogs> dialogs) {
  std::swap(g_replacement, dialogs);
  return dialogs;
}

void ShowMessagesInMessageBoxes(QWidget* parent) {
  QPointer<QWidget> owner(parent);
  SetMessageSink([owner](const std::string& text, const std::string& caption) {
    auto show = [owner, text, caption] { CurrentUserDialogs().ShowMessageBox(owner.data(), text, caption); };
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread()) show();
    else QMetaObject::invokeMethod(application, show, Qt::BlockingQueuedConnection);
  });
}

}  // namespace orvel::platform
