// The form root and the page window's rules: the tab order, Tab and Enter for each
// navigation setting, modifier and item kind, the code-63 veto, presses delivered again,
// docking, the caret and the tool tip on the fake clock.

#include <gtest/gtest.h>

#include <cairo.h>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/tests/page_fixture.h"
#include "platform/panekit/text/font_record.h"

namespace {

// An item that takes input (low nibble 9) with a tab index.
RecordingItem *Field(SeenLog *log, const std::string &who, int tab, int x, int y = 10)
{
    auto *item = Placed(new RecordingItem(log, who), x, y, 20, 20);
    item->itemFlags |= kItemEditable;
    item->tabIndex = tab;
    return item;
}

std::string Name(const XPageItem *item,
                 const std::vector<std::pair<XPageItem *, std::string>> &names)
{
    for (const auto &entry : names) {
        if (entry.first == item)
            return entry.second;
    }
    return item == nullptr ? "-" : "?";
}

// ---------------------------------------------------------------------------------------
// Tab order
// ---------------------------------------------------------------------------------------

using TabOrder = PageWindowTest;

TEST_F(TabOrder, IndexesThenWalkOrderWrappingBothWays)
{
    SeenLog log;
    XPageWindow window;
    XPageViewer *root = window.GetRooter();
    // Walk order: a b panel(c d) e f hidden(g) off(h) nofocus(i) ro j wall(k)
    auto *a = Field(&log, "a", 2, 0);
    auto *b = Field(&log, "b", 1, 0);
    auto *panel = Placed(new RecordingOwner(&log, "P"), 0, 40, 100, 40);
    panel->kind = kKindTable;
    auto *c = Field(&log, "c", 2, 0);
    auto *d = Field(&log, "d", 1, 30);
    auto *e = Field(&log, "e", 3, 60);
    auto *f = Field(&log, "f", 2, 90);
    auto *hidden = Placed(new RecordingOwner(&log, "H"), 0, 80, 50, 30);
    hidden->kind = kKindTable;
    hidden->itemFlags &= ~kItemVisible;
    auto *g = Field(&log, "g", 0, 0);
    auto *off = Placed(new RecordingOwner(&log, "O"), 50, 80, 50, 30);
    off->kind = kKindTable;
    off->itemFlags |= kItemDisabled;
    auto *h = Field(&log, "h", 0, 0);
    auto *nofocus = Placed(new RecordingOwner(&log, "N"), 100, 80, 50, 30);
    nofocus->kind = kKindTable;
    nofocus->itemFlags |= kItemNoFocus;
    auto *i = Field(&log, "i", 0, 0);
    auto *ro = Field(&log, "ro", 0, 120);
    ro->itemFlags |= kItemReadOnly;
    auto *j = Field(&log, "j", 3, 150);
    auto *wall = Placed(new RecordingOwner(&log, "W"), 150, 80, 50, 30);
    wall->kind = kKindTable;
    wall->itemFlags |= kItemNoDescend;
    auto *k = Field(&log, "k", 0, 0);
    for (XPageItem *item :
         std::initializer_list<XPageItem *>{a, b, panel, e, f, hidden, off, nofocus, ro, j, wall})
        root->AddItem(item);
    panel->AddItem(c);
    panel->AddItem(d);
    hidden->AddItem(g);
    off->AddItem(h);
    nofocus->AddItem(i);
    wall->AddItem(k);
    Open(window, 300, 200);
    const std::vector<std::pair<XPageItem *, std::string>> names = {
        {a, "a"}, {b, "b"}, {c, "c"},   {d, "d"}, {e, "e"}, {f, "f"},    {g, "g"},
        {h, "h"}, {i, "i"}, {ro, "ro"}, {j, "j"}, {k, "k"}, {panel, "P"}};
    // Order by (index, walk): b d a c f e j.
    const struct
    {
        XPageItem *from;
        const char *next;
        const char *prev;
    } cases[] = {
        {nullptr, "b", "j"}, {b, "d", "j"},  {d, "a", "b"},     {a, "c", "d"},
        {c, "f", "a"},       {f, "e", "c"},  {e, "j", "f"},     {j, "b", "e"},
        {g, "b", "j"},       {ro, "b", "j"}, {panel, "b", "j"},
    };
    for (const auto &test : cases) {
        EXPECT_EQ(test.next, Name(root->GetNextTabItem(test.from), names))
            << Name(test.from, names);
        EXPECT_EQ(test.prev, Name(root->GetPrevTabItem(test.from), names))
            << Name(test.from, names);
    }
}

TEST_F(TabOrder, NoCandidateGivesNull)
{
    XPageWindow window;
    auto *item = Placed(new XPageItem, 0, 0, 10, 10);
    window.GetRooter()->AddItem(item);
    Open(window);
    EXPECT_EQ(nullptr, window.GetRooter()->GetNextTabItem(nullptr));
    EXPECT_EQ(nullptr, window.GetRooter()->GetPrevTabItem(item));
}

// ---------------------------------------------------------------------------------------
// Tab and Enter
// ---------------------------------------------------------------------------------------

using TabEnter = PageWindowTest;

enum ItemShape { kPlain, kTakesEnter, kMultiLine, kButton, kPlainMultiLine };

void Shape(XPageItem *item, ItemShape shape)
{
    switch (shape) {
    case kPlain:
        break;
    case kTakesEnter:
        item->itemFlags |= kItemTakesEnter;
        break;
    case kMultiLine:
        item->kind = kKindEdit;
        item->extraFlags |= 0x20;
        item->itemFlags |= kItemTakesEnter;
        break;
    case kButton:
        item->kind = kKindButton;
        break;
    case kPlainMultiLine:
        item->kind = kKindEdit;
        item->extraFlags |= 0x20;
        break;
    }
}

TEST_F(TabEnter, EachNavigationModifierAndKind)
{
    const struct
    {
        bool navigation;
        uint32_t key;
        bool ctrl;
        ItemShape shape;
        bool moves;
    } cases[] = {
        // Tab: navigation moves on plain Tab, otherwise on Ctrl+Tab, whatever the item.
        {true, 9, false, kPlain, true},
        {true, 9, true, kPlain, false},
        {true, 9, false, kButton, true},
        {true, 9, false, kMultiLine, true},
        {false, 9, false, kPlain, false},
        {false, 9, true, kPlain, true},
        {false, 9, true, kTakesEnter, true},
        // Enter without navigation always goes to the item.
        {false, 13, false, kPlain, false},
        {false, 13, true, kPlain, false},
        {false, 13, false, kButton, false},
        // Enter with navigation.
        {true, 13, false, kPlain, true},
        {true, 13, true, kPlain, true},
        {true, 13, false, kTakesEnter, false},
        {true, 13, true, kTakesEnter, true},
        {true, 13, false, kMultiLine, true},
        {true, 13, true, kMultiLine, false},
        {true, 13, false, kPlainMultiLine, true},
        {true, 13, false, kButton, false},
        {true, 13, true, kButton, true},
    };
    for (const auto &test : cases) {
        SeenLog log;
        XPageWindow window;
        auto *a = Field(&log, "a", 1, 10);
        auto *b = Field(&log, "b", 2, 40);
        auto *c = Field(&log, "c", 3, 70);
        Shape(b, test.shape);
        window.GetRooter()->AddItem(a);
        window.GetRooter()->AddItem(b);
        window.GetRooter()->AddItem(c);
        if (test.navigation)
            window.GetRooter()->extraFlags |= kFrameKeyNav;
        Open(window);
        window.SetFocusItem(b);
        log.clear();
        if (test.ctrl)
            display->KeyDown(&window, XVK_CONTROL);
        display->KeyDown(&window, test.key);
        if (test.ctrl)
            display->KeyUp(&window, XVK_CONTROL);
        Run();
        const std::string label = std::string(test.navigation ? "nav " : "plain ") +
                                  (test.ctrl ? "ctrl+" : "") + std::to_string(test.key) +
                                  " shape " + std::to_string(test.shape);
        EXPECT_EQ(test.moves ? c : b, window.GetFocusItem()) << label;
        bool asked = false, delivered = false;
        for (const SeenMessage &seen : log) {
            asked |= seen.who == "b" && seen.code == XMSG_FOCUSMOVE && seen.key == test.key;
            delivered |= seen.who == "b" && seen.code == XMSG_KEYDOWN && seen.key == test.key;
        }
        EXPECT_EQ(test.moves, asked) << label;
        EXPECT_EQ(!test.moves, delivered) << label;
    }
}

TEST_F(TabEnter, ShiftGoesBackAndNothingFocusedStartsAtTheFirst)
{
    SeenLog log;
    XPageWindow window;
    auto *a = Field(&log, "a", 1, 10);
    auto *b = Field(&log, "b", 2, 40);
    window.GetRooter()->AddItem(a);
    window.GetRooter()->AddItem(b);
    window.GetRooter()->extraFlags |= kFrameKeyNav;
    Open(window);
    std::vector<XPageItem *> seen;
    auto note = [&] { seen.push_back(window.GetFocusItem()); };
    display->KeyDown(&window, 9);
    display->Call(note);
    display->KeyDown(&window, 9);
    display->Call(note);
    display->KeyDown(&window, 9);
    display->Call(note);
    display->KeyDown(&window, XVK_SHIFT);
    display->KeyDown(&window, 9);
    display->KeyUp(&window, XVK_SHIFT);
    display->Call(note);
    Run();
    EXPECT_EQ((std::vector<XPageItem *>{a, b, a, b}), seen);
}

TEST_F(TabEnter, AVetoOfCode63KeepsTheFocusAndSwallowsTheKey)
{
    SeenLog log;
    XPageWindow window;
    auto *a = Field(&log, "a", 1, 10);
    auto *b = Field(&log, "b", 2, 40);
    a->onMessage = [](XMessage_t *message) {
        if (message->code == XMSG_FOCUSMOVE)
            message->state = kMsgStop;
    };
    window.GetRooter()->AddItem(a);
    window.GetRooter()->AddItem(b);
    window.GetRooter()->extraFlags |= kFrameKeyNav;
    Open(window);
    window.SetFocusItem(a);
    display->KeyDown(&window, 9);
    Run();
    EXPECT_EQ(a, window.GetFocusItem());
    for (const SeenMessage &seen : log)
        EXPECT_FALSE(seen.code == XMSG_KEYDOWN) << seen.who;
}

TEST_F(TabEnter, AnItemDestroyedByItsCode63IsNoStartingPoint)
{
    SeenLog log;
    XPageWindow window;
    auto *a = Field(&log, "a", 1, 10);
    auto *b = Field(&log, "b", 2, 40);
    auto *c = Field(&log, "c", 3, 70);
    b->onMessage = [b](XMessage_t *message) {
        if (message->code == XMSG_FOCUSMOVE)
            b->Destroy();
    };
    for (XPageItem *item :
         {static_cast<XPageItem *>(a), static_cast<XPageItem *>(b), static_cast<XPageItem *>(c)})
        window.GetRooter()->AddItem(item);
    window.GetRooter()->extraFlags |= kFrameKeyNav;
    Open(window);
    window.SetFocusItem(b);
    display->KeyDown(&window, 9);
    Run();
    EXPECT_EQ(a, window.GetFocusItem());
    EXPECT_EQ(2u, window.GetRooter()->GetCounter());
}

// ---------------------------------------------------------------------------------------
// Focus and capture refuse foreign items
// ---------------------------------------------------------------------------------------

using FocusRules = PageWindowTest;

TEST_F(FocusRules, ForeignAndUncreatedItemsAreRefusedAndNullClears)
{
    SeenLog log;
    XPageWindow window, other;
    auto *mine = Field(&log, "m", 1, 10);
    auto *theirs = Field(&log, "t", 1, 10);
    window.GetRooter()->AddItem(mine);
    other.GetRooter()->AddItem(theirs);
    Open(window);
    Open(other);
    XPageItem loose;
    window.SetFocusItem(mine);
    window.SetFocusItem(theirs);
    window.SetFocusItem(&loose);
    EXPECT_EQ(mine, window.GetFocusItem());
    window.SetCaptureItem(theirs);
    EXPECT_EQ(nullptr, window.GetCaptureItem());
    window.SetCaptureItem(mine);
    EXPECT_EQ(mine, window.GetCaptureItem());
    window.SetCaptureItem(nullptr);
    window.SetFocusItem(nullptr);
    EXPECT_EQ(nullptr, window.GetFocusItem());
    EXPECT_FALSE(mine->stateFlags & kItemStateFocused);
}

TEST_F(FocusRules, AFocusSetInsideTheGainingItemsOwnNoticeStands)
{
    SeenLog log;
    XPageWindow window;
    auto *a = Field(&log, "a", 1, 10);
    auto *b = Field(&log, "b", 2, 40);
    auto *c = Field(&log, "c", 3, 70);
    b->onMessage = [&](XMessage_t *message) {
        if (message->code == XMSG_FOCUSIN)
            window.SetFocusItem(c);
    };
    for (XPageItem *item :
         {static_cast<XPageItem *>(a), static_cast<XPageItem *>(b), static_cast<XPageItem *>(c)})
        window.GetRooter()->AddItem(item);
    Open(window);
    window.SetFocusItem(a);
    window.SetFocusItem(b);
    EXPECT_EQ(c, window.GetFocusItem());
    EXPECT_FALSE(b->stateFlags & kItemStateFocused);
    EXPECT_TRUE(c->stateFlags & kItemStateFocused);
}

// ---------------------------------------------------------------------------------------
// Presses delivered again
// ---------------------------------------------------------------------------------------

using Redeliver = PageWindowTest;

TEST_F(Redeliver, OnceToTheItemUnderTheGivenPoint)
{
    const struct
    {
        bool secondAnswers;
        int firstPresses, secondPresses;
    } cases[] = {{false, 1, 1}, {true, 1, 1}};
    for (const auto &test : cases) {
        SeenLog log;
        XPageWindow window;
        auto *first = Field(&log, "1", 1, 10);
        auto *second = Field(&log, "2", 2, 100);
        first->onMessage = [](XMessage_t *message) {
            if (message->code != XMSG_BUTTONDOWN)
                return;
            message->param1 = 105;
            message->param2 = 15;
            message->state = kMsgRedeliver;
        };
        if (test.secondAnswers) {
            second->onMessage = [](XMessage_t *message) {
                if (message->code != XMSG_BUTTONDOWN)
                    return;
                message->param1 = 15;
                message->param2 = 15;
                message->state = kMsgRedeliver;
            };
        }
        window.GetRooter()->AddItem(first);
        window.GetRooter()->AddItem(second);
        Open(window);
        display->Press(&window, 15, 15);
        display->Release(&window, 15, 15);
        Run();
        int presses[2] = {0, 0};
        for (const SeenMessage &seen : log) {
            if (seen.code == XMSG_BUTTONDOWN)
                ++presses[seen.who == "1" ? 0 : 1];
        }
        EXPECT_EQ(test.firstPresses, presses[0]);
        EXPECT_EQ(test.secondPresses, presses[1]);
        EXPECT_EQ(second, window.GetFocusItem());
    }
}

// ---------------------------------------------------------------------------------------
// Docking
// ---------------------------------------------------------------------------------------

using Docking = PageWindowTest;

TEST_F(Docking, StripsInListOrderAndInsets)
{
    const struct
    {
        uint32_t sides[4];
        BOUND_t places[4];
        RECT_t insets;
    } cases[] = {
        // top 20 high, left 30 wide, right 25 wide, bottom 15 high, in a 200 x 120 window
        {{kDockTop, kDockLeft, kDockRight, kDockBottom},
         {{0, 0, 200, 20}, {0, 20, 30, 100}, {175, 20, 25, 100}, {30, 105, 145, 15}},
         {30, 20, 25, 15}},
        {{kDockLeft, kDockTop, kDockBottom, kDockRight},
         {{0, 0, 30, 120}, {30, 0, 170, 20}, {30, 105, 170, 15}, {175, 20, 25, 85}},
         {30, 20, 25, 15}},
        {{kDockBottom, kDockBottom, kDockTop, kDockTop},
         {{0, 105, 200, 15}, {0, 85, 200, 20}, {0, 0, 200, 30}, {0, 30, 200, 25}},
         {0, 55, 0, 35}},
    };
    for (const auto &test : cases) {
        XPageWindow window;
        XPageViewer *root = window.GetRooter();
        XPageItem *items[4];
        for (int n = 0; n < 4; ++n) {
            // Each docker keeps its own size across the strip: the thickness of its order.
            int thick = 0;
            switch (test.sides[n]) {
            case kDockTop:
            case kDockBottom:
                thick = test.places[n].height;
                break;
            default:
                thick = test.places[n].width;
                break;
            }
            items[n] = Placed(new XPageItem, 0, 0, thick, thick);
            items[n]->itemCode = 100 + n;
            ASSERT_NE(nullptr, root->AddDocker(test.sides[n], items[n], 0));
        }
        Open(window);
        root->UpdateLayout(1);
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(Show(test.places[n]), Show(items[n]->place)) << n;
        const RECT_t insets = root->GetInsets();
        EXPECT_EQ(test.insets.left, insets.left);
        EXPECT_EQ(test.insets.top, insets.top);
        EXPECT_EQ(test.insets.right, insets.right);
        EXPECT_EQ(test.insets.bottom, insets.bottom);
        // The body lies inside the insets.
        EXPECT_EQ(Show(Bound(test.insets.left, test.insets.top,
                             200 - test.insets.left - test.insets.right,
                             120 - test.insets.top - test.insets.bottom)),
                  Show(root->body));
        EXPECT_EQ(items[2], root->SearchDocker(102));
        EXPECT_EQ(nullptr, root->SearchDocker(7));
    }
}

TEST_F(Docking, AVerticallyExtendingDockerShiftsTheRest)
{
    XPageWindow window;
    XPageViewer *root = window.GetRooter();
    auto *bar = Placed(new XPageItem, 0, 0, 50, 20);
    bar->itemFlags = SetStyleField(bar->itemFlags, kItemOverflowY, kOverflowExtend);
    auto *below = Placed(new XPageItem, 0, 0, 40, 10);
    root->AddDocker(kDockTop, bar, 0);
    root->AddDocker(kDockTop, below, 0);
    Open(window);
    bar->scroll.height = 36; // the bar's content grew: it wraps into a second line
    root->UpdateLayout(1);
    EXPECT_EQ(Show(Bound(0, 0, 200, 36)), Show(bar->place));
    EXPECT_EQ(Show(Bound(0, 36, 200, 10)), Show(below->place));
    EXPECT_EQ(46, root->GetInsets().top);
}

TEST_F(Docking, DrawOrderAndHitOrder)
{
    XPageWindow window;
    XPageViewer *root = window.GetRooter();
    auto *top = Placed(new XPageItem, 0, 0, 0, 30);
    top->ApplyStyle(0, "background:#ff0000;");
    auto *body = Placed(new XPageItem, 0, 0, 200, 200);
    body->ApplyStyle(0, "background:#00ff00;");
    auto *over = Placed(new XPageItem, 10, 10, 20, 40);
    over->itemFlags |= kItemFixed | kItemAbsolute;
    over->ApplyStyle(0, "background:#0000ff;");
    root->AddDocker(kDockTop, top, 0);
    root->AddItem(body);
    root->AddItem(over);
    Open(window);
    root->UpdateLayout(1);
    window.Invalidate(nullptr);
    Run();
    cairo_surface_t *shown = display->GetWindowSurface(&window);
    ASSERT_NE(nullptr, shown);
    auto pixel = [shown](int x, int y) {
        cairo_surface_flush(shown);
        const unsigned char *data = cairo_image_surface_get_data(shown);
        const int stride = cairo_image_surface_get_stride(shown);
        return *reinterpret_cast<const uint32_t *>(data + y * stride + x * 4) & 0xFFFFFF;
    };
    EXPECT_EQ(0xFF0000u, pixel(100, 5));  // the docker
    EXPECT_EQ(0x00FF00u, pixel(100, 60)); // the body child, below the docker's strip
    EXPECT_EQ(0x0000FFu, pixel(15, 15));  // the fixed child over the docker
    EXPECT_EQ(0x0000FFu, pixel(15, 45));  // and over the body
    EXPECT_EQ(over, root->HitItem(15, 15));
    EXPECT_EQ(top, root->HitItem(100, 5));
    EXPECT_EQ(body, root->HitItem(100, 60));
}

// ---------------------------------------------------------------------------------------
// Caret
// ---------------------------------------------------------------------------------------

using Caret = PageWindowTest;

TEST_F(Caret, PlacedRelativeToTheItemClippedToItsVisibleBodyHiddenOnScroll)
{
    SeenLog log;
    XPageWindow window;
    auto *owner = Placed(new RecordingOwner(&log, "O"), 20, 20, 100, 60);
    owner->ApplyStyle(0, "overflow-x:hidden;overflow-y:auto;");
    auto *edit = Placed(new RecordingItem(&log, "E"), 70, 10, 60, 20);
    window.GetRooter()->AddItem(owner);
    owner->AddItem(edit);
    Open(window);
    owner->ApplyItemStyle();
    owner->SetScrollSize(83, 300);
    window.CreateInputCursor(edit, 2, 14);
    window.SetInputCursor(edit, 5, 3, 1);
    BOUND_t caret;
    int drawn = 0;
    ASSERT_TRUE(window.GetInputCursor(&caret, &drawn));
    EXPECT_EQ(Show(Bound(95, 33, 2, 14)), Show(caret));
    // Clipped to the visible body: the owner's body ends at x 20 + 83.
    window.SetInputCursor(edit, 40, 3, 1);
    Run();
    window.GetInputCursor(&caret, &drawn);
    EXPECT_EQ(0, drawn) << Show(caret);

    log.clear();
    owner->SetScrollPos(1, 40);
    window.GetInputCursor(&caret, &drawn);
    EXPECT_EQ(0, drawn);
    Run();
    int placements = 0;
    for (const SeenMessage &seen : log)
        placements += seen.who == "E" && seen.code == XMSG_PLACECARET;
    EXPECT_EQ(1, placements);
}

TEST_F(Caret, InputFontComesFromTheCaretItem)
{
    XPageWindow window;
    auto *edit = Placed(new XPageItem, 10, 10, 60, 20);
    edit->ApplyStyle(0, "font-size:16px;font-weight:bold;font-family:"
                        "\"0123456789012345678901234567890123456789\";");
    window.GetRooter()->AddItem(edit);
    Open(window);
    XFontRecord_t font;
    EXPECT_EQ(0, window.GetInputFonter(&font));
    window.CreateInputCursor(edit, 2, 14);
    ASSERT_EQ(1, window.GetInputFonter(&font));
    EXPECT_EQ(16, font.size);
    EXPECT_EQ(1u, font.flags & 1);
    EXPECT_EQ(32, GetFontRecordFaceLength(&font));
}

// ---------------------------------------------------------------------------------------
// Ranges
// ---------------------------------------------------------------------------------------

TEST_F(PageWindowTest, LimitPageRangeMovesInsideAndShrinksOnlyWhatIsLarger)
{
    XPageWindow window;
    Open(window, 200, 120);
    const struct
    {
        BOUND_t in, out;
    } cases[] = {
        {{10, 10, 50, 50}, {10, 10, 50, 50}},  {{180, 100, 50, 50}, {150, 70, 50, 50}},
        {{-20, -5, 50, 50}, {0, 0, 50, 50}},   {{30, 30, 300, 50}, {0, 30, 200, 50}},
        {{30, 30, 50, 500}, {30, 0, 50, 120}},
    };
    for (const auto &test : cases) {
        BOUND_t b = test.in;
        window.LimitPageRange(&b);
        EXPECT_EQ(Show(test.out), Show(b)) << Show(test.in);
    }
    BOUND_t center;
    window.GetCenterRange(&center);
    EXPECT_EQ(Show(Bound(0, 0, 200, 120)), Show(center));
}

// ---------------------------------------------------------------------------------------
// Tool tip on the fake clock
// ---------------------------------------------------------------------------------------

using ToolTip = PageWindowTest;

TEST_F(ToolTip, ShownAtTheThirdTickNotTheSecondAndRestartedOnHoverChange)
{
    SeenLog log;
    XPageWindow window;
    auto *a = Placed(new RecordingItem(&log, "a"), 10, 60, 40, 20);
    auto *b = Placed(new RecordingItem(&log, "b"), 100, 60, 40, 20);
    a->SetPrompter(u"甲");
    b->SetPrompter(u"乙 tip");
    window.GetRooter()->AddItem(a);
    window.GetRooter()->AddItem(b);
    Open(window);
    std::vector<int> shown;
    auto note = [&] {
        XPageItem *tip = window.GetTipItem();
        shown.push_back(tip != nullptr && (tip->itemFlags & kItemVisible) ? 1 : 0);
    };
    display->Move(&window, 20, 65);
    display->Advance(999);
    display->Call(note); // two ticks: not yet
    display->Move(&window, 110, 65);
    display->Advance(1000);
    display->Call(note); // the count started again on b
    display->Advance(499);
    display->Call(note);
    display->Advance(1);
    display->Call(note); // the third tick on b
    Run();
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1}), shown);
    XPageItem *tip = window.GetTipItem();
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(b, window.GetTipOwner());
    EXPECT_EQ(108, tip->place.x);
    EXPECT_EQ(52, tip->place.y + tip->place.height);
    EXPECT_GT(tip->place.width, 6);
    // Leaving hides it; an item without prompter arms nothing.
    display->Move(&window, 180, 110);
    display->Advance(2000);
    Run();
    EXPECT_FALSE(tip->itemFlags & kItemVisible);
}

