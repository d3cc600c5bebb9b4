// Number readers and writers, each case run through the narrow and the wide twin.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "corekit/numbers/numbers.h"

namespace {

using I64 = std::numeric_limits<int64_t>;
using U64 = std::numeric_limits<uint64_t>;
using Dbl = std::numeric_limits<double>;

std::u16string Widen(const std::string &s)
{
    std::u16string w;
    for (char c : s)
        w += static_cast<char16_t>(static_cast<unsigned char>(c));
    return w;
}

std::string Narrow(const std::u16string &w)
{
    std::string s;
    for (char16_t c : w)
        s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

// Runs check on the narrow text and on its widened copy.
template <typename F> void BothForms(const std::string &text, F check)
{
    check(text.c_str());
    std::u16string wide = Widen(text);
    check(wide.c_str());
}

// ---- Integer readers ---------------------------------------------------------

TEST(ToInt, GeneralSyntax)
{
    struct Case
    {
        const char *text;
        int64_t value;
    };
    const Case cases[] = {
        {"  - 12ab", -12},
        {"0x1F", 31},
        {"0X1f", 31},
        {"+7", 7},
        {"\t\r\n 42", 42},
        {"\x01\x20-\x01 5", -5},
        {"- 0x10", -16},
        {"0x", 0},
        {"0xg", 0},
        {"0", 0},
        {"", 0},
        {"abc", 0},
        {"--1", 0},
        {"1 2", 1},
        {"0012", 12},
        {"\2405", 0}, // byte 0xA0, then 5: bytes above 0x7F are not blanks
        {"9223372036854775807", I64::max()},
        {"-9223372036854775808", I64::min()},
        {"9223372036854775808", I64::min()},
        {"18446744073709551615", -1},
        {"18446744073709551616", 0},
        {"0xffffffffffffffff", -1},
        {"0x10000000000000001", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        BothForms(c.text, [&](auto s) {
            EXPECT_EQ(c.value, ToInt64(s));
            EXPECT_EQ(static_cast<int32_t>(static_cast<uint32_t>(c.value)), ToInt32(s));
        });
    }
}

TEST(ToInt, Int32Wraps)
{
    struct Case
    {
        const char *text;
        int32_t value;
    };
    const Case cases[] = {
        {"2147483647", 2147483647},
        {"2147483648", std::numeric_limits<int32_t>::min()},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"4294967295", -1},
        {"4294967296", 0},
        {"4294967297", 1},
    };
    for (const Case &c : cases)
        BothForms(c.text, [&](auto s) { EXPECT_EQ(c.value, ToInt32(s)) << c.text; });
}

TEST(ToInt, RadixSyntax)
{
    struct Case
    {
        int radix;
        const char *text;
        int64_t value;
    };
    const Case cases[] = {
        {1, "1F", 31},
        {1, "0x1F", 0},
        {1, " - ff", -255},
        {1, "7fffffffffffffff", I64::max()},
        {1, "ffffffffffffffff1", -15},
        {0, "  +  99z", 99},
        {0, "0x1F", 0},
        {2, "777", 511},
        {2, "8", 0},
        {2, "1777777777777777777777", -1},
        {3, " -101", -5},
        {3, "1012", 5},
        {4, "12", 0},
        {-1, "12", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.radix) + " " + c.text);
        BothForms(c.text, [&](auto s) {
            EXPECT_EQ(c.value, ToInt64(c.radix, s));
            EXPECT_EQ(static_cast<int32_t>(static_cast<uint32_t>(c.value)), ToInt32(c.radix, s));
        });
    }
}

TEST(ToInt, WideCodesOutsideAsciiAreNoDigitsOrBlanks)
{
    EXPECT_EQ(0, ToInt64(u"\uFF11\uFF12")); // fullwidth digits
    EXPECT_EQ(0, ToInt64(u"\u30005"));      // ideographic space
    EXPECT_EQ(0, ToInt64(1, u"\uFF21"));    // fullwidth A
    EXPECT_EQ(7, ToInt64(u"7\u0137"));      // 0x137 truncated to a byte would be '7'
    EXPECT_EQ(0, ToInt64(u"\u01201"));      // 0x120 truncated would be a blank
    EXPECT_EQ(15, ToInt64(1, u"f\u0166"));  // 0x166 truncated would be 'f'
}

TEST(ToInteger, ConsumedCountAndUntouchedOutput)
{
    struct Case
    {
        int radix;
        const char *text;
        unsigned consumed;
        uint64_t value; // meaningful when consumed > 0
    };
    const Case cases[] = {
        {0, "abc", 0, 0},
        {0, " 5", 0, 0},
        {0, "-5", 0, 0},
        {1, "0x1F", 1, 0},
        {1, "ffz", 2, 255},
        {1, "AbC", 3, 0xabc},
        {2, "0778", 3, 63},
        {3, "10121", 3, 5},
        {0, "000", 3, 0},
        {7, "1", 0, 0},
        {0, "18446744073709551617", 20, 1},
        {1, "10000000000000000", 17, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.radix) + " " + c.text);
        BothForms(c.text, [&](auto s) {
            uint64_t v64 = 12345;
            uint32_t v32 = 12345;
            EXPECT_EQ(c.consumed, ToInteger(c.radix, s, &v64));
            EXPECT_EQ(c.consumed, ToInteger(c.radix, s, &v32));
            EXPECT_EQ(c.consumed ? c.value : 12345u, v64);
            EXPECT_EQ(c.consumed ? static_cast<uint32_t>(c.value) : 12345u, v32);
        });
    }
    uint32_t v32 = 0;
    EXPECT_EQ(10u, ToInteger(0, "4294967297", &v32));
    EXPECT_EQ(1u, v32);
    EXPECT_EQ(9u, ToInteger(1, u"100000001", &v32));
    EXPECT_EQ(1u, v32);
}

