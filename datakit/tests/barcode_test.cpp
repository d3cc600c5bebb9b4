#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datakit/barcode128.h"
#include "datakit/barcode39.h"
#include "datakit/barcode_render.h"

namespace {

std::string Elements(const char16_t *text, int type)
{
    XBarcodeElements out;
    if (!MakeBarcodeElements(text, type, out))
        return "(failed)";
    return out.GetString();
}

// Code 39 start/stop character with the gap that follows it, and the stop with its
// final space.
#define C39_START                                                                                  \
    "121121211"                                                                                    \
    "2"
#define C39_STOP                                                                                   \
    "121121211"                                                                                    \
    "1"
// Code 128 start B, start C, code B switch, code C switch, stop (and final space).
#define C128_START_B "211214"
#define C128_START_C "211232"
#define C128_CODE_B "114131"
#define C128_CODE_C "113141"
#define C128_STOP "23311121"

TEST(BarcodeElements, Code39)
{
    struct Case
    {
        const char16_t *text;
        const char *expected;
    } cases[] = {
        {u"", C39_START C39_STOP},
        {u"ab", C39_START C39_STOP}, // lower-case letters are skipped
        {u"A1", C39_START "211112112"
                          "2"
                          "211211112"
                          "2" C39_STOP},
        {u"a\u4e2dA\t1", C39_START "211112112"
                                   "2"
                                   "211211112"
                                   "2" C39_STOP},
        // A decision: "*" is skipped in the data. ISO/IEC 16388 keeps it for the start
        // and stop characters only, and a reader stops at one inside the data, so
        // "*A*" gives the symbol of "A" rather than one that reads as "" or not at all.
        {u"*A*", C39_START "211112112"
                           "2" C39_STOP},
        {u" $%+-./", C39_START "122111211"
                               "2"
                               "121212111"
                               "2"
                               "111212121"
                               "2"
                               "121112121"
                               "2"
                               "121111212"
                               "2"
                               "221111211"
                               "2"
                               "121211121"
                               "2" C39_STOP},
    };
    for (size_t i = 0; i < std::size(cases); i++)
        EXPECT_EQ(cases[i].expected, Elements(cases[i].text, kBarcodeCode39)) << "case " << i;
}

TEST(BarcodeElements, Code128SetB)
{
    struct Case
    {
        const char16_t *text;
        const char *expected;
    } cases[] = {
        // check = 104 mod 103 = 1
        {u"", C128_START_B "222122" C128_STOP},
        // 'A' = 33; check (104 + 33) mod 103 = 34
        {u"A", C128_START_B "111323"
                            "131123" C128_STOP},
        // 'a' = 65, '~' = 94, the rest skipped; check (104 + 65 + 2 * 94) mod 103 = 48
        {u"\ta\u00e9~\u4e2d", C128_START_B "121124"
                                           "131141"
                                           "313121" C128_STOP},
        // digits stay in code set B; check (104 + 17 + 2 * 18 + 3 * 19 + 4 * 20) mod 103 = 88
        {u"1234", C128_START_B "123221"
                               "223211"
                               "221132"
                               "221231"
                               "421211" C128_STOP},
    };
    for (size_t i = 0; i < std::size(cases); i++)
        EXPECT_EQ(cases[i].expected, Elements(cases[i].text, kBarcodeCode128B)) << "case " << i;
}

TEST(BarcodeElements, Code128Automatic)
{
    struct Case
    {
        const char16_t *text;
        const char *expected;
    } cases[] = {
        // start C, 12, 34, code B, "5", check (105 + 12 + 2*34 + 3*100 + 4*21) mod 103 = 54
        {u"12345", C128_START_C "112232"
                                "131123" C128_CODE_B "213212"
                                "311123" C128_STOP},
        // the digit run is shorter than four: code set B throughout
        {u"A123", C128_START_B "111323"
                               "123221"
                               "223211"
                               "221132"
                               "114113" C128_STOP},
        // check (105 + 12 + 2*34 + 3*56) mod 103 = 44
        {u"123456", C128_START_C "112232"
                                 "131123"
                                 "331121"
                                 "132131" C128_STOP},
        // an odd run leaves its last digit to code set B
        {u"1234567", C128_START_C "112232"
                                  "131123"
                                  "331121" C128_CODE_B "312131"
                                  "132131" C128_STOP},
        {u"AB12345678C", C128_START_B "111323"
                                      "131123" C128_CODE_C "112232"
                                      "131123"
                                      "331121"
                                      "241112" C128_CODE_B "131321"
                                      "211313" C128_STOP},
        // the text starts with a run; digits after the letters restart code set C
        // check (105 + 0 + 0 + 3*100 + 4*56 + 5*99 + 0 + 0) mod 103 = 94
        {u"0000X0000", C128_START_C "212222"
                                    "212222" C128_CODE_B "331121" C128_CODE_C "212222"
                                    "212222"
                                    "131141" C128_STOP},
        {u"", C128_START_B "222122" C128_STOP},
    };
    for (size_t i = 0; i < std::size(cases); i++)
        EXPECT_EQ(cases[i].expected, Elements(cases[i].text, kBarcodeCode128Auto)) << "case " << i;
}

TEST(BarcodeElements, Failures)
{
    XBarcodeElements out;
    EXPECT_FALSE(MakeBarcodeElements(nullptr, kBarcodeCode39, out));
    EXPECT_FALSE(MakeBarcodeElements(nullptr, kBarcodeCode128Auto, out));
    EXPECT_FALSE(MakeBarcodeElements(u"A", 3, out));
    EXPECT_FALSE(MakeBarcodeElements(u"A", 0xFF, out));
    EXPECT_TRUE(MakeBarcodeElements(u"A", kBarcodeCode128Auto | kBarcodeVertical, out));
}

// The element string holds at most 2048 characters; longer symbols are refused.
TEST(BarcodeElements, Capacity)
{
    struct Case
    {
        int type;
        char16_t ch;
        size_t fits; // longest text of ch that fits
        size_t length;
    } cases[] = {
        {kBarcodeCode39, u'A', 202, 2040},      // 20 + 10 per character
        {kBarcodeCode128B, u'A', 338, 2048},    // 20 + 6 per character
        {kBarcodeCode128Auto, u'7', 676, 2048}, // 20 + 6 per digit pair
    };
    for (const Case &c : cases) {
        XBarcodeElements out;
        std::u16string text(c.fits, c.ch);
        ASSERT_TRUE(MakeBarcodeElements(text.c_str(), c.type, out)) << c.type;
        EXPECT_EQ(c.length, out.GetLength());
        text.append(c.type == kBarcodeCode128Auto ? 2 : 1, c.ch);
        EXPECT_FALSE(MakeBarcodeElements(text.c_str(), c.type, out)) << c.type;
        EXPECT_TRUE(out.IsOverflowed());
    }
    // Skipped characters take no room.
    XBarcodeElements out;
    std::u16string text(5000, u'a');
    EXPECT_TRUE(MakeBarcodeElements(text.c_str(), kBarcodeCode39, out));
}

} // namespace
