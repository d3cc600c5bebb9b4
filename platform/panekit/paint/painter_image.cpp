// Drawing images, and the painter's own memory canvas.
//
// A picture drawn at its natural size at a whole-pixel place is copied pixel for pixel
// (nearest filter); scaled pictures use Cairo's filters.
#include <algorithm>
#include <cmath>

#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/paint_core.h"

namespace {

// Size nibble of the layout code.
constexpr uint32_t kSizeNatural = 0;
constexpr uint32_t kSizeCover = 1;
constexpr uint32_t kSizeContain = 2;
constexpr uint32_t kSizeStretch = 3;

// Offset of a length `inner` inside `outer` for a position nibble (0 start, 1 centre,
// 2 end; anything else counts as the start).
double PlaceAlong(uint32_t position, double outer, double inner)
{
    if (position == 1)
        return std::floor((outer - inner) / 2);
    if (position == 2)
        return outer - inner;
    return 0;
}

cairo_filter_t FilterFor(int mode)
{
    if (mode == kStretchNearest)
        return CAIRO_FILTER_NEAREST;
    if (mode == kStretchBilinear)
        return CAIRO_FILTER_BILINEAR;
    return CAIRO_FILTER_GOOD;
}

void ClipRect(cairo_t *cr, double x, double y, double w, double h)
{
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
}

} // namespace

// ---- drawing images --------------------------------------------------------------------------

int XPaintCore::DrawImage(const XImage *image, const BOUND_t *view, uint32_t layout)
{
    cairo_surface_t *surface = image != nullptr ? image->GetSurface() : nullptr;
    if (m_cr == nullptr || surface == nullptr || view == nullptr || view->width <= 0 ||
        view->height <= 0)
        return 0;
    double iw = cairo_image_surface_get_width(surface),
           ih = cairo_image_surface_get_height(surface);
    double sx = 1, sy = 1;
    switch (layout & 0xF) {
    case kSizeCover:
        sx = sy = std::max(view->width / iw, view->height / ih);
        break;
    case kSizeContain:
        sx = sy = std::min(view->width / iw, view->height / ih);
        break;
    case kSizeStretch:
        sx = view->width / iw;
        sy = view->height / ih;
        break;
    default:
        break; // kSizeNatural and unset
    }
    double dw = iw * sx, dh = ih * sy;
    double ox = PlaceAlong((layout >> 8) & 0xF, view->width, dw);
    double oy = PlaceAlong((layout >> 12) & 0xF, view->height, dh);
    uint32_t repeat = (layout >> 4) & 0xF;
    bool repeatX = repeat == 1 || repeat == 3, repeatY = repeat == 2 || repeat == 3;

    cairo_path_t *path = m_pathOpen ? cairo_copy_path(m_cr) : nullptr;
    cairo_save(m_cr);
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_NONE);
    ClipRect(m_cr, view->x, view->y, view->width, view->height);
    ClipRect(m_cr, repeatX ? view->x : view->x + ox, repeatY ? view->y : view->y + oy,
             repeatX ? view->width : dw, repeatY ? view->height : dh);
    cairo_translate(m_cr, view->x + ox, view->y + oy);
    cairo_scale(m_cr, sx, sy);
    cairo_set_source_surface(m_cr, surface, 0, 0);
    cairo_pattern_t *pattern = cairo_get_source(m_cr);
    cairo_pattern_set_extend(pattern, repeat != 0 ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
    bool unscaled = sx == 1 && sy == 1;
    cairo_pattern_set_filter(pattern, unscaled ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_paint(m_cr);
    cairo_restore(m_cr);
    if (path != nullptr) {
        cairo_append_path(m_cr, path);
        cairo_path_destroy(path);
    }
    return 1;
}

int XPaintCore::DrawImage(const XImage *image, const BOUND_t *view, const BOUND_t *source, int mode)
{
    cairo_surface_t *surface = image != nullptr ? image->GetSurface() : nullptr;
    if (m_cr == nullptr || surface == nullptr || view == nullptr || view->width <= 0 ||
        view->height <= 0)
        return 0;
    BOUND_t whole{0, 0, cairo_image_surface_get_width(surface),
                  cairo_image_surface_get_height(surface)};
    BOUND_t part = whole;
    if (source != nullptr && !IntersectBound(&part, source, &whole))
        return 0;
    // A sub-surface, so that the filter pads at the part's own edges instead of reading
    // the pixels around it.
    cairo_surface_t *sub =
        cairo_surface_create_for_rectangle(surface, part.x, part.y, part.width, part.height);
    cairo_path_t *path = m_pathOpen ? cairo_copy_path(m_cr) : nullptr;
    cairo_save(m_cr);
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_NONE);
    ClipRect(m_cr, view->x, view->y, view->width, view->height);
    cairo_translate(m_cr, view->x, view->y);
    cairo_scale(m_cr, double(view->width) / part.width, double(view->height) / part.height);
    cairo_set_source_surface(m_cr, sub, 0, 0);
    cairo_pattern_t *pattern = cairo_get_source(m_cr);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    bool unscaled = view->width == part.width && view->height == part.height;
    cairo_pattern_set_filter(pattern, unscaled ? CAIRO_FILTER_NEAREST : FilterFor(mode));
    cairo_paint(m_cr);
    cairo_restore(m_cr);
    cairo_surface_destroy(sub);
    if (path != nullptr) {
        cairo_append_path(m_cr, path);
        cairo_path_destroy(path);
    }
    return 1;
}

int XPaintCore::DrawImage(const XImage *image, int x, int y)
{
    cairo_surface_t *surface = image != nullptr ? image->GetSurface() : nullptr;
    if (surface == nullptr)
        return 0;
    BOUND_t view{x, y, cairo_image_surface_get_width(surface),
                 cairo_image_surface_get_height(surface)};
    return DrawImage(image, &view, kSizeNatural);
}

// ---- memory canvas ------------------------------------------------------------------------------

int XPaintCore::CreateImage(int width, int height, int flags)
{
    (void)flags;
    if (width < 1 || height < 1 || width > 32767 || height > 32767)
        return 0;
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return 0;
    }
    Detach();
    m_pathOpen = false;
    Attach(surface, nullptr);
    cairo_surface_destroy(surface);
    if (m_cr == nullptr)
        return 0;
    m_ownSurface = true;
    BeginPainter();
    return 1;
}

int XPaintCore::BeginPainter()
{
    if (m_cr == nullptr)
        return 0;
    m_pathOpen = false;
    cairo_new_path(m_cr);
    cairo_identity_matrix(m_cr);
    ApplyClip();
    m_curX = m_curY = 0;
    m_dashIndex = 0;
    return 1;
}

void XPaintCore::ClosePainter()
{
    if (m_cr == nullptr)
        return;
    m_pathOpen = false;
    cairo_new_path(m_cr);
    cairo_surface_flush(m_surface);
}

int XPaintCore::CopyToImage(XImage *image) const
{
    if (m_surface == nullptr || image == nullptr)
        return 0;
    cairo_surface_flush(m_surface);
    return image->CopyFromSurface(m_surface);
}
