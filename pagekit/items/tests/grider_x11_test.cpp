// A grid in a window on a private Xvfb server, worked by xdotool: header clicks sort, an
// edge drag resizes, a right click opens the row menu and Escape closes it, Ctrl+C of a
// block reads back through xclip, and text xclip puts there pastes as rows.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "pagekit/core/page_window.h"
#include "pagekit/items/page_grider.h"
#include "platform/panekit/tests/x11_session.h"
// Xlib last: its macros would reach the headers above.
#include "platform/panekit/x11/x11_backend.h"

namespace {

XGB_HEADER TextColumn()
{
    XGB_HEADER h = {};
    h.cellKind = kCellEdit;
    h.dataType = kGridText;
    h.dataSize = 16;
    h.wide = 80;
    h.textColor = 0xFFFFFFFF;
    h.backColor = 0xFFFFFFFF;
    h.title = u"列";
    return h;
}

// The cell's display text (ASCII in these tests).
std::string CellText(XPageGrider *grid, void *row, unsigned col)
{
    std::string out;
    const char16_t *text = grid->GetDisplayText(row, col);
    for (; text != nullptr && *text != 0; ++text)
        out.push_back(static_cast<char>(*text));
    return out;
}

class GridX11 : public XvfbSuite
{
protected:
    void SetUp() override
    {
        grid = new XPageGrider;
        grid->extraFlags |= kGridRowMenu | kGridEditable | kGridBlockEdit | kGridMultiSelect;
        grid->itemFlags |= kItemAbsolute;
        const BOUND_t at = {0, 0, 300, 200};
        grid->MovePlace(&at, 0);
        for (unsigned c = 0; c < 2; ++c) {
            XGB_HEADER h = TextColumn();
            grid->InsertHeader(c, &h);
        }
        const char16_t *names[] = {u"b", u"c", u"a"};
        for (const char16_t *n : names) {
            void *row = grid->InsertMatter(grid->GetRowNumber(), nullptr, nullptr);
            grid->SetItemText(row, 0, n);
            grid->SetItemText(row, 1, u"x");
        }
        window.GetRooter()->AddItem(grid);
        const BOUND_t place = {0, 0, 300, 200};
        ASSERT_TRUE(window.Create(u"表格", &place));
        ASSERT_TRUE(PumpUntil([&] { return window.GetRooter()->place.width == 300; }));
        id = std::to_string(static_cast<XX11Window *>(window.GetNative())->GetWindow());
        ASSERT_EQ(0, XvfbServer::Run("xdotool windowfocus --sync " + id));
        window.SetFocusItem(grid);
        // Longer than a double click: the last test's click must not pair with this one's.
        PumpUntil([] { return false; }, 700);
        BOUND_t body;
        grid->GetPlace(kPlaceBodyWindow, &body);
        bx = body.x;
        by = body.y;
    }
    void TearDown() override { window.DestroyWindow(); }

    // Runs an xdotool command line beside the loop until it ends and done() holds.
    bool User(const std::string &args, const std::function<bool()> &done)
    {
        std::atomic<bool> ran{false};
        std::thread user([&] {
            XvfbServer::Run("xdotool " + args);
            ran = true;
        });
        const bool ok = PumpUntil([&] { return ran.load() && done(); });
        user.join();
        return ok;
    }
    std::string At(int x, int y) const
    {
        return "mousemove --window " + id + " " + std::to_string(bx + x) + " " +
               std::to_string(by + y);
    }
    std::string Order()
    {
        std::string s;
        for (void *r = grid->GetNextItem(nullptr); r != nullptr; r = grid->GetNextItem(r))
            s += CellText(grid, r, 0);
        return s;
    }

