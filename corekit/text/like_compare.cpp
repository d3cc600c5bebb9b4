// LikeCompare: the wildcard matcher used by grid filters and query conditions.
#include "corekit/text/char_traits.h"
#include "corekit/text/strings.h"

using namespace corekit_detail;

namespace {

bool IsAsciiLetter(unsigned c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsEscapable(unsigned c)
{
    return c == '*' || c == '?' || c == '$' || c == '#' || c == '[';
}

// "[lo,hi]": exactly five characters. Checked one by one so a short pattern is never
// read past its terminator.
template <typename C> bool IsRange(const C *p)
{
    return p[1] && p[2] == ',' && p[3] && p[4] == ']';
}

template <typename C> bool MatchSet(const C *p, C c, unsigned *len)
{
    bool hit = false;
    const C *q = p + 1;
    for (; *q && *q != ']'; ++q)
        hit = hit || *q == c;
    if (!*q)
        return false; // no closing bracket: matches nothing
    *len = static_cast<unsigned>(q - p) + 1;
    return hit;
}

// Whether the pattern element at p (not '*', not the end) matches character c; *len
// receives the element's length in the pattern.
template <typename C> bool MatchOne(const C *p, C c, int nocase, unsigned *len)
{
    unsigned code = Code(c);
    *len = 1;
    switch (Code(*p)) {
    case '?':
        return true;
    case '#':
        return IsAsciiLetter(code);
    case '$':
        return code >= '0' && code <= '9';
    case '[':
        if (IsRange(p)) {
            *len = 5;
            return Signed(p[1]) <= Signed(c) && Signed(c) <= Signed(p[3]);
        }
        return MatchSet(p, c, len);
    case '\\':
        if (IsEscapable(Code(p[1]))) {
            *len = 2;
            return p[1] == c;
        }
        return code == '\\';
    default:
        if (*p == c)
            return true;
        return nocase > 0 && IsAsciiLetter(code) && Fold(Code(*p)) == Fold(code);
    }
}

template <typename C> int Like(const C *t, const C *p, int nocase)
{
    if (!t || !p)
        return 0;
    const C *restartP = nullptr; // pattern after the most recent run of '*'
    const C *restartT = nullptr; // text position that run currently starts matching at
    while (*t) {
        if (*p == '*') {
            while (*p == '*')
                ++p;
            if (!*p)
                return 1;
            restartP = p;
            restartT = t;
            continue;
        }
        unsigned len;
        if (*p && MatchOne(p, *t, nocase, &len)) {
            p += len;
            ++t;
            continue;
        }
        if (!restartP)
            return 0;
        t = ++restartT;
        p = restartP;
    }
    while (*p == '*')
        ++p;
    return *p ? 0 : 1;
}

} // namespace

int LikeCompare(const char *text, const char *pattern, int nocase)
{
    return Like(text, pattern, nocase);
}

int LikeCompare(const char16_t *text, const char16_t *pattern, int nocase)
{
    return Like(text, pattern, nocase);
}
