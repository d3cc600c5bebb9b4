// Reading a tagged archive: every read is checked against the current property and
// the bytes left in the document before anything is copied.
#include "platform/dockit/xmf_archive.h"

#include <cstring>
#include <string>
#include <vector>

#include "corekit/archive/iarchive.h"
#include "corekit/memory/memory.h"

namespace {

constexpr uint8_t kPropertyTag = 1;
constexpr uint8_t kSectionStartTag = 2;
constexpr uint8_t kSectionEndTag = 3;

uint64_t LoadLittle(const uint8_t *in, uint32_t width)
{
    uint64_t value = 0;
    for (uint32_t i = 0; i < width; ++i)
        value |= static_cast<uint64_t>(in[i]) << (8 * i);
    return value;
}

bool IsIntegerWidth(uint32_t width)
{
    return width == 1 || width == 2 || width == 4 || width == 8;
}

void SetHostValue(void *v, uint64_t value, uint32_t width)
{
    uint8_t u8 = static_cast<uint8_t>(value);
    uint16_t u16 = static_cast<uint16_t>(value);
    uint32_t u32 = static_cast<uint32_t>(value);
    const void *from = width == 1   ? static_cast<const void *>(&u8)
                       : width == 2 ? static_cast<const void *>(&u16)
                       : width == 4 ? static_cast<const void *>(&u32)
                                    : static_cast<const void *>(&value);
    std::memcpy(v, from, width);
}

char16_t *NewText(const std::vector<char16_t> &units)
{
    auto *text = static_cast<char16_t *>(MemAlloc(static_cast<uint32_t>(2 * (units.size() + 1))));
    if (!text)
        return nullptr;
    if (!units.empty())
        std::memcpy(text, units.data(), 2 * units.size());
    text[units.size()] = 0;
    return text;
}

} // namespace

bool XMF_Archive::Take(void *dst, uint32_t n)
{
    if (!m_archive || m_failed || n > m_left)
        return false;
    if (n && !m_archive->Read(dst, n)) {
        m_failed = 1; // the document is shorter than its property claimed
        return false;
    }
    m_left -= n;
    return true;
}

bool XMF_Archive::Skip(uint32_t n)
{
    if (!m_archive || m_failed || n > m_left)
        return false;
    if (n && !m_archive->Skip(n)) {
        m_failed = 1;
        return false;
    }
    m_left -= n;
    return true;
}

int XMF_Archive::ReadHeader(uint16_t *code)
{
    if (code)
        *code = 0;
    if (!m_archive || m_failed || !Skip(m_left))
        return kEnd;
    m_size = 0;
    uint8_t head[3];
    if (DocRemaining(m_archive) < 3 || !m_archive->Read(head, 3))
        return kEnd;
    uint16_t found = static_cast<uint16_t>(LoadLittle(head + 1, 2));
    if (code)
        *code = found;
    if (head[0] == kSectionStartTag)
        return kSectionStart;
    if (head[0] == kSectionEndTag)
        return kSectionEnd;
    uint8_t size[4];
    if (head[0] != kPropertyTag || DocRemaining(m_archive) < 4 || !m_archive->Read(size, 4)) {
        m_failed = 1;
        return kEnd;
    }
    uint32_t declared = static_cast<uint32_t>(LoadLittle(size, 4));
    if (declared > DocRemaining(m_archive)) {
        m_failed = 1;
        return kEnd;
    }
    m_size = m_left = declared;
    return kProperty;
}

int XMF_Archive::IntFromDoc(void *v, uint32_t width, uint32_t count)
{
    if (!v || !IsIntegerWidth(width) || static_cast<uint64_t>(width) * count > m_left)
        return 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t bytes[8];
        if (!Take(bytes, width))
            return 0;
        SetHostValue(static_cast<uint8_t *>(v) + i * width, LoadLittle(bytes, width), width);
    }
    return 1;
}

int XMF_Archive::ReadStrDoc(char16_t *buf, uint32_t n)
{
    if ((!buf && n) || static_cast<uint64_t>(n) * 2 > m_left)
        return 0;
    std::string bytes(2 * static_cast<size_t>(n), '\0');
    if (!Take(bytes.data(), static_cast<uint32_t>(bytes.size())))
        return 0;
    for (uint32_t i = 0; i < n; ++i)
        buf[i] =
            static_cast<char16_t>(LoadLittle(reinterpret_cast<const uint8_t *>(&bytes[2 * i]), 2));
    return 1;
}

char16_t *XMF_Archive::ReadStrDoc(uint32_t n)
{
    if (static_cast<uint64_t>(n) * 2 > m_left)
        return nullptr;
    std::vector<char16_t> units(n);
    if (!ReadStrDoc(units.data(), n))
        return nullptr;
    return NewText(units);
}

