// The tree grid on the virtual display: pictures of the tree area (connectors, stubs, both
// expand icons, row icons with and without an icon set), frames of a large tree painting
// only the rows in the clip, the expand button under the pointer and the keys over
// collapsed subtrees.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/items/page_tree_grider.h"
#include "pagekit/items/tests/grider_fixture.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/virtual/virtual_display.h"

#include <cairo.h>

namespace {

using TreeDraw = PageWindowTest;

std::u16string U16(const std::string &s)
{
    return std::u16string(s.begin(), s.end());
}

// A window with one tree grid of two text columns filling it.
struct Form
{
    XPageWindow window;
    XTreeGrider *grid = new XTreeGrider;
    GridRecorder notes;

    explicit Form(uint32_t options = kGridGuide, int width = 320, int height = 240)
    {
        grid->extraFlags |= options;
        grid->itemFlags |= kItemAbsolute;
        Placed(grid, 0, 0, width, height);
        notes.Attach(grid);
        XGB_HEADER name = Column(kGridText, 32);
        name.wide = 160;
        name.title = u"名称";
        grid->InsertHeader(0, &name);
        XGB_HEADER note = Column(kGridText, 32);
        note.title = u"说明";
        grid->InsertHeader(1, &note);
        window.GetRooter()->AddItem(grid);
    }
    // A row under parent (null: a root), last child, with its name in both columns.
    void *Add(void *parent, const std::string &name, unsigned icon = 0)
    {
        void *row = grid->InsertMatter(parent, nullptr, 1, icon, nullptr, nullptr);
        grid->SetItemText(row, 0, U16(name).c_str());
        grid->SetItemText(row, 1, U16("x" + name).c_str());
        return row;
    }
    // Roots a and e; a ( b, c ( d ) ), e ( f, g ( h ) ), i.
    std::vector<void *> Sample()
    {
        std::vector<void *> r;
        r.push_back(Add(nullptr, "a", 0));
        r.push_back(Add(r[0], "b", 1));
        r.push_back(Add(r[0], "c", 2));
        r.push_back(Add(r[2], "d", 0));
        r.push_back(Add(nullptr, "e", 1));
        r.push_back(Add(r[4], "f", 2));
        r.push_back(Add(r[4], "g", 0));
        r.push_back(Add(r[6], "h", 1));
        r.push_back(Add(nullptr, "i", 2));
        return r;
    }
    POINT_t At(int x, int y) const
    {
        BOUND_t b;
        grid->GetPlace(kPlaceBodyWindow, &b);
        return POINT_t{b.x + x, b.y + y};
    }
    // The body point of the expand button of a row index (its shown position given).
    POINT_t Button(unsigned index, unsigned place)
    {
        const int layer = static_cast<int>(grid->GetItemLayer(grid->GetItemMatter(index)));
        return At(static_cast<int>(grid->GetGuidePlace()) + layer * 20 + 8,
                  static_cast<int>(grid->GetItemHeight(2) + place * grid->GetItemHeight(0) +
                                   grid->GetItemHeight(0) / 2));
    }
};

// A strip of three 16-pixel icons: red, green and blue squares with a dark frame.
struct Icons
{
    XIconDrawer drawer;
    Icons()
    {
        cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 48, 16);
        cairo_t *cr = cairo_create(s);
        const double colours[3][3] = {{0.9, 0.2, 0.2}, {0.2, 0.7, 0.2}, {0.2, 0.3, 0.9}};
        for (int i = 0; i < 3; ++i) {
            cairo_rectangle(cr, i * 16 + 2, 2, 12, 12);
            cairo_set_source_rgb(cr, colours[i][0], colours[i][1], colours[i][2]);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
        cairo_destroy(cr);
        drawer.LoadSurface(s, 0);
        cairo_surface_destroy(s);
    }
};

std::vector<int> Selected(XPageGrider &grid)
{
    std::vector<int> out;
    for (void *r = grid.GetNextChoice(nullptr); r != nullptr; r = grid.GetNextChoice(r))
        out.push_back(static_cast<int>(grid.GetItemIndex(r)));
    return out;
}

void Click(XVirtualDisplay *display, Form &f, POINT_t p)
{
    display->Move(&f.window, p.x, p.y);
    display->Click(&f.window, p.x, p.y);
    display->Advance(1000); // never a double click
}

// ---------------------------------------------------------------------------------------

TEST_F(TreeDraw, CreationRaisesTheRowHeightToAnEvenNumber)
{
    Form f;
    f.grid->extraFlags = 0;
    f.grid->itemStyle.SetFontDesc(0, 13, 0, nullptr); // 13 + 6 = 19, raised to 20
    Open(f.window, 320, 240);
    EXPECT_EQ(kTreeGridOptions, f.grid->extraFlags & kTreeGridOptions);
    EXPECT_EQ(20u, f.grid->GetItemHeight(0));
    EXPECT_EQ(19u, f.grid->GetItemHeight(1)); // header lines keep the grid's rule
}

TEST_F(TreeDraw, ConnectorsStubsAndBothExpandIcons)
{
    Form f;
    std::vector<void *> r = f.Sample();
    f.grid->Collapse(6, 0); // g hides h: the collapsed icon
    Open(f.window, 320, 240);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &f.window, "tree_lines"));
}

TEST_F(TreeDraw, RowIconsFromTheIconSet)
{
    Form f(kGridGuide | kGridRowIcon);
    Icons icons;
    f.grid->SetIconWare(&icons.drawer);
    f.Sample();
    Open(f.window, 320, 240);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &f.window, "tree_icons"));
    f.grid->SetIconWare(nullptr);
}

