// The test display of the virtual backend: script steps, answers and inspection.

#include <cairo.h>

#include "platform/panekit/virtual/window_virtual.h"
#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/window_loop.h"
#include "platform/panekit/window/xdraw_window.h"

namespace {

XVirtualBackend &Backend()
{
    return XVirtualBackend::Instance();
}

// Virtual key of a typed ASCII letter, digit or space; 0 when the character has none.
uint32_t KeyOfChar(uint32_t ch)
{
    if (ch >= 'a' && ch <= 'z')
        return ch - 'a' + 65;
    if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == ' ')
        return ch;
    return 0;
}

} // namespace

XVirtualDisplay *XVirtualDisplay::Install()
{
    if (!SelectWindowBackend("virtual"))
        return nullptr;
    static XVirtualDisplay display;
    display.Reset();
    return &display;
}

XVirtualDisplay *XVirtualDisplay::Get()
{
    static XVirtualDisplay display;
    return GetWindowBackend() == &Backend() ? &display : nullptr;
}

void XVirtualDisplay::Reset()
{
    Backend().Reset();
    XWindowLoop::Get().ResetInputState();
}

uint64_t XVirtualDisplay::Now() const
{
    return Backend().Now();
}

void XVirtualDisplay::KeyDown(Panekit *window, uint32_t vkey)
{
    Backend().AddEvent(window, XINPUT_KEY_DOWN, vkey, 0, 0);
}

void XVirtualDisplay::KeyUp(Panekit *window, uint32_t vkey)
{
    Backend().AddEvent(window, XINPUT_KEY_UP, vkey, 0, 0);
}

void XVirtualDisplay::TypeChar(Panekit *window, uint32_t codepoint)
{
    Backend().AddEvent(window, XINPUT_CHAR, codepoint, 0, 0);
}

