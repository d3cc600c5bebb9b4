// The painter's state: target, clip, transform, pens, fillers and colours.
#include "platform/panekit/paint/paint_core.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Largest single floating translation step taken (NaN fails the test too).
constexpr double kMaxTranslate = 1e9;

bool IsNoneColor(uint32_t color)
{
    return (color >> 24) != 0;
}

// The bound cut to a surface of w x h; a null bound is the whole surface.
BOUND_t CutToSurface(const BOUND_t *bound, int w, int h)
{
    BOUND_t whole{0, 0, w, h};
    if (bound == nullptr)
        return whole;
    BOUND_t out;
    IntersectBound(&out, bound, &whole);
    return out;
}

} // namespace

// ---- construction ---------------------------------------------------------------------

XPaintCore::XPaintCore(cairo_surface_t *target, const BOUND_t *clip)
{
    Attach(target, clip);
}

XPaintCore::XPaintCore()
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    Attach(surface, nullptr);
    cairo_surface_destroy(surface);
    m_ownSurface = true;
}

XPaintCore::~XPaintCore()
{
    Detach();
    ReleaseTextState();
}

void XPaintCore::Attach(cairo_surface_t *surface, const BOUND_t *clip)
{
    if (surface == nullptr || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return;
    cairo_t *cr = cairo_create(surface);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cr);
        return;
    }
    m_cr = cr;
    m_surface = cairo_surface_reference(surface);
    m_paintClip = CutToSurface(clip, GetWidth(), GetHeight());
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(m_cr, CAIRO_FILL_RULE_WINDING);
    ApplyClip();
}

void XPaintCore::Detach()
{
    SetInvertMask(nullptr);
    if (m_cr != nullptr)
        cairo_destroy(m_cr);
    if (m_surface != nullptr)
        cairo_surface_destroy(m_surface);
    m_cr = nullptr;
    m_surface = nullptr;
    m_ownSurface = false;
}

int XPaintCore::GetWidth() const
{
    return m_surface != nullptr ? cairo_image_surface_get_width(m_surface) : 0;
}

int XPaintCore::GetHeight() const
{
    return m_surface != nullptr ? cairo_image_surface_get_height(m_surface) : 0;
}

// ---- clip -------------------------------------------------------------------------------

// Back to the paint's own clip, set in device space whatever the current transform.
void XPaintCore::ApplyClip()
{
    if (m_cr == nullptr)
        return;
    cairo_path_t *path = m_pathOpen ? cairo_copy_path(m_cr) : nullptr;
    cairo_matrix_t matrix;
    cairo_get_matrix(m_cr, &matrix);
    cairo_reset_clip(m_cr);
    cairo_identity_matrix(m_cr);
    cairo_new_path(m_cr);
    cairo_rectangle(m_cr, m_paintClip.x, m_paintClip.y, m_paintClip.width, m_paintClip.height);
    cairo_clip(m_cr);
    cairo_set_matrix(m_cr, &matrix);
    UpdateDeviceClip();
    if (path != nullptr) {
        cairo_append_path(m_cr, path);
        cairo_path_destroy(path);
    }
}

void XPaintCore::SetPaintBound(const BOUND_t *bound)
{
    m_paintClip = CutToSurface(bound, GetWidth(), GetHeight());
    ApplyClip();
}

void XPaintCore::SetClipRect(const BOUND_t *bound)
{
    if (m_cr == nullptr)
        return;
    ApplyClip();
    if (bound == nullptr)
        return;
    cairo_path_t *path = m_pathOpen ? cairo_copy_path(m_cr) : nullptr;
    cairo_new_path(m_cr);
    cairo_rectangle(m_cr, bound->x, bound->y, bound->width > 0 ? bound->width : 0,
                    bound->height > 0 ? bound->height : 0);
    cairo_antialias_t antialias = cairo_get_antialias(m_cr);
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_NONE);
    cairo_clip(m_cr);
    cairo_set_antialias(m_cr, antialias);
    UpdateDeviceClip();
    if (path != nullptr) {
        cairo_append_path(m_cr, path);
        cairo_path_destroy(path);
    }
}

int XPaintCore::GetClipRect(BOUND_t *bound) const
{
    *bound = BOUND_t{0, 0, 0, 0};
    if (m_cr == nullptr)
        return 0;
    double x1, y1, x2, y2;
    cairo_clip_extents(m_cr, &x1, &y1, &x2, &y2);
    int left = static_cast<int>(std::floor(x1 + 1e-9));
    int top = static_cast<int>(std::floor(y1 + 1e-9));
    int right = static_cast<int>(std::ceil(x2 - 1e-9));
    int bottom = static_cast<int>(std::ceil(y2 - 1e-9));
    if (right <= left || bottom <= top)
        return 0;
    *bound = BOUND_t{left, top, right - left, bottom - top};
    return 1;
}

// ---- transform ----------------------------------------------------------------------------

