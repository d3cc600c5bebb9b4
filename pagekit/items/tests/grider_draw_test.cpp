// The grid on the virtual display: geometry and hit tests, the rows a frame paints, the
// pictures of its cell kinds and header, and the pointer, keys, menus and clipboard.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corekit/containers/xfinder.h"
#include "corekit/numbers/xvar_meter.h"
#include "pagekit/core/menu_item.h"
#include "pagekit/core/page_floater.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/items/header_editor.h"
#include "pagekit/items/page_grider.h"
#include "pagekit/items/tests/grider_fixture.h"
#include "pagekit/items/tests/grider_window.h"
#include "platform/panekit/virtual/virtual_display.h"

#include <cairo.h>

namespace {

using GridDraw = PageWindowTest;

// Inside the menu's loop: clicks the menu's entry (separators count) at index.
void ChooseEntry(XVirtualDisplay *display, XPageWindow &window, size_t index)
{
    display->Call([display, &window, index] {
        XPageItem *menu = window.GetPageFloater();
        ASSERT_NE(nullptr, menu);
        std::vector<XPageItem *> entries;
        XFinder finder;
        for (XPageItem *e = menu->GetNextSuber(0, &finder); e != nullptr;
             e = menu->GetNextSuber(0x10, &finder))
            entries.push_back(e);
        ASSERT_LT(index, entries.size());
        BOUND_t at;
        entries[index]->GetPlace(kPlaceWindow, &at);
        display->Click(&window, at.x + 5, at.y + at.height / 2);
    });
}

std::vector<int> Selected(XPageGrider &grid)
{
    std::vector<int> out;
    for (void *r = grid.GetNextChoice(nullptr); r != nullptr; r = grid.GetNextChoice(r))
        out.push_back(static_cast<int>(grid.GetItemIndex(r)));
    return out;
}

// The RGB of a pixel of the window's picture.
uint32_t PixelRgb(XVirtualDisplay *display, Panekit *window, int x, int y)
{
    cairo_surface_t *s = display->GetWindowSurface(window);
    cairo_surface_flush(s);
    const unsigned char *row =
        cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    uint32_t argb;
    memcpy(&argb, row + 4 * x, 4);
    return argb & 0xFFFFFF;
}

// COLORREF (0x00BBGGRR) to RGB.
uint32_t Rgb(uint32_t colorref)
{
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}

// ---------------------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------------------

TEST(GridGeometry, GuideWidthFollowsItsRule)
{
    struct Case
    {
        const char *name;
        uint32_t options;
        unsigned rows;
        unsigned wide;
    } cases[] = {
        {"no guide", 0, 5, 0},
        // 4 + one digit x 6 + 4 = 14, raised to 20.
        {"short numbers take the least width", kGridGuide, 5, 20},
        {"five digits", kGridGuide, 12345, 4 + 5 * 6 + 4},
        {"totals leave room for their label", kGridGuide | kGridTotals, 5, 4 + 2 * 12 + 8},
        {"row icons without an icon set", kGridGuide | kGridRowIcon, 5, 20 + 6 + 4},
        {"tree grids have no row icons", kGridGuide | kGridRowIcon | kGridTree, 5, 20},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        XPageGrider grid;
        grid.extraFlags |= c.options;
        XGB_HEADER h = Column(kGridText, 8);
        grid.InsertHeader(0, &h);
        grid.SetUpdateMode(1);
        for (unsigned r = 0; r < c.rows; ++r)
            grid.InsertMatter(grid.GetRowNumber(), nullptr, nullptr);
        grid.SetUpdateMode(0);
        grid.ComputeBlockSize();
        EXPECT_EQ(c.wide, grid.GetGuidePlace());
    }
}

TEST(GridGeometry, TitleHeightAndItemHeights)
{
    XPageGrider grid;
    XGB_HEADER h = Column(kGridText, 8);
    grid.InsertHeader(0, &h);
    grid.ComputeTitleSize();
    EXPECT_EQ(18u, grid.GetItemHeight(2));
    grid.AddRegionNode(0, 0, 0, 0, u"组");
    grid.ComputeTitleSize();
    EXPECT_EQ(36u, grid.GetItemHeight(2)); // two header lines
    grid.SetItemHeight(1, 10);
    grid.SetItemHeight(0, 0);
    grid.ComputeTitleSize();
    EXPECT_EQ(20u, grid.GetItemHeight(2));
    EXPECT_EQ(18u, grid.GetItemHeight(0));
    XGB_HEADER ledger = Column(kGridDouble, 8, kCellLedger);
    grid.InsertHeader(1, &ledger);
    grid.RemoveAllHeader();
    grid.InsertHeader(0, &ledger);
    grid.ComputeTitleSize();
    EXPECT_EQ(28u, grid.GetItemHeight(2)); // one 10-pixel line, raised for the ruler
    grid.extraFlags |= kGridNoHeader;
    grid.ComputeTitleSize();
    EXPECT_EQ(0u, grid.GetItemHeight(2));
}

TEST_F(GridDraw, HitTestAndCellPlacesWithFrozenColumnsAndScroll)
{
    Form f(kGridGuide, 300, 200);
    f.Columns(6, 80);
    f.Rows(40);
    Open(f.window, 300, 200);
    XPageGrider &g = *f.grid;
    ASSERT_TRUE(g.SetLockHeader(1));
    g.CalcExtentSize(0);
    const int guide = static_cast<int>(g.GetGuidePlace());
    ASSERT_EQ(20, guide);
    EXPECT_EQ(100u, g.GetLockEdge());
    g.SetScrollPos(0, 50);
    g.SetScrollPos(1, 36);
    ASSERT_EQ(50, g.GetScrollPos(0));
    ASSERT_EQ(36, g.GetScrollPos(1));

    struct Case
    {
        int x, y;
        int row, col;
    } cases[] = {
        {5, 5, 0, 0},      // the corner
        {5, 18, 3, 0},     // the guide column; the first row shown is row index 2
        {30, 18, 3, 1},    // the frozen column does not scroll
        {100, 18, 3, 2},   // column 1 (content 100 ... 179) shows from 50: 100 ... 129
        {101, 5, 0, 2},    // the header band
        {129, 40, 4, 2},   // its last pixel
        {130, 40, 4, 3},   // column 2
        {290, 150, 10, 5}, // column 4
    };
    for (const Case &c : cases) {
        int col = -9;
        XHeaderNode *column = nullptr;
        const int row = g.HitTest(c.x, c.y, &col, &column);
        EXPECT_EQ(c.row, row) << c.x << "," << c.y;
        EXPECT_EQ(c.col, col) << c.x << "," << c.y;
        EXPECT_EQ(c.col >= 1, column != nullptr);
    }
    int col = 0;
    EXPECT_EQ(-1, g.HitTest(50, 10000, &col, nullptr)); // below the rows
    g.SetScrollPos(0, 0);
    EXPECT_EQ(3, g.HitTest(60 + 6 * 80, 18, &col, nullptr));
    EXPECT_EQ(-1, col); // right of the columns
    g.SetScrollPos(0, 50);

    BOUND_t cell;
    ASSERT_TRUE(g.GetCellPlace(2, 0, &cell));
    EXPECT_TRUE(SameBound(Bound(20 + 50, 2 * 18 + 18, 80, 18), cell)) << Show(cell);
    ASSERT_TRUE(g.GetCellPlace(0, 3, &cell));
    EXPECT_TRUE(SameBound(Bound(20 + 3 * 80, 18, 80, 18), cell)) << Show(cell);
    ASSERT_TRUE(g.GetCellPlace(1, -1, &cell));
    EXPECT_TRUE(SameBound(Bound(20, 36, 6 * 80, 18), cell)) << Show(cell);
    EXPECT_FALSE(g.GetCellPlace(-1, 0, &cell));
    EXPECT_FALSE(g.GetCellPlace(0, 6, &cell));
}

TEST_F(GridDraw, EnsureVisibleKeepsCellsOutOfTheHeaderAndFrozenColumns)
{
    Form f(kGridGuide, 300, 200);
    f.Columns(6, 80);
    f.Rows(40);
    Open(f.window, 300, 200);
    XPageGrider &g = *f.grid;
    g.SetLockHeader(1);
    g.EnsureVisible(30, 5);
    BOUND_t cell;
    g.GetCellPlace(30, 5, &cell);
    EXPECT_EQ(g.body.height, cell.y + cell.height - g.GetScrollPos(1));
    EXPECT_EQ(g.body.width, cell.x + cell.width - g.GetScrollPos(0));
    g.EnsureVisible(3, 2);
    g.GetCellPlace(3, 2, &cell);
    EXPECT_EQ(18, cell.y - g.GetScrollPos(1));
    EXPECT_EQ(100, cell.x - g.GetScrollPos(0));
    const int x = g.GetScrollPos(0);
    g.EnsureVisible(3, 0); // frozen: no horizontal scroll
    EXPECT_EQ(x, g.GetScrollPos(0));
}

// A frame paints the rows in the clip only, numbered from the row index.
TEST_F(GridDraw, FramesPaintTheVisibleRowsAtAnySize)
{
    for (unsigned rows : {1000u, 1000000u}) {
        SCOPED_TRACE(rows);
        Form f(kGridGuide, 300, 200);
        f.Columns(3);
        XPageGrider &g = *f.grid;
        g.SetUpdateMode(1);
        for (unsigned r = 0; r < rows; ++r)
            g.InsertMatter(g.GetRowNumber(), nullptr, nullptr);
        g.SetUpdateMode(0);
        Open(f.window, 300, 200);
        g.SetScrollPos(1, static_cast<int>(rows / 2) * 18);
        Run();
        // 200 less the borders and the horizontal bar, less the title, in 18-pixel rows.
        const int visible = (g.body.height - 18 + 17) / 18;
        EXPECT_LE(g.GetDrawnRows(), static_cast<unsigned>(visible + 1));
        EXPECT_GE(g.GetDrawnRows(), static_cast<unsigned>(visible));
    }
}

TEST(GridGeometry, DataNumbersSkipSubtotalRows)
{
    XPageGrider grid;
    grid.extraFlags |= kGridTotals;
    XGB_HEADER key = Column(kGridText, 8);
    XGB_HEADER amount = Column(kGridInteger, 4);
    amount.aggregate = kAggrSum;
    grid.InsertHeader(0, &key);
    grid.InsertHeader(1, &amount);
    const char16_t *keys[] = {u"a", u"a", u"b", u"c", u"c"};
    for (const char16_t *k : keys) {
        void *row = grid.InsertMatter(grid.GetRowNumber(), nullptr, nullptr);
        grid.SetItemText(row, 0, k);
        grid.SetItemText(row, 1, u"1");
    }
    const unsigned cols[] = {0};
    ASSERT_TRUE(grid.CreateAggrSuber(cols, 1));
    grid.FlushUpdate();
    // a a S b S c c S T
    ASSERT_EQ(9u, grid.GetRowNumber());
    const unsigned expected[] = {0, 1, 2, 2, 3, 3, 4, 5, 5};
    for (unsigned i = 0; i < 9; ++i)
        EXPECT_EQ(expected[i], grid.CountDataBefore(i)) << i;
}

// ---------------------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------------------

TEST_F(GridDraw, FrozenColumnsGroupHeadersAndHeaderMarks)
{
    Form f(kGridGuide | kGridFilterMenu, 320, 150);
    XPageGrider &g = *f.grid;
    XGB_HEADER check = Column(kGridInteger, 4, kCellCheck);
    check.wide = 30;
    check.title = u"选";
    XGB_HEADER name = Column(kGridText, 16);
    name.title = u"名称";
    XGB_HEADER region = Column(kGridText, 16);
    region.title = u"地区";
    region.unite = 1;
    XGB_HEADER amount = Column(kGridInteger, 4);
    amount.title = u"金额";
    amount.align = 1;
    g.InsertHeader(0, &check);
    g.InsertHeader(1, &name);
    g.InsertHeader(2, &region);
    g.InsertHeader(3, &amount);
    g.AddRegionNode(2, 3, 0, 0, u"明细");
    const char16_t *rows[][3] = {
        {u"甲", u"东", u"10"}, {u"乙", u"东", u"20"}, {u"丙", u"西", u"5"}};
    for (auto &r : rows) {
        void *row = g.InsertMatter(g.GetRowNumber(), nullptr, nullptr);
        g.SetItemText(row, 1, r[0]);
        g.SetItemText(row, 2, r[1]);
        g.SetItemText(row, 3, r[2]);
    }
    g.SetItemText(g.GetItemMatter(1), 0, u"1");
    g.SetLockHeader(2);
    const unsigned sortCol = 3;
    g.SortMatter(&sortCol, 1, 1);
    Open(f.window, 320, 150);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &f.window, "grid_frozen"));
}

