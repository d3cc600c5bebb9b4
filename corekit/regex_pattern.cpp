// The engine reads Perl syntax; the script grammar differs in a few places that change
// what a pattern means rather than whether it compiles:
// - '.' excludes exactly the four line terminators \n \r U+2028 U+2029;
// - \s and \S cover the script grammar's white space and line terminators, Unicode ones
//   included; \v is the vertical tab only;
// - a letter escape with no meaning of its own (\a \e \h \K \Q \R \X \z ...) is the letter;
// - \k is a named reference only in a pattern that defines named groups.
#include "corekit/regex_pattern.h"

namespace {

// Class body of the script grammar's white space and line terminators.
constexpr char kSpaceBody[] =
    "\\t\\n\\x0b\\f\\r \\u00a0\\u1680\\u2000-\\u200a\\u2028\\u2029\\u202f\\u205f\\u3000\\ufeff";
constexpr char kDotClass[] = "[^\\n\\r\\u2028\\u2029]";
// Letter escapes that mean the same in both grammars (digits are references or octal).
constexpr char kSharedEscapes[] = "dDwWbBfnrtcxu0";

template <typename Unit> void AppendAscii(std::basic_string<Unit> *out, const char *s)
{
    for (; *s; ++s)
        out->push_back(static_cast<Unit>(*s));
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
    } else if ((c == 's' || c == 'S') && !inClass) {
        AppendAscii(out, c == 's' ? "[" : "[^");
        AppendAscii(out, kSpaceBody);
        AppendAscii(out, "]");
    } else if (c == 's') {
        AppendAscii(out, kSpaceBody);
    } else if (c == 'k' && !named) {
        out->push_back(static_cast<Unit>(c));
    } else if (IsAsciiLetter(c) && !IsSharedEscape(c) && c != 'k' && c != 'S') {
        out->push_back(static_cast<Unit>(c));
    } else {
        out->push_back(static_cast<Unit>('\\'));
        out->push_back(static_cast<Unit>(c));
    }
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

bool TranslatePattern(const char *pattern, size_t len, std::string *out)
{
    return Translate(pattern, len, out);
}

bool TranslatePattern(const char16_t *pattern, size_t len, std::u16string *out)
{
    return Translate(pattern, len, out);
}
