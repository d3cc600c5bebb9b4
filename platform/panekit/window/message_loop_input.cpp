// Input translation: backend events into XMessage_t records (held buttons, modifier
// tracking, double clicks, the UTF-16 split), and the per-message bookkeeping done
// before a window sees a message.

#include <algorithm>
#include <cstdlib>

#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/window_loop.h"
#include "platform/panekit/window/xdraw_window.h"

namespace {

uint32_t ModifierBitOfKey(uint32_t vkey)
{
    switch (vkey) {
    case XVK_SHIFT:
    case XVK_LSHIFT:
    case XVK_RSHIFT:
        return XMSG_STATE_SHIFT;
    case XVK_CONTROL:
    case XVK_LCONTROL:
    case XVK_RCONTROL:
        return XMSG_STATE_CTRL;
    default:
        return 0;
    }
}

uint32_t HeldBitOfButton(uint32_t button)
{
    switch (button) {
    case XMSG_BUTTON_LEFT:
        return XMSG_STATE_LEFT;
    case XMSG_BUTTON_RIGHT:
        return XMSG_STATE_RIGHT;
    case XMSG_BUTTON_MIDDLE:
        return XMSG_STATE_MIDDLE;
    default:
        return 0;
    }
}

// Kinds a disabled (modally blocked) window does not take.
bool IsUserInput(uint32_t kind)
{
    return kind == XINPUT_KEY_DOWN || kind == XINPUT_KEY_UP || kind == XINPUT_CHAR ||
           kind == XINPUT_BUTTON_DOWN || kind == XINPUT_BUTTON_UP || kind == XINPUT_MOTION ||
           kind == XINPUT_WHEEL;
}

bool IsInputMessage(uint32_t code)
{
    return code == XMSG_KEYUP || code == XMSG_KEYDOWN || code == XMSG_CHAR ||
           (code >= XMSG_BUTTONUP && code <= XMSG_WHEEL) || code == XMSG_DBLCLICK;
}

} // namespace

void ReportWindowInput(Panekit *window, const XInputEvent *event)
{
    if (window == nullptr || event == nullptr || !window->IsCreated())
        return;
    XWindowLoop::Get().Translate(window, event);
}

void XWindowLoop::ApplyModifiers(const XInputEvent *event)
{
    if (event->modifiers & XINPUT_MOD_KNOWN)
        m_modifiers = event->modifiers & (XMSG_STATE_CTRL | XMSG_STATE_SHIFT);
    if (event->kind == XINPUT_KEY_DOWN)
        m_modifiers |= ModifierBitOfKey(event->key);
    else if (event->kind == XINPUT_KEY_UP)
        m_modifiers &= ~ModifierBitOfKey(event->key);
}

void XWindowLoop::Translate(Panekit *window, const XInputEvent *event)
{
    if (!window->IsEnabled() && IsUserInput(event->kind))
        return;
    ApplyModifiers(event);
    XMessage_t message = {};
    message.x = event->x;
    message.y = event->y;
    switch (event->kind) {
    case XINPUT_KEY_DOWN:
    case XINPUT_KEY_UP:
        TranslateKey(window, event, &message);
        return;
    case XINPUT_CHAR: {
        char16_t units[2];
        int count = EncodeUtf16(event->key, units);
        message.code = XMSG_CHAR;
        message.flags = m_modifiers | m_buttons;
        for (int i = 0; i < count; i++) {
            message.key = units[i];
            QueueMessage(window, message);
        }
        return;
    }
    case XINPUT_BUTTON_DOWN:
    case XINPUT_BUTTON_UP:
        TranslateButton(window, event, &message);
        return;
    case XINPUT_MOTION:
        message.code = XMSG_MOUSEMOVE;
        break;
    case XINPUT_WHEEL:
        message.code = XMSG_WHEEL;
        message.key = event->key != 0 ? 1 : 0;
        break;
    case XINPUT_SIZE:
        message.code = XMSG_SIZE;
        break;
    case XINPUT_MOVE:
        message.code = XMSG_MOVE;
        break;
    case XINPUT_FOCUS_IN:
        message.code = XMSG_SETFOCUS;
        break;
    case XINPUT_FOCUS_OUT:
        // Keys released while another window has the focus are never reported.
        ResetInputState();
        message.code = XMSG_KILLFOCUS;
        break;
    case XINPUT_CLOSE:
        message.code = XMSG_INTERNAL_CLOSE;
        break;
    case XINPUT_LEAVE:
        message.code = XMSG_INTERNAL_LEAVE;
        break;
    case XINPUT_EXPOSE:
        message.code = XMSG_INTERNAL_EXPOSE;
        message.param1 = static_cast<uint32_t>(event->width);
        message.param2 = static_cast<uint32_t>(event->height);
        break;
    default:
        return;
    }
    message.flags = m_modifiers | m_buttons;
    QueueMessage(window, message);
}

