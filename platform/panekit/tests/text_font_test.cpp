// Font handles and the 76-byte font record.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/text/font_record.h"

namespace {

struct FontDeleter
{
    void operator()(XFontHandle *f) const { ReleaseFontHandle(f); }
};
using FontPtr = std::unique_ptr<XFontHandle, FontDeleter>;

FontPtr MakeFont(const char16_t *family, int32_t size, uint32_t flags = 0)
{
    return FontPtr(CreateFontHandle(family, -1, size, flags));
}

// The family fontconfig and Pango actually load for a description, read back through a
// context of the test's own.
std::string LoadedFamily(const PangoFontDescription *desc)
{
    PangoFontMap *map = pango_cairo_font_map_new();
    PangoContext *context = pango_font_map_create_context(map);
    PangoFont *font = pango_font_map_load_font(map, context, desc);
    PangoFontDescription *loaded = pango_font_describe(font);
    std::string family = pango_font_description_get_family(loaded);
    pango_font_description_free(loaded);
    g_object_unref(font);
    g_object_unref(context);
    g_object_unref(map);
    return family;
}

TEST(TextFont, MetricsGrowWithThePixelSize)
{
    int lastHeight = 0;
    for (int size : {12, 16, 24}) {
        SCOPED_TRACE(size);
        FontPtr font = MakeFont(u"宋体", size);
        EXPECT_EQ(size, font->pixelSize);
        EXPECT_GT(font->ascent, size / 2);
        EXPECT_LE(font->ascent, size);
        EXPECT_GT(font->descent, 0);
        EXPECT_LT(font->descent, size / 2);
        EXPECT_EQ(font->ascent + font->descent, font->height);
        EXPECT_GE(font->height, size);
        EXPECT_LE(font->height, size * 3 / 2);
        // Latin characters of a Chinese font are half as wide as its ideographs.
        EXPECT_GE(font->avgCharWidth, size / 3);
        EXPECT_LE(font->avgCharWidth, size * 2 / 3 + 1);
        EXPECT_GT(font->height, lastHeight);
        lastHeight = font->height;
        EXPECT_EQ(size * PANGO_SCALE, pango_font_description_get_size(font->desc));
        EXPECT_TRUE(pango_font_description_get_size_is_absolute(font->desc));
    }
}

TEST(TextFont, ChineseFamilyNamesResolveToTheShippedFont)
{
    for (const char16_t *family : {u"宋体", u"SimSun"}) {
        FontPtr font = MakeFont(family, 16);
        EXPECT_EQ("AR PL UMing CN", LoadedFamily(font->desc));
    }
    EXPECT_EQ("AR PL UMing CN", LoadedFamily(GetDefaultFontHandle()->desc));
}

TEST(TextFont, CreationNormalisesItsArguments)
{
    struct Case
    {
        const char16_t *family;
        int len;
        int32_t size;
        uint32_t flags;
        std::u16string wantFamily;
        int32_t wantSize;
        uint32_t wantFlags;
    };
    const Case cases[] = {
        {u"宋体", -1, 16, kFontFlagBold, u"宋体", 16, kFontFlagBold},
        {nullptr, -1, 0, 0, u"宋体", 12, 0},
        {u"", -1, 12, 0, u"宋体", 12, 0},
        {u"SimSunX", 6, -20, 0, u"SimSun", 20, 0},
        {u"SimSun", -1, 5000, 0xF0 | kFontFlagItalic, u"SimSun", 1000, kFontFlagItalic},
        {u"SimSun", -1, INT32_MIN, 0, u"SimSun", 1000, 0},
        {u"SimSun", 0, 14, 0xF, u"宋体", 14, 0xF},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.size);
        FontPtr font(CreateFontHandle(c.family, c.len, c.size, c.flags));
        EXPECT_EQ(c.wantFamily, std::u16string(font->family));
        EXPECT_EQ(c.wantSize, font->pixelSize);
        EXPECT_EQ(c.wantFlags, font->flags);
        EXPECT_EQ(1, font->refCount);
    }
}

TEST(TextFont, StyleFlagsReachTheDescription)
{
    FontPtr plain = MakeFont(u"宋体", 12);
    FontPtr styled = MakeFont(u"宋体", 12, kFontFlagBold | kFontFlagItalic | kFontFlagUnderline);
    EXPECT_EQ(PANGO_WEIGHT_NORMAL, pango_font_description_get_weight(plain->desc));
    EXPECT_EQ(PANGO_STYLE_NORMAL, pango_font_description_get_style(plain->desc));
    EXPECT_EQ(PANGO_WEIGHT_BOLD, pango_font_description_get_weight(styled->desc));
    EXPECT_EQ(PANGO_STYLE_ITALIC, pango_font_description_get_style(styled->desc));
}

TEST(TextFont, ReferencesAndSameness)
{
    XFontHandle *font = CreateFontHandle(u"宋体", -1, 12, 0);
    EXPECT_EQ(font, RetainFontHandle(font));
    EXPECT_EQ(2, font->refCount);
    ReleaseFontHandle(font);
    EXPECT_EQ(1, font->refCount);
    ReleaseFontHandle(font); // freed; the sanitizer reports a leak or a double free otherwise
    EXPECT_EQ(nullptr, RetainFontHandle(nullptr));
    ReleaseFontHandle(nullptr);

    FontPtr a = MakeFont(u"宋体", 12);
    FontPtr b = MakeFont(u"宋体", 12);
    FontPtr bold = MakeFont(u"宋体", 12, kFontFlagBold);
    FontPtr big = MakeFont(u"宋体", 13);
    FontPtr other = MakeFont(u"SimSun", 12);
    FontPtr prefix = MakeFont(u"宋", 12);
    EXPECT_EQ(1, IsSameFont(a.get(), b.get()));
    EXPECT_EQ(1, IsSameFont(a.get(), GetDefaultFontHandle()));
    EXPECT_EQ(0, IsSameFont(a.get(), bold.get()));
    EXPECT_EQ(0, IsSameFont(a.get(), big.get()));
    EXPECT_EQ(0, IsSameFont(a.get(), other.get()));
    EXPECT_EQ(0, IsSameFont(a.get(), prefix.get()));
    EXPECT_EQ(0, IsSameFont(a.get(), nullptr));
    EXPECT_EQ(1, IsSameFont(nullptr, nullptr));
    EXPECT_EQ(GetDefaultFontHandle(), GetDefaultFontHandle());
}

