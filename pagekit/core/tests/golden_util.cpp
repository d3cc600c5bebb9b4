#include "pagekit/core/tests/golden_util.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdlib>
#include <cstring>

#include "platform/panekit/virtual/virtual_display.h"

long CompareGolden(XVirtualDisplay *display, Panekit *window, const std::string &name)
{
    const std::string path = std::string(ZEP_TEST_DIR) + "/golden/" + name + ".png";
    cairo_surface_t *ours = display->GetWindowSurface(window);
    if (ours == nullptr) {
        ADD_FAILURE() << "no picture of the window";
        return -1;
    }
    cairo_surface_flush(ours);
    if (std::getenv("PAGEKIT_WRITE_GOLDEN") != nullptr) {
        EXPECT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_write_to_png(ours, path.c_str())) << path;
    }
    cairo_surface_t *golden = cairo_image_surface_create_from_png(path.c_str());
    const int w = cairo_image_surface_get_width(ours), h = cairo_image_surface_get_height(ours);
    if (cairo_surface_status(golden) != CAIRO_STATUS_SUCCESS ||
        cairo_image_surface_get_width(golden) != w || cairo_image_surface_get_height(golden) != h) {
        ADD_FAILURE() << "golden picture missing or of another size: " << path;
        cairo_surface_destroy(golden);
        return -1;
    }
    cairo_surface_flush(golden);
    long differing = 0;
    for (int y = 0; y < h; ++y) {
        const unsigned char *a =
            cairo_image_surface_get_data(ours) + y * cairo_image_surface_get_stride(ours);
        const unsigned char *b =
            cairo_image_surface_get_data(golden) + y * cairo_image_surface_get_stride(golden);
        for (int x = 0; x < w; ++x) {
            uint32_t pa, pb;
            std::memcpy(&pa, a + 4 * x, 4);
            std::memcpy(&pb, b + 4 * x, 4);
            // The window picture is opaque; compare colour only.
            differing += (pa & 0xFFFFFF) != (pb & 0xFFFFFF);
        }
    }
    cairo_surface_destroy(golden);
    return differing;
}
