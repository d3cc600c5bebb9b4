// The grid's rows: insertion and its placement, removal through the deleted list or
// release, moves, row fields, and the selection.
//
// The position table m_rows follows the list at every change: m_rows[i]->index == i.
// Appending (also before a trailing total row) touches O(1) entries; a change in the
// middle renumbers from the place of the change.

#include <algorithm>

#include "corekit/memory/memory.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/items/page_grider.h"
#include "pagekit/items/page_grider_cell.h"

namespace {
constexpr uint32_t kUnsetColor = 0xFFFFFFFF;
} // namespace

// ---- the list and its position table -------------------------------------------------

bool XPageGrider::Owns(const void *row) const
{
    if (row == nullptr)
        return false;
    const auto *r = static_cast<const XMatterNode *>(row);
    return r->index < m_rows.size() && m_rows[r->index] == r;
}

void XPageGrider::ReindexFrom(XMatterNode *row)
{
    // Called with the first row whose place changed; rows before it keep theirs.
    MarkRowsChanged();
    unsigned i = row != nullptr && row->prev != nullptr ? row->prev->index + 1 : 0;
    m_rows.resize(i);
    for (XMatterNode *r = row; r != nullptr; r = r->next) {
        r->index = i++;
        m_rows.push_back(r);
    }
    m_rowCount = static_cast<unsigned>(m_rows.size());
}

void XPageGrider::Renumber()
{
    m_rows.clear();
    ReindexFrom(m_head);
}

XMatterNode *XPageGrider::RowAt(int index) const
{
    return index >= 0 && static_cast<unsigned>(index) < m_rows.size() ? m_rows[index] : nullptr;
}

XMatterNode *XPageGrider::TotalTail() const
{
    // The last row that is not a total row; null when every row is one.
    XMatterNode *p = m_tail;
    while (p != nullptr && p->adder >= kAdderTotal)
        p = p->prev;
    return p;
}

XMatterNode *XPageGrider::AllocMatter()
{
    auto *row = new XMatterNode{};
    row->backColor = kUnsetColor;
    row->textColor = kUnsetColor;
    row->subers = new XSuberNode[m_colCount > 0 ? m_colCount : 1]{};
    for (unsigned i = 0; i < m_colCount; ++i) {
        row->subers[i].isNull = 1;
        row->subers[i].backColor = kUnsetColor;
        row->subers[i].textColor = kUnsetColor;
    }
    return row;
}

void XPageGrider::LinkMatter(XMatterNode *row, unsigned after, XMatterNode *neighbour)
{
    MarkRowsChanged();
    XMatterNode *prev = nullptr; // the row goes after prev (null: at the head)
    if (m_head == nullptr)
        prev = nullptr;
    else if (after != 0)
        prev = neighbour != nullptr ? neighbour : TotalTail();
    else
        prev = neighbour != nullptr ? neighbour->prev : nullptr;
    XMatterNode *next = prev != nullptr ? prev->next : m_head;
    row->prev = prev;
    row->next = next;
    (prev != nullptr ? prev->next : m_head) = row;
    (next != nullptr ? next->prev : m_tail) = row;
    if (next == nullptr) {
        row->index = static_cast<uint32_t>(m_rows.size());
        m_rows.push_back(row);
        m_rowCount = static_cast<unsigned>(m_rows.size());
    } else {
        ReindexFrom(row);
    }
}

void XPageGrider::UnlinkMatter(XMatterNode *row)
{
    MarkRowsChanged();
    XMatterNode *next = row->next;
    (row->prev != nullptr ? row->prev->next : m_head) = next;
    (next != nullptr ? next->prev : m_tail) = row->prev;
    if (next == nullptr) {
        m_rows.pop_back();
        m_rowCount = static_cast<unsigned>(m_rows.size());
    } else {
        ReindexFrom(next);
    }
    row->next = nullptr;
    row->prev = nullptr;
    if (m_editRow == row)
        m_editRow = nullptr;
}

