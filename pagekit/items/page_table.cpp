// The table item: descriptors, cells, layout, placement and painting.

#include "pagekit/items/page_table.h"

#include <algorithm>
#include <cstring>

#include "corekit/memory/memory.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/style_geometry.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Fills of design mode: the current cell, the other selected cells; the lines between
// cells in design mode.
constexpr uint32_t kTableCurrentFill = 0xF050A0;
constexpr uint32_t kTableSelectedFill = 0xF0B0B0;
constexpr uint32_t kTableDesignLine = 0xA0A0A0;

uint16_t ClampSize(int64_t size)
{
    return static_cast<uint16_t>(std::clamp<int64_t>(size, 0, 0xFFFF));
}

XTableDesc *NewDescs(unsigned count)
{
    auto *descs = static_cast<XTableDesc *>(MemAlloc(count * sizeof(XTableDesc)));
    if (descs != nullptr)
        std::memset(descs, 0, count * sizeof(XTableDesc));
    return descs;
}

} // namespace

XPageTable::XPageTable()
{
    kind = kKindTable;
    itemStyle.SetSpace(0, 0, 0, 0, 0);
    m_rows = NewDescs(1);
    m_cols = NewDescs(1);
}

XPageTable::~XPageTable()
{
    FreeCells();
    MemFree(m_rows);
    MemFree(m_cols);
}

// ---------------------------------------------------------------------------------------
// Descriptors
// ---------------------------------------------------------------------------------------

int XPageTable::SetDesc(XTableDesc *&descs, unsigned &count, unsigned other, unsigned newCount,
                        const uint16_t *sizes, const uint16_t *flags)
{
    if (newCount == 0 || newCount > kTableMaxCount || newCount * other > kTableMaxCells)
        return 0;
    XTableDesc *fresh = NewDescs(newCount);
    if (fresh == nullptr)
        return 0;
    ReleaseCellTable();
    for (unsigned i = 0; i < newCount; ++i) {
        fresh[i].design = sizes != nullptr ? sizes[i] : 0;
        fresh[i].flags = flags != nullptr ? flags[i] : 0;
    }
    MemFree(descs);
    descs = fresh;
    count = newCount;
    return 1;
}

void XPageTable::SetRowDesc(unsigned count, const uint16_t *sizes, const uint16_t *flags)
{
    SetDesc(m_rows, m_rowCount, m_colCount, count, sizes, flags);
}

void XPageTable::SetColDesc(unsigned count, const uint16_t *sizes, const uint16_t *flags)
{
    SetDesc(m_cols, m_colCount, m_rowCount, count, sizes, flags);
}

namespace {

unsigned ReadDescs(const XTableDesc *descs, unsigned count, bool design, uint16_t *sizes,
                   uint16_t *flags)
{
    for (unsigned i = 0; i < count; ++i) {
        if (sizes != nullptr)
            sizes[i] = design ? descs[i].current : descs[i].design;
        if (flags != nullptr)
            flags[i] = descs[i].flags;
    }
    return count;
}

} // namespace

unsigned XPageTable::GetRowDesc(uint16_t *sizes, uint16_t *flags) const
{
    return ReadDescs(m_rows, m_rowCount, IsDesign(), sizes, flags);
}

unsigned XPageTable::GetColDesc(uint16_t *sizes, uint16_t *flags) const
{
    return ReadDescs(m_cols, m_colCount, IsDesign(), sizes, flags);
}

void XPageTable::SetRowWide(unsigned index, uint16_t size, uint16_t flags)
{
    if (index >= m_rowCount)
        return;
    m_rows[index].design = size;
    m_rows[index].current = size;
    m_rows[index].flags = flags;
}

void XPageTable::SetColWide(unsigned index, uint16_t size, uint16_t flags)
{
    if (index >= m_colCount)
        return;
    m_cols[index].design = size;
    m_cols[index].flags = flags;
}

