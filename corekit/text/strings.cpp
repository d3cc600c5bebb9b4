// Copying, comparing, trimming and searching zero-terminated strings, narrow and wide.
#include "corekit/text/strings.h"

#include <cstring>

#include "corekit/text/char_traits.h"

using namespace corekit_detail;

namespace {

// ---- copying ------------------------------------------------------------------------------

template <typename C> C *CopyString(C *dst, const C *src)
{
    std::memcpy(dst, src, (Length(src) + 1) * sizeof(C));
    return dst;
}

template <typename C> unsigned MergeString(C *dst, const C *src)
{
    unsigned n = Length(src);
    std::memcpy(dst, src, (n + 1) * sizeof(C));
    return n;
}

template <typename C> C *CopyBounded(C *dst, const C *src, unsigned n)
{
    if (n == 0)
        return dst;
    unsigned i = 0;
    for (; i + 1 < n && src[i]; ++i)
        dst[i] = src[i];
    dst[i] = 0;
    return dst;
}

// ---- comparing ----------------------------------------------------------------------------

// Both null 0, a null -1, b null 1; *done tells whether the null rule decided.
template <typename C> int NullOrder(const C *a, const C *b, bool *done)
{
    *done = !a || !b;
    if (a == b)
        return 0;
    return !a ? -1 : 1;
}

// Difference of two (already folded when asked) characters as the twin reports it.
inline int Diff(char a, char b, bool unsignedNarrow)
{
    if (unsignedNarrow)
        return static_cast<int>(Code(a)) - static_cast<int>(Code(b));
    return Signed(a) - Signed(b);
}
inline int Diff(char16_t a, char16_t b, bool)
{
    return static_cast<int>(a) - static_cast<int>(b);
}

template <typename C> C Pick(C c, bool nocase)
{
    return nocase ? FoldChar(c) : c;
}

// Terminated strings, at most n characters (n = ~0u: unbounded).
template <typename C>
int CompareBounded(const C *a, const C *b, unsigned n, bool nocase, bool unsignedNarrow)
{
    bool done;
    int r = NullOrder(a, b, &done);
    if (done)
        return r;
    for (unsigned i = 0; i < n; ++i) {
        C x = Pick(a[i], nocase), y = Pick(b[i], nocase);
        if (x != y)
            return Diff(x, y, unsignedNarrow);
        if (!x)
            break;
    }
    return 0;
}

// a counted (n characters), b terminated. A zero inside a that meets b's terminator ends
// b: the remaining characters of a make it the greater, b is never read past its end.
template <typename C> int CompareCounted(const C *a, unsigned n, const C *b, bool nocase)
{
    bool done;
    int r = NullOrder(a, b, &done);
    if (done)
        return r;
    for (unsigned i = 0; i < n; ++i) {
        C x = Pick(a[i], nocase), y = Pick(b[i], nocase);
        if (x != y)
            return Diff(x, y, false);
        if (!y)
            return i + 1 < n ? 1 : 0;
    }
    return b[n] ? -1 : 0;
}

int Sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// ---- trimming -----------------------------------------------------------------------------

template <typename C> unsigned TrimRight(C *s)
{
    unsigned n = Length(s);
    while (n > 0 && IsBlank(Code(s[n - 1])))
        --n;
    s[n] = 0;
    return n;
}

template <typename C> unsigned TrimLeft(C *s)
{
    if (!IsBlank(Code(s[0])))
        return Length(s);
    unsigned skip = 0;
    while (IsBlank(Code(s[skip])))
        ++skip;
    unsigned n = Length(s + skip);
    std::memmove(s, s + skip, (n + 1) * sizeof(C));
    return n;
}

template <typename C> unsigned TrimBoth(C *s)
{
    unsigned first = 0;
    while (IsBlank(Code(s[first])))
        ++first;
    unsigned last = first + Length(s + first);
    while (last > first && IsBlank(Code(s[last - 1])))
        --last;
    unsigned n = last - first;
    if (first)
        std::memmove(s, s + first, n * sizeof(C));
    s[n] = 0;
    return n;
}

template <typename C, typename F> C *MapChars(C *s, F f)
{
    for (C *p = s; *p; ++p)
        *p = f(*p);
    return s;
}

template <typename C> C *Reverse(C *s)
{
    unsigned n = Length(s);
    for (unsigned i = 0; i < n / 2; ++i) {
        C t = s[i];
        s[i] = s[n - 1 - i];
        s[n - 1 - i] = t;
    }
    return s;
}

// ---- searching ----------------------------------------------------------------------------

template <typename C> C Narrowed(int ch)
{
    return static_cast<C>(ch);
}

template <typename C> const C *FindFirst(const C *s, int ch)
{
    C c = Narrowed<C>(ch);
    for (;; ++s) {
        if (*s == c)
            return s;
        if (!*s)
            return nullptr;
    }
}

template <typename C> const C *FindLast(const C *s, int ch)
{
    C c = Narrowed<C>(ch);
    const C *found = nullptr;
    for (;; ++s) {
        if (*s == c)
            found = s;
        if (!*s)
            return found;
    }
}

template <typename C> bool SameRun(const C *s, const C *t, unsigned n, bool nocase)
{
    for (unsigned i = 0; i < n; ++i)
        if (Pick(s[i], nocase) != Pick(t[i], nocase))
            return false;
    return true;
}

// First occurrence of the n characters t in the terminated s.
template <typename C> const C *Search(const C *s, const C *t, unsigned n, bool nocase)
{
    if (n == 0)
        return s;
    for (; *s; ++s) {
        unsigned i = 0;
        while (i < n && s[i] && Pick(s[i], nocase) == Pick(t[i], nocase))
            ++i;
        if (i == n)
            return s;
        if (!s[i])
            return nullptr;
    }
    return nullptr;
}

// Last occurrence of t wholly within the first n characters of s.
template <typename C> const C *SearchBack(const C *s, unsigned n, const C *t, bool nocase)
{
    unsigned tn = Length(t);
    if (tn == 0)
        return s + n;
    if (tn > n)
        return nullptr;
    for (unsigned i = n - tn + 1; i-- > 0;)
        if (SameRun(s + i, t, tn, nocase))
            return s + i;
    return nullptr;
}

template <typename C> C *Mut(const C *p)
{
    return const_cast<C *>(p);
}

} // namespace