TEST_F(GridDraw, EveryCellKind)
{
    Form f(kGridGuide, 420, 90);
    XPageGrider &g = *f.grid;
    struct Kind
    {
        uint16_t kind;
        uint16_t type;
        const char16_t *value;
        uint16_t wide;
    } kinds[] = {
        {kCellColor, kGridInteger, u"255", 30},   {kCellCheck, kGridInteger, u"1", 30},
        {kCellBar, kGridInteger, u"50", 50},      {kCellRange, kGridInteger, u"1310740", 50},
        {kCellPercent, kGridDouble, u"42.5", 60}, {kCellLedger, kGridDouble, u"-1234.5", 100},
        {kCellLink, kGridText, u"链接", 50},      {kCellEdit, kGridText, u"文本", 50},
    };
    unsigned i = 0;
    for (const Kind &k : kinds) {
        XGB_HEADER h = Column(k.type, k.type == kGridText ? 16 : 8, k.kind);
        h.wide = k.wide;
        h.title = u"类";
        if (k.kind == kCellLedger)
            h.format = 0x2; // two decimals
        g.InsertHeader(i++, &h);
    }
    void *row = g.InsertMatter(0, nullptr, nullptr);
    void *empty = g.InsertMatter(1, nullptr, nullptr);
    (void)empty;
    for (unsigned c = 0; c < i; ++c)
        g.SetItemText(row, c, kinds[c].value);
    // Bar maxima: 100 for the bar, 0x30 for the range bar.
    g.GetHeaderNode(2)->maxValue = 100;
    g.GetHeaderNode(3)->maxValue = 48;
    g.SetUpdateMode(1); // keep the maxima set by hand
    Open(f.window, 420, 90);
    g.Invalidate(nullptr, 1);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &f.window, "grid_kinds"));
}

