// XByteBuffer: content accessors, growth, copying and the counted comparisons.
#include <cstring>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "corekit/text/xbyte_buffer.h"

namespace {

std::string Content(const XByteBuffer &b)
{
    uint32_t n = 0;
    const unsigned char *p = b.GetBuffer(&n);
    return p ? std::string(reinterpret_cast<const char *>(p), n) : std::string();
}

TEST(XByteBuffer, EmptyBufferGivesNullEverywhere)
{
    XByteBuffer b;
    uint32_t len = 7;
    EXPECT_EQ(nullptr, b.GetBuffer(&len));
    EXPECT_EQ(0u, len);
    EXPECT_EQ(nullptr, b.GetBuffer());
    EXPECT_EQ(nullptr, b.GetString());
    EXPECT_EQ(0, b.GetAt(0));
    b.Append("x", 1);
    b.SetEmpty();
    // A buffer exists but the length is 0: the content accessors still give null.
    EXPECT_EQ(nullptr, b.GetBuffer());
    EXPECT_EQ(nullptr, static_cast<const char *>(b));
    EXPECT_EQ(nullptr, static_cast<unsigned char *>(b));
    EXPECT_NE(nullptr, b.GetBuffer(&len));
    EXPECT_EQ(0u, len);
}

TEST(XByteBuffer, AppendFormsAndGrowth)
{
    XByteBuffer b;
    b.Append(static_cast<unsigned char>('a'));
    EXPECT_EQ(32u, b.GetCapacity());
    b.Append("bcdef", 2);
    b.Append("xyz", -1);
    b.Append(reinterpret_cast<const unsigned char *>("\0\1"), 2u);
    b.Append(static_cast<const char *>(nullptr), 5);
    b.Append(static_cast<const unsigned char *>(nullptr), 5u);
    b.Append(reinterpret_cast<const unsigned char *>("q"), 0u);
    EXPECT_EQ(std::string("abcxyz\0\1", 8), Content(b));
    EXPECT_EQ(1, b.GetAt(7));
    EXPECT_EQ(0, b.GetAt(8));
    // Doubling, or length + n + 256 when doubling is not enough.
    b.Append(std::string(30, 'k').c_str(), -1);
    EXPECT_EQ(64u, b.GetCapacity());
    b.Append(std::string(100, 'm').c_str(), -1);
    EXPECT_EQ(38u + 100u + 256u, b.GetCapacity());
    // Appending a piece of itself survives the reallocation.
    XByteBuffer self;
    self.SetString("0123456789");
    for (int i = 0; i < 4; ++i)
        self += self;
    EXPECT_EQ(160u, self.GetLength());
    EXPECT_EQ('9', self.GetAt(159));
}

TEST(XByteBuffer, SetStringWritesAnUncountedZero)
{
    XByteBuffer b;
    b.SetString("hello");
    EXPECT_EQ(5u, b.GetLength());
    EXPECT_STREQ("hello", b.GetString());
    b.SetString("");
    EXPECT_EQ(0u, b.GetLength());
    b.SetBuffer(reinterpret_cast<const unsigned char *>("abc"), 3);
    EXPECT_EQ("abc", Content(b));
    b.SetBuffer(nullptr, 3);
    EXPECT_EQ(0u, b.GetLength());
}

TEST(XByteBuffer, BufferEditing)
{
    XByteBuffer b;
    unsigned char *w = b.GetBuffer(10u);
    std::memcpy(w, "abcdef", 6);
    b.CloseBuffer(w + 6);
    EXPECT_EQ("abcdef", Content(b));
    EXPECT_EQ(0, b.BackDelete(7));
    EXPECT_EQ(1, b.BackDelete(2));
    EXPECT_EQ("abcd", Content(b));
    // The end of the buffer is a valid close position; beyond it nothing changes.
    uint32_t length = 0;
    unsigned char *start = b.GetBuffer(&length);
    b.CloseBuffer(start + b.GetCapacity() + 1);
    EXPECT_EQ("abcd", Content(b));
    b.CloseBuffer(start + 1);
    EXPECT_EQ("a", Content(b));
    b.CloseBuffer(start + b.GetCapacity());
    EXPECT_EQ(b.GetCapacity(), b.GetLength());
}

TEST(XByteBuffer, AssignmentCopiesContentAndMoveTransfers)
{
    XByteBuffer a, b;
    a.SetString("content");
    b.SetString("old");
    b = a;
    EXPECT_EQ("content", Content(b));
    EXPECT_NE(a.GetBuffer(), b.GetBuffer()); // a copy, not a shared buffer
    b += a;
    EXPECT_EQ("contentcontent", Content(b));
    b = b;
    EXPECT_EQ("contentcontent", Content(b));
    XByteBuffer empty;
    b = empty;
    EXPECT_EQ(0u, b.GetLength());

    const unsigned char *buffer = a.GetBuffer();
    XByteBuffer c(std::move(a));
    EXPECT_EQ(buffer, c.GetBuffer());
    EXPECT_EQ(0u, a.GetLength());
    EXPECT_FALSE(std::is_copy_constructible_v<XByteBuffer>);
}

TEST(XByteBuffer, CountedComparisons)
{
    XByteBuffer none;
    EXPECT_EQ(-1, none.Strcmp("a", -1));
    EXPECT_EQ(-1, none.Stricmp(nullptr, -1));
    EXPECT_EQ(-1, none.Strncmp("a", 1));
    XByteBuffer b;
    b.SetString("abc");
    EXPECT_EQ(1, b.Strcmp(nullptr, -1));
    EXPECT_EQ(1, b.Strncmp(nullptr, 0));
    struct Case
    {
        const char *s;
        int n;
        int cmp, icmp; // sign of Strcmp and Stricmp
    };
    const Case cases[] = {
        {"abc", -1, 0, 0},  {"abcd", -1, -1, -1}, {"ab", -1, 1, 1},  {"abd", -1, -1, -1},
        {"ABC", -1, 1, 0},  {"abcd", 3, 0, 0},    {"abx", 2, 1, 1},  {"", -1, 1, 1},
        {"ab\0d", 4, 1, 1}, {"abc\0", 4, -1, -1}, {"aBcD", 3, 1, 0},
    };
    auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    for (const Case &c : cases) {
        EXPECT_EQ(c.cmp, sign(b.Strcmp(c.s, c.n))) << c.s << "/" << c.n;
        EXPECT_EQ(c.icmp, sign(b.Stricmp(c.s, c.n))) << c.s << "/" << c.n;
        if (c.n >= 0) {
            EXPECT_EQ(c.cmp, sign(b.Strncmp(c.s, c.n))) << c.s << "/" << c.n;
            EXPECT_EQ(c.icmp, sign(b.Strnicmp(c.s, c.n))) << c.s << "/" << c.n;
        }
    }
    // A content longer than the counted string is never equal to it (it orders after).
    XByteBuffer longer;
    longer.SetString("abcdef");
    EXPECT_EQ(1, longer.Strcmp("abc", 3));
    EXPECT_EQ(1, longer.Strncmp("abc", 3));
}

TEST(XByteBuffer, CodePageAppend)
{
    XByteBuffer b;
    b.Append(static_cast<unsigned char>('>'));
    b.Append(1, u"\u4E2D", -1);
    EXPECT_EQ(">\xE4\xB8\xAD", Content(b));
    const char *text = b.WStrToCStr(0, u"\u4E2Dx", 2);
    EXPECT_STREQ("\xD6\xD0x", text);
    EXPECT_EQ(b.GetString() + 4, text);
    EXPECT_EQ(7u, b.GetLength());
    EXPECT_EQ(nullptr, b.WStrToCStr(4, u"\u4E2D", -1)); // nothing maps to Latin-1
    EXPECT_EQ(nullptr, b.WStrToCStr(1, u"", -1));
    b.Append(3, u"AB", 1);
    EXPECT_EQ(std::string(">\xE4\xB8\xAD\xD6\xD0x\0A", 9), Content(b));
    b.Append(2, static_cast<const char16_t *>(nullptr), -1);
    EXPECT_EQ(9u, b.GetLength());
}

} // namespace
