// Line functions of the text engine: places and hit tests of UTF-16 positions, ranges and
// the rows a text wraps into, the latter checked against a plain Pango layout.
#include <memory>
#include <string>
#include <vector>

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

int Len(const std::u16string &s)
{
    return static_cast<int>(s.size());
}

bool InsidePair(const std::u16string &s, int pos)
{
    return pos > 0 && pos < Len(s) && s[size_t(pos - 1)] >= 0xD800 &&
           s[size_t(pos - 1)] <= 0xDBFF && s[size_t(pos)] >= 0xDC00 && s[size_t(pos)] <= 0xDFFF;
}

const std::u16string kTexts[] = {
    u"中文abc",
    u"a\tb\t中\t",
    u"第一行\r\n第二行",
    u"x\U00020000y\U0001F600z",
    u"\U00020000\U00020001",
    u"混合 Mixed 文本\t\U00020B9F end\r\n",
    u"\r\n\r\n",
    u"\t\t",
    std::u16string(u"lone\xD800high\xDC00low"),
    std::u16string(u"zero\0unit", 9),
};

class TextLine : public ::testing::TestWithParam<int>
{
protected:
    FontPtr font{CreateFontHandle(u"宋体", -1, GetParam(), 0)};
    XTextLayout engine;
};

TEST_P(TextLine, HitTestInvertsPlaceAtEveryBoundary)
{
    for (const std::u16string &text : kTexts) {
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        int lastX = -1;
        for (int i = 0; i <= Len(text); ++i) {
            if (InsidePair(text, i))
                continue;
            const int x = engine.CalcLinePlace(nullptr, font.get(), text.data(), Len(text), i);
            EXPECT_GT(x, lastX) << "position " << i;
            lastX = x;
            EXPECT_EQ(i, engine.TestLinePlace(nullptr, font.get(), text.data(), Len(text), x))
                << "position " << i << " at x " << x;
        }
        SIZE_t size;
        EXPECT_EQ(lastX, engine.CalcLineSize(nullptr, font.get(), text.data(), Len(text), &size));
        EXPECT_EQ(font->height, size.cy);
    }
}

TEST_P(TextLine, ClustersAreNeverSplit)
{
    // 'e' with a combining acute accent is one character on screen: the caret never stands
    // between them and a place inside the cluster is the place before it.
    const std::u16string text = u"ae\u0301x";
    const int before = engine.CalcLinePlace(nullptr, font.get(), text.data(), 4, 1);
    EXPECT_EQ(before, engine.CalcLinePlace(nullptr, font.get(), text.data(), 4, 2));
    const int end = engine.CalcLineSize(nullptr, font.get(), text.data(), 4, nullptr);
    for (int x = -1; x <= end + 1; ++x)
        EXPECT_NE(2, engine.TestLinePlace(nullptr, font.get(), text.data(), 4, x)) << x;
    for (int w = 0; w <= end; ++w)
        EXPECT_NE(2, engine.CalcTextRange(nullptr, font.get(), text.data(), 4, w, nullptr)) << w;
}

TEST_P(TextLine, PairsAreNeverSplit)
{
    const std::u16string text = u"a\U00020000b";
    const int before = engine.CalcLinePlace(nullptr, font.get(), text.data(), 4, 1);
    const int after = engine.CalcLinePlace(nullptr, font.get(), text.data(), 4, 3);
    EXPECT_EQ(before, engine.CalcLinePlace(nullptr, font.get(), text.data(), 4, 2));
    // Every x across the pair gives one side of it, never its middle.
    for (int x = before; x <= after; ++x) {
        const int pos = engine.TestLinePlace(nullptr, font.get(), text.data(), 4, x);
        EXPECT_TRUE(pos == 1 || pos == 3) << x;
    }
    // A range never ends inside the pair either.
    for (int w = before; w <= after; ++w) {
        const int fit = engine.CalcTextRange(nullptr, font.get(), text.data(), 4, w, nullptr);
        EXPECT_TRUE(fit == 1 || fit == 3) << w;
    }
}

