#include "platform/panekit/color.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

struct NamedColor
{
    const char *name; // lower case, sorted
    uint32_t value;   // 0x00BBGGRR
};

// The CSS named colours: name, value.
constexpr NamedColor kNamedColors[] = {
    {"aliceblue", 0xFFF8F0},
    {"antiquewhite", 0xD7EBFA},
    {"aqua", 0xFFFF00},
    {"aquamarine", 0xD4FF7F},
    {"azure", 0xFFFFF0},
    {"beige", 0xDCF5F5},
    {"bisque", 0xC4E4FF},
    {"black", 0x000000},
    {"blanchedalmond", 0xCDEBFF},
    {"blue", 0xFF0000},
    {"blueviolet", 0xE22B8A},
    {"brown", 0x2A2AA5},
    {"burlywood", 0x87B8DE},
    {"cadetblue", 0xA09E5F},
    {"chartreuse", 0x00FF7F},
    {"chocolate", 0x1E69D2},
    {"coral", 0x507FFF},
    {"cornflowerblue", 0xED9564},
    {"cornsilk", 0xDCF8FF},
    {"crimson", 0x3C14DC},
    {"cyan", 0xFFFF00},
    {"darkblue", 0x8B0000},
    {"darkcyan", 0x8B8B00},
    {"darkgoldenrod", 0x0B86B8},
    {"darkgray", 0xA9A9A9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xA9A9A9},
    {"darkkhaki", 0x6BB7BD},
    {"darkmagenta", 0x8B008B},
    {"darkolivegreen", 0x2F6B55},
    {"darkorange", 0x008CFF},
    {"darkorchid", 0xCC3299},
    {"darkred", 0x00008B},
    {"darksalmon", 0x7A96E9},
    {"darkseagreen", 0x8FBC8F},
    {"darkslateblue", 0x8B3D48},
    {"darkslategray", 0x4F4F2F},
    {"darkslategrey", 0x4F4F2F},
    {"darkturquoise", 0xD1CE00},
    {"darkviolet", 0xD30094},
    {"deeppink", 0x9314FF},
    {"deepskyblue", 0xFFBF00},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0xFF901E},
    {"firebrick", 0x2222B2},
    {"floralwhite", 0xF0FAFF},
    {"forestgreen", 0x228B22},
    {"fuchsia", 0xFF00FF},
    {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xFFF8F8},
    {"gold", 0x00D7FF},
    {"goldenrod", 0x20A5DA},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0x2FFFAD},
    {"grey", 0x808080},
    {"honeydew", 0xF0FFF0},
    {"hotpink", 0xB469FF},
    {"indianred", 0x5C5CCD},
    {"indigo", 0x82004B},
    {"ivory", 0xF0FFFF},
    {"khaki", 0x8CE6F0},
    {"lavender", 0xFAE6E6},
    {"lavenderblush", 0xF5F0FF},
    {"lawngreen", 0x00FC7C},
    {"lemonchiffon", 0xCDFAFF},
    {"lightblue", 0xE6D8AD},
    {"lightcoral", 0x8080F0},
    {"lightcyan", 0xFFFFE0},
    {"lightgoldenrodyellow", 0xD2FAFA},
    {"lightgray", 0xD3D3D3},
    {"lightgreen", 0x90EE90},
    {"lightgrey", 0xD3D3D3},
    {"lightpink", 0xC1B6FF},
    {"lightsalmon", 0x7AA0FF},
    {"lightseagreen", 0xAAB220},
    {"lightskyblue", 0xFACE87},
    {"lightslategray", 0x998877},
    {"lightslategrey", 0x998877},
    {"lightsteelblue", 0xDEC4B0},
    {"lightyellow", 0xE0FFFF},
    {"lime", 0x00FF00},
    {"limegreen", 0x32CD32},
    {"linen", 0xE6F0FA},
    {"magenta", 0xFF00FF},
    {"maroon", 0x000080},
    {"mediumaquamarine", 0xAACD66},
    {"mediumblue", 0xCD0000},
    {"mediumorchid", 0xD355BA},
    {"mediumpurple", 0xDB7093},
    {"mediumseagreen", 0x71B33C},
    {"mediumslateblue", 0xEE687B},
    {"mediumspringgreen", 0x9AFA00},
    {"mediumturquoise", 0xCCD148},
    {"mediumvioletred", 0x8515C7},
    {"midnightblue", 0x701919},
    {"mintcream", 0xFAFFF5},
    {"mistyrose", 0xE1E4FF},
    {"moccasin", 0xB5E4FF},
    {"navajowhite", 0xADDEFF},
    {"navy", 0x800000},
    {"oldlace", 0xE6F5FD},
    {"olive", 0x008080},
    {"olivedrab", 0x238E6B},
    {"orange", 0x00A5FF},
    {"orangered", 0x0045FF},
    {"orchid", 0xD670DA},
    {"palegoldenrod", 0xAAE8EE},
    {"palegreen", 0x98FB98},
    {"paleturquoise", 0xEEEEAF},
    {"palevioletred", 0x9370DB},
    {"papayawhip", 0xD5EFFF},
    {"peachpuff", 0xB9DAFF},
    {"peru", 0x3F85CD},
    {"pink", 0xCBC0FF},
    {"plum", 0xDDA0DD},
    {"powderblue", 0xE6E0B0},
    {"purple", 0x800080},
    {"rebeccapurple", 0x993366}, // CSS Color 4
    {"red", 0x0000FF},
    {"rosybrown", 0x8F8FBC},
    {"royalblue", 0xE16941},
    {"saddlebrown", 0x13458B},
    {"salmon", 0x7280FA},
    {"sandybrown", 0x60A4F4},
    {"seagreen", 0x578B2E},
    {"seashell", 0xEEF5FF},
    {"sienna", 0x2D52A0},
    {"silver", 0xC0C0C0},
    {"skyblue", 0xEBCE87},
    {"slateblue", 0xCD5A6A},
    {"slategray", 0x908070},
    {"slategrey", 0x908070},
    {"snow", 0xFAFAFF},
    {"springgreen", 0x7FFF00},
    {"steelblue", 0xB48246},
    {"tan", 0x8CB4D2},
    {"teal", 0x808000},
    {"thistle", 0xD8BFD8},
    {"tomato", 0x4763FF},
    {"turquoise", 0xD0E040},
    {"violet", 0xEE82EE},
    {"wheat", 0xB3DEF5},
    {"white", 0xFFFFFF},
    {"whitesmoke", 0xF5F5F5},
    {"yellow", 0x00FFFF},
    {"yellowgreen", 0x32CD9A},
};

