#pragma once
// The process-wide message loop behind Panekit and XDrawWindow (internal to the library).
//
// UI-thread state: the registered windows (by serial, so queued entries never reach a
// destroyed window), the queue of translated input, the timers and the stack of running
// loops. Posted messages arrive from any thread into a locked queue and are moved to the
// UI side in batches. Order of delivery: posted messages, input, then due timers; when
// all are empty the windows paint and present, then the backend is pumped.

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/panekit/window/window_backend.h"
#include "platform/panekit/window/xmessage.h"

class Panekit;
class XDrawWindow;
class XPainter;

// Codes of layer-internal queued entries (never handed to DispatchMessage).
enum : uint32_t {
    XMSG_INTERNAL_CLOSE = 0x10001,
    XMSG_INTERNAL_LEAVE = 0x10002,
    XMSG_INTERNAL_EXPOSE = 0x10003,
};

// Timer ids of the layer itself (never delivered as messages).
constexpr uintptr_t kCaretBlinkTimer = ~static_cast<uintptr_t>(0);
constexpr uint32_t kCaretBlinkTime = 530;
// A second press within this time and distance on either axis is a double click.
constexpr uint64_t kDoubleClickTime = 500;
constexpr int32_t kDoubleClickDistance = 4;

class XWindowLoop
{
public:
    static XWindowLoop &Get();

    uint64_t AddWindow(Panekit *window);
    // Forgets a window: its queued input, posts and timers go, its popup loops end.
    void RemoveWindow(Panekit *window);
    Panekit *FindWindow(uint64_t id) const;
    size_t GetWindowCount() const { return m_windows.size(); }

    void Translate(Panekit *window, const XInputEvent *event);
    void QueueMessage(Panekit *window, const XMessage_t &message);

    int Post(uint64_t window, uint32_t code, void *item, uintptr_t value, int32_t row = 0,
             int32_t column = 0);
    void DropItem(uint64_t window, void *item);

    int SetTimer(uint64_t window, uintptr_t id, uint32_t elapse);
    int KillTimer(uint64_t window, uintptr_t id);

    int RunPopup(Panekit *window, int cancel);
    int EndPopup(Panekit *window, int code);
    int RunWait(uint32_t timeout, int cancel);
    int StopWait(int code);
    void SetMainFrame(Panekit *frame) { m_mainFrame = frame; }
    Panekit *GetMainFrame() const { return m_mainFrame; }

    int IsKeyPress(uint32_t vkey) const;
    // Forgets held keys, buttons and the double-click candidate (tests, focus loss).
    void ResetInputState();

private:
    struct Frame
    {
        int popup;
        uint64_t window;
        uint64_t deadline;
        int cancel;
        int done;
        int code;
    };
    struct Queued
    {
        uint64_t window;
        XMessage_t message;
    };
    struct Posted
    {
        uint64_t window;
        uint32_t code;
        void *item;
        uintptr_t value;
        int32_t row;
        int32_t column;
    };
    struct Timer
    {
        uint64_t window;
        uintptr_t id;
        uint32_t elapse;
        uint64_t due;
    };

    int Run(Frame *frame);
    int CheckEnd(Frame *frame, XWindowBackend *backend);
    int DeliverOne(XWindowBackend *backend);
    int DeliverPosted();
    int DeliverInput();
    int DeliverTimer(uint64_t now);
    void Deliver(Panekit *window, XMessage_t *message);
    int RunIdle();
    uint64_t NextTimerDue() const;
    void TranslateKey(Panekit *window, const XInputEvent *event, XMessage_t *message);
    void TranslateButton(Panekit *window, const XInputEvent *event, XMessage_t *message);
    void ApplyModifiers(const XInputEvent *event);
    int SpinForPosts();
    int EnterSleep();
    void LeaveSleep();

    std::unordered_map<uint64_t, Panekit *> m_windows;
    std::vector<Panekit *> m_order;
    uint64_t m_nextId = 1;
    Panekit *m_mainFrame = nullptr;
    int m_quit = 0;

    std::deque<Queued> m_input;
    std::vector<Timer> m_timers;
    std::vector<Frame *> m_frames;
    std::vector<uint64_t> m_idleIds;

    std::mutex m_postLock;
    std::deque<Posted> m_incoming; // guarded by m_postLock
    // Entries in m_incoming, readable without the lock; the loop may wait in the backend.
    std::atomic<size_t> m_incomingCount{0};
    std::atomic<int> m_sleeping{0};
    int m_postsSinceSleep = 0; // UI thread: posts arrived since the loop last spun
    static constexpr int kPostSpin = 100;
    std::deque<Posted> m_ready; // UI thread

    // Input translation state.
    uint32_t m_modifiers = 0; // XMSG_STATE_CTRL | XMSG_STATE_SHIFT as translated
    uint32_t m_buttons = 0;   // XMSG_STATE_LEFT | RIGHT | MIDDLE held
    struct Press
    {
        uint64_t window;
        uint32_t button;
        int32_t x, y;
        uint64_t time;
        int valid;
    } m_lastPress = {0, 0, 0, 0, 0, 0};
    // Delivered state that IsKeyPress reads.
    uint32_t m_deliveredModifiers = 0;
    std::vector<uint32_t> m_keysDown;
};

// Painter objects, made here so the window code needs only their declaration.
XPainter *NewWindowPainter(cairo_surface_t *target, const BOUND_t *clip);
XPainter *NewMeasurePainter();
void DeleteWindowPainter(XPainter *painter);
