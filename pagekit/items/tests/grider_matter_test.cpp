// The grid's rows: placement, the position table, state bits through every operation,
// the deleted list and the release proc, selection, and the notifications with their
// fields.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "pagekit/items/tests/grider_fixture.h"

namespace {

// A grid with one 4-byte integer column (summed) and one text column of 8 units.
class GriderRows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        XGB_HEADER id = Column(kGridInteger, 4, kCellEdit, 1);
        id.aggregate = kAggrSum;
        grid.InsertHeader(0, &id);
        XGB_HEADER name = Column(kGridText, 8);
        grid.InsertHeader(1, &name);
        rec.Attach(&grid);
    }

    // A row from a record with the given integer (null map empty).
    void *Add(int32_t id, unsigned at = 0xFFFF)
    {
        unsigned char record[4 + 16] = {};
        std::memcpy(record, &id, 4); // the test host is little-endian
        return grid.InsertMatter(at, record, nullptr);
    }
    std::vector<int64_t> Ids()
    {
        std::vector<int64_t> ids;
        for (void *r : Rows(grid)) {
            XVarMeter v = {};
            grid.GetSuber(r, 0, &v);
            ids.push_back(v.type == kVarInteger ? v.value.integer : -1);
        }
        return ids;
    }

    XPageGrider grid;
    GridRecorder rec;
};

TEST_F(GriderRows, PlacementKeepsTheTotalRowLast)
{
    Add(1);
    Add(2);
    Add(0, 0); // at the head
    Add(9, 2); // before index 2
    EXPECT_EQ(Ids(), (std::vector<int64_t>{0, 1, 9, 2}));
    grid.extraFlags |= kGridTotals;
    grid.ComputeAggregate(-1);
    ASSERT_EQ(grid.GetRowNumber(), 5u);
    Add(5);
    grid.MallocMatter(1, nullptr, nullptr, nullptr);
    EXPECT_EQ(Ids(), (std::vector<int64_t>{0, 1, 9, 2, 5, -1, 12}));
    ExpectListIntact(grid);
    // The total follows at the next frame.
    grid.FlushUpdate();
    EXPECT_EQ(Ids().back(), 17);
    EXPECT_EQ(grid.GetUpdateMode(), 0u);

    // A grid whose first row is a total row puts the new row first.
    grid.RemoveAllMatter();
    grid.ComputeAggregate(-1);
    void *first = Add(3);
    EXPECT_EQ(grid.GetItemIndex(first), 0u);
    EXPECT_EQ(grid.GetItemAdder(grid.GetItemMatter(1)), kAdderTotal);
    ExpectListIntact(grid);
}

TEST_F(GriderRows, InsertNotificationsAndStates)
{
    void *a = grid.InsertMatter(0, nullptr, nullptr);
    EXPECT_EQ(grid.GetItemState(a), kMatterNew);
    unsigned char record[20] = {7};
    void *b = grid.CreateMatter(0, record, nullptr);
    EXPECT_EQ(grid.GetItemState(b), kMatterNew | kMatterModified | kMatterSelected);
    void *c = grid.CreateMatter(99, nullptr, nullptr);
    EXPECT_EQ(grid.GetItemState(b), kMatterNew | kMatterModified); // deselected by c
    EXPECT_EQ(grid.GetItemState(c), kMatterNew | kMatterSelected);
    void *d = grid.InsertMatter(0, c, nullptr, nullptr); // before c
    EXPECT_EQ(grid.GetItemIndex(d), 2u);

    struct Expect
    {
        uint32_t code;
        int32_t row, column;
        void *value;
    };
    const Expect expected[] = {
        {81, 0, 0, a}, {81, 0, 1, b}, {65, 0, 0, b}, {81, 2, 17, c}, {65, 2, 0, c}, {81, 2, 0, d},
    };
    ASSERT_EQ(rec.notes.size(), std::size(expected));
    for (size_t i = 0; i < rec.notes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rec.notes[i].code, expected[i].code);
        EXPECT_EQ(rec.notes[i].state, 1u);
        EXPECT_EQ(rec.notes[i].row, expected[i].row);
        EXPECT_EQ(rec.notes[i].column, expected[i].column);
        EXPECT_EQ(rec.notes[i].value, reinterpret_cast<uintptr_t>(expected[i].value));
        EXPECT_EQ(rec.notes[i].item, &grid);
    }
    EXPECT_TRUE(grid.GetModifyState());
    // A handle from elsewhere places nothing.
    XMatterNode stranger = {};
    EXPECT_EQ(grid.InsertMatter(1, &stranger, nullptr, nullptr), nullptr);
    EXPECT_EQ(grid.DeleteMatter(static_cast<void *>(&stranger)), 0);
    EXPECT_EQ(grid.MoveMatter(&stranger, 0), 0);
}

