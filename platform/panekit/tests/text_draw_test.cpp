// Block and row drawing of the text engine: alignment in a bound, wrapping, mnemonics,
// clipping, colours, the caller's cairo state, and a golden image of antialiased text.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/text/text_layout.h"

namespace {

struct FontDeleter
{
    void operator()(XFontHandle *f) const { ReleaseFontHandle(f); }
};
using FontPtr = std::unique_ptr<XFontHandle, FontDeleter>;

FontPtr MakeFont(int size, uint32_t flags = 0)
{
    return FontPtr(CreateFontHandle(u"宋体", -1, size, flags));
}

int Len(const std::u16string &s)
{
    return static_cast<int>(s.size());
}

struct Box
{
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive; empty when equal
    bool operator==(const Box &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Box &b)
{
    return out << "[" << b.left << "," << b.top << " - " << b.right << "," << b.bottom << ")";
}

// A white ARGB32 canvas.
class Canvas
{
public:
    Canvas(int width, int height)
        : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
          m_cr(cairo_create(m_surface))
    {
        cairo_set_source_rgb(m_cr, 1, 1, 1);
        cairo_paint(m_cr);
        cairo_surface_flush(m_surface);
    }
    ~Canvas()
    {
        cairo_destroy(m_cr);
        cairo_surface_destroy(m_surface);
    }
    cairo_t *Cr() const { return m_cr; }
    cairo_surface_t *Surface() const { return m_surface; }
    int Width() const { return cairo_image_surface_get_width(m_surface); }
    int Height() const { return cairo_image_surface_get_height(m_surface); }

    // 0x00RRGGBB of a pixel.
    uint32_t Pixel(int x, int y) const
    {
        cairo_surface_flush(m_surface);
        const unsigned char *row =
            cairo_image_surface_get_data(m_surface) + y * cairo_image_surface_get_stride(m_surface);
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        return v & 0xFFFFFF;
    }
    bool Inked(int x, int y) const { return Pixel(x, y) != 0xFFFFFF; }

    // The box of every pixel that is not white, optionally within rows [top, bottom).
    Box Ink(int top = 0, int bottom = -1) const
    {
        Box b{Width(), Height(), 0, 0};
        bottom = bottom < 0 ? Height() : bottom;
        int count = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, Height()); ++y)
            for (int x = 0; x < Width(); ++x)
                if (Inked(x, y)) {
                    b.left = std::min(b.left, x);
                    b.top = std::min(b.top, y);
                    b.right = std::max(b.right, x + 1);
                    b.bottom = std::max(b.bottom, y + 1);
                    ++count;
                }
        return count == 0 ? Box{} : b;
    }
    int InkCount() const
    {
        int count = 0;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                count += Inked(x, y);
        return count;
    }
    bool SamePixels(const Canvas &other) const
    {
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                if (Pixel(x, y) != other.Pixel(x, y))
                    return false;
        return true;
    }

private:
    cairo_surface_t *m_surface;
    cairo_t *m_cr;
};

int Offset(uint32_t code, int room, int size)
{
    return code == 0 ? 0 : code == 1 ? room - size : (room - size) / 2;
}

TEST(TextDraw, AlignmentPlacesTheBlockInTheBound)
{
    FontPtr font = MakeFont(16);
    XTextLayout engine;
    const std::u16string text = u"中文Ab";
    const BOUND_t bound{20, 10, 200, 60};
    SIZE_t size;
    engine.CalcTextSize(nullptr, font.get(), text.data(), Len(text), 0, bound.width, &size);
    EXPECT_EQ(16 * 2 + 8 * 2, size.cx);
    EXPECT_EQ(font->height, size.cy);

    Canvas base(260, 90);
    ASSERT_EQ(size.cy,
              engine.DrawText(base.Cr(), font.get(), 0, text.data(), Len(text), &bound, 0));
    const Box ink = base.Ink();
    ASSERT_NE(Box{}, ink);
    for (uint32_t v = 0; v < 4; ++v) {
        for (uint32_t h = 0; h < 4; ++h) {
            SCOPED_TRACE(testing::Message() << "horizontal " << h << " vertical " << v);
            Canvas canvas(260, 90);
            engine.DrawText(canvas.Cr(), font.get(), 0, text.data(), Len(text), &bound, h | v << 2);
            const int dx = Offset(h, bound.width, size.cx);
            const int dy = Offset(v, bound.height, size.cy);
            EXPECT_EQ((Box{ink.left + dx, ink.top + dy, ink.right + dx, ink.bottom + dy}),
                      canvas.Ink());
        }
    }
}

