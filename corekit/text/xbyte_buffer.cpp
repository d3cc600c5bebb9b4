// XByteBuffer: growable buffer of raw bytes or narrow text.
#include "corekit/text/xbyte_buffer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "corekit/text/char_traits.h"

namespace {

constexpr uint32_t kMinCapacity = 32;
constexpr uint32_t kGrowthMargin = 256;

} // namespace

XByteBuffer::XByteBuffer() = default;

XByteBuffer::XByteBuffer(XByteBuffer &&other) noexcept
    : m_capacity(std::exchange(other.m_capacity, 0)),
      m_start(std::exchange(other.m_start, nullptr)), m_cur(std::exchange(other.m_cur, nullptr))
{
}

XByteBuffer &XByteBuffer::operator=(XByteBuffer &&other) noexcept
{
    if (this != &other) {
        Release();
        m_capacity = std::exchange(other.m_capacity, 0);
        m_start = std::exchange(other.m_start, nullptr);
        m_cur = std::exchange(other.m_cur, nullptr);
    }
    return *this;
}

XByteBuffer::~XByteBuffer()
{
    MemFree(m_start);
}

void XByteBuffer::Release()
{
    MemFree(m_start);
    m_start = m_cur = nullptr;
    m_capacity = 0;
}

unsigned char *XByteBuffer::GetBuffer() const
{
    return m_cur == m_start ? nullptr : m_start;
}

const char *XByteBuffer::GetString() const
{
    return reinterpret_cast<const char *>(GetBuffer());
}

unsigned char *XByteBuffer::GetBuffer(uint32_t *len) const
{
    *len = GetLength();
    return m_start;
}

unsigned char XByteBuffer::GetAt(unsigned i) const
{
    return i < GetLength() ? m_start[i] : 0;
}

void XByteBuffer::SetEmpty()
{
    m_cur = m_start;
}

void XByteBuffer::Allocate(uint32_t n)
{
    size_t used = GetLength();
    if (m_capacity >= used + n)
        return;
    size_t capacity;
    if (!m_start) {
        capacity = std::max(n, kMinCapacity);
    } else {
        capacity = static_cast<size_t>(m_capacity) * 2;
        if (capacity < used + n)
            capacity = used + n + kGrowthMargin;
    }
    m_start = static_cast<unsigned char *>(MemRealloc(m_start, static_cast<uint32_t>(capacity)));
    m_cur = m_start + used;
    m_capacity = static_cast<uint32_t>(capacity);
}

unsigned char *XByteBuffer::GetBuffer(uint32_t n)
{
    Allocate(n);
    return m_cur;
}

void XByteBuffer::CloseBuffer(unsigned char *p)
{
    if (m_start && p >= m_start && p <= m_start + m_capacity)
        m_cur = p;
}

int XByteBuffer::BackDelete(uint32_t n)
{
    if (n > GetLength())
        return 0;
    m_cur -= n;
    return 1;
}

void XByteBuffer::Append(unsigned char b)
{
    Allocate(1);
    *m_cur++ = b;
}

void XByteBuffer::Append(const char *s, int n)
{
    if (!s)
        return;
    uint32_t count = n < 0 ? corekit_detail::Length(s) : static_cast<uint32_t>(n);
    Append(reinterpret_cast<const unsigned char *>(s), count);
}

void XByteBuffer::Append(const unsigned char *p, uint32_t n)
{
    if (!p || n == 0)
        return;
    // p may point into this buffer, which Allocate can move.
    bool inside = m_start && p >= m_start && p < m_start + m_capacity;
    size_t offset = inside ? static_cast<size_t>(p - m_start) : 0;
    Allocate(n);
    if (inside)
        p = m_start + offset;
    std::memmove(m_cur, p, n);
    m_cur += n;
}

void XByteBuffer::Append(int codepage, const char16_t *s, int n)
{
    if (!s)
        return;
    if (n < 0)
        n = static_cast<int>(corekit_detail::Length(s));
    uint32_t bytes = ::WStrToCStr(codepage, s, n, nullptr, 0);
    // Two spare bytes leave room for the terminator the conversion adds.
    char *w = reinterpret_cast<char *>(GetBuffer(bytes + 2));
    m_cur += ::WStrToCStr(codepage, s, n, w, bytes + 2);
}

void XByteBuffer::SetString(const char *s)
{
    uint32_t n = corekit_detail::Length(s);
    SetEmpty();
    Allocate(n + 1);
    std::memmove(m_cur, s, n + 1);
    m_cur += n;
}

void XByteBuffer::SetBuffer(const unsigned char *p, uint32_t n)
{
    if (p == m_start && n <= GetLength()) {
        m_cur = m_start + n;
        return;
    }
    SetEmpty();
    Append(p, n);
}

const char *XByteBuffer::WStrToCStr(int codepage, const char16_t *s, int n)
{
    uint32_t before = GetLength();
    Append(codepage, s, n);
    if (GetLength() == before)
        return nullptr;
    Allocate(1);
    *m_cur = 0;
    return reinterpret_cast<const char *>(m_start + before);
}

XByteBuffer &XByteBuffer::operator=(const XByteBuffer &other)
{
    if (this != &other)
        SetBuffer(other.m_start, other.GetLength());
    return *this;
}

XByteBuffer &XByteBuffer::operator+=(const XByteBuffer &other)
{
    Append(other.m_start, other.GetLength());
    return *this;
}

namespace {

// Content (m bytes) against the counted string (s, k): the common bytes decide, then the
// shorter one orders first. Never reads past either side.
int CompareCounted(const unsigned char *content, uint32_t m, const char *s, uint32_t k, bool nocase)
{
    uint32_t common = std::min(m, k);
    for (uint32_t i = 0; i < common; ++i) {
        char a = static_cast<char>(content[i]), b = s[i];
        if (nocase) {
            a = corekit_detail::FoldChar(a);
            b = corekit_detail::FoldChar(b);
            if (a != b)
                return corekit_detail::Signed(a) - corekit_detail::Signed(b);
        } else if (a != b) {
            return static_cast<int>(corekit_detail::Code(a)) -
                   static_cast<int>(corekit_detail::Code(b));
        }
    }
    return m < k ? -1 : (m > k ? 1 : 0);
}

} // namespace

int XByteBuffer::Strcmp(const char *s, int n) const
{
    if (!m_start)
        return -1;
    if (!s)
        return 1;
    uint32_t k = n < 0 ? corekit_detail::Length(s) : static_cast<uint32_t>(n);
    return CompareCounted(m_start, GetLength(), s, k, false);
}

int XByteBuffer::Stricmp(const char *s, int n) const
{
    if (!m_start)
        return -1;
    if (!s)
        return 1;
    uint32_t k = n < 0 ? corekit_detail::Length(s) : static_cast<uint32_t>(n);
    return CompareCounted(m_start, GetLength(), s, k, true);
}

int XByteBuffer::Strncmp(const char *s, unsigned n) const
{
    if (!m_start)
        return -1;
    if (!s)
        return 1;
    return CompareCounted(m_start, GetLength(), s, n, false);
}

int XByteBuffer::Strnicmp(const char *s, unsigned n) const
{
    if (!m_start)
        return -1;
    if (!s)
        return 1;
    return CompareCounted(m_start, GetLength(), s, n, true);
}
