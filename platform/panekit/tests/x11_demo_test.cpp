// The demo tool under a private Xvfb: it echoes what xdotool types, shows the painted
// message box on a right click, and ends on the desktop's close request.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/devkit/tests/test_folder.h"
#include "platform/panekit/tests/x11_xvfb.h"
// Xlib last: its macros would reach the headers above.
#include "platform/panekit/x11/x11_xlib.h"

namespace {

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WaitFor(const std::string &path, const std::string &line, int seconds = 30)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (ReadFile(path).find(line + "\n") == std::string::npos) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// The window id xdotool finds for a title pattern, "" when none appears in time.
std::string FindWindow(const std::string &pattern)
{
    std::string id =
        XvfbServer::Output("timeout 30 xdotool search --sync --name '" + pattern + "' | head -n 1");
    while (!id.empty() && id.back() == '\n')
        id.pop_back();
    return id;
}

void RequestClose(const std::string &id)
{
    Display *display = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, display);
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(id);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
}

// The demo program as a child: ended by force if a test stops before it ends by itself.
class DemoChild
{
public:
    ~DemoChild()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    bool Start(const std::string &demo, const std::string &out)
    {
        m_pid = fork();
        if (m_pid == 0) {
            if (freopen(out.c_str(), "w", stdout) == nullptr)
                _exit(126);
            setenv("ZEP_PANEKIT_BACKEND", "x11", 1);
            execl(demo.c_str(), "panedemo", "--seconds", "120", static_cast<char *>(nullptr));
            _exit(127);
        }
        return m_pid > 0;
    }
    // Waits up to 30 seconds for the child to end; its exit code, -1 when it did not.
    int Wait()
    {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < until) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

private:
    pid_t m_pid = 0;
};

TEST(X11Demo, EchoesInputAndAnswersTheBox)
{
    XvfbServer server;
    ASSERT_TRUE(server.Start());
    const std::string out = zeptest::TestFile("demo.txt");
    std::string demo = ZEP_BINARY_DIR "/tools/panedemo/panedemo";
    ASSERT_EQ(0, access(demo.c_str(), X_OK)) << demo << " is not built";
    DemoChild child;
    ASSERT_TRUE(child.Start(demo, out));
    std::string id = FindWindow("^面板演示 Panekit demo$");
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(WaitFor(out, "backend x11"));
    EXPECT_EQ(0, XvfbServer::Run("xdotool windowfocus --sync " + id + " key a"));
    EXPECT_TRUE(WaitFor(out, "char U+0061 a")) << ReadFile(out);

    EXPECT_EQ(0, XvfbServer::Run("xdotool mousemove --window " + id + " 100 200 click 3"));
    std::string box = FindWindow("^面板演示$");
    ASSERT_FALSE(box.empty());
    EXPECT_EQ(0, XvfbServer::Run("xdotool windowfocus --sync " + box + " key Return"));
    EXPECT_TRUE(WaitFor(out, "box 1")) << ReadFile(out);

    RequestClose(id);
    EXPECT_TRUE(WaitFor(out, "end")) << ReadFile(out);
    EXPECT_EQ(0, child.Wait()) << "the demo did not end well";
}

} // namespace
