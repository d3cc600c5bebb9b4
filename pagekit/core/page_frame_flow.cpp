// Flowing and flex lines of frames.
//
// [lines]     the cells of the flowing children and the greedy line breaking
// [flow]      a flow line: proportional extend widths, distribution, the last item
// [flex]      a flex line: equal extend shares, distributions, spreading
// [vertical]  placement inside a line, shared by both
// [layouts]   OnFlowLayout, OnFlexLayout and the content size for the extent

#include <algorithm>
#include <vector>

#include "pagekit/core/page_frame.h"

// ---------------------------------------------------------------------------------------
// [lines]
// ---------------------------------------------------------------------------------------

// One flowing child as the line breaking sees it.
struct XPageFrame::Cell
{
    XPageItem *item;
    BOUND_t place;  // the place with percent sizes applied
    int32_t width;  // what it takes in a line: its minimum width when it extends
    int32_t height; // what it gives the line height: its minimum height when it extends
    uint32_t layoutX;
    uint32_t layoutY;
    uint32_t wrap;
};

struct XPageFrame::Line
{
    size_t first;
    size_t count;
    int64_t fixed;     // widths of the items that do not extend
    int64_t extendMin; // minimum widths of the extend items
    int32_t extends;   // number of extend items
    int32_t height;
};

namespace {

using Cell = XPageFrame::Cell;
using Line = XPageFrame::Line;

// Before creation an item's minimum size is its place size.
int32_t MinimumWidth(const XPageItem *item, const BOUND_t &place)
{
    return (item->itemFlags & kItemCreated) ? item->minWidth : place.width;
}

int32_t MinimumHeight(const XPageItem *item, const BOUND_t &place)
{
    return (item->itemFlags & kItemCreated) ? item->minHeight : place.height;
}

Cell MakeCell(XPageItem *item, const BOUND_t *percentBase, uint32_t ownerFlags)
{
    Cell cell;
    cell.item = item;
    cell.place = XPageFrame::GetPercentPlace(item, percentBase, ownerFlags);
    cell.layoutX = GetStyleField(item->itemFlags, kItemLayoutX);
    cell.layoutY = GetStyleField(item->itemFlags, kItemLayoutY);
    cell.wrap = GetStyleField(item->itemFlags, kItemWrapMode);
    cell.width = cell.place.width;
    if (cell.layoutX == kLayoutExtend)
        cell.width = std::max(MinimumWidth(item, cell.place), kExtendMinWidth);
    cell.height = cell.place.height;
    if (cell.layoutY == kLayoutExtend)
        cell.height = MinimumHeight(item, cell.place);
    cell.width = std::max(cell.width, 0);
    cell.height = std::max(cell.height, 0);
    return cell;
}

// Greedy lines, one cell at a time: an item joins the open line when it is not a block
// and the line with it still fits the width; a block has a line of its own, a break item
// ends its line.
class LineBreaker
{
public:
    LineBreaker(int32_t width, std::vector<Line> &lines) : m_width(width), m_lines(lines) {}

    void Add(const Cell &cell, size_t index)
    {
        const bool block = cell.wrap == kWrapBlock;
        if (m_open) {
            const Line &line = m_lines.back();
            const int64_t taken = line.fixed + line.extendMin + cell.width;
            if (block || taken > m_width)
                m_open = false;
        }
        if (!m_open) {
            m_lines.push_back(Line{index, 0, 0, 0, 0, 0});
            m_open = true;
        }
        Line &line = m_lines.back();
        ++line.count;
        if (cell.layoutX == kLayoutExtend) {
            line.extendMin += cell.width;
            ++line.extends;
        } else {
            line.fixed += cell.width;
        }
        line.height = std::max(line.height, cell.height);
        if (block || cell.wrap == kWrapBreak)
            m_open = false;
    }

private:
    int32_t m_width;
    std::vector<Line> &m_lines;
    bool m_open = false;
};

} // namespace

// The cells of the flowing children (visible, neither absolute nor fixed, as GetFlowItem
// walks them) broken into lines against width, in one walk over the children. The
// children placed outside the lines (visible, absolute, not fixed) are only counted.
size_t XPageFrame::CollectLines(const BOUND_t *percentBase, int32_t width, std::vector<Cell> &cells,
                                std::vector<Line> &lines) const
{
    cells.clear();
    lines.clear();
    LineBreaker breaker(width, lines);
    size_t absolute = 0;
    for (const XItemNode *at = m_first; at != nullptr;) {
        XPageItem *item = at->item;
        const uint32_t flags = item->itemFlags;
        if ((flags & kItemVisible) && !(flags & kItemFixed)) {
            if (flags & kItemAbsolute) {
                ++absolute;
            } else {
                cells.push_back(MakeCell(item, percentBase, itemFlags));
                breaker.Add(cells.back(), cells.size() - 1);
            }
        }
        at = at->next != m_first ? at->next : nullptr;
    }
    return absolute;
}

