// The page window's key and press rules, its ranges, and the floaters it knows.
//
// Tab and Enter. The form root's kFrameKeyNav selects key navigation:
//   Tab        navigation: plain Tab moves the focus, Ctrl+Tab goes to the item;
//              without: Ctrl+Tab moves the focus, plain Tab goes to the item.
//   Enter      without navigation it goes to the item. With navigation, an item with
//              kItemTakesEnter takes Enter unless Ctrl is held, except a multi-line edit,
//              which takes Ctrl+Enter and lets plain Enter move the focus; any other item
//              lets Enter move the focus, except a button, which takes plain Enter.
// Before the focus moves the focused item hears code 63 with the key; state kMsgStop
// keeps the focus. Shift goes back along the tab order.

#include <algorithm>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_floater.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/text/font_record.h"

namespace {

constexpr uint32_t kKeyTab = 9;
constexpr uint32_t kKeyEnter = 13;
// Extra flag of an edit that holds several lines.
constexpr uint32_t kEditMultiLine = 0x20;

} // namespace

int XPageWindow::MovesFocus(const XMessage_t *message) const
{
    const uint32_t key = message->key;
    if (key != kKeyTab && key != kKeyEnter)
        return 0;
    const bool navigation = (m_root.extraFlags & kFrameKeyNav) != 0;
    const bool ctrl = (message->flags & XMSG_STATE_CTRL) != 0;
    if (key == kKeyTab)
        return navigation ? !ctrl : ctrl;
    if (!navigation)
        return 0;
    const XPageItem *focus = m_focus;
    if (focus != nullptr && (focus->itemFlags & kItemTakesEnter)) {
        if (focus->kind == kKindEdit && (focus->extraFlags & kEditMultiLine))
            return !ctrl;
        return ctrl;
    }
    if (focus != nullptr && focus->kind == kKindButton)
        return ctrl;
    return 1;
}

int XPageWindow::MoveTabFocus(XMessage_t *message)
{
    if (XPageItem *from = m_focus) {
        XMessage_t ask = *message;
        ask.code = XMSG_FOCUSMOVE;
        ask.state = kMsgUnhandled;
        DeliverTo(from, &ask);
        // An item that went while it heard the question is no veto (its going stopped
        // the message).
        if (ask.state == kMsgStop && IsLiveItem(from)) {
            message->state = kMsgStop;
            return 1;
        }
    }
    XPageItem *from = m_focus != nullptr && IsLiveItem(m_focus) ? m_focus : nullptr;
    XPageItem *to = (message->flags & XMSG_STATE_SHIFT) ? m_root.GetPrevTabItem(from)
                                                        : m_root.GetNextTabItem(from);
    if (to != nullptr)
        SetFocusItem(to);
    message->state = kMsgStop;
    return 1;
}

XPageItem *XPageWindow::GetOutsideTaker(int x, int y, XPageItem *hit) const
{
    (void)x;
    (void)y;
    if (m_modal != nullptr && (hit == nullptr || !m_modal->IsChildItem(hit)))
        return m_modal;
    XPageFloater *floater = m_floater;
    if (floater != nullptr && floater->IsFloaterShown() &&
        (floater->extraFlags & kFloatCloseOutside) &&
        (hit == nullptr || !floater->IsChildItem(hit)))
        return floater;
    return nullptr;
}

int XPageWindow::PressItem(XPageItem *item, XMessage_t *message)
{
    if (message->key == XMSG_BUTTON_LEFT)
        m_mouseState |= kMouseLeftOverItem;
    else if (message->key == XMSG_BUTTON_RIGHT)
        m_mouseState |= kMouseRightOverItem;
    m_pressed = item;
    if (item->IsFocusable()) {
        SetPressed(item, 1);
        SetFocusItem(item);
        if (!IsLiveItem(item))
            return 1;
    }
    return DeliverTo(item, message);
}

// ---------------------------------------------------------------------------------------
// Ranges
// ---------------------------------------------------------------------------------------

void XPageWindow::GetCenterRange(BOUND_t *bound) const
{
    if (bound != nullptr)
        *bound = {0, 0, m_size.cx, m_size.cy};
}

void XPageWindow::LimitPageRange(BOUND_t *bound) const
{
    if (bound == nullptr)
        return;
    bound->width = std::min(bound->width, m_size.cx);
    bound->height = std::min(bound->height, m_size.cy);
    bound->x = std::clamp(bound->x, 0, std::max(m_size.cx - bound->width, 0));
    bound->y = std::clamp(bound->y, 0, std::max(m_size.cy - bound->height, 0));
}

// ---------------------------------------------------------------------------------------
// Floaters
// ---------------------------------------------------------------------------------------

void XPageWindow::SetPageFloater(XPageFloater *floater)
{
    if (floater != nullptr && (!IsLiveItem(floater) || !m_root.IsChildItem(floater)))
        return;
    m_floater = floater;
}

void XPageWindow::UpdateFloater()
{
    if (m_floater != nullptr && m_floater->IsFloaterShown())
        m_floater->UpdatePlace();
}

void XPageWindow::AddFloater(XPageFloater *floater)
{
    if (floater != nullptr &&
        std::find(m_floaters.begin(), m_floaters.end(), floater) == m_floaters.end())
        m_floaters.push_back(floater);
}

void XPageWindow::RemoveFloater(XPageFloater *floater)
{
    m_floaters.erase(std::remove(m_floaters.begin(), m_floaters.end(), floater), m_floaters.end());
    if (m_floater == floater)
        m_floater = nullptr;
}

void XPageWindow::ForgetItem(XPageItem *item, bool destroyed)
{
    auto inside = [item](const XPageItem *held) {
        return held != nullptr && (item == nullptr || item->IsChildItem(held));
    };
    if (inside(m_floater))
        m_floater = nullptr;
    if (inside(m_tipFor))
        HidePrompter();
    for (XPageFloater *floater : m_floaters)
        floater->ForgetItem(item, destroyed);
    if (destroyed && item != nullptr) {
        if (item == m_tip)
            m_tip = nullptr;
        m_images.erase(std::remove_if(m_images.begin(), m_images.end(),
                                      [item](XPageImage *image) {
                                          return static_cast<void *>(image) ==
                                                 static_cast<void *>(item);
                                      }),
                       m_images.end());
        if (m_images.empty())
            KillTimer(uintptr_t{kTimerAnimate});
    }
}

// ---------------------------------------------------------------------------------------
// Input method font
// ---------------------------------------------------------------------------------------

int XPageWindow::GetInputFonter(XFontRecord_t *font)
{
    if (font == nullptr || m_caret == nullptr)
        return 0;
    m_caret->UpdateStyleDesc(0);
    const XStyleDesc &style = m_caret->style;
    if (style.fontFamily == nullptr || style.fontFamily[0] == 0)
        return 0;
    InitFontRecord(font);
    font->size = style.fontSize;
    font->flags = style.fontFlags & kFontFlagMask;
    font->color = style.textColor;
    SetFontRecordFace(font, style.fontFamily, -1);
    return 1;
}
