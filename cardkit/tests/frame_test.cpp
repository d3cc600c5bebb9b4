// Byte-exact command frames, cross-checked against an independent encoder,
// and the response parsers' checks.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "cardkit/base_msg.h"
#include "cardkit/hex_text.h"
#include "cardkit/ic_frame.h"
#include "cardkit/sam_id.h"
#include "cardkit/sdt_frame.h"
#include "sim_util.h"

using namespace cardkit;

namespace {

std::string Hex(const Bytes &bytes)
{
    std::string text;
    for (uint8_t b : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, "%02X ", b);
        text += part;
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

// Runs the python encoder over `requests` (one per line) and returns its lines.
std::vector<std::string> Oracle(const std::vector<std::string> &requests)
{
    const cardtest::TempFolder folder;
    const std::string input = folder.path() + "/requests.txt";
    {
        std::ofstream out(input);
        for (const auto &r : requests)
            out << r << "\n";
    }
    const std::string command = "/usr/bin/python3 " ZEP_TEST_DIR "/frame_oracle.py < " + input;
    FILE *pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::vector<std::string> lines;
    char line[4096];
    while (pipe && std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        lines.push_back(text);
    }
    EXPECT_EQ(pipe ? pclose(pipe) : -1, 0);
    return lines;
}

const std::array<uint8_t, 6> kKey = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const std::array<uint8_t, 16> kBlock = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

} // namespace

TEST(CardFrame, KnownFramesAreByteExact)
{
    EXPECT_EQ(Hex(EncodeSdtCommand(kSdtSamStatus)), "AA AA AA 96 69 00 03 11 FF ED");
    EXPECT_EQ(Hex(EncodeIcSerialNumber()), "55 AA 04 02 FF FF F9");
}

TEST(CardFrame, EveryCommandMatchesIndependentEncoder)
{
    const uint8_t param58 = 0x58;
    struct Case
    {
        Bytes ours;
        std::string request;
    };
    const Case cases[] = {
        {EncodeSdtCommand(kSdtSamStatus), "sdt 11 FF"},
        {EncodeSdtCommand(kSdtSamId), "sdt 12 FF"},
        {EncodeSdtCommand(kSdtFindCard), "sdt 20 01"},
        {EncodeSdtCommand(kSdtSelectCard), "sdt 20 02"},
        {EncodeSdtCommand(kSdtReadBaseMsg), "sdt 30 01"},
        {EncodeSdtCommand(kSdtReadNewAddress), "sdt 30 03"},
        {EncodeSdtCommand(kSdtSetCommParam, &param58, 1), "sdt 61 FF 58"},
        {EncodeIcSerialNumber(), "ic 02 FF FF"},
        {EncodeIcReadBlock(15, 3, kIcKeyB, kKey), "ic 03 FF 0F 03 61 FF FF FF FF FF FF"},
        {EncodeIcWriteBlock(1, 2, kIcKeyA, kKey, kBlock),
         "ic 04 FF 01 02 60 FF FF FF FF FF FF 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"},
        {EncodeIcSignal(3), "ic C0 FF 03"},
        {EncodeIcSignal(0), "ic C0 FF 00"},
    };
    std::vector<std::string> requests;
    for (const auto &c : cases)
        requests.push_back(c.request);
    const auto expected = Oracle(requests);
    ASSERT_EQ(expected.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Hex(cases[i].ours), expected[i]) << cases[i].request;
}

// A response frame built by hand: header, status, data, check.
static Bytes SdtReply(uint8_t sw3, const Bytes &data)
{
    const size_t length = 3 + data.size() + 1;
    Bytes frame = {0xAA, 0xAA, 0xAA, 0x96, 0x69, uint8_t(length >> 8), uint8_t(length), 0, 0, sw3};
    frame.insert(frame.end(), data.begin(), data.end());
    uint8_t check = 0;
    for (size_t i = 5; i < frame.size(); ++i)
        check ^= frame[i];
    frame.push_back(check);
    return frame;
}

TEST(CardFrame, SdtResponseChecks)
{
    SdtResponse r;
    Bytes good = SdtReply(0x90, {1, 2, 3});
    ASSERT_EQ(ParseSdtResponse(good.data(), good.size(), &r), FrameError::None);
    EXPECT_TRUE(r.Succeeded());
    EXPECT_EQ(r.data, (Bytes{1, 2, 3}));

    Bytes padded = good;
    padded.resize(64, 0); // HID reports carry padding after the frame
    EXPECT_EQ(ParseSdtResponse(padded.data(), padded.size(), &r), FrameError::None);

    Bytes bad_check = good;
    bad_check.back() ^= 1;
    Bytes bad_preamble = good;
    bad_preamble[3] = 0x95;
    Bytes too_long = good;
    too_long[6] += 1; // announces one byte more than received
    Bytes tiny = SdtReply(0x90, {});
    tiny[6] = 3; // shorter than status and check
    Bytes huge = good;
    huge[5] = 0x10; // 4096 + n: beyond any buffer
    struct Case
    {
        const Bytes &frame;
        size_t size;
        FrameError expected;
    };
    const Case cases[] = {
        {bad_check, bad_check.size(), FrameError::BadCheck},
        {bad_preamble, bad_preamble.size(), FrameError::BadPreamble},
        {too_long, too_long.size(), FrameError::Truncated},
        {tiny, tiny.size(), FrameError::BadLength},
        {huge, huge.size(), FrameError::BadLength},
        {good, 6, FrameError::Truncated},
        {good, good.size() - 1, FrameError::Truncated},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseSdtResponse(c.frame.data(), c.size, &r), c.expected);
}

TEST(CardFrame, IcResponsesAndAnswers)
{
    const uint8_t serial[] = {0x02, 0xFF, 0xDE, 0xAD, 0xBE, 0xEF};
    Bytes frame = EncodeIcFrame(serial, sizeof serial);
    Bytes data;
    ASSERT_EQ(ParseIcResponse(frame.data(), frame.size(), &data), FrameError::None);
    EXPECT_EQ(ParseIcSerialNumber(data).value_or("-"), "DEADBEEF");

    Bytes broken = frame;
    broken[4] ^= 0x40;
    EXPECT_EQ(ParseIcResponse(broken.data(), broken.size(), &data), FrameError::BadCheck);
    EXPECT_EQ(ParseIcResponse(frame.data(), frame.size() - 1, &data), FrameError::Truncated);
    Bytes zero = {0x55, 0xAA, 0x00};
    EXPECT_EQ(ParseIcResponse(zero.data(), zero.size(), &data), FrameError::BadLength);

    EXPECT_FALSE(ParseIcSerialNumber({0x02, 0xFF, 1, 2, 3})); // too short
    EXPECT_FALSE(ParseIcSerialNumber({0x03, 0xFF, 1, 2, 3, 4}));
    Bytes block = {0x03, 0xFF};
    block.insert(block.end(), kBlock.begin(), kBlock.end());
    EXPECT_EQ(ParseIcReadBlock(block).value(), kBlock);
    block.pop_back();
    EXPECT_FALSE(ParseIcReadBlock(block));
    EXPECT_TRUE(ParseIcWriteBlock({0x04, 0xFF}));
    EXPECT_FALSE(ParseIcWriteBlock({0x04}));
}

TEST(CardFrame, HexText)
{
    EXPECT_EQ(ParseHex(u"a0FF09", 3).value(), (Bytes{0xA0, 0xFF, 0x09}));
    EXPECT_FALSE(ParseHex(u"a0FF0", 3));
    EXPECT_FALSE(ParseHex(u"a0FF0G", 3));
    EXPECT_FALSE(ParseHex(u"a0FF09 ", 3));
    EXPECT_EQ(FormatHex(kBlock.data(), 4), "00010203");
}

TEST(CardFrame, SamIdentifierText)
{
    // 5.1 - 20101216 - 123456789 - 4000000000, little-endian
    const uint8_t id[16] = {0x05, 0x00, 0x01, 0x00, 0x60, 0xB0, 0x32, 0x01,
                            0x15, 0xCD, 0x5B, 0x07, 0x00, 0x28, 0x6B, 0xEE};
    const auto text = FormatSamId(id, 16);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "05.01-20099168-0123456789-4000000000");
    EXPECT_EQ(CardReaderIdOf(*text), "0123456789");
    EXPECT_EQ(text->substr(15, 10), CardReaderIdOf(*text));
    EXPECT_FALSE(FormatSamId(id, 15));
    EXPECT_EQ(CardReaderIdOf("12345.01-20101216-0000000001-0000000002"), "0000000001");
    EXPECT_EQ(CardReaderIdOf("garbage"), "");
}
