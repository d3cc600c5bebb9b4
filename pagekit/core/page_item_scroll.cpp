// Scroll bars of page items: which bars show, their geometry and drawing, and the
// pointer logic of arrows, track and thumb with its auto-repeat.
//
// A bar is 17 pixels thick and lies inside the item's borders, outside its paddings:
// the horizontal bar along the bottom, the vertical bar along the right. Each bar has a
// 17 x 17 arrow at both ends (control icons 8/10 across, 4/6 down) and a track between
// them; the thumb's length is the track's times body / extent, at least 8 pixels.

#include <algorithm>

#include "pagekit/core/page_item.h"
#include "pagekit/core/page_window.h"
#include "pagekit/core/style_geometry.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Colours of the bar parts: normal and under the pointer.
constexpr uint32_t kBarTrackColor = 0xF0F0F0;
constexpr uint32_t kBarArrowColor = 0xF0F0F0;
constexpr uint32_t kBarArrowHotColor = 0xDADADA;
constexpr uint32_t kBarThumbColor = 0xC2C2C2;
constexpr uint32_t kBarThumbHotColor = 0xA6A6A6;

// Auto-repeat timer period, and the ticks the first repeat waits.
constexpr uint32_t kRepeatPeriod = 100;
constexpr int kRepeatDelayTicks = 6;

// The one bar interaction that runs at a time: an auto-repeat or a thumb drag.
struct BarPress
{
    const XPageItem *item = nullptr;
    uint32_t code = 0;   // XMSG_HSCROLL or XMSG_VSCROLL
    uint32_t action = 0; // the repeated action
    int ticks = 0;
    int32_t pointer = 0; // pointer along the bar's axis, item-relative
    int32_t offset = 0;  // thumb drag: pointer less thumb start
};
BarPress g_press;

} // namespace

// ---------------------------------------------------------------------------------------
// Showing the bars
// ---------------------------------------------------------------------------------------

void XPageItem::UpdateScrollbar()
{
    if (!(itemFlags & kItemCreated))
        return;
    BOUND_t inner = {0, 0, place.width, place.height};
    CalcItemPlace(kSpacePadding, &inner, &style);
    const uint32_t ox = GetStyleField(itemFlags, kItemOverflowX);
    const uint32_t oy = GetStyleField(itemFlags, kItemOverflowY);
    bool horz = ox == kOverflowScroll;
    bool vert = oy == kOverflowScroll;
    if (ox == kOverflowAuto) {
        if (oy == kOverflowAuto)
            vert = inner.height < scroll.height ||
                   (inner.height < scroll.height + kScrollBarSize && inner.width < scroll.width);
        if (vert)
            inner.width -= kScrollBarSize;
        if (inner.width < scroll.width) {
            inner.height -= kScrollBarSize;
            horz = true;
        } else if (horz) {
            inner.height -= kScrollBarSize;
        }
    } else if (oy == kOverflowAuto) {
        if (horz)
            inner.height -= kScrollBarSize;
        if (inner.height < scroll.height) {
            vert = true;
            inner.width -= kScrollBarSize;
        }
    } else {
        if (horz)
            inner.height -= kScrollBarSize;
        if (vert)
            inner.width -= kScrollBarSize;
    }
    inner.width = std::max(inner.width, 0);
    inner.height = std::max(inner.height, 0);
    body = inner;
    itemFlags = (itemFlags & ~(kItemHorzBar | kItemVertBar)) |
                (horz ? uint32_t{kItemHorzBar} : 0u) | (vert ? uint32_t{kItemVertBar} : 0u);
    // The upper bound first, then 0: an extent below the body gives 0.
    scroll.x = std::max(std::min(scroll.x, scroll.width - body.width), 0);
    scroll.y = std::max(std::min(scroll.y, scroll.height - body.height), 0);
    HideCaretInside();
}

int XPageItem::GetScrollPos(int axis) const
{
    return axis == 0 ? scroll.x : axis == 1 ? scroll.y : 0;
}

int XPageItem::GetScrollSize(int axis) const
{
    return axis == 0 ? scroll.width : axis == 1 ? scroll.height : 0;
}

