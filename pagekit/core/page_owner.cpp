// The child list of owners, hit-testing, drawing and creation of children.

#include "pagekit/core/page_owner.h"

#include "corekit/containers/xfinder.h"
#include "corekit/memory/memory.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/paint/xpainter.h"

XPageOwner::XPageOwner() = default;

XPageOwner::~XPageOwner()
{
    DeleteChildren();
}

void XPageOwner::DeleteChildren()
{
    while (m_first != nullptr) {
        XItemNode *node = m_first;
        XPageItem *child = node->item;
        UnlinkNode(node);
        child->owner = nullptr;
        delete child;
    }
}

// ---------------------------------------------------------------------------------------
// The list
// ---------------------------------------------------------------------------------------

XItemNode *XPageOwner::FindNode(const void *node) const
{
    if (node == nullptr || m_first == nullptr)
        return nullptr;
    XItemNode *at = m_first;
    do {
        if (at == node)
            return at;
        at = at->next;
    } while (at != m_first);
    return nullptr;
}

// An item may join when it is free: no owner of its own, and neither this owner nor one
// of this owner's owners, which would make the tree a cycle.
bool XPageOwner::CanAdopt(const XPageItem *item) const
{
    return item != nullptr && item->owner == nullptr && !item->IsChildItem(this);
}

const void *XPageOwner::LinkItem(XPageItem *item, XItemNode *before, bool front)
{
    auto *node = static_cast<XItemNode *>(MemAlloc(sizeof(XItemNode)));
    if (node == nullptr)
        return nullptr;
    node->item = item;
    if (m_first == nullptr) {
        node->next = node->prev = node;
        m_first = node;
    } else {
        XItemNode *next = before != nullptr ? before : m_first;
        node->next = next;
        node->prev = next->prev;
        next->prev->next = node;
        next->prev = node;
        if (front)
            m_first = node;
    }
    item->owner = this;
    if (auto *viewer = dynamic_cast<XPageViewer *>(item))
        viewer->SetPageWindow(GetPageWindow());
    else
        item->form = form;
    if (itemFlags & kItemCreated)
        item->OnCreateItem();
    return node;
}

void XPageOwner::UnlinkNode(XItemNode *node)
{
    if (node->next == node) {
        m_first = nullptr;
    } else {
        node->prev->next = node->next;
        node->next->prev = node->prev;
        if (m_first == node)
            m_first = node->next;
    }
    MemFree(node);
}

const void *XPageOwner::AddItem(XPageItem *item)
{
    return InsertItem(item, nullptr, 1);
}

const void *XPageOwner::InsertItem(XPageItem *item, const void *node, unsigned after)
{
    if (!CanAdopt(item))
        return nullptr;
    XItemNode *at = nullptr;
    if (node != nullptr) {
        at = FindNode(node);
        if (at == nullptr)
            return nullptr;
    }
    if (at == nullptr)
        return LinkItem(item, nullptr, after == 0);
    if (after)
        return LinkItem(item, at->next == m_first ? nullptr : at->next, false);
    return LinkItem(item, at, at == m_first);
}

int XPageOwner::MoveItem(XPageItem *item, unsigned where)
{
    XItemNode *node = static_cast<XItemNode *>(const_cast<void *>(GetItemNode(item)));
    if (node == nullptr || node->next == node)
        return 0;
    const bool first = node == m_first;
    const bool last = node->next == m_first;
    if ((where == kMoveBack || where == kMoveFront) && first)
        return 0;
    if (where != kMoveBack && where != kMoveFront && last)
        return 0;
    // Unlink without freeing, then link again at the new place.
    XItemNode *prev = node->prev;
    XItemNode *next = node->next;
    prev->next = next;
    next->prev = prev;
    if (first)
        m_first = next;
    XItemNode *before;
    switch (where) {
    case kMoveBack:
        before = prev;
        break;
    case kMoveForward:
        before = next->next;
        break;
    case kMoveFront:
        before = m_first;
        break;
    default:
        before = m_first; // before the first node of a circle is its end
        break;
    }
    node->next = before;
    node->prev = before->prev;
    before->prev->next = node;
    before->prev = node;
    if (where == kMoveFront || (where == kMoveBack && before == m_first))
        m_first = node;
    UpdateLayout(1);
    return 1;
}

