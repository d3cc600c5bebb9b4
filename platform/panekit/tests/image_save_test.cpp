// Encoders: our PNG, JPEG, TIFF and BMP files pass the format checkers, decode elsewhere to
// the pixels we hold, and reach archives, memory and files as asked.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/memory.h"
#include "image_test_util.h"
#include "platform/panekit/image/ximage.h"

using namespace imagetest;

namespace {

// An image loaded from a picture ImageMagick draws, opaque or with an alpha ramp.
void Picture(XImage *image, int w, int h, bool alpha)
{
    TempFile file(".png");
    if (alpha)
        MakeAlphaPicture(file.Path(), w, h);
    else
        MakePicture(file.Path(), w, h);
    ASSERT_TRUE(LoadFile(image, file.Path()));
}

// Mean absolute difference per channel between two opaque images of one size.
double MeanError(const XImage &a, const XImage &b)
{
    std::vector<uint32_t> pa = FramePixels(a, 0), pb = FramePixels(b, 0);
    if (pa.size() != pb.size() || pa.empty())
        return 1e9;
    double sum = 0;
    for (size_t i = 0; i < pa.size(); ++i)
        for (int s = 0; s < 24; s += 8)
            sum += std::abs(int((pa[i] >> s) & 0xFF) - int((pb[i] >> s) & 0xFF));
    return sum / (pa.size() * 3.0);
}

struct LosslessCase
{
    const char *suffix;
    bool alpha;
    const char *checker; // a command that must accept the file ("" for none)
};

const LosslessCase kLossless[] = {
    {".png", false, "pngcheck -q"},
    {".png", true, "pngcheck -q"},
    {".PNG", false, "pngcheck -q"},
    {".tif", false, "tiffinfo -D"},
    {".tiff", true, "tiffinfo -D"},
    {".bmp", false, ""},
    {".bmp", true, ""},
    {".xyz", false, "pngcheck -q"},
};

TEST(ImageSave, LosslessFilesPassCheckersAndKeepPixels)
{
    for (const LosslessCase &c : kLossless) {
        SCOPED_TRACE(testing::Message() << c.suffix << (c.alpha ? " alpha" : ""));
        XImage image;
        Picture(&image, 31, 19, c.alpha);
        TempFile file(c.suffix);
        ASSERT_EQ(1, image.SaveToFile(file.Wide().c_str(), 0));
        if (*c.checker != 0) {
            int status = -1;
            std::string out =
                imagetest::Run(std::string(c.checker) + " '" + file.Path() + "' 2>&1", &status);
            EXPECT_EQ(0, status) << out;
            EXPECT_EQ(std::string::npos, out.find("rror")) << out;
        }
        RunOk("identify '" + file.Path() + "' >/dev/null");
        ExpectPixelsLikeMagick(image, file.Path());
        XImage back;
        ASSERT_TRUE(LoadFile(&back, file.Path()));
        EXPECT_EQ(FramePixels(image, 0), FramePixels(back, 0));
    }
}

TEST(ImageSave, Gif)
{
    // Few colours and sharp transparency: kept exactly.
    XImage image;
    ASSERT_TRUE(image.CreateBitmap(12, 9, 32));
    ASSERT_TRUE(image.FillPixColor(0, 0, 6, 9, 0x3366CC));
    ASSERT_TRUE(image.FillPixColor(6, 3, 5, 2, 0x00FF80));
    TempFile exact(".gif");
    ASSERT_EQ(1, image.SaveToFile(exact.Wide().c_str()));
    EXPECT_EQ("GIF 12 9\n", RunOk("identify -format '%m %w %h\\n' '" + exact.Path() + "'"));
    ExpectPixelsLikeMagick(image, exact.Path());
    // Many colours: a median-cut palette that stays close.
    XImage picture;
    Picture(&picture, 40, 30, false);
    TempFile cut(".gif");
    ASSERT_EQ(1, picture.SaveToFile(cut.Wide().c_str()));
    XImage back;
    ASSERT_TRUE(LoadFile(&back, cut.Path()));
    EXPECT_EQ("GIF 40 30\n", RunOk("identify -format '%m %w %h\\n' '" + cut.Path() + "'"));
    EXPECT_LT(MeanError(picture, back), 12.0); // a noisy picture through a crude quantizer
}

TEST(ImageSave, MultiPageTiff)
{
    TempFile a(".png"), tif(".tif"), ours(".tif");
    MakePicture(a.Path(), 13, 8);
    RunOk("convert '" + a.Path() + "' -size 6x11 xc:orange -size 3x3 xc:none '" + tif.Path() + "'");
    XImage image;
    ASSERT_TRUE(LoadFile(&image, tif.Path()));
    ASSERT_EQ(3, image.GetFrameCount());
    ASSERT_EQ(1, image.SaveToFile(ours.Wide().c_str()));
    int status = -1;
    std::string info = imagetest::Run("tiffinfo '" + ours.Path() + "' 2>&1", &status);
    EXPECT_EQ(0, status) << info;
    EXPECT_EQ(std::string::npos, info.find("rror")) << info;
    EXPECT_EQ("3\n", RunOk("identify -format '%n\\n' '" + ours.Path() + "' | head -1"));
    ExpectPixelsLikeMagick(image, ours.Path());
}

TEST(ImageSave, JpegQuality)
{
    XImage image;
    {
        TempFile smooth(".png"); // smooth, so that the loss measures the quality alone
        RunOk("convert -size 64x48 gradient:orange-navy -depth 8 '" + smooth.Path() + "'");
        ASSERT_TRUE(LoadFile(&image, smooth.Path()));
    }
    size_t sizes[3] = {};
    const int qualities[] = {20, 95, 0};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(qualities[i]);
        TempFile file(".jpg");
        ASSERT_EQ(1, image.SaveToFile(file.Wide().c_str(), qualities[i]));
        EXPECT_EQ("JPEG 64 48\n", RunOk("identify -format '%m %w %h\\n' '" + file.Path() + "'"));
        RunOk("djpeg -pnm '" + file.Path() + "' >/dev/null");
        sizes[i] = ReadBytes(file.Path()).size();
        XImage back;
        ASSERT_TRUE(LoadFile(&back, file.Path()));
        EXPECT_LT(MeanError(image, back), qualities[i] == 20 ? 4.0 : 1.5);
    }
    EXPECT_LT(sizes[0], sizes[1]);
    // Out-of-range qualities take the default of 80.
    uint32_t q0 = 0, q80 = 0, q500 = 0;
    uint8_t *a = image.EncodeImage(kImageJpeg, 0, &q0);
    uint8_t *b = image.EncodeImage(kImageJpeg, 80, &q80);
    uint8_t *c = image.EncodeImage(kImageJpeg, 500, &q500);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(q80, q0);
    EXPECT_EQ(q80, q500);
    EXPECT_EQ(0, std::memcmp(a, b, q80));
    MemFree(a);
    MemFree(b);
    MemFree(c);
}

