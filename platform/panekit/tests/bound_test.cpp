#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "pagekit/core/style_desc.h"
#include "platform/panekit/bound.h"

namespace {

bool Same(const BOUND_t &a, const BOUND_t &b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

struct PairCase
{
    BOUND_t a, b, out;
    int result;
};

TEST(Bound, IntersectUnionSubtract)
{
    const PairCase intersect[] = {
        {{0, 0, 10, 10}, {5, 5, 10, 10}, {5, 5, 5, 5}, 1},
        {{0, 0, 10, 10}, {10, 0, 5, 5}, {0, 0, 0, 0}, 0}, // touching edges share nothing
        {{0, 0, 10, 10}, {2, 2, 0, 5}, {0, 0, 0, 0}, 0},  // empty operand
        {{-5, -5, 10, 10}, {-10, 0, 100, 2}, {-5, 0, 10, 2}, 1},
    };
    for (const PairCase &c : intersect) {
        BOUND_t out{9, 9, 9, 9};
        EXPECT_EQ(c.result, IntersectBound(&out, &c.a, &c.b));
        EXPECT_TRUE(Same(c.out, out));
    }
    const PairCase unite[] = {
        {{0, 0, 10, 10}, {20, 5, 5, 10}, {0, 0, 25, 15}, 1},
        {{0, 0, 0, 0}, {20, 5, 5, 10}, {20, 5, 5, 10}, 1}, // an empty bound is neutral
        {{3, 4, 5, 6}, {100, 100, -1, 5}, {3, 4, 5, 6}, 1},
        {{3, 4, 0, 6}, {1, 1, 5, 0}, {0, 0, 0, 0}, 0},
        {{INT_MIN, 0, 10, 1}, {INT_MAX - 10, 0, 10, 1}, {INT_MIN, 0, INT_MAX, 1}, 1},
    };
    for (const PairCase &c : unite) {
        BOUND_t out{};
        EXPECT_EQ(c.result, UnionBound(&out, &c.a, &c.b));
        EXPECT_TRUE(Same(c.out, out))
            << out.x << " " << out.y << " " << out.width << " " << out.height;
    }
    const PairCase subtract[] = {
        {{0, 0, 10, 10}, {0, 0, 10, 4}, {0, 4, 10, 6}, 1},   // a full strip off the top
        {{0, 0, 10, 10}, {-1, 6, 20, 10}, {0, 0, 10, 6}, 1}, // off the bottom
        {{0, 0, 10, 10}, {7, -1, 5, 20}, {0, 0, 7, 10}, 1},  // off the right
        {{0, 0, 10, 10}, {2, 2, 3, 3}, {0, 0, 10, 10}, 1},   // a hole keeps the bound
        {{0, 0, 10, 10}, {-1, -1, 12, 12}, {0, 0, 0, 0}, 0}, // covered
        {{0, 0, 10, 10}, {0, 0, 0, 0}, {0, 0, 10, 10}, 1},
    };
    for (const PairCase &c : subtract) {
        BOUND_t out{};
        EXPECT_EQ(c.result, SubtractBound(&out, &c.a, &c.b));
        EXPECT_TRUE(Same(c.out, out))
            << out.x << " " << out.y << " " << out.width << " " << out.height;
    }
    BOUND_t a{0, 0, 10, 10};
    const BOUND_t b{5, 5, 10, 10};
    IntersectBound(&a, &a, &b); // out may alias an input
    EXPECT_TRUE(Same(BOUND_t{5, 5, 5, 5}, a));
}

TEST(Bound, InflateDeflatePoint)
{
    BOUND_t b{10, 10, 20, 20};
    const RECT_t r{1, 2, 3, 4};
    InflateBound(&b, &r);
    EXPECT_TRUE(Same(BOUND_t{9, 8, 24, 26}, b));
    DeflateBound(&b, &r);
    EXPECT_TRUE(Same(BOUND_t{10, 10, 20, 20}, b));
    EXPECT_TRUE(PointInBound(&b, 10, 10));
    EXPECT_FALSE(PointInBound(&b, 30, 10));
    const POINT_t p{29, 29};
    EXPECT_TRUE(PointInBound(&b, &p));
    BOUND_t edge{INT_MAX - 1, 0, 1, 1};
    EXPECT_TRUE(PointInBound(&edge, INT_MAX - 1, 0));
}

TEST(Bound, RectBorder)
{
    XStyleDesc d{};
    d.border[kSideBottom] = kStyleUnsetByte;
    d.border[kSideLeft] = 0x31;  // 3px solid
    d.border[kSideTop] = 0x50;   // style none
    d.border[kSideRight] = 0xF2; // dotted, width not given
    RECT_t r;
    GetRectBorder(&r, &d);
    EXPECT_EQ(3, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(1, r.right);
    EXPECT_EQ(0, r.bottom); // unset
}

} // namespace