int XPageOwner::DropNode(XPageItem *item)
{
    XItemNode *node = static_cast<XItemNode *>(const_cast<void *>(GetItemNode(item)));
    if (node == nullptr)
        return 0;
    UnlinkNode(node);
    item->OnUpdateItem(kUpdateRemoved);
    item->owner = nullptr;
    OnDropItem(item);
    return 1;
}

int XPageOwner::DropItem(XPageItem *item)
{
    if (GetItemNode(item) == nullptr)
        return 0;
    if (item->itemFlags & kItemCreated) {
        if (XPageWindow *window = GetPageWindow())
            window->OnRemoveItem(item);
        item->Invalidate(nullptr, 0);
    }
    return DropNode(item);
}

int XPageOwner::DeleteItem(XPageItem *item)
{
    if (!DropItem(item))
        return 0;
    delete item;
    return 1;
}

void XPageOwner::ClearItem()
{
    if (m_first == nullptr)
        return;
    Invalidate(nullptr, 0);
    DeleteChildren();
}

unsigned XPageOwner::GetCounter() const
{
    unsigned count = 0;
    for (const void *cursor = nullptr; GetNextItem(&cursor) != nullptr;)
        ++count;
    return count;
}

const void *XPageOwner::GetItemNode(const XPageItem *item) const
{
    if (item == nullptr || item->owner != this || m_first == nullptr)
        return nullptr;
    XItemNode *at = m_first;
    do {
        if (at->item == item)
            return at;
        at = at->next;
    } while (at != m_first);
    return nullptr;
}

XPageItem *XPageOwner::GetNodeItem(const void *node)
{
    return node != nullptr ? static_cast<const XItemNode *>(node)->item : nullptr;
}

XPageItem *XPageOwner::GetNextItem(const void **cursor) const
{
    if (cursor == nullptr || m_first == nullptr)
        return nullptr;
    const auto *at = static_cast<const XItemNode *>(*cursor);
    const XItemNode *next = at == nullptr ? m_first : at->next;
    if (at != nullptr && next == m_first)
        return nullptr;
    *cursor = next;
    return next->item;
}

XPageItem *XPageOwner::GetPrevItem(const void **cursor) const
{
    if (cursor == nullptr || m_first == nullptr)
        return nullptr;
    const auto *at = static_cast<const XItemNode *>(*cursor);
    if (at == m_first)
        return nullptr;
    const XItemNode *prev = at == nullptr ? m_first->prev : at->prev;
    *cursor = prev;
    return prev->item;
}

XPageItem *XPageOwner::GetNextItem(int flags, XFinder *finder)
{
    if (finder == nullptr)
        return nullptr;
    const void *cursor = (flags & kWalkContinue) ? finder->GetNode() : nullptr;
    XPageItem *item = GetNextItem(&cursor);
    if (item != nullptr)
        finder->SetNode(cursor);
    return item;
}

XPageItem *XPageOwner::GetPrevItem(int flags, XFinder *finder)
{
    if (finder == nullptr)
        return nullptr;
    const void *cursor = (flags & kWalkContinue) ? finder->GetNode() : nullptr;
    XPageItem *item = GetPrevItem(&cursor);
    if (item != nullptr)
        finder->SetNode(cursor);
    return item;
}

// ---------------------------------------------------------------------------------------
// Slots
// ---------------------------------------------------------------------------------------

void XPageOwner::UpdateLayout(int) {}

void XPageOwner::OnDropItem(XPageItem *) {}

void XPageOwner::OnCreateItem()
{
    XPageItem::OnCreateItem();
    if (GetStyleField(itemFlags, kItemLayoutX) == kLayoutExtend)
        scroll.width = body.width;
    if (GetStyleField(itemFlags, kItemLayoutY) == kLayoutExtend)
        scroll.height = body.height;
    for (const void *cursor = nullptr; XPageItem *child = GetNextItem(&cursor);) {
        if (!(child->itemFlags & kItemCreated))
            child->OnCreateItem();
    }
    CalcExtentSize(0);
}

