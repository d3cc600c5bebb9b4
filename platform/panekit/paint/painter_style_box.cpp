// Style boxes: the shape of a descriptor's box (its bound rounded by the corner radii)
// and its borders, rasterised row by row into pixel runs.
//
// Pixel rule: a pixel belongs to a shape when its centre lies inside it (on the edge
// counts as inside; rounded corners keep a small allowance, see kCornerAllowance). The outer shape
// is the bound with elliptical corners of the radii; the inner shape (inside the borders) is the
// bound less the border widths, its corner radii reduced by the adjacent widths. A border pixel (in
// the outer but not the inner shape) belongs to the top or bottom side when it lies within that
// side's width of the bound's edge, else to the left or right side likewise, and in a rounded
// corner to the side it is relatively nearest to (its distance divided by the side's width).
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/panekit/paint/style_record.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

constexpr uint32_t kSideMasks[4] = {kSideMaskLeft, kSideMaskTop, kSideMaskRight, kSideMaskBottom};

struct Shape
{
    double left, top, right, bottom;
    double rx[4], ry[4]; // kCorner* order
};

// Pixels of one colour: a run of a row, or a band of rows.
struct Run
{
    uint32_t color;
    int x, y, width;
    int height = 1;
};

// Everything PaintBox needs of a descriptor, with unset fields taken as nothing.
struct BoxPlan
{
    BOUND_t bound;
    int width[4];      // border widths, kSide* order
    uint8_t kind[4];   // border styles
    uint32_t color[4]; // border colours
    Shape outer, inner;
    bool round;
};

bool IsNone(uint32_t color)
{
    return (color >> 24) != 0;
}

// Scales the radii down together so that adjacent corners never overlap on a side.
void FitRadii(Shape *s)
{
    const double w = s->right - s->left, h = s->bottom - s->top;
    double f = 1.0;
    const double sums[4] = {s->rx[kCornerTopLeft] + s->rx[kCornerTopRight],
                            s->rx[kCornerBottomLeft] + s->rx[kCornerBottomRight],
                            s->ry[kCornerTopLeft] + s->ry[kCornerBottomLeft],
                            s->ry[kCornerTopRight] + s->ry[kCornerBottomRight]};
    for (int i = 0; i < 4; ++i) {
        const double side = i < 2 ? w : h;
        if (sums[i] > side && sums[i] > 0)
            f = std::min(f, side / sums[i]);
    }
    for (int c = 0; c < 4; ++c) {
        s->rx[c] *= f;
        s->ry[c] *= f;
    }
}

// How far inside its ideal edge a rounded corner's pixel centre must lie: the curve is
// traced as a fine polygon inside the true ellipse, as other non-antialiasing
// rasterisers do, so that the same figure gives the same pixels.
constexpr double kCornerAllowance = 0.078;

// x of the corner's edge at a row whose centre lies dy above (or below) the corner
// ellipse's centre, measured inwards from the side.
double CornerInset(double rx, double ry, double dy)
{
    if (rx <= kCornerAllowance || ry <= kCornerAllowance || dy <= 0)
        return 0;
    const double ex = rx - kCornerAllowance, ey = ry - kCornerAllowance;
    const double t = std::min(dy / ey, 1.0);
    return rx - ex * std::sqrt(1.0 - t * t);
}

// Columns [x0, x1) whose pixel centres lie inside the shape on the row with centre cy.
bool RowSpan(const Shape &s, double cy, int *x0, int *x1)
{
    if (cy <= s.top || cy >= s.bottom)
        return false;
    double xl = s.left, xr = s.right;
    const double dTop = s.top - cy, dBottom = cy - s.bottom;
    if (cy < s.top + s.ry[kCornerTopLeft])
        xl = std::max(xl, s.left + CornerInset(s.rx[kCornerTopLeft], s.ry[kCornerTopLeft],
                                               dTop + s.ry[kCornerTopLeft]));
    if (cy > s.bottom - s.ry[kCornerBottomLeft])
        xl = std::max(xl, s.left + CornerInset(s.rx[kCornerBottomLeft], s.ry[kCornerBottomLeft],
                                               dBottom + s.ry[kCornerBottomLeft]));
    if (cy < s.top + s.ry[kCornerTopRight])
        xr = std::min(xr, s.right - CornerInset(s.rx[kCornerTopRight], s.ry[kCornerTopRight],
                                                dTop + s.ry[kCornerTopRight]));
    if (cy > s.bottom - s.ry[kCornerBottomRight])
        xr = std::min(xr, s.right - CornerInset(s.rx[kCornerBottomRight], s.ry[kCornerBottomRight],
                                                dBottom + s.ry[kCornerBottomRight]));
    *x0 = int(std::ceil(xl - 0.5));
    *x1 = int(std::floor(xr - 0.5)) + 1;
    return *x0 < *x1;
}

