#pragma once
// The X11 backend: Xlib windows that show the layer's back buffer, input through the
// input method, the CLIPBOARD selection and the work area of the desktop.
//
// Call flow: PumpEvents drains the X queue (each event becomes XInputEvent records
// handed to ReportWindowInput, selection requests are answered in place), then waits in
// select() on the X connection and a wake pipe until an event, Wake, or the wake time.

#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/panekit/panekit_export.h"
#include "platform/panekit/window/window_backend.h"
#include "platform/panekit/x11/x11_xlib.h"

class XX11Window;

// Atoms the backend uses, interned once.
struct XX11Atoms
{
    Atom wmProtocols;
    Atom wmDelete;
    Atom netWmName;
    Atom utf8String;
    Atom clipboard;
    Atom targets;
    Atom text;
    Atom incr;
    Atom transfer; // property the pasted selection is delivered into
};

class PANEKIT_EXPORT XX11Backend : public XWindowBackend
{
public:
    // Null when no display can be opened.
    static XX11Backend *Open();
    ~XX11Backend() override;

    const char *GetName() const override { return "x11"; }
    XNativeWindow *CreateNative(Panekit *window, const XWindowParams *params) override;
    int PumpEvents(uint64_t wake_at, int bounded) override;
    void Wake() override;
    uint64_t Now() override;
    int SetClipboardText(const char16_t *text, size_t length) override;
    int GetClipboardText(std::u16string *text) override;
    void GetWorkArea(BOUND_t *area) override;

    Display *GetDisplay() const { return m_display; }
    const XX11Atoms &GetAtoms() const { return m_atoms; }
    XIM GetInputMethod() const { return m_im; }
    // A cursor of the X cursor font, made once per glyph.
    Cursor GetFontCursor(uint32_t glyph);
    // Called by a window when it is destroyed.
    void Forget(Window window);
    void Remember(Window window, XX11Window *native);

private:
    XX11Backend() = default;
    bool Init(Display *display);
    // Handles one X event; true when it reported input.
    bool HandleEvent(XEvent *event);
    void HandleSelectionRequest(const XSelectionRequestEvent &request);
    bool WaitReadable(uint64_t wake_at);
    void DrainWakePipe();
    bool WaitSelection(XEvent *event);

    Display *m_display = nullptr;
    XX11Atoms m_atoms = {};
    XIM m_im = nullptr;
    int m_wake[2] = {-1, -1};
    Window m_clipWindow = 0;
    std::string m_clipText; // UTF-8, served while we own CLIPBOARD
    bool m_clipOwned = false;
    std::unordered_map<Window, XX11Window *> m_windows;
    std::unordered_map<uint32_t, Cursor> m_cursors;
};

class PANEKIT_EXPORT XX11Window : public XNativeWindow
{
public:
    XX11Window(XX11Backend *backend, Panekit *owner, Window window);
    ~XX11Window() override;

    void Show(int show) override;
    void SetTitle(const char16_t *title) override;
    void SetPlace(const BOUND_t *place) override;
    void Present(cairo_surface_t *shown, const BOUND_t *bound) override;
    void SetCursorShape(int code) override;
    void SetCapture(int capture) override;
    void SetEnabled(int enable) override;
    void SetFocus() override;
    void EnableIme(int enable) override;
    void SetImeSpot(const BOUND_t *caret) override;

    Window GetWindow() const { return m_window; }
    Panekit *GetOwner() const { return m_owner; }
    XIC GetInputContext() const { return m_ic; }
    // Translates and reports one event addressed to this window.
    void HandleEvent(XEvent *event);

private:
    void ReportKey(XKeyEvent *key, bool press);
    void ReportText(XKeyEvent *key);
    void ReportPointer(XEvent *event);
    void ReportConfigure(const XConfigureEvent &configure);
    void Report(XInputEvent &input);
    bool IsRepeatRelease(XKeyEvent *key);

    XX11Backend *m_backend;
    Panekit *m_owner;
    Window m_window;
    XIC m_ic = nullptr;
    GC m_gc = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_x = INT32_MIN;
    int32_t m_y = INT32_MIN;
    bool m_mapped = false;
    bool m_focusWanted = false; // SetFocus came before the window was shown
};

// Modifier bits of an X state word as XINPUT_MOD_* (marked known).
uint32_t X11Modifiers(unsigned int state);