// ---- Integer writers ---------------------------------------------------------

template <typename Ch> std::string Signed(int64_t v, unsigned *n)
{
    Ch buf[kIntegerTextMax];
    std::memset(buf, 0x55, sizeof buf);
    *n = FromInteger(buf, v);
    std::basic_string<Ch> text(buf);
    EXPECT_EQ(*n, text.size());
    if constexpr (sizeof(Ch) == 1)
        return text;
    else
        return Narrow(text);
}

TEST(FromInteger, SignedDecimal)
{
    struct Case
    {
        int64_t value;
        const char *text;
    };
    const Case cases[] = {
        {0, "0"},
        {-42, "-42"},
        {7, "7"},
        {-1, "-1"},
        {I64::max(), "9223372036854775807"},
        {I64::min(), "-9223372036854775808"},
        {I64::min() + 1, "-9223372036854775807"},
    };
    for (const Case &c : cases) {
        unsigned n;
        EXPECT_EQ(c.text, Signed<char>(c.value, &n));
        EXPECT_EQ(std::strlen(c.text), n);
        EXPECT_EQ(c.text, Signed<char16_t>(c.value, &n));
    }
}

// Every digit-count boundary, where the digit counting and pair writing
// could go wrong by one.
TEST(FromInteger, PowersOfTenBoundaries)
{
    int64_t power = 1;
    for (int digits = 1; digits <= 19; ++digits) {
        for (int64_t v : {power, power - 1, power + 1, -power, -(power - 1)}) {
            const std::string expected = std::to_string(v);
            unsigned n;
            EXPECT_EQ(expected, Signed<char>(v, &n));
            EXPECT_EQ(expected, Signed<char16_t>(v, &n));
        }
        if (digits < 19)
            power *= 10;
    }
}

TEST(FromInteger, Radix)
{
    struct Case
    {
        int radix;
        uint64_t value;
        const char *text;
    };
    const Case cases[] = {
        {1, 255, "ff"},
        {3, 5, "101"},
        {0, 0, "0"},
        {1, 0, "0"},
        {2, 0, "0"},
        {3, 0, "0"},
        {2, 8, "10"},
        {1, 0x10, "10"},
        {1, 0xABCDEF, "abcdef"},
        {0, U64::max(), "18446744073709551615"},
        {1, U64::max(), "ffffffffffffffff"},
        {2, U64::max(), "1777777777777777777777"},
        {3, U64::max(), "1111111111111111111111111111111111111111111111111111111111111111"},
        {1, 1ull << 63, "8000000000000000"},
        {2, 1ull << 63, "1000000000000000000000"},
        {4, 5, ""},
        {-1, 5, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.radix) + " " + c.text);
        char narrow[kIntegerTextMax];
        char16_t wide[kIntegerTextMax];
        EXPECT_EQ(std::strlen(c.text), FromInteger(c.radix, narrow, c.value));
        EXPECT_STREQ(c.text, narrow);
        EXPECT_EQ(std::strlen(c.text), FromInteger(c.radix, wide, c.value));
        EXPECT_EQ(Widen(c.text), std::u16string(wide));
    }
}

