#pragma once
// The attachment field: a text label showing the chosen file's name, with a "选择"
// (choose) button at its right end that opens the file chooser. Clicking the name of a
// chosen file asks the form to open it (OnPopupEditor).

#include <cstdint>
#include <string>

#include "pagekit/items/page_text.h"
#include "pagekit/pagekit_export.h"

// Extra-flag bit of an attachment whose file was chosen or set since it was last cleared.
constexpr uint32_t kAnnexModified = 0x20000000;

// Notifications of the attachment: a file was chosen; the caption of a chosen file was
// clicked.
enum : uint32_t {
    XMSG_ANNEXUPDATE = 67,
    XMSG_ANNEXPOPUP = 89,
};

class PAGEKIT_EXPORT XPageAnnex : public XPageText
{
public:
    XPageAnnex();

    // The file path (null: none). Setting it marks the item modified and, once created,
    // shows its file-name part.
    void SetFileName(const char16_t *path);
    const char16_t *GetFileName() const { return m_path.empty() ? nullptr : m_path.c_str(); }
    // The chooser's filter ("description|*.a;*.b|" pairs; null: any file).
    void SetFilter(const char16_t *filter);
    const char16_t *GetFilter() const { return m_filter.empty() ? nullptr : m_filter.c_str(); }
    int GetModifyState() const { return (extraFlags & kAnnexModified) ? 1 : 0; }
    void SetModifyState(int modified);
    // Width of the button (36 until measured at creation).
    int GetButtonWidth() const { return m_buttonWidth; }

    // Measures the button and makes room for it with the paddings; shows a path set before.
    void OnCreateItem() override;
    // The item box and, unless read-only, the button inside the right border.
    void DrawFrame(XPainter *painter, const BOUND_t *bound) override;
    // Pointer over a chosen file's name: the hand; a click on the button opens the chooser,
    // on the name of a chosen file asks for it to be shown (read-only: nothing).
    int OnMessage(XMessage_t *message) override;

private:
    // The button's box relative to the place origin.
    BOUND_t ButtonBox() const;
    void ShowName();
    void Notify(uint32_t code);
    void Choose();

    std::u16string m_filter;
    std::u16string m_path;
    int m_buttonWidth = 36;
};
