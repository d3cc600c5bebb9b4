#include "platform/dockit/text_helpers.h"

#include <string>
#include <type_traits>

#include "corekit/text/xstring.h"

namespace {

template <typename Char> Char FoldAscii(Char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c + ('a' - 'A')) : c;
}

template <typename Char> bool IsBlank(Char c)
{
    return static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(c)) - 1 < 32;
}

template <typename Char> int MatchWord(const Char *text, const Char *word)
{
    if (!text || !word || !*word)
        return 0;
    int n = 0;
    for (; word[n]; ++n)
        if (FoldAscii(text[n]) != FoldAscii(word[n]))
            return 0;
    return n;
}

template <typename Char>
bool SameEntry(const Char *word, size_t wordLength, const Char *entry, size_t entryLength,
               int nocase)
{
    if (wordLength != entryLength)
        return false;
    for (size_t i = 0; i < wordLength; ++i) {
        Char a = nocase ? FoldAscii(word[i]) : word[i];
        Char b = nocase ? FoldAscii(entry[i]) : entry[i];
        if (a != b)
            return false;
    }
    return true;
}

template <typename Char> int FindEntry(const Char *word, const Char *list, int nocase)
{
    if (!word || !list)
        return 0;
    size_t wordLength = std::char_traits<Char>::length(word);
    int position = 1;
    for (const Char *p = list;; ++position) {
        const Char *end = p;
        while (*end && *end != ',')
            ++end;
        const Char *first = p;
        const Char *last = end;
        while (first < last && IsBlank(*first))
            ++first;
        while (last > first && IsBlank(last[-1]))
            --last;
        if (SameEntry(word, wordLength, first, static_cast<size_t>(last - first), nocase))
            return position;
        if (!*end)
            return 0;
        p = end + 1;
    }
}

// Escape for one unit, or null when the unit stands for itself.
const char16_t *ShortEscape(char16_t c)
{
    switch (c) {
    case u'"':
        return u"\\\"";
    case u'\'':
        return u"\\'";
    case u'\\':
        return u"\\\\";
    case u'\n':
        return u"\\n";
    case u'\r':
        return u"\\r";
    case u'\t':
        return u"\\t";
    case u'\b':
        return u"\\b";
    case u'\f':
        return u"\\f";
    default:
        return nullptr;
    }
}

bool NeedsUnicodeEscape(const char16_t *text, size_t i, size_t length)
{
    char16_t c = text[i];
    if (c < 0x20 || c == 0x7F || c == u'<' || c == u'>' || c == 0x2028 || c == 0x2029)
        return true;
    if (c >= 0xD800 && c <= 0xDBFF)
        return !(i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF);
    if (c >= 0xDC00 && c <= 0xDFFF)
        return !(i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF);
    return false;
}

void AppendUnicodeEscape(std::u16string &out, char16_t c)
{
    constexpr char16_t kHex[] = u"0123456789ABCDEF";
    out += u"\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(c >> shift) & 0xF];
}

} // namespace

int MatchMarker(const char *text, const char *word)
{
    return MatchWord(text, word);
}

int MatchMarker(const char16_t *text, const char16_t *word)
{
    return MatchWord(text, word);
}

int StrCompose(const char *word, const char *list, int nocase)
{
    return FindEntry(word, list, nocase);
}

int StrCompose(const char16_t *word, const char16_t *list, int nocase)
{
    return FindEntry(word, list, nocase);
}

uint32_t StrEncode(XString *out, const char16_t *text, int length)
{
    if (!out || !text)
        return 0;
    size_t n = length < 0 ? std::char_traits<char16_t>::length(text) : static_cast<size_t>(length);
    std::u16string escaped;
    escaped.reserve(n + n / 8);
    for (size_t i = 0; i < n; ++i) {
        if (const char16_t *e = ShortEscape(text[i]))
            escaped += e;
        else if (NeedsUnicodeEscape(text, i, n))
            AppendUnicodeEscape(escaped, text[i]);
        else
            escaped += text[i];
    }
    out->Append(escaped.data(), static_cast<unsigned>(escaped.size()));
    return static_cast<uint32_t>(escaped.size());
}
