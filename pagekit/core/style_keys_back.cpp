// Background keys: the shorthand with its sources and gradients, and the single keys.
#include <cmath>

#include "corekit/memory/memory.h"
#include "pagekit/core/style_keys.h"
#include "platform/panekit/paint/gradient_desc.h"

namespace {

constexpr const char *kRepeatWords[] = {"no-repeat", "repeat-x", "repeat-y", "repeat"};
constexpr const char *kSizeWords[] = {"cover", "contain", "stretch"};
constexpr const char *kPositionWords[] = {"left", "right", "top", "bottom", "center"};
constexpr const char *kSideWords[] = {"top", "right", "bottom", "left"};
constexpr float kSideAngles[] = {0, 90, 180, 270};
constexpr const char *kNoneWord[] = {"none"};
// Linear gradients without a direction run towards the bottom.
constexpr float kDefaultAngle = 180;

// A background source: kind and the owned name or gradient.
struct BackSource
{
    uint32_t kind = 0;
    void *data = nullptr;
};

// What a background value gave; -1 for parts not given.
struct BackParts
{
    int64_t color = -1;
    BackSource source;
    int repeat = -1, size = -1, posX = -1, posY = -1;
};

bool Expect(StyleCursor &c, char ch)
{
    SkipStyleBlanks(c);
    if (c.Peek() != ch)
        return false;
    ++c.p;
    SkipStyleBlanks(c);
    return true;
}

// A function head "name(" with blanks skipped after it.
bool ReadFunction(StyleCursor &c, const char *name)
{
    StyleCursor t = c;
    const unsigned n = MatchStyleUnit(t, name);
    if (n == 0)
        return false;
    t.p += n;
    if (t.Peek() != '(')
        return false;
    ++t.p;
    SkipStyleBlanks(t);
    c = t;
    return true;
}

// The direction of a linear gradient with its comma: "to side," or "<angle>deg,".
bool ReadDirection(StyleCursor &c, float *angle)
{
    if (MatchStyleWord(c, "to")) {
        c.p += 2;
        SkipStyleBlanks(c);
        const int side = ReadStyleWord(c, kSideWords, 4);
        if (side < 0)
            return false;
        *angle = kSideAngles[side];
        return Expect(c, ',');
    }
    StyleCursor t = c;
    double deg = 0;
    if (ReadStyleNumber(t, &deg, false) && MatchStyleUnit(t, "deg")) {
        t.p += 3;
        c = t;
        *angle = static_cast<float>(deg);
        return Expect(c, ',');
    }
    *angle = kDefaultAngle;
    return true;
}

// A stop: colour, then optionally a percentage or a bare number strictly inside 0...1.
// A position not given is stored as -1.
bool ReadStop(StyleCursor &c, XGradientStop *stop)
{
    if (!ReadStyleColor(c, &stop->color))
        return false;
    SkipStyleBlanks(c);
    stop->position = -1;
    if (!LooksLikeNumber(c))
        return true;
    double v = 0;
    if (!ReadStyleNumber(c, &v, false))
        return false;
    if (MatchStyleUnit(c, "%")) {
        ++c.p;
        v = std::fmin(std::fmax(v / 100, 0.0), 1.0);
    } else if (!(v > 0 && v < 1)) {
        return false;
    }
    stop->position = static_cast<float>(v);
    return true;
}

// Stops without a position: the first at 0, the last at 1, runs between two known
// positions spaced evenly.
void SpreadStops(XGradientStop *stops, uint32_t n)
{
    if (stops[0].position < 0)
        stops[0].position = 0;
    if (stops[n - 1].position < 0)
        stops[n - 1].position = 1;
    uint32_t known = 0;
    for (uint32_t i = 1; i < n; ++i) {
        if (stops[i].position < 0)
            continue;
        const float from = stops[known].position, to = stops[i].position;
        for (uint32_t j = known + 1; j < i; ++j)
            stops[j].position =
                from + (to - from) * static_cast<float>(j - known) / static_cast<float>(i - known);
        known = i;
    }
}

// After "linear-gradient(" or "radial-gradient(": [direction,] stop, stop ... ")".
XGradientDesc *ReadGradient(StyleCursor &c, uint32_t shape)
{
    float angle = 0;
    if (shape == XGradientDesc::kLinear && !ReadDirection(c, &angle))
        return nullptr;
    XGradientStop stops[XGradientDesc::kMaxStops];
    uint32_t n = 0;
    for (;;) {
        if (n == XGradientDesc::kMaxStops || !ReadStop(c, &stops[n]))
            return nullptr;
        ++n;
        SkipStyleBlanks(c);
        if (c.Peek() == ')')
            break;
        if (!Expect(c, ','))
            return nullptr;
    }
    ++c.p;
    if (n < 2)
        return nullptr;
    SpreadStops(stops, n);
    XGradientDesc *desc = MallocGradientDesc(n);
    desc->shape = shape;
    desc->angle = shape == XGradientDesc::kLinear ? angle : 0;
    for (uint32_t i = 0; i < n; ++i)
        desc->GetStops()[i] = stops[i];
    return desc;
}

// A name argument closed by ')', with an optional ", number" for icons.
bool ReadNameCall(StyleCursor &c, BackSource *out, uint32_t kind)
{
    char16_t *name = nullptr;
    if (!ReadStyleString(c, kPictureNameLimit, &name))
        return false;
    SkipStyleBlanks(c);
    if (kind == kBackIcon && c.Peek() == ',') {
        ++c.p;
        SkipStyleBlanks(c);
        double number = -1;
        if (!ReadStyleNumber(c, &number, false) || number < 0 || number > 7 ||
            number != std::floor(number)) {
            MemFree(name);
            return false;
        }
        kind += static_cast<uint32_t>(number);
    }
    if (!Expect(c, ')')) {
        MemFree(name);
        return false;
    }
    out->kind = kind;
    out->data = name;
    return true;
}

// One source. Returns 1 when read, 0 when the text starts with no source, -1 when it
// starts with one that is malformed.
int ReadSource(StyleCursor &c, BackSource *out)
{
    if (ReadFunction(c, "url"))
        return ReadNameCall(c, out, kBackPicture) ? 1 : -1;
    if (ReadFunction(c, "icon"))
        return ReadNameCall(c, out, kBackIcon) ? 1 : -1;
    if (ReadFunction(c, "render"))
        return ReadNameCall(c, out, kBackRender) ? 1 : -1;
    const bool linear = ReadFunction(c, "linear-gradient");
    if (linear || ReadFunction(c, "radial-gradient")) {
        XGradientDesc *g =
            ReadGradient(c, linear ? XGradientDesc::kLinear : XGradientDesc::kRadial);
        out->kind = kBackGradient;
        out->data = g;
        return g ? 1 : -1;
    }
    return 0;
}

// One or two position words. Left and right name the horizontal axis, top and bottom
// the vertical one; center takes the axis the other word leaves (a lone center is
// vertical). Returns false for no position or a contradictory pair.
bool ReadPosition(StyleCursor &c, int *posX, int *posY)
{
    static constexpr int kValue[] = {0, 2, 0, 2, 1};
    StyleCursor t = c;
    const int first = ReadStyleWord(t, kPositionWords, 5);
    if (first < 0)
        return false;
    const StyleCursor afterFirst = t;
    SkipStyleBlanks(t);
    const int second = ReadStyleWord(t, kPositionWords, 5);
    auto horizontal = [](int w) { return w <= 1; };
    auto vertical = [](int w) { return w == 2 || w == 3; };
    if (second < 0) {
        (horizontal(first) ? *posX : *posY) = kValue[first];
        c = afterFirst;
        return true;
    }
    const bool xFirst = horizontal(first) || vertical(second);
    if (xFirst && (vertical(first) || horizontal(second)))
        return false;
    *posX = kValue[xFirst ? first : second];
    *posY = kValue[xFirst ? second : first];
    c = t;
    return true;
}

void FreeSource(BackSource *s)
{
    MemFree(s->data);
    s->data = nullptr;
}

// The shorthand's parts, in any order. Returns false (nothing kept) on a malformed
// source or when nothing was read; other leftovers end the value.
bool ReadBackParts(StyleCursor &c, BackParts *parts)
{
    bool any = false;
    for (;; any = true) {
        SkipStyleBlanks(c);
        if (c.AtEnd())
            break;
        if (!parts->source.data) {
            const int r = ReadSource(c, &parts->source);
            if (r < 0)
                return false;
            if (r > 0)
                continue;
        }
        uint32_t color = 0;
        int word = -1;
        if (parts->color < 0 && ReadStyleColor(c, &color))
            parts->color = color;
        else if (parts->repeat < 0 && (word = ReadStyleWord(c, kRepeatWords, 4)) >= 0)
            parts->repeat = word;
        else if (parts->size < 0 && (word = ReadStyleWord(c, kSizeWords, 3)) >= 0)
            parts->size = word + 1;
        else if (parts->posX >= 0 || parts->posY >= 0 ||
                 !ReadPosition(c, &parts->posX, &parts->posY))
            break;
    }
    if (!any)
        FreeSource(&parts->source);
    return any;
}

void SetBackField(XStyleDesc *desc, StyleField f, int64_t value)
{
    if (value >= 0)
        desc->backWord = SetStyleField(desc->backWord, f, static_cast<uint32_t>(value));
}

void ReplaceSource(XStyleDesc *desc, const BackSource &s)
{
    FreeStyleBackSource(desc);
    desc->backSource = s.data;
    desc->backWord = SetStyleField(desc->backWord, kBackKind, s.kind);
}

void SetBackColor(XStyleDesc *desc, uint32_t color)
{
    desc->backColor = color;
    if (!IsStyleFieldSet(desc->backWord, kBackKind))
        desc->backWord = SetStyleField(desc->backWord, kBackKind, kBackColor);
}

} // namespace

