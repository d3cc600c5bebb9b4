// The tree grid: the implicit tree over the grid's rows, placement of new rows,
// collapsing, deleting subtrees, the shown-row table, geometry and the tree drawing.

#include "pagekit/items/page_tree_grider.h"

#include <algorithm>

#include "pagekit/core/ctrl_icon.h"
#include "pagekit/core/page_message.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/paint/bound.h"
#include "platform/panekit/paint/xpainter.h"
#include "platform/panekit/window/xmessage.h"

namespace {

constexpr uint32_t kTreePen = 17; // dotted
constexpr uint32_t kTreeLine = 0x808080;
constexpr int kNoIconWide = 16;
constexpr uint16_t kDeepestLayer = 0xFFFF;
// Key-flag bits of a press that make it a selection click.
constexpr uint32_t kPressKeys = 0x3;

XMatterNode *Row(void *row)
{
    return static_cast<XMatterNode *>(row);
}

} // namespace

XTreeGrider::XTreeGrider()
{
    extraFlags = kTreeGridOptions;
}

XTreeGrider::~XTreeGrider() = default;

bool XTreeGrider::Known(const void *row)
{
    return row != nullptr && GetItemIndex(const_cast<void *>(row)) != 0xFFFFFFFF;
}

// ---- the tree ---------------------------------------------------------------------------

void *XTreeGrider::GetRootItem()
{
    return GetNextItemEx(nullptr);
}

void *XTreeGrider::GetNextNode(void *row)
{
    if (!Known(row))
        return nullptr;
    XMatterNode *next = Row(row)->next;
    return next != nullptr && next->layer == Row(row)->layer ? next : nullptr;
}

void *XTreeGrider::GetChildItem(void *row)
{
    if (!Known(row))
        return nullptr;
    XMatterNode *next = Row(row)->next;
    return next != nullptr && next->layer > Row(row)->layer ? next : nullptr;
}

void *XTreeGrider::GetParentItem(void *row)
{
    if (!Known(row))
        return nullptr;
    const uint16_t layer = Row(row)->layer;
    for (XMatterNode *r = Row(row)->prev; r != nullptr && layer > 0; r = r->prev)
        if (r->layer < layer)
            return r;
    return nullptr;
}

bool XTreeGrider::HasChildren(const void *row) const
{
    const auto *r = static_cast<const XMatterNode *>(row);
    return r != nullptr && r->next != nullptr && r->next->layer > r->layer;
}

XMatterNode *XTreeGrider::GetSubtreeEnd(XMatterNode *row) const
{
    XMatterNode *end = row;
    // A total row closes every subtree: it stays last.
    while (end->next != nullptr && end->next->layer > row->layer && end->next->adder < kAdderTotal)
        end = end->next;
    return end;
}

bool XTreeGrider::IsShown(void *row)
{
    return Known(row) && GetShownPlace(Row(row)->index) >= 0;
}

int XTreeGrider::GetTreeIndent(const XMatterNode *row) const
{
    int indent = row->layer * kTreeLayerWide + kTreeLayerWide;
    if (extraFlags & kGridRowIcon) {
        XIconDrawer *icons = GetIconWare();
        indent += (icons != nullptr ? icons->GetIconWidth() : kNoIconWide) + kTreeIconGap;
    }
    return indent;
}

// ---- new rows ---------------------------------------------------------------------------

void *XTreeGrider::MallocMatter(void *parent, void *neighbour, int after, unsigned icon,
                                const void *record, const unsigned char *nulls)
{
    if ((parent != nullptr && !Known(parent)) || (neighbour != nullptr && !Known(neighbour)))
        return nullptr;
    XMatterNode *up = Row(parent);
    if (up != nullptr && up->layer == kDeepestLayer)
        return nullptr;
    void *made;
    if (neighbour != nullptr)
        made = XPageGrider::MallocMatter(after != 0 ? 1 : 0, neighbour, record, nulls);
    else if (up != nullptr)
        made = XPageGrider::MallocMatter(1, after != 0 ? GetSubtreeEnd(up) : up, record, nulls);
    else
        made = XPageGrider::MallocMatter(after != 0 ? 1 : 0, nullptr, record, nulls);
    if (made == nullptr)
        return nullptr;
    Row(made)->layer = up != nullptr ? static_cast<uint16_t>(up->layer + 1) : 0;
    Row(made)->image = icon;
    MarkRowsChanged();
    return made;
}

