// X11 events of one window turned into the layer's input records.
#include <string>

#include "platform/panekit/x11/x11_backend.h"

namespace {

// Decodes UTF-8 as the input method produced it; a malformed byte is skipped.
template <typename Fn> void ForEachCodePoint(const char *text, int length, Fn fn)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    int i = 0;
    while (i < length) {
        unsigned char lead = bytes[i];
        int extra = lead < 0x80         ? 0
                    : (lead >> 5) == 6  ? 1
                    : (lead >> 4) == 14 ? 2
                    : (lead >> 3) == 30 ? 3
                                        : -1;
        if (extra < 0 || i + extra >= length) {
            ++i;
            continue;
        }
        uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        bool good = true;
        for (int k = 1; k <= extra; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                good = false;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        i += good ? extra + 1 : 1;
        if (good)
            fn(code);
    }
}

// The character a key without an input context types: Latin-1 keysyms are their code,
// keysyms 0x1000000 + code point carry any other character.
uint32_t KeysymCharacter(KeySym keysym)
{
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
        return static_cast<uint32_t>(keysym);
    if (keysym >= 0x1000100 && keysym <= 0x110FFFF)
        return static_cast<uint32_t>(keysym - 0x1000000);
    return 0;
}

} // namespace

void XX11Window::Report(XInputEvent &input)
{
    input.time = m_backend->Now();
    ReportWindowInput(m_owner, &input);
}

bool XX11Window::IsRepeatRelease(XKeyEvent *key)
{
    // Auto-repeat arrives as release + press with the same time; the layer wants only
    // the repeated presses, as the system's keyboard reports them.
    Display *display = m_backend->GetDisplay();
    if (XEventsQueued(display, QueuedAfterReading) == 0)
        return false;
    XEvent next;
    XPeekEvent(display, &next);
    return next.type == KeyPress && next.xkey.window == key->window &&
           next.xkey.keycode == key->keycode && next.xkey.time == key->time;
}

void XX11Window::ReportKey(XKeyEvent *key, bool press)
{
    if (!press && IsRepeatRelease(key))
        return;
    KeySym keysym = XLookupKeysym(key, 0);
    uint32_t vkey = KeysymToVirtualKey(static_cast<uint32_t>(keysym));
    if (vkey != 0) {
        XInputEvent input = {};
        input.kind = press ? XINPUT_KEY_DOWN : XINPUT_KEY_UP;
        input.key = vkey;
        input.modifiers = X11Modifiers(key->state);
        Report(input);
    }
    if (press)
        ReportText(key);
}

void XX11Window::ReportText(XKeyEvent *key)
{
    char buffer[256];
    KeySym keysym = 0;
    Status status = XLookupNone;
    int length = 0;
    if (m_ic != nullptr) {
        length = Xutf8LookupString(m_ic, key, buffer, sizeof buffer - 1, &keysym, &status);
        if (status != XLookupChars && status != XLookupBoth)
            length = 0; // longer texts than the buffer come from no input method we use
    } else {
        XLookupString(key, buffer, sizeof buffer - 1, &keysym, nullptr);
        uint32_t code = KeysymCharacter(keysym);
        length = 0;
        if (code != 0) {
            XInputEvent input = {};
            input.kind = XINPUT_CHAR;
            input.key = code;
            input.modifiers = X11Modifiers(key->state);
            Report(input);
        }
    }
    ForEachCodePoint(buffer, length, [&](uint32_t code) {
        if (code == 0x7F)
            return; // Delete is a key, not a character
        XInputEvent input = {};
        input.kind = XINPUT_CHAR;
        input.key = code;
        input.modifiers = X11Modifiers(key->state);
        Report(input);
    });
}

void XX11Window::ReportPointer(XEvent *event)
{
    XInputEvent input = {};
    switch (event->type) {
    case ButtonPress:
    case ButtonRelease:
        if (!TranslateX11Button(event->xbutton.button, event->type == ButtonPress, &input))
            return;
        input.x = event->xbutton.x;
        input.y = event->xbutton.y;
        input.modifiers = X11Modifiers(event->xbutton.state);
        break;
    case MotionNotify: {
        // Only the newest of a run of moves matters.
        XEvent next;
        while (XCheckTypedWindowEvent(m_backend->GetDisplay(), m_window, MotionNotify, &next))
            *event = next;
        input.kind = XINPUT_MOTION;
        input.x = event->xmotion.x;
        input.y = event->xmotion.y;
        input.modifiers = X11Modifiers(event->xmotion.state);
        break;
    }
    default:
        return;
    }
    if (input.kind != 0)
        Report(input);
}

void XX11Window::ReportConfigure(const XConfigureEvent &configure)
{
    XInputEvent input = {};
    if (configure.width != m_width || configure.height != m_height) {
        m_width = configure.width;
        m_height = configure.height;
        input.kind = XINPUT_SIZE;
        input.x = m_width;
        input.y = m_height;
        Report(input);
    }
    // A window manager's frame makes the event's place relative to the frame; the place
    // on the root window is what the layer keeps.
    int x = configure.x;
    int y = configure.y;
    Window child = 0;
    Display *display = m_backend->GetDisplay();
    XTranslateCoordinates(display, m_window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    if (x != m_x || y != m_y) {
        m_x = x;
        m_y = y;
        input = {};
        input.kind = XINPUT_MOVE;
        input.x = x;
        input.y = y;
        Report(input);
    }
}

void XX11Window::HandleEvent(XEvent *event)
{
    XInputEvent input = {};
    switch (event->type) {
    case KeyPress:
    case KeyRelease:
        ReportKey(&event->xkey, event->type == KeyPress);
        return;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
        ReportPointer(event);
        return;
    case ConfigureNotify:
        ReportConfigure(event->xconfigure);
        return;
    case MapNotify:
        m_mapped = true;
        if (m_focusWanted) {
            m_focusWanted = false;
            SetFocus();
        }
        return;
    case UnmapNotify:
        m_mapped = false;
        return;
    case Expose:
        input.kind = XINPUT_EXPOSE;
        input.x = event->xexpose.x;
        input.y = event->xexpose.y;
        input.width = event->xexpose.width;
        input.height = event->xexpose.height;
        break;
    case FocusIn:
    case FocusOut:
        if (event->xfocus.mode == NotifyGrab || event->xfocus.mode == NotifyUngrab ||
            event->xfocus.detail == NotifyPointer)
            return; // pointer grabs and pointer-follows-focus are not focus changes
        if (m_ic != nullptr)
            event->type == FocusIn ? XSetICFocus(m_ic) : XUnsetICFocus(m_ic);
        input.kind = event->type == FocusIn ? XINPUT_FOCUS_IN : XINPUT_FOCUS_OUT;
        break;
    case LeaveNotify:
        if (event->xcrossing.mode != NotifyNormal)
            return;
        input.kind = XINPUT_LEAVE;
        break;
    case ClientMessage:
        if (event->xclient.message_type != m_backend->GetAtoms().wmProtocols ||
            static_cast<Atom>(event->xclient.data.l[0]) != m_backend->GetAtoms().wmDelete)
            return;
        input.kind = XINPUT_CLOSE;
        break;
    default:
        return;
    }
    Report(input);
}