TEST(ImageSave, TransparentPartsOfJpegAreWhite)
{
    XImage image;
    ASSERT_TRUE(image.CreateBitmap(16, 16, 32));
    TempFile file(".jpg");
    ASSERT_EQ(1, image.SaveToFile(file.Wide().c_str(), 95));
    XImage back;
    ASSERT_TRUE(LoadFile(&back, file.Path()));
    EXPECT_EQ(0xFFFFFFFFu, back.GetPixel(8, 8));
}

TEST(ImageSave, ArchivesAndThumbnails)
{
    XImage image;
    Picture(&image, 40, 30, true);
    const struct
    {
        int type;
        const char *magic;
    } cases[] = {{kImagePng, "\x89PNG"}, {kImageJpeg, "\xFF\xD8\xFF"}, {kImageTiff, "II*"},
                 {kImageBmp, "BM"},      {kImageGif, "GIF8"},          {kImageUnknown, "\x89PNG"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.type);
        XMemoArchive *doc = XMemoArchive::Malloc();
        doc->Write("head", 4); // the image is appended at the cursor
        ASSERT_EQ(1, image.SaveImageDoc(doc, c.type, 90));
        ASSERT_TRUE(doc->Seek(4));
        char head[4] = {};
        ASSERT_TRUE(doc->Read(head, 4));
        EXPECT_EQ(0, std::memcmp(head, c.magic, std::strlen(c.magic)));
        ASSERT_TRUE(doc->Seek(4));
        XImage back;
        ASSERT_EQ(1, back.LoadFromDoc(doc));
        EXPECT_EQ(1, doc->IsEndOfDoc());
        EXPECT_EQ(40, back.GetWidth());
        if (c.type != kImageJpeg && c.type != kImageGif) {
            EXPECT_EQ(FramePixels(image, 0), FramePixels(back, 0));
        }
        doc->Release();
    }
    XMemoArchive *doc = XMemoArchive::Malloc();
    ASSERT_EQ(1, image.SaveThumbImage(doc, 12, 7, kImageJpeg, 80));
    ASSERT_TRUE(doc->Seek(0));
    XImage thumb;
    ASSERT_EQ(1, thumb.LoadFromDoc(doc));
    EXPECT_EQ(12, thumb.GetWidth());
    EXPECT_EQ(7, thumb.GetHeight());
    EXPECT_EQ(0, image.SaveThumbImage(doc, 0, 7, kImageJpeg, 80));
    doc->Release();
}

