// The painter's text members: the font and text style it hands to the text engine, text
// at a point placed by its alignment, and the "none" text colour.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/panekit/paint/paint_core.h"
#include "platform/panekit/text/font_handle.h"

namespace {

// The smallest bound holding every painted pixel of the canvas at or below row fromY
// (width 0 when none).
BOUND_t InkBound(XPaintCore &painter, int fromY = 0)
{
    cairo_surface_t *s = painter.GetSurface();
    cairo_surface_flush(s);
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = std::max(fromY, 0); y < h; ++y) {
        auto *row = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(s) +
                                                 y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < w; ++x) {
            if (row[x] == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return BOUND_t{0, 0, 0, 0};
    return BOUND_t{left, top, right - left + 1, bottom - top + 1};
}

TEST(PainterText, TextAtAPointSitsOnItsAlignmentCorner)
{
    const char16_t *text = u"合计 Total";
    struct Case
    {
        uint32_t layout;
        bool leftOfX, aboveY; // the ink lies left of x (right aligned), above y (bottom)
    };
    const Case cases[] = {
        {0x0, false, false}, {0x1, true, false}, {0x4, false, true}, {0x5, true, true}};
    for (const Case &c : cases) {
        XPaintCore painter;
        ASSERT_EQ(1, painter.CreateImage(200, 80));
        int width = painter.DrawText(100.0, 40.0, c.layout, text);
        EXPECT_GT(width, 30);
        BOUND_t ink = InkBound(painter);
        ASSERT_GT(ink.width, 0) << c.layout;
        if (c.leftOfX) {
            EXPECT_LE(ink.x + ink.width, 100) << c.layout;
            EXPECT_GE(ink.x, 100 - width - 1) << c.layout;
        } else {
            EXPECT_GE(ink.x, 100) << c.layout;
            EXPECT_LE(ink.x + ink.width, 100 + width + 1) << c.layout;
        }
        if (c.aboveY)
            EXPECT_LE(ink.y + ink.height, 40) << c.layout;
        else
            EXPECT_GE(ink.y, 40) << c.layout;
    }

    XPaintCore centred;
    ASSERT_EQ(1, centred.CreateImage(200, 80));
    int width = centred.DrawText(100.0, 40.0, 0xA, text);
    BOUND_t ink = InkBound(centred);
    EXPECT_NEAR(100.0, ink.x + ink.width / 2.0, 3.0);
    EXPECT_NEAR(40.0, ink.y + ink.height / 2.0, 4.0);
    EXPECT_LE(ink.width, width + 1);
}

TEST(PainterText, NoneColourAndEmptyBoundsDrawNothing)
{
    XPaintCore painter;
    ASSERT_EQ(1, painter.CreateImage(100, 40));
    BOUND_t bound{0, 0, 100, 40}, empty{0, 0, 0, 40};
    painter.SetTextColor(0xFF000000);
    EXPECT_EQ(0, painter.DrawText(u"文字", -1, &bound, 0));
    painter.DrawText(10.0, 10.0, 0, u"文字");
    painter.DrawTextLine(u"文字", -1, 0, 0);
    painter.SetTextColor(0);
    EXPECT_EQ(0, painter.DrawText(u"文字", -1, &empty, 0));
    EXPECT_EQ(0, InkBound(painter).width);
    EXPECT_GT(painter.DrawText(u"文字", -1, &bound, 0), 0);
    EXPECT_GT(InkBound(painter).width, 0);
}

TEST(PainterText, FontsAndTextStyleReachTheEngine)
{
    XPaintCore painter;
    ASSERT_NE(nullptr, painter.GetFonter()); // the default font when none is selected
    EXPECT_EQ(kFontDefaultPixelSize, painter.GetFonter()->pixelSize);

    XFontHandle *big = CreateFontHandle(u"宋体", -1, 24, 0);
    const char16_t *text = u"汉字 ABC";
    SIZE_t small, large;
    painter.CalcLineSize(text, -1, &small);
    EXPECT_EQ(nullptr, painter.SelectFonter(big));
    painter.CalcLineSize(text, -1, &large);
    EXPECT_GT(large.cy, small.cy);
    EXPECT_GT(large.cx, small.cx);
    EXPECT_EQ(big, painter.SelectFonter(nullptr));
    ReleaseFontHandle(big);

    // Underline adds a line of ink below glyphs that end on the baseline; the selected
    // font itself is not changed.
    BOUND_t bound{0, 0, 120, 30};
    int bottoms[2];
    int inkBelow = 0;
    for (uint32_t style : {0u, uint32_t(kFontFlagUnderline)}) {
        ASSERT_EQ(1, painter.CreateImage(120, 30));
        EXPECT_EQ(0u, painter.SetTextStyle(style));
        int width = painter.DrawText(u"mmmm", -1, &bound, 0);
        BOUND_t ink = InkBound(painter);
        bottoms[style != 0] = ink.y + ink.height;
        if (style != 0)
            inkBelow = InkBound(painter, bottoms[0]).width * 100 / std::max(width, 1);
        painter.SetTextStyle(0);
    }
    EXPECT_GT(bottoms[1], bottoms[0]);
    EXPECT_GE(inkBelow, 80); // a line under the whole text, not a stray pixel
    EXPECT_EQ(0u, painter.GetFonter()->flags);

    EXPECT_EQ(1, painter.SetStockFonter(kStockFixedFonter));
    SIZE_t narrow, wide;
    painter.CalcLineSize(u"iiii", -1, &narrow);
    painter.CalcLineSize(u"MMMM", -1, &wide);
    EXPECT_EQ(narrow.cx, wide.cx); // monospace
    EXPECT_EQ(1, painter.SetStockFonter(kStockDefaultFonter));
    EXPECT_EQ(GetDefaultFontHandle(), painter.GetFonter());
}

TEST(PainterText, LinePlacesRoundTripThroughThePainter)
{
    XPaintCore painter;
    const char16_t *text = u"ab\t汉字\r\n😀x";
    int len = static_cast<int>(std::char_traits<char16_t>::length(text));
    int last = -1;
    for (int i = 0; i <= len; ++i) {
        if (i == 6 || i == 8)
            continue; // inside CR LF and inside the surrogate pair
        int x = painter.CalcLinePlace(text, len, i);
        EXPECT_GT(x, last) << i;
        EXPECT_EQ(i, painter.TestLinePlace(text, len, x)) << i;
        last = x;
    }
    int ends[4];
    EXPECT_EQ(2, painter.CalcLineRange(text, len, 0, ends, 4));
    EXPECT_EQ(7, ends[0]);
}

} // namespace
