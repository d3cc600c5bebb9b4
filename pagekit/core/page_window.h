#pragma once
// The window of a form: it turns window input into item messages, and keeps the
// focused, hovered, captured and caret items, the pending repaint region and the set of
// live items, the tool tip, the animated images and the floaters.
//
// Keys. Tab and Enter may move the focus along the form's tab order (see
// page_window_route.cpp for which item takes which key); other keys go to the focused
// item, or to the modal item when the focus is not inside it.
//
// A destroyed item receives nothing. When an item goes, the window drops the posts and
// timers naming it, forgets it as hovered, focused, capture, caret and auto-repeat item,
// and stops every message in delivery that refers to it (state kMsgStop, references
// cleared). A post or timer that names an item not in the live set is dropped as well,
// since a post from another thread can race the purge.

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "pagekit/core/page_viewer.h"
#include "pagekit/pagekit_export.h"
#include "platform/panekit/window/xdraw_window.h"

// Mouse-button state of the page window.
enum : uint32_t {
    kMouseCaptured = 0x1,
    kMouseButtonDown = 0x2,
    kMouseLeftOverItem = 0x100,  // the left button went down over an item
    kMouseRightOverItem = 0x200, // the right button went down over an item
};
// Flags of the pending repaint.
enum : uint32_t {
    kPendingRegion = 0x1,
    kPendingCaret = 0x100, // the caret item places its caret again
};

class XPageFloater;
class XPageImage;
struct XFontRecord_t;

// Delay of each tool-tip timer tick, and the tick count at which the tip shows.
constexpr uint32_t kPrompterElapse = 500;
constexpr int kPrompterShowTick = 2;
// Distance of the tool tip from the item's left edge (right of it) and top (above it).
constexpr int32_t kPrompterOffset = 8;
// Delay of each animation tick.
constexpr uint32_t kAnimateElapse = 100;

class PAGEKIT_EXPORT XPageWindow : public XDrawWindow
{
public:
    XPageWindow();
    // Deletes the root's items (the window itself is destroyed first).
    ~XPageWindow() override;

    XPageViewer *GetRooter() { return &m_root; }
    XPageItem *GetFocusItem() const { return m_focus; }
    // Moves the focus: the old item gets 45 (other: the new item), then the new one 44.
    // A focus set by the old item meanwhile wins. Nothing when item has it already, or
    // when item is not a created item of this window's tree (null clears the focus).
    void SetFocusItem(XPageItem *item);
    XPageItem *GetCaptureItem() const { return m_capture; }
    // The item that receives all pointer input (null releases it); an item that is not a
    // created item of this window's tree is refused.
    void SetCaptureItem(XPageItem *item);
    XPageItem *GetHoverItem() const { return m_hover; }
    // Hit-testing starts at the modal item instead of the root.
    XPageItem *GetModalItem() const { return m_modal; }
    void SetModalItem(XPageItem *item) { m_modal = item; }

    // Forgets the hovered, focused, capture and caret items when they are item or inside
    // it, and stops the messages in delivery that refer to it; null forgets all.
    void OnRemoveItem(XPageItem *item);
    // Unites bound (the item's window coordinates already) with the pending region.
    void OnUpdateItem(XPageItem *item, const BOUND_t *bound);
    // Destroys item through its current owner (or deletes it when it has none).
    void DestroyItem(XPageItem *item);

    // ---- caret ---------------------------------------------------------------------------

    // Makes item the caret item with a width x height caret clipped to its visible body.
    void CreateInputCursor(XPageItem *item, unsigned width, unsigned height);
    // Places the caret at x, y relative to item's place and shows or hides it.
    void SetInputCursor(XPageItem *item, int x, int y, int show);
    // Hides the caret and marks it for re-placing when the caret item is item or inside.
    void UpdateInputCursor(XPageItem *item);
    // Hides the caret; destroy non-zero also forgets the caret item.
    void HideInputCursor(int destroy);
    XPageItem *GetCaretItem() const { return m_caret; }
    // The caret item's font (size, flags, family cut to 32 units) for the input method;
    // 0 without caret item or without family.
    int GetInputFonter(XFontRecord_t *font) override;

    // ---- ranges and floaters ---------------------------------------------------------------

    // The client area (0, 0, width, height).
    void GetCenterRange(BOUND_t *bound) const;
    // Moves bound inside the client area, shrinking only a side that is larger than it.
    void LimitPageRange(BOUND_t *bound) const;
    // The floater shown now (null when none); it is forgotten when it goes.
    XPageFloater *GetPageFloater() const { return m_floater; }
    void SetPageFloater(XPageFloater *floater);
    // Lays the open floater out again and places it again (after a size change).
    void UpdateFloater();
    // Floaters of this window, so that they forget the items that go (for the floaters).
    void AddFloater(XPageFloater *floater);
    void RemoveFloater(XPageFloater *floater);

