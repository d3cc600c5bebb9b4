#include "pagekit/core/item_style_cascade.h"

#include "corekit/memory/memory.h"
#include "pagekit/core/item_style.h"
#include "platform/panekit/icon/resc_helper.h"
#include "platform/panekit/paint/gradient_desc.h"

namespace {

// Layout-word fields, each taken and completed on its own.
constexpr StyleField kLayoutFields[] = {kTextAlign, kVerticalAlign, kTextDrawFlags,
                                        kWrapMode,  kPosition,      kOverflowX,
                                        kOverflowY, kLayoutX,       kLayoutY};
// The layout-word fields an item inherits from its owner.
constexpr StyleField kInheritedFields[] = {kTextAlign, kVerticalAlign, kTextDrawFlags};
// State-word fields.
constexpr StyleField kStateFields[] = {kVisibility, kStateFlags};

constexpr char16_t kDefaultFamily[] = u"宋体";
constexpr int32_t kDefaultFontSize = 12;

bool IsBeveled(uint8_t side)
{
    const uint32_t style = side & 0xF;
    return side != kStyleUnsetByte && (style == kBorderInset || style == kBorderOutset);
}

// Corners (bit per kCorner*) whose radius an inset or outset side of d switches off: a
// side's two end corners are its own index and the next one (left: bottom-left and
// top-left, top: top-left and top-right, and so on round).
uint32_t BeveledCorners(const XStyleDesc *d)
{
    uint32_t corners = 0;
    for (int side = 0; side < 4; ++side) {
        if (IsBeveled(d->border[side]))
            corners |= 1u << side | 1u << ((side + 1) % 4);
    }
    return corners;
}

// Copies a field of a word when dst leaves it unset and src sets it.
bool TakeField(uint32_t *dst, uint32_t src, StyleField f)
{
    if (IsStyleFieldSet(*dst, f) || !IsStyleFieldSet(src, f))
        return false;
    *dst = SetStyleField(*dst, f, GetStyleField(src, f));
    return true;
}

template <typename T> bool TakeValue(T *dst, T src, T unset)
{
    if (*dst != unset || src == unset)
        return false;
    *dst = src;
    return true;
}

void *CopyBackSource(const XStyleDesc *src)
{
    const uint32_t kind = GetStyleField(src->backWord, kBackKind);
    if (kind == kBackGradient)
        return CloneGradientDesc(src->backGradient);
    if (IsNamedBackKind(kind))
        return StrAlloc(src->backName);
    return nullptr;
}

} // namespace

bool StyleSideDraws(uint8_t side, uint32_t color)
{
    if (side == kStyleUnsetByte || (color & 0xFF000000u) != 0)
        return false;
    const uint32_t style = side & 0xF;
    const bool lined = style == kBorderSolid || style == kBorderDotted || style == kBorderDashed ||
                       style == kBorderInset || style == kBorderOutset;
    return lined && (side >> 4) != 0;
}

void ResolveStyleSource(XStyleDesc *desc, XRescHelper *helper)
{
    if (helper == nullptr || (desc->touchedGroups & kStyleResolved))
        return;
    for (int side = 0; side < 4; ++side)
        desc->borderPen[side] = const_cast<XPenHandle *>(helper->CheckSidePen(
            desc->borderPen[side], desc->border[side], desc->borderColor[side]));
    const uint32_t kind = GetStyleField(desc->backWord, kBackKind);
    if ((kind == kBackPicture || kind == kBackRender) && desc->backName != nullptr)
        desc->backPicture = helper->CheckImage(desc->backPicture, desc->backName);
    else if (IsNamedBackKind(kind) && desc->backName != nullptr)
        helper->SearchIcon(desc->backName); // the painter draws icons from the helper's set
    desc->touchedGroups |= kStyleResolved;
}

// ---------------------------------------------------------------------------------------
// Taking contributions
// ---------------------------------------------------------------------------------------

void StyleCascade::Take(XStyleDesc *desc)
{
    if (desc == nullptr)
        return;
    ResolveStyleSource(desc, m_helper);
    bool took = TakeLayout(desc);
    took |= TakeBox(desc);
    took |= TakeBackground(desc);
    took |= TakeText(desc);
    m_contributed |= took;
}

bool StyleCascade::TakeLayout(const XStyleDesc *d)
{
    XStyleDesc *o = m_out;
    bool took = false;
    for (const StyleField f : kLayoutFields)
        took |= TakeField(&o->layoutWord, d->layoutWord, f);
    for (const StyleField f : kStateFields)
        took |= TakeField(&o->stateWord, d->stateWord, f);
    took |= TakeValue(&o->width, d->width, kStyleUnsetWord);
    took |= TakeValue(&o->height, d->height, kStyleUnsetWord);
    took |= TakeValue(&o->opacity, d->opacity, -1);
    return took;
}

