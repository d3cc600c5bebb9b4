#include "corekit/memory/huge_pages.h"

#include <cstdint>
#include <sys/mman.h>

void AdviseHugePages(void *p, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    const auto begin = reinterpret_cast<uintptr_t>(p);
    const uintptr_t first = (begin + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    const uintptr_t last = (begin + bytes) & ~(kHugePageBytes - 1);
    if (last > first)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#else
    (void)p;
    (void)bytes;
#endif
}
