// Encoding selectors, the guessing converter, arena and heap conversions, the ANSI code
// page setting and hexadecimal coding.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "corekit/memory/xmemo_helper.h"
#include "test_util.h"

namespace {

// Bytes of s in encoding sel (no terminator, n characters of s).
std::string ToBytes(int sel, const std::u16string &s)
{
    int n = static_cast<int>(s.size());
    unsigned need = WStrToCStr(sel, s.data(), n, nullptr, 0);
    std::string out(need + 2, '#');
    unsigned w = WStrToCStr(sel, s.data(), n, out.data(), static_cast<uint32_t>(out.size()));
    return out.substr(0, w);
}

std::u16string FromBytes(int sel, const std::string &b)
{
    int n = static_cast<int>(b.size());
    unsigned need = CStrToWStr(sel, b.data(), n, nullptr, 0);
    std::u16string out(need + 1, u'#');
    unsigned w = CStrToWStr(sel, b.data(), n, out.data(), static_cast<uint32_t>(out.size()));
    return out.substr(0, w);
}

TEST(Encoding, SelectorByteForms)
{
    struct Case
    {
        int sel;
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {0, u"A\u4E2D\u6587", "A\xD6\xD0\xCE\xC4"},
        {1, u"A\u4E2D\U0001F600", "A\xE4\xB8\xAD\xF0\x9F\x98\x80"},
        {2, u"A\u4E2D", std::string("A\0\x2D\x4E", 4)},
        {3, u"A\u4E2D", std::string("\0A\x4E\x2D", 4)},
        {4, u"A\u00E9\u00FF", "A\xE9\xFF"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.bytes, ToBytes(c.sel, c.text)) << "selector " << c.sel;
        EXPECT_EQ(c.text, FromBytes(c.sel, c.bytes)) << "selector " << c.sel;
    }
    // Latin-1 drops characters of 256 and above; its count is an upper bound.
    EXPECT_EQ("A\xE9", ToBytes(4, u"A\u00E9\u4E2D"));
    EXPECT_EQ(4u, WStrToCStr(4, u"A\u00E9\u4E2D", 3, nullptr, 0));
    EXPECT_EQ(u"AB", FromBytes(3, std::string("\0A\0B", 4)));
}

TEST(Encoding, UnknownSelectorConvertsNothing)
{
    char16_t w[4] = {u'#'};
    char b[4] = {'#'};
    for (int sel : {-1, 5, 936}) {
        EXPECT_EQ(0u, CStrToWStr(sel, "abc", -1, w, 4));
        EXPECT_EQ(0u, CStrToWStr(sel, "abc", -1, nullptr, 0));
        EXPECT_EQ(0u, WStrToCStr(sel, u"abc", -1, b, 4));
        EXPECT_EQ(0u, WStrToCStr(sel, u"abc", -1, nullptr, 0));
    }
}

TEST(Encoding, OutputConventions)
{
    // The capacity is checked before anything is written.
    char16_t guard = u'#';
    EXPECT_EQ(0u, CStrToWStr(1, "abc", -1, &guard, 0));
    EXPECT_EQ(u'#', guard);
    char narrowGuard = '#';
    EXPECT_EQ(0u, WStrToCStr(1, u"abc", -1, &narrowGuard, 0));
    EXPECT_EQ('#', narrowGuard);
    // A null source answers 1 and leaves an empty string.
    char16_t w[4] = {u'#', u'#'};
    EXPECT_EQ(1u, CStrToWStr(1, nullptr, -1, w, 4));
    EXPECT_EQ(0, w[0]);
    // Whole inputs include their terminator: a 16-bit zero for UTF-16 forms.
    const char le[] = {'A', 0, 'B', 0, 0, 0, 'C', 0};
    EXPECT_EQ(3u, CStrToWStr(2, le, -1, nullptr, 0));
    EXPECT_EQ(3u, CStrToWStr(2, le, -1, w, 4));
    EXPECT_EQ(std::u16string(u"AB"), w);
    EXPECT_EQ(4u, CStrToWStr(4, "\xE9\xFF\x01", -1, nullptr, 0));
    EXPECT_EQ(2u, CStrToWStr(2, le, 5, nullptr, 0)); // an odd byte is left over
    // UTF-16 output uses an even part of the capacity.
    char b[5];
    EXPECT_EQ(4u, WStrToCStr(3, u"ABC", 3, b, 5));
    EXPECT_EQ(std::string("\0A\0B", 4), std::string(b, 4));
    EXPECT_EQ(8u, WStrToCStr(2, u"ABC", -1, nullptr, 0));
    // Invalid UTF-8 converts to an empty string.
    EXPECT_EQ(0u, CStrToWStr(1, "\xC3", 1, w, 4));
    EXPECT_EQ(0, w[0]);
}

TEST(Encoding, GuessingPrefersUtf8)
{
    struct Case
    {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"\xE4\xB8\xAD\xE6\x96\x87", u"\u4E2D\u6587"}, // valid UTF-8
        {"\xD6\xD0\xCE\xC4", u"\u4E2D\u6587"},         // not UTF-8: the ANSI code page
        {"plain", u"plain"},
    };
    for (const Case &c : cases) {
        char16_t out[16];
        unsigned n = CStrToWStr(c.bytes.data(), static_cast<int>(c.bytes.size()), out, 16);
        EXPECT_EQ(c.text, std::u16string(out, n));
    }
}

