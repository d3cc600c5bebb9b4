// SQL WHERE text of a condition tree: groups in parentheses joined by AND or OR,
// leaves as left text, operator and value, with IN lists unwrapped from a quoted text
// and date ranges spelled out as two comparisons.
#include <cstdint>

#include "corekit/format/format.h"
#include "corekit/systime/systime.h"
#include "corekit/text/xstring.h"
#include "datakit/query_template.h"

namespace {

// Comparison code and its operator text.
struct PareText
{
    uint16_t code;
    const char16_t *text;
};
constexpr PareText kPareTexts[] = {
    {1, u" > "},       {2, u" = "},   {3, u" < "},       {4, u" >= "},     {5, u" <= "},
    {6, u" <> "},      {7, u" =* "},  {8, u" LIKE "},    {9, u" =# "},     {10, u" IN "},
    {11, u" NOT IN "}, {12, u" IS "}, {13, u" IS NOT "}, {16, u"EXISTS "}, {17, u"NOT EXISTS "},
    {33, u" >= "},     {34, u" >= "}, {35, u" >= "},
};

constexpr uint16_t kPareIn = 10, kPareNotIn = 11, kPareExists = 16, kPareNotExists = 17;
constexpr uint16_t kPareYear = 33, kPareMonth = 34, kPareDay = 35;
constexpr uint16_t kPareBracketed = 32; // codes from here on are written in parentheses

const char16_t *PareOperator(uint16_t code)
{
    for (const PareText &p : kPareTexts)
        if (p.code == code)
            return p.text;
    return nullptr;
}

bool IsBlank(char16_t ch)
{
    return ch <= 32;
}

bool IsQuote(char16_t ch)
{
    return ch == u'"' || ch == u'\'';
}

// IN and NOT IN: a list wrapped in double or single quotes is written in parentheses
// without the quotes and without one "," before the closing quote; other values as
// they are.
bool WriteInList(const char16_t *value, XString *text)
{
    unsigned first = 0;
    while (value[first] && IsBlank(value[first]))
        ++first;
    if (!IsQuote(value[first])) {
        text->Append(value);
        return true;
    }
    unsigned last = first;
    for (unsigned i = first; value[i]; ++i)
        if (!IsBlank(value[i]))
            last = i;
    if (last == first || value[last] != value[first])
        return false;
    unsigned end = last;
    if (end > first + 1 && value[end - 1] == u',')
        --end;
    text->AppendChar(u'(');
    text->Append(value + first + 1, end - first - 1);
    text->AppendChar(u')');
    return true;
}

bool IsLeap(int y)
{
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

int MonthDays(int y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Lower and upper bound of the year, month or day range that holds the date.
bool RangeBounds(uint16_t code, int16_t y, int16_t m, int16_t d, XString *lower, XString *upper)
{
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31)
        return false;
    if (code == kPareYear) {
        lower->Format(u"%04hd-01-01 00:00:00", y);
        upper->Format(u"%04hd-01-01 00:00:00", y + 1);
    } else if (code == kPareMonth) {
        lower->Format(u"%04hd-%02hd-01 00:00:00", y, m);
        if (m == 12)
            upper->Format(u"%04hd-01-01 00:00:00", y + 1);
        else
            upper->Format(u"%04hd-%02hd-01 00:00:00", y, m + 1);
    } else {
        if (d > MonthDays(y, m))
            return false;
        DATETIME_t t = {
            static_cast<uint16_t>(y), static_cast<uint8_t>(m), static_cast<uint8_t>(d), 0, 0, 0, 0};
        lower->Format(u"%04hd-%02hd-%02hd 00:00:00", y, m, d);
        AddTime(&t, kTimeDay, 1);
        upper->Format(u"%04hd-%02hd-%02hd 00:00:00", t.wYear, t.bMonth, t.bDay);
    }
    return true;
}

// Codes 33-35 after " >= ": P lower S AND left < P upper S ), where P is the value up to
// and including its opening quote and S the value from the closing quote on.
bool WriteDateRange(uint16_t code, const char16_t *left, const char16_t *value, XString *text)
{
    unsigned open = 0;
    while (value[open] && !IsQuote(value[open]))
        ++open;
    if (!value[open])
        return false;
    int16_t y = 0, m = 0, d = 0;
    unsigned used = StrParse(value + open + 1, u"%04hd-%02hd-%02hd", &y, &m, &d);
    if (used == 0)
        return false;
    unsigned close = open + 1 + used;
    while (value[close] && value[close] != value[open])
        ++close;
    if (!value[close])
        return false;
    XString lower, upper;
    if (!RangeBounds(code, y, m, d, &lower, &upper))
        return false;
    const char16_t *suffix = value + close;
    text->Append(value, open + 1);
    text->Append(lower);
    text->Append(suffix);
    text->Append(u" AND ");
    text->Append(left);
    text->Append(u" < ");
    text->Append(value, open + 1);
    text->Append(upper);
    text->Append(suffix);
    text->AppendChar(u')');
    return true;
}

bool WriteLeaf(const XWhereTree *leaf, XString *text)
{
    if (!leaf->item || leaf->code != 0)
        return false; // a decided leaf below the root: the tree was not simplified
    const uint16_t pare = leaf->item->pare;
    const char16_t *op = PareOperator(pare);
    if (!op)
        return false;
    if (pare >= kPareBracketed)
        text->AppendChar(u'(');
    if (leaf->leftText)
        text->Append(leaf->leftText);
    else if (pare != kPareExists && pare != kPareNotExists)
        return false;
    text->Append(op);
    const char16_t *value = leaf->rightText;
    if (!value)
        return false;
    if (pare == kPareIn || pare == kPareNotIn)
        return WriteInList(value, text);
    if (pare >= kPareYear && pare <= kPareDay)
        return leaf->leftText && WriteDateRange(pare, leaf->leftText, value, text);
    text->Append(value);
    return true;
}

bool WriteNode(const XWhereTree *node, XString *text)
{
    if (!node->firstChild)
        return WriteLeaf(node, text);
    text->AppendChar(u'(');
    const char16_t *join = node->code == kJoinAnd ? u" AND " : u" OR ";
    for (const XWhereTree *c = node->firstChild; c; c = c->nextSibling) {
        if (!WriteNode(c, text))
            return false;
        if (c->nextSibling)
            text->Append(join);
    }
    text->AppendChar(u')');
    return true;
}

} // namespace

int MakeWhereClause(const XWhereTree *tree, XString *text)
{
    if (!tree || tree->code == kWhereTrue || tree->code == kWhereDropped)
        return 1;
    if (tree->code == kWhereFalse || !text)
        return 0;
    const unsigned start = text->GetLength();
    if (!WriteNode(tree, text))
        return 0;
    if (tree->firstChild) { // the root group's parentheses: a space, and nothing
        text->SetAt(start, u' ');
        text->BackDelete(1);
    }
    return 1;
}
