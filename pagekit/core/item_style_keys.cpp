// XItemStyle's text interface to single keys of the own descriptor: GetStyle(key) writes
// a key's value as the style text does, SetStyle(key, value) applies one declaration.

#include <cstring>
#include <iterator>
#include <string>

#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/item_style.h"
#include "pagekit/core/style_keys.h"
#include "pagekit/core/style_text.h"
#include "platform/panekit/paint/color.h"

namespace {

// Parts of the own descriptor a key reads.
enum Piece : uint8_t {
    kPieceLayout,     // arg: bit per entry of kLayoutFields
    kPieceVisibility, // the visibility nibble
    kPieceWidth,
    kPieceHeight,
    kPieceOpacity,
    kPieceFontSize,
    kPieceFontFlags, // arg: the flag bits
    kPieceFont,      // size, bold, italic and family
    kPieceColor,
    kPieceBackground,
    kPieceMargin,  // arg: bit per side (kSide* order)
    kPiecePadding, // arg: bit per side
    kPieceBorder,  // arg: bit per side, each with its colour
    kPieceRadius,  // arg: bit per corner (kCorner* order)
    // Values the style text does not write on their own.
    kPieceBackColor,
    kPieceFamily,
    kPieceContent,
    kPieceSideWidth, // arg: side
    kPieceSideStyle, // arg: side
    kPieceSideColor, // arg: side
};

constexpr StyleField kLayoutFields[] = {kTextAlign, kVerticalAlign, kTextDrawFlags,
                                        kWrapMode,  kPosition,      kOverflowX,
                                        kOverflowY, kLayoutX,       kLayoutY};

struct KeyPiece
{
    const char *key;
    Piece piece;
    uint32_t arg;
};

// Keys GetStyle(key) answers: key, the part it reads, the part's argument.
constexpr KeyPiece kKeyPieces[] = {
    {"text-align", kPieceLayout, 1 << 0},
    {"vertical-align", kPieceLayout, 1 << 1},
    {"wrapmode", kPieceLayout, 1 << 3},
    {"position", kPieceLayout, 1 << 4},
    {"overflow", kPieceLayout, 1 << 5 | 1 << 6},
    {"overflow-x", kPieceLayout, 1 << 5},
    {"overflow-y", kPieceLayout, 1 << 6},
    {"layout", kPieceLayout, 1 << 7 | 1 << 8},
    {"layout-x", kPieceLayout, 1 << 7},
    {"layout-y", kPieceLayout, 1 << 8},
    {"visibility", kPieceVisibility, 0},
    {"width", kPieceWidth, 0},
    {"height", kPieceHeight, 0},
    {"opacity", kPieceOpacity, 0},
    {"font-size", kPieceFontSize, 0},
    {"font-weight", kPieceFontFlags, kFontBold},
    {"font-style", kPieceFontFlags, kFontItalic},
    {"text-decoration", kPieceFontFlags, kFontUnderline | kFontLineThrough},
    {"font", kPieceFont, 0},
    {"font-family", kPieceFamily, 0},
    {"color", kPieceColor, 0},
    {"content", kPieceContent, 0},
    {"background", kPieceBackground, 0},
    {"background-color", kPieceBackColor, 0},
    {"margin", kPieceMargin, 0xF},
    {"margin-left", kPieceMargin, 1 << kSideLeft},
    {"margin-top", kPieceMargin, 1 << kSideTop},
    {"margin-right", kPieceMargin, 1 << kSideRight},
    {"margin-bottom", kPieceMargin, 1 << kSideBottom},
    {"padding", kPiecePadding, 0xF},
    {"padding-left", kPiecePadding, 1 << kSideLeft},
    {"padding-top", kPiecePadding, 1 << kSideTop},
    {"padding-right", kPiecePadding, 1 << kSideRight},
    {"padding-bottom", kPiecePadding, 1 << kSideBottom},
    {"border", kPieceBorder, 0xF},
    {"border-left", kPieceBorder, 1 << kSideLeft},
    {"border-top", kPieceBorder, 1 << kSideTop},
    {"border-right", kPieceBorder, 1 << kSideRight},
    {"border-bottom", kPieceBorder, 1 << kSideBottom},
    {"border-left-width", kPieceSideWidth, kSideLeft},
    {"border-top-width", kPieceSideWidth, kSideTop},
    {"border-right-width", kPieceSideWidth, kSideRight},
    {"border-bottom-width", kPieceSideWidth, kSideBottom},
    {"border-left-style", kPieceSideStyle, kSideLeft},
    {"border-top-style", kPieceSideStyle, kSideTop},
    {"border-right-style", kPieceSideStyle, kSideRight},
    {"border-bottom-style", kPieceSideStyle, kSideBottom},
    {"border-left-color", kPieceSideColor, kSideLeft},
    {"border-top-color", kPieceSideColor, kSideTop},
    {"border-right-color", kPieceSideColor, kSideRight},
    {"border-bottom-color", kPieceSideColor, kSideBottom},
    {"border-radius", kPieceRadius, 0xF},
    {"border-bottom-left-radius", kPieceRadius, 1 << kCornerBottomLeft},
    {"border-top-left-radius", kPieceRadius, 1 << kCornerTopLeft},
    {"border-top-right-radius", kPieceRadius, 1 << kCornerTopRight},
    {"border-bottom-right-radius", kPieceRadius, 1 << kCornerBottomRight},
};

// Longest key of the style language.
constexpr size_t kLongestKey = 32;

// The key in ASCII lower case; false for a key that cannot be one (empty, too long, not
// ASCII, or holding bytes that end a key or a declaration).
bool LowerKey(const char16_t *key, std::string *out)
{
    out->clear();
    for (const char16_t *p = key; *p; ++p) {
        if (*p <= 32 || *p >= 127 || std::strchr(":;{}", static_cast<char>(*p)))
            return false;
        out->push_back(static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p + 32 : *p));
        if (out->size() > kLongestKey)
            return false;
    }
    return !out->empty();
}