unsigned Strlen(const char *s)
{
    return Length(s);
}
unsigned Strlen(const char16_t *s)
{
    return Length(s);
}

char *Strcpy(char *dst, const char *src)
{
    return CopyString(dst, src);
}
char16_t *Strcpy(char16_t *dst, const char16_t *src)
{
    return CopyString(dst, src);
}
char16_t *Strcpy(char16_t *dst, const char16_t *src, unsigned n)
{
    std::memcpy(dst, src, n * sizeof(char16_t));
    return dst;
}
char *Strcat(char *dst, const char *src)
{
    CopyString(dst + Length(dst), src);
    return dst;
}
char16_t *Strcat(char16_t *dst, const char16_t *src)
{
    CopyString(dst + Length(dst), src);
    return dst;
}
unsigned StrMerge(char *dst, const char *src)
{
    return MergeString(dst, src);
}
unsigned StrMerge(char16_t *dst, const char16_t *src)
{
    return MergeString(dst, src);
}
char16_t *Strset(char16_t *dst, char16_t ch, unsigned n)
{
    for (unsigned i = 0; i < n; ++i)
        dst[i] = ch;
    return dst;
}
char *Strncpy(char *dst, const char *src, unsigned n)
{
    return CopyBounded(dst, src, n);
}
char16_t *Strncpy(char16_t *dst, const char16_t *src, unsigned n)
{
    return CopyBounded(dst, src, n);
}
char16_t *Strmove(char16_t *dst, const char16_t *src, unsigned n)
{
    std::memmove(dst, src, n * sizeof(char16_t));
    return dst;
}

int Strcmp(const char *a, const char *b)
{
    return Sign(CompareBounded(a, b, ~0u, false, true));
}
int Strcmp(const char16_t *a, const char16_t *b)
{
    return CompareBounded(a, b, ~0u, false, false);
}
int Strcmp(const char *a, const char *b, int nocase)
{
    return nocase ? Stricmp(a, b) : Strcmp(a, b);
}
int Strcmp(const char16_t *a, const char16_t *b, int nocase)
{
    return nocase ? Stricmp(a, b) : Strcmp(a, b);
}
int Stricmp(const char *a, const char *b)
{
    return CompareBounded(a, b, ~0u, true, false);
}
int Stricmp(const char16_t *a, const char16_t *b)
{
    return CompareBounded(a, b, ~0u, true, false);
}
int Strncmp(const char *a, const char *b, unsigned n)
{
    return CompareBounded(a, b, n, false, true);
}
int Strncmp(const char16_t *a, const char16_t *b, unsigned n)
{
    return CompareBounded(a, b, n, false, false);
}
int Strnicmp(const char *a, const char *b, unsigned n)
{
    return CompareBounded(a, b, n, true, false);
}
int Strnicmp(const char16_t *a, const char16_t *b, unsigned n)
{
    return CompareBounded(a, b, n, true, false);
}
int Strncmp(const char *a, unsigned n, const char *b)
{
    return CompareCounted(a, n, b, false);
}
int Strncmp(const char16_t *a, unsigned n, const char16_t *b)
{
    return CompareCounted(a, n, b, false);
}
int Strnicmp(const char *a, unsigned n, const char *b)
{
    return CompareCounted(a, n, b, true);
}
int Strnicmp(const char16_t *a, unsigned n, const char16_t *b)
{
    return CompareCounted(a, n, b, true);
}

