#include "platform/dockit/xmf_archive.h"

#include <cstring>
#include <string>

#include "corekit/archive/iarchive.h"
#include "corekit/memory/memory.h"

namespace {

constexpr uint8_t kPropertyTag = 1;
constexpr uint8_t kSectionStartTag = 2;
constexpr uint8_t kSectionEndTag = 3;

void StoreLittle(uint8_t *out, uint64_t value, uint32_t width)
{
    for (uint32_t i = 0; i < width; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool IsIntegerWidth(uint32_t width)
{
    return width == 1 || width == 2 || width == 4 || width == 8;
}

// Host integer of `width` bytes at v, as an unsigned 64-bit value.
uint64_t HostValue(const void *v, uint32_t width)
{
    switch (width) {
    case 1:
        return *static_cast<const uint8_t *>(v);
    case 2: {
        uint16_t x;
        std::memcpy(&x, v, 2);
        return x;
    }
    case 4: {
        uint32_t x;
        std::memcpy(&x, v, 4);
        return x;
    }
    default: {
        uint64_t x;
        std::memcpy(&x, v, 8);
        return x;
    }
    }
}

size_t Length(const char16_t *s)
{
    return s ? std::char_traits<char16_t>::length(s) : 0;
}

} // namespace

XMF_Archive::XMF_Archive(IArchive *archive) : m_archive(archive) {}

void XMF_Archive::Attach(IArchive *archive)
{
    m_archive = archive;
    m_size = m_left = 0;
    m_failed = 0;
}

// ---------------------------------------------------------------- writing

int XMF_Archive::Put(const void *src, uint32_t n)
{
    if (!m_archive || (n && !m_archive->Write(src, n))) {
        m_failed = 1;
        return 0;
    }
    return 1;
}

int XMF_Archive::Header(uint8_t kind, uint16_t code)
{
    uint8_t bytes[3] = {kind};
    StoreLittle(bytes + 1, code, 2);
    return Put(bytes, 3);
}

int XMF_Archive::StartMarker(uint16_t code)
{
    return Header(kSectionStartTag, code);
}

int XMF_Archive::CloseMarker(uint16_t code)
{
    return Header(kSectionEndTag, code);
}

int XMF_Archive::StartProper(uint16_t code, uint32_t size)
{
    uint8_t bytes[7] = {kPropertyTag};
    StoreLittle(bytes + 1, code, 2);
    StoreLittle(bytes + 3, size, 4);
    return Put(bytes, 7);
}

int XMF_Archive::Write_Proper(uint16_t code, const char16_t *text)
{
    uint32_t units = text ? static_cast<uint32_t>(Length(text) + 1) : 0;
    return StartProper(code, 2 * units) && (!text || SaveStrDoc(text, units));
}

int XMF_Archive::Write_Proper(uint16_t code, const void *bytes, uint32_t n)
{
    if (!bytes && n)
        return 0;
    return StartProper(code, n) && Put(bytes, n);
}

int XMF_Archive::Write_Integer(uint16_t code, int64_t value, uint32_t width)
{
    if (!IsIntegerWidth(width))
        return 0;
    uint8_t bytes[8];
    StoreLittle(bytes, static_cast<uint64_t>(value), width);
    return StartProper(code, width) && Put(bytes, width);
}

int XMF_Archive::IntToDoc(const void *v, uint32_t width, uint32_t count)
{
    if (!v || !IsIntegerWidth(width))
        return 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t bytes[8];
        StoreLittle(bytes, HostValue(static_cast<const uint8_t *>(v) + i * width, width), width);
        if (!Put(bytes, width))
            return 0;
    }
    return 1;
}

int XMF_Archive::StrToDoc(const char16_t *s)
{
    return StrToDoc(s, s ? static_cast<uint32_t>(Length(s) + 1) : 0);
}

int XMF_Archive::StrToDoc(const char16_t *s, uint32_t n)
{
    uint32_t count = s ? n : 0;
    return IntToDoc(&count, 4) && (!s || SaveStrDoc(s, n));
}

int XMF_Archive::SaveStrDoc(const char16_t *s)
{
    if (!s)
        return SaveStrDoc(u"", 1);
    return SaveStrDoc(s, static_cast<uint32_t>(Length(s) + 1));
}

int XMF_Archive::SaveStrDoc(const char16_t *s, uint32_t n)
{
    if (!s && n)
        return 0;
    std::string bytes(2 * static_cast<size_t>(n), '\0');
    for (uint32_t i = 0; i < n; ++i)
        StoreLittle(reinterpret_cast<uint8_t *>(&bytes[2 * i]), s[i], 2);
    return Put(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

int XMF_Archive::TimeToDoc(const DATETIME_t *t)
{
    if (!t)
        return 0;
    uint8_t bytes[8];
    StoreLittle(bytes, t->wYear, 2);
    const uint8_t rest[] = {t->bMonth, t->bDay, t->bHour, t->bMinute, t->bSecond, t->bMilli};
    std::memcpy(bytes + 2, rest, 6);
    return Put(bytes, 8);
}

int XMF_Archive::TimeToDoc(const SYSTIME_t *t)
{
    if (!t)
        return 0;
    const uint16_t fields[] = {t->wYear,   t->wMonth,  t->wDay,       t->wHour,
                               t->wMinute, t->wSecond, t->wDayOfWeek, t->wMilliseconds};
    return IntToDoc(fields, 2, 8);
}

int XMF_Archive::Write(const void *src, uint32_t n)
{
    if (!src && n)
        return 0;
    return Put(src, n);
}

int XMF_Archive::WriteDoc(IArchive *src, uint32_t n)
{
    if (!m_archive || !src || !m_archive->WriteDoc(src, n)) {
        m_failed = 1;
        return 0;
    }
    return 1;
}