TEST(TextDraw, EachRowIsAlignedOnItsOwn)
{
    FontPtr font = MakeFont(16);
    XTextLayout engine;
    const std::u16string text = u"中\r\n中文中";
    const BOUND_t bound{0, 0, 101, 40};
    for (uint32_t h : {uint32_t(kDrawTextRight), uint32_t(kDrawTextCenter)}) {
        Canvas canvas(101, 40);
        engine.DrawText(canvas.Cr(), font.get(), 0, text.data(), Len(text), &bound, h);
        const Box first = canvas.Ink(0, font->height);
        const Box second = canvas.Ink(font->height, 40);
        if (h == kDrawTextRight) {
            EXPECT_NEAR(101, first.right, 2);
            EXPECT_NEAR(101, second.right, 2);
        } else {
            EXPECT_NEAR(101, first.left + first.right, 3);
            EXPECT_NEAR(101, second.left + second.right, 3);
        }
        EXPECT_GT(second.right - second.left, 2 * (first.right - first.left));
    }
}

TEST(TextDraw, WrappingFollowsTheLayoutWord)
{
    FontPtr font = MakeFont(12);
    XTextLayout engine;
    const std::u16string longText = u"一二三四五六七八九十一二三四五六七八九十";
    const std::u16string broken = u"ab\r\ncd";
    struct Case
    {
        const std::u16string *text;
        uint32_t layout;
        int rows;
    };
    const Case cases[] = {
        {&longText, 0, 3}, // 240 pixels in rows of 100
        {&longText, kDrawTextNoWrap, 1},
        {&longText, kDrawTextSingleLine, 1},
        {&broken, 0, 2},
        {&broken, kDrawTextNoWrap, 2},
        {&broken, kDrawTextSingleLine, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.layout);
        SIZE_t size;
        EXPECT_EQ(c.rows, engine.CalcTextSize(nullptr, font.get(), c.text->data(), Len(*c.text),
                                              c.layout, 100, &size));
        EXPECT_EQ(c.rows * font->height, size.cy);
    }
    // One row: the breaks are blanks of their own, as in the line functions.
    SIZE_t single;
    engine.CalcTextSize(nullptr, font.get(), broken.data(), Len(broken), kDrawTextSingleLine, 100,
                        &single);
    EXPECT_EQ(engine.CalcLineSize(nullptr, font.get(), broken.data(), Len(broken), nullptr),
              single.cx);
    // A width of 0 or less does not wrap.
    EXPECT_EQ(
        1, engine.CalcTextSize(nullptr, font.get(), longText.data(), Len(longText), 0, 0, &single));
    EXPECT_EQ(240, single.cx);
    // An empty text is one empty row.
    EXPECT_EQ(1, engine.CalcTextSize(nullptr, font.get(), u"", 0, 0, 100, &single));
    EXPECT_EQ(0, single.cx);
    EXPECT_EQ(font->height, single.cy);
}

TEST(TextDraw, TabsExpandOnlyWhenAsked)
{
    FontPtr font = MakeFont(12);
    XTextLayout engine;
    const std::u16string tabbed = u"a\tb";
    SIZE_t plain, expanded;
    engine.CalcTextSize(nullptr, font.get(), tabbed.data(), 3, kDrawTextNoWrap, 0, &plain);
    engine.CalcTextSize(nullptr, font.get(), tabbed.data(), 3,
                        kDrawTextNoWrap | kDrawTextExpandTabs, 0, &expanded);
    EXPECT_EQ(engine.CalcLineSize(nullptr, font.get(), u"a b", 3, nullptr), plain.cx);
    EXPECT_EQ(engine.CalcLineSize(nullptr, font.get(), tabbed.data(), 3, nullptr), expanded.cx);
    EXPECT_EQ(8 * font->avgCharWidth + font->avgCharWidth, expanded.cx);
}

