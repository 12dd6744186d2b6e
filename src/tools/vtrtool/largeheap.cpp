#include "largeheap.h"

#include <cstdlib> // defines __GLIBC__ with the C library

#if defined(__GLIBC__) && defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
#define TEV_LARGE_HEAP 1
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace vtrtool {

void prepareLargeHeap()
{
#ifdef TEV_LARGE_HEAP
    constexpr size_t kMiB = size_t(1) << 20;
    constexpr uintptr_t kHuge = 2 * kMiB;
    // Keep even the ledgers' large arrays in the main heap, grow it in big steps and never give
    // it back before exit: the process is short-lived.
    mallopt(M_MMAP_THRESHOLD, int(32 * kMiB)); // the largest value glibc takes
    mallopt(M_TRIM_THRESHOLD, int(512 * kMiB));
    mallopt(M_TOP_PAD, int(64 * kMiB));
    const uintptr_t before = reinterpret_cast<uintptr_t>(sbrk(0));
    // Through a volatile pointer: the compiler would drop a malloc whose block is never used.
    void *volatile grow = std::malloc(16 * kMiB);
    std::free(grow);
    const uintptr_t after = reinterpret_cast<uintptr_t>(sbrk(0));
    const uintptr_t start = (before + kHuge - 1) & ~(kHuge - 1);
    if (after > start + kHuge)
        madvise(reinterpret_cast<void *>(start), size_t((after - start) & ~(kHuge - 1)), MADV_HUGEPAGE);
#endif
}

} // namespace vtrtool
