// A menu on a private Xvfb server, driven by xdotool: Escape closes it without choice, the
// access letter chooses. The keys are sent again until the menu has taken one, so that a
// key arriving before the menu is shown changes nothing.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "pagekit/core/item_selector.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/tests/x11_session.h"
// Xlib last: its macros would reach the headers above.
#include "platform/panekit/x11/x11_backend.h"

namespace {

class SelectorX11 : public XvfbSuite
{
};

// Presses key with xdotool every 200 ms until stop is set.
class KeyRepeater
{
public:
    explicit KeyRepeater(const std::string &key)
        : m_thread([this, key] {
              while (!m_stop) {
                  XvfbServer::Run("xdotool key " + key);
                  std::this_thread::sleep_for(std::chrono::milliseconds(200));
              }
          })
    {
    }
    ~KeyRepeater()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

TEST_F(SelectorX11, EscapeClosesAndTheLetterChooses)
{
    XPageWindow window;
    auto *hoster = new XPageItem;
    const BOUND_t at = {20, 20, 100, 20};
    hoster->MovePlace(&at, 0);
    window.GetRooter()->AddItem(hoster);
    const BOUND_t place = {0, 0, 240, 160};
    ASSERT_TRUE(window.Create(u"菜单", &place));
    bool sized = false;
    ASSERT_TRUE(PumpUntil([&] {
        sized = window.GetRooter()->place.width == 240;
        return sized;
    }));
    const std::string id =
        std::to_string(static_cast<XX11Window *>(window.GetNative())->GetWindow());
    ASSERT_EQ(0, XvfbServer::Run("xdotool windowfocus --sync " + id));
    PumpUntil([] { return false; }, 200);

    XMenuItem entries[3];
    SetupMenuItem(&entries[0], 1, 0, u"&Open");
    SetupMenuItem(&entries[1], 2, 0, u"&Save\tCtrl+S");
    SetupMenuItem(&entries[2], 3, 0, u"E&xit");
    {
        KeyRepeater escape("Escape");
        EXPECT_EQ(0u, PopupMenubar(hoster, entries, 3));
    }
    EXPECT_EQ(nullptr, window.GetPageFloater());
    {
        KeyRepeater letter("s");
        EXPECT_EQ(2u, PopupMenubar(hoster, entries, 3));
    }
    window.DestroyWindow();
}

} // namespace
