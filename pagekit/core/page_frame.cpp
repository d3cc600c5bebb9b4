// Frames: the layout pass, percent sizes, the docking rule, the free layout and the
// extent. The line layouts are in page_frame_flow.cpp, edge dragging in
// page_frame_drag.cpp.

#include "pagekit/core/page_frame.h"

#include <algorithm>

#include "corekit/memory/memory.h"
#include "pagekit/core/style_geometry.h"

XPageFrame::XPageFrame()
{
    kind = 0x91;
}

XPageFrame::~XPageFrame()
{
    CloseTracker(0);
    MemFree(m_drag);
    m_drag = nullptr;
}

// ---------------------------------------------------------------------------------------
// The layout pass
// ---------------------------------------------------------------------------------------

namespace {

bool AsksForBar(uint32_t overflow)
{
    return overflow == kOverflowScroll || overflow == kOverflowAuto;
}

bool AsksForExtent(uint32_t overflow)
{
    return AsksForBar(overflow) || overflow == kOverflowExtend;
}

// The place less margins, borders and paddings, at the place origin.
BOUND_t InnerBound(const XPageItem *item)
{
    BOUND_t inner = {0, 0, item->place.width, item->place.height};
    CalcItemPlace(kSpacePadding, &inner, &item->style);
    inner.width = std::max(inner.width, 0);
    inner.height = std::max(inner.height, 0);
    return inner;
}

} // namespace

// The area starts as the body without the bars that come and go; a bar that is always
// there is already off. Content wider than the body widens the area, and an auto bar it
// brings takes 17 pixels of the other axis; likewise vertically.
BOUND_t XPageFrame::GetLayoutArea() const
{
    const uint32_t ox = GetStyleField(itemFlags, kItemOverflowX);
    const uint32_t oy = GetStyleField(itemFlags, kItemOverflowY);
    const BOUND_t inner = InnerBound(this);
    RECT_t spaces;
    CalcItemSpace(kSpacePadding, &spaces, &style);
    BOUND_t area = {0, 0, inner.width, inner.height};
    if (ox == kOverflowScroll)
        area.height -= kScrollBarSize;
    if (oy == kOverflowScroll)
        area.width -= kScrollBarSize;
    if (AsksForBar(ox)) {
        const int32_t content = std::max(scroll.width, minWidth - spaces.left - spaces.right);
        if (area.width < content) {
            area.width = content;
            if (ox == kOverflowAuto)
                area.height -= kScrollBarSize;
        }
    }
    if (AsksForBar(oy)) {
        const int32_t content = std::max(scroll.height, minHeight - spaces.top - spaces.bottom);
        if (area.height < content) {
            area.height = content;
            if (oy == kOverflowAuto)
                area.width -= kScrollBarSize;
        }
    }
    area.width = std::max(area.width, 0);
    area.height = std::max(area.height, 0);
    return area;
}

void XPageFrame::UpdateLayout(int flag)
{
    stateFlags &= ~kItemStateLayout;
    UpdateStyleDesc(0x10);
    const bool bars = AsksForBar(GetStyleField(itemFlags, kItemOverflowX)) ||
                      AsksForBar(GetStyleField(itemFlags, kItemOverflowY));
    // With bars the area follows the content, and the content may follow the area
    // (children that adapt to their new size): lay out until the area stays, a few times
    // at most.
    if (bars)
        GetContentExtent();
    BOUND_t area = GetLayoutArea();
    // Percentages take the visible area: the content that widens the area may be made
    // of them.
    BOUND_t base = InnerBound(this);
    base.x = base.y = 0;
    if (GetStyleField(itemFlags, kItemOverflowX) == kOverflowScroll)
        base.height = std::max(base.height - kScrollBarSize, 0);
    if (GetStyleField(itemFlags, kItemOverflowY) == kOverflowScroll)
        base.width = std::max(base.width - kScrollBarSize, 0);
    m_percentBase = &base;
    for (int pass = 0; pass < 3; ++pass) {
        if (extraFlags & kFrameFlow)
            OnFlowLayout(&area, flag);
        else if (extraFlags & kFrameFlex)
            OnFlexLayout(&area, flag);
        else
            OnFreeLayout(&area, flag);
        if (!bars)
            break;
        GetContentExtent();
        const BOUND_t next = GetLayoutArea();
        if (next.width == area.width && next.height == area.height)
            break;
        area = next;
    }
    m_percentBase = nullptr;
    if (!flag)
        return;
    if (itemFlags & kItemCreated)
        UpdateScrollbar();
    Invalidate(nullptr, 0);
}

