// Style backgrounds: colour, picture by name, linear and radial gradients, named renders
// and icons, painted over a bound inside the clip of the box's shape.
#include <cairo.h>

#include <cmath>

#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/icon/resc_helper.h"
#include "platform/panekit/paint/gradient_desc.h"
#include "platform/panekit/paint/style_record.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void AddStops(cairo_pattern_t *pattern, const XGradientDesc *g)
{
    const XGradientStop *stops = g->GetStops();
    for (uint32_t i = 0; i < g->count; ++i) {
        const uint32_t c = stops[i].color;
        const double alpha = (c >> 24) != 0 ? 0.0 : 1.0; // a "none" stop is transparent
        const double pos = std::isfinite(stops[i].position) ? stops[i].position : 0.0;
        cairo_pattern_add_color_stop_rgba(pattern, pos, (c & 0xFF) / 255.0,
                                          ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0,
                                          alpha);
    }
}

// The gradient line of a linear gradient at angle degrees (0 towards the top, 90 towards
// the right) over the bound: through the centre, long enough that the corners in the
// angle's direction lie on the first and last stop.
cairo_pattern_t *LinearPattern(const XGradientDesc *g, const BOUND_t *b)
{
    const double angle = std::isfinite(g->angle) ? g->angle * kPi / 180.0 : 0.0;
    const double dx = std::sin(angle), dy = -std::cos(angle);
    const double half = (std::fabs(b->width * dx) + std::fabs(b->height * dy)) / 2.0;
    const double cx = b->x + b->width / 2.0, cy = b->y + b->height / 2.0;
    return cairo_pattern_create_linear(cx - dx * half, cy - dy * half, cx + dx * half,
                                       cy + dy * half);
}

// An ellipse centred in the bound, its axes in the bound's proportions, reaching the
// corners.
cairo_pattern_t *RadialPattern(const XGradientDesc *, const BOUND_t *b)
{
    cairo_pattern_t *pattern = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    const double rx = b->width / std::sqrt(2.0), ry = b->height / std::sqrt(2.0);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, 1.0 / rx, 1.0 / ry);
    cairo_matrix_translate(&m, -(b->x + b->width / 2.0), -(b->y + b->height / 2.0));
    cairo_pattern_set_matrix(pattern, &m);
    return pattern;
}

// A background word nibble, unset (15) taken as 0.
uint32_t Nibble(uint32_t word, StyleField f)
{
    const uint32_t v = GetStyleField(word, f);
    return v == f.mask ? 0 : v;
}

// Where an item of size inside bound goes along one axis: 0 start, 1 centre, 2 end.
int Place(int start, int extent, int size, uint32_t position)
{
    if (position == 1)
        return start + (extent - size) / 2;
    if (position == 2)
        return start + extent - size;
    return start;
}

// Fills the bound with a gradient; false for a descriptor with no usable stops.
bool PaintGradient(cairo_t *cr, const XGradientDesc *g, const BOUND_t *bound)
{
    if (g == nullptr || g->count == 0 || g->count > XGradientDesc::kMaxStops)
        return false;
    cairo_pattern_t *pattern =
        g->shape == XGradientDesc::kRadial ? RadialPattern(g, bound) : LinearPattern(g, bound);
    AddStops(pattern, g);
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, bound->x, bound->y, bound->width, bound->height);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
    return true;
}

} // namespace

void XPainter::PaintBackground(const XStyleDesc *style, const BOUND_t *bound)
{
    const uint32_t kind = GetStyleField(style->backWord, kBackKind);
    if (kind == kBackKind.mask || kind == kBackNone)
        return;
    cairo_t *cr = GetContext();
    if (SetSource(style->backColor)) {
        cairo_rectangle(cr, bound->x, bound->y, bound->width, bound->height);
        cairo_fill(cr);
    }
    if (kind == kBackGradient)
        PaintGradient(cr, style->backGradient, bound);
    else if (IsNamedBackKind(kind) && style->backName != nullptr)
        PaintNamedBack(style, bound);
}

void XPainter::PaintNamedBack(const XStyleDesc *style, const BOUND_t *bound)
{
    const uint32_t word = style->backWord;
    const uint32_t kind = GetStyleField(word, kBackKind);
    XRescHelper *helper = Helper();
    if (kind >= kBackIcon) {
        XIconDrawer *icons = helper->SearchIcon(style->backName);
        if (icons == nullptr)
            return;
        const int size = icons->GetIconWidth();
        const int x = Place(bound->x, bound->width, size, Nibble(word, kBackPosX));
        const int y = Place(bound->y, bound->height, size, Nibble(word, kBackPosY));
        icons->DrawIcon(GetContext(), int(kind - kBackIcon), x, y);
        return;
    }
    const XImage *image = helper->CheckImage(style->backPicture, style->backName);
    if (image == nullptr)
        return;
    // A named render stretches its picture over the box; a picture follows the word's
    // size, repeat and position nibbles.
    uint32_t layout = 3;
    if (kind == kBackPicture)
        layout = Nibble(word, kBackSize) | Nibble(word, kBackRepeat) << 4 |
                 Nibble(word, kBackPosX) << 8 | Nibble(word, kBackPosY) << 12;
    DrawImage(image, bound, layout);
}
