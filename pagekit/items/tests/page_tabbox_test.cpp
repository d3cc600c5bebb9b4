// The tab box: pages and records, the current page and its notifications, vetoed and
// last deletions, handlers that delete pages, page items that go on their own, widths,
// the hit test with offset and options, scroll limits and EnsureVisible, the focus order,
// clicks on tabs, close and navigation buttons and the page-list menu on the virtual
// display, the hover frame, and golden pictures of strips at the top and the bottom and
// of an empty box with its full-render image.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "corekit/containers/xfinder.h"
#include "pagekit/core/item_selector.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/items/page_tabbox.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/virtual/virtual_display.h"

namespace {

using PageTabbox = PageWindowTest;

// Records the box's notifications through its hook.
struct TabNotes
{
    struct Note
    {
        uint32_t code;
        XTabPage_t *page;
    };
    std::vector<Note> notes;
    std::function<void(XMessage_t *)> onNote;

    static int Hook(void *user, XMessage_t *m)
    {
        auto *self = static_cast<TabNotes *>(user);
        const uint32_t code = m->code & 0xFFFF;
        if (code == 65 || code == 66 || code == 81 || code == 82 || code == 86) {
            self->notes.push_back({code, reinterpret_cast<XTabPage_t *>(m->value)});
            if (self->onNote) {
                auto handler = self->onNote;
                handler(m);
            }
        }
        return 0;
    }
    void Attach(XPageTabbox *box) { box->SetHook(&TabNotes::Hook, this); }
    std::vector<uint32_t> Codes() const
    {
        std::vector<uint32_t> out;
        for (const Note &n : notes)
            out.push_back(n.code);
        return out;
    }
};

std::string Narrow(const char16_t *s)
{
    std::string out;
    for (; s != nullptr && *s != 0; ++s)
        out += static_cast<char>(*s);
    return out;
}

std::string Captions(const XPageTabbox &box)
{
    std::string out;
    void *cursor = nullptr;
    char16_t text[32];
    for (;;) {
        box.GetNextPage(&cursor, nullptr, text, 32);
        if (cursor == nullptr)
            break;
        out += (out.empty() ? "" : " ") + Narrow(text);
    }
    return out;
}

struct Released
{
    static std::vector<void *> &List()
    {
        static std::vector<void *> list;
        return list;
    }
    static void Proc(void *user) { List().push_back(user); }
};

// Two 16-pixel icons: an orange disc and a blue square; taller icons of 20 pixels.
void MakeIcons(XIconDrawer *icons, int size = 16)
{
    cairo_surface_t *strip = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2 * size, size);
    cairo_t *cr = cairo_create(strip);
    cairo_set_source_rgb(cr, 0.9, 0.5, 0.1);
    cairo_arc(cr, size / 2.0, size / 2.0, size / 2.0 - 2, 0, 6.3);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.2, 0.4, 0.8);
    cairo_rectangle(cr, size + 3, 3, size - 6, size - 6);
    cairo_fill(cr);
    cairo_destroy(cr);
    EXPECT_TRUE(icons->LoadSurface(strip, 0));
    cairo_surface_destroy(strip);
}

// A created box of 300 x 200 at 10, 10 with pages A, B, C (items of their own).
struct Box
{
    XPageWindow window;
    XPageTabbox *box = Placed(new XPageTabbox, 10, 10, 300, 200);
    XPageItem *items[3] = {nullptr, nullptr, nullptr};
    TabNotes notes;

    explicit Box(uint32_t options = 0, bool fill = true)
    {
        box->extraFlags = options;
        window.GetRooter()->ApplyStyle(0, "background-color:#ffffff;");
        window.GetRooter()->AddItem(box);
        notes.Attach(box);
        if (fill) {
            for (XPageItem *&item : items)
                item = new XPageItem;
            box->InsertItem(9, u"A", 0, items[0], nullptr);
            box->InsertItem(9, u"B", 0, items[1], nullptr);
            box->InsertItem(9, u"C", 0, items[2], nullptr);
        }
    }
};

