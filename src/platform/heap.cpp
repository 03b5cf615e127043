#include "platform/heap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define CORSAVEL_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORSAVEL_OWN_ALLOCATOR 1
#endif
#endif

namespace corsavel {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// The reserve covers the load's peak heap (about 60 MB) with room to spare;
// untouched, it is address space only.
constexpr size_t kReserveBlock = size_t{24} << 20;
constexpr int kReserveBlocks = 8;
// Blocks up to this size come from the heap.
constexpr int kMmapThreshold = 32 << 20;
// After the load the heap's top is given back once it holds this much free,
// twice the largest block the heap serves, as glibc's own adaptive rule
// sets it: a frame that frees and allocates a large block again does not
// shrink and regrow the heap each time.
constexpr int kTrimThresholdAfterLoad = 2 * kMmapThreshold;

}  // namespace

void prepareHeapForLoad() {
#if !defined(CORSAVEL_OWN_ALLOCATOR)
    // Blocks up to 32 MB come from the heap, not mappings of their own, and
    // freeing does not shrink it while the load runs.
    if (mallopt(M_MMAP_THRESHOLD, kMmapThreshold) == 0 || mallopt(M_TRIM_THRESHOLD, 1 << 30) == 0) {
        return;
    }
    char* const base = static_cast<char*>(sbrk(0));
    // Volatile: the blocks must really be allocated for the heap to grow.
    void* volatile blocks[kReserveBlocks] = {};
    for (int i = 0; i < kReserveBlocks; ++i) {
        blocks[i] = std::malloc(kReserveBlock);
    }
    for (int i = kReserveBlocks - 1; i >= 0; --i) {
        std::free(blocks[i]);
    }
    char* const top = static_cast<char*>(sbrk(0));
    const uintptr_t start = (reinterpret_cast<uintptr_t>(base) + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(top);
    if (base != reinterpret_cast<char*>(-1) && end > start) {
        // Refused where huge pages are off: the heap then works as before.
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
#endif
}

void settleHeapAfterLoad() {
#if !defined(CORSAVEL_OWN_ALLOCATOR)
    malloc_trim(0);
    mallopt(M_TRIM_THRESHOLD, kTrimThresholdAfterLoad);
#endif
}

}  // namespace corsavel
