#include "corekit/containers/xstr_mapper.h"

#include "corekit/text/strings.h"

struct XStrMapper::Entry
{
    const char16_t *key;
    void *value;
    Entry *next;
};

namespace {

bool SameKey(const char16_t *a, const char16_t *b)
{
    if (a == nullptr || b == nullptr)
        return a == b;
    return Strcmp(a, b) == 0;
}

} // namespace

XStrMapper::~XStrMapper()
{
    ClearMapper();
}

const char16_t *XStrMapper::AddMapper(const char16_t *key, void *v)
{
    m_first = new Entry{m_keys.StrClone(key), v, m_first};
    return m_first->key;
}

XStrMapper::Entry **XStrMapper::FindKey(const char16_t *key)
{
    Entry **link = &m_first;
    while (*link != nullptr && !SameKey((*link)->key, key))
        link = &(*link)->next;
    return link;
}

const char16_t *XStrMapper::SetMapper(const char16_t *key, void *v)
{
    Entry *entry = *FindKey(key);
    if (entry == nullptr)
        return AddMapper(key, v);
    void *old = entry->value;
    entry->value = v;
    // Setting the value an entry already holds must not release it under the caller.
    if (old != v && m_release != nullptr)
        m_release(old);
    return entry->key;
}

void *XStrMapper::GetMapper(const char16_t *key) const
{
    for (const Entry *e = m_first; e != nullptr; e = e->next)
        if (SameKey(e->key, key))
            return e->value;
    return nullptr;
}

const char16_t *XStrMapper::GetCode(const void *v) const
{
    for (const Entry *e = m_first; e != nullptr; e = e->next)
        if (e->value == v)
            return e->key;
    return nullptr;
}

void XStrMapper::RemoveEntry(Entry **link)
{
    Entry *entry = *link;
    *link = entry->next;
    void *value = entry->value;
    delete entry;
    if (m_release != nullptr)
        m_release(value);
}

int XStrMapper::RemoveCode(const char16_t *key)
{
    Entry **link = FindKey(key);
    if (*link == nullptr)
        return 0;
    RemoveEntry(link);
    return 1;
}

int XStrMapper::RemoveMapper(void *v)
{
    Entry **link = &m_first;
    while (*link != nullptr && (*link)->value != v)
        link = &(*link)->next;
    if (*link == nullptr)
        return 0;
    RemoveEntry(link);
    return 1;
}

void XStrMapper::ClearMapper()
{
    Entry *entry = m_first;
    m_first = nullptr;
    while (entry != nullptr) {
        Entry *next = entry->next;
        if (m_release != nullptr)
            m_release(entry->value);
        delete entry;
        entry = next;
    }
    m_keys.ClearBuffer();
}

char16_t *XStrMapper::StrClone(const char16_t *s)
{
    return m_keys.StrClone(s);
}
