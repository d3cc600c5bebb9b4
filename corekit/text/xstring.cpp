// XString: growable UTF-16 string with a null state.
#include "corekit/text/xstring.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "corekit/text/strings.h"

namespace {

constexpr uint32_t kMinCapacity = 32;
constexpr uint32_t kGrowthMargin = 256;

} // namespace

XString::XString() = default;

XString::XString(const char16_t *s)
{
    Append(s);
}

XString::XString(const char *s, int codepage)
{
    Append(s, codepage);
}

XString::XString(XString &&other) noexcept
    : m_capacity(std::exchange(other.m_capacity, 0)),
      m_begin(std::exchange(other.m_begin, nullptr)), m_end(std::exchange(other.m_end, nullptr))
{
}

XString &XString::operator=(XString &&other) noexcept
{
    if (this != &other) {
        Release();
        m_capacity = std::exchange(other.m_capacity, 0);
        m_begin = std::exchange(other.m_begin, nullptr);
        m_end = std::exchange(other.m_end, nullptr);
    }
    return *this;
}

XString::~XString()
{
    MemFree(m_begin);
}

void XString::Release()
{
    MemFree(m_begin);
    m_begin = m_end = nullptr;
    m_capacity = 0;
}

unsigned XString::GetLength() const
{
    return m_begin == m_end ? 0 : static_cast<unsigned>(m_end - m_begin - 1);
}

char16_t XString::GetAt(unsigned i) const
{
    return i < static_cast<size_t>(m_end - m_begin) ? m_begin[i] : 0;
}

int XString::SetAt(unsigned i, char16_t ch)
{
    if (i >= GetLength())
        return 0;
    m_begin[i] = ch;
    return 1;
}

int XString::SetLength(unsigned n)
{
    if (n > GetLength())
        return 0;
    if (m_begin != m_end) {
        m_begin[n] = 0;
        m_end = m_begin + n + 1;
    }
    return 1;
}

void XString::SetEmpty()
{
    m_end = m_begin;
}

void XString::Allocate(uint32_t n)
{
    size_t used = static_cast<size_t>(m_end - m_begin);
    size_t need = static_cast<size_t>(n) + (used == 0 ? 1 : 0);
    if (m_capacity >= used + need)
        return;
    size_t capacity;
    if (!m_begin) {
        capacity = std::max<size_t>(need, kMinCapacity);
    } else {
        capacity = static_cast<size_t>(m_capacity) * 2;
        if (capacity < need + used)
            capacity = need + used + kGrowthMargin;
    }
    m_begin = StrRealloc(m_begin, static_cast<uint32_t>(capacity));
    m_end = m_begin + used;
    m_capacity = static_cast<uint32_t>(capacity);
}

char16_t *XString::TextEnd()
{
    if (m_begin == m_end) {
        m_begin[0] = 0;
        m_end = m_begin + 1;
    }
    return m_end - 1;
}

char16_t *XString::GetBuffer(uint32_t n)
{
    Allocate(n);
    return TextEnd();
}

void XString::CloseBuffer(char16_t *p)
{
    if (!m_begin || p < m_begin || p >= m_begin + m_capacity)
        return;
    *p = 0;
    m_end = p + 1;
}

int XString::BackDelete(unsigned n)
{
    unsigned length = GetLength();
    if (n > length)
        return 0;
    if (m_begin != m_end) {
        m_end -= n;
        m_end[-1] = 0;
    }
    return 1;
}

void XString::AppendUnits(const char16_t *s, unsigned n)
{
    // s may point into this string's own buffer, which Allocate can move.
    bool inside = m_begin && s >= m_begin && s < m_begin + m_capacity;
    size_t offset = inside ? static_cast<size_t>(s - m_begin) : 0;
    Allocate(n);
    if (inside)
        s = m_begin + offset;
    char16_t *w = TextEnd();
    std::memmove(w, s, static_cast<size_t>(n) * sizeof(char16_t));
    w[n] = 0;
    m_end = w + n + 1;
}

void XString::AppendChar(char16_t ch)
{
    AppendUnits(&ch, 1);
}

void XString::Append(const char16_t *s)
{
    if (s)
        AppendUnits(s, Strlen(s));
}

XString &XString::operator+=(const char16_t *s)
{
    Append(s);
    return *this;
}

void XString::Append(const XString &other)
{
    if (other.m_begin != other.m_end)
        AppendUnits(other.m_begin, other.GetLength());
}

void XString::Append(const char16_t *s, unsigned n)
{
    if (s)
        AppendUnits(s, n);
}

