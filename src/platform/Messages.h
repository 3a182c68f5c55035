#pragma once
// The message layer: where the program's user-visible failures go. The viewer shows them in a
// modal message box, the command-line tool prints them to standard error, tests capture them.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orvel::platform {

using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;

// Shows text with the given caption through the current sink (OK button only, no answer).
void ShowMessage(const std::string& text, const std::string& caption);

// Shows text with the application title as caption (file-format failures).
void ShowFileMessage(const std::string& text);

// Installs a sink and returns the previous one; an empty sink restores the standard-error sink.
MessageSink SetMessageSink(MessageSink sink);

// One message as shown: its text and caption.
struct Message {
  std::string text;
  std::string caption;
  bool operator==(const Message&) const = default;
};

// While it lives, the messages shown on the thread that made it are collected here instead of
// reaching the sink, so that work done ahead on a worker thread can have its messages shown
// later, on the window's thread, at the moment the user reaches that work. Captures nest: the
// innermost one collects.
class ThreadMessageCapture {
 public:
  ThreadMessageCapture();
  ~ThreadMessageCapture();
  ThreadMessageCapture(const ThreadMessageCapture&) = delete;
  ThreadMessageCapture& operator=(const ThreadMessageCapture&) = delete;

  // The messages collected so far, in the order shown; the capture starts empty again.
  std::vector<Message> Take() { return std::exchange(m_messages, {}); }

 private:
  friend void ShowMessage(const std::string&, const std::string&);
  std::vector<Message> m_messages;
  ThreadMessageCapture* m_outer;
};

// Shows messages collected earlier, in their order, through the current sink.
void ShowMessages(const std::vector<Message>& messages);

// The application title: the executable's file name without extension.
std::string ApplicationTitle();
void SetApplicationTitle(const std::string& title);

}  // namespace orvel::platform
