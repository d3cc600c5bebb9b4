// Floaters: pop-up frames inside a page window, and the waits for them to close.
//
// Waits nest on the one UI thread, and a stop ends the innermost loop. So a floater that
// closes while its wait is not the innermost only marks the wait; each wait that ends
// stops the next outer one if its floater closed meanwhile. A loop stopped by someone
// else waits again.

#include "pagekit/core/page_floater.h"

#include <algorithm>
#include <vector>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_window.h"

namespace {

// The cancel code of a floater's loop: nothing can arrive any more.
constexpr int kWaitRunOut = -1;
// The stop code a closing floater gives its loop.
constexpr int kWaitClosed = 1;

std::vector<XPageFloater::Wait *> &Waits()
{
    static std::vector<XPageFloater::Wait *> waits;
    return waits;
}

// Stops the innermost wait's loop once its floater closed or went.
void WakeWaits()
{
    std::vector<XPageFloater::Wait *> &waits = Waits();
    if (waits.empty())
        return;
    XPageFloater::Wait *top = waits.back();
    if ((top->closed || top->gone) && !top->stopped) {
        top->stopped = true;
        Panekit::StopForMessage(kWaitClosed);
    }
}

} // namespace

XPageFloater::XPageFloater()
{
    kind = kKindFloater;
    extraFlags = 0;
}

XPageFloater::~XPageFloater()
{
    if (m_wait != nullptr) {
        m_wait->gone = true;
        m_wait->floater = nullptr;
        m_wait = nullptr;
        WakeWaits();
    }
    if (m_window != nullptr) {
        if (m_shown)
            m_window->ShowFloatCover(0);
        m_window->RemoveFloater(this);
    }
}

int XPageFloater::Create(XPageItem *hoster)
{
    if (hoster == nullptr || m_window != nullptr || owner != nullptr)
        return 0;
    XPageWindow *window = hoster->GetPageWindow();
    // The hoster must be a created item of that window, so that its going is heard.
    if (window == nullptr || !window->IsLiveItem(hoster))
        return 0;
    itemFlags = (itemFlags & ~kItemVisible) | kItemAbsolute | kItemFixed;
    if (window->GetRooter()->AddItem(this) == nullptr) {
        itemFlags |= kItemVisible;
        return 0;
    }
    m_hoster = hoster;
    m_window = window;
    window->AddFloater(this);
    return 1;
}

// ---------------------------------------------------------------------------------------
// Showing
// ---------------------------------------------------------------------------------------

void XPageFloater::ShowFloater(uint32_t flags)
{
    Show(nullptr, (flags & kFloatShowCenter) ? 1 : 0);
}

void XPageFloater::ShowFloater(int x, int y)
{
    const BOUND_t bound = {x, y, place.width, place.height};
    Show(&bound, 2);
}

void XPageFloater::ShowFloater(int x, int y, int width)
{
    const BOUND_t bound = {x, y, width, place.height};
    Show(&bound, 2);
}

void XPageFloater::ShowFloater(int x, int y, int width, int height)
{
    const BOUND_t bound = {x, y, width, height};
    Show(&bound, 2);
}

void XPageFloater::ShowFloater(const BOUND_t *bound)
{
    if (bound == nullptr)
        Show(nullptr, 0);
    else
        Show(bound, 2);
}

void XPageFloater::Show(const BOUND_t *bound, uint32_t mode)
{
    XPageWindow *window = m_window;
    if (window == nullptr)
        return;
    m_showMode = mode;
    if (bound != nullptr) {
        m_showBound = *bound;
        const BOUND_t sized = {place.x, place.y, std::max(bound->width, 0),
                               std::max(bound->height, 0)};
        MovePlace(&sized, 0);
    }
    CalcExtentSize(0);
    OnUpdateItem(kUpdateLayout);
    if (extraFlags & kFloatFirstRender)
        ApplyItemRender();
    PlaceShown();
    if (!m_shown) {
        if (extraFlags & kFloatModal) {
            m_prevModal = window->GetModalItem();
            window->SetModalItem(this);
        }
        if (extraFlags & kFloatTakeFocus)
            m_prevFocus = window->GetFocusItem();
    }
    m_shown = 1;
    ShowItem(1);
    window->SetPageFloater(this);
    if (extraFlags & kFloatTakeFocus)
        window->SetFocusItem(this);
}

void XPageFloater::PlaceShown()
{
    if (m_window == nullptr)
        return;
    BOUND_t bound = place;
    if (m_showMode == 1) {
        BOUND_t area;
        m_window->GetCenterRange(&area);
        bound.x = (area.width - bound.width) / 2;
        bound.y = (area.height - bound.height) / 2;
    } else if (m_showMode == 2) {
        bound.x = m_showBound.x;
        bound.y = m_showBound.y;
    }
    if (extraFlags & kFloatKeepInside)
        m_window->LimitPageRange(&bound);
    MovePlace(&bound, 1);
}

void XPageFloater::UpdatePlace()
{
    if (!m_shown)
        return;
    CalcExtentSize(0);
    OnUpdateItem(kUpdateLayout);
    PlaceShown();
}

