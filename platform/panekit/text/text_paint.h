#pragma once
// Drawing state of one text call: the text colour as the source and the caller's path
// and graphics state kept aside, so that drawing text changes nothing the painter set.
// Internal to the text engine.

#include <cstdint>

#include <pango/pangocairo.h>

class XTextPaint
{
public:
    // color is 0x00BBGGRR.
    XTextPaint(cairo_t *cr, uint32_t color);
    ~XTextPaint();
    XTextPaint(const XTextPaint &) = delete;
    XTextPaint &operator=(const XTextPaint &) = delete;

    // Narrows drawing to the box, in user space; false when none of it is visible. Boxes far
    // outside the surface never reach Cairo, whose coordinates do not reach that far.
    bool Clip(double x, double y, double width, double height);
    // Draws a laid-out row with its origin (left end of the baseline) at (x, baseline), when
    // its box (left, top, width, height) is at least partly visible.
    void ShowLine(PangoLayoutLine *line, double x, double baseline, double left, double top,
                  double width, double height);

private:
    cairo_t *m_cr;
    cairo_path_t *m_path;                    // the caller's pending path, null when there was none
    double m_left, m_top, m_right, m_bottom; // visible part of the user space
};
