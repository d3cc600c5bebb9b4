// Style boxes drawn by the painter, compared pixel for pixel with the same figures drawn
// by ImageMagick without antialiasing (`compare -metric AE` must count 0 differences).
// ImageMagick places coordinates on pixel centres: the bound x, y, w, h is its
// "rectangle x,y x+w-1,y+h-1", and a corner radius r is its radius r - 0.5.
#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/devkit/tests/test_folder.h"
#include "platform/panekit/paint/style_record.h"
#include "platform/panekit/paint/xpainter.h"
#include "style_fixture.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

std::string Hex(uint32_t bgr)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", bgr & 0xFF, (bgr >> 8) & 0xFF,
                  (bgr >> 16) & 0xFF);
    return text;
}

std::string TempName(const char *what)
{
    static int serial = 0;
    return zeptest::TestFile(std::to_string(++serial) + "_" + what + ".png");
}

std::string Run(const std::string &command)
{
    std::string out;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr)
        out += buf;
    pclose(pipe);
    return out;
}

// ImageMagick drawing operations, added in order onto a white canvas.
struct Figure
{
    std::string ops;

    void Rect(int x, int y, int w, int h, uint32_t color)
    {
        if (w <= 0 || h <= 0)
            return;
        ops += " -fill '" + Hex(color) + "' -draw 'rectangle " + std::to_string(x) + "," +
               std::to_string(y) + " " + std::to_string(x + w - 1) + "," +
               std::to_string(y + h - 1) + "'";
    }
    void Round(int x, int y, int w, int h, double r, uint32_t color)
    {
        if (r <= 0) {
            Rect(x, y, w, h, color);
            return;
        }
        char text[160];
        std::snprintf(text, sizeof text, " -fill '%s' -draw 'roundrectangle %d,%d %d,%d %g,%g'",
                      Hex(color).c_str(), x, y, x + w - 1, y + h - 1, r - 0.5, r - 0.5);
        ops += text;
    }
    // A one-pixel frame: top and bottom rows across, sides between.
    void Frame(int x, int y, int w, int h, uint32_t top, uint32_t left, uint32_t right,
               uint32_t bottom)
    {
        Rect(x, y, w, 1, top);
        Rect(x, y + h - 1, w, 1, bottom);
        Rect(x, y + 1, 1, h - 2, left);
        Rect(x + w - 1, y + 1, 1, h - 2, right);
    }
};

// Renders with the painter onto white and counts the pixels that differ from the figure.
template <typename Paint> long CountDifferences(const Figure &figure, Paint paint)
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t *cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    {
        XPainter painter(surface, nullptr);
        paint(painter);
    }
    const std::string ours = TempName("ours"), theirs = TempName("magick");
    cairo_surface_write_to_png(surface, ours.c_str());
    cairo_surface_destroy(surface);
    Run("/usr/bin/convert -size " + std::to_string(kWidth) + "x" + std::to_string(kHeight) +
        " xc:white +antialias -stroke none" + figure.ops + " PNG32:" + theirs);
    const std::string out =
        Run("/usr/bin/compare -metric AE " + ours + " " + theirs + " null: 2>&1");
    std::remove(ours.c_str());
    std::remove(theirs.c_str());
    long count = -1;
    if (std::sscanf(out.c_str(), "%ld", &count) != 1)
        ADD_FAILURE() << "compare said: " << out;
    return count;
}

void SetBorder(XStyleDesc *d, const uint8_t side[4], const uint32_t color[4])
{
    for (int i = 0; i < 4; ++i) {
        d->border[i] = side[i];
        d->borderColor[i] = color[i];
    }
}

