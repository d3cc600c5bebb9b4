// Margin, padding, border and corner keys.
#include <algorithm>

#include "pagekit/core/style_keys.h"

namespace {

constexpr int64_t kSpaceMin = -32768;
constexpr int64_t kSpaceMax = kStyleUnsetSpace - 1; // 32767 is the unset marker
constexpr int64_t kLengthMax = INT32_MAX;
constexpr uint8_t kMaxBorderWidth = 14;
constexpr uint8_t kMaxRadius = 250;

constexpr const char *kAutoWord[] = {"auto"};
constexpr const char *kBorderStyleWords[] = {"none",   "hidden", "solid", "dotted",
                                             "dashed", "inset",  "outset"};
constexpr uint8_t kBorderStyleValues[] = {kBorderNone,   kBorderNone,  kBorderSolid, kBorderDotted,
                                          kBorderDashed, kBorderInset, kBorderOutset};

// One item of a value list; returns false when the text holds no such item.
using ItemReader = bool (*)(StyleCursor &c, int64_t *value);

// Reads one to four blank-separated items. A fifth item, or an item that starts like a
// number but is malformed, refuses the whole list; other leftovers end it.
int ReadItems(StyleCursor &c, ItemReader read, int64_t *values)
{
    int count = 0;
    for (;;) {
        SkipStyleBlanks(c);
        if (c.AtEnd())
            break;
        int64_t v = 0;
        if (!read(c, &v)) {
            if (LooksLikeNumber(c))
                return 0;
            break;
        }
        if (count == 4)
            return 0;
        values[count++] = v;
    }
    return count;
}

// A space: pixel length in the 16-bit range, or "auto" (unset).
bool ReadSpace(StyleCursor &c, int64_t *value)
{
    if (ReadStyleWord(c, kAutoWord, 1) == 0) {
        *value = kStyleUnsetSpace;
        return true;
    }
    return ReadPixelLength(c, kSpaceMin, kSpaceMax, value);
}

bool ReadBorderWidth(StyleCursor &c, int64_t *value)
{
    if (!ReadPixelLength(c, 0, kLengthMax, value))
        return false;
    *value = std::min<int64_t>(*value, kMaxBorderWidth);
    return true;
}

bool ReadBorderStyle(StyleCursor &c, int64_t *value)
{
    const int word = ReadStyleWord(c, kBorderStyleWords, 7);
    if (word < 0)
        return false;
    *value = kBorderStyleValues[word];
    return true;
}

bool ReadBorderColor(StyleCursor &c, int64_t *value)
{
    uint32_t color = 0;
    if (!ReadStyleColor(c, &color))
        return false;
    *value = color;
    return true;
}

// A radius: pixel length capped at 250, or "auto" (unset).
bool ReadRadius(StyleCursor &c, int64_t *value)
{
    if (ReadStyleWord(c, kAutoWord, 1) == 0) {
        *value = kStyleUnsetRadius;
        return true;
    }
    if (!ReadPixelLength(c, 0, kLengthMax, value))
        return false;
    *value = std::min<int64_t>(*value, kMaxRadius);
    return true;
}

// Reads the value of a side key (arg a side) or of a shorthand (arg -1) into per-side
// values in kSide order. A reset fills `reset`. Returns the sides' mask, 0 on failure.
int ReadSides(StyleCursor *c, int arg, ItemReader read, int64_t reset, int64_t *sides)
{
    int64_t values[4];
    int count = 1;
    if (!c)
        values[0] = reset;
    else if ((count = arg < 0 ? ReadItems(*c, read, values) : (read(*c, values) ? 1 : 0)) == 0)
        return 0;
    if (arg >= 0) {
        sides[arg] = values[0];
        return 1 << arg;
    }
    ExpandSides(values, count, sides);
    return 0xF;
}

bool ApplySpaces(int16_t *field, StyleCursor *c, int arg)
{
    int64_t sides[4];
    const int mask = ReadSides(c, arg, ReadSpace, kStyleUnsetSpace, sides);
    for (int s = 0; s < 4; ++s) {
        if (mask & (1 << s))
            field[s] = static_cast<int16_t>(sides[s]);
    }
    return mask != 0;
}

void ClearPen(XStyleDesc *desc, int mask)
{
    for (int s = 0; s < 4; ++s) {
        if (mask & (1 << s))
            desc->borderPen[s] = nullptr;
    }
}

// Sets one nibble (shift 4: width, 0: style) of the masked side bytes.
void SetBorderNibbles(XStyleDesc *desc, int mask, const int64_t *sides, int shift)
{
    for (int s = 0; s < 4; ++s) {
        if (mask & (1 << s)) {
            const auto keep = static_cast<uint8_t>(desc->border[s] & (shift ? 0x0F : 0xF0));
            desc->border[s] = static_cast<uint8_t>(keep | (sides[s] << shift));
        }
    }
    ClearPen(desc, mask);
}

} // namespace

