// The table item in design mode: selection, inserting and deleting rows and columns,
// merging and splitting cells, equalising sizes, dragging borders, detaching items.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "corekit/memory/memory.h"
#include "pagekit/items/page_table.h"

namespace {

// Start and span of a cell along rows (rows true) or columns.
uint16_t &Start(XCellNode *cell, bool rows)
{
    return rows ? cell->row : cell->column;
}

uint8_t &Span(XCellNode *cell, bool rows)
{
    return rows ? cell->rowSpan : cell->colSpan;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------------------

int XPageTable::Select(int x, int y, int extend)
{
    if (!IsDesign())
        return 0;
    XCellNode *hit = HitCeller(x, y);
    if (hit == nullptr)
        return 0;
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        if (XCellNode *cell = m_cells[i])
            cell->state &= extend ? ~uint16_t{kCellCurrent} : 0;
    }
    hit->state = kCellSelected | kCellCurrent;
    Invalidate(nullptr, 0);
    return 1;
}

void XPageTable::ClearChoice()
{
    if (m_cells == nullptr)
        return;
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        if (m_cells[i] != nullptr)
            m_cells[i]->state = 0;
    }
    Invalidate(nullptr, 0);
}

// ---------------------------------------------------------------------------------------
// Rows and columns
// ---------------------------------------------------------------------------------------

void XPageTable::Resize(int dx, int dy, int dw, int dh, int flag)
{
    BOUND_t to = place;
    to.x += dx;
    to.y += dy;
    to.width = std::max(0, to.width + dw);
    to.height = std::max(0, to.height + dh);
    XPageOwner::MovePlace(&to, flag);
}

int XPageTable::InsertLine(unsigned at, bool rows)
{
    const unsigned count = rows ? m_rowCount : m_colCount;
    const unsigned other = rows ? m_colCount : m_rowCount;
    if (count >= kTableMaxCount || (count + 1) * other > kTableMaxCells)
        return 0;
    // Positions of the new line that a cell across it covers; such a cell grows by one,
    // which a span of 255 cannot.
    std::vector<char> covered(other, 0);
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        XCellNode *cell = m_cells[i];
        if (cell == nullptr || Start(cell, rows) >= at ||
            Start(cell, rows) + Span(cell, rows) <= at)
            continue;
        if (Span(cell, rows) == 255)
            return 0;
        for (unsigned k = 0; k < Span(cell, !rows); ++k)
            covered[Start(cell, !rows) + k] = 1;
    }
    // Everything is allocated before anything changes.
    std::vector<XCellNode *> fresh;
    auto *descs = static_cast<XTableDesc *>(MemAlloc((count + 1) * sizeof(XTableDesc)));
    auto *table = static_cast<XCellNode **>(MemAlloc((count + 1) * other * sizeof(XCellNode *)));
    bool ok = descs != nullptr && table != nullptr;
    for (unsigned k = 0; ok && k < other; ++k) {
        if (covered[k])
            continue;
        fresh.push_back(rows ? NewCell(at, k) : NewCell(k, at));
        ok = fresh.back() != nullptr;
    }
    if (!ok) {
        for (XCellNode *cell : fresh)
            MemFree(cell);
        MemFree(descs);
        MemFree(table);
        return 0;
    }
    XTableDesc *&old = rows ? m_rows : m_cols;
    std::memcpy(descs, old, at * sizeof(XTableDesc));
    std::memcpy(descs + at + 1, old + at, (count - at) * sizeof(XTableDesc));
    const uint16_t size = rows ? kTableRowSize : kTableColSize;
    descs[at] = {0, size, size};
    MemFree(old);
    old = descs;
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        XCellNode *cell = m_cells[i];
        if (cell == nullptr)
            continue;
        if (Start(cell, rows) >= at)
            ++Start(cell, rows);
        else if (Start(cell, rows) + Span(cell, rows) > at)
            ++Span(cell, rows);
    }
    const unsigned newRows = rows ? count + 1 : other, newCols = rows ? other : count + 1;
    std::memset(table, 0, newRows * newCols * sizeof(XCellNode *));
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        if (XCellNode *cell = m_cells[i])
            table[cell->row * newCols + cell->column] = cell;
    }
    for (XCellNode *cell : fresh)
        table[cell->row * newCols + cell->column] = cell;
    MemFree(m_cells);
    m_cells = table;
    m_rowCount = newRows;
    m_colCount = newCols;
    return 1;
}

