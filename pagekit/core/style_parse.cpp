#include <algorithm>
#include <cstring>
#include <iterator>

#include "pagekit/core/style_keys.h"
#include "pagekit/core/style_text.h"

namespace {

struct StyleKey
{
    const char *name; // lower case; the table is sorted by it
    StyleKeyHandler apply;
    uint32_t group; // touched-group bit
    int arg;
};

// Keys of the style language: name, handler, group, handler argument.
constexpr StyleKey kStyleKeys[] = {
    {"background", ApplyBackground, kGroupColor, 0},
    {"background-color", ApplyBackgroundColor, kGroupColor, 0},
    {"background-image", ApplyBackgroundImage, kGroupColor, 0},
    {"background-position", ApplyBackgroundPosition, kGroupColor, 0},
    {"background-repeat", ApplyBackgroundRepeat, kGroupColor, 0},
    {"background-size", ApplyBackgroundSize, kGroupColor, 0},
    {"border", ApplyBorder, kGroupBox, -1},
    {"border-bottom", ApplyBorder, kGroupBox, kSideBottom},
    {"border-bottom-color", ApplyBorderColor, kGroupBox, kSideBottom},
    {"border-bottom-left-radius", ApplyBorderRadius, kGroupBox, kCornerBottomLeft},
    {"border-bottom-right-radius", ApplyBorderRadius, kGroupBox, kCornerBottomRight},
    {"border-bottom-style", ApplyBorderStyle, kGroupBox, kSideBottom},
    {"border-bottom-width", ApplyBorderWidth, kGroupBox, kSideBottom},
    {"border-color", ApplyBorderColor, kGroupBox, -1},
    {"border-left", ApplyBorder, kGroupBox, kSideLeft},
    {"border-left-color", ApplyBorderColor, kGroupBox, kSideLeft},
    {"border-left-style", ApplyBorderStyle, kGroupBox, kSideLeft},
    {"border-left-width", ApplyBorderWidth, kGroupBox, kSideLeft},
    {"border-radius", ApplyBorderRadius, kGroupBox, -1},
    {"border-right", ApplyBorder, kGroupBox, kSideRight},
    {"border-right-color", ApplyBorderColor, kGroupBox, kSideRight},
    {"border-right-style", ApplyBorderStyle, kGroupBox, kSideRight},
    {"border-right-width", ApplyBorderWidth, kGroupBox, kSideRight},
    {"border-style", ApplyBorderStyle, kGroupBox, -1},
    {"border-top", ApplyBorder, kGroupBox, kSideTop},
    {"border-top-color", ApplyBorderColor, kGroupBox, kSideTop},
    {"border-top-left-radius", ApplyBorderRadius, kGroupBox, kCornerTopLeft},
    {"border-top-right-radius", ApplyBorderRadius, kGroupBox, kCornerTopRight},
    {"border-top-style", ApplyBorderStyle, kGroupBox, kSideTop},
    {"border-top-width", ApplyBorderWidth, kGroupBox, kSideTop},
    {"border-width", ApplyBorderWidth, kGroupBox, -1},
    {"color", ApplyColor, kGroupColor, 0},
    {"content", ApplyContent, 0, 0},
    {"disabled", ApplyStateFlag, kGroupState, 1},
    {"font", ApplyFont, kGroupFont, 0},
    {"font-family", ApplyFontFamily, kGroupFont, 0},
    {"font-size", ApplyFontSize, kGroupFont, 0},
    {"font-style", ApplyFontStyle, kGroupFont, 0},
    {"font-weight", ApplyFontWeight, kGroupFont, 0},
    {"height", ApplyLength, kGroupOverflow, 1},
    {"layout", ApplyLayout, kGroupLayout, 0},
    {"layout-x", ApplyLayout, kGroupLayout, 1},
    {"layout-y", ApplyLayout, kGroupLayout, 2},
    {"margin", ApplyMargin, kGroupBox, -1},
    {"margin-bottom", ApplyMargin, kGroupBox, kSideBottom},
    {"margin-left", ApplyMargin, kGroupBox, kSideLeft},
    {"margin-right", ApplyMargin, kGroupBox, kSideRight},
    {"margin-top", ApplyMargin, kGroupBox, kSideTop},
    {"opacity", ApplyOpacity, kGroupColor, 0},
    {"overflow", ApplyOverflow, kGroupOverflow, 0},
    {"overflow-x", ApplyOverflow, kGroupOverflow, 1},
    {"overflow-y", ApplyOverflow, kGroupOverflow, 2},
    {"padding", ApplyPadding, kGroupBox, -1},
    {"padding-bottom", ApplyPadding, kGroupBox, kSideBottom},
    {"padding-left", ApplyPadding, kGroupBox, kSideLeft},
    {"padding-right", ApplyPadding, kGroupBox, kSideRight},
    {"padding-top", ApplyPadding, kGroupBox, kSideTop},
    {"position", ApplyPosition, kGroupLayout, 0},
    {"readonly", ApplyStateFlag, kGroupState, 2},
    {"text-align", ApplyTextAlign, kGroupText, 0},
    {"text-decoration", ApplyTextDecoration, kGroupText, 0},
    {"vertical-align", ApplyVerticalAlign, kGroupText, 0},
    {"visibility", ApplyVisibility, kGroupState, 0},
    {"width", ApplyLength, kGroupWidth, 0},
    {"wrapmode", ApplyWrapMode, kGroupLayout, 0},
};

constexpr unsigned kLongestKey = 27;

constexpr bool KeysSorted()
{
    for (size_t i = 1; i < std::size(kStyleKeys); ++i) {
        const char *a = kStyleKeys[i - 1].name, *b = kStyleKeys[i].name;
        while (*a && *a == *b)
            ++a, ++b;
        if (static_cast<unsigned char>(*a) >= static_cast<unsigned char>(*b))
            return false;
    }
    return true;
}
static_assert(KeysSorted(), "kStyleKeys must stay sorted for the binary search");

const StyleKey *FindStyleKey(const char *key, const char *keyEnd)
{
    const size_t n = static_cast<size_t>(keyEnd - key);
    if (n == 0 || n > kLongestKey)
        return nullptr;
    char lower[kLongestKey + 1];
    for (size_t i = 0; i < n; ++i) {
        const char ch = key[i];
        lower[i] = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch;
    }
    lower[n] = 0;
    const auto *end = std::end(kStyleKeys);
    const auto *hit = std::lower_bound(
        std::begin(kStyleKeys), end, lower,
        [](const StyleKey &entry, const char *k) { return std::strcmp(entry.name, k) < 0; });
    return hit != end && std::strcmp(hit->name, lower) == 0 ? hit : nullptr;
}

// End of a value: the first ';' or '}' outside quotes, or the terminating zero. Inside
// quotes a backslash protects the next byte.
const char *ValueEnd(const char *p)
{
    char quote = 0;
    for (; *p; ++p) {
        if (quote) {
            if (*p == '\\' && p[1])
                ++p;
            else if (*p == quote)
                quote = 0;
        } else if (*p == '"' || *p == '\'') {
            quote = *p;
        } else if (*p == ';' || *p == '}') {
            break;
        }
    }
    return p;
}

void Dispatch(XStyleDesc *desc, const char *key, const char *keyEnd, StyleCursor *value)
{
    const StyleKey *entry = FindStyleKey(key, keyEnd);
    if (entry && entry->apply(desc, value, entry->arg))
        desc->touchedGroups |= entry->group;
}

} // namespace

unsigned ParseStyleDesc(XStyleDesc *desc, const char *text)
{
    const char *p = text;
    while (IsStyleBlank(*p))
        ++p;
    while (*p && *p != '}') {
        const char *key = p;
        while (*p && *p != ':' && *p != ';' && *p != '}')
            ++p;
        const char *keyEnd = p;
        while (keyEnd > key && IsStyleBlank(keyEnd[-1]))
            --keyEnd;
        if (*p == ':') {
            ++p;
            while (IsStyleBlank(*p))
                ++p;
            StyleCursor value{p, ValueEnd(p), false};
            value.atTextEnd = *value.end == '\0';
            p = value.end;
            Dispatch(desc, key, keyEnd, &value);
        } else {
            Dispatch(desc, key, keyEnd, nullptr);
        }
        if (*p == ';') {
            ++p;
            while (IsStyleBlank(*p))
                ++p;
        }
    }
    return static_cast<unsigned>(p - text);
}
