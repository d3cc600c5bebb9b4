// The tree grid's tree: navigation, the placement rules against python3's
// xml.etree.ElementTree on fixture trees and random operations, collapsing with the shown
// rows and extents, and deleting subtrees.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "pagekit/core/item_kind.h"
#include "pagekit/items/page_tree_grider.h"
#include "pagekit/items/tests/grider_fixture.h"
#include "pagekit/items/tests/oracle_run.h"

namespace {

// A tree grid that opens the editing state to the tests.
class TreeGrid : public XTreeGrider
{
public:
    TreeGrid()
    {
        XGB_HEADER h = Column(kGridText, 16);
        InsertHeader(0, &h);
    }
    void FakeEditor(XPageItem *editor, void *row)
    {
        m_editor = editor;
        m_editRow = static_cast<XMatterNode *>(row);
        m_editCol = 0;
    }
    XPageItem *Editor() const { return m_editor; }
    XMatterNode *EditRow() const { return m_editRow; }
    // The shown rows as the shown-row table gives them.
    std::vector<unsigned> Shown()
    {
        std::vector<unsigned> out;
        for (unsigned p = 0; p < GetShownCount(); ++p)
            out.push_back(GetShownMatter(p));
        return out;
    }
};

// A row named by its data key.
std::string Name(XTreeGrider &g, void *row)
{
    return row != nullptr ? "n" + std::to_string(g.GetItemData(row)) : "-";
}

// The grid's rows as the oracle prints a tree.
std::vector<std::string> Table(XTreeGrider &g)
{
    std::vector<std::string> out;
    for (void *r = g.GetNextItemEx(nullptr); r != nullptr; r = g.GetNextItemEx(r)) {
        auto *row = static_cast<XMatterNode *>(r);
        const unsigned size = g.GetSubtreeEnd(row)->index - row->index + 1;
        out.push_back(Name(g, r) + " " + std::to_string(g.GetItemLayer(r)) + " " +
                      Name(g, g.GetParentItem(r)) + " " + Name(g, g.GetChildItem(r)) + " " +
                      std::to_string(size));
    }
    return out;
}

std::vector<std::string> Oracle(const std::string &input)
{
    return RunOnInput("/usr/bin/python3 " ZEP_TEST_DIR "/tree_grider_oracle.py", input);
}

// One oracle line: name, depth, parent, first child, subtree size.
struct Node
{
    std::string name;
    unsigned depth;
    std::string parent;
    std::vector<std::string> children;
};

std::vector<Node> Parse(const std::vector<std::string> &lines)
{
    std::vector<Node> nodes;
    std::map<std::string, size_t> at;
    for (const std::string &line : lines) {
        char name[64], parent[64], first[64];
        unsigned depth = 0, size = 0;
        if (std::sscanf(line.c_str(), "%63s %u %63s %63s %u", name, &depth, parent, first, &size) !=
            5)
            continue;
        at[name] = nodes.size();
        nodes.push_back({name, depth, parent, {}});
        if (std::string(parent) != "-")
            nodes[at[parent]].children.push_back(name);
    }
    return nodes;
}

int64_t Key(const std::string &name)
{
    return std::stoll(name.substr(1));
}

// The fixture built with one placement rule: 0 last child, 1 first child (children in
// reverse), 2 before the next sibling, 3 after the previous sibling.
void Build(TreeGrid &g, const std::vector<Node> &nodes, int rule)
{
    std::map<std::string, void *> rows;
    auto place = [&](const std::string &name, void *parent, void *neighbour, int after) {
        void *row = g.InsertMatter(parent, neighbour, after, 0, nullptr, nullptr);
        ASSERT_NE(nullptr, row) << name;
        g.SetItemData(row, Key(name));
        rows[name] = row;
    };
    // The children of each parent in turn (roots first), the parent placed before them.
    auto children = [&](const std::string &parent, const std::vector<std::string> &kids) {
        void *up = parent == "-" ? nullptr : rows[parent];
        const size_t n = kids.size();
        for (size_t i = 0; i < n; ++i) {
            switch (rule) {
            case 0:
                place(kids[i], up, nullptr, 1);
                break;
            case 1:
                place(kids[n - 1 - i], up, nullptr, 0);
                break;
            case 2:
                if (i == 0)
                    place(kids[n - 1], up, nullptr, 1);
                else
                    place(kids[n - 1 - i], up, rows[kids[n - i]], 0);
                break;
            default:
                if (i == 0)
                    place(kids[0], up, nullptr, 0);
                else
                    place(kids[i], up, rows[kids[i - 1]], 1);
                break;
            }
        }
    };
    std::vector<std::string> roots;
    for (const Node &node : nodes)
        if (node.parent == "-")
            roots.push_back(node.name);
    children("-", roots);
    for (const Node &node : nodes)
        children(node.name, node.children);
}

const char *const kFixtures[] = {
    R"(<t><n id="n1"/></t>)",
    R"(<t><n id="n1"><n id="n2"/><n id="n3"/></n><n id="n4"/></t>)",
    R"(<t><n id="n1"><n id="n2"><n id="n3"><n id="n4"/></n></n></n><n id="n5"><n id="n6"/></n></t>)",
    R"(<t><n id="n1"><n id="n2"/><n id="n3"><n id="n4"/><n id="n5"/></n><n id="n6"/></n>)"
    R"(<n id="n7"/><n id="n8"><n id="n9"><n id="n10"/></n><n id="n11"/></n></t>)",
};

// ---------------------------------------------------------------------------------------

TEST(TreeGridOracle, EveryPlacementRuleBuildsTheFixtureTrees)
{
    for (const char *xml : kFixtures) {
        const std::vector<std::string> expected = Oracle(std::string(xml) + "\n");
        ASSERT_FALSE(expected.empty());
        const std::vector<Node> nodes = Parse(expected);
        for (int rule = 0; rule < 4; ++rule) {
            SCOPED_TRACE(std::string(xml) + " rule " + std::to_string(rule));
            TreeGrid g;
            Build(g, nodes, rule);
            EXPECT_EQ(expected, Table(g));
            ExpectListIntact(g);
        }
    }
}

TEST(TreeGridOracle, RandomInsertsAndDeletesFollowTheTree)
{
    std::mt19937 rng(2511);
    auto below = [&](size_t n) {
        return static_cast<size_t>(std::uniform_int_distribution<size_t>(0, n - 1)(rng));
    };
    for (int round = 0; round < 6; ++round) {
        const std::string xml = kFixtures[round % 4];
        const std::vector<Node> nodes = Parse(Oracle(xml + "\n"));
        TreeGrid g;
        Build(g, nodes, round % 4);
        std::string ops;
        int next = 100;
        for (int step = 0; step < 60; ++step) {
            std::vector<void *> rows = Rows(g);
            const int rule = rows.empty() ? static_cast<int>(below(2)) : static_cast<int>(below(7));
            void *pick = rows.empty() ? nullptr : rows[below(rows.size())];
            const std::string name = "n" + std::to_string(next);
            void *made = nullptr;
            std::string op;
            switch (rule) {
            case 0:
            case 1: // a root, last or first
                made = g.InsertMatter(nullptr, nullptr, rule, 0, nullptr, nullptr);
                op = "i " + name + " - - " + std::to_string(rule);
                break;
            case 2:
            case 3: // a child, last or first
                made = g.InsertMatter(pick, nullptr, rule == 2, 0, nullptr, nullptr);
                op = "i " + name + " " + Name(g, pick) + " - " + (rule == 2 ? "1" : "0");
                break;
            case 4: { // before a neighbour, under its parent
                void *up = g.GetParentItem(pick);
                made = g.InsertMatter(up, pick, 0, 0, nullptr, nullptr);
                op = "i " + name + " " + Name(g, up) + " " + Name(g, pick) + " 0";
                break;
            }
            case 5: { // after a neighbour without children
                if (g.HasChildren(pick))
                    continue;
                void *up = g.GetParentItem(pick);
                made = g.InsertMatter(up, pick, 1, 0, nullptr, nullptr);
                op = "i " + name + " " + Name(g, up) + " " + Name(g, pick) + " 1";
                break;
            }
            default: { // the row and its subtree, through the selection
                const std::string gone = Name(g, pick);
                g.SetChoice(pick);
                const unsigned before = g.GetRowNumber();
                auto *row = static_cast<XMatterNode *>(pick);
                const unsigned size = g.GetSubtreeEnd(row)->index - row->index + 1;
                EXPECT_EQ(size, g.DeleteChoice());
                EXPECT_EQ(before - size, g.GetRowNumber());
                ops += "d " + gone + "\n";
                continue;
            }
            }
            ASSERT_NE(nullptr, made);
            g.SetItemData(made, next++);
            ops += op + "\n";
        }
        SCOPED_TRACE(xml + "\n" + ops);
        EXPECT_EQ(Oracle(xml + "\n" + ops), Table(g));
        ExpectListIntact(g);
    }
}

// ---------------------------------------------------------------------------------------

// n1 ( n2, n3 ( n4 ( n5 ), n6 ) ), n7: the rows in list order 0 ... 6.
struct Sample
{
    TreeGrid g;
    std::vector<void *> r;
    GridRecorder notes;
    Sample()
    {
        const std::vector<Node> nodes =
            Parse(Oracle(std::string(R"(<t><n id="n1"><n id="n2"/><n id="n3"><n id="n4">)"
                                     R"(<n id="n5"/></n><n id="n6"/></n></n><n id="n7"/></t>)") +
                         "\n"));
        Build(g, nodes, 0);
        r = Rows(g);
        notes.Attach(&g);
    }
};

TEST(TreeGrid, KindOptionsAndNavigation)
{
    Sample s;
    XTreeGrider &g = s.g;
    EXPECT_EQ(kKindGrider, g.kind);
    EXPECT_EQ(kTreeGridOptions, g.extraFlags & ~kGridModified);
    ASSERT_EQ(7u, s.r.size());
    EXPECT_EQ(s.r[0], g.GetRootItem());
    struct Case
    {
        int row, next, child, parent; // -1: null
    } cases[] = {
        {0, -1, 1, -1}, // a row with children has no next node
        {1, 2, -1, 0},  // the next sibling
        {2, -1, 3, 0},   {3, -1, 4, 2},
        {4, -1, -1, 3},  {5, -1, -1, 2}, // the last child: the next row is shallower
        {6, -1, -1, -1},
    };
    auto at = [&](int i) { return i < 0 ? nullptr : s.r[static_cast<size_t>(i)]; };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(at(c.next), g.GetNextNode(at(c.row)));
        EXPECT_EQ(at(c.child), g.GetChildItem(at(c.row)));
        EXPECT_EQ(at(c.parent), g.GetParentItem(at(c.row)));
    }
    int unknown = 0;
    EXPECT_EQ(nullptr, g.GetNextNode(&unknown));
    EXPECT_EQ(nullptr, g.GetChildItem(&unknown));
    EXPECT_EQ(nullptr, g.GetParentItem(&unknown));
    XTreeGrider empty;
    EXPECT_EQ(nullptr, empty.GetRootItem());
}