TEST_F(GridDraw, SelectionBlockTotalsAndBaseColours)
{
    Form f(kGridGuide | kGridTotals | kGridMultiSelect, 260, 150);
    XPageGrider &g = *f.grid;
    XGB_HEADER key = Column(kGridText, 8);
    key.title = u"键";
    XGB_HEADER amount = Column(kGridInteger, 4);
    amount.title = u"数";
    amount.aggregate = kAggrSum;
    g.InsertHeader(0, &key);
    g.InsertHeader(1, &amount);
    const char16_t *keys[] = {u"a", u"a", u"b"};
    for (const char16_t *k : keys) {
        void *row = g.InsertMatter(g.GetRowNumber(), nullptr, nullptr);
        g.SetItemText(row, 0, k);
        g.SetItemText(row, 1, u"7");
    }
    const unsigned cols[] = {0};
    g.CreateAggrSuber(cols, 1);
    Open(f.window, 260, 150);
    // Row 0 selected; Ctrl adds row 1 and puts the block on its second column.
    Click(display, f, 60, 18 + 5); // the guide column is 36 wide
    display->KeyDown(&f.window, 17);
    Click(display, f, 140, 36 + 5);
    display->KeyUp(&f.window, 17);
    Run();
    ASSERT_EQ((std::vector<int>{0, 1}), Selected(g));
    int32_t block[4];
    g.GetBlockChoice(block);
    EXPECT_EQ(1, block[0]);
    EXPECT_EQ(1, block[1]);
    EXPECT_EQ(0, CompareGolden(display, &f.window, "grid_selection"));
    // Pixel probes: the selected row, the block cell, an odd row, the subtotal and total.
    const POINT_t selected = f.At(60, 18 + 2);
    EXPECT_EQ(Rgb(g.GetBaseColor(0)), PixelRgb(display, &f.window, selected.x, selected.y));
    EXPECT_EQ(0x008080u, Rgb(0x808000));
    const POINT_t blockCell = f.At(140, 36 + 2);
    EXPECT_EQ(Rgb(g.GetBaseColor(1)), PixelRgb(display, &f.window, blockCell.x, blockCell.y));
    const POINT_t odd = f.At(60, 18 + 3 * 18 + 2); // row 3: odd, not selected
    EXPECT_EQ(Rgb(g.GetBaseColor(2)), PixelRgb(display, &f.window, odd.x, odd.y));
    const POINT_t subtotal = f.At(140, 54 + 2);
    EXPECT_EQ(Rgb(g.GetBaseColor(4)), PixelRgb(display, &f.window, subtotal.x, subtotal.y));
    const POINT_t total = f.At(140, 18 + 5 * 18 + 2);
    EXPECT_EQ(Rgb(g.GetBaseColor(3)), PixelRgb(display, &f.window, total.x, total.y));
}

