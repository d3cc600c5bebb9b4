// Edge dragging of frames: edge detection and pointer shapes, the tracking phase with its
// halftone outline on the window's tracker layer, and the size change at the release.
//
// Call flow: a move over a draggable edge sets the pointer shape; a left press there runs
// StartTracker (capture, GetDragRange, outline); moves run GetTrackMove (point held to the
// range, outline redrawn); the release runs CloseTracker, which erases the outline and
// calls OnDragClose with the distance moved.

#include <algorithm>
#include <cstring>

#include "corekit/memory/memory.h"
#include "pagekit/core/page_frame.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Width of the outline's halftone frame.
constexpr int kTrackFrame = 3;

// The pointer shape over an edge set.
int EdgeCursor(uint32_t edges)
{
    switch (edges) {
    case kEdgeTop:
    case kEdgeBottom:
        return kCursorSizeNS;
    case kEdgeLeft:
    case kEdgeRight:
        return kCursorSizeWE;
    case kEdgeTop | kEdgeLeft:
    case kEdgeBottom | kEdgeRight:
        return kCursorSizeNWSE;
    case kEdgeTop | kEdgeRight:
    case kEdgeBottom | kEdgeLeft:
        return kCursorSizeNESW;
    default:
        return 0;
    }
}

bool MovesX(uint32_t edges)
{
    return (edges & (kEdgeLeft | kEdgeRight)) != 0;
}

bool MovesY(uint32_t edges)
{
    return (edges & (kEdgeTop | kEdgeBottom)) != 0;
}

// The interval [lo, hi] of distances one side may move; it always holds 0, so a frame
// that already breaks a limit can still be released where it is.
struct Span
{
    int32_t lo;
    int32_t hi;
};

Span HoldZero(Span span)
{
    return Span{std::min(span.lo, 0), std::max(span.hi, 0)};
}

constexpr int32_t kFar = 1 << 28;

// The distances one axis may move: start and length of the frame, the owner's visible
// child space (from, to) and the least length.
Span AxisSpan(uint32_t edges, uint32_t back, uint32_t forth, int32_t start, int32_t length,
              int32_t from, int32_t to, int32_t least)
{
    const uint32_t both = back | forth;
    if ((edges & both) == both) // the whole frame moves
        return HoldZero(Span{from - start, to - (start + length)});
    if (edges & back) // the near edge: up to the owner's edge, down to the least length
        return HoldZero(Span{from - start, length - least});
    if (edges & forth)
        return HoldZero(Span{least - length, to - (start + length)});
    return Span{0, 0};
}

} // namespace

// ---------------------------------------------------------------------------------------
// Mode and edges
// ---------------------------------------------------------------------------------------

void XPageFrame::SetDragMode(unsigned long edges, int normal, int grip)
{
    extraFlags = SetStyleField(extraFlags, kFrameEdges, static_cast<uint32_t>(edges) & kEdgeAll);
    auto pad = [&](uint32_t edge) { return (edges & edge) ? grip : normal; };
    itemStyle.SetSpace(0, pad(kEdgeLeft), pad(kEdgeTop), pad(kEdgeRight), pad(kEdgeBottom));
    if (itemFlags & kItemCreated) {
        UpdateStyleDesc(0x12);
        UpdateLayout(1);
    }
}

uint32_t XPageFrame::HitDragEdge(int x, int y) const
{
    const uint32_t draggable = GetStyleField(extraFlags, kFrameEdges);
    if (draggable == 0 || x < 0 || y < 0 || x >= place.width || y >= place.height)
        return 0;
    uint32_t edges = 0;
    // Top and left come first: a body too small to separate the sides gives them.
    if (y < body.y && (draggable & kEdgeTop))
        edges |= kEdgeTop;
    else if (y >= body.y + body.height && (draggable & kEdgeBottom))
        edges |= kEdgeBottom;
    if (x < body.x && (draggable & kEdgeLeft))
        edges |= kEdgeLeft;
    else if (x >= body.x + body.width && (draggable & kEdgeRight))
        edges |= kEdgeRight;
    return edges;
}

// ---------------------------------------------------------------------------------------
// Tracking
// ---------------------------------------------------------------------------------------

