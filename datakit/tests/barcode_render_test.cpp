#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datakit/barcode_render.h"

namespace {

// "12345" in code sets C and B: six symbols of 11 modules, the 13-module stop and the
// final 1-module space, 80 modules; it starts with a 2-module bar and ends with a
// 2-module bar and a 1-module space.
constexpr const char16_t *kText = u"12345";
constexpr unsigned kTotal = 80;

// The horizontal image's row of pixels as '1' (dark) and '0'.
std::string Row(const XBitImage &image, uint32_t y)
{
    std::string row;
    for (uint32_t x = 0; x < image.GetWidth(); x++)
        row += image.IsDark(x, y) ? '1' : '0';
    return row;
}

std::string Column(const XBitImage &image, uint32_t x)
{
    std::string column;
    for (uint32_t y = 0; y < image.GetHeight(); y++)
        column += image.IsDark(x, y) ? '1' : '0';
    return column;
}

TEST(BitImage, CreateAndFill)
{
    XBitImage image;
    EXPECT_FALSE(image.Create(0, 5));
    EXPECT_FALSE(image.Create(5, 0));
    EXPECT_FALSE(image.Create(XBitImage::kMaxSide + 1, 1));
    EXPECT_FALSE(image.Create(XBitImage::kMaxSide, XBitImage::kMaxSide)); // too many pixels
    EXPECT_EQ(0u, image.GetWidth());

    ASSERT_TRUE(image.Create(20, 3));
    EXPECT_EQ(3u, image.GetStride());
    image.FillRect(3, 1, 14, 1);     // spans three bytes
    image.FillRect(-5, -5, 7, 6);    // clipped at the top left
    image.FillRect(19, 2, 100, 100); // clipped at the bottom right
    image.FillRect(5, 0, 0, 3);      // empty
    EXPECT_EQ("11000000000000000000", Row(image, 0));
    EXPECT_EQ("00011111111111111000", Row(image, 1));
    EXPECT_EQ("00000000000000000001", Row(image, 2));
    EXPECT_FALSE(image.IsDark(20, 2));
    EXPECT_FALSE(image.IsDark(0, 3));
}

TEST(BarcodeImage, ModuleFromSize)
{
    struct Case
    {
        int type;
        unsigned module;
        uint32_t width, height;
        bool ok;
        uint32_t imageWidth, imageHeight; // also the size afterwards
    } cases[] = {
        {kBarcodeCode128Auto, 0, 100, 30, true, 80, 30},
        {kBarcodeCode128Auto, 0, 239, 30, true, 160, 30},
        {kBarcodeCode128Auto, 3, 1, 30, true, 240, 30},
        {kBarcodeCode128Auto, 32, 1, 30, true, 2560, 30},
        {kBarcodeCode128Auto, 33, 1000, 30, false, 1000, 30},
        {kBarcodeCode128Auto, 0, 79, 30, false, 79, 30},
        {kBarcodeCode128Auto | kBarcodeVertical, 0, 30, 170, true, 30, 160},
        {kBarcodeCode128Auto | kBarcodeVertical, 0, 30, 79, false, 30, 79},
        {kBarcodeCode128Auto | kBarcodeVertical, 1, 30, 0, true, 30, 80},
        {kBarcodeCode128Auto, 1, 10, 0, false, 10, 0},
        {3, 1, 10, 10, false, 10, 10},
    };
    for (size_t i = 0; i < std::size(cases); i++) {
        const Case &c = cases[i];
        XBitImage image;
        uint32_t width = c.width, height = c.height;
        EXPECT_EQ(c.ok, RenderBarcodeImage(kText, c.type, c.module, width, height, image))
            << "case " << i;
        EXPECT_EQ(c.imageWidth, width) << "case " << i;
        EXPECT_EQ(c.imageHeight, height) << "case " << i;
        EXPECT_EQ(c.ok ? c.imageWidth : 0, image.GetWidth()) << "case " << i;
        EXPECT_EQ(c.ok ? c.imageHeight : 0, image.GetHeight()) << "case " << i;
    }
    uint32_t width = 100, height = 30;
    XBitImage image;
    EXPECT_FALSE(RenderBarcodeImage(nullptr, kBarcodeCode39, 1, width, height, image));
}

// Horizontal bars run top to bottom from the left; vertical images read upwards.
TEST(BarcodeImage, BarPlacement)
{
    XBitImage image;
    uint32_t width = 0, height = 3;
    ASSERT_TRUE(RenderBarcodeImage(kText, kBarcodeCode128Auto, 2, width, height, image));
    std::string row = Row(image, 0);
    EXPECT_EQ("1111001100001111", row.substr(0, 16)); // start C "211232" at 2 pixels
    EXPECT_EQ("111100", row.substr(row.size() - 6));
    EXPECT_EQ(row, Row(image, 2));

    width = 4;
    height = 0;
    ASSERT_TRUE(
        RenderBarcodeImage(kText, kBarcodeCode128Auto | kBarcodeVertical, 1, width, height, image));
    std::string column = Column(image, 0);
    ASSERT_EQ(kTotal, column.size());
    // From the top: the final space, then the stop pattern backwards.
    EXPECT_EQ("01101011100", column.substr(0, 11));
    // From the bottom: start C.
    EXPECT_EQ("11010011100", std::string(column.rbegin(), column.rbegin() + 11));
    EXPECT_EQ(column, Column(image, 3));
}

// Painting: module from the box, bars across the whole box, the first at the left or top.
TEST(BarcodeImage, PaintBox)
{
    std::vector<SymbolRect_t> bars;
    ASSERT_TRUE(LayoutBarcodeBox(kText, kBarcodeCode128Auto, 170, 40, bars));
    ASSERT_FALSE(bars.empty());
    EXPECT_EQ(0, bars[0].x);
    EXPECT_EQ(0, bars[0].y);
    EXPECT_EQ(4u, bars[0].width); // module 2, bar of 2 modules
    EXPECT_EQ(40u, bars[0].height);
    EXPECT_EQ(6, bars[1].x); // after a 1-module space
    EXPECT_EQ(2 * (kTotal - 3), static_cast<unsigned>(bars.back().x));

    ASSERT_TRUE(LayoutBarcodeBox(kText, kBarcodeCode128Auto | kBarcodeVertical, 40, 80, bars));
    EXPECT_EQ(0, bars[0].x);
    EXPECT_EQ(0, bars[0].y);
    EXPECT_EQ(40u, bars[0].width);
    EXPECT_EQ(2u, bars[0].height);
    EXPECT_EQ(3, bars[1].y);

    EXPECT_FALSE(LayoutBarcodeBox(kText, kBarcodeCode128Auto, 79, 40, bars));
    EXPECT_TRUE(bars.empty());
    EXPECT_FALSE(LayoutBarcodeBox(kText, kBarcodeCode128Auto | kBarcodeVertical, 400, 79, bars));
    EXPECT_FALSE(LayoutBarcodeBox(nullptr, kBarcodeCode39, 400, 79, bars));
}

} // namespace
