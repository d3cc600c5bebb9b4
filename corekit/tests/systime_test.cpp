// Time records, calendar arithmetic and the two time grammars.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "corekit/systime/systime.h"
#include "test_util.h"

namespace {

SYSTIME_t Sys(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0,
              int dow = kUnknownWeekday)
{
    auto u = [](int v) { return static_cast<uint16_t>(v); };
    return {u(y), u(mo), u(d), u(h), u(mi), u(s), u(dow), u(ms)};
}

DATETIME_t Dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int cs = 0)
{
    auto b = [](int v) { return static_cast<uint8_t>(v); };
    return {static_cast<uint16_t>(y), b(mo), b(d), b(h), b(mi), b(s), b(cs)};
}

std::string Show(const SYSTIME_t &t)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u w%u", t.wYear, t.wMonth,
                  t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, t.wDayOfWeek);
    return buf;
}

std::string Show(const DATETIME_t &t)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%02u", t.wYear, t.bMonth, t.bDay,
                  t.bHour, t.bMinute, t.bSecond, t.bMilli);
    return buf;
}

std::u16string Wide(const char *s)
{
    std::u16string w;
    for (; *s; ++s)
        w += static_cast<char16_t>(static_cast<unsigned char>(*s));
    return w;
}

std::string Narrow(const char16_t *s)
{
    std::string n;
    for (; *s; ++s)
        n += static_cast<char>(*s);
    return n;
}

// ---- ParseTime ---------------------------------------------------------------

struct ParseCase
{
    const char *format; // nullptr: the default format
    const char *text;
    int result;
    const char *expected; // Show() of the record when result is 1
};

constexpr ParseCase kParseCases[] = {
    {nullptr, "2024-03-05 07:08:09", 1, "2024-03-05 07:08:09.000 w17"},
    {nullptr, "2024/03/05T07.08.09 and more", 1, "2024-03-05 07:08:09.000 w17"},
    {nullptr, "2024-3-5 7:8:9", 1, "2024-03-05 07:08:09.000 w17"},
    {nullptr, "24-03-05 07:08:09", 0, nullptr},
    {nullptr, "2024-03-05", 0, nullptr}, // the ' ' literal meets the end of the text
    {"%Y", "999", 0, nullptr},
    {"%Y", "20245", 1, "2024-01-01 00:00:00.000 w17"},
    {"%y", "24", 1, "2024-01-01 00:00:00.000 w17"},
    {"%y", "7", 0, nullptr},
    {"%d %N %Y", "5 mar 2024", 1, "2024-03-05 00:00:00.000 w17"},
    {"%d %n %Y", "5 DEC 2024", 1, "2024-12-05 00:00:00.000 w17"},
    {"%d %N %Y", "5 March 2024", 0, nullptr},
    {"%d %N %Y", "5 mrz 2024", 0, nullptr},
    {"%d%N", "5  feb", 1, "0000-02-05 00:00:00.000 w17"}, // the word's blanks are skipped
    {"%N,%d", "jan, 7", 1, "0000-01-07 00:00:00.000 w17"},
    {"%W %d", "tUe 9", 1, "0000-01-09 00:00:00.000 w2"},
    {"%w", "6", 1, "0000-01-01 00:00:00.000 w6"},
    {"%w", "x", 0, nullptr},
    {"%H:%m:%S.%F", "25:61:99.1234", 1, "0000-01-01 01:61:99.123 w17"},
    {"%s.%f", "9.5", 1, "0000-01-01 00:00:09.005 w17"},
    {"%M/%D", "1237", 1, "0000-12-07 00:00:00.000 w17"}, // two digits at most, '/' eats the 3
    {"%M", "x1", 0, nullptr},
    {"%d,%M", "5,   3", 1, "0000-03-05 00:00:00.000 w17"}, // ',' also skips blanks
    {"%Q%Y", "x2024", 1, "2024-01-01 00:00:00.000 w17"},   // %Q is no token: Q is a literal
    {"%Y%%", "2024", 0, nullptr},                          // %% meets the end of the text
    {"%Y%%%M", "2024?11", 1, "2024-11-01 00:00:00.000 w17"},
    {"%Y%", "2024", 1, "2024-01-01 00:00:00.000 w17"},
    {"", "", 1, "0000-01-01 00:00:00.000 w17"},
    // 12-hour clock: 12 AM is 0, 12 PM is 12, 13 and above stay as read.
    {"%h:%m %P", "12:05 AM", 1, "0000-01-01 00:05:00.000 w17"},
    {"%h:%m %P", "12:05 pm", 1, "0000-01-01 12:05:00.000 w17"},
    {"%h:%m %p", "01:05 PM", 1, "0000-01-01 13:05:00.000 w17"},
    {"%h:%m %P", "11:05 am", 1, "0000-01-01 11:05:00.000 w17"},
    {"%h %P", "13 PM", 1, "0000-01-01 13:00:00.000 w17"},
    {"%P %h", "PM 3", 1, "0000-01-01 15:00:00.000 w17"},
    {"%P %h", "AM 12", 1, "0000-01-01 00:00:00.000 w17"},
    {"%P %h", "PM 12", 1, "0000-01-01 12:00:00.000 w17"},
    {"%h", "30", 1, "0000-01-01 06:00:00.000 w17"},
    {"%H %P", "12 AM", 1, "0000-01-01 00:00:00.000 w17"},
    {"%h %P", "3 XM", 0, nullptr},
    {"%h %P", "3 P", 0, nullptr},
};

