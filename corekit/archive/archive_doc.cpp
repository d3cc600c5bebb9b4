#include "corekit/archive/archive_doc.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "corekit/archive/byte_order.h"
#include "corekit/archive/iarchive.h"
#include "corekit/memory/memory.h"
#include "corekit/memory/xmemo_helper.h"

namespace {

// Puts the cursor back where it was unless the operation is committed, so that a reader
// or writer that fails half-way leaves the archive as it found it.
class CursorGuard
{
public:
    explicit CursorGuard(IArchive *a) : m_archive(a) { m_valid = a->Tell(&m_pos) != 0; }
    CursorGuard(const CursorGuard &) = delete;
    CursorGuard &operator=(const CursorGuard &) = delete;
    ~CursorGuard()
    {
        if (!m_committed && m_valid)
            m_archive->Seek(m_pos);
    }
    void Commit() { m_committed = true; }

private:
    IArchive *m_archive;
    uint32_t m_pos = 0;
    bool m_valid = false;
    bool m_committed = false;
};

// Bytes of n items of width bytes, or 0 with *ok false when that passes 32 bits.
bool ByteCount(uint64_t n, uint64_t width, uint32_t *bytes)
{
    const uint64_t total = n * width;
    if (total > UINT32_MAX)
        return false;
    *bytes = static_cast<uint32_t>(total);
    return true;
}

// Writes count integers of width bytes from v in document order.
int WriteIntegers(IArchive *a, const void *v, unsigned int width, unsigned int count)
{
    uint32_t bytes = 0;
    if (!ByteCount(count, width, &bytes))
        return 0;
    if (GetEndianMode() == 0)
        return a->Write(v, bytes);
    uint8_t piece[IArchive::kCopyPiece];
    const auto *in = static_cast<const uint8_t *>(v);
    const unsigned int perPiece = std::max(1u, IArchive::kCopyPiece / std::max(width, 1u));
    for (unsigned int done = 0; done < count && width <= sizeof(piece);) {
        const unsigned int n = std::min(perPiece, count - done);
        SwitchInteger(piece, in + size_t{done} * width, width, n);
        if (a->Write(piece, n * width) == 0)
            return 0;
        done += n;
    }
    return width <= sizeof(piece) ? 1 : 0;
}

int ReadIntegers(IArchive *a, void *v, unsigned int width, unsigned int count)
{
    uint32_t bytes = 0;
    if (!ByteCount(count, width, &bytes) || a->Read(v, bytes) == 0)
        return 0;
    EndianInteger(GetEndianMode(), v, width, count);
    return 1;
}

bool ReadCount(IArchive *a, uint32_t *n)
{
    return ReadIntegers(a, n, 4, 1) != 0;
}

// True when the archive still holds n units past its cursor.
bool HasUnits(const IArchive *a, uint32_t n)
{
    return uint64_t{n} * 2 <= DocRemaining(a);
}

} // namespace

// ---- Integers ------------------------------------------------------------------------

int IntToDoc(IArchive *a, const void *v, unsigned int width)
{
    return IntToDoc(a, v, width, 1);
}

int IntToDoc(IArchive *a, const void *v, unsigned int width, unsigned int count)
{
    if (a == nullptr || (v == nullptr && width != 0 && count != 0))
        return 0;
    CursorGuard guard(a);
    if (WriteIntegers(a, v, width, count) == 0)
        return 0;
    guard.Commit();
    return 1;
}

int IntFromDoc(IArchive *a, void *v, unsigned int width)
{
    return IntFromDoc(a, v, width, 1);
}

int IntFromDoc(IArchive *a, void *v, unsigned int width, unsigned int count)
{
    if (a == nullptr || (v == nullptr && width != 0 && count != 0))
        return 0;
    return ReadIntegers(a, v, width, count);
}

// ---- Strings out ---------------------------------------------------------------------

int WriteStrDoc(IArchive *a, const char16_t *s, unsigned int n)
{
    return IntToDoc(a, s, 2, n);
}

int WriteStrDoc(uint16_t *dst, const char16_t *s, unsigned int n)
{
    if (dst == nullptr || (s == nullptr && n != 0))
        return 0;
    EndianInteger(GetEndianMode(), dst, s, 2, n);
    return 1;
}

int StrToDoc(IArchive *a, const char16_t *s)
{
    if (s == nullptr)
        return StrToDoc(a, nullptr, 0);
    return StrToDoc(a, s, static_cast<unsigned int>(std::char_traits<char16_t>::length(s)) + 1);
}

int StrToDoc(IArchive *a, const char16_t *s, unsigned int n)
{
    if (a == nullptr)
        return 0;
    const uint32_t count = s != nullptr ? n : 0;
    CursorGuard guard(a);
    if (WriteIntegers(a, &count, 4, 1) == 0 || (s != nullptr && WriteIntegers(a, s, 2, n) == 0))
        return 0;
    guard.Commit();
    return 1;
}

// ---- Strings in ----------------------------------------------------------------------

int ReadStrDoc(IArchive *a, char16_t *buf, unsigned int n)
{
    if (a == nullptr || (buf == nullptr && n != 0))
        return 0;
    return ReadIntegers(a, buf, 2, n);
}

