#pragma once
// The formatting engine shared by every formatter (internal to corekit): a
// writer that turns one argument into padded text at the end of a sink, and
// the walk over the format string.
//
// A sink gives room at the end of its output and is told where the output
// ends: Ch *Room(size_t n) returns a place for n characters, Done(Ch *end)
// ends the output at end (which lies within the room given last).

#include <cstdarg>
#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

#include "corekit/encoding/encoding.h"
#include "corekit/format/format_directive.h"
#include "corekit/numbers/numbers.h"

namespace corekit_format {

// Output into a caller's buffer, unbounded.
template <typename Ch> struct BufferSink
{
    Ch *cur;
    Ch *Room(size_t) { return cur; }
    void Done(Ch *end) { cur = end; }
};

template <typename Ch> size_t Length(const Ch *s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

template <typename Ch> void UpperCase(Ch *p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (CodeOf(p[i]) - 'a' < 26)
            p[i] = static_cast<Ch>(p[i] - ('a' - 'A'));
}

// Text of the other character width converted for a formatter of width Ch:
// UTF-8 for the narrow forms, UTF-16 for the wide forms.
std::string ToUtf8(const char16_t *s, size_t n);
std::u16string FromUtf8(const char *s, size_t n);

// The character type of the other form.
template <typename Ch> using OtherChar = std::conditional_t<sizeof(Ch) == 1, char16_t, char>;

template <typename Ch, typename Sink> class Writer
{
public:
    explicit Writer(Sink &sink) : m_sink(sink) {}

    void Raw(const Ch *text, size_t n)
    {
        Ch *p = m_sink.Room(n);
        for (size_t i = 0; i < n; ++i)
            p[i] = text[i];
        m_sink.Done(p + n);
    }

    // Cuts the text to a positive precision (except for f e E) and pads it to
    // the width.
    void Padded(const Directive &dir, const Ch *text, size_t n)
    {
        const uint32_t c = dir.conversion;
        if (c != 'f' && c != 'e' && c != 'E' && dir.precision > 0 &&
            static_cast<size_t>(dir.precision) < n)
            n = static_cast<size_t>(dir.precision);
        const size_t pad = dir.width > n ? dir.width - n : 0;
        Ch *p = m_sink.Room(n + pad);
        Ch *out = p;
        if (dir.flag != '-')
            for (const Ch fill = dir.flag == '0' ? Ch('0') : Ch(' '); out < p + pad;)
                *out++ = fill;
        for (size_t i = 0; i < n; ++i)
            *out++ = text[i];
        if (dir.flag == '-')
            for (; out < p + n + pad;)
                *out++ = Ch(' ');
        m_sink.Done(out);
    }

    void Signed(const Directive &dir, int64_t v)
    {
        Ch buf[kIntegerTextMax];
        Padded(dir, buf, FromInteger(buf, v));
    }

    void Unsigned(const Directive &dir, uint64_t v)
    {
        Ch buf[kIntegerTextMax];
        const unsigned n = FromInteger(RadixOf(dir.conversion), buf, v);
        if (dir.conversion == 'X')
            UpperCase(buf, n);
        Padded(dir, buf, n);
    }

    void Character(const Directive &dir, uint32_t c)
    {
        const Ch ch = static_cast<Ch>(c);
        Padded(dir, &ch, 1);
    }

    void Floater(const Directive &dir, double x)
    {
        const int scientific = dir.conversion == 'f' ? 0 : 1;
        const size_t need = kFloaterTextMax + (dir.precision > 0 ? dir.precision : 0);
        Ch local[512];
        std::vector<Ch> heap;
        Ch *buf = local;
        if (need > sizeof local / sizeof local[0]) {
            heap.resize(need);
            buf = heap.data();
        }
        const unsigned n = FromFloater(scientific, dir.precision, buf, x);
        if (dir.conversion == 'E')
            UpperCase(buf, n);
        Padded(dir, buf, n);
    }

    // A string of the formatter's own width; null writes nothing.
    void String(const Directive &dir, const Ch *s)
    {
        if (s)
            Padded(dir, s, Length(s));
        else
            Padded(dir, s, 0);
    }

    // A string of the other width, converted: UTF-8 into the wide forms; UTF-16
    // into the narrow forms as UTF-8, where the precision counts bytes but never
    // cuts a character in two and a text of more than 255 characters is written
    // without width and flag.
    void String(const Directive &dir, const OtherChar<Ch> *s)
    {
        const size_t units = s ? Length(s) : 0;
        if constexpr (sizeof(Ch) == 2) {
            const std::u16string text = FromUtf8(s, units);
            Padded(dir, text.data(), text.size());
        } else {
            const std::string text = ToUtf8(s, units);
            size_t n = text.size();
            if (dir.precision > 0 && static_cast<size_t>(dir.precision) < n) {
                n = static_cast<size_t>(dir.precision);
                while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
                    --n;
            }
            Directive plain = dir;
            plain.precision = -1;
            if (units > 255)
                plain.flag = 0, plain.width = 0;
            Padded(plain, text.data(), n);
        }
    }

private:
    Sink &m_sink;
};

// ---- The argument list ---------------------------------------------------------

// Arguments of a variadic call, owned copy of the caller's list.
struct ArgList
{
    va_list ap;
};

template <typename Ch, typename Sink>
void PutArgument(Writer<Ch, Sink> &out, const Directive &dir, ArgList &args)
{
    const Size size = dir.size;
    switch (dir.conversion) {
    case 'd':
    case 'i':
        if (size == Size::Short)
            out.Signed(dir, static_cast<int16_t>(va_arg(args.ap, int)));
        else if (size == Size::LongLong)
            out.Signed(dir, va_arg(args.ap, long long));
        else
            out.Signed(dir, va_arg(args.ap, int));
        break;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
    case 'b':
        if (size == Size::Short)
            out.Unsigned(dir, static_cast<uint16_t>(va_arg(args.ap, unsigned)));
        else if (size == Size::LongLong)
            out.Unsigned(dir, va_arg(args.ap, unsigned long long));
        else
            out.Unsigned(dir, va_arg(args.ap, unsigned));
        break;
    case 'c':
        out.Character(dir, static_cast<uint32_t>(va_arg(args.ap, int)));
        break;
    case 'f':
    case 'e':
    case 'E': {
        const double x = va_arg(args.ap, double);
        out.Floater(dir, size == Size::Short ? static_cast<float>(x) : x);
        break;
    }
    case 's':
        if (sizeof(Ch) == 1 ? size == Size::Long || size == Size::LongLong : size == Size::Short)
            out.String(dir, va_arg(args.ap, const OtherChar<Ch> *));
        else
            out.String(dir, va_arg(args.ap, const Ch *));
        break;
    }
}

// Walks the format: ordinary characters are copied, "%%" writes one percent
// sign, a '%' that starts no complete directive is dropped, T and V write
// nothing and take nothing; every other directive is handed to put, which
// returns false to stop the walk. Returns false when put did.
template <typename Ch, typename Sink, typename Put>
bool WalkFormat(Writer<Ch, Sink> &out, const Ch *fmt, Put &&put)
{
    if (!fmt)
        return true;
    for (const Ch *p = fmt;;) {
        const Ch *run = p;
        while (*p && *p != Ch('%'))
            ++p;
        if (p != run)
            out.Raw(run, static_cast<size_t>(p - run));
        if (!*p)
            return true;
        if (p[1] == Ch('%')) {
            out.Raw(p, 1);
            p += 2;
            continue;
        }
        Directive dir;
        const Ch *next = ReadDirective(p + 1, &dir);
        if (!next) {
            ++p;
            continue;
        }
        p = next;
        if (dir.conversion == 'T' || dir.conversion == 'V')
            continue;
        if (!put(out, dir))
            return false;
    }
}

// Formats with a variadic argument list into sink; the list is copied so the
// caller's stays untouched.
template <typename Ch, typename Sink> void FormatList(Sink &sink, const Ch *fmt, va_list ap)
{
    Writer<Ch, Sink> out(sink);
    ArgList args;
    va_copy(args.ap, ap);
    WalkFormat(out, fmt, [&args](Writer<Ch, Sink> &w, const Directive &dir) {
        PutArgument(w, dir, args);
        return true;
    });
    va_end(args.ap);
}

} // namespace corekit_format
