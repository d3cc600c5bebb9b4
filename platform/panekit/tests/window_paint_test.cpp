// The drawing window's picture: paint cycles, painters, the caret, the float cover,
// the tracker layer, snapshots and the clipboard.

#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/panekit/paint/xpainter.h"
#include "window_fixture.h"

namespace {

using PaintTest = WindowTest;

// The pixel at x, y as 0xRRGGBB (the surfaces here are opaque).
uint32_t PixelAt(cairo_surface_t *surface, int x, int y)
{
    cairo_surface_flush(surface);
    const unsigned char *data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    uint32_t pixel;
    std::memcpy(&pixel, data + y * stride + x * 4, 4);
    return pixel & 0xFFFFFF;
}

struct PaintWindow : RecordingWindow
{
    int updates = 0;
    void OnUpdateErase() override { updates++; }
};

void FillBound(XDrawWindow &window, BOUND_t bound, uint32_t color)
{
    XPaintDesc desc = {bound, nullptr, nullptr};
    XPainter *painter = window.BeginPainter(&desc);
    ASSERT_NE(painter, nullptr);
    BOUND_t local = {bound.x, bound.y, bound.width, bound.height};
    painter->FillRect(&local, color);
    window.ClosePainter(&desc);
}

TEST_F(PaintTest, InvalidationsMadeWhilePaintingAreNotLost)
{
    PaintWindow window;
    window.onPaint = [&](const BOUND_t *bound) {
        if (bound->width == 200) {
            BOUND_t again = {5, 6, 10, 11};
            window.Invaliate(&again);
        }
    };
    Open(window);
    ASSERT_EQ(2u, window.painted.size());
    EXPECT_EQ(0, window.painted[0].x);
    EXPECT_EQ(200, window.painted[0].width);
    EXPECT_EQ(100, window.painted[0].height);
    EXPECT_EQ(5, window.painted[1].x);
    EXPECT_EQ(6, window.painted[1].y);
    EXPECT_EQ(10, window.painted[1].width);
    EXPECT_EQ(11, window.painted[1].height);
    EXPECT_EQ(2, window.updates);

    // Bounds pending together are united and cut to the client area; an update request
    // alone runs OnUpdateErase without OnPaintWindow.
    window.painted.clear();
    window.onPaint = nullptr;
    BOUND_t a = {190, 90, 50, 50}, b = {0, 0, 1, 1};
    window.Invaliate(&a);
    window.Invaliate(&b);
    window.PostMessage(0, nullptr, 0);
    Panekit::WaitForMessage();
    ASSERT_EQ(1u, window.painted.size());
    EXPECT_EQ(0, window.painted[0].x);
    EXPECT_EQ(200, window.painted[0].width);
    EXPECT_EQ(100, window.painted[0].height);
    window.PostMessage(0, nullptr, 0);
    Panekit::WaitForMessage();
    EXPECT_EQ(1u, window.painted.size());
    EXPECT_EQ(4, window.updates);
}

TEST_F(PaintTest, PaintersDrawIntoTheBufferWithinTheirClip)
{
    RecordingWindow window;
    Open(window);
    XPaintDesc outside = {{300, 300, 10, 10}, nullptr, nullptr};
    EXPECT_EQ(nullptr, window.BeginPainter(&outside));
    window.ClosePainter(&outside);

    XPaintDesc desc = {{190, 90, 40, 40}, nullptr, nullptr};
    XPainter *painter = window.BeginPainter(&desc);
    ASSERT_NE(painter, nullptr);
    EXPECT_EQ(10, desc.bound.width); // cut to the client area
    BOUND_t everything = {0, 0, 200, 100};
    painter->FillRect(&everything, 0x0000FF); // red in 0x00BBGGRR
    int presents = display->GetPresentCount(&window);
    window.ClosePainter(&desc);
    Panekit::WaitForMessage();
    EXPECT_GT(display->GetPresentCount(&window), presents);
    cairo_surface_t *shown = display->GetWindowSurface(&window);
    EXPECT_EQ(0xFF0000u, PixelAt(shown, 195, 95));
    EXPECT_EQ(0xFFFFFFu, PixelAt(shown, 189, 95));
    EXPECT_EQ(0xFFFFFFu, PixelAt(shown, 195, 89));
    EXPECT_NE(nullptr, window.GetPainter());
}

TEST_F(PaintTest, CaretIsInvertedOverThePictureAndBlinks)
{
    RecordingWindow window;
    Open(window);
    FillBound(window, {0, 0, 200, 100}, 0x00FF00);
    window.CreateInputCursor(2, 12, nullptr);
    window.SetInputCursor(20, 30, 1);
    std::vector<uint32_t> seen;
    auto look = [&] {
        display->Call([&] {
            cairo_surface_t *shown = display->GetWindowSurface(&window);
            seen.push_back(PixelAt(shown, 21, 41));
            EXPECT_EQ(0x00FF00u, PixelAt(shown, 22, 30));
        });
    };
    look();
    display->Advance(530);
    look();
    display->Advance(530);
    look();
    display->Call([&] { window.SetInputCursor(60, 30, 1); });
    display->Advance(100);
    display->Call([&] {
        // Placing again restarts the blink with the caret drawn and clears the old place.
        cairo_surface_t *shown = display->GetWindowSurface(&window);
        seen.push_back(PixelAt(shown, 60, 30));
        seen.push_back(PixelAt(shown, 21, 41));
        window.HideInputCursor();
    });
    look();
    Panekit::WaitForMessage();
    EXPECT_EQ((std::vector<uint32_t>{0xFF00FF, 0x00FF00, 0xFF00FF, 0xFF00FF, 0x00FF00, 0x00FF00}),
              seen);
    // The buffer itself never holds the caret.
    EXPECT_EQ(0x00FF00u, PixelAt(window.GetBufferSurface(), 60, 30));
}

TEST_F(PaintTest, CaretIsClippedToItsBound)
{
    RecordingWindow window;
    Open(window);
    BOUND_t clip = {0, 0, 50, 35};
    window.CreateInputCursor(2, 12, &clip);
    window.SetInputCursor(20, 30, 1);
    BOUND_t caret;
    int drawn = 0;
    ASSERT_TRUE(window.GetInputCursor(&caret, &drawn));
    EXPECT_EQ(5, caret.height);
    EXPECT_TRUE(drawn);
    cairo_surface_t *shown = display->GetWindowSurface(&window);
    EXPECT_EQ(0x000000u, PixelAt(shown, 20, 34));
    EXPECT_EQ(0xFFFFFFu, PixelAt(shown, 20, 35));
    window.DestroyInputCursor();
    EXPECT_FALSE(window.GetInputCursor(&caret, &drawn));
    EXPECT_EQ(0xFFFFFFu, PixelAt(display->GetWindowSurface(&window), 20, 34));
}

TEST_F(PaintTest, FloatCoverShadesAllButItsBoundAndTrackerLiesOnTop)
{
    RecordingWindow window;
    Open(window);
    BOUND_t hole = {50, 20, 30, 30};
    window.ShowFloatCover(1, &hole);
    cairo_surface_t *shown = display->GetWindowSurface(&window);
    uint32_t shade = PixelAt(shown, 10, 10);
    EXPECT_EQ(0xBFBFBFu, shade);
    EXPECT_EQ(0xFFFFFFu, PixelAt(shown, 60, 30));
    window.ShowFloatCover(0);
    EXPECT_EQ(0xFFFFFFu, PixelAt(display->GetWindowSurface(&window), 10, 10));

    XPainter *tracker = window.GetTracker();
    ASSERT_NE(tracker, nullptr);
    BOUND_t line = {100, 0, 2, 100};
    tracker->FillRect(&line, 0x000000);
    EXPECT_EQ(0x000000u, PixelAt(display->GetWindowSurface(&window), 100, 50));
    EXPECT_EQ(0xFFFFFFu, PixelAt(window.GetBufferSurface(), 100, 50));
    tracker = window.GetTracker(1); // the next drag step wipes the last one
    BOUND_t moved = {120, 0, 2, 100};
    tracker->FillRect(&moved, 0x000000);
    shown = display->GetWindowSurface(&window);
    EXPECT_EQ(0xFFFFFFu, PixelAt(shown, 100, 50));
    EXPECT_EQ(0x000000u, PixelAt(shown, 120, 50));
    window.CloseTracker();
    EXPECT_EQ(0xFFFFFFu, PixelAt(display->GetWindowSurface(&window), 120, 50));
}

TEST_F(PaintTest, TrackerHalftoneInvertsThePictureBeneathUntilDrawnAgain)
{
    RecordingWindow window;
    Open(window);
    FillBound(window, {0, 0, 100, 100}, 0x0000FF); // red
    XPainter *tracker = window.GetTracker();
    ASSERT_NE(tracker, nullptr);
    const BOUND_t outline = {10, 10, 40, 30};
    tracker->DrawHalftone(&outline, 2);
    cairo_surface_t *shown = display->GetWindowSurface(&window);
    // Every other pixel of the 2-pixel frame shows the picture inverted; inside it and
    // the frame's other pixels show the picture.
    EXPECT_EQ(0x00FFFFu, PixelAt(shown, 10, 10));
    EXPECT_EQ(0xFF0000u, PixelAt(shown, 11, 10));
    EXPECT_EQ(0xFF0000u, PixelAt(shown, 10, 11));
    EXPECT_EQ(0x00FFFFu, PixelAt(shown, 11, 11));
    EXPECT_EQ(0x00FFFFu, PixelAt(shown, 49, 39)); // far corner: 49 + 39 is even
    EXPECT_EQ(0xFF0000u, PixelAt(shown, 30, 20));
    EXPECT_EQ(0xFF0000u, PixelAt(window.GetBufferSurface(), 10, 10));

    // A repaint beneath shows the new picture, still inverted under the halftone.
    FillBound(window, {0, 0, 100, 100}, 0x00FF00); // green
    shown = display->GetWindowSurface(&window);
    EXPECT_EQ(0xFF00FFu, PixelAt(shown, 10, 10));
    EXPECT_EQ(0x00FF00u, PixelAt(shown, 11, 10));

    // The same halftone again takes it away: the picture equals the buffer everywhere.
    tracker = window.GetTracker(0);
    tracker->DrawHalftone(&outline, 2);
    shown = display->GetWindowSurface(&window);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(PixelAt(window.GetBufferSurface(), x, y), PixelAt(shown, x, y)) << x << y;
    }
    // A halftone left on the layer goes with CloseTracker.
    tracker->DrawHalftone(&outline, 2);
    window.CloseTracker();
    EXPECT_EQ(0x00FF00u, PixelAt(display->GetWindowSurface(&window), 10, 10));
}

