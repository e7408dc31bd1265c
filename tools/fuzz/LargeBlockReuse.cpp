// Keeps the model fuzzers fast under AddressSanitizer: Assimp's OBJ reader allocates a 16 MiB
// line buffer for every file it opens, however small, and the sanitizer maps each such block
// fresh and unmaps it on release, so the kernel zeroed 16 MiB per input (about 15 ms, far
// more than the parsing). A released block of 1 MiB or more is kept, still allocated, and
// handed out again for the next request of the same size; everything else is the sanitizer's
// own allocation, with its redzones and leak checks.
#include <sanitizer/allocator_interface.h>

#include <cstdlib>
#include <new>

namespace {

constexpr size_t kLargeBlock = size_t(1) << 20;  // bytes; ordinary allocations stay far below

void* keptBlock = nullptr;  // reachable from here, so the leak check does not count it
size_t keptSize = 0;

}  // namespace

// The single-object forms of new and delete, all of them, so that every block they hand out
// is released by the same pair (the array and aligned forms stay the sanitizer's).
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  if (size >= kLargeBlock && keptBlock != nullptr && keptSize == size) {
    void* block = keptBlock;
    keptBlock = nullptr;
    return block;
  }
  return std::malloc(size == 0 ? 1 : size);
}

void* operator new(size_t size) {
  void* block = operator new(size, std::nothrow);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void operator delete(void* block) noexcept {
  if (block == nullptr) return;
  const size_t size = __sanitizer_get_allocated_size(block);
  if (size < kLargeBlock) {
    std::free(block);
    return;
  }
  std::free(keptBlock);
  keptBlock = block;
  keptSize = size;
}

void operator delete(void* block, size_t) noexcept { operator delete(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { operator delete(block); }
