// Scanning: Sscanf, StrParse and the typed scanner.

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "corekit/format/format.h"

namespace {

TEST(Sscanf, StoresEachConversion)
{
    int32_t i = 0;
    char word[16] = "";
    EXPECT_EQ(2u, Sscanf("12 abc", "%d %s", &i, word));
    EXPECT_EQ(12, i);
    EXPECT_STREQ("abc", word);
    EXPECT_EQ(1u, Sscanf("- 7", "%d", &i));
    EXPECT_EQ(-7, i);
    EXPECT_EQ(1u, Sscanf("+42x", "%i", &i));
    EXPECT_EQ(42, i);

    int16_t h = 0;
    int64_t ll = 0;
    uint16_t hu = 0;
    uint32_t u = 0, x = 0, o = 0, b = 0;
    uint64_t llx = 0;
    EXPECT_EQ(8u, Sscanf("70000 -9223372036854775808 65537 4294967295 fF 777 101 FFFFFFFFFFFFFFFF",
                         "%hd %lld %hu %lu %x %o %b %I64X", &h, &ll, &hu, &u, &x, &o, &b, &llx));
    EXPECT_EQ(4464, h);
    EXPECT_EQ(INT64_MIN, ll);
    EXPECT_EQ(1, hu);
    EXPECT_EQ(4294967295u, u);
    EXPECT_EQ(255u, x);
    EXPECT_EQ(511u, o);
    EXPECT_EQ(5u, b);
    EXPECT_EQ(UINT64_MAX, llx);

    double d = 0, e = 0;
    float hf = 0;
    EXPECT_EQ(3u, Sscanf("1.5e2 1.5e2 -.25", "%f e2 %e %hf", &d, &e, &hf));
    EXPECT_EQ(1.5, d);
    EXPECT_EQ(150.0, e);
    EXPECT_EQ(-0.25f, hf);

    char c = 0;
    char first[8] = "", second[8] = "";
    EXPECT_EQ(3u, Sscanf("  x abcdef", "%c %3s%s", &c, first, second));
    EXPECT_EQ('x', c);
    EXPECT_STREQ("abc", first);
    EXPECT_STREQ("def", second);
}

TEST(Sscanf, StopsAtTheFirstFailure)
{
    int32_t a = 0, b = 0, c = 0;
    char word[8] = "";
    const struct
    {
        const char *text;
        const char *fmt;
        unsigned count;
    } cases[] = {
        {"1 2 x", "%d %d %d", 2}, {"1;2", "%d,%d", 1}, {"", "%d", 0},
        {"-", "%d", 0},           {"abc", "%u", 0},    {".", "%f", 0},
        {"+", "%e", 0},           {",x", "%s", 0},     {"", "%c", 0},
        {"\"abc", "%T", 0},       {"abc", "%T", 0},    {"1 , 2", "%d,%d", 2},
        {"(ab)", "(%s)", 1},      {"a,b", "%s,%s", 2}, {"50%", "%d%%", 1},
        {"50x", "%d%%", 1},       {"7", "%q%d", 0},    {"q7", "%q%d", 1},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(std::string(k.text) + " / " + k.fmt);
        const bool words = std::string(k.fmt).find('s') != std::string::npos;
        const bool text = std::string(k.fmt).find('T') != std::string::npos;
        if (words || text)
            EXPECT_EQ(k.count, Sscanf(k.text, k.fmt, word, word));
        else if (std::string(k.fmt) == "%f" || std::string(k.fmt) == "%e")
            EXPECT_EQ(k.count, Sscanf(k.text, k.fmt, static_cast<double *>(nullptr)));
        else
            EXPECT_EQ(k.count, Sscanf(k.text, k.fmt, &a, &b, &c));
    }
}

TEST(Sscanf, QuotedText)
{
    char text[32] = "";
    EXPECT_EQ(1u, Sscanf("'it\\'s' rest", "%T", text));
    EXPECT_STREQ("it\\'s", text);
    EXPECT_EQ(7u, StrParse("'it\\'s' rest", "%T", text));
    EXPECT_EQ(1u, Sscanf("\"a'b\"", "%T", text));
    EXPECT_STREQ("a'b", text);
    EXPECT_EQ(0u, Sscanf("'ab\\'", "%T", text)); // the backslash takes the closing quote in
    EXPECT_EQ(0u, StrParse("\"abc", "%T", text));
}

TEST(StrParse, ReturnsTheCharactersConsumed)
{
    char word[16] = "";
    int32_t i = 0;
    EXPECT_EQ(3u, StrParse("mar 2024", "%8s", word));
    EXPECT_STREQ("mar", word);
    EXPECT_EQ(8u, StrParse("mar 2024", "%8s %d", word, &i));
    EXPECT_EQ(2024, i);
    EXPECT_EQ(0u, StrParse("mar-2024", "%3s/%d", word, &i));
    EXPECT_EQ(0u, StrParse("mar", "%s %d", word, &i));
    EXPECT_EQ(3u, StrParse("mar  ", "%s  ", word)); // trailing format blanks read nothing
    EXPECT_EQ(7u, StrParse("  x = 5", "x=%d", &i));
    EXPECT_EQ(0u, StrParse("", ""));
}

TEST(Sscanf, WideTwins)
{
    int32_t i = 0;
    char16_t word[16] = u"";
    char utf8[16] = "";
    char16_t c = 0;
    EXPECT_EQ(4u, Sscanf(u"12 \u4e2d\u6587 ab \u00e9", u"%d %hs %s %c", &i, utf8, word, &c));
    EXPECT_EQ(12, i);
    EXPECT_STREQ("\xe4\xb8\xad\xe6\x96\x87", utf8);
    EXPECT_EQ(std::u16string(u"ab"), word);
    EXPECT_EQ(u'\u00e9', c);
    EXPECT_EQ(5u, StrParse(u"'a\\'' ", u"%T", word));
    EXPECT_EQ(std::u16string(u"a\\'"), word);
}

// ---- Typed scanner -------------------------------------------------------------

std::u16string TextOf(const XVarMeter &v)
{
    return std::u16string(v.value.text, v.count);
}

TEST(TypedScan, ReadsTypedValues)
{
    XVarMeter v[4] = {};
    const char16_t *text = u"null 'x' -4.5 NuLl";
    EXPECT_EQ(4u, SscanfV(text, u"%V %V %V %V", v, 4));
    EXPECT_EQ(kVarNull, v[0].type);
    EXPECT_EQ(kVarText, v[1].type);
    EXPECT_EQ(u"x", TextOf(v[1]));
    EXPECT_EQ(text + 6, v[1].value.text); // points into the scanned text
    EXPECT_EQ(kVarFloater, v[2].type);
    EXPECT_EQ(-4.5, v[2].value.floater);
    EXPECT_EQ(kVarNull, v[3].type);

    EXPECT_EQ(3u, SscanfV(u"0x1F 2e3 - 7", u"%V %V %V", v, 3));
    EXPECT_EQ(kVarInteger, v[0].type);
    EXPECT_EQ(31, v[0].value.integer);
    EXPECT_EQ(kVarFloater, v[1].type);
    EXPECT_EQ(2000.0, v[1].value.floater);
    EXPECT_EQ(-7, v[2].value.integer);

    EXPECT_EQ(0u, SscanfV(u".5", u"%V", v, 1));
    EXPECT_EQ(0u, SscanfV(u"nul", u"%V", v, 1));
    EXPECT_EQ(0u, SscanfV(u"abc", u"%V", v, 1));
}

TEST(TypedScan, ConversionsGiveTheirTypes)
{
    XVarMeter v[8] = {};
    EXPECT_EQ(7u, SscanfV(u"-5 ff 70000 1.5 word \"q\\\"t\" Z", u"%d %x %hu %f %s %T %c", v, 8));
    EXPECT_EQ(kVarInteger, v[0].type);
    EXPECT_EQ(-5, v[0].value.integer);
    EXPECT_EQ(255, v[1].value.integer);
    EXPECT_EQ(4464, v[2].value.integer);
    EXPECT_EQ(kVarFloater, v[3].type);
    EXPECT_EQ(kVarText, v[4].type);
    EXPECT_EQ(u"word", TextOf(v[4]));
    EXPECT_EQ(u"q\\\"t", TextOf(v[5]));
    EXPECT_EQ(kVarInteger, v[6].type);
    EXPECT_EQ('Z', v[6].value.integer);
    EXPECT_EQ(0u, v[6].count);
}

TEST(TypedScan, CountsValuesStoredBeforeAFailureAndStopsWhenFull)
{
    XVarMeter v[3] = {};
    EXPECT_EQ(2u, SscanfV(u"1 2 x", u"%d %d %d", v, 3)); // not n: the third failed
    EXPECT_EQ(3u, SscanfV(u"1 2 3", u"%d %d %d", v, 3));
    EXPECT_EQ(2u, SscanfV(u"1 2 3", u"%d %d %d", v, 2)); // room for two only
    EXPECT_EQ(1u, SscanfV(u"1;2", u"%d,%d", v, 3));
    EXPECT_EQ(0u, SscanfV(u"1", u"%d", v, 0));
}

} // namespace
