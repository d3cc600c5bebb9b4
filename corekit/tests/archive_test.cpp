// Memory and byte archives, and the document byte form written and read through them.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/archive/archive.h"
#include "corekit/memory/memory.h"
#include "corekit/memory/xmemo_helper.h"

namespace {

std::vector<uint8_t> Content(XMemoArchive &a)
{
    std::vector<uint8_t> bytes(a.GetMaxSize());
    a.InitReader();
    EXPECT_EQ(1, a.Read(bytes.data(), a.GetMaxSize()));
    return bytes;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> list)
{
    return std::vector<uint8_t>(list.begin(), list.end());
}

// An archive over a copy of the given bytes.
struct ByteDoc
{
    explicit ByteDoc(const std::vector<uint8_t> &bytes)
    {
        archive.CloneBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    XByteArchive archive;
};

uint32_t Where(const IArchive &a)
{
    uint32_t pos = 0xFFFF;
    a.Tell(&pos);
    return pos;
}

} // namespace

// ---- The document byte form ------------------------------------------------------------

TEST(ArchiveDoc, WritesTheDocumentForms)
{
    XMemoArchive a;
    StrToDoc(&a, u"ab");
    EXPECT_EQ(Bytes({3, 0, 0, 0, 'a', 0, 'b', 0, 0, 0}), Content(a));

    a.ClearDoc();
    StrToDoc(&a, static_cast<const char16_t *>(nullptr));
    EXPECT_EQ(Bytes({0, 0, 0, 0}), Content(a));

    a.ClearDoc();
    StrToDoc(&a, u"xyz", 2);
    EXPECT_EQ(Bytes({2, 0, 0, 0, 'x', 0, 'y', 0}), Content(a));

    a.ClearDoc();
    const DATETIME_t t{2024, 3, 5, 7, 8, 9, 10};
    TimeToDoc(&a, &t);
    EXPECT_EQ(Bytes({0xE8, 0x07, 3, 5, 7, 8, 9, 0x0A}), Content(a));

    a.ClearDoc();
    const uint32_t v = 0x01020304;
    IntToDoc(&a, &v, 4);
    EXPECT_EQ(Bytes({4, 3, 2, 1}), Content(a));
}

TEST(ArchiveDoc, RoundTripsEveryForm)
{
    XMemoArchive a;
    const uint16_t shorts[3] = {1, 0xFFFF, 0x1234};
    const int64_t big = -2;
    const SYSTIME_t st{2024, 12, 31, 23, 59, 58, 2, 999};
    const DATETIME_t dt{1999, 1, 2, 3, 4, 5, 99};
    ASSERT_EQ(1, IntToDoc(&a, shorts, 2, 3));
    ASSERT_EQ(1, IntToDoc(&a, &big, 8));
    ASSERT_EQ(1, StrToDoc(&a, u"中文 text"));
    ASSERT_EQ(1, TimeToDoc(&a, &st));
    ASSERT_EQ(1, TimeToDoc(&a, &dt));
    ASSERT_EQ(1, StrToDoc(&a, u""));

    a.InitReader();
    uint16_t s[3] = {};
    int64_t b = 0;
    SYSTIME_t st2{};
    DATETIME_t dt2{};
    ASSERT_EQ(1, IntFromDoc(&a, s, 2, 3));
    ASSERT_EQ(1, IntFromDoc(&a, &b, 8));
    char16_t *text = StrFromDoc(&a);
    ASSERT_EQ(1, TimeFromDoc(&a, &st2));
    ASSERT_EQ(1, TimeFromDoc(&a, &dt2));
    char16_t *empty = StrFromDoc(&a);
    EXPECT_TRUE(a.IsEndOfDoc());

    EXPECT_EQ(0, std::memcmp(shorts, s, sizeof(s)));
    EXPECT_EQ(big, b);
    EXPECT_EQ(std::u16string(u"中文 text"), text);
    EXPECT_EQ(0, std::memcmp(&st, &st2, sizeof(st)));
    EXPECT_EQ(0, std::memcmp(&dt, &dt2, sizeof(dt)));
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(u'\0', empty[0]);
    MemFree(text);
    MemFree(empty);
}

TEST(ArchiveDoc, StrFromDocNullAndCut)
{
    ByteDoc null(Bytes({0, 0, 0, 0}));
    EXPECT_EQ(nullptr, StrFromDoc(&null.archive));
    EXPECT_EQ(4u, Where(null.archive)); // an absent string is read, not refused

    XMemoArchive a;
    StrToDoc(&a, u"abcdef"); // seven units with the terminator
    StrToDoc(&a, u"z");
    a.InitReader();
    char16_t buf[3] = {u'q', u'q', u'q'};
    EXPECT_EQ(2u, StrFromDoc(&a, buf, 3));
    EXPECT_EQ(std::u16string(u"ab"), buf);
    // The rest of the cut string is skipped, so the next string reads whole.
    char16_t next[4];
    EXPECT_EQ(2u, StrFromDoc(&a, next, 4));
    EXPECT_EQ(std::u16string(u"z"), next);

    a.InitReader();
    char16_t exact[7];
    EXPECT_EQ(7u, StrFromDoc(&a, exact, 7));
    EXPECT_EQ(std::u16string(u"abcdef"), exact);

    ByteDoc zero(Bytes({0, 0, 0, 0}));
    EXPECT_EQ(1u, StrFromDoc(&zero.archive, buf, 3));
    EXPECT_EQ(u'\0', buf[0]);
}

// Every malformed string is refused with the cursor back at the count and nothing kept.
TEST(ArchiveDoc, RefusesMalformedStrings)
{
    const std::vector<uint8_t> cases[] = {
        Bytes({5, 0, 0, 0, 'a', 0, 0, 0}),           // count past the end
        Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}),     // huge count
        Bytes({2, 0, 0, 0, 'a', 0, 'b', 0}),         // no terminator
        Bytes({3, 0, 0, 0, 'a', 0, 'b', 0, 'c', 0}), // no terminator, longer than cap
        Bytes({3, 0, 0}),                            // count cut off
    };
    for (const auto &bytes : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        ByteDoc d(bytes);
        EXPECT_EQ(nullptr, StrFromDoc(&d.archive));
        EXPECT_EQ(0u, Where(d.archive));

        XMemoHelper arena;
        arena.Malloc(6);
        void *top = arena.GetPointer();
        EXPECT_EQ(nullptr, StrFromDoc(&d.archive, &arena));
        EXPECT_EQ(top, arena.GetPointer());
        EXPECT_EQ(0u, Where(d.archive));

        char16_t buf[2] = {u'q', u'q'};
        EXPECT_EQ(0u, StrFromDoc(&d.archive, buf, 2));
        EXPECT_EQ(u'\0', buf[0]);
        EXPECT_EQ(0u, Where(d.archive));
    }
    ByteDoc ok(Bytes({2, 0, 0, 0, 'a', 0, 0, 0}));
    char16_t never = u'q';
    EXPECT_EQ(0u, StrFromDoc(&ok.archive, &never, 0)); // capacity 0: nothing written
    EXPECT_EQ(u'q', never);
}

