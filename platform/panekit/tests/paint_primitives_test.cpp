// Integer primitives of the painter against ImageMagick drawing the same figures with
// antialiasing off: fills, frames, lines and line codes, clip and transforms.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/panekit/paint/paint_core.h"
#include "platform/panekit/tests/painter_oracle.h"

using painter_test::CompareWithMagick;
using painter_test::ImColor;
using painter_test::WhiteSurface;

namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kGreen = 0x00A000;

struct OracleCase
{
    const char *name;
    std::function<void(XPaintCore &)> draw;
    std::string magick; // convert arguments drawing the same figure
};

// "-fill C -draw 'point x,y'" for every listed pixel.
std::string Points(uint32_t color, const std::vector<std::pair<int, int>> &pixels)
{
    std::string out = "-fill " + ImColor(color);
    for (auto [x, y] : pixels)
        out += " -draw 'point " + std::to_string(x) + "," + std::to_string(y) + "'";
    return out;
}

std::string Rect(uint32_t color, int x1, int y1, int x2, int y2)
{
    return "-fill " + ImColor(color) + " -draw 'rectangle " + std::to_string(x1) + "," +
           std::to_string(y1) + " " + std::to_string(x2) + "," + std::to_string(y2) + "'";
}

std::string Line(uint32_t color, int x1, int y1, int x2, int y2)
{
    return "-stroke " + ImColor(color) + " -strokewidth 1 -fill none -draw 'line " +
           std::to_string(x1) + "," + std::to_string(y1) + " " + std::to_string(x2) + "," +
           std::to_string(y2) + "' -stroke none";
}

// The pixels of the frame of x, y, w, h (one pixel wide) whose x + y is even.
std::vector<std::pair<int, int>> EvenFramePixels(int x, int y, int w, int h)
{
    std::vector<std::pair<int, int>> out;
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px) {
            bool edge = px == x || py == y || px == x + w - 1 || py == y + h - 1;
            if (edge && ((px + py) & 1) == 0)
                out.push_back({px, py});
        }
    return out;
}

void RunCases(const std::vector<OracleCase> &cases, int w, int h, const BOUND_t *clip = nullptr)
{
    for (const OracleCase &c : cases) {
        cairo_surface_t *surface = WhiteSurface(w, h);
        {
            XPaintCore painter(surface, clip);
            c.draw(painter);
        }
        std::string log;
        EXPECT_EQ(0, CompareWithMagick(surface, c.magick, &log)) << c.name << "\n" << log;
        cairo_surface_destroy(surface);
    }
}

