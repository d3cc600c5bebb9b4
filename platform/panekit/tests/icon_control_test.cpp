#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Premultiplied ARGB32 pixel of a surface.
uint32_t PixelAt(cairo_surface_t *s, int x, int y)
{
    cairo_surface_flush(s);
    const unsigned char *row =
        cairo_image_surface_get_data(s) + size_t(y) * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t *>(row)[x];
}

int Alpha(uint32_t p)
{
    return int(p >> 24);
}
int Luma(uint32_t p)
{
    return int(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
}

// Pixel (x, y) of control icon `index`.
uint32_t IconPixel(int index, int x, int y)
{
    return PixelAt(GetCtrlIconDrawer()->GetSurface(), index * kCtrlIconSize + x, y);
}

// Alpha summed over the four halves of an icon: top, bottom, left, right.
struct Mass
{
    long top = 0, bottom = 0, left = 0, right = 0;
};

Mass IconMass(int index)
{
    Mass m;
    for (int y = 0; y < kCtrlIconSize; ++y) {
        for (int x = 0; x < kCtrlIconSize; ++x) {
            const int a = Alpha(IconPixel(index, x, y));
            (y < 8 ? m.top : m.bottom) += a;
            (x < 8 ? m.left : m.right) += a;
        }
    }
    return m;
}

bool SameIcon(int a, int b)
{
    for (int y = 0; y < kCtrlIconSize; ++y)
        for (int x = 0; x < kCtrlIconSize; ++x)
            if (IconPixel(a, x, y) != IconPixel(b, x, y))
                return false;
    return true;
}

// Encodes a surface as PNG bytes.
std::vector<uint8_t> ToPng(cairo_surface_t *s)
{
    std::vector<uint8_t> out;
    cairo_surface_write_to_png_stream(
        s,
        [](void *closure, const unsigned char *data, unsigned int length) {
            auto *v = static_cast<std::vector<uint8_t> *>(closure);
            v->insert(v->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &out);
    return out;
}

cairo_surface_t *SolidStrip(int width, int height, double r, double g, double b)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t *cr = cairo_create(s);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_paint(cr);
    cairo_destroy(cr);
    return s;
}

TEST(StyleCtrlIcons, StripShape)
{
    XIconDrawer *icons = GetCtrlIconDrawer();
    ASSERT_NE(nullptr, icons);
    EXPECT_EQ(icons, GetCtrlIconDrawer());
    EXPECT_EQ(kCtrlIconCount, icons->GetIconCount());
    EXPECT_EQ(16, icons->GetIconWidth());
    EXPECT_EQ(16, icons->GetIconHeight());
    for (int i = 0; i < kCtrlIconCount; ++i) {
        const Mass m = IconMass(i);
        EXPECT_GT(m.top + m.bottom, 255 * 8) << "icon " << i << " is blank";
    }
}

// Arrow icons point where their index says: the tip half holds less ink than the base half.
TEST(StyleCtrlIcons, ArrowDirections)
{
    enum Dir { kUp, kDown, kLeft, kRight };
    const struct
    {
        int index;
        Dir dir;
    } cases[] = {
        {kCtrlIconArrowUp, kUp},          {kCtrlIconDropButton, kDown},
        {kCtrlIconArrowDown, kDown},      {kCtrlIconArrowDownOff, kDown},
        {kCtrlIconArrowLeft, kLeft},      {kCtrlIconArrowRight, kRight},
        {kCtrlIconArrowRightOff, kRight}, {kCtrlIconTabLeft, kLeft},
        {kCtrlIconTabRight, kRight},      {kCtrlIconTabLeftOff, kLeft},
        {kCtrlIconTabRightOff, kRight},   {kCtrlIconExpandRight, kRight},
        {kCtrlIconExpandDown, kDown},
    };
    for (const auto &c : cases) {
        Mass m = IconMass(c.index);
        if (c.index == kCtrlIconDropButton) {
            // The button face is opaque: compare darkness instead of alpha.
            m = Mass{};
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    (y < 8 ? m.top : m.bottom) += 255 - Luma(IconPixel(c.index, x, y));
        }
        switch (c.dir) {
        case kUp:
            EXPECT_LT(m.top, m.bottom) << c.index;
            break;
        case kDown:
            EXPECT_GT(m.top, m.bottom) << c.index;
            break;
        case kLeft:
            EXPECT_LT(m.left, m.right) << c.index;
            break;
        case kRight:
            EXPECT_GT(m.left, m.right) << c.index;
            break;
        }
    }
}

// Pairs that mean on/off or enabled/disabled differ where they should.
TEST(StyleCtrlIcons, StatePairs)
{
    // Box interiors: white when off, dark mark when on.
    EXPECT_EQ(0xFFFFFFFFu, IconPixel(kCtrlIconCheckOff, 8, 8));
    EXPECT_LT(Luma(IconPixel(kCtrlIconCheckOn, 6, 10)), 128);
    EXPECT_EQ(0xFFFFFFFFu, IconPixel(kCtrlIconRadioOff, 8, 8));
    EXPECT_LT(Luma(IconPixel(kCtrlIconRadioOn, 8, 8)), 128);
    EXPECT_EQ(0, Alpha(IconPixel(kCtrlIconRadioOn, 0, 0))); // round: corners stay clear
    EXPECT_TRUE(SameIcon(kCtrlIconCheckOff, kCtrlIconTreeCheckOff));
    EXPECT_TRUE(SameIcon(kCtrlIconCheckOn, kCtrlIconTreeCheckOn));
    EXPECT_LT(Luma(IconPixel(kCtrlIconTreeCheckPart, 7, 7)), 128);
    EXPECT_EQ(0xFFFFFFFFu, IconPixel(kCtrlIconTreeCheckPart, 2, 2));
    // Expand boxes: plus has the vertical bar, minus not; both have the bar across.
    EXPECT_LT(Luma(IconPixel(kCtrlIconExpandPlus, 7, 5)), 128);
    EXPECT_EQ(0xFFFFFFFFu, IconPixel(kCtrlIconExpandMinus, 7, 5));
    EXPECT_LT(Luma(IconPixel(kCtrlIconExpandMinus, 5, 7)), 128);
    // Disabled twins are lighter than the enabled ones.
    const int pairs[][2] = {{kCtrlIconDropButton, kCtrlIconDropButtonOff},
                            {kCtrlIconTabLeft, kCtrlIconTabLeftOff},
                            {kCtrlIconTabRight, kCtrlIconTabRightOff},
                            {kCtrlIconArrowDown, kCtrlIconArrowDownOff}};
    for (const auto &p : pairs)
        EXPECT_LT(Luma(IconPixel(p[0], 8, 8)), Luma(IconPixel(p[1], 8, 8))) << p[0];
    // The active filter is filled, the plain one hollow.
    EXPECT_EQ(0, Alpha(IconPixel(kCtrlIconFilter, 8, 6)));
    EXPECT_EQ(255, Alpha(IconPixel(kCtrlIconFilterOn, 8, 6)));
}

TEST(StyleIconDrawer, LoadBufferSplitsSquares)
{
    cairo_surface_t *s = SolidStrip(50, 10, 1, 0, 0); // five icons of 10
    const std::vector<uint8_t> png = ToPng(s);
    cairo_surface_destroy(s);
    XIconDrawer icons;
    ASSERT_TRUE(icons.LoadBuffer(png.data(), uint32_t(png.size()), 0, 0));
    EXPECT_EQ(5, icons.GetIconCount());
    EXPECT_EQ(10, icons.GetIconWidth());
    EXPECT_EQ(10, icons.GetIconHeight());
    EXPECT_EQ(0xFFFF0000u, PixelAt(icons.GetSurface(), 49, 9));
}

TEST(StyleIconDrawer, RefusesBadStrips)
{
    const struct
    {
        int width, height;
        int ok;
    } cases[] = {
        {16, 16, 1},   {17, 16, 1},   {15, 16, 0},  // narrower than high
        {256, 256, 1}, {514, 257, 0},               // icon above the size limit
        {4096, 1, 1},  {8193, 2, 1},  {4097, 1, 0}, // count limit (8193 leaves one column over)
    };
    for (const auto &c : cases) {
        cairo_surface_t *s = SolidStrip(c.width, c.height, 0, 0, 1);
        XIconDrawer icons;
        EXPECT_EQ(c.ok, icons.LoadSurface(s, 0)) << c.width << "x" << c.height;
        EXPECT_EQ(c.ok ? c.width / c.height : 0, icons.GetIconCount());
        cairo_surface_destroy(s);
    }
    const uint8_t junk[] = {0x89, 'P', 'N', 'G', 0, 1, 2, 3};
    XIconDrawer icons;
    EXPECT_EQ(0, icons.LoadBuffer(junk, sizeof junk, 0, 0));
    EXPECT_EQ(0, icons.LoadBuffer(nullptr, 10, 0, 0));
    EXPECT_TRUE(icons.IsIconEmpty());
    EXPECT_EQ(nullptr, icons.GetSurface());
}

TEST(StyleIconDrawer, ColorKeyAndGray)
{
    cairo_surface_t *s = SolidStrip(8, 4, 1, 0, 1); // key colour magenta
    cairo_t *cr = cairo_create(s);
    cairo_rectangle(cr, 1, 1, 2, 2);
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_fill(cr);
    cairo_destroy(cr);
    XIconDrawer icons;
    ASSERT_TRUE(icons.LoadSurface(s, kIconColorKey));
    cairo_surface_destroy(s);

    cairo_surface_t *target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
    cr = cairo_create(target);
    EXPECT_EQ(1, icons.DrawIcon(cr, 0, 3, 3));
    EXPECT_EQ(0, icons.DrawIcon(cr, 2, 0, 0));
    EXPECT_EQ(0, icons.DrawIcon(cr, -1, 0, 0));
    EXPECT_EQ(0u, PixelAt(target, 3, 3));          // key colour cleared
    EXPECT_EQ(0xFF0000FFu, PixelAt(target, 4, 4)); // blue kept
    EXPECT_EQ(0u, PixelAt(target, 7, 7));          // nothing outside the icon
    EXPECT_EQ(1, icons.DrawGrayIcon(cr, 0, 0, 0));
    const uint32_t gray = PixelAt(target, 1, 1);
    EXPECT_EQ(0xFF000000u, gray & 0xFF000000u);
    EXPECT_EQ(gray & 0xFF, (gray >> 8) & 0xFF);
    EXPECT_EQ(gray & 0xFF, (gray >> 16) & 0xFF);
    EXPECT_EQ((29u * 255 / 256 + 255) / 2, gray & 0xFF); // blue's luma, half way to white
    cairo_destroy(cr);
    cairo_surface_destroy(target);
}

// Icons drawn through a painter follow its translation and clip.
TEST(StyleIconDrawer, DrawThroughPainter)
{
    cairo_surface_t *target = SolidStrip(40, 40, 1, 1, 1);
    {
        const BOUND_t clip{0, 0, 30, 30};
        XPainter painter(target, &clip);
        painter.Translate(5, 5);
        XIconDrawer *icons = GetCtrlIconDrawer();
        EXPECT_EQ(1, icons->DrawIcon(&painter, kCtrlIconCheckOn, 0, 0));
        EXPECT_EQ(1, painter.DrawIcon(icons, kCtrlIconCheckOn, 20, 20)); // cut at 30
        EXPECT_EQ(0, icons->DrawIcon(&painter, kCtrlIconCount, 0, 0));
        EXPECT_EQ(1, icons->DrawGrayIcon(&painter, kCtrlIconRadioOn, 14, 0));
        painter.SetFillStyle(0x0000FF); // an open canvas path survives an icon
        painter.BeginPath();
        painter.DrawRect(0.0, 20.0, 2.0, 2.0);
        icons->DrawIcon(&painter, kCtrlIconCheckOn, 0, 0); // drawn there before: no change
        EXPECT_TRUE(painter.FillPath());
    }
    EXPECT_EQ(0xFFFF0000u, PixelAt(target, 6, 26));
    EXPECT_EQ(IconPixel(kCtrlIconCheckOn, 6, 10) | 0xFF000000u, PixelAt(target, 11, 15));
    EXPECT_EQ(IconPixel(kCtrlIconCheckOn, 1, 1), PixelAt(target, 26, 26));
    EXPECT_EQ(0xFFFFFFFFu, PixelAt(target, 31, 31)); // outside the paint's clip
    const uint32_t gray = PixelAt(target, 27, 13);   // radio dot, greyed
    EXPECT_EQ(gray & 0xFF, (gray >> 16) & 0xFF);
    EXPECT_EQ(gray & 0xFF, (gray >> 8) & 0xFF);
    EXPECT_LT(gray & 0xFF, 0xC0u);
    cairo_surface_destroy(target);
}

} // namespace
