#pragma once
// The page item: the base of every custom-drawn element of a form. An item is a
// rectangle in its owner's child space, drawn from a resolved style descriptor in three
// layers (frame, scroll bars, body), able to scroll its body, and taking part in a
// message system in which a message goes first to the item it concerns and then bubbles
// up the owner chain.
//
// Coordinates. `place` is in the owner's child space. A point of the owner's child space
// maps into the owner's own space by adding the owner's body origin and subtracting the
// owner's scroll position; a fixed item (kItemFixed) is placed against the owner's place
// origin instead and does not scroll. Window coordinates repeat this up to the root.
//
// Lifecycle. A constructed item is not yet created: visibility, enabled state and place
// are only stored. Adding it to a created owner runs OnCreateItem (kItemCreated); from
// then on every change repaints and notifies the page window. An owner deletes its
// children; Destroy and DestroyAsync end an item from outside.

#include <cstdint>

#include "pagekit/core/item_style.h"
#include "pagekit/core/page_message.h"
#include "pagekit/core/style_desc.h"
#include "pagekit/pagekit_export.h"
#include "platform/panekit/paint/bound.h"

class XFinder;
class XPageOwner;
class XPageViewer;
class XPageWindow;
class XPainter;
class XString;
struct XPaintDesc;

// Called with (user data, message) before the item's own OnMessage; non-zero (or state
// kMsgStop) keeps OnMessage from running.
typedef int (*XItemHookProc)(void *userData, XMessage_t *message);

// Longest item name in UTF-16 units (the field holds one more for the terminator).
constexpr unsigned kItemNameSize = 16;

// Modes of GetPlace and FixPlace.
enum : int {
    kPlaceOwner = 0,        // the place in the owner's child space
    kPlaceWindow = 1,       // the place in window coordinates
    kPlaceBody = 2,         // the body in the owner's child space
    kPlaceBodyWindow = 3,   // the body in window coordinates
    kPlaceOwnerSize = 4,    // the owner's place size at 0, 0, in window coordinates
    kPlaceVisible = 5,      // the visible part of the place, window coordinates
    kPlaceVisibleBody = 6,  // the visible part of the body (points: the child-space origin)
    kPlaceVisibleOwner = 7, // the visible part of the place in the owner's child space
    kPlaceScrolled = 8,     // the place; a fixed item shifted into the owner's scrolled space
};
enum : int {
    kFixWindowToOwner = 0,   // window -> owner's child space
    kFixOwnerToWindow = 1,   // owner's child space -> window
    kFixWindowToItem = 2,    // window -> relative to the item's place origin
    kFixItemToWindow = 3,    // item-relative -> window
    kFixWindowToChild = 4,   // window -> the item's child space
    kFixChildToWindow = 5,   // the item's child space -> window
    kFixFixedToScrolled = 6, // a fixed item's owner-relative bound -> owner's scrolled space
};

// Change mask of ApplyItemStyle.
enum : int {
    kChangeLook = 0x01,
    kChangePlace = 0x22,
    kChangeExtent = 0x10,
};

class PAGEKIT_EXPORT XPageItem
{
public:
    XPageItem();
    XPageItem(const XPageItem &) = delete;
    XPageItem &operator=(const XPageItem &) = delete;

    // ---- virtual operations, in slot order ------------------------------------------------

    // Deletes the attached item, tells the page window (when created), repaints the area,
    // leaves the owner, frees the prompter and the item style.
    virtual ~XPageItem();
    // Applies the normal state's resolved fields to the item flags and place; returns the
    // kChange* mask (0 when nothing changed).
    virtual int ApplyItemStyle();
    // Grows an extend axis to the content; mode above 0 tells the owner (OnExtentOwner of
    // mode - 1). 1 when the size changed.
    virtual int CalcExtentSize(int mode);
    // Draws the content; the painter is translated to the child-space origin and bound is
    // in child space.
    virtual void DrawBody(XPainter *painter, const BOUND_t *bound);
    // Draws the descriptor's box over the place less the margins (painter at the place
    // origin).
    virtual void DrawFrame(XPainter *painter, const BOUND_t *bound);
    // Children for the depth-first walks; the base item has none.
    virtual XPageItem *GetNextItem(int flags, XFinder *finder);
    virtual XPageItem *GetPrevItem(int flags, XFinder *finder);
    // Writes the text (at most cap units with the terminator) and returns its length; the
    // length alone when text is null. The base writes an empty text.
    virtual unsigned GetItemText(char16_t *text, unsigned cap);
    virtual void SetReadOnly(int readOnly);
    virtual void SetItemText(const char16_t *text);
    // Called by the owner when the item joins a created tree.
    virtual void OnCreateItem();
    // What happened to the item (kUpdate* codes).
    virtual void OnUpdateItem(int code);
    // This item when it is visible, enabled and (x, y), in the owner's child space, lies
    // in its place; else null.
    virtual XPageItem *HitItem(int x, int y);
    // The item's own handling; returns non-zero when handled.
    virtual int OnMessage(XMessage_t *message);
    // Moves to bound (owner's child space); flag non-zero repaints the uncovered part.
    virtual void MovePlace(const BOUND_t *bound, int flag);
    // Draws the item; bound is the part to draw in the owner's child space.
    virtual void DrawItem(XPainter *painter, const BOUND_t *bound);

