#include "corekit/systime/systime.h"

namespace {

template <typename T> int Order(T a, T b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

int CompareTime(const SYSTIME_t *a, const SYSTIME_t *b)
{
    const uint16_t left[] = {a->wYear,   a->wMonth,  a->wDay,         a->wHour,
                             a->wMinute, a->wSecond, a->wMilliseconds};
    const uint16_t right[] = {b->wYear,   b->wMonth,  b->wDay,         b->wHour,
                              b->wMinute, b->wSecond, b->wMilliseconds};
    for (int i = 0; i < 7; ++i)
        if (int r = Order(left[i], right[i]))
            return r;
    return 0;
}

int CompareTime(const DATETIME_t *a, const DATETIME_t *b)
{
    if (int r = Order(a->wYear, b->wYear))
        return r;
    const uint8_t left[] = {a->bMonth, a->bDay, a->bHour, a->bMinute, a->bSecond, a->bMilli};
    const uint8_t right[] = {b->bMonth, b->bDay, b->bHour, b->bMinute, b->bSecond, b->bMilli};
    for (int i = 0; i < 6; ++i)
        if (int r = Order(left[i], right[i]))
            return r;
    return 0;
}

int CompareTime(const DATETIME_t &a, const DATETIME_t &b)
{
    return CompareTime(&a, &b);
}
