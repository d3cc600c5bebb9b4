#pragma once
// Doubly linked list of untyped item pointers; duplicates allowed, items not owned.

#include "corekit/containers/release_proc.h"
#include "corekit/corekit_export.h"

class XFinder;

class COREKIT_EXPORT XPtrVector
{
public:
    XPtrVector() = default;
    XPtrVector(const XPtrVector &) = delete;
    XPtrVector &operator=(const XPtrVector &) = delete;
    // As Clear: the release callback sees every item.
    virtual ~XPtrVector();

    void SetRelease(XReleaseProc release) { m_release = release; }

    // Appends p at the end.
    void AddItem(void *p);
    // Removes the first node holding p without the release callback; 1 when found.
    int Drop(void *p);
    // As Drop, then the release callback with p; 1 when found.
    int Delete(void *p);
    // The release callback for every item in order, then all nodes removed.
    void Clear();
    unsigned int GetLength() const;
    // The first node holding p, or null.
    const void *GetNode(void *p) const;

    // cursor null: the first (last) item; else the item after (before) the cursor's node.
    // The cursor moves to the returned node; null at the end.
    void *GetNextItem(const void **cursor) const;
    void *GetPrevItem(const void **cursor) const;

    // Empties f's stack and positions it before the first item (p null, 1), at the node
    // holding p (1), or nowhere (p absent, 0).
    int InitFinder(XFinder *f, void *p) const;
    // Moves f's node on (from the start or the end when it has none) and gives the item;
    // 0 at the end, f unchanged.
    int GetNextItem(XFinder *f, void **item) const;
    int GetPrevItem(XFinder *f, void **item) const;

private:
    struct Node;

    Node *Find(const void *p) const;
    void Unlink(Node *node);

    Node *m_first = nullptr;
    Node *m_last = nullptr;
    XReleaseProc m_release = nullptr;
};
