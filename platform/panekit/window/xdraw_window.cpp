// The drawing window: back buffer, painters, the shown picture with its overlays,
// posted messages, timers and the caret.

#include <cairo.h>
#include <cstring>

#include "platform/panekit/paint/xpainter.h"
#include "platform/panekit/window/window_loop.h"
#include "platform/panekit/window/xdraw_window.h"

namespace {

// Shade of the float cover: black at a quarter opacity.
constexpr double kCoverAlpha = 0.25;

cairo_surface_t *MakeSurface(int32_t width, int32_t height)
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

void FillWhite(cairo_surface_t *surface)
{
    cairo_t *cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
}

void ClearSurface(cairo_surface_t *surface)
{
    cairo_t *cr = cairo_create(surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_destroy(cr);
}

void ClipTo(cairo_t *cr, const BOUND_t *bound)
{
    cairo_rectangle(cr, bound->x, bound->y, bound->width, bound->height);
    cairo_clip(cr);
}

} // namespace

XDrawWindow::XDrawWindow() = default;

XDrawWindow::~XDrawWindow()
{
    DestroyWindow();
}

// ---------------------------------------------------------------------------------------
// Creation and size
// ---------------------------------------------------------------------------------------

int XDrawWindow::OnCreateWindow()
{
    BOUND_t place;
    GetWindowPlace(&place);
    OnResize(place.width, place.height);
    return m_buffer != nullptr;
}

void XDrawWindow::OnDestroyWindow()
{
    DeleteWindowPainter(m_trackPainter);
    DeleteWindowPainter(m_measurer);
    m_trackPainter = nullptr;
    m_measurer = nullptr;
    for (cairo_surface_t **surface : {&m_buffer, &m_shown, &m_tracker, &m_invert}) {
        if (*surface != nullptr)
            cairo_surface_destroy(*surface);
        *surface = nullptr;
    }
    m_width = m_height = 0;
    m_caretExists = m_caretShown = 0;
    m_trackerShown = m_coverShown = 0;
}

// A new buffer keeps the old picture where the sizes overlap; the rest starts white and
// the whole window is painted again.
void XDrawWindow::OnResize(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0 || (width == m_width && height == m_height && m_buffer))
        return;
    cairo_surface_t *buffer = MakeSurface(width, height);
    cairo_surface_t *shown = MakeSurface(width, height);
    if (buffer == nullptr || shown == nullptr) {
        if (buffer != nullptr)
            cairo_surface_destroy(buffer);
        if (shown != nullptr)
            cairo_surface_destroy(shown);
        return;
    }
    FillWhite(buffer);
    if (m_buffer != nullptr) {
        cairo_t *cr = cairo_create(buffer);
        cairo_set_source_surface(cr, m_buffer, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(m_buffer);
        cairo_surface_destroy(m_shown);
    }
    DropTracker();
    m_buffer = buffer;
    m_shown = shown;
    m_width = width;
    m_height = height;
    Invaliate(nullptr);
    AddShownBound(nullptr);
}

// ---------------------------------------------------------------------------------------
// Painters
// ---------------------------------------------------------------------------------------

XPainter *XDrawWindow::BeginPainter(XPaintDesc *desc)
{
    if (desc == nullptr)
        return nullptr;
    desc->painter = nullptr;
    BOUND_t all = {0, 0, m_width, m_height};
    if (m_buffer == nullptr || !IntersectBound(&desc->bound, &desc->bound, &all))
        return nullptr;
    desc->painter = NewWindowPainter(m_buffer, &desc->bound);
    return desc->painter;
}

void XDrawWindow::ClosePainter(XPaintDesc *desc)
{
    if (desc == nullptr || desc->painter == nullptr)
        return;
    cairo_surface_flush(m_buffer);
    AddShownBound(&desc->bound);
    DeleteWindowPainter(desc->painter);
    desc->painter = nullptr;
}

XPainter *XDrawWindow::GetPainter()
{
    if (m_measurer == nullptr)
        m_measurer = NewMeasurePainter();
    return m_measurer;
}

void XDrawWindow::DropTracker()
{
    for (cairo_surface_t **surface : {&m_tracker, &m_invert}) {
        if (*surface != nullptr)
            cairo_surface_destroy(*surface);
        *surface = nullptr;
    }
    m_trackerShown = 0;
    DeleteWindowPainter(m_trackPainter);
    m_trackPainter = nullptr;
}

XPainter *XDrawWindow::GetTracker(int clear)
{
    if (m_buffer == nullptr)
        return nullptr;
    if (m_tracker == nullptr) {
        m_tracker = MakeSurface(m_width, m_height);
        m_invert = cairo_image_surface_create(CAIRO_FORMAT_A8, m_width, m_height);
        if (m_tracker == nullptr || cairo_surface_status(m_invert) != CAIRO_STATUS_SUCCESS) {
            DropTracker();
            return nullptr;
        }
        ClearSurface(m_tracker);
        ClearSurface(m_invert);
    } else if (clear) {
        ClearSurface(m_tracker);
        ClearSurface(m_invert);
    }
    m_trackerShown = 1;
    AddShownBound(nullptr);
    // A fresh painter each time: no clip or transform left over from the last drag step.
    DeleteWindowPainter(m_trackPainter);
    m_trackPainter = NewWindowPainter(m_tracker, nullptr);
    if (m_trackPainter != nullptr)
        m_trackPainter->SetInvertMask(m_invert);
    return m_trackPainter;
}

void XDrawWindow::CloseTracker()
{
    if (!m_trackerShown)
        return;
    m_trackerShown = 0;
    ClearSurface(m_tracker);
    ClearSurface(m_invert);
    DeleteWindowPainter(m_trackPainter);
    m_trackPainter = nullptr;
    AddShownBound(nullptr);
}

// ---------------------------------------------------------------------------------------
// The shown picture
// ---------------------------------------------------------------------------------------

void XDrawWindow::AddShownBound(const BOUND_t *bound)
{
    BOUND_t all = {0, 0, m_width, m_height};
    BOUND_t part;
    if (!IntersectBound(&part, bound != nullptr ? bound : &all, &all))
        return;
    UnionBound(&m_showPending, &m_showPending, &part);
}

void XDrawWindow::ComposeShown(const BOUND_t *bound)
{
    cairo_surface_flush(m_buffer);
    cairo_t *cr = cairo_create(m_shown);
    ClipTo(cr, bound);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, m_buffer, 0, 0);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    if (m_trackerShown && m_tracker != nullptr) {
        cairo_surface_flush(m_tracker);
        cairo_set_source_surface(cr, m_tracker, 0, 0);
        cairo_paint(cr);
        cairo_surface_flush(m_shown);
        InvertShown(bound);
    }
    if (m_coverShown) {
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_rectangle(cr, 0, 0, m_width, m_height);
        if (m_coverHole.width > 0 && m_coverHole.height > 0)
            cairo_rectangle(cr, m_coverHole.x, m_coverHole.y, m_coverHole.width,
                            m_coverHole.height);
        cairo_set_source_rgba(cr, 0, 0, 0, kCoverAlpha);
        cairo_fill(cr);
    }
    BOUND_t caret;
    int drawn = 0;
    if (GetInputCursor(&caret, &drawn) && drawn) {
        cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_rectangle(cr, caret.x, caret.y, caret.width, caret.height);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(m_shown);
}

// Inverts the shown pixels of bound where the tracker's halftone mask is set. The shown
// picture is opaque, so each colour byte c becomes 255 - c.
void XDrawWindow::InvertShown(const BOUND_t *bound)
{
    BOUND_t all = {0, 0, m_width, m_height}, part;
    if (m_invert == nullptr || !IntersectBound(&part, bound, &all))
        return;
    cairo_surface_flush(m_invert);
    const unsigned char *mask = cairo_image_surface_get_data(m_invert);
    unsigned char *data = cairo_image_surface_get_data(m_shown);
    if (mask == nullptr || data == nullptr)
        return;
    const int maskStride = cairo_image_surface_get_stride(m_invert);
    const int stride = cairo_image_surface_get_stride(m_shown);
    for (int y = part.y; y < part.y + part.height; ++y) {
        const unsigned char *bits = mask + static_cast<ptrdiff_t>(y) * maskStride;
        auto *row = reinterpret_cast<uint32_t *>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = part.x; x < part.x + part.width; ++x) {
            if (bits[x] != 0)
                row[x] ^= 0x00FFFFFF;
        }
    }
    cairo_surface_mark_dirty_rectangle(m_shown, part.x, part.y, part.width, part.height);
}

