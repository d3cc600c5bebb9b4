// Items painted into a page window on the virtual display, compared pixel for pixel with
// the same rectangles drawn by ImageMagick (`compare -metric AE` must count 0), and the
// scroll-bar thumb measured in the picture.

#include <gtest/gtest.h>

#include <cairo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pagekit/core/style_geometry.h"
#include "pagekit/core/tests/page_fixture.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

std::string Hex(uint32_t bgr)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", bgr & 0xFF, (bgr >> 8) & 0xFF,
                  (bgr >> 16) & 0xFF);
    return text;
}

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

// ImageMagick rectangles in window pixels, drawn in order onto white.
struct Figure
{
    std::string ops;

    void Rect(BOUND_t b, uint32_t color)
    {
        if (b.width <= 0 || b.height <= 0)
            return;
        ops += " -fill '" + Hex(color) + "' -draw 'rectangle " + std::to_string(b.x) + "," +
               std::to_string(b.y) + " " + std::to_string(b.x + b.width - 1) + "," +
               std::to_string(b.y + b.height - 1) + "'";
    }
    // A box's borders as the painter lays them: top and bottom across, sides between.
    void Sides(BOUND_t box, const int width[4], const uint32_t color[4])
    {
        Rect({box.x, box.y, box.width, width[kSideTop]}, color[kSideTop]);
        Rect({box.x, box.y + box.height - width[kSideBottom], box.width, width[kSideBottom]},
             color[kSideBottom]);
        const int y = box.y + width[kSideTop];
        const int h = box.height - width[kSideTop] - width[kSideBottom];
        Rect({box.x, y, width[kSideLeft], h}, color[kSideLeft]);
        Rect({box.x + box.width - width[kSideRight], y, width[kSideRight], h}, color[kSideRight]);
    }
};

// A private folder for the pictures of one test, removed with it.
class TempFolder
{
public:
    TempFolder()
    {
        char pattern[] = "/tmp/page_paint_XXXXXX";
        const char *made = mkdtemp(pattern);
        m_path = made != nullptr ? made : "";
    }
    ~TempFolder()
    {
        if (!m_path.empty())
            Shell("rm -rf '" + m_path + "'");
    }
    std::string File(const char *name) const { return m_path + "/" + name; }
    bool Ok() const { return !m_path.empty(); }

private:
    std::string m_path;
};

// Pixels of the window's picture that differ from the figure.
long CountDifferences(XVirtualDisplay *display, Panekit *window, int width, int height,
                      const Figure &figure)
{
    TempFolder folder;
    if (!folder.Ok()) {
        ADD_FAILURE() << "no temporary folder";
        return -1;
    }
    const std::string ours = folder.File("ours.png");
    const std::string theirs = folder.File("magick.png");
    if (!display->SaveWindowPng(window, ours.c_str())) {
        ADD_FAILURE() << "no picture of the window";
        return -1;
    }
    Shell("/usr/bin/convert -size " + std::to_string(width) + "x" + std::to_string(height) +
          " xc:white +antialias -stroke none" + figure.ops + " PNG32:" + theirs);
    const std::string out =
        Shell("/usr/bin/compare -metric AE " + ours + " " + theirs + " null: 2>&1");
    long count = -1;
    if (std::sscanf(out.c_str(), "%ld", &count) != 1)
        ADD_FAILURE() << "compare said: " << out;
    return count;
}

// Draws a checker of 10 x 10 cells in two greys across its whole content.
class CheckerItem : public XPageItem
{
public:
    static constexpr uint32_t kDark = 0x333333;
    static constexpr uint32_t kLight = 0xCCCCCC;

    void DrawBody(XPainter *painter, const BOUND_t *bound) override
    {
        for (int j = bound->y / 10; j * 10 < bound->y + bound->height; ++j) {
            for (int i = bound->x / 10; i * 10 < bound->x + bound->width; ++i) {
                const BOUND_t cell = {i * 10, j * 10, 10, 10};
                painter->FillRect(&cell, (i + j) % 2 ? kDark : kLight);
            }
        }
    }
};

using PagePaint = PageWindowTest;