    // ---- tool tip and animation --------------------------------------------------------

    // The tool-tip item (null until first needed) and the item whose prompter it shows or
    // is about to show.
    XPageItem *GetTipItem() const { return m_tip; }
    XPageItem *GetTipOwner() const { return m_tipFor; }
    // Registers an animated image: timer 17 runs while any is registered and calls each
    // one's OnImageAnimate. Registering twice keeps one entry.
    void OnCreateImage(XPageImage *image);
    void OnRemoveImage(XPageImage *image);
    size_t GetImageCount() const { return m_images.size(); }

    // ---- the live items and messages in delivery (for the items) -----------------------

    // A created item of this window; called by the items themselves.
    void AddLiveItem(XPageItem *item);
    // The item goes for good: purge everything that names it (see the top of the file).
    void OnDestroyItem(XPageItem *item);
    int IsLiveItem(const void *item) const;
    // Messages in delivery, innermost last; the items push and pop around each delivery.
    void PushDelivery(XMessage_t *message) { m_delivery.push_back(message); }
    void PopDelivery() { m_delivery.pop_back(); }

    // ---- window overrides ------------------------------------------------------------------

    int DispatchMessage(XMessage_t *message) override;
    void OnPaintWindow(const BOUND_t *bound) override;
    // Paints the root over the pending region, then lets the caret item place its caret.
    // The region is taken before painting: what is invalidated meanwhile is painted in the
    // next cycle.
    void OnUpdateErase() override;
    // Closes the open floater and lets the window go.
    int OnCloseWindow() override;

protected:
    // Sizes the root to the client area and creates it.
    int OnCreateWindow() override;
    void OnDestroyWindow() override;

    XPageViewer m_root;

private:
    // Tab and Enter (rule 1): non-zero when key moves the focus instead of going to the
    // focused item.
    int MovesFocus(const XMessage_t *message) const;
    // Asks the focused item (code 63), then moves the focus along the tab order.
    int MoveTabFocus(XMessage_t *message);
    // Presses: the item that takes a press outside the modal item or the open floater
    // (null when none), and the press of one item.
    XPageItem *GetOutsideTaker(int x, int y, XPageItem *hit) const;
    int PressItem(XPageItem *item, XMessage_t *message);
    // Tool tip (page_tooltip.cpp).
    void ArmPrompter(XPageItem *item);
    void TickPrompter();
    void HidePrompter();
    void CreatePrompter();
    void ShowPrompter();
    // Animation (page_window_image.cpp).
    void AnimateImages();
    // What the floaters, the tool tip and the animation list remember of item is dropped
    // (destroyed: the item goes for good).
    void ForgetItem(XPageItem *item, bool destroyed);

    // Routing of one message by its code (the window's own handling done).
    int RouteKey(XMessage_t *message);
    int RoutePress(XMessage_t *message);
    int RouteMove(XMessage_t *message);
    int RouteRelease(XMessage_t *message);
    int RouteTimer(XMessage_t *message);
    int RoutePosted(XMessage_t *message);
    // Delivers to item with the point converted into its coordinates.
    int DeliverTo(XPageItem *item, XMessage_t *message);
    // The item under the window point (from the modal item or the root).
    XPageItem *HitWindow(int x, int y);
    void SetHoverItem(XPageItem *item, XMessage_t *cause);
    void SetPressed(XPageItem *item, int pressed);

    XPageItem *m_hover = nullptr;
    XPageItem *m_focus = nullptr;
    XPageItem *m_capture = nullptr;
    XPageItem *m_modal = nullptr;
    XPageItem *m_caret = nullptr;
    XPageItem *m_pressed = nullptr;
    std::vector<XMessage_t *> m_delivery;
    std::unordered_set<const void *> m_live;
    BOUND_t m_pending = {0, 0, 0, 0};
    uint32_t m_pendingFlags = 0;
    SIZE_t m_size = {0, 0};
    POINT_t m_position = {0, 0};
    uint32_t m_mouseState = 0;
    XPageItem *m_tip = nullptr;
    XPageItem *m_tipFor = nullptr;
    int m_tipTicks = 0;
    std::vector<XPageImage *> m_images;
    std::vector<XPageFloater *> m_floaters;
    XPageFloater *m_floater = nullptr;
};
