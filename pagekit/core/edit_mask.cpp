#include "pagekit/core/edit_mask.h"

#include <string>

namespace {

unsigned Length(const char16_t *s)
{
    return s == nullptr ? 0 : static_cast<unsigned>(std::char_traits<char16_t>::length(s));
}

bool IsHigh(char16_t ch)
{
    return ch >= 0xD800 && ch <= 0xDBFF;
}

// The unit of a masked value at a position of mask m whose source unit is ch (0 past the
// source's end).
char16_t MaskUnit(char16_t m, char16_t ch)
{
    if (!IsMaskHolder(m))
        return m;
    return ch != 0 && MaskAccepts(m, ch) ? ch : kMaskBlank;
}

} // namespace

bool IsMaskHolder(char16_t m)
{
    return m == u'$' || m == u'#' || m == u'%' || m == u'?';
}

bool MaskAccepts(char16_t m, char16_t ch)
{
    const bool digit = ch >= u'0' && ch <= u'9';
    const bool letter = (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z');
    switch (m) {
    case u'$':
        return digit;
    case u'#':
        return letter;
    case u'%':
        return digit || letter;
    case u'?':
        return true;
    default:
        return false;
    }
}

unsigned GetMaskEmpty(const char16_t *mask, char16_t *out, unsigned size)
{
    if (out == nullptr || size == 0)
        return 0;
    unsigned n = 0;
    for (; mask != nullptr && mask[n] != 0 && n + 1 < size; ++n)
        out[n] = IsMaskHolder(mask[n]) ? kMaskBlank : mask[n];
    out[n] = 0;
    return n;
}

int IsMaskEmpty(const char16_t *mask, const char16_t *value)
{
    const unsigned length = Length(value);
    for (unsigned i = 0; mask != nullptr && mask[i] != 0 && i < length; ++i) {
        if (IsMaskHolder(mask[i]) && value[i] != kMaskBlank)
            return 0;
    }
    return 1;
}

unsigned SetMaskValue(const char16_t *mask, char16_t *out, const char16_t *value)
{
    const unsigned length = Length(value);
    unsigned n = 0;
    for (; mask != nullptr && mask[n] != 0; ++n)
        out[n] = MaskUnit(mask[n], n < length ? value[n] : 0);
    out[n] = 0;
    return n;
}

unsigned SetMaskValue(const char16_t *mask, char16_t *out, const char16_t *input, unsigned count)
{
    unsigned n = 0;
    for (; n < count && mask != nullptr && mask[n] != 0 && input != nullptr && input[n] != 0; ++n)
        out[n] = MaskUnit(mask[n], input[n]);
    return n;
}

unsigned GetMaskEntry(int backwards, const char16_t *mask, unsigned pos)
{
    const unsigned length = Length(mask);
    if (length == 0)
        return 0;
    const unsigned from = pos < length ? pos : length - 1;
    auto forward = [&](unsigned start, unsigned *at) {
        for (unsigned i = start; i < length; ++i) {
            if (IsMaskHolder(mask[i])) {
                *at = i;
                return true;
            }
        }
        return false;
    };
    auto backward = [&](unsigned start, unsigned *at) {
        for (unsigned i = start + 1; i-- > 0;) {
            if (IsMaskHolder(mask[i])) {
                *at = i;
                return true;
            }
        }
        return false;
    };
    unsigned at = 0;
    if (backwards != 0) {
        if (backward(from, &at) || forward(from, &at))
            return at;
    } else {
        if ((pos < length && forward(pos, &at)) || backward(from, &at))
            return at;
    }
    return 0;
}

unsigned GetMaskEntry(const char16_t *mask, const char16_t *value, unsigned pos)
{
    const unsigned length = Length(mask);
    const unsigned filled = Length(value);
    for (unsigned i = pos < length ? pos : length; i-- > 0;) {
        if (IsMaskHolder(mask[i]) && i < filled && value[i] != kMaskBlank)
            return i + 1;
    }
    return GetMaskEntry(0, mask, 0);
}

unsigned DeflateBuffer(char16_t *out, const char16_t *in)
{
    unsigned n = 0;
    for (const char16_t *p = in; p != nullptr && *p != 0; ++p) {
        if (*p != u'\\') {
            out[n++] = *p;
            continue;
        }
        // A backslash and the unit after it; a lone one at the end is dropped.
        switch (*++p) {
        case 0:
            out[n] = 0;
            return n;
        case u'n':
            out[n++] = u'\n';
            break;
        case u'r':
            out[n++] = u'\r';
            break;
        case u't':
            out[n++] = u'\t';
            break;
        case u'\\':
            out[n++] = u'\\';
            break;
        default:
            break;
        }
    }
    out[n] = 0;
    return n;
}

unsigned InflateBuffer(char16_t *out, const char16_t *in, unsigned size)
{
    if (out == nullptr || size == 0)
        return 0;
    unsigned n = 0;
    for (const char16_t *p = in; p != nullptr && *p != 0; ++p) {
        char16_t escape = 0;
        switch (*p) {
        case u'\n':
            escape = u'n';
            break;
        case u'\r':
            escape = u'r';
            break;
        case u'\t':
            escape = u't';
            break;
        case u'\\':
            escape = u'\\';
            break;
        default:
            break;
        }
        const unsigned units =
            escape != 0 || (IsHigh(p[0]) && p[1] >= 0xDC00 && p[1] <= 0xDFFF) ? 2 : 1;
        if (n + units >= size)
            break;
        if (escape != 0) {
            out[n++] = u'\\';
            out[n++] = escape;
        } else {
            out[n++] = *p;
            if (units == 2)
                out[n++] = *++p;
        }
    }
    out[n] = 0;
    return n;
}