void *XTreeGrider::InsertMatter(void *parent, void *neighbour, int after, unsigned icon,
                                const void *record, const unsigned char *nulls)
{
    void *made = MallocMatter(parent, neighbour, after, icon, record, nulls);
    if (made == nullptr)
        return nullptr;
    UpdateExtent();
    RequestUpdate(false);
    Notify(kGridOnInsertItem, static_cast<int32_t>(Row(made)->index), kInsertProgram, 0, made);
    return made;
}

// ---- collapsing -------------------------------------------------------------------------

void XTreeGrider::Collapse(int index, int mode)
{
    if (index < 0)
        return;
    XMatterNode *row = GetItemMatter(static_cast<unsigned>(index));
    if (row == nullptr)
        return;
    const bool collapsed = (row->state & kMatterCollapsed) != 0;
    const bool collapse = mode == 0 ? true : mode == 1 ? false : !collapsed;
    if (collapse == collapsed)
        return;
    if (collapse && m_editor != nullptr && m_editRow != nullptr && m_editRow != row) {
        // The edited row goes out of sight: its edit is kept.
        XMatterNode *end = GetSubtreeEnd(row);
        if (m_editRow->index > row->index && m_editRow->index <= end->index) {
            CloseEditor(2);
            // The commit's receivers may have changed the rows.
            if (GetItemMatter(static_cast<unsigned>(index)) != row ||
                ((row->state & kMatterCollapsed) != 0) == collapse)
                return;
        }
    }
    SyncShown();
    const int place = GetShownPlace(row->index);
    row->state ^= kMatterCollapsed;
    if (place >= 0) {
        // The shown table changes in place: the rows below the row's own shown
        // descendants only move.
        const auto at = m_shown.begin() + place + 1;
        if (collapse) {
            auto end = at;
            while (end != m_shown.end() && (*end)->layer > row->layer)
                ++end;
            m_shown.erase(at, end);
        } else {
            std::vector<XMatterNode *> rows;
            int hideBelow = -1;
            for (XMatterNode *r = row->next; r != nullptr && r->layer > row->layer; r = r->next) {
                if (hideBelow >= 0 && r->layer > hideBelow)
                    continue;
                hideBelow = (r->state & kMatterCollapsed) ? r->layer : -1;
                rows.push_back(r);
            }
            m_shown.insert(at, rows.begin(), rows.end());
        }
    }
    CalcExtentSize(0);
    RequestUpdate(false);
}

// ---- deleting ---------------------------------------------------------------------------

void XTreeGrider::CollectChoice(std::vector<std::pair<XMatterNode *, XMatterNode *>> *runs) const
{
    runs->clear();
    int hideBelow = -1;
    for (XMatterNode *r = static_cast<XMatterNode *>(GetNextItemEx(nullptr)); r != nullptr;) {
        if (hideBelow >= 0 && r->layer > hideBelow) {
            r = r->next;
            continue;
        }
        hideBelow = -1;
        if ((r->state & kMatterSelected) && IsDataMatter(r)) {
            XMatterNode *end = GetSubtreeEnd(r);
            runs->emplace_back(r, end);
            r = end->next;
            continue;
        }
        if (r->state & kMatterCollapsed)
            hideBelow = r->layer;
        r = r->next;
    }
}