TEST(PainterPrimitives, FillsAndFramesMatchMagick)
{
    BOUND_t box{2, 3, 5, 4}, frame{1, 1, 8, 6}, wide{10, 2, 9, 7}, tiny{20, 20, 3, 2};
    std::vector<OracleCase> cases = {
        {"fill covers x .. x+w-1", [&](XPaintCore &p) { p.FillRect(&box, kRed); },
         Rect(kRed, 2, 3, 6, 6)},
        {"fill with the fill colour",
         [&](XPaintCore &p) {
             p.SetFillStyle(kBlue);
             p.FillRect(&box);
         },
         Rect(kBlue, 2, 3, 6, 6)},
        {"1-pixel frame",
         [&](XPaintCore &p) {
             p.SetLineStyle(kLineSolid1, kGreen);
             p.DrawRect(&frame);
         },
         Rect(kGreen, 1, 1, 8, 1) + " " + Rect(kGreen, 1, 6, 8, 6) + " " +
             Rect(kGreen, 1, 1, 1, 6) + " " + Rect(kGreen, 8, 1, 8, 6)},
        {"2-pixel frame lies inside the bound",
         [&](XPaintCore &p) {
             XPenHandle pen{kPenSolid, 2, kRed};
             p.SelectPen(&pen);
             p.DrawRect(&wide);
         },
         Rect(kRed, 10, 2, 18, 3) + " " + Rect(kRed, 10, 7, 18, 8) + " " +
             Rect(kRed, 10, 2, 11, 8) + " " + Rect(kRed, 17, 2, 18, 8)},
        {"frame narrower than two pens is filled",
         [&](XPaintCore &p) {
             XPenHandle pen{kPenSolid, 2, kRed};
             p.SelectPen(&pen);
             p.DrawRect(&tiny);
         },
         Rect(kRed, 20, 20, 22, 21)},
        {"border pattern 4113 frame",
         [&](XPaintCore &p) {
             p.SetLineStyle(kLineBorder1, 0xA0A0A0);
             p.DrawRect(&frame);
         },
         Points(0xA0A0A0, EvenFramePixels(1, 1, 8, 6))},
        {"empty and inverted bounds draw nothing",
         [&](XPaintCore &p) {
             BOUND_t empty{3, 3, 0, 5}, negative{3, 3, -4, 5};
             p.FillRect(&empty, kRed);
             p.FillRect(&negative, kRed);
             p.DrawRect(&negative);
         },
         ""},
        {"a colour with a non-zero top byte draws nothing",
         [&](XPaintCore &p) {
             p.FillRect(&box, 0x01000000 | kRed);
             p.SetLineStyle(kLineSolid1, 0xFF000000);
             p.DrawRect(&frame);
             p.DrawLine(0, 0, 20, 0);
             p.SetFillStyle(0x80FFFFFF);
             p.FillRect(&box);
         },
         ""},
        {"huge frames and lines visit only the visible part",
         [&](XPaintCore &p) {
             BOUND_t huge{-1000000000, 2, 2000000000, 10};
             p.SetLineStyle(kLineBorder1, kRed);
             p.DrawRect(&huge);
             p.SetLineStyle(kLineDotted1, kBlue);
             p.DrawLine(-2000000000, 15, 2000000000, 15);
             BOUND_t wide{-2000000000, 18, 2100000000, 2};
             p.FillRect(&wide, kGreen);
         },
         [] {
             std::vector<std::pair<int, int>> pattern, dots;
             for (int x = 0; x < 32; ++x) {
                 for (int y : {2, 11})
                     if (((x + y) & 1) == 0)
                         pattern.push_back({x, y});
                 if ((x & 1) == 0)
                     dots.push_back({x, 15});
             }
             return Points(kRed, pattern) + " " + Points(kBlue, dots) + " " +
                    Rect(kGreen, 0, 18, 31, 19);
         }()},
        {"null pen draws nothing",
         [&](XPaintCore &p) {
             p.SetStockDrawer(kStockNullDrawer);
             p.DrawRect(&frame);
             p.DrawLine(0, 5, 20, 5);
         },
         ""},
    };
    RunCases(cases, 32, 24);
}

TEST(PainterPrimitives, LinesLeaveTheEndPixelOut)
{
    std::vector<OracleCase> cases = {
        {"rightwards", [](XPaintCore &p) { p.DrawLine(2, 3, 12, 3); }, Line(0, 2, 3, 11, 3)},
        {"leftwards", [](XPaintCore &p) { p.DrawLine(12, 5, 2, 5); }, Line(0, 3, 5, 12, 5)},
        {"downwards", [](XPaintCore &p) { p.DrawLine(20, 1, 20, 9); }, Line(0, 20, 1, 20, 8)},
        {"upwards", [](XPaintCore &p) { p.DrawLine(22, 9, 22, 1); }, Line(0, 22, 2, 22, 9)},
        {"diagonal", [](XPaintCore &p) { p.DrawLine(0, 10, 8, 18); }, Line(0, 0, 10, 7, 17)},
        {"anti-diagonal", [](XPaintCore &p) { p.DrawLine(20, 18, 12, 10); },
         Line(0, 13, 11, 20, 18)},
        {"joined LineTo",
         [](XPaintCore &p) {
             p.MoveTo(25, 2);
             p.LineTo(30, 2);
             p.LineTo(30, 8);
         },
         Line(0, 25, 2, 29, 2) + " " + Line(0, 30, 2, 30, 7)},
        {"a point-long line draws nothing", [](XPaintCore &p) { p.DrawLine(4, 4, 4, 4); }, ""},
        {"3-pixel pen is centred",
         [](XPaintCore &p) {
             XPenHandle pen{kPenSolid, 3, kBlue};
             p.SelectPen(&pen);
             p.DrawLine(2, 20, 12, 20);
             p.DrawLine(25, 12, 25, 22);
         },
         Rect(kBlue, 2, 19, 11, 21) + " " + Rect(kBlue, 24, 12, 26, 21)},
        {"code 17 is 1-pixel grey dots",
         [](XPaintCore &p) {
             p.SetLineStyle(kLineDotted1);
             p.DrawLine(2, 22, 11, 22);
         },
         Points(0x808080, {{2, 22}, {4, 22}, {6, 22}, {8, 22}, {10, 22}})},
        {"code 17 in a colour, pattern running along the line",
         [](XPaintCore &p) {
             p.SetLineStyle(kLineDotted1, kRed);
             p.DrawLine(11, 23, 5, 23);
         },
         Points(kRed, {{11, 23}, {9, 23}, {7, 23}})},
        {"code 16 keeps the pen colour",
         [](XPaintCore &p) {
             p.SetLineStyle(kLineSolid1, kGreen);
             p.SetLineStyle(kLineSolid1);
             p.DrawLine(0, 0, 5, 0);
         },
         Line(kGreen, 0, 0, 4, 0)},
        {"dashes of a 2-pixel pen scale with its width",
         [](XPaintCore &p) {
             XPenHandle pen{kPenDashed, 2, kRed};
             p.SelectPen(&pen);
             p.DrawLine(0, 14, 14, 14);
         },
         Rect(kRed, 0, 14, 7, 15) + " " + Rect(kRed, 12, 14, 13, 15)},
    };
    RunCases(cases, 32, 24);
}

