// Reads documents from untrusted bytes through XByteArchive and XMemoArchive: every reader
// of the document byte form, driven by operation bytes taken from the input itself. Checks
// that the cursor never leaves the content and that failed reads move nothing. Whatever a
// reader with a writer of ours accepts is written again into a fresh archive: the document
// form is canonical, so the bytes written must be the bytes consumed, and reading them back
// must give the same value.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "corekit/archive/archive.h"
#include "corekit/memory/memory.h"
#include "corekit/memory/xmemo_helper.h"

namespace {

using Bytes = std::vector<uint8_t>;

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

// The bytes of a from position `from` to the cursor; the cursor stays.
Bytes Consumed(IArchive &a, uint32_t from)
{
    const uint32_t to = Cursor(a);
    Require(from <= to);
    Bytes bytes(to - from);
    Require(a.Seek(from) != 0);
    Require(bytes.empty() || a.Read(bytes.data(), static_cast<uint32_t>(bytes.size())) != 0);
    Require(Cursor(a) == to);
    return bytes;
}

// Everything written to out, which is then ready to be read from the start.
Bytes Written(XMemoArchive &out)
{
    Bytes bytes(out.GetMaxSize());
    out.InitReader();
    Require(bytes.empty() || out.Read(bytes.data(), static_cast<uint32_t>(bytes.size())) != 0);
    out.InitReader();
    return bytes;
}

// A counted string of n units (or an absent one, s null) read from consumed.
void CheckString(const char16_t *s, const Bytes &consumed)
{
    XMemoArchive out;
    const uint32_t n = consumed.size() >= 4 ? static_cast<uint32_t>(consumed.size() - 4) / 2 : 0;
    Require(StrToDoc(&out, s, n) != 0);
    Require(Written(out) == consumed);
    char16_t *again = StrFromDoc(&out);
    Require((again == nullptr) == (s == nullptr));
    Require(s == nullptr || std::memcmp(again, s, n * 2) == 0);
    MemFree(again);
}

bool ReadHeapString(IArchive &a, uint32_t before)
{
    char16_t *s = StrFromDoc(&a);
    if (s != nullptr || Cursor(a) == before + 4)
        CheckString(s, Consumed(a, before));
    MemFree(s);
    return s != nullptr;
}

bool ReadArenaString(IArchive &a, uint32_t before, XMemoHelper &arena)
{
    const char16_t *s = StrFromDoc(&a, &arena);
    if (s != nullptr || Cursor(a) == before + 4)
        CheckString(s, Consumed(a, before));
    return s != nullptr;
}

bool ReadBoundedString(IArchive &a, uint32_t before, uint8_t op)
{
    char16_t buf[5];
    const unsigned int units = StrFromDoc(&a, buf, 1 + op % 5);
    // Only a string that was not cut has its document form in buf.
    const Bytes consumed = Consumed(a, before);
    if (units != 0 && consumed.size() == 4 + 2u * units)
        CheckString(buf, consumed);
    return units != 0;
}

bool ReadUncountedString(IArchive &a)
{
    uint8_t small = 0;
    if (a.Read(&small, 1) == 0)
        return false;
    const uint32_t before = Cursor(a);
    const unsigned int n = small * 37u;
    char16_t *s = ReadStrDoc(&a, n);
    if (s != nullptr) {
        XMemoArchive out;
        Require(WriteStrDoc(&out, s, n) != 0);
        Require(Written(out) == Consumed(a, before));
        char16_t *again = ReadStrDoc(&out, n);
        Require(again != nullptr && std::memcmp(again, s, n * 2) == 0);
        MemFree(again);
    }
    MemFree(s);
    return s != nullptr;
}

bool ReadIntegers(IArchive &a, uint32_t before, uint8_t op)
{
    const unsigned int width = 1u << (op / 10) % 4, count = 1 + (op / 40) % 4;
    uint64_t v[4] = {};
    if (IntFromDoc(&a, v, width, count) == 0)
        return false;
    XMemoArchive out;
    Require(IntToDoc(&out, v, width, count) != 0);
    Require(Written(out) == Consumed(a, before));
    uint64_t again[4] = {};
    Require(IntFromDoc(&out, again, width, count) != 0);
    Require(std::memcmp(again, v, width * count) == 0);
    return true;
}

template <typename Time> bool ReadTime(IArchive &a, uint32_t before)
{
    Time t{};
    if (TimeFromDoc(&a, &t) == 0)
        return false;
    XMemoArchive out;
    Require(TimeToDoc(&out, &t) != 0);
    Require(Written(out) == Consumed(a, before));
    Time again{};
    Require(TimeFromDoc(&out, &again) != 0);
    Require(std::memcmp(&again, &t, sizeof(t)) == 0);
    return true;
}

bool CopyDocument(IArchive &a, uint32_t before, uint8_t op)
{
    XMemoArchive copy;
    if (a.ReadDoc(&copy, op * 11u) == 0)
        return false;
    const Bytes consumed = Consumed(a, before);
    Require(Written(copy) == consumed);
    XMemoArchive out;
    Require(out.WriteDoc(&copy, static_cast<uint32_t>(consumed.size())) != 0);
    Require(Written(out) == consumed);
    return true;
}

// A described record read from up to 64 bytes, which the cursor then passes by half.
bool ReadRecord(IArchive &a, uint32_t before, uint8_t op)
{
    const XStructDesc desc[] = {{kFieldInteger, 4}, {kFieldText, 3}, {kFieldTime, 16}, {7, 5}};
    const unsigned int count = 1 + op % 4;
    uint8_t doc[64];
    uint32_t n = sizeof(doc);
    a.ReadEx(doc, &n);
    a.Seek(before + n / 2);
    uint8_t rec[64];
    if (ReadStructDesc(rec, doc, n, desc, count) == 0)
        return false;
    const unsigned int docSize = GetStructDocSize(desc, count);
    const unsigned int memSize = GetStructMemSize(desc, count);
    uint8_t written[64], again[64];
    Require(SaveStructDesc(written, rec, desc, count) == docSize);
    Require(std::memcmp(written, doc, docSize) == 0);
    Require(ReadStructDesc(again, written, docSize, desc, count) == memSize);
    Require(std::memcmp(again, rec, memSize) == 0);
    return true;
}

// One reader chosen by op; returns false when the read failed.
bool ReadOne(IArchive &a, uint8_t op, XMemoHelper &arena)
{
    const uint32_t before = Cursor(a);
    switch (op % 10) {
    case 0:
        return ReadHeapString(a, before);
    case 1:
        return ReadArenaString(a, before, arena);
    case 2:
        return ReadBoundedString(a, before, op);
    case 3:
        return ReadUncountedString(a);
    case 4:
        return ReadIntegers(a, before, op);
    case 5:
        return (op / 10) % 2 == 0 ? ReadTime<SYSTIME_t>(a, before)
                                  : ReadTime<DATETIME_t>(a, before);
    case 6:
        return a.Skip(op * 3u) != 0;
    case 7:
        return a.Seek(op * 5u) != 0;
    case 8:
        return CopyDocument(a, before, op);
    default:
        return ReadRecord(a, before, op);
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
