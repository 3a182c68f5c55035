#pragma once
// Stands in for the person at the platform's modal dialogs while it lives: every message box (the
// core's messages among them) and every file dialog is recorded, and the file dialogs take the
// answers the test gave.
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/qt/UserDialogs.h"

namespace orvel::test {

class FakeDialogs {
 public:
  FakeDialogs();
  ~FakeDialogs();
  FakeDialogs(const FakeDialogs&) = delete;
  FakeDialogs& operator=(const FakeDialogs&) = delete;

  std::vector<platform::Message> messages;
  std::vector<platform::FileDialogRequest> openRequests, saveRequests;
  std::optional<std::string> openAnswer;               // every open-file dialog's answer; nothing: cancelled
  std::deque<std::optional<std::string>> saveAnswers;  // one per save-file dialog; cancelled once none is left

 private:
  std::unique_ptr<platform::UserDialogs> m_previous;
  platform::MessageSink m_previousSink;
};

}  // namespace orvel::test
