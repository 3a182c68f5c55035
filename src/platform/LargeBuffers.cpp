#include "platform/LargeBuffers.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace orvel::platform {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a buffer comes from the heap: a huge page for a 1 MiB slice would double its memory.
constexpr std::size_t kSmallestMapped = kHugePage;

std::size_t MappedBytes(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

// A mapping of MappedBytes(bytes) at a 2 MiB boundary: a larger one is made, and the parts
// before and after the boundaries are given back.
void* MapAligned(std::size_t bytes) {
  if (bytes > static_cast<std::size_t>(-1) - 2 * kHugePage) throw std::bad_alloc();  // no rounding past the top
  const std::size_t size = MappedBytes(bytes);
  void* mapping = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapping);
  const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
  if (aligned > start) munmap(mapping, aligned - start);
  if (start + kHugePage > aligned) munmap(reinterpret_cast<void*>(aligned + size), start + kHugePage - aligned);
  // Only advice: without huge pages the buffer is still ordinary memory.
  madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

void* AllocateBuffer(std::size_t bytes) {
  if (bytes >= kSmallestMapped) return MapAligned(bytes);
  if (void* buffer = std::malloc(bytes == 0 ? 1 : bytes)) return buffer;
  throw std::bad_alloc();
}

void FreeBuffer(void* buffer, std::size_t bytes) noexcept {
  if (!buffer) return;
  if (bytes >= kSmallestMapped) munmap(buffer, MappedBytes(bytes));
  else std::free(buffer);
}

}  // namespace orvel::platform
