// The keyboard walk of page_form_walk_test.cpp in an X11 window on a private Xvfb server
// (started and ended by its process id), driven by xdotool: the same focus sequence, and
// what the server shows (import -window) equals the window's own picture.

#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

#include "pagekit/core/tests/page_form_walk.h"
#include "platform/devkit/tests/scoped_env.h"
#include "platform/panekit/tests/x11_session.h"

namespace {

// Lets the loop run for a while (paints and presents what is pending).
void Settle(int ms)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until)
        Panekit::WaitForMessage(20);
}

std::string Trim(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

TEST(FormWalkX11, XdotoolReachesTheSameFocusAndTheServerShowsTheSamePicture)
{
    ScopedEnv backend("ZEP_PANEKIT_BACKEND", "x11");
    XvfbServer server;
    ASSERT_TRUE(server.Start());
    ASSERT_NE(nullptr, GetWindowBackend());
    ASSERT_STREQ("x11", GetWindowBackend()->GetName());

    char pattern[] = "/tmp/page_form_x11_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    const std::string folder = pattern;
    {
        WalkForm form;
        const BOUND_t place = {0, 0, kWalkWidth, kWalkHeight};
        ASSERT_TRUE(form.window.Create(u"FormWalkProbe", &place));
        const std::string id = Trim(XvfbServer::Output(
            "timeout 30 xdotool search --sync --name FormWalkProbe | head -n 1"));
        ASSERT_FALSE(id.empty());
        Settle(200);
        ASSERT_EQ(0, XvfbServer::Run("xdotool windowfocus --sync " + id));
        Settle(200);
        for (const WalkStep &step : kWalkSteps) {
            std::string command;
            if (step.click != nullptr) {
                const POINT_t at = form.Middle(step.click);
                command = "xdotool mousemove --window " + id + " " + std::to_string(at.x) + " " +
                          std::to_string(at.y) + " click 1";
            } else {
                command = std::string("xdotool key --window ") + id + " " + step.key;
            }
            ASSERT_EQ(0, XvfbServer::Run(command)) << command;
            Settle(60);
        }
        const size_t want = ExpectedWalk().size();
        EXPECT_TRUE(PumpUntil([&] { return form.FocusSequence().size() >= want; }, 30000));
        Settle(300);
        EXPECT_EQ(ExpectedWalk(), form.FocusSequence());

        const std::string ours = folder + "/ours.png";
        const std::string theirs = folder + "/theirs.png";
        ASSERT_EQ(CAIRO_STATUS_SUCCESS,
                  cairo_surface_write_to_png(form.window.GetShownSurface(), ours.c_str()));
        ASSERT_EQ(0, XvfbServer::Run("import -window " + id + " '" + theirs + "'"));
        const std::string ae = Trim(
            XvfbServer::Output("compare -metric AE '" + ours + "' '" + theirs + "' null: 2>&1"));
        EXPECT_EQ("0", ae);
        form.window.DestroyWindow();
    }
    XvfbServer::Run("rm -rf '" + folder + "'");
    server.Stop();
}

} // namespace
