#pragma once
// Large internal buffers backed by huge pages where the system offers them (internal to
// corekit). Touching a multi-megabyte buffer one 4 KiB page at a time costs a page fault
// per page; a huge page costs one per 2 MiB.

#include <cstddef>

// Size and alignment of a huge page.
constexpr size_t kHugePageBytes = size_t{2} << 20;

// Asks the system to back the whole huge pages inside [p, p + bytes) with huge pages. A
// hint only: nothing changes where the system declines.
void AdviseHugePages(void *p, size_t bytes);