    XPageWindow window;
    XPageGrider *grid = nullptr;
    std::string id;
    int bx = 0;
    int by = 0;
};

TEST_F(GridX11, HeaderClicksSortAndReverse)
{
    EXPECT_TRUE(User(At(40, 8) + " click 1", [&] { return Order() == "abc"; }));
    EXPECT_TRUE(User("sleep 0.6 " + At(40, 8) + " click 1", [&] { return Order() == "cba"; }));
}

TEST_F(GridX11, EdgeDragsResizeButNotBelowTwenty)
{
    // The pointer comes to the edge from inside the column: a move must arm the resize.
    EXPECT_TRUE(User(At(60, 8) + " sleep 0.2 " + At(79, 8) + " sleep 0.2 mousedown 1 " +
                         At(130, 8) + " mouseup 1",
                     [&] { return grid->GetHeaderNode(0)->header.wide == 130; }))
        << grid->GetHeaderNode(0)->header.wide;
    EXPECT_TRUE(User("sleep 0.6 " + At(110, 8) + " sleep 0.2 " + At(129, 8) +
                         " sleep 0.2 mousedown 1 " + At(2, 8) + " mouseup 1",
                     [&] { return grid->GetHeaderNode(0)->header.wide == 20; }));
}

TEST_F(GridX11, RightClickOpensTheRowMenuAndEscapeClosesIt)
{
    // The menu runs a loop of its own inside the right click: one client clicks, waits
    // and presses Escape; the grid's context question tells that the menu opened.
    bool shown = false;
    grid->SetHook(
        [](void *user, XMessage_t *m) {
            if (m->code == kGridOnContextMenu)
                *static_cast<bool *>(user) = true;
            return 0;
        },
        &shown);
    EXPECT_TRUE(User(At(40, 18 + 8) + " click 3 sleep 1 key Escape",
                     [&] { return shown && window.GetPageFloater() == nullptr; }));
    EXPECT_EQ(3u, grid->GetRowNumber());
    EXPECT_EQ(0, grid->GetChoice());
}

TEST_F(GridX11, BlockCopyReadsBackThroughXclip)
{
    // A press on a cell of an editable grid edits it: the block is dragged read-only.
    grid->SetReadOnly(1);
    EXPECT_TRUE(User(At(40, 18 + 8) + " mousedown 1 " + At(120, 18 + 18 + 8) + " mouseup 1", [&] {
        int32_t block[4];
        grid->GetBlockChoice(block);
        return block[2] == 2 && block[3] == 2;
    }));
    std::atomic<bool> keyed{false};
    std::thread keys([&] {
        XvfbServer::Run("xdotool key --window " + id + " ctrl+c");
        keyed = true;
    });
    PumpUntil([&] { return keyed.load(); });
    keys.join();
    PumpUntil([] { return false; }, 300);
    std::string copied;
    std::atomic<bool> finished{false};
    std::thread reader([&] {
        copied = XvfbServer::Output("timeout 20 xclip -o -selection clipboard");
        finished = true;
    });
    PumpUntil([&] { return finished.load(); });
    reader.join();
    EXPECT_EQ("b\tx\r\nc\tx\r\n", copied);
}

TEST_F(GridX11, XclipTextPastesAsRows)
{
    ASSERT_EQ(0, XvfbServer::Run("printf 'p\\tq\\r\\nr\\ts\\r\\n' | timeout 20 xclip -selection "
                                 "clipboard -loops 1 &"));
    PumpUntil([] { return false; }, 500);
    grid->SetChoice(-1);
    grid->OnPasteMatter();
    ASSERT_EQ(5u, grid->GetRowNumber());
    EXPECT_EQ("p", CellText(grid, grid->GetItemMatter(3), 0));
    EXPECT_EQ("s", CellText(grid, grid->GetItemMatter(4), 1));
}

TEST_F(GridX11, ACellTypedIntoAndEndedByEnterCommits)
{
    // A press on a cell of an editable grid starts its editor; Enter commits and moves on.
    EXPECT_TRUE(User(At(120, 18 + 18 + 8) + " click 1 sleep 0.3 type --delay 30 'hello'",
                     [&] { return window.GetFocusItem() != grid; }));
    EXPECT_TRUE(User("key --window " + id + " Return",
                     [&] { return CellText(grid, grid->GetItemMatter(1), 1) == "hello"; }));
    EXPECT_EQ("c", CellText(grid, grid->GetItemMatter(1), 0));
}

} // namespace