void XPageFloater::ApplyItemRender()
{
    const void *cursor = nullptr;
    XPageItem *first = GetNextItem(&cursor);
    if (first == nullptr)
        return;
    first->UpdateStyleDesc(0);
    if (first->IsSolidRender())
        itemStyle.SetSolidRender(kStateNormal, first->style.backColor);
}

// ---------------------------------------------------------------------------------------
// Closing
// ---------------------------------------------------------------------------------------

void XPageFloater::CloseFloater()
{
    Close(true);
}

void XPageFloater::Close(bool restoreFocus)
{
    XPageWindow *window = m_window;
    if (!m_shown || window == nullptr)
        return;
    m_shown = 0;
    if (m_wait != nullptr) {
        m_wait->closed = true;
        WakeWaits();
    }
    if ((extraFlags & kFloatModal) && window->GetModalItem() == this)
        window->SetModalItem(m_prevModal);
    m_prevModal = nullptr;
    XPageItem *previous = m_prevFocus;
    m_prevFocus = nullptr;
    XPageItem *focus = window->GetFocusItem();
    if ((extraFlags & kFloatTakeFocus) && restoreFocus && (focus == nullptr || IsChildItem(focus)))
        window->SetFocusItem(previous);
    Notify();
    // The hoster may have destroyed the floater.
    if (!window->IsLiveItem(this))
        return;
    ShowItem(0);
    window->ShowFloatCover(0);
    if (window->GetPageFloater() == this)
        window->SetPageFloater(nullptr);
    if (extraFlags & kFloatDestroy)
        window->PostMessage(kPostDestroy, this, reinterpret_cast<uintptr_t>(owner));
}

void XPageFloater::Notify()
{
    if (m_hoster == nullptr)
        return;
    XMessage_t message = {};
    message.code = XMSG_CLOSEFLOAT;
    message.key = kFloatClosedKey;
    message.item = m_hoster;
    message.other = this;
    m_hoster->CarryMessage(&message);
}

int XPageFloater::WaitforClose()
{
    if (!m_shown)
        return 1;
    if (m_wait != nullptr || m_window == nullptr)
        return 0;
    Wait wait = {this, false, false, false};
    m_wait = &wait;
    Waits().push_back(&wait);
    int result = 0;
    for (;;) {
        wait.stopped = false;
        const int code = Panekit::WaitForMessage(kWaitForever, kWaitRunOut);
        if (wait.gone) {
            result = 0;
            break;
        }
        if (wait.closed) {
            result = 1;
            break;
        }
        if (code == kWaitRunOut) {
            result = 0;
            break;
        }
        // A stop meant for another loop: wait again.
    }
    std::vector<Wait *> &waits = Waits();
    waits.erase(std::remove(waits.begin(), waits.end(), &wait), waits.end());
    // The floater may be gone: only a live one is touched.
    if (wait.floater != nullptr)
        wait.floater->m_wait = nullptr;
    WakeWaits();
    return result;
}

// ---------------------------------------------------------------------------------------
// Messages and forgetting
// ---------------------------------------------------------------------------------------

int XPageFloater::OnMessage(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    if (code == XMSG_KEYDOWN && message->key == 27 && m_shown) {
        CloseFloater();
        message->state = kMsgDone;
        return 1;
    }
    if (code == XMSG_BUTTONDOWN && m_shown && !PointInBound(&body, message->x, message->y)) {
        if (extraFlags & kFloatCloseOutside) {
            POINT_t at = {message->x, message->y};
            FixPlace(kFixItemToWindow, &at);
            CloseFloater();
            message->param1 = static_cast<uint32_t>(at.x);
            message->param2 = static_cast<uint32_t>(at.y);
            message->state = kMsgRedeliver;
            return 1;
        }
        if (extraFlags & kFloatModal) {
            message->state = kMsgDone;
            return 1;
        }
    }
    if (code == XMSG_FOCUSOUT && m_shown) {
        auto *to = static_cast<XPageItem *>(message->other);
        if (to == nullptr || !IsChildItem(to)) {
            if (extraFlags & kFloatCloseOutside) {
                Close(false);
                return 1;
            }
            if ((extraFlags & kFloatModal) && m_window != nullptr && to != nullptr &&
                message->item != nullptr) {
                // Set while the focus moves: this focus wins over the one on its way.
                m_window->SetFocusItem(static_cast<XPageItem *>(message->item));
                return 1;
            }
        }
    }
    return XPageFrame::OnMessage(message);
}

void XPageFloater::ForgetItem(const XPageItem *item, bool destroyed)
{
    auto inside = [item](const XPageItem *held) {
        return held != nullptr && (item == nullptr || item->IsChildItem(held));
    };
    if (inside(m_prevFocus))
        m_prevFocus = nullptr;
    if (inside(m_prevModal))
        m_prevModal = nullptr;
    if (destroyed && inside(m_hoster))
        m_hoster = nullptr;
}

void XPageFloater::OnWindowGone()
{
    if (m_wait != nullptr) {
        m_wait->gone = true;
        WakeWaits();
    }
}
