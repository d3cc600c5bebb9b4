// The page container: pages, the current page, binders and the template frame.

#include "pagekit/core/page_tainer.h"

#include <algorithm>

#include "pagekit/core/style_geometry.h"

XPageTainer::XPageTainer()
{
    kind = 0x53;
    extraFlags = kFrameFlex;
    itemFlags = kItemVisible | SetStyleField(0, kItemOverflowY, kOverflowAuto);
}

XPageTainer::~XPageTainer()
{
    m_current = nullptr;
    if (m_ownsTemplate)
        delete m_template;
    m_template = nullptr;
    m_binders.clear();
    DeleteChildren();
}

// ---------------------------------------------------------------------------------------
// Nodes
// ---------------------------------------------------------------------------------------

bool XPageTainer::IsPage(const XPageItem *item) const
{
    return item != nullptr && item->kind == kKindPage && item != m_template;
}

const void *XPageTainer::FindPageNode(const void *node) const
{
    if (node == nullptr)
        return nullptr;
    for (const void *cursor = nullptr; XPageItem *item = XPageOwner::GetNextItem(&cursor);) {
        if (cursor == node)
            return IsPage(item) ? cursor : nullptr;
    }
    return nullptr;
}

void XPageTainer::Notify(uint32_t code, const void *node)
{
    if (!(itemFlags & kItemCreated))
        return;
    XMessage_t message = {};
    message.code = code;
    message.value = reinterpret_cast<uintptr_t>(node);
    DispatchMessage(&message);
}

// ---------------------------------------------------------------------------------------
// Pages
// ---------------------------------------------------------------------------------------

const void *XPageTainer::InsertItem(XPageFrame *page, const void *node, unsigned after)
{
    if (page == nullptr || (node != nullptr && FindPageNode(node) == nullptr) || !CanAdopt(page))
        return nullptr;
    page->kind = kKindPage;
    page->itemStyle.SetSpace(0, m_pagePadding[0], m_pagePadding[1], m_pagePadding[2],
                             m_pagePadding[3]);
    if (extraFlags & kTainerBlockPages) {
        page->itemFlags = SetStyleField(page->itemFlags, kItemWrapMode, kWrapBlock);
        page->itemFlags = SetStyleField(page->itemFlags, kItemLayoutX, kLayoutExtend);
    }
    const void *added = XPageOwner::InsertItem(page, node, after);
    if (added == nullptr)
        return nullptr;
    Notify(XMSG_PAGEADD, added);
    if (itemFlags & kItemCreated)
        UpdateLayout(1);
    return added;
}

XPageFrame *XPageTainer::CreateItem()
{
    auto *page = new XPageFrame;
    if (InsertItem(page, nullptr, 1) == nullptr) {
        delete page;
        return nullptr;
    }
    return page;
}

const void *XPageTainer::AddItemNode(XPageFrame *page)
{
    return InsertItem(page, nullptr, 1);
}

XPageFrame *XPageTainer::RemoveItem(const void *node)
{
    if (FindPageNode(node) == nullptr)
        return nullptr;
    auto *page = static_cast<XPageFrame *>(GetNodeItem(node));
    m_removing = node;
    DropItem(page); // OnDropItem forgets the binder and the current page
    m_removing = nullptr;
    return page;
}

void XPageTainer::OnDropItem(XPageItem *item)
{
    if (item != nullptr && item == m_template) {
        m_template = nullptr;
        return;
    }
    if (!IsPage(item))
        return;
    m_binders.erase(std::remove_if(m_binders.begin(), m_binders.end(),
                                   [item](const Binder &b) { return b.page == item; }),
                    m_binders.end());
    // The node is gone: receivers may only compare the value.
    Notify(XMSG_PAGEREMOVE, m_removing);
    if (item == m_current) {
        m_current = nullptr;
        ChooseAfterRemoval();
    }
    if (itemFlags & kItemCreated)
        UpdateLayout(1);
}

void XPageTainer::ChooseAfterRemoval()
{
    const void *next = GetNextChoice(nullptr);
    if (next == nullptr) {
        Notify(XMSG_PAGENONE, nullptr);
        return;
    }
    m_current = static_cast<XPageFrame *>(GetNodeItem(next));
    Notify(XMSG_PAGESELECT, next);
}

int XPageTainer::DeleteItem(const void *node)
{
    XPageFrame *page = RemoveItem(node);
    if (page == nullptr)
        return 0;
    delete page;
    return 1;
}

void XPageTainer::ClearItem()
{
    while (const void *node = GetPageNode(0))
        DeleteItem(node);
}

int XPageTainer::DeleteChoice()
{
    if (m_current == nullptr)
        return 0;
    return DeleteItem(GetItemNode(m_current));
}

// ---------------------------------------------------------------------------------------
// Lookup
// ---------------------------------------------------------------------------------------

const void *XPageTainer::GetNextNode(const void *node) const
{
    if (node != nullptr && FindPageNode(node) == nullptr)
        return nullptr;
    const void *cursor = node;
    while (XPageItem *item = XPageOwner::GetNextItem(&cursor)) {
        if (IsPage(item))
            return cursor;
    }
    return nullptr;
}