TEST_F(PageTabbox, PagesRecordsAndTheCurrentPage)
{
    Released::List().clear();
    int users[4];
    {
        Box b(0, false);
        for (XPageItem *&item : b.items)
            item = new XPageItem;
        b.box->SetRelease(&Released::Proc);
        // Before creation the pages wait: the first becomes current at creation.
        b.box->InsertItem(0, u"B", 2, b.items[1], &users[1]);
        b.box->InsertItem(0, u"A", 1, b.items[0], &users[0]);
        b.box->InsertItem(7, u"D", 4, nullptr, &users[3]); // a tab without page
        b.box->InsertItem(2, u"C", 3, b.items[2], &users[2]);
        EXPECT_EQ("A B C D", Captions(*b.box));
        EXPECT_EQ(4u, b.box->GetCounter());
        EXPECT_EQ(nullptr, b.box->GetCurItem(nullptr));
        EXPECT_EQ((std::vector<uint32_t>{81, 81, 81, 81}), b.notes.Codes());
        b.notes.notes.clear();
        Open(b.window, 320, 220);
        unsigned index = 9;
        EXPECT_EQ(b.items[0], b.box->GetCurItem(&index));
        EXPECT_EQ(0u, index);
        EXPECT_EQ((std::vector<uint32_t>{65}), b.notes.Codes());
        EXPECT_TRUE(b.items[0]->IsVisible());
        EXPECT_FALSE(b.items[1]->IsVisible());
        // The page item fills the page area inside the border, below the 26-pixel strip.
        EXPECT_EQ("(0,26,298,172)", Show(b.items[0]->place)); // child space

        // Records and captions by index.
        unsigned icon = 0;
        char16_t text[4];
        EXPECT_EQ(1, b.box->GetItem(3, &icon, text, 4));
        EXPECT_EQ(4u, icon);
        EXPECT_EQ("D", Narrow(text));
        EXPECT_EQ(0, b.box->GetItem(4, &icon, text, 4));
        EXPECT_EQ(1, b.box->ModifyItem(1, u"Bravo", 7));
        EXPECT_EQ(1, b.box->GetItem(1, &icon, text, 4)); // cut to the size
        EXPECT_EQ("Bra", Narrow(text));
        EXPECT_EQ(7u, icon);
        EXPECT_EQ(b.items[2], b.box->GetTabItem(2));
        EXPECT_EQ(nullptr, b.box->GetTabItem(3));

        // Switching hides the old item and shows the new one.
        b.notes.notes.clear();
        EXPECT_EQ(1, b.box->SetCurItem(b.items[2]));
        EXPECT_FALSE(b.items[0]->IsVisible());
        EXPECT_TRUE(b.items[2]->IsVisible());
        EXPECT_EQ(0, b.box->SetCurItem(static_cast<XPageItem *>(nullptr)));
        EXPECT_EQ(1, b.box->SetCurItem(3u));
        EXPECT_EQ(nullptr, b.box->GetCurItem(&index));
        EXPECT_EQ(3u, index);
        EXPECT_EQ(0, b.box->SetCurItem(4u));
        EXPECT_EQ((std::vector<uint32_t>{65, 65}), b.notes.Codes());
        EXPECT_EQ(b.box->GetTabNode(3), b.notes.notes.back().page);

        // A page item that has an owner already is refused.
        XPageItem *stranger = new XPageItem;
        b.window.GetRooter()->AddItem(stranger);
        EXPECT_EQ(nullptr, b.box->InsertItem(0, u"X", 0, stranger, nullptr));
        EXPECT_EQ(4u, b.box->GetCounter());

        // The focus order: the current page, then the others in tab order.
        b.box->SetCurItem(1u);
        XFinder finder;
        std::vector<XPageItem *> order;
        for (XPageItem *it = b.box->GetNextItem(0, &finder); it != nullptr;
             it = b.box->GetNextItem(kWalkContinue, &finder))
            order.push_back(it);
        EXPECT_EQ((std::vector<XPageItem *>{b.items[1], b.items[0], b.items[2]}), order);
    }
    EXPECT_EQ(4u, Released::List().size()); // each user pointer once
}