void XPaintCore::Translate(int dx, int dy)
{
    if (m_cr != nullptr)
        cairo_translate(m_cr, dx, dy);
}

void XPaintCore::Translate(double dx, double dy)
{
    // A step beyond any surface would only push Cairo's matrix out of its range, which
    // leaves the context in an error state that ignores all later drawing.
    if (m_cr != nullptr && std::abs(dx) <= kMaxTranslate && std::abs(dy) <= kMaxTranslate)
        cairo_translate(m_cr, dx, dy);
}

void XPaintCore::ResetTransform()
{
    if (m_cr != nullptr)
        cairo_identity_matrix(m_cr);
}

void XPaintCore::SetRotate(double angle)
{
    if (m_cr == nullptr || !std::isfinite(angle))
        return;
    cairo_matrix_t matrix;
    cairo_get_matrix(m_cr, &matrix);
    double turn = std::fmod(angle, 360.0) * kPi / 180.0;
    cairo_matrix_init_translate(&matrix, matrix.x0, matrix.y0);
    cairo_matrix_rotate(&matrix, turn);
    // Whole quarter turns keep exact zeros so integer drawing stays exact after them.
    matrix.xx = std::round(matrix.xx * 1e12) / 1e12;
    matrix.xy = std::round(matrix.xy * 1e12) / 1e12;
    matrix.yx = std::round(matrix.yx * 1e12) / 1e12;
    matrix.yy = std::round(matrix.yy * 1e12) / 1e12;
    cairo_set_matrix(m_cr, &matrix);
}

void XPaintCore::GetOrigin(POINT_t *origin) const
{
    double x = 0, y = 0;
    if (m_cr != nullptr)
        cairo_user_to_device(m_cr, &x, &y);
    *origin = POINT_t{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
}

bool XPaintCore::IsPixelExact() const
{
    if (m_cr == nullptr)
        return false;
    cairo_matrix_t m;
    cairo_get_matrix(m_cr, &m);
    return m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0 && m.x0 == std::floor(m.x0) &&
           m.y0 == std::floor(m.y0);
}

// ---- pens, fillers and colours ---------------------------------------------------------------

bool XPaintCore::SetSource(uint32_t color)
{
    if (IsNoneColor(color) || m_cr == nullptr)
        return false;
    cairo_set_source_rgb(m_cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                         ((color >> 16) & 0xFF) / 255.0);
    return true;
}

XPenHandle XPaintCore::SelectPen(const XPenHandle *pen)
{
    XPenHandle previous = m_pen;
    m_pen = pen != nullptr ? *pen : XPenHandle{kPenSolid, 1, 0};
    return previous;
}

int XPaintCore::SetLineStyle(uint32_t code, uint32_t color)
{
    uint32_t keep = color == kColorUnset ? m_pen.color : color;
    int known = 1;
    switch (code) {
    case kLineSolid1:
        m_pen = XPenHandle{kPenSolid, 1, keep};
        break;
    case kLineDotted1:
        m_pen = XPenHandle{kPenDotted, 1, color == kColorUnset ? kLineDottedColor : color};
        break;
    case kLineBorder1:
        m_pen = XPenHandle{kPenPattern, 1, keep};
        break;
    default:
        if (code >= kPenSolid && code <= kPenStyleMax) {
            m_pen = XPenHandle{code, 1, keep};
        } else {
            m_pen = XPenHandle{kPenSolid, 1, keep};
            known = 0;
        }
    }
    return known;
}

int XPaintCore::SetStockDrawer(int index)
{
    switch (index) {
    case kStockWhiteDrawer:
        m_pen = XPenHandle{kPenSolid, 1, 0xFFFFFF};
        return 1;
    case kStockBlackDrawer:
        m_pen = XPenHandle{kPenSolid, 1, 0};
        return 1;
    case kStockNullDrawer:
        m_pen = XPenHandle{kPenNull, 1, 0};
        return 1;
    default:
        return 0;
    }
}

uint32_t XPaintCore::GetStockFiller(int index)
{
    // Colour of each stock filler, by index.
    static constexpr uint32_t kFillers[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
    if (index < 0 || index >= static_cast<int>(sizeof(kFillers) / sizeof(kFillers[0])))
        return kColorUnset;
    return kFillers[index];
}

uint32_t XPaintCore::SetFillStyle(uint32_t color)
{
    uint32_t previous = m_fill;
    m_fill = color;
    return previous;
}

uint32_t XPaintCore::SetTextColor(uint32_t color)
{
    uint32_t previous = m_textColor;
    m_textColor = color;
    return previous;
}

uint32_t XPaintCore::SetTextStyle(uint32_t flags)
{
    uint32_t previous = m_textStyle;
    m_textStyle = flags & 0xF;
    return previous;
}

const XFontHandle *XPaintCore::SelectFonter(const XFontHandle *font)
{
    const XFontHandle *previous = m_font;
    m_font = font;
    return previous;
}