TEST(ParseTime, NarrowAndWideFollowTheTokenGrammar)
{
    for (const ParseCase &c : kParseCases) {
        SCOPED_TRACE(std::string(c.format ? c.format : "(default)") + " <- " + c.text);
        SYSTIME_t narrow{}, wide{};
        EXPECT_EQ(c.result, ParseTime(&narrow, c.text, c.format));
        const std::u16string text = Wide(c.text);
        const std::u16string format = c.format ? Wide(c.format) : u"";
        EXPECT_EQ(c.result, ParseTime(&wide, text.c_str(), c.format ? format.c_str() : nullptr));
        if (c.result) {
            EXPECT_EQ(c.expected, Show(narrow));
            EXPECT_EQ(c.expected, Show(wide));
        }
    }
}

TEST(ParseTime, DateTimeFormLeavesItsOutputOnFailure)
{
    DATETIME_t t = Dt(1999, 9, 9, 9, 9, 9, 9);
    EXPECT_EQ(0, ParseTime(&t, "2024-03", nullptr));
    EXPECT_EQ("1999-09-09 09:09:09.09", Show(t));
    EXPECT_EQ(1, ParseTime(&t, u"2024-03-05 07:08:09.456", u"%Y-%M-%d %H:%m:%s.%F"));
    EXPECT_EQ("2024-03-05 07:08:09.45", Show(t));
    EXPECT_EQ(0, ParseTime(&t, static_cast<const char *>(nullptr), nullptr));
}

// ---- FormatTime --------------------------------------------------------------

struct FormatCase
{
    const char *format;
    SYSTIME_t time;
    const char *expected;
};

const FormatCase kFormatCases[] = {
    {nullptr, Sys(2024, 3, 5, 7, 8, 9), "2024-03-05 07:08:09"},
    {"%h:%m %P", Sys(2024, 1, 1, 0, 5), "12:05 AM"},
    {"%h:%m %p", Sys(2024, 1, 1, 13, 5), "01:05 PM"},
    {"%h %P", Sys(2024, 1, 1, 12, 0), "12 PM"},
    {"%h %P", Sys(2024, 1, 1, 11, 0), "11 AM"},
    {"%Y|%y|%M|%N|%n|%D|%d", Sys(987, 12, 31), "0987|87|12|Dec|Dec|31|31"},
    {"%Y %N", Sys(40000, 0, 1), "40000 Dec"}, // month 0 names December, (0 - 1) mod 12
    {"%H%m%S%s.%F%f", Sys(1, 1, 1, 23, 59, 58, 7), "23595858.007007"},
    {"%W %w", Sys(2024, 1, 1, 0, 0, 0, 0, 1), "Mon 1"},
    {"%W %w", Sys(2024, 1, 1, 0, 0, 0, 0, 17), "Wed 17"},
    {"100%% %Q%", Sys(2024, 1, 1), "100% "},
    {"", Sys(2024, 1, 1), ""},
};

