// XItemStyle: the item's own descriptor and state variants, the item style text, the
// matched page rules and the setters. The resolution is in item_style_resolve.cpp, the
// single-key text interface in item_style_keys.cpp.

#include "pagekit/core/item_style.h"

#include <algorithm>
#include <string>

#include "corekit/memory/memory.h"
#include "pagekit/core/default_style.h"
#include "pagekit/core/item_style_cascade.h"
#include "pagekit/core/page_item.h"
#include "pagekit/core/page_style.h"
#include "pagekit/core/style_selector.h"
#include "pagekit/core/style_text.h"

namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32;
}

const char *SkipBlanks(const char *p)
{
    while (IsBlank(*p))
        ++p;
    return p;
}

// End of a declaration value, as the declaration parser finds it: the first ';' or '}'
// outside quotes, or the terminating zero; inside quotes a backslash protects the next
// byte.
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

// One entry of the item style text at p (after blanks): a state block "name{" (*brace
// then points at the '{'), or a declaration (*brace null), whose end, after its ';' and
// the blanks behind it, is returned. A declaration ended by '}' or the end of the text
// returns that byte.
const char *ScanEntry(const char *p, const char **brace)
{
    const char *q = p;
    while (*q && *q != ':' && *q != ';' && *q != '{' && *q != '}')
        ++q;
    *brace = nullptr;
    if (*q == '{') {
        *brace = q;
        return q;
    }
    if (*q == ':')
        q = ValueEnd(q + 1);
    return *q == ';' ? SkipBlanks(q + 1) : q;
}

uint32_t BlockState(const char *name, const char *brace)
{
    const char *end = brace;
    while (end > name && IsBlank(end[-1]))
        --end;
    return FindStyleState(name, static_cast<unsigned>(end - name));
}

// Invalidates what a variant resolved from its fields (the setters change them).
void DropResolved(XStyleDesc *v)
{
    v->touchedGroups &= ~kStyleResolved;
}

void SetBackground(XStyleDesc *v, uint32_t word, uint32_t color, void *source)
{
    if (source != v->backSource)
        FreeStyleBackSource(v);
    v->backSource = source;
    v->backWord = word;
    v->backColor = color;
    v->backPicture = nullptr;
}

// The background a picture or gradient setter leaves when it is given nothing: the colour
// alone when one is set, else unset.
void FallBackToColor(XStyleDesc *v)
{
    const uint32_t word = v->backColor != kStyleUnsetWord
                              ? SetStyleField(v->backWord, kBackKind, kBackColor)
                              : kStyleUnsetBackground;
    SetBackground(v, word, v->backColor, nullptr);
}

int16_t ClampSpace(int v)
{
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

} // namespace

// ---------------------------------------------------------------------------------------
// Life
// ---------------------------------------------------------------------------------------

XItemStyle::XItemStyle()
{
    InitStyleDesc(&m_own);
}

XItemStyle::~XItemStyle()
{
    ClearStyle();
    FreeStyleChain(m_defaults);
}

void XItemStyle::InitStyle(uint32_t kind, XPageItem *item, XPageStyle *page)
{
    if (page != m_page)
        FreeMatches(); // they point at the rules of the other page style
    m_item = item;
    m_page = page;
    FreeStyleChain(m_defaults);
    m_defaults = CopyDefaultStyleChain(kind);
    Invalidate();
}

void XItemStyle::ClearStyle()
{
    // Called from the destructor too, when the item is already going: the item's
    // descriptor is not touched here (the item re-resolves after clearing).
    FreeMatches();
    FreeStyleChain(m_own.nextState);
    FreeStyleDescStrings(&m_own);
    InitStyleDesc(&m_own);
}

void XItemStyle::FreeMatches()
{
    MemFree(m_matches);
    m_matches = nullptr;
    m_matchCount = 0;
}

const XStyleMatch *XItemStyle::GetMatches(uint32_t *count) const
{
    *count = 0;
    if (m_matches == nullptr || m_page == nullptr || m_page->GetEpoch() != m_matchEpoch)
        return nullptr;
    *count = m_matchCount;
    return m_matches;
}

