// The grid's columns: normalisation of descriptors, definition and display order, group
// headers, frozen columns and saved layouts.

#include <gtest/gtest.h>

#include "corekit/text/xstring.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/items/tests/grider_fixture.h"

namespace {

TEST(GriderItem, KindFlagsAndDefaults)
{
    XPageGrider grid;
    EXPECT_EQ(grid.kind, 82u);
    EXPECT_EQ(grid.itemFlags & 0x10022000u, 0x10022000u);
    EXPECT_TRUE(grid.itemFlags & kItemVisible);
    XString text;
    grid.itemStyle.GetStyleText(&text);
    ASSERT_NE(text.GetString(), nullptr);
    EXPECT_NE(std::u16string(text.GetString()).find(u"padding:0px"), std::u16string::npos);
    EXPECT_EQ(grid.GetRowHeader(), 1u);
    EXPECT_EQ(grid.GetSortColumn(), 0xFFFFFFFFu);
    EXPECT_EQ(grid.GetColNumber(), 0u);
    const uint32_t colours[] = {0x808000, 0xD0A000, 0xF8F8F8, 0xE8E8FF, 0xE8FFE8};
    for (unsigned i = 0; i < 5; ++i)
        EXPECT_EQ(grid.GetBaseColor(i), colours[i]);
    EXPECT_EQ(grid.GetBaseColor(5), 0xFFFFFFFFu);
    grid.SetBaseColor(2, 0x123456);
    EXPECT_EQ(grid.GetBaseColor(2), 0x123456u);
    grid.SetBaseColor(2, 0xFFFFFFFF);
    EXPECT_EQ(grid.GetBaseColor(2), 0xF8F8F8u);
    grid.SetReadOnly(0);
    EXPECT_TRUE(grid.extraFlags & kGridEditable);
    grid.SetReadOnly(1);
    EXPECT_FALSE(grid.extraFlags & kGridEditable);
    grid.SetFilterMode(1);
    EXPECT_TRUE(grid.extraFlags & kGridFilter);
    grid.SetFilterMode(0);
    EXPECT_FALSE(grid.extraFlags & kGridFilter);
}

TEST(GriderHeader, Normalisation)
{
    struct Case
    {
        uint16_t kind, mode, type, size;
        uint32_t format, textColor;
        // expected
        uint16_t eKind, eMode, eSize;
        uint32_t eFormat, eTextColor;
    };
    const Case cases[] = {
        {18, 1, kGridInteger, 1, 0x1, 0xFFFFFFFF, 18, 1, 2, 0x1, 0xFFFFFFFF},
        {18, 1, kGridInteger, 3, 0, 0xFFFFFFFF, 18, 1, 2, 0, 0xFFFFFFFF},
        {18, 1, kGridInteger, 4, 0, 0xFFFFFFFF, 18, 1, 4, 0, 0xFFFFFFFF},
        {18, 1, kGridInteger, 5, 0, 0xFFFFFFFF, 18, 1, 4, 0, 0xFFFFFFFF},
        {18, 1, kGridInteger, 9, 0, 0xFFFFFFFF, 18, 1, 8, 0, 0xFFFFFFFF},
        {18, 0, kGridDouble, 4, 0, 0xFFFFFFFF, 18, 0, 8, 0, 0xFFFFFFFF},
        {18, 0, kGridDateTime, 0, 0, 0xFFFFFFFF, 18, 0, 8, 0, 0xFFFFFFFF},
        {18, 0, kGridText, 7, 0, 0xFFFFFFFF, 18, 0, 7, 0, 0xFFFFFFFF},
        // graphic kinds: accepted integers lose mode and format, doubles get theirs
        {1025, 3, kGridInteger, 4, 9, 0xFFFFFFFF, 1025, 0, 4, 0, 0x00FF00},
        {1025, 3, kGridDouble, 8, 9, 0xFFFFFFFF, 1025, 0, 8, 0x02000004, 0x00FF00},
        {1026, 3, kGridInteger, 8, 9, 0x0000FF, 1026, 0, 8, 0, 0x0000FF},
        {1026, 3, kGridDouble, 8, 9, 0xFFFFFFFF, 128, 3, 8, 0, 0xFFFFFFFF},
        {1027, 0, kGridDouble, 8, 0, 0xFFFFFFFF, 1027, 0, 8, 0x02000002, 0x00FF00},
        {1281, 0, kGridDouble, 8, 0, 0xFFFFFFFF, 1281, 0, 8, 0x03010002, 0x00FF00},
        {1281, 0, kGridText, 20, 5, 0xFFFFFFFF, 128, 0, 20, 0, 0xFFFFFFFF},
        {1100, 0, kGridInteger, 4, 5, 0xFFFFFFFF, 128, 0, 4, 0, 0xFFFFFFFF},
        // kinds up to 1024 are left alone
        {515, 0, kGridInteger, 2, 1, 0xFFFFFFFF, 515, 0, 2, 1, 0xFFFFFFFF},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << "/" << c.type << "/" << c.size);
        XPageGrider grid;
        XGB_HEADER h = Column(c.type, c.size, c.kind, c.mode, nullptr, c.format);
        h.textColor = c.textColor;
        h.wide = 55;
        EXPECT_EQ(grid.InsertHeader(0, &h), 0u);
        XGB_HEADER out = {};
        ASSERT_TRUE(grid.GetHeader(0, &out));
        EXPECT_EQ(out.cellKind, c.eKind);
        EXPECT_EQ(out.cellMode, c.eMode);
        EXPECT_EQ(out.dataSize, c.eSize);
        EXPECT_EQ(out.format, c.eFormat);
        EXPECT_EQ(out.textColor, c.eTextColor);
        EXPECT_EQ(out.baseWide, 55);
        // SetHeader normalises too, but leaves an unset bar colour unset.
        ASSERT_TRUE(grid.SetHeader(0, &h));
        ASSERT_TRUE(grid.GetHeader(0, &out));
        EXPECT_EQ(out.cellKind, c.eKind);
        EXPECT_EQ(out.dataSize, c.eSize);
        EXPECT_EQ(out.textColor, c.textColor);
    }
}