// Solid borders: every side mask and mixed widths, straight sides only (DrawBorder).
TEST(StyleBoxMagick, SolidBorderSides)
{
    const BOUND_t b{5, 4, 40, 30};
    const uint32_t colors[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF}; // l t r b
    const struct
    {
        uint8_t side[4]; // left, top, right, bottom
        uint32_t mask;
    } cases[] = {
        {{0x11, 0x11, 0x11, 0x11}, 0x1111}, {{0x11, 0x11, 0x11, 0x11}, 0x1100},
        {{0x11, 0x11, 0x11, 0x11}, 0x0011}, {{0x11, 0x11, 0x11, 0x11}, 0x1000},
        {{0x31, 0x21, 0x11, 0x41}, 0x1111}, {{0x31, 0x21, 0x11, 0x41}, 0x0101},
        {{0xF1, 0x00, 0x11, 0xFF}, 0x1111}, // width not given = 1; none; unset
        {{0x21, 0x21, 0x21, 0x21}, 0x0110},
    };
    for (const auto &c : cases) {
        XStyleDesc d = BlankStyle();
        SetBorder(&d, c.side, colors);
        int w[4];
        for (int i = 0; i < 4; ++i) {
            const int kind = c.side[i] & 0xF, width = c.side[i] >> 4;
            w[i] = c.side[i] == 0xFF || kind == 0 ? 0 : (width == 15 ? 1 : width);
        }
        Figure f;
        if (c.mask & kSideMaskTop)
            f.Rect(b.x, b.y, b.width, w[kSideTop], colors[kSideTop]);
        if (c.mask & kSideMaskBottom)
            f.Rect(b.x, b.y + b.height - w[kSideBottom], b.width, w[kSideBottom],
                   colors[kSideBottom]);
        const int y = b.y + w[kSideTop], h = b.height - w[kSideTop] - w[kSideBottom];
        if (c.mask & kSideMaskLeft)
            f.Rect(b.x, y, w[kSideLeft], h, colors[kSideLeft]);
        if (c.mask & kSideMaskRight)
            f.Rect(b.x + b.width - w[kSideRight], y, w[kSideRight], h, colors[kSideRight]);
        EXPECT_EQ(0, CountDifferences(f, [&](XPainter &p) { p.DrawBorder(&d, &b, c.mask); }))
            << std::hex << "mask 0x" << c.mask << " left 0x" << int(c.side[0]);
    }
}

// Dotted and dashed sides: squares of the side's width along it, from the bound's
// top-left corner: dotted 1 on 1 off, dashed 4 on 2 off.
TEST(StyleBoxMagick, PatternBorders)
{
    const BOUND_t b{3, 3, 44, 36};
    const struct
    {
        uint8_t style;
        int width;
        int on, period;
    } cases[] = {{kBorderDotted, 1, 1, 2},
                 {kBorderDotted, 2, 1, 2},
                 {kBorderDashed, 1, 4, 6},
                 {kBorderDashed, 3, 4, 6}};
    for (const auto &c : cases) {
        XStyleDesc d = BlankStyle();
        const uint8_t byte = uint8_t(c.width << 4 | c.style);
        const uint8_t sides[4] = {byte, byte, byte, byte};
        const uint32_t colors[4] = {0x112233, 0x112233, 0x112233, 0x112233};
        SetBorder(&d, sides, colors);
        Figure f;
        const int w = c.width;
        auto along = [&](int start, int length, auto rect) {
            for (int k = 0; k * w < length; ++k)
                if (k % c.period < c.on)
                    rect(start + k * w, std::min(w, length - k * w));
        };
        along(b.x, b.width, [&](int x, int n) {
            f.Rect(x, b.y, n, w, 0x112233);
            f.Rect(x, b.y + b.height - w, n, w, 0x112233);
        });
        // Side dashes count from the bound's top as well; the top and bottom strips cover
        // the rows they share.
        along(b.y, b.height, [&](int y, int n) {
            const int y0 = std::max(y, b.y + w), y1 = std::min(y + n, b.y + b.height - w);
            f.Rect(b.x, y0, w, y1 - y0, 0x112233);
            f.Rect(b.x + b.width - w, y0, w, y1 - y0, 0x112233);
        });
        EXPECT_EQ(0, CountDifferences(f, [&](XPainter &p) { p.DrawBorder(&d, &b); }))
            << "style " << int(c.style) << " width " << w;
    }
}

// Inset and outset: nested one-pixel frames, the outer half (rounded up) shaded.
TEST(StyleBoxMagick, InsetOutsetBorders)
{
    const BOUND_t b{6, 5, 30, 24};
    const uint32_t base = 0x808080, dark = 0x404040, light = 0xBFBFBF;
    const struct
    {
        uint8_t style;
        int width;
    } cases[] = {{kBorderInset, 1}, {kBorderInset, 2}, {kBorderOutset, 3}, {kBorderOutset, 4}};
    for (const auto &c : cases) {
        XStyleDesc d = BlankStyle();
        const uint8_t byte = uint8_t(c.width << 4 | c.style);
        const uint8_t sides[4] = {byte, byte, byte, byte};
        const uint32_t colors[4] = {base, base, base, base};
        SetBorder(&d, sides, colors);
        Figure f;
        const bool inset = c.style == kBorderInset;
        for (int k = 0; k < c.width; ++k) {
            const bool shaded = k < (c.width + 1) / 2;
            const uint32_t tl = shaded ? (inset ? dark : light) : base;
            const uint32_t br = shaded ? (inset ? light : dark) : base;
            f.Frame(b.x + k, b.y + k, b.width - 2 * k, b.height - 2 * k, tl, tl, br, br);
        }
        EXPECT_EQ(0, CountDifferences(f, [&](XPainter &p) { p.DrawItemBox(&d, &b); }))
            << "style " << int(c.style) << " width " << c.width;
    }
}