bool ApplyMargin(XStyleDesc *desc, StyleCursor *c, int arg)
{
    return ApplySpaces(desc->margin, c, arg);
}

bool ApplyPadding(XStyleDesc *desc, StyleCursor *c, int arg)
{
    return ApplySpaces(desc->padding, c, arg);
}

// [width] [style] [colour], each optional, in this order.
bool ApplyBorder(XStyleDesc *desc, StyleCursor *c, int arg)
{
    const int mask = arg < 0 ? 0xF : 1 << arg;
    if (!c) {
        for (int s = 0; s < 4; ++s) {
            if (mask & (1 << s)) {
                desc->border[s] = kStyleUnsetByte;
                desc->borderColor[s] = kStyleUnsetWord;
            }
        }
        ClearPen(desc, mask);
        return true;
    }
    int64_t width = -1, style = -1, color = -1;
    SkipStyleBlanks(*c);
    if (LooksLikeNumber(*c) && !ReadBorderWidth(*c, &width))
        return false;
    SkipStyleBlanks(*c);
    ReadBorderStyle(*c, &style);
    SkipStyleBlanks(*c);
    ReadBorderColor(*c, &color);
    if (width < 0 && style < 0 && color < 0)
        return false;
    for (int s = 0; s < 4; ++s) {
        if (!(mask & (1 << s)))
            continue;
        if (width >= 0)
            desc->border[s] = static_cast<uint8_t>((desc->border[s] & 0x0F) | (width << 4));
        if (style >= 0)
            desc->border[s] = static_cast<uint8_t>((desc->border[s] & 0xF0) | style);
        if (color >= 0)
            desc->borderColor[s] = static_cast<uint32_t>(color);
    }
    ClearPen(desc, mask);
    return true;
}

bool ApplyBorderWidth(XStyleDesc *desc, StyleCursor *c, int arg)
{
    int64_t sides[4];
    const int mask = ReadSides(c, arg, ReadBorderWidth, 15, sides);
    SetBorderNibbles(desc, mask, sides, 4);
    return mask != 0;
}

bool ApplyBorderStyle(XStyleDesc *desc, StyleCursor *c, int arg)
{
    int64_t sides[4];
    const int mask = ReadSides(c, arg, ReadBorderStyle, 15, sides);
    SetBorderNibbles(desc, mask, sides, 0);
    return mask != 0;
}

bool ApplyBorderColor(XStyleDesc *desc, StyleCursor *c, int arg)
{
    int64_t sides[4];
    const int mask = ReadSides(c, arg, ReadBorderColor, kStyleUnsetWord, sides);
    for (int s = 0; s < 4; ++s) {
        if (mask & (1 << s))
            desc->borderColor[s] = static_cast<uint32_t>(sides[s]);
    }
    ClearPen(desc, mask);
    return mask != 0;
}

// One to four radii: top-left, top-right, bottom-right, bottom-left in CSS order.
bool ApplyBorderRadius(XStyleDesc *desc, StyleCursor *c, int arg)
{
    int64_t values[4];
    int count = 1;
    if (!c)
        values[0] = kStyleUnsetRadius;
    else if ((count = arg < 0 ? ReadItems(*c, ReadRadius, values)
                              : (ReadRadius(*c, values) ? 1 : 0)) == 0)
        return false;
    if (arg >= 0) {
        desc->radius[arg] = static_cast<uint8_t>(values[0]);
        return true;
    }
    const int64_t tl = values[0];
    const int64_t tr = count > 1 ? values[1] : tl;
    const int64_t br = count > 2 ? values[2] : tl;
    const int64_t bl = count > 3 ? values[3] : tr;
    desc->radius[kCornerTopLeft] = static_cast<uint8_t>(tl);
    desc->radius[kCornerTopRight] = static_cast<uint8_t>(tr);
    desc->radius[kCornerBottomRight] = static_cast<uint8_t>(br);
    desc->radius[kCornerBottomLeft] = static_cast<uint8_t>(bl);
    return true;
}
