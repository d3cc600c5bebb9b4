// Number texts rewritten with separators or Chinese number words, and code-list texts
// made from tables.
#include <cstring>

#include "corekit/text/strings.h"
#include "corekit/text/xstring.h"
#include "datakit/item_data_store.h"
#include "platform/scriptkit/xrow_grider.h"

namespace {

// Digit words 0-9 of the plain (index 0) and the formal (index 1) set.
constexpr const char16_t *kDigitWords[2] = {u"○一二三四五六七八九", u"零壹贰叁肆伍陆柒捌玖"};
// Unit words: point, ten, hundred, thousand, ten-thousand, hundred-million, minus, yuan,
// jiao, fen, whole.
constexpr const char16_t *kUnitWords[2] = {u"点十百千万亿负元角分整", u"点拾佰仟万亿负元角分整"};
enum Unit { kPoint, kTen, kHundred, kThousand, kWan, kYi, kMinus, kYuan, kJiao, kFen, kWhole };

// Longest integer part the group tables cover.
constexpr uint32_t kMaxChineseDigits = 16;

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The parts of a number text: sign, integer digits [intBegin, intEnd), and the fraction
// digits after a point [fracBegin, fracEnd).
struct NumberParts
{
    bool negative = false;
    bool point = false;
    uint32_t intBegin = 0, intEnd = 0, fracBegin = 0, fracEnd = 0;
};

NumberParts SplitNumber(const char16_t *src)
{
    NumberParts p;
    uint32_t i = 0;
    if (src[i] == u'-') {
        p.negative = true;
        ++i;
    }
    p.intBegin = i;
    while (IsDigit(src[i]))
        ++i;
    p.intEnd = i;
    if (src[i] == u'.') {
        p.point = true;
        ++i;
    }
    p.fracBegin = i;
    while (p.point && IsDigit(src[i]))
        ++i;
    p.fracEnd = i;
    return p;
}

uint32_t CopyText(const char16_t *src, char16_t *dst)
{
    uint32_t n = Strlen(src);
    std::memmove(dst, src, (n + 1) * sizeof(char16_t));
    return n;
}

uint32_t WithSeparators(const char16_t *src, char16_t *dst)
{
    NumberParts p = SplitNumber(src);
    uint32_t out = 0;
    for (uint32_t i = 0; i < p.intBegin; ++i)
        dst[out++] = src[i];
    uint32_t digits = p.intEnd - p.intBegin;
    for (uint32_t i = 0; i < digits; ++i) {
        dst[out++] = src[p.intBegin + i];
        uint32_t left = digits - 1 - i;
        if (left && left % 3 == 0)
            dst[out++] = u',';
    }
    for (uint32_t i = p.intEnd; src[i]; ++i)
        dst[out++] = src[i];
    dst[out] = 0;
    return out;
}

// Writes the integer digits [begin, end) in Chinese number words.
uint32_t ChineseInteger(const char16_t *src, uint32_t begin, uint32_t end, int set, char16_t *dst)
{
    const char16_t *digit = kDigitWords[set];
    const char16_t *unit = kUnitWords[set];
    while (end - begin > 1 && src[begin] == u'0')
        ++begin; // leading zeros say nothing
    uint32_t n = end - begin, out = 0;
    constexpr Unit kPlace[3] = {kTen, kHundred, kThousand}; // by position in the group, 1-3
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t pos = n - 1 - i; // power of ten of this digit
        uint32_t inGroup = pos % 4, group = pos / 4;
        int d = src[begin + i] - u'0';
        bool lastWasZero = out > 0 && dst[out - 1] == digit[0];
        if (d != 0) {
            dst[out++] = digit[d];
            if (inGroup)
                dst[out++] = unit[kPlace[inGroup - 1]];
        } else if (!lastWasZero) {
            dst[out++] = digit[0];
        }
        if (inGroup != 0)
            continue;
        // End of a group: its unit word takes the place of a trailing zero.
        bool trailingZero = dst[out - 1] == digit[0];
        if (group == 0) {
            if (trailingZero && out > 1)
                --out;
            continue;
        }
        bool groupEmpty = true;
        for (uint32_t k = 0; k < 4 && i >= k; ++k)
            groupEmpty = groupEmpty && src[begin + i - k] == u'0';
        if (group == 1 && groupEmpty && n > 8) {
            if (trailingZero)
                --out;
            continue; // an all-zero ten-thousand group below a hundred-million says nothing
        }
        if (trailingZero)
            --out;
        dst[out++] = unit[group == 2 ? kYi : kWan];
    }
    return out;
}