TEST(Encoding, AnsiCodePageReplacesWhatItCannotMap)
{
    EXPECT_STREQ("CP936", GetAnsiCodePage());
    // One '?' per character the code page lacks, a pair and a lone surrogate included.
    const std::u16string lone(1, char16_t(0xDC00));
    EXPECT_EQ("A??\xD6\xD0?", ToBytes(0, u"A\u00A9\U0001F600\u4E2D" + lone));
    // One '?' per byte that does not decode; a cut-off lead byte at the end too.
    EXPECT_EQ(u"?A\u4E2D?", FromBytes(0, "\xFF"
                                         "A\xD6\xD0\xD6"));
    // A double-byte character is never split by the capacity.
    char out[2] = {'#', '#'};
    EXPECT_EQ(1u, WStrToAStr(u"A\u4E2D", 2, out, 2));
    EXPECT_EQ('A', out[0]);
    EXPECT_EQ(0, out[1]);
}

TEST(Encoding, AnsiCodePageSetting)
{
    const AnsiCodePageSetting restore;
    EXPECT_EQ(0, SetAnsiCodePage("NO-SUCH-CODE-PAGE"));
    EXPECT_EQ(0, SetAnsiCodePage(nullptr));
    EXPECT_STREQ("CP936", GetAnsiCodePage());
    ASSERT_EQ(1, SetAnsiCodePage("ISO-8859-7"));
    EXPECT_EQ(u"\u03A9", FromBytes(0, "\xD9"));
    EXPECT_EQ("\xD9?", ToBytes(0, u"\u03A9\u4E2D"));
    ASSERT_EQ(1, SetAnsiCodePage("CP936"));
    EXPECT_EQ(u"\u4E2D", FromBytes(0, "\xD6\xD0"));
}