int XPageTable::InsertCeller(int after, int rows)
{
    XCellNode *current = GetCurrentCell();
    if (current == nullptr)
        return 0;
    const bool byRow = rows != 0;
    const unsigned at = Start(current, byRow) + (after ? Span(current, byRow) : 0);
    if (!InsertLine(at, byRow))
        return 0;
    if (byRow)
        Resize(0, 0, 0, kTableRowSize, 1);
    else
        Resize(0, 0, kTableColSize, 0, 1);
    UpdateLayout(1);
    return 1;
}

void XPageTable::RemoveLine(unsigned at, bool rows, bool blank)
{
    const unsigned count = rows ? m_rowCount : m_colCount;
    const unsigned other = rows ? m_colCount : m_rowCount;
    std::vector<XCellNode *> cells, freed;
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        XCellNode *cell = m_cells[i];
        if (cell == nullptr)
            continue;
        const unsigned start = Start(cell, rows), span = Span(cell, rows);
        if (start > at) {
            --Start(cell, rows);
        } else if (start + span > at) {
            // Across the line, or starting in it and going on: one shorter.
            if (span > 1) {
                --Span(cell, rows);
            } else {
                freed.push_back(cell);
                continue;
            }
        }
        cells.push_back(cell);
    }
    XTableDesc *descs = rows ? m_rows : m_cols;
    if (blank && at > 0) {
        descs[at - 1].design = static_cast<uint16_t>(
            std::min<unsigned>(0xFFFF, unsigned{descs[at - 1].design} + descs[at].design));
        descs[at - 1].current = static_cast<uint16_t>(
            std::min<unsigned>(0xFFFF, unsigned{descs[at - 1].current} + descs[at].current));
    }
    std::memmove(descs + at, descs + at + 1, (count - at - 1) * sizeof(XTableDesc));
    // A smaller table always fits where the old one was.
    const unsigned rowsLeft = rows ? count - 1 : other;
    const unsigned colsLeft = rows ? other : count - 1;
    for (unsigned i = 0; i < rowsLeft * colsLeft; ++i)
        m_cells[i] = nullptr;
    for (XCellNode *cell : cells)
        m_cells[cell->row * colsLeft + cell->column] = cell;
    m_rowCount = rowsLeft;
    m_colCount = colsLeft;
    for (XCellNode *cell : freed) {
        XPageItem *item = cell->item;
        MemFree(cell);
        GiveAway(item);
    }
}

int XPageTable::DeleteCeller(int rows)
{
    XCellNode *current = GetCurrentCell();
    const bool byRow = rows != 0;
    if (current == nullptr || (byRow ? m_rowCount : m_colCount) <= 1)
        return 0;
    const unsigned at = Start(current, byRow);
    const int removed = byRow ? m_rows[at].current : m_cols[at].current;
    RemoveLine(at, byRow, false);
    if (byRow)
        Resize(0, 0, 0, -removed, 1);
    else
        Resize(0, 0, -removed, 0, 1);
    ClearBlanker();
    UpdateLayout(1);
    return 1;
}