uint32_t ChineseNumber(int mode, const char16_t *src, char16_t *dst)
{
    NumberParts p = SplitNumber(src);
    if (p.intEnd - p.intBegin > kMaxChineseDigits)
        return CopyText(src, dst);
    int set = mode == 2 ? 0 : 1;
    const char16_t *digit = kDigitWords[set];
    const char16_t *unit = kUnitWords[set];
    uint32_t out = 0;
    if (p.negative)
        dst[out++] = unit[kMinus];
    if (p.intEnd > p.intBegin)
        out += ChineseInteger(src, p.intBegin, p.intEnd, set, dst + out);
    uint32_t fraction = p.fracEnd - p.fracBegin;
    if (mode != 4) {
        if (p.point)
            dst[out++] = unit[kPoint];
        for (uint32_t i = 0; i < fraction; ++i)
            dst[out++] = digit[src[p.fracBegin + i] - u'0'];
    } else {
        dst[out++] = unit[kYuan];
        if (fraction) {
            dst[out++] = digit[src[p.fracBegin] - u'0'];
            dst[out++] = unit[kJiao];
            dst[out++] = digit[fraction > 1 ? src[p.fracBegin + 1] - u'0' : 0];
            dst[out++] = unit[kFen];
        } else {
            dst[out++] = unit[kWhole];
        }
    }
    dst[out] = 0;
    return out;
}

uint32_t DigitWords(int mode, const char16_t *src, char16_t *dst)
{
    const char16_t *digit = kDigitWords[mode == 5 ? 0 : 1];
    uint32_t out = 0;
    for (uint32_t i = 0; src[i]; ++i) {
        char16_t c = src[i];
        dst[out++] = IsDigit(c) ? digit[c - u'0'] : c == u'.' ? u'点' : c;
    }
    dst[out] = 0;
    return out;
}

} // namespace

uint32_t FormatNumber(int mode, const char16_t *src, char16_t *dst)
{
    if (mode < 0 || mode > 6)
        return 0;
    if (!src || !src[0]) {
        dst[0] = 0;
        return 0;
    }
    switch (mode) {
    case 0:
        return CopyText(src, dst);
    case 1:
        return WithSeparators(src, dst);
    case 5:
    case 6:
        return DigitWords(mode, src, dst);
    default:
        return ChineseNumber(mode, src, dst);
    }
}

// ---- Code lists -------------------------------------------------------------------

namespace {

constexpr uint32_t kCodeListReserve = 2048;

const char16_t *CellText(const XRowGrider *table, uint32_t row, uint32_t col)
{
    const XGridColumn_t *c = table->GetColumn(col);
    if (!c || (c->type != kValueText && c->type != kValueText2))
        return nullptr;
    const XScriptValue_t *v = table->GetCellData(row, col);
    return v ? v->text : nullptr;
}

// Column 0 of a wide table: ";" (null or another type), "%s;" or "%lld;".
void AppendKey(const XRowGrider *table, uint32_t row, XString *out)
{
    const XScriptValue_t *v = table->GetCellData(row, 0);
    uint16_t type = table->GetColumn(0)->type;
    if (v && (type == kValueText || type == kValueText2))
        out->AppendFormat(u"%s;", v->text);
    else if (v && type == kValueInteger)
        out->AppendFormat(u"%lld;", static_cast<long long>(v->integer));
    else if (v && type == kValueFloater)
        out->AppendFormat(
            u"%lld;",
            static_cast<long long>(v->floater > -9.2e18 && v->floater < 9.2e18 ? v->floater : 0));
    else
        out->AppendChar(u';');
}

} // namespace

uint32_t MakeDatabase(const XRowGrider *table, XString *out, int withHeader, const char16_t *header)
{
    out->SetString(u"");
    out->Allocate(kCodeListReserve);
    uint32_t counter = 0; // "%lu" reads 32 bits
    bool first = true;
    if (withHeader) {
        out->AppendChar(u';');
        out->Append(header);
        counter = 1;
        first = false;
    }
    uint32_t rows = table ? table->GetRowCount() : 0;
    uint32_t cols = table ? table->GetColCount() : 0;
    for (uint32_t r = 0; r < rows && cols; ++r, ++counter) {
        if (!first)
            out->Append(u"\r\n");
        first = false;
        if (cols == 1) {
            const char16_t *text = CellText(table, r, 0);
            out->AppendFormat(u"%lu;", counter);
            out->Append(text);
            continue;
        }
        AppendKey(table, r, out);
        out->Append(CellText(table, r, 1));
    }
    return out->GetLength();
}
