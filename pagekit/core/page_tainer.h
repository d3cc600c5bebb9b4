#pragma once
// A container of pages (a multi-page panel): its children of kind 0x98 are page frames,
// one of them current, each with a binder pointer of its caller's. Pages get the page
// paddings and, with extra flag kTainerBlockPages, a line of their own at full width.
//
// Nodes are the owner's list nodes of the pages. Every member that takes a node refuses
// one that is not a page node of this tainer (null, 0, or -1 for an index) and changes
// nothing; it only compares the pointer, never reads through it.
//
// Notifications, dispatched on the tainer once it is created (value: the node): 81 a
// page was added, 82 a page was removed, 65 another page became current, 66 no page is
// current any more.

#include <cstdint>
#include <vector>

#include "pagekit/core/page_frame.h"
#include "pagekit/pagekit_export.h"

// Kind of the pages.
constexpr uint32_t kKindPage = 0x98;
// Extra flag of the tainer: pages are blocks that extend across the width.
constexpr uint32_t kTainerBlockPages = 0x1;
// Item flag of the tainer: the template frame is one of its children (flow layout)
// instead of a frame held aside.
constexpr uint32_t kTainerSharedTemplate = 0x40000000;

// Notification codes.
enum : uint32_t {
    XMSG_PAGESELECT = 65, // value: the new current node
    XMSG_PAGENONE = 66,   // no page left to be current
    XMSG_PAGEADD = 81,    // value: the new node
    XMSG_PAGEREMOVE = 82, // value: the node that went (no longer valid)
};

class PAGEKIT_EXPORT XPageTainer : public XPageFrame
{
public:
    XPageTainer();
    // Deletes the pages and a template held aside.
    ~XPageTainer() override;

    // ---- pages ---------------------------------------------------------------------------

    // Appends a new page and returns it.
    XPageFrame *CreateItem();
    // Inserts a page after node (after non-zero) or before it; a null node means the end
    // or the front. Returns the new node; null for a foreign node or a page that cannot
    // join (it has an owner, or is this tainer or one of its owners).
    const void *InsertItem(XPageFrame *page, const void *node, unsigned after);
    // Appends an existing frame as a page.
    const void *AddItemNode(XPageFrame *page);
    // Unlinks a page without deleting it and returns it (null for a foreign node).
    XPageFrame *RemoveItem(const void *node);
    // Removes and deletes a page; 0 for a foreign node.
    int DeleteItem(const void *node);
    // Deletes every page.
    void ClearItem();
    // Deletes the current page; 0 when none is current.
    int DeleteChoice();

    // ---- lookup ----------------------------------------------------------------------------

    unsigned GetPageCount() const;
    const void *GetPageNode(unsigned index) const;
    // The page's index, -1 for a foreign node.
    int GetPageIndex(const void *node) const;
    XPageFrame *GetPageItem(const void *node) const;
    // The page node after node (null: the first); null after the last.
    const void *GetNextNode(const void *node) const;
    // The first page in list order that is visible, not disabled and not skip: the page
    // that becomes current when the current one goes. Null when there is none.
    const void *GetNextChoice(const void *skip) const;
    // The visible page under (x, y) of the child space: 1 and its node, else 0.
    int HitTest(int x, int y, const void **node) const;
    // The page's place in the child space; 0 for a foreign node.
    int GetPagePlace(const void *node, BOUND_t *out) const;

    // ---- current page ------------------------------------------------------------------------

    // The current page and (when index is not null) its index; null when none.
    XPageFrame *GetCurItem(unsigned *index) const;
    XPageFrame *GetCurFrame() const { return m_current; }
    // Makes a page current (65 on a change, once created); 0 for a foreign node or index.
    int SetCurItem(unsigned index);
    int SetCurItem(const void *node);

    // ---- binders and the template ----------------------------------------------------------

    void *GetItemBinder(const void *node) const;
    // 0 for a foreign node.
    int SetItemBinder(const void *node, void *binder);
    // The template frame, made on first use: a child of the tainer with
    // kTainerSharedTemplate, else held aside.
    XPageFrame *GetTemplate();
    // The union of the template's children plus the page paddings and 2 pixels.
    int GetPageSize(SIZE_t *out);
    // Paddings given to pages (left, top, right, bottom; 2 each by default).
    void SetPagePadding(int left, int top, int right, int bottom);

    void OnDropItem(XPageItem *item) override;

private:
    bool IsPage(const XPageItem *item) const;
    const void *FindPageNode(const void *node) const;
    void Notify(uint32_t code, const void *node);
    // After the current page went: the next choice becomes current (65) or none (66).
    void ChooseAfterRemoval();

    int32_t m_pagePadding[4] = {2, 2, 2, 2};
    XPageFrame *m_current = nullptr;
    XPageFrame *m_template = nullptr;
    bool m_ownsTemplate = false;
    const void *m_removing = nullptr; // the node RemoveItem is taking out
    struct Binder
    {
        const XPageItem *page;
        void *binder;
    };
    std::vector<Binder> m_binders;
};