unsigned StrTrim(char *s)
{
    return TrimBoth(s);
}
unsigned StrTrim(char16_t *s)
{
    return TrimBoth(s);
}
unsigned StrLTrim(char *s)
{
    return TrimLeft(s);
}
unsigned StrLTrim(char16_t *s)
{
    return TrimLeft(s);
}
unsigned StrRTrim(char *s)
{
    return TrimRight(s);
}
unsigned StrRTrim(char16_t *s)
{
    return TrimRight(s);
}
char *StrUpper(char *s)
{
    return MapChars(s, UpperChar<char>);
}
char16_t *StrUpper(char16_t *s)
{
    return MapChars(s, UpperChar<char16_t>);
}
char *StrLower(char *s)
{
    return MapChars(s, FoldChar<char>);
}
char16_t *StrLower(char16_t *s)
{
    return MapChars(s, FoldChar<char16_t>);
}
char *StrReverse(char *s)
{
    return Reverse(s);
}
char16_t *StrReverse(char16_t *s)
{
    return Reverse(s);
}

const char *Strchr(const char *s, int ch)
{
    return FindFirst(s, ch);
}
char *Strchr(char *s, int ch)
{
    return Mut(FindFirst<char>(s, ch));
}
const char16_t *Strchr(const char16_t *s, int ch)
{
    return FindFirst(s, ch);
}
char16_t *Strchr(char16_t *s, int ch)
{
    return Mut(FindFirst<char16_t>(s, ch));
}
const char *Strrchr(const char *s, int ch)
{
    return FindLast(s, ch);
}
char *Strrchr(char *s, int ch)
{
    return Mut(FindLast<char>(s, ch));
}
const char16_t *Strrchr(const char16_t *s, int ch)
{
    return FindLast(s, ch);
}
char16_t *Strrchr(char16_t *s, int ch)
{
    return Mut(FindLast<char16_t>(s, ch));
}
const char16_t *FindChar(const char16_t *s, int n, int ch)
{
    if (n < 0)
        return FindFirst(s, ch);
    char16_t c = static_cast<char16_t>(ch);
    for (int i = 0; i < n; ++i)
        if (s[i] == c)
            return s + i;
    return nullptr;
}
char16_t *FindChar(char16_t *s, int n, int ch)
{
    return Mut(FindChar(static_cast<const char16_t *>(s), n, ch));
}

const char *Strstr(const char *s, const char *t)
{
    return Search(s, t, Length(t), false);
}
char *Strstr(char *s, const char *t)
{
    return Mut(Search<char>(s, t, Length(t), false));
}
const char16_t *Strstr(const char16_t *s, const char16_t *t)
{
    return Search(s, t, Length(t), false);
}
char16_t *Strstr(char16_t *s, const char16_t *t)
{
    return Mut(Search<char16_t>(s, t, Length(t), false));
}
const char *Stristr(const char *s, const char *t)
{
    return *s ? Search(s, t, Length(t), true) : nullptr;
}
char *Stristr(char *s, const char *t)
{
    return Mut(Stristr(static_cast<const char *>(s), t));
}
const char16_t *Stristr(const char16_t *s, const char16_t *t)
{
    return *s ? Search(s, t, Length(t), true) : nullptr;
}
char16_t *Stristr(char16_t *s, const char16_t *t)
{
    return Mut(Stristr(static_cast<const char16_t *>(s), t));
}
const char16_t *Strstr(const char16_t *s, const char16_t *t, unsigned n)
{
    return Search(s, t, n, false);
}
char16_t *Strstr(char16_t *s, const char16_t *t, unsigned n)
{
    return Mut(Search<char16_t>(s, t, n, false));
}
const char16_t *Strrstr(const char16_t *s, unsigned n, const char16_t *t)
{
    return SearchBack(s, n, t, false);
}
char16_t *Strrstr(char16_t *s, unsigned n, const char16_t *t)
{
    return Mut(SearchBack<char16_t>(s, n, t, false));
}
const char16_t *Strristr(const char16_t *s, unsigned n, const char16_t *t)
{
    return SearchBack(s, n, t, true);
}
char16_t *Strristr(char16_t *s, unsigned n, const char16_t *t)
{
    return Mut(SearchBack<char16_t>(s, n, t, true));
}
