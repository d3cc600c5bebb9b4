#pragma once
// The virtual backend's state, shared by the backend and its test display (internal).

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/panekit/virtual/virtual_display.h"
#include "platform/panekit/window/window_backend.h"

class XVirtualWindow : public XNativeWindow
{
public:
    explicit XVirtualWindow(Panekit *window, const XWindowParams *params);
    ~XVirtualWindow() override;
    void Show(int show) override { m_shown = show != 0; }
    void SetTitle(const char16_t *title) override { m_title = title; }
    void SetPlace(const BOUND_t *place) override;
    void Present(cairo_surface_t *shown, const BOUND_t *bound) override;
    void SetCursorShape(int code) override { m_cursor = code; }
    void SetCapture(int capture) override { m_captured = capture != 0; }
    void SetEnabled(int enable) override { m_enabled = enable != 0; }
    void SetFocus() override {}
    void EnableIme(int enable) override { m_ime = enable != 0; }
    void SetImeSpot(const BOUND_t *) override {}

    Panekit *m_window;
    std::u16string m_title;
    BOUND_t m_place;
    int m_shown = 0;
    int m_enabled = 1;
    int m_captured = 0;
    int m_cursor = 0;
    int m_ime = 0;
    int m_presents = 0;
};

class XVirtualBackend : public XWindowBackend
{
public:
    static XVirtualBackend &Instance();

    const char *GetName() const override { return "virtual"; }
    XNativeWindow *CreateNative(Panekit *window, const XWindowParams *params) override;
    int PumpEvents(uint64_t wakeAt, int bounded) override;
    void Wake() override;
    uint64_t Now() override;
    int SetClipboardText(const char16_t *text, size_t length) override;
    int GetClipboardText(std::u16string *text) override;
    int MessageBox(Panekit *owner, const char16_t *text, const char16_t *caption,
                   uint32_t flags) override;

    struct Step
    {
        int kind; // 0 event, 1 advance, 2 call
        Panekit *window;
        uint64_t windowId;
        XInputEvent event;
        uint64_t ms;
        std::function<void()> call;
        uint64_t target;
        int started;
    };
    void AddStep(Step step);
    void AddEvent(Panekit *window, uint32_t kind, uint32_t key, int32_t x, int32_t y);
    XVirtualWindow *FindNative(Panekit *window) const;
    void Reset();

    mutable std::mutex m_lock;
    std::condition_variable m_wakeSignal;
    uint64_t m_now = XVirtualDisplay::kVirtualEpoch;
    std::deque<Step> m_script;
    int m_woken = 0;
    int m_waiting = 0;
    uint32_t m_idleWait = 0;
    std::deque<int> m_boxAnswers;
    std::vector<XVirtualBox> m_boxes;
    std::deque<std::pair<int, std::u16string>> m_chooserAnswers;
    std::u16string m_clipboard;
    std::unordered_map<Panekit *, XVirtualWindow *> m_natives; // UI thread
};