TEST_F(PageTabbox, DeletionVetoLastPageAndHandlers)
{
    Box b;
    Open(b.window, 320, 220);
    ASSERT_EQ(b.items[0], b.box->GetCurItem(nullptr));

    // A veto by state 8 or by the flag word keeps the page.
    b.notes.onNote = [](XMessage_t *m) {
        if (m->code == 82)
            m->state = kMsgStop;
    };
    EXPECT_EQ(0, b.box->DeleteItem(0));
    b.notes.onNote = [](XMessage_t *m) {
        if (m->code == 82)
            m->flags = 1;
    };
    EXPECT_EQ(0, b.box->DeleteItem(0));
    EXPECT_EQ(3u, b.box->GetCounter());
    EXPECT_EQ(0, b.box->DeleteNode(&b)); // not a record

    // Deleting the current page makes the next one current.
    b.notes.onNote = nullptr;
    b.notes.notes.clear();
    EXPECT_EQ(1, b.box->DeleteItem(0));
    EXPECT_EQ(b.items[1], b.box->GetCurItem(nullptr));
    EXPECT_EQ((std::vector<uint32_t>{82, 65}), b.notes.Codes());
    // ... the last one, the first.
    b.box->SetCurItem(1u);
    b.box->DeleteItem(1);
    EXPECT_EQ(b.items[1], b.box->GetCurItem(nullptr));
    // Deleting the last remaining page leaves none and sends OnKillChoice.
    b.notes.notes.clear();
    EXPECT_EQ(1, b.box->DeleteItem(0));
    EXPECT_EQ(nullptr, b.box->GetCurItem(nullptr));
    EXPECT_EQ((std::vector<uint32_t>{82, 66}), b.notes.Codes());
    EXPECT_EQ(nullptr, b.notes.notes.back().page);
    EXPECT_EQ(1u, b.window.GetRooter()->GetCounter());
}

TEST_F(PageTabbox, HandlersAndPageItemsThatGoOnTheirOwn)
{
    Box b;
    b.box->InsertItem(9, u"D", 0, new XPageItem, nullptr);
    Open(b.window, 320, 220);
    // An OnDeleteItem handler that deletes the other tabs.
    b.notes.onNote = [&b](XMessage_t *m) {
        if (m->code != 82)
            return;
        auto *page = reinterpret_cast<XTabPage_t *>(m->value);
        b.notes.onNote = nullptr;
        while (b.box->GetCounter() > 1)
            b.box->DeleteNode(b.box->GetTabNode(0) == page ? b.box->GetTabNode(1)
                                                           : b.box->GetTabNode(0));
    };
    EXPECT_EQ(1, b.box->DeleteItem(2));
    EXPECT_EQ(0u, b.box->GetCounter());
    EXPECT_EQ(nullptr, b.box->GetCurItem(nullptr));

    // A page item destroyed directly takes its page with it.
    Box c;
    Open(c.window, 320, 220);
    c.items[0]->Destroy();
    EXPECT_EQ("B C", Captions(*c.box));
    EXPECT_EQ(c.items[1], c.box->GetCurItem(nullptr));
    delete c.items[2];
    EXPECT_EQ("B", Captions(*c.box));
    c.box->DeleteAllItem();
    EXPECT_EQ(0u, c.box->GetCounter());
    EXPECT_EQ(66u, c.notes.notes.back().code);
}