unsigned XPageTainer::GetPageCount() const
{
    unsigned count = 0;
    for (const void *node = GetNextNode(nullptr); node != nullptr; node = GetNextNode(node))
        ++count;
    return count;
}

const void *XPageTainer::GetPageNode(unsigned index) const
{
    const void *node = GetNextNode(nullptr);
    for (; node != nullptr && index > 0; --index)
        node = GetNextNode(node);
    return node;
}

int XPageTainer::GetPageIndex(const void *node) const
{
    int index = 0;
    for (const void *at = GetNextNode(nullptr); at != nullptr; at = GetNextNode(at), ++index) {
        if (at == node)
            return index;
    }
    return -1;
}

XPageFrame *XPageTainer::GetPageItem(const void *node) const
{
    return FindPageNode(node) != nullptr ? static_cast<XPageFrame *>(GetNodeItem(node)) : nullptr;
}

const void *XPageTainer::GetNextChoice(const void *skip) const
{
    for (const void *node = GetNextNode(nullptr); node != nullptr; node = GetNextNode(node)) {
        const XPageItem *page = GetNodeItem(node);
        if (node != skip && (page->itemFlags & kItemVisible) && !(page->itemFlags & kItemDisabled))
            return node;
    }
    return nullptr;
}

int XPageTainer::HitTest(int x, int y, const void **node) const
{
    for (const void *at = GetNextNode(nullptr); at != nullptr; at = GetNextNode(at)) {
        const XPageItem *page = GetNodeItem(at);
        if ((page->itemFlags & kItemVisible) && PointInBound(&page->place, x, y)) {
            if (node != nullptr)
                *node = at;
            return 1;
        }
    }
    return 0;
}

int XPageTainer::GetPagePlace(const void *node, BOUND_t *out) const
{
    const XPageFrame *page = GetPageItem(node);
    if (page == nullptr || out == nullptr)
        return 0;
    *out = page->place;
    return 1;
}

// ---------------------------------------------------------------------------------------
// Current page
// ---------------------------------------------------------------------------------------

XPageFrame *XPageTainer::GetCurItem(unsigned *index) const
{
    if (m_current != nullptr && index != nullptr)
        *index = static_cast<unsigned>(GetPageIndex(GetItemNode(m_current)));
    return m_current;
}

int XPageTainer::SetCurItem(const void *node)
{
    XPageFrame *page = GetPageItem(node);
    if (page == nullptr)
        return 0;
    if (page != m_current) {
        m_current = page;
        Notify(XMSG_PAGESELECT, node);
    }
    return 1;
}

int XPageTainer::SetCurItem(unsigned index)
{
    const void *node = GetPageNode(index);
    return node != nullptr ? SetCurItem(node) : 0;
}

// ---------------------------------------------------------------------------------------
// Binders and the template
// ---------------------------------------------------------------------------------------

void *XPageTainer::GetItemBinder(const void *node) const
{
    const XPageFrame *page = GetPageItem(node);
    for (const Binder &b : m_binders) {
        if (page != nullptr && b.page == page)
            return b.binder;
    }
    return nullptr;
}

int XPageTainer::SetItemBinder(const void *node, void *binder)
{
    const XPageFrame *page = GetPageItem(node);
    if (page == nullptr)
        return 0;
    for (Binder &b : m_binders) {
        if (b.page == page) {
            b.binder = binder;
            return 1;
        }
    }
    m_binders.push_back({page, binder});
    return 1;
}

XPageFrame *XPageTainer::GetTemplate()
{
    if (m_template != nullptr)
        return m_template;
    auto *frame = new XPageFrame;
    frame->extraFlags = kFrameFlow;
    if (itemFlags & kTainerSharedTemplate) {
        if (XPageOwner::InsertItem(frame, nullptr, 0) == nullptr) {
            delete frame;
            return nullptr;
        }
        m_template = frame;
        m_ownsTemplate = false;
    } else {
        m_template = frame;
        m_ownsTemplate = true;
    }
    return m_template;
}

int XPageTainer::GetPageSize(SIZE_t *out)
{
    XPageFrame *frame = GetTemplate();
    if (frame == nullptr || out == nullptr)
        return 0;
    BOUND_t all = {0, 0, 0, 0};
    bool any = false;
    for (const void *cursor = nullptr;
         XPageItem *child = frame->XPageOwner::GetNextItem(&cursor);) {
        if (!any)
            all = child->place;
        else
            UnionBound(&all, &all, &child->place);
        any = true;
    }
    out->cx = all.width + m_pagePadding[0] + m_pagePadding[2] + 2;
    out->cy = all.height + m_pagePadding[1] + m_pagePadding[3] + 2;
    return 1;
}

void XPageTainer::SetPagePadding(int left, int top, int right, int bottom)
{
    m_pagePadding[0] = left;
    m_pagePadding[1] = top;
    m_pagePadding[2] = right;
    m_pagePadding[3] = bottom;
}
