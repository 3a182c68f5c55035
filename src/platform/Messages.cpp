#include "platform/Messages.h"

#include <cstdio>
#include <mutex>

namespace orvel::platform {
namespace {

void PrintToStandardError(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

std::mutex g_lock;  // worker threads of the CLI may read slices and report failures
MessageSink g_sink = PrintToStandardError;
std::string g_title = "orvel";
thread_local ThreadMessageCapture* t_capture = nullptr;

}  // namespace

ThreadMessageCapture::ThreadMessageCapture() : m_outer(t_capture) { t_capture = this; }

ThreadMessageCapture::~ThreadMessageCapture() { t_capture = m_outer; }

void ShowMessage(const std::string& text, const std::string& caption) {
  if (t_capture) {
    t_capture->m_messages.push_back({text, caption});
    return;
  }
  MessageSink sink;
  {
    std::lock_guard<std::mutex> guard(g_lock);
    sink = g_sink;
  }
  sink(text, caption);
}

void ShowMessages(const std::vector<Message>& messages) {
  for (const Message& message : messages) ShowMessage(message.text, message.caption);
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
