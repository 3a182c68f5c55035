#include "app/WorkerThreads.h"

#include <algorithm>

namespace orvel {

WorkerThreads::WorkerThreads(int count, std::mutex& lock, std::condition_variable& changed,
                             const std::function<void()>& work)
    : m_lock(lock), m_changed(changed) {
  try {
    for (int w = 0; w < std::max(count, 1); ++w) m_threads.emplace_back(work);
  } catch (...) {
    Stop();  // the system refused a thread
    throw;
  }
}

void WorkerThreads::Stop() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_stop = true;
  }
  m_changed.notify_all();
  for (std::thread& thread : m_threads) thread.join();
}

}  // namespace orvel
