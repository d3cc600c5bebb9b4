#pragma once
// Traversal state for walking nested containers: a current (node, finder) pair and a stack
// of saved pairs. Stack cells are kept for reuse.

#include "corekit/corekit_export.h"

class COREKIT_EXPORT XFinder
{
public:
    XFinder() = default;
    XFinder(const XFinder &) = delete;
    XFinder &operator=(const XFinder &) = delete;
    virtual ~XFinder();

    const void *GetNode() const { return m_node; }
    void SetNode(const void *node) { m_node = node; }
    void *GetFinder() const { return m_finder; }
    void SetFinder(void *finder) { m_finder = finder; }

    // Saves the current pair on the stack, then finder = f and node = null.
    void PushFinder(void *f);
    // Restores the last saved pair and returns its finder; with an empty stack both become
    // null and null is returned.
    void *PopupFinder();
    // Moves every stack cell to the spare chain; node and finder become null.
    void ClearFinder();

private:
    struct Cell;

    const void *m_node = nullptr;
    void *m_finder = nullptr;
    Cell *m_stack = nullptr;
    Cell *m_spare = nullptr;
};
