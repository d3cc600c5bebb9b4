// The table item: default tables, the layout's sharing of the body, placement of hosted
// items, the design-mode edits and border dragging, and a random walk of edits that
// checks the cell table's invariants after every step.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/items/page_table.h"

namespace {

// The cell table's invariants; an empty text when they hold. One cell covers each
// position, the pointers sit at the origins only, spans stay inside, rectangles are the
// sums of the current sizes, and hosted items are children hosted once.
std::string CheckTable(XPageTable *table)
{
    const unsigned rows = table->GetRowCount(), cols = table->GetColCount();
    std::vector<int> cover(rows * cols, 0);
    std::vector<const XPageItem *> hosted;
    XCellNode **cells = table->GetCellTable();
    if (cells == nullptr)
        return "no cell table";
    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned c = 0; c < cols; ++c) {
            const XCellNode *cell = cells[r * cols + c];
            if (cell == nullptr)
                continue;
            const std::string at = "cell " + std::to_string(r) + "," + std::to_string(c);
            if (cell->row != r || cell->column != c)
                return at + " not at its origin";
            if (cell->rowSpan < 1 || cell->colSpan < 1 || r + cell->rowSpan > rows ||
                c + cell->colSpan > cols)
                return at + " spans outside";
            for (unsigned i = 0; i < cell->rowSpan; ++i)
                for (unsigned k = 0; k < cell->colSpan; ++k)
                    ++cover[(r + i) * cols + c + k];
            const int x = table->GetTracker(c, 0), y = table->GetTracker(r, 1);
            if (cell->x != x || cell->y != y ||
                cell->width != table->GetTracker(c + cell->colSpan, 0) - x ||
                cell->height != table->GetTracker(r + cell->rowSpan, 1) - y)
                return at + " rectangle is not the size sums";
            if (cell->item != nullptr) {
                if (cell->item->GetOwner() != table)
                    return at + " hosts an item that is not a child";
                for (const XPageItem *seen : hosted)
                    if (seen == cell->item)
                        return at + " hosts an item hosted elsewhere";
                hosted.push_back(cell->item);
            }
        }
    }
    for (unsigned i = 0; i < rows * cols; ++i)
        if (cover[i] != 1)
            return "position " + std::to_string(i) + " covered " + std::to_string(cover[i]) +
                   " times";
    return "";
}

std::vector<uint16_t> Sizes(const XPageTable *table, bool rows)
{
    std::vector<uint16_t> sizes(rows ? table->GetRowCount() : table->GetColCount());
    if (rows)
        table->GetRowDesc(sizes.data(), nullptr);
    else
        table->GetColDesc(sizes.data(), nullptr);
    return sizes;
}

std::vector<uint16_t> Current(const XPageTable *table, bool rows)
{
    std::vector<uint16_t> sizes;
    const unsigned n = rows ? table->GetRowCount() : table->GetColCount();
    for (unsigned i = 0; i < n; ++i)
        sizes.push_back((rows ? table->GetRowInfo(i) : table->GetColInfo(i))->current);
    return sizes;
}

using U16s = std::vector<uint16_t>;

// A table of fixed sizes (so that layout changes nothing) in the root of a window.
XPageTable *FixedTable(const U16s &cols, const U16s &rows, int x = 0, int y = 0)
{
    auto *table = new XPageTable;
    const U16s colFlags(cols.size(), kTableFixedSize), rowFlags(rows.size(), kTableFixedSize);
    table->SetColDesc(static_cast<unsigned>(cols.size()), cols.data(), colFlags.data());
    table->SetRowDesc(static_cast<unsigned>(rows.size()), rows.data(), rowFlags.data());
    int w = 0, h = 0;
    for (uint16_t s : cols)
        w += s;
    for (uint16_t s : rows)
        h += s;
    Placed(table, x, y, w, h);
    table->MallocCellTable();
    return table;
}

// Selects the cells at the positions (item coordinates of their centres), the first one
// current.
void SelectCells(XPageTable *table, const std::vector<std::pair<unsigned, unsigned>> &at)
{
    table->ClearChoice();
    bool first = true;
    for (const auto &[r, c] : at) {
        const XCellNode *cell = table->GetCellNode(r, c);
        ASSERT_NE(cell, nullptr) << r << "," << c;
        ASSERT_TRUE(table->Select(cell->x + 1, cell->y + 1, first ? 0 : 1));
        first = false;
    }
}

using TableModel = PageWindowTest;