TEST_F(PageTabbox, HitTestWidthsOffsetAndOptions)
{
    struct Case
    {
        uint32_t options;
        int offset;
        int x, y; // from the strip's left and top; x < 0 counts from the right edge
        int tab;  // index of a tab edge x is measured from (-1: none)
        unsigned part;
        int page; // expected page index, -1 none, -2 any
    };
    const Case cases[] = {
        {0, 0, 0, 0, -1, kTabHitTab, 0},
        {0, 0, 0, -1, -1, kTabHitNone, -1}, // above the strip
        {0, 0, 0, 26, -1, kTabHitNone, -1}, // below it
        {0, 0, 5, 25, 3, kTabHitStrip, -1}, // past the last tab
        {kTabClose, 0, -17, 5, 0, kTabHitClose, 0},
        {kTabClose, 0, -18, 5, 0, kTabHitTab, 0},
        {kTabClose, 0, -4, 5, 0, kTabHitTab, 0}, // right of the close button
        {kTabClose, 0, -5, 5, 0, kTabHitClose, 0},
        {kTabClose | kTabNoFirstClose, 0, -17, 5, 0, kTabHitTab, 0},
        {kTabClose | kTabNoFirstClose, 0, -17, 5, 1, kTabHitClose, 1},
        {0, 5, 0, 5, -1, kTabHitTab, 0},
        {kTabBottom, 0, 1, 0, -1, kTabHitTab, 0}, // y from the bottom strip's top
        {kTabBottom, 0, 1, -1, -1, kTabHitNone, -1},
        {kTabNavigate, 0, -43, 6, -1, kTabHitList, -1},
        {kTabNavigate, 0, -31, 18, -1, kTabHitList, -1},
        {kTabNavigate, 0, -43, 5, -1, kTabHitStrip, -1}, // above the button row
        {kTabNavigate, 0, -30, 6, -1, kTabHitStrip, -1}, // offset 0: no scroll left
        {kTabNavigate, 9, -30, 6, -1, kTabHitLeft, -1},
        {kTabNavigate, 0, -17, 6, -1, kTabHitStrip, -1}, // the tabs fit
        {kTabNavigate, 9, -17, 6, -1, kTabHitRight, -1}, // they do not
        {kTabNavigate, 9, -5, 5, -1, kTabHitTab, -2},    // a tab under the zone
    };
    for (const Case &k : cases) {
        Box b(k.options);
        // Offsets need tabs wider than the strip.
        for (int i = 0; k.offset > 0 && i < 12; ++i)
            b.box->InsertItem(99, u"Page tab", 0, nullptr, nullptr);
        Open(b.window, 320, 220);
        b.box->SetScrollOffset(k.offset);
        ASSERT_EQ(k.offset, b.box->GetScrollOffset());
        const BOUND_t strip = b.box->GetStripPlace();
        int x = k.x;
        if (k.tab >= 0) {
            int left = strip.x - k.offset;
            for (int i = 0; i < k.tab; ++i)
                left += b.box->GetTabWidth(b.box->GetTabNode(static_cast<unsigned>(i)));
            if (k.x < 0)
                left += b.box->GetTabWidth(b.box->GetTabNode(static_cast<unsigned>(k.tab)));
            x += left;
        } else if (k.x < 0) {
            x += strip.x + strip.width;
        } else {
            x += strip.x;
        }
        void *page = &b;
        const unsigned part = b.box->HitTest(x, strip.y + k.y, &page);
        EXPECT_EQ(k.part, part) << k.options << " " << k.x << "," << k.y;
        if (k.page != -2) {
            EXPECT_EQ(k.page >= 0 ? b.box->GetTabNode(static_cast<unsigned>(k.page)) : nullptr,
                      page)
                << k.options << " " << k.x << "," << k.y;
        }
    }

    // Widths: caption + 20; + 13 with a close button, not on a first tab without one.
    Box plain(0), closing(kTabClose | kTabNoFirstClose);
    Open(plain.window, 320, 220);
    Open(closing.window, 320, 220);
    const int a = plain.box->GetTabWidth(plain.box->GetTabNode(0));
    EXPECT_GT(a, 20);
    EXPECT_EQ(a, closing.box->GetTabWidth(closing.box->GetTabNode(0)));
    EXPECT_EQ(plain.box->GetTabWidth(plain.box->GetTabNode(1)) + 13,
              closing.box->GetTabWidth(closing.box->GetTabNode(1)));
    // With an icon set: caption + icon width + 24; icons taller than the font set the
    // strip height (icon + 10); a fixed height wins.
    XIconDrawer tall;
    MakeIcons(&tall, 20);
    const int caption = a - 20;
    plain.box->SetIconWare(&tall);
    EXPECT_EQ(caption + 20 + 24, plain.box->GetTabWidth(plain.box->GetTabNode(0)));
    EXPECT_EQ(30, plain.box->GetTabHeight());
    EXPECT_EQ("(0,30,298,168)", Show(plain.items[0]->place));
    plain.box->SetTabHeight(40);
    EXPECT_EQ(40, plain.box->GetTabHeight());
    plain.box->SetTabHeight(0);
    plain.box->SetIconWare(nullptr);
    EXPECT_EQ(26, plain.box->GetTabHeight());
    EXPECT_EQ(a, plain.box->GetTabWidth(plain.box->GetTabNode(0)));
    // The bottom strip: the page area above it.
    Box bottom(kTabBottom);
    Open(bottom.window, 320, 220);
    EXPECT_EQ("(0,174,300,26)", Show(bottom.box->GetStripPlace()));
    EXPECT_EQ("(0,0,298,172)", Show(bottom.items[0]->place));
}

