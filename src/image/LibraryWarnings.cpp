#include "image/LibraryWarnings.h"

#include <mutex>
#include <set>

#include "platform/Messages.h"

namespace orvel {

void ShowLibraryWarning(const std::string& library, const std::string& text) {
  static std::mutex lock;  // slices are read on worker threads too
  static std::set<std::string> shown;
  const std::string message = library + ": " + text;
  {
    std::lock_guard<std::mutex> guard(lock);
    if (!shown.insert(message).second) return;
  }
  platform::ShowFileMessage(message);
}

}  // namespace orvel