TEST_F(PaintTest, ResizeKeepsThePictureAndSnapshotsSaveAsPng)
{
    RecordingWindow window;
    Open(window);
    FillBound(window, {0, 0, 10, 10}, 0xFF0000); // blue
    display->Resize(&window, 40, 30);
    Panekit::WaitForMessage();
    std::string path = testing::TempDir() + "window_snapshot_" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(display->SaveWindowPng(&window, path.c_str()));
    cairo_surface_t *read = cairo_image_surface_create_from_png(path.c_str());
    unlink(path.c_str());
    ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(read));
    EXPECT_EQ(40, cairo_image_surface_get_width(read));
    EXPECT_EQ(30, cairo_image_surface_get_height(read));
    EXPECT_EQ(0x0000FFu, PixelAt(read, 5, 5));
    EXPECT_EQ(0xFFFFFFu, PixelAt(read, 15, 5));
    cairo_surface_destroy(read);
}

int TakeText(void *context, uint32_t format, const void *data, uint32_t bytes)
{
    auto *out = static_cast<std::u16string *>(context);
    EXPECT_EQ(0u, format);
    const auto *units = static_cast<const char16_t *>(data);
    EXPECT_EQ(0, units[bytes / 2 - 1]); // the count includes the terminator
    out->assign(units, bytes / 2 - 1);
    return 7;
}

