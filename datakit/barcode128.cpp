#include "datakit/barcode128.h"

namespace {

// Code 128 symbol patterns by symbol value 0-105, eight values a row (the comment gives
// the first). Columns: widths in modules of bar, space, bar, space, bar, space (eleven
// modules in all).
constexpr const char *kCode128Patterns[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", // 0
    "132212", "221213", "221312", "231212", "112232", "122132", "122231", "113222", // 8
    "123122", "123221", "223211", "221132", "221231", "213212", "223112", "312131", // 16
    "311222", "321122", "321221", "312212", "322112", "322211", "212123", "212321", // 24
    "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313", // 32
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", // 40
    "313121", "211331", "231131", "213113", "213311", "213131", "311123", "311321", // 48
    "331121", "312113", "312311", "332111", "314111", "221411", "431111", "111224", // 56
    "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114", // 64
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", // 72
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", // 80
    "421211", "212141", "214121", "412121", "111143", "111341", "131141", "114113", // 88
    "114311", "411113", "411311", "113141", "114131", "311141", "411131", "211412", // 96
    "211214", "211232",                                                             // 104
};

// Every symbol is eleven modules wide with an even number of bar modules.
constexpr bool PatternsAreWellFormed()
{
    for (const char *p : kCode128Patterns) {
        int total = 0, bars = 0;
        for (int i = 0; i < 6; i++) {
            total += p[i] - '0';
            bars += i % 2 == 0 ? p[i] - '0' : 0;
        }
        if (p[6] != 0 || total != 11 || bars % 2 != 0)
            return false;
    }
    return true;
}
static_assert(PatternsAreWellFormed());

constexpr int kCodeC = 99;
constexpr int kCodeB = 100;
constexpr int kStartB = 104;
constexpr int kStartC = 105;
constexpr int kCheckModulus = 103;
// The seven-element stop pattern and the space that completes the last pair.
constexpr const char *kStop = "23311121";

// Writes symbols and keeps the check sum: the start symbol weighs 1, every later
// symbol its position counted from 1 after the start.
class Code128Writer
{
public:
    explicit Code128Writer(XBarcodeElements &out) : m_out(out) {}

    bool IsStarted() const { return m_position > 0; }

    void Put(int value)
    {
        m_out.Append(kCode128Patterns[value]);
        m_sum += (m_position == 0 ? 1 : m_position) * static_cast<unsigned>(value);
        m_position++;
    }

    // Enters code set B or C: the start symbol first, a switch symbol later.
    void Enter(bool setC)
    {
        if (IsStarted())
            Put(setC ? kCodeC : kCodeB);
        else
            Put(setC ? kStartC : kStartB);
    }

    // Characters [begin, end) in code set B; characters outside 32-127 are skipped.
    void PutSetB(const char16_t *begin, const char16_t *end)
    {
        for (const char16_t *p = begin; p < end; p++) {
            if (*p >= 32 && *p <= 127)
                Put(*p - 32);
        }
    }

    bool Finish()
    {
        Put(static_cast<int>(m_sum % kCheckModulus));
        m_out.Append(kStop);
        return !m_out.IsOverflowed();
    }

private:
    XBarcodeElements &m_out;
    unsigned m_sum = 0;
    unsigned m_position = 0;
};

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The next run of at least four digits at or after p, of even length (an odd run
// leaves its last digit out); begin == end when there is none.
void FindDigitRun(const char16_t *p, const char16_t *&begin, const char16_t *&end)
{
    for (; *p; p++) {
        if (!IsDigit(*p))
            continue;
        const char16_t *q = p;
        while (IsDigit(*q))
            q++;
        if (q - p >= 4) {
            begin = p;
            end = q - (q - p) % 2;
            return;
        }
        p = q - 1;
    }
    begin = end = p;
}

} // namespace

bool MakeCode128Elements(const char16_t *text, bool automatic, XBarcodeElements &out)
{
    out.Clear();
    if (!text)
        return false;
    Code128Writer writer(out);
    const char16_t *p = text;
    const char16_t *textEnd = text;
    while (*textEnd)
        textEnd++;
    if (!automatic) {
        writer.Enter(false);
        writer.PutSetB(p, textEnd);
        return writer.Finish();
    }
    while (p < textEnd || !writer.IsStarted()) {
        const char16_t *runBegin, *runEnd;
        FindDigitRun(p, runBegin, runEnd);
        if (runBegin > p || (!writer.IsStarted() && runBegin == runEnd)) {
            writer.Enter(false);
            writer.PutSetB(p, runBegin);
        }
        if (runBegin == runEnd)
            break;
        writer.Enter(true);
        for (p = runBegin; p < runEnd; p += 2)
            writer.Put((p[0] - u'0') * 10 + (p[1] - u'0'));
    }
    return writer.Finish();
}
