// Radio and check groups: options from a code string laid out in a grid of cells, drawn
// with child variant boxes or control icons, changed by clicks and arrow keys.

#include "pagekit/core/page_radio.h"

#include "corekit/text/xstring.h"
#include "pagekit/core/combo_code.h"
#include "pagekit/core/ctrl_icon.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/core/style_geometry.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Where the icon and the name sit in a cell.
constexpr int kIconInset = 3;
constexpr int kNameInset = 20;

constexpr uint32_t kKeyLeft = 37, kKeyUp = 38, kKeyDown = 40;

} // namespace

XPageRadio::XPageRadio()
{
    kind = kKindRadio;
    itemFlags |= kItemEditable;
}

XPageRadio::~XPageRadio() = default;

void XPageRadio::SetGridSize(unsigned rows, unsigned columns)
{
    m_rows = rows > 0 ? rows : 1;
    m_columns = columns > 0 ? columns : 1;
    LayoutCells();
    Invalidate(nullptr, 0);
}

int XPageRadio::SetItemMapper(const char16_t *list)
{
    m_list = list != nullptr ? list : u"";
    m_options.clear();
    // The names come from a copy with the codes removed; the kept list keeps its codes.
    std::u16string names = m_list;
    GetRadioMapper(names.data());
    names.resize(std::char_traits<char16_t>::length(names.c_str()));
    const size_t cap = std::min<size_t>(size_t{m_rows} * m_columns, kRadioMaxOptions);
    size_t at = 0;
    const size_t end = names.size();
    while (at < end && m_options.size() < cap) {
        size_t lf = names.find(u'\n', at);
        const size_t next = lf == std::u16string::npos ? end : lf + 1;
        if (lf == std::u16string::npos)
            lf = end;
        else if (lf > at && names[lf - 1] == u'\r')
            --lf;
        m_options.push_back({false, {0, 0, 0, 0}, names.substr(at, lf - at)});
        at = next;
    }
    LayoutCells();
    Invalidate(nullptr, 0);
    return static_cast<int>(m_options.size());
}

int XPageRadio::GetItemMapper(XString *out) const
{
    if (out == nullptr)
        return 0;
    out->SetString(m_list.c_str(), static_cast<unsigned>(m_list.size()));
    return static_cast<int>(m_list.size());
}

void XPageRadio::ClearItem()
{
    m_list.clear();
    m_options.clear();
    Invalidate(nullptr, 0);
}

// ---------------------------------------------------------------------------------------
// The choice
// ---------------------------------------------------------------------------------------

uint64_t XPageRadio::GetMask() const
{
    uint64_t mask = 0;
    for (size_t i = 0; i < m_options.size(); ++i) {
        if (m_options[i].checked)
            mask |= uint64_t{1} << i;
    }
    return mask;
}

bool XPageRadio::ApplyMask(uint64_t mask)
{
    bool changed = false;
    for (size_t i = 0; i < m_options.size(); ++i) {
        const bool checked = (mask >> i & 1) != 0;
        changed |= m_options[i].checked != checked;
        m_options[i].checked = checked;
    }
    return changed;
}

int64_t XPageRadio::GetChoice() const
{
    if (!IsRadio())
        return static_cast<int64_t>(GetMask());
    for (size_t i = 0; i < m_options.size(); ++i) {
        if (m_options[i].checked)
            return static_cast<int64_t>(i);
    }
    return -1;
}

void XPageRadio::SetChoice(int64_t choice)
{
    uint64_t mask = static_cast<uint64_t>(choice);
    if (IsRadio())
        mask = choice >= 0 && choice < static_cast<int64_t>(m_options.size())
                   ? uint64_t{1} << choice
                   : 0;
    if (ApplyMask(mask))
        NotifySet();
}

void XPageRadio::SetNameChoice(const char16_t *names)
{
    uint64_t mask = 0;
    for (size_t i = 0; names != nullptr && i < m_options.size(); ++i) {
        const std::u16string &name = m_options[i].name;
        if (IsRadio()) {
            if (name == names) {
                mask = uint64_t{1} << i;
                break;
            }
            continue;
        }
        // Check mode: one of the ';'-separated names.
        for (const char16_t *p = names;;) {
            const char16_t *end = p;
            while (*end != 0 && *end != u';')
                ++end;
            if (name.compare(0, name.npos, p, static_cast<size_t>(end - p)) == 0) {
                mask |= uint64_t{1} << i;
                break;
            }
            if (*end == 0)
                break;
            p = end + 1;
        }
    }
    if (ApplyMask(mask))
        NotifySet();
}

unsigned XPageRadio::GetNameChoice(char16_t *out, unsigned size) const
{
    if (out == nullptr || size == 0)
        return 0;
    std::u16string text;
    for (const Option &option : m_options) {
        if (!option.checked)
            continue;
        const size_t grown = text.size() + (text.empty() ? 0 : 1) + option.name.size();
        if (grown + 1 > size)
            break;
        if (!text.empty())
            text += u';';
        text += option.name;
        if (IsRadio())
            break;
    }
    text.copy(out, text.size());
    out[text.size()] = 0;
    return static_cast<unsigned>(text.size());
}

