// The painter's memory canvas, its floating figures and paths, and drawing images.
//
// The canvas figures are antialiased, so they are checked against a small golden PNG with
// a tolerance (kGoldenChannel / kGoldenPixels below). Regenerate it after an intended
// change with
//   PAINTER_WRITE_GOLDEN=1 build/<dir>/platform/panekit/panekit_painter_canvas_test
//       --gtest_filter='*Golden*'   (one command line)
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/paint_core.h"
#include "platform/panekit/tests/painter_oracle.h"

using painter_test::CompareWithMagick;
using painter_test::TempName;
using painter_test::WhiteSurface;

namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;

// Golden tolerance: every channel of every pixel within kGoldenChannel, and at most
// kGoldenPixels pixels differing at all (antialiasing may move between Cairo versions).
constexpr int kGoldenChannel = 24;
constexpr int kGoldenPixels = 120;

// Non-premultiplied 0xAARRGGBB of a canvas pixel, read back through an XImage.
uint32_t CanvasPixel(XPaintCore &painter, int x, int y)
{
    XImage image;
    if (painter.CopyToImage(&image) == 0)
        return 0xDEADBEEF;
    return image.GetPixel(x, y);
}

// The figures of the golden picture: every kind of canvas figure once.
void DrawCanvasFigures(XPaintCore &p)
{
    p.FillRect(0.0, 0.0, 96.0, 64.0);
    XPenHandle pen{kPenSolid, 2, kBlue};
    p.SelectPen(&pen);
    p.SetFillStyle(0x40C040);
    p.MoveTo(4.0, 4.0);
    p.LineTo(40.0, 20.0);
    p.DrawRect(44.5, 4.5, 20.0, 12.0);
    p.FillRect(70.0, 4.0, 20.0, 12.0);
    p.DrawArc(16.0, 40.0, 12.0, 0.0, 270.0);
    p.FillArc(44.0, 40.0, 12.0, 30.0, -120.0);
    p.DrawEllipse(74.0, 30.0, 16.0, 8.0);
    p.FillEllipse(74.0, 52.0, 10.0, 6.0);
    const FPOINT_t wave[] = {{4, 60}, {20, 50}, {36, 62}, {52, 50}};
    p.CurveTo(wave, 4);
    p.SetFillStyle(0x0080FF);
    p.BeginPath(kPathEvenOdd);
    p.MoveTo(58.0, 22.0);
    p.LineTo(66.0, 40.0);
    p.LineTo(50.0, 40.0);
    p.ClosePath();
    p.DrawEllipse(58.0, 34.0, 3.0, 3.0);
    p.FillPath();
}

TEST(PainterCanvas, FiguresMatchTheGoldenPicture)
{
    XPaintCore painter;
    ASSERT_EQ(1, painter.CreateImage(96, 64));
    DrawCanvasFigures(painter);
    painter.ClosePainter();
    cairo_surface_t *ours = painter.GetSurface();
    std::string golden = ZEP_TEST_DIR "/golden/painter_canvas.png";
    if (std::getenv("PAINTER_WRITE_GOLDEN") != nullptr) {
        ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_write_to_png(ours, golden.c_str()));
    }

    cairo_surface_t *expected = cairo_image_surface_create_from_png(golden.c_str());
    ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(expected)) << golden;
    ASSERT_EQ(96, cairo_image_surface_get_width(expected));
    ASSERT_EQ(64, cairo_image_surface_get_height(expected));
    cairo_surface_flush(expected);
    int differing = 0, worst = 0;
    for (int y = 0; y < 64; ++y) {
        auto *a = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(ours) +
                                               y * cairo_image_surface_get_stride(ours));
        auto *b = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(expected) +
                                               y * cairo_image_surface_get_stride(expected));
        for (int x = 0; x < 96; ++x) {
            if (a[x] == b[x])
                continue;
            ++differing;
            for (int shift = 0; shift < 32; shift += 8)
                worst = std::max(
                    worst, std::abs(int((a[x] >> shift) & 0xFF) - int((b[x] >> shift) & 0xFF)));
        }
    }
    cairo_surface_destroy(expected);
    EXPECT_LE(worst, kGoldenChannel);
    EXPECT_LE(differing, kGoldenPixels);
}

TEST(PainterCanvas, ArcsTurnAnticlockwiseForPositiveSweeps)
{
    struct Case
    {
        double start, sweep;
        int insideX, insideY, outsideX, outsideY;
    };
    // Centre 32, 32, radius 20; probe points at 10 pixels along each diagonal.
    const Case cases[] = {
        {0, 90, 42, 22, 42, 42},    // upper right quadrant on screen
        {0, -90, 42, 42, 42, 22},   // lower right
        {90, 90, 22, 22, 42, 22},   // upper left
        {180, 180, 32, 42, 32, 22}, // lower half
    };
    for (const Case &c : cases) {
        XPaintCore painter;
        ASSERT_EQ(1, painter.CreateImage(64, 64));
        painter.SetFillStyle(kRed);
        painter.FillArc(32.0, 32.0, 20.0, c.start, c.sweep);
        EXPECT_EQ(0xFFFF0000u, CanvasPixel(painter, c.insideX, c.insideY))
            << c.start << " " << c.sweep;
        EXPECT_EQ(0u, CanvasPixel(painter, c.outsideX, c.outsideY)) << c.start << " " << c.sweep;
    }
}

