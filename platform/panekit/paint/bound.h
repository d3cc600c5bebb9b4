#pragma once
// Geometry records of the painting library and the free functions on them.
// A bound is x, y, width, height; it is empty when its width or height is 0 or
// less. Coordinates are half-open: a bound covers x <= px < x + width.

#include <cstdint>

#include "platform/panekit/panekit_export.h"

struct XStyleDesc;

struct BOUND_t
{
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

struct RECT_t
{
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct POINT_t
{
    int32_t x;
    int32_t y;
};

struct SIZE_t
{
    int32_t cx;
    int32_t cy;
};

// Grows the bound by the rectangle's four side amounts (negative amounts shrink).
PANEKIT_EXPORT void InflateBound(BOUND_t *bound, const RECT_t *rect);
// Shrinks the bound by the rectangle's four side amounts.
PANEKIT_EXPORT void DeflateBound(BOUND_t *bound, const RECT_t *rect);

// out = the common part of a and b. Non-zero when it is not empty; an empty result is
// written as all zeros. out may be a or b.
PANEKIT_EXPORT int IntersectBound(BOUND_t *out, const BOUND_t *a, const BOUND_t *b);
// out = the smallest bound holding a and b. An empty bound is neutral: the other one is
// the result (all zeros when both are empty). Extents beyond the 32-bit range are cut.
// Non-zero when the result is not empty. out may be a or b.
PANEKIT_EXPORT int UnionBound(BOUND_t *out, const BOUND_t *a, const BOUND_t *b);
// out = the smallest bound holding the part of a that lies outside b (a itself unless b
// takes a whole strip off one side). Non-zero when part of a lies outside b; when b
// covers a (or a is empty) out is all zeros and the result 0. out may be a or b.
PANEKIT_EXPORT int SubtractBound(BOUND_t *out, const BOUND_t *a, const BOUND_t *b);
// Non-zero when the point lies inside the bound.
PANEKIT_EXPORT int PointInBound(const BOUND_t *bound, int32_t x, int32_t y);
PANEKIT_EXPORT int PointInBound(const BOUND_t *bound, const POINT_t *point);

// The line widths a descriptor's border draws per side (GetBorderSideWidth): 0 for a
// side without a style (unset, none or not given), else the width nibble, a width not
// given (15) counting as 1.
PANEKIT_EXPORT void GetRectBorder(RECT_t *out, const XStyleDesc *style);
