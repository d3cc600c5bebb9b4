// The floating, antialiased canvas drawing of scripts.
#include "platform/panekit/paint_core.h"

void XPaintCore::MoveTo(double x, double y)
{
    m_curX = x;
    m_curY = y;
}
void XPaintCore::LineTo(double x, double y)
{
    m_curX = x;
    m_curY = y;
}
void XPaintCore::DrawRect(double, double, double, double) {}
void XPaintCore::FillRect(double, double, double, double) {}
void XPaintCore::DrawArc(double, double, double, double, double) {}
void XPaintCore::FillArc(double, double, double, double, double) {}
void XPaintCore::DrawEllipse(double, double, double, double) {}
void XPaintCore::FillEllipse(double, double, double, double) {}
void XPaintCore::CurveTo(const FPOINT_t *, int, int) {}
void XPaintCore::FillCurve(const FPOINT_t *, int, int) {}
void XPaintCore::BeginPath(int mode)
{
    m_pathOpen = true;
    m_pathMode = mode;
}
void XPaintCore::ClosePath(int) {}
int XPaintCore::DrawPath()
{
    m_pathOpen = false;
    return 0;
}
int XPaintCore::FillPath()
{
    m_pathOpen = false;
    return 0;
}
