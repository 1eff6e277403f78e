#pragma once

#include <cstddef>

namespace orlit {

// The C library's heap, grown ahead by `bytes` and made present in one call. A window's start
// allocates most of its heap in the first few milliseconds, and each fresh page it reaches would
// otherwise cost a page fault of its own. Until EndHeapAhead the heap also grows, and keeps free
// at its end, in steps of `bytes`. Without the C library's own allocator (under a sanitizer or
// valgrind) nothing is done.
void ProvideHeapAhead(std::size_t bytes);

// Back to the C library's own steps; what is free at the heap's end is given back as it is freed.
void EndHeapAhead();

}  // namespace orlit
