#pragma once
// A window that draws itself: a back buffer (Cairo ARGB32 image surface of the client
// size) painted through XPainter objects, shown on screen with the caret, the drag
// tracker and the float cover laid over it. Adds posted messages, timers, the caret,
// the clipboard and the pointer state to the base window.

#include <cstdint>

#include "platform/panekit/paint/bound.h"
#include "platform/panekit/panekit_export.h"
#include "platform/panekit/window/panekit_window.h"

typedef struct _cairo_surface cairo_surface_t;
class XPainter;
struct XFontRecord_t;

// What BeginPainter paints: the clip bound in window coordinates (clipped to the client
// area by BeginPainter) and the painter it hands out.
struct XPaintDesc
{
    BOUND_t bound;
    XPainter *painter;
    void *reserved;
};

// Mouse cursor codes (SetMouseCursor).
enum : int {
    PANEKIT_CURSOR_ARROW = 0,
    PANEKIT_CURSOR_HAND = 4,
    PANEKIT_CURSOR_SIZEWE = 11,   // left or right edge
    PANEKIT_CURSOR_SIZENS = 12,   // top or bottom edge
    PANEKIT_CURSOR_SIZENWSE = 13, // top-left or bottom-right corner
    PANEKIT_CURSOR_SIZENESW = 14, // top-right or bottom-left corner
    PANEKIT_CURSOR_COLRESIZE = 21,
    PANEKIT_CURSOR_OPENHAND = 23,
    PANEKIT_CURSOR_GRABBING = 24,
    PANEKIT_CURSOR_DRAGDROP = 25,
};

// Clipboard formats.
enum : uint32_t {
    PANEKIT_CLIP_TEXT = 0, // UTF-16 text; byte counts include the terminator
};
// Receives clipboard data: bytes of the format; its result is GetClipboard's.
using XClipboardProc = int (*)(void *context, uint32_t format, const void *data, uint32_t bytes);

// Timer ids below this are timer numbers; others are item addresses.
constexpr uintptr_t kTimerNumberLimit = 0x10000;

class PANEKIT_EXPORT XDrawWindow : public Panekit
{
public:
    XDrawWindow();
    ~XDrawWindow() override;

    // A painter over the back buffer, clipped to desc->bound (cut to the client area),
    // or null when nothing would be drawn. Pair with ClosePainter, which shows the
    // painted bound on screen at the next loop turn.
    XPainter *BeginPainter(XPaintDesc *desc);
    void ClosePainter(XPaintDesc *desc);
    // A painter for measuring text at any time (draws nowhere).
    XPainter *GetPainter();
    // A painter over the tracker layer, which lies over the window until CloseTracker
    // (drag feedback outside the paint cycle). clear non-zero wipes what it showed.
    // Halftones drawn with it show the picture beneath inverted, follow repaints of that
    // picture, and go when the same halftone is drawn again.
    XPainter *GetTracker(int clear = 1);
    void CloseTracker();

    // Queues message 47 (key = code, item, value) for this window; any thread may call
    // it and it wakes the loop. Code 0 only asks for a paint cycle (OnUpdateErase).
    // Non-zero when queued (0 when the window is not created).
    int PostMessage(uint32_t code, void *item, uintptr_t value);
    // The same with the message's row and column fields filled (a cell of a data item).
    int PostMessage(uint32_t code, void *item, uintptr_t value, int32_t row, int32_t column);
    // Drops every posted message and timer that names item (call when it is destroyed).
    void DropItemMessages(void *item);

    // Starts or restarts a timer: id a number below kTimerNumberLimit, or an item.
    // Ticks are message 34 every elapse milliseconds (at least 1). Non-zero on success.
    int SetTimer(uintptr_t id, uint32_t elapse);
    int SetTimer(const void *item, uint32_t elapse)
    {
        return SetTimer(reinterpret_cast<uintptr_t>(item), elapse);
    }
    // Non-zero when the timer existed.
    int KillTimer(uintptr_t id);
    int KillTimer(const void *item) { return KillTimer(reinterpret_cast<uintptr_t>(item)); }

