#pragma once
// Private: the handlers of the style keys. A handler applies one declaration; a null
// cursor means the declaration had no value (reset). It returns true when the
// declaration was applied (its group is then marked touched), false when the value did
// not parse, in which case the descriptor is unchanged.

#include "pagekit/core/style_desc.h"
#include "pagekit/core/style_scan.h"

using StyleKeyHandler = bool (*)(XStyleDesc *desc, StyleCursor *c, int arg);

// Text, font, layout and state keys; arg selects the variant of a family of keys.
bool ApplyFont(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyFontSize(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyFontStyle(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyFontWeight(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyFontFamily(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyColor(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyOpacity(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyContent(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyLength(XStyleDesc *desc, StyleCursor *c, int arg); // 0 width, 1 height
bool ApplyTextAlign(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyVerticalAlign(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyTextDecoration(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyVisibility(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyStateFlag(XStyleDesc *desc, StyleCursor *c, int arg); // 1 disabled, 2 readonly
bool ApplyPosition(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyWrapMode(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyLayout(XStyleDesc *desc, StyleCursor *c, int arg);   // 0 both, 1 x, 2 y
bool ApplyOverflow(XStyleDesc *desc, StyleCursor *c, int arg); // 0 both, 1 x, 2 y

// Box keys. arg: a side (kSide*) or -1 for the shorthand of all sides; corners kCorner*.
bool ApplyMargin(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyPadding(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyBorder(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyBorderWidth(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyBorderStyle(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyBorderColor(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyBorderRadius(XStyleDesc *desc, StyleCursor *c, int arg);

// Background keys.
bool ApplyBackground(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyBackgroundColor(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyBackgroundImage(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyBackgroundRepeat(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyBackgroundSize(XStyleDesc *desc, StyleCursor *c, int arg);
bool ApplyBackgroundPosition(XStyleDesc *desc, StyleCursor *c, int arg);

// Buffer limits of strings, terminator included.
constexpr unsigned kFamilyLimit = 320;
constexpr unsigned kContentLimit = 960;
constexpr unsigned kPictureNameLimit = 2048;

// Expands one to four values given in CSS side order (top, right, bottom, left) into
// kSide order.
template <typename T> void ExpandSides(const T *values, int count, T *sides)
{
    const T top = values[0];
    const T right = count > 1 ? values[1] : top;
    const T bottom = count > 2 ? values[2] : top;
    const T left = count > 3 ? values[3] : right;
    sides[kSideLeft] = left;
    sides[kSideTop] = top;
    sides[kSideRight] = right;
    sides[kSideBottom] = bottom;
}
