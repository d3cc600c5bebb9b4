#pragma once
// What the tests that run windows on a real X server share: a suite that starts a private
// Xvfb and selects the X11 backend for all its tests, and a loop that runs until a
// condition holds.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "platform/devkit/tests/scoped_env.h"
#include "platform/panekit/tests/x11_xvfb.h"
#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/window_backend.h"

// Runs the loop until done() holds or the time is up (the machine may be loaded).
inline bool PumpUntil(const std::function<bool()> &done, int ms = 20000)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        Panekit::WaitForMessage(50);
    }
    return true;
}

// One server for the suite: starting Xvfb per test would cost seconds each.
class XvfbSuite : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_backend = new ScopedEnv("ZEP_PANEKIT_BACKEND", "x11");
        s_server = new XvfbServer;
        ASSERT_TRUE(s_server->Start());
        ASSERT_NE(nullptr, GetWindowBackend());
        ASSERT_STREQ("x11", GetWindowBackend()->GetName());
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
        delete s_backend;
        s_backend = nullptr;
    }

    static inline XvfbServer *s_server = nullptr;
    static inline ScopedEnv *s_backend = nullptr;
};