TEST_F(PaintTest, ClipboardTextCountsBytesWithTheTerminator)
{
    RecordingWindow window;
    Open(window);
    struct Case
    {
        const char16_t *data;
        uint32_t bytes;
        const char16_t *stored;
    };
    const Case cases[] = {
        {u"复制", 6, u"复制"}, {u"复制", 4, u"复制"}, {u"复制", 3, u"复"},
        {u"a\0b", 8, u"a"},    {u"", 2, u""},
    };
    for (const Case &c : cases) {
        display->SetClipboard(u"old");
        EXPECT_TRUE(window.SetClipboard(0, c.data, c.bytes));
        EXPECT_EQ(std::u16string(c.stored), display->GetClipboard()) << c.bytes;
    }
    EXPECT_FALSE(window.SetClipboard(1, u"x", 4));
    EXPECT_FALSE(window.SetClipboard(0, nullptr, 4));

    std::u16string got;
    display->SetClipboard(u"粘贴 text");
    EXPECT_EQ(7, window.GetClipboard(0, &got, TakeText));
    EXPECT_EQ(u"粘贴 text", got);
    EXPECT_EQ(0, window.GetClipboard(1, &got, TakeText));
    display->SetClipboard(u"");
    EXPECT_EQ(0, window.GetClipboard(0, &got, TakeText));
}

} // namespace