constexpr unsigned kMaxNameLength = 24;

template <typename Char> unsigned Lower(Char c)
{
    const unsigned u = static_cast<unsigned>(c);
    return u >= 'A' && u <= 'Z' ? u + 32 : u;
}

template <typename Char> bool IsNameChar(Char c)
{
    const unsigned u = Lower(c);
    return (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' || u == '_';
}

template <typename Char> int HexValue(Char c)
{
    const unsigned u = Lower(c);
    if (u >= '0' && u <= '9')
        return static_cast<int>(u - '0');
    if (u >= 'a' && u <= 'f')
        return static_cast<int>(u - 'a' + 10);
    return -1;
}

template <typename Char> bool IsBlank(Char c)
{
    const unsigned u = static_cast<unsigned>(c);
    return u >= 1 && u <= 32;
}

uint32_t Rgb(unsigned r, unsigned g, unsigned b)
{
    return r | (g << 8) | (b << 16);
}

template <typename Char> int ParseHash(const Char *text, uint32_t *color)
{
    int digits[6];
    int n = 0;
    while (n < 6 && HexValue(text[1 + n]) >= 0) {
        digits[n] = HexValue(text[1 + n]);
        ++n;
    }
    if ((n != 3 && n != 6) || IsNameChar(text[1 + n]))
        return 0;
    if (n == 3)
        *color = Rgb(digits[0] * 17, digits[1] * 17, digits[2] * 17);
    else
        *color =
            Rgb(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]);
    return n + 1;
}