TEST_F(PageTabbox, ScrollLimitsAndEnsureVisible)
{
    Box b(kTabNavigate, false);
    for (int i = 0; i < 12; ++i)
        b.box->InsertItem(99, u"Page tab", 0, new XPageItem, nullptr);
    Open(b.window, 320, 220);
    const int total = b.box->GetTotalWidth();
    ASSERT_GT(total, 600);
    const int limit = total + kTabButtonZone - 300;
    b.box->SetScrollOffset(100000);
    EXPECT_EQ(limit, b.box->GetScrollOffset());
    b.box->SetScrollOffset(-5);
    EXPECT_EQ(0, b.box->GetScrollOffset());

    // The scroll-right button: half the strip each time, up to the limit, then gone.
    const int by = 10 + (26 - 13) / 2 + 3; // window y inside the button row
    const int rightX = 10 + 300 - 17 + 6;
    for (int i = 0; i < 10; ++i)
        display->Click(&b.window, rightX, by);
    Run();
    EXPECT_EQ(limit, b.box->GetScrollOffset());
    void *page = nullptr;
    EXPECT_NE(unsigned{kTabHitRight}, b.box->HitTest(300 - 17 + 6, 9, &page));
    // Scroll left: back by half the strip, not below 0.
    display->Click(&b.window, 10 + 300 - 30 + 6, by);
    Run();
    EXPECT_EQ(limit - 150, b.box->GetScrollOffset());
    for (int i = 0; i < 10; ++i)
        display->Click(&b.window, 10 + 300 - 30 + 6, by);
    Run();
    EXPECT_EQ(0, b.box->GetScrollOffset());

    // EnsureVisible: the last tab ends where the button zone starts, the first starts at 0.
    b.box->SetCurItem(11u);
    EXPECT_EQ(total - (300 - kTabButtonZone), b.box->GetScrollOffset());
    b.box->SetCurItem(0u);
    EXPECT_EQ(0, b.box->GetScrollOffset());
}

// Clicks the entry of the open menu with that code (run inside the loop).
void ClickEntry(XVirtualDisplay *display, XPageWindow *window, unsigned code)
{
    display->Call([display, window, code] {
        auto *selector = static_cast<XItemSelector *>(window->GetPageFloater());
        ASSERT_NE(nullptr, selector);
        for (int i = 0; i < static_cast<int>(selector->GetCounter()); ++i) {
            if (selector->GetItemCode(i) != code)
                continue;
            const void *cursor = nullptr;
            XPageItem *entry = nullptr;
            for (int k = 0; k <= i; ++k)
                entry = selector->GetNextItem(&cursor);
            BOUND_t at;
            entry->GetPlace(kPlaceWindow, &at);
            display->Click(window, at.x + at.width / 2, at.y + at.height / 2);
            return;
        }
        ADD_FAILURE() << "no entry " << code;
    });
}

