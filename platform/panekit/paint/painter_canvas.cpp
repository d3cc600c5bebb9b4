// The floating, antialiased canvas drawing of scripts: lines, rectangles, arcs, ellipses,
// smooth curves and collected paths. Outlines use the pen, fills the fill colour.
#include <cmath>

#include "platform/panekit/paint/paint_core.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// Tension of the smooth curves: the control points lie a sixth of the neighbours' distance
// away from each point (a Catmull-Rom curve).
constexpr double kCurveTension = 0.5;

bool Finite(double a, double b)
{
    return std::isfinite(a) && std::isfinite(b);
}

// Keeps an open path aside while an immediate figure is drawn, and puts it back.
class PathStash
{
public:
    PathStash(cairo_t *cr, bool open) : m_cr(cr), m_path(open ? cairo_copy_path(cr) : nullptr)
    {
        cairo_new_path(cr);
    }
    ~PathStash()
    {
        cairo_new_path(m_cr);
        if (m_path != nullptr) {
            cairo_append_path(m_cr, m_path);
            cairo_path_destroy(m_path);
        }
    }
    PathStash(const PathStash &) = delete;
    PathStash &operator=(const PathStash &) = delete;

private:
    cairo_t *m_cr;
    cairo_path_t *m_path;
};

// Adds the arc of the circle at (x, y) from start through sweep degrees, anticlockwise on
// screen for a positive sweep, as a new sub-path (or continuing one when joined).
void AddArc(cairo_t *cr, double x, double y, double r, double start, double sweep)
{
    double a1 = -start * kPi / 180.0, a2 = -(start + sweep) * kPi / 180.0;
    if (sweep >= 0)
        cairo_arc_negative(cr, x, y, r, a1, a2);
    else
        cairo_arc(cr, x, y, r, a1, a2);
}

void AddEllipse(cairo_t *cr, double x, double y, double rx, double ry)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_close_path(cr);
    cairo_restore(cr);
}

} // namespace

// ---- strokes and fills ------------------------------------------------------------------------

// Strokes the current path with the pen, antialiased, and clears it.
void XPaintCore::StrokeCanvas()
{
    if (!PenDraws()) {
        cairo_new_path(m_cr);
        return;
    }
    cairo_save(m_cr);
    ApplyPenStroke(m_pen.width == 0 ? 1 : static_cast<int>(m_pen.width));
    // Round ends suit solid strokes; dashes keep butt ends so that their gaps stay open
    // (the border pattern strokes as dots of the pen's width).
    if (cairo_get_dash_count(m_cr) == 0) {
        cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_ROUND);
    }
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_stroke(m_cr);
    cairo_restore(m_cr);
}

