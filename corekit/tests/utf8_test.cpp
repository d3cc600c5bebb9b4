// The UTF-8 coder: byte forms of every unit class, surrogate pairs, long sequences,
// invalid and cut-off input, capacity limits and piecewise decoding.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/encoding/encoding.h"

namespace {

std::string Encode(const std::u16string &s)
{
    std::string out(s.size() * 3 + 1, '#');
    unsigned n = WStrToUStr(s.data(), static_cast<int>(s.size()), out.data(),
                            static_cast<uint32_t>(out.size()));
    EXPECT_EQ(n, WStrToUStr(s.data(), static_cast<int>(s.size()), nullptr, 0));
    return out.substr(0, n);
}

// Decodes the bytes (no terminator); "<invalid>" when the decoder refuses them.
std::u16string Decode(const std::string &bytes)
{
    std::u16string out(bytes.size() + 1, u'#');
    unsigned n = UStrToWStr(bytes.data(), static_cast<int>(bytes.size()), out.data(),
                            static_cast<uint32_t>(out.size()));
    EXPECT_EQ(n, UStrToWStr(bytes.data(), static_cast<int>(bytes.size()), nullptr, 0));
    if (!IsUTF8Mode(bytes.data(), static_cast<int>(bytes.size()))) {
        EXPECT_EQ(0u, n);
        EXPECT_EQ(0, out[0]); // an empty string is written
        return u"<invalid>";
    }
    return out.substr(0, n);
}

TEST(Utf8, EncodingOfEachUnitClass)
{
    struct Case
    {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"A", "A"},
        {u"\u007F", "\x7F"},
        {u"\u0080", "\xC2\x80"},
        {u"\u00E9", "\xC3\xA9"},
        {u"\u07FF", "\xDF\xBF"},
        {u"\u0800", "\xE0\xA0\x80"},
        {u"\u4E2D", "\xE4\xB8\xAD"},
        {u"\uFFFF", "\xEF\xBF\xBF"},
        // A valid pair is one four-byte sequence.
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {u"\U00010000", "\xF0\x90\x80\x80"},
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        // Lone surrogates keep three bytes of their own.
        {std::u16string(1, char16_t(0xD800)), "\xED\xA0\x80"},
        {std::u16string(1, char16_t(0xDFFF)), "\xED\xBF\xBF"},
        {std::u16string{char16_t(0xDC00), char16_t(0xD800)}, "\xED\xB0\x80\xED\xA0\x80"},
        {std::u16string{char16_t(0xD800), u'A'}, "\xED\xA0\x80"
                                                 "A"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.bytes, Encode(c.text)) << c.bytes.size();
        EXPECT_EQ(c.text, Decode(c.bytes)) << c.bytes.size();
    }
    char out[4];
    EXPECT_EQ(3u, GetUTF8Char(u'\u4E2D', out));
    EXPECT_EQ("\xE4\xB8\xAD", std::string(out, 3));
    EXPECT_EQ(1u, GetUTF8Char(u'A', out));
    EXPECT_EQ(2u, GetUTF8Char(u'\u00E9', out));
    EXPECT_EQ(3u, GetUTF8Char(char16_t(0xD83D), out));
    EXPECT_EQ("\xED\xA0\xBD", std::string(out, 3));
}

TEST(Utf8, DecodingBeyondThreeBytes)
{
    struct Case
    {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        // Four bytes give a surrogate pair.
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"a\xF0\x9F\x98\x80z", u"a\U0001F600z"},
        // Three-byte surrogates from older files are read back as they were written.
        {"\xED\xA0\xBD\xED\xB8\x80", u"\U0001F600"},
        // Five- and six-byte sequences, and four-byte values past U+10FFFF, are consumed
        // and give nothing.
        {"A\xF8\x88\x80\x80\x80"
         "B",
         u"AB"},
        {"A\xFC\x84\x80\x80\x80\x80"
         "B",
         u"AB"},
        {"A\xF4\x90\x80\x80"
         "B",
         u"AB"},
        {"\xF8\x88\x80\x80\x80", u""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.text, Decode(c.bytes)) << c.bytes.size();
}

TEST(Utf8, InvalidAndCutInput)
{
    const std::string bad[] = {
        "\xC3", "a\xE4\xB8", "\x80",         "a\xBF",        "\xFE",
        "\xFF", "\xC4\xE3",  "\xE4\x41\x80", "\xF0\x9F\x98", "\xFC\x80\x80\x80\x80"};
    for (const std::string &b : bad) {
        EXPECT_EQ(u"<invalid>", Decode(b)) << b.size();
        EXPECT_EQ(0, IsUTF8Mode(b.data(), static_cast<int>(b.size()))) << b.size();
        EXPECT_EQ(0u, UStrToWStr(b.data(), static_cast<int>(b.size()), nullptr, 0));
    }
    const std::string good[] = {
        "plain ascii", "", "\xC4\x80", "\xF0\x9F\x98\x80", "\xF8\x88\x80\x80\x80", "\xED\xA0\x80"};
    for (const std::string &g : good)
        EXPECT_EQ(1, IsUTF8Mode(g.data(), static_cast<int>(g.size()))) << g;
    EXPECT_EQ(1, IsUTF8Mode("terminated \xE4\xB8\xAD", -1));
    EXPECT_EQ(0, IsUTF8Mode("\xC4\xE3", -1));
    EXPECT_EQ(0, IsUTF8Mode(nullptr, 3));
}

