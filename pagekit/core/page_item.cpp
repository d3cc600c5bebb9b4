// The page item: life, state flags, places, painters, styles and extent. Scroll bars are
// in page_item_scroll.cpp, message delivery in page_item_message.cpp.

#include "pagekit/core/page_item.h"

#include <algorithm>
#include <cmath>

#include "corekit/containers/xfinder.h"
#include "corekit/memory/memory.h"
#include "corekit/text/strings.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/page_frame.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "pagekit/core/style_geometry.h"
#include "platform/panekit/paint/xpainter.h"

// ---------------------------------------------------------------------------------------
// Life
// ---------------------------------------------------------------------------------------

XPageItem::XPageItem()
{
    InitStyleDesc(&style);
}

XPageItem::~XPageItem()
{
    delete attached;
    attached = nullptr;
    const bool created = (itemFlags & kItemCreated) != 0;
    XPageWindow *window = GetPageWindow();
    if (created && owner != nullptr)
        Invalidate(nullptr, 0);
    if (owner != nullptr)
        owner->DropNode(this);
    if (created && window != nullptr)
        window->OnDestroyItem(this);
    StopRepeat(this);
    MemFree(prompter);
    prompter = nullptr;
    FreeStyleDescStrings(&style);
}

void XPageItem::Destroy()
{
    XPageWindow *window = GetPageWindow();
    if ((itemFlags & kItemCreated) && window != nullptr)
        window->OnRemoveItem(this);
    if (itemFlags & kItemCreated)
        Invalidate(nullptr, 0);
    if (owner != nullptr && !owner->DropNode(this))
        return;
    delete this;
}

void XPageItem::DestroyAsync()
{
    XPageWindow *window = GetPageWindow();
    if ((itemFlags & kItemCreated) && window != nullptr &&
        window->PostMessage(kPostDestroy, this, reinterpret_cast<uintptr_t>(owner)))
        return;
    Destroy();
}

XPageWindow *XPageItem::GetPageWindow() const
{
    return form != nullptr ? form->GetPageWindow() : nullptr;
}

// ---------------------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------------------

int XPageItem::IsVisible() const
{
    for (const XPageItem *item = this; item != nullptr; item = item->owner) {
        if (!(item->itemFlags & kItemVisible))
            return 0;
    }
    return 1;
}

int XPageItem::IsEnable() const
{
    for (const XPageItem *item = this; item != nullptr; item = item->owner) {
        if (item->itemFlags & kItemDisabled)
            return 0;
    }
    return 1;
}

int XPageItem::IsEditable() const
{
    if (!(itemFlags & kItemEditable) || (itemFlags & kItemReadOnly))
        return 0;
    return IsEnable();
}

int XPageItem::IsFocusable() const
{
    for (const XPageItem *item = this; item != nullptr; item = item->owner) {
        if (item->itemFlags & (kItemDisabled | kItemNoFocus))
            return 0;
    }
    return 1;
}

int XPageItem::IsChildItem(const XPageItem *item) const
{
    for (; item != nullptr; item = item->owner) {
        if (item == this)
            return 1;
    }
    return 0;
}

// Marks a frame owner for layout after a change of visibility or enabled state.
static void MarkOwnerLayout(XPageItem *item)
{
    XPageOwner *owner = item->GetOwner();
    if (owner != nullptr && IsFrameKind(owner->kind) && !(item->itemFlags & kItemAbsolute))
        owner->stateFlags |= kItemStateLayout;
}

void XPageItem::ShowItem(int show)
{
    const bool visible = (itemFlags & kItemVisible) != 0;
    if (visible == (show != 0))
        return;
    if (!(itemFlags & kItemCreated)) {
        itemFlags ^= kItemVisible;
        return;
    }
    if (!show) {
        Invalidate(nullptr, 0);
        if (XPageWindow *window = GetPageWindow())
            window->OnRemoveItem(this);
    }
    itemFlags ^= kItemVisible;
    if (show)
        Invalidate(nullptr, 0);
    MarkOwnerLayout(this);
    OnUpdateItem(show ? kUpdateShown : kUpdateHidden);
}

