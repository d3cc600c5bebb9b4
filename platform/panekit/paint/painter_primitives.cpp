// Integer primitives with GDI's pixel rules, and the halftone inversion.
//
// While the user space is a whole-pixel translation, every figure is turned into device
// pixel rectangles (runs of a row, or whole bands) and filled once without antialiasing,
// which makes the result exact. Otherwise the figure goes to Cairo as a path.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

#include "platform/panekit/paint/paint_core.h"

namespace {

// ---- pen patterns -------------------------------------------------------------------------

// On and off lengths of each dashed pen style, in units of the pen width; a 0 ends a row.
// Columns: style, then up to six lengths alternating on, off.
struct DashRow
{
    uint32_t style;
    uint8_t lengths[6];
};

constexpr DashRow kDashes[] = {
    {kPenDotted, {1, 1, 0, 0, 0, 0}},   {kPenDashed, {4, 2, 0, 0, 0, 0}},
    {kPenDashDot, {4, 2, 1, 2, 0, 0}},  {kPenDashDotDot, {4, 2, 1, 2, 1, 2}},
    {kPenLongDash, {8, 4, 0, 0, 0, 0}}, {kPenSparseDot, {1, 3, 0, 0, 0, 0}},
};

const DashRow *FindDash(uint32_t style)
{
    for (const DashRow &row : kDashes)
        if (row.style == style)
            return &row;
    return nullptr;
}

// Whether unit `unit` of a dash row is drawn.
bool DashUnitOn(const DashRow &row, uint32_t unit)
{
    uint32_t period = 0;
    for (uint8_t len : row.lengths)
        period += len;
    uint32_t at = unit % period;
    for (int i = 0; i < 6 && row.lengths[i] != 0; ++i) {
        if (at < row.lengths[i])
            return (i & 1) == 0;
        at -= row.lengths[i];
    }
    return false;
}

// ---- pixel runs -----------------------------------------------------------------------------

} // namespace

// Collects device pixels into runs of a row; each finished run becomes a rectangle of the
// current Cairo path.
class XPaintCore::RunPath
{
public:
    // Pixels are given in device space; the rectangles go into the path in the user
    // space that lies (ox, oy) whole pixels from it.
    RunPath(cairo_t *cr, int64_t ox, int64_t oy) : m_cr(cr), m_ox(ox), m_oy(oy) {}
    ~RunPath() { Flush(); }

    void Add(int x, int y)
    {
        if (m_len > 0 && y == m_y) {
            if (x == m_x + m_len) {
                ++m_len;
                return;
            }
            if (x == m_x - 1) {
                --m_x;
                ++m_len;
                return;
            }
        }
        Flush();
        m_x = x;
        m_y = y;
        m_len = 1;
    }
    void AddRect(int x, int y, int w, int h)
    {
        if (w > 0 && h > 0)
            cairo_rectangle(m_cr, double(x - m_ox), double(y - m_oy), w, h);
    }
    void Flush()
    {
        if (m_len > 0)
            cairo_rectangle(m_cr, double(m_x - m_ox), double(m_y - m_oy), m_len, 1);
        m_len = 0;
    }

private:
    cairo_t *m_cr;
    int64_t m_ox;
    int64_t m_oy;
    int m_x = 0;
    int m_y = 0;
    int m_len = 0;
};

namespace {

// Longest slanted line walked pixel by pixel (far longer than any surface side).
constexpr double kMaxWalkSteps = 65536;

int PenWidth(const XPenHandle &pen)
{
    return pen.width == 0 ? 1 : static_cast<int>(std::min(pen.width, 255u));
}

} // namespace

// ---- device drawing ---------------------------------------------------------------------------

