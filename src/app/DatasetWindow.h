#pragma once
// The one window through which a dataset's deep samples (16-bit, float) become 8-bit pixels, so
// that every slice maps alike and measurements compare across slices. Given by hand, or chosen
// automatically from the dataset's first deep slice in title order when a deep slice is first
// read. Slices may be read on worker threads; the choice is made once, under a lock.
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "image/SampleWindow.h"

namespace orvel {

class DatasetWindow {
 public:
  // slicePaths: the dataset's slices in title order. manual: the window given by hand.
  explicit DatasetWindow(std::vector<std::string> slicePaths, std::optional<SampleWindow> manual = std::nullopt);

  // The window for samples, read from the file at path. When none is chosen yet and path is a
  // slice, the earlier slices are examined in order and the first deep one decides (path itself
  // when none before it is deep). A file outside the dataset (the preview) gets its own
  // automatic window and leaves the dataset's unchosen.
  SampleWindow For(const std::string& path, const std::vector<float>& samples);

  // The window in use; empty while no deep slice was read and none was given by hand.
  std::optional<SampleWindow> Current() const;
  bool IsManual() const { return m_manual; }

 private:
  const std::vector<std::string> m_paths;
  const bool m_manual;
  mutable std::mutex m_lock;
  std::optional<SampleWindow> m_window;
};

}  // namespace orvel
