#include "pagekit/core/style_scan.h"

#include <cmath>

#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "corekit/numbers/numbers.h"
#include "platform/dockit/text_helpers.h"
#include "platform/panekit/paint/color.h"

namespace {

unsigned char Lower(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? u + 32 : u;
}

bool IsWordChar(char c)
{
    const unsigned char u = Lower(c);
    return (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' || u == '_';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the prefix of c that equals word (ASCII case ignored), else 0. Keywords
// hold no ';', '}' or zero, so the match never runs past the value's end.
unsigned MatchPrefix(const StyleCursor &c, const char *word)
{
    const int n = MatchMarker(c.p, word);
    return n > 0 && c.p + n <= c.end ? static_cast<unsigned>(n) : 0;
}

// Bytes of the string body up to its closing quote; -1 when it is not closed before the
// value's end. A backslash protects the next byte from ending the string.
long QuotedLength(const StyleCursor &c, char quote)
{
    for (const char *q = c.p + 1; q < c.end; ++q) {
        if (*q == '\\' && q + 1 < c.end)
            ++q;
        else if (*q == quote)
            return q - (c.p + 1);
    }
    return -1;
}

// A cut must not keep a backslash without the byte it protects: written back between
// quotes, the string would protect its own closing quote.
unsigned DropSplitEscape(const char *s, unsigned kept, unsigned whole)
{
    if (kept == whole)
        return kept;
    for (unsigned i = 0; i < kept; ++i) {
        if (s[i] != '\\')
            continue;
        if (i + 1 == kept)
            return i;
        ++i;
    }
    return kept;
}

// The decoder takes overlong sequences, which would bring quotes, blanks and separators
// into a string that its bytes never showed; such text is refused like invalid UTF-8.
bool SameAsciiCount(const char *s, unsigned n, const char16_t *text, unsigned units)
{
    unsigned bytes = 0, ascii = 0;
    for (unsigned i = 0; i < n; ++i)
        bytes += static_cast<unsigned char>(s[i]) < 0x80;
    for (unsigned i = 0; i < units; ++i)
        ascii += text[i] < 0x80;
    return bytes == ascii;
}

bool IsBareStop(char ch)
{
    return IsStyleBlank(ch) || ch == '"' || ch == '\'' || ch == ')' || ch == ',' || ch == ';';
}

// Cuts n bytes of UTF-8 to at most limit - 1 without splitting a character.
unsigned CutUtf8(const char *s, unsigned n, unsigned limit)
{
    if (n < limit)
        return n;
    n = limit - 1;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

} // namespace

void SkipStyleBlanks(StyleCursor &c)
{
    while (c.p < c.end && IsStyleBlank(*c.p))
        ++c.p;
}

unsigned MatchStyleWord(const StyleCursor &c, const char *word)
{
    const unsigned n = MatchPrefix(c, word);
    if (n == 0 || (c.p + n < c.end && IsWordChar(c.p[n])))
        return 0;
    return n;
}

int ReadStyleWord(StyleCursor &c, const char *const *words, int count)
{
    for (int i = 0; i < count; ++i) {
        if (const unsigned n = MatchStyleWord(c, words[i])) {
            c.p += n;
            return i;
        }
    }
    return -1;
}

unsigned MatchStyleUnit(const StyleCursor &c, const char *unit)
{
    return MatchPrefix(c, unit);
}

bool LooksLikeNumber(const StyleCursor &c)
{
    const char ch = c.Peek();
    return IsDigit(ch) || ch == '-' || ch == '+' || ch == '.';
}

bool ReadStyleNumber(StyleCursor &c, double *value, bool withExponent)
{
    const char *q = c.p;
    if (q < c.end && (*q == '-' || *q == '+'))
        ++q;
    const bool digits = (q < c.end && IsDigit(*q)) || (q + 1 < c.end && *q == '.' && IsDigit(q[1]));
    if (!digits)
        return false;
    // The value ends at a delimiter byte, so the corekit reader stops inside it.
    double v = 0;
    const unsigned n = ToFloater(withExponent ? 1 : 0, c.p, &v);
    if (!std::isfinite(v) || c.p + n > c.end)
        return false;
    c.p += n;
    *value = v;
    return true;
}

namespace {

struct UnitScale
{
    const char *unit;
    double factor;
    uint32_t code; // encoded-length unit, or ~0 when only pixel lengths take it
};

// Units of lengths: text, factor to pixels, encoded unit code. "rem" before "em".
constexpr UnitScale kUnits[] = {
    {"px", 1.0, 0}, {"pt", 1.0 / 0.75, 2}, {"rem", 16.0, 4}, {"em", 16.0, 3}, {"%", 0.0, 1},
};

// Reads the unit after a number: the entry of kUnits, or nullptr for "no unit" (which is
// allowed only before a blank or at the end of the whole text). False when neither.
bool ReadUnit(StyleCursor &c, const UnitScale **unit)
{
    for (const UnitScale &u : kUnits) {
        if (const unsigned n = MatchStyleUnit(c, u.unit)) {
            c.p += n;
            *unit = &u;
            return true;
        }
    }
    *unit = nullptr;
    return c.AtEnd() ? c.atTextEnd : IsStyleBlank(*c.p);
}

} // namespace

bool ReadPixelLength(StyleCursor &c, int64_t lo, int64_t hi, int64_t *value)
{
    StyleCursor t = c;
    double number = 0;
    const UnitScale *unit = nullptr;
    if (!ReadStyleNumber(t, &number, false) || !ReadUnit(t, &unit))
        return false;
    if (unit && unit->factor == 0.0)
        return false; // percent is no pixel length
    const double px = std::round(number * (unit ? unit->factor : 1.0));
    if (!(px >= static_cast<double>(lo) && px <= static_cast<double>(hi)))
        return false;
    *value = static_cast<int64_t>(px);
    c = t;
    return true;
}

bool ReadEncodedLength(StyleCursor &c, uint32_t *value)
{
    StyleCursor t = c;
    double number = 0;
    const UnitScale *unit = nullptr;
    if (!ReadStyleNumber(t, &number, false) || !ReadUnit(t, &unit))
        return false;
    if (!(number >= 0 && number <= 65536))
        return false;
    const auto thousandths = static_cast<uint32_t>(std::llround(number * 1000));
    *value = thousandths | ((unit ? unit->code : 0u) << 28);
    c = t;
    return true;
}

bool ReadStyleColor(StyleCursor &c, uint32_t *color)
{
    uint32_t v = 0;
    const int n = ParseColor(c.p, &v);
    if (n <= 0 || c.p + n > c.end)
        return false;
    c.p += n;
    *color = v;
    return true;
}

bool ReadStyleString(StyleCursor &c, unsigned limit, char16_t **out)
{
    const char *body = c.p;
    unsigned length = 0;
    const char *after = nullptr;
    if (c.Peek() == '"' || c.Peek() == '\'') {
        const long n = QuotedLength(c, *c.p);
        if (n < 0)
            return false;
        body = c.p + 1;
        length = static_cast<unsigned>(n);
        after = body + n + 1;
    } else {
        const char *q = c.p;
        while (q < c.end && !IsBareStop(*q))
            ++q;
        length = static_cast<unsigned>(q - c.p);
        after = q;
        if (length == 0)
            return false;
    }
    const bool quoted = body != c.p;
    const unsigned whole = length;
    length = CutUtf8(body, length, limit);
    if (quoted)
        length = DropSplitEscape(body, length, whole);
    char16_t *text = nullptr;
    if (length > 0) {
        const unsigned units = UStrToWStr(body, static_cast<int>(length), nullptr, 0);
        if (units == 0)
            return false; // not UTF-8
        text = StrAlloc(units + 1);
        UStrToWStr(body, static_cast<int>(length), text, units + 1);
        text[units] = 0;
        if (!SameAsciiCount(body, length, text, units)) {
            MemFree(text);
            return false;
        }
    }
    *out = text;
    c.p = after;
    return true;
}
