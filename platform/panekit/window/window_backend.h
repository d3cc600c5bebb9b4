#pragma once
// The interface between the window layer and a windowing backend ("virtual" for tests,
// "x11" for real windows), and the translation tables both backends share.
//
// A backend reports native input as XInputEvent records through ReportWindowInput; the
// layer turns them into XMessage_t (double clicks, held buttons, modifier tracking, the
// UTF-16 split) and queues them. Everything here runs on the UI thread except
// XWindowBackend::Wake.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/panekit/paint/bound.h"
#include "platform/panekit/panekit_export.h"

typedef struct _cairo_surface cairo_surface_t;
class Panekit;

// ---------------------------------------------------------------------------------------
// Native events as a backend reports them
// ---------------------------------------------------------------------------------------

enum : uint32_t {
    XINPUT_KEY_DOWN = 1,    // key = virtual key (auto-repeat reports further downs)
    XINPUT_KEY_UP = 2,      // key = virtual key
    XINPUT_CHAR = 3,        // key = Unicode code point typed (any plane)
    XINPUT_BUTTON_DOWN = 4, // key = XMSG_BUTTON_*, x, y
    XINPUT_BUTTON_UP = 5,   // key = XMSG_BUTTON_*, x, y
    XINPUT_MOTION = 6,      // x, y (may lie outside the window while captured)
    XINPUT_WHEEL = 7,       // key non-zero: towards the user; x, y
    XINPUT_SIZE = 8,        // x, y = new client width and height
    XINPUT_MOVE = 9,        // x, y = new window position
    XINPUT_FOCUS_IN = 10,
    XINPUT_FOCUS_OUT = 11,
    XINPUT_CLOSE = 12,  // the user asked to close the window (OnCloseWindow decides)
    XINPUT_EXPOSE = 13, // x, y, width, height: shown part to draw again from the buffer
    XINPUT_LEAVE = 14,  // the pointer left the window
};

// Modifier bits of XInputEvent::modifiers.
enum : uint32_t {
    XINPUT_MOD_CTRL = 0x1,
    XINPUT_MOD_SHIFT = 0x2,
    XINPUT_MOD_KNOWN = 0x100, // set when ctrl/shift above are the native state at the event
};

struct XInputEvent
{
    uint32_t kind;
    uint32_t key;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    uint32_t modifiers;
    uint64_t time; // backend clock, milliseconds (XWindowBackend::Now)
};

// Hands one native event of `window` to the layer (UI thread). Events of a window that
// is being destroyed, and input to a window disabled by a modal one, are dropped.
PANEKIT_EXPORT void ReportWindowInput(Panekit *window, const XInputEvent *event);

// ---------------------------------------------------------------------------------------
// Backend interface
// ---------------------------------------------------------------------------------------

// Window creation parameters handed to the backend.
struct XWindowParams
{
    const char16_t *title; // null-terminated, may be empty
    BOUND_t place;         // client bound; x or y kWindowDefaultPos lets the backend place it
    Panekit *parent;       // embedded in this window (null: top level)
    Panekit *owner;        // kept above this top-level window
    uint32_t style;        // PANEKIT_STYLE_* bits
};

// One native window. The layer owns it and deletes it when the window is destroyed.
class PANEKIT_EXPORT XNativeWindow
{
public:
    virtual ~XNativeWindow();
    virtual void Show(int show) = 0;
    virtual void SetTitle(const char16_t *title) = 0;
    // Moves and resizes the client area (the backend reports the result as events).
    virtual void SetPlace(const BOUND_t *place) = 0;
    // Shows `bound` of `shown` (ARGB32, the window's client size) on screen.
    virtual void Present(cairo_surface_t *shown, const BOUND_t *bound) = 0;
    // Pointer shape: a cursor code of SetMouseCursor (0 the arrow).
    virtual void SetCursorShape(int code) = 0;
    // Keeps pointer events coming while the pointer is outside (non-zero) or stops.
    virtual void SetCapture(int capture) = 0;
    // A modal window disables its owner; a disabled window takes no input.
    virtual void SetEnabled(int enable) = 0;
    // Asks the desktop for the keyboard focus.
    virtual void SetFocus() = 0;
    // Input method on/off, and the caret bound it places its window by.
    virtual void EnableIme(int enable) = 0;
    virtual void SetImeSpot(const BOUND_t *caret) = 0;
};

