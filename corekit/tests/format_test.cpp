// Formatting: Sprintf into buffers, strings and byte buffers, and the typed
// formatter. Each table pins one behaviour; expected texts are written out.

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "corekit/format/format.h"
#include "corekit/text/xbyte_buffer.h"
#include "corekit/text/xstring.h"

namespace {

std::string F(const char *fmt, ...)
{
    char buf[4096];
    va_list args;
    va_start(args, fmt);
    const unsigned n = SprintfV(buf, fmt, args);
    va_end(args);
    EXPECT_EQ(std::char_traits<char>::length(buf), n) << fmt;
    return std::string(buf, n);
}

// Wide output, narrowed for comparison (tests keep to ASCII unless they say).
std::u16string W(const char16_t *fmt, ...)
{
    char16_t buf[4096];
    va_list args;
    va_start(args, fmt);
    const unsigned n = SprintfV(buf, fmt, args);
    va_end(args);
    return std::u16string(buf, n);
}

TEST(Sprintf, Integers)
{
    EXPECT_EQ("ff", F("%x", 255));
    EXPECT_EQ("FF", F("%X", 255));
    EXPECT_EQ("11111111", F("%b", 255));
    EXPECT_EQ("0", F("%b", 0));
    EXPECT_EQ("377", F("%o", 255));
    EXPECT_EQ("000000ff", F("%08x", 255));
    EXPECT_EQ("000-5", F("%05d", -5));
    EXPECT_EQ("-5   |", F("%-5d|", -5));
    EXPECT_EQ("   -5", F("%5d", -5));
    EXPECT_EQ("12", F("%.2d", 12345));
    EXPECT_EQ("-1", F("%.2d", -1234));
    EXPECT_EQ("12345", F("%.0d", 12345));
    EXPECT_EQ("-2147483648", F("%d", INT_MIN));
    EXPECT_EQ("4294967295", F("%u", UINT_MAX));
    EXPECT_EQ("-2147483648", F("%i", INT_MIN));
    EXPECT_EQ("4294967295", F("%lu", UINT_MAX)); // l is 32 bits
    EXPECT_EQ("-1", F("%hd", 65535));
    EXPECT_EQ("4464", F("%hu", 70000));
    EXPECT_EQ("-9223372036854775808", F("%lld", LLONG_MIN));
    EXPECT_EQ("18446744073709551615", F("%I64u", ULLONG_MAX));
    EXPECT_EQ("FFFFFFFFFFFFFFFF", F("%llX", ULLONG_MAX));
    EXPECT_EQ(std::string(64, '1'), F("%llb", ULLONG_MAX));
}

TEST(Sprintf, Floaters)
{
    EXPECT_EQ("3.0", F("%f", 3.0));
    EXPECT_EQ("3.00", F("%.2f", 3.0));
    EXPECT_EQ("2", F("%.0f", 2.5));
    EXPECT_EQ("0.33333333", F("%f", 1.0 / 3));
    EXPECT_EQ("-0.125", F("%f", -0.125));
    EXPECT_EQ("1.3", F("%.1f", 1.25));
    EXPECT_EQ("0.1", F("%hf", 0.1)); // narrowed to float, still 0.1 to eight decimals
    EXPECT_EQ("1.2345e3", F("%e", 1234.5));
    EXPECT_EQ("1.2345E3", F("%E", 1234.5));
    EXPECT_EQ("1.23e4", F("%.2e", 12345.678));
    EXPECT_EQ("1.23e-3", F("%e", 0.00123));
    EXPECT_EQ("      3.14", F("%10.2f", 3.14159));
    EXPECT_EQ("0000003.14", F("%010.2f", 3.14159));
    EXPECT_EQ("3.14      |", F("%-10.2f|", 3.14159));
    EXPECT_EQ("123.46", F("%.2f", 123.456)); // the precision never cuts f e E texts
    EXPECT_EQ("1.23e2", F("%.2e", 123.456));
    EXPECT_EQ("3.14159000", F("%.8f", 3.14159));
    EXPECT_EQ(std::string("0.") + std::string(600, '0'), F("%.600f", 0.0));
    EXPECT_EQ("INF", F("%E", 1.0 / 0.0));
}

TEST(Sprintf, StringsAndCharacters)
{
    EXPECT_EQ("abc", F("%.3s", "abcdef"));
    EXPECT_EQ("abcdef  ", F("%-8s", "abcdef"));
    EXPECT_EQ("  abcdef", F("%8s", "abcdef"));
    EXPECT_EQ("abcdef", F("%.0s", "abcdef"));
    EXPECT_EQ("[]", F("[%s]", static_cast<const char *>(nullptr)));
    EXPECT_EQ("  A|B  ", F("%3c|%-3c", 'A', 'B'));
    EXPECT_EQ("h\xc3\xa9llo", F("%ls", u"h\u00e9llo"));
    EXPECT_EQ("h\xc3\xa9llo", F("%lls", u"h\u00e9llo"));
    EXPECT_EQ("a", F("%.2ls", u"a\u00e9")); // never cuts a character in two
    EXPECT_EQ("a\xc3\xa9", F("%.3ls", u"a\u00e9"));
    EXPECT_EQ("   \xf0\x9f\x98\x80", F("%7ls", u"\U0001F600"));
    const std::u16string longText(300, u'x');
    EXPECT_EQ(std::string(300, 'x'), F("%400ls", longText.c_str())); // width ignored past 255
    EXPECT_EQ(std::string(100, ' ') + std::string(255, 'x'),
              F("%355ls", longText.substr(0, 255).c_str()));
}

TEST(Sprintf, PercentAndIncompleteDirectives)
{
    EXPECT_EQ("100", F("100%"));
    EXPECT_EQ("100%", F("100%%"));
    EXPECT_EQ("%d", F("%%d")); // %% starts nothing: no argument is taken
    EXPECT_EQ("%5", F("%%%d", 5));
    EXPECT_EQ("q", F("%q"));
    EXPECT_EQ("5", F("%5"));
    EXPECT_EQ("hhd 7", F("%hhd %d", 7));
    EXPECT_EQ("I6d", F("%I6d"));
    EXPECT_EQ("-", F("%-"));
    EXPECT_EQ("7", F("%T%d", 7));  // T writes nothing and takes nothing
    EXPECT_EQ("V7", F("%V%d", 7)); // V is a conversion of the wide forms only
    EXPECT_EQ("ab", F("a%Tb"));
}

TEST(Sprintf, WideTwinsAgree)
{
    EXPECT_EQ(u"000000ff|000-5|12|abc   |3.0|1.2345E3|%|x",
              W(u"%08x|%05d|%.2d|%-6s|%f|%E|%%|%c", 255, -5, 12345, u"abc", 3.0, 1234.5, 'x'));
    EXPECT_EQ(u"\u4e2d\u6587", W(u"%hs", "\xe4\xb8\xad\xe6\x96\x87")); // %hs reads UTF-8
    EXPECT_EQ(u"\u4e2d", W(u"%c", 0x4e2d));
    EXPECT_EQ(u"7", W(u"%V%T%d", 7));
    EXPECT_EQ(u"[]", W(u"[%s]", static_cast<const char16_t *>(nullptr)));
}

TEST(Sprintf, WidthAndPrecisionAreBounded)
{
    XString s;
    EXPECT_EQ(65535u, s.Format(u"%99999999999999999999d", 1));
    EXPECT_EQ("1", F("%.99999999999999999999d", 1));
}

TEST(XStringFormat, FormatClearsAndAppendFormatAppends)
{
    XString s;
    EXPECT_EQ(5u, s.Format(u"%d-%s", 42, u"ab"));
    EXPECT_EQ(std::u16string(u"42-ab"), s.GetString());
    EXPECT_GE(s.GetCapacity(), 480u);
    EXPECT_EQ(3u, s.AppendFormat(u"%03x", 10));
    EXPECT_EQ(std::u16string(u"42-ab00a"), s.GetString());
    EXPECT_EQ(2u, Sprintf(&s, u"%c%c", 'y', 'z'));
    EXPECT_EQ(std::u16string(u"42-ab00ayz"), s.GetString());
    EXPECT_EQ(0u, s.Format(u""));
    ASSERT_NE(nullptr, s.GetString()); // a text, empty, not the null state
    EXPECT_EQ(0u, s.GetLength());
    const std::u16string big(5000, u'q');
    s.Format(u"%s|%s", big.c_str(), big.c_str());
    EXPECT_EQ(10001u, s.GetLength());
}

TEST(XByteBufferFormat, AppendsNarrowTextWithATerminatorAfterIt)
{
    XByteBuffer b;
    b.Append("x=", -1);
    EXPECT_EQ(5u, b.AppendFormat("%d|%ls", 12, u"\u00e9"));
    EXPECT_EQ(7u, b.GetLength());
    EXPECT_STREQ("x=12|\xc3\xa9", b.GetString());
    EXPECT_EQ(2u, Sprintf(&b, "%%%c", '!'));
    EXPECT_STREQ("x=12|\xc3\xa9%!", b.GetString());
}

// ---- Typed formatter ---------------------------------------------------------

XVarMeter Int(int64_t v)
{
    XVarMeter m{kVarInteger, 0, {}};
    m.value.integer = v;
    return m;
}
XVarMeter Flt(double v)
{
    XVarMeter m{kVarFloater, 0, {}};
    m.value.floater = v;
    return m;
}
XVarMeter Txt(const char16_t *v)
{
    XVarMeter m{kVarText, 0, {}};
    m.value.text = v;
    return m;
}
XVarMeter Null()
{
    return XVarMeter{kVarNull, 0, {}};
}
XVarMeter Time(DATETIME_t t)
{
    XVarMeter m{kVarDateTime, 0, {}};
    m.value.time = t;
    return m;
}

TEST(TypedFormat, ValuesFollowTheirDirectives)
{
    const struct
    {
        const char16_t *fmt;
        std::vector<XVarMeter> values;
        int result;
        const char16_t *expected;
    } cases[] = {
        {u"%d-%s", {Int(5), Null()}, 1, u"5-"},
        {u"%d|%x|%hd|%lld|%u",
         {Int(-1), Int(-1), Int(65535), Int(INT64_MIN), Int(-1)},
         1,
         u"-1|ffffffff|-1|-9223372036854775808|4294967295"},
        {u"%llx|%c", {Int(0x123456789), Int('Q')}, 1, u"123456789|Q"},
        {u"%.2f %e", {Flt(2.345), Flt(1234.5)}, 1, u"2.35 1.2345e3"},
        {u"[%-6s]", {Txt(u"ab")}, 1, u"[ab    ]"},
        {u"%s", {Time({2024, 3, 5, 7, 8, 9, 10})}, 1, u"2024-03-05 07:08:09"},
        {u"%T%V%d%%", {Int(3)}, 1, u"3%"},
        {u"a%db%dc", {Int(1)}, 0, u"a1b"},      // values run out
        {u"x%fy", {Int(1)}, 0, u"x"},           // integer for f
        {u"%d", {Flt(1)}, 0, u""},              // floater for d
        {u"%s", {Int(1)}, 0, u""},              // integer for s
        {u"%d", {XVarMeter{7, 0, {}}}, 0, u""}, // unknown type
        {u"%d%d", {Null(), Int(8)}, 1, u"8"},   // null consumes its directive
        {u"plain", {}, 1, u"plain"},
    };
    for (const auto &c : cases) {
        XString s;
        s.SetString(u">");
        EXPECT_EQ(c.result,
                  SprintfV(&s, c.fmt, c.values.data(), static_cast<unsigned>(c.values.size())))
            << std::string(c.fmt, c.fmt + std::char_traits<char16_t>::length(c.fmt));
        EXPECT_EQ(std::u16string(u">") + c.expected, s.GetString());
    }
}

} // namespace