void XPageItem::SetScrollPos(int axis, int pos)
{
    if (axis != 0 && axis != 1)
        return;
    const int32_t limit = axis == 0 ? scroll.width - body.width : scroll.height - body.height;
    pos = std::max(std::min(pos, limit), 0);
    int32_t &current = axis == 0 ? scroll.x : scroll.y;
    if (current == pos)
        return;
    current = pos;
    Invalidate(nullptr, 0);
    HideCaretInside();
}

void XPageItem::SetScrollSize(int width, int height)
{
    scroll.width = std::max(width, 0);
    scroll.height = std::max(height, 0);
    UpdateScrollbar();
}

// ---------------------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------------------

// The bar's rectangle (item-relative), its track along the axis and the thumb's start
// and length on it. 0 when the bar is not shown.
int XPageItem::BarGeometry(int vertical, BOUND_t *bar, int *thumbPos, int *thumbLen) const
{
    if (!(itemFlags & (vertical ? kItemVertBar : kItemHorzBar)))
        return 0;
    BOUND_t inner = {0, 0, place.width, place.height};
    CalcItemPlace(kSpaceBorder, &inner, &style);
    const bool both = (itemFlags & kItemHorzBar) && (itemFlags & kItemVertBar);
    if (vertical)
        *bar = {inner.x + inner.width - kScrollBarSize, inner.y, kScrollBarSize,
                inner.height - (both ? kScrollBarSize : 0)};
    else
        *bar = {inner.x, inner.y + inner.height - kScrollBarSize,
                inner.width - (both ? kScrollBarSize : 0), kScrollBarSize};
    const int length = vertical ? bar->height : bar->width;
    const int track = std::max(length - 2 * kScrollBarSize, 0);
    const int64_t extent = vertical ? scroll.height : scroll.width;
    const int64_t view = vertical ? body.height : body.width;
    const int64_t pos = vertical ? scroll.y : scroll.x;
    int len = track;
    if (extent > view && extent > 0)
        len = static_cast<int>(std::max<int64_t>(track * view / extent, kScrollThumbMin));
    len = std::min(len, track);
    int start = kScrollBarSize;
    if (extent > view && track > len)
        start += static_cast<int>((track - len) * std::min(pos, extent - view) / (extent - view));
    *thumbPos = (vertical ? bar->y : bar->x) + start;
    *thumbLen = len;
    return 1;
}

