#include "corekit/systime/systime_calendar.h"

#include <limits>

namespace corekit_time {

unsigned MonthLength(int64_t y, unsigned m)
{
    // Days per month, January first; February is adjusted for leap years.
    constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12)
        return 31;
    return kDays[m - 1] + (m == 2 && IsLeapYear(y) ? 1 : 0);
}

// Days-from-civil over 400-year eras (146097 days each), with March as the
// first month so that the leap day ends the year.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y += FloorDiv(m - 1, 12);
    m = FloorMod(m - 1, 12) + 1;
    y -= m <= 2 ? 1 : 0;
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + (d - 1);
}

CivilDate CivilFromDays(int64_t days)
{
    const int64_t z = days + 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const auto day = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
    const auto month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

unsigned WeekdayOfDays(int64_t days)
{
    return static_cast<unsigned>(FloorMod(days + 4, 7)); // 1970-01-01 was a Thursday
}

int64_t ToCount(const SYSTIME_t &t)
{
    return DaysFromCivil(t.wYear, t.wMonth, t.wDay) * kMsPerDay + t.wHour * kMsPerHour +
           t.wMinute * kMsPerMinute + t.wSecond * kMsPerSecond + t.wMilliseconds;
}

const int64_t kMinTimeCount = DaysFromCivil(0, 1, 1) * kMsPerDay;
const int64_t kMaxTimeCount = DaysFromCivil(65536, 1, 1) * kMsPerDay - 1;

void FromCount(int64_t count, SYSTIME_t *out)
{
    if (count < kMinTimeCount)
        count = kMinTimeCount;
    if (count > kMaxTimeCount)
        count = kMaxTimeCount;
    const int64_t days = FloorDiv(count, kMsPerDay);
    int64_t rest = count - days * kMsPerDay;
    const CivilDate date = CivilFromDays(days);
    out->wYear = static_cast<uint16_t>(date.year);
    out->wMonth = static_cast<uint16_t>(date.month);
    out->wDay = static_cast<uint16_t>(date.day);
    out->wHour = static_cast<uint16_t>(rest / kMsPerHour);
    rest %= kMsPerHour;
    out->wMinute = static_cast<uint16_t>(rest / kMsPerMinute);
    rest %= kMsPerMinute;
    out->wSecond = static_cast<uint16_t>(rest / kMsPerSecond);
    out->wMilliseconds = static_cast<uint16_t>(rest % kMsPerSecond);
    out->wDayOfWeek = static_cast<uint16_t>(WeekdayOfDays(days));
}

int64_t SaturatingAdd(int64_t a, int64_t b)
{
    int64_t sum;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

} // namespace corekit_time
