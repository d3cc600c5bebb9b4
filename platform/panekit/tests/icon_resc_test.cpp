// The resource helper: cached pens, fonts, pictures and icon sets, file lookup with the
// fetch procedure, and stale handles after ClearHelper (run under ASan: a stale handle
// that was freed would be reported when the test reads through it).
#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/devkit/folders.h"
#include "platform/devkit/native_path.h"
#include "platform/devkit/tests/test_folder.h"
#include "platform/devkit/tests/work_folder_scope.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/icon/resc_helper.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/style_record.h"
#include "platform/panekit/paint/xpainter.h"
#include "platform/panekit/text/font_handle.h"
#include "style_fixture.h"

namespace {

std::u16string U16(const std::string &s)
{
    return devkit::Utf8ToUtf16(s.c_str(), s.size());
}

// A fresh folder per test, with the work folder pointing at it.
class StyleResc : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = zeptest::TestFolder().Path().string();
        ASSERT_FALSE(m_dir.empty());
        ASSERT_TRUE(SetWorkFolder(U16(m_dir).c_str()));
        s_fetched = 0;
        SetFetchFileProc(nullptr);
    }
    void TearDown() override { SetFetchFileProc(nullptr); }
    // Writes a width x height PNG of one colour.
    void WritePng(const std::string &name, int width, int height)
    {
        cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t *cr = cairo_create(s);
        cairo_set_source_rgb(cr, 0.2, 0.4, 0.6);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_write_to_png(s, (m_dir + "/" + name).c_str());
        cairo_surface_destroy(s);
    }
    // Fetch procedure: "remote.png" arrives as an 8 x 4 picture, nothing else does.
    static int Fetch(const char16_t *name, const char16_t *path)
    {
        ++s_fetched;
        if (std::u16string(name) != u"remote.png")
            return 0;
        cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 4);
        cairo_surface_write_to_png(s, devkit::Utf16ToUtf8(path).c_str());
        cairo_surface_destroy(s);
        return 1;
    }

    WorkFolderScope m_work;
    std::string m_dir;
    static int s_fetched;
};

int StyleResc::s_fetched = 0;

TEST_F(StyleResc, PensAreSharedAndChecked)
{
    XRescHelper helper;
    const XPenHandle *pen = helper.SearchPen(kPenDashed, 2, 0x123456);
    ASSERT_NE(nullptr, pen);
    EXPECT_EQ(pen, helper.SearchPen(kPenDashed, 2, 0x123456));
    EXPECT_NE(pen, helper.SearchPen(kPenDashed, 3, 0x123456));
    EXPECT_EQ(1u, helper.SearchPen(kPenSolid, 0, 0)->width);
    EXPECT_EQ(255u, helper.SearchPen(kPenSolid, 1000, 0)->width);
    EXPECT_EQ(nullptr, helper.SearchPen(0, 1, 0));
    EXPECT_EQ(nullptr, helper.SearchPen(10, 1, 0));
    EXPECT_EQ(nullptr, helper.SearchPen(kPenSolid, 1, 0xFF000000));

    // Descriptor side bytes: width nibble, style; inset and outset as solid half width.
    const struct
    {
        uint8_t side;
        uint32_t style, width; // 0: no pen
    } cases[] = {{0x11, kPenSolid, 1}, {0x32, kPenDotted, 3}, {0x23, kPenDashed, 2},
                 {0xF1, kPenSolid, 1}, {0x3A, kPenSolid, 2},  {0x4B, kPenSolid, 2},
                 {0x1A, kPenSolid, 1}, {0x10, 0, 0},          {0xFF, 0, 0},
                 {0x01, 0, 0},         {0x14, 0, 0}};
    for (const auto &c : cases) {
        const XPenHandle *p = helper.SearchSidePen(c.side, 0x00FF00);
        if (c.style == 0) {
            EXPECT_EQ(nullptr, p) << std::hex << int(c.side);
            continue;
        }
        ASSERT_NE(nullptr, p) << std::hex << int(c.side);
        EXPECT_EQ(c.style, p->style) << std::hex << int(c.side);
        EXPECT_EQ(c.width, p->width) << std::hex << int(c.side);
        EXPECT_EQ(0x00FF00u, p->color);
    }
}