TEST_P(TextLine, PlacesOutsideTheTextClamp)
{
    const std::u16string text = u"中文ab";
    const int width = engine.CalcLineSize(nullptr, font.get(), text.data(), 4, nullptr);
    EXPECT_EQ(0, engine.TestLinePlace(nullptr, font.get(), text.data(), 4, -50));
    EXPECT_EQ(4, engine.TestLinePlace(nullptr, font.get(), text.data(), 4, width + 50));
    EXPECT_EQ(4, engine.TestLinePlace(nullptr, font.get(), text.data(), 4, 0x7FFFFFFF));
    EXPECT_EQ(0, engine.CalcLinePlace(nullptr, font.get(), text.data(), 4, -3));
    EXPECT_EQ(width, engine.CalcLinePlace(nullptr, font.get(), text.data(), 4, 99));
    EXPECT_EQ(0, engine.CalcLinePlace(nullptr, font.get(), u"", 0, 0));
    EXPECT_EQ(0, engine.TestLinePlace(nullptr, font.get(), nullptr, 5, 10));
    // A zero-terminated text measures like its explicit length.
    EXPECT_EQ(width, engine.CalcLineSize(nullptr, font.get(), text.c_str(), -1, nullptr));
}

TEST_P(TextLine, HitTestPicksTheNearerSideOfACharacter)
{
    const std::u16string text = u"中文";
    const int mid = engine.CalcLinePlace(nullptr, font.get(), text.data(), 2, 1);
    EXPECT_EQ(font->pixelSize, mid); // ideographs are one em wide
    EXPECT_EQ(0, engine.TestLinePlace(nullptr, font.get(), text.data(), 2, mid / 2 - 1));
    EXPECT_EQ(1, engine.TestLinePlace(nullptr, font.get(), text.data(), 2, mid / 2 + 1));
    EXPECT_EQ(1, engine.TestLinePlace(nullptr, font.get(), text.data(), 2, mid + mid / 2 - 1));
    EXPECT_EQ(2, engine.TestLinePlace(nullptr, font.get(), text.data(), 2, mid + mid / 2 + 1));
}

TEST_P(TextLine, TabsStopEveryEightAverageCharacters)
{
    const int stop = 8 * font->avgCharWidth;
    const std::u16string text = u"a\tb\t\tc";
    EXPECT_EQ(stop, engine.CalcLinePlace(nullptr, font.get(), text.data(), Len(text), 2));
    EXPECT_EQ(2 * stop, engine.CalcLinePlace(nullptr, font.get(), text.data(), Len(text), 4));
    EXPECT_EQ(3 * stop, engine.CalcLinePlace(nullptr, font.get(), text.data(), Len(text), 5));
}

TEST_P(TextLine, RangeIsTheLongestStartThatFits)
{
    const std::u16string text = u"ab中\t文\r\n\U00020000d";
    const int n = Len(text);
    std::vector<int> places;
    for (int i = 0; i <= n; ++i)
        places.push_back(engine.CalcLinePlace(nullptr, font.get(), text.data(), n, i));
    for (int width = -1; width <= places.back() + 2; ++width) {
        int used = -1;
        const int fit = engine.CalcTextRange(nullptr, font.get(), text.data(), n, width, &used);
        int want = 0;
        for (int i = 0; i <= n; ++i)
            if (!InsidePair(text, i) && places[size_t(i)] <= width)
                want = i;
        EXPECT_EQ(want, fit) << "width " << width;
        EXPECT_EQ(places[size_t(want)], used) << "width " << width;
    }
}

