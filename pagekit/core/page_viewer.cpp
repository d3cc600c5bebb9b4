// The form root.

#include "pagekit/core/page_viewer.h"

#include "pagekit/core/page_window.h"
#include "platform/panekit/paint/xpainter.h"

XPageViewer::XPageViewer()
{
    kind = 0x92;
    extraFlags = 0x10000001;
    form = this;
    m_pageStyle.SetPageStyle(&itemStyle);
}

XPageViewer::~XPageViewer()
{
    // The children reach the form's page style and window while they go; the base
    // destructors must not reach this form any more.
    DeleteChildren();
    if ((itemFlags & kItemCreated) && m_window != nullptr)
        m_window->OnDestroyItem(this);
    form = nullptr;
    m_window = nullptr;
}

int32_t XPageViewer::GetRootFontSize() const
{
    const int32_t size = itemStyle.m_own.fontSize;
    return size > 0 ? size : 12;
}

XPainter *XPageViewer::GetPainter()
{
    if (m_window == nullptr)
        return nullptr;
    XPainter *painter = m_window->GetPainter();
    if (painter != nullptr)
        painter->SetRescHelper(GetRescHelper());
    return painter;
}

XPainter *XPageViewer::StartPainter(XPaintDesc *desc)
{
    if (m_window == nullptr || desc == nullptr)
        return nullptr;
    XPainter *painter = m_window->BeginPainter(desc);
    if (painter != nullptr)
        painter->SetRescHelper(GetRescHelper());
    return painter;
}

void XPageViewer::DrawItem(XPainter *painter, const BOUND_t *bound)
{
    if (painter == nullptr)
        return;
    XRescHelper *previous = painter->SetRescHelper(GetRescHelper());
    DrawFixedChildren(painter, bound, true);
    // The frame, bars and body children; the fixed children are drawn here, not by the
    // owner's pass, so that dockers lie below and floaters above.
    XPageItem::DrawItem(painter, bound);
    DrawFixedChildren(painter, bound, false);
    painter->SetRescHelper(previous);
}