TEST_F(TreeDraw, RowIconOptionWithoutAnIconSetLeavesTheirRoom)
{
    Form f(kGridGuide | kGridRowIcon);
    f.Sample();
    Open(f.window, 320, 240);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &f.window, "tree_noicons"));
}

TEST_F(TreeDraw, ScrolledTreeLinesFollowColumnZero)
{
    Form f(kGridGuide, 240, 160);
    f.Sample();
    Open(f.window, 240, 160);
    f.grid->SetScrollPos(0, 30);
    f.grid->SetScrollPos(1, 40);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &f.window, "tree_scrolled"));
}

TEST_F(TreeDraw, FramesOfALargeTreePaintOnlyTheClip)
{
    Form f(kGridGuide, 300, 200);
    XTreeGrider &g = *f.grid;
    g.SetUpdateMode(1);
    // 1000 roots of 99 children each; every other root collapsed.
    for (int i = 0; i < 1000; ++i) {
        void *root = g.MallocMatter(nullptr, nullptr, 1, 0, nullptr, nullptr);
        for (int c = 0; c < 99; ++c)
            g.MallocMatter(root, nullptr, 0, 0, nullptr, nullptr);
    }
    for (unsigned i = 0; i < 100000; i += 200)
        g.Collapse(static_cast<int>(i), 0);
    g.SetUpdateMode(0);
    Open(f.window, 300, 200);
    g.CalcExtentSize(0);
    // 500 collapsed roots of one row, 500 open ones of 100.
    EXPECT_EQ(static_cast<int>(g.GetItemHeight(2)) + 18 * (500 + 500 * 100) + 4, g.scroll.height);
    g.SetScrollPos(1, 18 * 25000);
    Run();
    const int visible = (g.body.height - 18 + 17) / 18;
    EXPECT_LE(g.GetDrawnRows(), static_cast<unsigned>(visible + 1));
    EXPECT_GE(g.GetDrawnRows(), static_cast<unsigned>(visible));
}

TEST_F(TreeDraw, APlainClickOnTheButtonTogglesAndKeepsTheSelection)
{
    Form f(kGridGuide | kGridMultiSelect);
    std::vector<void *> r = f.Sample();
    Open(f.window, 320, 240);
    XTreeGrider &g = *f.grid;
    g.SetChoice(r[1]);
    Run();
    f.notes.notes.clear();
    Click(display, f, f.Button(0, 0)); // a's button collapses a
    Run();
    EXPECT_TRUE(g.GetItemState(r[0]) & kMatterCollapsed);
    EXPECT_EQ(std::vector<int>{1}, Selected(g));
    for (const GridNote &n : f.notes.notes)
        EXPECT_NE(kGridOnSelChange, n.code);
    EXPECT_FALSE(g.IsShown(r[1]));
    Click(display, f, f.Button(4, 1)); // e, now second
    Run();
    EXPECT_TRUE(g.GetItemState(r[4]) & kMatterCollapsed);
    Click(display, f, f.Button(0, 0));
    Run();
    EXPECT_FALSE(g.GetItemState(r[0]) & kMatterCollapsed);
    EXPECT_TRUE(g.IsShown(r[3]));
    // With a key flag the press is the grid's: a toggles into the selection.
    display->KeyDown(&f.window, 17);
    Click(display, f, f.Button(0, 0));
    display->KeyUp(&f.window, 17);
    Run();
    EXPECT_FALSE(g.GetItemState(r[0]) & kMatterCollapsed);
    EXPECT_EQ((std::vector<int>{0, 1}), Selected(g));
    // A plain click beside the button selects the row.
    const POINT_t text = f.At(static_cast<int>(g.GetGuidePlace()) + 60,
                              static_cast<int>(g.GetItemHeight(2) + g.GetItemHeight(0) / 2));
    Click(display, f, text);
    Run();
    EXPECT_EQ(std::vector<int>{0}, Selected(g));
    EXPECT_FALSE(g.GetItemState(r[0]) & kMatterCollapsed);
}

TEST_F(TreeDraw, KeysSkipRowsOfCollapsedSubtrees)
{
    Form f;
    std::vector<void *> r = f.Sample();
    XTreeGrider &g = *f.grid;
    g.Collapse(2, 0); // c hides d
    g.Collapse(4, 0); // e hides f, g, h
    Open(f.window, 320, 240);
    f.window.SetFocusItem(&g);
    struct Step
    {
        uint32_t key;
        int selected;
    } steps[] = {{40, 0}, {40, 1}, {40, 2}, {40, 4}, {40, 8}, {40, 8},
                 {38, 4}, {38, 2}, {35, 8}, {36, 0}, {38, 0}};
    for (const Step &s : steps) {
        display->KeyDown(&f.window, s.key);
        display->KeyUp(&f.window, s.key);
        Run();
        EXPECT_EQ(std::vector<int>{s.selected}, Selected(g)) << s.key;
    }
    // The last row hidden: End goes to the last shown row.
    void *hidden = g.InsertMatter(r[4], nullptr, 1, 0, nullptr, nullptr);
    g.MoveMatter(hidden, 3); // to the bottom, under i
    g.SetItemLayer(hidden, 1);
    g.Collapse(8, 0);
    display->KeyDown(&f.window, 35);
    display->KeyUp(&f.window, 35);
    Run();
    EXPECT_EQ(std::vector<int>{8}, Selected(g));
}

} // namespace