TEST_P(TextLine, RightToLeftRunsNeverOverflowTheRange)
{
    // The Hebrew run is drawn right to left: its first letter stands at the run's right end,
    // so a start that takes it reaches further than its place suggests.
    const std::u16string text = u"中a\u05D0\u05D1\u05D2b文";
    const int end = engine.CalcLineSize(nullptr, font.get(), text.data(), Len(text), nullptr);
    int lastFit = 0;
    for (int width = 0; width <= end; ++width) {
        int used = -1;
        const int fit =
            engine.CalcTextRange(nullptr, font.get(), text.data(), Len(text), width, &used);
        EXPECT_LE(used, width);
        EXPECT_GE(fit, lastFit);
        lastFit = fit;
    }
    EXPECT_EQ(Len(text), lastFit);
    // Every x still hits a position of the text.
    for (int x = 0; x <= end; ++x) {
        const int pos = engine.TestLinePlace(nullptr, font.get(), text.data(), Len(text), x);
        EXPECT_TRUE(pos >= 0 && pos <= Len(text));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TextLine, ::testing::Values(12, 16, 24));

// ---- rows ----

// UTF-16 positions where a plain Pango layout of the same font and width starts each row
// after the first, converted with GLib's own UTF-8 and UTF-16 functions.
std::vector<int> PangoRowEnds(const std::u16string &text, int pixelSize, int width)
{
    glong bytes = 0;
    gchar *utf8 = g_utf16_to_utf8(reinterpret_cast<const gunichar2 *>(text.data()), Len(text),
                                  nullptr, &bytes, nullptr);
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t *cr = cairo_create(surface);
    PangoLayout *layout = pango_cairo_create_layout(cr);
    PangoFontDescription *desc = pango_font_description_from_string("宋体");
    pango_font_description_set_absolute_size(desc, pixelSize * PANGO_SCALE);
    pango_layout_set_font_description(layout, desc);
    pango_layout_set_width(layout, width * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_text(layout, utf8, int(bytes));
    std::vector<int> ends;
    for (GSList *l = pango_layout_get_lines_readonly(layout); l != nullptr; l = l->next) {
        const int start = static_cast<PangoLayoutLine *>(l->data)->start_index;
        if (start == 0)
            continue;
        glong units = 0;
        gunichar2 *prefix = g_utf8_to_utf16(utf8, start, nullptr, &units, nullptr);
        g_free(prefix);
        ends.push_back(int(units));
    }
    ends.push_back(Len(text));
    pango_font_description_free(desc);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    g_free(utf8);
    return ends;
}

std::vector<int> EngineRowEnds(XTextLayout &engine, const XFontHandle *font,
                               const std::u16string &text, int width)
{
    const int rows = engine.CalcLineRange(nullptr, font, text.data(), Len(text), width, nullptr, 0);
    std::vector<int> ends(size_t(rows), -1);
    EXPECT_EQ(rows, engine.CalcLineRange(nullptr, font, text.data(), Len(text), width, ends.data(),
                                         rows));
    return ends;
}

TEST(TextLineRows, LongChineseLinesWrapWherePangoWrapsThem)
{
    const std::u16string texts[] = {
        u"中华人民共和国国务院办公厅关于进一步加强政府信息公开回应社会关切提升政府公信力的意见，"
        u"各省、自治区、直辖市人民政府，国务院各部委、各直属机构：",
        u"商品编号ABC-12345的库存数量为1024件，单价￥36.50元，合计金额请以系统计算结果为准。"
        u"\U00020000\U00020001\U00020002连续的扩展汉字也不能在代理对中间断开。",
        u"Mixed text with 中文 words, verylongwordwithoutanyspacesatall and 标点符号。",
    };
    XTextLayout engine;
    for (int size : {12, 16}) {
        FontPtr font(CreateFontHandle(u"宋体", -1, size, 0));
        for (const std::u16string &text : texts) {
            for (int width : {1, 37, 100, 150, 233, 400}) {
                SCOPED_TRACE(testing::Message() << "size " << size << " width " << width);
                const std::vector<int> ends = EngineRowEnds(engine, font.get(), text, width);
                EXPECT_EQ(PangoRowEnds(text, size, width), ends);
                for (int end : ends)
                    EXPECT_FALSE(InsidePair(text, end)) << end;
            }
        }
    }
}

TEST(TextLineRows, LineBreaksEndRows)
{
    struct Case
    {
        std::u16string text;
        std::vector<int> ends;
    };
    const Case cases[] = {
        {u"", {0}},
        {u"ab", {2}},
        {u"ab\r\ncd", {4, 6}},
        {u"ab\ncd\r", {3, 6, 6}},
        {u"ab\r\n", {4, 4}},
        {u"\r\n\r\n", {2, 4, 4}},
        {u"a\rb", {2, 3}},
        {u"\U00020000\n\U00020001", {3, 5}},
    };
    XTextLayout engine;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        EXPECT_EQ(c.ends, EngineRowEnds(engine, nullptr, c.text, 0));
        EXPECT_EQ(c.ends, EngineRowEnds(engine, nullptr, c.text, 500));
    }
}

TEST(TextLineRows, OnlyTheRequestedEndsAreWritten)
{
    XTextLayout engine;
    const std::u16string text = u"1\n2\n3\n4";
    int ends[4] = {-1, -1, -1, -1};
    EXPECT_EQ(4, engine.CalcLineRange(nullptr, nullptr, text.data(), Len(text), 0, ends, 2));
    EXPECT_EQ(2, ends[0]);
    EXPECT_EQ(4, ends[1]);
    EXPECT_EQ(-1, ends[2]);
    EXPECT_EQ(1, engine.CalcLineRange(nullptr, nullptr, nullptr, 3, 10, nullptr, 0));
}

TEST(TextLineRows, RowsOfAWrappedLineReadBackAsOneText)
{
    // An edit cuts a long line into rows and places its caret row by row: the places within
    // each row must rise from 0 to that row's width.
    XTextLayout engine;
    FontPtr font(CreateFontHandle(u"宋体", -1, 12, 0));
    const std::u16string text =
        u"在多行编辑框中，一行文字按照框的宽度折成若干行显示，光标在每一行中定位。";
    const int width = 100;
    const std::vector<int> ends = EngineRowEnds(engine, font.get(), text, width);
    ASSERT_GT(ends.size(), 2u);
    int start = 0;
    for (int end : ends) {
        const char16_t *row = text.data() + start;
        const int rowWidth = engine.CalcLineSize(nullptr, font.get(), row, end - start, nullptr);
        EXPECT_LE(rowWidth, width);
        EXPECT_EQ(rowWidth,
                  engine.CalcLinePlace(nullptr, font.get(), row, end - start, end - start));
        EXPECT_EQ(end - start,
                  engine.CalcTextRange(nullptr, font.get(), row, end - start, width, nullptr));
        start = end;
    }
}

} // namespace

