#pragma once
// The slices of a 3D model run, read in order on a worker thread up to two slices ahead of the
// caller, so that decoding the next slices overlaps with sampling the current one. Three images
// take turns (the caller holds one while the worker fills the others): memory stays at three
// slices. With one image ahead instead of two, the model over 200 slices of 1024 x 1024 took 1.5
// times the reading time instead of 1.1: the reader and the sampling take about as long per
// slice, and every hiccup of one stalled the other.
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/ImageLoader.h"
#include "image/SliceImage.h"

namespace orvel::cli {

// Reads path into image on the calling thread; throws SectionFailure naming the path when the
// slice could not be opened or read (the reader has shown its own message).
void ReadSliceOrFail(const std::string& path, SliceImage& image);

class SliceReadAhead {
 public:
  explicit SliceReadAhead(std::vector<std::string> paths);
  ~SliceReadAhead();  // stops the worker once the slice it is reading is done
  SliceReadAhead(const SliceReadAhead&) = delete;
  SliceReadAhead& operator=(const SliceReadAhead&) = delete;

  // The next slice in order, valid until the following call. Throws SectionFailure naming the
  // path when the slice could not be opened or read (the reader has shown its own message).
  const SliceImage& Next();

 private:
  void ReadAll();

  std::vector<std::string> m_paths;
  static constexpr std::size_t kSlots = 3;
  SliceImage m_images[kSlots];  // slice i is read into m_images[i % kSlots]
  LoadStatus m_status[kSlots] = {};
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::size_t m_read = 0;      // slices the worker has finished, read or failed
  std::size_t m_released = 0;  // slices the caller is done with
  std::size_t m_taken = 0;     // slices handed to the caller
  bool m_stop = false;
  std::thread m_worker;  // last: starts once everything above exists
};

}  // namespace orvel::cli