void XPageGrider::ReleaseCell(XHeaderNode *column, XSuberNode *cell)
{
    CellFree(column->header, cell);
}

bool XPageGrider::StillHere(const void *row, unsigned removals) const
{
    // Nothing left the list since: the row is where it was. Otherwise look for the
    // pointer without reading through it (it may be freed).
    if (row == nullptr)
        return false;
    if (removals == m_removals)
        return true;
    return std::find(m_rows.begin(), m_rows.end(), row) != m_rows.end();
}

void XPageGrider::ReleaseMatter(XMatterNode *row)
{
    ++m_removals;
    for (unsigned i = 0; i < m_colCount; ++i)
        ReleaseCell(m_columns[i], &row->subers[i]);
    if (m_releaseProc != nullptr && row->kape != nullptr)
        m_releaseProc(row->kape);
    delete[] row->subers;
    delete row;
}

void XPageGrider::RetireMatter(XMatterNode *row)
{
    ++m_removals;
    // Only saved data rows are kept: a new row was never stored, and subtotal and total
    // rows are the grid's own.
    const bool keep =
        (extraFlags & kGridKeepDeleted) && !(row->state & kMatterNew) && IsDataMatter(row);
    if (!keep) {
        ReleaseMatter(row);
        return;
    }
    row->prev = m_deletedLast;
    row->next = nullptr;
    (m_deletedLast != nullptr ? m_deletedLast->next : m_deleted) = row;
    m_deletedLast = row;
}

void XPageGrider::ClearBlock()
{
    m_block[0] = -1;
    m_block[1] = -1;
    m_block[2] = 0;
    m_block[3] = 0;
    m_anchor[0] = -1;
    m_anchor[1] = -1;
}

void XPageGrider::GetBlockChoice(int32_t *out) const
{
    if (out != nullptr)
        std::copy(m_block, m_block + 4, out);
}

// ---- insertion ------------------------------------------------------------------------

void *XPageGrider::MallocMatter(unsigned after, void *row, const void *record,
                                const unsigned char *nulls)
{
    if (row != nullptr && !Owns(row))
        return nullptr;
    XMatterNode *made = AllocMatter();
    SetupFromRecord(made, record, nulls);
    made->state = record != nullptr ? kMatterNew | kMatterModified : kMatterNew;
    LinkMatter(made, after, static_cast<XMatterNode *>(row));
    extraFlags |= kGridModified;
    ClearBlock();
    RequestUpdate(true);
    return made;
}

void *XPageGrider::PlaceAt(unsigned index, const void *record, const unsigned char *nulls)
{
    if (index < m_rowCount)
        return MallocMatter(0, m_rows[index], record, nulls);
    return MallocMatter(1, nullptr, record, nulls);
}

void *XPageGrider::InsertNotified(unsigned index, const void *record, const unsigned char *nulls,
                                  int32_t subcode, bool select)
{
    auto *row = static_cast<XMatterNode *>(PlaceAt(index, record, nulls));
    if (row == nullptr)
        return nullptr;
    if (select) {
        for (XMatterNode *r = m_head; r != nullptr; r = r->next)
            r->state &= ~kMatterFlagsLow;
        row->state |= kMatterSelected;
    }
    UpdateExtent();
    const unsigned removals = m_removals;
    Notify(kGridOnInsertItem, static_cast<int32_t>(row->index), subcode, 0, row);
    if (select && StillHere(row, removals))
        Notify(kGridOnSelChange, static_cast<int32_t>(row->index), 0, 0, row);
    return row;
}

void *XPageGrider::CreateMatter(unsigned index, const void *record, const unsigned char *nulls)
{
    return InsertNotified(index, record, nulls, record != nullptr ? kInsertRecord : kInsertUser,
                          true);
}

void *XPageGrider::InsertMatter(unsigned index, const void *record, const unsigned char *nulls)
{
    return InsertNotified(index, record, nulls, kInsertProgram, false);
}

