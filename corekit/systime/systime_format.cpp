// The %-token grammar: FormatTime and ParseTime.

#include "corekit/systime/systime.h"
#include "corekit/systime/systime_chars.h"

using namespace corekit_time;

namespace {

constexpr const char16_t *kDefaultTimeFormatWide = u"%Y-%M-%d %H:%m:%s";

// Month abbreviations, January first; weekday abbreviations, Sunday first.
constexpr const char *kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char *kWeekdayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// FormatTime stops after the step that takes its output beyond this length.
constexpr unsigned kFormatTimeLimit = 126;

// ---- Writing -----------------------------------------------------------------

// Writes the token letter of t; any letter that is no token writes nothing.
template <typename Ch> unsigned WriteToken(Ch *buf, const SYSTIME_t &t, uint32_t letter)
{
    switch (letter) {
    case 'Y':
        return WriteDecimal(buf, t.wYear, 4);
    case 'y':
        return WriteDecimal(buf, t.wYear % 100, 2);
    case 'M':
        return WriteDecimal(buf, t.wMonth, 2);
    case 'N':
    case 'n':
        return WriteAscii(buf, kMonthNames[(t.wMonth + 11) % 12]);
    case 'D':
    case 'd':
        return WriteDecimal(buf, t.wDay, 2);
    case 'H':
        return WriteDecimal(buf, t.wHour, 2);
    case 'h':
        return WriteDecimal(buf, t.wHour % 12 ? t.wHour % 12 : 12, 2);
    case 'P':
    case 'p':
        return WriteAscii(buf, t.wHour > 11 ? "PM" : "AM");
    case 'm':
        return WriteDecimal(buf, t.wMinute, 2);
    case 'S':
    case 's':
        return WriteDecimal(buf, t.wSecond, 2);
    case 'F':
    case 'f':
        return WriteDecimal(buf, t.wMilliseconds, 3);
    case 'W':
        return WriteAscii(buf, kWeekdayNames[t.wDayOfWeek % 7]);
    case 'w':
        return WriteDecimal(buf, t.wDayOfWeek, 1);
    case '%':
        buf[0] = Ch('%');
        return 1;
    default:
        return 0;
    }
}

template <typename Ch> unsigned FormatTimeOf(Ch *buf, const SYSTIME_t &t, const Ch *format)
{
    if (!format)
        format = Widen<Ch>(kDefaultTimeFormat, kDefaultTimeFormatWide);
    unsigned n = 0;
    for (const Ch *p = format; *p && n <= kFormatTimeLimit; ++p) {
        if (*p != Ch('%'))
            buf[n++] = *p;
        else if (*++p)
            n += WriteToken(buf + n, t, CodeOf(*p));
        else
            break;
    }
    buf[n] = 0;
    return n;
}

// ---- Reading -----------------------------------------------------------------

enum class Meridiem { None, AM, PM };

template <typename Ch> struct TimeReader
{
    const Ch *pos;
    SYSTIME_t *out;
    Meridiem meridiem = Meridiem::None;
    bool hourRead = false;

    // Reads between least and most decimal digits; false when fewer than least.
    bool Digits(unsigned least, unsigned most, uint32_t *value)
    {
        uint32_t v = 0;
        unsigned n = 0;
        for (; n < most && IsDigitCode(CodeOf(pos[n])); ++n)
            v = v * 10 + (CodeOf(pos[n]) - '0');
        if (n < least)
            return false;
        pos += n;
        *value = v;
        return true;
    }

    // A word as the scanner's "%8s" reads it (blanks skipped, up to a blank,
    // ')' or ',', eight characters at most) that has three characters and
    // equals one of the names ignoring ASCII case; its index.
    bool Name(const char *const *names, unsigned count, uint32_t *index)
    {
        const Ch *p = pos;
        while (IsBlankCode(CodeOf(*p)))
            ++p;
        unsigned n = 0;
        for (uint32_t c; n < 8 && (c = CodeOf(p[n])) > 32 && c != ')' && c != ',';)
            ++n;
        if (n != 3)
            return false;
        for (unsigned i = 0; i < count; ++i) {
            const char *name = names[i];
            if (FoldCode(CodeOf(p[0])) == FoldCode(CodeOf(name[0])) &&
                FoldCode(CodeOf(p[1])) == FoldCode(CodeOf(name[1])) &&
                FoldCode(CodeOf(p[2])) == FoldCode(CodeOf(name[2]))) {
                pos = p + 3;
                *index = i;
                return true;
            }
        }
        return false;
    }

    // 12 AM is hour 0, 1-11 PM are 13-23; 12 PM and hours of 13 and above stay.
    uint32_t TwelveHour(uint32_t hour) const
    {
        if (meridiem == Meridiem::AM && hour == 12)
            return 0;
        if (meridiem == Meridiem::PM && hour >= 1 && hour <= 11)
            return hour + 12;
        return hour;
    }

    bool ReadMeridiem()
    {
        const uint32_t first = FoldCode(CodeOf(pos[0]));
        if ((first != 'a' && first != 'p') || FoldCode(CodeOf(pos[1])) != 'm')
            return false;
        pos += 2;
        meridiem = first == 'p' ? Meridiem::PM : Meridiem::AM;
        if (hourRead)
            out->wHour = static_cast<uint16_t>(TwelveHour(out->wHour));
        return true;
    }

    bool Token(uint32_t letter);
};

template <typename Ch> bool TimeReader<Ch>::Token(uint32_t letter)
{
    uint32_t v = 0;
    switch (letter) {
    case 'Y':
        if (!Digits(4, 4, &v))
            return false;
        out->wYear = static_cast<uint16_t>(v);
        break;
    case 'y':
        if (!Digits(2, 2, &v))
            return false;
        out->wYear = static_cast<uint16_t>(2000 + v);
        break;
    case 'M':
        if (!Digits(1, 2, &v))
            return false;
        out->wMonth = static_cast<uint16_t>(v);
        break;
    case 'N':
    case 'n':
        if (!Name(kMonthNames, 12, &v))
            return false;
        out->wMonth = static_cast<uint16_t>(v + 1);
        break;
    case 'D':
    case 'd':
        if (!Digits(1, 2, &v))
            return false;
        out->wDay = static_cast<uint16_t>(v);
        break;
    case 'H':
    case 'h':
        if (!Digits(1, 2, &v))
            return false;
        out->wHour = static_cast<uint16_t>((letter == 'h' ? TwelveHour(v) : v) % 24);
        hourRead = true;
        break;
    case 'P':
    case 'p':
        return ReadMeridiem();
    case 'm':
        if (!Digits(1, 2, &v))
            return false;
        out->wMinute = static_cast<uint16_t>(v);
        break;
    case 'S':
    case 's':
        if (!Digits(1, 2, &v))
            return false;
        out->wSecond = static_cast<uint16_t>(v);
        break;
    case 'F':
    case 'f':
        if (!Digits(1, 3, &v))
            return false;
        out->wMilliseconds = static_cast<uint16_t>(v);
        break;
    case 'W':
        if (!Name(kWeekdayNames, 7, &v))
            return false;
        out->wDayOfWeek = static_cast<uint16_t>(v);
        break;
    case 'w':
        if (!Digits(1, 1, &v))
            return false;
        out->wDayOfWeek = static_cast<uint16_t>(v);
        break;
    case '%':
        if (!*pos)
            return false;
        ++pos;
        break;
    }
    return true;
}

bool IsTimeToken(uint32_t c)
{
    for (const char *p = "YyMNnDdHhPpmSsFfWw%"; *p; ++p)
        if (CodeOf(*p) == c)
            return true;
    return false;
}

template <typename Ch> int ParseTimeOf(SYSTIME_t *out, const Ch *text, const Ch *format)
{
    *out = SYSTIME_t{0, 1, 1, 0, 0, 0, kUnknownWeekday, 0};
    if (!text)
        return 0;
    if (!format)
        format = Widen<Ch>(kDefaultTimeFormat, kDefaultTimeFormatWide);
    TimeReader<Ch> reader{text, out};
    for (const Ch *p = format; *p; ++p) {
        if (*p == Ch('%')) {
            if (!*++p)
                break;
            if (IsTimeToken(CodeOf(*p))) {
                if (!reader.Token(CodeOf(*p)))
                    return 0;
                continue;
            }
        }
        // A literal consumes one character without comparing it; never the terminator.
        if (!*reader.pos)
            return 0;
        ++reader.pos;
        if (*p == Ch(','))
            while (IsBlankCode(CodeOf(*reader.pos)))
                ++reader.pos;
    }
    return 1;
}

template <typename Ch> int ParseDateTimeOf(DATETIME_t *out, const Ch *text, const Ch *format)
{
    SYSTIME_t full;
    if (!ParseTimeOf(&full, text, format))
        return 0;
    CVT_Time(out, &full);
    return 1;
}

template <typename Ch> unsigned FormatDateTimeOf(Ch *buf, const DATETIME_t *t, const Ch *format)
{
    SYSTIME_t full;
    CVT_Time(&full, t);
    return FormatTimeOf(buf, full, format);
}

} // namespace

int ParseTime(SYSTIME_t *out, const char *text, const char *format)
{
    return ParseTimeOf(out, text, format);
}
int ParseTime(SYSTIME_t *out, const char16_t *text, const char16_t *format)
{
    return ParseTimeOf(out, text, format);
}
int ParseTime(DATETIME_t *out, const char *text, const char *format)
{
    return ParseDateTimeOf(out, text, format);
}
int ParseTime(DATETIME_t *out, const char16_t *text, const char16_t *format)
{
    return ParseDateTimeOf(out, text, format);
}

unsigned FormatTime(char *buf, const SYSTIME_t *t, const char *format)
{
    return FormatTimeOf(buf, *t, format);
}
unsigned FormatTime(char16_t *buf, const SYSTIME_t *t, const char16_t *format)
{
    return FormatTimeOf(buf, *t, format);
}
unsigned FormatTime(char *buf, const DATETIME_t *t, const char *format)
{
    return FormatDateTimeOf(buf, t, format);
}
unsigned FormatTime(char16_t *buf, const DATETIME_t *t, const char16_t *format)
{
    return FormatDateTimeOf(buf, t, format);
}