TEST_F(StyleResc, FontsFollowTheFontPower)
{
    XRescHelper helper;
    const XFontHandle *font = helper.SearchFont(u"宋体", 12, kFontFlagBold);
    EXPECT_EQ(font, helper.SearchFont(u"宋体", 12, kFontFlagBold));
    EXPECT_EQ(12, font->pixelSize);
    EXPECT_EQ(kFontFlagBold, font->flags);
    const XFontHandle *fallback = helper.SearchFont(nullptr, 0, 0);
    EXPECT_EQ(fallback, helper.SearchFont(u"", 0, 0));
    EXPECT_EQ(kFontDefaultPixelSize, fallback->pixelSize);

    helper.SetFontPower(1.5);
    EXPECT_FALSE(helper.IsLiveHandle(font));
    EXPECT_EQ(12, font->pixelSize); // stale, yet still readable
    const XFontHandle *bigger = helper.SearchFont(u"宋体", 12, kFontFlagBold);
    EXPECT_EQ(18, bigger->pixelSize);
    EXPECT_EQ(18, helper.SearchFont(nullptr, 0, 0)->pixelSize);
    helper.SetFontPower(-3); // not a scale: back to 1
    EXPECT_EQ(1.0, helper.GetFontPower());
    EXPECT_EQ(12, helper.SearchFont(u"宋体", 12, kFontFlagBold)->pixelSize);
}

TEST_F(StyleResc, FilesInFolderWorkFolderAndFetched)
{
    WritePng("work.png", 3, 2);
    std::system(("mkdir -p " + m_dir + "/img").c_str());
    WritePng("img/both.png", 5, 5);
    WritePng("both.png", 6, 6);
    XRescHelper helper;
    ASSERT_TRUE(helper.SetImageFolder(U16(m_dir + "/img").c_str()));
    char16_t path[kRescPathMax];
    EXPECT_GT(helper.ConfirmFile(u"work.png", path, kRescPathMax), 0u);
    EXPECT_EQ(U16(m_dir + "/work.png"), path);
    EXPECT_GT(helper.ConfirmFile(u"both.png", path, kRescPathMax), 0u);
    EXPECT_EQ(U16(m_dir + "/img/both.png"), path); // the image folder first
    EXPECT_EQ(0u, helper.ConfirmFile(u"../both.png", path, kRescPathMax));
    EXPECT_EQ(0u, helper.ConfirmFile(u"img/../work.png", path, kRescPathMax));
    EXPECT_EQ(0u, helper.ConfirmFile(u"work.png", path, 4)); // does not fit
    EXPECT_EQ(u'\0', path[0]);

    EXPECT_EQ(nullptr, helper.SearchImage(u"remote.png"));
    SetFetchFileProc(&Fetch);
    EXPECT_EQ(0u, helper.ConfirmFile(u"other.png", path, kRescPathMax));
    EXPECT_EQ(1, s_fetched);
    // The miss above is remembered until ClearHelper.
    EXPECT_EQ(nullptr, helper.SearchImage(u"remote.png"));
    EXPECT_EQ(1, s_fetched);
    helper.ClearHelper();
    XImage *remote = helper.SearchImage(u"remote.png");
    ASSERT_NE(nullptr, remote);
    EXPECT_EQ(2, s_fetched);
    EXPECT_EQ(8, remote->GetWidth());
    EXPECT_TRUE(XFileExists(U16(m_dir + "/img/remote.png").c_str())); // fetched into the folder
    XImage *work = helper.SearchImage(u"work.png");
    ASSERT_NE(nullptr, work);
    EXPECT_EQ(work, helper.SearchImage(u"work.png"));
    EXPECT_EQ(3, work->GetWidth());
}

