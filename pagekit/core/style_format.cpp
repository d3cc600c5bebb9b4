// FormatStyleDesc: the style text of every set field, in a fixed order.
#include <string>

#include "corekit/numbers/numbers.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/style_text.h"
#include "platform/panekit/paint/color.h"
#include "platform/panekit/paint/gradient_desc.h"

namespace {

constexpr unsigned kReserve = 480;

// Words by stored value; null where a value has no word.
constexpr const char *kLayoutXWords[] = {nullptr, "left", "right", "center", "extend"};
constexpr const char *kLayoutYWords[] = {nullptr, "top", "bottom", "center", "extend"};
constexpr const char *kWrapWords[] = {"inline", "break", "block"};
constexpr const char *kOverflowWords[] = {"hidden", "scroll", "auto", nullptr, "extend"};
constexpr const char *kTextAlignWords[] = {"left", "right", "center"};
constexpr const char *kVerticalWords[] = {"top", "bottom", "middle"};
constexpr const char *kUnitSuffixes[] = {"px", "%", "pt", "em", "rem"};
constexpr const char *kPosXWords[] = {"left ", "center ", "right "};
constexpr const char *kPosYWords[] = {"top ", "center ", "bottom "};
constexpr const char *kSizeWords[] = {nullptr, "cover ", "contain ", "stretch "};
constexpr const char *kRepeatWords[] = {"no-repeat ", "repeat-x ", "repeat-y ", "repeat "};
// Side keys in the order they are written, with their side index.
constexpr const char *kSideNames[] = {"top", "left", "right", "bottom"};
constexpr int kSideOrder[] = {kSideTop, kSideLeft, kSideRight, kSideBottom};
constexpr const char *kCornerKeys[] = {"border-bottom-left-radius:", "border-top-left-radius:",
                                       "border-top-right-radius:", "border-bottom-right-radius:"};

template <size_t N> const char *WordAt(const char *const (&words)[N], uint32_t value)
{
    return value < N ? words[value] : nullptr;
}

const char *BorderStyleWord(unsigned style)
{
    switch (style) {
    case kBorderSolid:
        return "solid";
    case kBorderDotted:
        return "dotted";
    case kBorderDashed:
        return "dashed";
    case kBorderInset:
        return "inset";
    case kBorderOutset:
        return "outset";
    default:
        return nullptr;
    }
}

// Between quotes the reader ends the string at the first quote that no backslash
// protects, and a backslash protects the byte after it.
bool ReadsBackQuoted(const char16_t *s, char16_t quote)
{
    for (; s && *s; ++s) {
        if (*s == u'\\') {
            if (!s[1])
                return false; // it would protect the closing quote
            ++s;
        } else if (*s == quote) {
            return false;
        }
    }
    return true;
}

// A bare token runs to a blank, a quote, ')', ',' or ';'; the value itself ends at ';'
// or '}'.
bool ReadsBackBare(const char16_t *s)
{
    if (!s || !*s)
        return false;
    for (; *s; ++s) {
        if (*s <= 32 || *s == u'"' || *s == u'\'' || *s == u')' || *s == u',' || *s == u';' ||
            *s == u'}')
            return false;
    }
    return true;
}

class StyleWriter
{
public:
    void Text(const char *s)
    {
        while (*s)
            m_text.push_back(static_cast<char16_t>(static_cast<unsigned char>(*s++)));
    }
    void Text(const char *a, const char *b) { Text(a), Text(b); }
    void Char(char c) { m_text.push_back(static_cast<char16_t>(c)); }
    void Int(int64_t v)
    {
        char buf[kIntegerTextMax];
        FromInteger(buf, v);
        Text(buf);
    }
    void Fixed(double v, int decimals)
    {
        char buf[kFloaterTextMax + 8];
        FromFloater(0, decimals, buf, v);
        Text(buf);
    }
    void Pixels(int64_t v) { Int(v), Text("px"); }
    void Color(uint32_t color)
    {
        char buf[kColorTextMax];
        FormatColor(buf, color);
        Text(buf);
    }
    // A string as the reader takes it back: between single quotes (double quotes first
    // when it holds an apostrophe), else between the other quotes, else (allowBare) as a
    // bare token. Returns false, writing nothing, when no form reads back the same.
    bool String(const char16_t *s, bool allowBare)
    {
        bool apostrophe = false;
        for (const char16_t *q = s; q && *q; ++q)
            apostrophe |= *q == u'\'';
        const char16_t first = apostrophe ? u'"' : u'\'', second = apostrophe ? u'\'' : u'"';
        const char16_t quote =
            ReadsBackQuoted(s, first) ? first : (ReadsBackQuoted(s, second) ? second : 0);
        if (!quote && !(allowBare && ReadsBackBare(s)))
            return false;
        if (quote)
            m_text.push_back(quote);
        if (s)
            m_text.append(s);
        if (quote)
            m_text.push_back(quote);
        return true;
    }
    // As String, falling back to single quotes for the rare string no form carries.
    void Quoted(const char16_t *s, bool allowBare)
    {
        if (!String(s, allowBare))
            m_text.push_back(u'\''), m_text.append(s ? s : u""), m_text.push_back(u'\'');
    }
    // Replaces a last blank by ';', or appends ';'.
    void CloseWithSemicolon()
    {
        if (!m_text.empty() && m_text.back() == u' ')
            m_text.back() = u';';
        else
            m_text.push_back(u';');
    }
    size_t Size() const { return m_text.size(); }
    void Cut(size_t n) { m_text.resize(n); }
    const std::u16string &Result() const { return m_text; }

private:
    std::u16string m_text;
};

void WriteLayout(StyleWriter &w, uint32_t word)
{
    if (const uint32_t p = GetStyleField(word, kPosition); p <= 1)
        w.Text(p ? "position:absolute;" : "position:static;");
    const char *x = IsStyleFieldSet(word, kLayoutX)
                        ? WordAt(kLayoutXWords, GetStyleField(word, kLayoutX))
                        : nullptr;
    const uint32_t yv = GetStyleField(word, kLayoutY);
    const char *y = IsStyleFieldSet(word, kLayoutY) ? WordAt(kLayoutYWords, yv) : nullptr;
    if (x && IsStyleFieldSet(word, kLayoutY))
        w.Text("layout:", x), w.Char(' '), w.Text(yv >= 2 && yv <= 4 ? y : "top", ";");
    else if (x)
        w.Text("layout-x:", x), w.Char(';');
    else if (y && !IsStyleFieldSet(word, kLayoutX))
        w.Text("layout-y:", y), w.Char(';');
    if (const char *wrap = WordAt(kWrapWords, GetStyleField(word, kWrapMode)))
        w.Text("wrapmode:", wrap), w.Char(';');
    const char *ox = WordAt(kOverflowWords, GetStyleField(word, kOverflowX));
    const char *oy = WordAt(kOverflowWords, GetStyleField(word, kOverflowY));
    if (ox && GetStyleField(word, kOverflowX) == GetStyleField(word, kOverflowY)) {
        w.Text("overflow:", ox), w.Char(';');
    } else {
        if (ox)
            w.Text("overflow-x:", ox), w.Char(';');
        if (oy)
            w.Text("overflow-y:", oy), w.Char(';');
    }
    if (const char *a = WordAt(kTextAlignWords, GetStyleField(word, kTextAlign)))
        w.Text("text-align:", a), w.Char(';');
    if (const char *v = WordAt(kVerticalWords, GetStyleField(word, kVerticalAlign)))
        w.Text("vertical-align:", v), w.Char(';');
}

// "key:<number><unit>;" with the number an integer when it has no fraction.
void WriteLength(StyleWriter &w, const char *key, uint32_t value)
{
    const char *unit = WordAt(kUnitSuffixes, value >> 28);
    if (value == kStyleUnsetWord || !unit)
        return;
    const uint32_t thousandths = value & kLengthValueMask;
    w.Text(key), w.Char(':'), w.Int(thousandths / 1000);
    if (uint32_t frac = thousandths % 1000) {
        char digits[4] = {static_cast<char>('0' + frac / 100),
                          static_cast<char>('0' + frac / 10 % 10),
                          static_cast<char>('0' + frac % 10), 0};
        for (int i = 2; i > 0 && digits[i] == '0'; --i)
            digits[i] = 0;
        w.Char('.'), w.Text(digits);
    }
    w.Text(unit, ";");
}

// The shorthand reads its words before the family, so a family that only a bare token
// carries (one ending in a backslash) is written with its own key.
bool WriteBareFamily(StyleWriter &w, const XStyleDesc *d)
{
    const size_t start = w.Size();
    w.Text("font-family:");
    if (!w.String(d->fontFamily, true)) {
        w.Cut(start);
        return false;
    }
    w.Char(';');
    return true;
}

void WriteFont(StyleWriter &w, const XStyleDesc *d)
{
    const bool quotable = !d->fontFamily || ReadsBackQuoted(d->fontFamily, u'\'') ||
                          ReadsBackQuoted(d->fontFamily, u'"');
    if (d->fontFamily && quotable) {
        w.Text("font:");
        if (d->fontFlags & kFontItalic)
            w.Text("italic ");
        if (d->fontFlags & kFontBold)
            w.Text("bold ");
        if (d->fontSize != 0)
            w.Pixels(d->fontSize), w.Char(' ');
        w.Quoted(d->fontFamily, false), w.Char(';');
    } else {
        if (d->fontFamily && !WriteBareFamily(w, d))
            w.Text("font:"), w.Quoted(d->fontFamily, false), w.Char(';');
        if (d->fontSize != 0)
            w.Text("font-size:"), w.Pixels(d->fontSize), w.Char(';');
        if (d->fontFlags & kFontBold)
            w.Text("font-weight:bold;");
        if (d->fontFlags & kFontItalic)
            w.Text("font-style:italic;");
    }
    if (d->textColor != kStyleUnsetWord)
        w.Text("color:"), w.Color(d->textColor), w.Char(';');
    const uint32_t deco = d->fontFlags & (kFontUnderline | kFontLineThrough);
    if (deco == kFontUnderline)
        w.Text("text-decoration:underline;");
    else if (deco == kFontLineThrough)
        w.Text("text-decoration:line-through;");
    else if (deco)
        w.Text("text-decoration:underline line-through;");
}

// A side value: "none;" for style none, else [width] [style] [colour] ";".
void WriteSide(StyleWriter &w, uint8_t side, const uint32_t *color)
{
    if ((side & 0xF) == kBorderNone) {
        w.Text("none;");
        return;
    }
    if ((side >> 4) < 15)
        w.Pixels(side >> 4), w.Char(' ');
    const char *style = BorderStyleWord(side & 0xF);
    if (style)
        w.Text(style);
    if (color && !style && *color == kColorUnset)
        w.Text(" transparent"); // "none" in place of a style word would read as the style
    else if (color)
        w.Char(' '), w.Color(*color);
    w.CloseWithSemicolon();
}

void WriteBorder(StyleWriter &w, const XStyleDesc *d)
{
    const uint8_t *b = d->border;
    const uint32_t *c = d->borderColor;
    if (b[0] == kStyleUnsetByte && b[1] == kStyleUnsetByte && b[2] == kStyleUnsetByte &&
        b[3] == kStyleUnsetByte)
        return;
    // A side of style none is written "none" whatever its width, so such sides count
    // as equal and four of them are one "border:none".
    auto written = [](uint8_t side) {
        return (side & 0xF) == kBorderNone ? static_cast<uint8_t>(kBorderNone) : side;
    };
    const bool sameSides = written(b[0]) == written(b[1]) && written(b[1]) == written(b[2]) &&
                           written(b[2]) == written(b[3]);
    if (!sameSides) {
        for (int i = 0; i < 4; ++i) {
            const int s = kSideOrder[i];
            if (b[s] != kStyleUnsetByte)
                w.Text("border-", kSideNames[i]), w.Char(':'), WriteSide(w, b[s], &c[s]);
        }
    } else if ((b[0] & 0xF) == kBorderNone) {
        w.Text("border:none;");
    } else if (c[0] == c[1] && c[1] == c[2] && c[2] == c[3]) {
        w.Text("border:"), WriteSide(w, b[0], &c[0]);
    } else {
        w.Text("border:"), WriteSide(w, b[0], nullptr);
        // Top, right, bottom, left; an unset colour is written "none" so it reads back.
        w.Text("border-color:"), w.Color(c[kSideTop]), w.Char(' '), w.Color(c[kSideRight]);
        w.Char(' '), w.Color(c[kSideBottom]), w.Char(' '), w.Color(c[kSideLeft]), w.Char(';');
    }
}

void WriteRadius(StyleWriter &w, int r)
{
    if (r == kStyleUnsetRadius)
        w.Text("auto");
    else
        w.Pixels(r);
}

void WriteRadii(StyleWriter &w, const XStyleDesc *d)
{
    const uint8_t *r = d->radius;
    int set = 0, last = 0;
    for (int i = 0; i < 4; ++i) {
        if (r[i] != kStyleUnsetRadius)
            ++set, last = i;
    }
    if (set == 1) {
        w.Text(kCornerKeys[last]), w.Pixels(r[last]), w.Char(';');
        return;
    }
    if (set == 0)
        return;
    const int tl = r[kCornerTopLeft], tr = r[kCornerTopRight], br = r[kCornerBottomRight],
              bl = r[kCornerBottomLeft];
    w.Text("border-radius:");
    WriteRadius(w, tl);
    if (!(tl == tr && tr == br && br == bl)) {
        w.Char(' '), WriteRadius(w, tr);
        if (!(tl == br && tr == bl))
            w.Char(' '), WriteRadius(w, br), w.Char(' '), WriteRadius(w, bl);
    }
    w.Char(';');
}

void WriteSpace(StyleWriter &w, int v)
{
    if (v == kStyleUnsetSpace)
        w.Text("auto");
    else
        w.Pixels(v);
}

void WriteSpaces(StyleWriter &w, const char *key, const int16_t *s)
{
    int set = 0;
    for (int i = 0; i < 4; ++i)
        set += s[i] != kStyleUnsetSpace;
    if (set <= 2) {
        for (int i = 0; i < 4; ++i) {
            const int side = kSideOrder[i];
            if (s[side] != kStyleUnsetSpace)
                w.Text(key), w.Char('-'), w.Text(kSideNames[i], ":"), w.Pixels(s[side]),
                    w.Char(';');
        }
        return;
    }
    const int t = s[kSideTop], r = s[kSideRight], b = s[kSideBottom], l = s[kSideLeft];
    w.Text(key, ":"), WriteSpace(w, t);
    if (!(t == r && r == b && b == l)) {
        w.Char(' '), WriteSpace(w, r);
        if (!(t == b && r == l)) {
            w.Char(' '), WriteSpace(w, b);
            if (r != l)
                w.Char(' '), WriteSpace(w, l);
        }
    }
    w.Char(';');
}

void WriteGradient(StyleWriter &w, const XGradientDesc *g)
{
    if (g->shape == XGradientDesc::kLinear)
        w.Text("linear-gradient("), w.Fixed(g->angle, 6), w.Text("deg, ");
    else
        w.Text("radial-gradient(");
    for (uint32_t i = 0; i < g->count; ++i) {
        if (i > 0)
            w.Text(", ");
        // Positions are written as percentages, which is what the reader takes.
        w.Color(g->GetStops()[i].color), w.Char(' '), w.Fixed(g->GetStops()[i].position * 100.0, 6),
            w.Char('%');
    }
    w.Text(") ");
}

void WriteSource(StyleWriter &w, const XStyleDesc *d, uint32_t kind)
{
    if (!d->backSource)
        return;
    if (kind == kBackGradient) {
        WriteGradient(w, d->backGradient);
    } else if (kind == kBackPicture || kind == kBackRender) {
        w.Text(kind == kBackPicture ? "url(" : "render("), w.Quoted(d->backName, true),
            w.Text(") ");
    } else if (IsNamedBackKind(kind)) {
        w.Text("icon("), w.Quoted(d->backName, true), w.Text(", "), w.Int(kind - kBackIcon),
            w.Text(") ");
    }
}

void WriteBackground(StyleWriter &w, const XStyleDesc *d)
{
    const uint32_t word = d->backWord;
    const uint32_t kind = GetStyleField(word, kBackKind);
    if (kind == kBackKind.mask)
        return;
    if (kind == kBackNone) {
        w.Text("background:none;");
        return;
    }
    const size_t start = w.Size();
    w.Text("background:");
    const size_t head = w.Size();
    if (d->backColor != kStyleUnsetWord)
        w.Color(d->backColor), w.Char(' ');
    else if (kind == kBackColor)
        w.Text("transparent "); // a colour kind without a colour still hides what lies below
    WriteSource(w, d, kind);
    if (const char *x = WordAt(kPosXWords, GetStyleField(word, kBackPosX)))
        w.Text(x);
    if (const char *y = WordAt(kPosYWords, GetStyleField(word, kBackPosY)))
        w.Text(y);
    if (const char *size = WordAt(kSizeWords, GetStyleField(word, kBackSize)))
        w.Text(size);
    if (const char *repeat = WordAt(kRepeatWords, GetStyleField(word, kBackRepeat)))
        w.Text(repeat);
    if (w.Size() == head)
        w.Cut(start);
    else
        w.CloseWithSemicolon();
}

} // namespace

void FormatStyleDesc(XStyleDesc *desc, XString *out)
{
    out->Allocate(kReserve);
    StyleWriter w;
    WriteLayout(w, desc->layoutWord);
    WriteLength(w, "width", desc->width);
    WriteLength(w, "height", desc->height);
    if (const uint32_t v = GetStyleField(desc->stateWord, kVisibility); v <= 1)
        w.Text(v ? "visibility:hidden;" : "visibility:visible;");
    if (desc->opacity != -1)
        w.Text("opacity:"), w.Fixed(desc->opacity / 10000.0, 2), w.Char(';');
    WriteFont(w, desc);
    WriteBorder(w, desc);
    WriteRadii(w, desc);
    WriteSpaces(w, "margin", desc->margin);
    WriteSpaces(w, "padding", desc->padding);
    WriteBackground(w, desc);
    if (!w.Result().empty())
        out->Append(w.Result().data(), static_cast<unsigned>(w.Result().size()));
}
