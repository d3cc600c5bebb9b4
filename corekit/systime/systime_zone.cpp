// Local time of the process zone and the conversions that cross it.

#include <ctime>

#include "corekit/systime/systime.h"
#include "corekit/systime/systime_calendar.h"

namespace corekit_time {

namespace {

// Seconds east of UTC in force at the UTC second s; 0 when the C library
// cannot place s.
int64_t OffsetAt(int64_t s)
{
    const auto t = static_cast<time_t>(s);
    struct tm parts;
    if (!localtime_r(&t, &parts))
        return 0;
    return parts.tm_gmtoff;
}

} // namespace

int64_t UtcToLocal(int64_t utc)
{
    tzset(); // follow a TZ changed since the last call
    return SaturatingAdd(utc, OffsetAt(FloorDiv(utc, kMsPerSecond)) * kMsPerSecond);
}

// The offset of a day earlier is the one in force before any change near the
// wall time; it is kept when it places the wall time, otherwise the offset of
// a day later (the wall time lies after a change). When neither fits, the wall
// time falls into a skipped hour and is read with the earlier offset.
int64_t LocalToUtc(int64_t local)
{
    tzset();
    const int64_t wall = FloorDiv(local, kMsPerSecond);
    const int64_t ms = local - wall * kMsPerSecond;
    const int64_t before = OffsetAt(wall - 86400);
    const int64_t after = OffsetAt(wall + 86400);
    int64_t offset = before;
    if (OffsetAt(wall - before) != before && OffsetAt(wall - after) == after)
        offset = after;
    return SaturatingAdd((wall - offset) * kMsPerSecond, ms);
}

} // namespace corekit_time

using namespace corekit_time;

void UTC_Time(int toLocal, SYSTIME_t *out, const SYSTIME_t *in)
{
    const int64_t count = ToCount(*in);
    FromCount(toLocal ? UtcToLocal(count) : LocalToUtc(count), out);
}

int64_t CVT_Time(const SYSTIME_t *t)
{
    return LocalToUtc(ToCount(*t));
}

void CVT_Time(SYSTIME_t *out, int64_t v)
{
    FromCount(UtcToLocal(FloorDiv(v, 10000)), out);
}
