// The control pictures: icons drawn where asked from the shared strip, the ruler picture
// made once with its slot boundaries, and menu entries set up from zero.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstring>

#include "pagekit/core/ctrl_icon.h"
#include "pagekit/core/menu_item.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// A transparent 48 x 20 surface with a painter over it.
struct Canvas
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 48, 20);
    ~Canvas() { cairo_surface_destroy(surface); }
    uint32_t Pixel(int x, int y)
    {
        cairo_surface_flush(surface);
        uint32_t argb;
        std::memcpy(&argb,
                    cairo_image_surface_get_data(surface) +
                        y * cairo_image_surface_get_stride(surface) + 4 * x,
                    4);
        return argb;
    }
    // The bounding box of the drawn (non-transparent) pixels: x0, y0, x1, y1 inclusive.
    void Drawn(int box[4])
    {
        box[0] = box[1] = 1000;
        box[2] = box[3] = -1;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 48; ++x) {
                if (Pixel(x, y) >> 24 == 0)
                    continue;
                box[0] = std::min(box[0], x);
                box[1] = std::min(box[1], y);
                box[2] = std::max(box[2], x);
                box[3] = std::max(box[3], y);
            }
        }
    }
};

TEST(CtrlIcon, DrawsTheIndexedIconAtThePoint)
{
    Canvas on, off;
    {
        XPainter painter(on.surface, nullptr);
        ASSERT_NE(0, DrawCtrlIcon(&painter, kCtrlIconRadioOn, 20, 3));
        XPainter other(off.surface, nullptr);
        ASSERT_NE(0, DrawCtrlIcon(&other, kCtrlIconRadioOff, 20, 3));
    }
    int box[4];
    on.Drawn(box);
    // Inside the 16 x 16 cell at (20, 3), and more than a dot.
    EXPECT_GE(box[0], 20);
    EXPECT_GE(box[1], 3);
    EXPECT_LE(box[2], 35);
    EXPECT_LE(box[3], 18);
    EXPECT_GT(box[2] - box[0], 8);
    // The dot in the middle tells the two radio icons apart.
    EXPECT_NE(on.Pixel(28, 11), off.Pixel(28, 11));

    Canvas none;
    XPainter painter(none.surface, nullptr);
    EXPECT_EQ(0, DrawCtrlIcon(&painter, kCtrlIconCount, 0, 0));
    EXPECT_EQ(0, DrawCtrlIcon(&painter, 0xFFFFFFFFu, 0, 0));
    EXPECT_EQ(0, DrawCtrlIcon(nullptr, 0, 0, 0));
    int nothing[4];
    none.Drawn(nothing);
    EXPECT_EQ(-1, nothing[2]);
}

TEST(CtrlIcon, RulerPictureIsMadeOnceWithItsSlots)
{
    XImage *ruler = GetCtrlPicture();
    ASSERT_NE(nullptr, ruler);
    EXPECT_EQ(ruler, GetCtrlPicture());
    EXPECT_EQ(180, ruler->GetWidth());
    EXPECT_EQ(10, ruler->GetHeight());
    for (int x = 0; x < 180; ++x) {
        const bool boundary = x % 10 == 9 && x != 179;
        EXPECT_EQ(boundary ? 0xFFu : 0u, ruler->GetPixel(x, 5) >> 24) << x;
    }
    // 0xAARRGGBB: the decimal boundary red, the thousands boundaries darker than the rest.
    EXPECT_EQ(0xFFE00000u, ruler->GetPixel(159, 0));
    EXPECT_EQ(0xFF808080u, ruler->GetPixel(129, 9));
    EXPECT_EQ(0xFF808080u, ruler->GetPixel(99, 9));
    EXPECT_EQ(0xFFD0D0D0u, ruler->GetPixel(139, 9));
}

TEST(MenuItem, SetupZeroesTheEntryAndSetsThree)
{
    XMenuItem item;
    std::memset(&item, 0xAB, sizeof item);
    SetupMenuItem(&item, 42, kMenuChecked | kMenuSubmenu, u"&Open\tCtrl+O");
    EXPECT_EQ(42u, item.code);
    EXPECT_EQ(0, item.icon);
    EXPECT_EQ(0x12u, item.flags);
    EXPECT_EQ(0u, item.reserved1);
    EXPECT_EQ(std::u16string(u"&Open\tCtrl+O"), item.text);
    EXPECT_EQ(0u, item.reserved2);
    EXPECT_EQ(0u, item.reserved3);
    SetupMenuItem(nullptr, 1, 0, nullptr); // harmless
}

} // namespace
