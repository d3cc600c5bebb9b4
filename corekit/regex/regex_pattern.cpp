// The engine reads Perl syntax; the script grammar differs in a few places that change
// what a pattern means rather than whether it compiles:
// - '.' excludes exactly the four line terminators \n \r U+2028 U+2029;
// - \s and \S, inside a class as outside, cover the script grammar's white space and line
//   terminators, Unicode ones included; \v is the vertical tab only;
// - a letter escape with no meaning of its own (\a \e \h \K \Q \R \X \z ...) is the letter;
// - \k is a named reference only in a pattern that defines named groups.
// Narrow patterns are translated as code points; there a \uhhhh pair of a high and a low
// surrogate stands for the one character it encodes, since UTF-8 text holds no surrogates.
#include "corekit/regex/regex_pattern.h"

namespace {

// The script grammar's white space and line terminators; columns: first, last code point.
constexpr char32_t kSpaceRanges[][2] = {
    {0x0009, 0x000D}, {0x0020, 0x0020}, {0x00A0, 0x00A0}, {0x1680, 0x1680}, {0x2000, 0x200A},
    {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000}, {0xFEFF, 0xFEFF},
};
constexpr char kDotClass[] = "[^\\n\\r\\u2028\\u2029]";
// Letter escapes that mean the same in both grammars (digits are references or octal).
constexpr char kSharedEscapes[] = "dDwWbBfnrtcxu0";

// Largest character of a translated pattern: a UTF-16 unit, or a code point.
template <typename Unit> constexpr char32_t kTopChar = sizeof(Unit) == 2 ? 0xFFFF : 0x10FFFF;

template <typename Unit> void AppendAscii(std::basic_string<Unit> *out, const char *s)
{
    for (; *s; ++s)
        out->push_back(static_cast<Unit>(*s));
}

// One class member: a \uhhhh escape, or the character itself beyond U+FFFF (code points
// only, never special in a class).
template <typename Unit> void AppendMember(std::basic_string<Unit> *out, char32_t c)
{
    static const char digits[] = "0123456789abcdef";
    if (c > 0xFFFF) {
        out->push_back(static_cast<Unit>(c));
        return;
    }
    AppendAscii(out, "\\u");
    for (int shift = 12; shift >= 0; shift -= 4)
        out->push_back(static_cast<Unit>(digits[(c >> shift) & 15]));
}

template <typename Unit>
void AppendRange(std::basic_string<Unit> *out, char32_t first, char32_t last)
{
    AppendMember(out, first);
    if (last == first)
        return;
    out->push_back(static_cast<Unit>('-'));
    AppendMember(out, last);
}

// Class members of \s (space) or \S (everything else up to the top character).
template <typename Unit> void AppendSpaceMembers(std::basic_string<Unit> *out, bool space)
{
    char32_t next = 0;
    for (const auto &range : kSpaceRanges) {
        if (space)
            AppendRange(out, range[0], range[1]);
        else if (range[0] > next)
            AppendRange(out, next, range[0] - 1);
        next = range[1] + 1;
    }
    if (!space)
        AppendRange(out, next, kTopChar<Unit>);
}

bool IsAsciiLetter(unsigned c)
{
    return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}
bool IsDigit(unsigned c)
{
    return c >= '0' && c <= '9';
}

bool IsSharedEscape(unsigned c)
{
    for (const char *p = kSharedEscapes; *p; ++p)
        if (static_cast<unsigned>(*p) == c)
            return true;
    return false;
}

// Length of a bounded quantifier {n}, {n,} or {n,m} starting at p[i] == '{', or 0 when the
// brace is a literal.
template <typename Unit> size_t QuantifierLength(const Unit *p, size_t len, size_t i)
{
    size_t j = i + 1;
    size_t digits = 0;
    while (j < len && IsDigit(p[j]))
        ++j, ++digits;
    if (digits == 0)
        return 0;
    if (j < len && p[j] == ',') {
        ++j;
        while (j < len && IsDigit(p[j]))
            ++j;
    }
    return j < len && p[j] == '}' ? j + 1 - i : 0;
}

// True when the pattern defines a named group, which turns \k into a named reference.
template <typename Unit> bool HasNamedGroup(const Unit *p, size_t len)
{
    for (size_t i = 0; i + 3 < len; ++i) {
        if (p[i] == '\\') {
            ++i;
            continue;
        }
        if (p[i] == '(' && p[i + 1] == '?' && p[i + 2] == '<' && p[i + 3] != '=' && p[i + 3] != '!')
            return true;
    }
    return false;
}

// True when "(?" at p[i] opens a group form of the script grammar.
template <typename Unit> bool IsScriptGroup(const Unit *p, size_t len, size_t i)
{
    if (i + 2 >= len)
        return false;
    const unsigned c = p[i + 2];
    if (c == ':' || c == '=' || c == '!')
        return true;
    if (c != '<' || i + 3 >= len)
        return false;
    const unsigned d = p[i + 3];
    return d == '=' || d == '!' || IsAsciiLetter(d) || d == '_' || d == '$';
}

template <typename Unit>
void TranslateEscape(unsigned c, bool inClass, bool named, std::basic_string<Unit> *out)
{
    if (c == 'v') {
        AppendAscii(out, "\\x0b");
    } else if (c == 's' || c == 'S') {
        if (!inClass)
            out->push_back(static_cast<Unit>('['));
        AppendSpaceMembers(out, c == 's');
        if (!inClass)
            out->push_back(static_cast<Unit>(']'));
    } else if (c == 'k' && !named) {
        out->push_back(static_cast<Unit>(c));
    } else if (IsAsciiLetter(c) && !IsSharedEscape(c) && c != 'k') {
        out->push_back(static_cast<Unit>(c));
    } else {
        out->push_back(static_cast<Unit>('\\'));
        out->push_back(static_cast<Unit>(c));
    }
}

// Value of the four hex digits of a \uhhhh escape at p[i] == '\\', or -1.
template <typename Unit> long UnicodeEscape(const Unit *p, size_t len, size_t i)
{
    if (i + 6 > len || p[i] != '\\' || p[i + 1] != 'u')
        return -1;
    long value = 0;
    for (size_t k = i + 2; k < i + 6; ++k) {
        const unsigned c = p[k];
        const unsigned lower = c | 0x20;
        if (IsDigit(c))
            value = value * 16 + (c - '0');
        else if (lower >= 'a' && lower <= 'f')
            value = value * 16 + (lower - 'a' + 10);
        else
            return -1;
    }
    return value;
}

// The code point of a \uhhhh\uhhhh surrogate pair at p[i], or 0.
template <typename Unit> char32_t SurrogatePair(const Unit *p, size_t len, size_t i)
{
    const long high = UnicodeEscape(p, len, i);
    const long low = UnicodeEscape(p, len, i + 6);
    if (high < 0xD800 || high > 0xDBFF || low < 0xDC00 || low > 0xDFFF)
        return 0;
    return static_cast<char32_t>(0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
}

// Quantifier state: none, a quantifier just read, or its lazy marker just read.
enum class Quant { None, Greedy, Lazy };

template <typename Unit> bool Translate(const Unit *p, size_t len, std::basic_string<Unit> *out)
{
    const bool named = HasNamedGroup(p, len);
    bool inClass = false;
    Quant quant = Quant::None;
    out->clear();
    for (size_t i = 0; i < len; ++i) {
        const unsigned c = p[i];
        if constexpr (sizeof(Unit) == 4) {
            if (const char32_t pair = SurrogatePair(p, len, i)) {
                out->push_back(static_cast<Unit>(pair));
                quant = Quant::None;
                i += 11;
                continue;
            }
        }
        if (c == '\\' && i + 1 < len) {
            TranslateEscape(p[++i], inClass, named, out);
            quant = Quant::None;
            continue;
        }
        if (inClass) {
            // A '[' inside a class is a literal, never the start of a POSIX class.
            if (c == '[')
                out->push_back(static_cast<Unit>('\\'));
            inClass = c != ']';
            out->push_back(p[i]);
            continue;
        }
        size_t take = 1;
        bool isQuant = c == '*' || c == '+' || c == '?';
        if (c == '{') {
            take = QuantifierLength(p, len, i);
            isQuant = take != 0;
            take = isQuant ? take : 1;
        }
        if (isQuant) {
            if (quant == Quant::Greedy && c == '?')
                quant = Quant::Lazy;
            else if (quant != Quant::None)
                return false;
            else
                quant = Quant::Greedy;
            out->append(p + i, take);
            i += take - 1;
            continue;
        }
        quant = Quant::None;
        if (c == '(' && i + 1 < len && p[i + 1] == '?' && !IsScriptGroup(p, len, i))
            return false;
        if (c == '.')
            AppendAscii(out, kDotClass);
        else
            out->push_back(p[i]);
        inClass = c == '[';
    }
    return true;
}

} // namespace

bool TranslatePattern(const char16_t *pattern, size_t len, std::u16string *out)
{
    return Translate(pattern, len, out);
}

bool TranslatePattern(const char32_t *pattern, size_t len, std::u32string *out)
{
    return Translate(pattern, len, out);
}
