// Placeholder page style until the rules land.

#include "pagekit/core/page_style.h"

#include "corekit/memory.h"
#include "pagekit/core/item_style.h"

XPageStyle::XPageStyle() = default;

XPageStyle::~XPageStyle()
{
    ClearStyle();
}

unsigned XPageStyle::ParseStyle(const char *)
{
    return 0;
}

void XPageStyle::ApplyStyle(XPageItem *, XItemStyle *) {}

void XPageStyle::GetPageStyle(XStyleDesc *desc)
{
    for (int side = 0; side < 4; ++side) {
        if (desc->margin[side] == kStyleUnsetSpace)
            desc->margin[side] = 0;
        if (desc->padding[side] == kStyleUnsetSpace)
            desc->padding[side] = 0;
        if (desc->radius[side] == kStyleUnsetRadius)
            desc->radius[side] = 0;
        if (desc->border[side] == kStyleUnsetByte)
            desc->border[side] = 0;
    }
    if (desc->fontSize == 0)
        desc->fontSize = 12;
    if (desc->fontFamily == nullptr)
        desc->fontFamily = StrAlloc(u"宋体");
    if (desc->textColor == kStyleUnsetWord)
        desc->textColor = 0;
    if (GetStyleField(desc->backWord, kBackKind) == 0xFF)
        desc->backWord = SetStyleField(desc->backWord, kBackKind, kBackNone);
    if (desc->layoutWord == kStyleUnsetWord)
        desc->layoutWord = 0;
    if (desc->stateWord == kStyleUnsetWord)
        desc->stateWord = 0;
}

void XPageStyle::ClearStyle()
{
    m_helper.ClearHelper();
}
