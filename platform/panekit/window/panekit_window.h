#pragma once
// The base window class of the library: a native window of the selected backend, its
// modal loops and the process-wide message loop they share.
//
// Everything runs on one UI thread; only XDrawWindow::PostMessage may be called from
// other threads. Loops nest: PopupWindow runs a window modally until EndMessageLoop,
// WaitForMessage runs until StopForMessage, its timeout, or (outermost) until the main
// frame is gone. Every loop also ends when nothing can arrive any more (a virtual
// backend whose script ran out), then with the cancel code it was given.

#include <atomic>
#include <cstdint>

#include "platform/panekit/paint/bound.h"
#include "platform/panekit/panekit_export.h"
#include "platform/panekit/window/xmessage.h"

class XNativeWindow;
struct XInputEvent;

// Position value that lets the desktop place a window.
constexpr int32_t kWindowDefaultPos = INT32_MIN;
// Timeout of WaitForMessage that never expires.
constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

// Window styles (Create).
enum : uint32_t {
    PANEKIT_STYLE_BORDERLESS = 0x1, // no title bar or frame (pop-ups, menus)
    PANEKIT_STYLE_FIXED = 0x2,      // the user cannot resize it
    PANEKIT_STYLE_TOOL = 0x4,       // not listed in the task bar
    PANEKIT_STYLE_HIDDEN = 0x8,     // not shown by Create
};

// Message-box flags: low nibble the buttons, then the icon.
enum : uint32_t {
    PANEKIT_MB_OK = 0x0,       // OK (answer 1)
    PANEKIT_MB_OKCANCEL = 0x1, // OK 1, Cancel 0
    PANEKIT_MB_YESNO = 0x2,    // Yes 1, No 0
    PANEKIT_MB_ICONERROR = 0x10,
    PANEKIT_MB_ICONQUESTION = 0x20,
};
// The answer of a box that was closed without choosing: 1 for an OK box, else 0.
PANEKIT_EXPORT int GetMessageBoxCancel(uint32_t flags);

// Non-zero while the key is held: 16 Shift, 17 Ctrl (as the last delivered input left
// them), or any other virtual key seen going down and not yet up.
PANEKIT_EXPORT int IsKeyPress(uint32_t vkey);

class PANEKIT_EXPORT Panekit
{
public:
    Panekit();
    virtual ~Panekit();
    Panekit(const Panekit &) = delete;
    Panekit &operator=(const Panekit &) = delete;

    // Creates the native window: title (null = empty), client bound (null: 640 x 480 at
    // a place the desktop chooses), parent (embedded child) and owner (a top-level window
    // this one stays above; PopupWindow disables it). Calls OnCreateWindow, queues a size
    // (33) and a first move (35) message and shows the window unless
    // PANEKIT_STYLE_HIDDEN. Non-zero on success; 0 when created already, without a
    // backend, or when OnCreateWindow refuses.
    int Create(const char16_t *title, const BOUND_t *place, Panekit *parent = nullptr,
               Panekit *owner = nullptr, uint32_t style = 0);
    // Destroys the native window (messages, posts and timers pending for it are
    // dropped; a PopupWindow loop of it ends with its cancel code). The object stays.
    void DestroyWindow();
    int IsCreated() const { return m_native != nullptr; }

    void ShowWindow(int show);
    void SetTitle(const char16_t *title);
    const char16_t *GetTitle() const;
    // Moves and resizes the client area.
    void MoveWindow(const BOUND_t *place);
    // The client bound: position on the desktop and size.
    void GetWindowPlace(BOUND_t *place) const;
    Panekit *GetParent() const { return m_parent; }
    Panekit *GetOwner() const { return m_owner; }
    int IsEnabled() const { return m_disabled == 0; }

    // Keeps pointer input coming to this window while the pointer is outside.
    void SetCapture();
    void ReleaseCapture();
    int HasCapture() const { return m_captured; }

    // Repaints a bound of the client area (null: all) in the next paint cycle.
    // Invalidations made while painting are kept for the cycle after.
    void Invaliate(const BOUND_t *bound);
    void Invalidate(const BOUND_t *bound) { Invaliate(bound); }

    // A message box owned by this window (flags PANEKIT_MB_*): the button answer.
    int MessageBox(const char16_t *text, const char16_t *caption, uint32_t flags);

    // Runs this window modally: the owner is disabled, the window shown, and a loop runs
    // until EndMessageLoop(code) (returns code) or the window is destroyed or nothing can
    // arrive any more (returns cancel).
    int PopupWindow(int cancel = 0);
    // Ends this window's innermost PopupWindow loop with code. 0 when none runs.
    int EndMessageLoop(int code);
    // Runs a nested loop until StopForMessage (its code), the timeout in milliseconds
    // (returns 0), the main frame being gone, or nothing being able to arrive (cancel).
    // The outermost loop also ends when the main frame or every window is gone.
    static int WaitForMessage(uint32_t timeout = kWaitForever, int cancel = 0);
    // Ends the innermost WaitForMessage loop with code. 0 when none runs.
    static int StopForMessage(int code);
    // The main frame: once it is destroyed every loop ends.
    static void SetMainFrame(Panekit *frame);
    static Panekit *GetMainFrame();

    // Delivery of one message; overrides call this first. Returns non-zero when handled.
    virtual int DispatchMessage(XMessage_t *message);
    // The user asks to close the window: non-zero lets it be destroyed.
    virtual int OnCloseWindow();
    // Called once each time the loop runs out of queued messages, before waiting.
    virtual void OnIdleDispose();

    // ---- for the layer and the backends ----
    XNativeWindow *GetNative() const { return m_native; }
    // The layer's window serial (never reused); 0 when not created.
    uint64_t GetWindowId() const { return m_windowId.load(std::memory_order_acquire); }

protected:
    // After the native window exists: 0 refuses the creation.
    virtual int OnCreateWindow();
    // After the native window is gone. A subclass that overrides it calls DestroyWindow
    // in its own destructor: the base destructors can no longer reach the override.
    virtual void OnDestroyWindow();
    // A size change of the client area, before its message 33 is delivered.
    virtual void OnResize(int32_t width, int32_t height);
    // Runs a paint cycle over the pending invalid bound (the drawing window paints).
    virtual void RunPaintCycle();
    // Shows pending changes on screen (the drawing window presents its buffer).
    virtual void PresentWindow();

    // Takes the pending invalid bound and clears it; 0 when nothing is pending.
    int TakeInvalidBound(BOUND_t *bound);
    int HasPendingPaint() const { return m_invalidPending || m_updatePending; }
    void RequestUpdate();
    int TakeUpdateRequest();

private:
    friend class XWindowLoop;
    XNativeWindow *m_native = nullptr;
    std::atomic<uint64_t> m_windowId{0}; // read by PostMessage on other threads
    Panekit *m_parent = nullptr;
    Panekit *m_owner = nullptr;
    char16_t *m_title = nullptr;
    BOUND_t m_place = {0, 0, 0, 0};
    uint32_t m_style = 0;
    int m_disabled = 0;
    int m_captured = 0;
    int m_invalidPending = 0;
    int m_updatePending = 0;
    BOUND_t m_invalid = {0, 0, 0, 0};
};