void XPageItem::EnableItem(int enable)
{
    const bool enabled = !(itemFlags & kItemDisabled);
    if (enabled == (enable != 0))
        return;
    itemFlags ^= kItemDisabled;
    if (!(itemFlags & kItemCreated))
        return;
    Invalidate(nullptr, 0);
    MarkOwnerLayout(this);
    OnUpdateItem(enable ? kUpdateEnabled : kUpdateDisabled);
}

void XPageItem::SetFocusItem()
{
    if (XPageWindow *window = GetPageWindow())
        window->SetFocusItem(this);
}

void XPageItem::SetItemName(const char16_t *text)
{
    unsigned n = 0;
    if (text != nullptr) {
        while (n < kItemNameSize && text[n] != 0)
            ++n;
        // A high surrogate whose low half would be cut off goes too.
        if (n == kItemNameSize && text[n] != 0 && text[n - 1] >= 0xD800 && text[n - 1] < 0xDC00)
            --n;
        std::copy(text, text + n, name);
    }
    std::fill(name + n, name + kItemNameSize + 1, u'\0');
}

void XPageItem::SetPrompter(const char16_t *text)
{
    MemFree(prompter);
    prompter = text != nullptr && text[0] != 0 ? StrAlloc(text) : nullptr;
}

void XPageItem::GetItemText(XString *out)
{
    if (out == nullptr)
        return;
    const unsigned length = GetItemText(nullptr, 0);
    std::u16string text(length + 1, u'\0');
    const unsigned written = GetItemText(text.data(), length + 1);
    out->SetString(text.data(), std::min(written, length));
}

// ---------------------------------------------------------------------------------------
// Base virtual operations
// ---------------------------------------------------------------------------------------

void XPageItem::DrawBody(XPainter *, const BOUND_t *) {}

void XPageItem::DrawFrame(XPainter *painter, const BOUND_t *)
{
    BOUND_t box = {0, 0, place.width, place.height};
    CalcItemPlace(kSpaceMargin, &box, &style);
    painter->DrawItemBox(&style, &box);
}

XPageItem *XPageItem::GetNextItem(int, XFinder *)
{
    return nullptr;
}

XPageItem *XPageItem::GetPrevItem(int, XFinder *)
{
    return nullptr;
}

unsigned XPageItem::GetItemText(char16_t *text, unsigned cap)
{
    if (text != nullptr && cap > 0)
        text[0] = 0;
    return 0;
}

void XPageItem::SetReadOnly(int readOnly)
{
    if (readOnly)
        itemFlags |= kItemReadOnly;
    else
        itemFlags &= ~kItemReadOnly;
    if (itemFlags & kItemCreated)
        Invalidate(nullptr, 0);
}

void XPageItem::SetItemText(const char16_t *) {}

void XPageItem::OnUpdateItem(int) {}

XPageItem *XPageItem::HitItem(int x, int y)
{
    if (!(itemFlags & kItemVisible) || (itemFlags & kItemDisabled))
        return nullptr;
    return PointInBound(&place, x, y) ? this : nullptr;
}

// ---------------------------------------------------------------------------------------
// Creation
// ---------------------------------------------------------------------------------------

void XPageItem::OnCreateItem()
{
    if (form == nullptr && owner != nullptr)
        form = owner->form;
    if (minWidth == 0)
        minWidth = place.width;
    if (minHeight == 0)
        minHeight = place.height;
    XPageStyle *pageStyle = form != nullptr ? form->GetPageStyle() : nullptr;
    itemStyle.InitStyle(kind, this, pageStyle);
    if (attached != nullptr) {
        attached->ApplyItemStyle();
    } else if (classList != nullptr || typeName != nullptr) {
        itemStyle.ApplyStyle(this, nullptr);
        ApplyItemStyle();
    }
    itemFlags |= kItemCreated;
    if (XPageWindow *window = GetPageWindow())
        window->AddLiveItem(this);
    // The body too: an owner's extend axes take it as their extent right after.
    UpdateStyleDesc(0x10);
    CalcExtentSize(0);
}

