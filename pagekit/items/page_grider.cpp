// The grid item: life, options, base colours, notifications and the update word.

#include "pagekit/items/page_grider.h"

#include "pagekit/core/item_kind.h"

namespace {

// Item flags of the grid: the tab-order walk stays outside; overflow auto on both axes.
constexpr uint32_t kGridItemFlags = 0x10022000;

// Base colours: index, default, use.
//   0 selected rows (text white), 1 cells of the block selection (text white),
//   2 rows with an odd index, 3 the total row, 4 subtotal rows.
constexpr uint32_t kBaseColorDefaults[5] = {0x808000, 0xD0A000, 0xF8F8F8, 0xE8E8FF, 0xE8FFE8};

} // namespace

XPageGrider::XPageGrider()
{
    kind = kKindGrider;
    itemFlags |= kGridItemFlags;
    itemStyle.SetSpace(0, 0, 0, 0, 0);
    for (unsigned i = 0; i < 5; ++i)
        m_baseColors[i] = kBaseColorDefaults[i];
}

XPageGrider::~XPageGrider()
{
    RemoveAllHeader();
    RemoveAllDelete();
}

void XPageGrider::SetReadOnly(int readOnly)
{
    if (readOnly != 0)
        extraFlags &= ~kGridEditable;
    else
        extraFlags |= kGridEditable;
}

void XPageGrider::SetFilterMode(unsigned on)
{
    if (on != 0)
        extraFlags |= kGridFilter;
    else
        extraFlags &= ~kGridFilter;
    RequestUpdate(false);
}

uint32_t XPageGrider::GetBaseColor(unsigned index) const
{
    return index < 5 ? m_baseColors[index] : 0xFFFFFFFF;
}

void XPageGrider::SetBaseColor(unsigned index, uint32_t color)
{
    if (index >= 5)
        return;
    m_baseColors[index] = color == 0xFFFFFFFF ? kBaseColorDefaults[index] : color;
    RequestUpdate(false);
}

void XPageGrider::SetDrawProc(void *user, XGridDrawProc proc)
{
    m_drawUser = user;
    m_drawProc = proc;
}

uint32_t XPageGrider::Notify(uint32_t code, int32_t row, int32_t column, uint32_t param,
                             const void *value)
{
    XMessage_t message = {};
    message.code = code;
    message.state = kMsgHandled;
    message.key = param;
    message.row = row;
    message.column = column;
    message.item = this;
    message.value = reinterpret_cast<uintptr_t>(value);
    DispatchMessage(&message);
    return message.state;
}

bool XPageGrider::NotifyClickItem(XMatterNode *row, unsigned col)
{
    const XHeaderNode *column = GetHeaderNode(col);
    if (row == nullptr || column == nullptr)
        return false;
    const uint32_t word = column->header.cellKind | uint32_t{column->header.cellMode} << 16;
    return Notify(kGridOnClickItem, static_cast<int32_t>(row->index), static_cast<int32_t>(col),
                  word, row) != kMsgStop;
}

bool XPageGrider::NotifyRClickItem(int32_t row, unsigned col)
{
    XMatterNode *handle = row >= 0 ? GetItemMatter(static_cast<unsigned>(row)) : nullptr;
    return Notify(kGridOnRClickItem, row, static_cast<int32_t>(col), 0, handle) != kMsgStop;
}

void XPageGrider::NotifyDblclkItem(XMatterNode *row, unsigned col)
{
    if (row != nullptr)
        Notify(kGridOnDblclkItem, static_cast<int32_t>(row->index), static_cast<int32_t>(col), 0,
               row);
}

bool XPageGrider::NotifyCheckHeader(unsigned col, uint32_t state)
{
    return Notify(kGridOnCheckHeader, -1, static_cast<int32_t>(col), state, nullptr) != kMsgStop;
}

bool XPageGrider::NotifyEditItem(uint32_t code, XMatterNode *row, unsigned col)
{
    if (row == nullptr)
        return false;
    return Notify(code, static_cast<int32_t>(row->index), static_cast<int32_t>(col), 0, row) !=
           kMsgStop;
}

bool XPageGrider::NotifyContextMenu(int32_t row)
{
    XMatterNode *handle = row >= 0 ? GetItemMatter(static_cast<unsigned>(row)) : nullptr;
    return Notify(kGridOnContextMenu, row, 0, 0, handle) != kMsgStop;
}

bool XPageGrider::NotifyBeforeDelete(int32_t row, int32_t subcode)
{
    XMatterNode *handle = row >= 0 ? GetItemMatter(static_cast<unsigned>(row)) : nullptr;
    return Notify(kGridOnDeleteItem, row, subcode, 1, handle) != kMsgStop;
}

void XPageGrider::RequestUpdate(bool data)
{
    if (m_update == 0) {
        Invalidate(nullptr, 0);
        m_update = kUpdatePending;
    }
    if (data)
        m_update |= kUpdateData;
}

void XPageGrider::FlushUpdate()
{
    if (m_update & kUpdateData) {
        ComputeSchedule();
        m_update = 0; // the totals below must not re-arm it
        ComputeAggregate(-1);
    }
    m_update = 0;
}

void XPageGrider::InvalidateRow(XMatterNode *row)
{
    BOUND_t cell;
    if (row == nullptr || m_update != 0 || m_extentStale || !(itemFlags & kItemCreated) ||
        !GetCellPlace(static_cast<int>(row->index), -1, &cell)) {
        RequestUpdate(false);
        return;
    }
    // The whole body width: frozen columns and the guide cell are in the row too.
    cell.x = scroll.x;
    cell.width = body.width;
    Invalidate(&cell, 0);
}

// ---- hooks of the layout and editing code ----------------------------------------------

void XPageGrider::UpdateExtent()
{
    m_extentStale = true;
    MarkRowsChanged();
}