// ---- Floating readers --------------------------------------------------------

TEST(ToFloater, ModeAndConsumedCount)
{
    struct Case
    {
        int mode;
        const char *text;
        double value;
        unsigned consumed;
    };
    const Case cases[] = {
        {2, "1.5e2", 150, 5},
        {2, "1e+5", 1, 2},
        {0, "1.5e2", 1.5, 3},
        {1, "2E3x", 2000, 3},
        {2, "-2.5", -2.5, 4},
        {2, "+.5", 0.5, 3},
        {2, "1.", 1, 2},
        {2, ".", 0, 1},
        {2, "", 0, 0},
        {2, "x", 0, 0},
        {2, " 5", 0, 0}, // no blanks before the number
        {2, "- 5", 0, 1},
        {2, "1e-", 1, 3},
        {2, "1e", 1, 2},
        // By decision an exponent is read only after a mantissa (a digit or a point), so
        // "e5" reads nothing rather than 0 from two characters: a word that starts with e
        // is no number, and ToFloater agrees with ToNumber, which needs a digit or a point.
        {2, "e5", 0, 0},
        {2, "-e5", 0, 1},
        {2, ".e1", 0, 3},
        {2, "1e-2", 1 * 0.1 * 0.1, 4},
        {2, "0.1", 0.1, 3},
        {2, "12.25", 12.25, 5},
        {2, "9007199254740993", 9007199254740992.0, 16},
        {2, "18446744073709551615", 18446744073709551615.0, 20},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " " + c.text);
        BothForms(c.text, [&](auto s) {
            double v = 99;
            EXPECT_EQ(c.consumed, ToFloater(c.mode, s, &v));
            EXPECT_EQ(c.value, v);
        });
    }
}

TEST(ToFloater, LeadingBlanksAndSignOfZero)
{
    BothForms("  \t3.25x", [](auto s) { EXPECT_EQ(3.25, ToFloater(s)); });
    BothForms(" -1e2", [](auto s) { EXPECT_EQ(-100, ToFloater(s)); });
    BothForms("abc", [](auto s) { EXPECT_EQ(0, ToFloater(s)); });
    BothForms("-0", [](auto s) { EXPECT_TRUE(std::signbit(ToFloater(s))); });
}

// Integer digits past the 64-bit range keep their magnitude instead of wrapping.
TEST(ToFloater, IntegerDigitsBeyond64Bits)
{
    struct Case
    {
        const char *text;
        double value;
    };
    static const std::string nines(400, '9');
    const Case cases[] = {
        {"18446744073709551616", 18446744073709551616.0},
        {"100000000000000000000000", 1e23},
        {"123456789012345678901234567890", 1.2345678901234568e29},
        {"-36893488147419103232.5", -36893488147419103232.0},
        {nines.c_str(), Dbl::infinity()},
    };
    for (const Case &c : cases)
        BothForms(c.text, [&](auto s) {
            double v = 0;
            EXPECT_EQ(std::strlen(c.text), ToFloater(2, s, &v));
            EXPECT_EQ(c.value, v) << c.text;
        });
}

