#include "pagekit/core/default_style.h"

#include "corekit/memory/memory.h"
#include "platform/panekit/paint/gradient_desc.h"

namespace {

// Layout-word fields that overlay one by one.
constexpr StyleField kLayoutFields[] = {kTextAlign, kWrapMode,      kPosition,
                                        kOverflowX, kOverflowY,     kLayoutX,
                                        kLayoutY,   kVerticalAlign, kTextDrawFlags};

XStyleDesc *g_tableHead = nullptr;
bool g_tableMade = false;

// Head of the kind list; the first call makes the table and installs the built-ins.
XStyleDesc *&TableHead()
{
    if (!g_tableMade) {
        g_tableMade = true;
        InstallBuiltinStyles();
    }
    return g_tableHead;
}

XStyleDesc *NewCopy(const XStyleDesc *src, uint32_t kind, uint32_t state)
{
    auto *copy = static_cast<XStyleDesc *>(MemAlloc(sizeof(XStyleDesc)));
    CopyStyleDesc(copy, src);
    copy->ownerKind = kind;
    copy->stateCode = state;
    copy->touchedGroups = 0;
    return copy;
}

void CopyBackground(XStyleDesc *dst, const XStyleDesc *src)
{
    FreeStyleBackSource(dst);
    const uint32_t kind = GetStyleField(src->backWord, kBackKind);
    if (kind == kBackGradient)
        dst->backGradient = CloneGradientDesc(src->backGradient);
    else if (IsNamedBackKind(kind))
        dst->backName = StrAlloc(src->backName);
    dst->backWord = src->backWord;
    dst->backColor = src->backColor;
    dst->backPicture = nullptr;
}

// Copies every set field of src into dst.
void OverlayFields(XStyleDesc *dst, const XStyleDesc *src)
{
    for (const StyleField f : kLayoutFields) {
        if (IsStyleFieldSet(src->layoutWord, f))
            dst->layoutWord = SetStyleField(dst->layoutWord, f, GetStyleField(src->layoutWord, f));
    }
    // Only visibility cascades from a default entry: a disabled or read-only state is the
    // item's own, and a sheet that set it would disable every item of the kind.
    if (IsStyleFieldSet(src->stateWord, kVisibility))
        dst->stateWord =
            SetStyleField(dst->stateWord, kVisibility, GetStyleField(src->stateWord, kVisibility));
    if (src->width != kStyleUnsetWord)
        dst->width = src->width;
    if (src->height != kStyleUnsetWord)
        dst->height = src->height;
    if (src->opacity != -1)
        dst->opacity = src->opacity;
    for (int i = 0; i < 4; ++i) {
        if (src->margin[i] != kStyleUnsetSpace)
            dst->margin[i] = src->margin[i];
        if (src->padding[i] != kStyleUnsetSpace)
            dst->padding[i] = src->padding[i];
        if (src->border[i] != kStyleUnsetByte) {
            dst->border[i] = src->border[i];
            dst->borderColor[i] = src->borderColor[i];
            dst->borderPen[i] = nullptr;
        }
        if (src->radius[i] != kStyleUnsetRadius)
            dst->radius[i] = src->radius[i];
    }
    if (IsStyleFieldSet(src->backWord, kBackKind))
        CopyBackground(dst, src);
    if (src->fontSize != 0)
        dst->fontSize = src->fontSize;
    // The flags have no unset value of their own, so they travel with the family that a
    // font declaration sets; without a family the entry keeps its flags.
    if (src->fontFamily) {
        dst->fontFlags = src->fontFlags;
        MemFree(dst->fontFamily);
        dst->fontFamily = StrAlloc(src->fontFamily);
    }
    if (src->textColor != kStyleUnsetWord)
        dst->textColor = src->textColor;
    dst->fontHandle = nullptr;
}

// Unsets in dst every field that src sets, so that dst inherits src's values.
void UnsetFields(XStyleDesc *dst, const XStyleDesc *src)
{
    for (const StyleField f : kLayoutFields) {
        if (IsStyleFieldSet(src->layoutWord, f))
            dst->layoutWord = SetStyleField(dst->layoutWord, f, f.mask);
    }
    if (IsStyleFieldSet(src->stateWord, kVisibility))
        dst->stateWord = SetStyleField(dst->stateWord, kVisibility, kVisibility.mask);
    if (src->width != kStyleUnsetWord)
        dst->width = kStyleUnsetWord;
    if (src->height != kStyleUnsetWord)
        dst->height = kStyleUnsetWord;
    if (src->opacity != -1)
        dst->opacity = -1;
    for (int i = 0; i < 4; ++i) {
        if (src->margin[i] != kStyleUnsetSpace)
            dst->margin[i] = kStyleUnsetSpace;
        if (src->padding[i] != kStyleUnsetSpace)
            dst->padding[i] = kStyleUnsetSpace;
        if (src->border[i] != kStyleUnsetByte) {
            dst->border[i] = kStyleUnsetByte;
            dst->borderColor[i] = 0;
        }
        if (src->radius[i] != kStyleUnsetRadius)
            dst->radius[i] = kStyleUnsetRadius;
    }
    if (IsStyleFieldSet(src->backWord, kBackKind)) {
        FreeStyleBackSource(dst);
        dst->backWord = kStyleUnsetBackground;
        dst->backColor = kStyleUnsetWord;
        dst->backPicture = nullptr;
    }
    if (src->fontSize != 0)
        dst->fontSize = 0;
    if (src->fontFamily) {
        dst->fontFlags = 0;
        MemFree(dst->fontFamily);
        dst->fontFamily = nullptr;
    }
    if (src->textColor != kStyleUnsetWord)
        dst->textColor = kStyleUnsetWord;
}

} // namespace