// Word edges against pango_get_log_attrs run on the UTF-8 text directly: from every
// position, forward to the first word end after it, backward to the last word start
// before it.
TEST(TextLineWords, EdgesAreWherePangoPutsWordBoundaries)
{
    const std::u16string texts[] = {
        u"hello world, 中文文本 and\U00020000\U00020001 more",
        u"  lead  trail  ",
        u"混合 Mixed 文本\t\U00020B9F end\r\n",
        u"a",
        u"",
    };
    XTextLayout engine;
    for (const std::u16string &text : texts) {
        // Unit position of every character offset, then Pango's attributes of the text.
        std::vector<int> unitOf;
        for (int u = 0; u <= Len(text); ++u) {
            if (!InsidePair(text, u))
                unitOf.push_back(u);
        }
        gchar *utf8 = g_utf16_to_utf8(reinterpret_cast<const gunichar2 *>(text.data()),
                                      static_cast<glong>(text.size()), nullptr, nullptr, nullptr);
        const int chars = static_cast<int>(unitOf.size());
        std::vector<PangoLogAttr> attrs(static_cast<size_t>(chars));
        pango_get_log_attrs(utf8, -1, -1, pango_language_from_string("zh-cn"), attrs.data(), chars);
        g_free(utf8);
        for (int pos = 0; pos <= Len(text); ++pos) {
            if (InsidePair(text, pos))
                continue;
            int forward = Len(text), backward = 0;
            for (int ci = 0; ci < chars; ++ci) {
                if (attrs[size_t(ci)].is_word_end && unitOf[size_t(ci)] > pos &&
                    forward == Len(text))
                    forward = unitOf[size_t(ci)];
                if (attrs[size_t(ci)].is_word_start && ci > 0 && unitOf[size_t(ci)] < pos)
                    backward = unitOf[size_t(ci)];
            }
            EXPECT_EQ(forward, engine.FindWordEdge(text.data(), Len(text), pos, 1)) << pos;
            EXPECT_EQ(backward, engine.FindWordEdge(text.data(), Len(text), pos, 0)) << pos;
        }
    }
    // Inside a pair counts as before it; positions outside the text clamp.
    const char16_t *pair = u"ab \U00020000\U00020001 cd";
    EXPECT_EQ(3, engine.FindWordEdge(pair, -1, 4, 0));
    EXPECT_EQ(0, engine.FindWordEdge(pair, -1, -5, 0));
    EXPECT_EQ(10, engine.FindWordEdge(pair, -1, 99, 1));
}
