#pragma once
// A pop-up frame shown inside a page window: a fixed, absolute child of the form root,
// hidden while not shown and reused.
//
// Behaviour flags (the low bits of its extra flags):
//   kFloatCloseOutside  a press outside closes it (and reaches the item below), and so
//                       does the focus leaving it
//   kFloatKeepInside    kept inside the window
//   kFloatTakeFocus     takes the focus while shown and gives it back when closed
//   kFloatDestroy       destroyed after closing (posted)
//   kFloatFirstRender   takes the background of its first child
//   kFloatModal         only the floater receives pointer input; it takes the focus back
//                       when it goes outside
//
// WaitforClose runs a nested loop until this floater closes. Waits nest: each ends only
// when its own floater closes, whatever order they close in; a floater that is destroyed,
// or whose window goes, ends its wait with 0.

#include <cstdint>

#include "pagekit/core/page_frame.h"
#include "pagekit/pagekit_export.h"

enum : uint32_t {
    kFloatCloseOutside = 0x10,
    kFloatKeepInside = 0x20,
    kFloatTakeFocus = 0x40,
    kFloatDestroy = 0x80,
    kFloatFirstRender = 0x100,
    kFloatModal = 0x200,
};
// Flag of ShowFloater(flags): centred in the window.
constexpr uint32_t kFloatShowCenter = 0x1;
// Key of the code-43 notification a hoster receives when its floater closes.
constexpr uint32_t kFloatClosedKey = 17;

class PAGEKIT_EXPORT XPageFloater : public XPageFrame
{
public:
    XPageFloater();
    // Ends a wait for it (0) and leaves its window's list.
    ~XPageFloater() override;

    // Joins the page window of hoster's form as a hidden, absolute, fixed child of the
    // root. 0 for a null hoster, one without page window, or a floater created already.
    int Create(XPageItem *hoster);
    // The hoster (null once it is destroyed).
    XPageItem *GetHoster() const { return m_hoster; }

    // Shows it: flags kFloatShowCenter centres it, else it stays where it is.
    void ShowFloater(uint32_t flags);
    // At x, y (window coordinates) with its own size, or the width, or width and height.
    void ShowFloater(int x, int y);
    void ShowFloater(int x, int y, int width);
    void ShowFloater(int x, int y, int width, int height);
    // At bound (window coordinates).
    void ShowFloater(const BOUND_t *bound);
    // Closes it: ends its wait (1), restores the modal item and the focus, tells the
    // hoster (code 43, key 17), hides it; kFloatDestroy then posts its destruction.
    // Nothing when it is not shown.
    void CloseFloater();
    // Runs a nested loop until it closes: 1 when it closed (at once when it is not shown),
    // 0 when it or its window was destroyed, or nothing can arrive any more.
    int WaitforClose();
    // Takes the background colour of the first child (kFloatFirstRender).
    void ApplyItemRender();
    int IsFloaterShown() const { return m_shown; }

    // Escape closes; a press outside (kFloatCloseOutside) closes and answers
    // kMsgRedeliver; the focus leaving closes it, or comes back for a modal floater.
    int OnMessage(XMessage_t *message) override;

    // ---- for the page window ---------------------------------------------------------------

    // One WaitforClose in progress (innermost last in a process-wide list).
    struct Wait
    {
        XPageFloater *floater;
        bool closed;  // its floater closed
        bool gone;    // its floater or its window was destroyed
        bool stopped; // its loop was asked to stop
    };

    // Lays it out and places it again as it was shown (after a window size change).
    void UpdatePlace();
    // Drops what it remembers of item (the hoster only when destroyed).
    void ForgetItem(const XPageItem *item, bool destroyed);
    // The window is gone: a wait for it ends.
    void OnWindowGone();

private:
    void Show(const BOUND_t *bound, uint32_t mode);
    void Close(bool restoreFocus);
    void PlaceShown();
    void Notify();

    XPageItem *m_hoster = nullptr;
    XPageWindow *m_window = nullptr;
    XPageItem *m_prevFocus = nullptr;
    XPageItem *m_prevModal = nullptr;
    Wait *m_wait = nullptr;
    int m_shown = 0;
    uint32_t m_showMode = 0; // 0 stays, 1 centred, 2 at m_showBound
    BOUND_t m_showBound = {0, 0, 0, 0};
};