bool StyleCascade::TakeBox(const XStyleDesc *d)
{
    XStyleDesc *o = m_out;
    bool took = false;
    const uint32_t beveled = BeveledCorners(d);
    for (int i = 0; i < 4; ++i) {
        took |= TakeValue(&o->margin[i], d->margin[i], kStyleUnsetSpace);
        took |= TakeValue(&o->padding[i], d->padding[i], kStyleUnsetSpace);
        const uint8_t radius = (beveled >> i & 1) ? 0 : d->radius[i];
        took |= TakeValue(&o->radius[i], radius, kStyleUnsetRadius);
        if (o->border[i] == kStyleUnsetByte && d->border[i] != kStyleUnsetByte) {
            o->border[i] = d->border[i];
            o->borderColor[i] = d->borderColor[i];
            o->borderPen[i] = d->borderPen[i];
            took = true;
        }
    }
    return took;
}

bool StyleCascade::TakeBackground(const XStyleDesc *d)
{
    XStyleDesc *o = m_out;
    if (IsStyleFieldSet(o->backWord, kBackKind) || !IsStyleFieldSet(d->backWord, kBackKind))
        return false;
    o->backWord = d->backWord;
    o->backColor = d->backColor;
    o->backSource = CopyBackSource(d);
    o->backPicture = d->backPicture;
    return true;
}

bool StyleCascade::TakeText(const XStyleDesc *d)
{
    XStyleDesc *o = m_out;
    bool took = TakeValue(&o->fontSize, d->fontSize, 0);
    took |= TakeValue(&o->textColor, d->textColor, kStyleUnsetWord);
    if (!m_fontGiven && (d->fontFlags != 0 || d->fontFamily != nullptr)) {
        o->fontFlags = d->fontFlags;
        o->fontFamily = StrAlloc(d->fontFamily);
        m_fontGiven = true;
        took = true;
    }
    if (o->content == nullptr && d->content != nullptr) {
        o->content = StrAlloc(d->content);
        took = true;
    }
    return took;
}

void StyleCascade::Inherit(const XStyleDesc *owner)
{
    if (owner == nullptr)
        return;
    XStyleDesc *o = m_out;
    TakeValue(&o->fontSize, owner->fontSize, 0);
    TakeValue(&o->textColor, owner->textColor, kStyleUnsetWord);
    if (!m_fontGiven) {
        o->fontFlags = owner->fontFlags;
        m_fontGiven = true;
    }
    if (o->fontFamily == nullptr)
        o->fontFamily = StrAlloc(owner->fontFamily);
    for (const StyleField f : kInheritedFields)
        TakeField(&o->layoutWord, owner->layoutWord, f);
}

// ---------------------------------------------------------------------------------------
// Completion
// ---------------------------------------------------------------------------------------

namespace {

void CompleteFont(XStyleDesc *d, const XStyleDesc *base, XRescHelper *helper)
{
    if (d->fontSize == 0)
        d->fontSize = base != nullptr && base->fontSize > 0 ? base->fontSize : kDefaultFontSize;
    if (d->fontFamily == nullptr) {
        // No contribution gave the flags and family group: both come from the base.
        if (d->fontFlags == 0 && base != nullptr)
            d->fontFlags = base->fontFlags;
        const char16_t *family =
            base != nullptr && base->fontFamily != nullptr ? base->fontFamily : kDefaultFamily;
        d->fontFamily = StrAlloc(family);
    }
    if (d->textColor == kStyleUnsetWord)
        d->textColor = base != nullptr && base->textColor != kStyleUnsetWord ? base->textColor : 0;
    if (helper != nullptr)
        d->fontHandle = const_cast<XFontHandle *>(
            helper->CheckFont(d->fontHandle, d->fontFamily, d->fontSize, d->fontFlags));
}

void CompleteBox(XStyleDesc *d, XRescHelper *helper)
{
    for (int i = 0; i < 4; ++i) {
        if (d->margin[i] == kStyleUnsetSpace)
            d->margin[i] = 0;
        if (d->padding[i] == kStyleUnsetSpace)
            d->padding[i] = 0;
        if (d->radius[i] == kStyleUnsetRadius)
            d->radius[i] = 0;
        if (!StyleSideDraws(d->border[i], d->borderColor[i])) {
            d->border[i] = 0;
            d->borderPen[i] = nullptr;
        } else if (helper != nullptr) {
            d->borderPen[i] = const_cast<XPenHandle *>(
                helper->CheckSidePen(d->borderPen[i], d->border[i], d->borderColor[i]));
        }
    }
}

} // namespace

void CompleteStyleDesc(XStyleDesc *desc, const XStyleDesc *base, XRescHelper *helper)
{
    if (desc == nullptr)
        return;
    CompleteFont(desc, base, helper);
    for (const StyleField f : kLayoutFields) {
        if (!IsStyleFieldSet(desc->layoutWord, f))
            desc->layoutWord = SetStyleField(desc->layoutWord, f, 0);
    }
    desc->layoutWord &= 0x0FFFFFFF; // bits 28-31 carry nothing
    CompleteBox(desc, helper);
    if (!IsStyleFieldSet(desc->backWord, kBackKind))
        desc->backWord = SetStyleField(desc->backWord, kBackKind, kBackNone);
}