BoxPlan MakePlan(const XStyleDesc *style, const BOUND_t *bound, bool round)
{
    BoxPlan p{};
    p.bound = *bound;
    RECT_t widths;
    GetRectBorder(&widths, style);
    const int w[4] = {widths.left, widths.top, widths.right, widths.bottom};
    for (int side = 0; side < 4; ++side) {
        p.width[side] = w[side];
        p.kind[side] = style->border[side] & 0xF;
        p.color[side] = style->borderColor[side];
    }
    p.outer = Shape{double(bound->x),
                    double(bound->y),
                    double(bound->x) + bound->width,
                    double(bound->y) + bound->height,
                    {0, 0, 0, 0},
                    {0, 0, 0, 0}};
    for (int c = 0; round && c < 4; ++c) {
        const uint8_t r = style->radius[c];
        p.outer.rx[c] = p.outer.ry[c] = r == kStyleUnsetRadius ? 0 : r;
    }
    // An inset or outset side draws square corners at both of its ends.
    constexpr int kEnds[4][2] = {{kCornerBottomLeft, kCornerTopLeft},
                                 {kCornerTopLeft, kCornerTopRight},
                                 {kCornerTopRight, kCornerBottomRight},
                                 {kCornerBottomRight, kCornerBottomLeft}};
    for (int side = 0; side < 4; ++side) {
        if (w[side] > 0 && (p.kind[side] == kBorderInset || p.kind[side] == kBorderOutset))
            for (int c : kEnds[side])
                p.outer.rx[c] = p.outer.ry[c] = 0;
    }
    FitRadii(&p.outer);
    p.round = false;
    for (int c = 0; c < 4; ++c)
        p.round = p.round || p.outer.rx[c] > 0;
    p.inner = p.outer;
    p.inner.left += w[kSideLeft];
    p.inner.top += w[kSideTop];
    p.inner.right -= w[kSideRight];
    p.inner.bottom -= w[kSideBottom];
    constexpr int kSideX[4] = {kSideLeft, kSideLeft, kSideRight, kSideRight};
    constexpr int kSideY[4] = {kSideBottom, kSideTop, kSideTop, kSideBottom};
    for (int c = 0; c < 4; ++c) {
        p.inner.rx[c] = std::max(0.0, p.outer.rx[c] - w[kSideX[c]]);
        p.inner.ry[c] = std::max(0.0, p.outer.ry[c] - w[kSideY[c]]);
    }
    return p;
}

// The side a border pixel (centre cx, cy) belongs to.
int PixelSide(const BoxPlan &p, double cx, double cy)
{
    const Shape &o = p.outer;
    if (cy - o.top < p.width[kSideTop])
        return kSideTop;
    if (o.bottom - cy < p.width[kSideBottom])
        return kSideBottom;
    if (cx - o.left < p.width[kSideLeft])
        return kSideLeft;
    if (o.right - cx < p.width[kSideRight])
        return kSideRight;
    const double d[4] = {cx - o.left, cy - o.top, o.right - cx, o.bottom - cy};
    int best = kSideTop;
    double bestValue = 1e300;
    for (int side : {kSideTop, kSideBottom, kSideLeft, kSideRight}) {
        if (p.width[side] <= 0)
            continue;
        const double v = d[side] / p.width[side];
        if (v < bestValue) {
            bestValue = v;
            best = side;
        }
    }
    return best;
}

bool Is3D(uint8_t kind)
{
    return kind == kBorderInset || kind == kBorderOutset;
}

// Inset and outset borders are nested one-pixel frames: the pixel belongs to the frame at
// its smallest distance from the edges, whose top and bottom rows run its full width.
void FrameSide(const int edge[4], int *side, int *depth)
{
    const int d = std::min(std::min(edge[0], edge[1]), std::min(edge[2], edge[3]));
    *depth = d;
    if (edge[kSideTop] == d)
        *side = kSideTop;
    else if (edge[kSideBottom] == d)
        *side = kSideBottom;
    else
        *side = edge[kSideLeft] == d ? kSideLeft : kSideRight;
}

uint32_t Shade(uint32_t color, bool light)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t c = (color >> shift) & 0xFF;
        out |= (light ? c + (255 - c) / 2 : c / 2) << shift;
    }
    return out;
}

