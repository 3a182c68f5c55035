#pragma once
// The message layer: where the program's user-visible failures go. The viewer shows them in a
// modal message box, the command-line tool prints them to standard error, tests capture them.
#include <functional>
#include <string>
#include <vector>

namespace orvel::platform {

using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;

// Shows text with the given caption through the current sink (OK button only, no answer).
void ShowMessage(const std::string& text, const std::string& caption);

// Shows text with the application title as caption (file-format failures).
void ShowFileMessage(const std::string& text);

// Installs a sink and returns the previous one; an empty sink restores the standard-error sink.
MessageSink SetMessageSink(MessageSink sink);

struct HeldMessage {
  std::string text, caption;
};

// Holds back every message shown on the thread that creates it, for as long as it lives, instead
// of passing it to the sink; other threads are not affected. A reader working ahead on a worker
// thread keeps its messages this way until the program reaches that slice, then shows them on its
// own thread with ShowMessages.
class MessageHold {
 public:
  MessageHold();
  ~MessageHold();  // what was not taken is dropped
  MessageHold(const MessageHold&) = delete;
  MessageHold& operator=(const MessageHold&) = delete;

  std::vector<HeldMessage> Take();

 private:
  friend void ShowMessage(const std::string& text, const std::string& caption);
  std::vector<HeldMessage> m_messages;
  MessageHold* m_outer;  // a hold made while another one lived on the same thread
};

// Shows held messages through the current sink, in the order they were held.
void ShowMessages(const std::vector<HeldMessage>& messages);

// The application title: the executable's file name without extension.
std::string ApplicationTitle();
void SetApplicationTitle(const std::string& title);

}  // namespace orvel::platform
