#include "platform/devkit/xfile_archive.h"

#include <algorithm>
#include <limits>

XFileArchive::~XFileArchive() = default;

XFileArchive *XFileArchive::Malloc()
{
    return new XFileArchive();
}

int XFileArchive::Open(const char16_t *path, uint32_t mode)
{
    Close();
    if (!m_file.Open(path, mode & ~XFile::kAppend))
        return 0;
    int64_t size = m_file.GetSize();
    if (size < 0 || size > std::numeric_limits<uint32_t>::max()) {
        Close();
        return 0;
    }
    m_size = static_cast<uint32_t>(size);
    m_writable = (mode & XFile::kWrite) != 0;
    return 1;
}

void XFileArchive::Close()
{
    m_file.Close();
    m_position = m_size = 0;
    m_writable = false;
}

uint32_t XFileArchive::AddRef()
{
    return ++m_refs;
}

uint32_t XFileArchive::Release()
{
    if (m_refs > 0)
        --m_refs;
    if (m_refs > 0)
        return m_refs;
    delete this;
    return 0;
}

void XFileArchive::ClearDoc()
{
    if (m_writable && m_file.SetSize(0))
        m_size = 0;
    InitReader();
}

int XFileArchive::InitReader()
{
    m_position = 0;
    m_file.Seek(0);
    return 1;
}

int XFileArchive::IsEndOfDoc() const
{
    return m_position >= m_size ? 1 : 0;
}

uint32_t XFileArchive::GetMaxSize() const
{
    return m_size;
}

int XFileArchive::Skip(uint32_t n)
{
    if (n > m_size - m_position)
        return 0;
    return Seek(m_position + n);
}

int XFileArchive::Seek(uint32_t pos)
{
    if (!m_file.IsOpen() || pos > m_size || m_file.Seek(pos) != pos)
        return 0;
    m_position = pos;
    return 1;
}

int XFileArchive::Tell(uint32_t *pos) const
{
    if (!pos || !m_file.IsOpen())
        return 0;
    *pos = m_position;
    return 1;
}

int XFileArchive::Read(void *dst, uint32_t n)
{
    if (!dst || n > m_size - m_position)
        return 0;
    if (m_file.Read(dst, n) != n) {
        m_file.Seek(m_position); // nothing moves on failure
        return 0;
    }
    m_position += n;
    return 1;
}

int XFileArchive::ReadEx(void *dst, uint32_t *n)
{
    if (!dst || !n)
        return 0;
    uint32_t want = std::min(*n, m_size - m_position);
    *n = m_file.Read(dst, want);
    m_position += *n;
    return 1;
}

int XFileArchive::Write(const void *src, uint32_t n)
{
    if (!m_writable || (!src && n) || n > std::numeric_limits<uint32_t>::max() - m_position)
        return 0;
    if (m_file.Write(src, n) != n) {
        m_file.Seek(m_position);
        return 0;
    }
    m_position += n;
    m_size = std::max(m_size, m_position);
    return 1;
}

int XFileArchive::WriteEx(const void *src, uint32_t *n)
{
    if (!n)
        return 0;
    uint32_t want = std::min(*n, std::numeric_limits<uint32_t>::max() - m_position);
    if (!Write(src, want)) {
        *n = 0;
        return 0;
    }
    *n = want;
    return 1;
}

int XFileArchive::ReadDoc(IArchive *dst, uint32_t n)
{
    return CopyDoc(this, dst, n);
}

int XFileArchive::WriteDoc(IArchive *src, uint32_t n)
{
    return CopyDoc(src, this, n);
}
