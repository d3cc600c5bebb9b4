// Font, colour, size, alignment, layout and state keys.
#include <cmath>
#include <iterator>

#include "corekit/memory/memory.h"
#include "pagekit/core/style_keys.h"

namespace {

constexpr int64_t kMaxFontSize = 1000000;

// Word lists of the keys; the word's index is its position.
constexpr const char *kItalicWords[] = {"normal", "italic"};
constexpr const char *kWeightWords[] = {"normal", "bold"};
constexpr const char *kTextAlignWords[] = {"left", "right", "center"};
constexpr const char *kVerticalWords[] = {"top", "bottom", "middle", "baseline"};
constexpr uint32_t kVerticalValues[] = {0, 1, 2, 1};
constexpr const char *kDecorationWords[] = {"underline", "line-through"};
constexpr const char *kVisibilityWords[] = {"visible", "hidden"};
constexpr const char *kPositionWords[] = {"static", "absolute"};
constexpr const char *kWrapWords[] = {"inline", "block", "break"};
constexpr uint32_t kWrapValues[] = {0, 2, 1};
constexpr const char *kLayoutWords[] = {"left", "right", "top", "bottom", "center", "extend"};
// Per layout word: its layout-x value and its layout-y value, 0 when it leaves the axis.
constexpr uint32_t kLayoutXValues[] = {1, 2, 0, 0, 3, 4};
constexpr uint32_t kLayoutYValues[] = {0, 0, 1, 2, 3, 4};
constexpr const char *kOverflowWords[] = {"hidden", "auto", "scroll", "extend"};
constexpr uint32_t kOverflowValues[] = {0, 2, 1, 4};

template <size_t N> int ReadWord(StyleCursor &c, const char *const (&words)[N])
{
    return ReadStyleWord(c, words, static_cast<int>(N));
}

void ReplaceString(char16_t **field, char16_t *value)
{
    MemFree(*field);
    *field = value;
}

void SetLayoutField(XStyleDesc *desc, StyleField f, uint32_t value)
{
    desc->layoutWord = SetStyleField(desc->layoutWord, f, value);
}

void UnsetLayoutField(XStyleDesc *desc, StyleField f)
{
    SetLayoutField(desc, f, f.mask);
}

void SetFlag(uint32_t *flags, uint32_t bit, bool on)
{
    *flags = on ? (*flags | bit) : (*flags & ~bit);
}

} // namespace

bool ApplyFont(XStyleDesc *desc, StyleCursor *c, int)
{
    if (!c) {
        desc->fontHandle = nullptr;
        desc->fontSize = 0;
        desc->fontFlags = 0;
        desc->textColor = kStyleUnsetWord;
        ReplaceString(&desc->fontFamily, nullptr);
        return true;
    }
    const int italic = ReadWord(*c, kItalicWords);
    SkipStyleBlanks(*c);
    const int weight = ReadWord(*c, kWeightWords);
    SkipStyleBlanks(*c);
    int64_t size = -1;
    if (LooksLikeNumber(*c) && !ReadPixelLength(*c, 0, kMaxFontSize, &size))
        return false;
    SkipStyleBlanks(*c);
    char16_t *family = nullptr;
    const bool hasFamily = !c->AtEnd();
    if (hasFamily && !ReadStyleString(*c, kFamilyLimit, &family))
        return false;
    if (italic < 0 && weight < 0 && size < 0 && !hasFamily)
        return false;
    if (italic >= 0)
        SetFlag(&desc->fontFlags, kFontItalic, italic == 1);
    if (weight >= 0)
        SetFlag(&desc->fontFlags, kFontBold, weight == 1);
    if (size >= 0)
        desc->fontSize = static_cast<int32_t>(size);
    if (hasFamily)
        ReplaceString(&desc->fontFamily, family);
    desc->fontHandle = nullptr;
    return true;
}

bool ApplyFontSize(XStyleDesc *desc, StyleCursor *c, int)
{
    int64_t size = 0;
    if (c && !ReadPixelLength(*c, 0, kMaxFontSize, &size))
        return false;
    desc->fontSize = static_cast<int32_t>(size);
    desc->fontHandle = nullptr;
    return true;
}

bool ApplyFontStyle(XStyleDesc *desc, StyleCursor *c, int)
{
    const int word = c ? ReadWord(*c, kItalicWords) : 0;
    if (word < 0)
        return false;
    if (!c)
        desc->fontFlags &= ~kFontItalic;
    else if (word == 1)
        desc->fontFlags |= kFontItalic;
    desc->fontHandle = nullptr;
    return true;
}

bool ApplyFontWeight(XStyleDesc *desc, StyleCursor *c, int)
{
    const int word = c ? ReadWord(*c, kWeightWords) : 0;
    if (word < 0)
        return false;
    if (!c)
        desc->fontFlags &= ~kFontBold;
    else if (word == 1)
        desc->fontFlags |= kFontBold;
    desc->fontHandle = nullptr;
    return true;
}

bool ApplyFontFamily(XStyleDesc *desc, StyleCursor *c, int)
{
    char16_t *family = nullptr;
    if (c && !ReadStyleString(*c, kFamilyLimit, &family))
        return false;
    ReplaceString(&desc->fontFamily, family);
    desc->fontHandle = nullptr;
    return true;
}

