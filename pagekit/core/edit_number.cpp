#include "pagekit/core/edit_number.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "corekit/numbers/numbers.h"

namespace {

// text without its ',' separators.
std::u16string WithoutSeparators(const char16_t *text, unsigned *length)
{
    std::u16string plain;
    unsigned n = 0;
    for (; text[n] != 0; ++n) {
        if (text[n] != u',')
            plain.push_back(text[n]);
    }
    *length = n;
    return plain;
}

// Copies digits (an optional '-', integer digits, then anything from the point on) to out
// with a ',' after every three integer digits counted from the point; returns the length.
unsigned WriteGrouped(const char16_t *digits, char16_t *out, bool grouped)
{
    unsigned at = 0;
    const char16_t *p = digits;
    if (*p == u'-')
        out[at++] = *p++;
    unsigned integer = 0;
    while (p[integer] >= u'0' && p[integer] <= u'9')
        ++integer;
    for (unsigned i = 0; i < integer; ++i) {
        if (grouped && i > 0 && (integer - i) % 3 == 0)
            out[at++] = u',';
        out[at++] = p[i];
    }
    for (p += integer; *p != 0; ++p)
        out[at++] = *p;
    out[at] = 0;
    return at;
}

// True when text (an optional '-', digits, '.', digits) names zero.
bool IsZeroText(const char16_t *text)
{
    for (const char16_t *p = text; *p != 0; ++p) {
        if (*p >= u'1' && *p <= u'9')
            return false;
    }
    return true;
}

} // namespace

unsigned GetStrInteger(int64_t *out, const char16_t *text)
{
    if (text == nullptr) {
        *out = 0;
        return 0;
    }
    unsigned length = 0;
    const std::u16string plain = WithoutSeparators(text, &length);
    *out = ToInt64(plain.c_str());
    return length;
}

unsigned SetStrInteger(int64_t value, char16_t *out, uint32_t format)
{
    char16_t digits[kIntegerTextMax];
    if (NumberSigned(format)) {
        FromInteger(digits, value);
    } else {
        FromInteger(0, digits, static_cast<uint64_t>(value));
    }
    return WriteGrouped(digits, out, NumberGrouped(format));
}

unsigned GetStrDouble(double *out, const char16_t *text)
{
    if (text == nullptr) {
        *out = 0;
        return 0;
    }
    unsigned length = 0;
    const std::u16string plain = WithoutSeparators(text, &length);
    *out = ToFloater(plain.c_str());
    return length;
}

unsigned SetStrDouble(double value, char16_t *out, uint32_t format)
{
    const uint32_t mode = NumberMode(format);
    if (mode > kNumberModeNumeric || std::isnan(value)) {
        out[0] = 0;
        return 0;
    }
    if (value > kNumberClamp)
        value = kNumberClamp;
    if (value < -kNumberClamp)
        value = -kNumberClamp;
    unsigned decimals = mode == kNumberModeInteger ? 0 : NumberDecimals(format);
    if (decimals > kNumberMaxDecimals)
        decimals = kNumberMaxDecimals;

    // Room for 39 integer digits, sign, point and the decimals, with margin.
    char16_t digits[kFloaterTextMax + kNumberMaxDecimals];
    if (decimals == 0) {
        // corekit's fixed form truncates at precision 0: add the half unit here.
        FromFloater(0, 0, digits, value + std::copysign(0.5, value));
    } else {
        FromFloater(0, static_cast<int>(decimals), digits, value);
    }
    if (mode == kNumberModeFree && decimals > 0) {
        size_t n = std::char_traits<char16_t>::length(digits);
        while (n > 0 && digits[n - 1] == u'0')
            --n;
        if (n > 0 && digits[n - 1] == u'.')
            --n;
        digits[n] = 0;
    }
    // A value that rounds to zero keeps no sign.
    const char16_t *from = digits;
    if (digits[0] == u'-' && IsZeroText(digits))
        ++from;
    return WriteGrouped(from, out, NumberGrouped(format));
}

unsigned SetEmptyDouble(char16_t *out, uint32_t format)
{
    unsigned at = 0;
    if (NumberMode(format) == kNumberModeFixed) {
        unsigned decimals = NumberDecimals(format);
        if (decimals > kNumberMaxDecimals)
            decimals = kNumberMaxDecimals;
        out[at++] = u'.';
        while (decimals-- > 0)
            out[at++] = u'0';
    }
    out[at] = 0;
    return at;
}

unsigned GetPartNumber(char16_t *text, unsigned capacity, unsigned *caret)
{
    if (text == nullptr || capacity == 0)
        return 0;
    // The characters the caret follows, separators not counted.
    unsigned before = 0;
    std::u16string plain;
    for (unsigned i = 0; text[i] != 0; ++i) {
        if (text[i] == u',')
            continue;
        if (caret != nullptr && i < *caret)
            ++before;
        plain.push_back(text[i]);
    }
    size_t start = plain.empty() || plain[0] != u'-' ? 0 : 1;
    size_t integer = 0;
    while (start + integer < plain.size() && plain[start + integer] >= u'0' &&
           plain[start + integer] <= u'9')
        ++integer;

    // Regroup only when every separator fits; the digits always do, being no more than before.
    const size_t separators = integer > 0 ? (integer - 1) / 3 : 0;
    const bool grouped = plain.size() + separators < capacity;

    unsigned at = 0;
    unsigned moved = 0;
    bool placed = caret == nullptr || before == 0;
    if (caret != nullptr && before == 0)
        *caret = 0;
    for (size_t i = 0; i < plain.size() && at + 1 < capacity; ++i) {
        const size_t digit = i - start;
        if (grouped && i > start && digit < integer && (integer - digit) % 3 == 0)
            text[at++] = u',';
        text[at++] = plain[i];
        if (!placed && ++moved == before) {
            *caret = at;
            placed = true;
        }
    }
    if (!placed)
        *caret = at;
    text[at] = 0;
    return at;
}

unsigned GetPartNumber(char16_t *text, unsigned *caret)
{
    return GetPartNumber(text, UINT_MAX, caret);
}