int ReadStrDoc(const uint16_t *src, char16_t *buf, unsigned int n)
{
    if (buf == nullptr || (src == nullptr && n != 0))
        return 0;
    EndianInteger(GetEndianMode(), buf, src, 2, n);
    return 1;
}

char16_t *ReadStrDoc(IArchive *a, unsigned int n)
{
    if (a == nullptr || !HasUnits(a, n))
        return nullptr;
    char16_t *s = StrAlloc(n + 1);
    if (ReadIntegers(a, s, 2, n) == 0) {
        MemFree(s);
        return nullptr;
    }
    s[n] = 0;
    return s;
}

char16_t *ReadStrDoc(IArchive *a, unsigned int n, XMemoHelper *m)
{
    if (a == nullptr || m == nullptr || !HasUnits(a, n))
        return nullptr;
    const void *top = m->GetPointer();
    char16_t *s = m->MallocEx(n + 1);
    if (ReadIntegers(a, s, 2, n) == 0) {
        m->PopupMalloc(top);
        return nullptr;
    }
    s[n] = 0;
    return s;
}

char16_t *StrFromDoc(IArchive *a)
{
    if (a == nullptr)
        return nullptr;
    CursorGuard guard(a);
    uint32_t n = 0;
    if (!ReadCount(a, &n) || (n != 0 && !HasUnits(a, n)))
        return nullptr;
    if (n == 0) {
        guard.Commit();
        return nullptr;
    }
    char16_t *s = StrAlloc(n);
    if (ReadIntegers(a, s, 2, n) == 0 || s[n - 1] != 0) {
        MemFree(s);
        return nullptr;
    }
    guard.Commit();
    return s;
}

char16_t *StrFromDoc(IArchive *a, XMemoHelper *m)
{
    if (a == nullptr || m == nullptr)
        return nullptr;
    CursorGuard guard(a);
    uint32_t n = 0;
    if (!ReadCount(a, &n) || (n != 0 && !HasUnits(a, n)))
        return nullptr;
    if (n == 0) {
        guard.Commit();
        return nullptr;
    }
    const void *top = m->GetPointer();
    char16_t *s = m->MallocEx(n);
    if (ReadIntegers(a, s, 2, n) == 0 || s[n - 1] != 0) {
        m->PopupMalloc(top);
        return nullptr;
    }
    guard.Commit();
    return s;
}

namespace {

// Reads a string of n > cap units into buf: cap - 1 units and a terminator, the rest
// skipped; the stored string must still end with its terminator.
unsigned int ReadCut(IArchive *a, char16_t *buf, unsigned int cap, uint32_t n)
{
    const unsigned int keep = cap - 1;
    char16_t last = 1;
    if (ReadIntegers(a, buf, 2, keep) == 0 || a->Skip((n - keep - 1) * 2) == 0 ||
        ReadIntegers(a, &last, 2, 1) == 0 || last != 0)
        return 0;
    buf[keep] = 0;
    return keep;
}

} // namespace

unsigned int StrFromDoc(IArchive *a, char16_t *buf, unsigned int cap)
{
    if (a == nullptr || buf == nullptr || cap == 0)
        return 0;
    buf[0] = 0;
    CursorGuard guard(a);
    uint32_t n = 0;
    if (!ReadCount(a, &n) || !HasUnits(a, n))
        return 0;
    unsigned int stored = 1;
    if (n > cap)
        stored = ReadCut(a, buf, cap, n);
    else if (n != 0)
        stored = ReadIntegers(a, buf, 2, n) != 0 && buf[n - 1] == 0 ? n : 0;
    if (stored == 0 && n != 0) {
        buf[0] = 0;
        return 0;
    }
    guard.Commit();
    return stored;
}

// ---- Times ---------------------------------------------------------------------------

int TimeToDoc(IArchive *a, const SYSTIME_t *t)
{
    if (t == nullptr)
        return 0;
    const uint16_t fields[8] = {t->wYear,   t->wMonth,  t->wDay,       t->wHour,
                                t->wMinute, t->wSecond, t->wDayOfWeek, t->wMilliseconds};
    return IntToDoc(a, fields, 2, 8);
}

int TimeFromDoc(IArchive *a, SYSTIME_t *t)
{
    uint16_t f[8];
    if (t == nullptr || IntFromDoc(a, f, 2, 8) == 0)
        return 0;
    *t = SYSTIME_t{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
    return 1;
}

int TimeToDoc(IArchive *a, const DATETIME_t *t)
{
    if (a == nullptr || t == nullptr)
        return 0;
    uint8_t bytes[8] = {static_cast<uint8_t>(t->wYear),
                        static_cast<uint8_t>(t->wYear >> 8),
                        t->bMonth,
                        t->bDay,
                        t->bHour,
                        t->bMinute,
                        t->bSecond,
                        t->bMilli};
    return a->Write(bytes, sizeof(bytes));
}

int TimeFromDoc(IArchive *a, DATETIME_t *t)
{
    uint8_t b[8];
    if (a == nullptr || t == nullptr || a->Read(b, sizeof(b)) == 0)
        return 0;
    *t = DATETIME_t{static_cast<uint16_t>(b[0] | b[1] << 8), b[2], b[3], b[4], b[5], b[6], b[7]};
    return 1;
}