// Starts an exact figure: keeps an open canvas path aside and puts it back afterwards.
// The figure is drawn in the user space itself, which is a whole-pixel translation of the
// device space, so no state needs saving.
XPaintCore::DeviceScope::DeviceScope(cairo_t *cr, bool keepPath) : cr(cr)
{
    path = keepPath ? cairo_copy_path(cr) : nullptr;
    cairo_new_path(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
}

XPaintCore::DeviceScope::~DeviceScope()
{
    cairo_new_path(cr);
    if (path != nullptr) {
        cairo_append_path(cr, path);
        cairo_path_destroy(path);
    }
}

void XPaintCore::GetPixelOffset(int64_t *dx, int64_t *dy) const
{
    cairo_matrix_t m;
    cairo_get_matrix(m_cr, &m);
    // Cairo keeps coordinates far inside this range; the clamp only keeps the cast defined.
    *dx = static_cast<int64_t>(std::clamp(m.x0, -1e12, 1e12));
    *dy = static_cast<int64_t>(std::clamp(m.y0, -1e12, 1e12));
}

// Adds the part of the device rectangle x, y, w, h inside the figure's clip.
void XPaintCore::AddClippedRect(RunPath &runs, int64_t x, int64_t y, int64_t w, int64_t h) const
{
    int64_t left = std::max<int64_t>(x, m_figureClip.x);
    int64_t top = std::max<int64_t>(y, m_figureClip.y);
    int64_t right = std::min<int64_t>(x + w, int64_t(m_figureClip.x) + m_figureClip.width);
    int64_t bottom = std::min<int64_t>(y + h, int64_t(m_figureClip.y) + m_figureClip.height);
    if (right > left && bottom > top)
        runs.AddRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                     static_cast<int>(bottom - top));
}

// ---- fills and frames -------------------------------------------------------------------------

void XPaintCore::FillRect(const BOUND_t *bound)
{
    FillRect(bound, m_fill);
}

void XPaintCore::FillRect(const BOUND_t *bound, uint32_t color)
{
    if (m_cr == nullptr || bound == nullptr || bound->width <= 0 || bound->height <= 0)
        return;
    if ((color >> 24) != 0)
        return;
    if (IsPixelExact()) {
        int64_t dx, dy;
        GetPixelOffset(&dx, &dy);
        m_figureClip = m_deviceClip;
        DeviceScope scope(m_cr, m_pathOpen);
        RunPath runs(m_cr, dx, dy);
        AddClippedRect(runs, bound->x + dx, bound->y + dy, bound->width, bound->height);
        SetSource(color);
        cairo_fill(m_cr);
        return;
    }
    cairo_path_t *path = m_pathOpen ? cairo_copy_path(m_cr) : nullptr;
    cairo_save(m_cr);
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_NONE);
    cairo_new_path(m_cr);
    cairo_rectangle(m_cr, bound->x, bound->y, bound->width, bound->height);
    SetSource(color);
    cairo_fill(m_cr);
    cairo_restore(m_cr);
    if (path != nullptr) {
        cairo_append_path(m_cr, path);
        cairo_path_destroy(path);
    }
}

void XPaintCore::DrawRect(const BOUND_t *bound)
{
    if (m_cr == nullptr || bound == nullptr || bound->width <= 0 || bound->height <= 0)
        return;
    if (!PenDraws())
        return;
    int w = PenWidth(m_pen);
    if (!IsPixelExact()) {
        double half = w / 2.0;
        StrokeRect(bound->x + half, bound->y + half, bound->width - w, bound->height - w, w);
        return;
    }
    int64_t dx, dy;
    GetPixelOffset(&dx, &dy);
    int64_t x = bound->x + dx, y = bound->y + dy, cx = bound->width, cy = bound->height;
    m_figureClip = m_deviceClip;
    DeviceScope scope(m_cr, m_pathOpen);
    RunPath runs(m_cr, dx, dy);
    m_dashIndex = 0;
    if (2 * w >= cx || 2 * w >= cy) {
        for (int64_t row = 0; row < cy; ++row)
            Span(runs, x, y + row, 1, 0, cx, 1, 1);
    } else {
        Span(runs, x, y, 1, 0, cx, 1, w);                            // top, left to right
        Span(runs, x + cx - w, y + w, 0, 1, cy - w, w, 1);           // right, downwards
        Span(runs, x + cx - w - 1, y + cy - w, -1, 0, cx - w, 1, w); // bottom, leftwards
        Span(runs, x, y + cy - w - 1, 0, -1, cy - 2 * w, w, 1);      // left, upwards
    }
    runs.Flush();
    SetSource(m_pen.color);
    cairo_fill(m_cr);
}

// ---- lines
// ---------------------------------------------------------------------------------------

void XPaintCore::MoveTo(int x, int y)
{
    if (m_pathOpen && m_cr != nullptr)
        cairo_move_to(m_cr, x + 0.5, y + 0.5);
    m_curX = x;
    m_curY = y;
    m_dashIndex = 0;
}

