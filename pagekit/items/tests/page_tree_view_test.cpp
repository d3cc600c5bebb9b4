// The tree item on the virtual display: golden pictures with and without lines, with
// check boxes, icons and the selected caption; a selection inside a collapsed branch
// scrolled into view; presses, clicks, check clicks and double clicks with their
// notifications; dragging a node onto another (3 and 4 pixels, the selected node as no
// target, the halftone frame, the drop and the swallowed click); the caption editor
// (commit, veto, Escape) and deletions while editing or dragging; and the action bar's
// use: a kind-0x232 tree in a row that is first 0 high.

#include <gtest/gtest.h>

#include <cairo.h>

#include <string>
#include <vector>

#include "pagekit/core/page_edit.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/items/page_tree.h"
#include "pagekit/items/tests/tree_fixture.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/virtual/virtual_display.h"

namespace {

using PageTreeView = PageWindowTest;

// Two 16-pixel icons: an orange disc and a blue square.
void MakeIcons(XIconDrawer *icons)
{
    cairo_surface_t *strip = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 16);
    cairo_t *cr = cairo_create(strip);
    cairo_set_source_rgb(cr, 0.9, 0.5, 0.1);
    cairo_arc(cr, 8, 8, 6, 0, 6.3);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.2, 0.4, 0.8);
    cairo_rectangle(cr, 19, 3, 10, 10);
    cairo_fill(cr);
    cairo_destroy(cr);
    EXPECT_TRUE(icons->LoadSurface(strip, 0));
    cairo_surface_destroy(strip);
}

// The shown picture against the back buffer: the number of differing pixels.
long ShownAgainstBuffer(XVirtualDisplay *display, XPageWindow *window)
{
    cairo_surface_t *shown = display->GetWindowSurface(window);
    cairo_surface_t *buffer = window->GetBufferSurface();
    cairo_surface_flush(shown);
    cairo_surface_flush(buffer);
    const int w = cairo_image_surface_get_width(buffer), h = cairo_image_surface_get_height(buffer);
    long differing = 0;
    for (int y = 0; y < h; ++y) {
        const auto *a = reinterpret_cast<const uint32_t *>(
            cairo_image_surface_get_data(shown) + y * cairo_image_surface_get_stride(shown));
        const auto *c = reinterpret_cast<const uint32_t *>(
            cairo_image_surface_get_data(buffer) + y * cairo_image_surface_get_stride(buffer));
        for (int x = 0; x < w; ++x)
            differing += (a[x] & 0xFFFFFF) != (c[x] & 0xFFFFFF);
    }
    return differing;
}

// Fills a tree: Orders (Open, Closed (Old)), Customers (Key accounts), Reports.
struct Filled
{
    XTreeItem *orders, *open, *closed, *old, *customers, *key, *reports;
    explicit Filled(XPageTree &t)
    {
        orders = t.InsertAfter(u"Orders", 0, 1, nullptr, nullptr, nullptr);
        open = t.InsertAfter(u"Open", 1, 1, nullptr, orders, nullptr);
        closed = t.InsertAfter(u"Closed", 0, 1, nullptr, orders, nullptr);
        old = t.InsertAfter(u"Old 旧", 1, 1, nullptr, closed, nullptr);
        customers = t.InsertAfter(u"Customers", 0, 1, nullptr, nullptr, nullptr);
        key = t.InsertAfter(u"Key accounts", 1, 1, nullptr, customers, nullptr);
        reports = t.InsertAfter(u"Reports", 1, 1, nullptr, nullptr, nullptr);
    }
};

TEST_F(PageTreeView, TreesMatchTheirGoldenPictures)
{
    XIconDrawer icons;
    MakeIcons(&icons);
    XPageWindow window;
    window.GetRooter()->ApplyStyle(0, "background-color:#ffffff;");
    auto *lines = Placed(new XPageTree, 4, 4, 150, 130);
    lines->extraFlags = kTreeLines | kTreeCheckBox;
    auto *plain = Placed(new XPageTree, 158, 4, 150, 130);
    plain->extraFlags = 0;
    plain->SetIconWare(&icons);
    window.GetRooter()->AddItem(lines);
    window.GetRooter()->AddItem(plain);
    Filled a(*lines), b(*plain);
    lines->ExpandTree(nullptr, 1);
    lines->ExpandItem(a.customers, 0);
    lines->CheckItem(a.closed, 1);
    lines->CheckItem(a.key, 1);
    lines->SelectItem(a.open);
    plain->ExpandItem(b.orders, 1);
    plain->SelectItem(b.customers);
    Open(window, 312, 138);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &window, "tree_lines_plain"));
}

struct View
{
    XPageWindow window;
    XPageTree *tree = Placed(new XPageTree, 10, 10, 200, 70);
    TreeNotes notes;
    XTreeItem *nodes[8] = {};