void XPageTable::ClearBlanker()
{
    if (m_cells == nullptr)
        return;
    for (const bool rows : {true, false}) {
        const unsigned count = rows ? m_rowCount : m_colCount;
        std::vector<char> starts(count, 0);
        for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
            if (m_cells[i] != nullptr)
                starts[Start(m_cells[i], rows)] = 1;
        }
        // From the end: removing a line moves only the lines after it.
        for (unsigned at = count; at-- > 1;) {
            if (!starts[at])
                RemoveLine(at, rows, true);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Merging, splitting, equalising
// ---------------------------------------------------------------------------------------

int XPageTable::MergeCellNode(int test)
{
    if (m_cells == nullptr)
        return 0;
    std::vector<XCellNode *> chosen;
    unsigned r0 = m_rowCount, c0 = m_colCount, r1 = 0, c1 = 0;
    uint64_t area = 0;
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        XCellNode *cell = m_cells[i];
        if (cell == nullptr || !(cell->state & kCellSelected))
            continue;
        chosen.push_back(cell);
        r0 = std::min<unsigned>(r0, cell->row);
        c0 = std::min<unsigned>(c0, cell->column);
        r1 = std::max<unsigned>(r1, cell->row + cell->rowSpan);
        c1 = std::max<unsigned>(c1, cell->column + cell->colSpan);
        area += uint64_t{cell->rowSpan} * cell->colSpan;
    }
    // Cells never overlap: areas adding up to the bounding rectangle tile it.
    if (chosen.size() < 2 || area != uint64_t{r1 - r0} * (c1 - c0) || r1 - r0 > 255 ||
        c1 - c0 > 255)
        return 0;
    if (test)
        return 1;
    XCellNode *top = At(r0, c0);
    std::vector<XPageItem *> away;
    for (XCellNode *cell : chosen) {
        if (cell == top)
            continue;
        if (cell->item != nullptr) {
            if (top->item == nullptr)
                top->item = cell->item;
            else
                away.push_back(cell->item);
        }
        At(cell->row, cell->column) = nullptr;
        MemFree(cell);
    }
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        if (m_cells[i] != nullptr)
            m_cells[i]->state &= ~uint16_t{kCellCurrent};
    }
    top->rowSpan = static_cast<uint8_t>(r1 - r0);
    top->colSpan = static_cast<uint8_t>(c1 - c0);
    top->state = kCellSelected | kCellCurrent;
    for (XPageItem *item : away)
        GiveAway(item);
    ClearBlanker();
    UpdateLayout(1);
    return 1;
}

int XPageTable::SplitCellNode(int test)
{
    XCellNode *current = GetCurrentCell();
    if (current == nullptr || (current->rowSpan <= 1 && current->colSpan <= 1))
        return 0;
    if (test)
        return 1;
    const unsigned row = current->row, column = current->column;
    const unsigned rows = current->rowSpan, columns = current->colSpan;
    std::vector<XCellNode *> made;
    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned c = 0; c < columns; ++c) {
            if (r == 0 && c == 0)
                continue;
            XCellNode *cell = NewCell(row + r, column + c);
            if (cell == nullptr) {
                for (XCellNode *done : made)
                    MemFree(done);
                return 0;
            }
            cell->state = kCellSelected;
            made.push_back(cell);
        }
    }
    for (XCellNode *cell : made)
        At(cell->row, cell->column) = cell;
    current->rowSpan = current->colSpan = 1;
    current->state = kCellSelected | kCellCurrent;
    CalcCellRects();
    OnPlaceNode(current, 0);
    Invalidate(nullptr, 0);
    return 1;
}

int XPageTable::AllocMeasure(int rows, int test)
{
    if (m_cells == nullptr)
        return 0;
    const bool byRow = rows != 0;
    const unsigned count = byRow ? m_rowCount : m_colCount;
    std::vector<char> band(count, 0);
    for (unsigned i = 0; i < m_rowCount * m_colCount; ++i) {
        XCellNode *cell = m_cells[i];
        if (cell == nullptr || !(cell->state & kCellSelected))
            continue;
        for (unsigned k = 0; k < Span(cell, byRow); ++k)
            band[Start(cell, byRow) + k] = 1;
    }
    const auto first = std::find(band.begin(), band.end(), 1);
    const auto end = std::find(band.rbegin(), band.rend(), 1).base();
    if (first == band.end() || std::find(first, end, 0) != end || end - first < 2)
        return 0;
    if (test)
        return 1;
    XTableDesc *descs = byRow ? m_rows : m_cols;
    const unsigned lo = static_cast<unsigned>(first - band.begin());
    const unsigned n = static_cast<unsigned>(end - first);
    uint32_t total = 0;
    for (unsigned k = 0; k < n; ++k)
        total += descs[lo + k].current;
    const uint32_t share = total / n;
    for (unsigned k = 0; k < n; ++k) {
        const uint32_t size = k + 1 < n ? share : total - share * (n - 1);
        descs[lo + k].current = descs[lo + k].design = static_cast<uint16_t>(size);
    }
    UpdateLayout(1);
    return 1;
}

// ---------------------------------------------------------------------------------------
// Borders
// ---------------------------------------------------------------------------------------

int XPageTable::GetTracker(unsigned index, int rows) const
{
    const unsigned count = rows ? m_rowCount : m_colCount;
    if (index > count)
        return -1;
    const XTableDesc *descs = rows ? m_rows : m_cols;
    int sum = 0;
    for (unsigned k = 0; k < index; ++k)
        sum += descs[k].current;
    return sum;
}

