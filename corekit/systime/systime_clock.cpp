// Clock readers.

#include <ctime>

#include "corekit/systime/systime.h"
#include "corekit/systime/systime_calendar.h"

using namespace corekit_time;

namespace {

int64_t ClockMs(clockid_t clock)
{
    struct timespec now;
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * kMsPerSecond + now.tv_nsec / 1000000;
}

} // namespace

void GetSystemTime(int utc, SYSTIME_t *out)
{
    const int64_t now = ClockMs(CLOCK_REALTIME);
    FromCount(utc ? now : UtcToLocal(now), out);
}

void GetSystemTime(int utc, DATETIME_t *out)
{
    SYSTIME_t full;
    GetSystemTime(utc, &full);
    CVT_Time(out, &full);
}

uint64_t GetTimeTicker(int mode)
{
    if (mode)
        return static_cast<uint64_t>(ClockMs(CLOCK_REALTIME));
    return static_cast<uint32_t>(ClockMs(CLOCK_MONOTONIC));
}
