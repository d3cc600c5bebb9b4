// The X11 backend on a private Xvfb server: what the window shows, input from xdotool,
// the clipboard against xclip, the close request and the window's names.
#include <cairo.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/devkit/native_path.h"
#include "platform/devkit/tests/scoped_env.h"
#include "platform/panekit/paint/paint_core.h"
#include "platform/panekit/paint/xpainter.h"
#include "platform/panekit/session/session.h"
#include "platform/panekit/tests/x11_session.h"
#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/window_backend.h"
#include "platform/panekit/window/xdraw_window.h"
// Xlib last: its macros (None, Status, True ...) would reach the headers above.
#include "platform/panekit/x11/x11_backend.h"

namespace {

const char16_t kTitle[] = u"测试窗口 Probe";

class ProbeWindow : public XDrawWindow
{
public:
    std::vector<XMessage_t> messages;
    int closeRequests = 0;
    int allowClose = 0;

    int stopOnPost = 0;

    std::function<void(const XMessage_t &)> onPosted;

    int OnMessage(XMessage_t *message) override
    {
        messages.push_back(*message);
        if (message->code == XMSG_POSTED && onPosted)
            onPosted(*message);
        if (message->code == XMSG_POSTED && stopOnPost && message->key != 1)
            Panekit::StopForMessage(static_cast<int>(message->key));
        return XDrawWindow::OnMessage(message);
    }
    int OnCloseWindow() override
    {
        ++closeRequests;
        return allowClose;
    }
    void OnPaintWindow(const BOUND_t *bound) override
    {
        XPaintDesc desc = {*bound, nullptr, nullptr};
        XPainter *painter = BeginPainter(&desc);
        if (painter == nullptr)
            return;
        BOUND_t all = {0, 0, 200, 120};
        painter->FillRect(&all, 0xFFFFFF);
        BOUND_t red = {10, 10, 40, 30};
        painter->FillRect(&red, 0x0000FF);
        BOUND_t green = {60, 10, 40, 30};
        painter->FillRect(&green, 0x00FF00);
        painter->SetTextColor(0x800000);
        painter->DrawTextLine(u"汉字 Text", -1, 10, 60);
        painter->DrawLine(0, 119, 199, 50);
        ClosePainter(&desc);
    }

    Window Handle() const { return static_cast<XX11Window *>(GetNative())->GetWindow(); }
    // Messages of one code, in order.
    std::vector<XMessage_t> Of(uint32_t code) const
    {
        std::vector<XMessage_t> out;
        for (const XMessage_t &m : messages) {
            if (m.code == code)
                out.push_back(m);
        }
        return out;
    }
};

class X11Window : public XvfbSuite
{
protected:
    void SetUp() override
    {
        BOUND_t place = {0, 0, 200, 120};
        ASSERT_TRUE(m_window.Create(kTitle, &place));
        ASSERT_TRUE(PumpUntil([this] { return !m_window.Of(XMSG_SIZE).empty(); }));
    }
    void TearDown() override { m_window.DestroyWindow(); }

    std::string Id() const { return std::to_string(m_window.Handle()); }
    // Gives the window the keyboard focus and waits until the layer saw it.
    void Focus()
    {
        ASSERT_EQ(0, XvfbServer::Run("xdotool windowfocus --sync " + Id()));
        ASSERT_TRUE(PumpUntil([this] { return !m_window.Of(XMSG_SETFOCUS).empty(); }));
    }

    ProbeWindow m_window;
};

// The RGB bytes of the window as the X server holds them.
std::string Screenshot(const std::string &id)
{
    return XvfbServer::Output("import -window " + id + " -depth 8 rgb:- 2>/dev/null");
}

// Count of pixels that differ between the shown surface and RGB bytes of the same size.
long Differences(cairo_surface_t *surface, const std::string &rgb)
{
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface);
    int height = cairo_image_surface_get_height(surface);
    if (rgb.size() != size_t(width) * height * 3)
        return -1;
    const unsigned char *data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    long differ = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, data + y * stride + x * 4, 4);
            const char *shot = rgb.data() + (size_t(y) * width + x) * 3;
            if (uint8_t(shot[0]) != ((pixel >> 16) & 0xFF) ||
                uint8_t(shot[1]) != ((pixel >> 8) & 0xFF) || uint8_t(shot[2]) != (pixel & 0xFF))
                ++differ;
        }
    }
    return differ;
}

TEST_F(X11Window, ScreenshotEqualsTheShownPicture)
{
    long differ = -2;
    ASSERT_TRUE(PumpUntil([&] {
        cairo_surface_t *shown = m_window.GetShownSurface();
        if (shown == nullptr)
            return false;
        // The server has all our requests once a second connection sees them in order.
        XSync(static_cast<XX11Backend *>(GetWindowBackend())->GetDisplay(), False);
        differ = Differences(shown, Screenshot(Id()));
        return differ == 0;
    })) << differ
        << " pixels differ";
    // The picture is the painted one, not a blank window.
    cairo_surface_t *shown = m_window.GetShownSurface();
    const unsigned char *data = cairo_image_surface_get_data(shown);
    uint32_t pixel;
    std::memcpy(&pixel, data + 20 * cairo_image_surface_get_stride(shown) + 20 * 4, 4);
    EXPECT_EQ(0xFFFF0000u, pixel); // red at 20, 20
}

