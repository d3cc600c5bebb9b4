// Loads code tables from untrusted bytes and checks what a successful load promises.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "corekit/archive/xbyte_archive.h"
#include "corekit/encoding/code_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (1u << 22))
        return 0;
    std::vector<uint8_t> copy(data, data + size);
    XByteArchive a;
    a.SetBuffer(copy.data(), static_cast<uint32_t>(copy.size()));
    if (SetCodeTable(&a) == 0)
        return 0;
    uint32_t n = 0;
    uint32_t m = 0;
    const CODEPAIR_t *doc = GetCodeTable(0, &n);
    const CODEPAIR_t *sorted = GetCodeTable(1, &m);
    if (doc == nullptr || sorted == nullptr || n != m || size != 8 + 4ull * n)
        std::abort();
    for (uint32_t i = 1; i < n; ++i)
        if (sorted[i - 1].wSecond > sorted[i].wSecond)
            std::abort();
    if (n != 0 && CodeTableToSecond(doc[0].wFirst) != doc[0].wSecond)
        std::abort();
    if (n != 0 && CodeTableToFirst(sorted[0].wSecond) != sorted[0].wFirst)
        std::abort();
    ReleaseCodeTable();
    return 0;
}
