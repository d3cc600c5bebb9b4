#pragma once
// The tab box: one of several pages (each an ordinary child item) under a strip of tabs,
// with optional icons, close buttons on the tabs, and navigation buttons (page list,
// scroll left, scroll right) at the right end of the strip.
//
// Geometry. The strip lies along the top of the place less the margins (the bottom with
// kTabBottom); the page area, boxed with the item's style, is the rest. The strip is
// drawn with the style's child1 variant, tabs with child2 and the current tab with child3
// (with kTabBottom their tops and bottoms are swapped). Its last kTabButtonZone pixels
// are kept for the buttons. Only the current page item is shown; UpdateLayout places it.
//
// Notifications go out through DispatchMessage with state 1: the page record in `value`
// (receivers read its item and user pointer there), the box in `item`. OnDeleteItem is
// vetoed by state 8 or a non-zero `flags`. Handlers may delete pages: after each
// notification the box checks what it still holds.

#include <cstdint>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/pagekit_export.h"

class XIconDrawer;
class XImage;
class XPainter;

// One page, fields in the system's order.
struct XTabPage_t
{
    uint32_t icon;    // icon number of the box's icon set
    uint32_t width;   // tab width; 0: measure again
    uint32_t height;  // caption height
    char16_t *text;   // caption (owned, corekit heap)
    void *user;       // released through the release procedure
    XTabPage_t *next; // tab order
    XPageItem *item;  // a child of the box, or null for a tab without page
};

// Option bits of the tab box (its extra flags).
enum : uint32_t {
    kTabClose = 0x1,         // a close button on every tab
    kTabNavigate = 0x2,      // page list and scroll buttons
    kTabBottom = 0x8,        // the strip at the bottom
    kTabNoFirstClose = 0x10, // with kTabClose: none on the first tab
};

// Parts of HitTest.
enum : unsigned {
    kTabHitNone = 0,
    kTabHitStrip = 1,
    kTabHitTab = 2,
    kTabHitClose = 3,
    kTabHitList = 4,
    kTabHitLeft = 5,
    kTabHitRight = 6,
};

// Notification codes of the tab box.
enum : uint32_t {
    kTabOnSelChange = 65,
    kTabOnKillChoice = 66,
    kTabOnInsertItem = 81,
    kTabOnDeleteItem = 82,
    kTabOnRClickItem = 86,
};

// The button zone at the right end of the strip, the strip height until measured, and the
// side of a button.
constexpr int kTabButtonZone = 48;
constexpr int kTabDefaultHeight = 26;
constexpr int kTabButtonSize = 13;

typedef void (*XTabReleaseProc)(void *user);

class PAGEKIT_EXPORT XPageTabbox : public XPageOwner
{
public:
    explicit XPageTabbox(uint32_t kind = kKindTabbox);
    // Releases every page's user pointer; the base deletes the page items.
    ~XPageTabbox() override;

    // ---- slots -----------------------------------------------------------------------------

    void OnCreateItem() override;
    // Focus order: the current page first, then the other pages in tab order.
    XPageItem *GetNextItem(int flags, XFinder *finder) override;
    void UpdateLayout(int flag) override;
    int OnMessage(XMessage_t *message) override;
    void DrawFrame(XPainter *painter, const BOUND_t *bound) override;
    // A page whose item leaves the box goes with it.
    void OnDropItem(XPageItem *item) override;
    // The base's, restated so that the page members below do not hide it.
    void SetItemText(const char16_t *text) override;

    // ---- pages -------------------------------------------------------------------------------

