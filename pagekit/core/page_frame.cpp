// Frames. The layouts and edge dragging are built on this class; until a frame lays its
// children out itself, a layout pass recomputes the body and the bars.

#include "pagekit/core/page_frame.h"

XPageFrame::XPageFrame()
{
    kind = 0x91;
}

XPageFrame::~XPageFrame() = default;

void XPageFrame::GetDragRange() {}

void XPageFrame::OnDragClose(int, int) {}

void XPageFrame::DrawTracker(XPainter *, int) {}

void XPageFrame::UpdateLayout(int flag)
{
    stateFlags &= ~kItemStateLayout;
    CalcBodyPlace();
    if (!flag)
        return;
    UpdateScrollbar();
    Invalidate(nullptr, 0);
}
