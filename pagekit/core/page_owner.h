#pragma once
// An item that holds children: an ordered, circular, doubly linked list of nodes. The
// first child is drawn first (bottom) and hit-tested last. Children are owned: deleting
// the owner deletes them.

#include <cstdint>

#include "pagekit/core/page_item.h"
#include "pagekit/pagekit_export.h"

// One child in its owner's list.
struct XItemNode
{
    XPageItem *item;
    XItemNode *next;
    XItemNode *prev;
};

// Directions of MoveItem.
enum : unsigned {
    kMoveBack = 0,    // one step towards the front
    kMoveForward = 1, // one step towards the end
    kMoveFront = 2,
    kMoveEnd = 3, // this and any other value
};

// Flag of GetNextItem/GetPrevItem(flags, finder): go on from the finder's node instead of
// starting a fresh walk.
constexpr int kWalkContinue = 0x10;

class PAGEKIT_EXPORT XPageOwner : public XPageItem
{
public:
    XPageOwner();
    // Deletes every child.
    ~XPageOwner() override;

    // ---- slots of the base ---------------------------------------------------------------

    XPageItem *GetNextItem(int flags, XFinder *finder) override;
    XPageItem *GetPrevItem(int flags, XFinder *finder) override;
    // Creates the children not yet created, after the item itself; an extend axis takes the
    // body as extent.
    void OnCreateItem() override;
    // Code 2 lays out again first; codes 2 and above go on to every created child.
    void OnUpdateItem(int code) override;
    // Visible, enabled and inside the place: inside the body the children from last to
    // first (owner's child space), else the owner itself.
    XPageItem *HitItem(int x, int y) override;
    // Moves, then lays out again when the size changed.
    void MovePlace(const BOUND_t *bound, int flag) override;
    // Draws the visible children that meet bound (child space).
    void DrawBody(XPainter *painter, const BOUND_t *bound) override;

    // ---- slots of containers -------------------------------------------------------------

    // Lays the children out again; flag non-zero repaints. The plain owner does nothing.
    virtual void UpdateLayout(int flag);
    // Called after a child left the list.
    virtual void OnDropItem(XPageItem *item);

    // ---- the list ----------------------------------------------------------------------

    // Appends; the child takes this owner and its form and is created when this owner is.
    // Null (nothing changed) for an item that has an owner, this item or one of its owners.
    const void *AddItem(XPageItem *item);
    // Inserts after node (after non-zero) or before it; a null node means the end (after)
    // or the front. Null for a node not in this list, and as AddItem.
    const void *InsertItem(XPageItem *item, const void *node, unsigned after);
    // Moves a child (kMove*), then lays out; 0 when it is not a child or cannot move.
    int MoveItem(XPageItem *item, unsigned where);
    // Unlinks a child: OnUpdateItem(1), owner cleared, OnDropItem. 0 when not a child.
    int DropNode(XPageItem *item);
    // As DropNode, also telling the page window and repainting.
    int DropItem(XPageItem *item);
    // As DropItem, then deletes the child.
    int DeleteItem(XPageItem *item);
    // Deletes every child after repainting.
    void ClearItem();
    unsigned GetCounter() const;
    const void *GetItemNode(const XPageItem *item) const;
    static XPageItem *GetNodeItem(const void *node);
    // Cursor walks: a null cursor starts at the first (last) child; null at the end.
    XPageItem *GetNextItem(const void **cursor) const;
    XPageItem *GetPrevItem(const void **cursor) const;

    // Repaints bound, given in the space child's place is in (the child space, or the
    // place space for a fixed child).
    void InvalidateChildSpace(const XPageItem *child, const BOUND_t *bound);
    // Draws the item, then its visible fixed children over it.
    void DrawItem(XPainter *painter, const BOUND_t *bound) override;

protected:
    // Deletes every child without repainting (destructors).
    void DeleteChildren();
    // Draws one child clipped to bound (child space).
    void DrawChild(XPainter *painter, XPageItem *child, const BOUND_t *bound);
    // Links a child in before `before` (null: at the end), taking owner and form.
    const void *LinkItem(XPageItem *item, XItemNode *before, bool front);
    void UnlinkNode(XItemNode *node);
    XItemNode *FindNode(const void *node) const;
    bool CanAdopt(const XPageItem *item) const;

    XItemNode *m_first = nullptr;
};
