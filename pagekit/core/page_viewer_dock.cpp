// The form root's docking: dockers take strips around the edges, the viewer's margins
// become the insets, and the fixed children are drawn below (dockers) or above (floaters,
// tool tip) the body.

#include "pagekit/core/page_viewer.h"

#include <algorithm>

#include "platform/panekit/paint/xpainter.h"

namespace {

uint32_t DockSideOf(const XPageItem *item)
{
    if (!(item->itemFlags & kItemFixed))
        return kDockNone;
    const uint32_t side = GetStyleField(item->extraFlags, kFrameDock);
    return side >= kDockTop && side <= kDockBottom ? side : kDockNone;
}

// Places one docker in its strip of rest and takes the strip away. A docker whose height
// changes while it is placed (a vertically extending bar that wraps) shifts the rest by
// the difference.
void PlaceStrip(XPageItem *item, uint32_t side, BOUND_t *rest, int flag, bool move)
{
    BOUND_t strip = item->place;
    switch (side) {
    case kDockTop:
        strip = {rest->x, rest->y, rest->width, item->place.height};
        break;
    case kDockBottom:
        strip = {rest->x, rest->y + rest->height - item->place.height, rest->width,
                 item->place.height};
        break;
    case kDockLeft:
        strip = {rest->x, rest->y, item->place.width, rest->height};
        break;
    case kDockRight:
        strip = {rest->x + rest->width - item->place.width, rest->y, item->place.width,
                 rest->height};
        break;
    default:
        return;
    }
    int32_t height = strip.height;
    if (move) {
        item->MovePlace(&strip, flag);
        if (GetStyleField(item->itemFlags, kItemOverflowY) == kOverflowExtend)
            item->CalcExtentSize(0);
        height = item->place.height;
        if (side == kDockBottom && height != strip.height) {
            BOUND_t shifted = item->place;
            shifted.y = rest->y + rest->height - height;
            item->MovePlace(&shifted, flag);
        }
    }
    height = std::clamp(height, 0, rest->height);
    const int32_t width = std::clamp(strip.width, 0, rest->width);
    switch (side) {
    case kDockTop:
        rest->y += height;
        rest->height -= height;
        break;
    case kDockBottom:
        rest->height -= height;
        break;
    case kDockLeft:
        rest->x += width;
        rest->width -= width;
        break;
    default:
        rest->width -= width;
        break;
    }
}

} // namespace

const void *XPageViewer::AddDocker(uint32_t side, XPageItem *item, int relayout)
{
    if (item == nullptr)
        return nullptr;
    if (side < kDockTop || side > kDockBottom)
        side = kDockNone;
    const uint32_t flags = item->itemFlags;
    const uint32_t extra = item->extraFlags;
    item->itemFlags |= kItemFixed | kItemAbsolute;
    item->extraFlags = SetStyleField(item->extraFlags, kFrameDock, side);
    const void *node = AddItem(item);
    if (node == nullptr) {
        item->itemFlags = flags;
        item->extraFlags = extra;
        return nullptr;
    }
    if (relayout && (itemFlags & kItemCreated))
        UpdateLayout(1);
    return node;
}

XPageItem *XPageViewer::SearchDocker(uint32_t code) const
{
    for (const void *cursor = nullptr; XPageItem *child = GetNextItem(&cursor);) {
        if (DockSideOf(child) != kDockNone && static_cast<uint32_t>(child->itemCode) == code)
            return child;
    }
    return nullptr;
}

RECT_t XPageViewer::PlaceDockers(const BOUND_t &area, int flag, bool move)
{
    BOUND_t rest = area;
    for (const void *cursor = nullptr; XPageItem *child = GetNextItem(&cursor);) {
        if (!(child->itemFlags & kItemVisible) || !(child->itemFlags & kItemFixed))
            continue;
        const uint32_t side = DockSideOf(child);
        if (side != kDockNone) {
            PlaceStrip(child, side, &rest, flag, move);
            continue;
        }
        BOUND_t docked;
        if (move && GetDockPlace(child, &area, &docked))
            child->MovePlace(&docked, flag);
    }
    return {rest.x - area.x, rest.y - area.y, area.x + area.width - (rest.x + rest.width),
            area.y + area.height - (rest.y + rest.height)};
}

void XPageViewer::SetInsets(const RECT_t &insets)
{
    m_insets = insets;
    const XStyleDesc &own = itemStyle.m_own;
    if (own.margin[kSideLeft] == insets.left && own.margin[kSideTop] == insets.top &&
        own.margin[kSideRight] == insets.right && own.margin[kSideBottom] == insets.bottom)
        return;
    itemStyle.SetLeave(kStateNormal, insets.left, insets.top, insets.right, insets.bottom);
    UpdateStyleDesc(0x12);
}

void XPageViewer::UpdateLayout(int flag)
{
    const BOUND_t area = {0, 0, place.width, place.height};
    SetInsets(PlaceDockers(area, flag, true));
    XPageFrame::UpdateLayout(flag);
}

int XPageViewer::CalcExtentSize(int mode)
{
    const BOUND_t area = {0, 0, kViewerExtentArea, kViewerExtentArea};
    SetInsets(PlaceDockers(area, 0, false));
    return XPageFrame::CalcExtentSize(mode);
}

void XPageViewer::DrawFixedChildren(XPainter *painter, const BOUND_t *bound, bool docked)
{
    if (painter == nullptr || bound == nullptr || m_first == nullptr)
        return;
    BOUND_t area = place;
    if (!IntersectBound(&area, &area, bound))
        return;
    area.x -= place.x;
    area.y -= place.y;
    BOUND_t saved;
    const int hadClip = painter->GetClipRect(&saved);
    painter->Translate(place.x, place.y);
    painter->SetClipRect(&area);
    for (const void *cursor = nullptr; XPageItem *child = GetNextItem(&cursor);) {
        if ((child->itemFlags & kItemFixed) && (DockSideOf(child) != kDockNone) == docked)
            DrawChild(painter, child, &area);
    }
    painter->Translate(-place.x, -place.y);
    painter->SetClipRect(hadClip ? &saved : nullptr);
}

void XPageViewer::DrawFloater(XPainter *painter, const BOUND_t *bound)
{
    if (painter == nullptr)
        return;
    XRescHelper *previous = painter->SetRescHelper(GetRescHelper());
    DrawFixedChildren(painter, bound, false);
    painter->SetRescHelper(previous);
}
