#include "platform/Messages.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace orvel::platform {
namespace {

void PrintToStandardError(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

std::mutex g_lock;  // worker threads of the CLI may read slices and report failures
MessageSink g_sink = PrintToStandardError;
std::string g_title = "orvel";

thread_local MessageHold* t_hold = nullptr;

}  // namespace

MessageHold::MessageHold() : m_outer(t_hold) { t_hold = this; }

MessageHold::~MessageHold() { t_hold = m_outer; }

std::vector<HeldMessage> MessageHold::Take() { return std::exchange(m_messages, {}); }

void ShowMessages(const std::vector<HeldMessage>& messages) {
  for (const HeldMessage& message : messages) ShowMessage(message.text, message.caption);
}

void ShowMessage(const std::string& text, const std::string& caption) {
  if (t_hold) {
    t_hold->m_messages.push_back({text, caption});
    return;
  }
  MessageSink sink;
  {
    std::lock_guard<std::mutex> guard(g_lock);
    sink = g_sink;
  }
  sink(text, caption);
}

void ShowFileMessage(const std::string& text) { ShowMessage(text, ApplicationTitle()); }

MessageSink SetMessageSink(MessageSink sink) {
  std::lock_guard<std::mutex> guard(g_lock);
  MessageSink previous = g_sink;
  g_sink = sink ? std::move(sink) : MessageSink(PrintToStandardError);
  return previous;
}

std::string ApplicationTitle() {
  std::lock_guard<std::mutex> guard(g_lock);
  return g_title;
}

void SetApplicationTitle(const std::string& title) {
  std::lock_guard<std::mutex> guard(g_lock);
  g_title = title;
}

}  // namespace orvel::platform