TEST(TextDraw, MnemonicMarkersAreHiddenAndUnderlineOneCharacter)
{
    FontPtr font = MakeFont(16);
    XTextLayout engine;
    struct Case
    {
        std::u16string marked;
        std::u16string shown;
    };
    const Case cases[] = {
        {u"&File", u"File"}, {u"A&&B", u"A&B"},       {u"AB&", u"AB"},
        {u"&&&x", u"&x"},    {u"a&\r\nb", u"a\r\nb"}, {u"打开(&O)", u"打开(O)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.shown.begin(), c.shown.end()));
        SIZE_t marked, shown;
        engine.CalcTextSize(nullptr, font.get(), c.marked.data(), Len(c.marked), kDrawTextMnemonic,
                            0, &marked);
        engine.CalcTextSize(nullptr, font.get(), c.shown.data(), Len(c.shown), 0, 0, &shown);
        EXPECT_EQ(shown.cx, marked.cx);
        EXPECT_EQ(shown.cy, marked.cy);
    }
    // Without the flag the markers are ordinary characters.
    SIZE_t raw, plain;
    engine.CalcTextSize(nullptr, font.get(), u"A&&B", 4, 0, 0, &raw);
    engine.CalcTextSize(nullptr, font.get(), u"AB", 2, 0, 0, &plain);
    EXPECT_EQ(plain.cx + 2 * font->avgCharWidth, raw.cx);

    // "&&" draws exactly what a plain '&' draws; "&A" adds an underline below 'A' alone.
    const BOUND_t bound{4, 4, 120, 30};
    Canvas doubled(130, 40), single(130, 40);
    engine.DrawText(doubled.Cr(), font.get(), 0, u"x&&B", 4, &bound, kDrawTextMnemonic);
    engine.DrawText(single.Cr(), font.get(), 0, u"x&B", 3, &bound, 0);
    EXPECT_TRUE(doubled.SamePixels(single));

    Canvas marked(130, 40), plainCanvas(130, 40);
    engine.DrawText(marked.Cr(), font.get(), 0, u"x&AB", 4, &bound, kDrawTextMnemonic);
    engine.DrawText(plainCanvas.Cr(), font.get(), 0, u"xAB", 3, &bound, 0);
    const int aLeft = bound.x + engine.CalcLinePlace(nullptr, font.get(), u"xAB", 3, 1);
    const int aRight = bound.x + engine.CalcLinePlace(nullptr, font.get(), u"xAB", 3, 2);
    int changed = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 130; ++x)
            if (marked.Pixel(x, y) != plainCanvas.Pixel(x, y)) {
                ++changed;
                EXPECT_GE(x, aLeft - 1);
                EXPECT_LT(x, aRight + 1);
                EXPECT_GE(y, bound.y + font->ascent); // below the baseline
            }
    EXPECT_GE(changed, aRight - aLeft - 2);
}

TEST(TextDraw, DrawingStaysInsideTheBound)
{
    FontPtr font = MakeFont(24);
    XTextLayout engine;
    const std::u16string text = u"很长的一段文字超出边界 Overflowing text";
    const BOUND_t bound{30, 20, 90, 15};
    for (uint32_t layout :
         {uint32_t(0), uint32_t(kDrawTextMiddle | kDrawTextCenter),
          uint32_t(kDrawTextBottom | kDrawTextRight), uint32_t(kDrawTextSingleLine)}) {
        Canvas canvas(160, 60);
        EXPECT_GT(
            engine.DrawText(canvas.Cr(), font.get(), 0, text.data(), Len(text), &bound, layout),
            bound.height);
        const Box ink = canvas.Ink();
        EXPECT_NE(Box{}, ink);
        EXPECT_GE(ink.left, bound.x);
        EXPECT_GE(ink.top, bound.y);
        EXPECT_LE(ink.right, bound.x + bound.width);
        EXPECT_LE(ink.bottom, bound.y + bound.height);
    }
}