TEST_F(PageTabbox, ClicksOnTabsCloseButtonsAndThePageList)
{
    Box b(kTabClose | kTabNavigate | kTabNoFirstClose);
    Open(b.window, 320, 220);
    const int wA = b.box->GetTabWidth(b.box->GetTabNode(0));
    const int wB = b.box->GetTabWidth(b.box->GetTabNode(1));
    // A press on tab B switches; the right button reports the page under the pointer.
    b.notes.notes.clear();
    display->Click(&b.window, 10 + wA + 5, 20);
    display->Click(&b.window, 10 + 5, 20, XMSG_BUTTON_RIGHT);
    display->Click(&b.window, 10 + 200, 20, XMSG_BUTTON_RIGHT);
    Run();
    ASSERT_EQ((std::vector<uint32_t>{65, 86, 86}), b.notes.Codes());
    EXPECT_EQ(b.box->GetTabNode(1), b.notes.notes[0].page);
    EXPECT_EQ(b.box->GetTabNode(0), b.notes.notes[1].page);
    EXPECT_EQ(nullptr, b.notes.notes[2].page);
    EXPECT_EQ(b.items[1], b.box->GetCurItem(nullptr));

    // The close button of B: the page goes, C becomes current.
    b.notes.notes.clear();
    display->Click(&b.window, 10 + wA + wB - 17 + 6, 20);
    Run();
    EXPECT_EQ("A C", Captions(*b.box));
    EXPECT_EQ(b.items[2], b.box->GetCurItem(nullptr));
    EXPECT_EQ((std::vector<uint32_t>{82, 65}), b.notes.Codes());

    // The page list: one entry per page, identifier index + 1.
    display->Click(&b.window, 10 + 300 - 43 + 6, 10 + 6 + 6);
    ClickEntry(display, &b.window, 1);
    Run();
    EXPECT_EQ(b.items[0], b.box->GetCurItem(nullptr));
    EXPECT_EQ(nullptr, b.window.GetPageFloater());
}

