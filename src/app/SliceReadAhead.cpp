#include "app/SliceReadAhead.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>

namespace orvel {

SliceReadAhead::SliceReadAhead(std::vector<std::string> paths, DatasetWindow* window, int workers,
                               platform::ProcessorShare* share)
    : m_paths(std::move(paths)),
      m_window(window),
      m_share(share),
      m_slots(static_cast<std::size_t>(std::max(workers, 1)) + 2),
      m_failed(m_paths.size()),
      m_workers(workers, m_lock, m_changed, [this] { Work(); }) {}

// The next slice in order, once the image it goes into is free (the caller has moved past the
// slice that image held). False when the worker is to end.
bool SliceReadAhead::Claim(std::size_t& index) {
  std::unique_lock<std::mutex> guard(m_lock);
  const auto done = [&] { return m_workers.Stopping() || m_failed < m_paths.size() || m_claimed >= m_paths.size(); };
  m_changed.wait(guard, [&] { return done() || m_claimed < m_released + m_slots.size(); });
  if (done()) return false;
  index = m_claimed++;
  return true;
}

void SliceReadAhead::Read(std::size_t index) {
  Slot& slot = m_slots[index % m_slots.size()];  // the worker's alone until it is marked finished
  LoadStatus status = LoadStatus::kReadFailed;
  platform::ThreadMessageCapture capture;
  try {
    const platform::ProcessorTurn turn(m_share);
    status = LoadImageFile(m_paths[index], slot.image, m_window);
  } catch (const std::exception&) {
    // Out of memory in a reader: reported to the caller as an unreadable slice.
  }
  {
    std::lock_guard<std::mutex> guard(m_lock);
    slot.status = status;
    slot.messages = capture.Take();
    slot.finished = index + 1;
    if (status != LoadStatus::kLoaded) m_failed = std::min(m_failed, index);
  }
  m_changed.notify_all();
}

void SliceReadAhead::Work() {
  for (std::size_t index = 0; Claim(index);) Read(index);
}

LoadStatus SliceReadAhead::Next(SliceImage& image) {
  const std::size_t index = m_taken;
  if (index >= m_paths.size()) throw std::logic_error("no slice left to read");
  Slot& slot = m_slots[index % m_slots.size()];
  std::vector<platform::Message> messages;
  LoadStatus status;
  {
    std::unique_lock<std::mutex> guard(m_lock);
    m_released = index;
    m_changed.notify_all();
    m_changed.wait(guard, [&] { return slot.finished == index + 1 || m_failed < index; });
    // A slice read beside one before it that failed is never handed over.
    if (m_failed < index) throw std::logic_error("no slice is read after one that failed");
    status = slot.status;
    messages = std::move(slot.messages);
    std::swap(image, slot.image);
    ++m_taken;
  }
  platform::ShowMessages(messages);
  return status;
}

}  // namespace orvel