cairo_surface_t *XDrawWindow::GetShownSurface()
{
    if (m_shown == nullptr)
        return nullptr;
    if (m_showPending.width > 0 && m_showPending.height > 0)
        ComposeShown(&m_showPending);
    return m_shown;
}

void XDrawWindow::PresentWindow()
{
    if (m_shown == nullptr || m_showPending.width <= 0 || m_showPending.height <= 0)
        return;
    BOUND_t bound = m_showPending;
    m_showPending = {0, 0, 0, 0};
    ComposeShown(&bound);
    if (XNativeWindow *native = GetNative())
        native->Present(m_shown, &bound);
}

// Invalidations made by OnPaintWindow or OnUpdateErase land in a fresh bound and are
// painted by the next cycle.
void XDrawWindow::RunPaintCycle()
{
    BOUND_t bound;
    int invalid = TakeInvalidBound(&bound);
    int update = TakeUpdateRequest();
    if (m_buffer == nullptr)
        return;
    if (invalid)
        OnPaintWindow(&bound);
    if (invalid || update)
        OnUpdateErase();
}

void XDrawWindow::ShowFloatCover(int show, const BOUND_t *bound)
{
    m_coverShown = show != 0;
    m_coverHole = show && bound != nullptr ? *bound : BOUND_t{0, 0, 0, 0};
    AddShownBound(nullptr);
}