// ---------------------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------------------

uint32_t XPageItem::GetStyleState() const
{
    uint32_t state = stateFlags & (kItemStateFocused | kItemStateHovered | kItemStatePressed |
                                   kItemStateChildMask);
    if (itemFlags & (kItemDisabled | kItemReadOnly))
        state |= kItemStateLocked;
    return state;
}

void XPageItem::UpdateStyleDesc(int mode)
{
    const uint32_t state = GetStyleState();
    const int low = mode & 0xF;
    const bool valid = style.touchedGroups != 0;
    const bool resolve = low == 0 ? !valid : low == 1 ? !valid || style.stateCode != state : true;
    if (resolve) {
        FreeStyleDescStrings(&style);
        itemStyle.GetStyle(state, owner, &style);
        style.stateCode = state;
        style.touchedGroups |= kStyleResolved;
    }
    if (mode & 0x10)
        CalcBodyPlace();
}

int XPageItem::IsSolidRender()
{
    return itemStyle.IsSolidRender(GetStyleState());
}

void XPageItem::ApplyStyle(int mode, const char *text)
{
    if (mode < 0 || mode > 2)
        return;
    if (mode != 0)
        itemStyle.ClearStyle();
    if (itemFlags & kItemCreated)
        itemStyle.ApplyStyle(this, text);
    else if (text != nullptr)
        itemStyle.ParseStyle(text);
    if (!(itemFlags & kItemCreated))
        return;
    ApplyItemStyle();
    UpdateStyleDesc(0x12);
    if (mode == 1) {
        CalcExtentSize(1);
        if (owner != nullptr) {
            owner->Invalidate(nullptr, 0);
            return;
        }
    }
    Invalidate(nullptr, 0);
}

int XPageItem::SetupStyle(const char16_t *key, const char16_t *value)
{
    const int read = itemStyle.SetStyle(key, value);
    if (itemFlags & kItemCreated) {
        ApplyItemStyle();
        UpdateStyleDesc(0x12);
        Invalidate(nullptr, 0);
    }
    return read;
}

namespace {

// Pixels of an encoded length; false when it cannot be computed (no owner for a
// percentage, no font size for em and rem).
bool LengthPixels(uint32_t length, int32_t area, bool hasArea, int32_t fontSize,
                  int32_t rootFontSize, int32_t *out)
{
    const uint32_t unit = length >> 28;
    const double value = static_cast<double>(length & kLengthValueMask) / 1000.0;
    double pixels;
    switch (unit) {
    case kUnitPercent:
        if (!hasArea)
            return false;
        *out =
            static_cast<int32_t>(static_cast<int64_t>(length & kLengthValueMask) * area / 100000);
        return true;
    case kUnitPoint:
        pixels = value / 0.75;
        break;
    case kUnitEm:
        if (fontSize == 0)
            return false;
        pixels = value * fontSize;
        break;
    case kUnitRem:
        if (rootFontSize == 0)
            return false;
        pixels = value * rootFontSize;
        break;
    case kUnitPixel:
        pixels = value;
        break;
    default:
        return false;
    }
    *out = static_cast<int32_t>(std::lround(pixels));
    return true;
}

uint32_t ReplaceNibble(uint32_t flags, StyleField field, uint32_t word, StyleField from)
{
    if (!IsStyleFieldSet(word, from))
        return flags;
    return SetStyleField(flags, field, GetStyleField(word, from));
}

} // namespace

