// The message loop: timers on the fake clock, nested loops and their ends, posted
// messages from other threads, dropping an item's messages, close requests, boxes.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "window_fixture.h"

namespace {

using LoopTest = WindowTest;

// Times (relative to start) at which the window saw timer ticks of a key.
std::vector<uint64_t> TickTimes(const RecordingWindow &window, uint64_t start, uint32_t key,
                                const void *item)
{
    std::vector<uint64_t> times;
    for (const RecordedMessage &entry : window.received) {
        if (entry.message.code == XMSG_TIMER && entry.message.key == key &&
            entry.message.item == item)
            times.push_back(entry.time - start);
    }
    return times;
}

TEST_F(LoopTest, TimersTickOnTheFakeClock)
{
    RecordingWindow window;
    Open(window);
    int item = 0;
    uint64_t start = display->Now();
    ASSERT_TRUE(window.SetTimer(17, 100));
    ASSERT_TRUE(window.SetTimer(&item, 150));
    display->Advance(350);
    display->Call([&] { EXPECT_TRUE(window.KillTimer(17)); });
    display->Advance(200);
    EXPECT_EQ(0, Panekit::WaitForMessage());
    EXPECT_EQ((std::vector<uint64_t>{100, 200, 300}), TickTimes(window, start, 17, nullptr));
    EXPECT_EQ((std::vector<uint64_t>{150, 300, 450}), TickTimes(window, start, 0, &item));
    EXPECT_EQ(start + 550, display->Now());
    EXPECT_FALSE(window.KillTimer(17));
    EXPECT_TRUE(window.KillTimer(&item));
}

TEST_F(LoopTest, RestartingATimerMovesItsNextTick)
{
    RecordingWindow window;
    Open(window);
    uint64_t start = display->Now();
    window.SetTimer(18, 500);
    display->Advance(300);
    display->Call([&] { window.SetTimer(18, 500); });
    display->Advance(1000);
    Panekit::WaitForMessage();
    EXPECT_EQ((std::vector<uint64_t>{800, 1300}), TickTimes(window, start, 18, nullptr));
}

TEST_F(LoopTest, NestedWaitWithTimeoutReturnsAfterExactlyThatTime)
{
    RecordingWindow window;
    Open(window);
    window.SetTimer(1, 40);
    uint64_t start = display->Now();
    uint64_t innerEnd = 0;
    int innerCode = -1;
    display->Call([&] {
        innerCode = Panekit::WaitForMessage(250, 9);
        innerEnd = display->Now();
    });
    EXPECT_EQ(9, Panekit::WaitForMessage(kWaitForever, 9));
    EXPECT_EQ(0, innerCode);
    EXPECT_EQ(start + 250, innerEnd);
    // Ticks kept coming while the inner loop waited; the outer loop then ran out.
    EXPECT_EQ((std::vector<uint64_t>{40, 80, 120, 160, 200, 240}),
              TickTimes(window, start, 1, nullptr));
}

TEST_F(LoopTest, StopForMessageEndsTheInnermostWaitWithItsCode)
{
    RecordingWindow window;
    Open(window);
    std::vector<int> codes;
    // The inner loop runs the steps after the one that started it.
    display->Call([&] { codes.push_back(Panekit::WaitForMessage(8000)); });
    display->Call([&] { EXPECT_TRUE(Panekit::StopForMessage(5)); });
    display->Call([&] { Panekit::StopForMessage(6); });
    display->Call([] { ADD_FAILURE() << "the outer loop went on after its stop"; });
    EXPECT_EQ(6, Panekit::WaitForMessage(kWaitForever, 2));
    EXPECT_EQ((std::vector<int>{5}), codes);
    EXPECT_EQ(0, Panekit::StopForMessage(1));
}

TEST_F(LoopTest, LoopsThatRunOutOfScriptEndWithTheirCancelCode)
{
    RecordingWindow window;
    Open(window);
    window.SetTimer(3, 10); // a timer alone does not keep an unbounded loop alive
    display->Click(&window, 1, 1);
    EXPECT_EQ(-4, Panekit::WaitForMessage(kWaitForever, -4));
    EXPECT_EQ(2u, window.received.size());
    EXPECT_EQ(11, window.PopupWindow(11));
    EXPECT_EQ(0, window.EndMessageLoop(1));
    RecordingWindow never;
    EXPECT_EQ(12, never.PopupWindow(12));
}

TEST_F(LoopTest, PostedMessagesArriveAsCode47InOrder)
{
    RecordingWindow window;
    Open(window);
    int a = 0, b = 0;
    ASSERT_TRUE(window.PostMessage(17, &a, 100));
    ASSERT_TRUE(window.PostMessage(8, &b, 200));
    ASSERT_TRUE(window.PostMessage(0, nullptr, 0)); // only asks for a paint cycle
    Panekit::WaitForMessage();
    ASSERT_EQ(2u, window.received.size());
    const XMessage_t &first = window.received[0].message;
    EXPECT_EQ(47u, first.code);
    EXPECT_EQ(17u, first.key);
    EXPECT_EQ(&a, first.item);
    EXPECT_EQ(100u, first.value);
    EXPECT_EQ(8u, window.received[1].message.key);
    EXPECT_EQ(&b, window.received[1].message.item);
    RecordingWindow closed;
    EXPECT_EQ(0, closed.PostMessage(17, nullptr, 0));
}

TEST_F(LoopTest, PostFromAnotherThreadWakesTheLoop)
{
    RecordingWindow window;
    Open(window);
    // A loop that is never woken waits out the idle time before it ends; woken, it ends
    // at once. The poster starts once the loop has taken a first message, so its posts
    // reach a running loop.
    display->SetIdleWait(60000);
    std::atomic<bool> looping{false};
    window.onMessage = [&](XMessage_t *m) {
        if (m->code == XMSG_POSTED && m->key == 98)
            looping = true;
        if (m->code == XMSG_POSTED && m->key == 99)
            Panekit::StopForMessage(static_cast<int>(m->value));
    };
    ASSERT_TRUE(window.PostMessage(98, nullptr, 0));
    auto started = std::chrono::steady_clock::now();
    std::thread poster([&] {
        while (!looping.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        for (uintptr_t i = 0; i < 100; i++)
            window.PostMessage(20, nullptr, i);
        window.PostMessage(99, nullptr, 42);
    });
    int code = Panekit::WaitForMessage(kWaitForever, -1);
    poster.join();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(42, code);
    EXPECT_LT(seconds, 30.0);
    std::vector<XMessage_t> posted = window.Of(XMSG_POSTED);
    ASSERT_EQ(102u, posted.size());
    for (uintptr_t i = 0; i < 100; i++)
        EXPECT_EQ(i, posted[i + 1].value);
}

struct Item
{
    int value = 5;
};

TEST_F(LoopTest, DestroyedItemGetsNoPendingPostsOrTimers)
{
    RecordingWindow window;
    Open(window);
    auto doomed = std::make_unique<Item>();
    Item kept;
    void *doomedAddress = doomed.get();
    window.onMessage = [&](XMessage_t *m) {
        // Reading the item catches a delivery to a freed one under the address sanitizer.
        if (m->item != nullptr) {
            EXPECT_EQ(5, static_cast<Item *>(m->item)->value);
        }
    };
    display->Call([&] {
        window.PostMessage(17, doomed.get(), 1);
        window.PostMessage(17, &kept, 2);
        window.SetTimer(doomed.get(), 10);
        window.SetTimer(&kept, 10);
        window.PostMessage(30, &kept, 3);
        window.PostMessage(17, doomed.get(), 4);
        window.DropItemMessages(doomed.get());
        doomed.reset();
    });
    display->Advance(35);
    Panekit::WaitForMessage();
    for (const RecordedMessage &entry : window.received)
        EXPECT_NE(doomedAddress, entry.message.item) << entry.message.code;
    EXPECT_EQ(2u, window.Of(XMSG_POSTED).size());
    EXPECT_EQ(3u, window.Of(XMSG_TIMER).size());
}

TEST_F(LoopTest, DroppingInTheMiddleOfABatchDropsTheRest)
{
    RecordingWindow window;
    Open(window);
    auto doomed = std::make_unique<Item>();
    Item kept;
    window.onMessage = [&](XMessage_t *m) {
        if (m->item != nullptr) {
            EXPECT_EQ(5, static_cast<Item *>(m->item)->value);
        }
        if (m->item == &kept && m->value == 1) {
            window.DropItemMessages(doomed.get());
            doomed.reset();
        }
    };
    window.PostMessage(17, &kept, 1);
    window.PostMessage(17, doomed.get(), 2);
    window.PostMessage(17, &kept, 3);
    Panekit::WaitForMessage();
    ASSERT_EQ(2u, window.received.size());
    EXPECT_EQ(3u, window.received[1].message.value);
}

TEST_F(LoopTest, DestroyedWindowGetsNothingMoreAndEndsItsPopup)
{
    auto window = std::make_unique<RecordingWindow>();
    Open(*window);
    RecordingWindow other;
    Open(other);
    window->PostMessage(17, nullptr, 0);
    window->SetTimer(2, 5);
    display->Click(window.get(), 1, 1);
    display->Call([&] { window.reset(); });
    display->Advance(20);
    display->Click(&other, 1, 1);
    EXPECT_EQ(0, Panekit::WaitForMessage());
    EXPECT_EQ((std::vector<uint32_t>{18, 17}), other.Codes());

    RecordingWindow dialog;
    Open(dialog);
    display->Call([&] { dialog.DestroyWindow(); });
    display->Call([] { ADD_FAILURE() << "the popup loop outlived its window"; });
    EXPECT_EQ(-2, dialog.PopupWindow(-2));
}

TEST_F(LoopTest, CloseRequestsAskTheWindow)
{
    RecordingWindow window;
    Open(window);
    int asked = 0;
    window.onClose = [&] { return ++asked == 2; };
    display->Close(&window);
    display->Call([&] { EXPECT_TRUE(window.IsCreated()); });
    display->Close(&window);
    Panekit::WaitForMessage();
    EXPECT_EQ(2, asked);
    EXPECT_FALSE(window.IsCreated());
}

TEST_F(LoopTest, MainFrameGoneEndsEveryLoop)
{
    RecordingWindow frame, other;
    Open(frame);
    Open(other);
    Panekit::SetMainFrame(&frame);
    int inner = -1;
    display->Call([&] {
        display->Call([&] { frame.DestroyWindow(); });
        display->Call([] { ADD_FAILURE() << "a loop went on after the main frame went"; });
        inner = Panekit::WaitForMessage(kWaitForever, 4);
    });
    EXPECT_EQ(3, Panekit::WaitForMessage(kWaitForever, 3));
    EXPECT_EQ(4, inner);
    EXPECT_EQ(nullptr, Panekit::GetMainFrame());
    EXPECT_EQ(1u, display->GetPendingSteps());
    display->Reset();
}

TEST_F(LoopTest, OutermostLoopEndsWhenEveryWindowIsGone)
{
    EXPECT_EQ(8, Panekit::WaitForMessage(kWaitForever, 8));
    RecordingWindow window;
    Open(window);
    display->SetIdleWait(60000); // ending by the idle time would take a minute
    display->Call([&] { window.DestroyWindow(); });
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(8, Panekit::WaitForMessage(kWaitForever, 8));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
              30.0);
}

TEST_F(LoopTest, MessageBoxesAnswerFromTheScript)
{
    RecordingWindow window;
    Open(window);
    struct Case
    {
        uint32_t flags;
        int queued; // -100: no answer queued
        int answer;
    };
    const Case cases[] = {
        {34, 1, 1},      {34, 0, 0},   {0x22, -100, 0}, {0x11, -100, 0},
        {0x10, -100, 1}, {0, -100, 1}, {1, 1, 1},
    };
    for (const Case &c : cases) {
        if (c.queued != -100)
            display->AnswerBox(c.queued);
        EXPECT_EQ(c.answer, window.MessageBox(u"确定删除吗？", u"提示", c.flags)) << c.flags;
    }
    ASSERT_EQ(std::size(cases), display->GetBoxes().size());
    EXPECT_EQ(u"确定删除吗？", display->GetBoxes()[0].text);
    EXPECT_EQ(u"提示", display->GetBoxes()[0].caption);
    EXPECT_EQ(34u, display->GetBoxes()[0].flags);
}

TEST_F(LoopTest, IdleDisposeRunsWhenTheQueueEmpties)
{
    struct IdleWindow : RecordingWindow
    {
        int idles = 0;
        void OnIdleDispose() override { idles++; }
    } window;
    Open(window);
    window.idles = 0;
    display->Click(&window, 1, 1);
    Panekit::WaitForMessage();
    EXPECT_GE(window.idles, 1);
    EXPECT_EQ(2u, window.received.size());
}

} // namespace