TEST_F(GriderRows, MoveMatter)
{
    struct Case
    {
        unsigned from, where;
        int result;
        std::vector<int64_t> ids;
    };
    const Case cases[] = {
        {1, 0, 1, {1, 0, 2, 3}}, {0, 0, 0, {0, 1, 2, 3}}, {1, 1, 1, {0, 2, 1, 3}},
        {3, 1, 0, {0, 1, 2, 3}}, {2, 2, 1, {2, 0, 1, 3}}, {0, 2, 0, {0, 1, 2, 3}},
        {0, 3, 1, {1, 2, 3, 0}}, {3, 7, 0, {0, 1, 2, 3}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " " << c.where);
        grid.RemoveAllMatter();
        grid.extraFlags &= ~kGridTotals;
        for (int i = 0; i < 4; ++i)
            Add(i);
        void *row = grid.GetItemMatter(c.from);
        grid.SetItemState(row, 0x20F);
        EXPECT_EQ(grid.MoveMatter(row, c.where), c.result);
        EXPECT_EQ(Ids(), c.ids);
        EXPECT_EQ(grid.GetItemState(row), 0x20Fu);
        ExpectListIntact(grid);
        // With a total row the bottom is before it, and nothing moves below it.
        grid.extraFlags |= kGridTotals;
        grid.ComputeAggregate(-1);
        void *last = grid.GetPrevItem(nullptr);
        EXPECT_EQ(grid.MoveMatter(last, 1), 0);
        EXPECT_EQ(grid.MoveMatter(grid.GetItemMatter(4), 0), 0); // the total row stays
        grid.MoveMatter(grid.GetItemMatter(0), 3);
        EXPECT_EQ(grid.GetItemAdder(grid.GetItemMatter(4)), kAdderTotal);
        ExpectListIntact(grid);
    }
}

