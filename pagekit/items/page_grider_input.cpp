// The grid's input: message routing, keys, the pointer (column resizing, block dragging,
// check boxes, sorting), the selection step of a click, and the header and row menus.

#include <algorithm>

#include "pagekit/core/item_selector.h"
#include "pagekit/core/menu_item.h"
#include "pagekit/core/page_window.h"
#include "pagekit/items/page_grider.h"
#include "pagekit/items/page_grider_cell.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Drag-state bits.
constexpr uint32_t kDragArmed = 0x1;
constexpr uint32_t kDragSizing = 0x10;
constexpr uint32_t kDragBlock = 0x100;
constexpr uint32_t kDragBand = 0x200;

constexpr int kLeastWide = 20;
constexpr int kMostWide = 65535;
constexpr int kArmLeft = 4;
constexpr int kArmRight = 2;
constexpr int kBandDistance2 = 12;
constexpr int kCursorResize = 21;
constexpr uint32_t kBoxQuestion = 34;
constexpr uint32_t kGrey = kMenuDisabled;

int Handled(XMessage_t *message)
{
    message->state = kMsgDone;
    return 1;
}

} // namespace

bool XPageGrider::IsGridReadOnly() const
{
    return (itemFlags & kItemReadOnly) != 0 || !(extraFlags & kGridEditable);
}

// ---------------------------------------------------------------------------------------
// Routing
// ---------------------------------------------------------------------------------------

int XPageGrider::OnMessage(XMessage_t *message)
{
    // What bubbles up from the editors is theirs: the grid answers for itself only.
    if (IsOwnEditor(message->item))
        return XPageOwner::OnMessage(message);
    const uint32_t code = message->code & 0xFFFF;
    const int x = message->x - body.x;
    const int y = message->y - body.y;
    const bool inBody = x >= 0 && y >= 0 && x < body.width && y < body.height;
    // Drags follow the pointer outside the body too.
    const bool pointer = inBody || (m_drag & (kDragSizing | kDragBlock)) != 0;
    switch (code) {
    case XMSG_KEYDOWN:
        m_keyFlags = message->flags;
        OnKeyDown(static_cast<int>(message->key));
        break;
    case XMSG_BUTTONUP:
        if (pointer && message->key == XMSG_BUTTON_LEFT) {
            OnLButtonUp(static_cast<int>(message->flags), x, y);
            return Handled(message);
        }
        if (inBody && message->key == XMSG_BUTTON_RIGHT) {
            OnRButtonUp(static_cast<int>(message->flags), x, y);
            return Handled(message);
        }
        break;
    case XMSG_BUTTONDOWN:
        if (inBody && message->key == XMSG_BUTTON_LEFT) {
            OnLButtonDown(static_cast<int>(message->flags), x, y);
            return Handled(message);
        }
        break;
    case XMSG_MOUSEMOVE:
        if (pointer)
            OnMouseMove(static_cast<int>(message->flags), x, y);
        break;
    case XMSG_DBLCLICK:
        if (inBody && message->key == XMSG_BUTTON_LEFT) {
            OnLButtonDblck(static_cast<int>(message->flags), x, y);
            return Handled(message);
        }
        break;
    case XMSG_POSTED:
        if (message->key == kGridStartEdit) {
            if (message->row >= 0 && message->column >= 0)
                OnStartEditor(static_cast<unsigned>(message->row),
                              static_cast<unsigned>(message->column));
            return Handled(message);
        }
        break;
    case XMSG_HSCROLL:
    case XMSG_VSCROLL:
        CloseEditor(2);
        FlushExtent();
        break;
    default:
        break;
    }
    return XPageOwner::OnMessage(message);
}

void XPageGrider::MovePlace(const BOUND_t *bound, int flag)
{
    XPageOwner::MovePlace(bound, flag);
    CloseEditor(2);
}

