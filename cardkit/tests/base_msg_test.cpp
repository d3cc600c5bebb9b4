// The base-message and additional-address parsers and the nation table.
#include <gtest/gtest.h>

#include <cstring>

#include "cardkit/base_msg.h"
#include "cardkit/nation_table.h"

using namespace cardkit;

namespace {

// Writes `text` padded with spaces into `units` UTF-16LE units at `at`.
void Put(Bytes &buffer, size_t at, size_t units, std::u16string_view text)
{
    for (size_t i = 0; i < units; ++i) {
        const char16_t c = i < text.size() ? text[i] : u' ';
        buffer[2 * (at + i)] = uint8_t(c);
        buffer[2 * (at + i) + 1] = uint8_t(c >> 8);
    }
}

Bytes CardText(std::u16string_view name, std::u16string_view sex, std::u16string_view nation)
{
    Bytes text(256, 0);
    Put(text, 0, 15, name);
    Put(text, 15, 1, sex);
    Put(text, 16, 2, nation);
    Put(text, 18, 8, u"19800102");
    Put(text, 26, 35, u"北京市东城区某某胡同1号");
    Put(text, 61, 18, u"11010119800102001X");
    Put(text, 79, 15, u"北京市公安局东城分局");
    Put(text, 94, 8, u"20100101");
    Put(text, 102, 8, u"长期");
    return text;
}

Bytes Message(const Bytes &text, size_t photo_length, size_t text_length = 256)
{
    Bytes data = {uint8_t(text_length >> 8), uint8_t(text_length), uint8_t(photo_length >> 8),
                  uint8_t(photo_length)};
    data.insert(data.end(), text.begin(), text.begin() + std::min(text_length, text.size()));
    for (size_t i = 0; i < photo_length; ++i)
        data.push_back(uint8_t(i * 7));
    return data;
}

} // namespace

TEST(CardBaseMsg, DecodesEveryField)
{
    // U+20BB7 (outside the BMP) must survive as a surrogate pair.
    const Bytes data = Message(CardText(u"  𠮷张三  ", u"1", u"01"), 1024);
    BaseMsg_t msg;
    ASSERT_TRUE(ParseBaseMsg(data.data(), data.size(), &msg));
    EXPECT_EQ(msg.name, u"𠮷张三");
    EXPECT_EQ(msg.sex, u'1');
    EXPECT_EQ(msg.nation_code, 1);
    EXPECT_EQ(msg.born, u"19800102");
    EXPECT_EQ(msg.address, u"北京市东城区某某胡同1号");
    EXPECT_EQ(msg.card_no, u"11010119800102001X");
    EXPECT_EQ(msg.issued_at, u"北京市公安局东城分局");
    EXPECT_EQ(msg.valid_start, u"20100101");
    EXPECT_EQ(msg.valid_end, u"长期");
    EXPECT_EQ(msg.photo_length, 1024u);
    EXPECT_EQ(msg.photo[1023], uint8_t(1023 * 7));
}

TEST(CardBaseMsg, RefusesLengthsBeyondFieldOrData)
{
    const Bytes text = CardText(u"李四", u"2", u"03");
    BaseMsg_t msg;
    struct Case
    {
        Bytes data;
        bool ok;
    };
    Bytes cut = Message(text, 1024);
    cut.pop_back();
    Bytes big_text = Message(text, 0);
    big_text[0] = 0x01;
    big_text[1] = 0x02; // 258 text bytes
    Bytes big_photo = Message(text, 1024);
    big_photo[3] = 0x01; // 1025 photo bytes
    const Case cases[] = {
        {Message(text, 1024), true},
        {Message(text, 10, 100), true}, // short parts are zero-filled
        {cut, false},
        {big_text, false},
        {big_photo, false},
        {Bytes{0, 0, 0}, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseBaseMsg(c.data.data(), c.data.size(), &msg), c.ok);
    const Bytes partial = Message(text, 10, 100);
    ASSERT_TRUE(ParseBaseMsg(partial.data(), partial.size(), &msg));
    EXPECT_EQ(msg.name, u"李四");
    EXPECT_EQ(msg.card_no, u""); // beyond the 100 bytes received
    EXPECT_EQ(msg.photo[10], 0);
}

TEST(CardBaseMsg, NationCodes)
{
    struct Case
    {
        std::u16string_view digits;
        int code;
        std::u16string_view name;
    };
    const Case cases[] = {
        {u"01", 1, u"汉"},    {u"56", 56, u"基诺"}, {u"29", 29, u"柯尔克孜"},
        {u"00", 0, u""},      {u"57", 57, u""},     {u"93", 93, u""},
        {u"94", 94, u"芒人"}, {u"98", 98, u"入籍"}, {u"99", 99, u"其他族"},
        {u"1x", 0, u""},
    };
    for (const auto &c : cases) {
        const Bytes text = CardText(u"王五", u"0", c.digits);
        BaseMsg_t msg;
        DecodeBaseText(text.data(), text.size(), &msg);
        EXPECT_EQ(msg.nation_code, c.code);
        EXPECT_EQ(NationName(msg.nation_code), c.name);
    }
    EXPECT_EQ(NationName(100), u"");
    EXPECT_EQ(NationName(-1), u"");
}

TEST(CardBaseMsg, AdditionalAddresses)
{
    Bytes data(140, 0);
    Put(data, 0, 35, u"新地址一");
    Put(data, 35, 35, u"");
    std::array<std::u16string, 4> entries;
    EXPECT_EQ(ParseNewAddress(data.data(), data.size(), &entries), 1);
    EXPECT_EQ(entries[0], u"新地址一");
    EXPECT_EQ(entries[1], u"");
    data.resize(280, 0);
    Put(data, 105, 35, u"第四条");
    EXPECT_EQ(ParseNewAddress(data.data(), data.size(), &entries), 2);
    EXPECT_EQ(entries[3], u"第四条");
    data.push_back(0);
    EXPECT_EQ(ParseNewAddress(data.data(), data.size(), &entries), -1);
}