std::string Describe(const std::vector<XMessage_t> &messages)
{
    std::string text;
    for (const XMessage_t &m : messages)
        text += std::to_string(m.code) + ":" + std::to_string(m.key) + " ";
    return text;
}

TEST_F(X11Window, KeysAndCharactersArrive)
{
    Focus();
    m_window.messages.clear();
    ASSERT_EQ(0, XvfbServer::Run("xdotool key --delay 20 a shift+b Return BackSpace Left"));
    // A character off the keyboard map is typed by mapping a spare key to it for a moment:
    // the loop must run meanwhile to read the key while it is mapped.
    std::atomic<bool> typed{false};
    std::thread typist([&] {
        XvfbServer::Run("xdotool type --delay 300 中");
        typed = true;
    });
    PumpUntil([&] { return typed.load(); });
    typist.join();
    ASSERT_TRUE(PumpUntil([this] {
        for (const XMessage_t &m : m_window.messages) {
            if (m.code == XMSG_CHAR && m.key == 0x4E2D)
                return true;
        }
        return false;
    })) << Describe(m_window.messages);
    std::vector<uint32_t> downs;
    for (const XMessage_t &m : m_window.Of(XMSG_KEYDOWN))
        downs.push_back(m.key);
    std::vector<uint32_t> expectedDowns = {65, 16, 66, 13, 8, 37};
    downs.resize(std::min(downs.size(), expectedDowns.size()));
    EXPECT_EQ(expectedDowns, downs);
    std::u16string text;
    for (const XMessage_t &m : m_window.Of(XMSG_CHAR))
        text.push_back(static_cast<char16_t>(m.key));
    EXPECT_EQ(u"aB\r\b中", text);
    // Shift was held for B: the key message says so.
    for (const XMessage_t &m : m_window.Of(XMSG_KEYDOWN)) {
        if (m.key == 66) {
            EXPECT_EQ(XMSG_STATE_SHIFT, m.flags & (XMSG_STATE_SHIFT | XMSG_STATE_CTRL));
        }
    }
    EXPECT_FALSE(m_window.Of(XMSG_KEYUP).empty());
}

TEST_F(X11Window, ClicksWheelAndMovesArrive)
{
    m_window.messages.clear();
    ASSERT_EQ(0, XvfbServer::Run("xdotool mousemove --window " + Id() +
                                 " 30 40 click 1 click 3 click 5 click 4 mousemove --window " +
                                 Id() + " 50 60"));
    ASSERT_TRUE(PumpUntil([this] {
        std::vector<XMessage_t> moves = m_window.Of(XMSG_MOUSEMOVE);
        return m_window.Of(XMSG_WHEEL).size() == 2 && !moves.empty() && moves.back().x == 50;
    }));
    std::vector<XMessage_t> downs = m_window.Of(XMSG_BUTTONDOWN);
    std::vector<XMessage_t> ups = m_window.Of(XMSG_BUTTONUP);
    ASSERT_EQ(2u, downs.size());
    ASSERT_EQ(2u, ups.size());
    EXPECT_EQ(XMSG_BUTTON_LEFT, downs[0].key);
    EXPECT_EQ(30, downs[0].x);
    EXPECT_EQ(40, downs[0].y);
    EXPECT_EQ(XMSG_BUTTON_RIGHT, downs[1].key);
    std::vector<XMessage_t> wheels = m_window.Of(XMSG_WHEEL);
    EXPECT_NE(0u, wheels[0].key); // button 5 turns towards the user
    EXPECT_EQ(0u, wheels[1].key);
    EXPECT_EQ(60, m_window.Of(XMSG_MOUSEMOVE).back().y);
}

int TakeText(void *context, uint32_t format, const void *data, uint32_t bytes)
{
    if (format != PANEKIT_CLIP_TEXT || bytes < 2)
        return 0;
    auto *text = static_cast<std::u16string *>(context);
    text->assign(static_cast<const char16_t *>(data), bytes / 2 - 1);
    return 1;
}

TEST_F(X11Window, ClipboardTextGoesBothWays)
{
    const char16_t copied[] = u"复制的 text";
    ASSERT_TRUE(m_window.SetClipboard(PANEKIT_CLIP_TEXT, copied, sizeof copied));
    // xclip asks while the loop runs, which answers the request.
    std::string pasted;
    std::atomic<bool> finished{false};
    std::thread reader([&] {
        pasted = XvfbServer::Output("timeout 20 xclip -o -selection clipboard");
        finished = true;
    });
    PumpUntil([&] { return finished.load(); });
    reader.join();
    EXPECT_EQ("复制的 text", pasted);

    ASSERT_EQ(0, XvfbServer::Run("printf '%s' '粘贴 paste' | timeout 20 xclip -i -selection "
                                 "clipboard -loops 1 &"));
    std::u16string text;
    ASSERT_TRUE(PumpUntil([&] {
        return m_window.GetClipboard(PANEKIT_CLIP_TEXT, &text, TakeText) && text == u"粘贴 paste";
    })) << devkit::Utf16ToUtf8(text.c_str());
}