void XPageGrider::OnCreateItem()
{
    XPageOwner::OnCreateItem();
    UpdateStyleDesc(1);
    const unsigned least = static_cast<unsigned>(style.fontSize > 0 ? style.fontSize : 12) + 6;
    m_rowHeight = std::max(m_rowHeight, least);
    m_lineHeight = std::max(m_lineHeight, least);
    UpdateExtent();
}

// ---------------------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------------------

void XPageGrider::SelectRow(XMatterNode *row)
{
    if (row == nullptr)
        return;
    EnsureVisible(row->index, 0);
    SetChoice(static_cast<void *>(row));
}

void XPageGrider::OnKeyDown(int key)
{
    const bool ctrl = (m_keyFlags & XMSG_STATE_CTRL) != 0;
    XMatterNode *first = m_head != nullptr && IsDataMatter(m_head) ? m_head : nullptr;
    // Rows hidden in a collapsed subtree of a tree grid are passed over.
    auto shown = [this](XMatterNode *r) { return GetShownPlace(r->index) >= 0; };
    switch (key) {
    case 35: { // End
        auto *r = static_cast<XMatterNode *>(GetPrevItem(nullptr));
        while (r != nullptr && !shown(r))
            r = static_cast<XMatterNode *>(GetPrevItem(r));
        SelectRow(r);
        break;
    }
    case 36: // Home
        SelectRow(first);
        break;
    case 38: { // Up
        XMatterNode *selected = static_cast<XMatterNode *>(GetNextChoice(nullptr));
        XMatterNode *before = nullptr;
        if (selected != nullptr) {
            before = static_cast<XMatterNode *>(GetPrevItem(selected));
            while (before != nullptr && !shown(before))
                before = static_cast<XMatterNode *>(GetPrevItem(before));
        }
        SelectRow(before != nullptr ? before : first);
        break;
    }
    case 40: { // Down
        XMatterNode *last = nullptr;
        for (void *r = GetNextChoice(nullptr); r != nullptr; r = GetNextChoice(r))
            last = static_cast<XMatterNode *>(r);
        if (last == nullptr) {
            SelectRow(first);
        } else {
            auto *r = static_cast<XMatterNode *>(GetNextItem(last));
            while (r != nullptr && !shown(r))
                r = static_cast<XMatterNode *>(GetNextItem(r));
            SelectRow(r);
        }
        break;
    }
    case 66: // Ctrl+B
        if (ctrl)
            OnCopyMatter();
        break;
    case 67: // Ctrl+C
        if (ctrl && m_block[2] > 0 && m_block[3] > 0)
            OnCopyCeller();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------
// The pointer
// ---------------------------------------------------------------------------------------

void XPageGrider::ShowTracker(const BOUND_t &band)
{
    XPageWindow *window = GetPageWindow();
    if (window == nullptr)
        return;
    XPainter *tracker = window->GetTracker(0);
    if (tracker == nullptr || !GetTracker(1, tracker))
        return;
    if (m_trackShown.width > 0)
        tracker->DrawHalftone(&m_trackShown, (m_drag & kDragBand) ? 1 : 0);
    m_trackShown = band;
    if (band.width > 0)
        tracker->DrawHalftone(&band, (m_drag & kDragBand) ? 1 : 0);
}

void XPageGrider::HideTracker(bool close)
{
    ShowTracker(BOUND_t{0, 0, 0, 0});
    XPageWindow *window = GetPageWindow();
    if (close && window != nullptr)
        window->CloseTracker();
}

void XPageGrider::OnMouseMove(int flags, int x, int y)
{
    (void)flags;
    if (extraFlags & (kGridNoDrag | kGridNoHeader))
        return;
    XPageWindow *window = GetPageWindow();
    if (m_drag & kDragSizing) {
        ShowTracker(BOUND_t{x, 0, 1, body.height});
        if (window != nullptr)
            window->SetMouseCursor(kCursorResize);
        return;
    }
    if (m_drag & kDragBlock) {
        const int dx = x - m_pressX;
        const int dy = y - m_pressY;
        if ((m_drag & kDragBand) || dx * dx + dy * dy > kBandDistance2) {
            m_drag |= kDragBand;
            const BOUND_t band = {std::min(x, m_pressX), std::min(y, m_pressY), std::abs(dx) + 1,
                                  std::abs(dy) + 1};
            ShowTracker(band);
        }
        return;
    }
    m_drag &= ~kDragArmed;
    m_sizeColumn = nullptr;
    if (y >= 0 && y < static_cast<int>(m_titleHeight)) {
        BuildViewOrder();
        // Frozen edges first: they lie over the scrolling columns.
        for (int pass = 0; pass < 2 && m_sizeColumn == nullptr; ++pass) {
            for (XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext) {
                const bool frozen = static_cast<unsigned>(c->viewIndex) < m_lockCount;
                if (frozen != (pass == 0) || c->header.wide == 0)
                    continue;
                const int left = ColumnLeft(c);
                const int edge = left + c->header.wide;
                if (!frozen && edge < static_cast<int>(m_lockEdge))
                    continue;
                if (x >= edge - kArmLeft && x <= edge + kArmRight) {
                    m_sizeColumn = c;
                    m_sizeLeft = left;
                    break;
                }
            }
        }
        if (m_sizeColumn != nullptr)
            m_drag |= kDragArmed;
    }
    if ((m_drag & kDragArmed) && window != nullptr)
        window->SetMouseCursor(kCursorResize);
}

void XPageGrider::OnLButtonDown(int flags, int x, int y)
{
    CloseEditor(2);
    XPageWindow *window = GetPageWindow();
    if ((m_drag & kDragArmed) && m_sizeColumn != nullptr) {
        if (window != nullptr)
            window->SetCaptureItem(this);
        m_drag = kDragArmed | kDragSizing;
        m_pressX = x;
        m_trackShown = {0, 0, 0, 0};
        ShowTracker(BOUND_t{x, 0, 1, body.height});
        return;
    }
    int col = -1;
    XHeaderNode *column = nullptr;
    const int row = HitTest(x, y, &col, &column);
    const int mode = (flags & 0x1) ? 1 : (flags & 0x2) ? 2 : 0;
    HitChoice(row - 1, col - 1, mode);
    if (mode != 0)
        return;
    XMatterNode *node = row >= 1 ? m_rows[static_cast<unsigned>(row - 1)] : nullptr;
    if (node == nullptr || column == nullptr || !IsDataMatter(node))
        return;
    int started = 0;
    if (IsGridReadOnly())
        started = OnStartMonter(static_cast<unsigned>(row - 1), static_cast<unsigned>(col - 1));
    else if (!(extraFlags & kGridDblEdit))
        started = OnStartEditor(static_cast<unsigned>(row - 1), static_cast<unsigned>(col - 1));
    if (started)
        return;
    m_anchor[0] = col - 1;
    m_anchor[1] = row - 1;
    m_pressX = x;
    m_pressY = y;
    m_trackShown = {0, 0, 0, 0};
    m_drag = kDragBlock;
    if (window != nullptr)
        window->SetCaptureItem(this);
}

void XPageGrider::SetBlock(int viewCol, int row, int cols, int rows)
{
    m_block[0] = viewCol;
    m_block[1] = row;
    m_block[2] = cols;
    m_block[3] = rows;
}

void XPageGrider::HitChoice(int row, int viewCol, int mode)
{
    XMatterNode *node = row >= 0 && static_cast<unsigned>(row) < m_rowCount ? m_rows[row] : nullptr;
    if (node != nullptr && !IsDataMatter(node)) {
        node = nullptr;
        row = -1;
    }
    if (node == nullptr)
        row = -1;
    if (mode == 3 && node != nullptr && (node->state & kMatterSelected))
        return;
    const bool blockSet = m_block[2] > 0 && m_block[3] > 0;
    if (!(extraFlags & kGridMultiSelect)) {
        SetChoice(row);
    } else if (mode == 2 && blockSet && node != nullptr) {
        const int from = std::min(m_anchor[1], row);
        const int to = std::max(m_anchor[1], row);
        for (XMatterNode *r = m_head; r != nullptr; r = r->next)
            r->state &= ~kMatterSelected;
        for (int i = std::max(from, 0); i <= to && static_cast<unsigned>(i) < m_rowCount; ++i)
            if (IsDataMatter(m_rows[i]))
                m_rows[i]->state |= kMatterSelected;
        const int lastCol = viewCol >= 0 ? viewCol : static_cast<int>(m_colCount) - 1;
        const int c0 = std::min(m_anchor[0], lastCol);
        const int c1 = std::max(m_anchor[0], lastCol);
        SetBlock(std::max(c0, 0), from, c1 - std::max(c0, 0) + 1, to - from + 1);
        RequestUpdate(false);
        return;
    } else if (mode == 1 && node != nullptr) {
        node->state ^= kMatterSelected;
        if (!(node->state & kMatterSelected)) {
            SetBlock(-1, -1, 0, 0);
            RequestUpdate(false);
            return;
        }
    } else {
        SetChoice(row);
    }
    if (row >= 0 && viewCol >= 0)
        SetBlock(viewCol, row, 1, 1);
    else
        SetBlock(-1, -1, 0, 0);
    m_anchor[0] = m_block[0];
    m_anchor[1] = m_block[1];
    RequestUpdate(false);
}

void XPageGrider::ToggleCheck(XMatterNode *row, XHeaderNode *column)
{
    const auto def = static_cast<unsigned>(column->defIndex);
    XSuberNode *cell = &row->subers[def];
    const uint16_t oldNull = cell->isNull;
    const int64_t oldValue = cell->value.integer;
    const int64_t value = (cell->isNull || cell->value.integer == 0) ? 1 : 0;
    CellSetInteger(column->header, cell, value);
    const unsigned removals = m_removals;
    const unsigned columns = m_colCount;
    const bool agreed = NotifyClickItem(row, def);
    if (!StillHere(row, removals) || m_colCount != columns)
        return; // the receiver took the row or the column away
    if (!agreed) {
        // Vetoed: the old null flag and low word come back.
        if (oldNull)
            CellSetNull(column->header, cell);
        else
            CellSetInteger(column->header, cell, oldValue);
        return;
    }
    if (extraFlags & kGridEditable) {
        // What SetSuber does, so that savers see the change.
        AfterCellChange(row, def);
        return;
    }
    InvalidateRow(row);
}

void XPageGrider::ToggleHeaderCheck(XHeaderNode *column)
{
    const uint32_t state = column->header.format == 0 ? 1 : 0;
    column->header.format = state;
    const auto def = static_cast<unsigned>(column->defIndex);
    if (NotifyCheckHeader(def, state)) {
        const bool editable = (extraFlags & kGridEditable) != 0;
        const unsigned saved = m_update;
        if (m_update == 0)
            m_update = kUpdatePending;
        for (XMatterNode *r = m_head; r != nullptr; r = r->next) {
            if (!IsDataMatter(r))
                continue;
            CellSetInteger(column->header, &r->subers[def], state);
            if (editable)
                AfterCellChange(r, def);
        }
        m_update = saved;
        if (editable)
            m_update |= kUpdatePending | kUpdateData;
    }
    Invalidate(nullptr, 0);
}

void XPageGrider::OnLButtonUp(int flags, int x, int y)
{
    (void)flags;
    XPageWindow *window = GetPageWindow();
    if (m_drag & kDragSizing) {
        if (window != nullptr && window->GetCaptureItem() == this)
            window->SetCaptureItem(nullptr);
        HideTracker(true);
        XHeaderNode *column = m_sizeColumn;
        m_drag = 0;
        m_sizeColumn = nullptr;
        if (column != nullptr) {
            const int wide = std::clamp(x - m_sizeLeft, kLeastWide, kMostWide);
            column->header.wide = static_cast<uint16_t>(wide);
            UpdateExtent();
            FlushExtent();
            Invalidate(nullptr, 0);
        }
        return;
    }
    int col = -1;
    XHeaderNode *column = nullptr;
    const int row = HitTest(x, y, &col, &column);
    if (m_drag & kDragBlock) {
        // A release far from the press is a drag even when no move came between.
        const int dx = x - m_pressX;
        const int dy = y - m_pressY;
        const bool moved = (m_drag & kDragBand) != 0 || dx * dx + dy * dy > kBandDistance2;
        if (window != nullptr && window->GetCaptureItem() == this)
            window->SetCaptureItem(nullptr);
        HideTracker(true);
        m_drag = 0;
        if (moved) {
            // Released right of the columns: to the last one; left of the guide: the first.
            int endCol = col - 1;
            if (col < 0)
                endCol = static_cast<int>(m_colCount) - 1;
            else if (col == 0)
                endCol = 0;
            int endRow = row >= 1 ? row - 1 : row == 0 ? 0 : static_cast<int>(m_rowCount) - 1;
            const int c0 = std::min(m_anchor[0], endCol);
            const int c1 = std::max(m_anchor[0], endCol);
            const int r0 = std::min(m_anchor[1], endRow);
            const int r1 = std::max(m_anchor[1], endRow);
            if (c0 >= 0 && r0 >= 0)
                SetBlock(c0, r0, c1 - c0 + 1, r1 - r0 + 1);
            if (extraFlags & kGridMultiSelect) {
                for (int i = r0; i <= r1 && i >= 0 && static_cast<unsigned>(i) < m_rowCount; ++i)
                    if (IsDataMatter(m_rows[i]))
                        m_rows[i]->state |= kMatterSelected;
            }
            RequestUpdate(false);
            return;
        }
    }
    if (row >= 1 && column != nullptr) {
        XMatterNode *node = m_rows[static_cast<unsigned>(row - 1)];
        if (!IsDataMatter(node))
            return;
        if (column->header.cellKind == kCellCheck)
            ToggleCheck(node, column);
        else
            NotifyClickItem(node, static_cast<unsigned>(column->defIndex));
        return;
    }
    if (row == 0 && column != nullptr) {
        if (column->header.cellKind == kCellCheck) {
            ToggleHeaderCheck(column);
        } else if (!(extraFlags & kGridNoSort)) {
            const auto def = static_cast<unsigned>(column->defIndex);
            const bool wasAscending = m_sortCol == def;
            SortMatter(&def, 1, wasAscending ? 1 : 0);
            Invalidate(nullptr, 0);
        }
        return;
    }
    if (row == 0 && col == 0 && (extraFlags & kGridFilterMenu))
        Notify(kGridRequestFilter, -1, static_cast<int32_t>(kDeleteChoiceRow), 0, nullptr);
}

void XPageGrider::OnLButtonDblck(int flags, int x, int y)
{
    (void)flags;
    int col = -1;
    XHeaderNode *column = nullptr;
    const int row = HitTest(x, y, &col, &column);
    if (row < 1 || column == nullptr)
        return;
    XMatterNode *node = m_rows[static_cast<unsigned>(row - 1)];
    if (!IsDataMatter(node))
        return;
    if (extraFlags & kGridDblEdit) {
        const auto r = static_cast<unsigned>(row - 1);
        const auto c = static_cast<unsigned>(col - 1);
        const int started = IsGridReadOnly() ? OnStartMonter(r, c) : OnStartEditor(r, c);
        if (started)
            return;
    }
    NotifyDblclkItem(node, static_cast<unsigned>(column->defIndex));
}

// ---------------------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------------------

void XPageGrider::OnRButtonUp(int flags, int x, int y)
{
    (void)flags;
    CloseEditor(2);
    int col = -1;
    XHeaderNode *column = nullptr;
    const int row = HitTest(x, y, &col, &column);
    if (row == 0) {
        if (!(extraFlags & kGridHeaderMenu))
            return;
        XMenuItem entries[4];
        SetupMenuItem(&entries[0], kHeadMenuSettings, 0, u"设置列属性");
        SetupMenuItem(&entries[1], kHeadMenuFreeze, col >= 1 ? 0u : kGrey, u"设为锁定列");
        SetupMenuItem(&entries[2], kHeadMenuUnfreeze, 0, u"取消锁定列");
        SetupMenuItem(&entries[3], kHeadMenuFilter, 0, u"设置筛选项");
        const unsigned count = (extraFlags & kGridFilterMenu) ? 4 : 3;
        switch (PopupMenubar(this, entries, count)) {
        case kHeadMenuSettings:
            OpenHeaderEditor();
            break;
        case kHeadMenuFreeze:
            if (col >= 1 && SetLockHeader(static_cast<unsigned>(col)))
                FlushExtent();
            Invalidate(nullptr, 0);
            break;
        case kHeadMenuUnfreeze:
            SetLockHeader(0);
            Invalidate(nullptr, 0);
            break;
        case kHeadMenuFilter:
            Notify(kGridRequestFilter, -1,
                   col >= 1 ? col - 1 : static_cast<int32_t>(kDeleteChoiceRow), 0, nullptr);
            break;
        default:
            break;
        }
        return;
    }
    HitChoice(row - 1, col - 1, 3);
    int index = row >= 1 ? row - 1 : -2;
    if (row >= 1 && m_rows[static_cast<unsigned>(index)]->adder >= kAdderSubtotal)
        index = m_rows[static_cast<unsigned>(index)]->adder == kAdderTotal ? -1 : -2;
    if (!NotifyRClickItem(index, column != nullptr ? static_cast<unsigned>(column->defIndex) : 0))
        return;
    if (IsGridReadOnly() || !(extraFlags & kGridRowMenu))
        return;
    const int hit = index >= 0 ? index : -1;
    const unsigned command = PopupEditbar(hit, col - 1);
    if (command != 0)
        OnEditbarCommand(command, hit);
}

uint32_t XPageGrider::AskContextMenu(int row)
{
    XMessage_t message = {};
    message.code = kGridOnContextMenu;
    message.state = kMsgHandled;
    message.row = row;
    message.item = this;
    XMatterNode *handle = row >= 0 ? GetItemMatter(static_cast<unsigned>(row)) : nullptr;
    message.value = reinterpret_cast<uintptr_t>(handle);
    DispatchMessage(&message);
    return message.flags;
}

unsigned XPageGrider::PopupEditbar(int row, int viewCol)
{
    (void)viewCol;
    XMenuItem entries[kEditbarEntries];
    BuildEditbar(row, entries);
    return PopupMenubar(this, entries, kEditbarEntries);
}

void XPageGrider::BuildEditbar(int row, XMenuItem *entries)
{
    const bool hit = row >= 0;
    const bool block = m_block[2] > 0 && m_block[3] > 0;
    SetupMenuItem(&entries[0], kRowMenuCopy, hit ? 0u : kGrey, u"复制 (&C)");
    SetupMenuItem(&entries[1], kRowMenuPaste, 0, u"粘贴 (&V)");
    SetupMenuItem(&entries[2], kRowMenuCopyBlock, block ? 0u : kGrey, u"区域复制 (&B)");
    SetupMenuItem(&entries[3], kRowMenuPasteBlock, block ? 0u : kGrey, u"区域粘贴 (&P)");
    SetupMenuItem(&entries[4], kRowMenuClearBlock, block ? 0u : kGrey, u"区域清空 (&T)");
    SetupMenuItem(&entries[5], 0, 0, u"---");
    SetupMenuItem(&entries[6], kRowMenuInsert, hit ? 0u : kGrey, u"插入一行 (&N)");
    SetupMenuItem(&entries[7], kRowMenuAppend, 0, u"追加一行 (&A)");
    SetupMenuItem(&entries[8], kRowMenuAddChild, kMenuSkipped, u"添加子项 (&S)");
    SetupMenuItem(&entries[9], kRowMenuDelete, hit ? 0u : kGrey, u"删除选项 (&D)");
    SetupMenuItem(&entries[10], 0, 0, u"---");
    SetupMenuItem(&entries[11], kRowMenuClearAll, 0, u"清空所有项 (&X)");
    const uint32_t answer = AskContextMenu(row);
    auto grey = [&](unsigned i) {
        if (entries[i].flags < kMenuSkipped)
            entries[i].flags |= kMenuDisabled;
    };
    if (answer & kMenuNoInsert) {
        grey(1);
        grey(6);
        grey(7);
    }
    if (answer & kMenuNoDelete) {
        grey(0);
        grey(3);
        grey(4);
        grey(9);
    }
    if (answer & (kMenuNoDelete | kMenuNoClear))
        grey(11);
    if ((answer & kMenuAddChild) && (extraFlags & kGridTree) && hit)
        entries[8].flags = 0;
    if (!(extraFlags & kGridBlockEdit)) {
        entries[2].flags = kMenuSkipped;
        entries[3].flags = kMenuSkipped;
        entries[4].flags = kMenuSkipped;
    }
}

void XPageGrider::InsertFromMenu(unsigned command, int row)
{
    XMatterNode *at = row >= 0 && static_cast<unsigned>(row) < m_rowCount ? m_rows[row] : nullptr;
    unsigned index = m_rowCount;
    unsigned layer = at != nullptr ? at->layer : 0;
    if (command == kRowMenuInsert) {
        if (at == nullptr)
            return;
        index = at->index;
    } else if (command == kRowMenuAppend) {
        if (at != nullptr && (extraFlags & kGridTree)) {
            XMatterNode *end = at;
            while (end->next != nullptr && end->next->layer >= at->layer)
                end = end->next;
            index = end->index + 1;
        }
    } else {
        if (at == nullptr)
            return;
        XMatterNode *end = at;
        while (end->next != nullptr && end->next->layer > at->layer)
            end = end->next;
        index = end->index + 1;
        layer = at->layer + 1u;
    }
    const unsigned removals = m_removals;
    void *made = CreateMatter(index, nullptr, nullptr);
    if (made != nullptr && StillHere(made, removals))
        SetItemLayer(made, layer);
}

void XPageGrider::OnEditbarCommand(unsigned command, int row)
{
    switch (command) {
    case kRowMenuCopy:
        OnCopyMatter();
        break;
    case kRowMenuPaste:
        OnPasteMatter();
        break;
    case kRowMenuCopyBlock:
        OnCopyCeller();
        break;
    case kRowMenuPasteBlock:
        OnPasteCeller();
        break;
    case kRowMenuClearBlock:
        if (MessageBox(u"您准备清空选中单元格的内容，确认吗？", u"警告", kBoxQuestion) == 1)
            OnEmptyCeller();
        break;
    case kRowMenuInsert:
    case kRowMenuAppend:
    case kRowMenuAddChild:
        InsertFromMenu(command, row);
        break;
    case kRowMenuDelete:
        if (MessageBox(u"您准备删除当前数据项，确认吗？", u"警告", kBoxQuestion) == 1 &&
            NotifyBeforeDelete(row, kDeleteChoice))
            DeleteChoice();
        break;
    case kRowMenuClearAll:
        if (MessageBox(u"您准备删除所有数据项，确认吗？", u"警告", kBoxQuestion) == 1 &&
            NotifyBeforeDelete(static_cast<int32_t>(kDeleteChoiceRow), kDeleteAll))
            DeleteAllMatter();
        break;
    default:
        break;
    }
}
