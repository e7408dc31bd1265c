// Keeps the model fuzzers fast under AddressSanitizer. Assimp's OBJ reader allocates a
// 16 MiB line buffer for every file it opens, however small, zero-fills it and then fills it
// with line feeds: 32 MiB of writes per input, more than half of each run's time; and the
// sanitizer maps each such block fresh and unmaps it on release, so the kernel zeroed it
// once more.
// - A released block of 1 MiB or more is kept, still allocated, and handed out again for the
//   next request of the same size; everything else is the sanitizer's own allocation, with
//   its redzones and leak checks.
// - Filling most of such a block with one byte value maps fresh pages over the whole pages
//   of the fill instead of writing them: anonymous ones for zero, a private copy of a memory
//   file of that byte for any other. They read exactly as the written fill would, and only
//   the few pages Assimp then writes cost anything. Every other fill is the sanitizer's
//   checked one.
#include <sanitizer/allocator_interface.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <new>

extern "C" void* __interceptor_memset(void* destination, int value, size_t size);

namespace {

constexpr size_t kLargeBlock = size_t(1) << 20;       // bytes; ordinary allocations stay far below
constexpr size_t kLargestFill = size_t(32) << 20;     // the memory files' length
constexpr int kTrackedBlocks = 8;

void* keptBlock = nullptr;  // reachable from here, so the leak check does not count it
size_t keptSize = 0;

// The large blocks handed out and not yet released, so that a fill knows it lies in one.
struct Block {
  uintptr_t begin = 0;
  size_t size = 0;
};
Block largeBlocks[kTrackedBlocks];

void track(void* block, size_t size) {
  for (Block& slot : largeBlocks) {
    if (slot.size == 0) {
      slot = {reinterpret_cast<uintptr_t>(block), size};
      return;
    }
  }
}

void untrack(void* block) {
  for (Block& slot : largeBlocks) {
    if (slot.begin == reinterpret_cast<uintptr_t>(block)) slot = {};
  }
}

bool insideLargeBlock(uintptr_t begin, size_t size) {
  for (const Block& slot : largeBlocks) {
    if (slot.size != 0 && begin >= slot.begin && begin + size <= slot.begin + slot.size) return true;
  }
  return false;
}

// A memory file of kLargestFill bytes of value; -1 if it cannot be made.
int makeFillFile(unsigned char value) {
  const int file = memfd_create("morrowgear-fuzz-fill", 0);
  if (file < 0) return -1;
  void* contents = ftruncate(file, static_cast<off_t>(kLargestFill)) == 0
                       ? mmap(nullptr, kLargestFill, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0)
                       : MAP_FAILED;
  if (contents == MAP_FAILED) {
    close(file);
    return -1;
  }
  __interceptor_memset(contents, value, kLargestFill);
  munmap(contents, kLargestFill);
  return file;
}

// The memory file of value, made on first use.
int fillFile(unsigned char value) {
  static int files[256];
  static bool made[256];
  if (!made[value]) {
    made[value] = true;
    files[value] = makeFillFile(value);
  }
  return files[value];
}

// Maps pages reading as value over [begin, begin + size), both page-aligned.
bool mapFilledPages(uintptr_t begin, size_t size, unsigned char value) {
  void* at = reinterpret_cast<void*>(begin);
  const int prot = PROT_READ | PROT_WRITE;
  if (value == 0) return mmap(at, size, prot, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED;
  const int file = fillFile(value);
  return file >= 0 && mmap(at, size, prot, MAP_PRIVATE | MAP_FIXED, file, 0) != MAP_FAILED;
}

}  // namespace

extern "C" void* memset(void* destination, int value, size_t size) {
  const auto begin = reinterpret_cast<uintptr_t>(destination);
  if (size < kLargeBlock || size > kLargestFill || !insideLargeBlock(begin, size)) {
    return __interceptor_memset(destination, value, size);
  }
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t end = begin + size;
  const uintptr_t firstPage = (begin + page - 1) & ~(page - 1);
  const uintptr_t lastPage = end & ~(page - 1);
  if (!mapFilledPages(firstPage, lastPage - firstPage, static_cast<unsigned char>(value))) {
    return __interceptor_memset(destination, value, size);
  }
  __interceptor_memset(destination, value, firstPage - begin);
  __interceptor_memset(reinterpret_cast<void*>(lastPage), value, end - lastPage);
  return destination;
}

// The single-object forms of new and delete, all of them, so that every block they hand out
// is released by the same pair (the array and aligned forms stay the sanitizer's).
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  void* block = nullptr;
  if (size >= kLargeBlock && keptBlock != nullptr && keptSize == size) {
    block = keptBlock;
    keptBlock = nullptr;
  } else {
    block = std::malloc(size == 0 ? 1 : size);
  }
  if (block != nullptr && size >= kLargeBlock) track(block, size);
  return block;
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
  untrack(block);
  std::free(keptBlock);
  keptBlock = block;
  keptSize = size;
}

void operator delete(void* block, size_t) noexcept { operator delete(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { operator delete(block); }