const XTableDesc *XPageTable::GetRowInfo(unsigned index) const
{
    return index < m_rowCount ? &m_rows[index] : nullptr;
}

const XTableDesc *XPageTable::GetColInfo(unsigned index) const
{
    return index < m_colCount ? &m_cols[index] : nullptr;
}

// ---------------------------------------------------------------------------------------
// Cells
// ---------------------------------------------------------------------------------------

XCellNode *&XPageTable::At(unsigned row, unsigned column) const
{
    return m_cells[row * m_colCount + column];
}

XCellNode *XPageTable::NewCell(unsigned row, unsigned column)
{
    auto *cell = static_cast<XCellNode *>(MemAlloc(sizeof(XCellNode)));
    if (cell == nullptr)
        return nullptr;
    std::memset(cell, 0, sizeof *cell);
    cell->row = static_cast<uint16_t>(row);
    cell->column = static_cast<uint16_t>(column);
    cell->rowSpan = 1;
    cell->colSpan = 1;
    return cell;
}

void XPageTable::FreeCells()
{
    if (m_cells == nullptr)
        return;
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i)
        MemFree(m_cells[i]);
    MemFree(m_cells);
    m_cells = nullptr;
}

void XPageTable::ReleaseCellTable()
{
    FreeCells();
}

XCellNode **XPageTable::GetCellTable()
{
    if (m_cells == nullptr) {
        const unsigned n = m_rowCount * m_colCount;
        m_cells = static_cast<XCellNode **>(MemAlloc(n * sizeof(XCellNode *)));
        if (m_cells != nullptr)
            std::memset(m_cells, 0, n * sizeof(XCellNode *));
    }
    return m_cells;
}

void XPageTable::MallocCellTable()
{
    FreeCells();
    if (GetCellTable() == nullptr)
        return;
    for (unsigned r = 0; r < m_rowCount; ++r) {
        for (unsigned c = 0; c < m_colCount; ++c)
            At(r, c) = NewCell(r, c);
    }
    if (itemFlags & kItemCreated)
        UpdateLayout(0);
    else
        CalcCellRects();
}

int32_t XPageTable::BodyWidth() const
{
    return (itemFlags & kItemCreated) ? body.width : place.width;
}

int32_t XPageTable::BodyHeight() const
{
    return (itemFlags & kItemCreated) ? body.height : place.height;
}

void XPageTable::InitCellTable()
{
    const unsigned cols =
        std::clamp<int32_t>(place.width / kTableColSize, 1, static_cast<int32_t>(kTableMaxCount));
    const unsigned rows =
        std::clamp<int32_t>(place.height / kTableRowSize, 1, static_cast<int32_t>(kTableMaxCount));
    if (rows * cols > kTableMaxCells)
        return;
    SetColDesc(cols, nullptr, nullptr);
    SetRowDesc(rows, nullptr, nullptr);
    const int32_t colShare = place.width / static_cast<int32_t>(cols);
    const int32_t rowShare = place.height / static_cast<int32_t>(rows);
    for (unsigned c = 0; c < cols; ++c) {
        const int64_t size =
            c + 1 < cols ? colShare : int64_t{BodyWidth()} - int64_t{colShare} * (cols - 1);
        m_cols[c].design = m_cols[c].current = ClampSize(size);
    }
    for (unsigned r = 0; r < rows; ++r) {
        const int64_t size =
            r + 1 < rows ? rowShare : int64_t{BodyHeight()} - int64_t{rowShare} * (rows - 1);
        m_rows[r].design = m_rows[r].current = ClampSize(size);
    }
    MallocCellTable();
}

XCellNode *XPageTable::GetCellNode(unsigned row, unsigned column) const
{
    if (m_cells == nullptr || row >= m_rowCount || column >= m_colCount)
        return nullptr;
    return At(row, column);
}

