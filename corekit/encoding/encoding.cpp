// Dispatch over the encoding selectors, and the conversions into arena and heap memory.
#include "corekit/encoding/encoding.h"

#include <cstring>

#include "corekit/memory/memory.h"
#include "corekit/memory/xmemo_helper.h"
#include "corekit/text/char_traits.h"

namespace {

enum Selector { kAnsi = 0, kUtf8 = 1, kUtf16LE = 2, kUtf16BE = 3, kLatin1 = 4 };

bool IsSelector(int sel)
{
    return sel >= kAnsi && sel <= kLatin1;
}

char16_t Swap(char16_t u)
{
    return static_cast<char16_t>((u >> 8) | (u << 8));
}

// ---- UTF-16 bytes -------------------------------------------------------------------------

// Units in the byte input: len < 0 runs up to and including a 16-bit zero.
size_t Utf16Units(const char *s, int len)
{
    if (len >= 0)
        return static_cast<size_t>(len) / 2;
    size_t n = 0;
    while (s[2 * n] || s[2 * n + 1])
        ++n;
    return n + 1;
}

unsigned BytesToUtf16(const char *s, int len, char16_t *out, uint32_t cap, bool swap)
{
    size_t units = Utf16Units(s, len);
    if (!out)
        return static_cast<unsigned>(units);
    if (units > cap)
        units = cap;
    std::memcpy(out, s, units * 2);
    if (swap)
        for (size_t i = 0; i < units; ++i)
            out[i] = Swap(out[i]);
    if (units < cap)
        out[units] = 0;
    return static_cast<unsigned>(units);
}

unsigned Utf16ToBytes(const char16_t *s, size_t n, char *out, uint32_t cap, bool swap)
{
    if (!out)
        return static_cast<unsigned>(n * 2);
    size_t units = n < cap / 2 ? n : cap / 2;
    for (size_t i = 0; i < units; ++i) {
        char16_t u = swap ? Swap(s[i]) : s[i];
        std::memcpy(out + 2 * i, &u, 2);
    }
    size_t bytes = units * 2;
    for (size_t k = bytes; k < cap && k < bytes + 2; ++k)
        out[k] = 0;
    return static_cast<unsigned>(bytes);
}

// ---- Latin-1 ------------------------------------------------------------------------------

unsigned Latin1ToUtf16(const char *s, int len, char16_t *out, uint32_t cap)
{
    size_t n = len < 0 ? corekit_detail::Length(s) + 1 : static_cast<size_t>(len);
    if (!out)
        return static_cast<unsigned>(n);
    if (n > cap)
        n = cap;
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<unsigned char>(s[i]);
    if (n < cap)
        out[n] = 0;
    return static_cast<unsigned>(n);
}

unsigned Utf16ToLatin1(const char16_t *s, size_t n, char *out, uint32_t cap)
{
    size_t w = 0;
    if (!out) {
        for (size_t i = 0; i < n; ++i)
            w += s[i] < 256 ? 2 : 0;
        return static_cast<unsigned>(w);
    }
    for (size_t i = 0; i < n && w < cap; ++i)
        if (s[i] < 256)
            out[w++] = static_cast<char>(s[i]);
    if (w < cap)
        out[w] = 0;
    return static_cast<unsigned>(w);
}

} // namespace

unsigned CStrToWStr(int sel, const char *s, int len, char16_t *out, uint32_t cap)
{
    if (out) {
        if (cap == 0)
            return 0;
        out[0] = 0;
    }
    if (!IsSelector(sel))
        return 0;
    if (!s)
        return 1;
    switch (sel) {
    case kAnsi:
        return AStrToWStr(s, len, out, cap);
    case kUtf8:
        return UStrToWStr(s, len, out, cap);
    case kUtf16LE:
    case kUtf16BE:
        return BytesToUtf16(s, len, out, cap, sel == kUtf16BE);
    default:
        return Latin1ToUtf16(s, len, out, cap);
    }
}

unsigned WStrToCStr(int sel, const char16_t *s, int n, char *out, uint32_t cap)
{
    if (out) {
        if (cap == 0)
            return 0;
        out[0] = 0;
    }
    if (!IsSelector(sel))
        return 0;
    if (!s)
        return 1;
    size_t count = n < 0 ? corekit_detail::Length(s) + 1 : static_cast<size_t>(n);
    switch (sel) {
    case kAnsi:
        return WStrToAStr(s, static_cast<int>(count), out, cap);
    case kUtf8:
        return WStrToUStr(s, static_cast<int>(count), out, cap);
    case kUtf16LE:
    case kUtf16BE:
        return Utf16ToBytes(s, count, out, cap, sel == kUtf16BE);
    default:
        return Utf16ToLatin1(s, count, out, cap);
    }
}

unsigned CStrToWStr(const char *s, int len, char16_t *out, uint32_t cap)
{
    int sel = s && IsUTF8Mode(s, len) ? kUtf8 : kAnsi;
    return CStrToWStr(sel, s, len, out, cap);
}

const char *StrTransfer(int sel, const char16_t *s, int n, XMemoHelper *m, uint32_t *outLen)
{
    if (!s)
        return nullptr;
    if (n < 0)
        n = static_cast<int>(corekit_detail::Length(s));
    uint32_t bytes = WStrToCStr(sel, s, n, nullptr, 0);
    // Two zero bytes end every result: UTF-16 needs both, the others ignore the second.
    auto *p = static_cast<char *>(m->Malloc(bytes + 2));
    uint32_t written = n > 0 ? WStrToCStr(sel, s, n, p, bytes + 2) : 0;
    p[written] = 0;
    p[written + 1] = 0;
    bool wide = sel == kUtf16LE || sel == kUtf16BE;
    m->CloseMalloc(p, written + (wide ? 2 : 1));
    if (outLen)
        *outLen = written;
    return p;
}

const char16_t *StrTransfer(int sel, const char *s, int n, XMemoHelper *m, uint32_t *outLen)
{
    if (!s)
        return nullptr;
    if (n < 0)
        n = static_cast<int>(sel == kUtf16LE || sel == kUtf16BE ? (Utf16Units(s, -1) - 1) * 2
                                                                : corekit_detail::Length(s));
    uint32_t units = n > 0 ? CStrToWStr(sel, s, n, nullptr, 0) : 0;
    char16_t *p = m->MallocEx(units + 1);
    uint32_t written = units ? CStrToWStr(sel, s, n, p, units + 1) : 0;
    p[written] = 0;
    m->CloseStrMalloc(p, written + 1);
    if (outLen)
        *outLen = written;
    return p;
}

char *StrMalloc(const char16_t *s, int codepage)
{
    if (!s)
        return nullptr;
    uint32_t bytes = WStrToCStr(codepage, s, -1, nullptr, 0);
    if (bytes == 0)
        return nullptr;
    auto *p = static_cast<char *>(MemAlloc(bytes + 2));
    uint32_t written = WStrToCStr(codepage, s, -1, p, bytes + 2);
    if (written == 0) {
        MemFree(p);
        return nullptr;
    }
    p[written] = 0;
    p[written + 1] = 0;
    return p;
}

char16_t *StrMalloc(const char *s, int codepage)
{
    if (!s)
        return nullptr;
    uint32_t units = CStrToWStr(codepage, s, -1, nullptr, 0);
    char16_t *p = StrAlloc(units + 1);
    uint32_t written = units ? CStrToWStr(codepage, s, -1, p, units + 1) : 0;
    p[written] = 0;
    return p;
}