TEST(TreeGrid, PlacementDetails)
{
    Sample s;
    XTreeGrider &g = s.g;
    s.notes.notes.clear();
    // MallocMatter places quietly; InsertMatter announces the row with subcode 0.
    void *quiet = g.MallocMatter(s.r[3], nullptr, 1, 7, nullptr, nullptr);
    ASSERT_NE(nullptr, quiet);
    EXPECT_TRUE(s.notes.notes.empty());
    EXPECT_EQ(5u, g.GetItemIndex(quiet)); // after n5, the end of n4's subtree
    EXPECT_EQ(3u, g.GetItemLayer(quiet));
    EXPECT_EQ(7u, g.GetItemImage(quiet));
    void *loud = g.InsertMatter(s.r[6], nullptr, 0, 0, nullptr, nullptr);
    ASSERT_EQ(1u, s.notes.notes.size());
    EXPECT_EQ(kGridOnInsertItem, s.notes.notes[0].code);
    EXPECT_EQ(static_cast<int32_t>(g.GetItemIndex(loud)), s.notes.notes[0].row);
    EXPECT_EQ(kInsertProgram, s.notes.notes[0].column);
    EXPECT_EQ(g.GetRowNumber() - 1, g.GetItemIndex(loud)); // the parent was the last row
    EXPECT_EQ(s.r[6], g.GetParentItem(loud));
    // After a neighbour with children the grid's rule holds: the row goes right after it,
    // and the neighbour's children follow the new row.
    void *between = g.MallocMatter(nullptr, s.r[0], 1, 0, nullptr, nullptr);
    EXPECT_EQ(1u, g.GetItemIndex(between));
    EXPECT_EQ(nullptr, g.GetChildItem(s.r[0]));
    EXPECT_EQ(between, g.GetParentItem(s.r[1]));
    // Refused: unknown handles and a parent at the deepest layer.
    int unknown = 0;
    EXPECT_EQ(nullptr, g.InsertMatter(&unknown, nullptr, 1, 0, nullptr, nullptr));
    EXPECT_EQ(nullptr, g.InsertMatter(nullptr, &unknown, 1, 0, nullptr, nullptr));
    g.SetItemLayer(s.r[6], 0xFFFF);
    const unsigned count = g.GetRowNumber();
    EXPECT_EQ(nullptr, g.InsertMatter(s.r[6], nullptr, 1, 0, nullptr, nullptr));
    EXPECT_EQ(count, g.GetRowNumber());
    // The grid's own overloads are still there.
    void *plain = g.InsertMatter(0u, nullptr, nullptr);
    EXPECT_EQ(0u, g.GetItemIndex(plain));
    ExpectListIntact(g);
}