    // Position (beyond the count: at the end), caption, icon, page item (may be null),
    // user pointer. The page item becomes a hidden child sized to the page area; on a
    // created box without current page the new page becomes current. OnInsertItem. Returns
    // the record, or null when the page item has another owner or the page went.
    void *InsertItem(unsigned pos, const char16_t *text, unsigned icon, XPageItem *item,
                     void *user);
    // OnDeleteItem, then removes the page and deletes its item; 0 when refused or unknown.
    int DeleteItem(unsigned index);
    int DeleteNode(void *page);
    void DeleteAllItem();
    int SetCurItem(unsigned index);
    int SetCurItem(XPageItem *item);
    void SetCurNode(void *page);
    XPageItem *GetCurItem(unsigned *index) const;
    void *GetCurNode() const { return m_current; }
    XPageItem *GetTabItem(unsigned index) const;
    void *GetTabNode(unsigned index) const;
    // Icon and caption (cut to size units with the terminator); 0 for a bad index.
    int GetItem(unsigned index, unsigned *icon, char16_t *text, unsigned size) const;
    // Walk with a cursor (null starts; null again at the end).
    XPageItem *GetNextPage(void **cursor, unsigned *icon, char16_t *text, unsigned size) const;
    int SetItemText(unsigned index, const char16_t *text);
    int SetItemIcon(unsigned index, unsigned icon);
    int ModifyItem(unsigned index, const char16_t *text, unsigned icon);
    unsigned GetCounter() const;

    // ---- geometry ---------------------------------------------------------------------------

    // The part (kTabHit*) under a point of item coordinates, and its page.
    unsigned HitTest(int x, int y, void **page);
    // The strip height now (fixed, or measured).
    int GetTabHeight();
    void SetTabHeight(unsigned height);
    // Tab width of a page (measured when 0), the sum of all, the scroll offset.
    int GetTabWidth(void *page);
    int GetTotalWidth();
    int GetScrollOffset() const { return m_offset; }
    void SetScrollOffset(int offset);
    // The strip and the page area in item coordinates.
    BOUND_t GetStripPlace();
    BOUND_t GetPagePlace();
    void EnsureVisible(void *page);
    // Toggles the hover frame (a halftone square around the hovered button) on a tracker
    // painter of the window.
    void DrawTracker(XPainter *painter);
    unsigned GetHoverPart() const { return m_hoverPart; }

    // ---- settings ----------------------------------------------------------------------------

    void SetIconWare(XIconDrawer *icons);
    XIconDrawer *GetIconWare() const { return m_icons; }
    // Borrowed: drawn over the body while there are no pages.
    void SetFullRender(XImage *image);
    void SetRelease(XTabReleaseProc release) { m_release = release; }

private:
    XTabPage_t *Find(const void *page) const;
    XTabPage_t *At(unsigned index) const;
    int IndexOf(const XTabPage_t *page) const;
    uint32_t Notify(uint32_t code, XTabPage_t *page, uint32_t *flags = nullptr);
    void RemovePage(XTabPage_t *page);
    void FreePage(XTabPage_t *page);
    bool HasClose(const XTabPage_t *page) const;
    int RightEdge() const;
    int LeftEdge() const;
    int ButtonTop();
    void MeasureTabs();
    void ClearHover();
    void SetHover(unsigned part, XTabPage_t *page);
    BOUND_t HoverBound();
    void ShowTracker();
    void PagePlaceOf(BOUND_t *childSpace);
    void OpenPageList();

    XTabPage_t *m_pages = nullptr;
    XTabPage_t *m_current = nullptr;
    int m_stripHeight = kTabDefaultHeight;
    int m_fixedHeight = 0;
    int m_offset = 0;
    int m_total = 0;
    unsigned m_hoverPart = 0;
    XTabPage_t *m_hoverPage = nullptr;
    bool m_hoverShown = false;
    BOUND_t m_hoverFrame = {0, 0, 0, 0}; // device pixels of the window
    BOUND_t m_hoverClip = {0, 0, 0, 0};
    XIconDrawer *m_icons = nullptr;
    int m_iconWidth = 0;
    int m_iconHeight = 0;
    XImage *m_image = nullptr;
    XTabReleaseProc m_release = nullptr;
    int m_fontHeight = 12;
    bool m_measured = false;
    uint64_t m_fontKey = 0; // the font the tabs were measured with
};