void XPaintCore::LineTo(int x, int y)
{
    double fx = std::floor(m_curX), fy = std::floor(m_curY);
    m_curX = x;
    m_curY = y;
    if (m_cr == nullptr)
        return;
    if (m_pathOpen) {
        if (!cairo_has_current_point(m_cr))
            cairo_move_to(m_cr, fx + 0.5, fy + 0.5);
        cairo_line_to(m_cr, x + 0.5, y + 0.5);
        return;
    }
    if (!PenDraws() || (fx == x && fy == y))
        return;
    int w = PenWidth(m_pen);
    bool straight = fx == x || fy == y;
    // Slanted lines walk every step; one far longer than any surface goes to Cairo.
    bool walkable = straight || std::max(std::abs(fx - x), std::abs(fy - y)) <= kMaxWalkSteps;
    if (!IsPixelExact() || (w > 1 && !straight) || !walkable) {
        StrokeSegment(fx + 0.5, fy + 0.5, x + 0.5, y + 0.5, w);
        return;
    }
    int64_t dx, dy;
    GetPixelOffset(&dx, &dy);
    ExactLine(static_cast<int64_t>(fx) + dx, static_cast<int64_t>(fy) + dy, x + dx, y + dy, w, dx,
              dy);
}

void XPaintCore::DrawLine(int x1, int y1, int x2, int y2)
{
    MoveTo(x1, y1);
    LineTo(x2, y2);
}

// A line in device pixels from (x1, y1) to (x2, y2), end left out. Wide pens only reach
// here for horizontal and vertical lines; their band is centred on the line.
void XPaintCore::ExactLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int w, int64_t dx,
                           int64_t dy)
{
    m_figureClip = m_deviceClip;
    DeviceScope scope(m_cr, false);
    RunPath runs(m_cr, dx, dy);
    int back = (w - 1) / 2;
    if (y1 == y2) {
        Span(runs, x1, y1 - back, x2 > x1 ? 1 : -1, 0, std::abs(x2 - x1), 1, w);
    } else if (x1 == x2) {
        Span(runs, x1 - back, y1, 0, y2 > y1 ? 1 : -1, std::abs(y2 - y1), w, 1);
    } else {
        // Bresenham's walk over the major axis, the end pixel left out.
        int64_t adx = std::abs(x2 - x1), ady = std::abs(y2 - y1);
        int sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
        int64_t steps = std::max(adx, ady);
        int64_t err = (adx > ady ? adx : -ady) / 2;
        int64_t x = x1, y = y1;
        const BOUND_t &c = m_figureClip;
        for (int64_t i = 0; i < steps; ++i) {
            bool inside =
                x >= c.x && x < int64_t(c.x) + c.width && y >= c.y && y < int64_t(c.y) + c.height;
            if (inside && PixelOn(static_cast<int>(x), static_cast<int>(y)))
                runs.Add(static_cast<int>(x), static_cast<int>(y));
            ++m_dashIndex;
            int64_t e = err;
            if (e > -adx) {
                err -= ady;
                x += sx;
            }
            if (e < ady) {
                err += adx;
                y += sy;
            }
        }
    }
    runs.Flush();
    SetSource(m_pen.color);
    cairo_fill(m_cr);
}

// `count` steps from (x, y) by (dx, dy), one of them 0; each step covers a block of
// bw x bh pixels whose top-left corner is the step's position. The pen's pattern advances
// one unit per step. Only the steps whose block meets the figure's clip are visited.
void XPaintCore::Span(RunPath &runs, int64_t x, int64_t y, int dx, int dy, int64_t count, int bw,
                      int bh)
{
    if (count <= 0)
        return;
    uint32_t base = m_dashIndex;
    m_dashIndex = base + static_cast<uint32_t>(count);
    const BOUND_t &c = m_figureClip;
    int64_t cx1 = c.x, cy1 = c.y, cx2 = int64_t(c.x) + c.width, cy2 = int64_t(c.y) + c.height;
    // Steps whose block meets the clip along the line: pos + step * d within [lo, hi).
    auto range = [&](int64_t pos, int d, int size, int64_t lo, int64_t hi, int64_t *i0,
                     int64_t *i1) {
        if (d > 0) {
            *i0 = std::max<int64_t>(0, lo - size + 1 - pos);
            *i1 = std::min<int64_t>(count, hi - pos);
        } else {
            *i0 = std::max<int64_t>(0, pos - (hi - 1));
            *i1 = std::min<int64_t>(count, pos - (lo - size + 1) + 1);
        }
    };
    int64_t i0, i1;
    if (dx != 0) {
        if (y + bh <= cy1 || y >= cy2)
            return;
        range(x, dx, bw, cx1, cx2, &i0, &i1);
    } else {
        if (x + bw <= cx1 || x >= cx2)
            return;
        range(y, dy, bh, cy1, cy2, &i0, &i1);
    }
    if (i0 >= i1)
        return;
    if (m_pen.style != kPenPattern && FindDash(m_pen.style) == nullptr) {
        int64_t ax = x + dx * i0, ay = y + dy * i0, bx = x + dx * (i1 - 1), by = y + dy * (i1 - 1);
        AddClippedRect(runs, std::min(ax, bx), std::min(ay, by), std::abs(bx - ax) + bw,
                       std::abs(by - ay) + bh);
        return;
    }
    for (int64_t i = i0; i < i1; ++i) {
        m_dashIndex = base + static_cast<uint32_t>(i);
        int64_t px = x + dx * i, py = y + dy * i;
        for (int row = 0; row < bh; ++row)
            for (int col = 0; col < bw; ++col) {
                int64_t qx = px + col, qy = py + row;
                if (qx < cx1 || qx >= cx2 || qy < cy1 || qy >= cy2)
                    continue;
                if (PixelOn(static_cast<int>(qx), static_cast<int>(qy)))
                    runs.Add(static_cast<int>(qx), static_cast<int>(qy));
            }
        runs.Flush();
    }
    m_dashIndex = base + static_cast<uint32_t>(count);
}