XCellNode *XPageTable::GetCellNode(const XPageItem *item) const
{
    if (m_cells == nullptr || item == nullptr)
        return nullptr;
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        if (m_cells[i] != nullptr && m_cells[i]->item == item)
            return m_cells[i];
    }
    return nullptr;
}

XCellNode *XPageTable::GetCurrentCell() const
{
    if (m_cells == nullptr)
        return nullptr;
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        if (m_cells[i] != nullptr && (m_cells[i]->state & kCellCurrent))
            return m_cells[i];
    }
    return nullptr;
}

void XPageTable::AddItem(unsigned row, unsigned column, XPageItem *item)
{
    AddItem(GetCellNode(row, column), item);
}

void XPageTable::AddItem(XCellNode *cell, XPageItem *item)
{
    if (item == nullptr || item == this)
        return;
    if (item->owner != this && XPageOwner::AddItem(item) == nullptr)
        return;
    // Not a cell of this table (or none): the item stays an unhosted child.
    if (cell == nullptr || GetCellNode(cell->row, cell->column) != cell || cell->item == item)
        return;
    if (XCellNode *before = GetCellNode(item))
        before->item = nullptr;
    if (cell->item != nullptr)
        DetachLinker(cell);
    cell->item = item;
    if (itemFlags & kItemCreated)
        OnPlaceNode(cell, 1);
}

void XPageTable::OnDropItem(XPageItem *item)
{
    if (m_cells == nullptr)
        return;
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        if (m_cells[i] != nullptr && m_cells[i]->item == item)
            m_cells[i]->item = nullptr;
    }
}

// ---------------------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------------------

void XPageTable::LayoutSizes(XTableDesc *descs, unsigned count, int32_t total)
{
    int64_t fixedSum = 0, looseSum = 0;
    bool loose = false;
    for (unsigned i = 0; i < count; ++i) {
        descs[i].current = descs[i].design;
        if (descs[i].flags & kTableFixedSize) {
            fixedSum += descs[i].design;
        } else {
            looseSum += descs[i].design;
            loose = true;
        }
    }
    if (!loose)
        return;
    const int64_t rest = int64_t{total} - fixedSum;
    int64_t before = 0;
    for (unsigned i = 0; i < count; ++i) {
        XTableDesc &d = descs[i];
        if (!(d.flags & kTableFixedSize)) {
            // Sizes summing to 0 (closed folders of a bar) stay 0: nothing to share by.
            const int64_t share = looseSum > 0 ? rest * d.design / looseSum : 0;
            d.current = ClampSize(i + 1 == count ? int64_t{total} - before : share);
        }
        before += d.current;
    }
}

void XPageTable::ReadBorders()
{
    m_borderRight = m_borderBottom = 0;
    if (!(itemFlags & kItemCreated))
        return;
    XStyleDesc cell;
    InitStyleDesc(&cell);
    if (itemStyle.GetStyle(uint32_t{kStateChild1} | kItemStateOnlyChild, owner, &cell)) {
        m_borderRight = GetBorderSideWidth(cell.border[kSideRight]);
        m_borderBottom = GetBorderSideWidth(cell.border[kSideBottom]);
    }
    FreeStyleDescStrings(&cell);
}

void XPageTable::CalcCellRects()
{
    if (m_cells == nullptr)
        return;
    // Edge positions: x of column c is xs[c], xs[count] the right end.
    auto *xs = static_cast<int32_t *>(MemAlloc((m_colCount + 1) * sizeof(int32_t)));
    auto *ys = static_cast<int32_t *>(MemAlloc((m_rowCount + 1) * sizeof(int32_t)));
    if (xs != nullptr && ys != nullptr) {
        xs[0] = ys[0] = 0;
        for (unsigned c = 0; c < m_colCount; ++c)
            xs[c + 1] = xs[c] + m_cols[c].current;
        for (unsigned r = 0; r < m_rowCount; ++r)
            ys[r + 1] = ys[r] + m_rows[r].current;
        for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
            XCellNode *cell = m_cells[i];
            if (cell == nullptr)
                continue;
            cell->x = xs[cell->column];
            cell->y = ys[cell->row];
            cell->width = xs[cell->column + cell->colSpan] - cell->x;
            cell->height = ys[cell->row + cell->rowSpan] - cell->y;
        }
    }
    MemFree(xs);
    MemFree(ys);
}