    // ---- life ----------------------------------------------------------------------------

    // Tells the page window that the item goes (if created), repaints its area, removes it
    // from its owner (stops when the owner refuses), then deletes it.
    void Destroy();
    // Posts a destroy request to the page window; without one, destroys at once.
    void DestroyAsync();

    // ---- state ---------------------------------------------------------------------------

    int IsVisible() const;   // the item and every owner visible
    int IsEnable() const;    // neither the item nor an owner disabled
    int IsEditable() const;  // accepts editing, not read-only, nothing disabled
    int IsFocusable() const; // nothing disabled or not focusable on the chain
    int IsChildItem(const XPageItem *item) const; // item is this item or inside it
    XPageOwner *GetOwner() const { return owner; }
    XPageViewer *GetShellkit() const { return form; }
    XPageWindow *GetPageWindow() const;
    // Changes the visible or disabled flag; once created repaints, marks a frame owner for
    // layout (unless absolute) and calls OnUpdateItem(3, 4, 5 or 6). Hiding also tells
    // the page window that the item goes. Nothing when the flag does not change.
    void ShowItem(int show);
    void EnableItem(int enable);
    void SetFocusItem();
    // Copies the name, cut to kItemNameSize units without splitting a surrogate pair;
    // null clears it.
    void SetItemName(const char16_t *text);
    // The prompter (tool-tip) text; null or empty clears it.
    void SetPrompter(const char16_t *text);
    const char16_t *GetPrompter() const { return prompter; }
    // Fills out with the item's text (GetItemText).
    void GetItemText(XString *out);

    // ---- places ----------------------------------------------------------------------------

    // kPlace* modes; 0 for an unknown mode (out unchanged).
    int GetPlace(int mode, BOUND_t *out) const;
    int GetPlace(int mode, POINT_t *out) const;
    // kFix* conversions, in place; 0 for an unknown mode.
    int FixPlace(int mode, BOUND_t *bound) const;
    int FixPlace(int mode, POINT_t *point) const;
    // Sets the place size so that the body gets width x height.
    void SetBodySize(unsigned width, unsigned height);
    // Depth-first walk of the tree below this item (XFinder stack).
    XPageItem *GetNextSuber(int flags, XFinder *finder);
    XPageItem *GetPrevSuber(int flags, XFinder *finder);

    // ---- painting --------------------------------------------------------------------------

    // A painter clipped to the visible place and translated to the place origin in window
    // coordinates; null when the window gives none. Pair with ClosePainter.
    XPainter *BeginPainter(XPaintDesc *desc);
    void ClosePainter(XPaintDesc *desc);
    // Clips and translates a tracker painter to this item: flag non-zero the visible body
    // at the body origin, zero the visible place at the place origin. 0 when nothing of
    // the item is visible.
    int GetTracker(int flag, XPainter *painter) const;
    // Repaints bound (the item's child space; null: the whole place); erase non-zero
    // paints at once. Nothing before creation.
    void Invalidate(const BOUND_t *bound, int erase);

    // ---- styles ----------------------------------------------------------------------------

    // Replaces (modes 1, 2) or extends (mode 0) the item's own style text and applies it
    // again; mode 1 also recomputes the extent and repaints the owner.
    void ApplyStyle(int mode, const char *text);
    // One declaration (key, value; null value resets the key), applied as ApplyStyle(0).
    int SetupStyle(const char16_t *key, const char16_t *value);
    // Re-resolves the descriptor: low nibble 0 when not valid, 1 when the state changed,
    // above 1 always; bit 0x10 then recomputes the body.
    void UpdateStyleDesc(int mode);
    // Non-zero when the background of the current state covers the item opaquely.
    int IsSolidRender();
    // The state flags that select the resolved variant (kItemStateLocked added when the
    // item is disabled or read-only).
    uint32_t GetStyleState() const;

