#pragma once
// Geometry of a resolved descriptor (one in which no space is unset): the spaces around
// an item's content and the place of a sized box inside a bound.

#include "pagekit/core/style_desc.h"
#include "pagekit/pagekit_export.h"
#include "platform/panekit/paint/bound.h"

// Modes of CalcItemPlace and CalcItemSpace: which spaces count.
enum : int {
    kSpaceMargin = 0,  // margins
    kSpaceBorder = 1,  // margins and border widths (GetBorderSideWidth, as the painter draws them)
    kSpacePadding = 2, // margins, border widths and paddings
};

// Moves the bound by the left and top spaces and shrinks it by both sides' spaces.
PAGEKIT_EXPORT void CalcItemPlace(int mode, BOUND_t *bound, const XStyleDesc *desc);
// The spaces per side.
PAGEKIT_EXPORT void CalcItemSpace(int mode, RECT_t *out, const XStyleDesc *desc);
// Places a box of the descriptor's width and height inside the bound without its margins:
// unset extents take the available room; layout-x right/center and layout-y
// bottom/center align the box, other values keep the left or top edge.
PAGEKIT_EXPORT void CalcDrawPlace(BOUND_t *out, const BOUND_t *in, const XStyleDesc *desc);