TEST_F(GridDraw, LedgerRulesHaveTheirColours)
{
    Form f(0, 140, 60);
    XPageGrider &g = *f.grid;
    XGB_HEADER ledger = Column(kGridDouble, 8, kCellLedger);
    ledger.wide = 120;
    g.InsertHeader(0, &ledger);
    g.InsertMatter(0, nullptr, nullptr);
    Open(f.window, 140, 60);
    Run();
    // Rules counted from 0 at the right: 10 pixels apart from the right border.
    const int right = 120 - 1;
    const int y = static_cast<int>(g.GetItemHeight(2)) + 3;
    const uint32_t expected[] = {
        0x00FF00, 0xFF0000 /* red */, 0x00FF00, 0x00FF00, 0x0000FF /* blue */,
        0x00FF00, 0x00FF00,           0x0000FF};
    for (int k = 0; k < 8; ++k) {
        const POINT_t p = f.At(right - 10 * (k + 1), y);
        EXPECT_EQ(expected[k], PixelRgb(display, &f.window, p.x, p.y)) << k;
    }
}

// ---------------------------------------------------------------------------------------
// Pointer and keys
// ---------------------------------------------------------------------------------------

TEST_F(GridDraw, HeaderClicksSortAndAlternate)
{
    Form f(0, 300, 150);
    f.Columns(2);
    XPageGrider &g = *f.grid;
    const char16_t *texts[] = {u"b", u"c", u"a"};
    for (const char16_t *t : texts)
        g.SetItemText(g.InsertMatter(g.GetRowNumber(), nullptr, nullptr), 0, t);
    Open(f.window, 300, 150);
    auto order = [&] {
        std::string s;
        for (void *r = g.GetNextItem(nullptr); r != nullptr; r = g.GetNextItem(r))
            s += Narrow(Display(g, r, 0));
        return s;
    };
    Click(display, f, 40, 5);
    Run();
    EXPECT_EQ("abc", order());
    EXPECT_EQ(0u, g.GetSortColumn());
    Click(display, f, 40, 5);
    Run();
    EXPECT_EQ("cba", order());
    EXPECT_EQ(kSortDescending, g.GetSortColumn());
    Click(display, f, 40, 5);
    Run();
    EXPECT_EQ("abc", order());
    Click(display, f, 120, 5); // another column: ascending
    Run();
    EXPECT_EQ(1u, g.GetSortColumn());
    g.extraFlags |= kGridNoSort;
    Click(display, f, 40, 5);
    Run();
    EXPECT_EQ(1u, g.GetSortColumn());
}

TEST_F(GridDraw, EdgeDragsResizeButNotBelowTwenty)
{
    Form f(0, 300, 150);
    f.Columns(2);
    Open(f.window, 300, 150);
    XPageGrider &g = *f.grid;
    auto drag = [&](int from, int to) {
        const POINT_t a = f.At(from, 5);
        const POINT_t b = f.At(to, 5);
        display->Move(&f.window, a.x, a.y);
        display->Press(&f.window, a.x, a.y);
        display->Move(&f.window, b.x, b.y);
        display->Release(&f.window, b.x, b.y);
        display->Advance(1000);
        Run();
    };
    drag(78, 120); // armed 2 px left of the edge at 80: width = 120 - 0
    EXPECT_EQ(120, g.GetHeaderNode(0)->header.wide);
    drag(121, 5); // 1 px right of the edge
    EXPECT_EQ(20, g.GetHeaderNode(0)->header.wide);
    drag(60, 200); // not near an edge: no resize (a block drag in the header band)
    EXPECT_EQ(20, g.GetHeaderNode(0)->header.wide);
    g.extraFlags |= kGridNoDrag;
    drag(19, 100);
    EXPECT_EQ(20, g.GetHeaderNode(0)->header.wide);
}

