// Drawing images, and the painter's own memory canvas.
#include "platform/panekit/paint_core.h"

int XPaintCore::DrawImage(const XImage *, const BOUND_t *, uint32_t) { return 0; }
int XPaintCore::DrawImage(const XImage *, const BOUND_t *, const BOUND_t *, int) { return 0; }
int XPaintCore::DrawImage(const XImage *, int, int) { return 0; }
int XPaintCore::CreateImage(int, int, int) { return 0; }
int XPaintCore::BeginPainter() { return 0; }
void XPaintCore::ClosePainter() {}
int XPaintCore::CopyToImage(XImage *) const { return 0; }
