// Backend selection: the environment variable forces a backend; selecting by name is
// refused while windows are alive or for a backend nobody registered.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/devkit/tests/scoped_env.h"
#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/window_backend.h"

namespace {

int FakeMade = 0;

XWindowBackend *MakeNothing()
{
    FakeMade++;
    return nullptr;
}

TEST(WindowSelect, EnvironmentForcesTheBackendAndNamesSelectLater)
{
    // Before the first use, so selection reads it.
    ScopedEnv forced("ZEP_PANEKIT_BACKEND", "virtual");
    RegisterWindowBackend("unavailable", 100, &MakeNothing);
    XWindowBackend *backend = GetWindowBackend();
    ASSERT_NE(backend, nullptr);
    EXPECT_STREQ("virtual", backend->GetName());
    EXPECT_EQ(0, FakeMade); // forced: higher priorities are not tried
    EXPECT_EQ(backend, GetWindowBackend());

    EXPECT_EQ(0, SelectWindowBackend("unavailable"));
    EXPECT_EQ(1, FakeMade);
    EXPECT_EQ(0, SelectWindowBackend("no such backend"));
    EXPECT_EQ(0, SelectWindowBackend(nullptr));
    EXPECT_EQ(backend, GetWindowBackend());

    Panekit window;
    BOUND_t place = {0, 0, 10, 10};
    ASSERT_TRUE(window.Create(u"w", &place));
    EXPECT_EQ(0, SelectWindowBackend("virtual"));
    window.DestroyWindow();
    EXPECT_EQ(1, SelectWindowBackend("virtual"));
}

TEST(WindowSelect, CreateRefusesEmptySizes)
{
    Panekit window;
    BOUND_t empty = {0, 0, 0, 10};
    EXPECT_EQ(0, window.Create(u"w", &empty));
    EXPECT_FALSE(window.IsCreated());
    EXPECT_EQ(0u, window.GetWindowId());
    ASSERT_TRUE(window.Create(nullptr, nullptr));
    BOUND_t place;
    window.GetWindowPlace(&place);
    EXPECT_EQ(640, place.width);
    EXPECT_EQ(480, place.height);
    EXPECT_EQ(0, window.GetTitle()[0]);
}

} // namespace