// ---------------------------------------------------------------------------------------
// Percent sizes and docking
// ---------------------------------------------------------------------------------------

namespace {

bool IsPercent(const XPageItem *child, uint32_t length)
{
    return child->style.touchedGroups != 0 && length != kStyleUnsetWord &&
           (length >> 28) == kUnitPercent;
}

int32_t PercentOf(uint32_t length, int32_t area)
{
    const int64_t value = length & kLengthValueMask;
    return static_cast<int32_t>(std::max<int64_t>(value * area / 100000, 0));
}

// Applies the layout nibbles to bound; false when neither is given.
bool DockBound(uint32_t itemFlags, const BOUND_t *area, BOUND_t *bound)
{
    const uint32_t lx = GetStyleField(itemFlags, kItemLayoutX);
    const uint32_t ly = GetStyleField(itemFlags, kItemLayoutY);
    const bool hasX = lx >= kLayoutStart && lx <= kLayoutExtend;
    const bool hasY = ly >= kLayoutStart && ly <= kLayoutExtend;
    if (!hasX && !hasY)
        return false;
    switch (lx) {
    case kLayoutStart:
        bound->x = area->x;
        break;
    case kLayoutEnd:
        bound->x = area->x + area->width - bound->width;
        break;
    case kLayoutCenter:
        bound->x = area->x + (area->width - bound->width) / 2;
        break;
    case kLayoutExtend:
        bound->width = std::max(area->x + area->width - bound->x, 0);
        break;
    default:
        break;
    }
    switch (ly) {
    case kLayoutStart:
        bound->y = area->y;
        break;
    case kLayoutEnd:
        bound->y = area->y + area->height - bound->height;
        break;
    case kLayoutCenter:
        bound->y = area->y + (area->height - bound->height) / 2;
        break;
    case kLayoutExtend:
        bound->height = std::max(area->y + area->height - bound->y, 0);
        break;
    default:
        break;
    }
    return true;
}

// Percent sizes and docking of one child, moved when anything changed.
void PlaceDocked(const XPageFrame *frame, XPageItem *child, const BOUND_t *area, int flag)
{
    BOUND_t bound = XPageFrame::GetPercentPlace(child, frame->GetPercentBase(area));
    DockBound(child->itemFlags, area, &bound);
    child->MovePlace(&bound, flag);
}

} // namespace

BOUND_t XPageFrame::GetPercentPlace(const XPageItem *child, const BOUND_t *area)
{
    const XPageItem *up = child->GetOwner();
    return GetPercentPlace(child, area, up != nullptr ? up->itemFlags : 0);
}

BOUND_t XPageFrame::GetPercentPlace(const XPageItem *child, const BOUND_t *area, uint32_t upFlags)
{
    BOUND_t bound = child->place;
    if (child->style.touchedGroups == 0 || area == nullptr)
        return bound;
    // A percentage of an axis that follows the content is left alone, as that size would
    // then follow itself and grow on every pass.
    if (IsPercent(child, child->style.width) &&
        GetStyleField(upFlags, kItemOverflowX) != kOverflowExtend)
        bound.width = PercentOf(child->style.width, area->width);
    if (IsPercent(child, child->style.height) &&
        GetStyleField(upFlags, kItemOverflowY) != kOverflowExtend)
        bound.height = PercentOf(child->style.height, area->height);
    return bound;
}