// One channel of rgb(): blanks, an optional sign, decimal digits, blanks, then the
// separator. Returns the characters read, 0 when malformed.
template <typename Char> int ParseChannel(const Char *text, char separator, unsigned *value)
{
    int i = 0;
    while (IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (text[i] == '-' || text[i] == '+')
        negative = text[i++] == '-';
    if (!(text[i] >= '0' && text[i] <= '9'))
        return 0;
    unsigned v = 0;
    for (; text[i] >= '0' && text[i] <= '9'; ++i)
        v = std::min(v * 10 + static_cast<unsigned>(text[i] - '0'), 1000u);
    while (IsBlank(text[i]))
        ++i;
    if (text[i] != separator)
        return 0;
    *value = negative ? 0 : std::min(v, 255u);
    return i + 1;
}

template <typename Char> int ParseRgb(const Char *text, uint32_t *color)
{
    int i = 4;
    unsigned channels[3];
    for (int c = 0; c < 3; ++c) {
        const int n = ParseChannel(text + i, c < 2 ? ',' : ')', &channels[c]);
        if (n == 0)
            return 0;
        i += n;
    }
    *color = Rgb(channels[0], channels[1], channels[2]);
    return i;
}

template <typename Char> int ParseName(const Char *text, uint32_t *color)
{
    char name[kMaxNameLength + 1];
    unsigned n = 0;
    while (IsNameChar(text[n])) {
        if (n == kMaxNameLength)
            return 0;
        name[n] = static_cast<char>(Lower(text[n]));
        ++n;
    }
    name[n] = 0;
    if (n == 0)
        return 0;
    if (std::strcmp(name, "transparent") == 0 || std::strcmp(name, "none") == 0) {
        *color = kColorUnset;
        return static_cast<int>(n);
    }
    const auto *end = std::end(kNamedColors);
    const auto *hit = std::lower_bound(
        std::begin(kNamedColors), end, name,
        [](const NamedColor &entry, const char *key) { return std::strcmp(entry.name, key) < 0; });
    if (hit == end || std::strcmp(hit->name, name) != 0)
        return 0;
    *color = hit->value;
    return static_cast<int>(n);
}

template <typename Char> int ParseAnyColor(const Char *text, uint32_t *color)
{
    if (text[0] == '#')
        return ParseHash(text, color);
    if (Lower(text[0]) == 'r' && Lower(text[1]) == 'g' && Lower(text[2]) == 'b' && text[3] == '(')
        return ParseRgb(text, color);
    return ParseName(text, color);
}

template <typename Char> int FormatAnyColor(Char *buf, uint32_t color)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    if (color == kColorUnset) {
        for (int i = 0; i < 5; ++i)
            buf[i] = static_cast<Char>("none"[i]);
        return 4;
    }
    const unsigned bytes[3] = {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF};
    buf[0] = '#';
    for (int i = 0; i < 3; ++i) {
        buf[1 + 2 * i] = static_cast<Char>(kDigits[bytes[i] >> 4]);
        buf[2 + 2 * i] = static_cast<Char>(kDigits[bytes[i] & 0xF]);
    }
    buf[7] = 0;
    return 7;
}

} // namespace

int ParseColor(const char *text, uint32_t *color)
{
    return ParseAnyColor(text, color);
}

int ParseColor(const char16_t *text, uint32_t *color)
{
    return ParseAnyColor(text, color);
}

int FormatColor(char *buf, uint32_t color)
{
    return FormatAnyColor(buf, color);
}

int FormatColor(char16_t *buf, uint32_t color)
{
    return FormatAnyColor(buf, color);
}
