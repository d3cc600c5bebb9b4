// The typed formatter and scanner: formatting from and scanning into arrays of
// XVarMeter values.

#include "corekit/format/format.h"
#include "corekit/format/format_engine.h"
#include "corekit/format/format_scanner.h"
#include "corekit/systime/systime.h"
#include "corekit/text/xstring.h"

using namespace corekit_format;

namespace {

// ---- Formatting --------------------------------------------------------------

struct StringSink
{
    XString *s;
    char16_t *Room(size_t n) { return s->GetBuffer(static_cast<uint32_t>(n)); }
    void Done(char16_t *end) { s->CloseBuffer(end); }
};
using StringWriter = Writer<char16_t, StringSink>;

bool IsIntegerConversion(uint32_t c)
{
    switch (c) {
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'o':
    case 'b':
    case 'c':
        return true;
    default:
        return false;
    }
}

void PutInteger(StringWriter &out, const Directive &dir, int64_t v)
{
    const auto u = static_cast<uint64_t>(v);
    const bool sized16 = dir.size == Size::Short, sized64 = dir.size == Size::LongLong;
    switch (dir.conversion) {
    case 'c':
        out.Character(dir, static_cast<uint32_t>(u));
        break;
    case 'd':
    case 'i':
        out.Signed(dir, sized16 ? static_cast<int16_t>(u) : sized64 ? v : static_cast<int32_t>(u));
        break;
    default:
        out.Unsigned(dir, sized16   ? static_cast<uint16_t>(u)
                          : sized64 ? u
                                    : static_cast<uint32_t>(u));
        break;
    }
}

// Writes one value for its directive; false on a pairing the grammar has no
// text for.
bool PutValue(StringWriter &out, const Directive &dir, const XVarMeter &v)
{
    const uint32_t c = dir.conversion;
    if (v.type == kVarNull)
        return true;
    if (v.type == kVarInteger && IsIntegerConversion(c)) {
        PutInteger(out, dir, v.value.integer);
        return true;
    }
    if (v.type == kVarFloater && (c == 'f' || c == 'e' || c == 'E')) {
        out.Floater(dir, dir.size == Size::Short ? static_cast<float>(v.value.floater)
                                                 : v.value.floater);
        return true;
    }
    if (c == 's' && v.type == kVarText) {
        out.String(dir, v.value.text);
        return true;
    }
    if (c == 's' && v.type == kVarDateTime) {
        char16_t text[kFormatTimeBuffer];
        const unsigned n = FormatTime(text, &v.value.time, static_cast<const char16_t *>(nullptr));
        out.Padded(dir, text, n);
        return true;
    }
    return false;
}

// ---- Scanning ----------------------------------------------------------------

// p starts with the lower-case ASCII word, ignoring case.
bool FoldedEquals(const char16_t *p, const char *word)
{
    for (; *word; ++p, ++word) {
        const uint32_t c = CodeOf(*p);
        if ((c - 'A' < 26 ? c + ('a' - 'A') : c) != CodeOf(*word))
            return false;
    }
    return true;
}

// %V: a quoted text, a number that starts with a sign or digit, or null.
bool ReadTyped(const char16_t *p, XVarMeter *v, size_t *used)
{
    Field<char16_t> f;
    if (ReadQuoted(p, &f)) {
        *v = XVarMeter{kVarText, static_cast<uint32_t>(f.length), {}};
        v->value.text = f.text;
        *used = f.used;
        return true;
    }
    if (*p == u'-' || *p == u'+' || CodeOf(*p) - '0' < 10) {
        XVarMeter number{kVarNull, 0, {}};
        const unsigned n = ToNumber(p, &number);
        if (n == 0)
            return false;
        *v = number;
        *used = n;
        return true;
    }
    if (FoldedEquals(p, "null")) {
        *v = XVarMeter{kVarNull, 0, {}};
        *used = 4;
        return true;
    }
    return false;
}

void StoreTyped(const Directive &dir, const Field<char16_t> &f, XVarMeter *v)
{
    const uint32_t c = dir.conversion;
    *v = XVarMeter{kVarInteger, 0, {}};
    if (c == 's' || c == 'T') {
        v->type = kVarText;
        v->count = static_cast<uint32_t>(f.length);
        v->value.text = f.text;
    } else if (c == 'f' || c == 'e' || c == 'E') {
        v->type = kVarFloater;
        v->value.floater = dir.size == Size::Short ? static_cast<float>(f.floater) : f.floater;
    } else if (c == 'd' || c == 'i') {
        const uint64_t u = f.integer;
        v->value.integer = dir.size == Size::Short      ? static_cast<int16_t>(u)
                           : dir.size == Size::LongLong ? static_cast<int64_t>(u)
                                                        : static_cast<int32_t>(u);
    } else {
        const uint64_t u = f.integer;
        v->value.integer =
            static_cast<int64_t>(dir.size == Size::Short      ? static_cast<uint16_t>(u)
                                 : dir.size == Size::LongLong ? u
                                                              : static_cast<uint32_t>(u));
    }
}

struct TypedStore
{
    XVarMeter *values;
    unsigned n;
    unsigned count = 0;

    bool Full() const { return count >= n; }
    bool Read(const Directive &dir, const char16_t *pos, size_t *used)
    {
        if (dir.conversion == 'V') {
            if (!ReadTyped(pos, &values[count], used))
                return false;
        } else {
            Field<char16_t> f;
            if (!ReadField(pos, dir, &f))
                return false;
            StoreTyped(dir, f, &values[count]);
            *used = f.used;
        }
        ++count;
        return true;
    }
};

} // namespace

int SprintfV(XString *s, const char16_t *fmt, const XVarMeter *v, unsigned n)
{
    s->Allocate(480);
    StringSink sink{s};
    StringWriter out(sink);
    unsigned next = 0;
    const bool ok = WalkFormat(out, fmt, [&](StringWriter &w, const Directive &dir) {
        return next < n && PutValue(w, dir, v[next++]);
    });
    s->CloseBuffer(s->GetBuffer(0));
    return ok ? 1 : 0;
}

unsigned SscanfV(const char16_t *text, const char16_t *fmt, XVarMeter *v, unsigned n)
{
    TypedStore store{v, n};
    ScanText(text, fmt, store);
    return store.count;
}
