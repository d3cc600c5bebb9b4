// The page window: routing of window input to items, focus, hover and capture, the
// repaint region, the caret, and the purge of items that go.

#include "pagekit/core/page_window.h"

#include <algorithm>

#include "pagekit/core/page_floater.h"
#include "platform/panekit/paint/xpainter.h"
#include "platform/panekit/text/font_record.h"

XPageWindow::XPageWindow()
{
    m_root.SetPageWindow(this);
}

XPageWindow::~XPageWindow()
{
    DestroyWindow();
    // The items go while everything they report to still lives: the tool tip and the
    // floaters are children of the root and go with it.
    m_root.ClearItem();
    OnRemoveItem(nullptr);
    m_tip = nullptr;
    m_images.clear();
    m_floaters.clear();
    m_root.GetPageStyle()->ClearStyle();
    m_root.SetPageWindow(nullptr);
}

int XPageWindow::OnCreateWindow()
{
    if (!XDrawWindow::OnCreateWindow())
        return 0;
    BOUND_t client;
    GetWindowPlace(&client);
    m_size = {client.width, client.height};
    const BOUND_t root = {0, 0, client.width, client.height};
    m_root.MovePlace(&root, 0);
    if (!(m_root.itemFlags & kItemCreated))
        m_root.OnCreateItem();
    return 1;
}

void XPageWindow::OnDestroyWindow()
{
    XDrawWindow::OnDestroyWindow();
    m_capture = nullptr;
    m_mouseState = 0;
    // Nothing can close a floater of a window that is gone: their waits end.
    const std::vector<XPageFloater *> floaters = m_floaters;
    for (XPageFloater *floater : floaters)
        floater->OnWindowGone();
}

int XPageWindow::OnCloseWindow()
{
    if (m_floater != nullptr)
        m_floater->CloseFloater();
    return 1;
}

// ---------------------------------------------------------------------------------------
// Live items and messages in delivery
// ---------------------------------------------------------------------------------------

void XPageWindow::AddLiveItem(XPageItem *item)
{
    if (item != nullptr)
        m_live.insert(item);
}

int XPageWindow::IsLiveItem(const void *item) const
{
    return item != nullptr && m_live.count(item) != 0;
}

void XPageWindow::OnDestroyItem(XPageItem *item)
{
    if (item == nullptr)
        return;
    m_live.erase(item);
    DropItemMessages(item);
    KillTimer(item);
    XPageItem::StopRepeat(item);
    OnRemoveItem(item);
    ForgetItem(item, true);
}

void XPageWindow::OnRemoveItem(XPageItem *item)
{
    auto inside = [item](const XPageItem *held) {
        return held != nullptr && (item == nullptr || item->IsChildItem(held));
    };
    if (inside(m_hover))
        m_hover = nullptr;
    if (inside(m_focus))
        m_focus = nullptr;
    if (inside(m_capture))
        m_capture = nullptr;
    if (inside(m_pressed))
        m_pressed = nullptr;
    if (inside(m_modal))
        m_modal = nullptr;
    if (inside(m_caret)) {
        XDrawWindow::HideInputCursor();
        m_caret = nullptr;
    }
    ForgetItem(item, false);
    for (XMessage_t *message : m_delivery) {
        bool stopped = false;
        if (inside(static_cast<const XPageItem *>(message->item))) {
            message->item = nullptr;
            stopped = true;
        }
        if (inside(static_cast<const XPageItem *>(message->other))) {
            message->other = nullptr;
            stopped = true;
        }
        if (stopped)
            message->state = kMsgStop;
    }
}

void XPageWindow::DestroyItem(XPageItem *item)
{
    if (item == nullptr || !IsLiveItem(item))
        return;
    item->Destroy();
}

// ---------------------------------------------------------------------------------------
// Focus, capture, hover
// ---------------------------------------------------------------------------------------

void XPageWindow::SetFocusItem(XPageItem *item)
{
    if (item == m_focus)
        return;
    if (item != nullptr && (!IsLiveItem(item) || !m_root.IsChildItem(item)))
        return;
    if (XPageItem *old = m_focus) {
        // The old item holds no focus while it hears of the loss, so that a focus it sets
        // meanwhile starts afresh, and wins.
        m_focus = nullptr;
        XMessage_t message = {};
        message.code = XMSG_FOCUSOUT;
        message.other = item;
        old->DispatchMessage(&message);
        if (m_focus != nullptr || (item != nullptr && !IsLiveItem(item)))
            return;
    }
    m_focus = item;
    if (item == nullptr)
        return;
    XMessage_t message = {};
    message.code = XMSG_FOCUSIN;
    message.other = nullptr;
    item->DispatchMessage(&message);
}

