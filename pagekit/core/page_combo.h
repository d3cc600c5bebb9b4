#pragma once
// The combo: an edit with a list of entries and a drop list. An entry holds a 64-bit
// value and a name, and in text-code mode its code text; the current index (-1: none)
// decides the text shown.
//
// Modes (low nibble of the extra flags): 0 and 1 choose from the list only; 2 shows the
// current entry's code while focused, and a typed code selects when the focus leaves; 3
// takes free text, matched to the first name it begins when the focus leaves.

#include <cstdint>
#include <string>
#include <vector>

#include "pagekit/core/page_edit.h"
#include "pagekit/pagekit_export.h"

class XIconDrawer;
class XString;

// Extra flags of a combo besides the mode nibble.
enum : uint32_t {
    kComboModeMask = 0xF,
    kComboTextCodes = 0x100,     // codes are texts, not numbers
    kComboButtonFocused = 0x200, // the drop button only while focused
    kComboNoInteraction = 0x2000,
};
// Notification of a changed selection (key: the new index).
constexpr uint32_t XMSG_COMBOSELECT = 65;
constexpr unsigned kComboDropHeight = 360;
// The drop button: control icon 5 (9 disabled), this wide, right of the text body.
constexpr int kComboButtonWidth = 16;

class PAGEKIT_EXPORT XPageCombo : public XPageEdit
{
public:
    XPageCombo();
    ~XPageCombo() override;

    // ---- entries ------------------------------------------------------------------------

    // Adds an entry with a value, or with a code: number mode reads the code as an
    // integer, text mode keeps it. Returns the new index.
    int AddItem(uint64_t data, const char16_t *name);
    int AddItem(const char16_t *code, const char16_t *name);
    // Replaces every entry by the code-string list (extended reading: ";name" has the
    // explicit empty code); returns the count.
    int SetItemMapper(const char16_t *list);
    // The list back: "code;name" lines joined by CR LF (";" alone before the name for the
    // explicit empty code; text mode writes the index for an entry without code).
    void GetItemMapper(XString *out) const;
    void ClearItem();
    // Removes entry index (the current one moves with what follows it).
    void DeleteItem(unsigned index);
    int GetItemCount() const { return static_cast<int>(m_entries.size()); }
    int GetCurSel() const { return m_current; }
    // Makes index current and shows its text; no notification. Out of range: none.
    void SetCurSel(int index);
    // The same, and code 65 with the new index in key when it changed.
    void SelectItem(int index);
    // Of entry index; 0 or empty when out of range.
    uint64_t GetItemData(int index) const;
    const char16_t *GetItemCode(int index) const;
    const char16_t *GetItemName(int index) const;
    // The first entry whose name matches the '*'/'?' pattern (case folded); -1 when none.
    int MatchName(const char16_t *pattern) const;
    int SearchName(const char16_t *name) const;
    int SearchCode(const char16_t *code) const;
    int SearchData(uint64_t data) const;
    int SelectName(const char16_t *name);
    int SelectCode(const char16_t *code);
    int SelectData(uint64_t data);
    void SetDropHeight(unsigned height) { m_dropHeight = height; }
    void SetIconDrawer(XIconDrawer *icons) { m_icons = icons; }

    // ---- item overrides -------------------------------------------------------------------

    int InputChar(char16_t ch) override;
    int InputText(const char16_t *text) override;
    int DeleteInputer(unsigned backwards) override;
    void DrawItem(XPainter *painter, const BOUND_t *bound) override;
    int OnMessage(XMessage_t *message) override;

private:
    struct Entry
    {
        uint64_t data;
        std::u16string name;
        std::u16string code; // text mode
        bool hasCode;
        bool emptyCode; // the explicit empty code
    };

    uint32_t Mode() const { return extraFlags & kComboModeMask; }
    bool TextCodes() const { return (extraFlags & kComboTextCodes) != 0; }
    bool Typing() const { return Mode() >= 2; }
    // The text an entry shows: its code in mode 2 while focused, else its name.
    std::u16string Shown(int index) const;
    void ShowCurrent();
    bool OnDropButton(int x) const;
    void OpenDropList();
    void FocusIn();
    void FocusOut();
    std::u16string Text() const;

    std::vector<Entry> m_entries;
    int m_current = -1;
    unsigned m_dropHeight = kComboDropHeight;
    XIconDrawer *m_icons = nullptr;
    bool m_focused = false;
};