TEST(TextFontRecord, StoredFormIsLittleEndianFieldByField)
{
    XFontRecord_t record;
    InitFontRecord(&record);
    record.size = -16;
    record.flags = kFontFlagBold | kFontFlagUnderline;
    record.color = 0x00332211;
    SetFontRecordFace(&record, u"宋体A", -1);

    unsigned char bytes[80];
    std::memset(bytes, 0xEE, sizeof bytes);
    ASSERT_EQ(76u, StoreFontRecord(&record, bytes, sizeof bytes));
    const unsigned char head[] = {0xF0, 0xFF, 0xFF, 0xFF, 0x05, 0,    0,    0,    0x11, 0x22,
                                  0x33, 0x00, 0x8B, 0x5B, 0x53, 0x4F, 0x41, 0x00, 0x00, 0x00};
    EXPECT_EQ(0, std::memcmp(head, bytes, sizeof head));
    for (size_t i = sizeof head; i < 76; ++i)
        EXPECT_EQ(0, bytes[i]) << i;
    EXPECT_EQ(0xEE, bytes[76]); // nothing past the record

    XFontRecord_t back;
    ASSERT_EQ(1, LoadFontRecord(&back, bytes, 76));
    EXPECT_EQ(-16, back.size);
    EXPECT_EQ(record.flags, back.flags);
    EXPECT_EQ(record.color, back.color);
    EXPECT_EQ(u"宋体A", std::u16string(back.face, size_t(GetFontRecordFaceLength(&back))));
}

TEST(TextFontRecord, ShortBuffersAreRefused)
{
    XFontRecord_t record;
    InitFontRecord(&record);
    record.size = 9;
    unsigned char bytes[76] = {};
    EXPECT_EQ(0u, StoreFontRecord(&record, bytes, 75));
    EXPECT_EQ(0u, StoreFontRecord(&record, nullptr, 76));
    bytes[0] = 12;
    EXPECT_EQ(0, LoadFontRecord(&record, bytes, 75));
    EXPECT_EQ(0, record.size); // emptied, not half read
    EXPECT_EQ(0xFFFFFFFFu, record.color);
    EXPECT_EQ(0, LoadFontRecord(&record, nullptr, 76));
}

TEST(TextFontRecord, FaceIsCutToThirtyTwoUnitsWithoutSplittingAPair)
{
    XFontRecord_t record;
    InitFontRecord(&record);
    std::u16string full(40, u'x');
    SetFontRecordFace(&record, full.c_str(), -1);
    EXPECT_EQ(32, GetFontRecordFaceLength(&record));

    // A pair at units 31-32 does not fit and is left out whole.
    std::u16string paired = std::u16string(31, u'y') + u"\U00020000z";
    SetFontRecordFace(&record, paired.c_str(), -1);
    EXPECT_EQ(31, GetFontRecordFaceLength(&record));
    SetFontRecordFace(&record, u"ab", 1);
    EXPECT_EQ(1, GetFontRecordFaceLength(&record));
    SetFontRecordFace(&record, nullptr, 5);
    EXPECT_EQ(0, GetFontRecordFaceLength(&record));

    // A stored face that uses all 32 units has no terminator and still reads as 32.
    unsigned char bytes[76];
    SetFontRecordFace(&record, full.c_str(), -1);
    StoreFontRecord(&record, bytes, 76);
    XFontRecord_t back;
    LoadFontRecord(&back, bytes, 76);
    EXPECT_EQ(32, GetFontRecordFaceLength(&back));
}

TEST(TextFontRecord, ConvertsToAndFromHandles)
{
    XFontRecord_t record;
    InitFontRecord(&record);
    record.size = -24;
    record.flags = kFontFlagItalic | 0x100;
    SetFontRecordFace(&record, u"SimSun", -1);
    FontPtr font(CreateFontHandle(&record));
    EXPECT_EQ(u"SimSun", std::u16string(font->family));
    EXPECT_EQ(24, font->pixelSize);
    EXPECT_EQ(kFontFlagItalic, font->flags);

    XFontRecord_t back;
    GetFontRecord(font.get(), 0x0000FF, &back);
    EXPECT_EQ(24, back.size);
    EXPECT_EQ(kFontFlagItalic, back.flags);
    EXPECT_EQ(0x0000FFu, back.color);
    EXPECT_EQ(u"SimSun", std::u16string(back.face));

    GetFontRecord(nullptr, 0xFFFFFFFF, &back);
    EXPECT_EQ(0, back.size);
    EXPECT_EQ(0, GetFontRecordFaceLength(&back));

    InitFontRecord(&record); // empty record: the default font
    FontPtr fallback(CreateFontHandle(&record));
    EXPECT_EQ(1, IsSameFont(fallback.get(), GetDefaultFontHandle()));
    FontPtr none(CreateFontHandle(static_cast<const XFontRecord_t *>(nullptr)));
    EXPECT_EQ(1, IsSameFont(none.get(), GetDefaultFontHandle()));
}

} // namespace