bool ApplyBackground(XStyleDesc *desc, StyleCursor *c, int)
{
    if (!c) {
        desc->backPicture = nullptr;
        desc->backWord = kStyleUnsetBackground;
        desc->backColor = kStyleUnsetWord;
        FreeStyleBackSource(desc);
        return true;
    }
    StyleCursor t = *c;
    if (ReadStyleWord(t, kNoneWord, 1) == 0) {
        SkipStyleBlanks(t);
        if (t.AtEnd()) {
            desc->backPicture = nullptr;
            FreeStyleBackSource(desc);
            desc->backWord = SetStyleField(kStyleUnsetBackground, kBackKind, kBackNone);
            desc->backColor = kStyleUnsetWord;
            return true;
        }
    }
    BackParts parts;
    if (!ReadBackParts(*c, &parts))
        return false;
    desc->backPicture = nullptr;
    if (parts.color >= 0)
        SetBackColor(desc, static_cast<uint32_t>(parts.color));
    if (parts.source.data)
        ReplaceSource(desc, parts.source);
    SetBackField(desc, kBackRepeat, parts.repeat);
    SetBackField(desc, kBackSize, parts.size);
    SetBackField(desc, kBackPosX, parts.posX);
    SetBackField(desc, kBackPosY, parts.posY);
    return true;
}

