#pragma once
// Records of XSortHelper's waiting items (internal to the sorter's sources): fixed-size
// records of eight-byte values kept in chunks that never move, so appending never copies
// what is stored and a sort can scatter records into a second store. Chunks stay allocated
// for reuse until the store is destroyed or its record size changes. A chunk holds 65536
// records; the chunks after the first, which only large batches reach, are aligned to and
// backed by huge pages.

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <vector>

#include "corekit/memory/huge_pages.h"
#include "corekit/numbers/xvar_meter.h"

class XSortRecords
{
public:
    // Empties the store for records of `words` values.
    void Reset(unsigned int words)
    {
        if (words != m_words)
            m_chunks.clear();
        m_words = words;
        m_size = 0;
    }
    void Clear() { m_size = 0; }
    size_t Size() const { return m_size; }
    unsigned int Words() const { return m_words; }

    // Record i (i < Size()).
    XVarValue *At(size_t i) { return m_chunks[i >> kShift].get() + (i & kMask) * m_words; }
    const XVarValue *At(size_t i) const
    {
        return m_chunks[i >> kShift].get() + (i & kMask) * m_words;
    }
    // A new record at the end, its values unspecified.
    XVarValue *Append()
    {
        Resize(m_size + 1);
        return At(m_size - 1);
    }
    // Grows or shrinks to n records; new records are unspecified.
    void Resize(size_t n)
    {
        while (m_chunks.size() << kShift < n)
            m_chunks.push_back(NewChunk(m_chunks.empty()));
        m_size = n;
    }
    void Swap(XSortRecords &other)
    {
        std::swap(m_words, other.m_words);
        std::swap(m_size, other.m_size);
        m_chunks.swap(other.m_chunks);
    }

private:
    static constexpr unsigned int kShift = 16;
    static constexpr size_t kMask = (size_t{1} << kShift) - 1;

    struct Free
    {
        void operator()(XVarValue *p) const { std::free(p); }
    };
    using Chunk = std::unique_ptr<XVarValue[], Free>;

    Chunk NewChunk(bool first) const
    {
        const size_t bytes = (size_t{1} << kShift) * m_words * sizeof(XVarValue);
        if (first) {
            void *p = std::malloc(bytes);
            if (p == nullptr)
                std::abort();
            return Chunk(static_cast<XVarValue *>(p));
        }
        const size_t whole = (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
        void *p = std::aligned_alloc(kHugePageBytes, whole);
        if (p == nullptr)
            std::abort(); // out of memory: nothing to sort into
        AdviseHugePages(p, whole);
        return Chunk(static_cast<XVarValue *>(p));
    }

    unsigned int m_words = 0;
    size_t m_size = 0;
    std::vector<Chunk> m_chunks;
};
