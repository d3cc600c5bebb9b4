// Menus and drop lists on the virtual display: entries and their heights, '&' letters,
// Escape, hidden and disabled entries, clicks chosen through nested loops, sub-menu
// requests, drop lists below their item, loops that run out of input, and a golden
// picture of a menu.

#include <gtest/gtest.h>

#include <cairo.h>

#include "corekit/text/xstring.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/item_selector.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/core/tests/style_util.h"
#include "platform/panekit/icon/icon_drawer.h"

namespace {

using ItemSelector = PageWindowTest;

struct Form
{
    SeenLog log;
    XPageWindow window;
    RecordingItem *hoster = Placed(new RecordingItem(&log, "hoster"), 20, 20, 120, 22);

    Form() { window.GetRooter()->AddItem(hoster); }

    // Messages of code 43 and 42 the hoster saw: "43:33", "42:2" ...
    std::vector<std::string> Seen() const
    {
        std::vector<std::string> out;
        for (const SeenMessage &seen : log) {
            if (seen.code == XMSG_CLOSEFLOAT || seen.code == XMSG_COMMAND)
                out.push_back(std::to_string(seen.code) + ":" + std::to_string(seen.key));
        }
        return out;
    }
};

// A menu of every kind of entry.
struct Entries
{
    XMenuItem items[6];
    Entries()
    {
        SetupMenuItem(&items[0], 1, kMenuChecked, u"&Open\tCtrl+O");
        SetupMenuItem(&items[1], 2, 0, u"&Save");
        SetupMenuItem(&items[2], 0, 0, nullptr);
        SetupMenuItem(&items[3], 3, kMenuDisabled, u"E&xit");
        SetupMenuItem(&items[4], 4, kMenuSkipped, u"&Hidden");
        SetupMenuItem(&items[5], 5, kMenuSubmenu, u"&Recent");
        for (XMenuItem &item : items)
            item.icon = -1;
    }
};

// Clicks the entry of the open selector with that code (run inside the loop).
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

TEST_F(ItemSelector, LettersEscapeAndLoopsThatRunDry)
{
    struct Case
    {
        std::vector<uint32_t> keys;
        unsigned expected;
    };
    const Case cases[] = {
        {{'S'}, 2},      {{'O'}, 1},
        {{'Q', 's'}, 0}, // no entry of Q; lower-case key codes are no letters
        {{27, 'S'}, 0},  // Escape closes before S
        {{'X'}, 0},      // disabled: never chosen; the loop runs dry
        {{'H'}, 0},      // flags 256: not there at all
        {{'R'}, 5},      // outside a menu bar a sub-menu entry is chosen as any other
    };
    for (const Case &c : cases) {
        Form f;
        Entries e;
        Open(f.window, 300, 200);
        for (uint32_t key : c.keys)
            display->KeyDown(&f.window, key);
        EXPECT_EQ(c.expected, PopupMenubar(f.hoster, e.items, 6)) << c.keys[0];
        Run(); // the closed menu destroys itself
        EXPECT_EQ(nullptr, f.window.GetPageFloater());
        EXPECT_EQ(1u, f.window.GetRooter()->GetCounter()) << c.keys[0];
        if (c.expected != 0) {
            EXPECT_EQ((std::vector<std::string>{"43:17", "42:" + std::to_string(c.expected)}),
                      f.Seen());
        }
    }
}

TEST_F(ItemSelector, ClicksChooseEnabledEntriesOnly)
{
    Form f;
    Entries e;
    Open(f.window, 300, 200);
    display->Move(&f.window, 40, 30);
    ClickEntry(display, &f.window, 2);
    EXPECT_EQ(2u, PopupMenubar(f.hoster, e.items, 6));
    // The hoster heard the close, then the command with the selector as other item.
    EXPECT_EQ((std::vector<std::string>{"43:17", "42:2"}), f.Seen());
    for (const SeenMessage &seen : f.log) {
        if (seen.code == XMSG_COMMAND) {
            EXPECT_NE(nullptr, seen.other);
            EXPECT_NE(static_cast<const void *>(f.hoster), seen.other);
        }
    }

    f.log.clear();
    ClickEntry(display, &f.window, 3); // disabled
    display->KeyDown(&f.window, 27);
    EXPECT_EQ(0u, PopupMenubar(f.hoster, e.items, 6));
    EXPECT_EQ((std::vector<std::string>{"43:17"}), f.Seen());

    // A press outside closes it without choice.
    f.log.clear();
    display->Click(&f.window, 290, 190);
    EXPECT_EQ(0u, PopupMenubar(f.hoster, e.items, 6));
    Run();
    EXPECT_EQ(1u, f.window.GetRooter()->GetCounter());
}

TEST_F(ItemSelector, MenuBarsAskForSubmenus)
{
    Form f;
    Entries e;
    Open(f.window, 300, 200);
    auto *selector = new XItemSelector;
    ASSERT_TRUE(selector->Create(f.hoster));
    selector->extraFlags |= kSelectorMenubar;
    SetupMenubar(selector, e.items, 6);
    EXPECT_EQ(5u, selector->GetCounter()); // the entry of flags 256 is not there
    selector->ShowMenubar(f.hoster, kShowAtPointer);
    BOUND_t recent;
    XPageItem *entry = nullptr;
    const void *cursor = nullptr;
    for (int i = 0; i < 5; ++i)
        entry = selector->GetNextItem(&cursor);
    entry->GetPlace(kPlaceWindow, &recent);
    display->Move(&f.window, recent.x + 5, recent.y + 5);
    display->Click(&f.window, recent.x + 5, recent.y + 5);
    display->KeyDown(&f.window, 27);
    EXPECT_EQ(1, selector->WaitforClose());
    EXPECT_EQ(0u, selector->GetChoice());
    EXPECT_EQ((std::vector<std::string>{"43:33", "43:33", "43:17"}), f.Seen());
    std::vector<uint32_t> flags;
    for (const SeenMessage &seen : f.log) {
        if (seen.code == XMSG_CLOSEFLOAT && seen.key == kSelectorSubmenuKey) {
            EXPECT_EQ(entry, seen.other);
        }
    }
    Run();
}

TEST_F(ItemSelector, EntriesTakeWholeLines)
{
    Form f;
    Open(f.window, 300, 200);
    auto *selector = new XItemSelector;
    ASSERT_TRUE(selector->Create(f.hoster));
    selector->AddMenuItem(7, 0, -1, u"Short");
    selector->AddMenuItem(0, 0, -1, nullptr);
    selector->AddMenuItem(8, 0, -1, u"A much longer entry\tCtrl+Shift+K");
    EXPECT_EQ(nullptr, selector->AddMenuItem(9, 256, -1, u"never"));
    selector->ShowMenubar(f.hoster, kShowAtPointer);
    Run();
    const void *cursor = nullptr;
    XPageItem *first = selector->GetNextItem(&cursor);
    XPageItem *separator = selector->GetNextItem(&cursor);
    XPageItem *third = selector->GetNextItem(&cursor);
    EXPECT_EQ(kKindMenuItem, first->kind);
    EXPECT_EQ(kKindSeparator, separator->kind);
    EXPECT_EQ(5, separator->place.height);
    EXPECT_GE(first->place.height, 16);
    EXPECT_EQ(first->place.width, third->place.width);
    EXPECT_EQ(first->place.width, selector->body.width);
    EXPECT_EQ(first->place.y + first->place.height, separator->place.y);
    EXPECT_EQ(separator->place.y + 5, third->place.y);
    EXPECT_EQ(8u, selector->GetItemCode(2));
    EXPECT_EQ(0u, selector->GetItemCode(1));
    EXPECT_EQ(0u, selector->GetItemCode(9));
    XString text;
    selector->GetItemText(2, &text);
    EXPECT_EQ("A much longer entry\tCtrl+Shift+K", Utf8(text.GetString()));
    selector->SelectItem(2);
    EXPECT_TRUE(third->stateFlags & kItemStateHovered);
    selector->SelectItem(0);
    EXPECT_FALSE(third->stateFlags & kItemStateHovered);
    selector->CloseFloater();
    Run();
}

// A combo entry's icon takes its width and 3 pixels before the text; an index the
// drawer does not have takes nothing.
TEST_F(ItemSelector, ComboEntriesMakeRoomForTheirIcon)
{
    XIconDrawer icons;
    cairo_surface_t *strip = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 40, 20);
    ASSERT_TRUE(icons.LoadSurface(strip, 0));
    cairo_surface_destroy(strip);
    Form f;
    Open(f.window, 300, 200);
    int widths[3] = {};
    const int indexes[3] = {-1, 1, 7};
    for (int i = 0; i < 3; ++i) {
        auto *selector = new XItemSelector;
        ASSERT_TRUE(selector->Create(f.hoster));
        selector->SetIconWare(&icons);
        selector->AddComboItem(1, indexes[i], u"Entry");
        selector->ShowMenubar(f.hoster, kShowAtPointer);
        widths[i] = selector->place.width;
        selector->CloseFloater();
        Run();
    }
    EXPECT_EQ(widths[0] + 23, widths[1]);
    EXPECT_EQ(widths[0], widths[2]);
}