const KeyPiece *FindKeyPiece(const std::string &key)
{
    for (const KeyPiece &entry : kKeyPieces) {
        if (key == entry.key)
            return &entry;
    }
    return nullptr;
}

// A scratch descriptor holding the part of src the key reads; its strings are borrowed
// (Release drops them without freeing).
struct Scratch : XStyleDesc
{
    Scratch() { InitStyleDesc(this); }
    void Release()
    {
        fontFamily = nullptr;
        backSource = nullptr;
        content = nullptr;
    }
};

void CopyPiece(Scratch *d, const XStyleDesc *s, const KeyPiece &k)
{
    switch (k.piece) {
    case kPieceLayout:
        for (size_t i = 0; i < std::size(kLayoutFields); ++i) {
            if (k.arg >> i & 1)
                d->layoutWord = SetStyleField(d->layoutWord, kLayoutFields[i],
                                              GetStyleField(s->layoutWord, kLayoutFields[i]));
        }
        break;
    case kPieceVisibility:
        d->stateWord =
            SetStyleField(d->stateWord, kVisibility, GetStyleField(s->stateWord, kVisibility));
        break;
    case kPieceWidth:
        d->width = s->width;
        break;
    case kPieceHeight:
        d->height = s->height;
        break;
    case kPieceOpacity:
        d->opacity = s->opacity;
        break;
    case kPieceFontSize:
        d->fontSize = s->fontSize;
        break;
    case kPieceFontFlags:
        d->fontFlags = s->fontFlags & k.arg;
        break;
    case kPieceFont:
        d->fontSize = s->fontSize;
        d->fontFlags = s->fontFlags & (kFontBold | kFontItalic);
        d->fontFamily = s->fontFamily;
        break;
    case kPieceColor:
        d->textColor = s->textColor;
        break;
    case kPieceBackground:
        d->backWord = s->backWord;
        d->backColor = s->backColor;
        d->backSource = s->backSource;
        break;
    default:
        for (int i = 0; i < 4; ++i) {
            if (!(k.arg >> i & 1))
                continue;
            if (k.piece == kPieceMargin)
                d->margin[i] = s->margin[i];
            else if (k.piece == kPiecePadding)
                d->padding[i] = s->padding[i];
            else if (k.piece == kPieceRadius)
                d->radius[i] = s->radius[i];
            else
                d->border[i] = s->border[i], d->borderColor[i] = s->borderColor[i];
        }
        break;
    }
}

// The value of the one declaration "key:value;" that formatting the scratch writes;
// nothing when it writes none or more than one, or another key.
void FormattedValue(Scratch *scratch, const char *key, XString *out)
{
    XString text;
    FormatStyleDesc(scratch, &text);
    scratch->Release();
    const char16_t *s = text.GetString();
    const size_t n = std::strlen(key);
    if (s == nullptr || text.GetLength() < n + 2)
        return;
    for (size_t i = 0; i < n; ++i) {
        if (s[i] != static_cast<char16_t>(key[i]))
            return;
    }
    if (s[n] != u':')
        return;
    const char16_t *value = s + n + 1;
    char16_t quote = 0;
    const char16_t *p = value;
    for (; *p; ++p) {
        if (quote != 0) {
            if (*p == u'\\' && p[1])
                ++p;
            else if (*p == quote)
                quote = 0;
        } else if (*p == u'"' || *p == u'\'') {
            quote = *p;
        } else if (*p == u';') {
            break;
        }
    }
    if (*p == u';' && p[1] == 0)
        out->Append(value, static_cast<unsigned>(p - value));
}