TEST(FormatTime, NarrowAndWideWriteTheTokens)
{
    for (const FormatCase &c : kFormatCases) {
        SCOPED_TRACE(c.format ? c.format : "(default)");
        char narrow[kFormatTimeBuffer];
        char16_t wide[kFormatTimeBuffer];
        const std::u16string format = c.format ? Wide(c.format) : u"";
        EXPECT_EQ(std::strlen(c.expected), FormatTime(narrow, &c.time, c.format));
        EXPECT_EQ(std::strlen(c.expected),
                  FormatTime(wide, &c.time, c.format ? format.c_str() : nullptr));
        EXPECT_STREQ(c.expected, narrow);
        EXPECT_EQ(c.expected, Narrow(wide));
    }
}

TEST(FormatTime, DateTimeHasNoWeekdayAndOutputStopsPast126)
{
    char buf[kFormatTimeBuffer];
    const DATETIME_t t = Dt(2024, 3, 5, 7, 8, 9, 45);
    EXPECT_EQ(13u, FormatTime(buf, &t, "%W %w %s.%F"));
    EXPECT_STREQ("Wed 17 09.450", buf);

    const std::string longFormat(200, 'a');
    EXPECT_EQ(127u, FormatTime(buf, &t, longFormat.c_str()));
    // The token that crosses 126 still completes: the worst case fits 132 characters.
    const std::string yearLast = std::string(126, 'a') + "%Y%Y";
    const SYSTIME_t big = Sys(65535, 1, 1);
    char16_t wide[kFormatTimeBuffer];
    EXPECT_EQ(131u, FormatTime(wide, &big, Wide(yearLast.c_str()).c_str()));
    EXPECT_EQ(u'5', wide[130]);
}

// ---- The $ grammar -----------------------------------------------------------

struct TemplateCase
{
    const char *templ;
    const char *text;
    unsigned result;
    const char *expected;
};

constexpr TemplateCase kTemplateCases[] = {
    {nullptr, "2024-03-05 07:08:09", 1, "2024-03-05 07:08:09.00"},
    {nullptr, "0099-13-32 25:61:61", 1, "2000-01-01 01:01:01.00"},
    {nullptr, "2024-02-30 00:00:00", 1, "2024-02-01 00:00:00.00"},
    {nullptr, "2023-02-29 00:00:00", 1, "2023-02-01 00:00:00.00"},
    {nullptr, "2024-00-00", 1, "2024-01-01 00:00:00.00"},
    {nullptr, "2024", 1, "2024-01-01 00:00:00.00"},
    {nullptr, "2a0b", 1, "2000-01-01 00:00:00.00"}, // digits among others: 20
    {nullptr, "0000-05-05", 0, nullptr},
    {nullptr, "", 0, nullptr},
    {"$$:$$", "12:34", 1, "1900-01-01 12:34:00.00"},
    {"$$:$$:$$:$$", "01:02:03:04", 1, "1900-01-01 01:02:03.00"}, // a fourth run is ignored
    {"$$$$$$", "123456", 1, "65535-01-01 00:00:00.00"},
    {"$$$ $", "12", 1, "1900-01-01 12:00:00.00"},
};

TEST(ParseTimeEx, NarrowAndWideFollowTheTemplate)
{
    for (const TemplateCase &c : kTemplateCases) {
        SCOPED_TRACE(std::string(c.templ ? c.templ : "(default)") + " <- " + c.text);
        DATETIME_t narrow{}, wide{};
        EXPECT_EQ(c.result, ParseTimeEx(&narrow, c.text, c.templ));
        const std::u16string templ = c.templ ? Wide(c.templ) : u"";
        EXPECT_EQ(c.result,
                  ParseTimeEx(&wide, Wide(c.text).c_str(), c.templ ? templ.c_str() : nullptr));
        if (c.result) {
            EXPECT_EQ(c.expected, Show(narrow));
            EXPECT_EQ(c.expected, Show(wide));
        }
    }
}

