#include "viewer/support/FakeDialogs.h"

namespace orvel::test {

namespace {

// What the platform layer owns and calls; it hands everything to the test's FakeDialogs.
class Answering final : public platform::UserDialogs {
 public:
  explicit Answering(FakeDialogs& fake) : m_fake(fake) {}
  void ShowMessageBox(QWidget*, const std::string& text, const std::string& caption) override {
    m_fake.messages.push_back({text, caption});
  }
  std::optional<std::string> AskOpenFile(QWidget*, const platform::FileDialogRequest& request) override {
    m_fake.openRequests.push_back(request);
    return m_fake.openAnswer;
  }
  std::optional<std::string> AskSaveFile(QWidget*, const platform::FileDialogRequest& request) override {
    m_fake.saveRequests.push_back(request);
    if (m_fake.saveAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = m_fake.saveAnswers.front();
    m_fake.saveAnswers.pop_front();
    return answer;
  }

 private:
  FakeDialogs& m_fake;
};

}  // namespace

FakeDialogs::FakeDialogs()
    : m_previous(platform::SetUserDialogs(std::make_unique<Answering>(*this))),
      m_previousSink(platform::SetMessageSink({})) {
  platform::ShowMessagesInMessageBoxes(nullptr);
}

FakeDialogs::~FakeDialogs() {
  platform::SetMessageSink(m_previousSink);
  platform::SetUserDialogs(std::move(m_previous));
}

}  // namespace orvel::test