TEST(ArchiveDoc, ReadStrDocChecksTheLength)
{
    ByteDoc d(Bytes({'a', 0, 'b', 0, 'c', 0}));
    EXPECT_EQ(nullptr, ReadStrDoc(&d.archive, 4u));
    EXPECT_EQ(0u, Where(d.archive));
    char16_t *s = ReadStrDoc(&d.archive, 3u);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(std::u16string(u"abc"), s);
    MemFree(s);

    XMemoHelper arena;
    d.archive.InitReader();
    EXPECT_EQ(nullptr, ReadStrDoc(&d.archive, 0x80000000u, &arena));
    EXPECT_EQ(std::u16string(u"ab"), ReadStrDoc(&d.archive, 2u, &arena));

    const uint16_t doc[2] = {'h', 'i'};
    char16_t buf[2];
    EXPECT_EQ(1, ReadStrDoc(doc, buf, 2));
    EXPECT_EQ(u'i', buf[1]);
    uint16_t out[2];
    EXPECT_EQ(1, WriteStrDoc(out, u"hi", 2));
    EXPECT_EQ(0, std::memcmp(doc, out, 4));
}

TEST(ArchiveDoc, ShortReadsAndFullWindowsMoveNothing)
{
    ByteDoc d(Bytes({1, 2, 3}));
    uint32_t v = 0xAAAAAAAA;
    EXPECT_EQ(0, IntFromDoc(&d.archive, &v, 4));
    EXPECT_EQ(0xAAAAAAAAu, v);
    SYSTIME_t st{};
    EXPECT_EQ(0, TimeFromDoc(&d.archive, &st));
    EXPECT_EQ(0u, Where(d.archive));

    // A string that does not fit the window leaves the cursor where it was.
    uint8_t window[8] = {};
    XByteArchive w;
    w.SetBuffer(window, sizeof(window));
    EXPECT_EQ(0, StrToDoc(&w, u"abc"));
    EXPECT_EQ(0u, Where(w));
    EXPECT_EQ(1, StrToDoc(&w, u"a"));
    EXPECT_EQ(8u, Where(w));
}

