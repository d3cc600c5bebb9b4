// The combo: entries, the current index and its text, keys, presses and the drop list,
// and the focus rules of the modes.

#include "pagekit/core/page_combo.h"

#include <string>

#include "corekit/numbers/numbers.h"
#include "corekit/text/strings.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/combo_code.h"
#include "pagekit/core/ctrl_icon.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/item_selector.h"
#include "pagekit/core/menu_item.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

constexpr uint32_t kKeyUp = 38, kKeyDown = 40;

std::u16string Number(uint64_t data)
{
    char16_t text[kIntegerTextMax];
    FromInteger(text, static_cast<int64_t>(data));
    return text;
}

} // namespace

XPageCombo::XPageCombo()
{
    kind = kKindCombo;
}

XPageCombo::~XPageCombo() = default;

// ---------------------------------------------------------------------------------------
// Entries
// ---------------------------------------------------------------------------------------

int XPageCombo::AddItem(uint64_t data, const char16_t *name)
{
    m_entries.push_back({data, name != nullptr ? name : u"", Number(data), true, false});
    return GetItemCount() - 1;
}

int XPageCombo::AddItem(const char16_t *code, const char16_t *name)
{
    Entry entry{0, name != nullptr ? name : u"", code != nullptr ? code : u"", code != nullptr,
                false};
    if (code != nullptr && code[0] == kComboEmptyCode) {
        entry.emptyCode = true;
        entry.code.clear();
        entry.data = kComboEmptyValue;
    } else if (!TextCodes()) {
        entry.data = static_cast<uint64_t>(ToInt64(entry.code.c_str()));
    }
    m_entries.push_back(std::move(entry));
    return GetItemCount() - 1;
}

int XPageCombo::SetItemMapper(const char16_t *list)
{
    ClearItem();
    char16_t code[kComboCodeSize];
    std::u16string name(4096, u'\0');
    for (const char16_t *p = list;
         (p = GetNextComboEx(p, code, name.data(), static_cast<unsigned>(name.size())));) {
        const auto index = static_cast<uint64_t>(m_entries.size());
        if (code[0] == 0) {
            // No code: the value is the index, as GetComboBox reads it.
            m_entries.push_back({index, name.c_str(), u"", false, false});
            continue;
        }
        AddItem(code, name.c_str());
    }
    return GetItemCount();
}

void XPageCombo::GetItemMapper(XString *out) const
{
    if (out == nullptr)
        return;
    out->SetString(u"");
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry &e = m_entries[i];
        if (i > 0)
            out->Append(u"\r\n");
        if (e.emptyCode)
            out->Append(u";");
        else if (!TextCodes())
            out->Append((Number(e.data) + u";").c_str());
        else if (e.hasCode)
            out->Append((e.code + u";").c_str());
        else
            out->Append((Number(i) + u";").c_str());
        out->Append(e.name.c_str());
    }
}

void XPageCombo::ClearItem()
{
    m_entries.clear();
    m_current = -1;
}

void XPageCombo::DeleteItem(unsigned index)
{
    if (index >= m_entries.size())
        return;
    m_entries.erase(m_entries.begin() + index);
    if (m_current == static_cast<int>(index))
        m_current = -1;
    else if (m_current > static_cast<int>(index))
        --m_current;
}

uint64_t XPageCombo::GetItemData(int index) const
{
    return index >= 0 && index < GetItemCount() ? m_entries[size_t(index)].data : 0;
}

const char16_t *XPageCombo::GetItemCode(int index) const
{
    return index >= 0 && index < GetItemCount() ? m_entries[size_t(index)].code.c_str() : u"";
}

const char16_t *XPageCombo::GetItemName(int index) const
{
    return index >= 0 && index < GetItemCount() ? m_entries[size_t(index)].name.c_str() : u"";
}

int XPageCombo::MatchName(const char16_t *pattern) const
{
    for (size_t i = 0; pattern != nullptr && i < m_entries.size(); ++i) {
        if (LikeCompare(m_entries[i].name.c_str(), pattern, 1))
            return static_cast<int>(i);
    }
    return -1;
}

int XPageCombo::SearchName(const char16_t *name) const
{
    for (size_t i = 0; name != nullptr && i < m_entries.size(); ++i) {
        if (m_entries[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

int XPageCombo::SearchCode(const char16_t *code) const
{
    if (code == nullptr)
        return -1;
    if (!TextCodes())
        return SearchData(static_cast<uint64_t>(ToInt64(code)));
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].hasCode && m_entries[i].code == code)
            return static_cast<int>(i);
    }
    return -1;
}

int XPageCombo::SearchData(uint64_t data) const
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].data == data)
            return static_cast<int>(i);
    }
    return -1;
}

int XPageCombo::SelectName(const char16_t *name)
{
    const int index = SearchName(name);
    SelectItem(index);
    return index;
}

int XPageCombo::SelectCode(const char16_t *code)
{
    const int index = SearchCode(code);
    SelectItem(index);
    return index;
}

int XPageCombo::SelectData(uint64_t data)
{
    const int index = SearchData(data);
    SelectItem(index);
    return index;
}

// ---------------------------------------------------------------------------------------
// The current entry and its text
// ---------------------------------------------------------------------------------------

