// Number words and separators, and code-list texts made from tables.
#include <gtest/gtest.h>

#include <string>

#include "corekit/text/strings.h"
#include "corekit/text/xstring.h"
#include "datakit/item_data_store.h"
#include "platform/scriptkit/xrow_grider.h"

namespace {

std::u16string Format(int mode, const std::u16string &src)
{
    std::u16string dst(FormatNumberRoom(static_cast<uint32_t>(src.size())), u'#');
    uint32_t n = FormatNumber(mode, src.c_str(), dst.data());
    EXPECT_EQ(0, dst[n]);
    return dst.substr(0, n);
}

TEST(FormatNumberTest, Modes)
{
    struct
    {
        int mode;
        const char16_t *src, *expected;
    } cases[] = {
        {0, u"-12.5", u"-12.5"},
        {1, u"-1234567.5", u"-1,234,567.5"},
        {1, u"123", u"123"},
        {1, u"1234", u"1,234"},
        {1, u"123456.789", u"123,456.789"},
        {2, u"10", u"一十"},
        {2, u"0", u"○"},
        {2, u"0.05", u"○点○五"},
        {2, u"10001", u"一万○一"},
        {2, u"100000001", u"一亿○一"},
        {2, u"1000010000", u"一十亿○一万"},
        {2, u"1000000000000", u"一万亿"},
        {2, u"1000100000000", u"一万○一亿"},
        {2, u"-1234", u"负一千二百三十四"},
        {3, u"20.5", u"贰拾点伍"},
        {3, u"1001", u"壹仟零壹"},
        {4, u"100100000.5", u"壹亿零壹拾万元伍角零分"},
        {4, u"12", u"壹拾贰元整"},
        {4, u"0.25", u"零元贰角伍分"},
        {4, u"9999999999999999",
         u"玖仟玖佰玖拾玖万玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元整"},
        {4, u"12345678901234567.5", u"12345678901234567.5"}, // beyond the tables: plain digits
        {5, u"2.50", u"二点五○"},
        {6, u"2.5", u"贰点伍"},
        {6, u"-1,2", u"-壹,贰"},
        {3, u"", u""},
    };
    for (auto &c : cases)
        EXPECT_EQ(std::u16string(c.expected), Format(c.mode, c.src))
            << c.mode << " " << std::string(c.src, c.src + Strlen(c.src));
}

TEST(FormatNumberTest, OtherModesLeaveTheDestination)
{
    char16_t dst[8] = u"keep";
    EXPECT_EQ(0u, FormatNumber(7, u"12", dst));
    EXPECT_EQ(0u, FormatNumber(-1, u"12", dst));
    EXPECT_EQ(std::u16string(u"keep"), std::u16string(dst));
}

XRowGrider *Table(std::initializer_list<uint16_t> types)
{
    std::vector<XGridColumn_t> cols;
    for (uint16_t t : types) {
        XGridColumn_t c{};
        c.type = t;
        c.size = 8;
        cols.push_back(c);
    }
    XRowGrider *g = XRowGrider::Malloc();
    g->SetItemDesc(cols.data(), nullptr, static_cast<uint32_t>(cols.size()));
    return g;
}

TEST(MakeDatabaseTest, CodeLists)
{
    XRowGrider *two = Table({kValueInteger, kValueText});
    two->SetCellValue(two->AppendRow(), 0, int64_t{1});
    two->SetCellValue(0, 1, u"A");
    two->SetCellValue(two->AppendRow(), 0, int64_t{2});
    two->SetCellValue(1, 1, u"B");
    XString out;
    EXPECT_EQ(8u, MakeDatabase(two, &out, 0, nullptr));
    EXPECT_EQ(std::u16string(u"1;A\r\n2;B"), std::u16string(out.GetString()));
    MakeDatabase(two, &out, 1, u"标题");
    EXPECT_EQ(std::u16string(u";标题\r\n1;A\r\n2;B"), std::u16string(out.GetString()));

    XRowGrider *mixed = Table({kValueFloater, kValueText});
    mixed->SetCellValue(mixed->AppendRow(), 0, -7.9);
    mixed->AppendRow();
    mixed->SetCellValue(1, 1, u"x");
    MakeDatabase(mixed, &out, 0, nullptr);
    EXPECT_EQ(std::u16string(u"-7;\r\n;x"), std::u16string(out.GetString()));

    XRowGrider *one = Table({kValueText});
    one->AppendRow();
    one->SetCellValue(one->AppendRow(), 0, u"v");
    MakeDatabase(one, &out, 0, nullptr);
    EXPECT_EQ(std::u16string(u"0;\r\n1;v"), std::u16string(out.GetString()));
    MakeDatabase(one, &out, 1, u"h");
    EXPECT_EQ(std::u16string(u";h\r\n1;\r\n2;v"), std::u16string(out.GetString()));
    two->Release();
    mixed->Release();
    one->Release();
}

} // namespace
