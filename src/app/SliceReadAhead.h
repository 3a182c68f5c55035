#pragma once
// The slices of a run over a range (the 3D model, the cut), read in order on a worker thread up
// to two slices ahead of the caller, so that decoding the next slices overlaps with the caller's
// work on the current one. The worker fills three images of its own and hands each slice over by
// exchanging images with the caller, so nothing is copied and memory stays at four slices, the
// caller's included. With one image ahead instead of two, the model over
// 200 slices of 1024 x 1024 took 1.5 times the reading time instead of 1.1: the reader and the
// sampling take about as long per slice, and every hiccup of one stalled the other.
//
// What a reader says about a slice (an invalid file, a read error) is held on the worker and
// shown on the caller's thread when the caller takes that slice, so messages arrive in the order
// of the run and on the thread that owns the windows.
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/ImageLoader.h"
#include "image/SliceImage.h"
#include "platform/Messages.h"

namespace orvel {

class SliceReadAhead {
 public:
  // Deep samples map through window (each file its own automatic window when null).
  explicit SliceReadAhead(std::vector<std::string> paths, DatasetWindow* window = nullptr);
  ~SliceReadAhead();  // stops the worker once the slice it is reading is done
  SliceReadAhead(const SliceReadAhead&) = delete;
  SliceReadAhead& operator=(const SliceReadAhead&) = delete;

  // Waits for the next slice in order and hands it over by exchanging it with image, whose old
  // content the worker may overwrite later. Shows the messages the reader gave for that slice.
  // Unless the result is kLoaded the image holds nothing usable and no further slice is read.
  // Throws std::logic_error once every path has been handed over, or when asked for a slice after
  // one that failed.
  LoadStatus Next(SliceImage& image);

 private:
  void ReadAll();

  std::vector<std::string> m_paths;
  DatasetWindow* m_window;
  static constexpr std::size_t kSlots = 3;
  SliceImage m_images[kSlots];  // slice i is read into m_images[i % kSlots]
  LoadStatus m_status[kSlots] = {};
  std::vector<platform::Message> m_messages[kSlots];
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::size_t m_read = 0;      // slices the worker has finished, read or failed
  std::size_t m_released = 0;  // slices the caller is done with
  std::size_t m_taken = 0;     // slices handed to the caller
  bool m_stop = false;
  bool m_failed = false;       // the worker stopped at a slice it could not read
  std::thread m_worker;  // last: starts once everything above exists
};

}  // namespace orvel
