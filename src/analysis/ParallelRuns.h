#pragma once
// A few threads that run the same task for many indices and wait until all are done: the
// threshold sweep builds its models side by side, one slice at a time, so the threads are kept
// for the whole run rather than started per slice. The threads beside the caller may draw on a
// processor share with the slices' decoding, so that both together keep the processors busy
// without running more threads than there are processors.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ProcessorShare.h"

namespace orvel::analysis {

class ParallelRuns {
 public:
  // workers: how many run at once, the calling thread included; at least 1. Each thread beside
  // the caller holds a processor of share (when given) while it works on a round; the caller
  // holds none, so a round never waits for one.
  explicit ParallelRuns(int workers, platform::ProcessorShare* share = nullptr);
  ~ParallelRuns();
  ParallelRuns(const ParallelRuns&) = delete;
  ParallelRuns& operator=(const ParallelRuns&) = delete;

  // Calls task(i) for every i in 0 .. count - 1, each worker taking the next index not yet taken
  // (a worker that the system holds back takes fewer); returns when all calls have returned. An
  // exception from a task is thrown again here (the first one).
  void Run(int count, const std::function<void(int)>& task);

  int Workers() const { return m_workers; }

 private:
  void Work();
  void RunShare();

  int m_workers;
  platform::ProcessorShare* m_share;
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::uint64_t m_round = 0;  // advanced for each Run
  int m_busy = 0;             // threads still working on the current round
  bool m_stop = false;
  int m_count = 0;
  std::atomic<int> m_next{0};  // the next index to take
  const std::function<void(int)>* m_task = nullptr;
  std::exception_ptr m_failure;
  std::vector<std::thread> m_threads;  // m_workers - 1 of them; the caller is the last worker
};

// The number of workers worth starting for count tasks on the processors this process may use.
int WorkersFor(int count);

}  // namespace orvel::analysis
