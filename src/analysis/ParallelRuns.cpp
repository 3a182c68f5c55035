#include "analysis/ParallelRuns.h"

#include <algorithm>

namespace orvel::analysis {

int WorkersFor(int count) { return std::clamp(count, 1, platform::UsableProcessors()); }

ParallelRuns::ParallelRuns(int workers, platform::ProcessorShare* share)
    : m_workers(std::max(workers, 1)), m_share(share) {
  for (int w = 1; w < m_workers; ++w) m_threads.emplace_back([this] { Work(); });
}

ParallelRuns::~ParallelRuns() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_stop = true;
  }
  m_changed.notify_all();
  for (std::thread& thread : m_threads) thread.join();
}

void ParallelRuns::RunShare() {
  try {
    for (int i = m_next++; i < m_count; i = m_next++) (*m_task)(i);
  } catch (...) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_failure) m_failure = std::current_exception();
  }
}

void ParallelRuns::Work() {
  std::uint64_t seen = 0;
  while (true) {
    {
      std::unique_lock<std::mutex> guard(m_lock);
      m_changed.wait(guard, [&] { return m_stop || m_round != seen; });
      if (m_stop) return;
      seen = m_round;
    }
    {
      const platform::ProcessorTurn turn(m_share);
      RunShare();
    }
    {
      std::lock_guard<std::mutex> guard(m_lock);
      --m_busy;
    }
    m_changed.notify_all();
  }
}

void ParallelRuns::Run(int count, const std::function<void(int)>& task) {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_count = count;
    m_next = 0;
    m_task = &task;
    m_failure = nullptr;
    m_busy = static_cast<int>(m_threads.size());
    ++m_round;
  }
  m_changed.notify_all();
  RunShare();
  std::exception_ptr failure;
  {
    std::unique_lock<std::mutex> guard(m_lock);
    m_changed.wait(guard, [&] { return m_busy == 0; });
    failure = m_failure;
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace orvel::analysis
