#pragma once
// A drawing window that records what reaches it, and a fixture that installs the
// virtual display, for the window layer's tests.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/panekit/virtual/virtual_display.h"
#include "platform/panekit/window/xdraw_window.h"

struct RecordedMessage
{
    XMessage_t message;
    uint64_t time;
};

class RecordingWindow : public XDrawWindow
{
public:
    std::vector<RecordedMessage> received;
    std::function<void(XMessage_t *)> onMessage;
    std::function<int()> onClose;
    std::vector<BOUND_t> painted;
    std::function<void(const BOUND_t *)> onPaint;

    int OnMessage(XMessage_t *message) override
    {
        received.push_back({*message, XVirtualDisplay::Get()->Now()});
        if (onMessage)
            onMessage(message);
        return 1;
    }
    int OnCloseWindow() override { return onClose ? onClose() : 1; }
    void OnPaintWindow(const BOUND_t *bound) override
    {
        painted.push_back(*bound);
        if (onPaint)
            onPaint(bound);
    }

    // Received messages of one code.
    std::vector<XMessage_t> Of(uint32_t code) const
    {
        std::vector<XMessage_t> out;
        for (const RecordedMessage &entry : received) {
            if (entry.message.code == code)
                out.push_back(entry.message);
        }
        return out;
    }
    std::vector<uint32_t> Codes() const
    {
        std::vector<uint32_t> out;
        for (const RecordedMessage &entry : received)
            out.push_back(entry.message.code);
        return out;
    }
};

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        display = XVirtualDisplay::Install();
        ASSERT_NE(display, nullptr);
    }

    // A created 200 x 100 window whose creation messages have been delivered.
    void Open(RecordingWindow &window, uint32_t style = 0)
    {
        BOUND_t place = {10, 20, 200, 100};
        ASSERT_TRUE(window.Create(u"测试窗口", &place, nullptr, nullptr, style));
        Panekit::WaitForMessage();
        window.received.clear();
    }

    XVirtualDisplay *display = nullptr;
};
