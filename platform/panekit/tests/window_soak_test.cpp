// A long random script over several windows: input, posts naming items that get
// destroyed, timers, nested loops with timeouts, windows destroyed and made again. The
// loop must end, never deliver to a freed item (the address sanitizer watches the
// reads) and keep each window's timer ticks in clock order.

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "window_fixture.h"

namespace {

struct Item
{
    int alive = 1234;
};

class SoakWindow : public RecordingWindow
{
public:
    uint64_t lastTick = 0;
    int ticksOutOfOrder = 0;
    int itemMessages = 0;
    int ticks = 0;
    int OnMessage(XMessage_t *message) override
    {
        if (message->item != nullptr) {
            EXPECT_EQ(1234, static_cast<Item *>(message->item)->alive);
            itemMessages++;
        }
        if (message->code == XMSG_TIMER) {
            uint64_t now = XVirtualDisplay::Get()->Now();
            ticksOutOfOrder += now < lastTick;
            ticks++;
            lastTick = now;
        }
        return 1;
    }
};

class Soak
{
public:
    explicit Soak(XVirtualDisplay *display) : m_display(display), m_random(20240611) {}

    void Run(int steps)
    {
        for (auto &window : m_windows)
            Reopen(window);
        for (int i = 0; i < steps; i++)
            AddStep();
        EXPECT_EQ(-7, Panekit::WaitForMessage(kWaitForever, -7));
        EXPECT_EQ(0u, m_display->GetPendingSteps());
        int itemMessages = 0, ticks = 0;
        for (auto &window : m_windows) {
            EXPECT_EQ(0, window->ticksOutOfOrder);
            itemMessages += window->itemMessages;
            ticks += window->ticks;
        }
        // The script really exercised posts and timers of live items.
        EXPECT_GT(itemMessages, 20);
        EXPECT_GT(ticks, 100);
    }

private:
    int Pick(int n) { return static_cast<int>(m_random() % static_cast<uint32_t>(n)); }

    void Reopen(std::unique_ptr<SoakWindow> &window)
    {
        window = std::make_unique<SoakWindow>();
        BOUND_t place = {0, 0, 120, 80};
        ASSERT_TRUE(window->Create(u"soak", &place));
    }

    SoakWindow *AnyWindow() { return m_windows[static_cast<size_t>(Pick(3))].get(); }

    void AddStep()
    {
        SoakWindow *window = AnyWindow();
        int32_t x = Pick(140) - 10, y = Pick(100) - 10;
        switch (Pick(12)) {
        case 0:
            m_display->Press(window, x, y, static_cast<uint32_t>(Pick(3)));
            break;
        case 1:
            m_display->Release(window, x, y, static_cast<uint32_t>(Pick(3)));
            break;
        case 2:
            m_display->Move(window, x, y);
            break;
        case 3:
            m_display->KeyDown(window, static_cast<uint32_t>(Pick(256)));
            break;
        case 4:
            m_display->TypeChar(window, static_cast<uint32_t>(m_random() % 0x110000));
            break;
        case 5:
            m_display->Advance(static_cast<uint64_t>(Pick(120)));
            break;
        case 6:
            m_display->Call([this] { PostAndTime(); });
            break;
        case 7:
            m_display->Call([this] { DestroyAnItem(); });
            break;
        case 8:
            m_display->Call([this] {
                if (m_depth < 3) {
                    m_depth++;
                    Panekit::WaitForMessage(static_cast<uint32_t>(Pick(300)), 0);
                    m_depth--;
                }
            });
            break;
        case 9:
            m_display->Call([this] {
                // Only nested loops are stopped; the outermost one must run the script out.
                if (m_depth > 0)
                    Panekit::StopForMessage(3);
            });
            break;
        case 10:
            m_display->Call([this] {
                // Windows are made again only from the outermost loop, so a nested loop
                // never loses the window whose steps it is running.
                if (m_depth == 0)
                    Reopen(m_windows[static_cast<size_t>(Pick(3))]);
            });
            break;
        default:
            m_display->Resize(window, 20 + Pick(200), 20 + Pick(200));
            break;
        }
    }

    void PostAndTime()
    {
        m_items.push_back(std::make_unique<Item>());
        Item *item = m_items.back().get();
        SoakWindow *window = AnyWindow();
        window->PostMessage(static_cast<uint32_t>(17 + Pick(3)), item, 1);
        window->SetTimer(item, static_cast<uint32_t>(1 + Pick(50)));
        window->SetTimer(static_cast<uintptr_t>(1 + Pick(20)), static_cast<uint32_t>(1 + Pick(90)));
    }

    void DestroyAnItem()
    {
        if (m_items.empty())
            return;
        size_t index = static_cast<size_t>(Pick(static_cast<int>(m_items.size())));
        for (auto &window : m_windows)
            window->DropItemMessages(m_items[index].get());
        m_items[index]->alive = 0;
        m_items.erase(m_items.begin() + static_cast<long>(index));
    }

    XVirtualDisplay *m_display;
    std::mt19937 m_random;
    std::unique_ptr<SoakWindow> m_windows[3];
    std::vector<std::unique_ptr<Item>> m_items;
    int m_depth = 0;
};

TEST_F(WindowTest, RandomScriptEndsAndNeverReachesAFreedItem)
{
    Soak soak(display);
    soak.Run(6000);
}

} // namespace