TEST_F(X11Window, DeleteRequestAsksTheWindow)
{
    // A second client asks the window to close, as a window manager does.
    Display *other = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, other);
    auto request = [&] {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = m_window.Handle();
        event.xclient.message_type = XInternAtom(other, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(other, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(other, m_window.Handle(), False, NoEventMask, &event);
        XSync(other, False);
    };
    request();
    ASSERT_TRUE(PumpUntil([this] { return m_window.closeRequests == 1; }));
    EXPECT_TRUE(m_window.IsCreated()); // refused
    m_window.allowClose = 1;
    request();
    ASSERT_TRUE(PumpUntil([this] { return !m_window.IsCreated(); }));
    EXPECT_EQ(2, m_window.closeRequests);
    XCloseDisplay(other);
}

TEST_F(X11Window, FoundByItsChineseTitle)
{
    std::string found = XvfbServer::Output("xdotool search --name '测试窗口'");
    EXPECT_EQ(Id() + "\n", found);
    // Both names are set: _NET_WM_NAME as UTF-8 and WM_NAME for older desktops.
    std::string net = XvfbServer::Output("xprop -id " + Id() + " _NET_WM_NAME");
    EXPECT_NE(std::string::npos, net.find("\"测试窗口 Probe\"")) << net;
    std::string old = XvfbServer::Output("xprop -id " + Id() + " WM_NAME");
    EXPECT_NE(std::string::npos, old.find("WM_NAME")) << old;
    EXPECT_EQ(std::string::npos, old.find("not found")) << old;
    m_window.SetTitle(u"新标题");
    std::string renamed;
    EXPECT_TRUE(PumpUntil([&] {
        renamed = XvfbServer::Output("xdotool search --name '^新标题$'");
        return !renamed.empty();
    }));
    EXPECT_EQ(Id() + "\n", renamed);
}

TEST_F(X11Window, WorkAreaIsTheScreenWithoutPanels)
{
    BOUND_t area = {};
    ASSERT_TRUE(GetDesktopWorkArea(&area));
    EXPECT_EQ(0, area.x);
    EXPECT_EQ(0, area.y);
    EXPECT_EQ(1024, area.width);
    EXPECT_EQ(768, area.height);
    // A desktop that publishes a work area is believed.
    ASSERT_EQ(0, XvfbServer::Run("xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "
                                 "'0, 24, 1024, 700'"));
    ASSERT_TRUE(GetDesktopWorkArea(&area));
    EXPECT_EQ(24, area.y);
    EXPECT_EQ(700, area.height);
    XvfbServer::Run("xprop -root -remove _NET_WORKAREA");
}

TEST_F(X11Window, PostsFromAnotherThreadAndTimersWakeTheLoop)
{
    // The poster waits until the loop has taken a first message, so the second one
    // reaches a loop that is waiting rather than one yet to start.
    m_window.stopOnPost = 1;
    std::atomic<bool> looping{false};
    m_window.onPosted = [&](const XMessage_t &m) {
        if (m.key == 1)
            looping = true;
    };
    ASSERT_TRUE(m_window.PostMessage(1, nullptr, 0));
    std::thread poster([&] {
        while (!looping.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        m_window.PostMessage(4899, nullptr, 7);
    });
    auto start = std::chrono::steady_clock::now();
    int code = Panekit::WaitForMessage(60000);
    auto waited = std::chrono::steady_clock::now() - start;
    poster.join();
    EXPECT_EQ(4899, code);
    EXPECT_LT(waited, std::chrono::seconds(30)); // woken, not timed out
    ASSERT_FALSE(m_window.Of(XMSG_POSTED).empty());
    EXPECT_EQ(7u, m_window.Of(XMSG_POSTED).back().value);

    ASSERT_TRUE(m_window.SetTimer(uintptr_t(3), 30));
    ASSERT_TRUE(PumpUntil([this] { return m_window.Of(XMSG_TIMER).size() >= 3; }));
    EXPECT_EQ(3u, m_window.Of(XMSG_TIMER).front().key);
    m_window.KillTimer(uintptr_t(3));
}

TEST_F(X11Window, SecondQuickPressIsADoubleClick)
{
    m_window.messages.clear();
    ASSERT_EQ(0, XvfbServer::Run("xdotool mousemove --window " + Id() +
                                 " 20 20 click --repeat 2 --delay 50 1"));
    ASSERT_TRUE(PumpUntil([this] { return m_window.Of(XMSG_BUTTONUP).size() == 2; }));
    EXPECT_EQ(1u, m_window.Of(XMSG_BUTTONDOWN).size());
    EXPECT_EQ(1u, m_window.Of(XMSG_DBLCLICK).size());
}

} // namespace