TEST(TableDefaults, ConstructionAndDefaultTable)
{
    XPageTable table;
    EXPECT_EQ(kKindTable, table.kind);
    EXPECT_EQ(1u, table.GetRowCount());
    EXPECT_EQ(1u, table.GetColCount());
    EXPECT_EQ(nullptr, table.GetCellNode(0, 0));
    ASSERT_NE(nullptr, table.GetCellTable()); // allocated empty on demand
    EXPECT_EQ(nullptr, table.GetCellNode(0, 0));

    // 250 x 70 with the body the whole item: 3 columns and 3 rows, the last taking the rest.
    Placed(&table, 0, 0, 250, 70);
    table.InitCellTable();
    EXPECT_EQ((U16s{83, 83, 84}), Sizes(&table, false));
    EXPECT_EQ((U16s{23, 23, 24}), Sizes(&table, true));
    EXPECT_EQ("", CheckTable(&table));
    // Smaller than one share: still one row and one column.
    Placed(&table, 0, 0, 50, 10);
    table.InitCellTable();
    EXPECT_EQ((U16s{50}), Sizes(&table, false));
    EXPECT_EQ((U16s{10}), Sizes(&table, true));
}

TEST(TableDefaults, DescriptorsAndRefusedIndexes)
{
    XPageTable table;
    const U16s sizes = {10, 20, 30}, flags = {1, 0, 1};
    table.SetRowDesc(3, sizes.data(), flags.data());
    U16s gotSizes(3), gotFlags(3);
    EXPECT_EQ(3u, table.GetRowDesc(gotSizes.data(), gotFlags.data()));
    EXPECT_EQ(sizes, gotSizes);
    EXPECT_EQ(flags, gotFlags);
    EXPECT_EQ(3u, table.GetRowDesc(nullptr, nullptr)); // null arrays: the count alone

    table.SetRowWide(1, 44, 1);
    EXPECT_EQ(44, table.GetRowInfo(1)->design);
    EXPECT_EQ(44, table.GetRowInfo(1)->current);
    EXPECT_EQ(1, table.GetRowInfo(1)->flags);
    // Index == count and beyond write nothing.
    table.SetRowWide(3, 99, 0);
    table.SetColWide(1, 99, 0);
    table.SetRowWide(0xFFFFFFFF, 99, 0);
    EXPECT_EQ((U16s{10, 44, 30}), Sizes(&table, true));
    EXPECT_EQ((U16s{0}), Sizes(&table, false));
    EXPECT_EQ(nullptr, table.GetRowInfo(3));

    // Counts of 0, beyond the limit or making too many positions change nothing.
    table.SetColDesc(0, nullptr, nullptr);
    table.SetColDesc(kTableMaxCount + 1, nullptr, nullptr);
    EXPECT_EQ(1u, table.GetColCount());
    table.SetRowDesc(kTableMaxCount, nullptr, nullptr);
    table.SetColDesc(kTableMaxCells / kTableMaxCount + 1, nullptr, nullptr);
    EXPECT_EQ(1u, table.GetColCount());

    // Design mode reports current sizes.
    table.SetRowDesc(2, sizes.data(), nullptr);
    table.stateFlags |= kTableDesignMode;
    EXPECT_EQ((U16s{0, 0}), Sizes(&table, true));
}

TEST_F(TableModel, LayoutSharesTheBody)
{
    struct Case
    {
        const char *what;
        int32_t height;
        U16s design, flags, want;
    };
    const Case cases[] = {
        {"proportional, last takes the rest", 100, {10, 20, 10}, {0, 0, 0}, {25, 50, 25}},
        {"truncated shares", 100, {1, 1, 1}, {0, 0, 0}, {33, 33, 34}},
        {"fixed row keeps its size", 100, {30, 10, 10}, {1, 0, 0}, {30, 35, 35}},
        {"fixed last row", 100, {10, 10, 30}, {0, 0, 1}, {35, 35, 30}},
        {"all fixed", 100, {10, 20, 30}, {1, 1, 1}, {10, 20, 30}},
        {"zero sum: 0, last takes the rest", 100, {0, 0, 0}, {0, 0, 0}, {0, 0, 100}},
        {"zero sum with fixed last", 100, {0, 0, 40}, {0, 0, 1}, {0, 0, 40}},
        {"negative rest clamps to 0", 20, {30, 10, 10}, {1, 0, 0}, {30, 0, 0}},
    };
    XPageWindow window;
    Open(window);
    for (const Case &c : cases) {
        auto *table = new XPageTable;
        table->SetRowDesc(3, c.design.data(), c.flags.data());
        window.GetRooter()->AddItem(Placed(table, 0, 0, 50, c.height));
        table->MallocCellTable();
        EXPECT_EQ(c.want, Current(table, true)) << c.what;
        EXPECT_EQ("", CheckTable(table)) << c.what;
        table->Destroy();
    }
}