TEST(ImageSave, FailuresWriteNothing)
{
    XImage empty;
    TempFile file(".png");
    EXPECT_EQ(0, empty.SaveToFile(file.Wide().c_str()));
    EXPECT_TRUE(ReadBytes(file.Path()).empty());
    uint32_t size = 9;
    EXPECT_EQ(nullptr, empty.EncodeImage(kImagePng, 0, &size));
    EXPECT_EQ(0u, size);
    XMemoArchive *doc = XMemoArchive::Malloc();
    EXPECT_EQ(0, empty.SaveImageDoc(doc, kImagePng, 0));
    EXPECT_EQ(0u, doc->GetMaxSize());
    doc->Release();
    XImage image;
    ASSERT_TRUE(image.CreateBitmap(3, 3));
    EXPECT_EQ(0, image.SaveToFile(u"/nonexistent/folder/x.png"));
    EXPECT_EQ(0, image.SaveToFile(nullptr));
    EXPECT_EQ(0, image.SaveImageDoc(nullptr, kImagePng, 0));
}

TEST(ImageSave, TypeNames)
{
    const struct
    {
        const char16_t *name;
        int type;
    } cases[] = {
        {u"a.jpg", kImageJpeg},
        {u"JPEG", kImageJpeg},
        {u"c:\\p\\x.JPE", kImageJpeg},
        {u"png", kImagePng},
        {u"/a.b/c.Png", kImagePng},
        {u"x.bmp", kImageBmp},
        {u"x.dib", kImageBmp},
        {u"x.gif", kImageGif},
        {u"x.tif", kImageTiff},
        {u"x.TIFF", kImageTiff},
        {u"i.ico", kImageIco},
        {u"c.cur", kImageCur},
        {u"jfif", kImageJpeg},
        {u"x.pngx", kImageUnknown},
        {u"/a.png/readme", kImageUnknown},
        {u"", kImageUnknown},
        {u"x.", kImageUnknown},
        {u"x.\u00e9pg", kImageUnknown},
        {u"x.verylongextension", kImageUnknown},
        {nullptr, kImageUnknown},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.type, XImage::GetImageType(c.name)) << (c.name ? "name" : "null");
        if (c.name != nullptr) {
            std::u16string w(c.name);
            std::string narrow = devkit::Utf16ToUtf8(w.data(), w.size());
            EXPECT_EQ(c.type, XImage::GetImageType(narrow.c_str())) << narrow;
        }
    }
    EXPECT_EQ(kImageUnknown, XImage::GetImageType(static_cast<const char *>(nullptr)));
}

} // namespace