TEST_F(GridDraw, CheckCellsToggleWithVetoAndMarkEditableRows)
{
    for (bool editable : {false, true}) {
        SCOPED_TRACE(editable);
        Form f(editable ? kGridEditable | kGridTotals : kGridTotals, 300, 150);
        XPageGrider &g = *f.grid;
        XGB_HEADER check = Column(kGridInteger, 4, kCellCheck);
        check.aggregate = kAggrSum;
        g.InsertHeader(0, &check);
        g.InsertMatter(0, nullptr, nullptr);
        g.InsertMatter(1, nullptr, nullptr);
        g.SetItemState(g.GetItemMatter(0), 0);
        g.SetModifyState(0);
        g.ComputeAggregate(-1);
        ASSERT_EQ(3u, g.GetRowNumber());
        Open(f.window, 300, 150);
        XVarMeter v = {};
        Click(display, f, 40, 18 + 5);
        Run();
        g.GetSuber(g.GetItemMatter(0), 0, &v);
        EXPECT_EQ(1, v.value.integer);
        EXPECT_EQ(editable, (g.GetItemState(g.GetItemMatter(0)) & kMatterModified) != 0);
        EXPECT_EQ(editable, g.GetModifyState() != 0);
        g.FlushUpdate();
        g.GetSuber(g.GetItemMatter(2), 0, &v);
        EXPECT_EQ(editable ? 1 : 0, v.value.integer) << "the total follows edits only";
        // A veto restores the value.
        f.notes.veto = kGridOnClickItem;
        Click(display, f, 40, 18 + 5);
        Run();
        g.GetSuber(g.GetItemMatter(0), 0, &v);
        EXPECT_EQ(1, v.value.integer);
        // The total row does not toggle.
        f.notes.veto = 0;
        Click(display, f, 40, 18 + 2 * 18 + 5);
        Run();
        g.GetSuber(g.GetItemMatter(2), 0, &v);
        EXPECT_EQ(editable ? 1 : 0, v.value.integer);
        // The header box checks every row, unless vetoed.
        Click(display, f, 40, 5);
        Run();
        EXPECT_EQ(1u, g.GetHeaderNode(0)->header.format);
        g.GetSuber(g.GetItemMatter(1), 0, &v);
        EXPECT_EQ(1, v.value.integer);
        f.notes.veto = kGridOnCheckHeader;
        Click(display, f, 40, 5);
        Run();
        g.GetSuber(g.GetItemMatter(1), 0, &v);
        EXPECT_EQ(1, v.value.integer);
    }
}

TEST_F(GridDraw, KeysMoveTheSelectionOverDataRows)
{
    Form f(kGridTotals, 300, 150);
    XPageGrider &g = *f.grid;
    XGB_HEADER h = Column(kGridInteger, 4);
    h.aggregate = kAggrSum;
    g.InsertHeader(0, &h);
    for (int i = 0; i < 4; ++i)
        g.InsertMatter(g.GetRowNumber(), nullptr, nullptr);
    g.ComputeAggregate(-1); // a total row at index 4
    Open(f.window, 300, 150);
    f.window.SetFocusItem(&g);
    struct Step
    {
        uint32_t key;
        int selected;
    } steps[] = {{40, 0}, {40, 1}, {35, 3}, {40, 3}, {38, 2}, {36, 0}, {38, 0}};
    for (const Step &s : steps) {
        display->KeyDown(&f.window, s.key);
        display->KeyUp(&f.window, s.key);
        Run();
        EXPECT_EQ(std::vector<int>{s.selected}, Selected(g)) << s.key;
    }
}

TEST_F(GridDraw, ClickModesSelectRowsAndBlocks)
{
    Form f(kGridMultiSelect, 300, 200);
    f.Columns(3);
    f.Rows(6);
    Open(f.window, 300, 200);
    XPageGrider &g = *f.grid;
    int32_t block[4];
    g.HitChoice(1, 1, 0);
    EXPECT_EQ(std::vector<int>{1}, Selected(g));
    g.GetBlockChoice(block);
    EXPECT_EQ((std::vector<int>{1, 1, 1, 1}), std::vector<int>(block, block + 4));
    g.HitChoice(3, 2, 2); // extend: rows 1 ... 3, block to column 2
    EXPECT_EQ((std::vector<int>{1, 2, 3}), Selected(g));
    g.GetBlockChoice(block);
    EXPECT_EQ((std::vector<int>{1, 1, 2, 3}), std::vector<int>(block, block + 4));
    g.HitChoice(5, -1, 1); // toggle on
    EXPECT_EQ((std::vector<int>{1, 2, 3, 5}), Selected(g));
    g.HitChoice(2, 0, 1); // toggle off empties the block
    EXPECT_EQ((std::vector<int>{1, 3, 5}), Selected(g));
    g.GetBlockChoice(block);
    EXPECT_EQ(0, block[2]);
    g.HitChoice(3, 0, 3); // right button on a selected row: nothing changes
    EXPECT_EQ((std::vector<int>{1, 3, 5}), Selected(g));
    g.HitChoice(4, 0, 3);
    EXPECT_EQ(std::vector<int>{4}, Selected(g));
    g.extraFlags &= ~kGridMultiSelect;
    g.HitChoice(2, 1, 1); // without multi-selection every mode selects one row
    EXPECT_EQ(std::vector<int>{2}, Selected(g));
}

