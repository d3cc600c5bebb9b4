// Record conversions and calendar arithmetic on plain calendar times.

#include "corekit/systime/systime.h"
#include "corekit/systime/systime_calendar.h"

using namespace corekit_time;

void CVT_Time(SYSTIME_t *out, const DATETIME_t *in)
{
    const DATETIME_t t = *in; // out and in may share memory
    out->wYear = t.wYear;
    out->wMonth = t.bMonth;
    out->wDay = t.bDay;
    out->wHour = t.bHour;
    out->wMinute = t.bMinute;
    out->wSecond = t.bSecond;
    out->wDayOfWeek = kUnknownWeekday;
    out->wMilliseconds = static_cast<uint16_t>(t.bMilli * 10);
}

void CVT_Time(DATETIME_t *out, const SYSTIME_t *in)
{
    const SYSTIME_t t = *in;
    out->wYear = t.wYear;
    out->bMonth = static_cast<uint8_t>(t.wMonth);
    out->bDay = static_cast<uint8_t>(t.wDay);
    out->bHour = static_cast<uint8_t>(t.wHour);
    out->bMinute = static_cast<uint8_t>(t.wMinute);
    out->bSecond = static_cast<uint8_t>(t.wSecond);
    out->bMilli = static_cast<uint8_t>(t.wMilliseconds / 10);
}

unsigned GetWeekNumber(SYSTIME_t *t)
{
    const unsigned weekday = WeekdayOfDays(FloorDiv(ToCount(*t), kMsPerDay));
    t->wDayOfWeek = static_cast<uint16_t>(weekday);
    return weekday;
}

namespace {

// Cuts the day to the length of its month (a known month only).
void ClampDay(SYSTIME_t *t)
{
    const unsigned length = MonthLength(t->wYear, t->wMonth);
    if (t->wDay > length)
        t->wDay = static_cast<uint16_t>(length);
}

// A weekday that was known stays true after a year or month step; an unknown
// one (kUnknownWeekday) stays unknown.
void KeepWeekday(SYSTIME_t *t)
{
    if (t->wDayOfWeek < 7)
        GetWeekNumber(t);
}

void AddYears(SYSTIME_t *t, int64_t n)
{
    t->wYear = static_cast<uint16_t>(static_cast<uint64_t>(t->wYear) + static_cast<uint64_t>(n));
    ClampDay(t);
    KeepWeekday(t);
}

void AddMonths(SYSTIME_t *t, int64_t n)
{
    // Month index 0-11 plus n, split so that nothing overflows for any n.
    const int64_t index = static_cast<int64_t>(t->wMonth) - 1 + FloorMod(n, 12);
    const int64_t years = FloorDiv(n, 12) + FloorDiv(index, 12);
    t->wMonth = static_cast<uint16_t>(FloorMod(index, 12) + 1);
    t->wYear =
        static_cast<uint16_t>(static_cast<uint64_t>(t->wYear) + static_cast<uint64_t>(years));
    ClampDay(t);
    KeepWeekday(t);
}

// Milliseconds per unit for the codes 2-5; other codes only normalise.
int64_t UnitLength(int field)
{
    constexpr int64_t kLength[] = {kMsPerDay, kMsPerHour, kMsPerMinute, kMsPerSecond};
    return field >= 2 && field <= 5 ? kLength[field - 2] : 0;
}

void AddCount(SYSTIME_t *t, int field, int64_t n)
{
    int64_t delta;
    if (__builtin_mul_overflow(n, UnitLength(field), &delta))
        delta = n > 0 ? INT64_MAX : INT64_MIN; // far outside the representable years
    FromCount(SaturatingAdd(ToCount(*t), delta), t);
}

void SetField(SYSTIME_t *t, int field, int64_t n)
{
    uint16_t *fields[] = {&t->wYear, &t->wMonth, &t->wDay, &t->wHour, &t->wMinute, &t->wSecond};
    if (field <= 5)
        *fields[field] = static_cast<uint16_t>(n);
}

void SetField(DATETIME_t *t, int field, int64_t n)
{
    uint8_t *fields[] = {&t->bMonth, &t->bDay, &t->bHour, &t->bMinute, &t->bSecond};
    if (field == 0)
        t->wYear = static_cast<uint16_t>(n);
    else if (field <= 5)
        *fields[field - 1] = static_cast<uint8_t>(n);
}

} // namespace

void AddTime(SYSTIME_t *t, int unit, int64_t n)
{
    const int field = unit & 0x0F;
    if (unit & kTimeSet)
        SetField(t, field, n);
    else if (field == kTimeYear)
        AddYears(t, n);
    else if (field == kTimeMonth)
        AddMonths(t, n);
    else
        AddCount(t, field, n);
}

void AddTime(DATETIME_t *t, int unit, int64_t n)
{
    if (unit & kTimeSet) {
        SetField(t, unit & 0x0F, n);
        return;
    }
    SYSTIME_t full;
    CVT_Time(&full, t);
    AddTime(&full, unit, n);
    CVT_Time(t, &full);
}

double SubTime(const SYSTIME_t *a, const SYSTIME_t *b)
{
    return static_cast<double>(ToCount(*a) - ToCount(*b)) / 1000.0;
}

double SubTime(const DATETIME_t *a, const DATETIME_t *b)
{
    SYSTIME_t left, right;
    CVT_Time(&left, a);
    CVT_Time(&right, b);
    return SubTime(&left, &right);
}
