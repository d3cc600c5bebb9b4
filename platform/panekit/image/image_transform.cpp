// Quarter-turn rotation, clipping and scaling of images.

#include <algorithm>
#include <cmath>

#include "platform/panekit/image/image_codec.h"
#include "platform/panekit/image/ximage.h"

// dst pixel (dx, dy) of a frame turned by `turns` clockwise quarter turns, read from src.
static void TurnFrame(cairo_surface_t *src, cairo_surface_t *dst, int turns)
{
    int w = cairo_image_surface_get_width(src);
    int h = cairo_image_surface_get_height(src);
    cairo_surface_flush(src);
    cairo_surface_flush(dst);
    for (int y = 0; y < h; ++y) {
        const uint32_t *row = SurfaceRow(src, y);
        for (int x = 0; x < w; ++x) {
            int dx = x, dy = y;
            if (turns == 1) { // clockwise: the left column becomes the top row
                dx = h - 1 - y;
                dy = x;
            } else if (turns == 2) {
                dx = w - 1 - x;
                dy = h - 1 - y;
            } else if (turns == 3) {
                dx = y;
                dy = w - 1 - x;
            }
            SurfaceRow(dst, dy)[dx] = row[x];
        }
    }
    cairo_surface_mark_dirty(dst);
}

int XImage::RotateImage(int angle)
{
    if (m_count == 0 || angle % 90 != 0)
        return 0;
    int turns = ((angle / 90) % 4 + 4) % 4;
    if (turns == 0)
        return 1;
    for (int i = 0; i < m_count; ++i) {
        cairo_surface_t *src = m_frames[i].surface;
        int w = cairo_image_surface_get_width(src);
        int h = cairo_image_surface_get_height(src);
        int nw = turns == 2 ? w : h;
        int nh = turns == 2 ? h : w;
        cairo_surface_t *dst = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, nw, nh);
        if (cairo_surface_status(dst) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(dst);
            return 0; // frames turned so far stay turned; sizes are each frame's own
        }
        TurnFrame(src, dst, turns);
        cairo_surface_destroy(src);
        m_frames[i].surface = dst;
    }
    return 1;
}

int XImage::GetClipImage(XImage *dst, int x, int y, int cx, int cy) const
{
    if (dst == nullptr || dst == this || m_count == 0)
        return 0;
    BOUND_t part = {x, y, cx, cy};
    return dst->CopyFromSurface(GetSurface(), &part);
}

// The largest size within cx x cy with the aspect ratio of w x h, at least 1 x 1.
static void FitInside(int w, int h, int *cx, int *cy)
{
    double scale = std::min(double(*cx) / w, double(*cy) / h);
    *cx = std::max(1, static_cast<int>(std::lround(w * scale)));
    *cy = std::max(1, static_cast<int>(std::lround(h * scale)));
}

int XImage::GetThumbImage(XImage *dst, int cx, int cy, int mode) const
{
    cairo_surface_t *src = GetSurface();
    if (dst == nullptr || dst == this || src == nullptr || cx < 1 || cy < 1)
        return 0;
    int w = GetWidth(), h = GetHeight();
    if (mode == 1)
        FitInside(w, h, &cx, &cy);
    XImageBuilder builder;
    cairo_surface_t *s = builder.AddFrame(cx, cy);
    if (s == nullptr)
        return 0;
    cairo_t *cr = cairo_create(s);
    cairo_scale(cr, double(cx) / w, double(cy) / h);
    cairo_set_source_surface(cr, src, 0, 0);
    cairo_pattern_t *pattern = cairo_get_source(cr);
    // PAD keeps the edges from fading into transparency; GOOD averages when shrinking.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern,
                             w == cx && h == cy ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    return builder.Commit(dst, kImageUnknown) ? 1 : 0;
}
