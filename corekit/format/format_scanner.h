#pragma once
// The scanning engine shared by Sscanf, StrParse and the typed scanner
// (internal to corekit): reading one field, and the walk over the format.

#include <cstddef>
#include <cstdint>

#include "corekit/format/format_directive.h"
#include "corekit/numbers/numbers.h"

namespace corekit_format {

// One field read from the text.
template <typename Ch> struct Field
{
    size_t used = 0;          // characters consumed, quotes included
    uint64_t integer = 0;     // d i (two's complement) u x X o b c
    double floater = 0;       // f e E
    const Ch *text = nullptr; // s T: the word, or what stands between the quotes
    size_t length = 0;
};

template <typename Ch> bool ReadSigned(const Ch *p, Field<Ch> *f)
{
    const bool negative = *p == Ch('-');
    const Ch *q = negative || *p == Ch('+') ? SkipBlanks(p + 1) : p;
    uint64_t v = 0;
    const unsigned n = ToInteger(0, q, &v);
    if (n == 0)
        return false;
    f->integer = negative ? 0 - v : v;
    f->used = static_cast<size_t>(q - p) + n;
    return true;
}

// A number with at least one digit; mode 1 also reads an exponent.
template <typename Ch> bool ReadFloater(const Ch *p, int mode, Field<Ch> *f)
{
    const unsigned n = ToFloater(mode, p, &f->floater);
    for (unsigned i = 0; i < n; ++i)
        if (CodeOf(p[i]) - '0' < 10) {
            f->used = n;
            return true;
        }
    return false;
}

// Characters up to a blank (or any code below 33), ')' or ','; at most width
// of them when width > 0.
template <typename Ch> bool ReadWord(const Ch *p, uint32_t width, Field<Ch> *f)
{
    size_t n = 0;
    for (uint32_t c; (width == 0 || n < width) && (c = CodeOf(p[n])) > 32 && c != ')' && c != ',';)
        ++n;
    f->text = p;
    f->length = f->used = n;
    return n > 0;
}

// A text between two equal quotes (" or '); a backslash takes the next
// character in. Fails when the closing quote is missing.
template <typename Ch> bool ReadQuoted(const Ch *p, Field<Ch> *f)
{
    const Ch quote = *p;
    if (quote != Ch('"') && quote != Ch('\''))
        return false;
    size_t i = 1;
    while (p[i] && p[i] != quote)
        i += p[i] == Ch('\\') && p[i + 1] ? 2 : 1;
    if (p[i] != quote)
        return false;
    f->text = p + 1;
    f->length = i - 1;
    f->used = i + 1;
    return true;
}

// Reads the field of a directive (every conversion but V) at p.
template <typename Ch> bool ReadField(const Ch *p, const Directive &dir, Field<Ch> *f)
{
    switch (dir.conversion) {
    case 'd':
    case 'i':
        return ReadSigned(p, f);
    case 'u':
    case 'x':
    case 'X':
    case 'o':
    case 'b': {
        const unsigned n = ToInteger(RadixOf(dir.conversion), p, &f->integer);
        f->used = n;
        return n > 0;
    }
    case 'c':
        f->integer = CodeOf(*p);
        f->used = 1;
        return *p != 0;
    case 'f':
        return ReadFloater(p, 0, f);
    case 'e':
    case 'E':
        return ReadFloater(p, 1, f);
    case 's':
        return ReadWord(p, dir.width, f);
    case 'T':
        return ReadQuoted(p, f);
    default:
        return false;
    }
}

template <typename Ch> struct ScanEnd
{
    const Ch *pos; // the text position reached
    bool ok;       // false when a literal or a field failed
};

// Walks the format over the text. Before each element blanks are skipped in
// both; an ordinary character must match the text; "%%" matches a percent
// sign; a '%' that starts no complete directive is dropped. For each
// directive, store.Full() ends the walk successfully, and
// store.Read(dir, pos, &used) reads and stores a field, returning false when
// it fails.
template <typename Ch, typename Store>
ScanEnd<Ch> ScanText(const Ch *text, const Ch *fmt, Store &store)
{
    if (!text || !fmt)
        return {text, !fmt};
    const Ch *t = text;
    for (const Ch *f = fmt;;) {
        f = SkipBlanks(f);
        if (!*f)
            return {t, true};
        t = SkipBlanks(t);
        if (*f == Ch('%') && f[1] != Ch('%')) {
            Directive dir;
            const Ch *next = ReadDirective(f + 1, &dir);
            if (!next) {
                ++f;
                continue;
            }
            if (store.Full())
                return {t, true};
            size_t used = 0;
            if (!store.Read(dir, t, &used))
                return {t, false};
            t += used;
            f = next;
            continue;
        }
        if (*t != *f)
            return {t, false};
        ++t;
        f += *f == Ch('%') ? 2 : 1;
    }
}

} // namespace corekit_format