void XPageFrame::GetDragRange()
{
    if (m_drag == nullptr)
        return;
    const uint32_t edges = m_drag->edges;
    const int32_t leastW = std::max(minWidth, 0);
    const int32_t leastH = std::max(minHeight, 0);
    // The owner's visible child space; without an owner nothing but the sizes holds.
    int32_t left = -kFar, top = -kFar, right = kFar, bottom = kFar;
    if (owner != nullptr && !(itemFlags & kItemFixed)) {
        left = owner->scroll.x;
        top = owner->scroll.y;
        right = left + owner->body.width;
        bottom = top + owner->body.height;
    } else if (owner != nullptr) {
        left = top = 0;
        right = owner->place.width;
        bottom = owner->place.height;
    }
    const Span sx =
        AxisSpan(edges, kEdgeLeft, kEdgeRight, place.x, place.width, left, right, leastW);
    const Span sy =
        AxisSpan(edges, kEdgeTop, kEdgeBottom, place.y, place.height, top, bottom, leastH);
    m_drag->range = {m_drag->start.x + sx.lo, m_drag->start.y + sy.lo, sx.hi - sx.lo,
                     sy.hi - sy.lo};
}

int XPageFrame::StartTracker(uint32_t edges, int x, int y)
{
    XPageWindow *window = GetPageWindow();
    if (window == nullptr || (edges & kEdgeAll) == 0)
        return 0;
    if (m_drag != nullptr && m_drag->phase != 0)
        CloseTracker(0);
    if (m_drag == nullptr) {
        m_drag = static_cast<XFrameDrag *>(MemAlloc(sizeof(XFrameDrag)));
        if (m_drag == nullptr)
            return 0;
    }
    std::memset(m_drag, 0, sizeof(XFrameDrag));
    m_drag->phase = 1;
    m_drag->edges = edges & kEdgeAll;
    m_drag->start = m_drag->current = {x, y};
    GetDragRange();
    window->SetCaptureItem(this);
    DrawTrackOutline();
    return 1;
}

int XPageFrame::GetTrackMove(int x, int y)
{
    if (m_drag == nullptr || m_drag->phase == 0)
        return 0;
    const BOUND_t &range = m_drag->range;
    POINT_t at = m_drag->start;
    if (MovesX(m_drag->edges))
        at.x = std::clamp(x, range.x, range.x + range.width);
    if (MovesY(m_drag->edges))
        at.y = std::clamp(y, range.y, range.y + range.height);
    if (at.x == m_drag->current.x && at.y == m_drag->current.y)
        return 1;
    m_drag->current = at;
    DrawTrackOutline();
    return 1;
}

int XPageFrame::CloseTracker(int apply)
{
    if (m_drag == nullptr || m_drag->phase == 0)
        return 0;
    XPageWindow *window = GetPageWindow();
    if (window != nullptr) {
        if ((m_drag->flags & 1) != 0)
            DrawTracker(window->GetTracker(0), 1);
        window->CloseTracker();
        if (window->GetCaptureItem() == this)
            window->SetCaptureItem(nullptr);
    }
    m_drag->phase = 0;
    m_drag->flags = 0;
    if (apply)
        OnDragClose(m_drag->current.x - m_drag->start.x, m_drag->current.y - m_drag->start.y);
    return 1;
}

BOUND_t XPageFrame::GetTrackBound() const
{
    BOUND_t bound;
    GetPlace(kPlaceWindow, &bound);
    if (m_drag == nullptr)
        return bound;
    const int32_t dx = m_drag->current.x - m_drag->start.x;
    const int32_t dy = m_drag->current.y - m_drag->start.y;
    const uint32_t edges = m_drag->edges;
    if (edges == kEdgeAll) {
        bound.x += dx;
        bound.y += dy;
        return bound;
    }
    if (edges & kEdgeLeft) {
        bound.x += dx;
        bound.width -= dx;
    } else if (edges & kEdgeRight) {
        bound.width += dx;
    }
    if (edges & kEdgeTop) {
        bound.y += dy;
        bound.height -= dy;
    } else if (edges & kEdgeBottom) {
        bound.height += dy;
    }
    return bound;
}

