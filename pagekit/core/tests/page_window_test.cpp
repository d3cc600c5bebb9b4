// The page window on the virtual display: routing of input to items, hover, focus and
// clicks, timers and posts, the scroll-bar auto-repeat on the fake clock, and items that
// go while messages for them are under way.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "pagekit/core/tests/page_fixture.h"

namespace {

using PageWindowRouting = PageWindowTest;

std::vector<std::string> Lines(const SeenLog &log, std::initializer_list<uint32_t> codes)
{
    std::vector<std::string> out;
    for (const SeenMessage &seen : log) {
        for (uint32_t code : codes) {
            if (seen.code == code)
                out.push_back(seen.who + ":" + std::to_string(code));
        }
    }
    return out;
}

// Two items side by side in the root: left (10, 10, 50, 40) and right (70, 10, 50, 40).
struct TwoItems
{
    SeenLog log;
    XPageWindow window;
    RecordingItem *left = Placed(new RecordingItem(&log, "L"), 10, 10, 50, 40);
    RecordingItem *right = Placed(new RecordingItem(&log, "R"), 70, 10, 50, 40);

    TwoItems()
    {
        window.GetRooter()->AddItem(left);
        window.GetRooter()->AddItem(right);
    }
};

TEST_F(PageWindowRouting, HoverPressClickAndKeys)
{
    TwoItems t;
    Open(t.window);
    ASSERT_TRUE(t.left->itemFlags & kItemCreated);
    display->Move(&t.window, 20, 20);
    display->Move(&t.window, 80, 20);
    display->Press(&t.window, 85, 25);
    display->Release(&t.window, 86, 26);
    display->Press(&t.window, 85, 25, XMSG_BUTTON_RIGHT);
    display->Release(&t.window, 85, 25, XMSG_BUTTON_RIGHT);
    display->KeyDown(&t.window, 65);
    display->Wheel(&t.window, 85, 25, 1);
    // A press on one item released over the other is no click.
    display->Press(&t.window, 85, 25);
    display->Move(&t.window, 20, 20);
    display->Release(&t.window, 20, 20);
    Run();
    const std::vector<std::string> want = {
        "L:23", "L:24", "R:23", "R:18", "R:17", "R:28", "R:18", "R:17",
        "R:29", "R:2",  "R:20", "R:18", "R:24", "L:23", "L:17",
    };
    EXPECT_EQ(want, Lines(t.log, {23, 24, 18, 17, 28, 29, 2, 20}));
    EXPECT_EQ(t.right, t.window.GetFocusItem());

    // Coordinates arrive item-relative; the leave names the item entered.
    for (const SeenMessage &seen : t.log) {
        if (seen.who == "R" && seen.code == XMSG_BUTTONDOWN) {
            EXPECT_EQ(15, seen.x);
            EXPECT_EQ(15, seen.y);
        }
        if (seen.who == "L" && seen.code == XMSG_MOUSELEAVE && seen.other != nullptr) {
            EXPECT_EQ(t.right, seen.other);
        }
    }
}

TEST_F(PageWindowRouting, FocusMovesWithPressesAndSkipsDisabledChains)
{
    TwoItems t;
    Open(t.window);
    t.right->itemFlags |= kItemNoFocus;
    display->Click(&t.window, 20, 20);
    display->Click(&t.window, 80, 20);
    Run();
    EXPECT_EQ(t.left, t.window.GetFocusItem());
    EXPECT_EQ((std::vector<std::string>{"L:44", "L:28", "R:28"}), Lines(t.log, {44, 45, 28}));
    EXPECT_FALSE(t.left->stateFlags & kItemStatePressed);

    t.log.clear();
    t.window.SetFocusItem(t.right);
    EXPECT_EQ((std::vector<std::string>{"L:45", "R:44"}), Lines(t.log, {44, 45}));
    EXPECT_TRUE(t.right->stateFlags & kItemStateFocused);
    EXPECT_FALSE(t.left->stateFlags & kItemStateFocused);
}

TEST_F(PageWindowRouting, AFocusSetByTheLosingItemWins)
{
    TwoItems t;
    auto *third = Placed(new RecordingItem(&t.log, "T"), 130, 10, 20, 20);
    t.window.GetRooter()->AddItem(third);
    Open(t.window);
    t.window.SetFocusItem(t.left);
    t.left->onMessage = [&](XMessage_t *message) {
        if (message->code == XMSG_FOCUSOUT)
            t.window.SetFocusItem(third);
    };
    t.window.SetFocusItem(t.right);
    EXPECT_EQ(third, t.window.GetFocusItem());
    EXPECT_FALSE(t.right->stateFlags & kItemStateFocused);
}

TEST_F(PageWindowRouting, LeavingTheWindowEndsTheHover)
{
    TwoItems t;
    Open(t.window);
    display->Move(&t.window, 20, 20);
    display->Leave(&t.window);
    Run();
    EXPECT_EQ((std::vector<std::string>{"L:23", "L:24"}), Lines(t.log, {23, 24}));
    EXPECT_FALSE(t.left->stateFlags & kItemStateHovered);
    EXPECT_EQ(nullptr, t.window.GetHoverItem());
}

TEST_F(PageWindowRouting, TimersPostsAndSizes)
{
    TwoItems t;
    Open(t.window);
    t.window.SetTimer(t.left, 50);
    t.left->PostMessage(kPostToItem + 3, 77);
    t.window.PostMessage(kPostFocus, t.right, 0);
    display->Advance(120);
    display->Resize(&t.window, 300, 150);
    Run();
    t.window.KillTimer(t.left);
    EXPECT_EQ((std::vector<std::string>{"L:47", "R:44", "L:34", "L:34"}),
              Lines(t.log, {34, 47, 44}));
    for (const SeenMessage &seen : t.log) {
        if (seen.code == XMSG_POSTED) {
            EXPECT_EQ(kPostToItem + 3, seen.key);
        }
    }
    EXPECT_TRUE(SameBound(t.window.GetRooter()->place, Bound(0, 0, 300, 150)));
}

// ---------------------------------------------------------------------------------------
// Items that go
// ---------------------------------------------------------------------------------------

using PageWindowDestroy = PageWindowTest;

// Counts live instances so that a test sees every deletion.
struct Counted : RecordingItem
{
    Counted(SeenLog *log, std::string who, int *alive) : RecordingItem(log, who), m_alive(alive)
    {
        ++*m_alive;
    }
    ~Counted() override { --*m_alive; }
    int *m_alive;
};

TEST_F(PageWindowDestroy, DestroyAsyncTwiceDestroysOnce)
{
    SeenLog log;
    int alive = 0;
    XPageWindow window;
    auto *item = Placed(new Counted(&log, "I", &alive), 10, 10, 20, 20);
    window.GetRooter()->AddItem(item);
    Open(window);
    item->DestroyAsync();
    item->DestroyAsync();
    EXPECT_EQ(1, alive);
    Run();
    EXPECT_EQ(0, alive);
    EXPECT_EQ(0u, window.GetRooter()->GetCounter());
}

TEST_F(PageWindowDestroy, PendingPostsAndTimersNeverReachAGoneItem)
{
    SeenLog log;
    int alive = 0;
    XPageWindow window;
    auto *item = Placed(new Counted(&log, "I", &alive), 10, 10, 20, 20);
    auto *other = Placed(new RecordingItem(&log, "O"), 40, 10, 20, 20);
    window.GetRooter()->AddItem(item);
    window.GetRooter()->AddItem(other);
    Open(window);
    item->PostMessage(kPostToItem, 1);
    window.SetTimer(item, 10);
    // Another thread keeps posting for the item while it goes. Posts go before input in
    // the loop, so an unpaced flood would starve the script on a slow machine: the poster
    // paces itself and stops after a bounded number.
    std::atomic<bool> stop{false};
    std::thread poster([&] {
        for (int n = 0; n < 20000 && !stop.load(); ++n) {
            window.PostMessage(kPostToItem + 1, item, 2);
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    });
    display->SetIdleWait(20);
    display->Call([&] {
        item->Destroy();
        log.push_back({"destroyed", 0, 0, 0, 0, 0, nullptr});
    });
    display->Advance(50);
    display->Call([&] { stop.store(true); });
    Run();
    poster.join();
    display->SetIdleWait(0);
    Run();
    EXPECT_EQ(0, alive);
    bool gone = false;
    for (const SeenMessage &seen : log) {
        gone |= seen.who == "destroyed";
        if (gone) {
            EXPECT_NE("I", seen.who) << seen.code;
        }
    }
    EXPECT_TRUE(gone);
}

TEST_F(PageWindowDestroy, AnItemDestroyingItselfMidBubbleStopsTheMessage)
{
    SeenLog log;
    int alive = 0;
    XPageWindow window;
    auto *owner = Placed(new RecordingOwner(&log, "O"), 0, 0, 100, 100);
    auto *item = Placed(new Counted(&log, "I", &alive), 10, 10, 20, 20);
    window.GetRooter()->AddItem(owner);
    owner->AddItem(item);
    Open(window);
    item->onMessage = [item](XMessage_t *message) {
        if (message->code == XMSG_BUTTONDOWN)
            item->Destroy();
    };
    display->Click(&window, 15, 15);
    Run();
    EXPECT_EQ(0, alive);
    EXPECT_EQ((std::vector<std::string>{"I:18"}), Lines(log, {18, 17, 28}));
    EXPECT_EQ(nullptr, window.GetFocusItem());
}

TEST_F(PageWindowDestroy, ANestedDispatchDestroyingTheOuterTargetsOwner)
{
    SeenLog log;
    int alive = 0;
    XPageWindow window;
    auto *outerOwner = Placed(new RecordingOwner(&log, "B"), 0, 0, 100, 100);
    auto *target = Placed(new Counted(&log, "C", &alive), 10, 10, 20, 20);
    auto *other = Placed(new RecordingItem(&log, "D"), 110, 10, 20, 20);
    window.GetRooter()->AddItem(outerOwner);
    outerOwner->AddItem(target);
    window.GetRooter()->AddItem(other);
    Open(window);
    other->onMessage = [&](XMessage_t *message) {
        if (message->code == XMSG_POSTED)
            outerOwner->Destroy();
    };
    target->onMessage = [&](XMessage_t *message) {
        if (message->code != XMSG_KEYDOWN)
            return;
        XMessage_t inner = {};
        inner.code = XMSG_POSTED;
        inner.key = kPostToItem;
        other->DispatchMessage(&inner);
    };
    window.SetFocusItem(target);
    display->KeyDown(&window, 65);
    Run();
    EXPECT_EQ(0, alive);
    EXPECT_EQ((std::vector<std::string>{"C:2"}), Lines(log, {2}));
}

// ---------------------------------------------------------------------------------------
// Scroll bars on the fake clock
// ---------------------------------------------------------------------------------------

using PageWindowScroll = PageWindowTest;

// A 100 x 100 item at the origin with a vertical bar only: body 83 x 100, extent 300,
// track 66 pixels from y 17, thumb 22 pixels.
struct Scrolled
{
    XPageWindow window;
    XPageItem *item = Placed(new XPageItem, 0, 0, 100, 100);

    Scrolled()
    {
        item->ApplyStyle(0, "overflow-x:hidden;overflow-y:auto;");
        window.GetRooter()->AddItem(item);
    }
    void Ready()
    {
        item->ApplyItemStyle();
        item->SetScrollSize(83, 300);
    }
};

TEST_F(PageWindowScroll, ArrowMovesALineThenRepeatsFromTheSeventhTick)
{
    Scrolled s;
    Open(s.window);
    s.Ready();
    ASSERT_TRUE(s.item->itemFlags & kItemVertBar);
    std::vector<int> positions;
    display->Press(&s.window, 90, 95); // the down arrow
    display->Call([&] { positions.push_back(s.item->GetScrollPos(1)); });
    for (int tick = 1; tick <= 12; ++tick) {
        display->Advance(100);
        display->Call([&] { positions.push_back(s.item->GetScrollPos(1)); });
    }
    display->Release(&s.window, 90, 95);
    display->Advance(300);
    display->Call([&] { positions.push_back(s.item->GetScrollPos(1)); });
    Run();
    // One line at the press, nothing for six ticks, a line per tick from the seventh, and
    // a stop at extent - body = 200.
    const std::vector<int> want = {32, 32, 32, 32, 32, 32, 32, 64, 96, 128, 160, 192, 200, 200};
    EXPECT_EQ(want, positions);
    EXPECT_EQ(nullptr, s.window.GetCaptureItem());
    EXPECT_FALSE(s.item->stateFlags & kItemStateRepeat);
}

TEST_F(PageWindowScroll, TrackPressStopsAtThePointer)
{
    Scrolled s;
    Open(s.window);
    s.Ready();
    display->Press(&s.window, 90, 70); // below the thumb (17 ... 38)
    display->Advance(2000);
    display->Release(&s.window, 90, 70);
    Run();
    // Pages of 84 until the thumb covers y 70: the thumb starts at 17 + 44 x pos / 200.
    const int pos = s.item->GetScrollPos(1);
    const int thumb = 17 + 44 * pos / 200;
    EXPECT_LE(thumb, 70);
    EXPECT_GT(thumb + 22, 70);
    EXPECT_EQ(168, pos);
}

TEST_F(PageWindowScroll, ThumbDragTracksThePointer)
{
    Scrolled s;
    Open(s.window);
    s.Ready();
    display->Press(&s.window, 90, 20); // on the thumb, 3 below its top
    display->Move(&s.window, 90, 42);  // thumb top at 39: 22 of 44 pixels
    display->Release(&s.window, 90, 42);
    Run();
    EXPECT_EQ(100, s.item->GetScrollPos(1));
    EXPECT_FALSE(s.item->stateFlags & kItemStateThumbDrag);
}

TEST_F(PageWindowScroll, TheRepeatingItemDestroyedBetweenTicks)
{
    Scrolled s;
    Open(s.window);
    s.Ready();
    display->Press(&s.window, 90, 95);
    display->Advance(250);
    display->Call([&] { s.item->Destroy(); });
    display->Advance(1000);
    display->Release(&s.window, 90, 95);
    Run();
    EXPECT_EQ(0u, s.window.GetRooter()->GetCounter());
    EXPECT_EQ(nullptr, s.window.GetCaptureItem());
}

} // namespace