TEST(PainterCanvas, PathsCollectFiguresUntilDrawnOrFilled)
{
    XPaintCore painter;
    ASSERT_EQ(1, painter.CreateImage(64, 64));
    EXPECT_EQ(0, painter.FillPath()); // no open path
    EXPECT_EQ(0, painter.DrawPath());
    painter.SetFillStyle(kRed);
    painter.BeginPath();
    EXPECT_EQ(1, painter.IsPathOpen());
    painter.MoveTo(10.0, 10.0);
    painter.LineTo(60.0, 10.0);
    painter.LineTo(60.0, 60.0);
    // An immediate fill in the middle draws at once and leaves the path alone.
    painter.FillRect(0.0, 50.0, 8.0, 8.0);
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(painter, 4, 54));
    EXPECT_EQ(0u, CanvasPixel(painter, 50, 20)); // the path is not drawn yet
    painter.ClosePath();
    EXPECT_EQ(1, painter.FillPath());
    EXPECT_EQ(0, painter.IsPathOpen());
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(painter, 50, 20));
    EXPECT_EQ(0u, CanvasPixel(painter, 20, 50));

    // Even-odd leaves the inner figure open; winding fills it.
    for (int mode : {kPathEvenOdd, kPathWinding}) {
        ASSERT_EQ(1, painter.CreateImage(64, 64));
        painter.BeginPath(mode);
        painter.DrawRect(4.0, 4.0, 56.0, 56.0);
        painter.DrawRect(20.0, 20.0, 24.0, 24.0);
        painter.FillPath();
        EXPECT_EQ(0xFFFF0000u, CanvasPixel(painter, 10, 10));
        EXPECT_EQ(mode == kPathEvenOdd ? 0u : 0xFFFF0000u, CanvasPixel(painter, 32, 32));
    }
}

TEST(PainterCanvas, CurvesNeedEnoughPointsAndStrokeThroughThem)
{
    XPaintCore painter;
    ASSERT_EQ(1, painter.CreateImage(64, 64));
    XPenHandle pen{kPenSolid, 3, kBlue};
    painter.SelectPen(&pen);
    const FPOINT_t one[] = {{10, 10}};
    painter.CurveTo(one, 1);
    painter.FillCurve(one, 1);
    XImage image;
    ASSERT_EQ(1, painter.CopyToImage(&image));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(0u, image.GetPixel(x, y));
    const FPOINT_t ring[] = {{10, 32}, {32, 10}, {54, 32}, {32, 54}};
    painter.CurveTo(ring, 4, 1);
    for (const FPOINT_t &p : ring)
        EXPECT_EQ(0xFF0000FFu, CanvasPixel(painter, int(p.x), int(p.y))) << p.x << "," << p.y;
    EXPECT_EQ(0u, CanvasPixel(painter, 32, 32));
    painter.SetFillStyle(kRed);
    painter.FillCurve(ring, 4);
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(painter, 32, 32));
}

TEST(PainterCanvas, DashedStrokesKeepTheirGaps)
{
    XPaintCore painter;
    ASSERT_EQ(1, painter.CreateImage(64, 20));
    XPenHandle pen{kPenDashed, 2, kRed}; // 8 on, 4 off at width 2
    painter.SelectPen(&pen);
    painter.MoveTo(0.0, 10.0);
    painter.LineTo(60.0, 10.0);
    for (int x : {1, 6, 13, 18})
        EXPECT_EQ(0xFFFF0000u, CanvasPixel(painter, x, 9)) << x;
    for (int x : {9, 10, 21, 22})
        EXPECT_EQ(0u, CanvasPixel(painter, x, 9)) << x;
}

TEST(PainterCanvas, CreateImageMakesATransparentCanvasAndCopiesOut)
{
    XPaintCore painter;
    EXPECT_EQ(1, painter.GetWidth());
    EXPECT_EQ(0, painter.CreateImage(0, 5));
    EXPECT_EQ(0, painter.CreateImage(5, 40000));
    EXPECT_EQ(1, painter.GetWidth()); // unchanged after a refused size
    ASSERT_EQ(1, painter.CreateImage(20, 10));
    EXPECT_EQ(20, painter.GetWidth());
    EXPECT_EQ(10, painter.GetHeight());
    BOUND_t box{2, 3, 4, 5}, whole;
    painter.GetPaintBound(&whole);
    EXPECT_EQ(20, whole.width);
    painter.Translate(100, 100);
    painter.BeginPainter(); // forgets the translation
    painter.FillRect(&box, 0x336699);
    painter.ClosePainter();
    XImage image;
    ASSERT_EQ(1, painter.CopyToImage(&image));
    EXPECT_EQ(20, image.GetWidth());
    EXPECT_EQ(10, image.GetHeight());
    EXPECT_EQ(0xFF996633u, image.GetPixel(2, 3));
    EXPECT_EQ(0xFF996633u, image.GetPixel(5, 7));
    EXPECT_EQ(0u, image.GetPixel(6, 7));
    EXPECT_EQ(0u, image.GetPixel(0, 0));
}