// Rounded boxes: background and a solid border, radii from 1 to 20, all corners alike.
TEST(StyleBoxMagick, RoundedBoxes)
{
    const struct
    {
        BOUND_t bound;
        int radius, border;
    } cases[] = {
        {{4, 4, 40, 30}, 1, 1},  {{4, 4, 40, 30}, 3, 1},  {{2, 3, 50, 40}, 6, 2},
        {{5, 5, 33, 27}, 8, 3},  {{1, 1, 60, 44}, 20, 1}, {{4, 4, 40, 30}, 10, 0},
        {{4, 4, 40, 30}, 2, 4},  // border wider than the radius: square inner corners
        {{6, 6, 20, 12}, 30, 1}, // radii larger than the box shrink to fit
    };
    for (const auto &c : cases) {
        XStyleDesc d = BlankStyle();
        d.backWord = kBackColor;
        d.backColor = 0xE0C0A0;
        const uint8_t byte = c.border ? uint8_t(c.border << 4 | kBorderSolid) : 0;
        const uint8_t sides[4] = {byte, byte, byte, byte};
        const uint32_t colors[4] = {0x402000, 0x402000, 0x402000, 0x402000};
        SetBorder(&d, sides, colors);
        for (int k = 0; k < 4; ++k)
            d.radius[k] = uint8_t(c.radius);
        const BOUND_t &b = c.bound;
        const double r = std::min<double>(c.radius, std::min(b.width, b.height) / 2.0);
        const int bw = c.border;
        Figure f;
        f.Round(b.x, b.y, b.width, b.height, r, bw ? 0x402000 : 0xE0C0A0);
        if (bw)
            f.Round(b.x + bw, b.y + bw, b.width - 2 * bw, b.height - 2 * bw, r - bw, 0xE0C0A0);
        EXPECT_EQ(0, CountDifferences(f, [&](XPainter &p) { p.DrawItemBox(&d, &b); }))
            << "radius " << c.radius << " border " << bw;
        if (bw == 0) { // no border: FillCtrlBox draws the same
            EXPECT_EQ(0, CountDifferences(f, [&](XPainter &p) { p.FillCtrlBox(&d, &b); }));
        }
    }
}

// One rounded corner at a time: the other three stay square.
TEST(StyleBoxMagick, SingleCornerRadius)
{
    const BOUND_t b{4, 4, 40, 30};
    for (int corner = 0; corner < 4; ++corner) {
        XStyleDesc d = BlankStyle();
        d.backWord = kBackColor;
        d.backColor = 0x3050F0;
        d.radius[corner] = 9;
        Figure f;
        f.Round(b.x, b.y, b.width, b.height, 9, 0x3050F0);
        // Square off the other corners with quarter rectangles.
        const int hw = b.width / 2, hh = b.height / 2;
        const BOUND_t quarters[4] = {{b.x, b.y + hh, hw, b.height - hh}, // bottom-left
                                     {b.x, b.y, hw, hh},                 // top-left
                                     {b.x + hw, b.y, b.width - hw, hh},  // top-right
                                     {b.x + hw, b.y + hh, b.width - hw, b.height - hh}};
        for (int q = 0; q < 4; ++q)
            if (q != corner)
                f.Rect(quarters[q].x, quarters[q].y, quarters[q].width, quarters[q].height,
                       0x3050F0);
        EXPECT_EQ(0, CountDifferences(f, [&](XPainter &p) { p.DrawItemBox(&d, &b); }))
            << "corner " << corner;
    }
}

