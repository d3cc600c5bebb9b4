// XString: null state versus empty text, growth, editing and buffer hand-over.
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "corekit/memory/memory.h"
#include "corekit/text/xstring.h"

namespace {

std::u16string Text(const XString &s)
{
    return s.GetString() ? std::u16string(s.GetString()) : std::u16string(u"<null>");
}

TEST(XString, NullStateDiffersFromEmptyText)
{
    XString null;
    XString empty;
    empty.SetString(u"");
    EXPECT_EQ(nullptr, null.GetString());
    EXPECT_EQ(0u, null.GetLength());
    ASSERT_NE(nullptr, empty.GetString());
    EXPECT_EQ(u'\0', empty.GetString()[0]);
    EXPECT_EQ(0u, empty.GetLength());

    EXPECT_TRUE(null == nullptr);
    EXPECT_FALSE(empty == nullptr);
    EXPECT_FALSE(null == u"");
    EXPECT_TRUE(empty == u"");

    XString fromNull(static_cast<const char16_t *>(nullptr));
    EXPECT_EQ(nullptr, fromNull.GetString());
    XString set(u"x");
    set.SetString(static_cast<const char16_t *>(nullptr));
    EXPECT_EQ(nullptr, set.GetString());
    set = u"";
    EXPECT_NE(nullptr, set.GetString());
}

TEST(XString, NullStateComparisons)
{
    XString null;
    const char16_t *none = nullptr;
    // == and >= hold only for null, != and < only for non-null, <= always, > never.
    EXPECT_TRUE(null == none);
    EXPECT_TRUE(null >= none);
    EXPECT_FALSE(null == u"a");
    EXPECT_FALSE(null >= u"a");
    EXPECT_TRUE(null != u"a");
    EXPECT_TRUE(null < u"a");
    EXPECT_FALSE(null != none);
    EXPECT_FALSE(null < none);
    EXPECT_TRUE(null <= none);
    EXPECT_TRUE(null <= u"a");
    EXPECT_FALSE(null > none);
    EXPECT_FALSE(null > u"a");
    EXPECT_EQ(-1, null.Strcmp(u""));
    EXPECT_EQ(0, null.Strcmp(none));
    EXPECT_EQ(-1, null.Stricmp(u"a"));
    EXPECT_EQ(-1, null.Strncmp(u"a", 1));
    EXPECT_EQ(0, null.Strnicmp(none, 1));

    XString b(u"b");
    EXPECT_TRUE(b > u"a");
    EXPECT_TRUE(b >= u"b");
    EXPECT_TRUE(b < u"c");
    EXPECT_TRUE(b > none);
    EXPECT_EQ(1, b.Strcmp(none));
    EXPECT_EQ(0, b.Stricmp(u"B"));
    EXPECT_EQ(0, XString(u"abc").Strncmp(u"abd", 2));
    EXPECT_EQ(0, XString(u"ABC").Strnicmp(u"abd", 2));
}

TEST(XString, GrowthRule)
{
    // need = n + 1 for a string that holds nothing, at least 32.
    struct Case
    {
        unsigned appended;
        uint32_t capacity;
    };
    const Case cases[] = {{1, 32}, {31, 32}, {32, 33}, {33, 34}, {0, 32}};
    for (const Case &c : cases) {
        XString s;
        s.Append(std::u16string(c.appended, u'x').c_str());
        EXPECT_EQ(c.capacity, s.GetCapacity()) << c.appended;
        EXPECT_EQ(c.appended, s.GetLength());
    }
    // Doubling, or need + length + 256 when doubling is not enough.
    XString s(u"abc");
    s.Append(std::u16string(40, u'y').c_str());
    EXPECT_EQ(64u, s.GetCapacity());
    s.Append(std::u16string(200, u'z').c_str());
    EXPECT_EQ(200u + 44u + 256u, s.GetCapacity());
    EXPECT_EQ(243u, s.GetLength());
}

TEST(XString, AppendForms)
{
    XString s;
    s.AppendChar(u'a');
    s += u"bc";
    s.Append(u"defg", 2);
    s.Append(static_cast<const char16_t *>(nullptr));
    s.Append(static_cast<const char16_t *>(nullptr), 3);
    XString other(u"XY"), null;
    s.Append(other);
    s.Append(null);
    EXPECT_EQ(u"abcdeXY", Text(s));
    // Appending a piece of itself survives the reallocation that the append causes.
    s.Append(s.GetString() + 5);
    s.Append(s);
    EXPECT_EQ(u"abcdeXYXYabcdeXYXY", Text(s));
    s.SetString(s.GetString() + 9, 3);
    EXPECT_EQ(u"abc", Text(s));
    XString n;
    n.Append(u"ab", 0);
    EXPECT_EQ(u"", Text(n));
}

TEST(XString, IndexedAccessNeverTouchesTheTerminator)
{
    XString s(u"abc");
    EXPECT_EQ(u'c', s.GetAt(2));
    EXPECT_EQ(0, s.GetAt(3));
    EXPECT_EQ(0, s.GetAt(100));
    EXPECT_EQ(1, s.SetAt(2, u'z'));
    EXPECT_EQ(0, s.SetAt(3, u'q'));
    EXPECT_EQ(3u, s.GetLength());
    EXPECT_EQ(u"abz", Text(s));
    EXPECT_EQ(0, XString().GetAt(0));
    EXPECT_EQ(0, XString().SetAt(0, u'a'));
}

TEST(XString, LengthEditing)
{
    XString s(u"abcdef");
    EXPECT_EQ(0, s.SetLength(7));
    EXPECT_EQ(1, s.SetLength(4));
    EXPECT_EQ(u"abcd", Text(s));
    EXPECT_EQ(0, s.BackDelete(5));
    EXPECT_EQ(u"abcd", Text(s));
    EXPECT_EQ(1, s.BackDelete(1));
    EXPECT_EQ(u"abc", Text(s));
    // Deleting the whole length leaves an empty text, not the null state.
    EXPECT_EQ(1, s.BackDelete(3));
    EXPECT_NE(nullptr, s.GetString());
    EXPECT_EQ(0u, s.GetLength());
    XString null;
    EXPECT_EQ(1, null.BackDelete(0));
    EXPECT_EQ(0, null.BackDelete(1));
    EXPECT_EQ(nullptr, null.GetString());
    // SetEmpty returns to the null state and keeps the buffer.
    XString t(u"keep");
    uint32_t capacity = t.GetCapacity();
    t.SetEmpty();
    EXPECT_EQ(nullptr, t.GetString());
    EXPECT_EQ(capacity, t.GetCapacity());
}

TEST(XString, WriteThroughBuffer)
{
    XString s;
    char16_t *w = s.GetBuffer(5);
    ASSERT_NE(nullptr, s.GetString()); // holds an empty text now
    w[0] = u'h';
    w[1] = u'i';
    s.CloseBuffer(w + 2);
    EXPECT_EQ(u"hi", Text(s));
    w = s.GetBuffer(3);
    EXPECT_EQ(s.GetString() + 2, w);
    w[0] = u'!';
    s.CloseBuffer(w + 1);
    EXPECT_EQ(u"hi!", Text(s));
    // Out of the buffer: nothing changes.
    s.CloseBuffer(const_cast<char16_t *>(s.GetString()) + s.GetCapacity());
    s.CloseBuffer(nullptr);
    EXPECT_EQ(u"hi!", Text(s));
    s.CloseBuffer(const_cast<char16_t *>(s.GetString()) + 1);
    EXPECT_EQ(u"h", Text(s));
}

TEST(XString, TrimAndCase)
{
    XString s(u"  ab  ");
    s.Trim();
    EXPECT_EQ(2u, s.GetLength());
    s.AppendChar(u'c');
    EXPECT_EQ(u"abc", Text(s));
    XString l(u"\t x "), r(u" x \n");
    l.LTrim();
    r.RTrim();
    EXPECT_EQ(u"x ", Text(l));
    EXPECT_EQ(u" x", Text(r));
    XString blanks(u"   ");
    blanks.Trim();
    EXPECT_EQ(u"", Text(blanks));
    XString m(u"aB\u00E9z");
    m.MakeUpper();
    EXPECT_EQ(u"AB\u00E9Z", Text(m));
    m.MakeLower();
    EXPECT_EQ(u"ab\u00E9z", Text(m));
    XString null;
    null.Trim();
    null.MakeUpper();
    EXPECT_EQ(nullptr, null.GetString());
}

TEST(XString, Search)
{
    XString s(u"abcabc");
    EXPECT_EQ(s.GetString() + 2, s.StrChar(u'c'));
    EXPECT_EQ(s.GetString() + 6, s.StrChar(0));
    EXPECT_EQ(nullptr, s.StrChar(u'x'));
    EXPECT_EQ(s.GetString() + 1, s.StrStr(u"bc"));
    XString null;
    EXPECT_EQ(nullptr, null.StrChar(0));
    EXPECT_EQ(nullptr, null.StrStr(u""));
}

TEST(XString, SubStr)
{
    XString s(u"abcdef"), out(u"old");
    struct Case
    {
        unsigned from, n;
        const char16_t *expected;
    };
    const Case cases[] = {{0, 99, u"abcdef"}, {2, 3, u"cde"},    {4, 99, u"ef"},
                          {6, 1, u""},        {7, 1, u"<null>"}, {1, 0, u""}};
    for (const Case &c : cases) {
        EXPECT_EQ(0, s.SubStr(&out, c.from, c.n));
        EXPECT_EQ(c.expected, Text(out)) << c.from;
    }
    s.SubStr(&out, 6);
    EXPECT_EQ(u"", Text(out));
    s.SubStr(&out, 7);
    EXPECT_EQ(u"<null>", Text(out));
    s.SubStr(&out, 3);
    EXPECT_EQ(u"def", Text(out));
}

TEST(XString, DetachAndAttach)
{
    XString s(u"own");
    char16_t *p = s.Detach();
    EXPECT_EQ(nullptr, s.GetString());
    EXPECT_EQ(0u, s.GetCapacity());
    EXPECT_EQ(std::u16string(u"own"), p);

    XString t(u"replaced");
    t.Attach(p); // t now owns p and releases its old buffer
    EXPECT_EQ(p, t.GetString());
    EXPECT_EQ(4u, t.GetCapacity());
    t.Attach(static_cast<char16_t *>(nullptr));
    EXPECT_EQ(u"own", Text(t));
    t.Append(u" text");
    EXPECT_EQ(u"own text", Text(t));

    XString null;
    EXPECT_EQ(nullptr, null.Detach());
    XString u;
    u.Attach(&null); // null state: nothing moves
    EXPECT_EQ(nullptr, u.GetString());
    u.Attach(&t);
    EXPECT_EQ(u"own text", Text(u));
    EXPECT_EQ(9u, u.GetCapacity());
    EXPECT_EQ(nullptr, t.GetString());
    EXPECT_EQ(0u, t.GetCapacity());
    u.Attach(&u);
    EXPECT_EQ(u"own text", Text(u));
}

TEST(XString, MoveTransfersTheBuffer)
{
    XString a(u"moved");
    const char16_t *buffer = a.GetString();
    XString b(std::move(a));
    EXPECT_EQ(buffer, b.GetString());
    EXPECT_EQ(nullptr, a.GetString());
    XString c(u"x");
    c = std::move(b);
    EXPECT_EQ(buffer, c.GetString());
    EXPECT_FALSE(std::is_copy_constructible_v<XString>);
    EXPECT_FALSE(std::is_copy_assignable_v<XString>);
}

TEST(XString, CodePageForms)
{
    XString s("\xE4\xB8\xAD"
              "a",
              1);
    EXPECT_EQ(u"\u4E2Da", Text(s));
    s.Append("\xD6\xD0", 0); // CP936
    s.Append("bcd", 2u, 4);
    EXPECT_EQ(u"\u4E2Da\u4E2Dbc", Text(s));
    s.SetString("\x00\x41\x00\x42", 4u, 3);
    EXPECT_EQ(u"AB", Text(s));
    s.SetString(static_cast<const char *>(nullptr), 1);
    EXPECT_EQ(nullptr, s.GetString());
    s.SetString("", 1);
    EXPECT_EQ(u"", Text(s));
    XString bad("\xC3", 1); // cut-off UTF-8 gives an empty text
    EXPECT_EQ(u"", Text(bad));
}

} // namespace
