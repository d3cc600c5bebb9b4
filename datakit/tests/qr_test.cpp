#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corekit/encoding/encoding.h"
#include "datakit/code_page.h"
#include "datakit/qr_encoder.h"
#include "datakit/qr_render.h"
#include "datakit/qr_tables.h"
#include "datakit/reed_solomon.h"
#include "scoped_util.h"

namespace {

std::string Describe(const std::vector<QRSegment_t> &segments)
{
    std::string out;
    for (const QRSegment_t &s : segments) {
        if (!out.empty())
            out += ' ';
        out += s.mode == kQRModeNumeric        ? 'N'
               : s.mode == kQRModeAlphanumeric ? 'A'
               : s.mode == kQRModeByte         ? 'B'
                                               : 'K';
        out += std::to_string(s.length);
    }
    return out;
}

std::string Segments(const std::string &bytes, int codepage, int group = 0)
{
    std::vector<QRSegment_t> segments;
    SegmentQRText(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), codepage, group,
                  segments);
    return Describe(segments);
}

// Symbol structure against the count of data modules worked out from the geometry:
// the whole square less finders, separators, format areas, timing, alignment and
// version information.
TEST(QRTables, AgreeWithSymbolGeometry)
{
    for (int v = 1; v <= 40; v++) {
        int modules = (16 * v + 128) * v + 64;
        if (v >= 2) {
            int align = v / 7 + 2;
            modules -= (25 * align - 10) * align - 55;
            if (v >= 7)
                modules -= 36;
        }
        EXPECT_EQ(modules / 8, kQRBlocksL[v].totalCodewords) << "version " << v;

        std::vector<int> expected;
        if (v >= 2) {
            int align = v / 7 + 2;
            int step = v == 32 ? 26 : (v * 4 + align * 2 + 1) / (align * 2 - 2) * 2;
            for (int i = 0; i < align - 1; i++)
                expected.insert(expected.begin(), QRSideOf(v) - 7 - i * step);
            expected.insert(expected.begin(), 6);
        }
        std::vector<int> table;
        for (int i = 0; i < 8 && kQRAlignmentPositions[v][i]; i++)
            table.push_back(kQRAlignmentPositions[v][i]);
        EXPECT_EQ(expected, table) << "version " << v;
    }
    EXPECT_EQ(19, QRDataCodewordsL(1));
    EXPECT_EQ(2956, QRDataCodewordsL(40));
}

TEST(QRMatrix, FormatAndVersionInformation)
{
    const uint32_t format[8] = {0x77C4, 0x72F3, 0x7DAA, 0x789D, 0x662F, 0x6318, 0x6C41, 0x6976};
    for (int mask = 0; mask < 8; mask++)
        EXPECT_EQ(format[mask], QRFormatBitsL(mask)) << "mask " << mask;
    EXPECT_EQ(0x07C94u, QRVersionBits(7));
    EXPECT_EQ(0x085BCu, QRVersionBits(8));
    EXPECT_EQ(0x0A4D3u, QRVersionBits(10));
    EXPECT_EQ(0x1F250u, QRVersionBits(31));
    EXPECT_EQ(0x28C69u, QRVersionBits(40));
}

