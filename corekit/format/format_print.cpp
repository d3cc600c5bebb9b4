// Formatting into caller buffers, and the string conversions of %s.

#include "corekit/encoding/encoding.h"
#include "corekit/format/format.h"
#include "corekit/format/format_engine.h"

namespace corekit_format {

std::string ToUtf8(const char16_t *s, size_t n)
{
    std::string text;
    if (!s || n == 0)
        return text;
    const unsigned need = WStrToUStr(s, static_cast<int>(n), nullptr, 0);
    text.resize(need + 1);
    text.resize(WStrToUStr(s, static_cast<int>(n), text.data(), need + 1));
    return text;
}

// Text that is not valid UTF-8 converts to nothing.
std::u16string FromUtf8(const char *s, size_t n)
{
    std::u16string text;
    if (!s || n == 0)
        return text;
    const unsigned need = UStrToWStr(s, static_cast<int>(n), nullptr, 0);
    text.resize(need + 1);
    text.resize(UStrToWStr(s, static_cast<int>(n), text.data(), need + 1));
    return text;
}

} // namespace corekit_format

using namespace corekit_format;

namespace {

template <typename Ch> unsigned FormatInto(Ch *buf, const Ch *fmt, va_list ap)
{
    BufferSink<Ch> sink{buf};
    FormatList(sink, fmt, ap);
    *sink.cur = 0;
    return static_cast<unsigned>(sink.cur - buf);
}

} // namespace

unsigned SprintfV(char *buf, const char *fmt, va_list args)
{
    return FormatInto(buf, fmt, args);
}

unsigned SprintfV(char16_t *buf, const char16_t *fmt, va_list args)
{
    return FormatInto(buf, fmt, args);
}

unsigned Sprintf(char *buf, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const unsigned n = FormatInto(buf, fmt, args);
    va_end(args);
    return n;
}

unsigned Sprintf(char16_t *buf, const char16_t *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const unsigned n = FormatInto(buf, fmt, args);
    va_end(args);
    return n;
}
