#include "platform/panekit/text_paint.h"

XTextPaint::XTextPaint(cairo_t *cr, uint32_t color) : m_cr(cr), m_path(nullptr)
{
    // The pending path is copied in user space before the state changes and appended at
    // the same transformation afterwards.
    if (cairo_has_current_point(cr))
        m_path = cairo_copy_path(cr);
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

void XTextPaint::ShowLine(PangoLayoutLine *line, double x, double baseline)
{
    cairo_move_to(m_cr, x, baseline);
    pango_cairo_show_layout_line(m_cr, line);
    cairo_new_path(m_cr);
}
