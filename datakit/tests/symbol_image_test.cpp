// Symbols stored as PNG images and painted through the painter: the pixels must be the
// symbol's modules exactly, and every refused call must leave the archive or the surface
// untouched.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdio>
#include <string>
#include <vector>

#include "corekit/archive/xmemo_archive.h"
#include "datakit/barcode_render.h"
#include "datakit/qr_render.h"
#include "datakit/symbol_image.h"
#include "oracle_util.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/xpainter.h"
#include "scoped_util.h"

namespace {

constexpr uint32_t kRed = 0x0000FF;        // 0x00BBGGRR
constexpr uint32_t kRedPixel = 0xFFFF0000; // as XImage::GetPixel reports it
constexpr uint32_t kWhitePixel = 0xFFFFFFFF;

uint32_t StoredSize(XMemoArchive &doc)
{
    uint32_t size = 0;
    doc.Tell(&size);
    return size;
}

// Decodes what the archive holds from its start.
bool LoadStored(XMemoArchive &doc, XImage &image)
{
    doc.Seek(0);
    return image.LoadFromDoc(&doc) != 0;
}

// "" when every pixel of image is kRedPixel where bits is dark and white elsewhere.
std::string CompareWithBits(const XImage &image, const XBitImage &bits, int ox = 0, int oy = 0)
{
    for (uint32_t y = 0; y < bits.GetHeight(); y++)
        for (uint32_t x = 0; x < bits.GetWidth(); x++) {
            uint32_t want = bits.IsDark(x, y) ? kRedPixel : kWhitePixel;
            uint32_t got = image.GetPixel(ox + int(x), oy + int(y));
            if (got != want) {
                char buf[96];
                snprintf(buf, sizeof buf, "pixel %u,%u is %08X, not %08X", x, y, got, want);
                return buf;
            }
        }
    return "";
}

XBitImage FromRects(uint32_t width, uint32_t height, const std::vector<SymbolRect_t> &rects)
{
    XBitImage bits;
    bits.Create(width, height);
    for (const SymbolRect_t &r : rects)
        bits.FillRect(r.x, r.y, r.width, r.height);
    return bits;
}

TEST(SymbolImage, RefusedCallsStoreNothing)
{
    struct Case
    {
        const char *what;
        bool qr;
        const char16_t *text;
        int type;
        unsigned module;
        SIZE_t size;
    };
    const std::u16string overlong(1281, u'A');
    const Case cases[] = {
        {"barcode null text", false, nullptr, 1, 2, {0, 40}},
        {"barcode unknown type", false, u"ABC", 3, 2, {0, 40}},
        {"barcode module above 32", false, u"ABC", 0, 33, {0, 40}},
        {"barcode box narrower than the symbol", false, u"ABC", 1, 0, {20, 40}},
        {"barcode of zero height", false, u"ABC", 1, 2, {0, 0}},
        {"barcode negative size", false, u"ABC", 1, 2, {-5, 40}},
        {"qr null text", true, nullptr, 0, 2, {0, 0}},
        {"qr module above 100", true, u"1234", 0, 101, {0, 0}},
        {"qr box smaller than one module a side", true, u"1234", 0, 0, {100, 20}},
        {"qr text beyond 1280 bytes", true, overlong.c_str(), 0, 1, {0, 0}},
    };
    for (const Case &c : cases) {
        XMemoArchive doc;
        SIZE_t size = c.size;
        int ok = c.qr ? CreateQRCodeImage(&doc, c.text, kRed, c.module, &size)
                      : CreateBarcodeImage(&doc, c.text, c.type, kRed, c.module, &size);
        EXPECT_EQ(0, ok) << c.what;
        EXPECT_EQ(0u, StoredSize(doc)) << c.what;
        EXPECT_EQ(c.size.cx, size.cx) << c.what;
        EXPECT_EQ(c.size.cy, size.cy) << c.what;
    }
    SIZE_t size{0, 40};
    EXPECT_EQ(0, CreateBarcodeImage(nullptr, u"ABC", 1, kRed, 2, &size));
    EXPECT_EQ(0, CreateQRCodeImage(nullptr, u"ABC", kRed, 2, &size));
    XMemoArchive doc;
    EXPECT_EQ(0, CreateBarcodeImage(&doc, u"ABC", 1, kRed, 2, nullptr));
}

TEST(SymbolImage, StoredBarcodeIsTheSymbolInColourOnWhite)
{
    for (int type : {0, 1, 2, 0x100 | 1, 0x100 | 2}) {
        SCOPED_TRACE(type);
        XMemoArchive doc;
        SIZE_t size{0, 30};
        if (type & 0x100)
            size = {25, 0};
        ASSERT_EQ(1, CreateBarcodeImage(&doc, u"Zep-128 12345678", type, kRed, 3, &size));
        uint32_t width = (type & 0x100) ? 25 : 0, height = (type & 0x100) ? 0 : 30;
        XBitImage bits;
        ASSERT_TRUE(RenderBarcodeImage(u"Zep-128 12345678", type, 3, width, height, bits));
        EXPECT_EQ(int32_t(bits.GetWidth()), size.cx);
        EXPECT_EQ(int32_t(bits.GetHeight()), size.cy);

        XImage image;
        ASSERT_TRUE(LoadStored(doc, image));
        EXPECT_EQ(kImagePng, image.GetSourceType());
        ASSERT_EQ(size.cx, image.GetWidth());
        ASSERT_EQ(size.cy, image.GetHeight());
        EXPECT_EQ("", CompareWithBits(image, bits));
    }
}

TEST(SymbolImage, QRModuleFromTheBoxAndSizeWrittenBack)
{
    // 20 digits are a version-1 symbol of 21 modules: 100 x 80 gives module 3, 63 x 63.
    XMemoArchive doc;
    SIZE_t size{100, 80};
    ASSERT_EQ(1, CreateQRCodeImage(&doc, u"01234567890123456789", kRed, 0, &size));
    EXPECT_EQ(63, size.cx);
    EXPECT_EQ(63, size.cy);
    XImage image;
    ASSERT_TRUE(LoadStored(doc, image));
    uint32_t w = 100, h = 80;
    XBitImage bits;
    ASSERT_TRUE(RenderQRCodeImage(u"01234567890123456789", 0, w, h, bits));
    EXPECT_EQ("", CompareWithBits(image, bits));
}

// A white ARGB32 surface with a painter over it.
struct Canvas
{
    Canvas(int w, int h) : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h))
    {
        cairo_t *cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    ~Canvas() { cairo_surface_destroy(surface); }
    // The surface as an image, for pixel reads.
    void Snapshot(XImage &image) const
    {
        cairo_surface_flush(surface);
        image.CopyFromSurface(surface);
    }
    cairo_surface_t *surface;
};