    explicit View(uint32_t options)
    {
        tree->extraFlags = options;
        window.GetRooter()->AddItem(tree);
        notes.Attach(tree);
        // r0 (a b c), r1 (d), r2, r3, r4
        nodes[0] = Add(*tree, u"r0");
        nodes[1] = Add(*tree, u"a", nodes[0]);
        nodes[2] = Add(*tree, u"b", nodes[0]);
        nodes[3] = Add(*tree, u"c", nodes[0]);
        nodes[4] = Add(*tree, u"r1");
        nodes[5] = Add(*tree, u"d", nodes[4]);
        nodes[6] = Add(*tree, u"r2");
        nodes[7] = Add(*tree, u"r3");
        notes.notes.clear();
    }
    // Window point of a content point (the border is 1 pixel).
    int X(int cx) const { return 11 + cx - tree->GetScrollPos(0); }
    int Y(int row) const { return 11 + row * 14 + 7 - tree->GetScrollPos(1); }
};

TEST_F(PageTreeView, SelectionInACollapsedBranchScrollsIntoView)
{
    View v(kTreeLines);
    Open(v.window, 240, 120);
    // 68 pixels of body show 4 rows; d sits in row 5 once r1 is expanded.
    v.tree->SelectItem(v.nodes[5]);
    EXPECT_EQ(unsigned{kTreeExpanded}, v.tree->GetItemState(v.nodes[4]) & kTreeExpanded);
    EXPECT_EQ((std::vector<uint32_t>{kTreeOnSelChange}), v.notes.Codes());
    EXPECT_EQ(v.nodes[5], v.notes.notes[0].node);
    const int top = v.tree->GetScrollPos(1);
    EXPECT_LE(top, 2 * 14);
    EXPECT_GE(top + 68, 3 * 14);
    // Selecting it again does nothing; selecting a node above scrolls back.
    v.tree->SelectItem(v.nodes[5]);
    v.tree->ExpandItem(v.nodes[0], 1);
    v.tree->SelectItem(v.nodes[0]);
    EXPECT_EQ(0, v.tree->GetScrollPos(1));
    EXPECT_EQ(2u, v.notes.notes.size());
}

TEST_F(PageTreeView, PressesClicksChecksAndDoubleClicks)
{
    View v(kTreeLines | kTreeCheckBox);
    Open(v.window, 240, 120);
    // The expand button of r0 opens it; a press on the caption of a selects it, its
    // click follows; a check click toggles and reports 1, then 0.
    display->Click(&v.window, v.X(8), v.Y(0));
    display->Advance(1000);
    display->Click(&v.window, v.X(20 + 13 + 30), v.Y(1));
    display->Advance(1000);
    display->Click(&v.window, v.X(20 + 26), v.Y(2));
    display->Advance(1000);
    display->Click(&v.window, v.X(20 + 26), v.Y(2));
    Run();
    EXPECT_EQ(unsigned{kTreeExpanded}, v.tree->GetItemState(v.nodes[0]) & kTreeExpanded);
    ASSERT_EQ((std::vector<uint32_t>{kTreeOnSelChange, kTreeOnClickItem, kTreeOnCheckItem,
                                     kTreeOnCheckItem}),
              v.notes.Codes());
    EXPECT_EQ(v.nodes[1], v.notes.notes[1].node);
    EXPECT_EQ(v.nodes[2], v.notes.notes[2].node);
    EXPECT_EQ(1u, v.notes.notes[2].key);
    EXPECT_EQ(0u, v.notes.notes[3].key);
    EXPECT_EQ(v.nodes[1], v.tree->GetChoiceItem());

    // A double click on a caption toggles the node; a right click selects what is under
    // the pointer (nothing below the rows).
    v.notes.notes.clear();
    display->Advance(1000);
    display->Click(&v.window, v.X(20 + 13 + 30), v.Y(0));
    display->Click(&v.window, v.X(20 + 13 + 30), v.Y(0));
    display->Advance(1000);
    display->Click(&v.window, v.X(40), v.Y(1), XMSG_BUTTON_RIGHT);
    Run();
    EXPECT_EQ(0u, v.tree->GetItemState(v.nodes[0]) & kTreeExpanded);
    // (The second press of a double click makes no click.)
    ASSERT_EQ((std::vector<uint32_t>{kTreeOnSelChange, kTreeOnClickItem, kTreeOnDblclkItem,
                                     kTreeOnSelChange, kTreeOnRClickItem}),
              v.notes.Codes());
    EXPECT_EQ(v.nodes[4], v.notes.notes.back().node);
    v.notes.notes.clear();
    display->Advance(1000);
    display->Click(&v.window, v.X(40), 11 + 66, XMSG_BUTTON_RIGHT);
    Run();
    EXPECT_EQ((std::vector<uint32_t>{kTreeOnKillChoice, kTreeOnRClickItem}), v.notes.Codes());
    EXPECT_EQ(nullptr, v.notes.notes.back().node);
}