void *XPageGrider::InsertMatter(unsigned after, void *row, const void *record,
                                const unsigned char *nulls)
{
    auto *made = static_cast<XMatterNode *>(MallocMatter(after, row, record, nulls));
    if (made == nullptr)
        return nullptr;
    UpdateExtent();
    Notify(kGridOnInsertItem, static_cast<int32_t>(made->index), kInsertProgram, 0, made);
    return made;
}

// ---- removal --------------------------------------------------------------------------

int XPageGrider::DeleteMatter(unsigned index)
{
    return DeleteMatter(static_cast<void *>(RowAt(static_cast<int>(index))));
}

int XPageGrider::DeleteMatter(void *row)
{
    if (!Owns(row))
        return 0;
    const unsigned removals = m_removals;
    if (m_editor != nullptr)
        CloseEditor(2);
    if (!StillHere(row, removals)) // the commit's receivers may have removed it
        return 0;
    auto *r = static_cast<XMatterNode *>(row);
    const auto index = static_cast<int32_t>(r->index);
    UnlinkMatter(r);
    RetireMatter(r);
    ClearBlock();
    extraFlags |= kGridModified;
    UpdateExtent();
    RequestUpdate(true);
    Notify(kGridOnDeleteItem, index, kDeleteOne, 0, nullptr);
    return 1;
}

int XPageGrider::RemoveMatter(void *row)
{
    if (row == nullptr)
        row = m_head;
    if (!Owns(row))
        return 0;
    auto *r = static_cast<XMatterNode *>(row);
    UnlinkMatter(r);
    RetireMatter(r);
    ClearBlock();
    extraFlags |= kGridModified;
    UpdateExtent();
    RequestUpdate(true);
    return 1;
}

unsigned XPageGrider::DeleteChoice()
{
    if (m_editor != nullptr)
        CloseEditor(2);
    unsigned deleted = 0;
    XMatterNode *r = m_head;
    while (r != nullptr) {
        XMatterNode *next = r->next;
        if ((r->state & kMatterSelected) && IsDataMatter(r)) {
            (r->prev != nullptr ? r->prev->next : m_head) = next;
            (next != nullptr ? next->prev : m_tail) = r->prev;
            if (m_editRow == r)
                m_editRow = nullptr;
            RetireMatter(r);
            ++deleted;
        }
        r = next;
    }
    if (deleted == 0)
        return 0;
    Renumber();
    ClearBlock();
    extraFlags |= kGridModified;
    UpdateExtent();
    RequestUpdate(true);
    Notify(kGridOnDeleteItem, static_cast<int32_t>(kDeleteChoiceRow), kDeleteChoice, 0, nullptr);
    return deleted;
}

unsigned XPageGrider::CutMatterRun(XMatterNode *first, XMatterNode *last)
{
    if (first == nullptr || last == nullptr)
        return 0;
    XMatterNode *before = first->prev;
    XMatterNode *after = last->next;
    (before != nullptr ? before->next : m_head) = after;
    (after != nullptr ? after->prev : m_tail) = before;
    unsigned count = 0;
    for (XMatterNode *r = first; r != after;) {
        XMatterNode *next = r->next;
        if (m_editRow == r)
            m_editRow = nullptr;
        RetireMatter(r);
        ++count;
        r = next;
    }
    MarkRowsChanged();
    ClearBlock();
    extraFlags |= kGridModified;
    return count;
}

void XPageGrider::RetireAll()
{
    XMatterNode *r = m_head;
    m_head = nullptr;
    m_tail = nullptr;
    m_rows.clear();
    m_rowCount = 0;
    MarkRowsChanged();
    m_editRow = nullptr;
    while (r != nullptr) {
        XMatterNode *next = r->next;
        RetireMatter(r);
        r = next;
    }
    ClearBlock();
}

