#pragma once
// The test side of the virtual backend: in-memory windows fed from a script.
//
// A test appends steps (input events, clock advances, calls) and then runs a loop; the
// loop takes the steps in order, moves the fake clock only by Advance steps and by its
// own timeouts, and ends with its cancel code once the script is used up. Message boxes
// and choosers answer from queues. Nothing here waits on real time except SetIdleWait.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/panekit/paint/bound.h"
#include "platform/panekit/panekit_export.h"

typedef struct _cairo_surface cairo_surface_t;
class Panekit;
struct XInputEvent;

// A message box shown on the virtual display.
struct XVirtualBox
{
    std::u16string text;
    std::u16string caption;
    uint32_t flags;
    int answer;
};

class PANEKIT_EXPORT XVirtualDisplay
{
public:
    // Selects the virtual backend (before any window exists) and returns its display,
    // reset to an empty script at clock kVirtualEpoch. Null when another backend is in
    // use and windows are alive.
    static XVirtualDisplay *Install();
    // The display when the virtual backend is in use, else null.
    static XVirtualDisplay *Get();

    // Empties the script and the answer queues, forgets boxes, clipboard and pressed
    // keys, and sets the clock back to kVirtualEpoch.
    void Reset();
    uint64_t Now() const;
    static constexpr uint64_t kVirtualEpoch = 1000000;

    // ---- script steps (run by the loop in the order given) ----
    void KeyDown(Panekit *window, uint32_t vkey);
    void KeyUp(Panekit *window, uint32_t vkey);
    // Key down, up (virtual keys) with a char per code point between (text is UTF-16).
    void Type(Panekit *window, const char16_t *text);
    // One XINPUT_CHAR event for a code point (any plane).
    void TypeChar(Panekit *window, uint32_t codepoint);
    void Press(Panekit *window, int32_t x, int32_t y, uint32_t button = 0);
    void Release(Panekit *window, int32_t x, int32_t y, uint32_t button = 0);
    void Click(Panekit *window, int32_t x, int32_t y, uint32_t button = 0);
    void Move(Panekit *window, int32_t x, int32_t y);
    void Wheel(Panekit *window, int32_t x, int32_t y, int towards);
    void Leave(Panekit *window);
    void Resize(Panekit *window, int32_t width, int32_t height);
    void MoveTo(Panekit *window, int32_t x, int32_t y);
    void Focus(Panekit *window, int in);
    void Close(Panekit *window);
    // Any event as a backend would report it (time is filled in when it runs).
    void Event(Panekit *window, const XInputEvent &event);
    // Moves the fake clock forward; timers fall due on the way, in order.
    void Advance(uint64_t ms);
    // Runs fn on the loop's thread when reached.
    void Call(std::function<void()> fn);
    // Steps not yet run.
    size_t GetPendingSteps() const;

    // Real milliseconds a loop with an empty script waits for PostMessage from other
    // threads before it counts as run out (default 0).
    void SetIdleWait(uint32_t ms);

    // ---- answers ----
    // The next message box answers code (queued; without one a box is cancelled).
    void AnswerBox(int code);
    const std::vector<XVirtualBox> &GetBoxes() const;
    // Chooser answers for the dialogs' scripted provider: code (0 cancelled) and text.
    void AnswerChooser(int code, const char16_t *text);
    // Takes the next chooser answer: its code (0 when none is queued), text into *text.
    int TakeChooserAnswer(std::u16string *text);

    // ---- inspection ----
    std::u16string GetClipboard() const;
    void SetClipboard(const std::u16string &text);
    // The window's shown picture (back buffer with caret, tracker and cover over it).
    cairo_surface_t *GetWindowSurface(Panekit *window);
    // Writes the shown picture as PNG. Non-zero on success.
    int SaveWindowPng(Panekit *window, const char *path);
    // The last cursor shape code, capture and focus request the layer gave the window.
    int GetCursorShape(Panekit *window) const;
    int IsCaptured(Panekit *window) const;
    int IsShown(Panekit *window) const;
    int IsEnabled(Panekit *window) const;
    std::u16string GetTitle(Panekit *window) const;
    // Number of Present calls for the window so far.
    int GetPresentCount(Panekit *window) const;

private:
    XVirtualDisplay() = default;
    friend class XVirtualBackend;
};
