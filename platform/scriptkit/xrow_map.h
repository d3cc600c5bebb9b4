#pragma once
// Script arrays and maps (value type 145): a reference-counted, ordered list of
// variables, each with an optional key. An array is a map whose entries have no keys.

#include <cstdint>

#include "platform/scriptkit/scriptkit_export.h"
#include "platform/scriptkit/xvariable.h"

class SCRIPTKIT_EXPORT XRowMap
{
public:
    // A new, empty map with a reference count of 1.
    static XRowMap *Malloc();
    XRowMap(const XRowMap &) = delete;
    XRowMap &operator=(const XRowMap &) = delete;

    uint32_t AddRef();
    // Count - 1; at 0 the map and its entries are destroyed and 0 is returned.
    uint32_t Release();

    uint32_t GetCount() const { return m_count; }
    // Appends a null entry under `key` (copied; null for an array element) and returns
    // its variable, valid until the map is destroyed.
    XVariable *AppendItem(const char16_t *key = nullptr);
    // Entry i, or null when i >= GetCount().
    XVariable *GetItem(uint32_t i) const;
    // Key of entry i; null for an element without key or i out of range.
    const char16_t *GetKey(uint32_t i) const;
    // The first entry whose key equals `key` (case-sensitive), or null.
    XVariable *FindItem(const char16_t *key) const;

private:
    struct Entry;
    XRowMap() = default;
    ~XRowMap();

    uint32_t m_refs = 1;
    uint32_t m_count = 0;
    uint32_t m_capacity = 0;
    Entry **m_entries = nullptr;
};