TEST_F(GridDraw, BlockDragsAndCopies)
{
    Form f(kGridBlockEdit, 400, 200);
    f.Columns(3);
    f.Rows(5);
    Open(f.window, 400, 200);
    XPageGrider &g = *f.grid;
    f.window.SetFocusItem(&g);
    const POINT_t a = f.At(100, 18 + 18 + 5);
    const POINT_t b = f.At(30, 18 + 3 * 18 + 5);
    display->Move(&f.window, a.x, a.y);
    display->Press(&f.window, a.x, a.y);
    display->Move(&f.window, b.x, b.y);
    display->Release(&f.window, b.x, b.y);
    Run();
    int32_t block[4];
    g.GetBlockChoice(block);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), std::vector<int>(block, block + 4));
    display->KeyDown(&f.window, 17);
    display->KeyDown(&f.window, 67);
    display->KeyUp(&f.window, 67);
    display->KeyUp(&f.window, 17);
    Run();
    EXPECT_EQ(u"r1c0\tr1c1\r\nr2c0\tr2c1\r\nr3c0\tr3c1\r\n", display->GetClipboard());
    // Ctrl+B copies the selected data rows only; Ctrl+C without a block copies nothing.
    display->SetClipboard(u"x");
    g.SetChoice(4);
    display->KeyDown(&f.window, 17);
    display->KeyDown(&f.window, 66);
    display->KeyUp(&f.window, 66);
    display->KeyDown(&f.window, 67);
    display->KeyUp(&f.window, 67);
    display->KeyUp(&f.window, 17);
    Run();
    EXPECT_EQ(u"r4c0\tr4c1\tr4c2\r\n", display->GetClipboard());
}

// ---------------------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------------------