unsigned XTreeGrider::DeleteChoice()
{
    std::vector<std::pair<XMatterNode *, XMatterNode *>> runs;
    CollectChoice(&runs);
    if (m_editor != nullptr) {
        bool goes = false;
        for (const auto &run : runs)
            goes = goes || (m_editRow != nullptr && m_editRow->index >= run.first->index &&
                            m_editRow->index <= run.second->index);
        CloseEditor(goes ? 0 : 2);
        if (!goes)
            CollectChoice(&runs); // the commit's receivers may have changed the rows
    }
    unsigned deleted = 0;
    for (const auto &run : runs)
        deleted += CutMatterRun(run.first, run.second);
    if (deleted == 0)
        return 0;
    UpdateMatter();
    Notify(kGridOnDeleteItem, static_cast<int32_t>(kDeleteChoiceRow), kDeleteChoice, 0, nullptr);
    return deleted;
}

// ---- the shown-row table ----------------------------------------------------------------

void XTreeGrider::SyncShown()
{
    if (m_shownEpoch == GetRowEpoch())
        return;
    m_shown.clear();
    int hideBelow = -1;
    for (XMatterNode *r = static_cast<XMatterNode *>(GetNextItemEx(nullptr)); r != nullptr;
         r = r->next) {
        if (hideBelow >= 0 && r->layer > hideBelow)
            continue;
        hideBelow = (r->state & kMatterCollapsed) ? r->layer : -1;
        m_shown.push_back(r);
    }
    m_shownEpoch = GetRowEpoch();
}

unsigned XTreeGrider::GetShownCount()
{
    SyncShown();
    return static_cast<unsigned>(m_shown.size());
}

unsigned XTreeGrider::GetShownMatter(unsigned place)
{
    SyncShown();
    return place < m_shown.size() ? m_shown[place]->index : GetRowNumber();
}

int XTreeGrider::GetShownPlace(unsigned index)
{
    SyncShown();
    const auto at = std::lower_bound(m_shown.begin(), m_shown.end(), index,
                                     [](const XMatterNode *r, unsigned i) { return r->index < i; });
    if (at == m_shown.end() || (*at)->index != index)
        return -1;
    return static_cast<int>(at - m_shown.begin());
}

// ---- geometry ---------------------------------------------------------------------------

int XTreeGrider::CalcExtentSize(int mode)
{
    SyncShown();
    return XPageGrider::CalcExtentSize(mode);
}

int XTreeGrider::GetCellPlace(int row, int viewCol, BOUND_t *out)
{
    if (!XPageGrider::GetCellPlace(row, viewCol, out))
        return 0;
    if (viewCol == 0) {
        const XMatterNode *r = GetItemMatter(static_cast<unsigned>(row));
        if (r != nullptr) {
            const int indent = std::min(GetTreeIndent(r), out->width);
            out->x += indent;
            out->width -= indent;
        }
    }
    return 1;
}

int XTreeGrider::HitTest(int x, int y, int *col, XHeaderNode **column)
{
    int hitCol = -1;
    const int row = XPageGrider::HitTest(x, y, &hitCol, column);
    if (col != nullptr)
        *col = hitCol;
    m_hitRow = row;
    m_hitButton = false;
    if (row > 0 && hitCol == 1) {
        XMatterNode *r = GetItemMatter(static_cast<unsigned>(row - 1));
        BOUND_t cell;
        if (r != nullptr && HasChildren(r) && XPageGrider::GetCellPlace(row - 1, 0, &cell)) {
            // The column's left edge in body coordinates, scrolled or frozen alike.
            const int inside = x - (cell.x - scroll.x);
            const int from = r->layer * kTreeLayerWide;
            m_hitButton = inside >= from && inside < from + kTreeButtonWide;
        }
    }
    return row;
}

// ---- painting ---------------------------------------------------------------------------

void XTreeGrider::DrawFrame(XPainter *painter, const BOUND_t *bound)
{
    SyncShown();
    XPageGrider::DrawFrame(painter, bound);
}