int XPageItem::ApplyItemStyle()
{
    XStyleDesc normal;
    InitStyleDesc(&normal);
    itemStyle.GetStyle(0, owner, &normal);
    const uint32_t before = itemFlags;
    const BOUND_t oldPlace = place;
    uint32_t flags = itemFlags;

    if (IsStyleFieldSet(normal.stateWord, kVisibility))
        flags = GetStyleField(normal.stateWord, kVisibility) == 1 ? flags & ~kItemVisible
                                                                  : flags | kItemVisible;
    if (IsStyleFieldSet(normal.stateWord, kStateFlags)) {
        const uint32_t lock = GetStyleField(normal.stateWord, kStateFlags);
        if (lock == 0)
            flags &= ~(kItemDisabled | kItemReadOnly);
        else if (lock == 1)
            flags |= kItemDisabled;
        else if (lock == 2)
            flags |= kItemReadOnly;
    }
    flags = ReplaceNibble(flags, kItemWrapMode, normal.layoutWord, kWrapMode);
    if (IsStyleFieldSet(normal.layoutWord, kPosition) &&
        GetStyleField(normal.layoutWord, kPosition) == 1)
        flags |= kItemAbsolute;
    flags = ReplaceNibble(flags, kItemOverflowX, normal.layoutWord, kOverflowX);
    flags = ReplaceNibble(flags, kItemOverflowY, normal.layoutWord, kOverflowY);
    flags = ReplaceNibble(flags, kItemLayoutX, normal.layoutWord, kLayoutX);
    flags = ReplaceNibble(flags, kItemLayoutY, normal.layoutWord, kLayoutY);

    const int32_t rootFont = form != nullptr ? form->GetRootFontSize() : 0;
    int32_t pixels = 0;
    if (normal.width != kStyleUnsetWord &&
        LengthPixels(normal.width, owner != nullptr ? owner->body.width : 0, owner != nullptr,
                     normal.fontSize, rootFont, &pixels)) {
        place.width = std::max(pixels, 0);
        if (itemStyle.m_own.width != kStyleUnsetWord &&
            GetStyleField(flags, kItemLayoutX) == kLayoutExtend)
            flags = SetStyleField(flags, kItemLayoutX, kLayoutNone);
    }
    if (normal.height != kStyleUnsetWord &&
        LengthPixels(normal.height, owner != nullptr ? owner->body.height : 0, owner != nullptr,
                     normal.fontSize, rootFont, &pixels)) {
        place.height = std::max(pixels, 0);
        if (itemStyle.m_own.height != kStyleUnsetWord &&
            GetStyleField(flags, kItemLayoutY) == kLayoutExtend)
            flags = SetStyleField(flags, kItemLayoutY, kLayoutNone);
    }
    if (flags & kItemFixed)
        flags |= kItemAbsolute;
    itemFlags = flags;
    FreeStyleDescStrings(&normal);

    constexpr uint32_t kPlacementBits =
        kItemVisible | 0x300 | kItemAbsolute | kItemFixed | 0x0FF00000;
    constexpr uint32_t kExtentBits = 0x000FF000;
    constexpr uint32_t kLookBits = kItemDisabled | kItemReadOnly;
    const uint32_t changed = before ^ flags;
    const bool resized = oldPlace.width != place.width || oldPlace.height != place.height;
    int mask = 0;
    if ((changed & kPlacementBits) || resized)
        mask = kChangePlace;
    else if (changed & kLookBits)
        mask = kChangeLook;
    if ((changed & kExtentBits) || resized)
        mask |= kChangeExtent;
    return mask;
}

// ---------------------------------------------------------------------------------------
// Extent
// ---------------------------------------------------------------------------------------

int XPageItem::CalcExtentSize(int mode)
{
    RECT_t spaces;
    CalcItemSpace(kSpacePadding, &spaces, &style);
    int changed = 0;
    if (GetStyleField(itemFlags, kItemOverflowX) == kOverflowExtend) {
        const int32_t width = std::max(scroll.width + spaces.left + spaces.right, minWidth);
        changed |= width != place.width;
        place.width = width;
        minWidth = width;
    }
    if (GetStyleField(itemFlags, kItemOverflowY) == kOverflowExtend) {
        const int32_t height = std::max(scroll.height + spaces.top + spaces.bottom, minHeight);
        changed |= height != place.height;
        place.height = height;
        minHeight = height;
    }
    if (changed && mode > 0)
        OnExtentOwner(mode - 1);
    const uint32_t ox = GetStyleField(itemFlags, kItemOverflowX);
    const uint32_t oy = GetStyleField(itemFlags, kItemOverflowY);
    if (ox == kOverflowScroll || ox == kOverflowAuto || oy == kOverflowScroll ||
        oy == kOverflowAuto)
        UpdateScrollbar();
    return changed;
}