// Fills the current path with the fill colour, antialiased, and clears it.
void XPaintCore::FillCanvas(bool evenOdd)
{
    if (!SetSource(m_fill)) {
        cairo_new_path(m_cr);
        return;
    }
    cairo_save(m_cr);
    SetSource(m_fill);
    cairo_set_fill_rule(m_cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_fill(m_cr);
    cairo_restore(m_cr);
}

// ---- lines and figures --------------------------------------------------------------------------

void XPaintCore::MoveTo(double x, double y)
{
    if (!Finite(x, y))
        return;
    if (m_pathOpen && m_cr != nullptr)
        cairo_move_to(m_cr, x, y);
    m_curX = x;
    m_curY = y;
    m_dashIndex = 0;
}

void XPaintCore::LineTo(double x, double y)
{
    if (m_cr == nullptr || !Finite(x, y))
        return;
    double x1 = m_curX, y1 = m_curY;
    m_curX = x;
    m_curY = y;
    if (m_pathOpen) {
        if (!cairo_has_current_point(m_cr))
            cairo_move_to(m_cr, x1, y1);
        cairo_line_to(m_cr, x, y);
        return;
    }
    PathStash stash(m_cr, false);
    cairo_move_to(m_cr, x1, y1);
    cairo_line_to(m_cr, x, y);
    StrokeCanvas();
}

void XPaintCore::DrawRect(double x, double y, double cx, double cy)
{
    if (m_cr == nullptr || !Finite(x, y) || !Finite(cx, cy))
        return;
    if (m_pathOpen) {
        cairo_rectangle(m_cr, x, y, cx, cy);
        return;
    }
    PathStash stash(m_cr, false);
    cairo_rectangle(m_cr, x, y, cx, cy);
    StrokeCanvas();
}

void XPaintCore::FillRect(double x, double y, double cx, double cy)
{
    if (m_cr == nullptr || !Finite(x, y) || !Finite(cx, cy) || cx <= 0 || cy <= 0)
        return;
    PathStash stash(m_cr, m_pathOpen);
    cairo_rectangle(m_cr, x, y, cx, cy);
    FillCanvas(false);
}

void XPaintCore::DrawArc(double x, double y, double r, double start, double sweep)
{
    if (m_cr == nullptr || !Finite(x, y) || !Finite(r, start) || !std::isfinite(sweep) || r <= 0)
        return;
    if (m_pathOpen) {
        cairo_new_sub_path(m_cr);
        AddArc(m_cr, x, y, r, start, sweep);
        return;
    }
    PathStash stash(m_cr, false);
    AddArc(m_cr, x, y, r, start, sweep);
    StrokeCanvas();
}

void XPaintCore::FillArc(double x, double y, double r, double start, double sweep)
{
    if (m_cr == nullptr || !Finite(x, y) || !Finite(r, start) || !std::isfinite(sweep) || r <= 0)
        return;
    PathStash stash(m_cr, m_pathOpen);
    cairo_move_to(m_cr, x, y);
    AddArc(m_cr, x, y, r, start, sweep);
    cairo_close_path(m_cr);
    FillCanvas(false);
}

void XPaintCore::DrawEllipse(double x, double y, double rx, double ry)
{
    if (m_cr == nullptr || !Finite(x, y) || !Finite(rx, ry) || rx <= 0 || ry <= 0)
        return;
    if (m_pathOpen) {
        AddEllipse(m_cr, x, y, rx, ry);
        return;
    }
    PathStash stash(m_cr, false);
    AddEllipse(m_cr, x, y, rx, ry);
    StrokeCanvas();
}

void XPaintCore::FillEllipse(double x, double y, double rx, double ry)
{
    if (m_cr == nullptr || !Finite(x, y) || !Finite(rx, ry) || rx <= 0 || ry <= 0)
        return;
    PathStash stash(m_cr, m_pathOpen);
    AddEllipse(m_cr, x, y, rx, ry);
    FillCanvas(false);
}

// ---- curves
// --------------------------------------------------------------------------------------

// Adds a smooth curve through the points: each segment from p[i] to p[i+1] is a Bézier
// curve whose control points follow the direction from p[i-1] to p[i+1] (the ends of an
// open curve use the end point itself as the missing neighbour).
void XPaintCore::AddCurve(const FPOINT_t *points, int count, bool closed)
{
    auto at = [&](int i) -> const FPOINT_t & {
        if (closed)
            return points[(i % count + count) % count];
        return points[i < 0 ? 0 : (i >= count ? count - 1 : i)];
    };
    double k = kCurveTension / 3.0;
    cairo_move_to(m_cr, points[0].x, points[0].y);
    int segments = closed ? count : count - 1;
    for (int i = 0; i < segments; ++i) {
        const FPOINT_t &p0 = at(i - 1), &p1 = at(i), &p2 = at(i + 1), &p3 = at(i + 2);
        cairo_curve_to(m_cr, p1.x + (p2.x - p0.x) * k, p1.y + (p2.y - p0.y) * k,
                       p2.x - (p3.x - p1.x) * k, p2.y - (p3.y - p1.y) * k, p2.x, p2.y);
    }
    if (closed)
        cairo_close_path(m_cr);
}

namespace {

bool PointsFinite(const FPOINT_t *points, int count)
{
    for (int i = 0; i < count; ++i)
        if (!Finite(points[i].x, points[i].y))
            return false;
    return true;
}

} // namespace

void XPaintCore::CurveTo(const FPOINT_t *points, int count, int flags)
{
    if (m_cr == nullptr || points == nullptr || count < 2 || !PointsFinite(points, count))
        return;
    if (m_pathOpen) {
        AddCurve(points, count, (flags & 1) != 0);
        return;
    }
    PathStash stash(m_cr, false);
    AddCurve(points, count, (flags & 1) != 0);
    StrokeCanvas();
    m_curX = points[count - 1].x;
    m_curY = points[count - 1].y;
}

void XPaintCore::FillCurve(const FPOINT_t *points, int count, int flags)
{
    (void)flags;
    if (m_cr == nullptr || points == nullptr || count < 3 || !PointsFinite(points, count))
        return;
    PathStash stash(m_cr, m_pathOpen);
    AddCurve(points, count, true);
    FillCanvas(false);
}

// ---- paths
// ------------------------------------------------------------------------------------------

void XPaintCore::BeginPath(int mode)
{
    if (m_cr == nullptr)
        return;
    cairo_new_path(m_cr);
    m_pathOpen = true;
    m_pathMode = mode == kPathEvenOdd ? kPathEvenOdd : kPathWinding;
}

void XPaintCore::ClosePath(int flags)
{
    (void)flags;
    if (m_cr != nullptr && m_pathOpen && cairo_has_current_point(m_cr))
        cairo_close_path(m_cr);
}

int XPaintCore::DrawPath()
{
    if (m_cr == nullptr || !m_pathOpen)
        return 0;
    m_pathOpen = false;
    StrokeCanvas();
    return 1;
}

int XPaintCore::FillPath()
{
    if (m_cr == nullptr || !m_pathOpen)
        return 0;
    m_pathOpen = false;
    FillCanvas(m_pathMode == kPathEvenOdd);
    return 1;
}
