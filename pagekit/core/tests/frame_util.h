#pragma once
// Frames for the layout tests: a created form root holding one frame whose children are
// given as a list of sizes and item flags.

#include <cstdint>
#include <string>
#include <vector>

#include "pagekit/core/page_frame.h"
#include "pagekit/core/page_viewer.h"

// Item-flag nibbles of a child.
constexpr uint32_t LX(uint32_t v)
{
    return v << 20;
}
constexpr uint32_t LY(uint32_t v)
{
    return v << 24;
}
constexpr uint32_t Wrap(uint32_t v)
{
    return v << 8;
}
constexpr uint32_t OX(uint32_t v)
{
    return v << 12;
}
constexpr uint32_t OY(uint32_t v)
{
    return v << 16;
}
// Extra-flag distributions of a frame.
constexpr uint32_t AlignX(uint32_t v)
{
    return v << 16;
}
constexpr uint32_t AlignY(uint32_t v)
{
    return v << 18;
}

struct Kid
{
    int32_t w;
    int32_t h;
    uint32_t flags; // item flags besides visible
    int32_t x = 0;
    int32_t y = 0;
};

// A form root (free layout, 4000 x 4000) with one frame at 0, 0 of width x height, its
// item flags and extra flags, and the children; all created.
class FrameTree
{
public:
    FrameTree(uint32_t extra, int32_t width, int32_t height, const std::vector<Kid> &kids,
              uint32_t frameFlags = 0);
    FrameTree(const FrameTree &) = delete;
    FrameTree &operator=(const FrameTree &) = delete;

    XPageViewer root;
    XPageFrame *frame = nullptr;
    std::vector<XPageItem *> kids;

    // The children's places, "(x,y,w,h)" each.
    std::string Places() const;
};

// "(x,y,w,h)" of a list of bounds.
std::string ShowPlaces(const std::vector<BOUND_t> &bounds);
