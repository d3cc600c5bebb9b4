#include "platform/panekit/paint/xpainter.h"

#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/icon/resc_helper.h"
#include "platform/panekit/text/font_handle.h"

namespace {

// The helper of painters that were given none: one for the process, never freed, so that
// its handles outlive every painter and descriptor.
XRescHelper *DefaultHelper()
{
    static XRescHelper *const helper = new XRescHelper;
    return helper;
}

} // namespace

XPainter::~XPainter()
{
    if (m_heldFont != nullptr) {
        SelectFonter(nullptr);
        ReleaseFontHandle(m_heldFont);
    }
}

XRescHelper *XPainter::SetRescHelper(XRescHelper *helper)
{
    XRescHelper *previous = m_helper;
    m_helper = helper;
    return previous;
}

XRescHelper *XPainter::Helper() const
{
    return m_helper != nullptr ? m_helper : DefaultHelper();
}

int XPainter::DrawIcon(const XIconDrawer *icons, int index, int x, int y, int gray)
{
    if (icons == nullptr || !IsValid())
        return 0;
    return gray ? icons->DrawGrayIcon(GetContext(), index, x, y)
                : icons->DrawIcon(GetContext(), index, x, y);
}
