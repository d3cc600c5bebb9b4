// The message loop: delivery order, running and ending nested loops, idle painting.

#include <algorithm>
#include <cstdint>

#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/window_loop.h"
#include "platform/panekit/window/xdraw_window.h"

namespace {

constexpr uint64_t kNoTime = UINT64_MAX;

} // namespace

XWindowLoop &XWindowLoop::Get()
{
    static XWindowLoop loop;
    return loop;
}

// ---------------------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------------------

uint64_t XWindowLoop::AddWindow(Panekit *window)
{
    uint64_t id = m_nextId++;
    m_windows[id] = window;
    m_order.push_back(window);
    return id;
}

void XWindowLoop::RemoveWindow(Panekit *window)
{
    uint64_t id = window->m_windowId;
    m_windows.erase(id);
    m_order.erase(std::remove(m_order.begin(), m_order.end(), window), m_order.end());
    auto sameWindow = [id](const auto &entry) { return entry.window == id; };
    m_input.erase(std::remove_if(m_input.begin(), m_input.end(), sameWindow), m_input.end());
    m_ready.erase(std::remove_if(m_ready.begin(), m_ready.end(), sameWindow), m_ready.end());
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(), sameWindow), m_timers.end());
    {
        std::lock_guard<std::mutex> hold(m_postLock);
        m_incoming.erase(std::remove_if(m_incoming.begin(), m_incoming.end(), sameWindow),
                         m_incoming.end());
        m_incomingCount.store(m_incoming.size());
    }
    if (m_lastPress.window == id)
        m_lastPress.valid = 0;
    for (Frame *frame : m_frames) {
        if (frame->popup && frame->window == id && !frame->done) {
            frame->done = 1;
            frame->code = frame->cancel;
        }
    }
    if (window == m_mainFrame) {
        m_mainFrame = nullptr;
        // Every running loop unwinds; with none running there is nothing to end.
        m_quit = m_frames.empty() ? 0 : 1;
    }
}

Panekit *XWindowLoop::FindWindow(uint64_t id) const
{
    auto found = m_windows.find(id);
    return found == m_windows.end() ? nullptr : found->second;
}

void XWindowLoop::QueueMessage(Panekit *window, const XMessage_t &message)
{
    m_input.push_back({window->m_windowId, message});
}

// ---------------------------------------------------------------------------------------
// Posted messages (any thread)
// ---------------------------------------------------------------------------------------

int XWindowLoop::Post(uint64_t window, uint32_t code, void *item, uintptr_t value, int32_t row,
                      int32_t column)
{
    XWindowBackend *backend = GetWindowBackend();
    if (backend == nullptr)
        return 0;
    {
        std::lock_guard<std::mutex> hold(m_postLock);
        m_incoming.push_back({window, code, item, value, row, column});
        m_incomingCount.fetch_add(1);
    }
    // Only a loop that may be blocked in the backend needs waking; a busy one looks at the
    // count again before it waits (EnterSleep). Both sides store first and read second, so
    // one of them always sees the other.
    if (m_sleeping.load() && m_sleeping.exchange(0))
        backend->Wake();
    return 1;
}

void XWindowLoop::DropItem(uint64_t window, void *item)
{
    auto named = [window, item](const Posted &post) {
        return post.window == window && post.item == item;
    };
    m_ready.erase(std::remove_if(m_ready.begin(), m_ready.end(), named), m_ready.end());
    {
        std::lock_guard<std::mutex> hold(m_postLock);
        m_incoming.erase(std::remove_if(m_incoming.begin(), m_incoming.end(), named),
                         m_incoming.end());
        m_incomingCount.store(m_incoming.size());
    }
    uintptr_t id = reinterpret_cast<uintptr_t>(item);
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(),
                                  [window, id](const Timer &timer) {
                                      return timer.window == window && timer.id == id;
                                  }),
                   m_timers.end());
}

// ---------------------------------------------------------------------------------------
// Timers
// ---------------------------------------------------------------------------------------

