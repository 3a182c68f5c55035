#include "app/PlaybackReadAhead.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace orvel {

PlaybackMove NextPlaybackSlice(int shown, int direction, int sliceCount) {
  if (shown <= 0) direction = +1;
  if (shown >= sliceCount - 1) direction = -1;
  return {shown + direction, direction};
}

PlaybackReadAhead::PlaybackReadAhead(std::vector<std::string> paths, DatasetWindow* window, int workers)
    : m_paths(std::move(paths)),
      m_window(window),
      m_slots(static_cast<std::size_t>(std::max(workers, 1)) + 1),
      m_workers(workers, m_lock, m_changed, [this] { ReadQueuedSlices(); }) {}

PlaybackReadAhead::Slot* PlaybackReadAhead::FindWanted(int index) {
  for (Slot& slot : m_slots)
    if (slot.state != SlotState::kFree && !slot.dropped && slot.index == index) return &slot;
  return nullptr;
}

PlaybackReadAhead::Slot* PlaybackReadAhead::NextQueued() {
  Slot* first = nullptr;
  for (Slot& slot : m_slots)
    if (slot.state == SlotState::kQueued && (!first || slot.order < first->order)) first = &slot;
  return first;
}

void PlaybackReadAhead::ReadAhead(const std::vector<int>& indices) {
  const auto first = indices.begin();
  const auto last = first + static_cast<std::ptrdiff_t>(std::min(indices.size(), m_slots.size()));
  const auto wanted = [&](int index) { return std::find(first, last, index) != last; };
  {
    std::lock_guard<std::mutex> guard(m_lock);
    for (Slot& slot : m_slots) {
      if (slot.state == SlotState::kFree || slot.dropped || wanted(slot.index)) continue;
      if (slot.state == SlotState::kReading) {
        slot.dropped = true;  // the worker frees it when the read ends
      } else {
        slot.state = SlotState::kFree;
        slot.index = -1;
        slot.messages.clear();
        slot.failure = nullptr;
      }
    }
    for (auto i = first; i != last; ++i) {
      if (*i < 0 || *i >= static_cast<int>(m_paths.size()) || FindWanted(*i)) continue;
      const auto free =
          std::find_if(m_slots.begin(), m_slots.end(), [](const Slot& slot) { return slot.state == SlotState::kFree; });
      if (free == m_slots.end()) break;
      free->index = *i;
      free->state = SlotState::kQueued;
      free->order = ++m_queued;
    }
  }
  m_changed.notify_all();
}

void PlaybackReadAhead::ReadQueuedSlices() {
  std::unique_lock<std::mutex> guard(m_lock);
  for (;;) {
    m_changed.wait(guard, [&] { return m_workers.Stopping() || NextQueued(); });
    if (m_workers.Stopping()) return;
    Slot& slot = *NextQueued();
    slot.state = SlotState::kReading;
    const std::string path = m_paths[slot.index];
    guard.unlock();
    // The slot's image is this worker's alone while it reads.
    LoadStatus status = LoadStatus::kReadFailed;
    std::exception_ptr failure;
    std::vector<platform::Message> messages;
    {
      platform::ThreadMessageCapture capture;
      try {
        status = LoadImageFile(path, slot.image, m_window);
      } catch (...) {
        failure = std::current_exception();
      }
      messages = capture.Take();
    }
    guard.lock();
    slot.status = status;
    slot.failure = failure;
    slot.messages = std::move(messages);
    if (slot.dropped) {
      slot.dropped = false;
      slot.index = -1;
      slot.state = SlotState::kFree;
      slot.messages.clear();
      slot.failure = nullptr;
    } else {
      slot.state = SlotState::kReady;
    }
    m_changed.notify_all();
  }
}

LoadStatus PlaybackReadAhead::Load(int index, SliceImage& image) {
  std::unique_lock<std::mutex> guard(m_lock);
  Slot* slot = FindWanted(index);
  if (slot && slot->state == SlotState::kQueued) {
    // Not started yet: reading it here is sooner than waiting for the worker.
    slot->state = SlotState::kFree;
    slot->index = -1;
    slot = nullptr;
  }
  if (!slot) {
    guard.unlock();
    return LoadImageFile(m_paths[index], image, m_window);
  }
  m_changed.wait(guard, [&] { return slot->state == SlotState::kReady; });
  const LoadStatus status = slot->status;
  const std::exception_ptr failure = std::exchange(slot->failure, nullptr);
  const std::vector<platform::Message> messages = std::exchange(slot->messages, {});
  // As a read in place: a loaded picture replaces the image, a failed read leaves it empty, a
  // file of no known type leaves it untouched.
  if (!failure && status == LoadStatus::kLoaded) std::swap(image, slot->image);
  else if (status != LoadStatus::kUnknownType) image.Clear();
  slot->state = SlotState::kFree;
  slot->index = -1;
  guard.unlock();
  m_changed.notify_all();
  platform::ShowMessages(messages);
  if (failure) std::rethrow_exception(failure);
  return status;
}

int PlaybackReadAhead::ReadyCount() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return static_cast<int>(
      std::count_if(m_slots.begin(), m_slots.end(), [](const Slot& slot) { return slot.state == SlotState::kReady; }));
}

}  // namespace orvel
