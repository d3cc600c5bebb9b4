// Every decoder against ImageMagick (and djpeg for JPEG): the same pixels, frame for frame.

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "image_test_util.h"
#include "platform/panekit/image/ximage.h"

using namespace imagetest;

namespace {

struct Case
{
    const char *what;
    const char *suffix;  // output file name suffix, with an ImageMagick format prefix if any
    bool alpha;          // drawn from the picture with an alpha ramp
    const char *options; // ImageMagick options before the output name
    int type;            // expected source type
};

const Case kCases[] = {
    {"png rgb", ".png", false, "-define png:color-type=2", kImagePng},
    {"png rgba", ".png", true, "-define png:color-type=6", kImagePng},
    {"png palette", ".png", false, "-colors 40 -define png:color-type=3", kImagePng},
    {"png palette trns", ".png", true, "-colors 40 -define png:color-type=3", kImagePng},
    {"png grey", ".png", false, "-colorspace gray -define png:color-type=0", kImagePng},
    {"png grey 2-bit", ".png", false, "-colorspace gray -depth 2 -define png:color-type=0",
     kImagePng},
    {"png grey alpha", ".png", true, "-colorspace gray -define png:color-type=4", kImagePng},
    {"png 16-bit", ".png", true, "-depth 16 -define png:color-type=6", kImagePng},
    {"png interlaced", ".png", true, "-interlace PNG", kImagePng},
    {"gif", ".gif", false, "", kImageGif},
    {"gif transparent", ".gif", true, "-channel A -threshold 50% +channel", kImageGif},
    {"gif interlaced", ".gif", false, "-interlace GIF", kImageGif},
    {"tiff plain", ".tif", false, "-compress none", kImageTiff},
    {"tiff lzw", ".tif", false, "-compress lzw", kImageTiff},
    {"tiff zip alpha", ".tif", true, "-compress zip", kImageTiff},
    {"tiff grey", ".tif", false, "-colorspace gray -compress lzw", kImageTiff},
    // libtiff narrows 16-bit colour maps by cutting, ImageMagick by rounding: the map is
    // made of 8-bit values so that both agree.
    {"tiff palette", ".tif", false, "-colors 16 -depth 8 -type palette", kImageTiff},
    {"tiff bottom-up", ".tif", false, "-orient bottom-left", kImageTiff},
    {"bmp 24", ".bmp", false, "-type truecolor", kImageBmp},
    {"bmp3 24", "bmp3:.bmp", false, "-type truecolor", kImageBmp},
    {"bmp 32 alpha", ".bmp", true, "-type truecolormatte", kImageBmp},
    {"bmp 8 palette", "bmp3:.bmp", false, "-colors 200 -type palette", kImageBmp},
    {"bmp 4 palette", "bmp3:.bmp", false, "-colors 12 -type palette", kImageBmp},
    {"bmp 1 bit", "bmp3:.bmp", false, "-monochrome", kImageBmp},
    {"bmp rle8", "bmp3:.bmp", false, "-colors 9 -type palette -compress rle", kImageBmp},
    {"bmp 565", ".bmp", false, "-define bmp:subtype=RGB565", kImageBmp},
    {"bmp 555", ".bmp", false, "-define bmp:subtype=RGB555", kImageBmp},
    {"bmp2", "bmp2:.bmp", false, "-colors 30 -type palette", kImageBmp},
    {"ico sizes", ".ico", true, "-define icon:auto-resize=32,16", kImageIco},
    {"ico palette", ".ico", false, "-colors 16 -type palette -resize 24x24!", kImageIco},
    {"ico png entry", ".ico", true, "-resize 256x256! -define icon:auto-resize=256,48", kImageIco},
    {"cur", ".cur", true, "-resize 32x32!", kImageCur},
};

// "bmp3:.bmp" -> the ImageMagick output name "bmp3:<path>" and the file path.
void Split(const Case &c, const TempFile &file, std::string *output)
{
    std::string suffix = c.suffix;
    size_t colon = suffix.find(':');
    *output = colon == std::string::npos ? file.Path() : suffix.substr(0, colon + 1) + file.Path();
}

std::string FileSuffix(const Case &c)
{
    std::string suffix = c.suffix;
    size_t colon = suffix.find(':');
    return colon == std::string::npos ? suffix : suffix.substr(colon + 1);
}

TEST(ImageDecode, SamePixelsAsMagick)
{
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.what);
        TempFile file(FileSuffix(c));
        std::string output;
        Split(c, file, &output);
        if (c.alpha)
            MakeAlphaPicture(output, 37, 23, c.options);
        else
            MakePicture(output, 37, 23, c.options);
        if (c.type == kImageCur) { // ImageMagick writes cursors with the icon type word
            std::vector<uint8_t> bytes = ReadBytes(file.Path());
            bytes[2] = 2;
            WriteBytes(file.Path(), bytes);
        }
        XImage image;
        ASSERT_TRUE(LoadFile(&image, file.Path()));
        EXPECT_EQ(c.type, image.GetSourceType());
        // GIF frames are whole pictures; TIFF rows follow the orientation tag.
        ExpectPixelsLikeMagick(image, file.Path(),
                               c.type == kImageGif    ? "-coalesce"
                               : c.type == kImageTiff ? "-auto-orient"
                                                      : "");
    }
}

