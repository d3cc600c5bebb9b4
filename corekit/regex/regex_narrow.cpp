// Narrow regular expressions: UTF-8 text decoded into runs of code points for the 32-bit
// engine, and its offsets mapped back to bytes.
#include <algorithm>

#include "corekit/regex/regex_engine.h"

namespace {

// Length of the valid UTF-8 sequence at s[0, left) with its code point in *point, or 0 when
// s does not start one. The second byte's range excludes overlong forms, surrogates and
// values above U+10FFFF.
size_t DecodePoint(const unsigned char *s, size_t left, char32_t *point)
{
    const unsigned lead = s[0];
    if (lead < 0x80) {
        *point = lead;
        return 1;
    }
    size_t n = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (left < n || s[1] < low || s[1] > high)
        return 0;
    char32_t value = lead & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        if ((s[k] & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (s[k] & 0x3F);
    }
    *point = value;
    return n;
}

} // namespace

bool DecodeUtf8(const char *s, size_t len, std::u32string *out)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(s);
    out->clear();
    for (size_t i = 0; i < len;) {
        char32_t point = 0;
        const size_t n = DecodePoint(bytes + i, len - i, &point);
        if (n == 0)
            return false;
        out->push_back(point);
        i += n;
    }
    return true;
}

// ---- RegexMatcher<char> -----------------------------------------------------------------

void RegexMatcher<char>::Decode(const char *text, size_t len)
{
    m_text = text;
    m_len = len;
    m_units.clear();
    m_offsets.clear();
    m_runs.clear();
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    // An invalid sequence is a byte that starts no valid one and the continuation bytes
    // after it. Runs lie before, between and after them, empty ones included, so every
    // position next to an invalid sequence is a place where a match may start.
    Run run{0, 0, 0};
    for (size_t i = 0; i < len;) {
        char32_t point = 0;
        const size_t n = DecodePoint(bytes + i, len - i, &point);
        if (n != 0) {
            m_units.push_back(point);
            m_offsets.push_back(i);
            ++run.count;
            i += n;
            continue;
        }
        m_offsets.push_back(i);
        m_runs.push_back(run);
        for (++i; i < len && (bytes[i] & 0xC0) == 0x80;)
            ++i;
        run = Run{m_units.size(), 0, m_offsets.size()};
    }
    m_offsets.push_back(len);
    m_runs.push_back(run);
}

// Searches run r from its code point start; its ends are line ends only at the text's.
int RegexMatcher<char>::FindInRun(size_t r, size_t start)
{
    const Run &run = m_runs[r];
    const bool atStart = m_offsets[run.offsets] == 0;
    const bool atEnd = m_offsets[run.offsets + run.count] == m_len;
    const int found =
        m_points.Find(m_units.data() + run.first, run.count, start, false, atStart, atEnd);
    if (found == 1)
        m_matchRun = r;
    return found;
}

int RegexMatcher<char>::Find(const char *text, size_t len, size_t start, bool whole)
{
    if (!IsReady())
        return -1;
    if (text != m_text || len != m_len || m_runs.empty())
        Decode(text, len);
    if (whole) {
        // A text with an invalid sequence is never matched whole.
        if (m_runs.size() != 1 || start != 0)
            return 0;
        m_matchRun = 0;
        return m_points.Find(m_units.data(), m_units.size(), 0, true);
    }
    for (size_t r = 0; r < m_runs.size(); ++r) {
        const Run &run = m_runs[r];
        const size_t *offsets = m_offsets.data() + run.offsets;
        if (offsets[run.count] < start)
            continue;
        // The first code point at or after start (start may sit in an invalid sequence).
        const size_t local =
            static_cast<size_t>(std::lower_bound(offsets, offsets + run.count, start) - offsets);
        const int found = FindInRun(r, local);
        if (found != 0)
            return found;
    }
    return 0;
}

bool RegexMatcher<char>::GetGroup(uint32_t i, size_t *begin, size_t *end) const
{
    size_t b = 0, e = 0;
    if (!m_points.GetGroup(i, &b, &e))
        return false;
    const size_t *offsets = m_offsets.data() + m_runs[m_matchRun].offsets;
    *begin = offsets[b];
    *end = offsets[e];
    return true;
}

int RegexMatcher<char>::FindName(const std::string &name) const
{
    std::u32string points;
    if (!DecodeUtf8(name.data(), name.size(), &points))
        return -1;
    return m_points.FindName(points);
}