void XTreeGrider::OnDrawMatter(XPainter *painter, const BOUND_t &line, XDrawHelper *helper,
                               int after)
{
    XMatterNode *row = helper->row;
    if (after == 0) {
        helper->indent = GetTreeIndent(row);
        return;
    }
    BOUND_t cell;
    if (!XPageGrider::GetCellPlace(static_cast<int>(row->index), 0, &cell) || cell.width <= 0)
        return;
    // Display column 0 in body coordinates; the tree stays inside it and out of the guide.
    const int left = cell.x - scroll.x;
    const int guide = static_cast<int>(GetGuidePlace());
    const int from = std::max(left, guide);
    BOUND_t area = {from, line.y, left + cell.width - from, line.height};
    BOUND_t inside;
    if (area.width <= 0 || !IntersectBound(&inside, &area, &helper->clip))
        return;
    BOUND_t saved;
    const int had = painter->GetClipRect(&saved);
    BOUND_t clip = inside;
    if (had && !IntersectBound(&clip, &inside, &saved))
        return;
    painter->SetClipRect(&clip);

    const int x0 = left + row->layer * kTreeLayerWide;
    const int rowHeight = line.height;
    const int mid = line.y + rowHeight / 2;
    painter->SetLineStyle(kTreePen, kTreeLine);
    if (HasChildren(row)) {
        const bool collapsed = (row->state & kMatterCollapsed) != 0;
        DrawCtrlIcon(painter, collapsed ? kCtrlIconExpandPlus : kCtrlIconExpandMinus, x0 + 3,
                     mid - 6);
        painter->SetLineStyle(kTreePen, kTreeLine);
        painter->DrawLine(x0 + 14, mid, x0 + kTreeLayerWide, mid);
    } else {
        painter->DrawLine(x0 + 8, mid, x0 + kTreeLayerWide, mid);
    }
    XIconDrawer *icons = GetIconWare();
    if ((extraFlags & kGridRowIcon) && icons != nullptr)
        icons->DrawIcon(painter, static_cast<int>(row->image), x0 + kTreeLayerWide,
                        line.y + (rowHeight - icons->GetIconHeight()) / 2);

    // The connector up to the previous row of the same layer, or to the parent.
    if (row->layer > 0) {
        const int place = GetShownPlace(row->index);
        int start = clip.y - 1; // the row joined lies above the painted part
        for (int p = place - 1; p >= 0; --p) {
            const int pmid = mid - (place - p) * rowHeight;
            if (pmid + rowHeight < clip.y)
                break;
            const XMatterNode *r = m_shown[static_cast<size_t>(p)];
            if (r->layer < row->layer) {
                start = pmid + 10;
                break;
            }
            if (r->layer == row->layer) {
                start = pmid + (HasChildren(r) ? 6 : 0);
                break;
            }
        }
        const int x = x0 + 8;
        painter->SetLineStyle(kTreePen, kTreeLine);
        painter->DrawLine(x, start, x, mid);
    }
    painter->SetClipRect(had ? &saved : nullptr);
}

// ---- input and creation -----------------------------------------------------------------

int XTreeGrider::OnMessage(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    if (code == XMSG_BUTTONDOWN && message->key == XMSG_BUTTON_LEFT &&
        (message->flags & kPressKeys) == 0) {
        const int x = message->x - body.x;
        const int y = message->y - body.y;
        if (x >= 0 && y >= 0 && x < body.width && y < body.height) {
            const int row = HitTest(x, y, nullptr, nullptr);
            if (row > 0 && m_hitButton) {
                Collapse(row - 1, 2);
                message->state = kMsgDone;
                return 1;
            }
        }
    }
    return XPageGrider::OnMessage(message);
}

void XTreeGrider::OnCreateItem()
{
    XPageGrider::OnCreateItem();
    extraFlags |= kTreeGridOptions;
    const unsigned height = GetItemHeight(0);
    if (height % 2 != 0)
        SetItemHeight(0, height + 1);
}