TEST(GriderHeader, TextsAreCopiedAndDateTimeGetsTemplate)
{
    XPageGrider grid;
    std::u16string title = u"金额";
    XGB_HEADER h = Column(kGridDateTime, 8);
    h.title = title.c_str();
    grid.InsertHeader(0, &h);
    title[0] = u'X';
    XGB_HEADER out = {};
    grid.GetHeader(0, &out);
    EXPECT_EQ(std::u16string(out.title), u"金额");
    EXPECT_NE(out.title, h.title);
    EXPECT_EQ(std::u16string(out.mapper), u"$$$$-$$-$$ $$:$$:$$");
    void *row = grid.InsertMatter(0, nullptr, nullptr);
    DATETIME_t t = {2024, 3, 5, 7, 8, 9, 0};
    XVarMeter v = {kVarDateTime, 0, {}};
    v.value.time = t;
    ASSERT_TRUE(grid.SetSuber(row, 0, &v));
    EXPECT_EQ(Display(grid, row, 0), u"2024-03-05 07:08:09");
}

TEST(GriderHeader, InsertPlacesByIndexAndDropsRowsQuietly)
{
    XPageGrider grid;
    GridRecorder rec;
    rec.Attach(&grid);
    XGB_HEADER a = Column(kGridInteger, 4);
    a.title = u"a";
    XGB_HEADER b = Column(kGridInteger, 4);
    b.title = u"b";
    XGB_HEADER c = Column(kGridInteger, 4);
    c.title = u"c";
    EXPECT_EQ(grid.InsertHeader(7, &a), 0u); // beyond the end: appended
    EXPECT_EQ(grid.InsertHeader(0, &b), 0u);
    EXPECT_EQ(grid.InsertHeader(1, &c), 1u);
    std::u16string order;
    for (XHeaderNode *n = grid.GetHeaderWare(0); n != nullptr; n = n->defNext) {
        order += n->header.title;
        EXPECT_EQ(n->defIndex, static_cast<int>(order.size()) - 1);
    }
    EXPECT_EQ(order, u"bca");

    grid.InsertMatter(0, nullptr, nullptr);
    grid.InsertMatter(0, nullptr, nullptr);
    ASSERT_TRUE(grid.SetLockHeader(2));
    rec.notes.clear();
    grid.InsertHeader(3, &a);
    EXPECT_EQ(grid.GetRowNumber(), 0u);
    EXPECT_EQ(grid.GetLockHeader(), 0u);
    EXPECT_TRUE(rec.notes.empty()); // no OnDeleteItem
}