void XString::Append(const char *s, int codepage)
{
    if (s)
        Append(s, Strlen(s), codepage);
}

void XString::Append(const char *s, unsigned n, int codepage)
{
    if (!s)
        return;
    int len = static_cast<int>(n);
    unsigned units = CStrToWStr(codepage, s, len, nullptr, 0);
    char16_t *w = GetBuffer(units);
    unsigned written = CStrToWStr(codepage, s, len, w, units + 1);
    CloseBuffer(w + written);
}

void XString::SetString(const char16_t *s)
{
    SetEmpty();
    Append(s);
}

void XString::SetString(const XString &other)
{
    if (&other == this)
        return;
    SetEmpty();
    Append(other);
}

void XString::SetString(const char16_t *s, unsigned n)
{
    SetEmpty();
    Append(s, n);
}

void XString::SetString(const char *s, int codepage)
{
    SetEmpty();
    Append(s, codepage);
}

void XString::SetString(const char *s, unsigned n, int codepage)
{
    SetEmpty();
    Append(s, n, codepage);
}

XString &XString::operator=(const char16_t *s)
{
    SetString(s);
    return *this;
}

void XString::MakeUpper()
{
    if (m_begin != m_end)
        StrUpper(m_begin);
}

void XString::MakeLower()
{
    if (m_begin != m_end)
        StrLower(m_begin);
}

int XString::Strcmp(const char16_t *s) const
{
    if (m_begin == m_end)
        return s ? -1 : 0;
    return ::Strcmp(m_begin, s);
}

int XString::Stricmp(const char16_t *s) const
{
    if (m_begin == m_end)
        return s ? -1 : 0;
    return ::Stricmp(m_begin, s);
}

int XString::Strncmp(const char16_t *s, unsigned n) const
{
    if (m_begin == m_end)
        return s ? -1 : 0;
    return ::Strncmp(m_begin, s, n);
}

int XString::Strnicmp(const char16_t *s, unsigned n) const
{
    if (m_begin == m_end)
        return s ? -1 : 0;
    return ::Strnicmp(m_begin, s, n);
}

bool XString::operator==(const char16_t *s) const
{
    return m_begin == m_end ? !s : ::Strcmp(m_begin, s) == 0;
}

bool XString::operator!=(const char16_t *s) const
{
    return !(*this == s);
}

bool XString::operator<(const char16_t *s) const
{
    return m_begin == m_end ? s != nullptr : ::Strcmp(m_begin, s) < 0;
}

bool XString::operator<=(const char16_t *s) const
{
    return m_begin == m_end ? true : ::Strcmp(m_begin, s) <= 0;
}

bool XString::operator>(const char16_t *s) const
{
    return !(*this <= s);
}

bool XString::operator>=(const char16_t *s) const
{
    return !(*this < s);
}

char16_t *XString::StrChar(char16_t ch)
{
    return m_begin == m_end ? nullptr : Strchr(m_begin, ch);
}

char16_t *XString::StrStr(const char16_t *t)
{
    return m_begin == m_end ? nullptr : Strstr(m_begin, t);
}

void XString::Trim()
{
    if (m_begin != m_end)
        m_end = m_begin + StrTrim(m_begin) + 1;
}

void XString::LTrim()
{
    if (m_begin != m_end)
        m_end = m_begin + StrLTrim(m_begin) + 1;
}

void XString::RTrim()
{
    if (m_begin != m_end)
        m_end = m_begin + StrRTrim(m_begin) + 1;
}

int XString::SubStr(XString *out, unsigned from) const
{
    return SubStr(out, from, GetLength());
}

int XString::SubStr(XString *out, unsigned from, unsigned n) const
{
    out->SetEmpty();
    unsigned length = GetLength();
    if (m_begin != m_end && from <= length)
        out->Append(m_begin + from, std::min(n, length - from));
    return 0;
}

char16_t *XString::Detach()
{
    if (m_begin == m_end)
        return nullptr;
    char16_t *p = m_begin;
    m_begin = m_end = nullptr;
    m_capacity = 0;
    return p;
}

void XString::Attach(char16_t *s)
{
    if (!s || s == m_begin)
        return;
    Release();
    unsigned length = Strlen(s);
    m_begin = s;
    m_end = s + length + 1;
    m_capacity = length + 1;
}

void XString::Attach(XString *other)
{
    if (!other || other == this || other->m_begin == other->m_end)
        return;
    Release();
    unsigned length = other->GetLength();
    m_begin = std::exchange(other->m_begin, nullptr);
    m_end = std::exchange(other->m_end, nullptr);
    other->m_capacity = 0;
    m_capacity = length + 1;
}