// ---------------------------------------------------------------------------------------
// [vertical]
// ---------------------------------------------------------------------------------------

namespace {

// The vertical part of a cell's place inside a line at top of the given height.
void PlaceInLine(Cell &cell, int32_t top, int32_t height)
{
    BOUND_t &place = cell.place;
    switch (cell.layoutY) {
    case kLayoutEnd:
        place.y = top + height - place.height;
        break;
    case kLayoutCenter:
        place.y = top + (height - place.height) / 2;
        break;
    case kLayoutExtend:
        place.y = top;
        place.height = height;
        break;
    default:
        place.y = top;
        break;
    }
}

// Moves the cells of a line whose x and width are set; the tallest placed item may
// grow the line (an item that adapts its height to its new width).
int32_t MoveLine(Cell *cells, const Line &line, int32_t top, int32_t height, int flag)
{
    int32_t grown = height;
    for (size_t i = 0; i < line.count; ++i) {
        Cell &cell = cells[line.first + i];
        PlaceInLine(cell, top, height);
        cell.item->MovePlace(&cell.place, flag);
        grown = std::max(grown, cell.item->place.y + cell.item->place.height - top);
    }
    return grown;
}

int32_t Distribution(uint32_t extraFlags)
{
    return static_cast<int32_t>(GetStyleField(extraFlags, kFrameAlignX));
}

} // namespace

// ---------------------------------------------------------------------------------------
// [flow]
// ---------------------------------------------------------------------------------------

void XPageFrame::PlaceFlowLine(const BOUND_t *area, Cell *cells, const Line &line)
{
    const int32_t rest = static_cast<int32_t>(std::max<int64_t>(area->width - line.fixed, 0));
    int32_t x = area->x;
    if (line.extends > 0) {
        // Extend items share what the fixed widths leave in proportion to their minimum
        // widths; the last one takes exactly the rest, so the line ends at the edge.
        const bool room = rest >= line.extendMin && line.extendMin > 0;
        int32_t given = 0, seen = 0;
        for (size_t i = 0; i < line.count; ++i) {
            Cell &cell = cells[line.first + i];
            if (cell.layoutX == kLayoutExtend) {
                int32_t width = cell.width;
                if (room) {
                    width = ++seen == line.extends
                                ? rest - given
                                : static_cast<int32_t>(cell.width * int64_t(rest) / line.extendMin);
                    given += width;
                }
                cell.place.width = width;
            }
            cell.place.x = x;
            x += cell.place.width;
        }
        return;
    }
    const int32_t free = static_cast<int32_t>(std::max<int64_t>(area->width - line.fixed, 0));
    const int32_t distribution = Distribution(extraFlags);
    if (distribution == kDistributeEnd)
        x += free;
    else if (distribution != kDistributeStart)
        x += free / 2;
    for (size_t i = 0; i < line.count; ++i) {
        Cell &cell = cells[line.first + i];
        cell.place.x = x;
        x += cell.place.width;
    }
    if (distribution != kDistributeStart)
        return;
    // Without distribution the last item may sit at the right edge or in the middle of
    // the width the items before it leave.
    Cell &end = cells[line.first + line.count - 1];
    const int32_t before = end.place.x;
    if (end.layoutX == kLayoutEnd)
        end.place.x = std::max(before, area->x + area->width - end.place.width);
    else if (end.layoutX == kLayoutCenter)
        end.place.x = before + std::max(area->x + area->width - before - end.place.width, 0) / 2;
}

// ---------------------------------------------------------------------------------------
// [flex]
// ---------------------------------------------------------------------------------------

void XPageFrame::PlaceFlexLine(const BOUND_t *area, Cell *cells, const Line &line)
{
    const int32_t free =
        static_cast<int32_t>(std::max<int64_t>(area->width - line.fixed - line.extendMin, 0));
    int32_t x = area->x;
    if (line.extends > 0) {
        const int32_t share = free / line.extends;
        for (size_t i = 0; i < line.count; ++i) {
            Cell &cell = cells[line.first + i];
            if (cell.layoutX == kLayoutExtend)
                cell.place.width = cell.width + share;
            cell.place.x = x;
            x += cell.place.width;
        }
        return;
    }
    const int32_t distribution = Distribution(extraFlags);
    int32_t gap = 0;
    if (distribution == kDistributeEnd) {
        x += free;
    } else if (distribution == kDistributeCenter) {
        x += free / 2;
    } else if (distribution == kDistributeSpread) {
        // Equal gaps between the items; a single item is centred.
        if (line.count > 1)
            gap = free / static_cast<int32_t>(line.count - 1);
        else
            x += free / 2;
    }
    for (size_t i = 0; i < line.count; ++i) {
        Cell &cell = cells[line.first + i];
        cell.place.x = x;
        x += cell.place.width + gap;
    }
}

