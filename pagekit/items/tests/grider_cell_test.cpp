// Cells of the grid: set-up from text and from values for every (kind x type) pair, the
// display texts, record round trips, PutValue, the cell readers and a cell change's
// effects on states, totals and the update word.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "pagekit/items/tests/grider_fixture.h"

namespace {

constexpr char16_t kCoded[] = u"10;甲\n20;乙\n30;丙";
constexpr char16_t kTextCoded[] = u"A1;甲\nB2;乙";
constexpr char16_t kSexes[] = u"1;男\n2;女";
constexpr char16_t kHobbies[] = u"1;读\n2;写\n3;跑";

struct CellCase
{
    const char *name;
    XGB_HEADER column;
    const char16_t *text; // set by SetItemText when non-null, else by value
    XVarMeter value;
    const char *image;       // CellImage after the set-up
    const char16_t *display; // the display text
};

XVarMeter Int(int64_t v)
{
    XVarMeter m = {kVarInteger, 0, {}};
    m.value.integer = v;
    return m;
}
XVarMeter Dbl(double v)
{
    XVarMeter m = {kVarFloater, 0, {}};
    m.value.floater = v;
    return m;
}
XVarMeter Txt(const char16_t *v)
{
    XVarMeter m = {kVarText, 0, {}};
    m.value.text = v;
    return m;
}
XVarMeter Time(uint16_t y, uint8_t mo, uint8_t d, uint8_t h, uint8_t mi, uint8_t s)
{
    XVarMeter m = {kVarDateTime, 0, {}};
    m.value.time = DATETIME_t{y, mo, d, h, mi, s, 0};
    return m;
}
const XVarMeter kNone = {kVarNull, 0, {}};

const XGB_HEADER kInt4 = Column(kGridInteger, 4);
const XGB_HEADER kInt2 = Column(kGridInteger, 2);
const XGB_HEADER kNumber = Column(kGridInteger, 8, kCellEdit, 1, nullptr, 0x00010100);
const XGB_HEADER kMaskInt = Column(kGridInteger, 4, kCellEdit, 2);
const XGB_HEADER kMaskDbl = Column(kGridDouble, 8, kCellEdit, 2, u"$$:$$");
const XGB_HEADER kComboInt = Column(kGridInteger, 4, kCellCombo, 0, kCoded);
const XGB_HEADER kComboIndex = Column(kGridInteger, 4, kCellCombo, 0, u"甲\n乙\n丙");
const XGB_HEADER kComboEmpty = Column(kGridInteger, 4, kCellCombo, 0, u";无\n10;甲");
const XGB_HEADER kComboCode = Column(kGridText, 8, kCellCombo, 1, kTextCoded, 0x100);
const XGB_HEADER kComboName = Column(kGridText, 8, kCellCombo, 1, kTextCoded);
const XGB_HEADER kComboFree = Column(kGridText, 8, kCellCombo, 0, kTextCoded);
const XGB_HEADER kRadioInt = Column(kGridInteger, 4, kCellRadio, 1, kSexes);
const XGB_HEADER kRadioText = Column(kGridText, 8, kCellRadio, 1, kSexes);
const XGB_HEADER kCheckInt = Column(kGridInteger, 8, kCellRadio, 0, kHobbies);
const XGB_HEADER kCheckText = Column(kGridText, 16, kCellRadio, 0, kHobbies);
const XGB_HEADER kDouble = Column(kGridDouble, 8);
const XGB_HEADER kFixed = Column(kGridDouble, 8, kCellEdit, 1, nullptr, 0x02000002);
const XGB_HEADER kLedger = Column(kGridDouble, 8, kCellLedger);
const XGB_HEADER kPercent = Column(kGridDouble, 8, kCellPercent);
const XGB_HEADER kColour = Column(kGridInteger, 4, kCellColor);
const XGB_HEADER kLink = Column(kGridText, 8, kCellLink);
const XGB_HEADER kPlain = Column(kGridText, 8, kCellPlain);
const XGB_HEADER kStamp = Column(kGridDateTime, 8);
const XGB_HEADER kDay = Column(kGridDateTime, 8, kCellEdit, 0, u"$$$$/$$/$$");
const XGB_HEADER kMaskText = Column(kGridText, 9, kCellEdit, 2, u"$$$-$$$$");

const CellCase kCases[] = {
    {"number text", kNumber, u"-1,234", {}, "i:-1234", u"-1,234"},
    {"number value", kNumber, nullptr, Int(-1234), "i:-1234", u"-1,234"},
    {"int2 narrows", kInt2, nullptr, Int(70000), "i:4464", u"4464"},
    {"int2 text narrows", kInt2, u"70000", {}, "i:4464", u"4464"},
    {"int2 negative", kInt2, nullptr, Int(-2), "i:-2", u"-2"},
    {"int from double", kInt4, nullptr, Dbl(-7.9), "i:-7", u"-7"},
    {"int refuses text", kInt4, nullptr, Txt(u"1"), "null", u""},
    {"mask text", kMaskInt, u"08:30:15", {}, "i:30615", u"08:30:15"},
    {"mask value", kMaskInt, nullptr, Int(30615), "i:30615", u"08:30:15"},
    {"mask negative wraps", kMaskInt, nullptr, Int(-1), "i:-1", u"23:59:59"},
    {"mask past a day", kMaskInt, nullptr, Int(90000), "i:90000", u"01:00:00"},
    {"mask null", kMaskInt, u"", {}, "null", u"  :  :  "},
    {"double mask text", kMaskDbl, u"08:30", {}, "d:30600", u"08:30"},
    {"combo code", kComboInt, u"乙", {}, "i:20", u"乙"},
    {"combo value", kComboInt, nullptr, Int(30), "i:30", u"丙"},
    {"combo unknown value", kComboInt, nullptr, Int(2), "i:2", u""},
    {"combo no match", kComboInt, u"丁", {}, "null", u""},
    {"combo index", kComboIndex, u"丙", {}, "i:2", u"丙"},
    {"combo empty code", kComboEmpty, u"无", {}, "null", u""},
    {"text code stored", kComboCode, u"乙", {}, "t:B2", u"乙"},
    {"text code value", kComboCode, nullptr, Txt(u"A1"), "t:A1", u"甲"},
    {"text code no match", kComboCode, u"丙", {}, "null", u""},
    {"text name stored", kComboName, u"乙", {}, "t:\\u4E59", u"乙"},
    {"text name no match", kComboName, u"丁", {}, "null", u""},
    {"free combo", kComboFree, u"自由", {}, "t:\\u81EA\\u7531", u"自由"},
    {"radio index", kRadioInt, u"女", {}, "i:1", u"女"},
    {"radio value", kRadioInt, nullptr, Int(0), "i:0", u"男"},
    {"radio no match", kRadioInt, u"x", {}, "null", u""},
    {"radio text", kRadioText, u"女", {}, "t:\\u5973", u"女"},
    {"radio text no match", kRadioText, u"x", {}, "null", u""},
    {"check bits", kCheckInt, u"跑;读", {}, "i:5", u"读;跑"},
    {"check value", kCheckInt, nullptr, Int(2), "i:2", u"写"},
    {"check text canonical", kCheckText, u"跑;读", {}, "t:\\u8BFB;\\u8DD1", u"读;跑"},
    {"double text", kDouble, u"2.5", {}, "d:2.5", u"2.5"},
    {"double value", kDouble, nullptr, Dbl(2.5), "d:2.5", u"2.5"},
    {"double from integer", kDouble, nullptr, Int(3), "d:3", u"3.0"},
    {"fixed text", kFixed, u"1,234.5", {}, "d:1234.5", u"1234.50"},
    {"fixed value", kFixed, nullptr, Dbl(1234.5), "d:1234.5", u"1234.50"},
    {"fixed null", kFixed, u"", {}, "null", u".00"},
    {"ledger", kLedger, nullptr, Dbl(12.5), "d:12.5", u"12.50"},
    {"percent bar", kPercent, nullptr, Dbl(12.5), "d:12.5", u""},
    {"colour", kColour, nullptr, Int(255), "i:255", u""},
    {"link", kLink, u"点我", {}, "t:\\u70B9\\u6211", u"点我"},
    {"plain", kPlain, nullptr, Txt(u"plain"), "t:plain", u"plain"},
    {"plain null text", kPlain, nullptr, Txt(nullptr), "null", u""},
    {"date-time text",
     kStamp,
     u"2024-03-05 07:08:09",
     {},
     "dt:2024-3-5 7:8:9.0",
     u"2024-03-05 07:08:09"},
    {"date-time value", kStamp, nullptr, Time(2024, 3, 5, 7, 8, 9), "dt:2024-3-5 7:8:9.0",
     u"2024-03-05 07:08:09"},
    {"date template", kDay, u"2024/03/05", {}, "dt:2024-3-5 0:0:0.0", u"2024/03/05"},
    {"date refuses int", kDay, nullptr, Int(5), "null", u""},
    {"text mask", kMaskText, u"123-4567", {}, "t:123-4567", u"123-4567"},
    {"null value", kInt4, nullptr, kNone, "null", u""},
};

TEST(GriderCell, SetUpFromTextAndValueAndRoundTrip)
{
    for (const CellCase &c : kCases) {
        SCOPED_TRACE(c.name);
        XPageGrider grid;
        grid.InsertHeader(0, &c.column);
        void *row = grid.InsertMatter(0, nullptr, nullptr);
        const bool refused = c.text == nullptr && c.value.type != kVarNull &&
                             std::string(c.image) == "null" && c.value.value.text != nullptr;
        if (c.text != nullptr)
            ASSERT_TRUE(grid.SetItemText(row, 0, c.text));
        else
            EXPECT_EQ(grid.SetSuber(row, 0, &c.value), refused ? 0 : 1);
        EXPECT_EQ(CellImage(grid, row, 0), c.image);
        EXPECT_EQ(Narrow(Display(grid, row, 0)), Narrow(c.display));

        // The record of the cell loads into a new row as the same cell.
        std::vector<unsigned char> record(grid.GetMatterSize());
        unsigned char nulls[1] = {9};
        ASSERT_TRUE(grid.GetMatter(row, record.data(), nulls));
        EXPECT_EQ(nulls[0], std::string(c.image) == "null" ? 1 : 0);
        void *copy = grid.InsertMatter(1, record.data(), nulls);
        EXPECT_EQ(CellImage(grid, copy, 0), c.image);
        EXPECT_EQ(Narrow(Display(grid, copy, 0)), Narrow(c.display));
        // So does the single-cell record form.
        std::vector<unsigned char> field(grid.GetMatterSize());
        unsigned char isNull = 9;
        ASSERT_TRUE(grid.GetSuber(row, 0, field.data(), &isNull));
        EXPECT_EQ(field, record);
        void *again = grid.InsertMatter(2, nullptr, nullptr);
        ASSERT_TRUE(grid.SetSuber(again, 0, field.data(), &isNull));
        EXPECT_EQ(CellImage(grid, again, 0), c.image);
    }
}

// A code written by index instead of by code would store 1 for "乙": the cell must hold
// the code the caller saves.
TEST(GriderCell, ComboStoresTheCodeNotTheIndex)
{
    XPageGrider grid;
    grid.InsertHeader(0, &kComboInt);
    grid.InsertHeader(1, &kComboCode);
    void *row = grid.InsertMatter(0, nullptr, nullptr);
    const struct
    {
        const char16_t *name;
        int64_t code;
    } names[] = {{u"甲", 10}, {u"乙", 20}, {u"丙", 30}};
    for (const auto &n : names) {
        ASSERT_TRUE(grid.SetItemText(row, 0, n.name));
        unsigned char record[4 + 16] = {};
        grid.GetMatter(row, record, nullptr);
        int32_t stored;
        std::memcpy(&stored, record, 4);
        EXPECT_EQ(stored, n.code);
        char16_t out[kComboCodeOut];
        ASSERT_TRUE(grid.GetComboCode(row, 0, 0, out));
        EXPECT_EQ(out[0], 1);
        EXPECT_EQ(std::u16string(out + 1), n.code == 10 ? u"10" : n.code == 20 ? u"20" : u"30");
        ASSERT_TRUE(grid.GetComboCode(row, 0, 1, out)); // as a text code
        EXPECT_EQ(out[0], 2);
    }
    ASSERT_TRUE(grid.SetItemText(row, 1, u"甲"));
    char16_t out[kComboCodeOut];
    ASSERT_TRUE(grid.GetComboCode(row, 1, 0, out));
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(std::u16string(out + 1), u"A1");
    ASSERT_TRUE(grid.SetItemText(row, 1, u""));
    EXPECT_EQ(grid.GetComboCode(row, 1, 0, out), 0);
    EXPECT_EQ(out[0], 0);

    EXPECT_EQ(grid.SetComboText(row, 0, u"丁"), 0);
    EXPECT_EQ(CellImage(grid, row, 0), "i:30");
    ASSERT_TRUE(grid.SetComboText(row, 0, u"乙"));
    EXPECT_EQ(CellImage(grid, row, 0), "i:20");
    XGB_HEADER plain = Column(kGridInteger, 4);
    grid.InsertHeader(2, &plain);
    row = grid.InsertMatter(0, nullptr, nullptr);
    EXPECT_EQ(grid.SetComboText(row, 2, u"乙"), 0);
    EXPECT_EQ(grid.GetComboCode(row, 2, 0, out), 0);
}

TEST(GriderCell, GetItemText)
{
    XPageGrider grid;
    grid.InsertHeader(0, &kColour);
    grid.InsertHeader(1, &kPlain);
    grid.InsertHeader(2, &kCheckInt);
    XGB_HEADER wide = Column(kGridText, 40);
    grid.InsertHeader(3, &wide);
    void *row = grid.InsertMatter(0, nullptr, nullptr);
    grid.SetItemText(row, 0, u"255");
    grid.SetItemText(row, 2, u"写;跑");
    grid.SetItemText(row, 3, u"a😀b");
    struct Case
    {
        unsigned col, size;
        const char16_t *text;
    };
    const Case cases[] = {
        {0, 10, u"255"}, {1, 10, u""}, {2, 10, u"写;跑"}, {3, 10, u"a😀b"},
        {3, 4, u"a😀"},   {3, 3, u"a"}, {3, 2, u"a"},      {3, 1, u""},
    };
    for (const Case &c : cases) {
        char16_t out[16];
        std::fill(std::begin(out), std::end(out), u'#');
        ASSERT_TRUE(grid.GetItemText(row, c.col, out, c.size));
        EXPECT_EQ(std::u16string(out), c.text) << c.col << "/" << c.size;
    }
    char16_t out[4];
    EXPECT_EQ(grid.GetItemText(row, 4, out, 4), 0);
    EXPECT_EQ(grid.GetItemText(nullptr, 0, out, 4), 0);
}

// PutValue into a record of four columns, read back through SetMatter.
TEST(GriderCell, PutValue)
{
    XPageGrider grid;
    grid.InsertHeader(0, &kInt2);
    XGB_HEADER text = Column(kGridText, 4);
    grid.InsertHeader(1, &text);
    grid.InsertHeader(2, &kDouble);
    grid.InsertHeader(3, &kStamp);
    ASSERT_EQ(grid.GetMatterSize(), 2u + 8 + 8 + 8);
    struct Case
    {
        const char *name;
        unsigned col;
        int kind; // 0 int64, 1 double, 2 text, 3 date-time, 4 uint32
        int64_t i;
        double d;
        const char16_t *t;
        int result;
        const char *image;
    };
    const Case cases[] = {
        {"int at size", 0, 0, 70001, 0, nullptr, 1, "i:4465"},
        {"int as text", 1, 0, -12, 0, nullptr, 1, "t:-12"},
        {"int cut as text", 1, 0, 12345, 0, nullptr, 1, "t:123"},
        {"int to double", 2, 0, 7, 0, nullptr, 1, "d:7"},
        {"int refused", 3, 0, 7, 0, nullptr, 0, "null"},
        {"uint32", 0, 4, 65535, 0, nullptr, 1, "i:-1"},
        {"double to int", 0, 1, 0, -2.75, nullptr, 1, "i:-2"},
        {"double nan to int", 0, 1, 0, NAN, nullptr, 1, "i:0"},
        {"double as text", 1, 1, 0, 2.5, nullptr, 1, "t:2.5"},
        {"double refused", 3, 1, 0, 2.5, nullptr, 0, "null"},
        {"text to int", 0, 2, 0, 0, u" -12", 1, "i:-12"},
        {"text cut", 1, 2, 0, 0, u"abcdef", 1, "t:abc"},
        {"text cut before a pair", 1, 2, 0, 0, u"ab😀", 1, "t:ab"},
        {"text to double", 2, 2, 0, 0, u"1.5e1", 1, "d:15"},
        {"text to time", 3, 2, 0, 0, u"2024-03-05 07:08:09", 1, "dt:2024-3-5 7:8:9.0"},
        {"null text", 1, 2, 0, 0, nullptr, 1, "t:"},
        {"time", 3, 3, 0, 0, nullptr, 1, "dt:2024-3-5 7:8:9.0"},
        {"time refused", 0, 3, 0, 0, nullptr, 0, "null"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> record(grid.GetMatterSize(), 0);
        unsigned char nulls[4] = {1, 1, 1, 1};
        const DATETIME_t t = {2024, 3, 5, 7, 8, 9, 0};
        int result = 0;
        switch (c.kind) {
        case 0:
            result = grid.PutValue(record.data(), c.col, c.i);
            break;
        case 1:
            result = grid.PutValue(record.data(), c.col, c.d);
            break;
        case 2:
            result = grid.PutValue(record.data(), c.col, c.t);
            break;
        case 3:
            result = grid.PutValue(record.data(), c.col, t);
            break;
        default:
            result = grid.PutValue(record.data(), c.col, static_cast<uint32_t>(c.i));
            break;
        }
        EXPECT_EQ(result, c.result);
        if (result != 0)
            nulls[c.col] = 0;
        void *row = grid.InsertMatter(0, record.data(), nulls);
        EXPECT_EQ(CellImage(grid, row, c.col), c.image);
    }
    std::vector<unsigned char> record(grid.GetMatterSize(), 0);
    EXPECT_EQ(grid.PutValue(record.data(), 4, int64_t{1}), 0);
    EXPECT_EQ(grid.SeekSuber(record.data(), 4), nullptr);
    EXPECT_EQ(grid.SeekSuber(record.data(), 3), record.data() + 18);
}

// A date-time put into a text column reads back through the default template.
TEST(GriderCell, DateTimeTextReadsBack)
{
    XPageGrider grid;
    XGB_HEADER text = Column(kGridText, 20);
    grid.InsertHeader(0, &text);
    std::vector<unsigned char> record(grid.GetMatterSize());
    const DATETIME_t t = {2024, 3, 5, 7, 8, 9, 0};
    ASSERT_TRUE(grid.PutValue(record.data(), 0, t));
    void *row = grid.InsertMatter(0, record.data(), nullptr);
    EXPECT_EQ(Display(grid, row, 0), u"2024-03-05 07:08:09");
    DATETIME_t back = {};
    ASSERT_TRUE(ParseTimeEx(&back, grid.GetDisplayText(row, 0), nullptr));
    EXPECT_EQ(CompareTime(back, t), 0);
}

TEST(GriderCell, SuberForms)
{
    XPageGrider grid;
    grid.InsertHeader(0, &kInt2);
    XGB_HEADER text = Column(kGridText, 3);
    grid.InsertHeader(1, &text);
    void *row = grid.InsertMatter(0, nullptr, nullptr);
    grid.InsertMatter(0, nullptr, nullptr);
    grid.SetItemData(row, -9);
    grid.SetItemLayer(row, 2);
    grid.SetItemChoice(row, 1);
    grid.SetItemText(row, 0, u"-3");
    grid.SetItemText(row, 1, u"x😀"); // longer than a field: records cut it

    const unsigned cols[] = {kSuberRowIndex, kSuberRowData, kSuberSelected, 0, 1};
    XVarMeter out[5] = {};
    ASSERT_TRUE(grid.GetSuber(row, cols, 5, out));
    EXPECT_EQ(out[0].value.integer, 1);
    EXPECT_EQ(out[1].value.integer, -9);
    EXPECT_EQ(out[2].value.integer, 1);
    EXPECT_EQ(out[3].value.integer, -3);
    EXPECT_EQ(std::u16string(out[4].value.text), u"x😀");
    XVarMeter layer = {};
    ASSERT_TRUE(grid.GetSuber(row, kSuberLayer, &layer));
    EXPECT_EQ(layer.type, kVarInteger);
    EXPECT_EQ(layer.value.integer, 2);
    const unsigned withLayer[] = {0, kSuberLayer};
    EXPECT_EQ(grid.GetSuber(row, withLayer, 2, out), 0);
    const unsigned unknown[] = {0, 2};
    EXPECT_EQ(grid.GetSuber(row, unknown, 2, out), 0);

    // Several cells in record form: packed in the listed order.
    const unsigned pair[] = {1, 0};
    unsigned char packed[6 + 2];
    std::memset(packed, 0xEE, sizeof packed);
    unsigned char nulls[2] = {9, 9};
    ASSERT_TRUE(grid.GetSuber(row, pair, 2, packed, nulls));
    const unsigned char expected[] = {'x', 0, 0, 0, 0, 0, 0xFD, 0xFF};
    EXPECT_EQ(std::vector<unsigned char>(packed, packed + 8),
              std::vector<unsigned char>(expected, expected + 8));
    EXPECT_EQ(nulls[0], 0);
    EXPECT_EQ(grid.GetSuber(row, unknown, 2, packed, nulls), 0);

    // SetSuber refuses types that do not fit.
    const XVarMeter text1 = Txt(u"1");
    EXPECT_EQ(grid.SetSuber(row, 0, &text1), 0);
    EXPECT_EQ(CellImage(grid, row, 0), "i:-3");
    const XVarMeter time = Time(2024, 1, 1, 0, 0, 0);
    EXPECT_EQ(grid.SetSuber(row, 1, &time), 0);
    EXPECT_EQ(grid.SetSuber(row, 2, &text1), 0);
    EXPECT_EQ(grid.SetSuber(row, 1, nullptr, nullptr), 0);

    grid.SetUnite(row, 1, 0x11);
    EXPECT_EQ(CellImage(grid, row, 1), "null");
    EXPECT_EQ(static_cast<XMatterNode *>(row)->subers[1].covered, 0x11);
    grid.SetUnite(row, 0, 1);
    EXPECT_EQ(CellImage(grid, row, 0), "i:-3");
}

TEST(GriderCell, MatchMatter)
{
    XPageGrider grid;
    grid.InsertHeader(0, &kInt4);
    grid.InsertHeader(1, &kPlain);
    grid.InsertHeader(2, &kStamp);
    void *a = grid.InsertMatter(0, nullptr, nullptr);
    void *b = grid.InsertMatter(1, nullptr, nullptr);
    const unsigned cols[] = {0, 1, 2};
    const uint16_t types[] = {kGridInteger, kGridText, kGridDateTime};
    EXPECT_EQ(grid.MatchMatter(a, b, cols, types, 3), 1); // null equals null
    grid.SetItemText(a, 0, u"5");
    EXPECT_EQ(grid.MatchMatter(a, b, cols, types, 3), 0);
    grid.SetItemText(b, 0, u"5");
    grid.SetItemText(a, 1, u"k");
    grid.SetItemText(b, 1, u"k");
    grid.SetItemText(a, 2, u"2024-01-02 03:04:05");
    grid.SetItemText(b, 2, u"2024-01-02 03:04:05");
    EXPECT_EQ(grid.MatchMatter(a, b, cols, types, 3), 1);
    grid.SetItemText(b, 2, u"2024-01-02 03:04:06");
    EXPECT_EQ(grid.MatchMatter(a, b, cols, types, 3), 0);
    EXPECT_EQ(grid.MatchMatter(a, b, cols, types, 2), 1);
    const unsigned bad[] = {3};
    EXPECT_EQ(grid.MatchMatter(a, b, bad, types, 1), 0);
}

// A cell change marks the row, recomputes the column's total at once when no repaint is
// pending, and otherwise leaves it to the next frame.
TEST(GriderCell, ChangeMarksRowAndTotals)
{
    XPageGrider grid;
    XGB_HEADER sum = Column(kGridInteger, 4);
    sum.aggregate = kAggrSum;
    grid.InsertHeader(0, &sum);
    grid.extraFlags |= kGridTotals;
    void *a = grid.InsertMatter(0, nullptr, nullptr);
    void *b = grid.InsertMatter(1, nullptr, nullptr);
    grid.SetItemState(a, 0);
    grid.FlushUpdate();
    void *total = grid.GetItemMatter(2);
    ASSERT_EQ(grid.GetItemAdder(total), kAdderTotal);
    grid.SetModifyState(0);
    EXPECT_FALSE(grid.GetModifyState()); // writing totals modifies nothing
    EXPECT_EQ(grid.GetItemState(total), 0u);

    ASSERT_TRUE(grid.SetItemText(a, 0, u"4"));
    EXPECT_EQ(grid.GetItemState(a), kMatterModified);
    EXPECT_TRUE(grid.GetModifyState());
    EXPECT_EQ(CellImage(grid, total, 0), "i:4");
    EXPECT_EQ(grid.GetUpdateMode(), kUpdatePending);
    ASSERT_TRUE(grid.SetItemText(b, 0, u"5"));
    EXPECT_EQ(CellImage(grid, total, 0), "i:4");
    EXPECT_EQ(grid.GetUpdateMode(), kUpdatePending | kUpdateData);
    grid.SetModifyState(0);
    grid.FlushUpdate();
    EXPECT_EQ(CellImage(grid, total, 0), "i:9");
    EXPECT_FALSE(grid.GetModifyState());
    EXPECT_EQ(grid.GetItemState(total), 0u);
    EXPECT_EQ(grid.GetUpdateMode(), 0u);

    // SetMatter repaints and recomputes every total unless the word is set.
    int32_t v = 10;
    unsigned char record[4];
    std::memcpy(record, &v, 4);
    ASSERT_TRUE(grid.SetMatter(0u, record, nullptr));
    EXPECT_EQ(CellImage(grid, total, 0), "i:15");
    grid.SetUpdateMode(1);
    ASSERT_TRUE(grid.SetMatter(1u, record, nullptr));
    EXPECT_EQ(CellImage(grid, total, 0), "i:15");
    EXPECT_EQ(grid.GetUpdateMode(), 1u | kUpdateData);
    EXPECT_EQ(grid.SetMatter(3u, record, nullptr), 0);
}

TEST(GriderCell, MapperChangeRenamesCells)
{
    XPageGrider grid;
    grid.InsertHeader(0, &kComboInt);
    void *row = grid.InsertMatter(0, nullptr, nullptr);
    grid.SetItemText(row, 0, u"乙");
    ASSERT_TRUE(grid.SetItemMapper(0, u"10;一\n20;二"));
    EXPECT_EQ(Display(grid, row, 0), u"二");
    EXPECT_EQ(CellImage(grid, row, 0), "i:20");
}

// Bar maxima: the largest value of a bar column, the largest start plus length of a
// range column, at least 0.0001.
TEST(GriderCell, ComputeSchedule)
{
    XPageGrider grid;
    const XGB_HEADER bar = Column(kGridDouble, 8, kCellBar);
    const XGB_HEADER range = Column(kGridInteger, 4, kCellRange);
    grid.InsertHeader(0, &bar);
    grid.InsertHeader(1, &range);
    grid.InsertHeader(2, &bar);
    EXPECT_EQ(grid.GetHeaderNode(0)->maxValue, 100.0);
    void *a = grid.InsertMatter(0, nullptr, nullptr);
    void *b = grid.InsertMatter(1, nullptr, nullptr);
    grid.SetItemText(a, 0, u"-3");
    grid.SetItemText(b, 0, u"7.5");
    grid.SetItemText(a, 1, u"196618"); // start 3, length 10
    grid.SetItemText(b, 1, u"65537");  // start 1, length 1
    grid.SetItemText(a, 2, u"-1");
    grid.FlushUpdate();
    EXPECT_EQ(grid.GetHeaderNode(0)->maxValue, 7.5);
    EXPECT_EQ(grid.GetHeaderNode(1)->maxValue, 13.0);
    EXPECT_EQ(grid.GetHeaderNode(2)->maxValue, 0.0001);
    EXPECT_EQ(Display(grid, b, 0), u"");
}

// A cell's own texts, as GetSuber and GetDisplayText hand them out, set it again.
TEST(GriderCell, OwnTextsSetTheCellAgain)
{
    XPageGrider grid;
    grid.InsertHeader(0, &kPlain);
    grid.InsertHeader(1, &kComboCode);
    void *row = grid.InsertMatter(0, nullptr, nullptr);
    grid.SetItemText(row, 0, u"自己");
    grid.SetItemText(row, 1, u"乙");
    for (unsigned col : {0u, 1u}) {
        XVarMeter v = {};
        ASSERT_TRUE(grid.GetSuber(row, col, &v));
        ASSERT_TRUE(grid.SetSuber(row, col, &v));
        ASSERT_TRUE(grid.SetItemText(row, col, grid.GetDisplayText(row, col)));
    }
    EXPECT_EQ(CellImage(grid, row, 0), "t:\\u81EA\\u5DF1");
    EXPECT_EQ(CellImage(grid, row, 1), "t:B2");
    EXPECT_EQ(Display(grid, row, 1), u"乙");
}

} // namespace