// Whether the pen sets device pixel (x, y) at the current pattern position.
bool XPaintCore::PixelOn(int x, int y) const
{
    if (m_pen.style == kPenPattern)
        return ((x + y) & 1) == 0;
    const DashRow *row = FindDash(m_pen.style);
    if (row == nullptr)
        return true;
    return DashUnitOn(*row, m_dashIndex / static_cast<uint32_t>(PenWidth(m_pen)));
}

bool XPaintCore::PenDraws() const
{
    return m_cr != nullptr && m_pen.style != kPenNull && (m_pen.color >> 24) == 0;
}

// Cairo's stroke for transforms that are not whole-pixel translations (and for wide slanted
// lines): the pen's dashes scaled by its width, butt ends, no antialiasing.
void XPaintCore::ApplyPenStroke(int w)
{
    cairo_set_line_width(m_cr, w);
    cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_MITER);
    double dashes[6];
    int n = 0;
    if (m_pen.style == kPenPattern) {
        dashes[n++] = w;
        dashes[n++] = w;
    } else if (const DashRow *row = FindDash(m_pen.style)) {
        for (uint8_t len : row->lengths)
            if (len != 0)
                dashes[n++] = len * static_cast<double>(w);
    }
    cairo_set_dash(m_cr, dashes, n, 0);
    SetSource(m_pen.color);
}

void XPaintCore::StrokeSegment(double x1, double y1, double x2, double y2, int w)
{
    cairo_path_t *path = m_pathOpen ? cairo_copy_path(m_cr) : nullptr;
    cairo_save(m_cr);
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_NONE);
    cairo_new_path(m_cr);
    ApplyPenStroke(w);
    cairo_move_to(m_cr, x1, y1);
    cairo_line_to(m_cr, x2, y2);
    cairo_stroke(m_cr);
    cairo_restore(m_cr);
    if (path != nullptr) {
        cairo_append_path(m_cr, path);
        cairo_path_destroy(path);
    }
}

void XPaintCore::StrokeRect(double x, double y, double cx, double cy, int w)
{
    cairo_path_t *path = m_pathOpen ? cairo_copy_path(m_cr) : nullptr;
    cairo_save(m_cr);
    cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_NONE);
    cairo_new_path(m_cr);
    ApplyPenStroke(w);
    cairo_rectangle(m_cr, x, y, std::max(cx, 0.0), std::max(cy, 0.0));
    cairo_stroke(m_cr);
    cairo_restore(m_cr);
    if (path != nullptr) {
        cairo_append_path(m_cr, path);
        cairo_path_destroy(path);
    }
}

// ---- halftone ----------------------------------------------------------------------------------

