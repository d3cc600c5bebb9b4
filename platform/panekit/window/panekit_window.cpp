// The base window: creation, destruction, modal loops and invalidation.

#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/window_backend.h"
#include "platform/panekit/window/window_loop.h"

namespace {

char16_t *CopyTitle(const char16_t *title)
{
    size_t length = 0;
    while (title != nullptr && title[length] != 0)
        length++;
    auto *copy = new char16_t[length + 1];
    for (size_t i = 0; i < length; i++)
        copy[i] = title[i];
    copy[length] = 0;
    return copy;
}

} // namespace

int GetMessageBoxCancel(uint32_t flags)
{
    return (flags & 0xF) == PANEKIT_MB_OK ? 1 : 0;
}

int IsKeyPress(uint32_t vkey)
{
    return XWindowLoop::Get().IsKeyPress(vkey);
}

Panekit::Panekit() : m_title(CopyTitle(nullptr)) {}

Panekit::~Panekit()
{
    DestroyWindow();
    delete[] m_title;
}

int Panekit::Create(const char16_t *title, const BOUND_t *place, Panekit *parent, Panekit *owner,
                    uint32_t style)
{
    XWindowBackend *backend = GetWindowBackend();
    if (m_native != nullptr || backend == nullptr)
        return 0;
    delete[] m_title;
    m_title = CopyTitle(title);
    m_place = place != nullptr ? *place : BOUND_t{kWindowDefaultPos, kWindowDefaultPos, 640, 480};
    if (m_place.width <= 0 || m_place.height <= 0)
        return 0;
    m_parent = parent;
    m_owner = owner;
    m_style = style;
    XWindowParams params = {m_title, m_place, parent, owner, style};
    XWindowLoop &loop = XWindowLoop::Get();
    m_windowId = loop.AddWindow(this);
    m_native = backend->CreateNative(this, &params);
    if (m_native == nullptr || !OnCreateWindow()) {
        DestroyWindow();
        return 0;
    }
    XMessage_t message = {};
    message.code = XMSG_SIZE;
    message.x = m_place.width;
    message.y = m_place.height;
    loop.QueueMessage(this, message);
    message.code = XMSG_MOVE;
    message.x = m_place.x == kWindowDefaultPos ? 0 : m_place.x;
    message.y = m_place.y == kWindowDefaultPos ? 0 : m_place.y;
    loop.QueueMessage(this, message);
    Invaliate(nullptr);
    if (!(style & PANEKIT_STYLE_HIDDEN))
        m_native->Show(1);
    return 1;
}

void Panekit::DestroyWindow()
{
    if (m_windowId == 0)
        return;
    XWindowLoop::Get().RemoveWindow(this);
    XNativeWindow *native = m_native;
    m_native = nullptr;
    m_windowId = 0;
    m_captured = 0;
    m_invalidPending = 0;
    m_updatePending = 0;
    delete native;
    if (native != nullptr)
        OnDestroyWindow();
}

void Panekit::ShowWindow(int show)
{
    if (m_native != nullptr)
        m_native->Show(show);
}

void Panekit::SetTitle(const char16_t *title)
{
    delete[] m_title;
    m_title = CopyTitle(title);
    if (m_native != nullptr)
        m_native->SetTitle(m_title);
}

const char16_t *Panekit::GetTitle() const
{
    return m_title;
}

void Panekit::MoveWindow(const BOUND_t *place)
{
    if (m_native != nullptr && place != nullptr && place->width > 0 && place->height > 0)
        m_native->SetPlace(place);
}

void Panekit::GetWindowPlace(BOUND_t *place) const
{
    *place = m_place;
}

void Panekit::SetCapture()
{
    if (m_native == nullptr || m_captured)
        return;
    m_captured = 1;
    m_native->SetCapture(1);
}

void Panekit::ReleaseCapture()
{
    if (m_native == nullptr || !m_captured)
        return;
    m_captured = 0;
    m_native->SetCapture(0);
}

void Panekit::Invaliate(const BOUND_t *bound)
{
    if (m_native == nullptr)
        return;
    BOUND_t all = {0, 0, m_place.width, m_place.height};
    BOUND_t part;
    if (!IntersectBound(&part, bound != nullptr ? bound : &all, &all))
        return;
    if (m_invalidPending)
        UnionBound(&m_invalid, &m_invalid, &part);
    else
        m_invalid = part;
    m_invalidPending = 1;
}

int Panekit::TakeInvalidBound(BOUND_t *bound)
{
    if (!m_invalidPending)
        return 0;
    *bound = m_invalid;
    m_invalidPending = 0;
    return 1;
}

void Panekit::RequestUpdate()
{
    m_updatePending = 1;
}

int Panekit::TakeUpdateRequest()
{
    int pending = m_updatePending;
    m_updatePending = 0;
    return pending;
}

int Panekit::MessageBox(const char16_t *text, const char16_t *caption, uint32_t flags)
{
    XWindowBackend *backend = GetWindowBackend();
    if (backend == nullptr)
        return GetMessageBoxCancel(flags);
    static const char16_t kEmpty[] = {0};
    return backend->MessageBox(this, text != nullptr ? text : kEmpty,
                               caption != nullptr ? caption : kEmpty, flags);
}

int Panekit::PopupWindow(int cancel)
{
    if (m_native == nullptr)
        return cancel;
    Panekit *owner = m_owner;
    if (owner != nullptr && owner->m_native != nullptr && owner->m_disabled++ == 0)
        owner->m_native->SetEnabled(0);
    m_native->Show(1);
    m_native->SetFocus();
    uint64_t ownerId = owner != nullptr ? owner->GetWindowId() : 0;
    int code = XWindowLoop::Get().RunPopup(this, cancel);
    // The owner may have gone while the loop ran.
    if (ownerId != 0 && XWindowLoop::Get().FindWindow(ownerId) == owner &&
        --owner->m_disabled == 0) {
        owner->m_native->SetEnabled(1);
        owner->m_native->SetFocus();
    }
    return code;
}

int Panekit::EndMessageLoop(int code)
{
    return XWindowLoop::Get().EndPopup(this, code);
}

int Panekit::WaitForMessage(uint32_t timeout, int cancel)
{
    return XWindowLoop::Get().RunWait(timeout, cancel);
}

int Panekit::StopForMessage(int code)
{
    return XWindowLoop::Get().StopWait(code);
}

void Panekit::SetMainFrame(Panekit *frame)
{
    XWindowLoop::Get().SetMainFrame(frame);
}

Panekit *Panekit::GetMainFrame()
{
    return XWindowLoop::Get().GetMainFrame();
}

int Panekit::DispatchMessage(XMessage_t *)
{
    return 0;
}

int Panekit::OnCloseWindow()
{
    return 1;
}

void Panekit::OnIdleDispose() {}

int Panekit::OnCreateWindow()
{
    return 1;
}

void Panekit::OnDestroyWindow() {}

void Panekit::OnResize(int32_t, int32_t) {}

void Panekit::RunPaintCycle()
{
    BOUND_t bound;
    TakeInvalidBound(&bound);
    TakeUpdateRequest();
}

void Panekit::PresentWindow() {}
