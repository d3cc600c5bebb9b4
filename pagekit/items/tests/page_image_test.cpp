// The image item's animation on the fake clock: a three-frame GIF made by ImageMagick
// steps through its frames with the delays identify reads from it, and the window's
// timer 17 runs only while an image is registered.

#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/items/page_image.h"
#include "platform/panekit/icon/resc_helper.h"

namespace {

std::string Shell(const std::string &command)
{
    std::string out;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr)
        out += buf;
    pclose(pipe);
    return out;
}

class TempFolder
{
public:
    TempFolder()
    {
        char pattern[] = "/tmp/page_image_XXXXXX";
        const char *made = mkdtemp(pattern);
        m_path = made != nullptr ? made : "";
    }
    ~TempFolder()
    {
        if (!m_path.empty())
            Shell("rm -rf '" + m_path + "'");
    }
    const std::string &Path() const { return m_path; }

private:
    std::string m_path;
};

std::u16string Wide(const std::string &text)
{
    return std::u16string(text.begin(), text.end());
}

uint32_t PixelAt(cairo_surface_t *surface, int x, int y)
{
    cairo_surface_flush(surface);
    const unsigned char *data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    return *reinterpret_cast<const uint32_t *>(data + y * stride + x * 4) & 0xFFFFFF;
}

using ImageAnimation = PageWindowTest;

TEST_F(ImageAnimation, StepsThroughTheFramesWithTheirDelays)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string gif = folder.Path() + "/anim.gif";
    ASSERT_EQ(0, std::system(("convert -size 8x8 -delay 10 xc:'#ff0000' -delay 20 xc:'#00ff00' "
                              "-delay 30 xc:'#0000ff' -loop 0 '" +
                              gif + "'")
                                 .c_str()));
    // identify gives the delays in hundredths of a second.
    std::istringstream delays(Shell("identify -format '%T\\n' '" + gif + "'"));
    std::vector<uint32_t> ms;
    for (uint32_t cs; delays >> cs;)
        ms.push_back(cs * 10);
    ASSERT_EQ((std::vector<uint32_t>{100, 200, 300}), ms);

    XPageWindow window;
    window.GetRooter()->GetRescHelper()->SetImageFolder(Wide(folder.Path()).c_str());
    auto *image = Placed(new XPageImage, 10, 10, 40, 40);
    image->SetImageFile(u"anim.gif");
    window.GetRooter()->AddItem(image);
    Open(window);
    ASSERT_EQ(3, image->GetFrameCount());
    EXPECT_EQ(1u, window.GetImageCount());

    // The frame each 100 ms tick should show, from the delays alone.
    std::vector<int> want, seen, colours;
    int frame = 0;
    uint32_t elapsed = 0;
    for (int tick = 0; tick < 14; ++tick) {
        elapsed += 100;
        if (elapsed >= ms[frame]) {
            frame = (frame + 1) % 3;
            elapsed = 0;
        }
        want.push_back(frame);
        display->Advance(100);
        display->Call([&] {
            seen.push_back(image->GetCurrentFrame());
            const uint32_t pixel = PixelAt(display->GetWindowSurface(&window), 30, 30);
            colours.push_back(pixel == 0xFF0000   ? 0
                              : pixel == 0x00FF00 ? 1
                              : pixel == 0x0000FF ? 2
                                                  : -1);
        });
    }
    Run();
    EXPECT_EQ(want, seen);
    // The repaint of each step is on screen before the next script step runs.
    EXPECT_EQ(want, colours);
}

TEST_F(ImageAnimation, AFrameWithoutDelayShowsForOneTick)
{
    TempFolder folder;
    const std::string gif = folder.Path() + "/fast.gif";
    ASSERT_EQ(0, std::system(
                     ("convert -size 4x4 -delay 0 xc:red xc:blue xc:lime '" + gif + "'").c_str()));
    XPageWindow window;
    window.GetRooter()->GetRescHelper()->SetImageFolder(Wide(folder.Path()).c_str());
    auto *image = Placed(new XPageImage, 0, 0, 20, 20);
    image->SetImageFile(u"fast.gif");
    window.GetRooter()->AddItem(image);
    Open(window);
    ASSERT_EQ(3, image->GetFrameCount());
    std::vector<int> seen;
    for (int tick = 0; tick < 4; ++tick) {
        display->Advance(100);
        display->Call([&] { seen.push_back(image->GetCurrentFrame()); });
    }
    Run();
    EXPECT_EQ((std::vector<int>{1, 2, 0, 1}), seen);
}

TEST_F(ImageAnimation, TheTimerStopsWithTheLastRegistration)
{
    TempFolder folder;
    const std::string gif = folder.Path() + "/two.gif";
    ASSERT_EQ(0,
              std::system(
                  ("convert -size 4x4 -delay 10 xc:red -delay 10 xc:blue '" + gif + "'").c_str()));
    const std::string still = folder.Path() + "/still.png";
    ASSERT_EQ(0, std::system(("convert -size 4x4 xc:red '" + still + "'").c_str()));
    XPageWindow window;
    window.GetRooter()->GetRescHelper()->SetImageFolder(Wide(folder.Path()).c_str());
    auto *first = Placed(new XPageImage, 0, 0, 20, 20);
    auto *second = Placed(new XPageImage, 30, 0, 20, 20);
    first->SetImageFile(u"two.gif");
    second->SetImageFile(u"two.gif");
    window.GetRooter()->AddItem(first);
    window.GetRooter()->AddItem(second);
    Open(window);
    EXPECT_EQ(2u, window.GetImageCount());
    first->Destroy();
    EXPECT_EQ(1u, window.GetImageCount());
    display->Advance(100);
    Run();
    EXPECT_EQ(1, second->GetCurrentFrame());
    second->SetImageFile(u"still.png"); // one frame: not registered
    EXPECT_EQ(0u, window.GetImageCount());
    EXPECT_EQ(0, window.KillTimer(uintptr_t{kTimerAnimate}));
    second->SetImageFile(u"two.gif");
    EXPECT_EQ(1u, window.GetImageCount());
    second->SetImageFile(nullptr);
    EXPECT_EQ(0u, window.GetImageCount());
    EXPECT_EQ(0, window.KillTimer(uintptr_t{kTimerAnimate}));
}

} // namespace
