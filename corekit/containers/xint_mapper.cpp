#include "corekit/containers/xint_mapper.h"

struct XIntMapper::Entry
{
    uint64_t key;
    void *value;
    Entry *next;
};

XIntMapper::~XIntMapper()
{
    ClearMapper();
}

void XIntMapper::AddMapper(uint64_t key, void *v)
{
    Entry *&head = m_buckets[key % kBuckets];
    head = new Entry{key, v, head};
}

void *XIntMapper::GetMapper(uint64_t key) const
{
    for (const Entry *e = m_buckets[key % kBuckets]; e != nullptr; e = e->next)
        if (e->key == key)
            return e->value;
    return nullptr;
}

int XIntMapper::RemoveMapper(uint64_t key)
{
    Entry **link = &m_buckets[key % kBuckets];
    while (*link != nullptr && (*link)->key != key)
        link = &(*link)->next;
    Entry *entry = *link;
    if (entry == nullptr)
        return 0;
    *link = entry->next;
    void *value = entry->value;
    delete entry;
    if (m_release != nullptr)
        m_release(value);
    return 1;
}

void XIntMapper::ClearMapper()
{
    for (Entry *&head : m_buckets) {
        Entry *entry = head;
        head = nullptr;
        while (entry != nullptr) {
            Entry *next = entry->next;
            if (m_release != nullptr)
                m_release(entry->value);
            delete entry;
            entry = next;
        }
    }
}