void XPageWindow::SetCaptureItem(XPageItem *item)
{
    if (item != nullptr && (!IsLiveItem(item) || !m_root.IsChildItem(item)))
        return;
    m_capture = item;
}

void XPageWindow::SetPressed(XPageItem *item, int pressed)
{
    if (item == nullptr)
        return;
    const uint32_t before = item->stateFlags;
    item->stateFlags = pressed ? before | kItemStatePressed : before & ~kItemStatePressed;
    if (item->stateFlags != before && item->itemStyle.CheckStyle(kStateActive))
        item->Invalidate(nullptr, 0);
}

void XPageWindow::SetHoverItem(XPageItem *item, XMessage_t *cause)
{
    XPageItem *old = m_hover;
    if (old == item)
        return;
    m_hover = item;
    // A new hovered item starts the tool tip's count afresh.
    HidePrompter();
    if (old != nullptr) {
        SetPressed(old, 0);
        XMessage_t leave = *cause;
        leave.code = XMSG_MOUSELEAVE;
        leave.state = kMsgUnhandled;
        leave.other = item;
        DeliverTo(old, &leave);
        if (!IsLiveItem(old))
            old = nullptr;
    }
    if (m_hover != item || item == nullptr || !IsLiveItem(item))
        return;
    XMessage_t enter = *cause;
    enter.code = XMSG_MOUSEENTER;
    enter.state = kMsgUnhandled;
    enter.other = old;
    DeliverTo(item, &enter);
}

XPageItem *XPageWindow::HitWindow(int x, int y)
{
    if (m_modal != nullptr) {
        POINT_t at = {x, y};
        m_modal->FixPlace(kFixWindowToOwner, &at);
        return m_modal->HitItem(at.x, at.y);
    }
    return m_root.HitItem(x, y);
}

int XPageWindow::DeliverTo(XPageItem *item, XMessage_t *message)
{
    if (item == nullptr)
        return 0;
    const int32_t x = message->x;
    const int32_t y = message->y;
    POINT_t at = {x, y};
    item->FixPlace(kFixWindowToItem, &at);
    message->x = at.x;
    message->y = at.y;
    const int handled = item->DispatchMessage(message);
    message->x = x;
    message->y = y;
    return handled;
}

// ---------------------------------------------------------------------------------------
// Routing
// ---------------------------------------------------------------------------------------

int XPageWindow::DispatchMessage(XMessage_t *message)
{
    if (message == nullptr)
        return 0;
    Panekit::DispatchMessage(message);
    switch (message->code & 0xFFFF) {
    case XMSG_KEYUP:
    case XMSG_KEYDOWN:
    case XMSG_CHAR:
        return RouteKey(message);
    case XMSG_SETFOCUS:
    case XMSG_KILLFOCUS:
        return m_focus != nullptr ? DeliverTo(m_focus, message) : OnMessage(message);
    case XMSG_BUTTONDOWN:
        return RoutePress(message);
    case XMSG_MOUSEMOVE:
        return RouteMove(message);
    case XMSG_BUTTONUP:
        return RouteRelease(message);
    case XMSG_MOUSELEAVE:
        if (!(m_mouseState & kMouseButtonDown) && m_capture == nullptr)
            SetHoverItem(nullptr, message);
        return 1;
    case XMSG_WHEEL:
    case XMSG_DBLCLICK:
        return m_hover != nullptr ? DeliverTo(m_hover, message) : OnMessage(message);
    case XMSG_SIZE: {
        m_size = {message->x, message->y};
        const BOUND_t root = {0, 0, message->x, message->y};
        m_root.MovePlace(&root, 1);
        UpdateFloater();
        return OnMessage(message);
    }
    case XMSG_MOVE:
        m_position = {message->x, message->y};
        return OnMessage(message);
    case XMSG_TIMER:
        return RouteTimer(message);
    case XMSG_POSTED:
        return RoutePosted(message);
    case XMSG_UPDATE:
        return 0;
    default:
        return OnMessage(message);
    }
}

