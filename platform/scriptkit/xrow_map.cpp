#include "platform/scriptkit/xrow_map.h"

#include "corekit/memory/memory.h"
#include "corekit/text/strings.h"
#include "platform/scriptkit/value_hold.h"

struct XRowMap::Entry
{
    char16_t *key = nullptr;
    XVariable value;
};

XRowMap *XRowMap::Malloc()
{
    return new XRowMap();
}

XRowMap::~XRowMap()
{
    for (uint32_t i = 0; i < m_count; ++i) {
        MemFree(m_entries[i]->key);
        delete m_entries[i];
    }
    MemFree(m_entries);
}

uint32_t XRowMap::AddRef()
{
    return ++m_refs;
}

uint32_t XRowMap::Release()
{
    if (m_refs > 1)
        return --m_refs;
    delete this;
    return 0;
}

XVariable *XRowMap::AppendItem(const char16_t *key)
{
    if (m_count == m_capacity) {
        uint32_t capacity = m_capacity ? m_capacity * 2 : 8;
        m_entries = static_cast<Entry **>(MemRealloc(m_entries, capacity * sizeof(Entry *)));
        m_capacity = capacity;
    }
    auto *entry = new Entry();
    if (key)
        entry->key = scriptkit::CopyText(key, scriptkit::TextLength(key));
    m_entries[m_count++] = entry;
    return &entry->value;
}

XVariable *XRowMap::GetItem(uint32_t i) const
{
    return i < m_count ? &m_entries[i]->value : nullptr;
}

const char16_t *XRowMap::GetKey(uint32_t i) const
{
    return i < m_count ? m_entries[i]->key : nullptr;
}

XVariable *XRowMap::FindItem(const char16_t *key) const
{
    if (!key)
        return nullptr;
    for (uint32_t i = 0; i < m_count; ++i)
        if (m_entries[i]->key && Strcmp(m_entries[i]->key, key) == 0)
            return &m_entries[i]->value;
    return nullptr;
}
