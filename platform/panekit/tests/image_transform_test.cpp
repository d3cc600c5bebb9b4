// Making and changing images: bitmaps and fills, quarter turns against ImageMagick, clips,
// thumbnails, surface copies, and the no-op behaviour of an empty image.

#include <gtest/gtest.h>

#include <string>

#include "image_test_util.h"
#include "platform/panekit/image/ximage.h"

using namespace imagetest;

namespace {

TEST(ImageTransform, QuarterTurnsLikeMagick)
{
    TempFile src(".png");
    MakeAlphaPicture(src.Path(), 23, 11);
    for (int angle : {90, 180, 270, -90, -270, 450, 0, 360}) {
        SCOPED_TRACE(angle);
        XImage image;
        ASSERT_TRUE(LoadFile(&image, src.Path()));
        ASSERT_EQ(1, image.RotateImage(angle));
        TempFile turned(".png");
        RunOk("convert '" + src.Path() + "' -rotate " + std::to_string(angle) + " '" +
              turned.Path() + "'");
        ExpectPixelsLikeMagick(image, turned.Path());
    }
}

TEST(ImageTransform, RotationTurnsEveryFrame)
{
    TempFile gif(".gif");
    RunOk("convert -size 5x3 xc:red -size 5x3 xc:blue '" + gif.Path() + "'");
    XImage image;
    ASSERT_TRUE(LoadFile(&image, gif.Path()));
    for (int bad : {45, 1, -100})
        EXPECT_EQ(0, image.RotateImage(bad));
    EXPECT_EQ(5, image.GetWidth());
    ASSERT_EQ(1, image.RotateImage(-90));
    for (int f = 0; f < 2; ++f) {
        ASSERT_TRUE(image.LockFrame(f));
        EXPECT_EQ(3, image.GetWidth());
        EXPECT_EQ(5, image.GetHeight());
    }
}

TEST(ImageTransform, ClipLikeMagick)
{
    TempFile src(".png");
    MakeAlphaPicture(src.Path(), 30, 20);
    XImage image;
    ASSERT_TRUE(LoadFile(&image, src.Path()));
    const struct
    {
        int x, y, cx, cy;
        const char *crop; // the same cut in ImageMagick geometry, after cutting to the image
    } cases[] = {
        {3, 4, 10, 7, "10x7+3+4"},
        {0, 0, 30, 20, "30x20+0+0"},
        {25, 15, 40, 40, "5x5+25+15"},
        {-5, -2, 10, 10, "5x8+0+0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.crop);
        XImage clip;
        ASSERT_EQ(1, image.GetClipImage(&clip, c.x, c.y, c.cx, c.cy));
        TempFile cut(".png");
        RunOk("convert '" + src.Path() + "' -crop " + c.crop + " +repage '" + cut.Path() + "'");
        ExpectPixelsLikeMagick(clip, cut.Path());
    }
    XImage untouched;
    ASSERT_TRUE(untouched.CreateBitmap(2, 2));
    EXPECT_EQ(0, image.GetClipImage(&untouched, 30, 0, 5, 5));
    EXPECT_EQ(0, image.GetClipImage(&untouched, 0, 0, 0, 5));
    EXPECT_EQ(0, image.GetClipImage(&image, 0, 0, 5, 5));
    EXPECT_EQ(0, image.GetClipImage(nullptr, 0, 0, 5, 5));
    EXPECT_EQ(2, untouched.GetWidth());
}

TEST(ImageTransform, Thumbnails)
{
    XImage image;
    ASSERT_TRUE(image.CreateBitmap(80, 40));
    ASSERT_TRUE(image.FillBackColor(0x336699));
    const struct
    {
        int cx, cy, mode, w, h;
    } cases[] = {
        {20, 20, 0, 20, 20}, {20, 20, 1, 20, 10}, {100, 100, 1, 100, 50},
        {7, 300, 1, 7, 4},   {1, 1, 1, 1, 1},     {200, 3, 0, 200, 3},
    };
    for (const auto &c : cases) {
        XImage thumb;
        ASSERT_EQ(1, image.GetThumbImage(&thumb, c.cx, c.cy, c.mode));
        EXPECT_EQ(c.w, thumb.GetWidth());
        EXPECT_EQ(c.h, thumb.GetHeight());
        // A plain colour stays that colour to the very edges.
        EXPECT_EQ(0xFF996633u, thumb.GetPixel(0, 0));
        EXPECT_EQ(0xFF996633u, thumb.GetPixel(c.w - 1, c.h - 1));
    }
    // Shrinking averages: a one-pixel checkerboard becomes an even grey, not a sample of it.
    XImage checker;
    ASSERT_TRUE(checker.CreateBitmap(16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = (y % 2); x < 16; x += 2)
            checker.FillPixColor(x, y, 1, 1, 0xFFFFFF);
    XImage small;
    ASSERT_EQ(1, checker.GetThumbImage(&small, 4, 4));
    for (int i = 0; i < 16; ++i) {
        uint32_t g = small.GetPixel(i % 4, i / 4) & 0xFF;
        EXPECT_NEAR(128, int(g), 12) << i;
    }
    XImage none;
    EXPECT_EQ(0, image.GetThumbImage(&none, 0, 5));
    EXPECT_EQ(0, image.GetThumbImage(&none, 5, -1));
    EXPECT_EQ(1, none.IsImageEmpty());
}

TEST(ImageTransform, BitmapsAndFills)
{
    XImage image;
    ASSERT_EQ(1, image.CreateBitmap(6, 4));
    EXPECT_EQ(0xFF000000u, image.GetPixel(5, 3));
    EXPECT_EQ(1, image.FillBackColor(0xFFFFFF));
    EXPECT_EQ(0, image.FillBackColor(0xFF000000)); // "none": nothing changes
    EXPECT_EQ(0xFFFFFFFFu, image.GetPixel(0, 0));
    EXPECT_EQ(1, image.FillPixColor(4, 2, 10, 10, 0x0000FF)); // cut to the image; 0x00BBGGRR
    EXPECT_EQ(0xFFFF0000u, image.GetPixel(5, 3));
    EXPECT_EQ(0xFFFF0000u, image.GetPixel(4, 2));
    EXPECT_EQ(0xFFFFFFFFu, image.GetPixel(3, 2));
    EXPECT_EQ(0, image.FillPixColor(6, 0, 1, 1, 0));
    EXPECT_EQ(0, image.FillPixColor(0, 0, 0, 1, 0));
    EXPECT_EQ(0, image.FillPixColor(0, 0, 2, 2, 0x01000000));
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {6, 0}, {0, 4}})
        EXPECT_EQ(0u, image.GetPixel(x, y));
    ASSERT_EQ(1, image.CreateBitmap(3, 3, 32));
    EXPECT_EQ(0u, image.GetPixel(1, 1));
    EXPECT_EQ(kImageUnknown, image.GetSourceType());
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 5}, {kImageMaxSide + 1, 1}, {20000, 20000}}) {
        EXPECT_EQ(0, image.CreateBitmap(w, h));
        EXPECT_EQ(1, image.IsImageEmpty());
    }
}

