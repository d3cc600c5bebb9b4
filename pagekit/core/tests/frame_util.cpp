// Frames for the layout tests.

#include "pagekit/core/tests/frame_util.h"

FrameTree::FrameTree(uint32_t extra, int32_t width, int32_t height, const std::vector<Kid> &list,
                     uint32_t frameFlags)
{
    root.extraFlags = 0;
    const BOUND_t all = {0, 0, 4000, 4000};
    root.MovePlace(&all, 0);
    frame = new XPageFrame;
    frame->extraFlags = extra;
    frame->itemFlags |= frameFlags;
    const BOUND_t place = {0, 0, width, height};
    frame->MovePlace(&place, 0);
    for (const Kid &kid : list) {
        auto *item = new XPageItem;
        item->itemFlags |= kid.flags;
        const BOUND_t size = {kid.x, kid.y, kid.w, kid.h};
        item->MovePlace(&size, 0);
        frame->AddItem(item);
        kids.push_back(item);
    }
    root.AddItem(frame);
    root.OnCreateItem();
}

std::string ShowPlaces(const std::vector<BOUND_t> &bounds)
{
    std::string out;
    for (const BOUND_t &b : bounds)
        out += "(" + std::to_string(b.x) + "," + std::to_string(b.y) + "," +
               std::to_string(b.width) + "," + std::to_string(b.height) + ")";
    return out;
}

std::string FrameTree::Places() const
{
    std::vector<BOUND_t> bounds;
    for (const XPageItem *kid : kids)
        bounds.push_back(kid->place);
    return ShowPlaces(bounds);
}
