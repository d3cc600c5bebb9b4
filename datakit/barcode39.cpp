#include "datakit/barcode39.h"

#include <array>
#include <cstdint>

namespace {

struct Code39Char_t
{
    char ch;
    const char *widths;
};

// Code 39 character set. Columns: character, widths in modules (narrow 1, wide 2) of
// its nine elements bar, space, bar, space, bar, space, bar, space, bar.
constexpr Code39Char_t kCode39Table[] = {
    {'0', "111221211"}, {'1', "211211112"}, {'2', "112211112"}, {'3', "212211111"},
    {'4', "111221112"}, {'5', "211221111"}, {'6', "112221111"}, {'7', "111211212"},
    {'8', "211211211"}, {'9', "112211211"}, {'A', "211112112"}, {'B', "112112112"},
    {'C', "212112111"}, {'D', "111122112"}, {'E', "211122111"}, {'F', "112122111"},
    {'G', "111112212"}, {'H', "211112211"}, {'I', "112112211"}, {'J', "111122211"},
    {'K', "211111122"}, {'L', "112111122"}, {'M', "212111121"}, {'N', "111121122"},
    {'O', "211121121"}, {'P', "112121121"}, {'Q', "111111222"}, {'R', "211111221"},
    {'S', "112111221"}, {'T', "111121221"}, {'U', "221111112"}, {'V', "122111112"},
    {'W', "222111111"}, {'X', "121121112"}, {'Y', "221121111"}, {'Z', "122121111"},
    {'-', "121111212"}, {'.', "221111211"}, {' ', "122111211"}, {'$', "121212111"},
    {'/', "121211121"}, {'+', "121112121"}, {'%', "111212121"}, {'*', "121121211"},
};

// Every Code 39 character has nine elements, three of them wide.
constexpr bool TableIsWellFormed()
{
    for (const Code39Char_t &c : kCode39Table) {
        int count = 0, wide = 0;
        for (const char *p = c.widths; *p; p++, count++)
            wide += *p == '2';
        if (count != 9 || wide != 3)
            return false;
    }
    return true;
}
static_assert(TableIsWellFormed());

// Index into kCode39Table by ASCII code, -1 for characters Code 39 cannot show.
constexpr std::array<int8_t, 128> MakeCode39Index()
{
    std::array<int8_t, 128> index{};
    index.fill(-1);
    for (size_t i = 0; i < std::size(kCode39Table); i++)
        index[static_cast<unsigned char>(kCode39Table[i].ch)] = static_cast<int8_t>(i);
    return index;
}
constexpr std::array<int8_t, 128> kCode39Index = MakeCode39Index();

constexpr const char *kStartStop = "121121211";

} // namespace

bool MakeCode39Elements(const char16_t *text, XBarcodeElements &out)
{
    out.Clear();
    if (!text)
        return false;
    out.Append(kStartStop);
    out.Append("2");
    for (const char16_t *p = text; *p; p++) {
        // "*" is skipped: ISO/IEC 16388 keeps it for the start and stop characters,
        // and inside the data a reader would stop at it. "*TEXT*" gives TEXT's symbol.
        if (*p >= 128 || *p == u'*' || kCode39Index[*p] < 0)
            continue;
        out.Append(kCode39Table[kCode39Index[*p]].widths);
        out.Append("2");
    }
    out.Append(kStartStop);
    out.Append("1");
    return !out.IsOverflowed();
}