TEST_F(TableModel, ResizingKeepsAFixedRow)
{
    XPageWindow window;
    Open(window);
    auto *table = new XPageTable;
    const U16s design = {20, 40, 40}, flags = {1, 0, 0};
    table->SetRowDesc(3, design.data(), flags.data());
    window.GetRooter()->AddItem(Placed(table, 0, 0, 60, 100));
    table->MallocCellTable();
    EXPECT_EQ((U16s{20, 40, 40}), Current(table, true));
    const BOUND_t bigger = {0, 0, 60, 60};
    table->MovePlace(&bigger, 0);
    EXPECT_EQ((U16s{20, 20, 20}), Current(table, true));
    EXPECT_EQ(60, table->GetCellNode(2, 0)->y + table->GetCellNode(2, 0)->height);
    // The content size is the design sums.
    table->CalcExtentSize(0);
    EXPECT_EQ(100, table->GetScrollSize(1));
}

TEST_F(TableModel, PlacesHostedItemsByTheirLayout)
{
    struct Case
    {
        uint32_t layoutX, layoutY;
        BOUND_t want;
    };
    // Cell (1, 1): x 40, y 20, 50 x 30 less the right and bottom borders (2 and 3).
    const Case cases[] = {
        {kLayoutNone, kLayoutNone, {40, 20, 20, 10}},
        {kLayoutStart, kLayoutStart, {40, 20, 20, 10}},
        {kLayoutExtend, kLayoutExtend, {40, 20, 48, 27}},
        {kLayoutEnd, kLayoutEnd, {68, 37, 20, 10}},
        {kLayoutCenter, kLayoutCenter, {54, 28, 20, 10}},
    };
    XPageWindow window;
    Open(window);
    for (const Case &c : cases) {
        XPageTable *table = FixedTable({40, 50, 30}, {20, 30, 10});
        table->itemStyle.SetEdgeStyle(kStateChild1, 0x4, kBorderSolid, 2, 0);
        table->itemStyle.SetEdgeStyle(kStateChild1, 0x8, kBorderSolid, 3, 0);
        window.GetRooter()->AddItem(table);
        auto *item = Placed(new XPageItem, 0, 0, 20, 10);
        item->itemFlags = SetStyleField(item->itemFlags, kItemLayoutX, c.layoutX);
        item->itemFlags = SetStyleField(item->itemFlags, kItemLayoutY, c.layoutY);
        table->AddItem(1u, 1u, item);
        EXPECT_EQ(table, item->GetOwner());
        EXPECT_EQ(table->GetCellNode(1, 1), table->GetCellNode(item));
        EXPECT_TRUE(SameBound(c.want, item->place)) << Show(item->place);
        table->Destroy();
    }
    // A hidden item keeps its place.
    XPageTable *hiding = FixedTable({40, 50}, {20, 30});
    window.GetRooter()->AddItem(hiding);
    auto *hidden = Placed(new XPageItem, 3, 4, 20, 10);
    hidden->ShowItem(0);
    hiding->AddItem(1u, 1u, hidden);
    EXPECT_TRUE(SameBound(Bound(3, 4, 20, 10), hidden->place)) << Show(hidden->place);
    hiding->Destroy();
    // A big item at the last cell: clipped by end and centre, no borders at the table's edge.
    XPageTable *table = FixedTable({40, 50}, {20, 30});
    table->itemStyle.SetEdgeStyle(kStateChild1, 0xC, kBorderSolid, 2, 0);
    window.GetRooter()->AddItem(table);
    auto *item = Placed(new XPageItem, 0, 0, 90, 90);
    item->itemFlags = SetStyleField(item->itemFlags, kItemLayoutX, kLayoutEnd);
    item->itemFlags = SetStyleField(item->itemFlags, kItemLayoutY, kLayoutCenter);
    table->AddItem(1u, 1u, item);
    EXPECT_TRUE(SameBound(Bound(40, 20, 50, 30), item->place)) << Show(item->place);
}