TEST_F(GriderRows, DeletedListKeepsOnlySavedDataRows)
{
    std::vector<void *> released;
    static std::vector<void *> *sink;
    sink = &released;
    grid.SetReleaseProc([](void *kape) { sink->push_back(kape); });
    int kapes[6];
    struct Case
    {
        bool keepOption;
        uint16_t state;
        bool kept;
    };
    const Case cases[] = {
        {true, 0x000, true},  {true, 0x200, true},   {true, 0x100, false},
        {true, 0x300, false}, {false, 0x200, false}, {false, 0x000, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case &c = cases[i];
        grid.RemoveAllDelete();
        released.clear();
        grid.extraFlags = c.keepOption ? uint32_t{kGridKeepDeleted} : 0u;
        void *row = Add(static_cast<int32_t>(i));
        grid.SetItemKape(row, &kapes[i]);
        grid.SetItemState(row, c.state);
        rec.notes.clear();
        ASSERT_EQ(grid.DeleteMatter(0u), 1);
        EXPECT_EQ(grid.GetNextDelete(nullptr) == row, c.kept);
        EXPECT_EQ(released.size(), c.kept ? 0u : 1u);
        if (!c.kept) {
            EXPECT_EQ(released[0], &kapes[i]);
        }
        ASSERT_EQ(rec.notes.size(), 1u);
        EXPECT_EQ(rec.notes[0].code, 82u);
        EXPECT_EQ(rec.notes[0].row, 0);
        EXPECT_EQ(rec.notes[0].column, 0);
        EXPECT_EQ(rec.notes[0].param, 0u);
        EXPECT_TRUE(grid.GetModifyState());
    }
    // A kept row still reads: its key, kape and cells.
    grid.extraFlags = kGridKeepDeleted;
    void *row = Add(42);
    grid.SetItemState(row, 0);
    grid.SetItemData(row, 4242);
    grid.DeleteMatter(row);
    void *kept = grid.GetNextDelete(nullptr);
    ASSERT_EQ(kept, row);
    EXPECT_EQ(grid.GetItemData(kept), 4242);
    EXPECT_EQ(CellImage(grid, kept, 0), "i:42");
    EXPECT_EQ(grid.GetNextDelete(kept), nullptr);
    released.clear();
    grid.RemoveAllDelete();
    EXPECT_EQ(grid.GetNextDelete(nullptr), nullptr);
    EXPECT_TRUE(released.empty()); // this row had no kape
}

TEST_F(GriderRows, DeleteChoiceAllAndRemove)
{
    grid.extraFlags = kGridKeepDeleted | kGridTotals;
    for (int i = 0; i < 5; ++i)
        grid.SetItemState(Add(i), 0);
    grid.ComputeAggregate(-1);
    grid.SetItemChoice(grid.GetItemMatter(1), 1);
    grid.SetItemChoice(grid.GetItemMatter(3), 1);
    grid.SetItemChoice(grid.GetItemMatter(5), 1); // the total row: never deleted
    rec.notes.clear();
    EXPECT_EQ(grid.DeleteChoice(), 2u);
    EXPECT_EQ(Ids(), (std::vector<int64_t>{0, 2, 4, 10}));
    ExpectListIntact(grid);
    ASSERT_EQ(rec.notes.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(rec.notes[0].row), 0x8FFFFFF1u);
    EXPECT_EQ(rec.notes[0].column, 1);
    grid.ClearChoice();
    rec.notes.clear();
    EXPECT_EQ(grid.DeleteChoice(), 0u);
    EXPECT_TRUE(rec.notes.empty());

    EXPECT_EQ(grid.RemoveMatter(nullptr), 1); // the first row, to the deleted list
    EXPECT_TRUE(rec.notes.empty());
    EXPECT_EQ(Ids(), (std::vector<int64_t>{2, 4, 10}));
    grid.DeleteAllMatter();
    EXPECT_EQ(grid.GetRowNumber(), 0u);
    ASSERT_EQ(rec.notes.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(rec.notes[0].row), 0x8FFFFFF2u);
    EXPECT_EQ(rec.notes[0].column, 2);
    unsigned kept = 0;
    for (void *r = grid.GetNextDelete(nullptr); r != nullptr; r = grid.GetNextDelete(r)) {
        EXPECT_LT(grid.GetItemAdder(r), 16u);
        ++kept;
    }
    EXPECT_EQ(kept, 5u); // 1, 3, 0, then 2 and 4; the total row was released
}

TEST_F(GriderRows, SelectionByIndexHandleAndValue)
{
    for (int i = 0; i < 4; ++i)
        Add(i % 2);
    grid.extraFlags |= kGridTotals;
    grid.ComputeAggregate(-1);
    void *r1 = grid.GetItemMatter(1);
    grid.SetItemState(grid.GetItemMatter(2), 0x10E); // bits 1-3 without selection
    rec.notes.clear();

    EXPECT_EQ(grid.SetChoice(1), 1);
    EXPECT_EQ(grid.GetChoice(), 1);
    EXPECT_EQ(grid.GetItemState(grid.GetItemMatter(2)), 0x10Eu); // by index: bit 0 only
    EXPECT_EQ(grid.SetChoice(1), 0);                             // no change
    EXPECT_EQ(grid.SetChoice(4), 1); // the total row is no data row: only deselects
    EXPECT_EQ(grid.GetChoice(), -1);
    EXPECT_EQ(grid.SetChoice(4), 0);
    EXPECT_EQ(grid.SetChoice(r1), 1);
    EXPECT_EQ(grid.GetItemState(grid.GetItemMatter(2)), 0x100u); // by handle: bits 0-3
    const std::vector<uint32_t> codes = {65, 66, 65};
    EXPECT_EQ(rec.Codes(), codes);
    EXPECT_EQ(rec.notes[0].row, 1);
    EXPECT_EQ(rec.notes[0].value, reinterpret_cast<uintptr_t>(r1));

    rec.notes.clear();
    const int32_t one = 1;
    EXPECT_EQ(grid.SetChoice(0u, &one), 2u);
    EXPECT_TRUE(rec.notes.empty());
    EXPECT_EQ(grid.GetSelNumber(), 2u);
    std::vector<unsigned> chosen;
    for (void *r = grid.GetNextChoice(nullptr); r != nullptr; r = grid.GetNextChoice(r))
        chosen.push_back(grid.GetItemIndex(r));
    EXPECT_EQ(chosen, (std::vector<unsigned>{1, 3}));
    grid.SetItemText(grid.GetItemMatter(1), 1, u"名");
    EXPECT_EQ(grid.SetChoice(1u, u"名"), 1u);
    EXPECT_EQ(grid.SetChoice(1u, u"名字"), 0u);
    grid.ClearChoice(); // the last SetChoice left nothing selected
    EXPECT_EQ(rec.Codes(), (std::vector<uint32_t>{}));
    grid.SetChoice(0);
    rec.notes.clear();
    grid.ClearChoice();
    EXPECT_EQ(rec.Codes(), (std::vector<uint32_t>{66}));
    int32_t block[4];
    grid.GetBlockChoice(block);
    EXPECT_EQ(block[0], -1);
    EXPECT_EQ(block[3], 0);
}

TEST_F(GriderRows, ModifyStateMarksRowsAndKeepsOtherBits)
{
    void *a = Add(1);
    void *b = Add(2);
    grid.SetItemState(a, 0x0001);
    grid.SetItemState(b, 0x0008);
    grid.SetModifyState(0);
    EXPECT_FALSE(grid.GetModifyState());
    EXPECT_EQ(grid.GetItemState(a), 0x0001u);
    grid.SetModifyState(1);
    EXPECT_TRUE(grid.GetModifyState());
    EXPECT_EQ(grid.GetItemState(a), 0x0301u);
    EXPECT_EQ(grid.GetItemState(b), 0x0308u);
}

TEST_F(GriderRows, WalksSkipSubtotalAndTotalRows)
{
    for (int i = 0; i < 3; ++i)
        Add(i);
    grid.SetItemAdder(grid.GetItemMatter(1), kAdderSubtotal);
    grid.extraFlags |= kGridTotals;
    grid.ComputeAggregate(-1);
    std::vector<unsigned> forward, backward;
    for (void *r = grid.GetNextItem(nullptr); r != nullptr; r = grid.GetNextItem(r))
        forward.push_back(grid.GetItemIndex(r));
    for (void *r = grid.GetPrevItem(nullptr); r != nullptr; r = grid.GetPrevItem(r))
        backward.push_back(grid.GetItemIndex(r));
    EXPECT_EQ(forward, (std::vector<unsigned>{0, 2}));
    EXPECT_EQ(backward, (std::vector<unsigned>{2, 0}));
    EXPECT_EQ(Rows(grid).size(), 4u);
    grid.SetItemData(grid.GetItemMatter(2), -5);
    EXPECT_EQ(grid.SearchData(-5), grid.GetItemMatter(2));
    EXPECT_EQ(grid.SearchData(6), nullptr);
    grid.ClearAggregate();
    EXPECT_EQ(Ids(), (std::vector<int64_t>{0, 2}));
    ExpectListIntact(grid);
    EXPECT_EQ(grid.GetItemMatter(2), nullptr);
    EXPECT_EQ(grid.GetItemIndex(nullptr), 0xFFFFFFFFu);
}

TEST_F(GriderRows, RowAndCellFields)
{
    void *row = Add(1);
    grid.SetItemLayer(row, 3);
    grid.SetItemImage(row, 70000);
    grid.SetItemKape(row, &grid);
    EXPECT_EQ(grid.GetItemLayer(row), 3u);
    EXPECT_EQ(grid.GetItemImage(row), 70000u);
    EXPECT_EQ(grid.GetItemKape(row), &grid);
    uint32_t colours[2];
    grid.GetCellColor(row, 1, colours);
    EXPECT_EQ(colours[0], 0xFFFFFFFFu);
    grid.SetItemColor(row, 0x111111, 0x222222);
    grid.SetCellColor(row, 1, 0x333333, 0xFFFFFFFF);
    grid.GetCellColor(row, 1, colours);
    EXPECT_EQ(colours[0], 0x333333u);
    EXPECT_EQ(colours[1], 0x222222u);
    grid.SetItemKape(row, nullptr);
}

// The save cycle: load saved rows, change, insert and delete, read the changes back as a
// caller saving them does, then reset.
TEST_F(GriderRows, SaveCycle)
{
    std::vector<void *> released;
    static std::vector<void *> *sink;
    sink = &released;
    grid.SetReleaseProc([](void *kape) { sink->push_back(kape); });
    grid.extraFlags |= kGridKeepDeleted;
    int keys[4];
    grid.SetUpdateMode(1);
    for (int i = 0; i < 4; ++i)
        grid.SetItemKape(Add(i), &keys[i]);
    grid.SetUpdateMode(0);
    for (void *r : Rows(grid))
        grid.SetItemState(r, 0); // loaded: saved rows
    grid.SetModifyState(0);
    rec.notes.clear();

    grid.SetItemText(grid.GetItemMatter(1), 1, u"改");    // modified
    void *added = grid.CreateMatter(4, nullptr, nullptr); // new
    grid.SetItemText(added, 0, u"10");                    // new and modified
    ASSERT_TRUE(grid.DeleteMatter(2u));                   // saved row: kept
    void *fresh = grid.InsertMatter(0, nullptr, nullptr); // new
    ASSERT_TRUE(grid.DeleteMatter(fresh));                // new row: released
    EXPECT_EQ(released.size(), 0u);                       // fresh had no kape
    EXPECT_TRUE(grid.GetModifyState());

    std::vector<std::pair<int64_t, uint32_t>> changes;
    for (void *r = grid.GetNextItem(nullptr); r != nullptr; r = grid.GetNextItem(r)) {
        XVarMeter v = {};
        grid.GetSuber(r, 0, &v);
        changes.push_back({v.type == kVarInteger ? v.value.integer : -1,
                           grid.GetItemState(r) & (kMatterNew | kMatterModified)});
    }
    const std::vector<std::pair<int64_t, uint32_t>> expected = {
        {0, 0}, {1, 0x200}, {3, 0}, {10, 0x300}};
    EXPECT_EQ(changes, expected);
    void *deleted = grid.GetNextDelete(nullptr);
    ASSERT_NE(deleted, nullptr);
    EXPECT_EQ(grid.GetItemKape(deleted), &keys[2]);
    EXPECT_EQ(grid.GetNextDelete(deleted), nullptr);
    const std::vector<uint32_t> codes = {81, 65, 82, 81, 82};
    EXPECT_EQ(rec.Codes(), codes);
    EXPECT_EQ(rec.notes[2].row, 2);
    EXPECT_EQ(rec.notes[4].row, 0);

    // Saved: the caller resets states, the option and the deleted list.
    for (void *r : Rows(grid))
        grid.SetItemState(r, 0);
    grid.SetModifyState(0);
    grid.RemoveAllDelete();
    EXPECT_EQ(released, (std::vector<void *>{&keys[2]}));
    grid.RemoveAllMatter();
    EXPECT_EQ(released.size(), 4u);
}

// Appending many rows under SetUpdateMode costs O(1) each, and the indexes stay right.
TEST_F(GriderRows, AppendingIsLinear)
{
    grid.SetUpdateMode(1);
    grid.extraFlags |= kGridTotals;
    grid.ComputeAggregate(-1);
    const unsigned n = 200000;
    for (unsigned i = 0; i < n; ++i)
        grid.InsertMatter(0xFFFFFFFF, nullptr, nullptr);
    EXPECT_EQ(grid.GetRowNumber(), n + 1);
    EXPECT_EQ(grid.GetItemAdder(grid.GetItemMatter(n)), kAdderTotal);
    EXPECT_EQ(grid.GetItemMatter(n / 2)->index, n / 2);
    EXPECT_EQ(grid.GetItemIndex(grid.GetItemMatter(n - 1)), n - 1);
}

// The senders the interaction and editing code use, with their fields and vetoes.
class NoticeGrid : public XPageGrider
{
public:
    using XPageGrider::NotifyBeforeDelete;
    using XPageGrider::NotifyCheckHeader;
    using XPageGrider::NotifyClickItem;
    using XPageGrider::NotifyContextMenu;
    using XPageGrider::NotifyDblclkItem;
    using XPageGrider::NotifyEditItem;
    using XPageGrider::NotifyRClickItem;
};

TEST(GriderNotices, FieldsAndVetoes)
{
    NoticeGrid grid;
    GridRecorder rec;
    XGB_HEADER a = Column(kGridInteger, 4);
    XGB_HEADER check = Column(kGridInteger, 2, kCellCheck, 3);
    grid.InsertHeader(0, &a);
    grid.InsertHeader(1, &check);
    grid.InsertMatter(0, nullptr, nullptr);
    auto *row = static_cast<XMatterNode *>(grid.InsertMatter(1, nullptr, nullptr));
    rec.Attach(&grid);

    struct Case
    {
        const char *name;
        std::function<bool()> send;
        uint32_t code;
        int32_t row, column;
        uint32_t param;
        const void *value;
        bool vetoable;
    };
    const Case cases[] = {
        {"click", [&] { return grid.NotifyClickItem(row, 1); }, 84, 1, 1, 515 | 3u << 16, row,
         true},
        {"right click", [&] { return grid.NotifyRClickItem(1, 0); }, 86, 1, 0, 0, row, true},
        {"right click outside", [&] { return grid.NotifyRClickItem(-2, 0); }, 86, -2, 0, 0, nullptr,
         true},
        {"double click",
         [&] {
             grid.NotifyDblclkItem(row, 0);
             return true;
         },
         87, 1, 0, 0, row, false},
        {"header box", [&] { return grid.NotifyCheckHeader(1, 1); }, 88, -1, 1, 1, nullptr, true},
        {"popup editor", [&] { return grid.NotifyEditItem(kGridOnPopupEditor, row, 0); }, 89, 1, 0,
         0, row, true},
        {"start edit", [&] { return grid.NotifyEditItem(kGridOnStartEditItem, row, 0); }, 90, 1, 0,
         0, row, true},
        {"close edit", [&] { return grid.NotifyEditItem(kGridOnCloseEditItem, row, 1); }, 91, 1, 1,
         0, row, true},
        {"context menu", [&] { return grid.NotifyContextMenu(0); }, 131, 0, 0, 0,
         grid.GetItemMatter(0), true},
        {"before delete", [&] { return grid.NotifyBeforeDelete(int32_t(kDeleteChoiceRow), 1); }, 82,
         int32_t(kDeleteChoiceRow), 1, 1, nullptr, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        rec.notes.clear();
        rec.veto = 0;
        EXPECT_TRUE(c.send());
        ASSERT_EQ(rec.notes.size(), 1u);
        const GridNote &n = rec.notes[0];
        EXPECT_EQ(n.code, c.code);
        EXPECT_EQ(n.state, 1u);
        EXPECT_EQ(n.row, c.row);
        EXPECT_EQ(n.column, c.column);
        EXPECT_EQ(n.param, c.param);
        EXPECT_EQ(n.value, reinterpret_cast<uintptr_t>(c.value));
        EXPECT_EQ(n.item, &grid);
        rec.veto = c.code;
        EXPECT_EQ(c.send(), !c.vetoable);
    }
}

} // namespace
