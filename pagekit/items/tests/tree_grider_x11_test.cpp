// A tree grid in a window on a private Xvfb server: an xdotool click on a row's expand
// button collapses and expands the row and leaves the selection alone.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "pagekit/core/page_window.h"
#include "pagekit/items/page_tree_grider.h"
#include "platform/panekit/tests/x11_session.h"
// Xlib last: its macros would reach the headers above.
#include "platform/panekit/x11/x11_backend.h"

namespace {

class TreeGridX11 : public XvfbSuite
{
};

TEST_F(TreeGridX11, TheExpandButtonTogglesAndKeepsTheSelection)
{
    XPageWindow window;
    auto *grid = new XTreeGrider;
    grid->itemFlags |= kItemAbsolute;
    const BOUND_t at = {0, 0, 300, 200};
    grid->MovePlace(&at, 0);
    XGB_HEADER h = {};
    h.cellKind = kCellEdit;
    h.dataType = kGridText;
    h.dataSize = 16;
    h.wide = 160;
    h.textColor = 0xFFFFFFFF;
    h.backColor = 0xFFFFFFFF;
    h.title = u"名称";
    grid->InsertHeader(0, &h);
    void *root = grid->InsertMatter(nullptr, nullptr, 1, 0, nullptr, nullptr);
    void *child = grid->InsertMatter(root, nullptr, 1, 0, nullptr, nullptr);
    grid->InsertMatter(root, nullptr, 1, 0, nullptr, nullptr);
    void *other = grid->InsertMatter(nullptr, nullptr, 1, 0, nullptr, nullptr);
    ASSERT_NE(nullptr, child);
    window.GetRooter()->AddItem(grid);
    const BOUND_t place = {0, 0, 300, 200};
    ASSERT_TRUE(window.Create(u"树表格", &place));
    ASSERT_TRUE(PumpUntil([&] { return window.GetRooter()->place.width == 300; }));
    const std::string id =
        std::to_string(static_cast<XX11Window *>(window.GetNative())->GetWindow());
    ASSERT_EQ(0, XvfbServer::Run("xdotool windowfocus --sync " + id));
    grid->SetChoice(other);
    PumpUntil([] { return false; }, 700);
    BOUND_t body;
    grid->GetPlace(kPlaceBodyWindow, &body);
    // The root's button: layer 0, from the guide edge, in the first row.
    const int x = body.x + static_cast<int>(grid->GetGuidePlace()) + 8;
    const int y = body.y + static_cast<int>(grid->GetItemHeight(2) + grid->GetItemHeight(0) / 2);
    auto click = [&](const std::function<bool()> &done) {
        std::atomic<bool> ran{false};
        std::thread user([&] {
            XvfbServer::Run("xdotool mousemove --window " + id + " " + std::to_string(x - 6) + " " +
                            std::to_string(y) + " sleep 0.2 mousemove --window " + id + " " +
                            std::to_string(x) + " " + std::to_string(y) + " click 1 sleep 0.6");
            ran = true;
        });
        const bool ok = PumpUntil([&] { return ran.load() && done(); });
        user.join();
        return ok;
    };
    EXPECT_TRUE(click([&] { return (grid->GetItemState(root) & kMatterCollapsed) != 0; }));
    EXPECT_FALSE(grid->IsShown(child));
    EXPECT_EQ(static_cast<int>(grid->GetItemIndex(other)), grid->GetChoice());
    EXPECT_TRUE(click([&] { return (grid->GetItemState(root) & kMatterCollapsed) == 0; }));
    EXPECT_TRUE(grid->IsShown(child));
    EXPECT_EQ(static_cast<int>(grid->GetItemIndex(other)), grid->GetChoice());
    window.DestroyWindow();
}

} // namespace