TEST(Encoding, StrTransferIntoTheArena)
{
    XMemoHelper m;
    uint32_t len = 99;
    EXPECT_EQ(nullptr, StrTransfer(1, static_cast<const char16_t *>(nullptr), -1, &m, &len));
    EXPECT_EQ(nullptr, StrTransfer(1, static_cast<const char *>(nullptr), -1, &m, &len));

    const char *u = StrTransfer(1, u"\u4E2Dx", -1, &m, &len);
    EXPECT_STREQ("\xE4\xB8\xADx", u);
    EXPECT_EQ(4u, len);
    // Arena memory past the terminator is given back.
    EXPECT_EQ(static_cast<const void *>(u + 5), m.GetPointer());
    const char *be = StrTransfer(3, u"AB", 1, &m, &len);
    EXPECT_EQ(2u, len);
    EXPECT_EQ(0, std::memcmp(be, "\0A\0\0", 4)); // two zero bytes end UTF-16 forms
    EXPECT_STREQ("", StrTransfer(0, u"", -1, &m, nullptr));

    const char16_t *w = StrTransfer(1,
                                    "\xE4\xB8\xAD"
                                    "abc",
                                    5, &m, &len);
    EXPECT_EQ(std::u16string(u"\u4E2Da\u0062"), w);
    EXPECT_EQ(3u, len);
    const char le[] = {'H', 0, 'i', 0, 0, 0};
    w = StrTransfer(2, le, -1, &m, &len);
    EXPECT_EQ(std::u16string(u"Hi"), w);
    EXPECT_EQ(2u, len);
    w = StrTransfer(1, "\xC3", -1, &m, &len);
    EXPECT_EQ(std::u16string(u""), w);
    EXPECT_EQ(0u, len);
}

TEST(Encoding, StrMallocOnTheHeap)
{
    EXPECT_EQ(nullptr, StrMalloc(static_cast<const char16_t *>(nullptr), 1));
    EXPECT_EQ(nullptr, StrMalloc(static_cast<const char *>(nullptr), 1));
    // An empty narrow string gives an empty wide string, not null.
    char16_t *w = StrMalloc("", 1);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(0, w[0]);
    MemFree(w);
    w = StrMalloc("\xD6\xD0", 0);
    EXPECT_EQ(std::u16string(u"\u4E2D"), w);
    MemFree(w);
    w = StrMalloc("abc", 9); // nothing converted: still an empty string
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(0, w[0]);
    MemFree(w);

    char *n = StrMalloc(u"\u4E2D", 1);
    EXPECT_STREQ("\xE4\xB8\xAD", n);
    MemFree(n);
    EXPECT_EQ(nullptr, StrMalloc(u"abc", 9));
    n = StrMalloc(u"", 1);
    EXPECT_STREQ("", n);
    MemFree(n);
}

TEST(Encoding, Hexadecimal)
{
    const unsigned char bytes[] = {0x0A, 0xFF, 0x00, 0x9C};
    char narrow[9];
    EXPECT_EQ(4u, HexEncode(narrow, bytes, 2));
    EXPECT_STREQ("0AFF", narrow);
    EXPECT_EQ(8u, HexEncode(narrow, bytes, 4));
    EXPECT_STREQ("0AFF009C", narrow);
    char16_t wide[9];
    EXPECT_EQ(0u, HexEncode(wide, bytes, 0));
    EXPECT_EQ(0, wide[0]);
    HexEncode(wide, bytes, 4);
    EXPECT_EQ(std::u16string(u"0AFF009C"), wide);

    struct Case
    {
        const char *text;
        int len;
        unsigned expected;
    };
    const Case cases[] = {{"0aff", -1, 2}, {"0AfF", -1, 2}, {"0af", -1, 0},   {"0g", -1, 0},
                          {"0aff", 2, 1},  {"", -1, 0},     {"0aFF9c", 4, 2}, {" 0a", -1, 0}};
    for (const Case &c : cases) {
        unsigned char out[4] = {};
        EXPECT_EQ(c.expected, HexDecode(out, c.text, c.len)) << c.text;
        std::u16string w(c.text, c.text + std::strlen(c.text));
        unsigned char wout[4] = {};
        EXPECT_EQ(c.expected, HexDecode(wout, w.c_str(), c.len)) << c.text;
        EXPECT_EQ(0, std::memcmp(out, wout, 4));
    }
    unsigned char out[2] = {};
    HexDecode(out, "0aff", -1);
    EXPECT_EQ(0x0A, out[0]);
    EXPECT_EQ(0xFF, out[1]);
    // Bytes decoded before a bad digit stay written.
    unsigned char partial[2] = {};
    EXPECT_EQ(0u, HexDecode(partial, "7fz1", -1));
    EXPECT_EQ(0x7F, partial[0]);
}

} // namespace