    // Caret: a width x height bar (inverted over the picture, blinking) clipped to clip
    // (window coordinates; null: the client area). SetInputCursor places its top-left
    // corner and shows (show non-zero) or hides it; HideInputCursor hides it.
    void CreateInputCursor(int32_t width, int32_t height, const BOUND_t *clip = nullptr);
    void SetInputCursor(int32_t x, int32_t y, int show);
    void HideInputCursor();
    void DestroyInputCursor();
    // The caret bound and whether it is drawn now (blink phase included). 0 without caret.
    int GetInputCursor(BOUND_t *bound, int *drawn) const;
    // Turns the input method on or off for this window.
    void EnableImeInputer(int enable);
    // Font for the input method's composition window; 0 when there is none.
    virtual int GetInputFonter(XFontRecord_t *font);

    // Clipboard: format 0 is UTF-16 text of `bytes` bytes including the terminator.
    int SetClipboard(uint32_t format, const void *data, uint32_t bytes);
    // Calls proc with the clipboard data of format; 0 when there is none.
    int GetClipboard(uint32_t format, void *context, XClipboardProc proc);

    // Last pointer position in window coordinates.
    void GetMousePlace(POINT_t *point) const;
    // Non-zero when the pointer has left the window.
    int IsCaptureLeave() const;
    // Covers the client area except `bound` with a translucent shade (over modal
    // pop-ups); show 0 removes it.
    void ShowFloatCover(int show, const BOUND_t *bound = nullptr);
    // Sets the pointer shape (PANEKIT_CURSOR_*); unknown codes give the arrow.
    void SetMouseCursor(int code);
    int GetMouseCursor() const { return m_cursor; }

    // The back buffer (what painters draw) and the shown picture (buffer + overlays).
    cairo_surface_t *GetBufferSurface() const { return m_buffer; }
    cairo_surface_t *GetShownSurface();

    // Routes one message: calls Panekit::DispatchMessage, then OnMessage.
    int DispatchMessage(XMessage_t *message) override;
    virtual int OnMessage(XMessage_t *message);
    // Before each pointer move: non-zero when it set the cursor itself; otherwise the
    // arrow is set before the move is delivered.
    virtual int OnSetMouseCursor(int32_t x, int32_t y);
    // Paints the invalid bound (window coordinates) into the back buffer.
    virtual void OnPaintWindow(const BOUND_t *bound);
    // Once per paint cycle, after OnPaintWindow: the subclass paints what it collected.
    virtual void OnUpdateErase();

protected:
    int OnCreateWindow() override;
    void OnDestroyWindow() override;
    void OnResize(int32_t width, int32_t height) override;
    void RunPaintCycle() override;
    void PresentWindow() override;

private:
    friend class XWindowLoop;
    void AddShownBound(const BOUND_t *bound);
    void ComposeShown(const BOUND_t *bound);
    void InvertShown(const BOUND_t *bound);
    void DropTracker();
    void BlinkCaret();
    void MarkCaret();

    cairo_surface_t *m_buffer = nullptr;
    cairo_surface_t *m_shown = nullptr;
    cairo_surface_t *m_tracker = nullptr;
    cairo_surface_t *m_invert = nullptr; // A8: the tracker's halftones
    XPainter *m_measurer = nullptr;
    XPainter *m_trackPainter = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
    BOUND_t m_showPending = {0, 0, 0, 0};
    int m_trackerShown = 0;
    int m_coverShown = 0;
    BOUND_t m_coverHole = {0, 0, 0, 0};
    int m_cursor = 0;
    POINT_t m_mouse = {0, 0};
    int m_mouseOutside = 1;
    int m_caretExists = 0;
    int m_caretShown = 0;
    int m_caretPhase = 0;
    BOUND_t m_caret = {0, 0, 0, 0};
    BOUND_t m_caretClip = {0, 0, 0, 0};
    int m_imeEnabled = 0;
};