std::u16string XPageCombo::Shown(int index) const
{
    if (index < 0 || index >= GetItemCount())
        return u"";
    const Entry &e = m_entries[size_t(index)];
    if (Mode() == 2 && m_focused)
        return TextCodes() ? e.code : (e.emptyCode ? u"" : Number(e.data));
    return e.name;
}

void XPageCombo::ShowCurrent()
{
    XPageEdit::SetItemText(Shown(m_current).c_str());
}

void XPageCombo::SetCurSel(int index)
{
    m_current = index >= 0 && index < GetItemCount() ? index : -1;
    ShowCurrent();
}

void XPageCombo::SelectItem(int index)
{
    const int before = m_current;
    SetCurSel(index);
    if (m_current == before || !(itemFlags & kItemCreated))
        return;
    XMessage_t changed = {};
    changed.code = XMSG_COMBOSELECT;
    changed.key = static_cast<uint32_t>(m_current);
    changed.item = this;
    DispatchMessage(&changed);
}

std::u16string XPageCombo::Text() const
{
    std::u16string text;
    for (const XTextLine *line = GetFirstLine(); line != nullptr; line = line->next)
        text.append(line->text, line->length);
    return text;
}

// ---------------------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------------------

int XPageCombo::InputChar(char16_t ch)
{
    // Modes 0 and 1 choose from the list only.
    return Typing() ? XPageEdit::InputChar(ch) : 0;
}

int XPageCombo::InputText(const char16_t *text)
{
    return Typing() ? XPageEdit::InputText(text) : 0;
}

int XPageCombo::DeleteInputer(unsigned backwards)
{
    return Typing() ? XPageEdit::DeleteInputer(backwards) : 0;
}

bool XPageCombo::OnDropButton(int x) const
{
    return x >= body.x + body.width;
}

void XPageCombo::OpenDropList()
{
    std::vector<XMenuItem> menu(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i)
        SetupMenuItem(&menu[i], static_cast<unsigned>(i + 1), 0, m_entries[i].name.c_str());
    const unsigned code =
        PopupDropbar(this, m_icons, menu.data(), static_cast<unsigned>(menu.size()),
                     static_cast<int>(m_dropHeight));
    if (code == 0)
        return;
    // The choice arrives as the combo's command, which selects it.
    XMessage_t command = {};
    command.code = XMSG_COMMAND;
    command.key = code;
    command.item = this;
    CarryMessage(&command);
}

void XPageCombo::FocusIn()
{
    m_focused = true;
    if (Mode() == 2)
        ShowCurrent();
    if (Mode() != 1 && GetTotalLength() > 0)
        SetChoice(GetTotalLength(), 0);
}

void XPageCombo::FocusOut()
{
    m_focused = false;
    const std::u16string typed = Text();
    int index = m_current;
    if (Mode() == 2) {
        index = SearchCode(typed.c_str());
        if (index < 0 && !typed.empty())
            index = MatchName((typed + u"*").c_str());
    } else if (Mode() == 3 && !typed.empty()) {
        index = MatchName((typed + u"*").c_str());
    }
    if (Mode() == 2 || Mode() == 3) {
        if (index >= 0 || Mode() == 2) {
            SelectItem(index);
            ShowCurrent();
        }
    } else {
        ShowCurrent();
    }
}

int XPageCombo::OnMessage(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    if (code == XMSG_COMMAND && message->item == this) {
        SelectItem(static_cast<int>(message->key) - 1);
        message->state = kMsgDone;
        return 1;
    }
    if (code == XMSG_FOCUSIN)
        FocusIn();
    else if (code == XMSG_FOCUSOUT)
        FocusOut();
    if (extraFlags & kComboNoInteraction)
        return XPageEdit::OnMessage(message);
    switch (code) {
    case XMSG_KEYDOWN:
        if (message->key == kKeyUp || message->key == kKeyDown) {
            const int last = GetItemCount() - 1;
            int next = m_current + (message->key == kKeyDown ? 1 : -1);
            next = next < 0 ? 0 : (next > last ? last : next);
            if (last >= 0)
                SelectItem(next);
            message->state = kMsgDone;
            return 1;
        }
        break;
    case XMSG_WHEEL: {
        const int last = GetItemCount() - 1;
        int next = m_current + (message->key != 0 ? 1 : -1);
        next = next < 0 ? 0 : (next > last ? last : next);
        if (last >= 0)
            SelectItem(next);
        message->state = kMsgDone;
        return 1;
    }
    case XMSG_BUTTONDOWN:
    case XMSG_DBLCLICK:
        if (message->key == XMSG_BUTTON_LEFT && (Mode() != 0 || OnDropButton(message->x)) &&
            IsEnable() && GetPageWindow() != nullptr) {
            OpenDropList();
            message->state = kMsgDone;
            return 1;
        }
        break;
    default:
        break;
    }
    return XPageEdit::OnMessage(message);
}

void XPageCombo::DrawItem(XPainter *painter, const BOUND_t *bound)
{
    XPageEdit::DrawItem(painter, bound);
    if ((extraFlags & kComboButtonFocused) && !m_focused)
        return;
    // The drop button in the right padding (the default style keeps 16 pixels there),
    // right of the text body, centred vertically.
    const int x = place.x + body.x + body.width;
    const int y = place.y + body.y + (body.height - kComboButtonWidth) / 2;
    DrawCtrlIcon(painter, IsEnable() ? kCtrlIconDropButton : kCtrlIconDropButtonOff, x, y);
}
