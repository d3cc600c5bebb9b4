#pragma once
// Calendar records shared by forms, grids and documents, and their comparison.

#include <cstdint>

#include "corekit/corekit_export.h"

// A full local time; every field is 16 bits. The order differs from the Win32 record
// (the weekday is seventh), so conversions copy field by field.
struct SYSTIME_t
{
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
struct DATETIME_t
{
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

// ---- Record conversions ----------------------------------------------------
// SYSTIME_t -> DATETIME_t divides the milliseconds by 10 and drops the weekday;
// DATETIME_t -> SYSTIME_t multiplies the hundredths by 10 and sets the weekday
// to kUnknownWeekday. Fields are copied as they stand, valid or not.
COREKIT_EXPORT void CVT_Time(SYSTIME_t *out, const DATETIME_t *in);
COREKIT_EXPORT void CVT_Time(DATETIME_t *out, const SYSTIME_t *in);

// ---- Clock readers ---------------------------------------------------------

// The current time, UTC when utc != 0, else the local time of the process zone
// (TZ); the weekday is filled.
COREKIT_EXPORT void GetSystemTime(int utc, SYSTIME_t *out);
COREKIT_EXPORT void GetSystemTime(int utc, DATETIME_t *out);

// mode == 0: a monotonic tick count in milliseconds, wrapping at 2^32 (about
// 49.7 days); mode != 0: milliseconds since 1970-01-01 00:00:00 UTC.
COREKIT_EXPORT uint64_t GetTimeTicker(int mode);

// ---- Local and universal time ----------------------------------------------
// Local time is the wall clock of the process time zone (TZ, read through the
// C library's zone data). A local time that a clock change skips or repeats is
// read with the offset in force before the change. Out-of-range fields (day 31
// of a 30-day month, hour 24, month 13 or 0) are carried into the next larger
// field as calendar arithmetic does; results are clamped to years 0-65535.

// toLocal != 0: in is UTC and out the local time; toLocal == 0: in is local and
// out UTC. out gets a recomputed weekday; the milliseconds are kept. out may be in.
COREKIT_EXPORT void UTC_Time(int toLocal, SYSTIME_t *out, const SYSTIME_t *in);

// t read as local time; milliseconds since 1970-01-01 00:00:00 UTC.
COREKIT_EXPORT int64_t CVT_Time(const SYSTIME_t *t);

// out = the local time of 1970-01-01 00:00:00 UTC plus v units of 100
// nanoseconds (a millisecond count is multiplied by 10000 first).
COREKIT_EXPORT void CVT_Time(SYSTIME_t *out, int64_t v);

// The weekday (0 = Sunday) of t's own calendar date, stored into
// t->wDayOfWeek and returned.
COREKIT_EXPORT unsigned GetWeekNumber(SYSTIME_t *t);

// ---- Calendar arithmetic ---------------------------------------------------

// AddTime unit codes: the low four bits select the field; kTimeSet makes the
// call set the field to n (truncated to the field's width) instead of adding.
enum : int {
    kTimeYear = 0,
    kTimeMonth = 1,
    kTimeDay = 2,
    kTimeHour = 3,
    kTimeMinute = 4,
    kTimeSecond = 5,
    kTimeSet = 0x10,
};

// Adds n units to t (plain calendar time, no zone). Years and months keep the
// day within the new month (Jan 31 + 1 month = Feb 28/29); days and smaller
// units carry through the calendar, recompute the weekday (SYSTIME_t) and keep
// the milliseconds or hundredths. Codes 6-15 without kTimeSet only normalise
// the record; codes above 5 with kTimeSet do nothing.
COREKIT_EXPORT void AddTime(SYSTIME_t *t, int unit, int64_t n);
COREKIT_EXPORT void AddTime(DATETIME_t *t, int unit, int64_t n);

// a - b in seconds, with the milliseconds (hundredths) as fraction; both read
// as plain calendar times.
COREKIT_EXPORT double SubTime(const SYSTIME_t *a, const SYSTIME_t *b);
COREKIT_EXPORT double SubTime(const DATETIME_t *a, const DATETIME_t *b);

// ---- The %-token grammar ---------------------------------------------------
// Tokens: %Y year (4 digits), %y two-digit year (2000 + value), %M month,
// %N/%n month name (Jan..Dec), %D/%d day, %H hour, %h 12-hour clock hour,
// %P/%p AM or PM, %m minute, %S/%s second, %F/%f milliseconds, %W weekday
// name (Sun..Sat), %w weekday digit, %% one percent sign. A null format is
// kDefaultTimeFormat.

// Reads text into out; 1 on success, 0 on failure. Literals of the format
// consume one text character each without comparing it (a ',' also skips the
// blanks after it); any literal or token that meets the end of the text fails.
// The SYSTIME_t form leaves out partly filled on failure; the DATETIME_t form
// leaves it untouched. Weekday is kUnknownWeekday unless %W or %w read one.
COREKIT_EXPORT int ParseTime(SYSTIME_t *out, const char *text, const char *format);
COREKIT_EXPORT int ParseTime(SYSTIME_t *out, const char16_t *text, const char16_t *format);
COREKIT_EXPORT int ParseTime(DATETIME_t *out, const char *text, const char *format);
COREKIT_EXPORT int ParseTime(DATETIME_t *out, const char16_t *text, const char16_t *format);

// Room callers give FormatTime's buffer, terminator included: output stops
// after the step that takes it beyond 126 characters.
constexpr unsigned kFormatTimeBuffer = 132;

// Writes t by the format into buf (kFormatTimeBuffer characters); returns the
// characters written. A DATETIME_t carries no weekday, so %W writes "Wed" and
// %w writes 17 for it.
COREKIT_EXPORT unsigned FormatTime(char *buf, const SYSTIME_t *t, const char *format);
COREKIT_EXPORT unsigned FormatTime(char16_t *buf, const SYSTIME_t *t, const char16_t *format);
COREKIT_EXPORT unsigned FormatTime(char *buf, const DATETIME_t *t, const char *format);
COREKIT_EXPORT unsigned FormatTime(char16_t *buf, const DATETIME_t *t, const char16_t *format);

// ---- The $-template grammar ------------------------------------------------
// A template is literals and runs of $. One that begins with four $ has runs
// for year, month, day, hour, minute and second; any other has runs for hour,
// minute and second on the date 1900-01-01. Runs beyond the second are
// ignored. A null template is kDefaultTimeTemplate.

// Reads text into out: each literal consumes one text character, each run of
// k $ consumes k characters (fewer at the end of the text) and takes the
// decimal digits among them. Years 1-1899 become 2000, a year of 0 fails;
// months, days, hours, minutes and seconds wrap into their ranges. 1 when a
// field was read and a character consumed, else 0.
COREKIT_EXPORT unsigned ParseTimeEx(DATETIME_t *out, const char *text, const char *templ);
COREKIT_EXPORT unsigned ParseTimeEx(DATETIME_t *out, const char16_t *text, const char16_t *templ);

// Writes t by the template (year 4 digits, other fields 2); returns the
// characters written. An empty template writes an empty text.
COREKIT_EXPORT unsigned FormatTimeEx(char *buf, const DATETIME_t *t, const char *templ);
COREKIT_EXPORT unsigned FormatTimeEx(char16_t *buf, const DATETIME_t *t, const char16_t *templ);

constexpr const char *kDefaultTimeFormat = "%Y-%M-%d %H:%m:%s";
constexpr const char *kDefaultTimeTemplate = "$$$$-$$-$$ $$:$$:$$";
