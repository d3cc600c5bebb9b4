#pragma once
// Hash map from unsigned 64-bit keys to untyped values in 33 buckets (key mod 33); new
// entries go to the head of their bucket, so the newest entry with a key wins.

#include <cstdint>

#include "corekit/containers/release_proc.h"
#include "corekit/corekit_export.h"

class COREKIT_EXPORT XIntMapper
{
public:
    static constexpr unsigned int kBuckets = 33;

    XIntMapper() = default;
    XIntMapper(const XIntMapper &) = delete;
    XIntMapper &operator=(const XIntMapper &) = delete;
    // As ClearMapper: the release callback sees every value.
    virtual ~XIntMapper();

    void SetRelease(XReleaseProc release) { m_release = release; }

    // Adds at the bucket head (no duplicate check).
    void AddMapper(uint64_t key, void *v);
    // Value of the newest entry with key, or null.
    void *GetMapper(uint64_t key) const;
    // Removes the newest entry with key and hands its value to the release callback; 1
    // when an entry was removed.
    int RemoveMapper(uint64_t key);
    // The release callback for every value, then all entries removed.
    void ClearMapper();

private:
    struct Entry;

    XReleaseProc m_release = nullptr;
    Entry *m_buckets[kBuckets] = {};
};
