// Box backgrounds: gradients against small golden pictures, pictures, named renders and
// icons by name.
//
// The goldens are ImageMagick's gradients, made with
//   convert -size 16x64 gradient:'#ff0000-#0000ff' -rotate -90 -depth 8
//   PNG24:style_linear_right.png convert -size 48x24 gradient:'#ffff00-#008000' -depth 8
//   PNG24:style_linear_down.png convert -size 48x48 -define gradient:extent=diagonal
//   radial-gradient:'#ff0000-#0000ff'
//           -depth 8 PNG24:style_radial.png
// ImageMagick puts the end colours on the first and last pixel, the painter samples pixel
// centres along the gradient line, half a pixel in: over the 24 rows of the shortest
// golden that is up to 255 / 23 / 2, about 6 levels, so a channel may differ by
// kGradientTolerance (a wrong direction or stop order differs by up to 255).
#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "corekit/memory/memory.h"
#include "platform/devkit/folders.h"
#include "platform/devkit/native_path.h"
#include "platform/devkit/tests/test_folder.h"
#include "platform/devkit/tests/work_folder_scope.h"
#include "platform/panekit/icon/resc_helper.h"
#include "platform/panekit/paint/gradient_desc.h"
#include "platform/panekit/paint/style_record.h"
#include "platform/panekit/paint/xpainter.h"
#include "style_fixture.h"

namespace {

constexpr int kGradientTolerance = 8;

cairo_surface_t *WhiteSurface(int width, int height)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t *cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    return s;
}

// 0xRRGGBB of a pixel.
uint32_t Rgb(cairo_surface_t *s, int x, int y)
{
    cairo_surface_flush(s);
    const unsigned char *row =
        cairo_image_surface_get_data(s) + size_t(y) * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t *>(row)[x] & 0xFFFFFF;
}

// Largest channel difference between two surfaces of one size; -1 when sizes differ.
int MaxDifference(cairo_surface_t *a, cairo_surface_t *b)
{
    const int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
    if (w != cairo_image_surface_get_width(b) || h != cairo_image_surface_get_height(b))
        return -1;
    int worst = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t p = Rgb(a, x, y), q = Rgb(b, x, y);
            for (int shift = 0; shift < 24; shift += 8)
                worst =
                    std::max(worst, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
        }
    return worst;
}

TEST(StyleBack, GradientsMatchGoldens)
{
    const struct
    {
        const char *golden;
        uint32_t shape;
        float angle;
        uint32_t from, to; // 0x00BBGGRR
    } cases[] = {
        {"style_linear_right.png", XGradientDesc::kLinear, 90, 0x0000FF, 0xFF0000},
        {"style_linear_down.png", XGradientDesc::kLinear, 180, 0x00FFFF, 0x008000},
        {"style_radial.png", XGradientDesc::kRadial, 0, 0x0000FF, 0xFF0000},
    };
    for (const auto &c : cases) {
        const std::string path = std::string(ZEP_TEST_DIR) + "/golden/" + c.golden;
        cairo_surface_t *golden = cairo_image_surface_create_from_png(path.c_str());
        ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(golden)) << path;
        const int w = cairo_image_surface_get_width(golden),
                  h = cairo_image_surface_get_height(golden);
        XGradientDesc *g = MallocGradientDesc(2);
        g->shape = c.shape;
        g->angle = c.angle;
        g->GetStops()[0] = {c.from, 0.0f};
        g->GetStops()[1] = {c.to, 1.0f};
        XStyleDesc d = BlankStyle();
        d.backWord = kBackGradient;
        d.backGradient = g;
        cairo_surface_t *ours = WhiteSurface(w, h);
        {
            XPainter painter(ours, nullptr);
            const BOUND_t b{0, 0, w, h};
            painter.DrawItemBox(&d, &b);
        }
        EXPECT_LE(MaxDifference(ours, golden), kGradientTolerance) << c.golden;
        EXPECT_GE(MaxDifference(ours, golden), 0) << c.golden;
        cairo_surface_destroy(ours);
        cairo_surface_destroy(golden);
        MemFree(g);
    }
}

