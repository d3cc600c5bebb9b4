// Bytes that must not be trusted: huge dimensions, truncated and corrupt files. Each gives an
// empty image and a failed load, never a crash or a huge allocation.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corekit/archive/xbyte_archive.h"
#include "image_test_util.h"
#include "platform/panekit/image/ximage.h"

using namespace imagetest;

namespace {

using Bytes = std::vector<uint8_t>;

void Be32(Bytes *v, uint32_t x)
{
    for (int s = 24; s >= 0; s -= 8)
        v->push_back(static_cast<uint8_t>(x >> s));
}

void Le16(Bytes *v, uint32_t x)
{
    v->push_back(static_cast<uint8_t>(x));
    v->push_back(static_cast<uint8_t>(x >> 8));
}

void Le32(Bytes *v, uint32_t x)
{
    Le16(v, x & 0xFFFF);
    Le16(v, x >> 16);
}

uint32_t Crc32(const uint8_t *p, size_t n)
{
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

void PngChunk(Bytes *v, const char *type, const Bytes &data)
{
    Be32(v, static_cast<uint32_t>(data.size()));
    size_t start = v->size();
    v->insert(v->end(), type, type + 4);
    v->insert(v->end(), data.begin(), data.end());
    Be32(v, Crc32(v->data() + start, v->size() - start));
}

Bytes HugePng(uint32_t w, uint32_t h)
{
    Bytes v = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Be32(&ihdr, w);
    Be32(&ihdr, h);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    PngChunk(&v, "IHDR", ihdr);
    PngChunk(&v, "IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    PngChunk(&v, "IEND", {});
    return v;
}

Bytes HugeBmp(int32_t w, int32_t h, uint16_t bpp)
{
    Bytes v = {'B', 'M'};
    Le32(&v, 54 + 64);
    Le32(&v, 0);
    Le32(&v, 54);
    Le32(&v, 40);
    Le32(&v, static_cast<uint32_t>(w));
    Le32(&v, static_cast<uint32_t>(h));
    Le16(&v, 1);
    Le16(&v, bpp);
    for (int i = 0; i < 6; ++i)
        Le32(&v, 0);
    v.resize(v.size() + 64, 0x55);
    return v;
}

Bytes HugeGif(uint16_t sw, uint16_t sh, uint16_t fw, uint16_t fh)
{
    Bytes v = {'G', 'I', 'F', '8', '9', 'a'};
    Le16(&v, sw);
    Le16(&v, sh);
    v.insert(v.end(), {0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF}); // 2-colour global map
    v.push_back(',');
    Le16(&v, 0);
    Le16(&v, 0);
    Le16(&v, fw);
    Le16(&v, fh);
    v.insert(v.end(), {0, 2, 2, 0x4C, 0x01, 0, ';'});
    return v;
}

// A little-endian TIFF with one RGB page of w x h and a strip of 16 bytes.
Bytes HugeTiff(uint32_t w, uint32_t h)
{
    Bytes v = {'I', 'I', 42, 0};
    Le32(&v, 8);
    const uint32_t entries[][3] = {
        // tag, type (3 SHORT, 4 LONG), value
        {256, 4, w},   {257, 4, h}, {258, 3, 8}, {259, 3, 1},  {262, 3, 2},
        {273, 4, 200}, {277, 3, 3}, {278, 4, h}, {279, 4, 16},
    };
    Le16(&v, 9);
    for (const auto &e : entries) {
        Le16(&v, e[0]);
        Le16(&v, e[1]);
        Le32(&v, 1);
        if (e[1] == 3) {
            Le16(&v, e[2]);
            Le16(&v, 0);
        } else {
            Le32(&v, e[2]);
        }
    }
    Le32(&v, 0);
    v.resize(216, 0x77);
    return v;
}

// A baseline JPEG of 8 x 8 whose frame header is patched to w x h.
Bytes HugeJpeg(uint16_t w, uint16_t h)
{
    TempFile file(".jpg");
    RunOk("convert -size 8x8 xc:gray '" + file.Path() + "'");
    Bytes v = ReadBytes(file.Path());
    for (size_t i = 0; i + 8 < v.size(); ++i)
        if (v[i] == 0xFF && v[i + 1] == 0xC0) { // SOF0: length, precision, height, width
            v[i + 5] = static_cast<uint8_t>(h >> 8);
            v[i + 6] = static_cast<uint8_t>(h);
            v[i + 7] = static_cast<uint8_t>(w >> 8);
            v[i + 8] = static_cast<uint8_t>(w);
            break;
        }
    return v;
}

// An icon directory with one entry holding the given DIB or PNG bytes.
Bytes IconOf(const Bytes &entry)
{
    Bytes v = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0};
    Le32(&v, static_cast<uint32_t>(entry.size()));
    Le32(&v, 22);
    v.insert(v.end(), entry.begin(), entry.end());
    return v;
}

void ExpectRefused(const Bytes &bytes, const char *what)
{
    SCOPED_TRACE(what);
    XImage image;
    ASSERT_TRUE(image.CreateBitmap(2, 2)); // a failed load also drops the old content
    EXPECT_EQ(0, image.LoadFromBuffer(bytes.data(), bytes.size()));
    EXPECT_EQ(1, image.IsImageEmpty());
    EXPECT_EQ(nullptr, image.GetSurface());
    EXPECT_EQ(0, image.GetWidth());
    EXPECT_EQ(0, image.GetFrameCount());
}

TEST(ImageHostile, HugeDimensionsAreRefused)
{
    Bytes dib = HugeBmp(100000, 200000, 32);
    ExpectRefused(HugePng(100000, 100000), "png 100000 x 100000");
    ExpectRefused(HugePng(30000, 30000), "png 30000 x 30000, over the pixel budget");
    ExpectRefused(HugePng(0x7FFFFFFF, 1), "png 2^31-1 wide");
    ExpectRefused(HugeBmp(100000, 100000, 24), "bmp 100000 x 100000");
    ExpectRefused(HugeBmp(100000, -100000, 24), "bmp top-down 100000 x 100000");
    ExpectRefused(HugeBmp(20000, 20000, 24), "bmp 20000 x 20000, over the pixel budget");
    ExpectRefused(HugeBmp(1, INT32_MIN, 24), "bmp height INT32_MIN");
    ExpectRefused(HugeGif(65535, 65535, 1, 1), "gif screen 65535 x 65535");
    ExpectRefused(HugeGif(20000, 20000, 1, 1), "gif screen over the pixel budget");
    ExpectRefused(HugeGif(10, 10, 32000, 32000), "gif frame 32000 x 32000 on a small screen");
    ExpectRefused(HugeTiff(100000, 100000), "tiff 100000 x 100000");
    ExpectRefused(HugeTiff(30000, 30000), "tiff over the pixel budget");
    ExpectRefused(HugeJpeg(65000, 65000), "jpeg 65000 x 65000");
    ExpectRefused(IconOf(Bytes(dib.begin() + 14, dib.end())), "ico dib 100000 wide");
    ExpectRefused(IconOf(HugePng(100000, 100000)), "ico png 100000 x 100000");
}

TEST(ImageHostile, FramesPastTheBudgetAreDropped)
{
    Bytes v = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF};
    for (int i = 0; i < kImageMaxFrames + 4; ++i) // 1 x 1 frames, index 1 (white)
        v.insert(v.end(), {',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0});
    v.push_back(';');
    XImage image;
    ASSERT_EQ(1, image.LoadFromBuffer(v.data(), v.size()));
    EXPECT_EQ(kImageMaxFrames, image.GetFrameCount());
    ASSERT_EQ(1, image.LockFrame(kImageMaxFrames - 1));
    EXPECT_EQ(0xFFFFFFFFu, image.GetPixel(0, 0));
}

TEST(ImageHostile, TruncatedFilesAreEmpty)
{
    const char *files[] = {"png", "jpg", "gif", "tif", "bmp", "ico"};
    for (const char *ext : files) {
        TempFile file(std::string(".") + ext);
        MakePicture(file.Path(), 40, 30);
        Bytes whole = ReadBytes(file.Path());
        XImage image;
        ASSERT_TRUE(image.LoadFromBuffer(whole.data(), whole.size())) << ext;
        for (double part : {0.0, 0.05, 0.3, 0.6, 0.9}) {
            SCOPED_TRACE(testing::Message() << ext << " cut to " << part);
            Bytes cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(whole.size() * part));
            EXPECT_EQ(0, image.LoadFromBuffer(cut.data(), cut.size()));
            EXPECT_EQ(1, image.IsImageEmpty());
        }
    }
}

TEST(ImageHostile, CorruptBytesNeverCrash)
{
    // Flipped bytes after the signature: each load either fails cleanly or yields a sane image.
    const char *files[] = {"png", "jpg", "gif", "tif", "bmp", "ico"};
    uint32_t seed = 12345;
    for (const char *ext : files) {
        TempFile file(std::string(".") + ext);
        MakePicture(file.Path(), 24, 16);
        Bytes whole = ReadBytes(file.Path());
        for (int round = 0; round < 60; ++round) {
            Bytes v = whole;
            for (int k = 0; k < 4; ++k) {
                seed = seed * 1103515245u + 12345u;
                size_t at = 8 + (seed >> 8) % (v.size() - 8);
                v[at] = static_cast<uint8_t>(seed >> 3);
            }
            XImage image;
            if (image.LoadFromBuffer(v.data(), v.size())) {
                EXPECT_GT(image.GetWidth(), 0) << ext;
                EXPECT_LE(int64_t(image.GetWidth()) * image.GetHeight(), kImageMaxPixels) << ext;
            }
        }
    }
}

TEST(ImageHostile, EmptyAndNullInputs)
{
    XImage image;
    EXPECT_EQ(0, image.LoadFromBuffer(nullptr, 0));
    EXPECT_EQ(0, image.LoadFromBuffer("BM", 2));
    EXPECT_EQ(0, image.LoadFromBuffer("not an image at all", 19));
    EXPECT_EQ(0, image.LoadBitmap(nullptr, 0));
    EXPECT_EQ(0, image.LoadBitmap("\x28\0\0\0", 4));
    EXPECT_EQ(0, image.LoadFromFile(nullptr));
    EXPECT_EQ(0, image.LoadFromFile(u"/nonexistent/folder/x.png"));
    const std::string folder = zeptest::TestFolder().Path().string(); // a folder, not a file
    EXPECT_EQ(0, image.LoadFromFile(devkit::Utf8ToUtf16(folder.data(), folder.size()).c_str()));
    EXPECT_EQ(0, image.LoadFromDoc(nullptr));
    // A failed load from an archive leaves its cursor where it was.
    Bytes png = HugePng(100000, 100000);
    XByteArchive doc;
    doc.SetBuffer(png.data(), static_cast<uint32_t>(png.size()));
    ASSERT_TRUE(doc.Seek(0));
    EXPECT_EQ(0, image.LoadFromDoc(&doc));
    uint32_t pos = 99;
    ASSERT_TRUE(doc.Tell(&pos));
    EXPECT_EQ(0u, pos);
}

} // namespace
