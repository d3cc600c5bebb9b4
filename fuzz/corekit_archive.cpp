// Reads documents from untrusted bytes through XByteArchive and XMemoArchive: every reader
// of the document byte form, driven by operation bytes taken from the input itself. Checks
// that the cursor never leaves the content and that failed reads move nothing.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "corekit/archive.h"
#include "corekit/memory.h"
#include "corekit/xmemo_helper.h"

namespace {

void Require(bool ok)
{
    if (!ok)
        std::abort();
}

uint32_t Cursor(const IArchive &a)
{
    uint32_t pos = 0;
    a.Tell(&pos);
    Require(pos <= a.GetMaxSize());
    return pos;
}

// One reader chosen by op; returns false when the read failed.
bool ReadOne(IArchive &a, uint8_t op, XMemoHelper &arena)
{
    uint8_t small = 0;
    switch (op % 10) {
    case 0: {
        char16_t *s = StrFromDoc(&a);
        MemFree(s);
        return s != nullptr;
    }
    case 1:
        return StrFromDoc(&a, &arena) != nullptr;
    case 2: {
        char16_t buf[5];
        return StrFromDoc(&a, buf, 1 + op % 5) != 0;
    }
    case 3: {
        if (a.Read(&small, 1) == 0)
            return false;
        char16_t *s = ReadStrDoc(&a, small * 37u);
        MemFree(s);
        return s != nullptr;
    }
    case 4: {
        uint64_t v[4];
        return IntFromDoc(&a, v, 1u << (op % 4), 1 + op % 4) != 0;
    }
    case 5: {
        SYSTIME_t t;
        DATETIME_t d;
        return op & 1 ? TimeFromDoc(&a, &t) != 0 : TimeFromDoc(&a, &d) != 0;
    }
    case 6:
        return a.Skip(op * 3u) != 0;
    case 7:
        return a.Seek(op * 5u) != 0;
    case 8: {
        XMemoArchive copy;
        return a.ReadDoc(&copy, op * 11u) != 0;
    }
    default: {
        const XStructDesc desc[] = {{kFieldInteger, 4}, {kFieldText, 3}, {kFieldTime, 16}, {7, 5}};
        uint8_t doc[64];
        uint32_t n = sizeof(doc);
        const uint32_t before = Cursor(a);
        a.ReadEx(doc, &n);
        uint8_t rec[64];
        const bool ok = ReadStructDesc(rec, doc, n, desc, 1 + op % 4) != 0;
        a.Seek(before + n / 2);
        return ok;
    }
    }
}

void Exercise(IArchive &a)
{
    XMemoHelper arena;
    for (int step = 0; step < 256 && a.IsEndOfDoc() == 0; ++step) {
        uint8_t op = 0;
        if (a.Read(&op, 1) == 0)
            break;
        const uint32_t before = Cursor(a);
        if (!ReadOne(a, op, arena) && op % 10 != 9 && op % 10 != 3) {
            // A string count of 0 reads as null and is consumed; every other failure
            // leaves the cursor where it was.
            const bool absent = op % 10 <= 1 && Cursor(a) == before + 4;
            Require(absent || Cursor(a) == before);
        }
        Cursor(a);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    std::vector<uint8_t> copy(data, data + size);
    XByteArchive bytes;
    bytes.SetBuffer(copy.data(), static_cast<uint32_t>(copy.size()));
    Exercise(bytes);

    XMemoArchive memo;
    memo.Write(data, static_cast<uint32_t>(size));
    memo.InitReader();
    Exercise(memo);
    memo.GetStrBuffer();
    return 0;
}