// Borders only (DrawCtrlBox) on a translated painter, and the 1-pixel border pattern
// code with a colour framing a bound.
TEST(StyleBoxMagick, CtrlBoxAndPattern)
{
    XStyleDesc d = BlankStyle();
    d.backWord = kBackColor;
    d.backColor = 0x00FF00; // not drawn by DrawCtrlBox
    const uint8_t sides[4] = {0x11, 0x11, 0x11, 0x11};
    const uint32_t colors[4] = {0x000080, 0x000080, 0x000080, 0x000080};
    SetBorder(&d, sides, colors);
    for (int k = 0; k < 4; ++k)
        d.radius[k] = 5;
    const BOUND_t b{0, 0, 30, 20};
    Figure f;
    f.Round(10, 8, 30, 20, 5, 0x000080);
    f.Round(11, 9, 28, 18, 4, 0xFFFFFF);
    EXPECT_EQ(0, CountDifferences(f, [&](XPainter &p) {
                  p.Translate(10, 8);
                  p.DrawCtrlBox(&d, &b);
              }));

    Figure pattern; // pixels whose x + y is even, on the frame of the bound
    const BOUND_t frame{3, 2, 21, 13};
    for (int y = frame.y; y < frame.y + frame.height; ++y)
        for (int x = frame.x; x < frame.x + frame.width; ++x) {
            const bool edge = y == frame.y || x == frame.x || y == frame.y + frame.height - 1 ||
                              x == frame.x + frame.width - 1;
            if (edge && (x + y) % 2 == 0)
                pattern.Rect(x, y, 1, 1, 0xA0A0A0);
        }
    EXPECT_EQ(0, CountDifferences(pattern, [&](XPainter &p) {
                  EXPECT_TRUE(p.SetStyleDrawer(kLineBorder1, 0xA0A0A0));
                  p.DrawRect(&frame);
              }));
}

// Colours whose top byte is not 0 are "none"; opacity blends the whole box once.
TEST(StyleBox, NoneColorsAndOpacity)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 20);
    cairo_t *cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    auto pixel = [&](int x, int y) {
        cairo_surface_flush(s);
        return reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(s) +
                                            y * cairo_image_surface_get_stride(s))[x] &
               0xFFFFFF;
    };
    XPainter p(s, nullptr);
    XStyleDesc d = BlankStyle();
    d.backWord = kBackColor;
    d.backColor = 0x01000000;
    const uint8_t sides[4] = {0x11, 0x11, 0x11, 0x11};
    const uint32_t none[4] = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
    SetBorder(&d, sides, none);
    const BOUND_t b{0, 0, 10, 10};
    p.DrawItemBox(&d, &b);
    EXPECT_EQ(0xFFFFFFu, pixel(0, 0));
    EXPECT_EQ(0xFFFFFFu, pixel(5, 5));

    d.backColor = 0x000000;
    const uint32_t black[4] = {0, 0, 0, 0};
    SetBorder(&d, sides, black);
    d.opacity = 5000; // border over background: still one half-strength layer
    p.DrawItemBox(&d, &b);
    EXPECT_NEAR(0x80, int(pixel(0, 0) & 0xFF), 1);
    EXPECT_EQ(pixel(0, 0), pixel(5, 5));
    d.opacity = 0;
    const BOUND_t c{10, 10, 10, 10};
    p.DrawItemBox(&d, &c);
    EXPECT_EQ(0xFFFFFFu, pixel(15, 15));
    cairo_surface_destroy(s);
}

// A box drawn while a canvas path is being collected leaves the path alone.
TEST(StyleBox, KeepsAnOpenCanvasPath)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 20);
    {
        XPainter p(s, nullptr);
        p.SetFillStyle(0x0000FF);
        p.BeginPath();
        p.DrawRect(10.0, 10.0, 8.0, 8.0);
        XStyleDesc d = BlankStyle();
        d.backWord = kBackColor;
        d.backColor = 0x00FF00;
        d.radius[kCornerTopLeft] = 3;
        const BOUND_t b{0, 0, 8, 8};
        p.DrawItemBox(&d, &b);
        EXPECT_TRUE(p.IsPathOpen());
        EXPECT_TRUE(p.FillPath());
    }
    cairo_surface_flush(s);
    auto pixel = [&](int x, int y) {
        return reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(s) +
                                            y * cairo_image_surface_get_stride(s))[x];
    };
    EXPECT_EQ(0xFF00FF00u, pixel(4, 4));   // the box
    EXPECT_EQ(0xFFFF0000u, pixel(14, 14)); // the path, filled after the box
    cairo_surface_destroy(s);
}

} // namespace