TEST(FormatTimeEx, WritesTheRunsInOrder)
{
    const DATETIME_t t = Dt(2024, 3, 5, 7, 8, 9, 10);
    const struct
    {
        const char *templ;
        const char *expected;
    } cases[] = {
        {nullptr, "2024-03-05 07:08:09"},
        {"$$$$/$$/$$", "2024/03/05"},
        {"$$:$$", "07:08"},
        {"$:$:$:$", "07:08:09:"},
        {"", ""},
        {"at $$$$", "at 07"},
    };
    for (const auto &c : cases) {
        char narrow[64];
        char16_t wide[64];
        const std::u16string templ = c.templ ? Wide(c.templ) : u"";
        EXPECT_EQ(std::strlen(c.expected), FormatTimeEx(narrow, &t, c.templ));
        EXPECT_EQ(std::strlen(c.expected),
                  FormatTimeEx(wide, &t, c.templ ? templ.c_str() : nullptr));
        EXPECT_STREQ(c.expected, narrow);
        EXPECT_EQ(c.expected, Narrow(wide));
    }
}

// ---- Calendar arithmetic -----------------------------------------------------

struct AddCase
{
    SYSTIME_t start;
    int unit;
    int64_t n;
    const char *expected;
};

const AddCase kAddCases[] = {
    {Sys(2024, 1, 31), kTimeMonth, 1, "2024-02-29 00:00:00.000 w17"},
    {Sys(2023, 1, 31), kTimeMonth, 1, "2023-02-28 00:00:00.000 w17"},
    {Sys(2024, 1, 15), kTimeMonth, -13, "2022-12-15 00:00:00.000 w17"},
    {Sys(2024, 1, 15), kTimeMonth, 120000, "12024-01-15 00:00:00.000 w17"},
    {Sys(2024, 1, 15, 0, 0, 0, 0, 1), kTimeMonth, 1, "2024-02-15 00:00:00.000 w4"},
    {Sys(2024, 13, 15), kTimeMonth, 0, "2025-01-15 00:00:00.000 w17"},
    {Sys(2024, 0, 15), kTimeMonth, 0, "2023-12-15 00:00:00.000 w17"},
    {Sys(2024, 2, 29), kTimeYear, 1, "2025-02-28 00:00:00.000 w17"},
    {Sys(2024, 2, 10), kTimeYear, 1, "2025-02-10 00:00:00.000 w17"},
    {Sys(2000, 2, 29), kTimeYear, 100, "2100-02-28 00:00:00.000 w17"},
    {Sys(2024, 2, 28, 23, 59, 59, 999), kTimeSecond, 1, "2024-02-29 00:00:00.999 w4"},
    {Sys(2024, 3, 1), kTimeHour, -1, "2024-02-29 23:00:00.000 w4"},
    {Sys(2023, 12, 31, 23, 30), kTimeMinute, 45, "2024-01-01 00:15:00.000 w1"},
    {Sys(1900, 3, 1), kTimeDay, -1, "1900-02-28 00:00:00.000 w3"},
    {Sys(1, 1, 1), kTimeDay, -366, "0000-01-01 00:00:00.000 w6"},
    {Sys(2024, 1, 1), kTimeDay, INT64_MAX, "65535-12-31 23:59:59.999 w2"},
    {Sys(2024, 1, 1), kTimeDay, INT64_MIN, "0000-01-01 00:00:00.000 w6"},
    {Sys(2024, 1, 1, 0, 0, 0, 0, 3), kTimeDay | kTimeSet, 7, "2024-01-07 00:00:00.000 w3"},
    {Sys(2024, 1, 1), kTimeYear | kTimeSet, 70000, "4464-01-01 00:00:00.000 w17"},
    {Sys(2024, 1, 1), 6 | kTimeSet, 7, "2024-01-01 00:00:00.000 w17"},
    // Invalid dates are carried the way the calendar arithmetic carries them.
    {Sys(2024, 4, 31), kTimeDay, 0, "2024-05-01 00:00:00.000 w3"},
    {Sys(2024, 13, 1, 24), kTimeHour, 0, "2025-01-02 00:00:00.000 w4"},
    {Sys(2024, 2, 0), kTimeSecond, 0, "2024-01-31 00:00:00.000 w3"},
    {Sys(2024, 1, 1, 0, 0, 0, 0, 5), 9, 0, "2024-01-01 00:00:00.000 w1"},
};

