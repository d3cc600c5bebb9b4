// Regular expressions: the listed cases, the grammar's own rules, and very long inputs.
#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "corekit/regex/regex.h"
#include "corekit/text/xbyte_buffer.h"
#include "corekit/text/xstring.h"
#include "test_util.h"

namespace {

struct TwinCase
{
    const char16_t *pattern;
    uint32_t options;
    const char16_t *text;
    int expected;
};

// One whole-match case through the wide one-shot function, the wide compiled form and the
// narrow compiled form on the UTF-8 of pattern and text: all three must agree.
void ExpectTwins(const TwinCase &c)
{
    const std::string np = Utf8Of(c.pattern), nt = Utf8Of(c.text);
    SCOPED_TRACE("pattern " + np + " text " + nt + " options " + std::to_string(c.options));
    EXPECT_EQ(c.expected, RegexMatch(c.pattern, c.options, c.text));
    XRegexHelper *r = RegexMalloc(c.pattern, c.options);
    ASSERT_NE(nullptr, r);
    ASSERT_EQ(1, r->Compile(np.c_str(), c.options));
    EXPECT_EQ(c.expected, RegexMatch(r, c.text)) << "wide compiled";
    EXPECT_EQ(c.expected, RegexMatch(r, nt.c_str())) << "narrow";
    RegexRelease(r);
}

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
        {u"\\u{2}", u"uu", 0, 1}, // \u without four hex digits is the letter, then {2}
        {u"\\x{2}", u"xx", 0, 1},
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

// Case-insensitive matching folds ASCII letters only, in both twins: no accented letter,
// no Kelvin sign or long s (whose Unicode folds are k and s), no Greek.
TEST(Regex, TwinsFoldAsciiOnly)
{
    const TwinCase cases[] = {
        {u"ABC", kRegexNoCase, u"abc", 1},
        {u"[a-c]+", kRegexNoCase, u"CAB", 1},
        {u"[^k]", kRegexNoCase, u"K", 0},
        {u"(a)\\1", kRegexNoCase, u"aA", 1},
        {u"\\x41", kRegexNoCase, u"a", 1},
        {u"é", kRegexNoCase, u"é", 1},
        {u"é", kRegexNoCase, u"É", 0},
        {u"É", kRegexNoCase, u"é", 0},
        {u"[à-þ]", kRegexNoCase, u"À", 0},
        {u"(é)\\1", kRegexNoCase, u"éÉ", 0},
        {u"^[a-z]+$", kRegexNoCase, u"\u212A", 0}, // Kelvin sign
        {u"^[a-z]+$", kRegexNoCase, u"\u017F", 0}, // long s
        {u"k", kRegexNoCase, u"\u212A", 0},
        {u"\u212A", kRegexNoCase, u"k", 0},
        {u"s", kRegexNoCase, u"\u017F", 0},
        {u"[^a-z]", kRegexNoCase, u"\u212A", 1},
        {u"ω", kRegexNoCase, u"Ω", 0},
        {u"i", kRegexNoCase, u"\u0130", 0},
        {u"ß", kRegexNoCase, u"\u1E9E", 0},
    };
    for (const TwinCase &c : cases)
        ExpectTwins(c);
}

// \s and \S mean the same inside a class as outside: the script grammar's white space and
// line terminators, U+3000, U+00A0 and U+FEFF included.
TEST(Regex, SpaceEscapesInClasses)
{
    const TwinCase cases[] = {
        {u"[\\S]", 0, u"a", 1},
        {u"[\\S]", 0, u"\u3000", 0},
        {u"[\\S]", 0, u"\u00A0", 0},
        {u"[\\S]", 0, u"\uFEFF", 0},
        {u"[\\S]", 0, u"\u2028", 0},
        {u"[\\S]", 0, u"\u0085", 1}, // next line is no white space of the grammar
        {u"[\\S]", 0, u"\uFFFF", 1},
        {u"[^\\S]", 0, u"\u3000", 1},
        {u"[^\\S]", 0, u"x", 0},
        {u"[^\\S\\r\\n]+", 0, u"\u3000 \t\u00A0", 1},
        {u"[^\\S\\r\\n]", 0, u"\n", 0},
        {u"[^\\S\\r\\n]", 0, u"\r", 0},
        {u"[^\\S\\r\\n]", 0, u"x", 0},
        {u"[\\S\\s]+", 0, u"a\u3000\n中", 1},
        {u"[x\\S]+", kRegexNoCase, u"X中", 1},
        {u"[\\s]+", 0, u"\u3000\u00A0\u2029", 1},
        {u"[^\\s]", 0, u"\u00A0", 0},
    };
    for (const TwinCase &c : cases)
        ExpectTwins(c);
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

// Narrow text: an invalid UTF-8 sequence (a byte that starts no valid sequence, with the
// continuation bytes after it) is matched by nothing, not even [^a] or ., so no match spans
// one and a text holding one is never matched whole; matches may start on either side of
// it, and ^ and $ hold only at the ends of the text.
TEST(Regex, NarrowInvalidSequencesMatchNothing)
{
    const struct
    {
        const char *pattern, *text;
        int whole;
        const char *found;    // "start,end" of the first match, or "none"
        const char *replaced; // every match replaced by "-"
    } cases[] = {
        {"b",
         "a\xFF"
         "b",
         0, "2,3", "a\xFF-"},
        {".+",
         "a\xFF"
         "b",
         0, "0,1", "-\xFF-"},
        {"x*", "\xFF", 0, "0,0", "-\xFF-"},
        {".*", "a\xFF", 0, "0,1", "--\xFF-"},
        {"[^a]", "\xE4\xB8\xAD\xFF\xE4\xB8\xAD", 0, "0,3", "-\xFF-"},
        {"\\w+",
         "a\xED\xA0\x80"
         "b",
         0, "0,1", "-\xED\xA0\x80-"}, // encoded surrogate
        {"\\w+",
         "ab\xC0\xAF"
         "cd",
         0, "0,2", "-\xC0\xAF-"}, // overlong form
        {".*",
         "a\x80\x80"
         "b",
         0, "0,1", "--\x80\x80--"},
        {"^c",
         "ab\xFF"
         "c",
         0, "none",
         "ab\xFF"
         "c"},
        {"a$", "a\xFF", 0, "none", "a\xFF"},
        {"$", "a\xFF", 0, "2,2", "a\xFF-"},
        {"^",
         "\xFF"
         "a",
         0, "0,0",
         "-\xFF"
         "a"},
        {"(?<!a)b",
         "a\xFF"
         "b",
         0, "2,3", "a\xFF-"},
        {"\\bc",
         "ab\xE4\xB8"
         "c",
         0, "4,5", "ab\xE4\xB8-"},
        {"a.c",
         "a\xE4\xB8\xAD"
         "c",
         1, "0,5", "-"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " on " + c.text);
        XRegexHelper *r = RegexMalloc(c.pattern, 0);
        ASSERT_NE(nullptr, r);
        EXPECT_EQ(c.whole, RegexMatch(r, c.text));
        unsigned int out[2] = {};
        const std::string found = RegexSearch(r, c.text, out) != 0
                                      ? std::to_string(out[0]) + "," + std::to_string(out[1])
                                      : "none";
        EXPECT_EQ(c.found, found);
        XByteBuffer b;
        ASSERT_EQ(1, RegexReplace(r, c.text, "-", &b));
        EXPECT_EQ(c.replaced, std::string(b.GetLength() ? b.GetString() : "", b.GetLength()));
        RegexRelease(r);
    }
    // A pattern that is not valid UTF-8 does not compile.
    EXPECT_EQ(nullptr, RegexMalloc("a\xFF", 0));
}

// Every function answers a 100,000-character text within a time bound per call, with
// ordinary and pathological patterns alike: an engine limit turns a runaway match into a
// failure (a search that finds nothing, a replace that fails) instead of exhausting the
// stack or the clock. Each case gives the answer of all nine forms: the wide one-shot
// functions, and a compiled expression on narrow and on wide text.
TEST(Regex, LongInputsAnswerInTime)
{
    constexpr auto kBound = std::chrono::seconds(5);
    const std::u16string text = std::u16string(100000, u'a') + u"!";
    const std::string narrowText = Utf8Of(text);
    const struct
    {
        const char16_t *pattern;
        int whole;
        long begin, end;     // the first match, or -1, -1
        long replacedLength; // every match replaced by "x", or -1 when the replace fails
    } cases[] = {
        {u"(a|b)*!", 1, 0, 100001, 1},
        {u"(a+)+$", 0, -1, -1, -1}, // exponential: the step limit ends it
        {u"(a*)*b", 0, -1, -1, 100001},
        {u"(?:a|aa)*c", 0, -1, -1, 100001},
        {u"a*?!", 1, 0, 100001, 1},
        {u"(.)*\\1x", 0, -1, -1, 100001},
        {u"\\w+", 0, 0, 100000, 2},
        {u"^(a|a)*$", 0, -1, -1, -1},
        {u"a*c", 0, -1, -1, 100001},
        {u"[^!]*x", 0, -1, -1, 100001},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(Utf8Of(c.pattern));
        XRegexHelper *r = RegexMalloc(c.pattern, 0);
        ASSERT_NE(nullptr, r);
        ASSERT_EQ(1, r->Compile(Utf8Of(c.pattern).c_str(), 0));
        // Each form: its answer as (whole, begin, end, replaced length).
        const auto timed = [&](const char *form, auto call) {
            const auto start = std::chrono::steady_clock::now();
            const long answer = call();
            EXPECT_LT(std::chrono::steady_clock::now() - start, kBound) << form;
            return answer;
        };
        const auto search = [&](const char *form, auto call) {
            unsigned int out[8] = {};
            const long found = timed(form, [&] { return static_cast<long>(call(out)); });
            EXPECT_EQ(c.begin, found != 0 ? static_cast<long>(out[0]) : -1) << form;
            EXPECT_EQ(c.end, found != 0 ? static_cast<long>(out[1]) : -1) << form;
        };
        const auto replaced = [&](const char *form, auto call) {
            EXPECT_EQ(c.replacedLength, timed(form, call)) << form;
        };
        EXPECT_EQ(c.whole, timed("match", [&] { return RegexMatch(c.pattern, 0, text.c_str()); }));
        search("search",
               [&](unsigned int *out) { return RegexSearch(c.pattern, 0, text.c_str(), out); });
        replaced("replace", [&] {
            XString s;
            return RegexReplace(c.pattern, 0, text.c_str(), u"x", &s) ? long{s.GetLength()} : -1L;
        });
        EXPECT_EQ(c.whole,
                  timed("narrow match", [&] { return RegexMatch(r, narrowText.c_str()); }));
        search("narrow search",
               [&](unsigned int *out) { return RegexSearch(r, narrowText.c_str(), out); });
        replaced("narrow replace", [&] {
            XByteBuffer b;
            return RegexReplace(r, narrowText.c_str(), "x", &b) ? long{b.GetLength()} : -1L;
        });
        EXPECT_EQ(c.whole, timed("compiled match", [&] { return RegexMatch(r, text.c_str()); }));
        search("compiled search",
               [&](unsigned int *out) { return RegexSearch(r, text.c_str(), out); });
        replaced("compiled replace", [&] {
            XString s;
            return RegexReplace(r, text.c_str(), u"x", &s) ? long{s.GetLength()} : -1L;
        });
        RegexRelease(r);
    }
    XString s;
    ASSERT_EQ(1, RegexReplace(u"a", 0, text.c_str(), u"bb", &s));
    EXPECT_EQ(200001u, s.GetLength());
}