char16_t *XMF_Archive::StrFromDoc()
{
    uint32_t n = 0;
    if (!IntFromDoc(&n, 4) || n == 0)
        return nullptr;
    char16_t *text = ReadStrDoc(n);
    return text;
}

uint32_t XMF_Archive::StrFromDoc(char16_t *buf, uint32_t cap)
{
    if (!buf || cap == 0)
        return 0;
    buf[0] = 0;
    uint32_t n = 0;
    if (!IntFromDoc(&n, 4))
        return 0;
    if (n == 0)
        return 1;
    if (static_cast<uint64_t>(n) * 2 > m_left)
        return 0;
    uint32_t kept = n <= cap ? n : cap - 1;
    if (!ReadStrDoc(buf, kept) || !Skip(2 * (n - kept)))
        return 0;
    // The text always ends inside buf, even when the stored one lacked a terminator.
    if (kept < cap)
        buf[kept] = 0;
    else if (buf[kept - 1] != 0)
        buf[cap - 1] = 0;
    return kept;
}

int XMF_Archive::TimeFromDoc(DATETIME_t *t)
{
    uint8_t bytes[8];
    if (!t || !Take(bytes, 8))
        return 0;
    t->wYear = static_cast<uint16_t>(LoadLittle(bytes, 2));
    t->bMonth = bytes[2];
    t->bDay = bytes[3];
    t->bHour = bytes[4];
    t->bMinute = bytes[5];
    t->bSecond = bytes[6];
    t->bMilli = bytes[7];
    return 1;
}

int XMF_Archive::TimeFromDoc(SYSTIME_t *t)
{
    uint16_t f[8];
    if (!t || !IntFromDoc(f, 2, 8))
        return 0;
    *t = SYSTIME_t{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
    return 1;
}

int XMF_Archive::Read(void *dst, uint32_t n)
{
    if (!dst && n)
        return 0;
    return Take(dst, n) ? 1 : 0;
}

int XMF_Archive::ReadDoc(IArchive *dst, uint32_t n)
{
    if (!dst || !m_archive || m_failed || n > m_left)
        return 0;
    if (!m_archive->ReadDoc(dst, n)) {
        m_failed = 1;
        return 0;
    }
    m_left -= n;
    return 1;
}

int XMF_Archive::ReadInteger(void *v, uint32_t width)
{
    uint32_t stored = m_left;
    if (!v || !IsIntegerWidth(width) || stored == 0 || stored > 8 || stored != m_size)
        return 0;
    uint8_t bytes[8];
    if (!Take(bytes, stored))
        return 0;
    uint64_t value = LoadLittle(bytes, stored);
    if (stored < 8 && (bytes[stored - 1] & 0x80))
        value |= ~uint64_t(0) << (8 * stored); // sign-extend a shorter stored value
    SetHostValue(v, value, width);
    return 1;
}

uint32_t XMF_Archive::ReadProper(void *buf, uint32_t cap)
{
    if (!buf)
        cap = 0;
    uint32_t kept = m_left < cap ? m_left : cap;
    if (!Take(buf, kept) || !Skip(m_left))
        return 0;
    return kept;
}

char16_t *XMF_Archive::ReadStrProper()
{
    uint32_t units = m_left / 2;
    if (units == 0) {
        SkipProper();
        return nullptr;
    }
    std::vector<char16_t> text(units);
    if (!ReadStrDoc(text.data(), units) || !SkipProper())
        return nullptr;
    while (!text.empty() && text.back() == 0)
        text.pop_back();
    return NewText(text);
}

uint32_t XMF_Archive::ReadStrProper(char16_t *buf, uint32_t cap)
{
    if (!buf || cap == 0)
        return 0;
    buf[0] = 0;
    uint32_t units = m_left / 2;
    uint32_t kept = units < cap - 1 ? units : cap - 1;
    if (!ReadStrDoc(buf, kept) || !SkipProper())
        return 0;
    buf[kept] = 0;
    return static_cast<uint32_t>(std::char_traits<char16_t>::length(buf));
}

int XMF_Archive::SkipProper()
{
    return Skip(m_left) ? 1 : 0;
}

int XMF_Archive::SkipMarker()
{
    for (uint32_t depth = 0;;) {
        uint16_t code = 0;
        switch (ReadHeader(&code)) {
        case kSectionStart:
            ++depth;
            break;
        case kSectionEnd:
            if (depth-- == 0)
                return 1;
            break;
        case kProperty:
            break; // its data is skipped by the next ReadHeader
        default:
            return 0;
        }
    }
}
