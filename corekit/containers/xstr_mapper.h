#pragma once
// Map from wide-string keys to untyped values. Keys are compared exactly (case-sensitive;
// a null key matches only a null key) and copied into the mapper's arena; entries are kept
// newest first and values are not owned.

#include "corekit/containers/release_proc.h"
#include "corekit/corekit_export.h"
#include "corekit/memory/xmemo_helper.h"

class COREKIT_EXPORT XStrMapper
{
public:
    XStrMapper() = default;
    XStrMapper(const XStrMapper &) = delete;
    XStrMapper &operator=(const XStrMapper &) = delete;
    // As ClearMapper: the release callback sees every value.
    virtual ~XStrMapper();

    void SetRelease(XReleaseProc release) { m_release = release; }

    // Adds an entry at the front with a copy of key (no duplicate check); the stored key.
    const char16_t *AddMapper(const char16_t *key, void *v);
    // Replaces the value of the first entry with key, handing the old value to the release
    // callback unless it is v itself; otherwise adds as AddMapper. The stored key.
    const char16_t *SetMapper(const char16_t *key, void *v);
    // Value of the first entry with key, or null.
    void *GetMapper(const char16_t *key) const;
    // Key of the first entry with value v, or null.
    const char16_t *GetCode(const void *v) const;
    // Remove the first entry with that key, or with that value, and hand its value to the
    // release callback; 1 when an entry was removed.
    int RemoveCode(const char16_t *key);
    int RemoveMapper(void *v);
    // The release callback for every value, then all entries removed and the key arena
    // emptied for reuse.
    void ClearMapper();
    // A copy of s in the mapper's arena (null for null), valid until ClearMapper.
    char16_t *StrClone(const char16_t *s);

private:
    struct Entry;

    Entry **FindKey(const char16_t *key);
    void RemoveEntry(Entry **link);

    Entry *m_first = nullptr;
    XReleaseProc m_release = nullptr;
    XMemoHelper m_keys;
};