// ---- images against ImageMagick ---------------------------------------------------------

// A 4 x 3 image of twelve distinct opaque colours, and its PNG file.
struct TestPicture
{
    XImage image;
    std::string png;
    TestPicture()
    {
        image.CreateBitmap(4, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                image.FillPixColor(x, y, 1, 1,
                                   uint32_t(0x203040 + x * 0x3D0000 + y * 0x5000 + x * 0x31));
        png = TempName("picture", ".png");
        cairo_surface_write_to_png(image.GetSurface(), png.c_str());
    }
    ~TestPicture() { std::remove(png.c_str()); }
};

TEST(PainterImage, LayoutsAndStretchesMatchMagick)
{
    TestPicture pic;
    std::string src = "'" + pic.png + "'";
    struct Case
    {
        const char *name;
        BOUND_t view;
        uint32_t layout;
        const BOUND_t *source;
        std::string magick;
    };
    BOUND_t part{1, 1, 2, 2};
    const Case cases[] = {
        {"natural at the view's corner",
         {5, 6, 10, 10},
         0,
         nullptr,
         src + " -geometry +5+6 -composite"},
        {"centred",
         {10, 10, 10, 9},
         kImageLayoutCenter,
         nullptr,
         src + " -geometry +13+13 -composite"},
        {"right and bottom", {2, 2, 10, 9}, 0x2200, nullptr, src + " -geometry +8+8 -composite"},
        {"cut to the view",
         {3, 4, 2, 2},
         0,
         nullptr,
         "\\( " + src + " -crop 2x2+0+0 +repage \\) -geometry +3+4 -composite"},
        {"tiled both ways",
         {0, 0, 10, 7},
         0x30,
         nullptr,
         "\\( -size 10x7 tile:" + src + " \\) -geometry +0+0 -composite"},
        {"a source part stretched, nearest",
         {2, 2, 6, 4},
         0,
         &part,
         "\\( " + src +
             " -crop 2x2+1+1 +repage -filter point -resize 6x4! \\) -geometry +2+2 -composite"},
    };
    for (const Case &c : cases) {
        cairo_surface_t *surface = WhiteSurface(24, 24);
        {
            XPaintCore painter(surface, nullptr);
            int drawn = c.source != nullptr
                            ? painter.DrawImage(&pic.image, &c.view, c.source, kStretchNearest)
                            : painter.DrawImage(&pic.image, &c.view, c.layout);
            EXPECT_EQ(1, drawn) << c.name;
        }
        std::string log;
        EXPECT_EQ(0, CompareWithMagick(surface, c.magick, &log)) << c.name << "\n" << log;
        cairo_surface_destroy(surface);
    }
}

// Shrinking a fine checker board: the smooth mode averages it to grey, the nearest mode
// keeps one of its pixels.
TEST(PainterImage, SmoothStretchAveragesWhenShrinking)
{
    XImage checker;
    ASSERT_EQ(1, checker.CreateBitmap(8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            checker.FillPixColor(x, y, 1, 1, ((x + y) & 1) != 0 ? 0xFFFFFF : 0);
    for (int mode : {kStretchNearest, kStretchSmooth}) {
        XPaintCore painter;
        ASSERT_EQ(1, painter.CreateImage(2, 2));
        BOUND_t view{0, 0, 2, 2};
        ASSERT_EQ(1, painter.DrawImage(&checker, &view, nullptr, mode));
        uint32_t green = (CanvasPixel(painter, 0, 0) >> 8) & 0xFF;
        if (mode == kStretchSmooth)
            EXPECT_NEAR(128, int(green), 24);
        else
            EXPECT_TRUE(green == 0 || green == 255) << green;
    }
}

TEST(PainterImage, NothingToDrawAnswersZero)
{
    TestPicture pic;
    XImage empty;
    cairo_surface_t *surface = WhiteSurface(8, 8);
    XPaintCore painter(surface, nullptr);
    BOUND_t view{0, 0, 8, 8}, none{0, 0, 0, 8}, outside{10, 10, 2, 2};
    EXPECT_EQ(0, painter.DrawImage(&empty, &view, 0u));
    EXPECT_EQ(0, painter.DrawImage(nullptr, &view, 0u));
    EXPECT_EQ(0, painter.DrawImage(&pic.image, &none, 0u));
    EXPECT_EQ(0, painter.DrawImage(&pic.image, &view, &outside, kStretchSmooth));
    EXPECT_EQ(0, painter.DrawImage(&empty, 1, 1));
    EXPECT_EQ(1, painter.DrawImage(&pic.image, &view, nullptr, kStretchSmooth));
    cairo_surface_destroy(surface);
}

} // namespace
