#pragma once
// A push or toggle button that sends commands. A click, a double click, or Enter or Space
// (unless kButtonNoKeys) builds a command message (XMSG_COMMAND, key = the item code,
// target = the button, state kMsgDone): a toggling button (kButtonToggle) flips its
// checked state first; the button's own hook and OnMessage see the command first and,
// unless they answer kMsgStop, it goes on to the command target's hook and OnMessage
// (the owner when no target is set). The checked state is state flag kButtonChecked,
// which selects the style's child1 variant.

#include <cstdint>
#include <string>

#include "pagekit/core/page_item.h"
#include "pagekit/pagekit_export.h"

class XIconDrawer;
class XPageButton;

// Extra flags of a button.
enum : uint32_t {
    kButtonIconAbove = 0x1, // the icon above the text, else left of it
    kButtonToggle = 0x80,   // every command flips the checked state
    kButtonNoKeys = 0x100,  // Enter and Space do not press it
};
// State flag of the checked state (the child1 variant).
constexpr uint32_t kButtonChecked = 0x10;

// Paints the body in place of the text and icon: the painter at the child-space origin,
// body the button's body in that space.
typedef void (*XButtonDrawProc)(void *data, XPageButton *button, XPainter *painter,
                                const BOUND_t *body);

class PAGEKIT_EXPORT XPageButton : public XPageItem
{
public:
    XPageButton();
    ~XPageButton() override;

    // The text (null clears it); once created the extent is computed again and the button
    // repainted.
    void SetItemText(const char16_t *text) override;
    unsigned GetItemText(char16_t *text, unsigned cap) override;
    // The icon drawn with the text (null drawer or index -1: none).
    void SetIcon(XIconDrawer *icons, int index);
    // Sets (non-zero) or clears the checked state; repaints when it changed.
    void CheckButton(int check);
    int IsChecked() const { return (stateFlags & kButtonChecked) != 0; }
    // Paints the body with proc (null: the text and icon again).
    void SetDrawProc(void *data, XButtonDrawProc proc);
    // Where commands go after the button itself; null: the owner.
    void SetCommandTarget(XPageItem *target) { m_target = target; }
    XPageItem *GetCommandTarget() const { return m_target; }
    // A read-only button is disabled.
    void SetReadOnly(int readOnly) override;
    // Builds and routes one command as a click does; 0 when the button is disabled.
    int PressButton();

    // Content extent: text width + 16 by line height + 6; an icon adds its width + 6 to
    // the width, or with kButtonIconAbove its height and a quarter above the text.
    int CalcExtentSize(int mode) override;
    void DrawBody(XPainter *painter, const BOUND_t *bound) override;
    int OnMessage(XMessage_t *message) override;

protected:
    const std::u16string &GetText() const { return m_text; }

private:
    // The size of text and icon together (the extent less its 16 and 6).
    SIZE_t ContentSize(XPainter *painter);

    std::u16string m_text;
    XIconDrawer *m_icons = nullptr;
    int m_iconIndex = -1;
    XPageItem *m_target = nullptr;
    XButtonDrawProc m_drawProc = nullptr;
    void *m_drawData = nullptr;
};