TEST(TextDraw, NothingIsDrawnForNoColourNoTextOrNoRoom)
{
    XTextLayout engine;
    const BOUND_t bound{0, 0, 50, 20};
    const BOUND_t empty{0, 0, 0, 20};
    Canvas canvas(50, 20);
    EXPECT_EQ(0, engine.DrawText(canvas.Cr(), nullptr, 0xFF000000, u"字", 1, &bound, 0));
    EXPECT_EQ(0, engine.DrawText(canvas.Cr(), nullptr, 0xFFFFFFFF, u"字", 1, &bound, 0));
    EXPECT_EQ(0, engine.DrawText(canvas.Cr(), nullptr, 0, u"", -1, &bound, 0));
    EXPECT_EQ(0, engine.DrawText(canvas.Cr(), nullptr, 0, nullptr, 4, &bound, 0));
    EXPECT_EQ(0, engine.DrawText(canvas.Cr(), nullptr, 0, u"字", 1, &empty, 0));
    EXPECT_EQ(0, engine.DrawText(canvas.Cr(), nullptr, 0, u"字", 1, nullptr, 0));
    EXPECT_EQ(0, engine.DrawText(nullptr, nullptr, 0, u"字", 1, &bound, 0));
    EXPECT_EQ(0, engine.DrawTextLine(canvas.Cr(), nullptr, 0x01000000, u"字", 1, 0, 0));
    EXPECT_EQ(0, engine.DrawTextLine(canvas.Cr(), nullptr, 0, u"", 0, 0, 0));
    EXPECT_EQ(0, canvas.InkCount());
}

TEST(TextDraw, BoundsNearTheIntegerLimitsAreSafe)
{
    XTextLayout engine;
    Canvas canvas(40, 20);
    const BOUND_t bounds[] = {
        {INT32_MAX - 5, INT32_MAX - 5, INT32_MAX, INT32_MAX},
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
        {-100000, 0, INT32_MAX, 20},
    };
    for (const BOUND_t &bound : bounds)
        for (uint32_t layout : {uint32_t(0), uint32_t(kDrawTextCenter | kDrawTextMiddle),
                                uint32_t(kDrawTextRight | kDrawTextBottom)})
            engine.DrawText(canvas.Cr(), nullptr, 0, u"字", 1, &bound, layout);
    engine.DrawTextLine(canvas.Cr(), nullptr, 0, u"字", 1, INT32_MAX, INT32_MAX);
    EXPECT_EQ(0, canvas.InkCount()); // everything lands far off the canvas
}

TEST(TextDraw, ColourIsReadAsBlueGreenRed)
{
    XTextLayout engine;
    Canvas canvas(40, 20);
    engine.DrawTextLine(canvas.Cr(), nullptr, 0x0000FF, u"国", 1, 2, 2);
    // Red ink over white: red stays full, green and blue fall together.
    uint32_t best = 0xFFFFFF;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            if ((canvas.Pixel(x, y) & 0xFF) < (best & 0xFF))
                best = canvas.Pixel(x, y);
    EXPECT_EQ(0xFFu, best >> 16);
    EXPECT_EQ(best & 0xFF, (best >> 8) & 0xFF);
    EXPECT_LT(best & 0xFF, 0x80u);
}

TEST(TextDraw, RowDrawingMatchesBlockDrawing)
{
    FontPtr font = MakeFont(16);
    XTextLayout engine;
    const std::u16string text = u"行\t内 Text";
    Canvas row(160, 30), block(160, 30);
    const int width = engine.DrawTextLine(row.Cr(), font.get(), 0, text.data(), Len(text), 5, 3);
    EXPECT_EQ(engine.CalcLineSize(nullptr, font.get(), text.data(), Len(text), nullptr), width);
    const BOUND_t bound{5, 3, 150, 25};
    engine.DrawText(block.Cr(), font.get(), 0, text.data(), Len(text), &bound,
                    kDrawTextSingleLine | kDrawTextExpandTabs);
    EXPECT_TRUE(row.SamePixels(block));
    const Box ink = row.Ink();
    EXPECT_GE(ink.top, 3);
    EXPECT_LE(ink.bottom, 3 + font->height);
    EXPECT_GE(ink.left, 5);
}