void XPageOwner::OnUpdateItem(int code)
{
    if (code == kUpdateLayout)
        UpdateLayout(0);
    if (code < kUpdateLayout)
        return;
    // The walk of GetNextItem, on the nodes themselves: a frame tells every child of each
    // move or resize. The next node is read after the child's call, as a cursor would.
    for (const XItemNode *at = m_first; at != nullptr;) {
        XPageItem *child = at->item;
        if (child->itemFlags & kItemCreated)
            child->OnUpdateItem(code);
        if (m_first == nullptr)
            break;
        at = at->next != m_first ? at->next : nullptr;
    }
}

XPageItem *XPageOwner::HitItem(int x, int y)
{
    if (!(itemFlags & kItemVisible) || (itemFlags & kItemDisabled) || !PointInBound(&place, x, y))
        return nullptr;
    const int px = x - place.x;
    const int py = y - place.y;
    // Fixed children lie over the body: they are tried first, against the place origin.
    const void *cursor = nullptr;
    while (XPageItem *child = GetPrevItem(&cursor)) {
        if (child->itemFlags & kItemFixed) {
            if (XPageItem *hit = child->HitItem(px, py))
                return hit;
        }
    }
    if (PointInBound(&body, px, py)) {
        const int cx = px - body.x + scroll.x;
        const int cy = py - body.y + scroll.y;
        cursor = nullptr;
        while (XPageItem *child = GetPrevItem(&cursor)) {
            if (child->itemFlags & kItemFixed)
                continue;
            if (XPageItem *hit = child->HitItem(cx, cy))
                return hit;
        }
    }
    return this;
}

void XPageOwner::MovePlace(const BOUND_t *bound, int flag)
{
    if (bound == nullptr)
        return;
    const bool resized = bound->width != place.width || bound->height != place.height;
    XPageItem::MovePlace(bound, flag);
    if (resized && (itemFlags & kItemCreated))
        UpdateLayout(flag);
}

void XPageOwner::DrawChild(XPainter *painter, XPageItem *child, const BOUND_t *bound)
{
    BOUND_t meet;
    if (!(child->itemFlags & kItemVisible) || !IntersectBound(&meet, &child->place, bound))
        return;
    child->DrawItem(painter, bound);
}

void XPageOwner::DrawBody(XPainter *painter, const BOUND_t *bound)
{
    for (const void *cursor = nullptr; XPageItem *child = GetNextItem(&cursor);) {
        if (!(child->itemFlags & kItemFixed))
            DrawChild(painter, child, bound);
    }
}

void XPageOwner::DrawItem(XPainter *painter, const BOUND_t *bound)
{
    XPageItem::DrawItem(painter, bound);
    if (painter == nullptr || bound == nullptr || m_first == nullptr)
        return;
    BOUND_t area = place;
    if (!IntersectBound(&area, &area, bound))
        return;
    area.x -= place.x;
    area.y -= place.y;
    BOUND_t saved;
    const int hadClip = painter->GetClipRect(&saved);
    painter->Translate(place.x, place.y);
    painter->SetClipRect(&area);
    for (const void *cursor = nullptr; XPageItem *child = GetNextItem(&cursor);) {
        if (child->itemFlags & kItemFixed)
            DrawChild(painter, child, &area);
    }
    painter->Translate(-place.x, -place.y);
    painter->SetClipRect(hadClip ? &saved : nullptr);
}

void XPageOwner::InvalidateChildSpace(const XPageItem *child, const BOUND_t *bound)
{
    if (bound == nullptr || !(itemFlags & kItemCreated))
        return;
    XPageWindow *window = GetPageWindow();
    if (window == nullptr)
        return;
    BOUND_t part = *bound;
    if (child == nullptr || !(child->itemFlags & kItemFixed)) {
        part.x += body.x - scroll.x;
        part.y += body.y - scroll.y;
        if (!IntersectBound(&part, &part, &body))
            return;
    }
    window->OnUpdateItem(this, &part);
}
