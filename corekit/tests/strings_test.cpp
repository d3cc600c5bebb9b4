// The Str* family: one typed test body runs for the narrow and the wide twins.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "corekit/text/strings.h"

namespace {

// An ASCII literal as a string of the character type under test.
template <typename C> std::basic_string<C> S(const char *ascii)
{
    std::basic_string<C> s;
    for (; *ascii; ++ascii)
        s.push_back(static_cast<C>(*ascii));
    return s;
}

template <typename C> class Strings : public ::testing::Test
{
};
using CharTypes = ::testing::Types<char, char16_t>;
TYPED_TEST_SUITE(Strings, CharTypes);

TYPED_TEST(Strings, NcpyTakesTheCapacityWithTerminator)
{
    using C = TypeParam;
    C buf[8];
    struct Case
    {
        const char *src;
        unsigned n;
        const char *expected;
    };
    const Case cases[] = {
        {"abcdef", 4, "abc"}, {"ab", 4, "ab"}, {"abc", 4, "abc"}, {"abcd", 4, "abc"}, {"x", 1, ""}};
    for (const Case &c : cases) {
        std::fill(buf, buf + 8, C('#'));
        Strncpy(buf, S<C>(c.src).c_str(), c.n);
        EXPECT_EQ(S<C>(c.expected), buf) << c.src << " n=" << c.n;
    }
    std::fill(buf, buf + 8, C('#'));
    Strncpy(buf, S<C>("abc").c_str(), 0);
    EXPECT_EQ(C('#'), buf[0]);
}

TYPED_TEST(Strings, CopyCatAndMerge)
{
    using C = TypeParam;
    C buf[16];
    Strcpy(buf, S<C>("ab").c_str());
    Strcat(buf, S<C>("cd").c_str());
    EXPECT_EQ(S<C>("abcd"), buf);
    C *end = buf + Strlen(buf);
    end += StrMerge(end, S<C>("ef").c_str());
    end += StrMerge(end, S<C>("").c_str());
    EXPECT_EQ(6, end - buf);
    EXPECT_EQ(S<C>("abcdef"), buf);
}

TYPED_TEST(Strings, NullRulesOfEveryComparison)
{
    using C = TypeParam;
    const C *n = nullptr;
    auto a = S<C>("a");
    EXPECT_EQ(0, Strcmp(n, n));
    EXPECT_EQ(-1, Strcmp(n, a.c_str()));
    EXPECT_EQ(1, Strcmp(a.c_str(), n));
    EXPECT_EQ(-1, Stricmp(n, a.c_str()));
    EXPECT_EQ(1, Stricmp(a.c_str(), n));
    EXPECT_EQ(-1, Strncmp(n, a.c_str(), 3));
    EXPECT_EQ(1, Strnicmp(a.c_str(), n, 3));
    EXPECT_EQ(-1, Strncmp(n, 1, a.c_str()));
    EXPECT_EQ(1, Strnicmp(a.c_str(), 1, n));
    EXPECT_EQ(0, Strcmp(n, n, 1));
}

TYPED_TEST(Strings, CaseFoldingIsAsciiOnly)
{
    using C = TypeParam;
    struct Case
    {
        const char *a, *b;
        bool equal;
    };
    const Case cases[] = {{"Hello", "hELLO", true},
                          {"a[", "A{", false},
                          {"", "", true},
                          {"abc", "ABCD", false},
                          {"Z", "z", true}};
    for (const Case &c : cases) {
        EXPECT_EQ(c.equal, Stricmp(S<C>(c.a).c_str(), S<C>(c.b).c_str()) == 0) << c.a;
        EXPECT_EQ(c.equal, Strcmp(S<C>(c.a).c_str(), S<C>(c.b).c_str(), 1) == 0) << c.a;
    }
    EXPECT_NE(0, Strcmp(S<C>("A").c_str(), S<C>("a").c_str(), 0));
    EXPECT_EQ(0, Strnicmp(S<C>("ABx").c_str(), S<C>("aby").c_str(), 2));
    EXPECT_NE(0, Strnicmp(S<C>("ABx").c_str(), S<C>("aby").c_str(), 3));
    EXPECT_EQ(0, Strnicmp(S<C>("a").c_str(), S<C>("b").c_str(), 0));
    EXPECT_EQ(0, Strncmp(S<C>("ab").c_str(), S<C>("ab").c_str(), 9));
    EXPECT_LT(Strncmp(S<C>("ab").c_str(), S<C>("abc").c_str(), 9), 0);
}

TYPED_TEST(Strings, CountedComparison)
{
    using C = TypeParam;
    struct Case
    {
        const char *a;
        unsigned n;
        const char *b;
        int expected;
        bool nocase;
    };
    const Case cases[] = {
        {"abc", 2, "ab", 0, false}, {"ab", 2, "abc", -1, false}, {"ab", 0, "", 0, false},
        {"ab", 0, "x", -1, false},  {"ac", 2, "ab", 1, false},   {"AB", 2, "ab", 0, true},
        {"AB", 2, "abc", -1, true}, {"ab", 2, "a", 'b', false},
    };
    for (const Case &c : cases) {
        auto a = S<C>(c.a), b = S<C>(c.b);
        int r = c.nocase ? Strnicmp(a.c_str(), c.n, b.c_str()) : Strncmp(a.c_str(), c.n, b.c_str());
        EXPECT_EQ(c.expected, r) << c.a << "/" << c.n << "/" << c.b;
    }
    EXPECT_NE(0, Strnicmp(S<C>("AB").c_str(), 2, S<C>("ax").c_str()));
}

TYPED_TEST(Strings, CountedComparisonStopsAtTheTerminatorOfB)
{
    using C = TypeParam;
    // A zero inside the counted string meets b's terminator: b is not read past its end
    // and the longer counted string orders after.
    const C a[] = {C('a'), C(0), C('z')};
    auto b = std::make_unique<C[]>(2);
    b[0] = C('a');
    b[1] = 0;
    EXPECT_EQ(1, Strncmp(a, 3, b.get()));
    EXPECT_EQ(0, Strncmp(a, 2, b.get()));
}

TYPED_TEST(Strings, Trimming)
{
    using C = TypeParam;
    struct Case
    {
        const char *in, *both, *left, *right;
    };
    const Case cases[] = {
        {"  ab  ", "ab", "ab  ", "  ab"},
        {"ab", "ab", "ab", "ab"},
        {"   ", "", "", ""},
        {"", "", "", ""},
        {"\t\na b\r ", "a b", "a b\r ", "\t\na b"},
        {"\x01x\x20", "x", "x ", "\x01x"},
    };
    for (const Case &c : cases) {
        auto s = S<C>(c.in);
        s.push_back(0);
        EXPECT_EQ(Strlen(S<C>(c.both).c_str()), StrTrim(s.data())) << c.in;
        EXPECT_EQ(S<C>(c.both), s.data());
        s = S<C>(c.in);
        s.push_back(0);
        EXPECT_EQ(Strlen(S<C>(c.left).c_str()), StrLTrim(s.data())) << c.in;
        EXPECT_EQ(S<C>(c.left), s.data());
        s = S<C>(c.in);
        s.push_back(0);
        EXPECT_EQ(Strlen(S<C>(c.right).c_str()), StrRTrim(s.data())) << c.in;
        EXPECT_EQ(S<C>(c.right), s.data());
    }
}

TYPED_TEST(Strings, CaseChangeAndReverse)
{
    using C = TypeParam;
    auto s = S<C>("aZ09[`{@");
    s.push_back(C(0xE9));
    EXPECT_EQ(S<C>("AZ09[`{@") + C(0xE9), StrUpper(s.data()));
    EXPECT_EQ(S<C>("az09[`{@") + C(0xE9), StrLower(s.data()));
    auto r = S<C>("abcde");
    EXPECT_EQ(S<C>("edcba"), StrReverse(r.data()));
    auto e = S<C>("");
    EXPECT_EQ(S<C>(""), StrReverse(e.data()));
}

TYPED_TEST(Strings, CharacterSearch)
{
    using C = TypeParam;
    auto s = S<C>("abcab");
    const C *p = s.c_str();
    EXPECT_EQ(p + 1, Strchr(p, 'b'));
    EXPECT_EQ(p + 4, Strrchr(p, 'b'));
    EXPECT_EQ(p + 5, Strchr(p, 0));
    EXPECT_EQ(p + 5, Strrchr(p, 0));
    EXPECT_EQ(nullptr, Strchr(p, 'x'));
    EXPECT_EQ(nullptr, Strrchr(p, 'x'));
}

TYPED_TEST(Strings, SubstringSearch)
{
    using C = TypeParam;
    auto s = S<C>("xAbcabc");
    const C *p = s.c_str();
    auto e = S<C>("");
    EXPECT_EQ(p + 4, Strstr(p, S<C>("abc").c_str()));
    EXPECT_EQ(p + 1, Stristr(p, S<C>("abc").c_str()));
    EXPECT_EQ(p, Strstr(p, e.c_str()));
    EXPECT_EQ(p, Stristr(p, e.c_str()));
    EXPECT_EQ(nullptr, Strstr(p, S<C>("abcd").c_str()));
    EXPECT_EQ(nullptr, Strstr(p, S<C>("cx").c_str()));
    // An empty haystack: Strstr gives it back for an empty needle, Stristr gives null.
    EXPECT_EQ(e.c_str(), Strstr(e.c_str(), e.c_str()));
    EXPECT_EQ(nullptr, Stristr(e.c_str(), e.c_str()));
}

TEST(StringsNarrow, ComparisonResults)
{
    // Narrow Strcmp orders bytes as unsigned and answers -1, 0 or 1; Stricmp reports the
    // difference of signed 8-bit values.
    EXPECT_EQ(1, Strcmp("\x80", "\x7F"));
    EXPECT_EQ(-1, Strcmp("a", "c"));
    EXPECT_EQ(-1, Strcmp("a", "ab"));
    EXPECT_EQ(0, Strcmp("ab", "ab"));
    EXPECT_EQ(-128 - 0x7F, Stricmp("\x80", "\x7F"));
    EXPECT_EQ('a' - 'c', Stricmp("A", "c"));
    EXPECT_GT(Strncmp("\x80", "\x7F", 1), 0);
    EXPECT_EQ(-128 - 'a', Strncmp("\x80", 1, "a"));
}

TEST(StringsWide, ComparisonResults)
{
    // Wide comparisons report the difference of unsigned 16-bit units.
    EXPECT_EQ(0x4E2D - 0x41, Strcmp(u"\u4E2D", u"A"));
    EXPECT_EQ(-'b', Strcmp(u"a", u"ab"));
    EXPECT_EQ(0, Strcmp(u"", u""));
    EXPECT_EQ(0xE9 - 'a', Stricmp(u"\u00E9", u"A"));
    EXPECT_EQ(0x4E2D - 'a', Strncmp(u"\u4E2D", 1, u"a"));
}

TEST(StringsWide, CountedCopyMoveAndFill)
{
    char16_t buf[8] = u"#######";
    Strcpy(buf, u"abcdef", 3);
    EXPECT_EQ(std::u16string(u"abc####"), buf);
    Strset(buf, u'z', 2);
    EXPECT_EQ(std::u16string(u"zzc####"), buf);
    Strmove(buf + 1, buf, 3);
    EXPECT_EQ(std::u16string(u"zzzc###"), buf);
    Strmove(buf, buf + 2, 4);
    EXPECT_EQ(std::u16string(u"zc#####"), buf);
}

TEST(StringsWide, FindCharTreatsZeroAsOrdinaryWithinCount)
{
    const char16_t s[] = {u'a', 0, u'b', u'c', 0};
    EXPECT_EQ(s + 2, FindChar(s, 4, u'b'));
    EXPECT_EQ(s + 1, FindChar(s, 4, 0));
    EXPECT_EQ(nullptr, FindChar(s, 2, u'b'));
    EXPECT_EQ(nullptr, FindChar(s, -1, u'b'));
    EXPECT_EQ(s + 1, FindChar(s, -1, 0));
    EXPECT_EQ(nullptr, FindChar(s, 0, u'a'));
}

TEST(StringsWide, CountedSearches)
{
    const char16_t *s = u"abcABCabc";
    struct Case
    {
        const char16_t *t;
        unsigned n;
        int expected; // offset, or -1 for null
    };
    const Case forward[] = {{u"Cabx", 3, 5}, {u"zzz", 0, 0}, {u"AB", 2, 3}, {u"x", 1, -1}};
    for (const Case &c : forward) {
        const char16_t *r = Strstr(s, c.t, c.n);
        EXPECT_EQ(c.expected, r ? r - s : -1) << c.n;
    }
    // Last occurrence lying wholly within the first n characters.
    const Case backward[] = {{u"abc", 9, 6},         {u"abc", 8, 0},  {u"", 4, 4},
                             {u"abcABCabcd", 9, -1}, {u"ABC", 5, -1}, {u"ABC", 6, 3}};
    for (const Case &c : backward) {
        const char16_t *r = Strrstr(s, c.n, c.t);
        EXPECT_EQ(c.expected, r ? r - s : -1) << c.n;
    }
    const Case folded[] = {{u"ABC", 9, 6}, {u"abc", 5, 0}, {u"Bca", 9, 4}, {u"", 0, 0}};
    for (const Case &c : folded) {
        const char16_t *r = Strristr(s, c.n, c.t);
        EXPECT_EQ(c.expected, r ? r - s : -1) << c.n;
    }
}

} // namespace
