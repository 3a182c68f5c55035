#pragma once
// The slices that playback will show next, decoded on N worker threads side by side while the
// current one is on screen, so that a playback step costs little more than drawing, and a stack
// whose slices take longer to decode than a step plays at up to N decodes per step. Playback runs back
// and forth, so the slices it reaches next follow from the slice shown and the direction: the
// viewer names them after every step and loads each when its step comes.
//
// Loading through the read-ahead looks to the caller exactly like reading there and then: the
// same status, the same picture, and the messages a reader showed while reading ahead are shown
// at that moment, on the caller's thread, in their order. A slice the read-ahead does not hold
// is simply read on the caller's thread.
//
// N + 1 slots: with the slice on display, memory stays at N + 2 slices whatever the stack size.
// One slot beyond the workers' keeps the next slice ready while they decode the ones after it.
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <vector>

#include "app/ImageLoader.h"
#include "app/WorkerThreads.h"
#include "image/SliceImage.h"
#include "platform/Messages.h"
#include "platform/ProcessorShare.h"

namespace orvel {

// Where playback goes from slice `shown` while moving in `direction` (+1 or -1): it turns at the
// first and the last slice, so two slices alternate 0, 1, 0, 1.
struct PlaybackMove {
  int slice;
  int direction;
};
PlaybackMove NextPlaybackSlice(int shown, int direction, int sliceCount);

class PlaybackReadAhead {
 public:
  // Deep samples map through window (each file its own automatic window when null). workers:
  // slices decoded at once, at least 1; by default one per usable processor.
  explicit PlaybackReadAhead(std::vector<std::string> paths, DatasetWindow* window = nullptr,
                             int workers = platform::UsableProcessors());
  PlaybackReadAhead(const PlaybackReadAhead&) = delete;
  PlaybackReadAhead& operator=(const PlaybackReadAhead&) = delete;

  // How many slices may be read ahead at once: the workers and one more.
  int Slots() const { return static_cast<int>(m_slots.size()); }

  // Reads these slices ahead, in this order (at most Slots()); whatever is held or being read for
  // other slices is dropped.
  void ReadAhead(const std::vector<int>& indices);
  // Drops everything read ahead, so that the next load reads the file as it is then.
  void Forget() { ReadAhead({}); }

  // Loads slice index into image as LoadImageFile would, showing the reader's messages now. A
  // slice read ahead is exchanged into image (waiting for its read to finish if it is under way);
  // image's old pixels go back to the read-ahead for reuse.
  LoadStatus Load(int index, SliceImage& image);

  // How many slices are read ahead and ready (tests).
  int ReadyCount() const;

 private:
  enum class SlotState { kFree, kQueued, kReading, kReady };
  struct Slot {
    int index = -1;
    SlotState state = SlotState::kFree;
    bool dropped = false;     // read under way for a slice no longer wanted
    std::uint64_t order = 0;  // slots queued earlier are read first
    SliceImage image;
    LoadStatus status = LoadStatus::kReadFailed;
    std::exception_ptr failure;  // thrown by the read; thrown again to the caller that loads it
    std::vector<platform::Message> messages;
  };

  void ReadQueuedSlices();
  Slot* FindWanted(int index);
  Slot* NextQueued();

  std::vector<std::string> m_paths;
  DatasetWindow* m_window;
  std::vector<Slot> m_slots;
  std::uint64_t m_queued = 0;
  mutable std::mutex m_lock;
  std::condition_variable m_changed;
  WorkerThreads m_workers;  // last; going, it waits for the reads in progress
};

}  // namespace orvel
