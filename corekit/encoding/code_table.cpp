#include "corekit/encoding/code_table.h"

#include <algorithm>
#include <cstring>

#include "corekit/archive/archive_doc.h"
#include "corekit/archive/iarchive.h"
#include "corekit/containers/xsort_helper.h"
#include "corekit/memory/memory.h"

namespace {

constexpr uint8_t kMagic[4] = {'G', 'B', 'K', 'T'};

// The two arrays of the loaded table, released with the library.
struct CodeTables
{
    CODEPAIR_t *byDocument = nullptr;
    CODEPAIR_t *bySecond = nullptr;
    uint32_t count = 0;

    CodeTables() = default;
    CodeTables(const CodeTables &) = delete;
    CodeTables &operator=(const CodeTables &) = delete;
    ~CodeTables() { Release(); }

    void Release()
    {
        MemFree(byDocument);
        MemFree(bySecond);
        byDocument = bySecond = nullptr;
        count = 0;
    }
};

CodeTables g_tables;

// Reads n entries from a into a new array; null when they cannot be read.
CODEPAIR_t *ReadEntries(IArchive *a, uint32_t n)
{
    auto *codes = static_cast<uint16_t *>(MemAlloc(n * 4));
    if (IntFromDoc(a, codes, 2, 2 * n) == 0) {
        MemFree(codes);
        return nullptr;
    }
    auto *entries = static_cast<CODEPAIR_t *>(MemAlloc(n * sizeof(CODEPAIR_t)));
    for (uint32_t i = 0; i < n; ++i)
        entries[i] = CODEPAIR_t{codes[2 * i], codes[2 * i + 1]};
    MemFree(codes);
    return entries;
}

// The entries ordered by their second code, through the sorter (ties keep document order).
CODEPAIR_t *SortBySecond(CODEPAIR_t *entries, uint32_t n)
{
    const unsigned char type = static_cast<unsigned char>(kVarInteger);
    XSortHelper sorter;
    sorter.SetType(&type, nullptr, 1);
    for (uint32_t i = 0; i < n; ++i) {
        XVarValue key{};
        key.integer = entries[i].wSecond;
        sorter.AddItem(&key, nullptr, &entries[i]);
    }
    auto *sorted = static_cast<CODEPAIR_t *>(MemAlloc(n * sizeof(CODEPAIR_t)));
    const void *cursor = nullptr;
    for (uint32_t i = 0; i < n; ++i)
        sorted[i] = *static_cast<const CODEPAIR_t *>(sorter.GetNextItem(&cursor));
    return sorted;
}

} // namespace

int SetCodeTable(IArchive *a)
{
    uint8_t magic[4];
    uint32_t n = 0;
    if (a == nullptr || a->Read(magic, 4) == 0 || std::memcmp(magic, kMagic, 4) != 0 ||
        IntFromDoc(a, &n, 4) == 0 || n > kCodeTableMaxEntries)
        return 0;
    if (a->GetMaxSize() != 8 + uint64_t{n} * 4 || DocRemaining(a) != uint64_t{n} * 4)
        return 0;
    CODEPAIR_t *entries = ReadEntries(a, n);
    if (entries == nullptr)
        return 0;
    CODEPAIR_t *sorted = SortBySecond(entries, n);
    g_tables.Release();
    g_tables.byDocument = entries;
    g_tables.bySecond = sorted;
    g_tables.count = n;
    return 1;
}

const CODEPAIR_t *GetCodeTable(unsigned int which, uint32_t *count)
{
    const CODEPAIR_t *table = which == 0 ? g_tables.byDocument : g_tables.bySecond;
    if (count != nullptr)
        *count = table != nullptr ? g_tables.count : 0;
    return table;
}

uint16_t CodeTableToSecond(uint16_t code)
{
    for (uint32_t i = 0; i < g_tables.count; ++i)
        if (g_tables.byDocument[i].wFirst == code)
            return g_tables.byDocument[i].wSecond;
    return 0;
}

uint16_t CodeTableToFirst(uint16_t code)
{
    const CODEPAIR_t *begin = g_tables.bySecond;
    const CODEPAIR_t *end = begin + g_tables.count;
    const CODEPAIR_t *it = std::lower_bound(
        begin, end, code, [](const CODEPAIR_t &e, uint16_t c) { return e.wSecond < c; });
    return it != end && it->wSecond == code ? it->wFirst : 0;
}

void ReleaseCodeTable()
{
    g_tables.Release();
}
