// Dragging frame edges on the virtual display: the pointer shape per edge and corner,
// each edge and a whole-frame move, the range, the minimum size, and the outline that
// shows while tracking and is gone after the release.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstring>

#include "pagekit/core/tests/page_fixture.h"

namespace {

using FrameDrag = PageWindowTest;

uint32_t PixelAt(cairo_surface_t *surface, int x, int y)
{
    cairo_surface_flush(surface);
    const unsigned char *data = cairo_image_surface_get_data(surface);
    uint32_t pixel;
    std::memcpy(&pixel, data + y * cairo_image_surface_get_stride(surface) + x * 4, 4);
    return pixel & 0xFFFFFF;
}

bool SamePicture(cairo_surface_t *a, cairo_surface_t *b)
{
    const int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (PixelAt(a, x, y) != PixelAt(b, x, y))
                return false;
        }
    }
    return true;
}

// A free box (0, 0, 200, 150) in a free root of a 300 x 200 window, holding a frame at
// (50, 40, 100, 80) with all edges draggable and 4-pixel grips, minimum 20 x 10.
struct DragForm
{
    XPageWindow window;
    XPageFrame *box = Placed(new XPageFrame, 0, 0, 200, 150);
    XPageFrame *frame = Placed(new XPageFrame, 50, 40, 100, 80);

    DragForm()
    {
        window.GetRooter()->extraFlags = 0;
        frame->SetDragMode(kEdgeAll, 0, 4);
        box->AddItem(frame);
        window.GetRooter()->AddItem(box);
    }
    void Created()
    {
        frame->minWidth = 20;
        frame->minHeight = 10;
    }
};

TEST_F(FrameDrag, PointerShapePerEdgeAndCorner)
{
    DragForm f;
    Open(f.window, 300, 200);
    f.Created();
    struct Case
    {
        int x, y, cursor;
    } cases[] = {
        {100, 41, 12},  {100, 118, 12}, {51, 80, 11},  {148, 80, 11}, {51, 41, 13},
        {148, 118, 13}, {148, 41, 14},  {51, 118, 14}, {100, 80, 0},  {20, 20, 0},
    };
    for (const Case &k : cases) {
        display->Move(&f.window, k.x, k.y);
        Run();
        EXPECT_EQ(k.cursor, display->GetCursorShape(&f.window)) << k.x << "," << k.y;
    }
    // Only draggable edges count.
    f.frame->SetDragMode(kEdgeRight, 4, 4);
    display->Move(&f.window, 51, 80);
    Run();
    EXPECT_EQ(0, display->GetCursorShape(&f.window));
    display->Move(&f.window, 148, 41);
    Run();
    EXPECT_EQ(11, display->GetCursorShape(&f.window));
}

TEST_F(FrameDrag, EachEdgeAndTheRange)
{
    struct Case
    {
        const char *what;
        int px, py, mx, my;
        const char *place;
    } cases[] = {
        {"right", 148, 80, 178, 95, "(50,40,130,80)"},
        {"left", 51, 80, 31, 60, "(30,40,120,80)"},
        {"top", 100, 41, 80, 21, "(50,20,100,100)"},
        {"bottom", 100, 118, 120, 138, "(50,40,100,100)"},
        {"bottom-right", 148, 118, 168, 128, "(50,40,120,90)"},
        {"right held to the box", 148, 80, 260, 80, "(50,40,150,80)"},
        {"top held to the box", 100, 41, 100, 0, "(50,0,100,120)"},
        {"left past the right edge", 51, 80, 250, 80, "(130,40,20,80)"},
        {"bottom past the top edge", 100, 118, 100, 3, "(50,40,100,10)"},
    };
    for (const Case &k : cases) {
        DragForm f;
        Open(f.window, 300, 200);
        f.Created();
        display->Press(&f.window, k.px, k.py);
        display->Move(&f.window, k.mx, k.my);
        display->Release(&f.window, k.mx, k.my);
        Run();
        EXPECT_EQ(k.place, Show(f.frame->place)) << k.what;
        EXPECT_EQ(nullptr, f.window.GetCaptureItem()) << k.what;
    }
}

