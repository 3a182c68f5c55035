#pragma once
// The platform's modal dialogs that ask the user something: the message box, the open-file dialog
// and the save-file dialog. They go through one replaceable object so that tests can answer them
// without a person; the default shows Qt's dialogs.
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace orvel::platform {

struct FileDialogRequest {
  std::string title;             // empty: the toolkit's default title
  std::string filterName;        // e.g. "JPG Files (*.jpg)"
  std::string pattern;           // e.g. "*.jpg"
  std::string defaultExtension;  // appended when the name the user gives has none
  bool promptOverwrite = false;  // ask before replacing an existing file
  std::string startFolder;       // the folder shown first; empty: the working directory
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // Modal, OK button only.
  virtual void ShowMessageBox(QWidget* parent, const std::string& text, const std::string& caption) = 0;
  // An absolute path, or nothing when the user cancels.
  virtual std::optional<std::string> AskOpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
  // The path's folder exists: the dialog itself refuses a name in a missing folder.
  virtual std::optional<std::string> AskSaveFile(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The dialogs in use; Qt's unless replaced.
UserDialogs& CurrentUserDialogs();
// Replaces them (tests); an empty pointer restores Qt's. Returns the previous replacement.
std::unique_ptr<UserDialogs> SetUserDialogs(std::unique_ptr<UserDialogs> dialogs);

// Routes the core's messages (file-format and dataset failures) to modal message boxes over
// parent, through CurrentUserDialogs(). Messages from other threads are shown on the GUI thread.
void ShowMessagesInMessageBoxes(QWidget* parent);

}  // namespace orvel::platform
