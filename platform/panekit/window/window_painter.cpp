// Painter objects for the drawing window. The window code holds XPainter only by
// pointer; the construction lives here.

#include "platform/panekit/paint/xpainter.h"
#include "platform/panekit/window/window_loop.h"

XPainter *NewWindowPainter(cairo_surface_t *target, const BOUND_t *clip)
{
    return new XPainter(target, clip);
}

XPainter *NewMeasurePainter()
{
    return new XPainter();
}

void DeleteWindowPainter(XPainter *painter)
{
    delete painter;
}
