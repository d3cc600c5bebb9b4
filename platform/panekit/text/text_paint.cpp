#include "platform/panekit/text/text_paint.h"

#include <algorithm>

XTextPaint::XTextPaint(cairo_t *cr, uint32_t color) : m_cr(cr), m_path(nullptr)
{
    // The pending path is copied in user space before the state changes and appended at
    // the same transformation afterwards.
    if (cairo_has_current_point(cr))
        m_path = cairo_copy_path(cr);
    cairo_clip_extents(cr, &m_left, &m_top, &m_right, &m_bottom);
    cairo_save(cr);
    cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                         ((color >> 16) & 0xFF) / 255.0);
}

XTextPaint::~XTextPaint()
{
    cairo_restore(m_cr);
    cairo_new_path(m_cr);
    if (m_path != nullptr) {
        cairo_append_path(m_cr, m_path);
        cairo_path_destroy(m_path);
    }
}

bool XTextPaint::Clip(double x, double y, double width, double height)
{
    m_left = std::max(m_left, x);
    m_top = std::max(m_top, y);
    m_right = std::min(m_right, x + width);
    m_bottom = std::min(m_bottom, y + height);
    if (m_left >= m_right || m_top >= m_bottom)
        return false;
    cairo_rectangle(m_cr, m_left, m_top, m_right - m_left, m_bottom - m_top);
    cairo_clip(m_cr);
    return true;
}

void XTextPaint::ShowLine(PangoLayoutLine *line, double x, double baseline, double left, double top,
                          double width, double height)
{
    if (left >= m_right || top >= m_bottom || left + width <= m_left || top + height <= m_top)
        return;
    cairo_move_to(m_cr, x, baseline);
    pango_cairo_show_layout_line(m_cr, line);
    cairo_new_path(m_cr);
}