// ---------------------------------------------------------------------------------------
// Messages and virtuals
// ---------------------------------------------------------------------------------------

int XDrawWindow::PostMessage(uint32_t code, void *item, uintptr_t value)
{
    return PostMessage(code, item, value, 0, 0);
}

int XDrawWindow::PostMessage(uint32_t code, void *item, uintptr_t value, int32_t row,
                             int32_t column)
{
    uint64_t id = GetWindowId();
    if (id == 0)
        return 0;
    return XWindowLoop::Get().Post(id, code, item, value, row, column);
}

void XDrawWindow::DropItemMessages(void *item)
{
    if (GetWindowId() != 0)
        XWindowLoop::Get().DropItem(GetWindowId(), item);
}

int XDrawWindow::SetTimer(uintptr_t id, uint32_t elapse)
{
    if (id == kCaretBlinkTimer || GetWindowId() == 0)
        return 0;
    return XWindowLoop::Get().SetTimer(GetWindowId(), id, elapse);
}

int XDrawWindow::KillTimer(uintptr_t id)
{
    if (id == kCaretBlinkTimer || GetWindowId() == 0)
        return 0;
    return XWindowLoop::Get().KillTimer(GetWindowId(), id);
}

int XDrawWindow::DispatchMessage(XMessage_t *message)
{
    Panekit::DispatchMessage(message);
    return OnMessage(message);
}

int XDrawWindow::OnMessage(XMessage_t *)
{
    return 0;
}

int XDrawWindow::OnSetMouseCursor(int32_t, int32_t)
{
    return 0;
}

void XDrawWindow::OnPaintWindow(const BOUND_t *) {}

void XDrawWindow::OnUpdateErase() {}

int XDrawWindow::GetInputFonter(XFontRecord_t *)
{
    return 0;
}

void XDrawWindow::GetMousePlace(POINT_t *point) const
{
    *point = m_mouse;
}

int XDrawWindow::IsCaptureLeave() const
{
    return m_mouseOutside;
}

void XDrawWindow::SetMouseCursor(int code)
{
    // Codes without a shape of their own show the arrow.
    bool known = std::strcmp(GetCursorShape(code).themeName, "default") != 0;
    int shape = known ? code : PANEKIT_CURSOR_ARROW;
    if (shape == m_cursor)
        return;
    m_cursor = shape;
    if (XNativeWindow *native = GetNative())
        native->SetCursorShape(shape);
}
