// Formatting into XString and XByteBuffer: the Format and AppendFormat members
// and the Sprintf forms that share their entry.

#include "corekit/format/format.h"
#include "corekit/format/format_engine.h"
#include "corekit/text/xbyte_buffer.h"
#include "corekit/text/xstring.h"

using namespace corekit_format;

namespace {

// Room reserved before formatting into a string, in characters.
constexpr uint32_t kFormatReserve = 480;

struct StringSink
{
    XString *s;
    char16_t *Room(size_t n) { return s->GetBuffer(static_cast<uint32_t>(n)); }
    void Done(char16_t *end) { s->CloseBuffer(end); }
};

struct ByteSink
{
    XByteBuffer *b;
    char *Room(size_t n)
    {
        return reinterpret_cast<char *>(b->GetBuffer(static_cast<uint32_t>(n)));
    }
    void Done(char *end) { b->CloseBuffer(reinterpret_cast<unsigned char *>(end)); }
};

} // namespace

// The string holds a text afterwards, empty when nothing was written.
unsigned SprintfV(XString *s, const char16_t *fmt, va_list args)
{
    const unsigned before = s->GetLength();
    s->Allocate(kFormatReserve);
    StringSink sink{s};
    FormatList(sink, fmt, args);
    s->CloseBuffer(s->GetBuffer(0));
    return s->GetLength() - before;
}

unsigned Sprintf(XString *s, const char16_t *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const unsigned n = SprintfV(s, fmt, args);
    va_end(args);
    return n;
}

// A zero byte follows the content (not counted) so that it reads as a string.
unsigned SprintfV(XByteBuffer *b, const char *fmt, va_list args)
{
    const uint32_t before = b->GetLength();
    ByteSink sink{b};
    FormatList(sink, fmt, args);
    *b->GetBuffer(1) = 0;
    return b->GetLength() - before;
}

unsigned Sprintf(XByteBuffer *b, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const unsigned n = SprintfV(b, fmt, args);
    va_end(args);
    return n;
}

unsigned XString::Format(const char16_t *fmt, ...)
{
    SetEmpty();
    va_list args;
    va_start(args, fmt);
    const unsigned n = SprintfV(this, fmt, args);
    va_end(args);
    return n;
}

unsigned XString::AppendFormat(const char16_t *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const unsigned n = SprintfV(this, fmt, args);
    va_end(args);
    return n;
}

unsigned XByteBuffer::AppendFormat(const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const unsigned n = SprintfV(this, fmt, args);
    va_end(args);
    return n;
}
