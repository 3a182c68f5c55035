#pragma once
// Shows an image that the program has computed (the cut along the line) at its natural size and
// saves it as a BMP or a JPEG file, the JPEG quality chosen with a slider and kept in the settings
// file. The dialog never closes by itself after a save: the same image can be saved several
// times, in both formats, until the user closes it.
#include <QDialog>
#include <string>
#include <utility>

#include "app/SettingsFile.h"
#include "image/SliceImage.h"
#include "platform/qt/DialogTemplate.h"
#include "platform/qt/UserDialogs.h"

class QLabel;
class QSlider;

namespace orvel::dialogs {

class SaveImageDialog : public QDialog {
 public:
  explicit SaveImageDialog(QWidget* parent = nullptr);
  ~SaveImageDialog() override;

  // The image to show and save, with its colour table as it is to be saved; it is shown at its
  // own size in pixels. Call before the dialog runs.
  void SetImage(SliceImage image);
  const SliceImage& Image() const { return m_image; }
  // The folder the file dialogs open in (the dataset's); empty: the working directory.
  void SetSaveFolder(std::string folder) { m_saveFolder = std::move(folder); }

  // Handlers of the two save buttons and the quality slider.
  void OnSaveJpg();
  void OnSaveBmp();
  void OnQualityScroll();

  // For tests and the accessibility layer.
  QWidget* Control(int id) const { return m_controls.Control(id); }

 protected:
  // The dialog's initialisation runs when it is first shown, once the caller has set the image.
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // The close box ends the dialog as "&Cancel" does.
  void closeEvent(QCloseEvent* event) override;
  // Escape is the cancel command, which belongs to "Save as &BMP".
  void reject() override;
  // Enter is the OK command ("&Cancel") unless a push button has the focus.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void InitialiseDialog();
  void LayOut();
  void FitPictureToScreen();
  QSize Decorations() const;
  void CentreOnScreen();
  platform::FileDialogRequest SaveRequest(const char* filterName, const char* pattern, const char* extension) const;

  SliceImage m_image;
  std::string m_saveFolder;
  int m_displayWidth = 0, m_displayHeight = 0;  // pixels
  QLabel* m_qualityLabel = nullptr;
  QSlider* m_qualitySlider = nullptr;
  QWidget* m_previewFrame = nullptr;
  QWidget* m_buttonGroup = nullptr;

  platform::IniFile m_settings;
  platform::BuiltDialog m_controls;
  bool m_initialised = false;
};

}  // namespace orvel::dialogs
