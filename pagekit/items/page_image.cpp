// The image item: resource pictures and their animation.

#include "pagekit/items/page_image.h"

#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/icon/resc_helper.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/xpainter.h"

namespace {
// Extra flags of a new image item: the picture stretched to the view.
constexpr uint32_t kImageDefaultOptions = 3;
// Painter layout of a resource picture: the size code centred.
constexpr uint32_t kImageLayoutCentred = 0x1100;
} // namespace

XPageImage::XPageImage()
{
    kind = kKindImage;
    extraFlags = kImageDefaultOptions;
}

XPageImage::~XPageImage()
{
    ForgetPicture();
}

void XPageImage::ForgetPicture()
{
    if (m_registered) {
        if (XPageWindow *window = GetPageWindow())
            window->OnRemoveImage(this);
        m_registered = false;
    }
    m_shown = nullptr;
    m_frames = 0;
    m_current = 0;
    m_delay = 0;
    m_elapsed = 0;
}

void XPageImage::OnCreateItem()
{
    XPageItem::OnCreateItem();
    if (!m_name.empty())
        UpdateImage();
}

void XPageImage::SetImageFile(const char16_t *name)
{
    ForgetPicture();
    m_name = name != nullptr ? name : u"";
    if (!m_name.empty())
        UpdateImage();
    Invalidate(nullptr, 0);
}

void XPageImage::UpdateImage()
{
    ForgetPicture();
    XPageWindow *window = GetPageWindow();
    if (m_name.empty() || !(itemFlags & kItemCreated) || window == nullptr || form == nullptr ||
        (extraFlags & kImageNoLookup))
        return;
    XRescHelper *helper = form->GetRescHelper();
    m_shown = helper != nullptr ? helper->SearchImage(m_name.c_str()) : nullptr;
    if (m_shown == nullptr)
        return;
    m_frames = m_shown->GetFrameCount();
    m_shown->LockFrame(0, &m_delay);
    if (m_frames > 1) {
        window->OnCreateImage(this);
        m_registered = true;
    }
    Invalidate(nullptr, 0);
}

XImage *XPageImage::CheckPicture()
{
    if (m_shown == nullptr || form == nullptr)
        return nullptr;
    XRescHelper *helper = form->GetRescHelper();
    if (helper == nullptr || helper->IsLiveHandle(m_shown))
        return m_shown;
    // The helper was cleared: the picture is loaded again, its frames may differ.
    const int current = m_current;
    UpdateImage();
    if (m_shown != nullptr && current < m_frames && m_shown->LockFrame(current, &m_delay))
        m_current = current;
    return m_shown;
}

void XPageImage::OnImageAnimate()
{
    if (CheckPicture() == nullptr || m_frames < 2)
        return;
    m_elapsed += kAnimateElapse;
    if (m_elapsed < m_delay)
        return;
    const int next = (m_current + 1) % m_frames;
    uint32_t delay = 0;
    if (!m_shown->LockFrame(next, &delay))
        return;
    m_current = next;
    m_delay = delay;
    m_elapsed = 0;
    Invalidate(nullptr, 0);
}

void XPageImage::DrawBody(XPainter *painter, const BOUND_t *)
{
    if (painter == nullptr || CheckPicture() == nullptr)
        return;
    // The helper's picture may be shared with other items: show this item's frame.
    if (m_shown->GetCurrentFrame() != m_current)
        m_shown->LockFrame(m_current);
    BOUND_t view = {0, 0, body.width, body.height};
    if (itemFlags & kItemHorzBar)
        view = {0, 0, scroll.width, scroll.height};
    painter->DrawImage(m_shown, &view, kImageLayoutCentred | (extraFlags & kImageLayoutMask));
}