// The outline is a halftone frame on the tracker layer: drawing the same frame again
// takes it away, so a step erases the last outline and draws the new one.
void XPageFrame::DrawTrackOutline()
{
    XPageWindow *window = GetPageWindow();
    if (window == nullptr || m_drag == nullptr)
        return;
    XPainter *painter = window->GetTracker(0);
    if (painter == nullptr)
        return;
    if (m_drag->flags & 1)
        DrawTracker(painter, 1);
    DrawTracker(painter, 0);
}

void XPageFrame::DrawTracker(XPainter *painter, int erase)
{
    if (painter == nullptr || m_drag == nullptr)
        return;
    BOUND_t bound;
    if (erase) {
        if (!(m_drag->flags & 1))
            return;
        bound = m_drag->shown;
        m_drag->flags &= ~1u;
    } else {
        bound = GetTrackBound();
        m_drag->shown = bound;
        m_drag->flags |= 1;
    }
    painter->ResetTransform();
    painter->SetClipRect(nullptr);
    painter->DrawHalftone(&bound, kTrackFrame);
}

// ---------------------------------------------------------------------------------------
// The release
// ---------------------------------------------------------------------------------------

void XPageFrame::OnDragClose(int dx, int dy)
{
    const uint32_t edges = m_drag != nullptr ? m_drag->edges : 0;
    if (edges == 0)
        return;
    const int32_t leastW = std::max(minWidth, 0);
    const int32_t leastH = std::max(minHeight, 0);
    BOUND_t bound = place;
    if (edges == kEdgeAll) {
        bound.x += dx;
        bound.y += dy;
    } else {
        if (edges & kEdgeLeft) {
            const int32_t width = std::max(place.width - dx, leastW);
            bound.x = place.x + place.width - width;
            bound.width = width;
        } else if (edges & kEdgeRight) {
            bound.width = std::max(place.width + dx, leastW);
        }
        if (edges & kEdgeTop) {
            const int32_t height = std::max(place.height - dy, leastH);
            bound.y = place.y + place.height - height;
            bound.height = height;
        } else if (edges & kEdgeBottom) {
            bound.height = std::max(place.height + dy, leastH);
        }
    }
    const BOUND_t old = place;
    const bool loose = (itemFlags & kItemFixed) && GetStyleField(extraFlags, kFrameDock) == 0;
    if (loose || owner == nullptr) {
        MovePlace(&bound, 0);
        BOUND_t both;
        UnionBound(&both, &old, &bound);
        if (owner != nullptr)
            owner->InvalidateChildSpace(this, &both);
        else
            Invalidate(nullptr, 0);
        return;
    }
    MovePlace(&bound, 1);
    owner->UpdateLayout(1);
}

// ---------------------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------------------

int XPageFrame::OnMessage(XMessage_t *message)
{
    if (message == nullptr)
        return 0;
    const uint32_t code = message->code & 0xFFFF;
    if (code == XMSG_HSCROLL || code == XMSG_VSCROLL) {
        const int handled = XPageOwner::OnMessage(message);
        OnUpdateItem(kUpdateScrolled);
        return handled;
    }
    POINT_t at = {message->x, message->y};
    FixPlace(kFixItemToWindow, &at);
    if (m_drag != nullptr && m_drag->phase != 0) {
        if (code == XMSG_MOUSEMOVE) {
            GetTrackMove(at.x, at.y);
            message->state = kMsgDone;
            return 1;
        }
        if (code == XMSG_BUTTONUP) {
            GetTrackMove(at.x, at.y);
            CloseTracker(1);
            message->state = kMsgDone;
            return 1;
        }
    } else if (code == XMSG_MOUSEMOVE || code == XMSG_BUTTONDOWN) {
        const uint32_t edges = HitDragEdge(message->x, message->y);
        XPageWindow *window = GetPageWindow();
        if (edges != 0 && window != nullptr) {
            window->SetMouseCursor(EdgeCursor(edges));
            if (code == XMSG_BUTTONDOWN && message->key == XMSG_BUTTON_LEFT)
                StartTracker(edges, at.x, at.y);
            message->state = kMsgDone;
            return 1;
        }
    }
    return XPageOwner::OnMessage(message);
}
