#pragma once
// The slices of a run over a range (the 3D model, the cut, a sweep), decoded on N worker threads
// at once and handed to the caller strictly in order, so that decoding overlaps with the caller's
// work and, on a decode-bound stack, runs up to N times as fast. Slice i is read into image
// i % (N + 2) of the read-ahead's own, once the caller has taken the slice that image held;
// handing a slice over exchanges images with the caller, so nothing is copied and the read-ahead
// holds N + 2 slices whatever the stack size (the caller's own one besides).
//
// Why two images beyond the workers': with one worker and one image ahead instead of two, the
// model over 200 slices of 1024 x 1024 took 1.5 times the reading time instead of 1.1. The
// reader and the sampling take about as long per slice, and every hiccup of one stalled the other.
//
// What a reader says about a slice (an invalid file, a read error) is held on the worker and
// shown on the caller's thread when the caller takes that slice, so messages arrive in the order
// of the run, once, and on the thread that owns the windows. A slice that cannot be read ends the
// reading: no slice after it is started, and what was read beyond it is never handed over.
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "app/ImageLoader.h"
#include "app/WorkerThreads.h"
#include "image/SliceImage.h"
#include "platform/Messages.h"
#include "platform/ProcessorShare.h"

namespace orvel {

class SliceReadAhead {
 public:
  // Deep samples map through window (each file its own automatic window when null). workers:
  // slices decoded at once, at least 1. Each worker holds a processor of share (when given) while
  // it decodes, so that the caller's own helper threads and the decoding together stay within
  // the share's processors.
  explicit SliceReadAhead(std::vector<std::string> paths, DatasetWindow* window = nullptr, int workers = 1,
                          platform::ProcessorShare* share = nullptr);
  SliceReadAhead(const SliceReadAhead&) = delete;
  SliceReadAhead& operator=(const SliceReadAhead&) = delete;

  // Waits for the next slice in order and hands it over by exchanging it with image, whose old
  // content a worker may overwrite later. Shows the messages the reader gave for that slice.
  // Unless the result is kLoaded the image holds nothing usable and no further slice is read.
  // Throws std::logic_error once every path has been handed over, or when asked for a slice after
  // one that failed.
  LoadStatus Next(SliceImage& image);

 private:
  struct Slot {
    SliceImage image;
    LoadStatus status = LoadStatus::kReadFailed;
    std::vector<platform::Message> messages;
    std::size_t finished = 0;  // 1 + the index of the slice read into it, 0 before the first
  };

  void Work();
  bool Claim(std::size_t& index);
  void Read(std::size_t index);

  std::vector<std::string> m_paths;
  DatasetWindow* m_window;  // shared by the workers; it chooses under a lock of its own
  platform::ProcessorShare* m_share;
  std::vector<Slot> m_slots;  // slice i is read into m_slots[i % size]
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::size_t m_claimed = 0;   // slices a worker has started on
  std::size_t m_released = 0;  // slices the caller is done with
  std::size_t m_taken = 0;     // slices handed to the caller
  std::size_t m_failed;        // the first slice that could not be read; size() while none
  WorkerThreads m_workers;     // last; going, it waits for the slices being read
};

}  // namespace orvel
