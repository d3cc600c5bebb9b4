// Library load and unload hooks of corekit.
#include <ctime>

#include "corekit/random_seed.h"

namespace {

// Milliseconds since an arbitrary start, like a system tick count.
uint32_t TickCount()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(ts.tv_sec * 1000u + ts.tv_nsec / 1000000);
}

// Runs once when the shared object is loaded, before any caller can draw.
__attribute__((constructor)) void OnCorekitLoad()
{
    SeedRandom(TickCount());
}

} // namespace