// Gradients keep to the rounded shape and to the box; a "none" stop is transparent.
TEST(StyleBack, GradientInsideShape)
{
    XGradientDesc *g = MallocGradientDesc(2);
    g->angle = 90;
    g->GetStops()[0] = {0x000000, 0.0f};
    g->GetStops()[1] = {0xFF000000, 1.0f};
    XStyleDesc d = BlankStyle();
    d.backWord = kBackGradient;
    d.backGradient = g;
    for (int k = 0; k < 4; ++k)
        d.radius[k] = 6;
    cairo_surface_t *s = WhiteSurface(40, 20);
    {
        XPainter painter(s, nullptr);
        const BOUND_t b{10, 2, 20, 16};
        painter.DrawItemBox(&d, &b);
    }
    EXPECT_EQ(0xFFFFFFu, Rgb(s, 10, 2));     // rounded-off corner
    EXPECT_EQ(0xFFFFFFu, Rgb(s, 9, 10));     // outside the box
    EXPECT_LT(Rgb(s, 10, 10) & 0xFF, 0x20u); // dark start
    EXPECT_GT(Rgb(s, 29, 10) & 0xFF, 0xE0u); // fades out towards the "none" stop
    cairo_surface_destroy(s);
    MemFree(g);
}

class StyleBackFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = zeptest::TestFolder().Path().string();
        ASSERT_FALSE(m_dir.empty());
        ASSERT_TRUE(SetWorkFolder(devkit::Utf8ToUtf16(m_dir.c_str(), m_dir.size()).c_str()));
        // pic.png: 4 x 4 red; icons.png: two 8 x 8 icons, blue then green.
        cairo_surface_t *pic = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
        cairo_t *cr = cairo_create(pic);
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_write_to_png(pic, (m_dir + "/pic.png").c_str());
        cairo_surface_destroy(pic);
        cairo_surface_t *icons = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 8);
        cr = cairo_create(icons);
        cairo_set_source_rgb(cr, 0, 0, 1);
        cairo_rectangle(cr, 0, 0, 8, 8);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0, 1, 0);
        cairo_rectangle(cr, 8, 0, 8, 8);
        cairo_fill(cr);
        cairo_destroy(cr);
        cairo_surface_write_to_png(icons, (m_dir + "/icons.png").c_str());
        cairo_surface_destroy(icons);
    }
    WorkFolderScope m_work;
    std::string m_dir;
};

TEST_F(StyleBackFiles, PicturesRendersAndIcons)
{
    XRescHelper helper;
    char16_t pic[] = u"pic.png", icons[] = u"icons.png", missing[] = u"missing.png";
    const BOUND_t b{2, 2, 20, 16};
    const struct
    {
        uint32_t backWord;
        char16_t *name;
        // expected 0xRRGGBB at three points: inside top-left, centre, inside bottom-right
        uint32_t topLeft, centre, bottomRight;
    } cases[] = {
        {kBackPicture | 3u << 8, pic, 0xFF0000, 0xFF0000, 0xFF0000}, // stretch
        {kBackPicture, pic, 0xFF0000, 0xEEEEEE, 0xEEEEEE},           // natural, top left
        {kBackPicture | 1u << 16 | 1u << 20, pic, 0xEEEEEE, 0xFF0000, 0xEEEEEE}, // centred
        {kBackPicture | 3u << 12, pic, 0xFF0000, 0xFF0000, 0xFF0000},            // repeated
        {kBackRender, pic, 0xFF0000, 0xFF0000, 0xFF0000},                        // stretched
        {(kBackIcon + 1) | 1u << 16 | 1u << 20, icons, 0xEEEEEE, 0x00FF00, 0xEEEEEE},
        {kBackIcon | 2u << 16 | 2u << 20, icons, 0xEEEEEE, 0xEEEEEE, 0x0000FF},
        {kBackPicture | 3u << 8, missing, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE},
    };
    for (const auto &c : cases) {
        XStyleDesc d = BlankStyle();
        d.backWord = c.backWord;
        d.backColor = 0xEEEEEE;
        d.backName = c.name;
        cairo_surface_t *s = WhiteSurface(24, 20);
        {
            XPainter painter(s, nullptr);
            painter.SetRescHelper(&helper);
            painter.DrawItemBox(&d, &b);
        }
        EXPECT_EQ(c.topLeft, Rgb(s, 3, 3)) << std::hex << c.backWord;
        EXPECT_EQ(c.centre, Rgb(s, 12, 10)) << std::hex << c.backWord;
        EXPECT_EQ(c.bottomRight, Rgb(s, 20, 16)) << std::hex << c.backWord;
        EXPECT_EQ(0xFFFFFFu, Rgb(s, 1, 1)) << std::hex << c.backWord; // outside the box
        cairo_surface_destroy(s);
    }
}

} // namespace