// The worked example of symbol 1-M "01234567": 16 data codewords give these 10 error
// correction codewords.
TEST(ReedSolomon, KnownBlock)
{
    const uint8_t data[16] = {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11,
                              0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    const uint8_t expected[10] = {0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55};
    uint8_t ecc[10] = {};
    ComputeReedSolomon(data, 16, 10, ecc);
    EXPECT_EQ(std::vector<uint8_t>(expected, expected + 10), std::vector<uint8_t>(ecc, ecc + 10));
}

// A codeword followed by its error correction is divisible by the generator: the
// polynomial vanishes at alpha^0 .. alpha^(n-1).
TEST(ReedSolomon, CodewordsHaveZeroSyndromes)
{
    uint32_t seed = 1;
    for (int degree : {7, 10, 15, 18, 20, 22, 24, 26, 28, 30}) {
        std::vector<uint8_t> word(50 + degree);
        for (int i = 0; i < 50; i++)
            word[i] = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
        ComputeReedSolomon(word.data(), 50, degree, word.data() + 50);
        uint8_t alpha = 1;
        for (int root = 0; root < degree; root++) {
            uint8_t value = 0;
            for (uint8_t c : word)
                value = MultiplyGF256(value, alpha) ^ c;
            EXPECT_EQ(0, value) << "degree " << degree << " root " << root;
            alpha = MultiplyGF256(alpha, 2);
        }
    }
}

TEST(QRSegments, MergePasses)
{
    struct Case
    {
        std::string bytes;
        int codepage;
        const char *expected;
    } cases[] = {
        {"01234567890123456789", 936, "N20"},
        {"HELLO WORLD", 936, "A11"},
        {"hello", 936, "B5"},
        {"", 936, ""},
        // one digit costs less inside the alphanumeric run
        {"ABC1", 936, "A4"},
        // a long digit run is cheaper on its own
        {"A12345678901234567890", 936, "A1 N20"},
        {"abc1def", 936, "B7"},
        {"abc123456789012345", 936, "B3 N15"},
        // the digit joins the letter, and the short alphanumeric run joins the bytes
        {"a1A", 936, "B3"},
        // GBK 0x81 0x41 stays whole: its trail byte "A" does not join the letters
        {"X\x81\x41"
         "ABCDEFGHIJ",
         936, "B3 A10"},
        {"\x93\xfa\x96\x7b", 936, "B4"},
        // Shift-JIS: Kanji pairs; half-width katakana 0xB1 is a byte
        {"\x93\xfa\x96\x7b", 932, "K4"},
        {"\x93\xfa\x96\x7b"
         "12345678",
         932, "K4 N8"},
        {"\x93\xfa"
         "1",
         932, "B3"},
        {"\xb1\xb1", 932, "B2"},
        // 0xEBBF ends the Kanji range
        {"\xeb\xbf\xeb\xbf", 932, "K4"},
        {"\xeb\xc0\xeb\xc0", 932, "B4"},
        // a lead byte at the end stands alone
        {"ABCDEFGHIJ\x93", 932, "A10 B1"},
    };
    for (size_t i = 0; i < std::size(cases); i++)
        EXPECT_EQ(cases[i].expected, Segments(cases[i].bytes, cases[i].codepage)) << "case " << i;
}

TEST(QRSegments, KanjiBitStream)
{
    // 0x935F: 0x935F - 0x8140 = 0x121F; 0x12 * 0xC0 + 0x1F = 0xD9F. 0xE4AA: 0xE4AA - 0xC140
    // = 0x236A; 0x23 * 0xC0 + 0x6A = 0x1AAA. Mode 1000, count 00000010 (8 bits, v1).
    XQRCode code;
    ASSERT_TRUE(code.EncodeBytes(reinterpret_cast<const uint8_t *>("\x93\x5f\xe4\xaa"), 4, 932));
    const std::vector<uint8_t> &data = code.GetDataCodewords();
    // 1000 00000010 0110110011111 1101010101010 0000 (terminator, into the sixth byte)
    // 000000, then 0xEC 0x11
    const uint8_t expected[] = {0x80, 0x26, 0xCF, 0xEA, 0xA8, 0x00, 0xEC, 0x11};
    ASSERT_GE(data.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(expected, expected + 8),
              std::vector<uint8_t>(data.begin(), data.begin() + 8));
}

TEST(QREncoder, NumericAndAlphanumericBitStream)
{
    // "01234567": 0001 0000001000 0000001100 0101011001 1000011 0000, pad to bytes.
    XQRCode code;
    ASSERT_TRUE(code.EncodeBytes(reinterpret_cast<const uint8_t *>("01234567"), 8, 936));
    const uint8_t numeric[] = {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11, 0xEC};
    EXPECT_EQ(
        std::vector<uint8_t>(numeric, numeric + 9),
        std::vector<uint8_t>(code.GetDataCodewords().begin(), code.GetDataCodewords().begin() + 9));
    // "AC-42": 0010 000000101 00111001110 11100111001 000010 0000
    ASSERT_TRUE(code.EncodeBytes(reinterpret_cast<const uint8_t *>("AC-42"), 5, 936));
    const uint8_t alpha[] = {0x20, 0x29, 0xCE, 0xE7, 0x21, 0x00, 0xEC};
    EXPECT_EQ(
        std::vector<uint8_t>(alpha, alpha + 7),
        std::vector<uint8_t>(code.GetDataCodewords().begin(), code.GetDataCodewords().begin() + 7));
}

TEST(QREncoder, VersionChoice)
{
    struct Case
    {
        char ch;
        size_t count;
        int version; // 0: does not fit
    } cases[] = {
        {'7', 0, 1},
        {'7', 20, 1},
        {'7', 41, 1},
        {'7', 42, 2},
        {'A', 25, 1},
        {'A', 26, 2},
        {'a', 17, 1},
        {'a', 18, 2},
        // the count width of versions 1-9 holds the bytes; then 16 bits from version 10
        {'a', 230, 9},
        {'a', 231, 10},
        {'a', 1280, 26},
        {'7', 1280, 16},
        {'a', 2953, 40},
        {'a', 2954, 0},
        {'7', 7089, 40},
        {'7', 7090, 0},
        {'A', 4296, 40},
        {'A', 4297, 0},
        {'7', 100000, 0},
    };
    for (const Case &c : cases) {
        std::string text(c.count, c.ch);
        XQRCode code;
        EXPECT_EQ(c.version != 0, code.EncodeBytes(reinterpret_cast<const uint8_t *>(text.data()),
                                                   text.size(), 936))
            << c.ch << " x " << c.count;
        EXPECT_EQ(c.version, code.GetVersion()) << c.ch << " x " << c.count;
        EXPECT_EQ(c.version ? 17 + 4 * c.version : 0, code.GetSide());
    }
}

// The text is converted to the ANSI code page and must not pass 1280 bytes there.
TEST(QREncoder, TextLimit)
{
    ASSERT_STREQ("CP936", GetAnsiCodePage());
    EXPECT_EQ(936, AnsiCodePageNumber());
    struct Case
    {
        std::u16string text;
        bool ok;
    } cases[] = {
        {std::u16string(1280, u'a'), true},
        {std::u16string(1281, u'a'), false},
        {std::u16string(640, u'\u4e2d'), true},
        {std::u16string(641, u'\u4e2d'), false},
        {std::u16string(639, u'\u4e2d') + u"ab", true},
        {std::u16string(639, u'\u4e2d') + u"abc", false},
        {std::u16string(100000, u'1'), false},
    };
    for (size_t i = 0; i < std::size(cases); i++) {
        XQRCode code;
        EXPECT_EQ(cases[i].ok, code.EncodeText(cases[i].text.c_str())) << "case " << i;
    }
    XQRCode code;
    EXPECT_FALSE(code.EncodeText(nullptr));
    EXPECT_EQ(0, code.GetVersion());
    EXPECT_TRUE(code.EncodeText(u""));
    EXPECT_EQ(1, code.GetVersion());
    // Characters the code page cannot map become '?'.
    ASSERT_TRUE(code.EncodeText(u"\u00e9"));
    ASSERT_EQ(1u, code.GetSegments().size());
    EXPECT_EQ(kQRModeByte, code.GetSegments()[0].mode);
}

// Kanji mode only when the ANSI code page is Shift-JIS; under GBK the same characters
// are bytes.
TEST(QREncoder, KanjiOnlyUnderShiftJis)
{
    XQRCode code;
    ASSERT_TRUE(code.EncodeText(u"日本"));
    EXPECT_EQ("B4", Describe(code.GetSegments()));
    {
        AnsiCodePageScope shiftJis("CP932");
        ASSERT_TRUE(shiftJis.Ok());
        EXPECT_EQ(932, AnsiCodePageNumber());
        ASSERT_TRUE(code.EncodeText(u"日本"));
        EXPECT_EQ("K4", Describe(code.GetSegments()));
    }
    ASSERT_TRUE(code.EncodeText(u"日本"));
    EXPECT_EQ("B4", Describe(code.GetSegments()));
}

TEST(QREncoder, CodePageNames)
{
    struct Case
    {
        const char *name;
        int number;
    } cases[] = {
        {"CP936", 936}, {"cp932", 932}, {"SHIFT_JIS", 932}, {"Shift-JIS", 932},
        {"GBK", 936},   {"BIG5", 950},  {"EUC-KR", 949},    {"WINDOWS-1252", 1252},
        {"UTF-8", 0},   {"CP", 0},      {"CP12a", 0},       {nullptr, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.number, CodePageNumber(c.name)) << (c.name ? c.name : "null");
}

// The matrix carries the function patterns where readers look for them.
TEST(QRMatrix, FunctionPatterns)
{
    XQRCode code;
    std::string text(100, 'a'); // version 5
    ASSERT_TRUE(code.EncodeBytes(reinterpret_cast<const uint8_t *>(text.data()), 100, 936));
    ASSERT_EQ(5, code.GetVersion());
    int side = code.GetSide();
    // finder rings at the three corners, light separators
    for (auto [cx, cy] : {std::pair{3, 3}, {side - 4, 3}, {3, side - 4}}) {
        EXPECT_TRUE(code.IsDark(cx, cy));
        EXPECT_FALSE(code.IsDark(cx + 2, cy));
        EXPECT_TRUE(code.IsDark(cx + 3, cy + 3));
    }
    EXPECT_FALSE(code.IsDark(7, 7));
    EXPECT_TRUE(code.IsDark(8, side - 8)); // the dark module
    for (int i = 8; i < side - 8; i++) {
        EXPECT_EQ(i % 2 == 0, code.IsDark(i, 6)) << i;
        EXPECT_EQ(i % 2 == 0, code.IsDark(6, i)) << i;
    }
    // alignment pattern at (30, 30)
    EXPECT_TRUE(code.IsDark(30, 30));
    EXPECT_FALSE(code.IsDark(31, 30));
    EXPECT_TRUE(code.IsDark(32, 32));
    // both copies of the format information read back as level L, mask 0
    uint32_t first = 0, second = 0;
    const int firstX[15] = {8, 8, 8, 8, 8, 8, 8, 8, 7, 5, 4, 3, 2, 1, 0};
    const int firstY[15] = {0, 1, 2, 3, 4, 5, 7, 8, 8, 8, 8, 8, 8, 8, 8};
    for (int i = 0; i < 15; i++) {
        first |= static_cast<uint32_t>(code.IsDark(firstX[i], firstY[i])) << i;
        second |= static_cast<uint32_t>(i < 8 ? code.IsDark(side - 1 - i, 8)
                                              : code.IsDark(8, side - 15 + i))
                  << i;
    }
    EXPECT_EQ(0x77C4u, first);
    EXPECT_EQ(0x77C4u, second);
}

TEST(QRImage, Geometry)
{
    struct Case
    {
        unsigned module;
        uint32_t width, height;
        bool ok;
        uint32_t size; // width and height afterwards when ok
    } cases[] = {
        {0, 100, 80, true, 63}, // 20 digits: version 1, module min(100, 80) / 21 = 3
        {0, 20, 80, false, 0},  {2, 0, 0, true, 42}, {100, 1, 1, true, 2100}, {101, 1, 1, false, 0},
    };
    const char16_t *text = u"01234567890123456789";
    for (size_t i = 0; i < std::size(cases); i++) {
        const Case &c = cases[i];
        uint32_t width = c.width, height = c.height;
        XBitImage image;
        EXPECT_EQ(c.ok, RenderQRCodeImage(text, c.module, width, height, image)) << "case " << i;
        EXPECT_EQ(c.ok ? c.size : c.width, width) << "case " << i;
        EXPECT_EQ(c.ok ? c.size : c.height, height) << "case " << i;
        EXPECT_EQ(c.ok ? c.size : 0, image.GetWidth()) << "case " << i;
    }
    uint32_t width = 100, height = 100;
    XBitImage image;
    EXPECT_FALSE(RenderQRCodeImage(nullptr, 0, width, height, image));
    std::u16string tooLong(1281, u'a');
    EXPECT_FALSE(RenderQRCodeImage(tooLong.c_str(), 0, width, height, image));

    // Painting: one rectangle per dark module, module from the smaller side.
    std::vector<SymbolRect_t> rects;
    ASSERT_TRUE(LayoutQRCodeBox(text, 100, 80, rects));
    XQRCode code;
    ASSERT_TRUE(code.EncodeText(text));
    size_t dark = 0;
    for (int x = 0; x < 21; x++) {
        for (int y = 0; y < 21; y++)
            dark += code.IsDark(x, y);
    }
    EXPECT_EQ(dark, rects.size());
    EXPECT_EQ(0, rects[0].x);
    EXPECT_EQ(0, rects[0].y);
    EXPECT_EQ(3u, rects[0].width);
    EXPECT_FALSE(LayoutQRCodeBox(text, 100, 20, rects));
    EXPECT_TRUE(rects.empty());
}

} // namespace