// The workspace's use: a box of kind 817 whose first tab is pinned, and a close that the
// page's owner puts off and does later from a posted message.
TEST_F(PageTabbox, WorkspaceClosesAVetoedTabLater)
{
    constexpr uint32_t kCloseLater = 4899;
    XPageWindow window;
    auto *box = Placed(new XPageTabbox(817), 0, 0, 300, 200);
    box->extraFlags = kTabClose | kTabNoFirstClose;
    window.GetRooter()->AddItem(box);
    Open(window, 300, 200);
    box->InsertItem(9, u"Home", 0, new XPageItem, nullptr);
    void *form = box->InsertItem(9, u"Form", 0, new XPageItem, nullptr);
    EXPECT_EQ(uint32_t{817}, box->kind);
    struct State
    {
        XPageTabbox *box;
        bool later = false;
        int asked = 0;
    } state{box};
    box->SetHook(
        [](void *user, XMessage_t *m) -> int {
            auto *st = static_cast<State *>(user);
            if (m->code == kTabOnDeleteItem && m->item == st->box)
                ++st->asked;
            if (m->code == kTabOnDeleteItem && m->item == st->box && !st->later) {
                // Not now: the form asks to be closed once its work is done.
                m->state = kMsgStop;
                st->box->PostMessage(kCloseLater, m->value);
                return 1;
            }
            if (m->code == XMSG_POSTED && m->key == kCloseLater) {
                st->later = true;
                st->box->DeleteNode(reinterpret_cast<void *>(m->value));
                return 1;
            }
            return 0;
        },
        &state);
    const int wHome = box->GetTabWidth(box->GetTabNode(0));
    const int wForm = box->GetTabWidth(form);
    // The pinned tab has no close button: its right end is just a tab.
    void *page = nullptr;
    EXPECT_EQ(unsigned{kTabHitTab}, box->HitTest(wHome - 10, 10, &page));
    display->Click(&window, wHome + wForm - 17 + 6, 12);
    Run();
    EXPECT_TRUE(state.later);
    EXPECT_EQ(2, state.asked); // vetoed once, then done from the post
    EXPECT_EQ(1u, box->GetCounter());
    EXPECT_EQ("Home", Captions(*box));
    box->SetHook(nullptr, nullptr);
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

TEST_F(PageTabbox, HoverFrameShowsInvertedAndGoes)
{
    Box b(kTabClose | kTabNavigate);
    Open(b.window, 320, 220);
    const int wA = b.box->GetTabWidth(b.box->GetTabNode(0));
    display->Move(&b.window, 10 + wA - 17 + 6, 22);
    Run();
    EXPECT_EQ(unsigned{kTabHitClose}, b.box->GetHoverPart());
    const long framed = ShownAgainstBuffer(display, &b.window);
    EXPECT_GT(framed, 0);
    EXPECT_LE(framed, 13 * 4);
    EXPECT_EQ(0, CompareGolden(display, &b.window, "tabbox_hover"));
    // A repaint beneath keeps it.
    b.box->Invalidate(nullptr, 0);
    Run();
    EXPECT_EQ(framed, ShownAgainstBuffer(display, &b.window));
    // Moving onto the page list button moves the frame; off the buttons it goes.
    display->Move(&b.window, 10 + 300 - 43 + 6, 22);
    Run();
    EXPECT_EQ(unsigned{kTabHitList}, b.box->GetHoverPart());
    EXPECT_GT(ShownAgainstBuffer(display, &b.window), 0);
    display->Move(&b.window, 100, 150);
    Run();
    EXPECT_EQ(0u, b.box->GetHoverPart());
    EXPECT_EQ(0, ShownAgainstBuffer(display, &b.window));

    // The hovered tab deleted: the frame goes with it.
    display->Move(&b.window, 10 + wA - 17 + 6, 22);
    Run();
    ASSERT_EQ(unsigned{kTabHitClose}, b.box->GetHoverPart());
    b.box->DeleteItem(0);
    Run();
    EXPECT_EQ(0u, b.box->GetHoverPart());
    EXPECT_EQ(0, ShownAgainstBuffer(display, &b.window));
}

TEST_F(PageTabbox, StripsMatchTheirGoldenPictures)
{
    {
        Box b(kTabClose | kTabNavigate | kTabNoFirstClose);
        b.box->SetCurItem(1u);
        Open(b.window, 320, 220);
        b.box->SetCurItem(1u);
        Run();
        EXPECT_EQ(0, CompareGolden(display, &b.window, "tabbox_top"));
    }
    {
        // At the bottom, with page icons of the box's own set.
        XIconDrawer icons;
        MakeIcons(&icons);
        Box b(kTabBottom | kTabClose);
        b.box->SetIconWare(&icons);
        b.box->SetItemIcon(1, 1);
        Open(b.window, 320, 220);
        EXPECT_EQ(0, CompareGolden(display, &b.window, "tabbox_bottom"));
    }
    {
        // Without pages the full-render image fills the body.
        Box b(0, false);
        XImage image;
        ASSERT_TRUE(image.CreateBitmap(4, 4));
        image.FillPixColor(0, 0, 2, 4, 0x3060C0);
        image.FillPixColor(2, 0, 2, 4, 0xC06030);
        b.box->SetFullRender(&image);
        Open(b.window, 320, 220);
        EXPECT_EQ(0, CompareGolden(display, &b.window, "tabbox_empty"));
        b.box->SetFullRender(nullptr);
    }
}

} // namespace