TEST_F(GridDraw, RowMenuStatesFollowTheContextAnswer)
{
    struct Case
    {
        const char *name;
        uint32_t options;
        uint32_t answer;
        int row;
        bool block;
        // Flags of entries 1, 2, 3, 4, 5, 17, 18, 19, 20, 24.
        std::vector<uint32_t> flags;
    } cases[] = {
        {"no data row, no block", 0, 0, -1, false, {1, 0, 256, 256, 256, 1, 0, 256, 1, 0}},
        {"a row and block entries", kGridBlockEdit, 0, 2, true, {0, 0, 0, 0, 0, 0, 0, 256, 0, 0}},
        {"1 greys paste, insert, append",
         kGridBlockEdit,
         1,
         2,
         true,
         {0, 1, 0, 0, 0, 1, 1, 256, 0, 0}},
        {"2 greys the destructive ones",
         kGridBlockEdit,
         2,
         2,
         true,
         {1, 0, 0, 1, 1, 0, 0, 256, 1, 1}},
        {"4 greys clear all", 0, 4, 2, false, {0, 0, 256, 256, 256, 0, 0, 256, 0, 1}},
        {"0x10 shows add child in tree mode",
         kGridTree,
         0x10,
         2,
         false,
         {0, 0, 256, 256, 256, 0, 0, 0, 0, 0}},
        {"0x10 outside tree mode", 0, 0x10, 2, false, {0, 0, 256, 256, 256, 0, 0, 256, 0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        XPageGrider grid;
        grid.extraFlags |= c.options;
        grid.SetHook(
            [](void *user, XMessage_t *m) {
                if (m->code == kGridOnContextMenu)
                    m->flags = *static_cast<uint32_t *>(user);
                return 0;
            },
            const_cast<uint32_t *>(&c.answer));
        XGB_HEADER h = Column(kGridText, 8);
        grid.InsertHeader(0, &h);
        for (int i = 0; i < 4; ++i)
            grid.InsertMatter(grid.GetRowNumber(), nullptr, nullptr);
        if (c.block)
            grid.HitChoice(1, 0, 0);
        XMenuItem entries[kEditbarEntries];
        grid.BuildEditbar(c.row, entries);
        std::vector<uint32_t> flags;
        for (const XMenuItem &e : entries)
            if (e.code != 0)
                flags.push_back(e.flags);
        EXPECT_EQ(c.flags, flags);
    }
}

TEST_F(GridDraw, RowMenuCommandsInsertWithTheLayerRules)
{
    Form f(kGridTree | kGridRowMenu | kGridEditable, 300, 200);
    XPageGrider &g = *f.grid;
    XGB_HEADER h = Column(kGridText, 8);
    g.InsertHeader(0, &h);
    // Layers: 0 1 1 2 0
    const unsigned layers[] = {0, 1, 1, 2, 0};
    for (unsigned l : layers)
        g.SetItemLayer(g.InsertMatter(g.GetRowNumber(), nullptr, nullptr), l);
    auto layout = [&] {
        std::vector<unsigned> out;
        for (void *r = g.GetNextItem(nullptr); r != nullptr; r = g.GetNextItem(r))
            out.push_back(g.GetItemLayer(r));
        return out;
    };
    g.OnEditbarCommand(kRowMenuAppend, 1); // after the sibling group of row 1: after row 3
    EXPECT_EQ((std::vector<unsigned>{0, 1, 1, 2, 1, 0}), layout());
    EXPECT_EQ(4u, g.GetItemIndex(g.GetNextChoice(nullptr)));
    g.OnEditbarCommand(kRowMenuAddChild, 2); // after row 3 (deeper), layer 2
    EXPECT_EQ((std::vector<unsigned>{0, 1, 1, 2, 2, 1, 0}), layout());
    EXPECT_EQ(4u, g.GetItemIndex(g.GetNextChoice(nullptr)));
    g.OnEditbarCommand(kRowMenuInsert, 0); // before row 0, its layer
    EXPECT_EQ((std::vector<unsigned>{0, 0, 1, 1, 2, 2, 1, 0}), layout());
    g.extraFlags &= ~kGridTree;
    g.OnEditbarCommand(kRowMenuAppend, 2); // without tree mode: at the end
    EXPECT_EQ(8u, g.GetItemIndex(g.GetNextChoice(nullptr)));

    // Deletions ask first and may be vetoed.
    Open(f.window, 300, 200);
    const unsigned before = g.GetRowNumber();
    g.SetChoice(1);
    display->AnswerBox(0);
    g.OnEditbarCommand(kRowMenuDelete, 1);
    EXPECT_EQ(before, g.GetRowNumber());
    f.notes.veto = kGridOnDeleteItem;
    display->AnswerBox(1);
    g.OnEditbarCommand(kRowMenuDelete, 1);
    EXPECT_EQ(before, g.GetRowNumber());
    f.notes.veto = 0;
    f.notes.notes.clear();
    display->AnswerBox(1);
    g.OnEditbarCommand(kRowMenuDelete, 1);
    EXPECT_EQ(before - 1, g.GetRowNumber());
    ASSERT_FALSE(f.notes.notes.empty());
    EXPECT_EQ(kGridOnDeleteItem, f.notes.notes[0].code);
    EXPECT_EQ(1u, f.notes.notes[0].param);
    display->AnswerBox(1);
    f.notes.notes.clear();
    g.OnEditbarCommand(kRowMenuClearAll, -1);
    EXPECT_EQ(0u, g.GetRowNumber());
    EXPECT_EQ(static_cast<int32_t>(kDeleteChoiceRow), f.notes.notes[0].row);
    EXPECT_EQ(kDeleteAll, f.notes.notes[0].column);
}

TEST_F(GridDraw, RightClicksOpenTheMenusAndEscapeClosesThem)
{
    Form f(kGridRowMenu | kGridEditable | kGridHeaderMenu | kGridFilterMenu, 300, 200);
    f.Columns(3);
    f.Rows(3);
    Open(f.window, 300, 200);
    XPageGrider &g = *f.grid;
    Click(display, f, 40, 18 + 5, 1);
    display->KeyDown(&f.window, 27); // inside the menu's loop
    Run();
    EXPECT_EQ(std::vector<int>{0}, Selected(g));
    EXPECT_EQ(3u, g.GetRowNumber());
    // The row menu's append (A).
    Click(display, f, 40, 18 + 5, 1);
    display->KeyDown(&f.window, 'A');
    Run();
    EXPECT_EQ(4u, g.GetRowNumber());
    // The header menu: freeze up to column 2, then the filter request.
    Click(display, f, 100, 5, 1);
    ChooseEntry(display, f.window, 1);
    Run();
    EXPECT_EQ(2u, g.GetLockHeader());
    f.notes.notes.clear();
    Click(display, f, 180, 5, 1);
    ChooseEntry(display, f.window, 3);
    Run();
    bool filtered = false;
    for (const GridNote &n : f.notes.notes)
        if (n.code == kGridRequestFilter && n.column == 2)
            filtered = true;
    EXPECT_TRUE(filtered);
}

// ---------------------------------------------------------------------------------------
// Clipboard
// ---------------------------------------------------------------------------------------

TEST(GridClipboard, PasteTrustsNothing)
{
    struct Case
    {
        const char *name;
        std::u16string text;
        uint32_t bytes; // 0: the text's own with the terminator
        std::vector<std::string> rows;
    } cases[] = {
        {"rows and cells", u"a\tb\r\nc\td\r\n", 0, {"a|b", "c|d"}},
        {"no final line break", u"a\tb\r\nc", 0, {"a|b", "c|"}},
        {"cells past the last column are dropped", u"a\tb\tc\td\r\n", 0, {"a|b"}},
        {"cell escapes",
         u"a\x1F"
         u"b\tc\x1D\x1E"
         u"d\r\n",
         0,
         {"a\tb|c\r\nd"}},
        {"bare line feeds", u"a\nb\n", 0, {"a|", "b|"}},
        {"odd byte count: the last byte goes", u"ab\r\ncd", 11, {"ab|", "c|"}},
        {"no terminator inside the count", u"xy", 4, {"xy|"}},
        {"empty middle line makes an empty row", u"a\r\n\r\nb", 0, {"a|", "|", "b|"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        XPageGrider grid;
        XGB_HEADER h = Column(kGridText, 16);
        grid.InsertHeader(0, &h);
        grid.InsertHeader(1, &h);
        const uint32_t bytes =
            c.bytes != 0 ? c.bytes : static_cast<uint32_t>((c.text.size() + 1) * 2);
        grid.OnPasteGrider(0, c.text.c_str(), bytes);
        std::vector<std::string> rows;
        for (void *r = grid.GetNextItem(nullptr); r != nullptr; r = grid.GetNextItem(r))
            rows.push_back(Narrow(Display(grid, r, 0)) + "|" + Narrow(Display(grid, r, 1)));
        EXPECT_EQ(c.rows, rows);
    }
}

TEST(GridClipboard, BlockPasteAndClearLeaveLockedColumnsAlone)
{
    XPageGrider grid;
    XGB_HEADER h = Column(kGridText, 16);
    grid.InsertHeader(0, &h);
    h.locked = 1;
    grid.InsertHeader(1, &h);
    h.locked = 0;
    grid.InsertHeader(2, &h);
    for (int i = 0; i < 2; ++i) {
        void *row = grid.InsertMatter(grid.GetRowNumber(), nullptr, nullptr);
        for (unsigned c = 0; c < 3; ++c)
            grid.SetItemText(row, c, u"o");
    }
    grid.extraFlags |= kGridMultiSelect;
    grid.HitChoice(1, 0, 0);
    grid.OnPasteGrider(1, u"a\tb\tc\r\nd\te\tf\r\n");
    // Row 1 takes the first line; the second line appends a row.
    ASSERT_EQ(3u, grid.GetRowNumber());
    auto row = [&](unsigned i) {
        void *r = grid.GetItemMatter(i);
        return Narrow(Display(grid, r, 0)) + Narrow(Display(grid, r, 1)) +
               Narrow(Display(grid, r, 2));
    };
    EXPECT_EQ("ooo", row(0));
    EXPECT_EQ("aoc", row(1));
    EXPECT_EQ("df", row(2));
    grid.HitChoice(0, 0, 0);
    grid.HitChoice(1, 2, 2);
    grid.OnEmptyCeller();
    EXPECT_EQ("o", row(0));
    EXPECT_EQ("o", row(1));
}

TEST_F(GridDraw, CopiedTextRoundTripsThroughTheClipboard)
{
    Form f(kGridBlockEdit | kGridMultiSelect, 300, 200);
    f.Columns(2);
    f.Rows(2);
    XPageGrider &g = *f.grid;
    g.SetItemText(g.GetItemMatter(0), 1, u"tab\there\r\nline");
    Open(f.window, 300, 200);
    g.SetChoice(0);
    g.OnCopyMatter();
    EXPECT_EQ(u"r0c0\ttab\x1Fhere\x1D\x1Eline\r\n", display->GetClipboard());
    g.SetChoice(-1);
    g.OnPasteMatter();
    ASSERT_EQ(3u, g.GetRowNumber());
    EXPECT_EQ("tab\there\r\nline", Narrow(Display(g, g.GetItemMatter(2), 1)));
}

// ---------------------------------------------------------------------------------------
// The column-settings dialog
// ---------------------------------------------------------------------------------------

TEST_F(GridDraw, HeaderEditorMovesColumnsAndAppliesWidths)
{
    Form f(0, 300, 200);
    f.Columns(3);
    Open(f.window, 300, 200);
    XPageGrider &g = *f.grid;
    XHeaderEditor editor(&g);
    const BOUND_t place = {0, 0, kHeaderEditorWidth, kHeaderEditorHeight};
    ASSERT_TRUE(editor.Create(u"设置列属性", &place, nullptr, &f.window));
    Run();
    XPageGrider *rows = editor.GetGrider();
    ASSERT_NE(nullptr, rows);
    ASSERT_EQ(3u, rows->GetRowNumber());
    rows->SetChoice(2);
    editor.OnCommand(kHeaderEditUp);
    EXPECT_EQ(2, g.GetHeaderWare(1)->viewNext->defIndex);
    XVarMeter v = {};
    rows->GetSuber(rows->GetItemMatter(1), 1, &v);
    EXPECT_EQ(2, v.value.integer);
    // Closing a width cell applies it.
    rows->SetItemText(rows->GetItemMatter(1), 2, u"44");
    XMessage_t close = {};
    close.code = kGridOnCloseEditItem;
    close.state = kMsgHandled;
    close.column = 2;
    close.item = rows;
    close.value = reinterpret_cast<uintptr_t>(rows->GetItemMatter(1));
    rows->DispatchMessage(&close);
    EXPECT_EQ(44, g.GetHeaderNode(2)->header.wide);
    f.notes.notes.clear();
    editor.OnCommand(kHeaderEditSave);
    editor.OnCommand(kHeaderEditClear);
    ASSERT_EQ(2u, f.notes.notes.size());
    EXPECT_EQ(kGridRequestLayout, f.notes.notes[0].code);
    EXPECT_EQ(0u, f.notes.notes[0].param);
    EXPECT_EQ(1u, f.notes.notes[1].param);
    editor.DestroyWindow();
}

} // namespace