void XPaintCore::DrawHalftone(const BOUND_t *bound, int frame)
{
    if (m_cr == nullptr || bound == nullptr || bound->width <= 0 || bound->height <= 0)
        return;
    // The bound in device pixels (the smallest bound holding it under a turned space).
    double xs[4] = {double(bound->x), double(bound->x) + bound->width, double(bound->x),
                    double(bound->x) + bound->width};
    double ys[4] = {double(bound->y), double(bound->y), double(bound->y) + bound->height,
                    double(bound->y) + bound->height};
    for (int i = 0; i < 4; ++i)
        cairo_user_to_device(m_cr, &xs[i], &ys[i]);
    int left = static_cast<int>(std::lround(*std::min_element(xs, xs + 4)));
    int top = static_cast<int>(std::lround(*std::min_element(ys, ys + 4)));
    int right = static_cast<int>(std::lround(*std::max_element(xs, xs + 4)));
    int bottom = static_cast<int>(std::lround(*std::max_element(ys, ys + 4)));
    BOUND_t box{left, top, right - left, bottom - top};
    if (frame <= 0 || 2 * frame >= box.width || 2 * frame >= box.height) {
        InvertBand(box);
        return;
    }
    InvertBand(BOUND_t{box.x, box.y, box.width, frame});
    InvertBand(BOUND_t{box.x, box.y + box.height - frame, box.width, frame});
    InvertBand(BOUND_t{box.x, box.y + frame, frame, box.height - 2 * frame});
    InvertBand(BOUND_t{box.x + box.width - frame, box.y + frame, frame, box.height - 2 * frame});
}

// Inverts the pixels of a device band whose x + y is even, inside the current clip. Each
// colour byte c of a premultiplied pixel with alpha a becomes (a - c) mod 256: the
// inversion of an opaque pixel, and its own inverse for every byte value.
void XPaintCore::SetInvertMask(cairo_surface_t *mask)
{
    if (mask != nullptr && (cairo_surface_get_type(mask) != CAIRO_SURFACE_TYPE_IMAGE ||
                            cairo_image_surface_get_format(mask) != CAIRO_FORMAT_A8 ||
                            cairo_image_surface_get_width(mask) != GetWidth() ||
                            cairo_image_surface_get_height(mask) != GetHeight()))
        return;
    if (mask != nullptr)
        cairo_surface_reference(mask);
    if (m_invertMask != nullptr)
        cairo_surface_destroy(m_invertMask);
    m_invertMask = mask;
}

// Toggles the mask bytes of the band's checkered pixels: the shown picture is inverted
// where a byte is set, so a second halftone over the same pixels takes it away again.
static void ToggleMaskBand(cairo_surface_t *mask, const BOUND_t &part)
{
    cairo_surface_flush(mask);
    unsigned char *data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    if (data == nullptr)
        return;
    for (int y = part.y; y < part.y + part.height; ++y) {
        unsigned char *row = data + static_cast<ptrdiff_t>(y) * stride;
        for (int x = part.x + ((part.x + y) & 1); x < part.x + part.width; x += 2)
            row[x] ^= 0xFF;
    }
    cairo_surface_mark_dirty_rectangle(mask, part.x, part.y, part.width, part.height);
}

void XPaintCore::InvertBand(const BOUND_t &band)
{
    BOUND_t clip = m_deviceClip, part;
    if (!IntersectBound(&part, &band, &clip))
        return;
    if (m_invertMask != nullptr) {
        ToggleMaskBand(m_invertMask, part);
        return;
    }
    cairo_surface_flush(m_surface);
    unsigned char *data = cairo_image_surface_get_data(m_surface);
    int stride = cairo_image_surface_get_stride(m_surface);
    if (data == nullptr)
        return;
    for (int y = part.y; y < part.y + part.height; ++y) {
        auto *row = reinterpret_cast<uint32_t *>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = part.x + ((part.x + y) & 1); x < part.x + part.width; x += 2) {
            uint32_t p = row[x], a = p >> 24;
            uint32_t r = (a - ((p >> 16) & 0xFF)) & 0xFF;
            uint32_t g = (a - ((p >> 8) & 0xFF)) & 0xFF;
            uint32_t b = (a - (p & 0xFF)) & 0xFF;
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty_rectangle(m_surface, part.x, part.y, part.width, part.height);
}

// Keeps the current clip in device pixels, cut to the surface (the pixels whose whole
// area is inside it): exact figures and the halftone cut themselves to it.
void XPaintCore::UpdateDeviceClip()
{
    cairo_matrix_t matrix;
    cairo_get_matrix(m_cr, &matrix);
    cairo_identity_matrix(m_cr);
    double x1, y1, x2, y2;
    cairo_clip_extents(m_cr, &x1, &y1, &x2, &y2);
    cairo_set_matrix(m_cr, &matrix);
    int left = static_cast<int>(std::ceil(x1 - 1e-6)), top = static_cast<int>(std::ceil(y1 - 1e-6));
    int right = static_cast<int>(std::floor(x2 + 1e-6)),
        bottom = static_cast<int>(std::floor(y2 + 1e-6));
    BOUND_t clip{left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
    BOUND_t whole{0, 0, GetWidth(), GetHeight()};
    IntersectBound(&m_deviceClip, &clip, &whole);
}