int XPageWindow::RouteKey(XMessage_t *message)
{
    if ((message->code & 0xFFFF) == XMSG_KEYDOWN && MovesFocus(message))
        return MoveTabFocus(message);
    XPageItem *target = m_focus;
    if (m_modal != nullptr && (m_focus == nullptr || !m_modal->IsChildItem(m_focus)))
        target = m_modal;
    return target != nullptr ? DeliverTo(target, message) : OnMessage(message);
}

int XPageWindow::RoutePress(XMessage_t *message)
{
    SetCapture();
    m_mouseState |= kMouseCaptured | kMouseButtonDown;
    bool again = false;
    if (m_capture == nullptr) {
        XPageItem *hit = HitWindow(message->x, message->y);
        // A press outside the modal item or the open floater goes to it first; it may
        // close and answer kMsgRedeliver so that the press reaches the item below.
        if (XPageItem *taker = GetOutsideTaker(message->x, message->y, hit)) {
            message->param1 = static_cast<uint32_t>(message->x);
            message->param2 = static_cast<uint32_t>(message->y);
            DeliverTo(taker, message);
            if (message->state != kMsgRedeliver)
                return 1;
            message->state = kMsgUnhandled;
            again = true;
            hit = HitWindow(static_cast<int32_t>(message->param1),
                            static_cast<int32_t>(message->param2));
        }
        SetHoverItem(hit, message);
    }
    XPageItem *target = m_capture != nullptr ? m_capture : m_hover;
    if (target == nullptr)
        return OnMessage(message);
    message->param1 = static_cast<uint32_t>(message->x);
    message->param2 = static_cast<uint32_t>(message->y);
    const int handled = PressItem(target, message);
    if (message->state != kMsgRedeliver)
        return handled;
    // Delivered again once at most: two items answering kMsgRedeliver would loop forever.
    if (again || m_capture != nullptr) {
        message->state = kMsgDone;
        return 1;
    }
    message->state = kMsgUnhandled;
    XPageItem *below =
        HitWindow(static_cast<int32_t>(message->param1), static_cast<int32_t>(message->param2));
    SetHoverItem(below, message);
    if (m_hover == nullptr)
        return 1;
    PressItem(m_hover, message);
    if (message->state == kMsgRedeliver)
        message->state = kMsgDone;
    return 1;
}

int XPageWindow::RouteMove(XMessage_t *message)
{
    if (!(m_mouseState & kMouseCaptured)) {
        SetCapture();
        m_mouseState |= kMouseCaptured;
    }
    if (IsCaptureLeave() && !(m_mouseState & kMouseButtonDown)) {
        ReleaseCapture();
        m_mouseState &= ~kMouseCaptured;
    }
    XPageItem *target = m_capture != nullptr ? m_capture : HitWindow(message->x, message->y);
    SetHoverItem(target, message);
    if (m_hover == nullptr)
        return OnMessage(message);
    const int handled = DeliverTo(m_hover, message);
    if (m_hover != nullptr && m_hover != m_tipFor && m_hover->GetPrompter() != nullptr)
        ArmPrompter(m_hover);
    return handled;
}

int XPageWindow::RouteRelease(XMessage_t *message)
{
    ReleaseCapture();
    const bool left = message->key == XMSG_BUTTON_LEFT;
    const uint32_t over = left ? kMouseLeftOverItem : kMouseRightOverItem;
    const bool wasOver = (m_mouseState & over) != 0;
    m_mouseState &= ~(kMouseCaptured | kMouseButtonDown | over);
    XPageItem *pressed = m_pressed;
    m_pressed = nullptr;
    SetPressed(pressed, 0);
    XPageItem *target = m_capture != nullptr ? m_capture : m_hover;
    const int handled = target != nullptr ? DeliverTo(target, message) : OnMessage(message);
    if (message->state == kMsgStop || !wasOver || pressed == nullptr)
        return handled;
    // A click: the release over the item the button went down on.
    if (m_hover == nullptr || m_hover != pressed || !IsLiveItem(m_hover))
        return handled;
    XMessage_t click = *message;
    click.code = left ? XMSG_CLICK : XMSG_RCLICK;
    click.state = kMsgUnhandled;
    DeliverTo(m_hover, &click);
    return 1;
}

