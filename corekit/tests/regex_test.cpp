// Regular expressions: the listed cases, the grammar's own rules, and very long inputs.
#include <string>

#include <gtest/gtest.h>

#include "corekit/regex.h"
#include "corekit/xbyte_buffer.h"
#include "corekit/xstring.h"

namespace {

std::u16string Replaced(const char16_t *pattern, const char16_t *text, const char16_t *format,
                        uint32_t options = 0)
{
    XString out;
    if (RegexReplace(pattern, options, text, format, &out) == 0)
        return u"<fail>";
    return out.GetString() != nullptr ? out.GetString() : u"";
}

} // namespace

TEST(Regex, WholeMatch)
{
    const struct
    {
        const char16_t *pattern, *text;
        uint32_t options;
        int expected;
    } cases[] = {
        {u"a+", u"aaa", 0, 1},
        {u"a+", u"aab", 0, 0},
        {u"ABC", u"abc", kRegexNoCase, 1},
        {u"ABC", u"abc", 0, 0},
        {u"a|ab", u"ab", 0, 1}, // the whole text, not the first alternative
        {u"", u"", 0, 1},
        {u"a$", u"a\n", 0, 0},   // $ only at the very end
        {u"a.c", u"a\nc", 0, 0}, // . stops at line terminators
        {u"a.c", u"a\u2028c", 0, 0},
        {u"a.c", u"a\u00A0c", 0, 1},
        {u"\\s", u"\u3000", 0, 1}, // Unicode white space
        {u"\\v", u"\v", 0, 1},
        {u"\\v", u"\n", 0, 0},
        {u"\\u4e2d\\x41", u"中A", 0, 1},
        {u"\\Q\\E", u"QE", 0, 1}, // letter escapes without meaning are the letter
        {u"[]", u"a", 0, 0},
        {u"[^]", u"\n", 0, 1},
        {u"(a)|\\1b", u"b", 0, 1}, // a reference to an unset group matches empty
        {u"\\k", u"k", 0, 1},
        {u"(?<n>x)\\k<n>", u"xx", 0, 1},
        {u"[[:alpha:]]", u"a", 0, 0}, // no POSIX classes: a set and a literal ]
        {u"[[:alpha:]]", u"a]", 0, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(
            std::string(c.pattern, c.pattern + std::char_traits<char16_t>::length(c.pattern)));
        EXPECT_EQ(c.expected, RegexMatch(c.pattern, c.options, c.text));
    }
}

TEST(Regex, InvalidPatternsFail)
{
    const char16_t *patterns[] = {u"(",     u"a**",   u"a++", u"a{2}+", u"a?+",
                                  u"(?i)a", u"(?>a)", u"\\",  u"[a",    u"(?P<n>a)"};
    for (const char16_t *p : patterns) {
        EXPECT_EQ(nullptr, RegexMalloc(p, 0));
        EXPECT_EQ(0, RegexMatch(p, 0, u"a"));
        unsigned int out[4];
        EXPECT_EQ(0u, RegexSearch(p, 0, u"a", out));
        XString s;
        s.SetString(u"keep");
        EXPECT_EQ(0, RegexReplace(p, 0, u"a", u"b", &s));
        EXPECT_EQ(std::u16string(u"keep"), s.GetString());
    }
    EXPECT_EQ(nullptr, RegexMalloc(static_cast<const char *>(nullptr), 0));
    EXPECT_EQ(0, RegexMatch(u"a", 0, nullptr));
}

TEST(Regex, SearchOffsets)
{
    unsigned int out[8] = {};
    ASSERT_EQ(6u, RegexSearch(u"(\\d+)-(\\d+)", 0, u"x12-345y", out));
    EXPECT_EQ((std::vector<unsigned>{1, 7, 1, 3, 4, 7}), std::vector<unsigned>(out, out + 6));
    ASSERT_EQ(6u, RegexSearch(u"(a)|(b)", 0, u"xb", out));
    EXPECT_EQ((std::vector<unsigned>{1, 2, kRegexUnset, kRegexUnset, 1, 2}),
              std::vector<unsigned>(out, out + 6));
    EXPECT_EQ(0u, RegexSearch(u"z", 0, u"xb", out));
    // Offsets count UTF-16 units: the emoji is two.
    ASSERT_EQ(2u, RegexSearch(u"b", 0, u"\U0001F600b", out));
    EXPECT_EQ(2u, out[0]);
}

TEST(Regex, Replace)
{
    EXPECT_EQ(u"a [b]c", Replaced(u"(\\w+)=", u"a b=c", u"[$1]"));
    EXPECT_EQ(u"-a-b-c-", Replaced(u"x*", u"abc", u"-"));
    EXPECT_EQ(u"<bc>bc", Replaced(u"a", u"abc", u"<$'>"));
    EXPECT_EQ(u"a<a>c", Replaced(u"b", u"abc", u"<$`>"));
    EXPECT_EQ(u"a$&$c", Replaced(u"b", u"abc", u"$$&$"));
    EXPECT_EQ(u"a[b][]c", Replaced(u"(b)|(z)", u"abc", u"[$1][$2]"));
    EXPECT_EQ(u"a$3c", Replaced(u"(b)", u"abc", u"$3"));  // no such group: literal
    EXPECT_EQ(u"ab0c", Replaced(u"(b)", u"abc", u"$10")); // $1 then 0
    EXPECT_EQ(u"a<b>c", Replaced(u"(?<x>b)", u"abc", u"<$<x>>"));
    EXPECT_EQ(u"a$<x>c", Replaced(u"(b)", u"abc", u"$<x>"));
    EXPECT_EQ(u"XbX", Replaced(u"A", u"aba", u"X", kRegexNoCase));
    EXPECT_EQ(u"", Replaced(u"a", u"", u"X"));

    XRegexHelper *narrow = RegexMalloc("é+", 0);
    ASSERT_NE(nullptr, narrow);
    XByteBuffer bytes;
    ASSERT_EQ(1, RegexReplace(narrow, "caféé!", "[$&]", &bytes));
    EXPECT_EQ(std::string("caf[éé]!"), std::string(bytes.GetString(), bytes.GetLength()));
    ASSERT_EQ(1, RegexReplace(narrow, "", "x", &bytes));
    EXPECT_EQ(0u, bytes.GetLength());
    RegexRelease(narrow);
}

TEST(Regex, CompiledHelpers)
{
    XRegexHelper *wide = RegexMalloc(u"[a-c]+", 0);
    ASSERT_NE(nullptr, wide);
    EXPECT_EQ(1, RegexMatch(wide, u"abc"));
    EXPECT_EQ(0, RegexMatch(wide, "abc")); // no narrow expression compiled
    unsigned int out[2] = {};
    EXPECT_EQ(1, RegexSearch(wide, u"xxbcx", out));
    EXPECT_EQ(2u, out[0]);
    EXPECT_EQ(4u, out[1]);
    EXPECT_EQ(1, RegexSearch(wide, u"b", nullptr));
    EXPECT_EQ(0, RegexSearch(wide, u"xyz", out));
    ASSERT_EQ(1, wide->Compile("中+", 0));
    EXPECT_EQ(1, RegexMatch(wide, "中中"));
    EXPECT_EQ(1, RegexSearch(wide, "a中", out));
    EXPECT_EQ(1u, out[0]); // narrow offsets are bytes
    EXPECT_EQ(4u, out[1]);
    EXPECT_EQ(0, RegexMatch(wide, "\xFF\xFE")); // invalid UTF-8 never matches
    RegexRelease(wide);
    RegexRelease(nullptr);
    EXPECT_EQ(0, RegexMatch(static_cast<const XRegexHelper *>(nullptr), u"a"));
}

// Every function returns on a 100,000-character text, with ordinary and pathological
// patterns alike (a limit turns a runaway match into a failure); the test's time-out
// catches a function that does not.
TEST(Regex, LongInputsReturn)
{
    const std::u16string as(100000, u'a');
    const std::u16string text = as + u"!";
    const std::string narrowText(text.begin(), text.end());
    const char16_t *patterns[] = {u"(a|b)*!",  u"(a+)+$", u"(a*)*b",   u"(?:a|aa)*c", u"a*?!",
                                  u"(.)*\\1x", u"\\w+",   u"^(a|a)*$", u"a*c",        u"[^!]*x"};
    for (const char16_t *p : patterns) {
        unsigned int out[8];
        RegexMatch(p, 0, text.c_str());
        RegexSearch(p, 0, text.c_str(), out);
        XString s;
        RegexReplace(p, 0, text.c_str(), u"x", &s);
        XRegexHelper *r = RegexMalloc(p, 0);
        ASSERT_NE(nullptr, r);
        r->Compile(std::string(p, p + std::char_traits<char16_t>::length(p)).c_str(), 0);
        RegexMatch(r, narrowText.c_str());
        RegexSearch(r, narrowText.c_str(), out);
        XByteBuffer b;
        RegexReplace(r, narrowText.c_str(), "x", &b);
        RegexMatch(r, text.c_str());
        RegexSearch(r, text.c_str(), out);
        RegexReplace(r, text.c_str(), u"x", &s);
        RegexRelease(r);
    }
    // Ordinary patterns still succeed on long texts.
    EXPECT_EQ(1, RegexMatch(u"a+!", 0, text.c_str()));
    EXPECT_EQ(1, RegexMatch(u"(a|b)*!", 0, text.c_str()));
    XString s;
    ASSERT_EQ(1, RegexReplace(u"a", 0, text.c_str(), u"bb", &s));
    EXPECT_EQ(200001u, s.GetLength());
}
