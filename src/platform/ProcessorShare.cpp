#include "platform/ProcessorShare.h"

#include <sched.h>

#include <algorithm>
#include <thread>

namespace orvel::platform {

int UsableProcessors() {
  int processors = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  cpu_set_t mask;
  CPU_ZERO(&mask);
  if (sched_getaffinity(0, sizeof mask, &mask) == 0) processors = std::min(processors, std::max(1, CPU_COUNT(&mask)));
  return processors;
}

ProcessorShare::ProcessorShare(int processors) : m_processors(std::max(processors, 1)), m_free(m_processors) {}

void ProcessorShare::Acquire() {
  std::unique_lock<std::mutex> guard(m_lock);
  m_released.wait(guard, [&] { return m_free > 0; });
  --m_free;
}

void ProcessorShare::Release() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_free;
  }
  m_released.notify_one();
}

}  // namespace orvel::platform