bool ApplyBackgroundColor(XStyleDesc *desc, StyleCursor *c, int)
{
    uint32_t color = 0;
    if (c && !ReadStyleColor(*c, &color))
        return false;
    desc->backPicture = nullptr;
    if (c) {
        SetBackColor(desc, color);
        return true;
    }
    desc->backColor = kStyleUnsetWord;
    if (!desc->backSource)
        desc->backWord = SetStyleField(desc->backWord, kBackKind, kBackKind.mask);
    return true;
}

bool ApplyBackgroundImage(XStyleDesc *desc, StyleCursor *c, int)
{
    BackSource s;
    if (c && ReadSource(*c, &s) <= 0)
        return false;
    desc->backPicture = nullptr;
    if (c) {
        ReplaceSource(desc, s);
        return true;
    }
    FreeStyleBackSource(desc);
    const uint32_t kind = desc->backColor != kStyleUnsetWord ? kBackColor : kBackKind.mask;
    desc->backWord = SetStyleField(desc->backWord, kBackKind, kind);
    return true;
}

bool ApplyBackgroundRepeat(XStyleDesc *desc, StyleCursor *c, int)
{
    if (!c) {
        desc->backPicture = nullptr;
        desc->backWord = SetStyleField(desc->backWord, kBackRepeat, kBackRepeat.mask);
        desc->backWord = SetStyleField(desc->backWord, kBackSize, kBackSize.mask);
        return true;
    }
    const int word = ReadStyleWord(*c, kRepeatWords, 4);
    if (word < 0)
        return false;
    desc->backPicture = nullptr;
    SetBackField(desc, kBackRepeat, word);
    return true;
}

bool ApplyBackgroundSize(XStyleDesc *desc, StyleCursor *c, int)
{
    const int word = c ? ReadStyleWord(*c, kSizeWords, 3) + 1 : static_cast<int>(kBackSize.mask);
    if (word <= 0)
        return false;
    desc->backPicture = nullptr;
    SetBackField(desc, kBackSize, word);
    return true;
}

bool ApplyBackgroundPosition(XStyleDesc *desc, StyleCursor *c, int)
{
    int posX = static_cast<int>(kBackPosX.mask), posY = static_cast<int>(kBackPosY.mask);
    if (c) {
        posX = posY = -1;
        if (!ReadPosition(*c, &posX, &posY))
            return false;
    }
    desc->backPicture = nullptr;
    SetBackField(desc, kBackPosX, posX);
    SetBackField(desc, kBackPosY, posY);
    return true;
}