// Colour of a border pixel of side at depth (pixels from the bound's edge) and position
// along the side (pixels from its start); "none" when the pattern leaves it out.
uint32_t SideColor(const BoxPlan &p, int side, int depth, int along)
{
    const uint32_t color = p.color[side];
    const int w = std::max(p.width[side], 1);
    switch (p.kind[side]) {
    case kBorderDotted:
        return (along / w) % 2 == 0 ? color : 0xFFFFFFFF;
    case kBorderDashed:
        return (along / w) % 6 < 4 ? color : 0xFFFFFFFF;
    case kBorderInset:
    case kBorderOutset: {
        // The outer half (rounded up) is shaded: dark at the top and left of an inset
        // border, light at its bottom and right; the other way round when outset.
        if (depth >= (w + 1) / 2)
            return color;
        const bool topLeft = side == kSideLeft || side == kSideTop;
        return Shade(color, topLeft == (p.kind[side] == kBorderOutset));
    }
    default:
        return color;
    }
}

// True when every drawn side is solid in one colour: the ring is then filled whole.
bool IsPlainRing(const BoxPlan &p, uint32_t sides, uint32_t *color)
{
    bool first = true;
    for (int side = 0; side < 4; ++side) {
        if (p.width[side] == 0)
            continue;
        if (!(sides & kSideMasks[side]) || p.kind[side] != kBorderSolid)
            return false;
        if (!first && p.color[side] != *color)
            return false;
        *color = p.color[side];
        first = false;
    }
    return true;
}

void AddRun(std::vector<Run> *runs, uint32_t color, int x, int y, int width)
{
    if (IsNone(color) || width <= 0)
        return;
    if (!runs->empty()) {
        Run &last = runs->back();
        if (last.color == color && last.y == y && last.x + last.width == x) {
            last.width += width;
            return;
        }
    }
    runs->push_back(Run{color, x, y, width, 1});
}

// The border pixels of one row between columns x0 and x1, pixel by pixel.
void RingPixels(const BoxPlan &p, uint32_t sides, int y, int x0, int x1, std::vector<Run> *runs)
{
    const double cy = y + 0.5;
    for (int x = x0; x < x1; ++x) {
        const double cx = x + 0.5;
        const int edge[4] = {x - p.bound.x, y - p.bound.y, p.bound.x + p.bound.width - 1 - x,
                             p.bound.y + p.bound.height - 1 - y};
        int side = PixelSide(p, cx, cy);
        int depth = edge[side];
        if (Is3D(p.kind[side]))
            FrameSide(edge, &side, &depth);
        if (!(sides & kSideMasks[side]))
            continue;
        const bool vertical = side == kSideLeft || side == kSideRight;
        const int along = vertical ? y - p.bound.y : x - p.bound.x;
        AddRun(runs, SideColor(p, side, depth, along), x, y, 1);
    }
}

// True when every side of the mask is solid (or not drawn): a square ring is then four
// bands, the top and bottom ones across the whole width.
bool IsSolidRing(const BoxPlan &p, uint32_t sides)
{
    for (int side = 0; side < 4; ++side)
        if ((sides & kSideMasks[side]) && p.width[side] > 0 && p.kind[side] != kBorderSolid)
            return false;
    return true;
}

// The ring of a square box with solid sides, as up to four bands.
std::vector<Run> SquareRing(const BoxPlan &p, uint32_t sides)
{
    std::vector<Run> bands;
    const BOUND_t &b = p.bound;
    const int top = std::min(p.width[kSideTop], b.height);
    const int bottom = std::min(p.width[kSideBottom], b.height - top);
    const int middle = b.height - top - bottom;
    const int left = std::min(p.width[kSideLeft], b.width);
    const int right = std::min(p.width[kSideRight], b.width - left);
    auto band = [&](int side, int x, int y, int w, int h) {
        if ((sides & kSideMasks[side]) && w > 0 && h > 0 && !IsNone(p.color[side]))
            bands.push_back(Run{p.color[side], x, y, w, h});
    };
    band(kSideTop, b.x, b.y, b.width, top);
    band(kSideBottom, b.x, b.y + b.height - bottom, b.width, bottom);
    band(kSideLeft, b.x, b.y + top, left, middle);
    band(kSideRight, b.x + b.width - right, b.y + top, right, middle);
    return bands;
}

// Collects the border runs of every row of the box.
std::vector<Run> RingRuns(const BoxPlan &p, uint32_t sides)
{
    if (!p.round && IsSolidRing(p, sides))
        return SquareRing(p, sides);
    std::vector<Run> runs;
    uint32_t plain = 0;
    const bool plainRing = IsPlainRing(p, sides, &plain);
    for (int y = p.bound.y; y < p.bound.y + p.bound.height; ++y) {
        int ox0, ox1, ix0 = 0, ix1 = 0;
        if (!RowSpan(p.outer, y + 0.5, &ox0, &ox1))
            continue;
        const bool hole = RowSpan(p.inner, y + 0.5, &ix0, &ix1);
        if (!hole)
            ix0 = ix1 = ox1;
        ix0 = std::clamp(ix0, ox0, ox1);
        ix1 = std::clamp(ix1, ix0, ox1);
        if (plainRing) {
            AddRun(&runs, plain, ox0, y, ix0 - ox0);
            AddRun(&runs, plain, ix1, y, ox1 - ix1);
            continue;
        }
        RingPixels(p, sides, y, ox0, ix0, &runs);
        RingPixels(p, sides, y, ix1, ox1, &runs);
    }
    return runs;
}

