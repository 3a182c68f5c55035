#pragma once
// Helpers shared by the tests: a temporary directory removed at the end of the test, captured
// messages, environment variables and the settings folder set for one test, whole-file access.
#include <sys/fsuid.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Messages.h"

namespace orvel::test {

class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvel-test-XXXXXX").string();
    m_path = mkdtemp(pattern.data());
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

// Collects every message shown while it lives, with the thread that showed it.
class MessageCapture {
 public:
  MessageCapture() {
    m_previous = platform::SetMessageSink([this](const std::string& text, const std::string& caption) {
      m_messages.push_back({text, caption});
      m_threads.push_back(std::this_thread::get_id());
    });
  }
  ~MessageCapture() { platform::SetMessageSink(m_previous); }
  const std::vector<platform::Message>& Messages() const { return m_messages; }
  const std::vector<std::thread::id>& Threads() const { return m_threads; }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const platform::Message& message : m_messages) texts.push_back(message.text);
    return texts;
  }

 private:
  platform::MessageSink m_previous;
  std::vector<platform::Message> m_messages;
  std::vector<std::thread::id> m_threads;
};

// Sets an environment variable (removes it for a null value) while it lives, then puts back what
// was there, so that no later test runs with another test's HOME.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : m_name(name) {
    if (const char* previous = std::getenv(name)) m_previous = previous;
    Set(value);
  }
  ~ScopedEnvironment() { Set(m_previous ? m_previous->c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  void Set(const char* value) {
    if (value) setenv(m_name.c_str(), value, 1);
    else unsetenv(m_name.c_str());
  }
  std::string m_name;
  std::optional<std::string> m_previous;
};

// Points the settings file at a folder of the test's own while it lives (through
// XDG_CONFIG_HOME), so that no test reads or writes the user's settings or another test's.
class SettingsFolder {
 public:
  SettingsFolder() : m_redirect("XDG_CONFIG_HOME", m_folder.Path().c_str()) {}
  std::string FilePath() const { return m_folder.File("orvel.ini"); }
  std::string Text() const;  // the settings file as written; empty when there is none

 private:
  TemporaryDirectory m_folder;
  ScopedEnvironment m_redirect;
};

// Root reads every file whatever its mode; while this lives, this thread reaches files as the
// unprivileged user "nobody" instead, so that a mode without read permission takes effect.
class UnprivilegedFileAccess {
 public:
  UnprivilegedFileAccess() : m_root(geteuid() == 0) {
    if (m_root) setfsuid(65534);
  }
  ~UnprivilegedFileAccess() {
    if (m_root) setfsuid(0);
  }
  UnprivilegedFileAccess(const UnprivilegedFileAccess&) = delete;
  UnprivilegedFileAccess& operator=(const UnprivilegedFileAccess&) = delete;

 private:
  bool m_root;
};

// What a function did in a child process of its own: how it ended, and how far the memory the
// child held at once (resident kilobytes) grew beyond what it held from its parent at the start.
struct ChildRun {
  bool exited = false;  // false: ended by a signal
  int status = -1;      // the function's return value
  long growthKiB = 0;
};
ChildRun RunInChild(const std::function<int()>& function);

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);
void WriteFile(const std::string& path, const std::string& text);
std::vector<unsigned char> ReadFileBytes(const std::string& path);

}  // namespace orvel::test
