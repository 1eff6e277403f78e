#include <gtest/gtest.h>
#include <sys/resource.h>

#include <memory>
#include <vector>

#include "platform/HeapAhead.h"

namespace orlit {
namespace {

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

TEST(HeapAheadTest, AllocationsInTheProvidedHeapFaultNoPagesIn) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator leaves the program break alone";
#endif
  constexpr std::size_t kBytes = 512 * 1024;
  constexpr std::size_t kBlock = 200;
  // Half the provided bytes in small blocks, each written: 64 fresh pages without it.
  std::vector<std::unique_ptr<char[]>> blocks;
  blocks.reserve(kBytes / 2 / kBlock);
  ProvideHeapAhead(kBytes);
  const long before = MinorFaults();
  while (blocks.size() < blocks.capacity()) {
    blocks.emplace_back(new char[kBlock]);
    blocks.back()[kBlock - 1] = 1;
  }
  const long faults = MinorFaults() - before;
  EndHeapAhead();
  EXPECT_LT(faults, 8);
}

}  // namespace
}  // namespace orlit
