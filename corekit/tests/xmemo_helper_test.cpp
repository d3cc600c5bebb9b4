// XMemoHelper: packing, block sizes, rewinding and reuse of spare blocks.
#include <cstring>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "corekit/memory/xmemo_helper.h"

namespace {

char *At(void *p, long offset)
{
    return static_cast<char *>(p) + offset;
}

TEST(XMemoHelper, AllocationsArePackedBackToBack)
{
    XMemoHelper m;
    EXPECT_EQ(nullptr, m.GetPointer());
    void *a = m.Malloc(3);
    void *b = m.Malloc(5);
    EXPECT_EQ(At(a, 3), b);
    EXPECT_EQ(At(a, 8), m.GetPointer());
    // Reserve a maximum, keep part of it, and the next allocation follows directly.
    void *r = m.Malloc(100);
    m.CloseMalloc(r, 10);
    EXPECT_EQ(At(r, 10), m.Malloc(1));
}

TEST(XMemoHelper, LargeRequestGetsItsOwnExactBlockAndIsReleasedOnRewind)
{
    XMemoHelper m;
    void *small = m.Malloc(100);
    void *large = m.Malloc(40000);
    EXPECT_NE(At(small, 100), large);
    // The large block holds exactly 40000 bytes: one more byte needs a new block.
    std::memset(large, 0x5A, 40000);
    EXPECT_NE(At(large, 40000), m.Malloc(1));
    m.PopupMalloc(small);
    EXPECT_EQ(small, m.GetPointer()); // used = 0 in the standard block
    EXPECT_EQ(small, m.Malloc(8));
}

TEST(XMemoHelper, StandardBlocksAreReused)
{
    XMemoHelper m;
    void *first = m.Malloc(10);
    m.Malloc(XMemoHelper::kBlockSize); // fills a second standard-size block
    m.ClearBuffer();
    EXPECT_EQ(nullptr, m.GetPointer());
    void *again = m.Malloc(10);
    void *other = m.Malloc(XMemoHelper::kBlockSize - 10);
    // Both blocks come back from the spare chain, in some order.
    EXPECT_TRUE(again == first || other == first);

    m.PopupMalloc(nullptr); // standard blocks go to the spare chain
    EXPECT_EQ(nullptr, m.GetPointer());
    void *reused = m.Malloc(20);
    EXPECT_TRUE(reused == first || reused == again || reused == other);
}

TEST(XMemoHelper, SpareBlockTooSmallStaysSpare)
{
    XMemoHelper m;
    void *standard = m.Malloc(1);
    m.ClearBuffer();
    void *big = m.Malloc(XMemoHelper::kBlockSize + 1); // spare too small: a new block
    EXPECT_NE(standard, big);
    EXPECT_EQ(standard, m.Malloc(XMemoHelper::kBlockSize)); // the spare one, still there
}

TEST(XMemoHelper, RewindAcrossBlocks)
{
    XMemoHelper m;
    void *a = m.Malloc(XMemoHelper::kBlockSize - 4);
    void *b = m.Malloc(16); // second block
    m.Malloc(16);
    m.PopupMalloc(At(a, 2));
    EXPECT_EQ(At(a, 2), m.GetPointer());
    EXPECT_EQ(At(a, 2), m.Malloc(2));
    (void)b;
    // A pointer outside every block in use changes nothing.
    int local = 0;
    m.PopupMalloc(&local);
    EXPECT_EQ(At(a, 4), m.GetPointer());
    // The end of a data area lies outside the block.
    m.Malloc(8);
    m.PopupMalloc(At(a, XMemoHelper::kBlockSize));
    EXPECT_EQ(At(a, 12), m.GetPointer());
}

TEST(XMemoHelper, StringClones)
{
    XMemoHelper m;
    EXPECT_EQ(nullptr, m.StrClone(nullptr));
    EXPECT_EQ(nullptr, m.StrClone(nullptr, 3));
    char16_t *a = m.StrClone(u"abc");
    EXPECT_EQ(std::u16string(u"abc"), a);
    char16_t *b = m.StrClone(u"defgh", 2);
    EXPECT_EQ(std::u16string(u"de"), b);
    EXPECT_EQ(a + 4, b);
    // Wide allocations stay on even addresses after an odd narrow one.
    m.Malloc(1);
    char16_t *c = m.MallocEx(3);
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(c) % 2);
    c[0] = u'x';
    m.CloseStrMalloc(c, 1);
    EXPECT_EQ(static_cast<void *>(c + 1), m.GetPointer());
}

TEST(XMemoHelper, MoveTransfersBlocks)
{
    XMemoHelper a;
    void *p = a.Malloc(4);
    XMemoHelper b(std::move(a));
    EXPECT_EQ(nullptr, a.GetPointer());
    EXPECT_EQ(At(p, 4), b.GetPointer());
    XMemoHelper c;
    c.Malloc(1);
    c = std::move(b);
    EXPECT_EQ(At(p, 4), c.GetPointer());
}

} // namespace
