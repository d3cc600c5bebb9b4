// Painter objects for the drawing window. The window code holds XPainter only by
// pointer; the construction lives here.

#include "platform/panekit/window_loop.h"

#if __has_include("platform/panekit/xpainter.h")
#include "platform/panekit/xpainter.h"
#define PANEKIT_HAS_XPAINTER 1
#else
#define PANEKIT_HAS_XPAINTER 0
#endif

XPainter *NewWindowPainter(cairo_surface_t *target, const BOUND_t *clip)
{
#if PANEKIT_HAS_XPAINTER
    return new XPainter(target, clip);
#else
    (void)target;
    (void)clip;
    return nullptr;
#endif
}

XPainter *NewMeasurePainter()
{
#if PANEKIT_HAS_XPAINTER
    return new XPainter();
#else
    return nullptr;
#endif
}

void DeleteWindowPainter(XPainter *painter)
{
#if PANEKIT_HAS_XPAINTER
    delete painter;
#else
    (void)painter;
#endif
}
