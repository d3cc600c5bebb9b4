// Icon strips from arbitrary bytes: any picture kind the image loader reads, then the
// strip limits. A strip that loads must be drawable at every index, grey or not.
#include <cairo.h>

#include <cstdint>
#include <cstdlib>

#include "platform/panekit/icon/icon_drawer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    XIconDrawer icons;
    const uint32_t flags = size > 0 && (data[0] & 1) ? kIconColorKey : 0;
    if (!icons.LoadBuffer(data, uint32_t(size), 0, flags)) {
        if (!icons.IsIconEmpty() || icons.GetSurface() != nullptr)
            std::abort();
        return 0;
    }
    const int n = icons.GetIconCount(), edge = icons.GetIconHeight();
    if (n < 1 || n > kIconMaxCount || edge < 1 || edge > kIconMaxSize)
        std::abort();
    cairo_surface_t *target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, edge, edge);
    cairo_t *cr = cairo_create(target);
    const int last = n - 1;
    if (!icons.DrawIcon(cr, 0, 0, 0) || !icons.DrawGrayIcon(cr, last, 0, 0) ||
        icons.DrawIcon(cr, n, 0, 0) || icons.DrawGrayIcon(cr, -1, 0, 0))
        std::abort();
    cairo_destroy(cr);
    cairo_surface_destroy(target);
    return 0;
}
