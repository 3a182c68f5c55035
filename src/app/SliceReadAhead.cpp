#include "app/SliceReadAhead.h"

#include <exception>
#include <stdexcept>
#include <utility>

namespace orvel {

SliceReadAhead::SliceReadAhead(std::vector<std::string> paths, DatasetWindow* window)
    : m_paths(std::move(paths)), m_window(window), m_worker([this] { ReadAll(); }) {}

SliceReadAhead::~SliceReadAhead() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_stop = true;
  }
  m_changed.notify_all();
  m_worker.join();
}

void SliceReadAhead::ReadAll() {
  for (std::size_t i = 0; i < m_paths.size(); ++i) {
    {
      // Slice i goes where slice i - kSlots was: wait until the caller has moved past it.
      std::unique_lock<std::mutex> guard(m_lock);
      m_changed.wait(guard, [&] { return m_stop || i < m_released + kSlots; });
      if (m_stop) return;
    }
    LoadStatus status = LoadStatus::kReadFailed;
    platform::ThreadMessageCapture capture;
    try {
      status = LoadImageFile(m_paths[i], m_images[i % kSlots], m_window);
    } catch (const std::exception&) {
      // Out of memory in a reader: reported to the caller as an unreadable slice.
    }
    {
      std::lock_guard<std::mutex> guard(m_lock);
      m_status[i % kSlots] = status;
      m_messages[i % kSlots] = capture.Take();
      m_read = i + 1;
      m_failed = status != LoadStatus::kLoaded;
    }
    m_changed.notify_all();
    if (status != LoadStatus::kLoaded) return;
  }
}

LoadStatus SliceReadAhead::Next(SliceImage& image) {
  const std::size_t index = m_taken;
  if (index >= m_paths.size()) throw std::logic_error("no slice left to read");
  std::vector<platform::Message> messages;
  LoadStatus status;
  {
    std::unique_lock<std::mutex> guard(m_lock);
    m_released = index;
    m_changed.notify_all();
    m_changed.wait(guard, [&] { return m_read > index || m_failed; });
    if (m_read <= index) throw std::logic_error("no slice is read after one that failed");
    status = m_status[index % kSlots];
    messages = std::move(m_messages[index % kSlots]);
    std::swap(image, m_images[index % kSlots]);
    ++m_taken;
  }
  platform::ShowMessages(messages);
  return status;
}

}  // namespace orvel