void SetItemDefaultStyle(uint32_t kind, uint32_t state, const XStyleDesc *desc)
{
    XStyleDesc **slot = &TableHead();
    while (*slot && (*slot)->ownerKind != kind)
        slot = &(*slot)->nextEntry;
    XStyleDesc *entry = *slot;
    if (!entry) {
        *slot = NewCopy(desc, kind, state);
        return;
    }
    if (state == kStateNormal) {
        for (XStyleDesc *v = entry; v; v = v->nextState) {
            if (v->stateCode >= 1 && v->stateCode <= 15)
                UnsetFields(v, desc);
        }
    }
    XStyleDesc **at = &entry;
    while (*at && (*at)->stateCode != state)
        at = &(*at)->nextState;
    if (*at) {
        OverlayFields(*at, desc);
        return;
    }
    XStyleDesc *copy = NewCopy(desc, kind, state);
    if (state == kStateNormal) {
        // A new normal variant heads the kind's chain and takes its place in the list.
        copy->nextState = entry;
        copy->nextEntry = entry->nextEntry;
        entry->nextEntry = nullptr;
        *slot = copy;
    } else {
        *at = copy;
    }
}

const XStyleDesc *GetItemDefaultStyle(uint32_t kind, uint32_t state)
{
    for (XStyleDesc *e = TableHead(); e; e = e->nextEntry) {
        if (e->ownerKind != kind)
            continue;
        for (XStyleDesc *v = e; v; v = v->nextState) {
            if (v->stateCode == state)
                return v;
        }
        return nullptr;
    }
    return nullptr;
}

XStyleDesc *CopyDefaultStyleChain(uint32_t kind)
{
    XStyleDesc *head = nullptr;
    XStyleDesc **tail = &head;
    for (XStyleDesc *e = TableHead(); e; e = e->nextEntry) {
        if (e->ownerKind != kind)
            continue;
        for (const XStyleDesc *v = e; v; v = v->nextState) {
            *tail = NewCopy(v, kind, v->stateCode);
            (*tail)->touchedGroups = v->touchedGroups;
            tail = &(*tail)->nextState;
        }
        break;
    }
    return head;
}

void FreeStyleChain(XStyleDesc *chain)
{
    while (chain) {
        XStyleDesc *next = chain->nextState;
        FreeStyleDescStrings(chain);
        MemFree(chain);
        chain = next;
    }
}

XStyleDesc *SwapDefaultStyleTable(XStyleDesc *table)
{
    XStyleDesc *held = g_tableHead;
    g_tableHead = table;
    // The built-ins always leave entries, so an empty list is a table not made yet.
    g_tableMade = table != nullptr;
    return held;
}

void FreeDefaultStyleTable(XStyleDesc *table)
{
    while (table) {
        XStyleDesc *next = table->nextEntry;
        FreeStyleChain(table);
        table = next;
    }
}