TEST_F(ToolTip, KeptInsideTheWindowAndForgottenWithItsItem)
{
    SeenLog log;
    XPageWindow window;
    auto *a = Placed(new RecordingItem(&log, "a"), 170, 2, 30, 20);
    a->SetPrompter(u"a rather long prompter text");
    window.GetRooter()->AddItem(a);
    Open(window);
    display->Move(&window, 180, 10);
    display->Advance(1500);
    Run();
    XPageItem *tip = window.GetTipItem();
    ASSERT_NE(nullptr, tip);
    ASSERT_TRUE(tip->itemFlags & kItemVisible);
    EXPECT_EQ(0, tip->place.y);
    EXPECT_EQ(200, tip->place.x + tip->place.width);
    a->Destroy();
    EXPECT_EQ(nullptr, window.GetTipOwner());
    EXPECT_FALSE(tip->itemFlags & kItemVisible);
    display->Advance(2000);
    Run();
}

} // namespace

namespace {

// An item that counts its paints and may invalidate another item while it paints.
struct Painting : XPageItem
{
    int paints = 0;
    XPageItem *poke = nullptr;
    void DrawBody(XPainter *, const BOUND_t *) override
    {
        ++paints;
        if (poke != nullptr) {
            XPageItem *other = poke;
            poke = nullptr;
            other->Invalidate(nullptr, 0);
        }
    }
};

TEST_F(PageWindowTest, WhatIsInvalidatedWhilePaintingIsPaintedInTheNextCycle)
{
    XPageWindow window;
    auto *first = Placed(new Painting, 10, 10, 20, 20);
    auto *second = Placed(new Painting, 100, 10, 20, 20);
    window.GetRooter()->AddItem(first);
    window.GetRooter()->AddItem(second);
    Open(window);
    Run();
    first->paints = second->paints = 0;
    first->poke = second;
    first->Invalidate(nullptr, 0);
    Run();
    EXPECT_EQ(1, first->paints);
    EXPECT_EQ(1, second->paints);
}

} // namespace