// Exponent loops end once the value is 0 or infinite, however long the
// exponent; a loop of 10^19 steps would never finish.
TEST(ToFloater, HugeExponentsEndQuickly)
{
    struct Case
    {
        const char *text;
        double value;
    };
    const Case cases[] = {
        {"1e400", Dbl::infinity()},
        {"1e-400", 0},
        {"-1e999999999999999999", -Dbl::infinity()},
        {"1e-99999999999999999999999999", 0},
        {"0e9999999999999999999", 0},
        {"1e18446744073709551617", Dbl::infinity()}, // does not wrap to e1
    };
    const auto start = std::chrono::steady_clock::now();
    for (const Case &c : cases)
        BothForms(c.text, [&](auto s) {
            double v = 99;
            EXPECT_EQ(std::strlen(c.text), ToFloater(1, s, &v));
            EXPECT_EQ(c.value, v) << c.text;
        });
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// ---- Floating writers --------------------------------------------------------

struct FloaterCase
{
    int scientific;
    int precision;
    double value;
    const char *text;
};

void CheckFloater(const FloaterCase &c)
{
    SCOPED_TRACE(std::to_string(c.scientific) + "," + std::to_string(c.precision) + " -> " +
                 c.text);
    std::vector<char> narrow(kFloaterTextMax + 64, '#');
    std::vector<char16_t> wide(kFloaterTextMax + 64, u'#');
    EXPECT_EQ(std::strlen(c.text), FromFloater(c.scientific, c.precision, narrow.data(), c.value));
    EXPECT_STREQ(c.text, narrow.data());
    EXPECT_EQ(std::strlen(c.text), FromFloater(c.scientific, c.precision, wide.data(), c.value));
    EXPECT_EQ(Widen(c.text), std::u16string(wide.data()));
}

TEST(FromFloater, FixedForm)
{
    const FloaterCase cases[] = {
        {0, 0, 2.7, "2"},
        {0, 0, -2.7, "-2"},
        {0, 0, 0.999, "0"},
        {0, 1, 1.25, "1.3"},
        {0, 2, 2.345, "2.35"},
        {0, 2, 1.005, "1.00"}, // 1.005 is stored below the half
        {0, 2, 9.999, "10.00"},
        {0, 3, 0.5, "0.500"},
        {0, 2, -0.001, "-0.00"},
        {0, -1, 3, "3.0"},
        {0, -1, -0.125, "-0.125"},
        {0, -1, 1.0 / 3, "0.33333333"},
        {0, -1, 2.0 / 3, "0.66666667"},
        {0, -1, 0.1, "0.1"},
        {0, -1, 9.999999999, "10.0"},
        {0, -1, 1e-9, "0.0"},
        {0, -1, 123456789.987654321, "123456789.98765432"},
        {0, -1, 1e18, "1000000000000000000.0"},
        {0, -1, -9.2233720368547758e18, "-9223372036854775808.0"},
    };
    for (const FloaterCase &c : cases)
        CheckFloater(c);
    char buf[kFloaterTextMax];
    EXPECT_EQ(3u, FromFloater(buf, 3.0));
    EXPECT_STREQ("3.0", buf);
}

TEST(FromFloater, ScientificForm)
{
    const FloaterCase cases[] = {
        {1, 2, 12345.678, "1.23e4"},
        {1, 2, 0.00123, "1.23e-3"},
        {1, -1, 1, "1.0e-0"},
        {1, -1, 5, "5.0e0"},
        {1, -1, 10, "1.0e1"},
        {1, 0, 12345.678, "1e4"},
        {1, -1, -0.5, "-5.0e-1"},
        {1, -1, 1e100, "1.0e100"},
        {1, 2, Dbl::max(), "1.80e308"},
        {1, 2, Dbl::denorm_min(), "4.94e-324"},
        {1, 2, Dbl::min(), "2.23e-308"},
    };
    for (const FloaterCase &c : cases)
        CheckFloater(c);
}

// Zero, infinities and NaN always give a text, in both forms.
TEST(FromFloater, ZeroInfinityAndNaN)
{
    const FloaterCase cases[] = {
        {0, -1, 0.0, "0.0"},
        {0, -1, -0.0, "0.0"},
        {0, 0, 0.0, "0"},
        {0, 2, 0.0, "0.00"},
        {1, -1, 0.0, "0.0e0"},
        {1, 0, 0.0, "0e0"},
        {1, 2, -0.0, "0.00e0"},
        {0, -1, Dbl::infinity(), "inf"},
        {0, 3, -Dbl::infinity(), "-inf"},
        {1, -1, Dbl::infinity(), "inf"},
        {1, 2, -Dbl::infinity(), "-inf"},
        {0, -1, Dbl::quiet_NaN(), "nan"},
        {0, 0, -Dbl::quiet_NaN(), "nan"},
        {1, 2, Dbl::quiet_NaN(), "nan"},
        {1, -1, Dbl::signaling_NaN(), "nan"},
    };
    for (const FloaterCase &c : cases)
        CheckFloater(c);
}

// Integer parts from 2^63 up are written digit for digit, up to the largest double.
TEST(FromFloater, BeyondThe64BitRange)
{
    const char *kMax = "17976931348623157081452742373170435679807056752584499659891747680315726078"
                       "00285387605895586327668781715404589535143824642343213268894641827684675467"
                       "03537516986049910576551282076245490090389328944075868508455133942304583236"
                       "90322294816580855933212334827479782620414472316873817718091929988125040402"
                       "6184124858368";
    const std::string max = kMax;
    const std::string withPoint = max + ".0";
    const std::string withTwo = "-" + max + ".00";
    const FloaterCase cases[] = {
        {0, -1, 9223372036854775808.0, "9223372036854775808.0"},
        {0, 0, 18446744073709549568.0, "18446744073709549568"},
        {0, 0, 18446744073709551616.0, "18446744073709551616"},
        {0, 2, 1e20, "100000000000000000000.00"},
        {0, 0, -1e23, "-99999999999999991611392"},
        {0, 0, 1e100,
         "100000000000000001590289110975991804683608085639452813897813275577478387721"
         "70381060813469985856815104"},
        {0, 0, Dbl::max(), kMax},
        {0, -1, Dbl::max(), withPoint.c_str()},
        {0, 2, -Dbl::max(), withTwo.c_str()},
    };
    for (const FloaterCase &c : cases)
        CheckFloater(c);
}

// Numbers written with eight decimals read back within the rounding step.
TEST(FromFloater, ReadsBackThroughToFloater)
{
    const double values[] = {0.0,  1.0,        -1.0, 0.5,  123.456, -98765.4321,
                             1e-8, 3.14159265, 1e15, 4.35, -0.007,  2147483647.5};
    for (double x : values) {
        char buf[kFloaterTextMax];
        FromFloater(buf, x);
        double back = 0;
        EXPECT_EQ(std::strlen(buf), ToFloater(2, buf, &back));
        EXPECT_NEAR(x, back, 1e-8 + std::fabs(x) * 1e-15) << buf;
    }
}

// ---- Typed reader ------------------------------------------------------------

TEST(ToNumber, TypesValuesAndCounts)
{
    struct Case
    {
        const char *text;
        unsigned consumed; // 0: nothing read, the record stays untouched
        uint32_t type;
        double value;
    };
    const Case cases[] = {
        {"42", 2, kVarInteger, 42},
        {"-4.5", 4, kVarFloater, -4.5},
        {"2e3", 3, kVarFloater, 2000},
        {"2E-1", 4, kVarFloater, 2 * 0.1},
        {"1e+5", 2, kVarFloater, 1},
        {"-", 0, 0, 0},
        {"", 0, 0, 0},
        {"+", 0, 0, 0},
        {"- ", 0, 0, 0},
        {" 5", 0, 0, 0}, // no blanks before the sign
        {"e5", 0, 0, 0}, // by decision no exponent without a mantissa (see ToFloater)
        {"x", 0, 0, 0},
        {"- 7", 3, kVarInteger, -7},
        {"+\t7", 3, kVarInteger, 7},
        {"0x1f", 4, kVarInteger, 31},
        {"-0X10", 5, kVarInteger, -16},
        {"0x", 2, kVarInteger, 0},
        {"-0xz", 3, kVarInteger, 0},
        {"0x1.5", 3, kVarInteger, 1},
        {".", 1, kVarFloater, 0},
        {"+ .5e1", 6, kVarFloater, 5},
        {"12abc", 2, kVarInteger, 12},
        {"7.", 2, kVarFloater, 7},
        {"99999999999999999999.5", 22, kVarFloater, 1e20},
        {"1e400", 5, kVarFloater, Dbl::infinity()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        BothForms(c.text, [&](auto s) {
            XVarMeter m{0, 77, {}};
            m.value.integer = 1234;
            EXPECT_EQ(c.consumed, ToNumber(s, &m));
            EXPECT_EQ(77u, m.count);
            EXPECT_EQ(c.type, m.type);
            if (c.consumed == 0)
                EXPECT_EQ(1234, m.value.integer);
            else if (c.type == kVarInteger)
                EXPECT_EQ(static_cast<int64_t>(c.value), m.value.integer);
            else
                EXPECT_EQ(c.value, m.value.floater);
        });
    }
}

TEST(ToNumber, IntegerLimitsAndWrapping)
{
    struct Case
    {
        const char *text;
        int64_t value;
    };
    const Case cases[] = {
        {"9223372036854775807", I64::max()},
        {"-9223372036854775808", I64::min()},
        {"18446744073709551615", -1},
        {"99999999999999999999", 7766279631452241919}, // modulo 2^64
        {"-0xffffffffffffffff", 1},
    };
    for (const Case &c : cases)
        BothForms(c.text, [&](auto s) {
            XVarMeter m{};
            EXPECT_EQ(std::strlen(c.text), ToNumber(s, &m));
            EXPECT_EQ(kVarInteger, m.type);
            EXPECT_EQ(c.value, m.value.integer) << c.text;
        });
}

} // namespace
