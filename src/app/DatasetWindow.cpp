#include "app/DatasetWindow.h"

#include <algorithm>

#include "app/ImageLoader.h"

namespace orvel {

DatasetWindow::DatasetWindow(std::vector<std::string> slicePaths, std::optional<SampleWindow> manual)
    : m_paths(std::move(slicePaths)), m_manual(manual.has_value()), m_window(manual) {}

SampleWindow DatasetWindow::For(const std::string& path, const std::vector<float>& samples) {
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_window) return *m_window;
  const auto slice = std::find(m_paths.begin(), m_paths.end(), path);
  if (slice == m_paths.end()) return PercentileWindow(samples);
  for (auto earlier = m_paths.begin(); earlier != slice && !m_window; ++earlier)
    if (const std::optional<std::vector<float>> deep = ReadDeepSamples(*earlier)) m_window = PercentileWindow(*deep);
  if (!m_window) m_window = PercentileWindow(samples);
  return *m_window;
}

std::optional<SampleWindow> DatasetWindow::Current() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_window;
}

}  // namespace orvel
