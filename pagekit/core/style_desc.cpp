#include "pagekit/core/style_desc.h"

#include <cstring>

#include "corekit/memory/memory.h"
#include "platform/panekit/paint/gradient_desc.h"

void InitStyleDesc(XStyleDesc *desc)
{
    std::memset(desc, 0, sizeof(*desc));
    for (int side = 0; side < 4; ++side) {
        desc->margin[side] = kStyleUnsetSpace;
        desc->padding[side] = kStyleUnsetSpace;
        desc->border[side] = kStyleUnsetByte;
        desc->radius[side] = kStyleUnsetRadius;
    }
    desc->layoutWord = kStyleUnsetWord;
    desc->stateWord = kStyleUnsetWord;
    desc->width = kStyleUnsetWord;
    desc->height = kStyleUnsetWord;
    desc->opacity = -1;
    desc->backWord = kStyleUnsetBackground;
    desc->backColor = kStyleUnsetWord;
    desc->textColor = kStyleUnsetWord;
}

void FreeStyleBackSource(XStyleDesc *desc)
{
    // Names and gradients are both single corekit blocks.
    MemFree(desc->backSource);
    desc->backSource = nullptr;
}

void FreeStyleDescStrings(XStyleDesc *desc)
{
    MemFree(desc->fontFamily);
    desc->fontFamily = nullptr;
    MemFree(desc->content);
    desc->content = nullptr;
    FreeStyleBackSource(desc);
}

void CopyStyleDesc(XStyleDesc *dst, const XStyleDesc *src)
{
    std::memcpy(dst, src, sizeof(*dst));
    dst->fontFamily = StrAlloc(src->fontFamily);
    dst->content = StrAlloc(src->content);
    const uint32_t kind = GetStyleField(src->backWord, kBackKind);
    if (kind == kBackGradient)
        dst->backGradient = CloneGradientDesc(src->backGradient);
    else if (IsNamedBackKind(kind))
        dst->backName = StrAlloc(src->backName);
    else
        dst->backSource = nullptr;
    dst->backPicture = nullptr;
    dst->fontHandle = nullptr;
    for (void *&pen : dst->borderPen)
        pen = nullptr;
    dst->nextEntry = nullptr;
    dst->nextState = nullptr;
}