void XPageRadio::NotifyUser()
{
    Invalidate(nullptr, 0);
    XMessage_t message = {};
    message.code = kChoiceUserChange;
    message.key = 1;
    DispatchMessage(&message);
}

void XPageRadio::NotifySet()
{
    Invalidate(nullptr, 0);
    if (!(itemFlags & kItemCreated))
        return;
    XMessage_t message = {};
    message.code = kChoiceSetChange;
    DispatchMessage(&message);
}

// ---------------------------------------------------------------------------------------
// Layout and input
// ---------------------------------------------------------------------------------------

void XPageRadio::LayoutCells()
{
    const bool created = (itemFlags & kItemCreated) != 0;
    const int cw = created ? body.width / static_cast<int>(m_columns) : kRadioCellSize;
    const int ch = created ? body.height / static_cast<int>(m_rows) : kRadioCellSize;
    for (size_t k = 0; k < m_options.size(); ++k) {
        const unsigned i = static_cast<unsigned>(k);
        const unsigned row = extraFlags & kRadioByColumns ? i % m_rows : i / m_columns;
        const unsigned column = extraFlags & kRadioByColumns ? i / m_rows : i % m_columns;
        m_options[k].cell = {static_cast<int>(column) * cw, static_cast<int>(row) * ch, cw, ch};
    }
}

int XPageRadio::GetOptionCell(unsigned index, BOUND_t *cell) const
{
    if (index >= m_options.size() || cell == nullptr)
        return 0;
    *cell = m_options[index].cell;
    return 1;
}

void XPageRadio::OnCreateItem()
{
    XPageItem::OnCreateItem();
    LayoutCells();
}

void XPageRadio::OnUpdateItem(int code)
{
    if (code == kUpdateMoved)
        LayoutCells();
    XPageItem::OnUpdateItem(code);
}

int XPageRadio::HitOption(int x, int y) const
{
    for (size_t i = 0; i < m_options.size(); ++i) {
        const BOUND_t &c = m_options[i].cell;
        if (x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height)
            return static_cast<int>(i);
    }
    return -1;
}

int XPageRadio::OnMessage(XMessage_t *message)
{
    switch (message->code & 0xFFFF) {
    case XMSG_CLICK: {
        // The point is relative to the place: into the child space.
        const int hit = HitOption(message->x - body.x + scroll.x, message->y - body.y + scroll.y);
        message->state = kMsgDone;
        if (hit < 0 || !IsEditable())
            return 1;
        Option &option = m_options[static_cast<size_t>(hit)];
        if (IsRadio()) {
            if (option.checked)
                return 1;
            ApplyMask(uint64_t{1} << hit);
        } else {
            option.checked = !option.checked;
        }
        NotifyUser();
        return 1;
    }
    case XMSG_KEYDOWN: {
        const uint32_t key = message->key;
        if (!IsRadio() || key < kKeyLeft || key > kKeyDown || !IsEditable())
            break;
        const int64_t current = GetChoice();
        message->state = kMsgDone;
        const bool back = key == kKeyLeft || key == kKeyUp;
        // Before the first or after the last option nothing changes; with none checked,
        // forward checks the first.
        if (back ? current <= 0 : current + 1 >= static_cast<int64_t>(m_options.size()))
            return 1;
        const int64_t next = back ? current - 1 : current + 1;
        ApplyMask(uint64_t{1} << next);
        NotifyUser();
        return 1;
    }
    default:
        break;
    }
    return XPageItem::OnMessage(message);
}

// ---------------------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------------------

void XPageRadio::DrawOption(XPainter *painter, const Option &option)
{
    const BOUND_t &cell = option.cell;
    const uint32_t variant = option.checked ? kStateChild2 : kStateChild1;
    bool boxed = false;
    if (itemStyle.CheckStyle(kStateChild1) && itemStyle.CheckStyle(kStateChild2)) {
        XStyleDesc box;
        InitStyleDesc(&box);
        if (itemStyle.GetStyle(variant | kItemStateOnlyChild, owner, &box)) {
            BOUND_t place;
            CalcDrawPlace(&place, &cell, &box);
            painter->DrawItemBox(&box, &place);
            boxed = true;
        }
        FreeStyleDescStrings(&box);
    }
    if (!boxed) {
        const int icon = IsRadio() ? (option.checked ? kCtrlIconRadioOn : kCtrlIconRadioOff)
                                   : (option.checked ? kCtrlIconCheckOn : kCtrlIconCheckOff);
        DrawCtrlIcon(painter, static_cast<unsigned>(icon), cell.x + kIconInset,
                     cell.y + (cell.height - kCtrlIconSize) / 2);
    }
    const BOUND_t text = {cell.x + kNameInset, cell.y, cell.width - kNameInset, cell.height};
    if (text.width <= 0 || option.name.empty())
        return;
    // Left aligned, vertically centred, one line.
    painter->DrawText(option.name.c_str(), static_cast<int>(option.name.size()), &text, 0x8 | 0x40);
}

void XPageRadio::DrawBody(XPainter *painter, const BOUND_t *bound)
{
    painter->SetFonter(&style);
    painter->SetTextColor(style.textColor);
    for (const Option &option : m_options) {
        BOUND_t meet;
        if (bound != nullptr && !IntersectBound(&meet, &option.cell, bound))
            continue;
        DrawOption(painter, option);
    }
}
