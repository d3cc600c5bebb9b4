// The attachment field.

#include "pagekit/items/page_annex.h"

#include <vector>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "pagekit/core/style_geometry.h"
#include "platform/devkit/folders.h"
#include "platform/panekit/dialog/dialogs.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Item flags of a new attachment: visible, accepts editing.
constexpr uint32_t kAnnexItemFlags = 0x9;
constexpr char16_t kAnnexButtonText[] = u"选择";
constexpr int kAnnexButtonTextLength = 2;
// Room around the button text, and the paddings on the other sides.
constexpr int kAnnexButtonExtra = 10;
constexpr int kAnnexPadding = 2;

} // namespace

XPageAnnex::XPageAnnex()
{
    kind = kKindAnnex;
    itemFlags = kAnnexItemFlags;
}

void XPageAnnex::SetFileName(const char16_t *path)
{
    m_path = path != nullptr ? path : u"";
    extraFlags |= kAnnexModified;
    if (itemFlags & kItemCreated)
        ShowName();
}

void XPageAnnex::SetFilter(const char16_t *filter)
{
    m_filter = filter != nullptr ? filter : u"";
}

void XPageAnnex::SetModifyState(int modified)
{
    if (modified)
        extraFlags |= kAnnexModified;
    else
        extraFlags &= ~kAnnexModified;
}

void XPageAnnex::ShowName()
{
    SetItemText(m_path.empty() ? nullptr : ::GetFileName(m_path.c_str()));
}

void XPageAnnex::OnCreateItem()
{
    XPageText::OnCreateItem();
    if (XPainter *painter = form != nullptr ? form->GetPainter() : nullptr) {
        painter->SetFonter(&style);
        SIZE_t size = {0, 0};
        painter->CalcLineSize(kAnnexButtonText, kAnnexButtonTextLength, &size);
        m_buttonWidth = size.cx + kAnnexButtonExtra;
    }
    itemStyle.SetSpace(0, kAnnexPadding, kAnnexPadding, m_buttonWidth, kAnnexPadding);
    UpdateStyleDesc(0x12);
    if (!m_path.empty())
        ShowName();
    else
        CalcExtentSize(0);
}

BOUND_t XPageAnnex::ButtonBox() const
{
    BOUND_t box = {0, 0, place.width, place.height};
    CalcItemPlace(kSpaceBorder, &box, &style);
    return {box.x + box.width - m_buttonWidth, box.y, m_buttonWidth, box.height};
}

void XPageAnnex::DrawFrame(XPainter *painter, const BOUND_t *bound)
{
    XPageText::DrawFrame(painter, bound);
    if (itemFlags & kItemReadOnly)
        return;
    XStyleDesc button;
    InitStyleDesc(&button);
    // The button's own box; text colour and font fall back to the item's.
    itemStyle.GetStyle(uint32_t{kStateChild1} | kItemStateOnlyChild, owner, &button);
    if (button.textColor == kStyleUnsetWord)
        button.textColor = style.textColor;
    if (button.fontSize == 0)
        button.fontSize = style.fontSize;
    const BOUND_t box = ButtonBox();
    BOUND_t face;
    CalcDrawPlace(&face, &box, &button);
    painter->DrawItemBox(&button, &face);
    CalcItemPlace(kSpacePadding, &face, &button);
    painter->SetFonter(&button);
    painter->SetTextColor(button.textColor);
    const uint32_t layout = button.layoutWord == kStyleUnsetWord ? 0 : button.layoutWord & 0xFF;
    painter->DrawText(kAnnexButtonText, kAnnexButtonTextLength, &face, layout);
    FreeStyleDescStrings(&button);
}

void XPageAnnex::Notify(uint32_t code)
{
    XMessage_t message = {};
    message.code = code;
    message.item = this;
    DispatchMessage(&message);
}

void XPageAnnex::Choose()
{
    // A path too long for the chooser is offered as none rather than cut.
    std::vector<char16_t> path(kChooserPathUnits, 0);
    if (m_path.size() < kChooserPathUnits)
        m_path.copy(path.data(), m_path.size());
    XPageWindow *window = GetPageWindow();
    if (SelectOpenFile(window, m_filter.empty() ? nullptr : m_filter.c_str(), path.data(),
                       kChooserPathUnits) != kChooserDone ||
        path[0] == 0)
        return;
    SetFileName(path.data());
    Notify(XMSG_ANNEXUPDATE);
}

int XPageAnnex::OnMessage(XMessage_t *message)
{
    if (itemFlags & (kItemReadOnly | kItemDisabled))
        return XPageText::OnMessage(message);
    const BOUND_t button = ButtonBox();
    const bool onButton = PointInBound(&button, message->x, message->y) != 0;
    switch (message->code & 0xFFFF) {
    case XMSG_MOUSEMOVE:
        if (!onButton && !m_path.empty()) {
            if (XPageWindow *window = GetPageWindow())
                window->SetMouseCursor(PANEKIT_CURSOR_HAND);
        }
        break;
    case XMSG_CLICK:
        if (onButton) {
            message->state = kMsgDone;
            Choose(); // the handlers of 67 may destroy the item: nothing is read after
            return 1;
        }
        if (!m_path.empty()) {
            message->state = kMsgDone;
            Notify(XMSG_ANNEXPOPUP);
            return 1;
        }
        break;
    default:
        break;
    }
    return XPageText::OnMessage(message);
}