TEST(AddTime, YearsAndMonthsKeepTheDayInItsMonthAndSmallerUnitsCarry)
{
    for (const AddCase &c : kAddCases) {
        SCOPED_TRACE(Show(c.start) + " unit " + std::to_string(c.unit) + " n " +
                     std::to_string(c.n));
        SYSTIME_t t = c.start;
        AddTime(&t, c.unit, c.n);
        EXPECT_EQ(c.expected, Show(t));
    }
}

TEST(AddTime, DateTimeKeepsHundredthsAndFieldWidths)
{
    DATETIME_t t = Dt(2024, 12, 31, 23, 59, 59, 99);
    AddTime(&t, kTimeSecond, 1);
    EXPECT_EQ("2025-01-01 00:00:00.99", Show(t));
    AddTime(&t, kTimeMonth, 14);
    EXPECT_EQ("2026-03-01 00:00:00.99", Show(t));
    AddTime(&t, kTimeHour | kTimeSet, 300);
    EXPECT_EQ("2026-03-01 44:00:00.99", Show(t));
    AddTime(&t, kTimeMinute, 0); // normalises
    EXPECT_EQ("2026-03-02 20:00:00.99", Show(t));
    t.bMilli = 250;
    AddTime(&t, 15, 0);
    EXPECT_EQ("2026-03-02 20:00:02.50", Show(t));
}

TEST(SubTime, DifferenceInSeconds)
{
    const SYSTIME_t a = Sys(2024, 1, 1, 10, 0, 1, 500), b = Sys(2024, 1, 1, 10, 0, 0, 0);
    EXPECT_DOUBLE_EQ(1.5, SubTime(&a, &b));
    EXPECT_DOUBLE_EQ(-1.5, SubTime(&b, &a));
    const SYSTIME_t leap = Sys(2024, 3, 1), feb = Sys(2024, 2, 1);
    EXPECT_DOUBLE_EQ(29 * 86400.0, SubTime(&leap, &feb));
    const DATETIME_t c = Dt(2024, 4, 31), d = Dt(2024, 5, 1, 0, 0, 0, 25); // April 31 is May 1
    EXPECT_DOUBLE_EQ(-0.25, SubTime(&c, &d));
}

TEST(CompareTime, IgnoresTheWeekday)
{
    const SYSTIME_t a = Sys(2024, 1, 1, 0, 0, 0, 0, 1), b = Sys(2024, 1, 1, 0, 0, 0, 0, 5);
    EXPECT_EQ(0, CompareTime(&a, &b));
    const SYSTIME_t c = Sys(2024, 1, 1, 0, 0, 0, 1);
    EXPECT_EQ(-1, CompareTime(&a, &c));
    EXPECT_EQ(1, CompareTime(&c, &a));
    EXPECT_EQ(1, CompareTime(Dt(2024, 1, 2), Dt(2024, 1, 1, 23)));
}

TEST(CVT_Time, RecordsConvertFieldByField)
{
    const SYSTIME_t full = Sys(2024, 3, 5, 7, 8, 9, 456, 2);
    DATETIME_t compact;
    CVT_Time(&compact, &full);
    EXPECT_EQ("2024-03-05 07:08:09.45", Show(compact));
    SYSTIME_t back;
    CVT_Time(&back, &compact);
    EXPECT_EQ("2024-03-05 07:08:09.450 w17", Show(back));
}