int XPageWindow::RouteTimer(XMessage_t *message)
{
    if (message->item == nullptr) {
        if (message->key == kTimerAnimate) {
            AnimateImages();
            return 1;
        }
        if (message->key == kTimerPrompter) {
            TickPrompter();
            return 1;
        }
        return OnMessage(message);
    }
    auto *item = static_cast<XPageItem *>(message->item);
    if (!IsLiveItem(item))
        return 0;
    return item->DispatchMessage(message);
}

int XPageWindow::RoutePosted(XMessage_t *message)
{
    auto *item = static_cast<XPageItem *>(message->item);
    if (item == nullptr)
        return OnMessage(message);
    // A post can race the purge of its item from another thread: only live items hear it.
    if (!IsLiveItem(item))
        return 0;
    switch (message->key) {
    case kPostDestroy:
        DestroyItem(item);
        return 1;
    case kPostFocus:
        SetFocusItem(item);
        return 1;
    default:
        if (message->key >= kPostToItem)
            return item->DispatchMessage(message);
        return 0;
    }
}

// ---------------------------------------------------------------------------------------
// Repainting
// ---------------------------------------------------------------------------------------

void XPageWindow::OnUpdateItem(XPageItem *item, const BOUND_t *bound)
{
    if (item == nullptr || !IsCreated())
        return;
    BOUND_t part = bound != nullptr ? *bound : BOUND_t{0, 0, item->place.width, item->place.height};
    item->FixPlace(kFixItemToWindow, &part);
    BOUND_t visible;
    item->GetPlace(kPlaceVisible, &visible);
    if (!IntersectBound(&part, &part, &visible))
        return;
    if (m_pendingFlags & kPendingRegion) {
        UnionBound(&m_pending, &m_pending, &part);
        return;
    }
    m_pending = part;
    m_pendingFlags |= kPendingRegion;
    RequestUpdate();
}

void XPageWindow::OnPaintWindow(const BOUND_t *bound)
{
    if (bound == nullptr)
        return;
    if (m_pendingFlags & kPendingRegion)
        UnionBound(&m_pending, &m_pending, bound);
    else
        m_pending = *bound;
    m_pendingFlags |= kPendingRegion;
}

void XPageWindow::OnUpdateErase()
{
    if (m_pendingFlags & kPendingRegion) {
        m_pendingFlags &= ~kPendingRegion;
        XPaintDesc desc = {m_pending, nullptr, nullptr};
        if (XPainter *painter = m_root.StartPainter(&desc)) {
            const BOUND_t area = desc.bound;
            m_root.DrawItem(painter, &area);
            ClosePainter(&desc);
        }
    }
    if (m_pendingFlags & kPendingCaret) {
        m_pendingFlags &= ~kPendingCaret;
        if (m_caret != nullptr) {
            XMessage_t message = {};
            message.code = XMSG_PLACECARET;
            m_caret->DispatchMessage(&message);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Caret
// ---------------------------------------------------------------------------------------

void XPageWindow::CreateInputCursor(XPageItem *item, unsigned width, unsigned height)
{
    if (item == nullptr)
        return;
    m_caret = item;
    BOUND_t clip;
    item->GetPlace(kPlaceVisibleBody, &clip);
    XDrawWindow::CreateInputCursor(static_cast<int32_t>(width), static_cast<int32_t>(height),
                                   &clip);
}

void XPageWindow::SetInputCursor(XPageItem *item, int x, int y, int show)
{
    if (item == nullptr || item != m_caret)
        return;
    POINT_t at = {x, y};
    item->FixPlace(kFixItemToWindow, &at);
    XDrawWindow::SetInputCursor(at.x, at.y, show);
}

void XPageWindow::UpdateInputCursor(XPageItem *item)
{
    if (m_caret == nullptr || (item != nullptr && !item->IsChildItem(m_caret)))
        return;
    XDrawWindow::HideInputCursor();
    m_pendingFlags |= kPendingCaret;
    RequestUpdate();
}

void XPageWindow::HideInputCursor(int destroy)
{
    XDrawWindow::HideInputCursor();
    if (destroy) {
        DestroyInputCursor();
        m_caret = nullptr;
    }
}