TEST(PainterPrimitives, ShallowLinesStepOnePixelPerColumnNearTheIdealLine)
{
    struct Slope
    {
        int x1, y1, x2, y2;
    };
    const Slope slopes[] = {{0, 0, 17, 5}, {17, 9, 0, 2}, {3, 0, 5, 11}, {10, 11, 1, 0}};
    for (const Slope &s : slopes) {
        cairo_surface_t *surface = WhiteSurface(20, 12);
        {
            XPaintCore painter(surface, nullptr);
            painter.DrawLine(s.x1, s.y1, s.x2, s.y2);
        }
        cairo_surface_flush(surface);
        auto *data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        bool xMajor = std::abs(s.x2 - s.x1) >= std::abs(s.y2 - s.y1);
        int set = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 20; ++x) {
                uint32_t p = reinterpret_cast<uint32_t *>(data + y * stride)[x];
                if ((p & 0xFFFFFF) != 0)
                    continue;
                ++set;
                EXPECT_FALSE(x == s.x2 && y == s.y2) << "end pixel drawn";
                double t =
                    xMajor ? double(x - s.x1) / (s.x2 - s.x1) : double(y - s.y1) / (s.y2 - s.y1);
                double ideal = xMajor ? s.y1 + t * (s.y2 - s.y1) : s.x1 + t * (s.x2 - s.x1);
                EXPECT_LE(std::abs((xMajor ? y : x) - ideal), 0.5 + 1e-9) << x << "," << y;
            }
        EXPECT_EQ(std::max(std::abs(s.x2 - s.x1), std::abs(s.y2 - s.y1)), set);
        cairo_surface_destroy(surface);
    }
}

TEST(PainterPrimitives, ClipAndTransformsMatchMagick)
{
    BOUND_t all{0, 0, 32, 24};
    std::vector<OracleCase> cases = {
        {"clip narrows a fill",
         [&](XPaintCore &p) {
             BOUND_t clip{2, 2, 4, 4};
             p.SetClipRect(&clip);
             p.FillRect(&all, kRed);
         },
         Rect(kRed, 2, 2, 5, 5)},
        {"clip is taken in the translated space",
         [&](XPaintCore &p) {
             p.Translate(5, 5);
             BOUND_t clip{0, 0, 2, 3};
             p.SetClipRect(&clip);
             p.FillRect(&all, kRed);
         },
         Rect(kRed, 5, 5, 6, 7)},
        {"a second clip replaces the first",
         [&](XPaintCore &p) {
             BOUND_t first{2, 2, 4, 4}, second{10, 10, 3, 3};
             p.SetClipRect(&first);
             p.SetClipRect(&second);
             p.FillRect(&all, kRed);
         },
         Rect(kRed, 10, 10, 12, 12)},
        {"translations add up; ResetTransform returns to the device",
         [&](XPaintCore &p) {
             BOUND_t dot{0, 0, 1, 1};
             p.Translate(2, 2);
             p.Translate(3, 1);
             p.Translate(1e300, 0.0); // ignored, as is a step that is not a number
             p.Translate(std::nan(""), 1.0);
             p.FillRect(&dot, kRed);
             p.Translate(0.5, 0.5);
             p.Translate(0.5, 0.5);
             p.FillRect(&dot, kBlue);
             p.ResetTransform();
             p.FillRect(&dot, kGreen);
         },
         Points(kRed, {{5, 3}}) + " " + Points(kBlue, {{6, 4}}) + " " + Points(kGreen, {{0, 0}})},
        {"a quarter turn is clockwise about the origin",
         [&](XPaintCore &p) {
             BOUND_t bar{0, 0, 4, 2};
             p.Translate(10, 10);
             p.SetRotate(90);
             p.FillRect(&bar, kRed);
             p.SetRotate(0);
             p.FillRect(&bar, kBlue);
         },
         Rect(kRed, 8, 10, 9, 13) + " " + Rect(kBlue, 10, 10, 13, 11)},
    };
    RunCases(cases, 32, 24);
}

