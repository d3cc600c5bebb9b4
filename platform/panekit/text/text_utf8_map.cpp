#include "platform/panekit/text/text_utf8_map.h"

#include <algorithm>

namespace {

constexpr char32_t kReplacementChar = 0xFFFD;

bool IsHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

void AppendUtf8(std::vector<char> &out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace

void XTextUtf8Map::Assign(const char16_t *text, int len)
{
    if (text == nullptr || len < 0)
        len = 0;
    m_bytes.clear();
    m_byteOf.clear();
    m_bytes.reserve(static_cast<size_t>(len) * 3 + 1);
    m_byteOf.reserve(static_cast<size_t>(len) + 1);
    for (int i = 0; i < len; ++i) {
        const char16_t u = text[i];
        const int32_t start = static_cast<int32_t>(m_bytes.size());
        m_byteOf.push_back(start);
        if (IsHighSurrogate(u) && i + 1 < len && IsLowSurrogate(text[i + 1])) {
            const char32_t c = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            AppendUtf8(m_bytes, c);
            m_byteOf.push_back(start); // the low half stands at the pair's start
            ++i;
            continue;
        }
        const bool broken = u == 0 || IsHighSurrogate(u) || IsLowSurrogate(u);
        AppendUtf8(m_bytes, broken ? kReplacementChar : char32_t(u));
    }
    m_byteOf.push_back(static_cast<int32_t>(m_bytes.size()));
    m_bytes.push_back('\0');
}

int XTextUtf8Map::ByteOfUnit(int pos) const
{
    pos = std::clamp(pos, 0, UnitLength());
    return m_byteOf[static_cast<size_t>(pos)];
}

int XTextUtf8Map::UnitOfByte(int index) const
{
    index = std::clamp(index, 0, ByteLength());
    // The last position whose byte index is not beyond index, then back over the low
    // half of a pair, which shares its byte index with the high half.
    auto it = std::upper_bound(m_byteOf.begin(), m_byteOf.end(), index);
    auto pos = static_cast<int>(it - m_byteOf.begin()) - 1;
    while (pos > 0 && m_byteOf[static_cast<size_t>(pos - 1)] == m_byteOf[static_cast<size_t>(pos)])
        --pos;
    return pos;
}

void XTextUtf8Map::BlankLineBreaks()
{
    // Every character Pango breaks a row at, replaced by a blank of equal byte length:
    // CR, LF, VT, FF -> ' '; NEL (C2 85) -> NBSP (C2 A0); U+2028, U+2029 -> U+2002.
    const int n = ByteLength();
    auto *b = reinterpret_cast<unsigned char *>(m_bytes.data());
    for (int i = 0; i < n; ++i) {
        const unsigned char c = b[i];
        if (c == '\r' || c == '\n' || c == '\v' || c == '\f') {
            b[i] = ' ';
        } else if (c == 0xC2 && i + 1 < n && b[i + 1] == 0x85) {
            b[i + 1] = 0xA0;
        } else if (c == 0xE2 && i + 2 < n && b[i + 1] == 0x80 &&
                   (b[i + 2] == 0xA8 || b[i + 2] == 0xA9)) {
            b[i + 2] = 0x82;
        }
    }
}

void XTextUtf8Map::BlankTabs()
{
    std::replace(m_bytes.begin(), m_bytes.end() - 1, '\t', ' ');
}
