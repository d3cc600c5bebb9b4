#pragma once
// The node record of XSortHelper (internal to the sorter's sources).

#include <cstdint>

// A node in an arena: this header, then k null flags padded to 8 bytes, then k eight-byte
// values, then levels - 1 higher forward links of the search index. Its size is a
// multiple of 8.
struct XSortNode
{
    uint32_t order; // insertion number
    uint32_t count; // duplicate count, starts at 1
    void *item;
    XSortNode *next;
    XSortNode *prev;
    uint32_t levels;
    uint32_t reserved;
};

constexpr uint32_t RoundUp8(uint32_t n)
{
    return (n + 7u) & ~7u;
}

// The keys sit right after the header, at a fixed offset, so comparing two nodes reads
// one cache line of each for the first keys.
inline uint8_t *NullsOf(const XSortNode *n)
{
    return reinterpret_cast<uint8_t *>(const_cast<XSortNode *>(n) + 1);
}
