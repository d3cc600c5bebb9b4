// Order between typed values.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>

#include "corekit/numbers/xvar_meter.h"

namespace {

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

XVarMeter Time(uint16_t year, uint8_t month, uint8_t day, uint8_t milli)
{
    XVarMeter m{kVarDateTime, 0, {}};
    m.value.time = DATETIME_t{year, month, day, 0, 0, 0, milli};
    return m;
}

XVarMeter Typed(uint32_t type)
{
    XVarMeter m{type, 0, {}};
    m.value.integer = 0;
    return m;
}

TEST(XVarMeter, RecordLayout)
{
    EXPECT_EQ(16u, sizeof(XVarMeter));
    EXPECT_EQ(0u, offsetof(XVarMeter, type));
    EXPECT_EQ(4u, offsetof(XVarMeter, count));
    EXPECT_EQ(8u, offsetof(XVarMeter, value));
}

TEST(UnitCompare, Table)
{
    const int64_t big = std::numeric_limits<int64_t>::max();
    struct Case
    {
        const char *what;
        XVarMeter a, b;
        int result;
    };
    const Case cases[] = {
        {"null null", Typed(kVarNull), Typed(kVarNull), 0},
        {"int null", Int(1), Typed(kVarNull), 1},
        {"null int", Typed(kVarNull), Int(1), -1},
        {"null text", Typed(kVarNull), Txt(u"a"), -1},
        {"unknown type null", Typed(0), Typed(kVarNull), 1},
        {"int int", Int(5), Int(7), -1},
        {"int int equal", Int(-3), Int(-3), 0},
        // 64-bit comparison: both convert to the same double
        {"int int near max", Int(big), Int(big - 1), 1},
        {"int float", Int(3), Flt(2.5), 1},
        {"float int", Flt(2.5), Int(3), -1},
        {"float float", Flt(-1.5), Flt(-1.5), 0},
        {"float int equal", Flt(4.0), Int(4), 0},
        {"text text", Txt(u"abc"), Txt(u"abd"), -1},
        // code units differ by 2: still 1, never read as "cannot compare"
        {"text text by two", Txt(u"c"), Txt(u"a"), 1},
        {"text text far", Txt(u"a"), Txt(u"\u4e2d"), -1},
        {"text text prefix", Txt(u"ab"), Txt(u"a"), 1},
        {"text text empty", Txt(u""), Txt(u""), 0},
        {"time time", Time(2024, 1, 2, 5), Time(2024, 1, 2, 6), -1},
        {"time time later", Time(2025, 1, 1, 0), Time(2024, 12, 31, 99), 1},
        {"time time equal", Time(2024, 3, 4, 0), Time(2024, 3, 4, 0), 0},
        {"text int", Txt(u"1"), Int(1), 2},
        {"int text", Int(1), Txt(u"1"), 2},
        {"time int", Time(2024, 1, 1, 0), Int(1), 2},
        {"int time", Int(1), Time(2024, 1, 1, 0), 2},
        {"float text", Flt(1), Txt(u"1"), 2},
        {"unknown int", Typed(5), Int(1), 2},
        {"int unknown", Int(1), Typed(0), 2},
        {"unknown unknown", Typed(7), Typed(7), 2},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.result, UnitCompare(&c.a, &c.b)) << c.what;
}

} // namespace