XRescHelper *XItemStyle::Helper() const
{
    return m_page != nullptr ? m_page->GetRescHelper() : nullptr;
}

void XItemStyle::Invalidate()
{
    if (m_item != nullptr)
        m_item->style.touchedGroups = 0;
}

// ---------------------------------------------------------------------------------------
// Item style text
// ---------------------------------------------------------------------------------------

uint32_t XItemStyle::ParseStyle(const char *text)
{
    if (text == nullptr)
        return 0;
    m_own.touchedGroups = 0;
    const char *p = SkipBlanks(text);
    const char *run = p; // declarations not parsed yet
    while (*p && *p != '}') {
        const char *brace = nullptr;
        const char *next = ScanEntry(p, &brace);
        if (brace == nullptr) {
            p = next;
            if (*p == '}' || *p == 0)
                break;
            continue;
        }
        if (run < p) // the declarations before the block end with ';' and blanks
            ParseStyleDesc(&m_own, std::string(run, p).c_str());
        const uint32_t state = BlockState(p, brace);
        const char *body = brace + 1;
        if (state == kStateUnknown) {
            p = SkipStyleRule(body);
        } else {
            XStyleDesc *variant = GetStyle(state);
            p = body + ParseStyleDesc(variant, body);
            variant->touchedGroups = 0;
            if (*p == '}')
                ++p;
        }
        while (IsBlank(*p) || *p == ';')
            ++p;
        run = p;
    }
    if (run < p)
        ParseStyleDesc(&m_own, run); // stops at the same '}' or end
    Invalidate();
    return m_own.touchedGroups;
}

void XItemStyle::ApplyStyle(XPageItem *item, const char *text)
{
    FreeMatches();
    if (m_page != nullptr && item != nullptr)
        m_page->ApplyStyle(item, this);
    if (text != nullptr)
        ParseStyle(text);
    Invalidate();
}

// ---------------------------------------------------------------------------------------
// Variants
// ---------------------------------------------------------------------------------------

XStyleDesc *XItemStyle::FindOwn(uint32_t state)
{
    for (XStyleDesc *v = &m_own; v != nullptr; v = v->nextState) {
        if (v == &m_own ? state == kStateNormal : v->stateCode == state)
            return v;
    }
    return nullptr;
}

XStyleDesc *XItemStyle::GetStyle(uint32_t state)
{
    if (XStyleDesc *found = FindOwn(state))
        return found;
    auto *v = static_cast<XStyleDesc *>(MemAlloc(sizeof(XStyleDesc)));
    InitStyleDesc(v);
    v->stateCode = state;
    XStyleDesc *last = &m_own;
    while (last->nextState != nullptr)
        last = last->nextState;
    last->nextState = v;
    Invalidate();
    return v;
}

XStyleDesc *XItemStyle::GetStyle(uint32_t state, int flags)
{
    XStyleDesc *v = FindOwn(state);
    if (v == nullptr)
        v = (flags & kStyleCreate) ? GetStyle(state) : &m_own;
    if (flags & kStyleResolve)
        ResolveStyleSource(v, Helper());
    if (flags & kStyleComplete) {
        CompleteStyleDesc(v, nullptr, Helper());
        Invalidate();
    }
    return v;
}