void XPageGrider::DeleteAllMatter()
{
    CloseEditor(0);
    const bool any = m_head != nullptr;
    RetireAll();
    if (any)
        extraFlags |= kGridModified;
    UpdateExtent();
    RequestUpdate(true);
    Notify(kGridOnDeleteItem, static_cast<int32_t>(kDeleteAllRow), kDeleteAll, 0, nullptr);
}

void XPageGrider::RemoveAllMatter()
{
    CloseEditor(0);
    XMatterNode *r = m_head;
    m_head = nullptr;
    m_tail = nullptr;
    m_rows.clear();
    m_rowCount = 0;
    MarkRowsChanged();
    m_editRow = nullptr;
    while (r != nullptr) {
        XMatterNode *next = r->next;
        ReleaseMatter(r);
        r = next;
    }
    ClearBlock();
    UpdateExtent();
    RequestUpdate(true);
}

void XPageGrider::RemoveAllDelete()
{
    XMatterNode *r = m_deleted;
    m_deleted = nullptr;
    m_deletedLast = nullptr;
    while (r != nullptr) {
        XMatterNode *next = r->next;
        ReleaseMatter(r);
        r = next;
    }
}

void XPageGrider::ClearAggregate()
{
    XMatterNode *r = m_head;
    bool any = false;
    while (r != nullptr) {
        XMatterNode *next = r->next;
        if (!IsDataMatter(r)) {
            (r->prev != nullptr ? r->prev->next : m_head) = next;
            (next != nullptr ? next->prev : m_tail) = r->prev;
            if (m_editRow == r)
                m_editRow = nullptr;
            ReleaseMatter(r);
            any = true;
        }
        r = next;
    }
    if (!any)
        return;
    Renumber();
    ClearBlock();
    UpdateExtent();
    RequestUpdate(false);
}

// ---- moves ----------------------------------------------------------------------------

int XPageGrider::MoveMatter(void *row, unsigned where)
{
    if (!Owns(row))
        return 0;
    auto *r = static_cast<XMatterNode *>(row);
    if (!IsDataMatter(r))
        return 0;
    // The place to go: after `prev` (null: the head).
    XMatterNode *prev = nullptr;
    if (where == 0) {
        if (r->prev == nullptr)
            return 0;
        prev = r->prev->prev;
    } else if (where == 1) {
        if (r->next == nullptr || r->next->adder >= kAdderTotal)
            return 0;
        prev = r->next;
    } else if (where == 2) {
        if (r == m_head)
            return 0;
        prev = nullptr;
    } else {
        XMatterNode *last = TotalTail();
        if (last == r)
            return 0;
        prev = last;
    }
    const unsigned from = std::min(r->index, prev != nullptr ? prev->index : 0u);
    (r->prev != nullptr ? r->prev->next : m_head) = r->next;
    (r->next != nullptr ? r->next->prev : m_tail) = r->prev;
    XMatterNode *next = prev != nullptr ? prev->next : m_head;
    r->prev = prev;
    r->next = next;
    (prev != nullptr ? prev->next : m_head) = r;
    (next != nullptr ? next->prev : m_tail) = r;
    // Rows before `from` kept their places; renumber from the row now at `from`.
    ReindexFrom(from == 0 ? m_head : m_rows[from - 1]->next);
    ClearBlock();
    RequestUpdate(true);
    return 1;
}

void XPageGrider::UpdateMatter()
{
    Renumber();
    UpdateExtent();
    RequestUpdate(true);
}

// ---- walks ----------------------------------------------------------------------------

XMatterNode *XPageGrider::GetItemMatter(unsigned index)
{
    return RowAt(static_cast<int>(index));
}

void *XPageGrider::GetNextItem(void *row) const
{
    if (row != nullptr && !Owns(row))
        return nullptr;
    XMatterNode *r = row != nullptr ? static_cast<XMatterNode *>(row)->next : m_head;
    while (r != nullptr && !IsDataMatter(r))
        r = r->next;
    return r;
}