TEST_F(TableModel, AddingAtCoveredPlacesAndDroppingItems)
{
    XPageWindow window;
    Open(window);
    XPageTable *table = FixedTable({40, 40}, {20, 20});
    window.GetRooter()->AddItem(table);
    table->stateFlags |= kTableDesignMode;
    SelectCells(table, {{0, 0}, {0, 1}});
    ASSERT_TRUE(table->MergeCellNode(0));
    EXPECT_EQ(nullptr, table->GetCellNode(0, 1)); // covered by the merged cell

    auto *covered = new XPageItem, *outside = new XPageItem;
    table->AddItem(0u, 1u, covered); // covered or outside: adopted, not hosted
    table->AddItem(5u, 0u, outside);
    EXPECT_EQ(table, covered->GetOwner());
    EXPECT_EQ(table, outside->GetOwner());
    EXPECT_EQ(nullptr, table->GetCellNode(covered));
    EXPECT_EQ(nullptr, table->GetCellNode(outside));
    auto *hosted = new XPageItem;
    table->AddItem(1u, 0u, hosted);
    EXPECT_EQ(table->GetCellNode(1, 0), table->GetCellNode(hosted));
    // Hosting the same item in another cell moves it.
    table->AddItem(0u, 0u, hosted);
    EXPECT_EQ(nullptr, table->GetCellNode(1, 0)->item);
    EXPECT_EQ(table->GetCellNode(0, 0), table->GetCellNode(hosted));
    // An item of another owner is refused.
    auto *foreign = new XPageItem;
    window.GetRooter()->AddItem(foreign);
    table->AddItem(1u, 0u, foreign);
    EXPECT_EQ(window.GetRooter(), foreign->GetOwner());
    EXPECT_EQ(nullptr, table->GetCellNode(1, 0)->item);
    // A child that goes is cleared from its cell.
    hosted->Destroy();
    EXPECT_EQ(nullptr, table->GetCellNode(0, 0)->item);
    EXPECT_EQ("", CheckTable(table));
}

TEST_F(TableModel, DetachKeepsThePlaceOnScreen)
{
    XPageWindow window;
    Open(window);
    XPageTable *table = FixedTable({40, 40}, {20, 20}, 30, 15);
    window.GetRooter()->AddItem(table);
    auto *item = Placed(new XPageItem, 0, 0, 10, 10);
    table->AddItem(1u, 1u, item);
    BOUND_t before;
    item->GetPlace(kPlaceWindow, &before);
    table->DetachLinker(item);
    EXPECT_EQ(window.GetRooter(), item->GetOwner());
    EXPECT_EQ(nullptr, table->GetCellNode(1, 1)->item);
    BOUND_t after;
    item->GetPlace(kPlaceWindow, &after);
    EXPECT_TRUE(SameBound(before, after)) << Show(before) << " " << Show(after);

    // Without an owner the item stays an unhosted child.
    XPageTable alone;
    alone.MallocCellTable();
    auto *kept = new XPageItem;
    alone.AddItem(0u, 0u, kept);
    alone.DetachLinker(alone.GetCellNode(0, 0));
    EXPECT_EQ(&alone, kept->GetOwner());
    EXPECT_EQ(nullptr, alone.GetCellNode(kept));
}

TEST_F(TableModel, HitAndSelect)
{
    XPageWindow window;
    Open(window);
    XPageTable *table = FixedTable({40, 40, 40}, {20, 20, 20});
    window.GetRooter()->AddItem(table);
    EXPECT_EQ(0, table->Select(5, 5, 0)); // not in design mode
    table->stateFlags |= kTableDesignMode;
    SelectCells(table, {{1, 1}, {1, 2}, {2, 1}, {2, 2}});
    ASSERT_TRUE(table->MergeCellNode(0));
    const XCellNode *merged = table->GetCellNode(1, 1);
    ASSERT_NE(nullptr, merged);
    EXPECT_EQ(2, merged->rowSpan);
    EXPECT_EQ(2, merged->colSpan);
    EXPECT_EQ(kCellSelected | kCellCurrent, merged->state);
    struct Case
    {
        int x, y;
        int row, column; // -1: no cell
    };
    const Case cases[] = {{0, 0, 0, 0},     {39, 19, 0, 0},  {40, 20, 1, 1},
                          {119, 59, 1, 1},  {100, 30, 1, 1}, {5, 45, 2, 0},
                          {120, 5, -1, -1}, {5, 60, -1, -1}, {-1, 5, -1, -1}};
    for (const Case &c : cases) {
        const XCellNode *hit = table->HitCeller(c.x, c.y);
        if (c.row < 0) {
            EXPECT_EQ(nullptr, hit) << c.x << "," << c.y;
        } else {
            ASSERT_NE(nullptr, hit) << c.x << "," << c.y;
            EXPECT_EQ(c.row, hit->row) << c.x << "," << c.y;
            EXPECT_EQ(c.column, hit->column) << c.x << "," << c.y;
        }
    }
    // Select without extend: the hit cell alone; with extend the others stay selected.
    ASSERT_TRUE(table->Select(5, 5, 0));
    EXPECT_EQ(0, merged->state);
    ASSERT_TRUE(table->Select(50, 50, 1));
    EXPECT_EQ(kCellSelected, table->GetCellNode(0, 0)->state);
    EXPECT_EQ(kCellSelected | kCellCurrent, merged->state);
    EXPECT_EQ(0, table->Select(200, 5, 0));
    table->ClearChoice();
    EXPECT_EQ(0, merged->state);
}

