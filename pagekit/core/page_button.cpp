// Buttons: command routing, the checked state, the extent of text and icon, drawing.

#include "pagekit/core/page_button.h"

#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Space the extent adds around the content, and between icon and text.
constexpr int kButtonSpaceX = 16;
constexpr int kButtonSpaceY = 6;
constexpr int kIconGap = 6;

constexpr uint32_t kKeyEnter = 13;
constexpr uint32_t kKeySpace = 32;

} // namespace

XPageButton::XPageButton()
{
    kind = kKindButton;
    // A tab stop like the fields.
    itemFlags |= kItemEditable;
}

XPageButton::~XPageButton() = default;

void XPageButton::SetItemText(const char16_t *text)
{
    m_text = text != nullptr ? text : u"";
    if (!(itemFlags & kItemCreated))
        return;
    CalcExtentSize(1);
    Invalidate(nullptr, 0);
}

unsigned XPageButton::GetItemText(char16_t *text, unsigned cap)
{
    const unsigned length = static_cast<unsigned>(m_text.size());
    if (text == nullptr)
        return length;
    if (cap == 0)
        return 0;
    const unsigned n = length < cap ? length : cap - 1;
    m_text.copy(text, n);
    text[n] = 0;
    return n;
}

void XPageButton::SetIcon(XIconDrawer *icons, int index)
{
    m_icons = icons;
    m_iconIndex = index;
    if (!(itemFlags & kItemCreated))
        return;
    CalcExtentSize(1);
    Invalidate(nullptr, 0);
}

void XPageButton::CheckButton(int check)
{
    const uint32_t flags = check ? stateFlags | kButtonChecked : stateFlags & ~kButtonChecked;
    if (flags == stateFlags)
        return;
    stateFlags = flags;
    Invalidate(nullptr, 0);
}

void XPageButton::SetDrawProc(void *data, XButtonDrawProc proc)
{
    m_drawData = data;
    m_drawProc = proc;
    Invalidate(nullptr, 0);
}

void XPageButton::SetReadOnly(int readOnly)
{
    XPageItem::SetReadOnly(readOnly);
    EnableItem(readOnly ? 0 : 1);
}

int XPageButton::PressButton()
{
    if (!IsEnable())
        return 0;
    if (extraFlags & kButtonToggle)
        CheckButton(!IsChecked());
    // The button's own handling may destroy it (a dialog that closes): what the command
    // needs afterwards is taken first.
    XPageWindow *window = GetPageWindow();
    XPageItem *target = m_target != nullptr ? m_target : owner;
    XMessage_t command = {};
    command.code = XMSG_COMMAND;
    command.state = kMsgDone;
    command.key = static_cast<uint32_t>(itemCode);
    command.item = this;
    CarryMessage(&command);
    if (command.state == kMsgStop || target == nullptr)
        return 1;
    if (window != nullptr && !window->IsLiveItem(target))
        return 1;
    target->CarryMessage(&command);
    return 1;
}

int XPageButton::OnMessage(XMessage_t *message)
{
    switch (message->code & 0xFFFF) {
    case XMSG_CLICK:
        PressButton();
        message->state = kMsgDone;
        return 1;
    case XMSG_DBLCLICK:
        if (message->key != XMSG_BUTTON_LEFT)
            break;
        PressButton();
        message->state = kMsgDone;
        return 1;
    case XMSG_KEYDOWN:
        if ((message->key != kKeyEnter && message->key != kKeySpace) ||
            (extraFlags & kButtonNoKeys))
            break;
        PressButton();
        message->state = kMsgDone;
        return 1;
    default:
        break;
    }
    return XPageItem::OnMessage(message);
}

// ---------------------------------------------------------------------------------------
// Extent and drawing
// ---------------------------------------------------------------------------------------

SIZE_t XPageButton::ContentSize(XPainter *painter)
{
    painter->SetFonter(&style);
    SIZE_t text = {0, 0};
    painter->CalcLineSize(m_text.c_str(), static_cast<int>(m_text.size()), &text);
    const bool icon = m_icons != nullptr && m_iconIndex >= 0 && !m_icons->IsIconEmpty();
    if (!icon)
        return text;
    const int iw = m_icons->GetIconWidth(), ih = m_icons->GetIconHeight();
    if (extraFlags & kButtonIconAbove)
        return {text.cx > iw ? text.cx : iw, text.cy + ih + ih / 4};
    return {text.cx + iw + kIconGap, text.cy > ih ? text.cy : ih};
}

int XPageButton::CalcExtentSize(int mode)
{
    XPainter *painter = form != nullptr ? form->GetPainter() : nullptr;
    if (painter != nullptr) {
        UpdateStyleDesc(0);
        const SIZE_t content = ContentSize(painter);
        scroll.width = content.cx + kButtonSpaceX;
        scroll.height = content.cy + kButtonSpaceY;
    }
    return XPageItem::CalcExtentSize(mode);
}

void XPageButton::DrawBody(XPainter *painter, const BOUND_t * /*bound*/)
{
    const BOUND_t area = {scroll.x, scroll.y, body.width, body.height};
    if (m_drawProc != nullptr) {
        m_drawProc(m_drawData, this, painter, &area);
        return;
    }
    const SIZE_t content = ContentSize(painter);
    int x = area.x + (area.width - content.cx) / 2;
    int y = area.y + (area.height - content.cy) / 2;
    const bool icon = m_icons != nullptr && m_iconIndex >= 0 && !m_icons->IsIconEmpty();
    if (icon) {
        const int iw = m_icons->GetIconWidth(), ih = m_icons->GetIconHeight();
        const int ix = extraFlags & kButtonIconAbove ? area.x + (area.width - iw) / 2 : x;
        const int iy = extraFlags & kButtonIconAbove ? y : area.y + (area.height - ih) / 2;
        if (IsEnable())
            m_icons->DrawIcon(painter, m_iconIndex, ix, iy);
        else
            m_icons->DrawGrayIcon(painter, m_iconIndex, ix, iy);
        if (extraFlags & kButtonIconAbove)
            y += ih + ih / 4;
        else
            x += iw + kIconGap;
    }
    if (m_text.empty())
        return;
    painter->SetTextColor(style.textColor);
    SIZE_t text = {0, 0};
    painter->CalcLineSize(m_text.c_str(), static_cast<int>(m_text.size()), &text);
    if (extraFlags & kButtonIconAbove)
        x = area.x + (area.width - text.cx) / 2;
    else
        y = area.y + (area.height - text.cy) / 2;
    painter->DrawTextLine(m_text.c_str(), static_cast<int>(m_text.size()), x, y);
}
