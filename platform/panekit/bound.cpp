#include "platform/panekit/bound.h"

#include <algorithm>

#include "pagekit/core/style_desc.h"

namespace {

int32_t ClampToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

bool IsEmpty(const BOUND_t *b)
{
    return b->width <= 0 || b->height <= 0;
}

// Writes [x0, x1) x [y0, y1) into out, or zeros when it is empty.
int StoreSpan(BOUND_t *out, int64_t x0, int64_t y0, int64_t x1, int64_t y1)
{
    if (x1 <= x0 || y1 <= y0) {
        *out = BOUND_t{0, 0, 0, 0};
        return 0;
    }
    *out =
        BOUND_t{ClampToInt32(x0), ClampToInt32(y0), ClampToInt32(x1 - x0), ClampToInt32(y1 - y0)};
    return 1;
}

int64_t Right(const BOUND_t *b)
{
    return int64_t{b->x} + b->width;
}

int64_t Bottom(const BOUND_t *b)
{
    return int64_t{b->y} + b->height;
}

} // namespace

void InflateBound(BOUND_t *bound, const RECT_t *rect)
{
    bound->x = ClampToInt32(int64_t{bound->x} - rect->left);
    bound->y = ClampToInt32(int64_t{bound->y} - rect->top);
    bound->width = ClampToInt32(int64_t{bound->width} + rect->left + rect->right);
    bound->height = ClampToInt32(int64_t{bound->height} + rect->top + rect->bottom);
}

void DeflateBound(BOUND_t *bound, const RECT_t *rect)
{
    bound->x = ClampToInt32(int64_t{bound->x} + rect->left);
    bound->y = ClampToInt32(int64_t{bound->y} + rect->top);
    bound->width = ClampToInt32(int64_t{bound->width} - rect->left - rect->right);
    bound->height = ClampToInt32(int64_t{bound->height} - rect->top - rect->bottom);
}

int IntersectBound(BOUND_t *out, const BOUND_t *a, const BOUND_t *b)
{
    if (IsEmpty(a) || IsEmpty(b))
        return StoreSpan(out, 0, 0, 0, 0);
    return StoreSpan(out, std::max(a->x, b->x), std::max(a->y, b->y), std::min(Right(a), Right(b)),
                     std::min(Bottom(a), Bottom(b)));
}

int UnionBound(BOUND_t *out, const BOUND_t *a, const BOUND_t *b)
{
    if (IsEmpty(a) && IsEmpty(b))
        return StoreSpan(out, 0, 0, 0, 0);
    if (IsEmpty(b))
        return StoreSpan(out, a->x, a->y, Right(a), Bottom(a));
    if (IsEmpty(a))
        return StoreSpan(out, b->x, b->y, Right(b), Bottom(b));
    return StoreSpan(out, std::min(a->x, b->x), std::min(a->y, b->y), std::max(Right(a), Right(b)),
                     std::max(Bottom(a), Bottom(b)));
}

int SubtractBound(BOUND_t *out, const BOUND_t *a, const BOUND_t *b)
{
    int64_t x0 = a->x, y0 = a->y, x1 = Right(a), y1 = Bottom(a);
    if (IsEmpty(a))
        return StoreSpan(out, 0, 0, 0, 0);
    if (!IsEmpty(b)) {
        const int64_t bx0 = b->x, by0 = b->y, bx1 = Right(b), by1 = Bottom(b);
        const bool spansX = bx0 <= x0 && bx1 >= x1;
        const bool spansY = by0 <= y0 && by1 >= y1;
        if (spansX && spansY)
            return StoreSpan(out, 0, 0, 0, 0);
        if (spansX && by0 <= y0 && by1 > y0)
            y0 = by1;
        else if (spansX && by1 >= y1 && by0 < y1)
            y1 = by0;
        else if (spansY && bx0 <= x0 && bx1 > x0)
            x0 = bx1;
        else if (spansY && bx1 >= x1 && bx0 < x1)
            x1 = bx0;
    }
    return StoreSpan(out, x0, y0, x1, y1);
}

int PointInBound(const BOUND_t *bound, int32_t x, int32_t y)
{
    return x >= bound->x && x < Right(bound) && y >= bound->y && y < Bottom(bound);
}

int PointInBound(const BOUND_t *bound, const POINT_t *point)
{
    return PointInBound(bound, point->x, point->y);
}

void GetRectBorder(RECT_t *out, const XStyleDesc *style)
{
    int32_t widths[4];
    for (int side = 0; side < 4; ++side) {
        const uint8_t v = style->border[side];
        const int width = v >> 4, kind = v & 0xF;
        if (v == kStyleUnsetByte || kind == kBorderNone)
            widths[side] = 0;
        else
            widths[side] = width == 15 ? 1 : width;
    }
    *out = RECT_t{widths[kSideLeft], widths[kSideTop], widths[kSideRight], widths[kSideBottom]};
}