    // ---- scrolling -------------------------------------------------------------------------

    // Axis 0 horizontal, 1 vertical; other axes give 0 and change nothing.
    int GetScrollPos(int axis) const;
    int GetScrollSize(int axis) const;
    // Clamps to 0 ... extent - body, repaints and hides the caret when it moved.
    void SetScrollPos(int axis, int pos);
    // Stores the extent and updates the bars.
    void SetScrollSize(int width, int height);

    // ---- messages ------------------------------------------------------------------------

    // Delivers to this item and bubbles up the owners (hook, OnMessage, the stop rules).
    int DispatchMessage(XMessage_t *message);
    // The hook and OnMessage of this item only.
    int CarryMessage(XMessage_t *message);
    // Posts through the page window; codes kPostToItem and above come back as message 47.
    int PostMessage(unsigned code, uintptr_t value);
    // The same with the message's row and column fields filled.
    int PostMessage(unsigned code, uintptr_t value, int32_t row, int32_t column);
    // The page window's message box (0 without window).
    int MessageBox(const char16_t *text, const char16_t *caption, uint32_t flags);
    // Ends a scroll-bar auto-repeat that item runs (the repeat state is process-wide:
    // one bar repeats at a time).
    static void StopRepeat(const XPageItem *item);
    // The hook and its user data.
    void SetHook(XItemHookProc proc, void *data)
    {
        hook = proc;
        userData = data;
    }

    // ---- fields, in the system's order ---------------------------------------------------

    uint32_t kind = 0;
    int32_t itemCode = 0;
    char16_t name[kItemNameSize + 1] = {};
    const char *classList = nullptr;   // space-separated words; not owned
    const char *typeName = nullptr;    // not owned
    char16_t *prompter = nullptr;      // owned (corekit heap)
    uint32_t stateFlags = 0;           // kItemState*
    uint32_t itemFlags = kItemVisible; // kItem*
    uint32_t extraFlags = 0;
    int32_t tabIndex = 0;
    BOUND_t place = {0, 0, 0, 0};
    BOUND_t scroll = {0, 0, 0, 0}; // x, y: position; width, height: extent
    BOUND_t body = {0, 0, 0, 0};   // relative to the place origin
    int32_t minWidth = 0;
    int32_t minHeight = 0;
    void *userData = nullptr;
    XPageItem *attached = nullptr; // gets this item's messages first; owned
    XItemStyle itemStyle;
    XStyleDesc style; // resolved for stateFlags (touchedGroups != 0: valid)
    XItemHookProc hook = nullptr;
    XPageOwner *owner = nullptr;
    XPageViewer *form = nullptr;

protected:
    // Tells the owner frame that this item's extent changed (mode 0 marks it for layout,
    // 1 and 2 lay it out at once when it adapts its size, 2 also repaints).
    void OnExtentOwner(int mode);
    // Body from the place and the bars (margins, borders, paddings, 17 per bar shown).
    void CalcBodyPlace();
    // Shows or hides the bars by the overflow nibbles and clamps the scroll position.
    void UpdateScrollbar();
    // Draws the shown bars, marking the part under the pointer (painter at place origin).
    void DrawScrollbar(XPainter *painter);
    // The bar part (kBar* combination) at (x, y) relative to the place origin; 0 none.
    uint32_t HitScrollbar(int x, int y) const;
    // The bar logic of a button, move or release message; non-zero when it took it.
    int OnScrollbarMessage(XMessage_t *message);
    // Carries a scroll message (49/50) with an action to this item.
    void CarryScroll(uint32_t code, uint32_t action, uintptr_t value);
    // Hides the caret and marks it for re-placing when it belongs to this item or inside.
    void HideCaretInside();

private:
    friend class XPageOwner;
    friend class XPageWindow;
    void DrawAfter(XPainter *painter);
    int ScrollStep(uint32_t code, uint32_t action, uintptr_t value);
    void RepeatScroll();
    int BarGeometry(int vertical, BOUND_t *track, int *thumbPos, int *thumbLen) const;
};