// ---- XMemoArchive ----------------------------------------------------------------------

TEST(MemoArchive, GrowsInBlocksAndReadsWithinTheSize)
{
    XMemoArchive a;
    std::vector<uint8_t> data(40000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 7);
    ASSERT_EQ(1, a.Write(data.data(), 40000));
    EXPECT_EQ(2u, a.GetBlockCount());
    EXPECT_EQ(40000u, a.GetMaxSize());

    a.InitReader();
    std::vector<uint8_t> back(40001, 0xEE);
    EXPECT_EQ(0, a.Read(back.data(), 40001));
    EXPECT_EQ(0u, Where(a));
    EXPECT_EQ(0xEE, back[0]);
    uint32_t n = 40001;
    EXPECT_EQ(1, a.ReadEx(back.data(), &n));
    EXPECT_EQ(40000u, n);
    back.resize(40000);
    EXPECT_EQ(data, back);
    EXPECT_TRUE(a.IsEndOfDoc());

    // Seek lands anywhere inside, across the block boundary too.
    ASSERT_EQ(1, a.Seek(32767));
    uint8_t two[2];
    ASSERT_EQ(1, a.Read(two, 2));
    EXPECT_EQ(data[32767], two[0]);
    EXPECT_EQ(data[32768], two[1]);
    EXPECT_EQ(0, a.Seek(40001));
    EXPECT_EQ(32769u, Where(a));
}

TEST(MemoArchive, EmptyArchiveEdges)
{
    XMemoArchive a;
    uint32_t pos = 7;
    EXPECT_EQ(0, a.Tell(&pos)); // no block under the cursor yet
    EXPECT_EQ(0, a.Skip(10));
    EXPECT_EQ(0u, a.GetMaxSize());
    EXPECT_TRUE(a.IsEndOfDoc());
    EXPECT_EQ(nullptr, a.GetStrBuffer());

    // Overwriting in the middle keeps the size at the highest position written.
    a.Write("abcdef", 6);
    a.Seek(2);
    a.Write("XY", 2);
    EXPECT_EQ(6u, a.GetMaxSize());
    EXPECT_EQ(4u, Where(a));
    EXPECT_EQ(Bytes({'a', 'b', 'X', 'Y', 'e', 'f'}), Content(a));
    a.ClearDoc();
    EXPECT_EQ(0u, a.GetBlockCount());
    EXPECT_EQ(0u, a.GetMaxSize());
}

