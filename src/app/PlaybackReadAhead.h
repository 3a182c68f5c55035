#pragma once
// The slices that playback will show next, read and decoded on a worker thread while the current
// one is on screen, so that a playback step costs little more than drawing. Playback runs back
// and forth, so the slices it reaches next follow from the slice shown and the direction: the
// viewer names them after every step and loads each when its step comes.
//
// Loading through the read-ahead looks to the caller exactly like reading there and then: the
// same status, the same picture, and the messages a reader showed while reading ahead are shown
// at that moment, on the caller's thread, in their order. A slice the read-ahead does not hold
// is simply read on the caller's thread.
//
// Two slots: with the slice on display, memory stays at three slices whatever the stack size.
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/ImageLoader.h"
#include "image/SliceImage.h"
#include "platform/Messages.h"

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
  static constexpr int kSlots = 2;

  // Deep samples map through window (each file its own automatic window when null).
  explicit PlaybackReadAhead(std::vector<std::string> paths, DatasetWindow* window = nullptr);
  ~PlaybackReadAhead();  // waits for a read in progress, then stops the worker
  PlaybackReadAhead(const PlaybackReadAhead&) = delete;
  PlaybackReadAhead& operator=(const PlaybackReadAhead&) = delete;

  // Reads these slices ahead, in this order (at most kSlots); whatever is held or being read for
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
    bool dropped = false;       // read under way for a slice no longer wanted
    std::uint64_t order = 0;    // slots queued earlier are read first
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
  Slot m_slots[kSlots];
  std::uint64_t m_queued = 0;
  mutable std::mutex m_lock;
  std::condition_variable m_changed;
  bool m_stop = false;
  std::thread m_worker;  // last: starts once everything above exists
};

}  // namespace orvel
