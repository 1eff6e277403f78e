#include "platform/HeapAhead.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace orlit {

namespace {

// The C library's step (M_TOP_PAD) when it is not told otherwise.
constexpr int kDefaultHeapStep = 128 * 1024;
// Below the size the C library maps on its own (128 KB) and above what is usually free at the
// heap's end, so that asking for it grows the heap.
constexpr std::size_t kGrowingRequest = 120 * 1024;

}  // namespace

void ProvideHeapAhead(std::size_t bytes) {
  if (mallopt(M_TOP_PAD, static_cast<int>(bytes)) != 1) return;
  void* block = std::malloc(kGrowingRequest);
  if (block == nullptr) return;
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(block) / page * page;
  // Freed, the block goes back to the heap's free end, which the step keeps from being trimmed.
  std::free(block);
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  // An allocator that does not grow the program break (valgrind's, which takes mallopt all the
  // same) left the block elsewhere: nothing to provide then.
  if (end <= first || end - first > bytes + kGrowingRequest + page) return;
  madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
}

void EndHeapAhead() { mallopt(M_TOP_PAD, kDefaultHeapStep); }

}  // namespace orlit
