// Sscanf and StrParse: scanning text into the pointers of an argument list.

#include <cstdarg>

#include "corekit/encoding/encoding.h"
#include "corekit/format/format.h"
#include "corekit/format/format_engine.h"
#include "corekit/format/format_scanner.h"

using namespace corekit_format;

namespace {

template <typename T> void StoreInto(ArgList &args, T value)
{
    if (T *p = va_arg(args.ap, T *))
        *p = value;
}

// Copies n characters and a terminator to the next pointer of the list; the
// wide forms with 'h' store UTF-8.
template <typename Ch> void StoreText(ArgList &args, const Directive &dir, const Ch *s, size_t n)
{
    if constexpr (sizeof(Ch) == 2) {
        if (dir.size == Size::Short) {
            if (char *out = va_arg(args.ap, char *))
                out[n ? WStrToUStr(s, static_cast<int>(n), out, static_cast<uint32_t>(3 * n + 1))
                      : 0] = 0;
            return;
        }
    }
    if (Ch *out = va_arg(args.ap, Ch *)) {
        for (size_t i = 0; i < n; ++i)
            out[i] = s[i];
        out[n] = 0;
    }
}

template <typename Ch> void StoreField(ArgList &args, const Directive &dir, const Field<Ch> &f)
{
    const Size size = dir.size;
    switch (dir.conversion) {
    case 'd':
    case 'i':
        if (size == Size::Short)
            StoreInto(args, static_cast<int16_t>(f.integer));
        else if (size == Size::LongLong)
            StoreInto(args, static_cast<int64_t>(f.integer));
        else
            StoreInto(args, static_cast<int32_t>(f.integer));
        break;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
    case 'b':
        if (size == Size::Short)
            StoreInto(args, static_cast<uint16_t>(f.integer));
        else if (size == Size::LongLong)
            StoreInto(args, f.integer);
        else
            StoreInto(args, static_cast<uint32_t>(f.integer));
        break;
    case 'c':
        StoreInto(args, static_cast<Ch>(f.integer));
        break;
    case 'f':
    case 'e':
    case 'E':
        if (size == Size::Short)
            StoreInto(args, static_cast<float>(f.floater));
        else
            StoreInto(args, f.floater);
        break;
    case 's':
    case 'T':
        StoreText(args, dir, f.text, f.length);
        break;
    }
}

template <typename Ch> struct ListStore
{
    ArgList args;
    unsigned count = 0;

    bool Full() const { return false; }
    bool Read(const Directive &dir, const Ch *pos, size_t *used)
    {
        Field<Ch> f;
        if (!ReadField(pos, dir, &f))
            return false;
        StoreField(args, dir, f);
        ++count;
        *used = f.used;
        return true;
    }
};

template <typename Ch>
ScanEnd<Ch> ScanList(const Ch *text, const Ch *fmt, va_list ap, unsigned *count)
{
    ListStore<Ch> store;
    va_copy(store.args.ap, ap);
    const ScanEnd<Ch> end = ScanText(text, fmt, store);
    va_end(store.args.ap);
    *count = store.count;
    return end;
}

template <typename Ch> unsigned ScanCount(const Ch *text, const Ch *fmt, va_list ap)
{
    unsigned count;
    ScanList(text, fmt, ap, &count);
    return count;
}

template <typename Ch> unsigned ParseCount(const Ch *text, const Ch *fmt, va_list ap)
{
    unsigned count;
    const ScanEnd<Ch> end = ScanList(text, fmt, ap, &count);
    return end.ok ? static_cast<unsigned>(end.pos - text) : 0;
}

} // namespace

unsigned SscanfV(const char *text, const char *fmt, va_list args)
{
    return ScanCount(text, fmt, args);
}
unsigned SscanfV(const char16_t *text, const char16_t *fmt, va_list args)
{
    return ScanCount(text, fmt, args);
}
unsigned StrParseV(const char *text, const char *fmt, va_list args)
{
    return ParseCount(text, fmt, args);
}
unsigned StrParseV(const char16_t *text, const char16_t *fmt, va_list args)
{
    return ParseCount(text, fmt, args);
}

unsigned Sscanf(const char *text, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const unsigned n = ScanCount(text, fmt, args);
    va_end(args);
    return n;
}
unsigned Sscanf(const char16_t *text, const char16_t *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const unsigned n = ScanCount(text, fmt, args);
    va_end(args);
    return n;
}
unsigned StrParse(const char *text, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const unsigned n = ParseCount(text, fmt, args);
    va_end(args);
    return n;
}
unsigned StrParse(const char16_t *text, const char16_t *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const unsigned n = ParseCount(text, fmt, args);
    va_end(args);
    return n;
}
