// The virtual backend: in-memory windows whose input comes from a test script and whose
// clock moves only when the script or a loop's timeout moves it.

#include "platform/panekit/virtual/window_virtual.h"
#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/window_loop.h"

namespace {

XWindowBackend *MakeVirtualBackend()
{
    return &XVirtualBackend::Instance();
}

const bool kRegistered = (RegisterWindowBackend("virtual", 0, &MakeVirtualBackend), true);

} // namespace

// ---------------------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------------------

XVirtualWindow::XVirtualWindow(Panekit *window, const XWindowParams *params)
    : m_window(window), m_title(params->title), m_place(params->place)
{
    if (m_place.x == kWindowDefaultPos)
        m_place.x = 0;
    if (m_place.y == kWindowDefaultPos)
        m_place.y = 0;
}

XVirtualWindow::~XVirtualWindow()
{
    XVirtualBackend::Instance().m_natives.erase(m_window);
}

// Like a window manager, report the new place back as events.
void XVirtualWindow::SetPlace(const BOUND_t *place)
{
    XInputEvent event = {};
    event.time = XVirtualBackend::Instance().Now();
    if (place->x != m_place.x || place->y != m_place.y) {
        event.kind = XINPUT_MOVE;
        event.x = place->x;
        event.y = place->y;
        ReportWindowInput(m_window, &event);
    }
    if (place->width != m_place.width || place->height != m_place.height) {
        event.kind = XINPUT_SIZE;
        event.x = place->width;
        event.y = place->height;
        ReportWindowInput(m_window, &event);
    }
    m_place = *place;
}

void XVirtualWindow::Present(cairo_surface_t *, const BOUND_t *)
{
    m_presents++;
}

// ---------------------------------------------------------------------------------------
// Backend
// ---------------------------------------------------------------------------------------

XVirtualBackend &XVirtualBackend::Instance()
{
    static XVirtualBackend *backend = new XVirtualBackend();
    return *backend;
}

XNativeWindow *XVirtualBackend::CreateNative(Panekit *window, const XWindowParams *params)
{
    auto *native = new XVirtualWindow(window, params);
    m_natives[window] = native;
    return native;
}

XVirtualWindow *XVirtualBackend::FindNative(Panekit *window) const
{
    auto found = m_natives.find(window);
    return found == m_natives.end() ? nullptr : found->second;
}

uint64_t XVirtualBackend::Now()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_now;
}

void XVirtualBackend::Wake()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_woken = 1;
    if (m_waiting)
        m_wakeSignal.notify_one();
}

// One script step per call. With the script used up, a wake from another thread (within
// the idle wait) or the innermost loop's own timeout keeps the loop going; otherwise
// nothing can arrive any more.
int XVirtualBackend::PumpEvents(uint64_t wakeAt, int bounded)
{
    std::unique_lock<std::mutex> hold(m_lock);
    if (m_woken) {
        m_woken = 0;
        return XPUMP_AGAIN;
    }
    if (!m_script.empty()) {
        Step &front = m_script.front();
        if (front.kind == 1) {
            if (!front.started) {
                front.target = m_now + front.ms;
                front.started = 1;
            }
            if (wakeAt < front.target) {
                m_now = std::max(m_now, wakeAt);
                return XPUMP_AGAIN;
            }
            m_now = front.target;
            m_script.pop_front();
            return XPUMP_AGAIN;
        }
        Step step = std::move(front);
        m_script.pop_front();
        step.event.time = m_now;
        hold.unlock();
        if (step.kind == 2)
            step.call();
        else if (XWindowLoop::Get().FindWindow(step.windowId) == step.window)
            ReportWindowInput(step.window, &step.event);
        return XPUMP_AGAIN;
    }
    if (wakeAt <= m_now)
        return XPUMP_AGAIN;
    if (m_idleWait > 0) {
        m_waiting = 1;
        m_wakeSignal.wait_for(hold, std::chrono::milliseconds(m_idleWait),
                              [this] { return m_woken != 0; });
        m_waiting = 0;
        if (m_woken) {
            m_woken = 0;
            return XPUMP_AGAIN;
        }
    }
    if (bounded && wakeAt != UINT64_MAX) {
        m_now = wakeAt;
        return XPUMP_AGAIN;
    }
    return XPUMP_EXHAUSTED;
}

int XVirtualBackend::SetClipboardText(const char16_t *text, size_t length)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_clipboard.assign(text, length);
    return 1;
}

int XVirtualBackend::GetClipboardText(std::u16string *text)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_clipboard.empty())
        return 0;
    *text = m_clipboard;
    return 1;
}

int XVirtualBackend::MessageBox(Panekit *, const char16_t *text, const char16_t *caption,
                                uint32_t flags)
{
    std::lock_guard<std::mutex> hold(m_lock);
    int answer = GetMessageBoxCancel(flags);
    if (!m_boxAnswers.empty()) {
        answer = m_boxAnswers.front();
        m_boxAnswers.pop_front();
    }
    m_boxes.push_back({text, caption, flags, answer});
    return answer;
}

void XVirtualBackend::AddStep(Step step)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_script.push_back(std::move(step));
}

void XVirtualBackend::AddEvent(Panekit *window, uint32_t kind, uint32_t key, int32_t x, int32_t y)
{
    Step step = {};
    step.kind = 0;
    step.window = window;
    step.windowId = window != nullptr ? window->GetWindowId() : 0;
    step.event.kind = kind;
    step.event.key = key;
    step.event.x = x;
    step.event.y = y;
    AddStep(std::move(step));
}

void XVirtualBackend::Reset()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_now = XVirtualDisplay::kVirtualEpoch;
    m_script.clear();
    m_woken = 0;
    m_idleWait = 0;
    m_boxAnswers.clear();
    m_boxes.clear();
    m_chooserAnswers.clear();
    m_clipboard.clear();
}