TEST(GriderHeader, ColumnChangesDiscardRowsOnlyWhenTheShapeChanges)
{
    XPageGrider grid;
    XGB_HEADER h = Column(kGridInteger, 4, kCellEdit, 1);
    grid.InsertHeader(0, &h);
    grid.InsertMatter(0, nullptr, nullptr);
    h.wide = 120;
    h.title = u"新";
    ASSERT_TRUE(grid.SetHeader(0, &h));
    EXPECT_EQ(grid.GetRowNumber(), 1u);
    h.dataSize = 8;
    ASSERT_TRUE(grid.SetHeader(0, &h));
    EXPECT_EQ(grid.GetRowNumber(), 0u);

    grid.InsertMatter(0, nullptr, nullptr);
    XGB_HEADER t = Column(kGridText, 10);
    grid.InsertHeader(1, &t);
    grid.InsertMatter(0, nullptr, nullptr);
    ASSERT_TRUE(grid.SwitchHeader(0, 1));
    EXPECT_EQ(grid.GetRowNumber(), 0u);
    XGB_HEADER out = {};
    grid.GetHeader(0, &out);
    EXPECT_EQ(out.dataType, kGridText);
    EXPECT_EQ(grid.SwitchHeader(0, 2), 0);
    EXPECT_EQ(grid.SetHeader(2, &h), 0);
    EXPECT_EQ(grid.GetHeader(2, &out), 0);
    EXPECT_EQ(grid.EnableHeader(2, 1), 0);
    ASSERT_TRUE(grid.EnableHeader(1, 1));
    grid.GetHeader(1, &out);
    EXPECT_EQ(out.locked, 1);
    ASSERT_TRUE(grid.SetHeaderWide(1, 33));
    grid.GetHeader(1, &out);
    EXPECT_EQ(out.wide, 33);
}

// A grid of n integer columns titled "0", "1", ...
void Columns(XPageGrider &grid, unsigned n)
{
    static const char16_t *titles[] = {u"0", u"1", u"2", u"3", u"4", u"5"};
    for (unsigned i = 0; i < n; ++i) {
        XGB_HEADER h = Column(kGridInteger, 4);
        h.title = titles[i];
        h.wide = static_cast<uint16_t>(10 * (i + 1));
        grid.InsertHeader(i, &h);
    }
}

std::u16string ViewOrder(XPageGrider &grid)
{
    std::u16string order;
    int pos = 0;
    for (XHeaderNode *n = grid.GetHeaderWare(1); n != nullptr; n = n->viewNext) {
        order += n->header.title;
        EXPECT_EQ(n->viewIndex, pos++);
    }
    return order;
}