TEST(TextDraw, CallersPathAndSourceSurvive)
{
    XTextLayout engine;
    Canvas canvas(60, 30);
    cairo_t *cr = canvas.Cr();
    cairo_set_source_rgb(cr, 0, 1, 0);
    cairo_move_to(cr, 3, 4);
    cairo_line_to(cr, 10, 12);
    const BOUND_t bound{0, 0, 60, 30};
    engine.DrawText(cr, nullptr, 0, u"字", 1, &bound, 0);
    engine.DrawTextLine(cr, nullptr, 0, u"字", 1, 20, 5);
    ASSERT_TRUE(cairo_has_current_point(cr));
    double x = 0, y = 0;
    cairo_get_current_point(cr, &x, &y);
    EXPECT_EQ(10, x);
    EXPECT_EQ(12, y);
    double r = -1, g = -1, b = -1, a = -1;
    cairo_pattern_get_rgba(cairo_get_source(cr), &r, &g, &b, &a);
    EXPECT_EQ(0, r);
    EXPECT_EQ(1, g);
    double x1, y1, x2, y2;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    EXPECT_EQ(60, x2); // the bound's clip is gone again
    cairo_path_t *path = cairo_copy_path(cr);
    EXPECT_EQ(4, path->num_data); // one move and one line, nothing of the text
    cairo_path_destroy(path);
}

TEST(TextDraw, StyleFlagsChangeTheInk)
{
    XTextLayout engine;
    const std::u16string text = u"样式Text";
    auto inkOf = [&](uint32_t flags) {
        FontPtr font = MakeFont(16, flags);
        Canvas canvas(100, 24);
        engine.DrawTextLine(canvas.Cr(), font.get(), 0, text.data(), Len(text), 2, 2);
        return canvas.InkCount();
    };
    const int plain = inkOf(0);
    EXPECT_GT(inkOf(kFontFlagBold), plain);
    EXPECT_GT(inkOf(kFontFlagUnderline), plain);
    EXPECT_GT(inkOf(kFontFlagLineThrough), plain);
    EXPECT_NE(inkOf(kFontFlagItalic), plain);
}

// Golden image of antialiased text. Tolerance for FreeType and Cairo versions: no channel
// of any pixel off by more than 48, and at most 2% of the pixels off at all.
TEST(TextDraw, AntialiasedTextMatchesTheGoldenImage)
{
    const std::string golden = ZEP_TEST_DIR "/golden/text_antialiased.png";
    XTextLayout engine;
    Canvas canvas(180, 64);
    FontPtr big = MakeFont(16);
    FontPtr small = MakeFont(12, kFontFlagUnderline);
    const BOUND_t top{4, 2, 172, 20};
    engine.DrawText(canvas.Cr(), big.get(), 0x202020, u"中文 Text 123 测试", -1, &top,
                    kDrawTextCenter | kDrawTextMiddle);
    const BOUND_t bottom{4, 24, 172, 38};
    engine.DrawText(canvas.Cr(), small.get(), 0x8000C0, u"折行的文字在边框内换行显示，右对齐", -1,
                    &bottom, kDrawTextRight);
    if (std::getenv("ZEP_UPDATE_GOLDEN") != nullptr)
        cairo_surface_write_to_png(canvas.Surface(), golden.c_str());

    cairo_surface_t *want = cairo_image_surface_create_from_png(golden.c_str());
    ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(want)) << golden;
    ASSERT_EQ(canvas.Width(), cairo_image_surface_get_width(want));
    ASSERT_EQ(canvas.Height(), cairo_image_surface_get_height(want));
    const unsigned char *data = cairo_image_surface_get_data(want);
    const int stride = cairo_image_surface_get_stride(want);
    int off = 0, worst = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            uint32_t w;
            std::memcpy(&w, data + y * stride + 4 * x, 4);
            const uint32_t g = canvas.Pixel(x, y);
            int diff = 0;
            for (int shift : {0, 8, 16})
                diff =
                    std::max(diff, std::abs(int((w >> shift) & 0xFF) - int((g >> shift) & 0xFF)));
            off += diff > 0;
            worst = std::max(worst, diff);
        }
    cairo_surface_destroy(want);
    EXPECT_LE(worst, 48);
    EXPECT_LE(off, canvas.Width() * canvas.Height() / 50);
}

} // namespace