void XWindowLoop::TranslateKey(Panekit *window, const XInputEvent *event, XMessage_t *message)
{
    if (event->key == 0 || event->key > 255)
        return;
    message->code = event->kind == XINPUT_KEY_DOWN ? XMSG_KEYDOWN : XMSG_KEYUP;
    message->key = event->key;
    message->flags = m_modifiers | m_buttons;
    QueueMessage(window, *message);
}

void XWindowLoop::TranslateButton(Panekit *window, const XInputEvent *event, XMessage_t *message)
{
    uint32_t held = HeldBitOfButton(event->key);
    if (held == 0)
        return;
    message->key = event->key;
    if (event->kind == XINPUT_BUTTON_UP) {
        m_buttons &= ~held;
        message->code = XMSG_BUTTONUP;
        message->flags = m_modifiers | m_buttons;
        QueueMessage(window, *message);
        return;
    }
    m_buttons |= held;
    const Press &last = m_lastPress;
    bool twice = last.valid && last.window == window->GetWindowId() && last.button == event->key &&
                 event->time >= last.time && event->time - last.time <= kDoubleClickTime &&
                 std::abs(event->x - last.x) <= kDoubleClickDistance &&
                 std::abs(event->y - last.y) <= kDoubleClickDistance;
    message->code = twice ? XMSG_DBLCLICK : XMSG_BUTTONDOWN;
    // A double click ends the pair: a third press starts a new one.
    m_lastPress = {window->GetWindowId(), event->key,   event->x, event->y,
                   event->time,           twice ? 0 : 1};
    message->flags = m_modifiers | m_buttons;
    QueueMessage(window, *message);
}

void XWindowLoop::ResetInputState()
{
    m_modifiers = 0;
    m_buttons = 0;
    m_lastPress.valid = 0;
    m_deliveredModifiers = 0;
    m_keysDown.clear();
}

int XWindowLoop::IsKeyPress(uint32_t vkey) const
{
    uint32_t bit = ModifierBitOfKey(vkey);
    if (bit != 0)
        return (m_deliveredModifiers & bit) != 0;
    return std::find(m_keysDown.begin(), m_keysDown.end(), vkey) != m_keysDown.end();
}

// Layer bookkeeping, then the window's own DispatchMessage. The window may be deleted
// by the time this returns.
void XWindowLoop::Deliver(Panekit *window, XMessage_t *message)
{
    if (IsInputMessage(message->code)) {
        m_deliveredModifiers = message->flags & (XMSG_STATE_CTRL | XMSG_STATE_SHIFT);
        auto held = std::find(m_keysDown.begin(), m_keysDown.end(), message->key);
        if (message->code == XMSG_KEYDOWN && held == m_keysDown.end())
            m_keysDown.push_back(message->key);
        else if (message->code == XMSG_KEYUP && held != m_keysDown.end())
            m_keysDown.erase(held);
    }
    auto *drawer = dynamic_cast<XDrawWindow *>(window);
    switch (message->code) {
    case XMSG_INTERNAL_CLOSE:
        if (window->OnCloseWindow())
            window->DestroyWindow();
        return;
    case XMSG_INTERNAL_LEAVE:
        if (drawer != nullptr)
            drawer->m_mouseOutside = 1;
        // While a button is held the pointer is captured and its moves keep coming; only
        // a free pointer leaving tells the window, so that nothing stays hovered.
        if (message->flags & (XMSG_STATE_LEFT | XMSG_STATE_RIGHT | XMSG_STATE_MIDDLE))
            return;
        message->code = XMSG_MOUSELEAVE;
        message->item = nullptr;
        message->other = nullptr;
        break;
    case XMSG_INTERNAL_EXPOSE:
        if (drawer != nullptr) {
            BOUND_t bound = {message->x, message->y, static_cast<int32_t>(message->param1),
                             static_cast<int32_t>(message->param2)};
            drawer->AddShownBound(&bound);
        }
        return;
    case XMSG_SIZE:
        window->m_place.width = message->x;
        window->m_place.height = message->y;
        window->OnResize(message->x, message->y);
        break;
    case XMSG_MOVE:
        window->m_place.x = message->x;
        window->m_place.y = message->y;
        break;
    default:
        break;
    }
    bool pointer = (message->code >= XMSG_BUTTONUP && message->code <= XMSG_WHEEL) ||
                   message->code == XMSG_DBLCLICK;
    if (drawer != nullptr && pointer) {
        drawer->m_mouse = {message->x, message->y};
        drawer->m_mouseOutside = message->x < 0 || message->y < 0 ||
                                 message->x >= drawer->m_width || message->y >= drawer->m_height;
        if (message->code == XMSG_MOUSEMOVE && !drawer->OnSetMouseCursor(message->x, message->y))
            drawer->SetMouseCursor(PANEKIT_CURSOR_ARROW);
    }
    window->DispatchMessage(message);
}
