#pragma once
// How many processors this process may run on, and a share of them that several pools of worker
// threads draw from while they work, so that decoding slices and building models side by side
// never keep more workers busy than there are processors for them.
#include <condition_variable>
#include <mutex>

namespace orvel::platform {

// The processors the process may use: the CPU affinity mask (taskset, a container's cpuset)
// where it allows fewer than the machine has; at least 1.
int UsableProcessors();

class ProcessorShare {
 public:
  explicit ProcessorShare(int processors);  // at least 1
  ProcessorShare(const ProcessorShare&) = delete;
  ProcessorShare& operator=(const ProcessorShare&) = delete;

  int Processors() const { return m_processors; }
  void Acquire();  // waits until one of the processors is free and takes it
  void Release();

 private:
  const int m_processors;
  int m_free;
  std::mutex m_lock;
  std::condition_variable m_released;
};

// One processor of a share, held for a scope; holds nothing when the share is null.
class ProcessorTurn {
 public:
  explicit ProcessorTurn(ProcessorShare* share) : m_share(share) {
    if (m_share) m_share->Acquire();
  }
  ~ProcessorTurn() {
    if (m_share) m_share->Release();
  }
  ProcessorTurn(const ProcessorTurn&) = delete;
  ProcessorTurn& operator=(const ProcessorTurn&) = delete;

 private:
  ProcessorShare* m_share;
};

}  // namespace orvel::platform