TEST(TreeGrid, NewRowsStayBeforeTheTotalRow)
{
    XTreeGrider g;
    g.extraFlags |= kGridTotals;
    XGB_HEADER h = Column(kGridInteger, 4);
    h.aggregate = kAggrSum;
    g.InsertHeader(0, &h);
    void *root = g.InsertMatter(nullptr, nullptr, 1, 0, nullptr, nullptr);
    g.ComputeAggregate(-1);
    ASSERT_EQ(2u, g.GetRowNumber());
    void *child = g.InsertMatter(root, nullptr, 1, 0, nullptr, nullptr);
    void *last = g.InsertMatter(nullptr, nullptr, 1, 0, nullptr, nullptr);
    EXPECT_EQ(1u, g.GetItemIndex(child));
    EXPECT_EQ(2u, g.GetItemIndex(last));
    EXPECT_EQ(kAdderTotal, g.GetItemAdder(g.GetItemMatter(3)));
}

TEST(TreeGrid, CollapseHidesDescendantsAndShrinksTheContent)
{
    Sample s;
    TreeGrid &g = s.g;
    g.CalcExtentSize(0);
    const int full = g.scroll.height;
    const int rowHeight = static_cast<int>(g.GetItemHeight(0));
    struct Step
    {
        int index, mode;
        std::vector<unsigned> shown;
    } steps[] = {
        {3, 0, {0, 1, 2, 3, 5, 6}},    // n4 hides n5
        {2, 2, {0, 1, 2, 6}},          // toggling n3 hides n4's subtree and n6
        {2, 1, {0, 1, 2, 3, 5, 6}},    // expanding n3: n4 stays collapsed
        {3, 2, {0, 1, 2, 3, 4, 5, 6}}, // toggling n4 open
        {1, 0, {0, 1, 2, 3, 4, 5, 6}}, // a row without children: nothing hidden
        {0, 0, {0, 6}},
        {0, 0, {0, 6}},  // collapsing again changes nothing
        {99, 2, {0, 6}}, // no row: nothing
        {-1, 2, {0, 6}},
        {0, 1, {0, 1, 2, 3, 4, 5, 6}},
    };
    for (const Step &st : steps) {
        SCOPED_TRACE(std::to_string(st.index) + " mode " + std::to_string(st.mode));
        g.Collapse(st.index, st.mode);
        EXPECT_EQ(st.shown, g.Shown());
        EXPECT_EQ(full - rowHeight * static_cast<int>(7 - st.shown.size()), g.scroll.height);
        // Cell places follow the shown positions; hidden rows have none.
        for (unsigned i = 0; i < 7; ++i) {
            BOUND_t cell;
            const auto at = std::find(st.shown.begin(), st.shown.end(), i);
            if (at == st.shown.end()) {
                EXPECT_EQ(0, g.GetCellPlace(static_cast<int>(i), 0, &cell)) << i;
                EXPECT_FALSE(g.IsShown(s.r[i]));
            } else {
                ASSERT_EQ(1, g.GetCellPlace(static_cast<int>(i), -1, &cell)) << i;
                EXPECT_EQ(static_cast<int>(g.GetItemHeight(2)) +
                              rowHeight * static_cast<int>(at - st.shown.begin()),
                          cell.y);
            }
        }
    }
    // The state bit written from outside is seen as well, with the extents.
    g.SetItemState(s.r[2], g.GetItemState(s.r[2]) | kMatterCollapsed);
    EXPECT_EQ((std::vector<unsigned>{0, 1, 2, 6}), g.Shown());
    g.CalcExtentSize(0);
    EXPECT_EQ(full - 3 * rowHeight, g.scroll.height);
    // Rows added under a collapsed row are hidden; the shown table follows inserts.
    g.InsertMatter(s.r[2], nullptr, 1, 0, nullptr, nullptr);
    EXPECT_EQ((std::vector<unsigned>{0, 1, 2, 7}), g.Shown());
}

