#include <gtest/gtest.h>

#include "pagekit/core/style_geometry.h"
#include "platform/panekit/paint/bound.h"
#include "style_util.h"

namespace {

// A resolved descriptor: margins 1 2 3 4, borders 1 2 1 2, paddings 5 all round.
struct Resolved : ScopedStyle
{
    Resolved()
        : ScopedStyle("margin:2px 3px 4px 1px;border-left:1px solid;border-right:1px solid;"
                      "border-top:2px solid;border-bottom:2px solid;padding:5px")
    {
    }
};

TEST(StyleGeometry, SpacesPerMode)
{
    Resolved d;
    struct Case
    {
        int mode;
        RECT_t space;
    };
    const Case cases[] = {
        {kSpaceMargin, {1, 2, 3, 4}},
        {kSpaceBorder, {2, 4, 4, 6}},
        {kSpacePadding, {7, 9, 9, 11}},
    };
    for (const Case &c : cases) {
        RECT_t r;
        CalcItemSpace(c.mode, &r, &d);
        EXPECT_EQ(c.space.left, r.left) << c.mode;
        EXPECT_EQ(c.space.top, r.top) << c.mode;
        EXPECT_EQ(c.space.right, r.right) << c.mode;
        EXPECT_EQ(c.space.bottom, r.bottom) << c.mode;
        BOUND_t b{10, 20, 100, 50};
        CalcItemPlace(c.mode, &b, &d);
        EXPECT_EQ(10 + c.space.left, b.x);
        EXPECT_EQ(20 + c.space.top, b.y);
        EXPECT_EQ(100 - c.space.left - c.space.right, b.width);
        EXPECT_EQ(50 - c.space.top - c.space.bottom, b.height);
    }
}

// The spaces count a border side as wide as the painter draws it: a style without a
// width is 1 pixel, a side without a style (none or not given) is 0.
TEST(StyleGeometry, BorderWidthsMatchThePainter)
{
    struct Case
    {
        const char *style;
        RECT_t widths;
    };
    const Case cases[] = {
        {"", {0, 0, 0, 0}},
        {"border-style:solid", {1, 1, 1, 1}},
        {"border:dashed red", {1, 1, 1, 1}},
        {"border:1px solid;border-width", {1, 1, 1, 1}},
        {"border:none", {0, 0, 0, 0}},
        {"border-width:3px", {0, 0, 0, 0}},
        {"border:3px dotted", {3, 3, 3, 3}},
        {"border-left:2px solid;border-top:0px solid;border-right-style:inset", {2, 0, 1, 0}},
    };
    for (const Case &c : cases) {
        ScopedStyle d(c.style);
        for (int16_t &m : d.margin)
            m = 0;
        RECT_t space, drawn;
        CalcItemSpace(kSpaceBorder, &space, &d);
        GetRectBorder(&drawn, &d);
        EXPECT_EQ(c.widths.left, space.left) << c.style;
        EXPECT_EQ(c.widths.top, space.top) << c.style;
        EXPECT_EQ(c.widths.right, space.right) << c.style;
        EXPECT_EQ(c.widths.bottom, space.bottom) << c.style;
        EXPECT_EQ(c.widths.left, drawn.left) << c.style;
        EXPECT_EQ(c.widths.top, drawn.top) << c.style;
        EXPECT_EQ(c.widths.right, drawn.right) << c.style;
        EXPECT_EQ(c.widths.bottom, drawn.bottom) << c.style;
    }
}

TEST(StyleGeometry, DrawPlace)
{
    struct Case
    {
        const char *style;
        BOUND_t out;
    };
    // The bound is 0,0 200x100; margins 10 all round leave 180x80 at 10,10.
    const Case cases[] = {
        {"", {10, 10, 180, 80}},
        {"width:50px;height:20px", {10, 10, 50, 20}},
        {"width:50px;height:20px;layout:right bottom", {140, 70, 50, 20}},
        {"width:51px;height:21px;layout:center center", {74, 39, 51, 21}},
        {"width:50%;height:25%;layout:extend", {10, 10, 90, 20}},
        {"width:15pt;height:1.5px", {10, 10, 20, 2}},
        {"width:2em;font-size:13px", {10, 10, 26, 80}},
        {"width:2em", {10, 10, 180, 80}}, // no font size: the available width stays
        {"width:300px;layout-x:right", {-110, 10, 300, 80}},
    };
    for (const Case &c : cases) {
        ScopedStyle d(c.style);
        for (int16_t &m : d.margin)
            m = 10;
        BOUND_t in{0, 0, 200, 100}, out{};
        CalcDrawPlace(&out, &in, &d);
        EXPECT_EQ(c.out.x, out.x) << c.style;
        EXPECT_EQ(c.out.y, out.y) << c.style;
        EXPECT_EQ(c.out.width, out.width) << c.style;
        EXPECT_EQ(c.out.height, out.height) << c.style;
    }
}

} // namespace
