#pragma once
// Answers the platform's modal dialogs in place of a person: save-file dialogs take the answers
// queued by the test (cancel once none is left), every request and message box is recorded.
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Messages.h"
#include "platform/qt/UserDialogs.h"

namespace orvel::test {

class AnsweringDialogs final : public platform::UserDialogs {
 public:
  std::deque<std::optional<std::string>> saveAnswers;
  std::vector<platform::FileDialogRequest> saveRequests;
  std::vector<std::pair<std::string, std::string>> messages;  // text, caption

  void ShowMessageBox(QWidget*, const std::string& text, const std::string& caption) override {
    messages.emplace_back(text, caption);
  }
  std::optional<std::string> AskOpenFile(QWidget*, const platform::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> AskSaveFile(QWidget*, const platform::FileDialogRequest& request) override {
    saveRequests.push_back(request);
    if (saveAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
  }
};

// Puts AnsweringDialogs in place for its lifetime, the core's messages shown through them too.
class ScopedAnsweringDialogs {
 public:
  ScopedAnsweringDialogs() {
    auto dialogs = std::make_unique<AnsweringDialogs>();
    m_dialogs = dialogs.get();
    m_previous = platform::SetUserDialogs(std::move(dialogs));
    m_previousSink = platform::SetMessageSink([](const std::string& text, const std::string& caption) {
      platform::CurrentUserDialogs().ShowMessageBox(nullptr, text, caption);
    });
  }
  ~ScopedAnsweringDialogs() {
    platform::SetMessageSink(m_previousSink);
    platform::SetUserDialogs(std::move(m_previous));
  }
  ScopedAnsweringDialogs(const ScopedAnsweringDialogs&) = delete;
  ScopedAnsweringDialogs& operator=(const ScopedAnsweringDialogs&) = delete;

  AnsweringDialogs* operator->() const { return m_dialogs; }

 private:
  AnsweringDialogs* m_dialogs = nullptr;
  std::unique_ptr<platform::UserDialogs> m_previous;
  platform::MessageSink m_previousSink;
};

}  // namespace orvel::test
