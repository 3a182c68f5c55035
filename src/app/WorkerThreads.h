#pragma once
// The worker threads of a read-ahead: N threads that each run the owner's loop until told to
// stop. The loops wait on the owner's lock and condition and watch Stopping(); the destructor
// raises it under that lock, wakes every waiter and joins them, so that a worker ends between two
// reads, never in the middle of one.
//
// The owner declares its WorkerThreads last: the threads start once everything they use exists,
// and end before any of it goes.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace orvel {

class WorkerThreads {
 public:
  // Starts max(count, 1) threads, each running work. When the system refuses a thread, those
  // started end before the failure is passed on.
  WorkerThreads(int count, std::mutex& lock, std::condition_variable& changed, const std::function<void()>& work);
  ~WorkerThreads() { Stop(); }
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Whether the workers are to end; read with the owner's lock held.
  bool Stopping() const { return m_stop; }

 private:
  void Stop();

  std::mutex& m_lock;
  std::condition_variable& m_changed;
  bool m_stop = false;
  std::vector<std::thread> m_threads;
};

}  // namespace orvel
