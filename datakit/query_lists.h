#pragma once
// Helpers shared by the query template sources: list items on corekit's heap, their
// texts, and appending in order.

#include <cstring>

#include "corekit/memory/memory.h"
#include "datakit/query_template.h"

namespace query_lists {

// A zeroed item (MemFree through FreeItem).
template <class T> T *NewItem()
{
    T *item = static_cast<T *>(MemAlloc(sizeof(T)));
    std::memset(item, 0, sizeof(T));
    return item;
}

inline void FreeTexts(XQueryField *f)
{
    MemFree(f->body);
    MemFree(f->name);
    MemFree(f->desc);
    f->body = f->name = f->desc = nullptr;
}
inline void FreeTexts(XQueryWhere *w)
{
    MemFree(w->body);
    MemFree(w->kape);
    MemFree(w->name);
    MemFree(w->desc);
    w->body = w->kape = w->name = w->desc = nullptr;
}
inline void FreeTexts(XQueryGroup *g)
{
    MemFree(g->body);
    MemFree(g->name);
    g->body = g->name = nullptr;
}
inline void FreeTexts(XQueryOrder *o)
{
    MemFree(o->body);
    MemFree(o->name);
    o->body = o->name = nullptr;
}

template <class T> void FreeItem(T *item)
{
    FreeTexts(item);
    MemFree(item);
}

template <class T> void FreeList(T **head)
{
    for (T *item = *head; item;) {
        T *next = item->next;
        FreeItem(item);
        item = next;
    }
    *head = nullptr;
}

// Appends items in order without walking the list each time.
template <class T> class ListTail
{
public:
    explicit ListTail(T **head) : m_slot(head)
    {
        while (*m_slot)
            m_slot = &(*m_slot)->next;
    }
    void Append(T *item)
    {
        item->next = nullptr;
        *m_slot = item;
        m_slot = &item->next;
    }

private:
    T **m_slot;
};

// A heap copy of s (null: null).
inline char16_t *CopyText(const char16_t *s)
{
    return s ? StrAlloc(s) : nullptr;
}

// Replaces *slot with a copy of s.
inline void SetText(char16_t **slot, const char16_t *s)
{
    char16_t *copy = CopyText(s);
    MemFree(*slot);
    *slot = copy;
}

} // namespace query_lists
