// Integer primitives with GDI's pixel rules, and the halftone inversion.
#include "platform/panekit/paint_core.h"

void XPaintCore::FillRect(const BOUND_t *bound) { FillRect(bound, m_fill); }
void XPaintCore::FillRect(const BOUND_t *, uint32_t) {}
void XPaintCore::DrawRect(const BOUND_t *) {}
void XPaintCore::MoveTo(int x, int y)
{
    m_curX = x;
    m_curY = y;
    m_dashIndex = 0;
}
void XPaintCore::LineTo(int x, int y)
{
    m_curX = x;
    m_curY = y;
}
void XPaintCore::DrawLine(int x1, int y1, int x2, int y2)
{
    MoveTo(x1, y1);
    LineTo(x2, y2);
}
void XPaintCore::DrawHalftone(const BOUND_t *, int) {}