bool ApplyColor(XStyleDesc *desc, StyleCursor *c, int)
{
    uint32_t color = kStyleUnsetWord;
    if (c && !ReadStyleColor(*c, &color))
        return false;
    desc->textColor = color;
    return true;
}

bool ApplyOpacity(XStyleDesc *desc, StyleCursor *c, int)
{
    double value = -1;
    if (c) {
        if (!ReadStyleNumber(*c, &value, true))
            return false;
        // Values are clamped to 0 ... 1, as a cascade of opacities expects.
        value = value > 1 ? 1 : (value < 0 ? 0 : value);
    }
    desc->opacity = value < 0 ? -1 : static_cast<int32_t>(std::lround(value * 10000));
    return true;
}

bool ApplyContent(XStyleDesc *desc, StyleCursor *c, int)
{
    char16_t *text = nullptr;
    if (c && !ReadStyleString(*c, kContentLimit, &text))
        return false;
    ReplaceString(&desc->content, text);
    return true;
}

bool ApplyLength(XStyleDesc *desc, StyleCursor *c, int arg)
{
    uint32_t value = kStyleUnsetWord;
    if (c && !ReadEncodedLength(*c, &value))
        return false;
    (arg == 0 ? desc->width : desc->height) = value;
    return true;
}

bool ApplyTextAlign(XStyleDesc *desc, StyleCursor *c, int)
{
    const int word = c ? ReadWord(*c, kTextAlignWords) : 3;
    if (word < 0)
        return false;
    SetLayoutField(desc, kTextAlign, static_cast<uint32_t>(word));
    return true;
}

bool ApplyVerticalAlign(XStyleDesc *desc, StyleCursor *c, int)
{
    if (!c) {
        UnsetLayoutField(desc, kVerticalAlign);
        return true;
    }
    const int word = ReadWord(*c, kVerticalWords);
    if (word < 0)
        return false;
    SetLayoutField(desc, kVerticalAlign, kVerticalValues[word]);
    return true;
}

bool ApplyTextDecoration(XStyleDesc *desc, StyleCursor *c, int)
{
    desc->fontFlags &= ~(kFontUnderline | kFontLineThrough);
    desc->fontHandle = nullptr;
    for (int i = 0; c && i < 2; ++i) {
        SkipStyleBlanks(*c);
        const int word = ReadWord(*c, kDecorationWords);
        if (word < 0)
            break;
        desc->fontFlags |= word == 0 ? kFontUnderline : kFontLineThrough;
    }
    return true;
}

bool ApplyVisibility(XStyleDesc *desc, StyleCursor *c, int)
{
    const int word = c ? ReadWord(*c, kVisibilityWords) : static_cast<int>(kVisibility.mask);
    if (word < 0)
        return false;
    desc->stateWord = SetStyleField(desc->stateWord, kVisibility, static_cast<uint32_t>(word));
    return true;
}

bool ApplyStateFlag(XStyleDesc *desc, StyleCursor *c, int arg)
{
    const uint32_t value = c ? static_cast<uint32_t>(arg) : kStateFlags.mask;
    desc->stateWord = SetStyleField(desc->stateWord, kStateFlags, value);
    return true;
}

bool ApplyPosition(XStyleDesc *desc, StyleCursor *c, int)
{
    const int word = c ? ReadWord(*c, kPositionWords) : static_cast<int>(kPosition.mask);
    if (word < 0)
        return false;
    SetLayoutField(desc, kPosition, static_cast<uint32_t>(word));
    return true;
}

bool ApplyWrapMode(XStyleDesc *desc, StyleCursor *c, int)
{
    if (!c) {
        UnsetLayoutField(desc, kWrapMode);
        return true;
    }
    const int word = ReadWord(*c, kWrapWords);
    if (word < 0)
        return false;
    SetLayoutField(desc, kWrapMode, kWrapValues[word]);
    return true;
}

// "layout" reads an x word then a y word; "layout-x" and "layout-y" read one word.
bool ApplyLayout(XStyleDesc *desc, StyleCursor *c, int arg)
{
    if (!c) {
        if (arg != 2)
            UnsetLayoutField(desc, kLayoutX);
        if (arg != 1)
            UnsetLayoutField(desc, kLayoutY);
        return true;
    }
    const int first = ReadWord(*c, kLayoutWords);
    if (first < 0)
        return false;
    int second = -1;
    if (arg == 0) {
        SkipStyleBlanks(*c);
        second = ReadWord(*c, kLayoutWords);
    } else if (arg == 2) {
        second = first;
    }
    if (arg != 2 && kLayoutXValues[first] != 0)
        SetLayoutField(desc, kLayoutX, kLayoutXValues[first]);
    if (second >= 0 && kLayoutYValues[second] != 0)
        SetLayoutField(desc, kLayoutY, kLayoutYValues[second]);
    return true;
}

bool ApplyOverflow(XStyleDesc *desc, StyleCursor *c, int arg)
{
    uint32_t value = kOverflowX.mask;
    if (c) {
        const int word = ReadWord(*c, kOverflowWords);
        if (word < 0)
            return false;
        value = kOverflowValues[word];
    }
    if (arg != 2)
        SetLayoutField(desc, kOverflowX, value);
    if (arg != 1)
        SetLayoutField(desc, kOverflowY, value);
    return true;
}