TEST(GriderHeader, MoveHeaderSwapsDisplayNeighbours)
{
    struct Case
    {
        unsigned pos;
        int dir;
        bool tree;
        int result;
        const char16_t *order;
    };
    const Case cases[] = {
        {1, 0, false, 1, u"1023"}, {1, 1, false, 1, u"0213"}, {0, 0, false, 0, u"0123"},
        {3, 1, false, 0, u"0123"}, {4, 0, false, 0, u"0123"}, {1, 0, true, 0, u"0123"},
        {0, 1, true, 0, u"0123"},  {1, 1, true, 1, u"0213"},
    };
    for (const Case &c : cases) {
        XPageGrider grid;
        Columns(grid, 4);
        if (c.tree)
            grid.extraFlags |= kGridTree;
        EXPECT_EQ(grid.MoveHeader(c.pos, c.dir), c.result);
        EXPECT_EQ(ViewOrder(grid), c.order);
        // definition order never moves
        EXPECT_EQ(grid.GetHeaderWare(0)->header.title, std::u16string(u"0"));
    }
    XPageGrider grid;
    Columns(grid, 3);
    grid.MoveHeader(2, 0);
    EXPECT_EQ(ViewOrder(grid), u"021");
    XGB_HEADER h = Column(kGridInteger, 4);
    h.title = u"3";
    grid.InsertHeader(3, &h); // drops the display order
    EXPECT_EQ(ViewOrder(grid), u"0123");
}

TEST(GriderHeader, WideDefine)
{
    XPageGrider grid;
    Columns(grid, 3);
    grid.MoveHeader(1, 1);
    const uint16_t mismatch[] = {2, 0, 5, 0, 6, 1};
    EXPECT_EQ(grid.SetWideDefine(mismatch), 0);
    EXPECT_EQ(ViewOrder(grid), u"021"); // nothing changed
    EXPECT_EQ(grid.GetHeaderNode(0)->header.wide, 10);

    const uint16_t duplicate[] = {3, 0, 5, 1, 6, 1, 7, 0};
    EXPECT_EQ(grid.SetWideDefine(duplicate), 0);
    EXPECT_EQ(ViewOrder(grid), u"012"); // rebuilt from definition order
    const uint16_t beyond[] = {3, 0, 5, 3, 6, 1, 7, 0};
    EXPECT_EQ(grid.SetWideDefine(beyond), 0);
    EXPECT_EQ(grid.SetWideDefine(duplicate, 7), 0); // too short for 3 columns

    grid.AddRegionNode(0, 1, 0, 0, u"组");
    const uint16_t good[] = {3, 1, 50, 2, 60, 0, 70, 1};
    ASSERT_EQ(grid.SetWideDefine(good), 1);
    EXPECT_EQ(ViewOrder(grid), u"120");
    EXPECT_EQ(grid.GetHeaderNode(0)->header.wide, 50);
    EXPECT_EQ(grid.GetHeaderNode(2)->header.wide, 70);
    EXPECT_EQ(grid.GetHeaderNode(0)->header.baseWide, 10);
    // frozen count 1 cuts the group header over display columns 0-1: not applied
    EXPECT_EQ(grid.GetLockHeader(), 0u);
    const uint16_t frozen[] = {3, 2, 50, 2, 60, 0, 70, 1};
    ASSERT_EQ(grid.SetWideDefine(frozen), 1);
    EXPECT_EQ(grid.GetLockHeader(), 2u);
}

