// A combo in a window on a private Xvfb server: an xdotool click opens its drop list and a
// second click picks an entry.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "pagekit/core/page_combo.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/tests/x11_session.h"
// Xlib last: its macros would reach the headers above.
#include "platform/panekit/x11/x11_backend.h"

namespace {

class ComboX11 : public XvfbSuite
{
};

constexpr int kThirdY = 74;

TEST_F(ComboX11, AClickOpensTheListAndAnotherPicks)
{
    XPageWindow window;
    auto *combo = new XPageCombo;
    combo->extraFlags |= 1; // any press opens the list
    combo->SetItemMapper(u"1;One\n2;Two\n3;Three");
    const BOUND_t at = {10, 10, 150, 24};
    combo->MovePlace(&at, 0);
    window.GetRooter()->AddItem(combo);
    const BOUND_t place = {0, 0, 240, 200};
    ASSERT_TRUE(window.Create(u"组合框", &place));
    ASSERT_TRUE(PumpUntil([&] { return window.GetRooter()->place.width == 240; }));
    const std::string id =
        std::to_string(static_cast<XX11Window *>(window.GetNative())->GetWindow());
    ASSERT_EQ(0, XvfbServer::Run("xdotool windowfocus --sync " + id));
    PumpUntil([] { return false; }, 200);

    // The list opens below the combo in a loop of its own: a second client clicks the
    // combo, waits for the list, then clicks the middle of its last entry (at 34 + 16 x 2.5
    // with 16-pixel entries).
    std::thread user([&] {
        XvfbServer::Run("xdotool mousemove --window " + id + " 40 20 click 1");
        XvfbServer::Run("sleep 1");
        XvfbServer::Run("xdotool mousemove --window " + id + " 40 " + std::to_string(kThirdY) +
                        " click 1");
    });
    const bool picked = PumpUntil([&] { return combo->GetCurSel() >= 0; });
    user.join();
    EXPECT_TRUE(picked);
    EXPECT_EQ(2, combo->GetCurSel());
    window.DestroyWindow();
}

} // namespace
