// Masked values and escaped texts: placeholders, alignment with the mask, caret entries,
// the buffer ends, and escapes that survive a round trip.

#include <gtest/gtest.h>

#include <string>

#include "pagekit/core/edit_mask.h"
#include "pagekit/core/tests/style_util.h"

namespace {

const char16_t kStamp[] = u"$$$$-$$-$$ $$:$$:$$";

TEST(EditMask, EmptyValue)
{
    char16_t out[64];
    EXPECT_EQ(19u, GetMaskEmpty(kStamp, out, 64));
    EXPECT_EQ("    -  -     :  :  ", Utf8(out));
    // At most size - 1 units, always terminated.
    EXPECT_EQ(5u, GetMaskEmpty(kStamp, out, 6));
    EXPECT_EQ("    -", Utf8(out));
    EXPECT_EQ(0u, GetMaskEmpty(kStamp, out, 1));
    EXPECT_EQ("", Utf8(out));
    out[0] = u'#';
    EXPECT_EQ(0u, GetMaskEmpty(kStamp, out, 0));
    EXPECT_EQ(u'#', out[0]);
    EXPECT_EQ(0u, GetMaskEmpty(nullptr, out, 64));
    EXPECT_EQ("", Utf8(out));
}

TEST(EditMask, ValuesTakeWhatFitsTheirPlaceholder)
{
    struct Case
    {
        const char16_t *mask;
        const char16_t *value;
        const char *want;
    } cases[] = {
        {u"$$:$$:$$", u"12a45b78", "12:45:78"},
        {u"$$:$$:$$", u"1a:45:78", "1 :45:78"},
        {u"$$:$$:$$", u"12", "12:  :  "},
        {u"$$:$$:$$", u"", "  :  :  "},
        {u"##-%%-??", u"aB-1z-\u4E2D!", "aB-1z-\u4E2D!"},
        {u"##-%%-??", u"12-!?-  ", "  -  -  "},
        {u"(+$)", u"ab9z", "(+9)"},
        {u"(+$)", u"x9yz", "(+ )"},
    };
    for (const Case &c : cases) {
        char16_t out[64];
        EXPECT_EQ(std::char_traits<char16_t>::length(c.mask), SetMaskValue(c.mask, out, c.value));
        EXPECT_EQ(c.want, Utf8(out)) << Utf8(c.mask) << " " << Utf8(c.value);
    }
}

TEST(EditMask, CountedOverwriteStaysInItsRange)
{
    char16_t out[] = u"##:##:##";
    // Three positions from the input, mask rules, no terminator.
    EXPECT_EQ(3u, SetMaskValue(u"$$:$$:$$", out, u"9x:12", 3));
    EXPECT_EQ("9 :##:##", Utf8(out));
    // Stops at the end of the input and of the mask.
    EXPECT_EQ(2u, SetMaskValue(u"$$:$$:$$", out, u"45", 10));
    EXPECT_EQ(2u, SetMaskValue(u"$$", out, u"12345", 10));
}

TEST(EditMask, EmptinessLooksAtPlaceholdersOnly)
{
    EXPECT_NE(0, IsMaskEmpty(kStamp, u"    -  -     :  :  "));
    EXPECT_NE(0, IsMaskEmpty(kStamp, u""));
    EXPECT_EQ(0, IsMaskEmpty(kStamp, u"   1-  -     :  :  "));
    EXPECT_NE(0, IsMaskEmpty(u"--", u"xx"));
}

TEST(EditMask, Entries)
{
    const char16_t *mask = u"($$) $$-$$";
    struct Case
    {
        int backwards;
        unsigned pos, want;
    } cases[] = {
        {0, 0, 1},  {0, 1, 1},  {0, 3, 5}, {0, 4, 5}, {0, 7, 8}, {0, 9, 9},
        {0, 10, 9}, {0, 99, 9}, {1, 4, 2}, {1, 0, 1}, {1, 7, 6}, {1, 99, 9},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.want, GetMaskEntry(c.backwards, mask, c.pos)) << c.backwards << " " << c.pos;
    EXPECT_EQ(0u, GetMaskEntry(0, u"--:--", 2));
    EXPECT_EQ(0u, GetMaskEntry(1, u"", 2));

    // After the last filled placeholder before the position.
    const char16_t *value = u"(12) 3 -  ";
    EXPECT_EQ(6u, GetMaskEntry(mask, value, 10));
    EXPECT_EQ(3u, GetMaskEntry(mask, value, 4));
    EXPECT_EQ(1u, GetMaskEntry(mask, u"(  )   -  ", 10));
}

TEST(EditEscape, DeflateResolvesAndDrops)
{
    struct Case
    {
        const char16_t *in;
        const char16_t *want;
    } cases[] = {
        {u"a\\nb\\rc\\td\\\\e", u"a\nb\rc\td\\e"},
        {u"x\\qy", u"xy"},
        {u"end\\", u"end"},
        {u"\\\\\\", u"\\"},
        {u"", u""},
    };
    for (const Case &c : cases) {
        char16_t out[64];
        EXPECT_EQ(std::char_traits<char16_t>::length(c.want), DeflateBuffer(out, c.in));
        EXPECT_EQ(std::u16string(c.want), out);
    }
    // In place.
    char16_t text[] = u"C:\\\\temp\\n";
    EXPECT_EQ(8u, DeflateBuffer(text, text));
    EXPECT_EQ(std::u16string(u"C:\\temp\n"), text);
}

TEST(EditEscape, InflateRoundTripsAndNeverSplits)
{
    const std::u16string text = u"C:\\temp\tname\r\nnext \U0001F600";
    char16_t out[64];
    EXPECT_EQ(25u, InflateBuffer(out, text.c_str(), 64));
    EXPECT_EQ(std::u16string(u"C:\\\\temp\\tname\\r\\nnext \U0001F600"), out);
    char16_t back[64];
    DeflateBuffer(back, out);
    EXPECT_EQ(text, back);

    // The buffer ends before an escape or a pair could be cut.
    struct Case
    {
        unsigned size;
        const char16_t *want;
    } cases[] = {{1, u""}, {2, u"a"}, {3, u"a"}, {4, u"a\\n"}, {5, u"a\\nb"}, {6, u"a\\nb"}};
    for (const Case &c : cases) {
        char16_t cut[8];
        InflateBuffer(cut, u"a\nb\U0001F600", c.size);
        EXPECT_EQ(std::u16string(c.want), cut) << c.size;
    }
    EXPECT_EQ(0u, InflateBuffer(out, u"abc", 0));
}

} // namespace