void *XPageGrider::GetPrevItem(void *row) const
{
    if (row != nullptr && !Owns(row))
        return nullptr;
    XMatterNode *r = row != nullptr ? static_cast<XMatterNode *>(row)->prev : m_tail;
    while (r != nullptr && !IsDataMatter(r))
        r = r->prev;
    return r;
}

void *XPageGrider::GetNextItemEx(void *row) const
{
    if (row == nullptr)
        return m_head;
    return Owns(row) ? static_cast<XMatterNode *>(row)->next : nullptr;
}

void *XPageGrider::GetNextChoice(void *row) const
{
    auto *r = static_cast<XMatterNode *>(GetNextItem(row));
    while (r != nullptr && !(r->state & kMatterSelected))
        r = static_cast<XMatterNode *>(GetNextItem(r));
    return r;
}

void *XPageGrider::GetNextDelete(void *row) const
{
    return row == nullptr ? m_deleted : static_cast<XMatterNode *>(row)->next;
}

void *XPageGrider::SearchData(int64_t data) const
{
    for (XMatterNode *r = m_head; r != nullptr; r = r->next)
        if (r->data == data)
            return r;
    return nullptr;
}

unsigned XPageGrider::GetItemIndex(void *row)
{
    return Owns(row) ? static_cast<XMatterNode *>(row)->index : 0xFFFFFFFF;
}

// ---- row fields (rows of the list and of the deleted list alike) ---------------------

#define ROW(h) static_cast<XMatterNode *>(h)

uint32_t XPageGrider::GetItemState(void *row) const
{
    return row != nullptr ? ROW(row)->state : 0;
}
void XPageGrider::SetItemState(void *row, uint32_t state)
{
    if (row == nullptr)
        return;
    const bool folding = ((ROW(row)->state ^ state) & kMatterCollapsed) != 0;
    ROW(row)->state = static_cast<uint16_t>(state);
    if (folding && Owns(row)) {
        // Tree grids hide or show rows by this bit: the shown rows and extents change.
        UpdateExtent();
        RequestUpdate(false);
    }
}
uint32_t XPageGrider::GetItemAdder(void *row) const
{
    return row != nullptr ? ROW(row)->adder : 0;
}
void XPageGrider::SetItemAdder(void *row, uint32_t adder)
{
    if (row != nullptr)
        ROW(row)->adder = static_cast<uint16_t>(adder);
    MarkRowsChanged();
}
unsigned XPageGrider::GetItemLayer(void *row) const
{
    return row != nullptr ? ROW(row)->layer : 0;
}
void XPageGrider::SetItemLayer(void *row, unsigned layer)
{
    if (row == nullptr)
        return;
    ROW(row)->layer = static_cast<uint16_t>(layer);
    if (Owns(row))
        UpdateExtent(); // the shape of a tree changed
}
unsigned XPageGrider::GetItemImage(void *row) const
{
    return row != nullptr ? ROW(row)->image : 0;
}
void XPageGrider::SetItemImage(void *row, unsigned image)
{
    if (row != nullptr)
        ROW(row)->image = image;
}
int64_t XPageGrider::GetItemData(void *row) const
{
    return row != nullptr ? ROW(row)->data : 0;
}
void XPageGrider::SetItemData(void *row, int64_t data)
{
    if (row != nullptr)
        ROW(row)->data = data;
}
void *XPageGrider::GetItemKape(void *row) const
{
    return row != nullptr ? ROW(row)->kape : nullptr;
}
void XPageGrider::SetItemKape(void *row, void *kape)
{
    if (row != nullptr)
        ROW(row)->kape = kape;
}

void XPageGrider::SetItemChoice(void *row, int choice)
{
    if (row == nullptr)
        return;
    if (choice != 0)
        ROW(row)->state |= kMatterSelected;
    else
        ROW(row)->state &= ~kMatterSelected;
}