int XPageFrame::GetDockPlace(const XPageItem *child, const BOUND_t *area, BOUND_t *out)
{
    if (child == nullptr || area == nullptr || out == nullptr)
        return 0;
    BOUND_t bound = child->place;
    if (!DockBound(child->itemFlags, area, &bound))
        return 0;
    *out = bound;
    return 1;
}

XPageItem *XPageFrame::GetFlowItem(const void **cursor) const
{
    while (XPageItem *item = GetNextItem(cursor)) {
        if ((item->itemFlags & kItemVisible) && !(item->itemFlags & (kItemAbsolute | kItemFixed)))
            return item;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Free layout
// ---------------------------------------------------------------------------------------

void XPageFrame::OnFreeLayout(const BOUND_t *area, int flag)
{
    if (area == nullptr)
        return;
    for (const void *cursor = nullptr; XPageItem *child = GetNextItem(&cursor);) {
        if ((child->itemFlags & kItemVisible) && !(child->itemFlags & kItemFixed))
            PlaceDocked(this, child, area, flag);
    }
}

// The children outside the flow of a flow or flex frame are docked before the lines.
void XPageFrame::PlaceAbsolute(const BOUND_t *area, int flag)
{
    for (const void *cursor = nullptr; XPageItem *child = GetNextItem(&cursor);) {
        const uint32_t flags = child->itemFlags;
        if ((flags & kItemVisible) && (flags & kItemAbsolute) && !(flags & kItemFixed))
            PlaceDocked(this, child, area, flag);
    }
}

// ---------------------------------------------------------------------------------------
// Extent
// ---------------------------------------------------------------------------------------

// The content size into the scroll extent: the lines of a flow or flex frame against the
// inner width (17 less unless the height follows the content), or the far edges of the
// visible children of a free frame.
void XPageFrame::GetContentExtent()
{
    if (extraFlags & (kFrameFlow | kFrameFlex)) {
        int32_t width = InnerBound(this).width;
        if (GetStyleField(itemFlags, kItemOverflowY) != kOverflowExtend)
            width = std::max(width - kScrollBarSize, 0);
        GetContentSize(width, &scroll.width, &scroll.height);
        return;
    }
    int32_t right = 0, bottom = 0;
    for (const void *cursor = nullptr; XPageItem *child = GetNextItem(&cursor);) {
        if (!(child->itemFlags & kItemVisible) || (child->itemFlags & kItemFixed))
            continue;
        const BOUND_t &at = child->place;
        const uint32_t lx = GetStyleField(child->itemFlags, kItemLayoutX);
        const uint32_t ly = GetStyleField(child->itemFlags, kItemLayoutY);
        // A size that follows the area (extend, or a percentage of it) counts with the
        // minimum: counting what the area gave would widen the area on every pass.
        const bool percentW = IsPercent(child, child->style.width);
        const bool percentH = IsPercent(child, child->style.height);
        int32_t w = at.x + at.width;
        if (lx == kLayoutEnd || lx == kLayoutCenter)
            w = percentW ? 0 : at.width;
        else if (lx == kLayoutExtend || percentW)
            w = at.x + child->minWidth;
        int32_t h = at.y + at.height;
        if (ly == kLayoutEnd || ly == kLayoutCenter)
            h = percentH ? 0 : at.height;
        else if (ly == kLayoutExtend || percentH)
            h = at.y + child->minHeight;
        right = std::max(right, w);
        bottom = std::max(bottom, h);
    }
    scroll.width = right;
    scroll.height = bottom;
}

int XPageFrame::CalcExtentSize(int mode)
{
    const uint32_t ox = GetStyleField(itemFlags, kItemOverflowX);
    const uint32_t oy = GetStyleField(itemFlags, kItemOverflowY);
    if (AsksForExtent(ox) || AsksForExtent(oy))
        GetContentExtent();
    return XPageItem::CalcExtentSize(mode);
}