TEST(ImageTransform, SurfacesIn)
{
    cairo_surface_t *rgb = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 10, 6);
    cairo_t *cr = cairo_create(rgb);
    cairo_set_source_rgb(cr, 0, 1, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    XImage image;
    BOUND_t part = {8, 4, 5, 5};
    ASSERT_EQ(1, image.CopyFromSurface(rgb, &part));
    EXPECT_EQ(2, image.GetWidth());
    EXPECT_EQ(2, image.GetHeight());
    EXPECT_EQ(0xFF00FF00u, image.GetPixel(1, 1));
    BOUND_t outside = {10, 0, 5, 5};
    EXPECT_EQ(0, image.CopyFromSurface(rgb, &outside));
    EXPECT_EQ(0, image.AttachSurface(rgb)); // not ARGB32: released, refused
    cairo_surface_t *argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 7, 3);
    ASSERT_EQ(1, image.AttachSurface(argb));
    EXPECT_EQ(argb, image.GetSurface());
    XImage other;
    other.SwapImage(&image);
    EXPECT_EQ(argb, other.GetSurface());
    EXPECT_EQ(1, image.IsImageEmpty());
}

TEST(ImageTransform, EmptyImageIsHarmless)
{
    XImage image, out;
    SIZE_t size = {5, 5};
    EXPECT_EQ(0, image.GetImageSize(&size));
    EXPECT_EQ(0, size.cx);
    EXPECT_EQ(0, image.GetWidth());
    EXPECT_EQ(0, image.GetFrameCount());
    EXPECT_EQ(0, image.LockFrame(0));
    EXPECT_EQ(nullptr, image.GetSurface());
    EXPECT_EQ(0u, image.GetPixel(0, 0));
    EXPECT_EQ(0, image.RotateImage(90));
    EXPECT_EQ(0, image.GetClipImage(&out, 0, 0, 1, 1));
    EXPECT_EQ(0, image.GetThumbImage(&out, 1, 1));
    EXPECT_EQ(0, image.FillBackColor(0));
    EXPECT_EQ(0, image.FillPixColor(0, 0, 1, 1, 0));
    EXPECT_EQ(0, image.CopyFromSurface(nullptr));
    EXPECT_EQ(0, image.AttachSurface(nullptr));
    image.ClearImage();
    image.SwapImage(nullptr);
    EXPECT_EQ(1, image.IsImageEmpty());
}

} // namespace