TEST_F(FrameDrag, WholeFrameMoveStaysInTheBox)
{
    DragForm f;
    Open(f.window, 300, 200);
    f.Created();
    display->Call([&] { EXPECT_EQ(1, f.frame->StartTracker(kEdgeAll, 100, 80)); });
    display->Move(&f.window, 130, 90);
    display->Release(&f.window, 130, 90);
    display->Call([&] { f.frame->StartTracker(kEdgeAll, 100, 80); });
    display->Move(&f.window, 290, 190);
    display->Release(&f.window, 290, 190);
    Run();
    EXPECT_EQ("(100,70,100,80)", Show(f.frame->place));
}

TEST_F(FrameDrag, ReleaseNeverMakesASizeNegative)
{
    DragForm f;
    Open(f.window, 300, 200);
    f.frame->minWidth = -5; // a minimum below 0 counts as 0
    f.frame->minHeight = 30;
    struct Case
    {
        uint32_t edges;
        int dx, dy;
        const char *place;
    } cases[] = {
        {kEdgeLeft, 500, 0, "(150,40,0,80)"}, // the left edge stops at the right one
        {kEdgeTop, 0, 500, "(150,90,0,30)"},  // the top edge stops at the minimum
        {kEdgeRight, -500, 0, "(150,90,0,30)"},
        {kEdgeBottom, 0, -500, "(150,90,0,30)"},
    };
    for (const Case &k : cases) {
        ASSERT_EQ(1, f.frame->StartTracker(k.edges, 0, 0));
        f.frame->CloseTracker(0);
        f.frame->OnDragClose(k.dx, k.dy);
        EXPECT_EQ(k.place, Show(f.frame->place)) << k.edges;
    }
}

TEST_F(FrameDrag, OutlineShowsWhileTrackingAndGoesAfter)
{
    DragForm f;
    Open(f.window, 300, 200);
    f.Created();
    cairo_surface_t *during = nullptr;
    display->Press(&f.window, 148, 80);
    display->Move(&f.window, 178, 80);
    display->Call([&] {
        during = cairo_surface_reference(display->GetWindowSurface(&f.window));
        // The outline's corner pixel at the new right edge is inverted white.
        EXPECT_EQ(0x000000u, PixelAt(during, 178, 40 + (178 + 40) % 2));
        EXPECT_FALSE(SamePicture(during, f.window.GetBufferSurface()));
        cairo_surface_destroy(during);
    });
    display->Release(&f.window, 178, 80);
    Run();
    cairo_surface_t *after = display->GetWindowSurface(&f.window);
    cairo_surface_t *copy =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(after),
                                   cairo_image_surface_get_height(after));
    cairo_t *cr = cairo_create(copy);
    cairo_set_source_surface(cr, after, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    // A fresh paint of the whole window gives the same picture.
    f.window.Invaliate(nullptr);
    Run();
    EXPECT_TRUE(SamePicture(copy, display->GetWindowSurface(&f.window)));
    cairo_surface_destroy(copy);
}

TEST_F(FrameDrag, ScrollMessagesTellTheFrame)
{
    SeenLog log;
    XPageWindow window;
    auto *frame = Placed(new Recording<XPageFrame>(&log, "F"), 0, 0, 100, 100);
    window.GetRooter()->extraFlags = 0;
    window.GetRooter()->AddItem(frame);
    Open(window, 200, 120);
    for (uint32_t code : {XMSG_HSCROLL, XMSG_VSCROLL}) {
        frame->updates.clear();
        XMessage_t message = {};
        message.code = code;
        message.key = kScrollLineForward;
        frame->XPageFrame::OnMessage(&message);
        EXPECT_EQ(std::vector<int>{kUpdateScrolled}, frame->updates) << code;
    }
}

} // namespace