void AppendColor(XString *out, uint32_t color)
{
    char16_t buf[kColorTextMax];
    FormatColor(buf, color);
    out->Append(buf);
}

const char *SideStyleWord(uint8_t side)
{
    // Side styles by stored value.
    static constexpr const char *kWords[] = {"none",  "solid", "dotted", "dashed",
                                             nullptr, nullptr, nullptr,  nullptr,
                                             nullptr, nullptr, "inset",  "outset"};
    const unsigned style = side & 0xF;
    return style < std::size(kWords) ? kWords[style] : nullptr;
}

// Values the style text does not write on their own; false for a piece it does.
bool DirectValue(const XStyleDesc *d, const KeyPiece &k, XString *out)
{
    const uint8_t side = k.arg < 4 ? d->border[k.arg] : kStyleUnsetByte;
    switch (k.piece) {
    case kPieceBackColor:
        if (d->backColor != kStyleUnsetWord)
            AppendColor(out, d->backColor);
        return true;
    case kPieceFamily:
        out->Append(d->fontFamily);
        return true;
    case kPieceContent:
        out->Append(d->content);
        return true;
    case kPieceSideWidth:
        if (side != kStyleUnsetByte && (side >> 4) < 15)
            out->AppendFormat(u"%dpx", side >> 4);
        return true;
    case kPieceSideStyle:
        if (side != kStyleUnsetByte && SideStyleWord(side) != nullptr)
            out->Append(SideStyleWord(side), 1);
        return true;
    case kPieceSideColor:
        if (side != kStyleUnsetByte)
            AppendColor(out, d->borderColor[k.arg]);
        return true;
    default:
        return false;
    }
}

// End of a declaration value: the first ';' or '}' outside quotes (a backslash inside
// quotes protects the next byte), or the end.
size_t ValueLength(const std::string &v)
{
    char quote = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        const char c = v[i];
        if (quote) {
            if (c == '\\' && i + 1 < v.size())
                ++i;
            else if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';' || c == '}') {
            return i;
        }
    }
    return v.size();
}

std::string Utf8(const char16_t *s)
{
    const unsigned n = WStrToUStr(s, -1, nullptr, 0);
    std::string out(n, '\0');
    WStrToUStr(s, -1, out.data(), n);
    out.resize(std::strlen(out.c_str()));
    return out;
}

} // namespace

int XItemStyle::GetStyle(const char16_t *key, XString *out)
{
    std::string lower;
    if (key == nullptr || out == nullptr || !LowerKey(key, &lower))
        return 0;
    const KeyPiece *entry = FindKeyPiece(lower);
    if (entry == nullptr)
        return 0;
    out->SetString(u"");
    if (DirectValue(&m_own, *entry, out))
        return 1;
    Scratch scratch;
    CopyPiece(&scratch, &m_own, *entry);
    FormattedValue(&scratch, entry->key, out);
    return 1;
}

int XItemStyle::SetStyle(const char16_t *key, const char16_t *value)
{
    std::string decl;
    if (key == nullptr || !LowerKey(key, &decl))
        return 0;
    const bool content = decl == "content";
    if (value != nullptr) {
        std::string v = Utf8(value);
        v.resize(ValueLength(v)); // one declaration: what follows a ';' is not another
        decl += ':';
        decl += v;
    }
    int applied = 0;
    if (content) {
        // "content" touches no group: its reader tells directly whether it took the value.
        const char *body = decl.c_str() + (value != nullptr ? 8 : decl.size());
        StyleCursor cursor{body, decl.c_str() + decl.size(), true};
        while (IsStyleBlank(*cursor.p))
            ++cursor.p;
        applied = ApplyContent(&m_own, value != nullptr ? &cursor : nullptr, 0) ? 1 : 0;
    } else {
        m_own.touchedGroups = 0;
        ParseStyleDesc(&m_own, decl.c_str());
        applied = m_own.touchedGroups != 0 ? 1 : 0;
    }
    m_own.touchedGroups &= ~kStyleResolved;
    Invalidate();
    return applied;
}

void XItemStyle::GetStyleText(XString *out)
{
    if (out != nullptr)
        FormatStyleDesc(&m_own, out);
}