void XPageTable::UpdateLayout(int flag)
{
    LayoutSizes(m_rows, m_rowCount, BodyHeight());
    LayoutSizes(m_cols, m_colCount, BodyWidth());
    ReadBorders();
    CalcCellRects();
    if (m_cells != nullptr && (itemFlags & kItemCreated)) {
        for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
            if (m_cells[i] != nullptr)
                OnPlaceNode(m_cells[i], 0);
        }
    }
    if (flag)
        Invalidate(nullptr, 0);
}

void XPageTable::OnCreateItem()
{
    XPageOwner::OnCreateItem();
    UpdateLayout(0);
}

int XPageTable::CalcExtentSize(int mode)
{
    int32_t width = 0, height = 0;
    for (unsigned c = 0; c < m_colCount; ++c)
        width += m_cols[c].design;
    for (unsigned r = 0; r < m_rowCount; ++r)
        height += m_rows[r].design;
    scroll.width = width;
    scroll.height = height;
    return XPageOwner::CalcExtentSize(mode);
}

// ---------------------------------------------------------------------------------------
// Placement
// ---------------------------------------------------------------------------------------

BOUND_t XPageTable::GetCellArea(const XCellNode *cell) const
{
    BOUND_t area = {cell->x, cell->y, cell->width, cell->height};
    if (cell->column + cell->colSpan < m_colCount)
        area.width = std::max(0, area.width - m_borderRight);
    if (cell->row + cell->rowSpan < m_rowCount)
        area.height = std::max(0, area.height - m_borderBottom);
    return area;
}

namespace {

// Start and length of an item along one axis of the area by its layout nibble.
void PlaceAxis(uint32_t layout, int32_t areaStart, int32_t areaLength, int32_t *start,
               int32_t *length)
{
    switch (layout) {
    case kLayoutExtend:
        *start = areaStart;
        *length = areaLength;
        break;
    case kLayoutEnd:
        *length = std::min(*length, areaLength);
        *start = areaStart + areaLength - *length;
        break;
    case kLayoutCenter:
        *length = std::min(*length, areaLength);
        *start = areaStart + (areaLength - *length) / 2;
        break;
    default: // left or top: the size is kept
        *start = areaStart;
        break;
    }
}

} // namespace

void XPageTable::OnPlaceNode(XCellNode *cell, int flag)
{
    if (cell == nullptr || cell->item == nullptr || !(cell->item->itemFlags & kItemVisible))
        return;
    XPageItem *item = cell->item;
    const BOUND_t area = GetCellArea(cell);
    BOUND_t to = item->place;
    PlaceAxis(GetStyleField(item->itemFlags, kItemLayoutX), area.x, area.width, &to.x, &to.width);
    PlaceAxis(GetStyleField(item->itemFlags, kItemLayoutY), area.y, area.height, &to.y, &to.height);
    item->MovePlace(&to, flag);
}

void XPageTable::OnPlaceItem(XPageItem *item)
{
    OnPlaceNode(GetCellNode(item), 1);
}

XCellNode *XPageTable::HitCeller(int x, int y) const
{
    if (m_cells == nullptr)
        return nullptr;
    const int64_t cx = int64_t{x} - body.x + scroll.x;
    const int64_t cy = int64_t{y} - body.y + scroll.y;
    if (cx < 0 || cy < 0)
        return nullptr;
    unsigned row = 0, column = 0;
    int64_t edge = 0;
    for (; row < m_rowCount && cy >= edge + m_rows[row].current; ++row)
        edge += m_rows[row].current;
    edge = 0;
    for (; column < m_colCount && cx >= edge + m_cols[column].current; ++column)
        edge += m_cols[column].current;
    return CoverCell(row, column);
}