// Parses a binary PPM (P6) or PGM (P5) into opaque ARGB pixels.
std::vector<uint32_t> ParsePnm(const std::string &pnm, int *w, int *h)
{
    std::istringstream in(pnm);
    std::string magic;
    int max = 0;
    in >> magic >> *w >> *h >> max;
    in.get();
    std::vector<uint32_t> pixels;
    bool grey = magic == "P5";
    for (int i = 0; i < *w * *h; ++i) {
        uint32_t r = static_cast<uint8_t>(in.get());
        uint32_t g = grey ? r : static_cast<uint8_t>(in.get());
        uint32_t b = grey ? r : static_cast<uint8_t>(in.get());
        pixels.push_back(0xFF000000u | (r << 16) | (g << 8) | b);
    }
    return pixels;
}

TEST(ImageDecode, JpegSamePixelsAsDjpeg)
{
    const char *options[] = {
        "-quality 85",                                 // 4:2:0 baseline
        "-quality 95 -sampling-factor 1x1",            // 4:4:4
        "-quality 70 -sampling-factor 2x1",            // 4:2:2
        "-interlace JPEG",                             // progressive
        "-colorspace gray",                            // one component
        "-quality 90 -define jpeg:restart-interval=1", // restart markers
    };
    for (const char *o : options) {
        SCOPED_TRACE(o);
        TempFile file(".jpg");
        MakePicture(file.Path(), 45, 29, o);
        int w = 0, h = 0;
        std::vector<uint32_t> want = ParsePnm(RunOk("djpeg -pnm '" + file.Path() + "'"), &w, &h);
        XImage image;
        ASSERT_TRUE(LoadFile(&image, file.Path()));
        EXPECT_EQ(kImageJpeg, image.GetSourceType());
        ASSERT_EQ(w, image.GetWidth());
        ASSERT_EQ(h, image.GetHeight());
        EXPECT_EQ(want, FramePixels(image, 0));
    }
}

TEST(ImageDecode, CmykJpegIsCloseToMagick)
{
    TempFile file(".jpg");
    MakePicture(file.Path(), 16, 16, "-colorspace cmyk -quality 95");
    XImage image;
    ASSERT_TRUE(LoadFile(&image, file.Path()));
    std::string rgb = RunOk("convert '" + file.Path() + "' -colorspace srgb -depth 8 rgb:-");
    ASSERT_EQ(size_t(16 * 16 * 3), rgb.size());
    int worst = 0;
    for (int i = 0; i < 256; ++i) {
        uint32_t p = image.GetPixel(i % 16, i / 16);
        for (int c = 0; c < 3; ++c) {
            int ours = (p >> (16 - 8 * c)) & 0xFF;
            worst = std::max(worst, std::abs(ours - static_cast<uint8_t>(rgb[size_t(i) * 3 + c])));
        }
    }
    EXPECT_LE(worst, 2); // both do the naive CMYK conversion; rounding may differ
}