TEST_F(TableModel, MergeSplitAndTheirRefusals)
{
    XPageWindow window;
    Open(window);
    XPageTable *table = FixedTable({40, 40, 40}, {20, 20, 20});
    window.GetRooter()->AddItem(table);
    table->stateFlags |= kTableDesignMode;
    SelectCells(table, {{0, 0}});
    EXPECT_EQ(0, table->MergeCellNode(1));        // a single cell
    EXPECT_EQ(0, table->SplitCellNode(1));        // a 1 x 1 cell
    SelectCells(table, {{0, 0}, {0, 1}, {1, 0}}); // an L, not a rectangle
    EXPECT_EQ(0, table->MergeCellNode(1));
    EXPECT_EQ(0, table->MergeCellNode(0));
    SelectCells(table, {{0, 0}, {1, 1}}); // corners of a rectangle with holes
    EXPECT_EQ(0, table->MergeCellNode(0));
    EXPECT_EQ("", CheckTable(table));

    // Items of the merged cells: the first free one moves in, the rest go to the owner.
    auto *a = new XPageItem, *b = new XPageItem;
    table->AddItem(0u, 1u, a);
    table->AddItem(1u, 1u, b);
    SelectCells(table, {{0, 0}, {0, 1}, {1, 0}, {1, 1}});
    EXPECT_EQ(1, table->MergeCellNode(1));
    ASSERT_EQ(1, table->MergeCellNode(0));
    XCellNode *merged = table->GetCellNode(0, 0);
    EXPECT_EQ(a, merged->item);
    EXPECT_EQ(window.GetRooter(), b->GetOwner());
    EXPECT_EQ(80, merged->width);
    EXPECT_EQ(40, merged->height);
    EXPECT_EQ("", CheckTable(table));

    // Splitting gives 1 x 1 selected cells; the first keeps the item and is current.
    EXPECT_EQ(1, table->SplitCellNode(1));
    ASSERT_EQ(1, table->SplitCellNode(0));
    EXPECT_EQ(a, table->GetCellNode(0, 0)->item);
    EXPECT_EQ(kCellSelected | kCellCurrent, table->GetCellNode(0, 0)->state);
    EXPECT_EQ(kCellSelected, table->GetCellNode(1, 1)->state);
    EXPECT_EQ(40, table->GetCellNode(1, 1)->x);
    EXPECT_EQ("", CheckTable(table));
}

TEST_F(TableModel, InsertAndDelete)
{
    XPageWindow window;
    Open(window);
    XPageTable *table = FixedTable({40, 40}, {20, 20, 20});
    window.GetRooter()->AddItem(table);
    table->stateFlags |= kTableDesignMode;
    EXPECT_EQ(0, table->InsertCeller(1, 1)); // no current cell
    EXPECT_EQ(0, table->DeleteCeller(1));

    // Merge column 0 over rows 0 and 1, then insert a row inside its span (after row 0).
    SelectCells(table, {{0, 0}, {1, 0}});
    ASSERT_TRUE(table->MergeCellNode(0));
    SelectCells(table, {{0, 1}});
    ASSERT_EQ(1, table->InsertCeller(1, 1));
    EXPECT_EQ(4u, table->GetRowCount());
    EXPECT_EQ(3, table->GetCellNode(0, 0)->rowSpan); // one row taller
    ASSERT_NE(nullptr, table->GetCellNode(1, 1));    // the new cell beside it
    EXPECT_EQ(kTableRowSize, table->GetRowInfo(1)->design);
    EXPECT_EQ(60 + kTableRowSize, table->place.height);
    EXPECT_EQ("", CheckTable(table));

    // A column before the current cell.
    ASSERT_EQ(1, table->InsertCeller(0, 0));
    EXPECT_EQ(3u, table->GetColCount());
    EXPECT_EQ(kTableColSize, table->GetColInfo(1)->design);
    EXPECT_EQ(80 + kTableColSize, table->place.width);
    EXPECT_EQ("", CheckTable(table));

    // Deleting the merged cell's first row: it shrinks, it is not freed.
    auto *item = new XPageItem;
    table->AddItem(0u, 0u, item);
    SelectCells(table, {{0, 0}});
    const int height = table->place.height;
    ASSERT_EQ(1, table->DeleteCeller(1));
    EXPECT_EQ(3u, table->GetRowCount());
    EXPECT_EQ(2, table->GetCellNode(0, 0)->rowSpan);
    EXPECT_EQ(item, table->GetCellNode(0, 0)->item);
    EXPECT_EQ(height - 20, table->place.height);
    EXPECT_EQ("", CheckTable(table));

    // Deleting a column of 1-wide cells frees them and hands their items out.
    auto *out = new XPageItem;
    table->AddItem(2u, 2u, out);
    SelectCells(table, {{2, 2}});
    ASSERT_EQ(1, table->DeleteCeller(0));
    EXPECT_EQ(2u, table->GetColCount());
    EXPECT_EQ(window.GetRooter(), out->GetOwner());
    EXPECT_EQ("", CheckTable(table));

    // The only row (column) is never deleted.
    XPageTable *single = FixedTable({40}, {20});
    window.GetRooter()->AddItem(single);
    single->stateFlags |= kTableDesignMode;
    SelectCells(single, {{0, 0}});
    EXPECT_EQ(0, single->DeleteCeller(1));
    EXPECT_EQ(0, single->DeleteCeller(0));
    EXPECT_EQ(1u, single->GetRowCount());
}