// Adds the outer shape to the context's path, as rectangles of whole rows.
void AddShapePath(cairo_t *cr, const BoxPlan &p)
{
    if (!p.round) {
        cairo_rectangle(cr, p.bound.x, p.bound.y, p.bound.width, p.bound.height);
        return;
    }
    int y = p.bound.y;
    const int end = p.bound.y + p.bound.height;
    while (y < end) {
        int x0, x1;
        if (!RowSpan(p.outer, y + 0.5, &x0, &x1)) {
            ++y;
            continue;
        }
        int y1 = y + 1; // rows with the same span form one rectangle
        int n0, n1;
        while (y1 < end && RowSpan(p.outer, y1 + 0.5, &n0, &n1) && n0 == x0 && n1 == x1)
            ++y1;
        cairo_rectangle(cr, x0, y, x1 - x0, y1 - y);
        y = y1;
    }
}

void FillRuns(cairo_t *cr, std::vector<Run> *runs)
{
    std::stable_sort(runs->begin(), runs->end(),
                     [](const Run &a, const Run &b) { return a.color < b.color; });
    size_t i = 0;
    while (i < runs->size()) {
        const uint32_t color = (*runs)[i].color;
        cairo_new_path(cr);
        for (; i < runs->size() && (*runs)[i].color == color; ++i)
            cairo_rectangle(cr, (*runs)[i].x, (*runs)[i].y, (*runs)[i].width, (*runs)[i].height);
        cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                             ((color >> 16) & 0xFF) / 255.0);
        cairo_fill(cr);
    }
}

// Keeps the caller's context state and an open canvas path across box drawing.
class ContextScope
{
public:
    ContextScope(cairo_t *cr, bool keepPath)
        : m_cr(cr), m_path(keepPath ? cairo_copy_path(cr) : nullptr)
    {
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    }
    ~ContextScope()
    {
        cairo_restore(m_cr);
        cairo_new_path(m_cr);
        if (m_path == nullptr)
            return;
        if (m_path->status == CAIRO_STATUS_SUCCESS && m_path->num_data > 0)
            cairo_append_path(m_cr, m_path);
        cairo_path_destroy(m_path);
    }
    ContextScope(const ContextScope &) = delete;
    ContextScope &operator=(const ContextScope &) = delete;

private:
    cairo_t *m_cr;
    cairo_path_t *m_path;
};

} // namespace

void XPainter::PaintBox(const XStyleDesc *style, const BOUND_t *bound, bool fill, uint32_t sides,
                        bool round)
{
    cairo_t *cr = GetContext();
    if (cr == nullptr || style == nullptr || bound == nullptr || bound->width <= 0 ||
        bound->height <= 0)
        return;
    const BoxPlan plan = MakePlan(style, bound, round);
    const int32_t opacity = style->opacity;
    if (opacity == 0)
        return;
    ContextScope scope(cr, IsPathOpen() != 0);
    const bool blend = opacity > 0 && opacity < 10000;
    if (blend)
        cairo_push_group(cr);
    if (fill && plan.round) {
        cairo_save(cr);
        AddShapePath(cr, plan);
        cairo_clip(cr);
        PaintBackground(style, bound);
        cairo_restore(cr);
        cairo_new_path(cr);
    } else if (fill) { // every layer keeps to the bound by itself
        PaintBackground(style, bound);
    }
    if (sides != 0) {
        std::vector<Run> runs = RingRuns(plan, sides);
        FillRuns(cr, &runs);
    }
    if (blend) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, opacity / 10000.0);
    }
}

void XPainter::DrawBorder(const XStyleDesc *style, const BOUND_t *bound, uint32_t sides)
{
    PaintBox(style, bound, false, sides, false);
}

void XPainter::DrawItemBox(const XStyleDesc *style, const BOUND_t *bound)
{
    PaintBox(style, bound, true, kSideMaskAll, true);
}

void XPainter::DrawCtrlBox(const XStyleDesc *style, const BOUND_t *bound, uint32_t sides)
{
    PaintBox(style, bound, false, sides, true);
}

void XPainter::FillCtrlBox(const XStyleDesc *style, const BOUND_t *bound)
{
    PaintBox(style, bound, true, 0, true);
}
