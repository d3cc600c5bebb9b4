#pragma once
// Proleptic Gregorian calendar arithmetic on millisecond counts, and the local
// zone of the process, shared by the time functions (internal to corekit).
//
// A count is a signed number of milliseconds since 1970-01-01 00:00:00 of a
// plain calendar (no zone). Every record this library writes has a count
// between kMinTimeCount (0000-01-01) and kMaxTimeCount (65535-12-31 23:59:59.999).

#include <cstdint>

#include "corekit/systime/systime.h"

namespace corekit_time {

constexpr int64_t kMsPerSecond = 1000;
constexpr int64_t kMsPerMinute = 60 * kMsPerSecond;
constexpr int64_t kMsPerHour = 60 * kMsPerMinute;
constexpr int64_t kMsPerDay = 24 * kMsPerHour;

// Floor division and the matching non-negative remainder (b > 0).
constexpr int64_t FloorDiv(int64_t a, int64_t b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}
constexpr int64_t FloorMod(int64_t a, int64_t b)
{
    return a - FloorDiv(a, b) * b;
}

constexpr bool IsLeapYear(int64_t y)
{
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

// Days of month m (1-12) in year y; 31 for a month outside 1-12.
unsigned MonthLength(int64_t y, unsigned m);

// Days since 1970-01-01 of year y, month m (1-12) and day 1 (any d is added
// as an offset from day 1); months outside 1-12 carry into the year.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d);

// The calendar date of a day count.
struct CivilDate
{
    int64_t year;
    unsigned month;
    unsigned day;
};
CivilDate CivilFromDays(int64_t days);

// 0 = Sunday ... 6 = Saturday.
unsigned WeekdayOfDays(int64_t days);

// Count of a record read as a plain calendar time, out-of-range fields carried.
int64_t ToCount(const SYSTIME_t &t);

extern const int64_t kMinTimeCount;
extern const int64_t kMaxTimeCount;

// The record of a count (clamped to the representable years), weekday filled.
void FromCount(int64_t count, SYSTIME_t *out);

// a + b, saturating at the int64_t range.
int64_t SaturatingAdd(int64_t a, int64_t b);

// Local zone of the process (TZ): UTC count -> local wall count, and back. A
// wall time that a clock change skips or repeats is read with the offset in
// force before the change.
int64_t UtcToLocal(int64_t utc);
int64_t LocalToUtc(int64_t local);

} // namespace corekit_time