TEST(MemoArchive, StrBufferInPlaceAndCopied)
{
    XMemoArchive a;
    WriteStrDoc(&a, u"hello", 5);
    EXPECT_EQ(std::u16string(u"hello"), a.GetStrBuffer());
    EXPECT_EQ(10u, Where(a)); // in place: the cursor stays

    // An odd size keeps its last byte intact.
    a.Write("!", 1);
    EXPECT_EQ(std::u16string(u"hello"), a.GetStrBuffer());
    EXPECT_EQ('!', Content(a).back());

    XMemoArchive big;
    const std::u16string text(20000, u'x');
    WriteStrDoc(&big, text.c_str(), 20000);
    big.InitReader();
    EXPECT_EQ(text, big.GetStrBuffer());
    EXPECT_TRUE(big.IsEndOfDoc());
}

TEST(MemoArchive, ReferenceCountAndCopies)
{
    XMemoArchive *a = XMemoArchive::Malloc();
    EXPECT_EQ(kMemoArchiveClass, a->GetClass());
    EXPECT_EQ(2u, a->AddRef());
    EXPECT_EQ(1u, a->Release());
    std::vector<uint8_t> data(20000, 0x5A);
    a->Write(data.data(), 20000);
    a->InitReader();

    XByteArchive *b = XByteArchive::Malloc();
    std::vector<uint8_t> window(20000);
    b->SetBuffer(window.data(), 20000);
    EXPECT_EQ(0, a->ReadDoc(b, 20001)); // more than a holds: nothing copied
    EXPECT_EQ(0u, Where(*a));
    EXPECT_EQ(1, a->ReadDoc(b, 20000));
    EXPECT_EQ(data, window);

    XMemoArchive c;
    b->InitReader();
    EXPECT_EQ(1, c.WriteDoc(b, 20000));
    EXPECT_EQ(data, Content(c));
    EXPECT_EQ(0u, a->Release());
    EXPECT_EQ(0u, b->Release());
}

// ---- XByteArchive ----------------------------------------------------------------------

TEST(ByteArchive, WindowBounds)
{
    uint8_t window[4] = {};
    XByteArchive a;
    a.SetBuffer(window, 4);
    EXPECT_EQ(0, a.Write("abcde", 5));
    EXPECT_EQ(0u, Where(a));
    uint32_t n = 5;
    EXPECT_EQ(1, a.WriteEx("abcde", &n));
    EXPECT_EQ(4u, n);
    EXPECT_EQ(0, std::memcmp(window, "abcd", 4));
    EXPECT_TRUE(a.IsEndOfDoc());
    EXPECT_EQ(0, a.Skip(1));
    EXPECT_EQ(0, a.Seek(5));
    EXPECT_EQ(1, a.Seek(4));
    EXPECT_EQ(1, a.Seek(1));
    EXPECT_EQ(1, a.Skip(3));
    a.ClearDoc();
    EXPECT_EQ(0u, Where(a));
    uint8_t back[8];
    n = 8;
    EXPECT_EQ(1, a.ReadEx(back, &n));
    EXPECT_EQ(4u, n);

    uint32_t size = 0;
    EXPECT_EQ(window, a.GetBuffer(&size));
    EXPECT_EQ(4u, size);

    // Owned buffers: cloned, attached, and released when replaced.
    a.CloneBuffer("xyz", 3);
    EXPECT_NE(static_cast<void *>(window), a.GetBuffer(&size));
    EXPECT_EQ(3u, size);
    auto *heap = static_cast<uint8_t *>(MemAlloc(2));
    a.AttachBuffer(heap, 2);
    EXPECT_EQ(heap, a.GetBuffer(nullptr));
    a.SetBuffer(nullptr, 10);
    EXPECT_EQ(0u, a.GetMaxSize());
}

// ---- Described structures and byte order ----------------------------------------------