int XWindowLoop::SetTimer(uint64_t window, uintptr_t id, uint32_t elapse)
{
    XWindowBackend *backend = GetWindowBackend();
    if (backend == nullptr || FindWindow(window) == nullptr)
        return 0;
    elapse = std::max<uint32_t>(elapse, 1);
    uint64_t due = backend->Now() + elapse;
    for (Timer &timer : m_timers) {
        if (timer.window == window && timer.id == id) {
            timer.elapse = elapse;
            timer.due = due;
            return 1;
        }
    }
    m_timers.push_back({window, id, elapse, due});
    return 1;
}

int XWindowLoop::KillTimer(uint64_t window, uintptr_t id)
{
    auto found = std::find_if(m_timers.begin(), m_timers.end(), [&](const Timer &timer) {
        return timer.window == window && timer.id == id;
    });
    if (found == m_timers.end())
        return 0;
    m_timers.erase(found);
    return 1;
}

uint64_t XWindowLoop::NextTimerDue() const
{
    uint64_t next = kNoTime;
    for (const Timer &timer : m_timers)
        next = std::min(next, timer.due);
    return next;
}

// ---------------------------------------------------------------------------------------
// Delivery
// ---------------------------------------------------------------------------------------

int XWindowLoop::DeliverOne(XWindowBackend *backend)
{
    if (DeliverPosted())
        return 1;
    if (DeliverInput())
        return 1;
    return !m_timers.empty() && DeliverTimer(backend->Now());
}

int XWindowLoop::DeliverPosted()
{
    if (m_ready.empty()) {
        if (m_incomingCount.load(std::memory_order_relaxed) == 0)
            return 0;
        std::lock_guard<std::mutex> hold(m_postLock);
        m_ready.swap(m_incoming);
        m_incomingCount.store(0);
        m_postsSinceSleep = 1;
    }
    while (!m_ready.empty()) {
        Posted post = m_ready.front();
        m_ready.pop_front();
        Panekit *window = FindWindow(post.window);
        if (window == nullptr)
            continue;
        if (post.code == XMSG_UPDATE) {
            window->RequestUpdate();
            continue;
        }
        XMessage_t message = {};
        message.code = XMSG_POSTED;
        message.key = post.code;
        message.item = post.item;
        message.value = post.value;
        message.row = post.row;
        message.column = post.column;
        Deliver(window, &message);
        return 1;
    }
    return 0;
}

int XWindowLoop::DeliverInput()
{
    while (!m_input.empty()) {
        Queued queued = m_input.front();
        m_input.pop_front();
        Panekit *window = FindWindow(queued.window);
        if (window == nullptr)
            continue;
        Deliver(window, &queued.message);
        return 1;
    }
    return 0;
}

int XWindowLoop::DeliverTimer(uint64_t now)
{
    Timer *first = nullptr;
    for (Timer &timer : m_timers) {
        if (timer.due <= now && (first == nullptr || timer.due < first->due))
            first = &timer;
    }
    if (first == nullptr)
        return 0;
    // Keep the cadence; a loop that fell behind gets one tick, not a burst.
    first->due += first->elapse;
    if (first->due <= now)
        first->due = now + first->elapse;
    Timer timer = *first;
    Panekit *window = FindWindow(timer.window);
    if (window == nullptr)
        return 1;
    if (timer.id == kCaretBlinkTimer) {
        if (auto *drawer = dynamic_cast<XDrawWindow *>(window))
            drawer->BlinkCaret();
        return 1;
    }
    XMessage_t message = {};
    message.code = XMSG_TIMER;
    if (timer.id < kTimerNumberLimit)
        message.key = static_cast<uint32_t>(timer.id);
    else
        message.item = reinterpret_cast<void *>(timer.id);
    Deliver(window, &message);
    return 1;
}

// ---------------------------------------------------------------------------------------
// Running loops
// ---------------------------------------------------------------------------------------

int XWindowLoop::RunPopup(Panekit *window, int cancel)
{
    Frame frame = {1, window->m_windowId, kNoTime, cancel, 0, cancel};
    return Run(&frame);
}

