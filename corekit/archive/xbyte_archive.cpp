#include "corekit/archive/xbyte_archive.h"

#include <algorithm>
#include <cstring>

#include "corekit/memory/memory.h"

XByteArchive::~XByteArchive()
{
    ReleaseOwned();
}

XByteArchive *XByteArchive::Malloc()
{
    return new XByteArchive();
}

uint32_t XByteArchive::AddRef()
{
    return ++m_refs;
}

uint32_t XByteArchive::Release()
{
    if (m_refs > 0)
        --m_refs;
    if (m_refs != 0)
        return m_refs;
    delete this;
    return 0;
}

int XByteArchive::InitReader()
{
    m_cursor = m_start;
    return 1;
}

int XByteArchive::Skip(uint32_t n)
{
    if (n > Room())
        return 0;
    m_cursor += n;
    return 1;
}

int XByteArchive::Seek(uint32_t pos)
{
    if (pos > m_size)
        return 0;
    m_cursor = m_start + pos;
    return 1;
}

int XByteArchive::Tell(uint32_t *pos) const
{
    if (pos != nullptr)
        *pos = Offset();
    return 1;
}

int XByteArchive::Read(void *dst, uint32_t n)
{
    if (n > Room() || (dst == nullptr && n != 0))
        return 0;
    if (n != 0)
        std::memcpy(dst, m_cursor, n);
    m_cursor += n;
    return 1;
}

int XByteArchive::ReadEx(void *dst, uint32_t *n)
{
    if (n == nullptr)
        return 0;
    *n = std::min(*n, Room());
    return Read(dst, *n);
}

int XByteArchive::Write(const void *src, uint32_t n)
{
    if (n > Room() || (src == nullptr && n != 0))
        return 0;
    if (n != 0)
        std::memcpy(m_cursor, src, n);
    m_cursor += n;
    return 1;
}

int XByteArchive::WriteEx(const void *src, uint32_t *n)
{
    if (n == nullptr)
        return 0;
    *n = std::min(*n, Room());
    return Write(src, *n);
}

int XByteArchive::ReadDoc(IArchive *dst, uint32_t n)
{
    return CopyDoc(this, dst, n);
}

int XByteArchive::WriteDoc(IArchive *src, uint32_t n)
{
    return CopyDoc(src, this, n);
}

void *XByteArchive::GetBuffer(uint32_t *size) const
{
    if (size != nullptr)
        *size = m_size;
    return m_start;
}

void XByteArchive::ReleaseOwned()
{
    MemFree(m_owned);
    m_owned = nullptr;
}

void XByteArchive::SetBuffer(void *p, uint32_t n)
{
    ReleaseOwned();
    m_start = m_cursor = static_cast<uint8_t *>(p);
    m_size = p != nullptr ? n : 0;
}

void XByteArchive::CloneBuffer(const void *p, uint32_t n)
{
    auto *copy = static_cast<uint8_t *>(MemAlloc(p != nullptr ? n : 0));
    if (p != nullptr && n != 0)
        std::memcpy(copy, p, n);
    AttachBuffer(copy, p != nullptr ? n : 0);
}

void XByteArchive::AttachBuffer(void *p, uint32_t n)
{
    if (p == m_owned) {
        // Re-attaching the owned block only resizes the window.
        m_start = m_cursor = m_owned;
        m_size = p != nullptr ? n : 0;
        return;
    }
    SetBuffer(p, n);
    m_owned = static_cast<uint8_t *>(p);
}