void XVirtualDisplay::Type(Panekit *window, const char16_t *text)
{
    for (size_t i = 0; text != nullptr && text[i] != 0; i++) {
        uint32_t ch = text[i];
        if (ch >= 0xD800 && ch < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            ch = 0x10000 + ((ch - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            i++;
        }
        uint32_t vkey = KeyOfChar(ch);
        if (vkey != 0)
            KeyDown(window, vkey);
        TypeChar(window, ch);
        if (vkey != 0)
            KeyUp(window, vkey);
    }
}

void XVirtualDisplay::Press(Panekit *window, int32_t x, int32_t y, uint32_t button)
{
    Backend().AddEvent(window, XINPUT_BUTTON_DOWN, button, x, y);
}

void XVirtualDisplay::Release(Panekit *window, int32_t x, int32_t y, uint32_t button)
{
    Backend().AddEvent(window, XINPUT_BUTTON_UP, button, x, y);
}

void XVirtualDisplay::Click(Panekit *window, int32_t x, int32_t y, uint32_t button)
{
    Press(window, x, y, button);
    Release(window, x, y, button);
}

void XVirtualDisplay::Move(Panekit *window, int32_t x, int32_t y)
{
    Backend().AddEvent(window, XINPUT_MOTION, 0, x, y);
}

void XVirtualDisplay::Wheel(Panekit *window, int32_t x, int32_t y, int towards)
{
    Backend().AddEvent(window, XINPUT_WHEEL, towards != 0, x, y);
}

void XVirtualDisplay::Leave(Panekit *window)
{
    Backend().AddEvent(window, XINPUT_LEAVE, 0, 0, 0);
}

void XVirtualDisplay::Resize(Panekit *window, int32_t width, int32_t height)
{
    Backend().AddEvent(window, XINPUT_SIZE, 0, width, height);
}

void XVirtualDisplay::MoveTo(Panekit *window, int32_t x, int32_t y)
{
    Backend().AddEvent(window, XINPUT_MOVE, 0, x, y);
}

void XVirtualDisplay::Focus(Panekit *window, int in)
{
    Backend().AddEvent(window, in ? XINPUT_FOCUS_IN : XINPUT_FOCUS_OUT, 0, 0, 0);
}

void XVirtualDisplay::Close(Panekit *window)
{
    Backend().AddEvent(window, XINPUT_CLOSE, 0, 0, 0);
}

void XVirtualDisplay::Event(Panekit *window, const XInputEvent &event)
{
    XVirtualBackend::Step step = {};
    step.window = window;
    step.windowId = window != nullptr ? window->GetWindowId() : 0;
    step.event = event;
    Backend().AddStep(std::move(step));
}

void XVirtualDisplay::Advance(uint64_t ms)
{
    XVirtualBackend::Step step = {};
    step.kind = 1;
    step.ms = ms;
    Backend().AddStep(std::move(step));
}

void XVirtualDisplay::Call(std::function<void()> fn)
{
    XVirtualBackend::Step step = {};
    step.kind = 2;
    step.call = std::move(fn);
    Backend().AddStep(std::move(step));
}

size_t XVirtualDisplay::GetPendingSteps() const
{
    std::lock_guard<std::mutex> hold(Backend().m_lock);
    return Backend().m_script.size();
}

void XVirtualDisplay::SetIdleWait(uint32_t ms)
{
    std::lock_guard<std::mutex> hold(Backend().m_lock);
    Backend().m_idleWait = ms;
}

void XVirtualDisplay::AnswerBox(int code)
{
    std::lock_guard<std::mutex> hold(Backend().m_lock);
    Backend().m_boxAnswers.push_back(code);
}

const std::vector<XVirtualBox> &XVirtualDisplay::GetBoxes() const
{
    return Backend().m_boxes;
}

void XVirtualDisplay::AnswerChooser(int code, const char16_t *text)
{
    std::lock_guard<std::mutex> hold(Backend().m_lock);
    Backend().m_chooserAnswers.emplace_back(code, text != nullptr ? text : u"");
}

int XVirtualDisplay::TakeChooserAnswer(std::u16string *text)
{
    std::lock_guard<std::mutex> hold(Backend().m_lock);
    auto &queue = Backend().m_chooserAnswers;
    if (queue.empty()) {
        text->clear();
        return 0;
    }
    int code = queue.front().first;
    *text = std::move(queue.front().second);
    queue.pop_front();
    return code;
}

std::u16string XVirtualDisplay::GetClipboard() const
{
    std::lock_guard<std::mutex> hold(Backend().m_lock);
    return Backend().m_clipboard;
}

void XVirtualDisplay::SetClipboard(const std::u16string &text)
{
    std::lock_guard<std::mutex> hold(Backend().m_lock);
    Backend().m_clipboard = text;
}

cairo_surface_t *XVirtualDisplay::GetWindowSurface(Panekit *window)
{
    auto *drawer = dynamic_cast<XDrawWindow *>(window);
    return drawer != nullptr ? drawer->GetShownSurface() : nullptr;
}

int XVirtualDisplay::SaveWindowPng(Panekit *window, const char *path)
{
    cairo_surface_t *surface = GetWindowSurface(window);
    if (surface == nullptr || path == nullptr)
        return 0;
    return cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
}

int XVirtualDisplay::GetCursorShape(Panekit *window) const
{
    XVirtualWindow *native = Backend().FindNative(window);
    return native != nullptr ? native->m_cursor : -1;
}

int XVirtualDisplay::IsCaptured(Panekit *window) const
{
    XVirtualWindow *native = Backend().FindNative(window);
    return native != nullptr && native->m_captured;
}

int XVirtualDisplay::IsShown(Panekit *window) const
{
    XVirtualWindow *native = Backend().FindNative(window);
    return native != nullptr && native->m_shown;
}

int XVirtualDisplay::IsEnabled(Panekit *window) const
{
    XVirtualWindow *native = Backend().FindNative(window);
    return native != nullptr && native->m_enabled;
}

std::u16string XVirtualDisplay::GetTitle(Panekit *window) const
{
    XVirtualWindow *native = Backend().FindNative(window);
    return native != nullptr ? native->m_title : std::u16string();
}

int XVirtualDisplay::GetPresentCount(Panekit *window) const
{
    XVirtualWindow *native = Backend().FindNative(window);
    return native != nullptr ? native->m_presents : 0;
}