TEST(TreeGrid, HiddenRowsAreNeverHit)
{
    Sample s;
    TreeGrid &g = s.g;
    g.Collapse(2, 0);
    g.CalcExtentSize(0);
    const int title = static_cast<int>(g.GetItemHeight(2));
    const int rowHeight = static_cast<int>(g.GetItemHeight(0));
    const std::vector<int> expected = {1, 2, 3, 7}; // 1-based list indexes
    for (int y = title; y < title + rowHeight * 6; ++y) {
        int col = 0;
        const int row = g.HitTest(10, y, &col, nullptr);
        const size_t place = static_cast<size_t>((y - title) / rowHeight);
        EXPECT_EQ(place < expected.size() ? expected[place] : -1, row) << y;
        EXPECT_EQ(row, g.GetHitRow());
    }
}

TEST(TreeGrid, ExpandButtonHitsAndTheIndentOfColumnZero)
{
    Sample s;
    TreeGrid &g = s.g;
    g.extraFlags |= kGridGuide;
    XGB_HEADER second = Column(kGridText, 8);
    g.InsertHeader(1, &second); // removes the rows: build again
    Build(g, Parse(Oracle(std::string(kFixtures[2]) + "\n")), 0);
    g.CalcExtentSize(0);
    const int guide = static_cast<int>(g.GetGuidePlace());
    const int title = static_cast<int>(g.GetItemHeight(2));
    const int rowHeight = static_cast<int>(g.GetItemHeight(0));
    // n1 ( n2 ( n3 ( n4 ) ) ), n5 ( n6 ): layers 0 1 2 3 0 1.
    struct Case
    {
        int row; // 0-based list index
        int dx;  // from the guide edge
        bool button;
    } cases[] = {
        {0, 0, true},    {0, 15, true},  {0, 16, false}, {0, -1, false}, {1, 19, false},
        {1, 20, true},   {1, 35, true},  {2, 40, true},  {3, 60, false}, // no children
        {4, 5, true},    {5, 25, false},                                 // no children
        {0, 100, false},                                                 // second column
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + " at " + std::to_string(c.dx));
        const int y = title + c.row * rowHeight + rowHeight / 2;
        const int row = g.HitTest(guide + c.dx, y, nullptr, nullptr);
        EXPECT_EQ(c.row + 1, row);
        EXPECT_EQ(c.button, g.GetHitButton());
    }
    // Column 0 starts after the tree area: layer x 20 + 20, and 16 + 3 more for row icons
    // without an icon set.
    for (unsigned i = 0; i < 6; ++i) {
        BOUND_t cell;
        ASSERT_EQ(1, g.GetCellPlace(static_cast<int>(i), 0, &cell));
        const int layer = static_cast<int>(g.GetItemLayer(g.GetItemMatter(i)));
        EXPECT_EQ(guide + layer * 20 + 20, cell.x);
        EXPECT_EQ(80 - layer * 20 - 20, cell.width);
        ASSERT_EQ(1, g.GetCellPlace(static_cast<int>(i), 1, &cell));
        EXPECT_EQ(guide + 80, cell.x); // other columns keep their place
    }
    g.extraFlags |= kGridRowIcon;
    BOUND_t cell;
    ASSERT_EQ(1, g.GetCellPlace(2, 0, &cell));
    EXPECT_EQ(guide + 2 * 20 + 39, cell.x);
}