TEST(StructDesc, SizesAndRoundTrip)
{
    const XStructDesc noGap[] = {{kFieldInteger, 4}, {kFieldText, 3}, {kFieldFloater, 8}};
    EXPECT_EQ(18u, GetStructDocSize(noGap, 3));
    EXPECT_EQ(18u, GetStructMemSize(noGap, 3));

    // A record of 4 + 6 + 2 (raw) + 12 bytes: the floater keeps a 4-byte gap in memory that
    // the document omits.
    const XStructDesc desc[] = {{kFieldInteger, 4}, {kFieldText, 3}, {99, 2}, {kFieldFloater, 12}};
    uint8_t rec[24];
    std::memset(rec, 0, sizeof(rec));
    const int32_t id = -5;
    const double amount = 2.5;
    std::memcpy(rec, &id, 4);
    std::memcpy(rec + 4, u"abc", 6);
    rec[10] = rec[11] = 0x77;
    std::memcpy(rec + 12, &amount, 8);
    rec[20] = 0x99; // the gap: not written, zeroed on reading

    uint8_t doc[32] = {};
    EXPECT_EQ(20u, SaveStructDesc(doc, rec, desc, 4));
    EXPECT_EQ(Bytes({0xFB, 0xFF, 0xFF, 0xFF, 'a', 0, 'b', 0, 'c',  0,
                     0x77, 0x77, 0,    0,    0,   0, 0,   0, 0x04, 0x40}),
              std::vector<uint8_t>(doc, doc + 20));

    uint8_t back[24];
    std::memset(back, 0xEE, sizeof(back));
    EXPECT_EQ(24u, ReadStructDesc(back, doc, desc, 4));
    rec[20] = 0;
    EXPECT_EQ(0, std::memcmp(rec, back, sizeof(rec)));
    EXPECT_EQ(0u, ReadStructDesc(back, doc, 19, desc, 4)); // one byte short
    EXPECT_EQ(24u, ReadStructDesc(back, doc, 20, desc, 4));
    EXPECT_EQ(1, ReadStructDesc(back, desc, 4)); // in place on a little-endian host
}

TEST(StructDesc, IntegerWidths)
{
    // Columns: declared size, document bytes.
    const std::pair<uint16_t, unsigned> widths[] = {{1, 2}, {2, 2}, {3, 2}, {4, 4},
                                                    {6, 4}, {8, 8}, {12, 8}};
    for (const auto &[size, docBytes] : widths) {
        const XStructDesc d{kFieldInteger, size};
        uint8_t mem[12];
        for (unsigned i = 0; i < 12; ++i)
            mem[i] = static_cast<uint8_t>(0x11 * (i + 1));
        uint8_t doc[16] = {};
        EXPECT_EQ(docBytes, SaveStructDesc(doc, mem, &d, 1)) << size;
        uint8_t back[12];
        std::memset(back, 0xEE, sizeof(back));
        EXPECT_EQ(size, ReadStructDesc(back, doc, &d, 1));
        for (unsigned i = 0; i < size; ++i)
            EXPECT_EQ(i < docBytes ? mem[i] : 0, back[i]) << size << " byte " << i;
    }
}

TEST(ByteOrder, SwitchAndEndian)
{
    EXPECT_EQ(0u, GetEndianMode());
    uint8_t v[6] = {1, 2, 3, 4, 5, 6};
    SwitchInteger(v, 2, 3);
    EXPECT_EQ(Bytes({2, 1, 4, 3, 6, 5}), std::vector<uint8_t>(v, v + 6));
    SwitchInteger(v, 1);
    EXPECT_EQ(2, v[0]);
    uint8_t out[4];
    SwitchInteger(out, v, 4);
    EXPECT_EQ(Bytes({3, 4, 1, 2}), std::vector<uint8_t>(out, out + 4));
    EndianInteger(0, out, v, 4);
    EXPECT_EQ(0, std::memcmp(out, v, 4));
    EndianInteger(0, v, 2, 3);
    EXPECT_EQ(2, v[0]);
}