TEST(GriderHeader, GroupHeadersAndFrozenColumns)
{
    XPageGrider grid;
    Columns(grid, 5);
    struct Add
    {
        unsigned first, last, line0, line1;
        bool added;
    };
    const Add adds[] = {
        {0, 1, 0, 0, true},  {2, 4, 0, 1, true},    {1, 0, 0, 0, false}, {0, 5, 0, 0, false},
        {0, 0, 1, 0, false}, {0, 0, 0, 255, false}, {3, 4, 2, 2, true},
    };
    for (const Add &a : adds)
        grid.AddRegionNode(a.first, a.last, a.line0, a.line1, u"组");
    unsigned count = 0;
    for (XRegionNode *r = grid.GetRegionWare(); r != nullptr; r = r->next)
        ++count;
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(grid.GetRegionWare()->firstCol, 3u); // newest first
    EXPECT_EQ(grid.GetRowHeader(), 4u);            // lastLine 2 + 2

    EXPECT_EQ(grid.GetHeaderTop(0), 18u);
    EXPECT_EQ(grid.GetHeaderTop(2), 36u);
    EXPECT_EQ(grid.GetHeaderTop(4), 54u);
    BOUND_t place = {};
    grid.GetRegionPlace(grid.GetRegionWare(), &place);
    EXPECT_EQ(place.x, 10 + 20 + 30);
    EXPECT_EQ(place.width, 40 + 50);
    EXPECT_EQ(place.y, 36);
    EXPECT_EQ(place.height, 18);

    struct Lock
    {
        unsigned count;
        int result;
        unsigned frozen;
    };
    const Lock locks[] = {{1, 0, 0}, {2, 1, 2}, {3, 0, 2}, {4, 0, 2}, {5, 1, 0}, {0, 1, 0}};
    for (const Lock &l : locks) {
        EXPECT_EQ(grid.SetLockHeader(l.count), l.result) << l.count;
        EXPECT_EQ(grid.GetLockHeader(), l.frozen) << l.count;
    }

    // Deleting the column at display position 3 drops the group headers ending at or
    // after it; the header lines follow the rest.
    ASSERT_TRUE(grid.DeleteHeader(3));
    count = 0;
    for (XRegionNode *r = grid.GetRegionWare(); r != nullptr; r = r->next)
        ++count;
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(grid.GetRowHeader(), 2u);
    EXPECT_EQ(grid.GetColNumber(), 4u);
    EXPECT_EQ(ViewOrder(grid), u"0124");
    EXPECT_EQ(grid.DeleteHeader(4), 0);

    grid.RemoveAllHeader();
    EXPECT_EQ(grid.GetColNumber(), 0u);
    EXPECT_EQ(grid.GetRegionWare(), nullptr);
    EXPECT_EQ(grid.GetRowHeader(), 1u);
}

TEST(GriderHeader, ItemMapperByKind)
{
    XPageGrider grid;
    const XGB_HEADER cols[] = {
        Column(kGridInteger, 4, kCellEdit, 2),  Column(kGridInteger, 4, kCellCombo),
        Column(kGridInteger, 4, kCellRadio, 1), Column(kGridInteger, 4, kCellRadio, 0),
        Column(kGridInteger, 4, kCellEdit, 1),  Column(kGridText, 4, kCellPlain),
    };
    const int results[] = {1, 1, 1, 1, 0, 0};
    for (unsigned i = 0; i < 6; ++i)
        grid.InsertHeader(i, &cols[i]);
    for (unsigned i = 0; i < 6; ++i) {
        EXPECT_EQ(grid.SetItemMapper(i, u"a\nb"), results[i]) << i;
        const char16_t *m = grid.GetItemMapper(i);
        EXPECT_EQ(m != nullptr && std::u16string(m) == u"a\nb", results[i] == 1) << i;
    }
    EXPECT_EQ(grid.SetItemMapper(6, u"x"), 0);
    EXPECT_EQ(grid.GetItemMapper(6), nullptr);
    EXPECT_NE(grid.GetSubEditor(0), nullptr); // made on first use
    EXPECT_EQ(grid.GetSubEditor(0), grid.GetSubEditor(0));
    EXPECT_EQ(grid.GetSubEditor(5), nullptr); // plain columns are never edited
}

// A descriptor read with GetHeader goes back through SetHeader, and a mapper read with
// GetItemMapper through SetItemMapper, though both name the grid's own texts.
TEST(GriderHeader, OwnTextsGoBack)
{
    XPageGrider grid;
    XGB_HEADER h = Column(kGridInteger, 4, kCellCombo, 0, u"1;甲");
    h.title = u"标题";
    grid.InsertHeader(0, &h);
    XGB_HEADER out = {};
    grid.GetHeader(0, &out);
    out.wide = 90;
    ASSERT_TRUE(grid.SetHeader(0, &out));
    grid.GetHeader(0, &out);
    EXPECT_EQ(std::u16string(out.title), u"标题");
    EXPECT_EQ(std::u16string(out.mapper), u"1;甲");
    ASSERT_TRUE(grid.SetItemMapper(0, grid.GetItemMapper(0)));
    EXPECT_EQ(std::u16string(grid.GetItemMapper(0)), u"1;甲");
}

} // namespace
