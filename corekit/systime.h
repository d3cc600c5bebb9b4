#pragma once
// Calendar records shared by forms, grids and documents, and their comparison.

#include <cstdint>

#include "corekit/corekit_export.h"

// A full local time; every field is 16 bits. The order differs from the Win32 record
// (the weekday is seventh), so conversions copy field by field.
struct SYSTIME_t {
    uint16_t wYear;         // full year, e.g. 2024
    uint16_t wMonth;        // 1-12
    uint16_t wDay;          // 1-31
    uint16_t wHour;         // 0-23
    uint16_t wMinute;       // 0-59
    uint16_t wSecond;       // 0-59
    uint16_t wDayOfWeek;    // 0 = Sunday ... 6 = Saturday; 17 = unknown
    uint16_t wMilliseconds; // 0-999
};

// Compact date-time, eight bytes exactly, stored as is by documents and archives.
struct DATETIME_t {
    uint16_t wYear;
    uint8_t bMonth;  // 1-12
    uint8_t bDay;    // 1-31
    uint8_t bHour;   // 0-23
    uint8_t bMinute; // 0-59
    uint8_t bSecond; // 0-59
    uint8_t bMilli;  // hundredths of a second, 0-99
};
static_assert(sizeof(DATETIME_t) == 8, "DATETIME_t is stored as eight bytes");

// Weekday value that marks "not known" in SYSTIME_t::wDayOfWeek.
constexpr uint16_t kUnknownWeekday = 17;

// -1, 0 or 1 comparing year, month, day, hour, minute, second and then the
// milliseconds (hundredths for DATETIME_t) as unsigned values; the weekday is ignored.
COREKIT_EXPORT int CompareTime(const SYSTIME_t *a, const SYSTIME_t *b);
COREKIT_EXPORT int CompareTime(const DATETIME_t *a, const DATETIME_t *b);
COREKIT_EXPORT int CompareTime(const DATETIME_t &a, const DATETIME_t &b);
