// The image item: resource pictures and their animation, owned photos and their view.

#include "pagekit/items/page_image.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "corekit/archive/iarchive.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "platform/devkit/folders.h"
#include "platform/devkit/xfile_archive.h"
#include "platform/panekit/icon/resc_helper.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/xpainter.h"

namespace {
// Extra flags of a new image item: the picture stretched to the view.
constexpr uint32_t kImageDefaultOptions = 3;
// Painter layout of a resource picture: the size code centred.
constexpr uint32_t kImageLayoutCentred = 0x1100;
// Item flags of a loaded photo: overflow auto on both axes.
constexpr uint32_t kPhotoItemFlags = 0x22000;
// Prefix of the names of images that exist only in memory.
constexpr char16_t kMemImagePrefix[] = u"MemImage";

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

bool IsMemName(const std::u16string &name)
{
    return name.compare(0, std::size(kMemImagePrefix) - 1, kMemImagePrefix) == 0;
}

void CopyName(const char16_t *from, char16_t *to, unsigned cap)
{
    if (to == nullptr || cap == 0)
        return;
    std::u16string text(from != nullptr ? from : u"");
    const size_t n = std::min<size_t>(text.size(), cap - 1);
    std::copy_n(text.data(), n, to);
    to[n] = 0;
}

} // namespace

int SaveLimitImage(const XImage *image, IArchive *doc, unsigned limitKB)
{
    if (image == nullptr || doc == nullptr || image->IsImageEmpty())
        return 0;
    const double w = image->GetWidth(), h = image->GetHeight();
    if (limitKB != 0) {
        const double scale = std::sqrt(double(limitKB) * 1024.0 * 18.0 / (w * 3.0 * h));
        if (scale < 1.0)
            return image->SaveThumbImage(doc, std::max(1, Round(w * scale)),
                                         std::max(1, Round(h * scale)), kImageJpeg,
                                         kImageItemQuality);
    }
    return image->SaveImageDoc(doc, kImageJpeg, kImageItemQuality);
}

XPageImage::XPageImage()
{
    kind = kKindImage;
    extraFlags = kImageDefaultOptions;
}

XPageImage::~XPageImage()
{
    ForgetPicture();
    delete m_owned;
}

// ---------------------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------------------

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

void XPageImage::TakeImage(XImage *image)
{
    ForgetPicture();
    if (image != m_owned)
        delete m_owned;
    m_owned = image;
    m_shown = image;
    if (image != nullptr) {
        m_frames = image->GetFrameCount();
        m_current = image->GetCurrentFrame();
    }
}

void XPageImage::OnCreateItem()
{
    XPageItem::OnCreateItem();
    if (m_owned != nullptr) {
        if (extraFlags & kImagePhotoMode)
            OnFullImage();
        else
            OnInitImage();
    } else if (!m_name.empty()) {
        UpdateImage();
    }
}

void XPageImage::OnUpdateItem(int code)
{
    if (code == kUpdateLayout && m_owned != nullptr && (extraFlags & kImagePhotoMode))
        OnFullImage();
    XPageItem::OnUpdateItem(code);
}

void XPageImage::SetImageFile(const char16_t *name)
{
    TakeImage(nullptr);
    m_name = name != nullptr ? name : u"";
    if (!m_name.empty())
        UpdateImage();
    Invalidate(nullptr, 0);
}