TEST_F(PageTreeView, DraggingANodeOntoAnother)
{
    View v(kTreeLines | kTreeDragNode);
    Open(v.window, 240, 120);
    const int x = v.X(40), y = v.Y(2); // r2
    display->Press(&v.window, x, y);
    display->Move(&v.window, x + 3, y);
    display->Call([&] { EXPECT_EQ(1, v.tree->GetDragState()); });
    display->Move(&v.window, x + 4, y); // 16 > 9: dragging, over itself: no target
    display->Call([&] {
        EXPECT_EQ(2, v.tree->GetDragState());
        EXPECT_EQ(nullptr, v.tree->GetDropTarget());
        EXPECT_EQ(PANEKIT_CURSOR_DRAGDROP, display->GetCursorShape(&v.window));
    });
    display->Move(&v.window, x, v.Y(0));
    display->Call([&] {
        EXPECT_EQ(v.nodes[0], v.tree->GetDropTarget());
        EXPECT_GT(ShownAgainstBuffer(display, &v.window), 0); // the halftone frame
    });
    display->Release(&v.window, x, v.Y(0));
    Run();
    EXPECT_EQ(0, v.tree->GetDragState());
    EXPECT_EQ(0, ShownAgainstBuffer(display, &v.window));
    // The press selected r2; the release dropped it on r0 and swallowed the click.
    ASSERT_EQ((std::vector<uint32_t>{kTreeOnSelChange, kTreeOnDropItem}), v.notes.Codes());
    EXPECT_EQ(v.nodes[0], v.notes.notes[1].node);
    EXPECT_EQ(v.nodes[6], v.notes.notes[1].other);
    EXPECT_EQ("r0 a b c r1 d r2 r3", [&] {
        std::string out;
        for (XTreeItem *n = v.tree->GetNextSuber(nullptr); n != nullptr;
             n = v.tree->GetNextSuber(n))
            out += (out.empty() ? "" : " ") + Narrow(n->text);
        return out;
    }()); // the tree moves nothing itself

    // A press and release without moving: a click, no drop.
    v.notes.notes.clear();
    display->Advance(1000);
    display->Click(&v.window, v.X(40), v.Y(3));
    Run();
    EXPECT_EQ((std::vector<uint32_t>{kTreeOnSelChange, kTreeOnClickItem}), v.notes.Codes());

    // The target deleted while dragging: the drag ends, no drop on release.
    v.notes.notes.clear();
    display->Advance(1000);
    display->Press(&v.window, v.X(40), v.Y(3));
    display->Move(&v.window, v.X(40), v.Y(0));
    display->Call([&] {
        ASSERT_EQ(v.nodes[0], v.tree->GetDropTarget());
        v.tree->DeleteItem(v.nodes[0]);
        EXPECT_EQ(0, v.tree->GetDragState());
    });
    display->Release(&v.window, v.X(40), v.Y(0));
    Run();
    EXPECT_EQ(0, ShownAgainstBuffer(display, &v.window));
    for (const TreeNotes::Note &n : v.notes.notes)
        EXPECT_NE(kTreeOnDropItem, n.code);
    // The dragged node deleted: the same.
    v.notes.notes.clear();
    display->Advance(1000);
    display->Press(&v.window, v.X(40), v.Y(0)); // r1 now
    display->Move(&v.window, v.X(40), v.Y(2));
    display->Call([&] { v.tree->DeleteItem(v.nodes[4]); });
    display->Release(&v.window, v.X(40), v.Y(1));
    Run();
    for (const TreeNotes::Note &n : v.notes.notes)
        EXPECT_NE(kTreeOnDropItem, n.code);
    EXPECT_EQ(nullptr, v.window.GetCaptureItem());
}

