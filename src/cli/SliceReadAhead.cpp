#include "cli/SliceReadAhead.h"

#include <exception>
#include <stdexcept>
#include <utility>

#include "cli/AnalyzeSections.h"

namespace orvel::cli {

namespace {

void FailUnlessLoaded(LoadStatus status, const std::string& path) {
  switch (status) {
    case LoadStatus::kLoaded: return;
    case LoadStatus::kCannotOpen: throw SectionFailure{"cannot open " + path};
    default: throw SectionFailure{"cannot read slice " + path};
  }
}

}  // namespace

void ReadSliceOrFail(const std::string& path, SliceImage& image) {
  FailUnlessLoaded(LoadImageFile(path, image), path);
}

SliceReadAhead::SliceReadAhead(std::vector<std::string> paths)
    : m_paths(std::move(paths)), m_worker([this] { ReadAll(); }) {}

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
    try {
      status = LoadImageFile(m_paths[i], m_images[i % kSlots]);
    } catch (const std::exception&) {
      // Out of memory in a reader: reported to the caller as an unreadable slice.
    }
    {
      std::lock_guard<std::mutex> guard(m_lock);
      m_status[i % kSlots] = status;
      m_read = i + 1;
    }
    m_changed.notify_all();
    if (status != LoadStatus::kLoaded) return;
  }
}

const SliceImage& SliceReadAhead::Next() {
  const std::size_t index = m_taken;
  if (index >= m_paths.size()) throw std::logic_error("no slice left to read");
  std::unique_lock<std::mutex> guard(m_lock);
  m_released = index;
  m_changed.notify_all();
  m_changed.wait(guard, [&] { return m_read > index; });
  FailUnlessLoaded(m_status[index % kSlots], m_paths[index]);
  ++m_taken;
  return m_images[index % kSlots];
}

}  // namespace orvel::cli
