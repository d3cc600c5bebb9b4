// Frames and pages: GIF animation frames with their delays and disposal, TIFF and icon
// pages, and locking a frame.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "image_test_util.h"
#include "platform/panekit/image/ximage.h"

using namespace imagetest;

namespace {

// ImageMagick's frame count and the delay of each frame, in hundredths of a second.
void MagickFrames(const std::string &path, int *count, std::vector<uint32_t> *delays)
{
    std::istringstream in(RunOk("identify -format '%n %T\\n' '" + path + "'"));
    uint32_t delay = 0;
    *count = 0;
    while (in >> *count >> delay)
        delays->push_back(delay);
}

struct AnimCase
{
    const char *what;
    const char *commands; // ImageMagick arguments that make the GIF before its name
};

const AnimCase kAnimations[] = {
    {"full frames", "-size 21x14 -delay 10 xc:red -delay 25 xc:blue -delay 0 xc:lime"},
    {"offset frames, no disposal",
     "-size 30x20 -delay 7 xc:white -dispose none -page +5+3 -size 10x8 -delay 12 xc:red "
     "-page +12+6 -size 6x9 -delay 30 xc:navy"},
    {"background disposal",
     "-dispose background -size 30x20 -delay 5 xc:yellow -page +4+4 -size 8x8 xc:red "
     "-page +14+2 -size 9x9 xc:blue -page +1+10 -size 5x5 xc:green"},
    {"previous disposal",
     "-size 30x20 -delay 5 xc:silver -dispose previous -page +2+2 -size 8x8 xc:red "
     "-page +12+6 -size 9x9 xc:blue -dispose none -page +20+1 -size 5x5 xc:green"},
    {"transparent frames",
     "-size 24x16 -delay 8 xc:none -page +3+3 -size 10x6 -delay 9 xc:orange "
     "-page +9+7 -size 12x6 xc:'rgba(0,0,255,0)' -page +1+1 -size 4x4 xc:purple"},
    {"plasma frames", "-seed 3 -size 25x17 -delay 4 plasma:fractal plasma:fractal plasma:fractal"},
};

TEST(ImageFrames, GifFramesAndDelaysLikeMagick)
{
    for (const AnimCase &c : kAnimations) {
        SCOPED_TRACE(c.what);
        TempFile file(".gif");
        RunOk(std::string("convert ") + c.commands + " -loop 0 '" + file.Path() + "'");
        int count = 0;
        std::vector<uint32_t> delays;
        MagickFrames(file.Path(), &count, &delays);
        XImage image;
        ASSERT_TRUE(LoadFile(&image, file.Path()));
        EXPECT_EQ(count, image.GetFrameCount());
        EXPECT_EQ(count > 1, image.IsAnimated() != 0);
        ASSERT_EQ(size_t(image.GetFrameCount()), delays.size());
        for (int i = 0; i < image.GetFrameCount(); ++i)
            EXPECT_EQ(delays[size_t(i)] * 10, image.GetFrameDelay(i)) << "frame " << i;
        ExpectPixelsLikeMagick(image, file.Path(), "-coalesce");
    }
}

TEST(ImageFrames, LockFrame)
{
    TempFile file(".gif");
    RunOk("convert -size 4x3 -delay 10 xc:red -delay 25 xc:blue -delay 40 xc:lime '" + file.Path() +
          "'");
    XImage image;
    ASSERT_TRUE(LoadFile(&image, file.Path()));
    EXPECT_EQ(0, image.GetCurrentFrame());
    EXPECT_EQ(0xFFFF0000u, image.GetPixel(1, 1));
    uint32_t delay = 0;
    EXPECT_EQ(1, image.LockFrame(2, &delay));
    EXPECT_EQ(400u, delay);
    EXPECT_EQ(0xFF00FF00u, image.GetPixel(1, 1));
    EXPECT_EQ(image.GetFrameSurface(2), image.GetSurface());
    // Out of range: refused, the current frame and the delay untouched.
    for (int bad : {-1, 3, 1000}) {
        delay = 7;
        EXPECT_EQ(0, image.LockFrame(bad, &delay));
        EXPECT_EQ(7u, delay);
        EXPECT_EQ(2, image.GetCurrentFrame());
    }
    EXPECT_EQ(0u, image.GetFrameDelay(3));
    EXPECT_EQ(1, image.LockFrame(1));
    EXPECT_EQ(0xFF0000FFu, image.GetPixel(0, 0));
}

TEST(ImageFrames, TiffPagesOfDifferentSizes)
{
    TempFile a(".png"), b(".png"), tif(".tif");
    MakePicture(a.Path(), 17, 9);
    MakeAlphaPicture(b.Path(), 8, 21);
    RunOk("convert '" + a.Path() + "' '" + b.Path() + "' -size 5x5 xc:teal -compress lzw '" +
          tif.Path() + "'");
    XImage image;
    ASSERT_TRUE(LoadFile(&image, tif.Path()));
    ASSERT_EQ(3, image.GetFrameCount());
    EXPECT_EQ(0, image.IsAnimated());
    EXPECT_EQ(17, image.GetWidth());
    ASSERT_EQ(1, image.LockFrame(1));
    EXPECT_EQ(8, image.GetWidth());
    EXPECT_EQ(21, image.GetHeight());
    EXPECT_EQ(0u, image.GetFrameDelay(1));
    ExpectPixelsLikeMagick(image, tif.Path());
}

} // namespace