TEST_F(PageTreeView, CaptionEditorCommitsVetoesAndCancels)
{
    View v(kTreeLines);
    Open(v.window, 240, 120);
    // Enter commits: OnModifyItem carries the new caption, which the tree takes.
    std::u16string heard;
    v.notes.onNote = [&heard](XMessage_t *m) {
        if (m->code == kTreeOnModifyItem)
            heard = static_cast<const char16_t *>(m->other);
    };
    v.tree->StartEditor(v.nodes[6]);
    ASSERT_NE(nullptr, v.tree->GetEditor());
    EXPECT_TRUE(v.tree->GetEditor()->IsVisible());
    EXPECT_EQ(v.tree->GetEditor(), v.window.GetFocusItem());
    display->Type(&v.window, u"Sales");
    display->KeyDown(&v.window, 13);
    Run();
    EXPECT_EQ(u"Sales", heard);
    EXPECT_EQ("Sales", Narrow(v.tree->GetItemText(v.nodes[6])));
    EXPECT_FALSE(v.tree->GetEditor()->IsVisible());
    EXPECT_EQ(v.nodes[6], v.tree->GetChoiceItem());

    // A veto keeps the caption.
    v.notes.veto = kTreeOnModifyItem;
    v.tree->StartEditor(v.nodes[7]);
    display->Type(&v.window, u"X");
    display->KeyDown(&v.window, 13);
    Run();
    EXPECT_EQ(u"X", heard);
    EXPECT_EQ("r3", Narrow(v.tree->GetItemText(v.nodes[7])));

    // Escape (and key 30) hide the editor without a notification.
    v.notes.veto = 0;
    v.notes.notes.clear();
    for (uint32_t key : {27u, 30u}) {
        v.tree->StartEditor(v.nodes[7]);
        display->Type(&v.window, u"Y");
        display->KeyDown(&v.window, key);
        Run();
        EXPECT_FALSE(v.tree->GetEditor()->IsVisible()) << key;
    }
    EXPECT_EQ("r3", Narrow(v.tree->GetItemText(v.nodes[7])));
    for (const TreeNotes::Note &n : v.notes.notes)
        EXPECT_NE(kTreeOnModifyItem, n.code);

    // Focus loss commits; an emptied editor changes nothing.
    v.tree->StartEditor(v.nodes[7]);
    display->Type(&v.window, u"Z");
    display->Call([&] { v.window.SetFocusItem(nullptr); });
    Run();
    EXPECT_EQ("Z", Narrow(v.tree->GetItemText(v.nodes[7])));
    v.tree->StartEditor(v.nodes[7]);
    display->KeyDown(&v.window, 46); // Delete: the selected text goes
    display->KeyDown(&v.window, 13);
    Run();
    EXPECT_EQ("Z", Narrow(v.tree->GetItemText(v.nodes[7])));

    // Deleting the edited node (or all) hides the editor without OnModifyItem.
    v.notes.notes.clear();
    heard.clear();
    v.tree->StartEditor(v.nodes[1]);
    display->Type(&v.window, u"gone");
    display->Call([&] { v.tree->DeleteItem(v.nodes[0]); });
    display->KeyDown(&v.window, 13);
    Run();
    EXPECT_FALSE(v.tree->GetEditor()->IsVisible());
    EXPECT_EQ(nullptr, v.tree->GetEditItem());
    EXPECT_TRUE(heard.empty());
    v.tree->StartEditor(v.nodes[7]);
    v.tree->DeleteAllItem();
    EXPECT_FALSE(v.tree->GetEditor()->IsVisible());
    display->KeyDown(&v.window, 13);
    Run();
    EXPECT_TRUE(heard.empty());
}

TEST_F(PageTreeView, ActionTreeInARowThatOpensLater)
{
    Released::List().clear();
    XIconDrawer icons;
    MakeIcons(&icons);
    int binders[3];
    {
        XPageWindow window;
        window.GetRooter()->ApplyStyle(0, "background-color:#ffffff;");
        auto *tree = Placed(new XPageTree(kKindActionTree), 0, 0, 180, 0);
        EXPECT_EQ(uint32_t{kKindActionTree}, tree->kind);
        tree->SetItemSpace(4);
        tree->SetIconWare(&icons);
        tree->SetRelease(&Released::Proc);
        window.GetRooter()->AddItem(tree);
        Open(window, 200, 160);
        XTreeItem *top = tree->InsertAfter(u"Sales", 0, 0, nullptr, nullptr, nullptr);
        tree->SetItemBinder(top, &binders[0]);
        tree->SetItemBinder(tree->InsertAfter(u"Quotes", 1, 1, nullptr, top, nullptr), &binders[1]);
        tree->SetItemBinder(tree->InsertAfter(u"Orders", 1, 1, nullptr, top, nullptr), &binders[2]);
        tree->ExpandTree(nullptr, 1);
        Run();
        EXPECT_EQ(22u, tree->GetItemHeight()); // 4 + 16 + 2
        EXPECT_EQ(3 * 22 + 3, tree->GetScrollSize(1));
        // The row opens.
        const BOUND_t opened = {0, 0, 180, 150};
        tree->MovePlace(&opened, 1);
        Run();
        unsigned part = 0;
        EXPECT_EQ(top, tree->HitTest(60, 5, &part));
        EXPECT_EQ(unsigned{kTreeHitCaption}, part);
        EXPECT_EQ(0, CompareGolden(display, &window, "tree_action"));
    }
    EXPECT_EQ(3u, Released::List().size());
}

} // namespace