TEST(TreeGrid, DeletingTheSelectionTakesSubtrees)
{
    Sample s;
    TreeGrid &g = s.g;
    std::vector<void *> &r = s.r;
    // n3 with its subtree, and n7; n5 inside n3's subtree is selected too.
    g.SetItemChoice(r[2], 1);
    g.SetItemChoice(r[4], 1);
    g.SetItemChoice(r[6], 1);
    s.notes.notes.clear();
    EXPECT_EQ(5u, g.DeleteChoice());
    EXPECT_EQ((std::vector<void *>{r[0], r[1]}), Rows(g));
    ExpectListIntact(g);
    ASSERT_EQ(1u, s.notes.notes.size());
    EXPECT_EQ(kGridOnDeleteItem, s.notes.notes[0].code);
    EXPECT_EQ(static_cast<int32_t>(kDeleteChoiceRow), s.notes.notes[0].row);
    EXPECT_EQ(kDeleteChoice, s.notes.notes[0].column);
    EXPECT_EQ(0u, g.DeleteChoice()); // nothing selected: nothing sent
    EXPECT_EQ(1u, s.notes.notes.size());
}

TEST(TreeGrid, RowsInCollapsedSubtreesAreNotExamined)
{
    Sample s;
    TreeGrid &g = s.g;
    std::vector<void *> &r = s.r;
    g.extraFlags |= kGridKeepDeleted;
    g.SetItemState(r[1], 0);  // a saved row: kept on the deleted list
    g.SetItemChoice(r[1], 1); // shown and selected: goes
    g.SetItemChoice(r[4], 1); // hidden under collapsed n4: stays
    g.Collapse(3, 0);
    EXPECT_EQ(1u, g.DeleteChoice());
    EXPECT_EQ(r[1], g.GetNextDelete(nullptr));
    EXPECT_EQ(6u, g.GetRowNumber());
    EXPECT_TRUE(g.GetItemState(r[4]) & kMatterSelected);
    EXPECT_EQ((std::vector<unsigned>{0, 1, 2, 4, 5}), g.Shown());
    // A collapsed selected row goes with its hidden rows.
    g.SetItemChoice(r[3], 1);
    EXPECT_EQ(2u, g.DeleteChoice());
    EXPECT_EQ((std::vector<void *>{r[0], r[2], r[5], r[6]}), Rows(g));
    ExpectListIntact(g);
}

TEST(TreeGrid, AnEditorInADeletedOrHiddenSubtreeIsClosed)
{
    Sample s;
    TreeGrid &g = s.g;
    XPageItem editor;
    // Collapsing the edited row's parent hides it: the editor goes.
    g.FakeEditor(&editor, s.r[4]);
    g.Collapse(0, 2); // toggling n1 open: it is open already, so this collapses it
    EXPECT_EQ(nullptr, g.Editor());
    g.Collapse(0, 1);
    // Collapsing the edited row itself keeps the editor.
    g.FakeEditor(&editor, s.r[3]);
    g.Collapse(3, 0);
    EXPECT_EQ(&editor, g.Editor());
    // Deleting a collapsed subtree with the editor open in it.
    g.FakeEditor(&editor, s.r[4]);
    g.SetItemChoice(s.r[2], 1);
    EXPECT_EQ(4u, g.DeleteChoice());
    EXPECT_EQ(nullptr, g.Editor());
    EXPECT_EQ(nullptr, g.EditRow());
    EXPECT_EQ(3u, g.GetRowNumber());
}

} // namespace
