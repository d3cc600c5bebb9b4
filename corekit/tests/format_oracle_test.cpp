// The conversions the grammar shares with C (d i u x X o b c s with flags,
// width and the string precision) against glibc's snprintf over a sweep of edge
// values, and every deliberate difference as a row of its own table.

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/format/format.h"

namespace {

std::u16string Wide(const std::string &s)
{
    return std::u16string(s.begin(), s.end());
}

std::string Narrow(const char16_t *s, unsigned n)
{
    return std::string(s, s + n);
}

// Ours (narrow and wide) and glibc's text of one format and argument.
template <typename T> void ExpectSameAsC(const std::string &ours, const std::string &c, T arg)
{
    char mine[512], theirs[512];
    char16_t wide[512];
    const unsigned n = Sprintf(mine, ours.c_str(), arg);
    std::snprintf(theirs, sizeof theirs, c.c_str(), arg);
    EXPECT_EQ(theirs, std::string(mine, n)) << ours;
    if constexpr (std::is_same_v<T, const char *>) {
        const std::u16string text = Wide(arg);
        const unsigned w = Sprintf(wide, Wide(ours).c_str(), text.c_str());
        EXPECT_EQ(theirs, Narrow(wide, w)) << ours << " (wide)";
    } else {
        const unsigned w = Sprintf(wide, Wide(ours).c_str(), arg);
        EXPECT_EQ(theirs, Narrow(wide, w)) << ours << " (wide)";
    }
}

const char *const kFlags[] = {"", "-", "0"};
const char *const kWidths[] = {"", "1", "2", "5", "12", "25"};

TEST(FormatOracle, IntegersAgreeWithGlibc)
{
    const int values[] = {0,      1,      -1,    7,     9,         10,      15,      16,
                          99,     100,    -100,  255,   256,       4095,    32767,   32768,
                          -32768, -32769, 65535, 65536, 123456789, INT_MAX, INT_MIN, INT_MIN + 1};
    int checked = 0;
    for (const char *conversion : {"d", "i", "u", "x", "X", "o", "b"})
        for (const char *size : {"", "h", "l"})
            for (const char *flag : kFlags)
                for (const char *width : kWidths)
                    for (int v : values) {
                        const bool isSigned = conversion[0] == 'd' || conversion[0] == 'i';
                        const int shown = size[0] == 'h' ? static_cast<short>(v) : v;
                        if (isSigned && flag[0] == '0' && shown < 0)
                            continue; // zeros go before the sign: a deliberate difference
                        const std::string dir = std::string("%") + flag + width;
                        // l is 32 bits here; C's l is 64 bits, so C gets no size.
                        ExpectSameAsC(dir + size + conversion,
                                      dir + (size[0] == 'l' ? "" : size) + conversion, v);
                        ++checked;
                    }
    EXPECT_GT(checked, 2500);
}

TEST(FormatOracle, SixtyFourBitIntegersAgreeWithGlibc)
{
    const long long values[] = {0,
                                1,
                                -1,
                                LLONG_MAX,
                                LLONG_MIN,
                                LLONG_MIN + 1,
                                4294967296LL,
                                -4294967297LL,
                                1000000000000LL,
                                0x123456789abcdefLL};
    for (const char *conversion : {"d", "i", "u", "x", "X", "o", "b"})
        for (const char *size : {"ll", "I64"})
            for (const char *flag : kFlags)
                for (const char *width : {"", "5", "25"})
                    for (long long v : values) {
                        const bool isSigned = conversion[0] == 'd' || conversion[0] == 'i';
                        if (isSigned && flag[0] == '0' && v < 0)
                            continue;
                        const std::string dir = std::string("%") + flag + width;
                        ExpectSameAsC(dir + size + conversion, dir + "ll" + conversion, v);
                    }
}

TEST(FormatOracle, CharactersAndStringsAgreeWithGlibc)
{
    for (int c : {'A', 'z', ' ', '0', '~', '%'})
        for (const char *flag : {"", "-"})
            for (const char *width : kWidths) {
                const std::string f = std::string("%") + flag + width + "c";
                ExpectSameAsC(f, f, c);
            }
    const char *const strings[] = {"", "a", "abc", "hello, world",
                                   "a somewhat longer string of forty chars"};
    for (const char *s : strings)
        for (const char *flag : {"", "-"})
            for (const char *width : kWidths)
                for (const char *precision : {"", ".1", ".3", ".5", ".50"}) {
                    const std::string f = std::string("%") + flag + width + precision + "s";
                    ExpectSameAsC(f, f, s);
                }
}

// ---- Deliberate differences ----------------------------------------------------

struct Difference
{
    const char *fmt;
    enum { Int, Double, String, None } kind;
    long long i;
    double d;
    const char *s;
    const char *ours;
    const char *glibc;
};

std::string Format(bool ours, const Difference &r)
{
    char buf[256] = "";
    auto run = [&](auto arg) {
        if (ours)
            Sprintf(buf, r.fmt, arg);
        else
            std::snprintf(buf, sizeof buf, r.fmt, arg);
    };
    switch (r.kind) {
    case Difference::Int:
        run(static_cast<int>(r.i));
        break;
    case Difference::Double:
        run(r.d);
        break;
    case Difference::String:
        run(r.s);
        break;
    case Difference::None:
        run(0);
        break;
    }
    return buf;
}

const Difference kDifferences[] = {
    // f: up to eight decimals with trailing zeros removed, not six fixed ones.
    {"%f", Difference::Double, 0, 3.0, nullptr, "3.0", "3.000000"},
    {"%f", Difference::Double, 0, 1.0 / 3, nullptr, "0.33333333", "0.333333"},
    {"%f", Difference::Double, 0, 1e-9, nullptr, "0.0", "0.000000"},
    // .0f truncates; other precisions round half up on the binary value.
    {"%.0f", Difference::Double, 0, 3.5, nullptr, "3", "4"},
    {"%.0f", Difference::Double, 0, -2.7, nullptr, "-2", "-3"},
    {"%.1f", Difference::Double, 0, 0.25, nullptr, "0.3", "0.2"},
    // e: shortest mantissa, no exponent sign or padding; 1 and below write e-.
    {"%e", Difference::Double, 0, 1234.5, nullptr, "1.2345e3", "1.234500e+03"},
    {"%E", Difference::Double, 0, 0.00123, nullptr, "1.23E-3", "1.230000E-03"},
    {"%.2e", Difference::Double, 0, 1.0, nullptr, "1.00e-0", "1.00e+00"},
    {"%e", Difference::Double, 0, 5.0, nullptr, "5.0e0", "5.000000e+00"},
    // A precision cuts integer texts instead of padding them with zeros.
    {"%.2d", Difference::Int, 12345, 0, nullptr, "12", "12345"},
    {"%.8d", Difference::Int, 5, 0, nullptr, "5", "00000005"},
    {"%.3x", Difference::Int, 0xabcdef, 0, nullptr, "abc", "abcdef"},
    {"%.2b", Difference::Int, 5, 0, nullptr, "10", "101"},
    {"%.1u", Difference::Int, 42, 0, nullptr, "4", "42"},
    // Zero padding goes before the whole text, a minus sign included.
    {"%05d", Difference::Int, -5, 0, nullptr, "000-5", "-0005"},
    {"%08i", Difference::Int, -1234, 0, nullptr, "000-1234", "-0001234"},
    // Strings: precision 0 does not cut; the 0 flag pads with zeros.
    {"%.0s", Difference::String, 0, 0, "abc", "abc", ""},
    {"%05s", Difference::String, 0, 0, "ab", "000ab", "   ab"},
    // A '%' that starts no directive is dropped, the rest is text.
    {"%y|%5|", Difference::None, 0, 0, nullptr, "y|5|", "%y|%5|"},
};

TEST(FormatOracle, DeliberateDifferencesFromGlibc)
{
    for (const Difference &r : kDifferences) {
        SCOPED_TRACE(r.fmt);
        EXPECT_EQ(r.ours, Format(true, r));
        EXPECT_EQ(r.glibc, Format(false, r));
        EXPECT_NE(std::string(r.ours), r.glibc);
    }
}

} // namespace