// ---------------------------------------------------------------------------------------
// [layouts]
// ---------------------------------------------------------------------------------------

namespace {

// Scratch of the line layouts, reused between passes of the UI thread.
thread_local std::vector<Cell> t_cells;
thread_local std::vector<Line> t_lines;

} // namespace

// Lays out the lines; returns the height the lines took.
int32_t XPageFrame::LayoutLines(const BOUND_t *area, int flex, int flag)
{
    std::vector<Cell> cells;
    std::vector<Line> lines;
    cells.swap(t_cells);
    lines.swap(t_lines);
    // The children outside the lines are placed before the lines are taken; without any
    // (the usual case) one walk over the children gives the lines.
    if (CollectLines(GetPercentBase(area), area->width, cells, lines) > 0) {
        PlaceAbsolute(area, flag);
        CollectLines(GetPercentBase(area), area->width, cells, lines);
    }

    int32_t y = area->y;
    int32_t share = 0;
    if (flex && !lines.empty()) {
        // The vertical distribution of the lines; with no lines there is nothing to share.
        int64_t total = 0;
        for (const Line &line : lines)
            total += line.height;
        const int32_t free =
            static_cast<int32_t>(std::max<int64_t>(int64_t(area->height) - total, 0));
        const uint32_t vertical = GetStyleField(extraFlags, kFrameAlignY);
        if (vertical == kDistributeEnd)
            y += free;
        else if (vertical == kDistributeCenter)
            y += free / 2;
        else if (vertical == kDistributeSpread)
            share = free / static_cast<int32_t>(lines.size());
    }
    for (size_t n = 0; n < lines.size(); ++n) {
        const Line &line = lines[n];
        int32_t height = line.height + share;
        const bool last = n + 1 == lines.size();
        if (flex) {
            PlaceFlexLine(area, cells.data(), line);
        } else {
            PlaceFlowLine(area, cells.data(), line);
            // A last line of nothing but vertically extending items takes the height
            // left below it.
            bool allExtend = last;
            for (size_t i = 0; allExtend && i < line.count; ++i)
                allExtend = cells[line.first + i].layoutY == kLayoutExtend;
            if (allExtend)
                height = std::max(height, area->y + area->height - y);
        }
        y += MoveLine(cells.data(), line, y, height, flag);
    }
    const int32_t used = y - area->y;
    cells.swap(t_cells);
    lines.swap(t_lines);
    return used;
}

void XPageFrame::OnFlowLayout(const BOUND_t *area, int flag)
{
    if (area == nullptr)
        return;
    const int32_t used = LayoutLines(area, 0, flag);
    // A frame whose height follows its content grows by what the lines need beyond the
    // body.
    // The area is the body as this layout sees it (an auto bar's 17 pixels already off).
    if (GetStyleField(itemFlags, kItemOverflowY) == kOverflowExtend && used > area->height) {
        place.height += used - area->height;
        minHeight = std::max(minHeight, place.height);
        CalcBodyPlace();
        OnExtentOwner(0);
    }
}

void XPageFrame::OnFlexLayout(const BOUND_t *area, int flag)
{
    if (area == nullptr)
        return;
    LayoutLines(area, 1, flag);
}

// The widest line and the sum of the line heights against width.
void XPageFrame::GetContentSize(int32_t width, int32_t *outWidth, int32_t *outHeight)
{
    std::vector<Cell> cells;
    std::vector<Line> lines;
    cells.swap(t_cells);
    lines.swap(t_lines);
    const BOUND_t area = {0, 0, width, body.height};
    CollectLines(GetPercentBase(&area), width, cells, lines);
    int64_t widest = 0, height = 0;
    for (const Line &line : lines) {
        widest = std::max<int64_t>(widest, line.fixed + line.extendMin);
        height += line.height;
    }
    *outWidth = static_cast<int32_t>(std::min<int64_t>(widest, INT32_MAX));
    *outHeight = static_cast<int32_t>(std::min<int64_t>(height, INT32_MAX));
    cells.swap(t_cells);
    lines.swap(t_lines);
}
