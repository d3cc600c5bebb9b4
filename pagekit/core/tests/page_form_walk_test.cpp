// A scripted keyboard walk through a 40-field form on the virtual display: Tab, Shift+Tab,
// Enter, Ctrl+Tab, a click and a veto give the expected focus sequence, and the final
// picture equals a small golden PNG.
//
// Regenerate the golden picture (after a deliberate change of the look) with
//   ZEP_WRITE_GOLDEN=1 build/asan/pagekit/core/pagekit_core_page_form_walk_test

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "pagekit/core/tests/page_form_walk.h"

namespace {

const std::string kGolden = std::string(ZEP_TEST_DIR) + "/golden/form_walk.png";

void Script(XVirtualDisplay *display, WalkForm &form)
{
    XPageWindow *window = &form.window;
    for (const WalkStep &step : kWalkSteps) {
        if (step.click != nullptr) {
            const POINT_t at = form.Middle(step.click);
            display->Click(window, at.x, at.y);
            continue;
        }
        const std::string key = step.key;
        uint32_t modifier = 0;
        if (key.rfind("shift+", 0) == 0)
            modifier = XVK_SHIFT;
        else if (key.rfind("ctrl+", 0) == 0)
            modifier = XVK_CONTROL;
        const uint32_t vkey = key.find("Tab") != std::string::npos ? 9 : 13;
        if (modifier != 0)
            display->KeyDown(window, modifier);
        display->KeyDown(window, vkey);
        display->KeyUp(window, vkey);
        if (modifier != 0)
            display->KeyUp(window, modifier);
    }
}

// Pixels that differ between two ARGB32 surfaces of the same size; -1 when the sizes
// differ.
long Differences(cairo_surface_t *a, cairo_surface_t *b)
{
    const int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
    if (w != cairo_image_surface_get_width(b) || h != cairo_image_surface_get_height(b))
        return -1;
    cairo_surface_flush(a);
    cairo_surface_flush(b);
    long count = 0;
    for (int y = 0; y < h; ++y) {
        const auto *ra = reinterpret_cast<const uint32_t *>(cairo_image_surface_get_data(a) +
                                                            y * cairo_image_surface_get_stride(a));
        const auto *rb = reinterpret_cast<const uint32_t *>(cairo_image_surface_get_data(b) +
                                                            y * cairo_image_surface_get_stride(b));
        for (int x = 0; x < w; ++x)
            count += (ra[x] & 0xFFFFFF) != (rb[x] & 0xFFFFFF);
    }
    return count;
}

using FormWalk = PageWindowTest;

TEST_F(FormWalk, KeyboardWalkGivesTheFocusSequenceAndTheGoldenPicture)
{
    WalkForm form;
    Open(form.window, kWalkWidth, kWalkHeight);
    Script(display, form);
    Run();
    EXPECT_EQ(ExpectedWalk(), form.FocusSequence());
    // Ctrl+Tab went to the field, the veto kept p2 once.
    int ctrlTab = 0;
    for (const SeenMessage &seen : form.log)
        ctrlTab += seen.who == "r1" && seen.code == XMSG_KEYDOWN && seen.key == 9;
    EXPECT_EQ(1, ctrlTab);
    EXPECT_TRUE(form.vetoed);

    cairo_surface_t *shown = display->GetWindowSurface(&form.window);
    ASSERT_NE(nullptr, shown);
    if (std::getenv("ZEP_WRITE_GOLDEN") != nullptr) {
        ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_write_to_png(shown, kGolden.c_str()));
    }
    cairo_surface_t *golden = cairo_image_surface_create_from_png(kGolden.c_str());
    ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(golden)) << kGolden;
    cairo_surface_t *argb =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(golden),
                                   cairo_image_surface_get_height(golden));
    cairo_t *cr = cairo_create(argb);
    cairo_set_source_surface(cr, golden, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    EXPECT_EQ(0, Differences(shown, argb));
    cairo_surface_destroy(argb);
    cairo_surface_destroy(golden);
}

} // namespace
