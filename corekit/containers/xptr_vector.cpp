#include "corekit/containers/xptr_vector.h"

#include "corekit/containers/xfinder.h"

struct XPtrVector::Node
{
    void *item;
    Node *next;
    Node *prev;
};

XPtrVector::~XPtrVector()
{
    Clear();
}

void XPtrVector::AddItem(void *p)
{
    Node *node = new Node{p, nullptr, m_last};
    if (m_last != nullptr)
        m_last->next = node;
    else
        m_first = node;
    m_last = node;
}

XPtrVector::Node *XPtrVector::Find(const void *p) const
{
    Node *node = m_first;
    while (node != nullptr && node->item != p)
        node = node->next;
    return node;
}

void XPtrVector::Unlink(Node *node)
{
    (node->prev != nullptr ? node->prev->next : m_first) = node->next;
    (node->next != nullptr ? node->next->prev : m_last) = node->prev;
    delete node;
}

int XPtrVector::Drop(void *p)
{
    Node *node = Find(p);
    if (node == nullptr)
        return 0;
    Unlink(node);
    return 1;
}

int XPtrVector::Delete(void *p)
{
    if (Drop(p) == 0)
        return 0;
    if (m_release != nullptr)
        m_release(p);
    return 1;
}

void XPtrVector::Clear()
{
    // Detach the chain first, so a callback that touches this list sees it empty.
    Node *node = m_first;
    m_first = m_last = nullptr;
    while (node != nullptr) {
        Node *next = node->next;
        if (m_release != nullptr)
            m_release(node->item);
        delete node;
        node = next;
    }
}

unsigned int XPtrVector::GetLength() const
{
    unsigned int n = 0;
    for (const Node *node = m_first; node != nullptr; node = node->next)
        ++n;
    return n;
}

const void *XPtrVector::GetNode(void *p) const
{
    return Find(p);
}

void *XPtrVector::GetNextItem(const void **cursor) const
{
    if (cursor == nullptr)
        return nullptr;
    const auto *at = static_cast<const Node *>(*cursor);
    const Node *node = at != nullptr ? at->next : m_first;
    *cursor = node;
    return node != nullptr ? node->item : nullptr;
}

void *XPtrVector::GetPrevItem(const void **cursor) const
{
    if (cursor == nullptr)
        return nullptr;
    const auto *at = static_cast<const Node *>(*cursor);
    const Node *node = at != nullptr ? at->prev : m_last;
    *cursor = node;
    return node != nullptr ? node->item : nullptr;
}

int XPtrVector::InitFinder(XFinder *f, void *p) const
{
    if (f == nullptr)
        return 0;
    f->ClearFinder();
    if (p == nullptr)
        return 1;
    const Node *node = Find(p);
    f->SetNode(node);
    return node != nullptr ? 1 : 0;
}

int XPtrVector::GetNextItem(XFinder *f, void **item) const
{
    if (f == nullptr)
        return 0;
    const auto *at = static_cast<const Node *>(f->GetNode());
    const Node *node = at != nullptr ? at->next : m_first;
    if (node == nullptr)
        return 0;
    f->SetNode(node);
    if (item != nullptr)
        *item = node->item;
    return 1;
}

int XPtrVector::GetPrevItem(XFinder *f, void **item) const
{
    if (f == nullptr)
        return 0;
    const auto *at = static_cast<const Node *>(f->GetNode());
    const Node *node = at != nullptr ? at->prev : m_last;
    if (node == nullptr)
        return 0;
    f->SetNode(node);
    if (item != nullptr)
        *item = node->item;
    return 1;
}