TEST(SymbolImage, PaintedSymbolsFillTheirModulesAtTheOrigin)
{
    const int ox = 7, oy = 5;
    struct Case
    {
        bool qr;
        int type;
        unsigned width, height;
    };
    const Case cases[] = {{false, 2, 250, 40}, {false, 0x100 | 1, 30, 260}, {true, 0, 120, 90}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        Canvas canvas(280, 280);
        {
            XPainter painter(canvas.surface, nullptr);
            int ok =
                c.qr ? PaintQRCodeImage(&painter, u"HELLO 你好", ox, oy, c.width, c.height, kRed)
                     : PaintBarcodeImage(&painter, u"AB12345", c.type, ox, oy, c.width, c.height,
                                         kRed);
            ASSERT_EQ(1, ok);
        }
        std::vector<SymbolRect_t> rects;
        ASSERT_TRUE(c.qr ? LayoutQRCodeBox(u"HELLO 你好", c.width, c.height, rects)
                         : LayoutBarcodeBox(u"AB12345", c.type, c.width, c.height, rects));
        XImage image;
        canvas.Snapshot(image);
        EXPECT_EQ("", CompareWithBits(image, FromRects(c.width, c.height, rects), ox, oy));
        EXPECT_EQ(kWhitePixel, image.GetPixel(ox - 1, oy - 1));
    }
}

TEST(SymbolImage, RefusedPaintsLeaveTheSurfaceWhite)
{
    Canvas canvas(60, 60);
    {
        XPainter painter(canvas.surface, nullptr);
        EXPECT_EQ(0, PaintBarcodeImage(&painter, u"ABCDEF", 1, 0, 0, 40, 40, kRed)); // module 0
        EXPECT_EQ(0, PaintBarcodeImage(&painter, nullptr, 1, 0, 0, 400, 40, kRed));
        EXPECT_EQ(0, PaintBarcodeImage(&painter, u"ABC", 7, 0, 0, 400, 40, kRed));
        EXPECT_EQ(0, PaintQRCodeImage(&painter, u"ABC", 0, 0, 20, 60, kRed)); // 21 modules
        EXPECT_EQ(0, PaintQRCodeImage(nullptr, u"ABC", 0, 0, 60, 60, kRed));
    }
    XImage image;
    canvas.Snapshot(image);
    for (int y = 0; y < 60; y++)
        for (int x = 0; x < 60; x++)
            ASSERT_EQ(kWhitePixel, image.GetPixel(x, y)) << x << "," << y;
}

// The stored PNGs, given a white margin, read back through zbarimg.
TEST(SymbolImage, StoredImagesScan)
{
    ASSERT_TRUE(HaveTool("zbarimg") && HaveTool("convert"));
    TempFolder temp;
    ASSERT_FALSE(temp.Path().empty());
    const std::string &folder = temp.Path();
    struct Case
    {
        bool qr;
        int type;
        const char16_t *text;
        std::string expected;
    };
    const Case cases[] = {{true, 0, u"https://zep.example/订单?id=42", ""},
                          {false, 2, u"INV-2026-000123", "INV-2026-000123"},
                          {false, 0, u"CODE 39", "CODE 39"}};
    int n = 0;
    for (const Case &c : cases) {
        XMemoArchive doc;
        SIZE_t size{0, 60};
        ASSERT_EQ(1, c.qr ? CreateQRCodeImage(&doc, c.text, 0, 4, &size)
                          : CreateBarcodeImage(&doc, c.text, c.type, 0, 2, &size));
        XImage image;
        ASSERT_TRUE(LoadStored(doc, image));
        const std::string path = folder + "/symbol" + std::to_string(n++) + ".png";
        std::u16string wide(path.begin(), path.end());
        ASSERT_TRUE(image.SaveToFile(wide.c_str()));
        RunCommand("convert " + path + " -bordercolor white -border 40 " + path);
        std::string read = RunCommand("zbarimg --raw -q -Sbinary " + path + " 2>/dev/null");
        if (!read.empty() && read.back() == '\n')
            read.pop_back();
        std::string expected = c.qr ? ToAnsiBytes(c.text) : c.expected;
        EXPECT_EQ(expected, read) << path;
    }
}

} // namespace
