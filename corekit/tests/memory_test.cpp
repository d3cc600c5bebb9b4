// Heap functions, byte helpers, the random generator and string allocation.
#include <cstring>
#include <set>

#include <gtest/gtest.h>

#include "corekit/memory/memory.h"

namespace {

TEST(Memory, ReallocKeepsContentAndZeroSizeKeepsABlock)
{
    auto *p = static_cast<char *>(MemRealloc(nullptr, 4));
    std::memcpy(p, "abcd", 4);
    p = static_cast<char *>(MemRealloc(p, 1000));
    EXPECT_EQ(0, std::memcmp(p, "abcd", 4));
    p = static_cast<char *>(MemRealloc(p, 2));
    EXPECT_EQ(0, std::memcmp(p, "ab", 2));
    // A size of 0 still hands back a valid block the caller owns and releases.
    void *q = MemRealloc(p, 0);
    ASSERT_NE(nullptr, q);
    MemFree(q);
    MemFree(nullptr);
    void *z = MemAlloc(0);
    ASSERT_NE(nullptr, z);
    MemFree(z);
}

TEST(Memory, CompareIsUnsignedAndIsMemZeroAcceptsEmpty)
{
    const unsigned char a[] = {0x01, 0x80}, b[] = {0x01, 0x7F};
    struct Case
    {
        const void *x, *y;
        int n, expected;
    };
    const Case cases[] = {{a, b, 2, 1}, {b, a, 2, -1}, {a, b, 1, 0}, {a, b, 0, 0}, {a, b, -5, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, Memcmp(c.x, c.y, c.n)) << c.n;

    const unsigned char zeros[5] = {}, tail[5] = {0, 0, 0, 0, 1};
    EXPECT_NE(0, IsMemZero(zeros, 5));
    EXPECT_EQ(0, IsMemZero(tail, 5));
    EXPECT_NE(0, IsMemZero(tail, 4));
    EXPECT_NE(0, IsMemZero(tail, 0));
    EXPECT_NE(0, IsMemZero(nullptr, -1));
}

TEST(Memory, SetCopyAndOverlappingMove)
{
    char buf[8] = "abcdefg";
    Memmove(buf + 1, buf, 5);
    EXPECT_STREQ("aabcdeg", buf);
    Memmove(buf, buf + 2, 3);
    EXPECT_STREQ("bcdcdeg", buf);
    Memset(buf, 'x', 2);
    Memset(buf, 'y', 0);
    Memcpy(buf + 2, "12", 2);
    EXPECT_STREQ("xx12deg", buf);
}

TEST(Memory, RandomIsTwoFifteenBitDraws)
{
    std::set<uint32_t> seen;
    for (int i = 0; i < 1000; ++i) {
        uint32_t r = Random();
        EXPECT_EQ(0u, r & 0x80008000u) << std::hex << r;
        seen.insert(r);
    }
    // A generator that repeats within a thousand draws is broken.
    EXPECT_GT(seen.size(), 990u);
}

TEST(Memory, StrAllocCopiesWithTerminator)
{
    EXPECT_EQ(nullptr, StrAlloc(static_cast<const char *>(nullptr)));
    EXPECT_EQ(nullptr, StrAlloc(static_cast<const char16_t *>(nullptr)));
    char *n = StrAlloc("narrow");
    EXPECT_STREQ("narrow", n);
    MemFree(n);
    char16_t *w = StrAlloc(u"wide");
    EXPECT_EQ(0, std::memcmp(u"wide", w, 10));
    MemFree(w);
    char16_t *room = StrAlloc(3u);
    room[0] = room[1] = room[2] = u'x'; // exactly three units, no terminator slot
    MemFree(room);
}

TEST(Memory, StrReallocReplacesAndReleases)
{
    char *p = StrRealloc(static_cast<char *>(nullptr), "one");
    EXPECT_STREQ("one", p);
    p = StrRealloc(p, "a longer text than before");
    EXPECT_STREQ("a longer text than before", p);
    p = StrReallocEx(p, "x");
    EXPECT_STREQ("x", p);
    EXPECT_EQ(nullptr, StrReallocEx(p, ""));

    char16_t *w = StrRealloc(static_cast<char16_t *>(nullptr), u"");
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(u'\0', w[0]);
    w = StrRealloc(w, u"abc");
    EXPECT_EQ(0, std::memcmp(u"abc", w, 8));
    w = StrRealloc(w, 10u); // ten units; the content is kept
    EXPECT_EQ(0, std::memcmp(u"abc", w, 8));
    EXPECT_EQ(nullptr, StrRealloc(w, static_cast<const char16_t *>(nullptr)));
    char16_t *e = StrAlloc(u"keep");
    EXPECT_EQ(nullptr, StrReallocEx(e, u""));
}

} // namespace
