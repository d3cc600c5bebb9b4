// An edit in a window on a private Xvfb server: xdotool types ASCII and Chinese into it,
// and what Ctrl+A, Ctrl+C copy reads back through xclip.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "pagekit/core/page_edit.h"
#include "pagekit/core/page_window.h"
#include "pagekit/core/tests/style_util.h"
#include "platform/panekit/tests/x11_session.h"
// Xlib last: its macros would reach the headers above.
#include "platform/panekit/x11/x11_backend.h"

namespace {

class EditX11 : public XvfbSuite
{
};

std::u16string TextOf(XPageEdit *edit)
{
    std::u16string out(edit->GetItemText(nullptr, 0) + 1, u'#');
    out.resize(edit->GetItemText(out.data(), static_cast<unsigned>(out.size())));
    return out;
}

TEST_F(EditX11, TypedTextAndTheCopyReadBack)
{
    XPageWindow window;
    auto *edit = new XPageEdit;
    const BOUND_t at = {10, 10, 200, 24};
    edit->MovePlace(&at, 0);
    window.GetRooter()->AddItem(edit);
    const BOUND_t place = {0, 0, 240, 60};
    ASSERT_TRUE(window.Create(u"输入", &place));
    ASSERT_TRUE(PumpUntil([&] { return window.GetRooter()->place.width == 240; }));
    const std::string id =
        std::to_string(static_cast<XX11Window *>(window.GetNative())->GetWindow());
    ASSERT_EQ(0, XvfbServer::Run("xdotool windowfocus --sync " + id));
    window.SetFocusItem(edit);
    PumpUntil([] { return false; }, 200);

    // xdotool runs beside the loop, which takes the keys as they come.
    std::atomic<bool> typed{false};
    std::thread typist([&] {
        XvfbServer::Run("xdotool type --delay 30 --window " + id + " 'abc 中文'");
        typed = true;
    });
    const bool done = PumpUntil([&] { return typed.load() && TextOf(edit) == u"abc 中文"; });
    typist.join();
    EXPECT_TRUE(done) << Utf8(TextOf(edit).c_str());

    std::atomic<bool> keyed{false};
    std::thread keys([&] {
        XvfbServer::Run("xdotool key --delay 50 --window " + id + " ctrl+a ctrl+c");
        keyed = true;
    });
    PumpUntil([&] {
        unsigned caret = 0, anchor = 0;
        edit->GetChoice(&caret, &anchor);
        return keyed.load() && caret != anchor;
    });
    keys.join();
    PumpUntil([] { return false; }, 300);
    std::string pasted;
    std::atomic<bool> finished{false};
    std::thread reader([&] {
        pasted = XvfbServer::Output("timeout 20 xclip -o -selection clipboard");
        finished = true;
    });
    PumpUntil([&] { return finished.load(); });
    reader.join();
    EXPECT_EQ("abc 中文", pasted);
    window.DestroyWindow();
}

} // namespace