TEST(PainterPrimitives, NullClipReturnsToThePaintsOwnClip)
{
    BOUND_t own{4, 2, 10, 8}, all{0, 0, 32, 24}, inner{6, 4, 2, 2}, outside{20, 0, 10, 10};
    std::vector<OracleCase> cases = {
        {"nothing outside the paint's clip", [&](XPaintCore &p) { p.FillRect(&all, kRed); },
         Rect(kRed, 4, 2, 13, 9)},
        {"null clip after a narrower one",
         [&](XPaintCore &p) {
             p.SetClipRect(&inner);
             p.SetClipRect(nullptr);
             p.FillRect(&all, kRed);
         },
         Rect(kRed, 4, 2, 13, 9)},
        {"a clip outside the paint's clip draws nothing",
         [&](XPaintCore &p) {
             p.SetClipRect(&outside);
             p.FillRect(&all, kRed);
         },
         ""},
        {"ResetTransform keeps the clip where it is",
         [&](XPaintCore &p) {
             p.Translate(2, 2);
             p.SetClipRect(&inner);
             p.ResetTransform();
             p.FillRect(&all, kRed);
         },
         Rect(kRed, 8, 6, 9, 7)},
    };
    RunCases(cases, 32, 24, &own);

    cairo_surface_t *surface = WhiteSurface(32, 24);
    XPaintCore painter(surface, &own);
    BOUND_t got;
    painter.Translate(4, 2);
    ASSERT_NE(0, painter.GetClipRect(&got));
    EXPECT_EQ(0, got.x);
    EXPECT_EQ(0, got.y);
    EXPECT_EQ(10, got.width);
    EXPECT_EQ(8, got.height);
    painter.SetClipRect(&outside);
    EXPECT_EQ(0, painter.GetClipRect(&got));
    cairo_surface_destroy(surface);
}

// A surface of random bytes made into valid premultiplied pixels: opaque ones and some
// translucent and transparent ones.
cairo_surface_t *NoiseSurface(int w, int h, unsigned seed)
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(surface);
    auto *data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            uint32_t a = (seed >> 28) < 12 ? 0xFF : (seed >> 20) & 0xFF;
            uint32_t r = ((seed >> 4) & 0xFF) * a / 255, g = ((seed >> 12) & 0xFF) * a / 255;
            uint32_t b = ((seed >> 8) & 0xFF) * a / 255;
            reinterpret_cast<uint32_t *>(data + y * stride)[x] =
                (a << 24) | (r << 16) | (g << 8) | b;
        }
    cairo_surface_mark_dirty(surface);
    return surface;
}

std::vector<uint32_t> Pixels(cairo_surface_t *surface)
{
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    auto *data = cairo_image_surface_get_data(surface);
    std::vector<uint32_t> out;
    for (int y = 0; y < h; ++y)
        out.insert(out.end(), reinterpret_cast<uint32_t *>(data + y * stride),
                   reinterpret_cast<uint32_t *>(data + y * stride) + w);
    return out;
}

TEST(PainterHalftone, TwiceRestoresEveryPixel)
{
    struct Case
    {
        BOUND_t bound;
        int frame;
        int dx, dy;
    };
    const Case cases[] = {
        {{0, 0, 40, 30}, 0, 0, 0},   {{3, 5, 17, 9}, 0, 0, 0}, {{3, 5, 17, 9}, 1, 0, 0},
        {{-1, -1, 60, 60}, 2, 0, 0}, {{2, 2, 5, 4}, 3, 0, 0},  {{0, 0, 1, 30}, 0, 7, 0},
        {{0, 0, 13, 13}, 1, 11, 4},
    };
    for (const Case &c : cases) {
        cairo_surface_t *surface = NoiseSurface(40, 30, 77u + c.bound.x);
        std::vector<uint32_t> before = Pixels(surface);
        XPaintCore painter(surface, nullptr);
        painter.Translate(c.dx, c.dy);
        painter.DrawHalftone(&c.bound, c.frame);
        EXPECT_NE(before, Pixels(surface)) << c.bound.x << " " << c.frame;
        painter.DrawHalftone(&c.bound, c.frame);
        EXPECT_EQ(before, Pixels(surface)) << c.bound.x << " " << c.frame;
        cairo_surface_destroy(surface);
    }
}

