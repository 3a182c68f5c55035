#pragma once
// The slices of a 3D model or cut run, read in order on a worker thread one slice ahead of the
// caller, so that decoding the next slice overlaps with sampling the current one. Two images take
// turns (the caller holds one while the worker fills the other): memory stays at two slices.
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/ImageLoader.h"
#include "image/SliceImage.h"

namespace orvel::cli {

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
  SliceImage m_images[2];  // slice i is read into m_images[i % 2]
  LoadStatus m_status[2] = {LoadStatus::kLoaded, LoadStatus::kLoaded};
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::size_t m_read = 0;      // slices the worker has finished, read or failed
  std::size_t m_released = 0;  // slices the caller is done with
  std::size_t m_taken = 0;     // slices handed to the caller
  bool m_stop = false;
  std::thread m_worker;  // last: starts once everything above exists
};

}  // namespace orvel::cli