TEST_F(TableModel, ClearBlankerGivesSizesToTheLineBefore)
{
    XPageWindow window;
    Open(window);
    XPageTable *table = FixedTable({30, 40, 50}, {20, 25});
    window.GetRooter()->AddItem(table);
    table->stateFlags |= kTableDesignMode;
    // Merging columns 1 and 2 over both rows leaves column 2 blank.
    SelectCells(table, {{0, 1}, {0, 2}, {1, 1}, {1, 2}});
    ASSERT_TRUE(table->MergeCellNode(0));
    EXPECT_EQ((U16s{30, 90}), Sizes(table, false));
    const XCellNode *merged = table->GetCellNode(0, 1);
    EXPECT_EQ(30, merged->x);
    EXPECT_EQ(90, merged->width);
    EXPECT_EQ(45, merged->height);
    EXPECT_EQ("", CheckTable(table));
}

TEST_F(TableModel, EqualisesSelectedBands)
{
    XPageWindow window;
    Open(window);
    XPageTable *table = FixedTable({10, 20, 31, 50}, {20, 20});
    window.GetRooter()->AddItem(table);
    table->stateFlags |= kTableDesignMode;
    SelectCells(table, {{0, 0}});
    EXPECT_EQ(0, table->AllocMeasure(0, 1)); // one column
    SelectCells(table, {{0, 0}, {1, 2}});    // columns 0 and 2: not contiguous
    EXPECT_EQ(0, table->AllocMeasure(0, 1));
    SelectCells(table, {{0, 0}, {0, 1}, {1, 2}});
    EXPECT_EQ(1, table->AllocMeasure(0, 1));
    EXPECT_EQ((U16s{10, 20, 31, 50}), Sizes(table, false)); // a test changes nothing
    ASSERT_EQ(1, table->AllocMeasure(0, 0));
    EXPECT_EQ((U16s{20, 20, 21, 50}), Sizes(table, false));
    EXPECT_EQ(20, table->GetColInfo(0)->design);
    EXPECT_EQ(1, table->AllocMeasure(1, 0)); // both rows
    EXPECT_EQ("", CheckTable(table));
}