TEST(PainterHalftone, InvertsEveryOtherPixelOfTheBoundOrFrameInsideTheClip)
{
    cairo_surface_t *surface = WhiteSurface(20, 12);
    BOUND_t clip{0, 0, 12, 12}, bound{2, 1, 14, 9};
    XPaintCore painter(surface, nullptr);
    painter.SetClipRect(&clip);
    painter.DrawHalftone(&bound, 2);
    std::vector<uint32_t> px = Pixels(surface);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) {
            bool inside = x >= 2 && x < 16 && y >= 1 && y < 10;
            bool inFrame = inside && (x < 4 || x >= 14 || y < 3 || y >= 8);
            bool inverted = inFrame && x < 12 && ((x + y) & 1) == 0;
            EXPECT_EQ(inverted ? 0xFF000000u : 0xFFFFFFFFu, px[y * 20 + x]) << x << "," << y;
        }
    cairo_surface_destroy(surface);
}

// A second painter made later over the same surface (a tracker drawn between paints)
// erases what the first one drew, also after Cairo drew on the surface in between.
TEST(PainterHalftone, ErasesAcrossPainters)
{
    cairo_surface_t *surface = NoiseSurface(16, 16, 5);
    BOUND_t line{7, 0, 1, 16}, box{0, 0, 3, 3};
    {
        XPaintCore first(surface, nullptr);
        first.FillRect(&box, 0x00FF00);
        first.DrawHalftone(&line);
    }
    std::vector<uint32_t> withLine = Pixels(surface);
    XPaintCore second(surface, nullptr);
    second.DrawHalftone(&line);
    second.DrawHalftone(&line);
    EXPECT_EQ(withLine, Pixels(surface));
    cairo_surface_destroy(surface);
}

TEST(PainterPrimitives, StockObjectsAndLineCodes)
{
    EXPECT_EQ(0xFFFFFFu, XPaintCore::GetStockFiller(kStockWhiteFiller));
    EXPECT_EQ(0x000000u, XPaintCore::GetStockFiller(kStockBlackFiller));
    EXPECT_EQ(0xFFFFFFFFu, XPaintCore::GetStockFiller(kStockNullFiller));
    EXPECT_EQ(0xFFFFFFFFu, XPaintCore::GetStockFiller(-1));

    XPaintCore painter;
    EXPECT_EQ(1, painter.SetStockDrawer(kStockWhiteDrawer));
    EXPECT_EQ(0xFFFFFFu, painter.GetPen().color);
    EXPECT_EQ(0, painter.SetStockDrawer(99));
    EXPECT_EQ(0xFFFFFFu, painter.GetPen().color);
    EXPECT_EQ(1, painter.SetLineStyle(kLineBorder1, 0xA0A0A0));
    EXPECT_EQ(kPenPattern, painter.GetPen().style);
    EXPECT_EQ(0, painter.SetLineStyle(12345, 0x123456));
    EXPECT_EQ(kPenSolid, painter.GetPen().style);
    EXPECT_EQ(0x123456u, painter.GetPen().color);
    EXPECT_EQ(0xFFFFFFu, painter.SetFillStyle(0x10));
    EXPECT_EQ(0x10u, painter.SetFillStyle(0x20));

    XPenHandle previous = painter.SelectPen(nullptr);
    EXPECT_EQ(0x123456u, previous.color);
    EXPECT_EQ(0u, painter.GetPen().color);
    EXPECT_EQ(1u, painter.GetPen().width);
}

TEST(PainterPrimitives, APainterWithoutATargetIsHarmless)
{
    XPaintCore painter(nullptr, nullptr);
    EXPECT_EQ(0, painter.IsValid());
    BOUND_t box{0, 0, 5, 5};
    painter.FillRect(&box, 0);
    painter.DrawRect(&box);
    painter.DrawLine(0, 0, 5, 5);
    painter.DrawHalftone(&box);
    painter.SetClipRect(&box);
    painter.Translate(1, 1);
    painter.SetRotate(30);
    painter.LineTo(3.0, 4.0);
    painter.FillEllipse(3, 3, 2, 2);
    EXPECT_EQ(0, painter.BeginPainter());
    EXPECT_EQ(0, painter.GetClipRect(&box));
}

} // namespace