uint32_t XPageItem::HitScrollbar(int x, int y) const
{
    for (int vertical = 0; vertical < 2; ++vertical) {
        BOUND_t bar;
        int thumb, len;
        if (!BarGeometry(vertical, &bar, &thumb, &len) || !PointInBound(&bar, x, y))
            continue;
        const int at = vertical ? y : x;
        const int start = vertical ? bar.y : bar.x;
        const int end = start + (vertical ? bar.height : bar.width);
        const uint32_t which = vertical ? kBarVert : kBarHorz;
        if (at < start + kScrollBarSize)
            return which | kBarBackArrow;
        if (at >= end - kScrollBarSize)
            return which | kBarForwardArrow;
        if (at < thumb)
            return which | kBarBackTrack;
        if (at < thumb + len)
            return which | kBarThumb;
        return which | kBarForwardTrack;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------------------

void XPageItem::DrawScrollbar(XPainter *painter)
{
    const uint32_t hot = (stateFlags & kItemStatePartMask) >> 8;
    XIconDrawer *icons = GetCtrlIconDrawer();
    for (int vertical = 0; vertical < 2; ++vertical) {
        BOUND_t bar;
        int thumb, len;
        if (!BarGeometry(vertical, &bar, &thumb, &len))
            continue;
        const uint32_t which = vertical ? kBarVert : kBarHorz;
        painter->FillRect(&bar, kBarTrackColor);
        const int length = vertical ? bar.height : bar.width;
        BOUND_t back = {bar.x, bar.y, kScrollBarSize, kScrollBarSize};
        BOUND_t forward =
            vertical
                ? BOUND_t{bar.x, bar.y + length - kScrollBarSize, kScrollBarSize, kScrollBarSize}
                : BOUND_t{bar.x + length - kScrollBarSize, bar.y, kScrollBarSize, kScrollBarSize};
        painter->FillRect(&back,
                          hot == (which | kBarBackArrow) ? kBarArrowHotColor : kBarArrowColor);
        painter->FillRect(&forward,
                          hot == (which | kBarForwardArrow) ? kBarArrowHotColor : kBarArrowColor);
        icons->DrawIcon(painter, vertical ? kCtrlIconArrowUp : kCtrlIconArrowLeft, back.x, back.y);
        icons->DrawIcon(painter, vertical ? kCtrlIconArrowDown : kCtrlIconArrowRight, forward.x,
                        forward.y);
        if (len > 0) {
            const BOUND_t box = vertical ? BOUND_t{bar.x + 1, thumb, bar.width - 2, len}
                                         : BOUND_t{thumb, bar.y + 1, len, bar.height - 2};
            painter->FillRect(&box,
                              hot == (which | kBarThumb) ? kBarThumbHotColor : kBarThumbColor);
        }
    }
    if ((itemFlags & kItemHorzBar) && (itemFlags & kItemVertBar)) {
        BOUND_t inner = {0, 0, place.width, place.height};
        CalcItemPlace(kSpaceBorder, &inner, &style);
        const BOUND_t corner = {inner.x + inner.width - kScrollBarSize,
                                inner.y + inner.height - kScrollBarSize, kScrollBarSize,
                                kScrollBarSize};
        painter->FillRect(&corner, kBarTrackColor);
    }
}

// ---------------------------------------------------------------------------------------
// Pointer logic
// ---------------------------------------------------------------------------------------

void XPageItem::CarryScroll(uint32_t code, uint32_t action, uintptr_t value)
{
    XMessage_t message = {};
    message.code = code;
    message.key = action;
    message.value = value;
    message.item = this;
    CarryMessage(&message);
}

void XPageItem::StopRepeat(const XPageItem *item)
{
    if (item == nullptr || g_press.item != item)
        return;
    g_press = BarPress();
}

// Starts the auto-repeat of an arrow or track action: the item takes the pointer and a
// 100 ms timer of its own drives the repeats.
static void StartRepeat(XPageItem *item, uint32_t code, uint32_t action, int32_t pointer)
{
    g_press = BarPress();
    g_press.item = item;
    g_press.code = code;
    g_press.action = action;
    g_press.pointer = pointer;
    item->stateFlags |= kItemStateRepeat;
    if (XPageWindow *window = item->GetPageWindow()) {
        window->SetCaptureItem(item);
        window->SetTimer(item, kRepeatPeriod);
    }
}

static void EndPress(XPageItem *item)
{
    item->stateFlags &= ~(kItemStateRepeat | kItemStateThumbDrag);
    if (XPageWindow *window = item->GetPageWindow()) {
        window->KillTimer(item);
        if (window->GetCaptureItem() == item)
            window->SetCaptureItem(nullptr);
    }
    XPageItem::StopRepeat(item);
}

// One tick of the auto-repeat: after the delay, the action repeats while it still moves
// towards the pointer.
void XPageItem::RepeatScroll()
{
    if (g_press.item != this || !(stateFlags & kItemStateRepeat))
        return;
    if (++g_press.ticks <= kRepeatDelayTicks)
        return;
    const int vertical = g_press.code == XMSG_VSCROLL;
    BOUND_t bar;
    int thumb, len;
    if (!BarGeometry(vertical, &bar, &thumb, &len))
        return;
    const int32_t pos = vertical ? scroll.y : scroll.x;
    const int32_t view = vertical ? body.height : body.width;
    const int32_t extent = vertical ? scroll.height : scroll.width;
    bool go = false;
    switch (g_press.action) {
    case kScrollLineBack:
        go = pos > 0;
        break;
    case kScrollLineForward:
        go = pos + view < extent;
        break;
    case kScrollPageBack:
        go = g_press.pointer < thumb;
        break;
    case kScrollPageForward:
        go = g_press.pointer >= thumb + len;
        break;
    default:
        break;
    }
    if (go)
        CarryScroll(g_press.code, g_press.action, 0);
}

int XPageItem::OnScrollbarMessage(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    if (code != XMSG_BUTTONDOWN && code != XMSG_MOUSEMOVE && code != XMSG_BUTTONUP)
        return 0;
    const bool pressing = g_press.item == this;
    const int vertical = g_press.code == XMSG_VSCROLL;
    if (pressing && (stateFlags & kItemStateThumbDrag)) {
        BOUND_t bar;
        int thumb, len;
        if (!BarGeometry(vertical, &bar, &thumb, &len))
            return 1;
        const int32_t at = vertical ? message->y : message->x;
        const int64_t track = (vertical ? bar.height : bar.width) - 2 * kScrollBarSize - len;
        const int64_t range = (vertical ? scroll.height - body.height : scroll.width - body.width);
        const int64_t start = at - g_press.offset - (vertical ? bar.y : bar.x) - kScrollBarSize;
        const int64_t pos = track > 0 ? std::clamp<int64_t>(start * range / track, 0, range) : 0;
        if (code == XMSG_MOUSEMOVE) {
            CarryScroll(g_press.code, kScrollTrack, static_cast<uintptr_t>(pos));
        } else if (code == XMSG_BUTTONUP) {
            EndPress(this);
            CarryScroll(vertical ? XMSG_VSCROLL : XMSG_HSCROLL, kScrollRelease,
                        static_cast<uintptr_t>(pos));
        }
        return 1;
    }
    if (pressing && (stateFlags & kItemStateRepeat)) {
        g_press.pointer = vertical ? message->y : message->x;
        if (code == XMSG_BUTTONUP)
            EndPress(this);
        return 1;
    }
    const uint32_t part = HitScrollbar(message->x, message->y);
    const uint32_t hot = (stateFlags & kItemStatePartMask) >> 8;
    if (code == XMSG_MOUSEMOVE && part != hot) {
        stateFlags = (stateFlags & ~kItemStatePartMask) | (part << 8);
        Invalidate(nullptr, 1);
    }
    if (part == 0)
        return 0;
    if (code != XMSG_BUTTONDOWN || message->key != XMSG_BUTTON_LEFT)
        return 1;
    const bool vert = (part & kBarVert) != 0;
    const uint32_t scrollCode = vert ? XMSG_VSCROLL : XMSG_HSCROLL;
    const int32_t at = vert ? message->y : message->x;
    BOUND_t bar;
    int thumb, len;
    BarGeometry(vert, &bar, &thumb, &len);
    switch (part & 0xF) {
    case kBarBackArrow:
    case kBarForwardArrow: {
        const uint32_t action =
            (part & 0xF) == kBarBackArrow ? kScrollLineBack : kScrollLineForward;
        CarryScroll(scrollCode, action, 0);
        StartRepeat(this, scrollCode, action, at);
        break;
    }
    case kBarBackTrack:
    case kBarForwardTrack: {
        const uint32_t action =
            (part & 0xF) == kBarBackTrack ? kScrollPageBack : kScrollPageForward;
        CarryScroll(scrollCode, action, 0);
        StartRepeat(this, scrollCode, action, at);
        break;
    }
    case kBarThumb:
        g_press = BarPress();
        g_press.item = this;
        g_press.code = scrollCode;
        g_press.offset = at - thumb;
        stateFlags |= kItemStateThumbDrag;
        if (XPageWindow *window = GetPageWindow())
            window->SetCaptureItem(this);
        break;
    default:
        break;
    }
    return 1;
}

// One scroll action on an axis: lines of 16 across and 32 down; a page is the body less
// 16 when that is positive, else one line.
int XPageItem::ScrollStep(uint32_t code, uint32_t action, uintptr_t value)
{
    const int axis = code == XMSG_HSCROLL ? 0 : 1;
    const int32_t line = axis == 0 ? 16 : 32;
    const int32_t view = axis == 0 ? body.width : body.height;
    const int32_t page = view - 16 > 0 ? view - 16 : line;
    const int32_t pos = GetScrollPos(axis);
    const int32_t end = (axis == 0 ? scroll.width : scroll.height) - view;
    int64_t next;
    switch (action) {
    case kScrollLineBack:
        next = int64_t(pos) - line;
        break;
    case kScrollLineForward:
        next = int64_t(pos) + line;
        break;
    case kScrollPageBack:
        next = int64_t(pos) - page;
        break;
    case kScrollPageForward:
        next = int64_t(pos) + page;
        break;
    case kScrollToStart:
        next = 0;
        break;
    case kScrollToEnd:
        next = end;
        break;
    case kScrollTrack:
    case kScrollRelease:
        next = static_cast<int64_t>(std::min<uintptr_t>(value, INT32_MAX));
        break;
    default:
        return 0;
    }
    SetScrollPos(axis, static_cast<int>(std::clamp<int64_t>(next, INT32_MIN, INT32_MAX)));
    return 1;
}