TEST_F(TableModel, TestAndMoveBorders)
{
    XPageWindow window;
    Open(window);
    // Columns 40, 50, 60 and rows 20, 30 at 10, 5; cells (0,1) and (0,2) merged.
    XPageTable *table = FixedTable({40, 50, 60}, {20, 30}, 10, 5);
    window.GetRooter()->AddItem(table);
    table->stateFlags |= kTableDesignMode;
    SelectCells(table, {{0, 1}, {0, 2}});
    ASSERT_TRUE(table->MergeCellNode(0));
    struct Case
    {
        int x, y, found;
        int out[6];
    };
    const Case cases[] = {
        {1, 10, 1, {51, 0, 0, 50, -10, 37}},               // left edge
        {42, 10, 1, {51, 1, 40, 50, 3, 87}},               // border of column 1
        {91, 10, 0, {}},                                   // inside the merged cell: no border
        {91, 35, 1, {51, 2, 90, 50, 43, 147}},             // the same border in row 1
        {148, 35, 1, {51, 3, 150, 50, 93, kTableDragFar}}, // the far edge
        {20, 18, 1, {52, 1, 20, 150, 3, 47}},              // between the rows
        {20, 2, 1, {52, 0, 0, 150, -5, 17}},               // top edge
        {20, 10, 0, {}},                                   // inside a cell
    };
    for (const Case &c : cases) {
        int out[6] = {};
        EXPECT_EQ(c.found, table->TestDrager(c.x, c.y, out)) << c.x << "," << c.y;
        if (c.found) {
            EXPECT_EQ(std::vector<int>(c.out, c.out + 6), std::vector<int>(out, out + 6))
                << c.x << "," << c.y;
        }
    }

    // Border 2 by +10: column 1 and the width grow.
    ASSERT_EQ(1, table->MoveDrager(kTableDragColumn, 2, 10));
    EXPECT_EQ((U16s{40, 60, 60}), Sizes(table, false));
    EXPECT_EQ(160, table->place.width);
    // Border 0 by +15: the table's left edge moves right, column 0 loses 15.
    ASSERT_EQ(1, table->MoveDrager(kTableDragColumn, 0, 15));
    EXPECT_EQ(25, table->place.x);
    EXPECT_EQ(145, table->place.width);
    EXPECT_EQ((U16s{25, 60, 60}), Sizes(table, false));
    // Sizes stay >= 0: a delta beyond the row is cut to it.
    ASSERT_EQ(1, table->MoveDrager(kTableDragRow, 1, -500));
    EXPECT_EQ((U16s{0, 30}), Sizes(table, true));
    EXPECT_EQ(30, table->place.height);
    // The far border is index count; beyond it and unknown codes are refused.
    EXPECT_EQ(1, table->MoveDrager(kTableDragRow, 2, 5));
    EXPECT_EQ(0, table->MoveDrager(kTableDragRow, 3, 5));
    EXPECT_EQ(0, table->MoveDrager(kTableDragColumn, 0xFFFFFFFF, 5));
    EXPECT_EQ(0, table->MoveDrager(50, 1, 5));
    EXPECT_EQ((U16s{0, 35}), Sizes(table, true));
    EXPECT_EQ(0, table->GetTracker(0, 1));
    EXPECT_EQ(35, table->GetTracker(2, 1));
    EXPECT_EQ(-1, table->GetTracker(3, 1));
    EXPECT_EQ(145, table->XPageTable::GetTracker(3u, 0));
    EXPECT_EQ("", CheckTable(table));
}

TEST_F(TableModel, RandomEditsKeepTheInvariants)
{
    XPageWindow window;
    Open(window, 400, 300);
    XPageTable *table = FixedTable({40, 40, 40}, {20, 20, 20}, 5, 5);
    window.GetRooter()->AddItem(table);
    table->stateFlags |= kTableDesignMode;
    std::mt19937 random(20261211);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<XPageItem *> items;
    std::string fault;
    int step = 0;
    for (; step < 10000 && fault.empty(); ++step) {
        const int w = table->GetTracker(table->GetColCount(), 0) + 10;
        const int h = table->GetTracker(table->GetRowCount(), 1) + 10;
        switch (pick(12)) {
        case 0:
        case 1:
            table->Select(pick(w), pick(h), pick(3));
            break;
        case 2:
            if (table->GetRowCount() < 10 && table->GetColCount() < 10)
                table->InsertCeller(pick(2), pick(2));
            break;
        case 3:
            table->DeleteCeller(pick(2));
            break;
        case 4:
        case 5:
            table->MergeCellNode(pick(2));
            break;
        case 6:
            table->SplitCellNode(pick(2));
            break;
        case 7:
            table->AllocMeasure(pick(2), pick(2));
            break;
        case 8: {
            const bool rows = pick(2);
            const unsigned count = rows ? table->GetRowCount() : table->GetColCount();
            table->MoveDrager(rows ? kTableDragRow : kTableDragColumn,
                              static_cast<unsigned>(pick(static_cast<int>(count) + 2)),
                              pick(61) - 30);
            break;
        }
        case 9: {
            auto *item = Placed(new XPageItem, 0, 0, pick(30), pick(30));
            item->itemFlags = SetStyleField(item->itemFlags, kItemLayoutX, pick(5));
            table->AddItem(static_cast<unsigned>(pick(12)), static_cast<unsigned>(pick(12)), item);
            break;
        }
        case 10: {
            const void *cursor = nullptr;
            XPageItem *child = nullptr;
            for (int skip = pick(4); XPageItem *next = table->GetNextItem(&cursor); --skip) {
                child = next;
                if (skip == 0)
                    break;
            }
            if (child != nullptr)
                table->DetachLinker(child);
            break;
        }
        default: {
            int out[6];
            if (table->TestDrager(pick(w), pick(h), out) && out[1] > 0)
                table->MoveDrager(out[0], static_cast<unsigned>(out[1]), pick(21) - 10);
            break;
        }
        }
        fault = CheckTable(table);
    }
    EXPECT_EQ("", fault) << "after step " << step;
    EXPECT_EQ(10000, step);
}

// ---------------------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------------------

std::string Shell(const std::string &command)
{
    std::string out;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr)
        out += buf;
    pclose(pipe);
    return out;
}

