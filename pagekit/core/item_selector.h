#pragma once
// The pop-up list of menus and drop lists: a floater whose children are its entries,
// stacked in whole lines. Separators (kKindSeparator) are plain items 5 pixels high; menu
// entries (kKindMenuItem) and combo entries (kKindComboItem) are buttons at least 16
// pixels high (the icon height when larger) that send their code to the selector.
//
// A chosen entry's command stores its code as the choice, closes the selector, passes the
// command on to the hoster's OnMessage (other = the selector) and so ends the selector's
// wait. In a menu bar (kSelectorMenubar) an entry with a sub-menu instead asks the hoster
// to open it: code 43, key kSelectorSubmenuKey, other = the entry. Hovering an entry with
// a sub-menu sends the same request with flags 1; hovering any entry clears the hover
// state of the others. A letter key A-Z activates the first enabled menu entry whose
// text holds '&' and that letter (ASCII case ignored). In an entry's text, what follows
// the first tab is its shortcut, drawn right-aligned.

#include <cstdint>

#include "pagekit/core/menu_item.h"
#include "pagekit/core/page_floater.h"
#include "pagekit/pagekit_export.h"

class XIconDrawer;
class XString;

// Extra flag of a selector: it is the drop-down of a menu bar.
constexpr uint32_t kSelectorMenubar = 0x400;
// Key of the code-43 request to open a sub-menu.
constexpr uint32_t kSelectorSubmenuKey = 33;
// Modes of ShowMenubar.
enum : int {
    kShowAtPointer = 0, // a menu: at the pointer, its own size
    kShowBelowItem = 1, // a drop list: below the item, its width, at most kDropMaxHeight
};
constexpr int kDropMaxHeight = 480;
// Least height of an entry button, and the height of a separator.
constexpr int kEntryMinHeight = 16;
constexpr int kSeparatorHeight = 5;

class PAGEKIT_EXPORT XItemSelector : public XPageFloater
{
public:
    // Modal, closes when clicked outside, kept inside the window, destroyed after
    // closing, with the background of its first entry.
    XItemSelector();
    ~XItemSelector() override;

    // A menu entry (code 0: a separator; flags kMenu*, 256 and above: nothing is added).
    // Returns the entry, or null.
    XPageItem *AddMenuItem(unsigned code, uint32_t flags, int icon, const char16_t *text);
    // A combo entry.
    XPageItem *AddComboItem(unsigned code, int icon, const char16_t *text);
    // Marks entry index as the current one (hover look), scrolled into view; -1: none.
    void SelectItem(int index);
    // The code of the chosen entry; 0 while none is chosen.
    unsigned GetChoice() const { return m_choice; }
    // The code and text of entry index (separators count; 0 and an empty text for a
    // separator or an index out of range).
    unsigned GetItemCode(int index) const;
    int GetItemText(int index, XString *out) const;
    using XPageItem::GetItemText;
    // The icons of the entries: by name from the form's resource helper, or a drawer the
    // caller keeps alive.
    void SetIconWare(const char16_t *name);
    void SetIconWare(XIconDrawer *icons);
    XIconDrawer *GetIconWare() const { return m_icons; }
    // Shows it for item (kShow* mode).
    void ShowMenubar(XPageItem *item, int mode);
    // The most a drop list is high before it scrolls (at least one pixel).
    void SetDropHeight(int height) { m_dropHeight = height > 0 ? height : 1; }
    // Where the chosen code is also written and whether the selector still lives: the
    // pop-up functions read them after the selector may have gone. Null: none.
    void SetResult(unsigned *choice, bool *alive)
    {
        m_result = choice;
        m_alive = alive;
    }

    // Stacks the entries in whole lines, and sizes itself to them.
    void UpdateLayout(int flag) override;
    int CalcExtentSize(int mode) override;
    int OnMessage(XMessage_t *message) override;

    // ---- for the entries -------------------------------------------------------------

    // The pointer entered entry: the others lose their hover state; a sub-menu entry asks
    // the hoster.
    void OnEntryHover(XPageItem *entry);

private:
    XPageItem *EntryAt(int index) const;
    void OnEntryCommand(XMessage_t *message);
    int OnLetter(uint32_t letter);
    void AskSubmenu(XPageItem *entry, uint32_t flags);

    XIconDrawer *m_icons = nullptr;
    unsigned m_choice = 0;
    unsigned *m_result = nullptr;
    bool *m_alive = nullptr;
    int m_dropMode = 0;
    int m_dropHeight = kDropMaxHeight;
};

// ---- pop-up functions: each runs a nested loop and returns the chosen code, 0 when the
// menu closed without choice (Escape, a press outside, a loop that ran out of input) or
// could not be shown (no page window).

// A menu of count entries at the pointer (entries with flags 256 and above skipped).
PAGEKIT_EXPORT unsigned PopupMenubar(XPageItem *item, XMenuItem *entries, unsigned count);
// The same with the icons named from the form's resource helper, or given.
PAGEKIT_EXPORT unsigned PopupMenubar(XPageItem *item, const char16_t *icons, XMenuItem *entries,
                                     unsigned count);
PAGEKIT_EXPORT unsigned PopupMenubar(XPageItem *item, XIconDrawer *icons, XMenuItem *entries,
                                     unsigned count);
// A menu from a code-string list: codes read as integers, an entry without code gives
// its index + 1, the explicit empty code (and a code reading as 0) a separator.
PAGEKIT_EXPORT unsigned PopupMenubar(XPageItem *item, const char16_t *list);
// A drop list of combo entries below item, at most kDropMaxHeight high.
PAGEKIT_EXPORT unsigned PopupDropbar(XPageItem *item, XMenuItem *entries, unsigned count);
// The same with the entries' icons (may be null) and at most height pixels high.
PAGEKIT_EXPORT unsigned PopupDropbar(XPageItem *item, XIconDrawer *icons, XMenuItem *entries,
                                     unsigned count, int height);
// Refills a selector with menu entries (entries with flags 256 and above skipped).
PAGEKIT_EXPORT void SetupMenubar(XItemSelector *selector, XMenuItem *entries, unsigned count);