XCellNode *XPageTable::CoverCell(unsigned row, unsigned column) const
{
    if (m_cells == nullptr || row >= m_rowCount || column >= m_colCount)
        return nullptr;
    // The cell covering the position starts above and left of it.
    for (unsigned r = row + 1; r-- > 0;) {
        for (unsigned c = column + 1; c-- > 0;) {
            XCellNode *cell = At(r, c);
            if (cell != nullptr && r + cell->rowSpan > row && c + cell->colSpan > column)
                return cell;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------------------

void XPageTable::DrawFrame(XPainter *painter, const BOUND_t *bound)
{
    XPageOwner::DrawFrame(painter, bound);
    if (m_cells == nullptr)
        return;
    BOUND_t clip = body;
    if (bound != nullptr && !IntersectBound(&clip, &clip, bound))
        return;
    BOUND_t saved;
    const int hadClip = painter->GetClipRect(&saved);
    painter->SetClipRect(&clip);
    const int dx = body.x - scroll.x, dy = body.y - scroll.y;
    painter->Translate(dx, dy);
    const BOUND_t part = {clip.x - dx, clip.y - dy, clip.width, clip.height};
    DrawCells(painter, &part);
    painter->Translate(-dx, -dy);
    painter->SetClipRect(hadClip ? &saved : nullptr);
}

void XPageTable::DrawCells(XPainter *painter, const BOUND_t *bound)
{
    const bool design = IsDesign();
    XStyleDesc line;
    InitStyleDesc(&line);
    const bool lined =
        itemStyle.GetStyle(uint32_t{kStateChild1} | kItemStateOnlyChild, owner, &line) != 0;
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        const XCellNode *cell = m_cells[i];
        if (cell == nullptr)
            continue;
        const BOUND_t box = {cell->x, cell->y, cell->width, cell->height};
        BOUND_t meet;
        if (!IntersectBound(&meet, &box, bound))
            continue;
        const BOUND_t area = GetCellArea(cell);
        if (design && (cell->state & kCellCurrent)) {
            painter->FillRect(&area, kTableCurrentFill);
        } else if (design && (cell->state & kCellSelected)) {
            painter->FillRect(&area, kTableSelectedFill);
        } else if (cell->item != nullptr && cell->item->kind != kKindButton) {
            const uint32_t previous = painter->SetFiller(&cell->item->style);
            painter->FillRect(&area);
            painter->SetFillStyle(previous);
        }
        const bool lastColumn = cell->column + cell->colSpan >= m_colCount;
        const bool lastRow = cell->row + cell->rowSpan >= m_rowCount;
        if (design) {
            painter->SetStyleDrawer(kLineBorder1, kTableDesignLine);
            const int right = box.x + box.width - 1, bottom = box.y + box.height - 1;
            if (!lastRow)
                painter->DrawLine(box.x, bottom, box.x + box.width, bottom);
            if (!lastColumn)
                painter->DrawLine(right, box.y, right, box.y + box.height);
        } else if (lined && !(lastRow && lastColumn)) {
            // Only the sides drawn take part, so that a side runs the cell's whole length.
            const uint8_t right = line.border[kSideRight], bottom = line.border[kSideBottom];
            line.border[kSideLeft] = line.border[kSideTop] = 0;
            if (lastColumn)
                line.border[kSideRight] = 0;
            if (lastRow)
                line.border[kSideBottom] = 0;
            painter->DrawBorder(
                &line, &box, (lastRow ? 0 : kSideMaskBottom) | (lastColumn ? 0 : kSideMaskRight));
            line.border[kSideRight] = right;
            line.border[kSideBottom] = bottom;
        }
    }
    FreeStyleDescStrings(&line);
}