void XPageGrider::SetItemColor(void *row, uint32_t back, uint32_t text)
{
    if (row == nullptr)
        return;
    ROW(row)->backColor = back;
    ROW(row)->textColor = text;
    InvalidateRow(ROW(row));
}

void XPageGrider::GetCellColor(void *row, unsigned col, uint32_t *out) const
{
    if (row == nullptr || col >= m_colCount || out == nullptr)
        return;
    const XSuberNode &cell = ROW(row)->subers[col];
    out[0] = cell.backColor != kUnsetColor ? cell.backColor : ROW(row)->backColor;
    out[1] = cell.textColor != kUnsetColor ? cell.textColor : ROW(row)->textColor;
}

void XPageGrider::SetCellColor(void *row, unsigned col, uint32_t back, uint32_t text)
{
    if (row == nullptr || col >= m_colCount)
        return;
    ROW(row)->subers[col].backColor = back;
    ROW(row)->subers[col].textColor = text;
    InvalidateRow(ROW(row));
}

#undef ROW

void XPageGrider::SetModifyState(int modified)
{
    if (modified == 0) {
        extraFlags &= ~kGridModified;
        return;
    }
    extraFlags |= kGridModified;
    for (XMatterNode *r = m_head; r != nullptr; r = r->next)
        if (IsDataMatter(r))
            r->state |= kMatterNew | kMatterModified;
}

// ---- selection ------------------------------------------------------------------------

int XPageGrider::GetChoice() const
{
    for (XMatterNode *r = m_head; r != nullptr; r = r->next)
        if (r->state & kMatterSelected)
            return static_cast<int>(r->index);
    return -1;
}

unsigned XPageGrider::GetSelNumber() const
{
    unsigned n = 0;
    for (XMatterNode *r = m_head; r != nullptr; r = r->next)
        n += (r->state & kMatterSelected) != 0;
    return n;
}

void XPageGrider::ClearChoice()
{
    bool any = false;
    for (XMatterNode *r = m_head; r != nullptr; r = r->next) {
        any = any || (r->state & kMatterSelected);
        r->state &= ~kMatterSelected;
    }
    ClearBlock();
    if (any) {
        RequestUpdate(false);
        Notify(kGridOnKillChoice, -1, 0, 0, nullptr);
    }
}

int XPageGrider::SetChoice(int index)
{
    XMatterNode *target = RowAt(index);
    if (target != nullptr && !IsDataMatter(target))
        target = nullptr;
    bool changed = false;
    for (XMatterNode *r = m_head; r != nullptr; r = r->next) {
        if (r != target && (r->state & kMatterSelected)) {
            r->state &= ~kMatterSelected;
            changed = true;
        }
    }
    const bool newly = target != nullptr && !(target->state & kMatterSelected);
    if (newly)
        target->state |= kMatterSelected;
    ClearBlock();
    if (!changed && !newly)
        return 0;
    RequestUpdate(false);
    if (newly)
        Notify(kGridOnSelChange, static_cast<int32_t>(target->index), 0, 0, target);
    else
        Notify(kGridOnKillChoice, -1, 0, 0, nullptr);
    return 1;
}

int XPageGrider::SetChoice(void *row)
{
    XMatterNode *target = Owns(row) ? static_cast<XMatterNode *>(row) : nullptr;
    bool changed = false;
    for (XMatterNode *r = m_head; r != nullptr; r = r->next) {
        if (r == target)
            continue;
        changed = changed || (r->state & kMatterSelected);
        r->state &= ~kMatterFlagsLow;
    }
    const bool newly = target != nullptr && !(target->state & kMatterSelected);
    if (newly)
        target->state |= kMatterSelected;
    ClearBlock();
    if (!changed && !newly)
        return 0;
    RequestUpdate(false);
    if (newly)
        Notify(kGridOnSelChange, static_cast<int32_t>(target->index), 0, 0, target);
    else
        Notify(kGridOnKillChoice, -1, 0, 0, nullptr);
    return 1;
}