int XPageTable::TestDrager(int x, int y, int *const out)
{
    if (m_cells == nullptr || out == nullptr)
        return 0;
    const int offset[2] = {body.x - scroll.x, body.y - scroll.y};
    const int at[2] = {x - offset[0], y - offset[1]};
    // Columns (vertical borders) first, then rows.
    for (const bool rows : {false, true}) {
        const int along = at[rows ? 1 : 0], across = at[rows ? 0 : 1];
        const unsigned count = rows ? m_rowCount : m_colCount;
        const unsigned lines = rows ? m_colCount : m_rowCount;
        // The line across the point (a row for column borders).
        unsigned line = 0;
        for (int edge = 0; line < lines; ++line) {
            const int size = (rows ? m_cols : m_rows)[line].current;
            if (across >= edge && across < edge + size)
                break;
            edge += size;
        }
        if (line >= lines)
            continue;
        int best = -1, bestDistance = 4;
        for (unsigned b = 0; b <= count; ++b) {
            const int pos = GetTracker(b, rows);
            const int distance = std::abs(along - pos);
            if (distance >= bestDistance)
                continue;
            // An inner border exists where a cell starts at it.
            if (b > 0 && b < count) {
                XCellNode *cell = rows ? CoverCell(b, line) : CoverCell(line, b);
                if (cell == nullptr || Start(cell, rows) != b)
                    continue;
            }
            best = static_cast<int>(b);
            bestDistance = distance;
        }
        if (best < 0)
            continue;
        const int axis = rows ? 1 : 0;
        const int pos = GetTracker(static_cast<unsigned>(best), rows) + offset[axis];
        out[0] = rows ? kTableDragRow : kTableDragColumn;
        out[1] = best;
        out[2] = pos;
        out[3] = rows ? body.width : body.height;
        out[4] = best == 0 ? -(rows ? place.y : place.x)
                           : GetTracker(static_cast<unsigned>(best) - 1, rows) + offset[axis] + 3;
        out[5] = static_cast<unsigned>(best) == count
                     ? kTableDragFar
                     : GetTracker(static_cast<unsigned>(best) + 1, rows) + offset[axis] - 3;
        return 1;
    }
    return 0;
}

int XPageTable::MoveDrager(int code, unsigned index, int delta)
{
    if (code != kTableDragColumn && code != kTableDragRow)
        return 0;
    const bool rows = code == kTableDragRow;
    const unsigned count = rows ? m_rowCount : m_colCount;
    if (index > count)
        return 0;
    XTableDesc *descs = rows ? m_rows : m_cols;
    if (index == 0) {
        // The near edge: the item and its first line lose delta.
        delta = std::clamp(delta, descs[0].current - 0xFFFF, int{descs[0].current});
        descs[0].current = descs[0].design = static_cast<uint16_t>(descs[0].current - delta);
        if (rows)
            Resize(0, delta, 0, -delta, 0);
        else
            Resize(delta, 0, -delta, 0, 0);
    } else {
        XTableDesc &d = descs[index - 1];
        delta = std::clamp(delta, -int{d.current}, 0xFFFF - int{d.current});
        d.current = d.design = static_cast<uint16_t>(d.current + delta);
        if (rows)
            Resize(0, 0, 0, delta, 0);
        else
            Resize(0, 0, delta, 0, 0);
    }
    UpdateLayout(0);
    return 1;
}

// ---------------------------------------------------------------------------------------
// Detaching
// ---------------------------------------------------------------------------------------

void XPageTable::GiveAway(XPageItem *item)
{
    if (item == nullptr || item->owner != this || owner == nullptr)
        return; // without an owner it stays an unhosted child
    BOUND_t to = item->place;
    to.x += place.x + body.x - scroll.x;
    to.y += place.y + body.y - scroll.y;
    XPageOwner *up = owner;
    if (!DropItem(item))
        return;
    item->MovePlace(&to, 0);
    if (up->AddItem(item) == nullptr)
        XPageOwner::AddItem(item); // never lost
}

void XPageTable::DetachLinker(XCellNode *cell)
{
    if (cell == nullptr || cell->item == nullptr)
        return;
    XPageItem *item = cell->item;
    cell->item = nullptr;
    GiveAway(item);
}

void XPageTable::DetachLinker(XPageItem *item)
{
    if (XCellNode *cell = GetCellNode(item))
        cell->item = nullptr;
    GiveAway(item);
}
