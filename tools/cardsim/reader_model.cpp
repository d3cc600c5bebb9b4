#include "reader_model.h"

#include <cstdio>
#include <iterator>
#include <string_view>

namespace {

constexpr uint8_t kPreamble[5] = {0xAA, 0xAA, 0xAA, 0x96, 0x69};
constexpr uint8_t kKey[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

Bytes SdtFrame(uint8_t sw3, const Bytes &data)
{
    const size_t length = 3 + data.size() + 1;
    Bytes frame(kPreamble, kPreamble + 5);
    frame.push_back(uint8_t(length >> 8));
    frame.push_back(uint8_t(length));
    frame.insert(frame.end(), {0, 0, sw3});
    frame.insert(frame.end(), data.begin(), data.end());
    uint8_t check = 0;
    for (size_t i = 5; i < frame.size(); ++i)
        check ^= frame[i];
    frame.push_back(check);
    return frame;
}

Bytes IcFrame(const Bytes &data)
{
    Bytes frame = {0x55, 0xAA, uint8_t(data.size() + 1)};
    frame.insert(frame.end(), data.begin(), data.end());
    uint8_t check = 0;
    for (uint8_t b : frame)
        check ^= b;
    frame.push_back(check);
    return frame;
}

void PutText(Bytes &out, std::u16string_view text, size_t units)
{
    for (size_t i = 0; i < units; ++i) {
        const char16_t c = i < text.size() ? text[i] : u' ';
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
    }
}

// The identity cards the simulator can hold, in the order of --card. Columns:
// name, sex, nation, birth, address, number, authority, validity start and
// end, and the step of the photo bytes (byte i is i * step).
struct Card
{
    std::u16string_view name, sex, nation, born, address, number, authority, start, end;
    int photo_step;
};
constexpr Card kCards[] = {
    {u"𠮷张三", u"1", u"02", u"19800102", u"北京市东城区景山前街4号", u"11010119800102001X",
     u"北京市公安局东城分局", u"20100101", u"长期", 7},
    {u"李四", u"0", u"01", u"19910203", u"上海市黄浦区人民大道200号", u"310101199102030027",
     u"上海市公安局黄浦分局", u"20150301", u"20350301", 13},
};

Bytes BaseMessage(const Card &card)
{
    Bytes text;
    PutText(text, card.name, 15);
    PutText(text, card.sex, 1);
    PutText(text, card.nation, 2);
    PutText(text, card.born, 8);
    PutText(text, card.address, 35);
    PutText(text, card.number, 18);
    PutText(text, card.authority, 15);
    PutText(text, card.start, 8);
    PutText(text, card.end, 8);
    PutText(text, u"", 18);
    Bytes data = {0x01, 0x00, 0x04, 0x00}; // 256 text bytes, 1024 photo bytes
    data.insert(data.end(), text.begin(), text.end());
    for (int i = 0; i < 1024; ++i)
        data.push_back(uint8_t(i * card.photo_step));
    return data;
}

Bytes NewAddress()
{
    Bytes data;
    PutText(data, u"北京市西城区新街口1号", 35);
    PutText(data, u"", 35);
    return data;
}

constexpr uint8_t kSamId[16] = {0x05, 0x00, 0x01, 0x00, 0x60, 0xB0, 0x32, 0x01,
                                0x15, 0xCD, 0x5B, 0x07, 0x00, 0x28, 0x6B, 0xEE};

} // namespace

bool ReaderModel::TakeFrame(Bytes &input, Bytes *frame)
{
    for (;;) {
        if (input.empty())
            return false;
        const bool sdt = input[0] == 0xAA;
        const bool ic = input[0] == 0x55;
        if (!sdt && !ic) {
            input.erase(input.begin());
            continue;
        }
        const size_t header = sdt ? 7 : 3;
        if (input.size() < header)
            return false;
        if ((sdt && !std::equal(kPreamble, kPreamble + 5, input.begin())) ||
            (ic && input[1] != 0xAA)) {
            input.erase(input.begin());
            continue;
        }
        const size_t body = sdt ? size_t(input[5]) << 8 | input[6] : input[2];
        if (input.size() < header + body)
            return false;
        frame->assign(input.begin(), input.begin() + header + body);
        input.erase(input.begin(), input.begin() + header + body);
        return true;
    }
}

Bytes ReaderModel::Answer(const Bytes &frame)
{
    if (m_fault == Fault::WrongBaud)
        return {};
    if (frame[0] == 0xAA) {
        uint8_t check = 0;
        for (size_t i = 5; i < frame.size(); ++i)
            check ^= frame[i];
        if (check != 0 || frame.size() < 10)
            return {};
        return AnswerSdt(frame[7], frame[8]);
    }
    uint8_t check = 0;
    for (uint8_t b : frame)
        check ^= b;
    if (check != 0 || frame.size() < 4)
        return {};
    return AnswerIc(Bytes(frame.begin() + 3, frame.end() - 1));
}

Bytes ReaderModel::AnswerSdt(uint8_t command, uint8_t parameter)
{
    switch (command << 8 | parameter) {
    case 0x11FF:
        return SdtFrame(0x90, {});
    case 0x12FF:
        return SdtFrame(0x90, Bytes(kSamId, kSamId + 16));
    case 0x2001:
        return SdtFrame(m_fault == Fault::NoCard ? 0x80 : 0x9F, {});
    case 0x2002:
        return SdtFrame(0x90, Bytes(8, 0));
    case 0x3003:
        return SdtFrame(0x90, NewAddress());
    case 0x3001: {
        Bytes answer = SdtFrame(0x90, BaseMessage(kCards[m_card]));
        if (m_fault == Fault::BadCheck)
            answer.back() ^= 0x5A;
        if (m_fault == Fault::Stall)
            answer.resize(kStallBytes);
        return answer;
    }
    default:
        if (command == 0x61)
            return SdtFrame(0x90, {});
        return SdtFrame(0x91, {});
    }
}

Bytes ReaderModel::AnswerIc(const Bytes &data)
{
    if (data.size() >= 3 && data[0] == 0x02)
        return IcFrame({0x02, 0xFF, 0xDE, 0xAD, 0xBE, 0xEF});
    if (data.size() >= 3 && data[0] == 0xC0)
        return IcFrame({0xC0, 0xFF});
    if (data.size() < 11 || (data[0] != 0x03 && data[0] != 0x04))
        return IcFrame({0xEE, 0x00});
    const uint8_t sector = data[2], block = data[3], key_type = data[4];
    const bool key_ok =
        (key_type == 0x60 || key_type == 0x61) && std::equal(kKey, kKey + 6, data.begin() + 5);
    if (!key_ok || sector > 15 || block > 3)
        return IcFrame({data[0], 0x00});
    auto &stored = m_blocks[sector * 4 + block];
    if (data[0] == 0x03) {
        Bytes answer = {0x03, 0xFF};
        answer.insert(answer.end(), stored.begin(), stored.end());
        return IcFrame(answer);
    }
    if (data.size() < 27)
        return IcFrame({0x04, 0x00});
    std::copy(data.begin() + 11, data.begin() + 27, stored.begin());
    return IcFrame({0x04, 0xFF});
}

std::string ReaderModel::Hex(const Bytes &frame)
{
    std::string text;
    char part[4];
    for (uint8_t b : frame) {
        std::snprintf(part, sizeof part, "%02X", b);
        text += part;
    }
    return text;
}

int ReaderModel::CardCount()
{
    return int(std::size(kCards));
}
