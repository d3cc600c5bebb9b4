#pragma once
// The style record: the box model, background, font, alignment, layout and state of a
// page item in one visual state. The painter reads it; the style language of the page
// items fills it, and owns the functions that initialise, parse and format it.
//
// "Unset" means not given here: the field is inherited from the next record in the
// cascade. A record owns its font family, content and background source; whoever frees
// a record frees those first.

#include <cstdint>

#include "platform/panekit/paint/gradient_desc.h"

struct XSelectorList; // the page style's compiled selectors; opaque to the painter
class XImage;

// Side order of margin, padding, border bytes, border colours and pens.
enum : int { kSideLeft = 0, kSideTop = 1, kSideRight = 2, kSideBottom = 3 };
// Corner order of the radii.
enum : int {
    kCornerBottomLeft = 0,
    kCornerTopLeft = 1,
    kCornerTopRight = 2,
    kCornerBottomRight = 3
};

// State codes of a descriptor.
enum : uint32_t {
    kStateNormal = 0,
    kStateFocus = 2,
    kStateHover = 3,
    kStateActive = 4,
    kStateDisabled = 5,
    kStateChild1 = 16,
    kStateChild2 = 32,
    kStateChild3 = 48,
    kStateChild4 = 64,
    kStateAfter = 160,
    kStateUnknown = 255, // a state word of a selector that names no state
};

constexpr int16_t kStyleUnsetSpace = 32767;      // margin and padding sides
constexpr uint8_t kStyleUnsetByte = 0xFF;        // border side bytes
constexpr uint8_t kStyleUnsetRadius = 255;       // corner radii
constexpr uint32_t kStyleUnsetWord = 0xFFFFFFFF; // layout, state word, lengths, colours
constexpr uint32_t kStyleUnsetBackground = 0x00FFFFFF;

// Touched-group bits.
enum : uint32_t {
    kGroupFont = 0x01,
    kGroupBox = 0x02,      // border, margin, padding
    kGroupColor = 0x04,    // color, opacity, background
    kGroupLayout = 0x08,   // layout, layout-x/-y, position, wrapmode
    kGroupOverflow = 0x10, // overflow, overflow-x/-y, height
    kGroupWidth = 0x20,
    kGroupState = 0x40, // visibility, disabled, readonly
    kGroupText = 0x80,  // text-align, vertical-align, text-decoration
};

// Layout word fields: shift and mask (a field is unset when all its bits are 1).
struct StyleField
{
    uint32_t shift;
    uint32_t mask;
};
constexpr StyleField kTextAlign{0, 0x3};     // 0 left, 1 right, 2 center
constexpr StyleField kVerticalAlign{2, 0x3}; // 0 top, 1 bottom, 2 middle
constexpr StyleField kTextDrawFlags{4, 0xF}; // handed to the painter's text functions
constexpr StyleField kWrapMode{8, 0x3};      // 0 inline, 2 block, 1 break
constexpr StyleField kPosition{10, 0x3};     // 0 static, 1 absolute
constexpr StyleField kOverflowX{12, 0xF};    // 0 hidden, 1 scroll, 2 auto, 4 extend
constexpr StyleField kOverflowY{16, 0xF};
constexpr StyleField kLayoutX{20, 0xF}; // 1 left, 2 right, 3 center, 4 extend
constexpr StyleField kLayoutY{24, 0xF}; // 1 top, 2 bottom, 3 center, 4 extend
// State word fields.
constexpr StyleField kVisibility{0, 0xF}; // 0 visible, 1 hidden
constexpr StyleField kStateFlags{4, 0xF}; // 1 disabled, 2 read-only
// Background word fields.
constexpr StyleField kBackKind{0, 0xFF}; // 0 none, 1 colour, 2 url, 3 gradient, 6 render, 8+n icon
constexpr StyleField kBackSize{8, 0xF};  // 1 cover, 2 contain, 3 stretch
constexpr StyleField kBackRepeat{12, 0xF}; // 0 no-repeat, 1 repeat-x, 2 repeat-y, 3 repeat
constexpr StyleField kBackPosX{16, 0xF};   // 0 left, 1 center, 2 right
constexpr StyleField kBackPosY{20, 0xF};   // 0 top, 1 center, 2 bottom