// ClearHelper: every handle goes stale, descriptors resolve again, nothing dangles.
TEST_F(StyleResc, ClearHelperInvalidatesHandles)
{
    WritePng("back.png", 4, 4);
    WritePng("icons.png", 32, 16);
    XRescHelper helper;
    XStyleDesc d = BlankStyle();
    for (int i = 0; i < 4; ++i) {
        d.border[i] = 0x21;
        d.borderColor[i] = 0x0000FF;
    }
    d.fontSize = 14;
    d.backWord = kBackPicture;
    char16_t name[] = u"back.png";
    d.backName = name;
    helper.ResolveStyle(&d);
    const void *pen = d.borderPen[kSideTop];
    const void *font = d.fontHandle;
    XImage *picture = d.backPicture;
    ASSERT_NE(nullptr, pen);
    ASSERT_NE(nullptr, font);
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(2u, static_cast<const XPenHandle *>(pen)->width);
    XIconDrawer *icons = helper.SearchIcon(u"icons.png");
    ASSERT_NE(nullptr, icons);
    EXPECT_EQ(2, icons->GetIconCount());
    for (const void *h :
         {pen, font, static_cast<const void *>(picture), static_cast<const void *>(icons)})
        EXPECT_TRUE(helper.IsLiveHandle(h));
    helper.ResolveStyle(&d); // current caches stay
    EXPECT_EQ(pen, d.borderPen[kSideTop]);
    EXPECT_EQ(font, d.fontHandle);

    WritePng("back.png", 7, 3); // the file changes; ClearHelper brings the change in
    helper.ClearHelper();
    for (const void *h :
         {pen, font, static_cast<const void *>(picture), static_cast<const void *>(icons)})
        EXPECT_FALSE(helper.IsLiveHandle(h));
    EXPECT_EQ(2u, static_cast<const XPenHandle *>(pen)->width);       // still readable
    EXPECT_EQ(14, static_cast<const XFontHandle *>(font)->pixelSize); // still readable
    helper.ResolveStyle(&d);
    EXPECT_NE(pen, d.borderPen[kSideTop]);
    EXPECT_NE(font, d.fontHandle);
    EXPECT_TRUE(helper.IsLiveHandle(d.borderPen[kSideTop]));
    EXPECT_TRUE(helper.IsLiveHandle(d.fontHandle));
    EXPECT_EQ(picture, d.backPicture); // the same picture object, loaded again
    EXPECT_EQ(7, picture->GetWidth());
    EXPECT_EQ(icons, helper.SearchIcon(u"icons.png"));

    // Handles of another helper are never taken as current.
    XRescHelper other;
    EXPECT_FALSE(other.IsLiveHandle(d.fontHandle));
    EXPECT_NE(d.fontHandle, other.CheckFont(d.fontHandle, nullptr, 14, 0));
    d.backName = nullptr;
}

TEST_F(StyleResc, PainterTakesStateFromStyles)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    XRescHelper first;
    XStyleDesc d = BlankStyle();
    d.fontSize = 20;
    d.fontFlags = kFontItalic;
    d.backWord = kBackColor;
    d.backColor = 0x336699;
    d.border[kSideTop] = 0x00;
    d.border[kSideLeft] = 0x32;
    d.borderColor[kSideLeft] = 0x0000FF;
    {
        XPainter painter(s, nullptr);
        EXPECT_EQ(nullptr, painter.SetRescHelper(&first));
        {
            auto second = std::make_unique<XRescHelper>();
            EXPECT_EQ(&first, painter.SetRescHelper(second.get()));
            const XFontHandle *font = painter.SetFonter(&d);
            EXPECT_EQ(20, font->pixelSize);
            EXPECT_EQ(kFontFlagItalic, font->flags);
            EXPECT_EQ(second.get(), painter.SetRescHelper(&first)); // put the first back
            second.reset(); // the selected font outlives the helper that made it
            EXPECT_EQ(20, painter.GetFonter()->pixelSize);
        }
        EXPECT_EQ(&first, painter.GetRescHelper());

        EXPECT_TRUE(painter.SetDrawer(&d)); // top is none: the left side's pen
        EXPECT_EQ(kPenDotted, painter.GetPen().style);
        EXPECT_EQ(3u, painter.GetPen().width);
        EXPECT_EQ(0x0000FFu, painter.GetPen().color);
        EXPECT_FALSE(painter.SetDrawer(&d, kSideTop));
        EXPECT_EQ(kPenNull, painter.GetPen().style);
        painter.SetFiller(&d);
        EXPECT_EQ(0x336699u, painter.GetFillStyle());
        d.backWord = kBackNone;
        painter.SetFiller(&d);
        EXPECT_NE(0u, painter.GetFillStyle() >> 24);
        EXPECT_TRUE(painter.SetStyleDrawer(&d, kLineStyleSolid1));
        EXPECT_EQ(kPenSolid, painter.GetPen().style);
        EXPECT_EQ(0x0000FFu, painter.GetPen().color); // the style's border colour
        EXPECT_FALSE(painter.SetStyleDrawer(12345, 0));
    }
    cairo_surface_destroy(s);
}

} // namespace