// ---- Local time --------------------------------------------------------------

TEST(GetWeekNumber, WeekdayOfTheRecordsOwnDate)
{
    ZoneSetting zone("Asia/Shanghai"); // early morning there is the previous day in UTC
    const struct
    {
        SYSTIME_t t;
        unsigned weekday;
    } cases[] = {
        {Sys(2024, 1, 1, 12), 1}, {Sys(1970, 1, 1, 12), 4}, {Sys(2024, 1, 1, 5), 1},
        {Sys(1969, 12, 31), 3},   {Sys(1900, 1, 1), 1},     {Sys(2024, 2, 30), 5},
    };
    for (const auto &c : cases) {
        SYSTIME_t t = c.t;
        EXPECT_EQ(c.weekday, GetWeekNumber(&t)) << Show(c.t);
        EXPECT_EQ(c.weekday, t.wDayOfWeek);
    }
}

TEST(LocalTime, EpochCountsFollowTheProcessZone)
{
    const SYSTIME_t epoch = Sys(1970, 1, 1);
    {
        ZoneSetting zone("UTC");
        EXPECT_EQ(0, CVT_Time(&epoch));
    }
    {
        ZoneSetting zone("Asia/Shanghai");
        EXPECT_EQ(-8 * 3600 * 1000LL, CVT_Time(&epoch));
        SYSTIME_t out;
        CVT_Time(&out, 1704067200000LL * 10000 + 1234567); // 2024-01-01 00:00:00.1234567 UTC
        EXPECT_EQ("2024-01-01 08:00:00.123 w1", Show(out));
        CVT_Time(&out, -1); // floor, not truncation, for counts before 1970
        EXPECT_EQ("1970-01-01 07:59:59.999 w4", Show(out));
        const SYSTIME_t local = Sys(2024, 6, 1, 3, 0, 0, 250);
        UTC_Time(0, &out, &local);
        EXPECT_EQ("2024-05-31 19:00:00.250 w5", Show(out));
        UTC_Time(1, &out, &out);
        EXPECT_EQ("2024-06-01 03:00:00.250 w6", Show(out));
    }
    {
        ZoneSetting zone("America/New_York");
        SYSTIME_t out;
        const SYSTIME_t skipped = Sys(2024, 3, 10, 2, 30); // read with EST, the offset before
        UTC_Time(0, &out, &skipped);
        EXPECT_EQ("2024-03-10 07:30:00.000 w0", Show(out));
        const SYSTIME_t repeated = Sys(2024, 11, 3, 1, 30); // first pass, still EDT
        UTC_Time(0, &out, &repeated);
        EXPECT_EQ("2024-11-03 05:30:00.000 w0", Show(out));
        const SYSTIME_t invalid = Sys(2024, 6, 31, 12); // July 1
        EXPECT_EQ(CVT_Time(&invalid), 1719849600000LL);
    }
}

TEST(Clock, ReadersAgreeWithTheSystemClock)
{
    const int64_t before = static_cast<int64_t>(std::time(nullptr)) * 1000;
    const uint64_t ticker = GetTimeTicker(1);
    EXPECT_GE(static_cast<int64_t>(ticker), before);
    EXPECT_LT(static_cast<int64_t>(ticker), before + 5000);
    EXPECT_LE(GetTimeTicker(0), 0xFFFFFFFFull);

    ZoneSetting zone("Asia/Shanghai");
    SYSTIME_t utc, local;
    GetSystemTime(1, &utc);
    GetSystemTime(0, &local);
    const double shift = SubTime(&local, &utc);
    EXPECT_NEAR(8 * 3600.0, shift, 5.0);
    SYSTIME_t copy = local;
    EXPECT_EQ(local.wDayOfWeek, GetWeekNumber(&copy));
    DATETIME_t compact;
    GetSystemTime(1, &compact);
    EXPECT_EQ(utc.wYear, compact.wYear);
}

} // namespace
