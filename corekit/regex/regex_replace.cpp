// Replace-all with the script grammar's replacement rules.
#include <string>

#include "corekit/regex/regex_engine.h"

namespace {

bool IsDigit(unsigned c)
{
    return c >= '0' && c <= '9';
}

// Everything one replacement may refer to.
template <typename Unit> struct MatchView
{
    const RegexMatcher<Unit> &matcher;
    const Unit *text;
    size_t len;
    size_t begin;
    size_t end;
};

template <typename Unit>
void AppendGroup(const MatchView<Unit> &m, uint32_t group, std::basic_string<Unit> *out)
{
    size_t b = 0;
    size_t e = 0;
    if (m.matcher.GetGroup(group, &b, &e))
        out->append(m.text + b, e - b);
}

// Handles "$n" or "$nn" at format[i] == '$'; returns the units consumed, 0 when the digits
// name no group (the dollar is then literal). Two digits win when they name a group.
template <typename Unit>
size_t AppendNumbered(const MatchView<Unit> &m, const Unit *format, size_t i,
                      std::basic_string<Unit> *out)
{
    const uint32_t groups = m.matcher.GetGroupCount();
    if (!IsDigit(format[i + 1]))
        return 0;
    const uint32_t one = format[i + 1] - '0';
    if (IsDigit(format[i + 2])) {
        const uint32_t two = one * 10 + (format[i + 2] - '0');
        if (two >= 1 && two <= groups) {
            AppendGroup(m, two, out);
            return 3;
        }
    }
    if (one >= 1 && one <= groups) {
        AppendGroup(m, one, out);
        return 2;
    }
    return 0;
}

// Handles "$<name>" at format[i] == '$' in an expression with named groups.
template <typename Unit>
size_t AppendNamed(const MatchView<Unit> &m, const Unit *format, size_t i,
                   std::basic_string<Unit> *out)
{
    if (!m.matcher.HasNames() || format[i + 1] != '<')
        return 0;
    size_t close = i + 2;
    while (format[close] != 0 && format[close] != '>')
        ++close;
    if (format[close] == 0)
        return 0;
    const int group = m.matcher.FindName(std::basic_string<Unit>(format + i + 2, close - i - 2));
    if (group > 0)
        AppendGroup(m, static_cast<uint32_t>(group), out);
    return close + 1 - i;
}

template <typename Unit>
void AppendReplacement(const MatchView<Unit> &m, const Unit *format, std::basic_string<Unit> *out)
{
    for (size_t i = 0; format[i] != 0;) {
        if (format[i] != '$') {
            out->push_back(format[i++]);
            continue;
        }
        const Unit next = format[i + 1];
        size_t used = 2;
        if (next == '$')
            out->push_back('$');
        else if (next == '&')
            out->append(m.text + m.begin, m.end - m.begin);
        else if (next == '`')
            out->append(m.text, m.begin);
        else if (next == '\'')
            out->append(m.text + m.end, m.len - m.end);
        else if ((used = AppendNumbered(m, format, i, out)) == 0 &&
                 (used = AppendNamed(m, format, i, out)) == 0) {
            out->push_back('$');
            used = 1;
        }
        i += used;
    }
}

// Position after an empty match at pos: one unit on, and for UTF-8 past the whole character.
size_t StepOver(const char *text, size_t len, size_t pos)
{
    ++pos;
    while (pos < len && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80)
        ++pos;
    return pos;
}

size_t StepOver(const char16_t *, size_t, size_t pos)
{
    return pos + 1;
}

} // namespace

template <typename Unit>
bool ReplaceAll(RegexMatcher<Unit> &matcher, const Unit *text, const Unit *format,
                std::basic_string<Unit> *out)
{
    const size_t len = std::char_traits<Unit>::length(text);
    size_t copied = 0;
    for (size_t pos = 0; pos <= len;) {
        const int found = matcher.Find(text, len, pos, false);
        if (found < 0)
            return false;
        if (found == 0)
            break;
        MatchView<Unit> m{matcher, text, len, 0, 0};
        matcher.GetGroup(0, &m.begin, &m.end);
        out->append(text + copied, m.begin - copied);
        AppendReplacement(m, format, out);
        copied = m.end;
        pos = m.end > m.begin ? m.end : StepOver(text, len, m.end);
    }
    out->append(text + copied, len - copied);
    return true;
}

template bool ReplaceAll<char>(RegexMatcher<char> &, const char *, const char *, std::string *);
template bool ReplaceAll<char16_t>(RegexMatcher<char16_t> &, const char16_t *, const char16_t *,
                                   std::u16string *);