TEST_F(PagePaint, BoxesAndAScrolledBodyMatchMagick)
{
    XPageWindow window;
    window.GetRooter()->ApplyStyle(0, "background-color:#ffffff;");
    auto *boxed = Placed(new XPageItem, 10, 8, 60, 40);
    boxed->ApplyStyle(0, "margin:2px;border-left:1px solid #ff0000;border-top:2px solid #00ff00;"
                         "border-right:3px solid #0000ff;border-bottom:2px solid #ff00ff;"
                         "padding:3px;background-color:#ffff00;");
    auto *inner = Placed(new XPageItem, 0, 0, 20, 12);
    auto *owner = Placed(new XPageOwner, 10, 55, 60, 40);
    owner->ApplyStyle(0, "border:3px solid #008000;padding:2px;background-color:#c0c0ff;");
    inner->ApplyStyle(0, "margin:1px;border:2px solid #800000;background-color:#00ffff;");
    auto *checker = Placed(new CheckerItem, 80, 8, 70, 60);
    checker->ApplyStyle(0, "border:1px solid #000000;");
    window.GetRooter()->AddItem(boxed);
    window.GetRooter()->AddItem(owner);
    owner->AddItem(inner);
    window.GetRooter()->AddItem(checker);
    Open(window, 160, 100);
    checker->SetScrollSize(200, 200);
    checker->SetScrollPos(0, 15);
    checker->SetScrollPos(1, 25);
    window.Invalidate(nullptr);
    Run();

    Figure f;
    f.Rect({12, 10, 56, 36}, 0x00FFFF);
    const int boxedWidth[4] = {1, 2, 3, 2};
    const uint32_t boxedColor[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF};
    f.Sides({12, 10, 56, 36}, boxedWidth, boxedColor);

    f.Rect({10, 55, 60, 40}, 0xFFC0C0);
    const int three[4] = {3, 3, 3, 3};
    const uint32_t green[4] = {0x008000, 0x008000, 0x008000, 0x008000};
    f.Sides({10, 55, 60, 40}, three, green);
    // The child sits in the owner's body at 3 + 2 inside, with a margin of 1.
    f.Rect({16, 61, 18, 10}, 0xFFFF00);
    const int two[4] = {2, 2, 2, 2};
    const uint32_t maroon[4] = {0x000080, 0x000080, 0x000080, 0x000080};
    f.Sides({16, 61, 18, 10}, two, maroon);

    const int one[4] = {1, 1, 1, 1};
    const uint32_t black[4] = {0, 0, 0, 0};
    f.Sides({80, 8, 70, 60}, one, black);
    // The body (81, 9, 68, 58) shows the content from (15, 25).
    const BOUND_t body = {81, 9, 68, 58};
    for (int j = 0; j < 20; ++j) {
        for (int i = 0; i < 20; ++i) {
            BOUND_t cell = {81 - 15 + i * 10, 9 - 25 + j * 10, 10, 10};
            if (IntersectBound(&cell, &cell, &body))
                f.Rect(cell, (i + j) % 2 ? CheckerItem::kDark : CheckerItem::kLight);
        }
    }
    EXPECT_EQ(0, CountDifferences(display, &window, 160, 100, f));
}

// The colour of a pixel of the shown picture, 0x00BBGGRR.
uint32_t PixelAt(cairo_surface_t *surface, int x, int y)
{
    cairo_surface_flush(surface);
    const unsigned char *row =
        cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    uint32_t argb;
    std::memcpy(&argb, row + 4 * x, 4);
    return ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
}

TEST_F(PagePaint, ThumbLengthAndPlaceFollowBodyOverExtent)
{
    struct Case
    {
        int extent;
        int pos;
        int thumbStart;
        int thumbLength;
    } cases[] = {
        // 17 x 120 bar: track 86 from y 17. Thumb = 86 x 120 / extent, at least 8; it
        // starts at 17 + (86 - thumb) x pos / (extent - 120).
        {240, 0, 17, 43},
        {240, 120, 60, 43},
        {480, 180, 49, 21},
        {5000, 4880, 95, 8},
    };
    for (const Case &k : cases) {
        XPageWindow window;
        window.GetRooter()->ApplyStyle(0, "background-color:#ffffff;");
        auto *item = Placed(new XPageItem, 0, 0, 60, 120);
        item->ApplyStyle(0, "overflow-x:hidden;overflow-y:scroll;");
        window.GetRooter()->AddItem(item);
        Open(window, 80, 130);
        item->ApplyItemStyle();
        item->SetScrollSize(43, k.extent);
        item->SetScrollPos(1, k.pos);
        window.Invalidate(nullptr);
        Run();
        cairo_surface_t *shown = display->GetWindowSurface(&window);
        ASSERT_NE(shown, nullptr);
        const uint32_t track = PixelAt(shown, 51, 18);
        int start = -1, end = -1;
        for (int y = 17; y < 120 - 17; ++y) {
            if (PixelAt(shown, 51, y) != track && start < 0)
                start = y;
            if (PixelAt(shown, 51, y) != track)
                end = y;
        }
        if (k.thumbStart == 17) {
            // The thumb starts on the first row: measure from the other end.
            start = 17;
            for (int y = 17; y < 103 && PixelAt(shown, 51, y) == PixelAt(shown, 51, 17); ++y)
                end = y;
        }
        EXPECT_EQ(k.thumbStart, start) << k.extent << " " << k.pos;
        EXPECT_EQ(k.thumbLength, end - start + 1) << k.extent << " " << k.pos;
    }
}

// The after variant draws a box of its own inside the place less margins and borders,
// placed by its own layout nibbles.
TEST_F(PagePaint, AfterVariantDrawsItsBoxInsideTheBorders)
{
    XPageWindow window;
    window.GetRooter()->ApplyStyle(0, "background-color:#ffffff;");
    auto *item = Placed(new XPageItem, 10, 10, 60, 30);
    item->ApplyStyle(0, "margin:2px;border:3px solid #000000;background-color:#00ff00;"
                        "after{width:10px;height:6px;background-color:#ff0000;"
                        "layout-x:right;layout-y:bottom;}");
    window.GetRooter()->AddItem(item);
    Open(window, 100, 60);
    window.Invalidate(nullptr);
    Run();
    Figure f;
    f.Rect({12, 12, 56, 26}, 0x00FF00);
    const int three[4] = {3, 3, 3, 3};
    const uint32_t black[4] = {0, 0, 0, 0};
    f.Sides({12, 12, 56, 26}, three, black);
    // Inside (15, 15, 50, 20): right and bottom.
    f.Rect({55, 29, 10, 6}, 0x0000FF);
    EXPECT_EQ(0, CountDifferences(display, &window, 100, 60, f));
}

} // namespace