int XWindowLoop::EndPopup(Panekit *window, int code)
{
    for (auto it = m_frames.rbegin(); it != m_frames.rend(); ++it) {
        Frame *frame = *it;
        if (frame->popup && frame->window == window->m_windowId && !frame->done) {
            frame->done = 1;
            frame->code = code;
            return 1;
        }
    }
    return 0;
}

int XWindowLoop::RunWait(uint32_t timeout, int cancel)
{
    XWindowBackend *backend = GetWindowBackend();
    if (backend == nullptr)
        return cancel;
    uint64_t deadline = timeout == kWaitForever ? kNoTime : backend->Now() + timeout;
    Frame frame = {0, 0, deadline, cancel, 0, cancel};
    return Run(&frame);
}

int XWindowLoop::StopWait(int code)
{
    for (auto it = m_frames.rbegin(); it != m_frames.rend(); ++it) {
        Frame *frame = *it;
        if (!frame->popup && !frame->done) {
            frame->done = 1;
            frame->code = code;
            return 1;
        }
    }
    return 0;
}

// Non-zero when the frame must end now (its code then set).
int XWindowLoop::CheckEnd(Frame *frame, XWindowBackend *backend)
{
    if (frame->done)
        return 1;
    if (m_quit || (m_frames.size() == 1 && m_windows.empty())) {
        frame->code = frame->cancel;
        return 1;
    }
    if (frame->deadline != kNoTime && backend->Now() >= frame->deadline) {
        frame->code = 0;
        return 1;
    }
    return 0;
}

int XWindowLoop::Run(Frame *frame)
{
    XWindowBackend *backend = GetWindowBackend();
    if (backend == nullptr)
        return frame->cancel;
    m_frames.push_back(frame);
    while (!CheckEnd(frame, backend)) {
        if (DeliverOne(backend))
            continue;
        int busy = RunIdle();
        if (CheckEnd(frame, backend) || DeliverOne(backend))
            continue;
        uint64_t wakeAt = std::min(NextTimerDue(), frame->deadline);
        if (busy)
            wakeAt = backend->Now();
        if (SpinForPosts() || !EnterSleep())
            continue;
        int pumped = backend->PumpEvents(wakeAt, frame->deadline != kNoTime);
        LeaveSleep();
        if (pumped == XPUMP_EXHAUSTED) {
            frame->code = frame->cancel;
            break;
        }
    }
    m_frames.pop_back();
    if (m_frames.empty())
        m_quit = 0;
    return frame->code;
}

// A loop fed by another thread's posts waits a moment for the next one before it goes
// to sleep: waking a sleeping loop costs far more than the spin.
int XWindowLoop::SpinForPosts()
{
    if (!m_postsSinceSleep)
        return 0;
    m_postsSinceSleep = 0;
    for (int i = 0; i < kPostSpin; i++) {
        if (m_incomingCount.load(std::memory_order_relaxed) != 0)
            return 1;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    return 0;
}

// Marks the loop as about to wait in the backend, so that posts wake it. 0 when posts
// arrived meanwhile (then it must not wait).
int XWindowLoop::EnterSleep()
{
    m_sleeping.store(1);
    if (m_incomingCount.load() != 0) {
        m_sleeping.store(0);
        return 0;
    }
    return 1;
}

void XWindowLoop::LeaveSleep()
{
    m_sleeping.store(0);
}

// Paints and presents every window, then lets each do idle work. Non-zero when a
// window still has painting pending (the backend must not block).
int XWindowLoop::RunIdle()
{
    // Windows may come and go while their callbacks run: walk a copy of the serials.
    std::vector<uint64_t> &ids = m_idleIds;
    ids.clear();
    for (Panekit *window : m_order)
        ids.push_back(window->m_windowId);
    for (uint64_t id : ids) {
        if (Panekit *window = FindWindow(id); window != nullptr && window->HasPendingPaint())
            window->RunPaintCycle();
    }
    for (uint64_t id : ids) {
        if (Panekit *window = FindWindow(id))
            window->PresentWindow();
    }
    for (uint64_t id : ids) {
        if (Panekit *window = FindWindow(id))
            window->OnIdleDispose();
    }
    for (Panekit *window : m_order) {
        if (window->HasPendingPaint())
            return 1;
    }
    return 0;
}