TEST(Utf8, WholeStringFormsCountTheTerminator)
{
    char16_t out[8];
    EXPECT_EQ(3u, UStrToWStr("ab", -1, nullptr, 0));
    EXPECT_EQ(3u, UStrToWStr("ab", -1, out, 8));
    EXPECT_EQ(std::u16string(u"ab"), out);
    EXPECT_EQ(4u, WStrToUStr(u"\u00E9a", -1, nullptr, 0));
    char bytes[8];
    EXPECT_EQ(4u, WStrToUStr(u"\u00E9a", -1, bytes, 8));
    EXPECT_STREQ("\xC3\xA9"
                 "a",
                 bytes);
}

TEST(Utf8, CapacityStopsBeforeACharacterThatDoesNotFit)
{
    char out[8] = "#######";
    EXPECT_EQ(3u, WStrToUStr(u"\u4E2D", 1, out, 8));
    EXPECT_EQ("\xE4\xB8\xAD", std::string(out));
    std::string two = "##";
    EXPECT_EQ(0u, WStrToUStr(u"\u4E2D", 1, two.data(), 2));
    EXPECT_EQ(std::string("\0#", 2), two); // nothing of the character, then the terminator
    std::string four = "####";
    EXPECT_EQ(1u, WStrToUStr(u"a\U0001F600", 3, four.data(), 4)); // the pair needs 4 more
    EXPECT_EQ(std::string("a\0##", 4), four);
    std::string five(5, '#');
    EXPECT_EQ(5u, WStrToUStr(u"a\U0001F600", 3, five.data(), 5));

    // Decoding writes at most cap units, never half a pair, and a terminator when there
    // is room.
    char16_t w[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(2u, UStrToWStr("abc", 3, w, 2));
    EXPECT_EQ(u'#', w[2]);
    EXPECT_EQ(1u, UStrToWStr("a\xF0\x9F\x98\x80", 5, w, 2));
    EXPECT_EQ(0, w[1]);
    EXPECT_EQ(0u, UStrToWStr("abc", 3, w, 0));
    // Invalid input past a full output is still refused.
    EXPECT_EQ(0u, UStrToWStr("ab\x80", 3, w, 1));
    EXPECT_EQ(0, w[0]);
    EXPECT_EQ(0u, UStrToWStr("\xE4\xB8\xAD\xC3", 4, w, 1));
}

TEST(Utf8, PiecewiseDecoding)
{
    char16_t out[16];
    uint32_t pending = 99;
    // A sequence cut at the end of the piece: the complete characters come out and the
    // missing continuation bytes are reported.
    struct Case
    {
        std::string piece;
        unsigned units;
        uint32_t pending;
    };
    const Case cases[] = {{"ab", 2, 0},       {"a\xE4\xB8", 1, 1},    {"a\xE4", 1, 2},
                          {"\xF0\x9F", 0, 2}, {"\xC3\xA9\xC3", 1, 1}, {"\x80", 0, 0},
                          {"a\xE4\x41", 0, 0}};
    for (const Case &c : cases) {
        pending = 99;
        EXPECT_EQ(c.units, UStrToWStr(c.piece.data(), static_cast<uint32_t>(c.piece.size()), out,
                                      16, &pending))
            << c.piece.size();
        EXPECT_EQ(c.pending, pending) << c.piece.size();
    }
    EXPECT_EQ(2u, UStrToWStr("\xF0\x9F\x98\x80", 4u, out, 16, nullptr));
    EXPECT_EQ(char16_t(0xD83D), out[0]);
}

TEST(Utf8, RoundTripOfEveryBmpUnitAndSomePairs)
{
    std::u16string all;
    for (uint32_t u = 1; u < 0x10000; ++u)
        if (u < 0xD800 || u > 0xDFFF)
            all.push_back(static_cast<char16_t>(u));
    for (uint32_t cp = 0x10000; cp <= 0x10FFFF; cp += 0x1234) {
        all.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        all.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
    std::string bytes = Encode(all);
    EXPECT_EQ(1, IsUTF8Mode(bytes.data(), static_cast<int>(bytes.size())));
    EXPECT_EQ(all, Decode(bytes));
}

} // namespace