// A 3 x 3 table at 10, 10 (columns 40, 50, 60, rows 20, 25, 30) whose top-left 2 x 2 cells
// are merged, with 1-pixel right and bottom cell borders in 0x0000FF.
XPageTable *MergedTable()
{
    XPageTable *table = FixedTable({40, 50, 60}, {20, 25, 30}, 10, 10);
    table->itemStyle.SetEdgeStyle(kStateChild1, 0xC, kBorderSolid, 1, 0x0000FF);
    return table;
}

void MergeTopLeft(XPageTable *table)
{
    table->stateFlags |= kTableDesignMode;
    SelectCells(table, {{0, 0}, {0, 1}, {1, 0}, {1, 1}});
    ASSERT_TRUE(table->MergeCellNode(0));
}

using TablePicture = PageWindowTest;

TEST_F(TablePicture, CellsEqualTheSameLinesAndFillsDrawnByImageMagick)
{
    XPageWindow window;
    XPageTable *table = MergedTable();
    window.GetRooter()->AddItem(table);
    Open(window, 200, 120);
    MergeTopLeft(table);
    table->ClearChoice();
    table->stateFlags &= ~kTableDesignMode;
    // Each cell: its rectangle in the window, whether it has a right and a bottom border,
    // and the background of the item it hosts (#RRGGBB).
    struct Cell
    {
        unsigned row, column;
        int x, y, w, h;
        bool right, bottom;
        const char *fill;
    };
    const Cell cells[] = {
        {0, 0, 10, 10, 90, 45, true, true, "#20C040"},
        {0, 2, 100, 10, 60, 20, false, true, "#E0E000"},
        {1, 2, 100, 30, 60, 25, false, true, "#00A0F0"},
        {2, 0, 10, 55, 40, 30, true, false, "#A040A0"},
        {2, 1, 50, 55, 50, 30, true, false, "#F08020"},
        // (2, 2) hosts a button: not filled by the table.
    };
    for (const Cell &c : cells) {
        auto *item = new XPageItem;
        item->itemFlags = SetStyleField(item->itemFlags, kItemLayoutX, kLayoutExtend);
        item->itemFlags = SetStyleField(item->itemFlags, kItemLayoutY, kLayoutExtend);
        const uint32_t rgb = static_cast<uint32_t>(std::strtoul(c.fill + 1, nullptr, 16));
        item->itemStyle.SetSolidRender(0, ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16));
        table->AddItem(c.row, c.column, item);
    }
    auto *button = new XPageItem;
    button->kind = kKindButton;
    table->AddItem(2u, 2u, button);
    table->Invalidate(nullptr, 0);
    Run();

    std::string draw = "convert -size 200x120 xc:white +antialias -stroke none";
    auto rect = [&](const char *fill, int x, int y, int w, int h) {
        if (w <= 0 || h <= 0)
            return;
        draw += std::string(" -fill '") + fill + "' -draw 'rectangle " + std::to_string(x) + "," +
                std::to_string(y) + " " + std::to_string(x + w - 1) + "," +
                std::to_string(y + h - 1) + "'";
    };
    for (const Cell &c : cells)
        rect(c.fill, c.x, c.y, c.w - c.right, c.h - c.bottom);
    const Cell lastCell = {2, 2, 100, 55, 60, 30, false, false, nullptr};
    for (const Cell &c : {cells[0], cells[1], cells[2], cells[3], cells[4], lastCell}) {
        if (c.right)
            rect("#FF0000", c.x + c.w - 1, c.y, 1, c.h);
        if (c.bottom)
            rect("#FF0000", c.x, c.y + c.h - 1, c.w, 1);
    }
    char folder[] = "/tmp/page_table_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string ours = std::string(folder) + "/ours.png";
    const std::string theirs = std::string(folder) + "/theirs.png";
    ASSERT_TRUE(display->SaveWindowPng(&window, ours.c_str()));
    ASSERT_EQ(0, std::system((draw + " PNG24:'" + theirs + "'").c_str())) << draw;
    const std::string ae = Shell("compare -metric AE '" + ours + "' '" + theirs + "' null: 2>&1");
    EXPECT_EQ("0", ae) << draw;
    Shell(std::string("rm -rf '") + folder + "'");
}

TEST_F(TablePicture, DesignModeShowsTheSelectionAndTheGridLines)
{
    XPageWindow window;
    XPageTable *table = MergedTable();
    window.GetRooter()->AddItem(table);
    Open(window, 170, 95);
    MergeTopLeft(table);
    // The merged cell current, two more selected.
    ASSERT_TRUE(table->Select(100, 5, 1));
    ASSERT_TRUE(table->Select(60, 60, 1));
    ASSERT_TRUE(table->Select(5, 5, 1));
    Run();
    EXPECT_EQ(0, CompareGolden(display, &window, "table_design"));
}

} // namespace