void XPageItem::OnExtentOwner(int mode)
{
    if (owner == nullptr || (itemFlags & kItemAbsolute) || !IsFrameKind(owner->kind))
        return;
    const bool adapts = GetStyleField(owner->itemFlags, kItemOverflowX) == kOverflowExtend ||
                        GetStyleField(owner->itemFlags, kItemOverflowY) == kOverflowExtend;
    if (mode == 0 || !adapts) {
        owner->stateFlags |= kItemStateLayout;
        return;
    }
    owner->UpdateLayout(mode == 2);
}

// ---------------------------------------------------------------------------------------
// Places
// ---------------------------------------------------------------------------------------

namespace {

// The window position of an item's place origin.
POINT_t PlaceOrigin(const XPageItem *item)
{
    POINT_t at = {item->place.x, item->place.y};
    for (const XPageItem *child = item; child->GetOwner() != nullptr;) {
        const XPageItem *owner = child->GetOwner();
        at.x += owner->place.x;
        at.y += owner->place.y;
        if (!(child->itemFlags & kItemFixed)) {
            at.x += owner->body.x - owner->scroll.x;
            at.y += owner->body.y - owner->scroll.y;
        }
        child = owner;
    }
    return at;
}

// The window position of an item's child-space origin.
POINT_t ChildOrigin(const XPageItem *item)
{
    POINT_t at = PlaceOrigin(item);
    at.x += item->body.x - item->scroll.x;
    at.y += item->body.y - item->scroll.y;
    return at;
}

// The window position of the origin of the space an item's place is given in.
POINT_t OwnerOrigin(const XPageItem *item)
{
    const XPageItem *owner = item->GetOwner();
    if (owner == nullptr)
        return {0, 0};
    if (item->itemFlags & kItemFixed)
        return PlaceOrigin(owner);
    return ChildOrigin(owner);
}

// Clips a window bound by what every owner shows of its children.
bool ClipByOwners(const XPageItem *item, BOUND_t *bound)
{
    for (const XPageItem *child = item; child->GetOwner() != nullptr;) {
        const XPageItem *owner = child->GetOwner();
        BOUND_t clip;
        if (child->itemFlags & kItemFixed) {
            const POINT_t at = PlaceOrigin(owner);
            clip = {at.x, at.y, owner->place.width, owner->place.height};
        } else {
            const POINT_t at = PlaceOrigin(owner);
            clip = {at.x + owner->body.x, at.y + owner->body.y, owner->body.width,
                    owner->body.height};
        }
        if (!IntersectBound(bound, bound, &clip))
            return false;
        child = owner;
    }
    return bound->width > 0 && bound->height > 0;
}

void Shift(BOUND_t *bound, POINT_t by, int sign)
{
    bound->x += sign * by.x;
    bound->y += sign * by.y;
}

void Shift(POINT_t *point, POINT_t by, int sign)
{
    point->x += sign * by.x;
    point->y += sign * by.y;
}

} // namespace