TEST(ImageDecode, BareDibAndSniffing)
{
    TempFile file(".bmp");
    MakePicture("bmp3:" + file.Path(), 9, 5, "-type truecolor");
    std::vector<uint8_t> bytes = ReadBytes(file.Path());
    XImage fromFile, bare, hinted;
    ASSERT_TRUE(LoadFile(&fromFile, file.Path()));
    // Resource bitmaps lack the 14-byte file header.
    ASSERT_TRUE(bare.LoadBitmap(bytes.data() + 14, bytes.size() - 14));
    EXPECT_EQ(FramePixels(fromFile, 0), FramePixels(bare, 0));
    // LoadBitmap takes whole files of any format too; a wrong hint does not matter.
    ASSERT_TRUE(hinted.LoadBitmap(bytes.data(), bytes.size()));
    EXPECT_EQ(FramePixels(fromFile, 0), FramePixels(hinted, 0));
    ASSERT_TRUE(hinted.LoadFromBuffer(bytes.data(), bytes.size(), kImagePng));
    EXPECT_EQ(kImageBmp, hinted.GetSourceType());
}

} // namespace

namespace {

void Put16(std::vector<uint8_t> *v, uint32_t x)
{
    v->push_back(static_cast<uint8_t>(x));
    v->push_back(static_cast<uint8_t>(x >> 8));
}

void Put32(std::vector<uint8_t> *v, uint32_t x)
{
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// An icon whose one entry is a palette DIB with an AND mask, built from a BMP file.
std::vector<uint8_t> IconFromBmp(const std::vector<uint8_t> &bmp, int w, int h, int bpp)
{
    std::vector<uint8_t> dib(bmp.begin() + 14, bmp.end());
    uint32_t doubled = uint32_t(h) * 2;
    std::memcpy(dib.data() + 8, &doubled, 4); // little-endian host
    size_t maskStride = ((size_t(w) + 31) / 32) * 4;
    for (int y = 0; y < h; ++y)
        for (size_t i = 0; i < maskStride; ++i)
            dib.push_back(static_cast<uint8_t>(y % 3 == 0 ? 0xFF : 0x5A)); // mixed holes
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0};
    ico.push_back(static_cast<uint8_t>(w));
    ico.push_back(static_cast<uint8_t>(h));
    ico.push_back(bpp < 8 ? static_cast<uint8_t>(1 << bpp) : 0);
    ico.push_back(0);
    Put16(&ico, 1);
    Put16(&ico, static_cast<uint32_t>(bpp));
    Put32(&ico, static_cast<uint32_t>(dib.size()));
    Put32(&ico, 22);
    ico.insert(ico.end(), dib.begin(), dib.end());
    return ico;
}

TEST(ImageDecode, IconMaskLikeMagick)
{
    const struct
    {
        const char *options;
        int bpp;
    } cases[] = {{"-colors 12 -type palette", 4},
                 {"-monochrome", 1},
                 {"-colors 100 -type palette -compress none", 8},
                 {"-type truecolor", 24}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options);
        TempFile bmp(".bmp"), ico(".ico");
        MakePicture("bmp3:" + bmp.Path(), 20, 13, c.options);
        WriteBytes(ico.Path(), IconFromBmp(ReadBytes(bmp.Path()), 20, 13, c.bpp));
        XImage image;
        ASSERT_TRUE(LoadFile(&image, ico.Path()));
        ExpectPixelsLikeMagick(image, ico.Path());
        EXPECT_EQ(0u, image.GetPixel(0, 0)); // a masked pixel of the first mask row
    }
}

} // namespace