int XItemStyle::CheckStyle(uint32_t state)
{
    if (FindOwn(state) != nullptr)
        return 1;
    for (const XStyleDesc *v = m_defaults; v != nullptr; v = v->nextState) {
        if (v->stateCode == state)
            return 1;
    }
    uint32_t count = 0;
    const XStyleMatch *matches = GetMatches(&count);
    for (uint32_t i = 0; i < count; ++i) {
        if (matches[i].state == state)
            return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------
// Setters
// ---------------------------------------------------------------------------------------

void XItemStyle::SetLeave(uint32_t state, int left, int top, int right, int bottom)
{
    XStyleDesc *v = GetStyle(state);
    const int sides[4] = {left, top, right, bottom};
    for (int i = 0; i < 4; ++i)
        v->margin[i] = ClampSpace(sides[i]);
    Invalidate();
}

void XItemStyle::SetSpace(uint32_t state, int left, int top, int right, int bottom)
{
    XStyleDesc *v = GetStyle(state);
    const int sides[4] = {left, top, right, bottom};
    for (int i = 0; i < 4; ++i)
        v->padding[i] = ClampSpace(sides[i]);
    Invalidate();
}

void XItemStyle::SetItemStyle(uint32_t state, int which, uint32_t value)
{
    // Fields of SetItemStyle by `which`.
    static constexpr StyleField kFields[] = {kTextAlign, kVerticalAlign, kTextDrawFlags,
                                             kWrapMode,  kPosition,      kOverflowX,
                                             kOverflowY, kLayoutX,       kLayoutY};
    if (which < 0 || which >= static_cast<int>(std::size(kFields)))
        return;
    XStyleDesc *v = GetStyle(state);
    v->layoutWord = SetStyleField(v->layoutWord, kFields[which], value);
    Invalidate();
}

void XItemStyle::SetEmptyRender(uint32_t state)
{
    XStyleDesc *v = GetStyle(state);
    SetBackground(v, SetStyleField(v->backWord, kBackKind, kBackNone), kStyleUnsetWord, nullptr);
    DropResolved(v);
    Invalidate();
}

void XItemStyle::SetSolidRender(uint32_t state, uint32_t color)
{
    XStyleDesc *v = GetStyle(state);
    if (color == kStyleUnsetWord)
        SetBackground(v, kStyleUnsetBackground, kStyleUnsetWord, nullptr);
    else
        SetBackground(v, SetStyleField(v->backWord, kBackKind, kBackColor), color, nullptr);
    DropResolved(v);
    Invalidate();
}

void XItemStyle::SetGradeRender(uint32_t state, XGradientDesc *gradient)
{
    XStyleDesc *v = GetStyle(state);
    if (gradient == nullptr)
        FallBackToColor(v);
    else
        SetBackground(v, SetStyleField(v->backWord, kBackKind, kBackGradient), v->backColor,
                      gradient);
    DropResolved(v);
    Invalidate();
}

void XItemStyle::SetImageRender(uint32_t state, uint32_t flags, const char16_t *name)
{
    XStyleDesc *v = GetStyle(state);
    if (name == nullptr)
        FallBackToColor(v);
    else
        SetBackground(v, (flags & 0xFFFFFF00u) | kBackPicture, v->backColor, StrAlloc(name));
    DropResolved(v);
    Invalidate();
}

void XItemStyle::SetFontColor(uint32_t state, uint32_t color)
{
    GetStyle(state)->textColor = color;
    Invalidate();
}

void XItemStyle::SetFontDesc(uint32_t state, int size, uint32_t flags, const char16_t *family)
{
    XStyleDesc *v = GetStyle(state);
    v->fontSize = std::max(size, 0);
    v->fontFlags = flags;
    char16_t *copy = StrAlloc(family);
    MemFree(v->fontFamily);
    v->fontFamily = copy;
    v->fontHandle = nullptr;
    Invalidate();
}

void XItemStyle::SetRoundCorner(uint32_t state, uint32_t corners, uint8_t radius)
{
    XStyleDesc *v = GetStyle(state);
    for (int i = 0; i < 4; ++i) {
        if (corners >> i & 1)
            v->radius[i] = std::min<uint8_t>(radius, 240);
    }
    Invalidate();
}

void XItemStyle::SetEdgeStyle(uint32_t state, uint32_t sides, uint8_t style, uint8_t width,
                              uint32_t color)
{
    if (style > 15)
        return;
    width = width == 0 ? 1 : std::min<uint8_t>(width, 14);
    const uint8_t side =
        style == kBorderNone || style == 15 ? style : static_cast<uint8_t>(width << 4 | style);
    XStyleDesc *v = GetStyle(state);
    for (int i = 0; i < 4; ++i) {
        if (!(sides >> i & 1))
            continue;
        v->border[i] = side;
        v->borderColor[i] = color;
        v->borderPen[i] = nullptr;
    }
    DropResolved(v);
    Invalidate();
}

int XItemStyle::WriteStyle(XByteBuffer *)
{
    return 0;
}