int XPageItem::GetPlace(int mode, BOUND_t *out) const
{
    if (out == nullptr)
        return 0;
    const POINT_t at = PlaceOrigin(this);
    switch (mode) {
    case kPlaceOwner:
        *out = place;
        return 1;
    case kPlaceWindow:
        *out = {at.x, at.y, place.width, place.height};
        return 1;
    case kPlaceBody:
        *out = {place.x + body.x, place.y + body.y, body.width, body.height};
        return 1;
    case kPlaceBodyWindow:
        *out = {at.x + body.x, at.y + body.y, body.width, body.height};
        return 1;
    case kPlaceOwnerSize:
        if (owner == nullptr) {
            *out = {0, 0, place.width, place.height};
        } else {
            const POINT_t o = PlaceOrigin(owner);
            *out = {o.x, o.y, owner->place.width, owner->place.height};
        }
        return 1;
    case kPlaceVisible:
    case kPlaceVisibleOwner: {
        BOUND_t visible = {at.x, at.y, place.width, place.height};
        if (!ClipByOwners(this, &visible))
            visible = {0, 0, 0, 0};
        if (mode == kPlaceVisibleOwner && (visible.width > 0 || visible.height > 0))
            Shift(&visible, OwnerOrigin(this), -1);
        *out = visible;
        return 1;
    }
    case kPlaceVisibleBody: {
        BOUND_t visible = {at.x + body.x, at.y + body.y, body.width, body.height};
        if (!ClipByOwners(this, &visible))
            visible = {0, 0, 0, 0};
        *out = visible;
        return 1;
    }
    case kPlaceScrolled:
        *out = place;
        if ((itemFlags & kItemFixed) && owner != nullptr) {
            out->x += owner->scroll.x - owner->body.x;
            out->y += owner->scroll.y - owner->body.y;
        }
        return 1;
    default:
        return 0;
    }
}

int XPageItem::GetPlace(int mode, POINT_t *out) const
{
    if (out == nullptr)
        return 0;
    BOUND_t bound;
    switch (mode) {
    case kPlaceOwner:
    case kPlaceWindow:
    case kPlaceBody:
    case kPlaceBodyWindow:
    case kPlaceOwnerSize:
    case kPlaceScrolled:
        GetPlace(mode, &bound);
        *out = {bound.x, bound.y};
        return 1;
    case kPlaceVisibleBody:
        *out = ChildOrigin(this);
        return 1;
    default:
        return 0;
    }
}

int XPageItem::FixPlace(int mode, BOUND_t *bound) const
{
    if (bound == nullptr)
        return 0;
    POINT_t at = {bound->x, bound->y};
    if (!FixPlace(mode, &at))
        return 0;
    bound->x = at.x;
    bound->y = at.y;
    return 1;
}

int XPageItem::FixPlace(int mode, POINT_t *point) const
{
    if (point == nullptr)
        return 0;
    switch (mode) {
    case kFixWindowToOwner:
        Shift(point, OwnerOrigin(this), -1);
        return 1;
    case kFixOwnerToWindow:
        Shift(point, OwnerOrigin(this), 1);
        return 1;
    case kFixWindowToItem:
        Shift(point, PlaceOrigin(this), -1);
        return 1;
    case kFixItemToWindow:
        Shift(point, PlaceOrigin(this), 1);
        return 1;
    case kFixWindowToChild:
        Shift(point, ChildOrigin(this), -1);
        return 1;
    case kFixChildToWindow:
        Shift(point, ChildOrigin(this), 1);
        return 1;
    case kFixFixedToScrolled:
        if (owner != nullptr) {
            point->x += owner->scroll.x - owner->body.x;
            point->y += owner->scroll.y - owner->body.y;
        }
        return 1;
    default:
        return 0;
    }
}

void XPageItem::SetBodySize(unsigned width, unsigned height)
{
    if (itemFlags & kItemCreated)
        UpdateStyleDesc(0);
    RECT_t spaces;
    CalcItemSpace(kSpacePadding, &spaces, &style);
    BOUND_t bound = place;
    bound.width = static_cast<int32_t>(std::min(width, 0x3FFFFFFFu)) + spaces.left + spaces.right +
                  ((itemFlags & kItemVertBar) ? kScrollBarSize : 0);
    bound.height = static_cast<int32_t>(std::min(height, 0x3FFFFFFFu)) + spaces.top +
                   spaces.bottom + ((itemFlags & kItemHorzBar) ? kScrollBarSize : 0);
    MovePlace(&bound, 1);
}