void XPageImage::UpdateImage()
{
    if (m_owned != nullptr)
        return;
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

void XPageImage::SetPhotoFile(const char16_t *path)
{
    extraFlags |= kImagePhotoMode;
    TakeImage(nullptr);
    m_name = path != nullptr ? path : u"";
    if (!m_name.empty() && !(extraFlags & kImageNoLookup)) {
        auto *image = new XImage;
        if (image->LoadFromFile(m_name.c_str())) {
            TakeImage(image);
            itemFlags |= kPhotoItemFlags;
            if (itemFlags & kItemCreated)
                OnFullImage();
        } else {
            delete image;
        }
    }
    Invalidate(nullptr, 0);
}

void XPageImage::SetStaticDoc(IArchive *doc, const char16_t *name)
{
    TakeImage(nullptr);
    m_name = name != nullptr ? name : u"";
    auto *image = new XImage;
    if (doc != nullptr && image->LoadFromDoc(doc, XImage::GetImageType(name))) {
        TakeImage(image);
        if (itemFlags & kItemCreated)
            OnInitImage();
    } else {
        delete image;
    }
    Invalidate(nullptr, 0);
}

void XPageImage::SetStreamDoc(IArchive *doc, const char16_t *name)
{
    extraFlags |= kImagePhotoMode;
    TakeImage(nullptr);
    m_name = kMemImageName;
    auto *image = new XImage;
    if (doc != nullptr && image->LoadFromDoc(doc, XImage::GetImageType(name))) {
        TakeImage(image);
        if (itemFlags & kItemCreated)
            OnFullImage();
    } else {
        delete image;
    }
    Invalidate(nullptr, 0);
}

int XPageImage::GetStreamDoc(IArchive *doc, unsigned limitKB, char16_t *name, unsigned cap)
{
    XImage *image = m_shown;
    if (image == nullptr || image->IsImageEmpty() || doc == nullptr)
        return 0;
    const int64_t size = IsMemName(m_name) ? 0 : ::GetFileSize(m_name.c_str());
    if (size > 0 && (limitKB == 0 || size < int64_t{limitKB} * 1024)) {
        XFileArchive file;
        if (!file.Open(m_name.c_str()) || !file.ReadDoc(doc, static_cast<uint32_t>(size)))
            return 0;
        CopyName(::GetFileName(m_name.c_str()), name, cap);
        return 1;
    }
    if (!SaveLimitImage(image, doc, limitKB))
        return 0;
    CopyName(kMemImageName, name, cap);
    return 1;
}

XImage *XPageImage::GetPicture()
{
    if (m_shown == nullptr)
        TakeImage(new XImage);
    return m_shown;
}

XImage *XPageImage::CheckPicture()
{
    if (m_shown == nullptr || m_shown == m_owned || form == nullptr)
        return m_shown;
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

// ---------------------------------------------------------------------------------------
// Frames
// ---------------------------------------------------------------------------------------

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
    // A frame of 0 ms shows for one tick.
    m_delay = delay;
    m_elapsed = 0;
    Invalidate(nullptr, 0);
}

void XPageImage::StepFrame(int index)
{
    if (CheckPicture() == nullptr || index < 0 || index >= m_frames || index == m_current)
        return;
    if (!m_shown->LockFrame(index, &m_delay))
        return;
    m_current = index;
    m_elapsed = 0;
    if (m_shown == m_owned)
        SetContent(true);
    Invalidate(nullptr, 0);
}

void XPageImage::OnNextFrame()
{
    StepFrame(m_current + 1);
}

void XPageImage::OnPrevFrame()
{
    StepFrame(m_current - 1);
}

void XPageImage::OnFirstFrame()
{
    StepFrame(0);
}

void XPageImage::OnLastFrame()
{
    StepFrame(m_frames - 1);
}

// ---------------------------------------------------------------------------------------
// View
// ---------------------------------------------------------------------------------------

void XPageImage::SetContent(bool keepOffset)
{
    if (m_shown == nullptr)
        return;
    const int cw = Round(m_shown->GetWidth() / m_zoom);
    const int ch = Round(m_shown->GetHeight() / m_zoom);
    const int x = keepOffset ? scroll.x : 0, y = keepOffset ? scroll.y : 0;
    SetScrollSize(cw, ch);
    scroll.x = std::clamp(x, 0, std::max(0, cw - body.width));
    scroll.y = std::clamp(y, 0, std::max(0, ch - body.height));
}

void XPageImage::OnInitImage()
{
    m_zoom = 1.0;
    SetContent(false);
    Invalidate(nullptr, 0);
}

void XPageImage::OnFullImage()
{
    if (m_owned == nullptr || m_shown != m_owned || m_owned->IsImageEmpty() || body.width <= 0 ||
        body.height <= 0)
        return;
    m_zoom = std::max(double(m_owned->GetWidth()) / body.width,
                      double(m_owned->GetHeight()) / body.height);
    SetContent(false);
    Invalidate(nullptr, 0);
}

void XPageImage::OnZoomImage(int in)
{
    if (m_owned == nullptr || m_shown != m_owned || m_owned->IsImageEmpty())
        return;
    const double zoom = in ? m_zoom * 4.0 / 3.0 : m_zoom * 3.0 / 4.0;
    const int cw = Round(m_owned->GetWidth() / zoom), ch = Round(m_owned->GetHeight() / zoom);
    if (cw < 1 || ch < 1 || cw > kImageMaxSide || ch > kImageMaxSide)
        return;
    // The view's centre stays on the same image point.
    const double vw = body.width, vh = body.height;
    const int x =
        in ? Round((scroll.x - vw / 6.0) * 3.0 / 4.0) : Round((scroll.x + vw / 8.0) * 4.0 / 3.0);
    const int y =
        in ? Round((scroll.y - vh / 6.0) * 3.0 / 4.0) : Round((scroll.y + vh / 8.0) * 4.0 / 3.0);
    m_zoom = zoom;
    SetScrollSize(cw, ch);
    scroll.x = std::clamp(x, 0, std::max(0, cw - body.width));
    scroll.y = std::clamp(y, 0, std::max(0, ch - body.height));
    Invalidate(nullptr, 0);
}

BOUND_t XPageImage::VisiblePart() const
{
    BOUND_t part = {Round(scroll.x * m_zoom), Round(scroll.y * m_zoom), Round(body.width * m_zoom),
                    Round(body.height * m_zoom)};
    const BOUND_t whole = {0, 0, m_shown->GetWidth(), m_shown->GetHeight()};
    if (!IntersectBound(&part, &part, &whole))
        part = {0, 0, 0, 0};
    return part;
}

void XPageImage::Rotate(int angle)
{
    if (CheckPicture() == nullptr || m_shown->IsImageEmpty())
        return;
    if (m_shown != m_owned) {
        // The helper's picture is shared: the turn works on a copy of the current frame.
        auto *copy = new XImage;
        if (!copy->CopyFromSurface(m_shown->GetSurface())) {
            delete copy;
            return;
        }
        TakeImage(copy);
    }
    if (!m_owned->RotateImage(angle))
        return;
    m_name = kMemImageName;
    SetContent(false);
    Invalidate(nullptr, 0);
}

void XPageImage::OnClockwiseRotate()
{
    Rotate(90);
}

void XPageImage::OnAnticlockRotate()
{
    Rotate(-90);
}

void XPageImage::OnClipImage()
{
    if (CheckPicture() == nullptr || m_shown->IsImageEmpty())
        return;
    const BOUND_t part = VisiblePart();
    auto *crop = new XImage;
    if (part.width <= 0 || part.height <= 0 ||
        !m_shown->GetClipImage(crop, part.x, part.y, part.width, part.height)) {
        delete crop;
        return;
    }
    TakeImage(crop);
    m_name = kMemImageName;
    OnFullImage();
    Invalidate(nullptr, 0);
}

void XPageImage::OnExportFile(const char16_t *path)
{
    if (CheckPicture() != nullptr && path != nullptr)
        m_shown->SaveToFile(path, kImageItemQuality);
}

int XPageImage::CalcExtentSize(int mode)
{
    if (m_shown != nullptr && m_shown != m_owned)
        SetScrollSize(m_shown->GetWidth(), m_shown->GetHeight());
    return XPageItem::CalcExtentSize(mode);
}

// ---------------------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------------------

void XPageImage::DrawBody(XPainter *painter, const BOUND_t *)
{
    if (painter == nullptr)
        return;
    if (m_drawProc != nullptr) {
        const BOUND_t view = {0, 0, body.width, body.height};
        m_drawProc(painter, m_drawUser, &view);
        return;
    }
    if (CheckPicture() == nullptr)
        return;
    // Each item shows its own frame: a picture may be shared with other items.
    if (m_shown->GetCurrentFrame() != m_current)
        m_shown->LockFrame(m_current);
    if (m_shown == m_owned) {
        const BOUND_t part = VisiblePart();
        if (part.width <= 0 || part.height <= 0)
            return;
        const BOUND_t view = {scroll.x, scroll.y, Round(part.width / m_zoom),
                              Round(part.height / m_zoom)};
        painter->DrawImage(m_shown, &view, &part, kStretchBilinear);
        return;
    }
    BOUND_t view = {0, 0, body.width, body.height};
    if (itemFlags & kItemHorzBar)
        view = {0, 0, scroll.width, scroll.height};
    painter->DrawImage(m_shown, &view, kImageLayoutCentred | (extraFlags & kImageLayoutMask));
}

int XPageImage::PaintIconDrawer(XPainter *painter, int size, int x)
{
    if (painter == nullptr || size < 1 || CheckPicture() == nullptr || m_shown->IsImageEmpty())
        return 0;
    const double w = m_shown->GetWidth(), h = m_shown->GetHeight();
    const double scale = size / std::max(w, h);
    const int dw = std::max(1, Round(w * scale)), dh = std::max(1, Round(h * scale));
    const BOUND_t view = {x + (size - dw) / 2, (size - dh) / 2, dw, dh};
    return painter->DrawImage(m_shown, &view, nullptr, kStretchSmooth);
}

// ---------------------------------------------------------------------------------------
// Panning
// ---------------------------------------------------------------------------------------

void XPageImage::SetCursor(int code)
{
    if (XPageWindow *window = GetPageWindow())
        window->SetMouseCursor(code);
}

int XPageImage::OnMessage(XMessage_t *message)
{
    if (!m_palm || m_shown == nullptr)
        return XPageItem::OnMessage(message);
    XPageWindow *window = GetPageWindow();
    switch (message->code & 0xFFFF) {
    case XMSG_BUTTONDOWN:
        if (message->key != XMSG_BUTTON_LEFT || !PointInBound(&body, message->x, message->y))
            break;
        m_pressed = true;
        m_last = {message->x, message->y};
        if (window != nullptr)
            window->SetCaptureItem(this);
        SetCursor(PANEKIT_CURSOR_GRABBING);
        message->state = kMsgDone;
        return 1;
    case XMSG_MOUSEMOVE:
        if (!m_pressed) {
            SetCursor(PANEKIT_CURSOR_OPENHAND);
            break;
        }
        {
            const int x = scroll.x - (message->x - m_last.x);
            const int y = scroll.y - (message->y - m_last.y);
            m_last = {message->x, message->y};
            scroll.x = std::clamp(x, 0, std::max(0, scroll.width - body.width));
            scroll.y = std::clamp(y, 0, std::max(0, scroll.height - body.height));
            Invalidate(nullptr, 0);
        }
        SetCursor(PANEKIT_CURSOR_GRABBING);
        message->state = kMsgDone;
        return 1;
    case XMSG_BUTTONUP:
        if (!m_pressed)
            break;
        m_pressed = false;
        if (window != nullptr && window->GetCaptureItem() == this)
            window->SetCaptureItem(nullptr);
        SetCursor(PANEKIT_CURSOR_OPENHAND);
        message->state = kMsgDone;
        return 1;
    default:
        break;
    }
    return XPageItem::OnMessage(message);
}