enum : uint32_t {
    kBackNone = 0,
    kBackColor = 1,
    kBackPicture = 2,
    kBackGradient = 3,
    kBackRender = 6,
    kBackIcon = 8, // 8 + icon number 0...7
};

// Border side byte: width in the high nibble (0...14, 15 not given), style low.
enum : uint8_t {
    kBorderNone = 0,
    kBorderSolid = 1,
    kBorderDotted = 2,
    kBorderDashed = 3,
    kBorderInset = 10,
    kBorderOutset = 11,
};

constexpr uint8_t kBorderNotGiven = 15; // a width or style nibble that was not given

// The line width of a border side byte in every calculation (drawing and spaces alike):
// 0 for a side without a style (unset, none or not given), else the width nibble, a
// width not given counting as 1.
constexpr int GetBorderSideWidth(uint8_t side)
{
    const int style = side & 0xF, width = side >> 4;
    if (style == kBorderNone || style == kBorderNotGiven)
        return 0;
    return width == kBorderNotGiven ? 1 : width;
}

// Font flags.
enum : uint32_t {
    kFontBold = 0x1,
    kFontItalic = 0x2,
    kFontUnderline = 0x4,
    kFontLineThrough = 0x8
};

// Encoded length (width, height): value x 1000 in bits 0-27, unit in bits 28-31.
enum : uint32_t { kUnitPixel = 0, kUnitPercent = 1, kUnitPoint = 2, kUnitEm = 3, kUnitRem = 4 };
constexpr uint32_t kLengthValueMask = 0x0FFFFFFF;

struct XStyleDesc
{
    union {
        uintptr_t ownerKind;          // default-table entry: the item kind code
        XSelectorList *ownerSelector; // page-style rule: its compiled selector list (owned)
    };
    uint32_t touchedGroups; // kGroup* bits of the last parse
    uint32_t stateCode;     // kState*
    int16_t margin[4];      // kSide* order; kStyleUnsetSpace = unset
    int16_t padding[4];
    uint32_t layoutWord; // kTextAlign ... kLayoutY
    uint32_t stateWord;  // kVisibility, kStateFlags
    uint32_t width;      // encoded length; kStyleUnsetWord = unset
    uint32_t height;
    int32_t opacity;   // 0...10000; -1 = unset
    uint32_t backWord; // kBackKind ... kBackPosY
    uint32_t backColor;
    union {
        void *backSource;            // null when none is held
        char16_t *backName;          // kinds 2, 6 and 8+n
        XGradientDesc *backGradient; // kind 3
    };
    uint8_t border[4];       // kSide* order; kStyleUnsetByte = unset
    uint8_t radius[4];       // kCorner* order, 0...250; kStyleUnsetRadius = unset
    uint32_t borderColor[4]; // 0xFFFFFFFF = none
    int32_t fontSize;        // pixels; 0 = unset
    uint32_t fontFlags;      // kFont*
    uint32_t textColor;
    char16_t *fontFamily;  // null = unset
    XImage *backPicture;   // resolved picture cache, cleared when the background changes
    void *fontHandle;      // resolved font cache
    void *borderPen[4];    // resolved pen caches
    char16_t *content;     // null = unset
    XStyleDesc *nextEntry; // next kind in the default table, next rule in a page style
    XStyleDesc *nextState; // next state variant of the same kind or item
};

// Field of a word, all ones (unset) or a value.
constexpr uint32_t GetStyleField(uint32_t word, StyleField f)
{
    return (word >> f.shift) & f.mask;
}
constexpr uint32_t SetStyleField(uint32_t word, StyleField f, uint32_t value)
{
    return (word & ~(f.mask << f.shift)) | ((value & f.mask) << f.shift);
}
constexpr bool IsStyleFieldSet(uint32_t word, StyleField f)
{
    return GetStyleField(word, f) != f.mask;
}

// Non-zero for background kinds whose source is a UTF-16 name (2, 6, 8...15).
constexpr bool IsNamedBackKind(uint32_t kind)
{
    return kind == kBackPicture || kind == kBackRender ||
           (kind >= kBackIcon && kind < kBackIcon + 8);
}
