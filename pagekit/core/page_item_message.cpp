// Message delivery of page items: the bubbling loop and the base handling.
//
// A message goes to its item first, then up the owner chain: at each item the hook runs,
// then OnMessage unless the hook answered or set kMsgStop. The walk stops at a state
// above 1, at state 1 set by an item other than the target, or at the root. Pointer
// messages (codes 16-31) are carried into each owner's coordinates on the way.
//
// A handler may destroy its own item or an owner. The page window then stops every
// message in delivery that refers to it (state kMsgStop), so the loop leaves before it
// reads an item again.

#include "pagekit/core/page_item.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/core/page_window.h"

namespace {

// Keeps a message on the page window's delivery stack for the length of one delivery.
class DeliveryGuard
{
public:
    DeliveryGuard(XPageWindow *window, XMessage_t *message) : m_window(window)
    {
        if (m_window != nullptr)
            m_window->PushDelivery(message);
    }
    ~DeliveryGuard()
    {
        if (m_window != nullptr)
            m_window->PopDelivery();
    }
    DeliveryGuard(const DeliveryGuard &) = delete;
    DeliveryGuard &operator=(const DeliveryGuard &) = delete;

private:
    XPageWindow *m_window;
};

bool IsPointerCode(uint32_t code)
{
    return code >= 16 && code <= 31;
}

// Sets or clears a state flag; repaints when the item's style has a variant for it.
void SetStateFlag(XPageItem *item, uint32_t flag, bool on, uint32_t variant)
{
    const uint32_t before = item->stateFlags;
    item->stateFlags = on ? before | flag : before & ~flag;
    if (item->stateFlags != before && item->itemStyle.CheckStyle(variant))
        item->Invalidate(nullptr, 0);
}

} // namespace

int XPageItem::DispatchMessage(XMessage_t *message)
{
    if (message == nullptr)
        return 0;
    const uint32_t code = message->code & 0xFFFF;
    switch (code) {
    case XMSG_MOUSEENTER:
        SetStateFlag(this, kItemStateHovered, true, kStateHover);
        break;
    case XMSG_MOUSELEAVE:
        SetStateFlag(this, kItemStateHovered, false, kStateHover);
        if (stateFlags & kItemStatePartMask) {
            stateFlags &= ~kItemStatePartMask;
            Invalidate(nullptr, 0);
        }
        break;
    case XMSG_FOCUSIN:
        SetStateFlag(this, kItemStateFocused, true, kStateFocus);
        break;
    case XMSG_FOCUSOUT:
        SetStateFlag(this, kItemStateFocused, false, kStateFocus);
        break;
    default:
        break;
    }
    message->item = this;
    XPageWindow *window = GetPageWindow();
    DeliveryGuard guard(window, message);
    if ((itemFlags & (kItemHorzBar | kItemVertBar)) && OnScrollbarMessage(message))
        return 1;

    const int32_t x = message->x;
    const int32_t y = message->y;
    const bool towardsOther =
        code == XMSG_MOUSEENTER || code == XMSG_MOUSELEAVE || code == XMSG_FOCUSOUT;
    XPageItem *item = this;
    int handled = 0;
    for (;;) {
        if (towardsOther && message->other != nullptr &&
            item->IsChildItem(static_cast<const XPageItem *>(message->other)))
            break;
        int answered = item->hook != nullptr ? item->hook(item->userData, message) : 0;
        if (!answered && message->state != kMsgStop)
            answered = item->OnMessage(message);
        handled |= answered;
        if (message->state > kMsgHandled || (message->state == kMsgHandled && item != this))
            break;
        XPageOwner *up = item->owner;
        if (up == nullptr)
            break;
        if (IsPointerCode(code)) {
            message->x += item->place.x;
            message->y += item->place.y;
            if (!(item->itemFlags & kItemFixed)) {
                message->x += up->body.x - up->scroll.x;
                message->y += up->body.y - up->scroll.y;
            }
        }
        item = up;
    }
    message->x = x;
    message->y = y;
    return handled || message->state != kMsgUnhandled;
}

int XPageItem::CarryMessage(XMessage_t *message)
{
    if (message == nullptr)
        return 0;
    int answered = hook != nullptr ? hook(userData, message) : 0;
    if (!answered && message->state != kMsgStop)
        answered = OnMessage(message);
    return answered;
}

int XPageItem::OnMessage(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    if (attached != nullptr) {
        const bool focus = code == XMSG_FOCUSIN || code == XMSG_FOCUSOUT;
        if (!focus || message->key == 0) {
            if (code == XMSG_FOCUSMOVE) {
                message->code = XMSG_KEYDOWN;
                attached->CarryMessage(message);
                message->code = XMSG_FOCUSMOVE;
            } else {
                attached->CarryMessage(message);
            }
            if (message->state == kMsgStop)
                return 1;
        }
    }
    if (!(itemFlags & (kItemHorzBar | kItemVertBar)))
        return 0;
    switch (code) {
    case XMSG_KEYDOWN: {
        uint32_t scrollCode = XMSG_VSCROLL;
        uint32_t action;
        switch (message->key) {
        case 33:
            action = kScrollPageBack;
            break;
        case 34:
            action = kScrollPageForward;
            break;
        case 35:
            action = kScrollToEnd;
            break;
        case 36:
            action = kScrollToStart;
            break;
        case 37:
            scrollCode = XMSG_HSCROLL;
            action = kScrollLineBack;
            break;
        case 39:
            scrollCode = XMSG_HSCROLL;
            action = kScrollLineForward;
            break;
        case 38:
            action = kScrollLineBack;
            break;
        case 40:
            action = kScrollLineForward;
            break;
        default:
            return 0;
        }
        CarryScroll(scrollCode, action, 0);
        message->state = kMsgDone;
        return 1;
    }
    case XMSG_WHEEL:
        CarryScroll(XMSG_VSCROLL, message->key != 0 ? kScrollLineForward : kScrollLineBack, 0);
        message->state = kMsgDone;
        return 1;
    case XMSG_TIMER:
        if (message->item == this && (stateFlags & kItemStateRepeat)) {
            RepeatScroll();
            message->state = kMsgDone;
            return 1;
        }
        return 0;
    case XMSG_HSCROLL:
    case XMSG_VSCROLL:
        return ScrollStep(code, message->key, message->value);
    default:
        return 0;
    }
}