TEST_F(ItemSelector, CodeStringMenusAndDropLists)
{
    Form f;
    Open(f.window, 300, 600);
    // Names only: index + 1.
    ClickEntry(display, &f.window, 2);
    EXPECT_EQ(2u, PopupMenubar(f.hoster, u"Alpha\r\nBeta\nGamma"));
    display->KeyDown(&f.window, 'W');
    EXPECT_EQ(20u, PopupMenubar(f.hoster, u"10;&Ten\n;\n20;T&wenty"));

    // A drop list sits below the item with its width; beyond 480 pixels it scrolls.
    std::vector<XMenuItem> many(40);
    std::vector<std::u16string> names;
    for (int i = 0; i < 40; ++i)
        names.push_back(u"Entry " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)));
    for (int i = 0; i < 40; ++i)
        SetupMenuItem(&many[i], 100 + i, 0, names[i].c_str());
    display->Call([&] {
        auto *selector = static_cast<XItemSelector *>(f.window.GetPageFloater());
        ASSERT_NE(nullptr, selector);
        EXPECT_EQ(20, selector->place.x);
        EXPECT_EQ(42, selector->place.y);
        EXPECT_EQ(120, selector->place.width);
        EXPECT_EQ(480, selector->place.height);
        EXPECT_TRUE(selector->itemFlags & kItemVertBar);
        const void *cursor = nullptr;
        EXPECT_EQ(kKindComboItem, selector->GetNextItem(&cursor)->kind);
    });
    ClickEntry(display, &f.window, 101);
    EXPECT_EQ(101u, PopupDropbar(f.hoster, many.data(), 40));
}

TEST_F(ItemSelector, MenuMatchesItsGoldenPicture)
{
    Form f;
    f.window.GetRooter()->ApplyStyle(0, "background-color:#ffffff;");
    Open(f.window, 200, 110);
    display->Move(&f.window, 10, 6);
    Run();
    auto *selector = new XItemSelector;
    ASSERT_TRUE(selector->Create(f.hoster));
    Entries e;
    SetupMenubar(selector, e.items, 6);
    selector->ShowMenubar(f.hoster, kShowAtPointer);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &f.window, "menu"));
    selector->CloseFloater();
    Run();
}

} // namespace