XPageItem *XPageItem::GetNextSuber(int flags, XFinder *finder)
{
    if (finder == nullptr)
        return nullptr;
    if (!(flags & kWalkContinue)) {
        finder->ClearFinder();
        finder->SetFinder(this);
    }
    while (auto *container = static_cast<XPageItem *>(finder->GetFinder())) {
        if (XPageItem *child = container->GetNextItem(kWalkContinue, finder)) {
            if (child->kind >= 80 && !(child->itemFlags & kItemNoDescend))
                finder->PushFinder(child);
            return child;
        }
        finder->PopupFinder();
    }
    return nullptr;
}

XPageItem *XPageItem::GetPrevSuber(int flags, XFinder *finder)
{
    if (finder == nullptr)
        return nullptr;
    if (!(flags & kWalkContinue)) {
        finder->ClearFinder();
        finder->SetFinder(this);
    }
    while (auto *container = static_cast<XPageItem *>(finder->GetFinder())) {
        if (XPageItem *child = container->GetPrevItem(kWalkContinue, finder)) {
            if (child->kind >= 80 && !(child->itemFlags & kItemNoDescend))
                finder->PushFinder(child);
            return child;
        }
        finder->PopupFinder();
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------------------

XPainter *XPageItem::BeginPainter(XPaintDesc *desc)
{
    if (desc == nullptr)
        return nullptr;
    desc->painter = nullptr;
    if (form == nullptr)
        return nullptr;
    GetPlace(kPlaceVisible, &desc->bound);
    XPainter *painter = form->StartPainter(desc);
    if (painter == nullptr)
        return nullptr;
    const POINT_t at = PlaceOrigin(this);
    painter->Translate(at.x, at.y);
    return painter;
}

void XPageItem::ClosePainter(XPaintDesc *desc)
{
    XPageWindow *window = GetPageWindow();
    if (window != nullptr && desc != nullptr)
        window->ClosePainter(desc);
}

int XPageItem::GetTracker(int flag, XPainter *painter) const
{
    if (painter == nullptr)
        return 0;
    BOUND_t visible;
    GetPlace(flag ? kPlaceVisibleBody : kPlaceVisible, &visible);
    if (visible.width <= 0 || visible.height <= 0)
        return 0;
    painter->ResetTransform();
    painter->SetClipRect(&visible);
    POINT_t at = PlaceOrigin(this);
    if (flag) {
        at.x += body.x;
        at.y += body.y;
    }
    painter->Translate(at.x, at.y);
    return 1;
}

void XPageItem::Invalidate(const BOUND_t *bound, int erase)
{
    if (!(itemFlags & kItemCreated))
        return;
    XPageWindow *window = GetPageWindow();
    if (window == nullptr)
        return;
    if (bound == nullptr) {
        window->OnUpdateItem(this, nullptr);
    } else {
        BOUND_t part = *bound;
        part.x += body.x - scroll.x;
        part.y += body.y - scroll.y;
        if (!IntersectBound(&part, &part, &body))
            return;
        window->OnUpdateItem(this, &part);
    }
    if (erase)
        window->OnUpdateErase();
}

// ---------------------------------------------------------------------------------------
// Drawing and moving
// ---------------------------------------------------------------------------------------

void XPageItem::DrawItem(XPainter *painter, const BOUND_t *bound)
{
    if (painter == nullptr || bound == nullptr)
        return;
    UpdateStyleDesc(1);
    BOUND_t clip = place;
    CalcItemPlace(kSpaceMargin, &clip, &style);
    if (!IntersectBound(&clip, &clip, bound))
        return;
    BOUND_t saved;
    const int hadClip = painter->GetClipRect(&saved);
    painter->Translate(place.x, place.y);
    clip.x -= place.x;
    clip.y -= place.y;
    painter->SetClipRect(&clip);
    CalcBodyPlace();
    DrawFrame(painter, &clip);
    DrawScrollbar(painter);
    BOUND_t inner;
    if (IntersectBound(&inner, &body, &clip)) {
        painter->SetClipRect(&inner);
        const int dx = body.x - scroll.x;
        const int dy = body.y - scroll.y;
        painter->Translate(dx, dy);
        const BOUND_t part = {inner.x - dx, inner.y - dy, inner.width, inner.height};
        DrawBody(painter, &part);
        painter->Translate(-dx, -dy);
        painter->SetClipRect(&clip);
    }
    if (itemStyle.CheckStyle(kStateAfter))
        DrawAfter(painter);
    painter->Translate(-place.x, -place.y);
    painter->SetClipRect(hadClip ? &saved : nullptr);
}

void XPageItem::DrawAfter(XPainter *painter)
{
    XStyleDesc after;
    InitStyleDesc(&after);
    if (!itemStyle.GetStyle(uint32_t{kStateAfter} | kItemStateOnlyChild, owner, &after)) {
        FreeStyleDescStrings(&after);
        return;
    }
    BOUND_t area = {0, 0, place.width, place.height};
    CalcItemPlace(kSpaceBorder, &area, &style);
    BOUND_t box;
    CalcDrawPlace(&box, &area, &after);
    painter->DrawItemBox(&after, &box);
    if (after.content != nullptr && after.content[0] != 0) {
        BOUND_t text = box;
        CalcItemPlace(kSpacePadding, &text, &after);
        painter->SetFonter(&after);
        painter->SetTextColor(after.textColor);
        const uint32_t layout = (GetStyleField(after.layoutWord, kTextAlign) & 0x3) |
                                ((GetStyleField(after.layoutWord, kVerticalAlign) & 0x3) << 2) |
                                (GetStyleField(after.layoutWord, kTextDrawFlags) << 4);
        painter->DrawText(after.content, -1, &text, layout);
    }
    FreeStyleDescStrings(&after);
}

void XPageItem::MovePlace(const BOUND_t *bound, int flag)
{
    if (bound == nullptr)
        return;
    if (bound->x == place.x && bound->y == place.y && bound->width == place.width &&
        bound->height == place.height)
        return;
    if (!(itemFlags & kItemCreated)) {
        place = *bound;
        return;
    }
    if (flag && owner != nullptr) {
        BOUND_t uncovered;
        if (SubtractBound(&uncovered, &place, bound))
            owner->InvalidateChildSpace(this, &uncovered);
    }
    place = *bound;
    if (flag)
        Invalidate(nullptr, 0);
    const uint32_t ox = GetStyleField(itemFlags, kItemOverflowX);
    const uint32_t oy = GetStyleField(itemFlags, kItemOverflowY);
    if (ox == kOverflowScroll || ox == kOverflowAuto || oy == kOverflowScroll ||
        oy == kOverflowAuto) {
        UpdateScrollbar();
    } else {
        CalcBodyPlace();
        HideCaretInside();
    }
    OnUpdateItem(kUpdateMoved);
}

void XPageItem::CalcBodyPlace()
{
    BOUND_t inner = {0, 0, place.width, place.height};
    CalcItemPlace(kSpacePadding, &inner, &style);
    if ((itemFlags & kItemHorzBar) || GetStyleField(itemFlags, kItemOverflowX) == kOverflowScroll)
        inner.height -= kScrollBarSize;
    if ((itemFlags & kItemVertBar) || GetStyleField(itemFlags, kItemOverflowY) == kOverflowScroll)
        inner.width -= kScrollBarSize;
    inner.width = std::max(inner.width, 0);
    inner.height = std::max(inner.height, 0);
    body = inner;
}

void XPageItem::HideCaretInside()
{
    if (XPageWindow *window = GetPageWindow())
        window->UpdateInputCursor(this);
}

int XPageItem::MessageBox(const char16_t *text, const char16_t *caption, uint32_t flags)
{
    XPageWindow *window = GetPageWindow();
    return window != nullptr ? window->MessageBox(text, caption, flags) : 0;
}

int XPageItem::PostMessage(unsigned code, uintptr_t value)
{
    XPageWindow *window = GetPageWindow();
    return window != nullptr ? window->PostMessage(code, this, value) : 0;
}

int XPageItem::PostMessage(unsigned code, uintptr_t value, int32_t row, int32_t column)
{
    XPageWindow *window = GetPageWindow();
    return window != nullptr ? window->PostMessage(code, this, value, row, column) : 0;
}