// Answers of PumpEvents.
enum : int {
    XPUMP_EXHAUSTED = 0, // nothing can ever arrive any more: the loop ends with its cancel code
    XPUMP_AGAIN = 1,     // events reported, woken, or the wake time reached
};

class PANEKIT_EXPORT XWindowBackend
{
public:
    virtual ~XWindowBackend();
    virtual const char *GetName() const = 0;
    // A native window for `window`, or null on failure.
    virtual XNativeWindow *CreateNative(Panekit *window, const XWindowParams *params) = 0;
    // Waits until native events arrive (reporting them with ReportWindowInput), Wake is
    // called, or the clock reaches wake_at (UINT64_MAX: no time limit). `bounded` tells
    // that the innermost loop has a timeout of its own.
    virtual int PumpEvents(uint64_t wake_at, int bounded) = 0;
    // Makes a waiting or the next PumpEvents return at once. Any thread may call it.
    virtual void Wake() = 0;
    // Milliseconds of a monotonic clock (the fake clock on the virtual backend).
    virtual uint64_t Now() = 0;
    // Clipboard text (UTF-16, no terminator). Non-zero on success.
    virtual int SetClipboardText(const char16_t *text, size_t length) = 0;
    virtual int GetClipboardText(std::u16string *text) = 0;
    // A message box (flags PANEKIT_MB_*). The default calls the installed
    // XMessageBoxProc, else answers as if it was cancelled.
    virtual int MessageBox(Panekit *owner, const char16_t *text, const char16_t *caption,
                           uint32_t flags);
    // The desktop's work area; the default is 1024 x 768 at 0, 0.
    virtual void GetWorkArea(BOUND_t *area);
};

// The painted message box (supplied by the dialogs). Returns the button answer.
using XMessageBoxProc = int (*)(Panekit *owner, const char16_t *text, const char16_t *caption,
                                uint32_t flags);
PANEKIT_EXPORT void SetMessageBoxProc(XMessageBoxProc proc);
PANEKIT_EXPORT XMessageBoxProc GetMessageBoxProc();

// ---------------------------------------------------------------------------------------
// Backend registry and selection
// ---------------------------------------------------------------------------------------

// Makes a backend, or null when it cannot run here (no display reachable).
using XBackendFactory = XWindowBackend *(*)();

// Registers a backend by name; on selection the available one of highest priority wins
// ("x11" 10, "virtual" 0). Call from a static initialiser of the backend's source.
PANEKIT_EXPORT void RegisterWindowBackend(const char *name, int priority, XBackendFactory factory);
// The backend in use, selected on first call: ZEP_PANEKIT_BACKEND=virtual|x11 forces
// one, otherwise the registered ones are tried by priority. Null when none can run.
PANEKIT_EXPORT XWindowBackend *GetWindowBackend();
// Selects a backend by name before any window exists (tests). Non-zero on success;
// fails while windows are alive or when the backend cannot run.
PANEKIT_EXPORT int SelectWindowBackend(const char *name);

// ---------------------------------------------------------------------------------------
// Translation tables
// ---------------------------------------------------------------------------------------

// The Windows virtual key of an X keysym (letters of either case give 65-90, digits
// 48-57), 0 for keys the system does not name.
PANEKIT_EXPORT uint32_t KeysymToVirtualKey(uint32_t keysym);

// An X pointer button as an event: 1 left, 2 middle, 3 right become button events with
// XMSG_BUTTON_*; 4 (up, away from the user) and 5 (down, towards) become wheel events
// (key 0 and 1) on the press; the release of a wheel button and buttons 6 and above
// are ignored: the result is 0 and kind 0.
PANEKIT_EXPORT int TranslateX11Button(uint32_t button, int press, XInputEvent *event);

// Pointer shape of a SetMouseCursor code: a cursor theme name, and the X cursor font
// glyph (XC_*) to fall back on. Unknown codes give the arrow ("default", XC_left_ptr).
struct XCursorShape
{
    const char *themeName;
    uint32_t fontGlyph;
};
PANEKIT_EXPORT XCursorShape GetCursorShape(int code);

// Writes the UTF-16 form of a code point into out (two units outside the BMP). Returns
// the number of units written: 0 for surrogates and values above 0x10FFFF.
PANEKIT_EXPORT int EncodeUtf16(uint32_t codepoint, char16_t out[2]);
