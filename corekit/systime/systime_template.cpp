// The $-template grammar: ParseTimeEx and FormatTimeEx.

#include "corekit/systime/systime.h"
#include "corekit/systime/systime_calendar.h"
#include "corekit/systime/systime_chars.h"

using namespace corekit_time;

namespace {

constexpr const char16_t *kDefaultTimeTemplateWide = u"$$$$-$$-$$ $$:$$:$$";

// Fields of the runs of a template, in order.
enum Field { kYear, kMonth, kDay, kHour, kMinute, kSecond, kNoField };

// A template that begins with four $ has the date fields; any other starts at
// the hour.
template <typename Ch> Field FirstField(const Ch *templ)
{
    for (int i = 0; i < 4; ++i)
        if (templ[i] != Ch('$'))
            return kHour;
    return kYear;
}

// Wraps value 1.. into 1..range (0 gives 1).
uint8_t Wrap(uint64_t value, uint64_t range)
{
    return static_cast<uint8_t>(value ? (value - 1) % range + 1 : 1);
}

// Stores a run's value; false for a year of 0.
bool StoreField(DATETIME_t *out, Field field, uint64_t value)
{
    switch (field) {
    case kYear:
        if (value == 0)
            return false;
        out->wYear = static_cast<uint16_t>(value < 1900 ? 2000 : value > 65535 ? 65535 : value);
        break;
    case kMonth:
        out->bMonth = Wrap(value, 12);
        break;
    case kDay:
        out->bDay = Wrap(value, MonthLength(out->wYear, out->bMonth));
        break;
    case kHour:
        out->bHour = static_cast<uint8_t>(value % 24);
        break;
    case kMinute:
        out->bMinute = static_cast<uint8_t>(value % 60);
        break;
    case kSecond:
        out->bSecond = static_cast<uint8_t>(value % 60);
        break;
    case kNoField:
        break;
    }
    return true;
}

template <typename Ch> unsigned ParseTimeExOf(DATETIME_t *out, const Ch *text, const Ch *templ)
{
    if (!templ)
        templ = Widen<Ch>(kDefaultTimeTemplate, kDefaultTimeTemplateWide);
    int field = FirstField(templ);
    *out = DATETIME_t{static_cast<uint16_t>(field == kYear ? 0 : 1900), 1, 1, 0, 0, 0, 0};
    if (!text)
        return 0;
    const Ch *s = text;
    bool stored = false;
    for (const Ch *p = templ; *p && *s;) {
        if (*p != Ch('$')) {
            ++p, ++s; // a literal consumes one character without comparing it
            continue;
        }
        uint64_t value = 0;
        for (; *p == Ch('$') && *s; ++p, ++s)
            if (IsDigitCode(CodeOf(*s)))
                value = value * 10 + (CodeOf(*s) - '0');
        while (*p == Ch('$')) // the text ended inside the run
            ++p;
        if (field >= kNoField)
            continue;
        if (!StoreField(out, static_cast<Field>(field++), value))
            return 0;
        stored = true;
    }
    return stored && s != text ? 1 : 0;
}

template <typename Ch> unsigned FormatTimeExOf(Ch *buf, const DATETIME_t &t, const Ch *templ)
{
    if (!templ)
        templ = Widen<Ch>(kDefaultTimeTemplate, kDefaultTimeTemplateWide);
    const uint32_t values[] = {t.wYear, t.bMonth, t.bDay, t.bHour, t.bMinute, t.bSecond};
    int field = FirstField(templ);
    unsigned n = 0;
    for (const Ch *p = templ; *p;) {
        if (*p != Ch('$')) {
            buf[n++] = *p++;
            continue;
        }
        while (*p == Ch('$'))
            ++p;
        if (field < kNoField) {
            n += WriteDecimal(buf + n, values[field], field == kYear ? 4 : 2);
            ++field;
        }
    }
    buf[n] = 0;
    return n;
}

} // namespace

unsigned ParseTimeEx(DATETIME_t *out, const char *text, const char *templ)
{
    return ParseTimeExOf(out, text, templ);
}
unsigned ParseTimeEx(DATETIME_t *out, const char16_t *text, const char16_t *templ)
{
    return ParseTimeExOf(out, text, templ);
}
unsigned FormatTimeEx(char *buf, const DATETIME_t *t, const char *templ)
{
    return FormatTimeExOf(buf, *t, templ);
}
unsigned FormatTimeEx(char16_t *buf, const DATETIME_t *t, const char16_t *templ)
{
    return FormatTimeExOf(buf, *t, templ);
}
