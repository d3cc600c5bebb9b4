// The USB reader's two pipes, the HID reader and the driver back end, end to
// end against the simulator (or, for the driver, an in-process fake).
#include <gtest/gtest.h>

#include <map>

#include "cardkit/card_control.h"
#include "cardkit/hid_transport.h"
#include "cardkit/port_state.h"
#include "cardkit/text_util.h"
#include "sim_util.h"

using namespace cardkit;
using cardtest::Simulator;

namespace {

class CardTransportTest : public testing::Test
{
protected:
    void SetUp() override { SetCardConfig(cardtest::TestConfig(m_dir.path())); }
    void TearDown() override { m_control.CloseComm(); }

    std::unique_ptr<Simulator> Start(const std::string &mode, const std::string &target,
                                     const std::string &fault = "none")
    {
        auto sim = std::make_unique<Simulator>(
            m_dir.path(), std::vector<std::string>{"--" + mode, target, "--fault", fault});
        EXPECT_TRUE(sim->running());
        return sim;
    }
    void UseDefaultTiming()
    {
        CardConfig config = GetCardConfig();
        config.timing = CardTiming();
        SetCardConfig(config);
    }
    void ExpectCardFields()
    {
        EXPECT_EQ(m_control.Name, u"𠮷张三");
        EXPECT_EQ(m_control.Sex, u"1");
        EXPECT_EQ(m_control.Nation, u"蒙古");
        EXPECT_EQ(m_control.Born, u"19800102");
        EXPECT_EQ(m_control.Address, u"北京市东城区景山前街4号");
        EXPECT_EQ(m_control.CardNo, u"11010119800102001X");
        EXPECT_EQ(m_control.IssuedAt, u"北京市公安局东城分局");
        EXPECT_EQ(m_control.EffectedDate, u"20100101");
        EXPECT_EQ(m_control.ExpiredDate, u"长期");
        const std::string jpg = Ports().photo_folder + "/photo.jpg";
        EXPECT_EQ(ToUtf8(m_control.Picture), cardtest::Run("base64 -w0 '" + jpg + "'"));
        EXPECT_EQ(cardtest::Run("djpeg -pnm '" + jpg + "' | head -c 11"), "P6\n102 126\n");
    }

    cardtest::TempFolder m_dir;
    CCardControlCtrl m_control;
};

} // namespace

TEST_F(CardTransportTest, PipesReadTheWholeCard)
{
    auto sim = Start("fifo", m_dir.path() + "/usb0");
    EXPECT_EQ(m_control.ReadCard(), u"0");
    ExpectCardFields();
    EXPECT_EQ(m_control.CardReaderId, u"0123456789");
    EXPECT_EQ(m_control.getCardInfo(), 0);
    EXPECT_EQ(m_control.card_type, 2);
    EXPECT_EQ(m_control.errorFlag, 0);
    EXPECT_EQ(cardtest::Run("cmp '" + Ports().photo_folder + "/card.bmp' '" + Ports().photo_folder +
                            "/photo.bmp' && echo same"),
              "same\n");
    // IC blocks over the pipes (answers of up to 2048 bytes).
    ASSERT_EQ(m_control.ReadICCard(1001), 1);
    EXPECT_EQ(m_control.GetICCardSN(), u"DEADBEEF");
    EXPECT_EQ(
        m_control.WriteTypeABlock(15, 3, 2, u"FFFFFFFFFFFF", u"0102030405060708090A0B0C0D0E0F10"),
        1);
    EXPECT_EQ(m_control.ReadTypeABlock(15, 3, 1, u"FFFFFFFFFFFF"),
              u"0102030405060708090A0B0C0D0E0F10");
}

// The driver end going away fails the command; it does not end the host.
TEST_F(CardTransportTest, PipesWhoseDriverIsGoneFailTheCommand)
{
    auto sim = Start("fifo", m_dir.path() + "/usb0");
    ASSERT_EQ(m_control.InitComm(1001), 1);
    EXPECT_EQ(sim->Stop(), 0);
    EXPECT_EQ(m_control.Authenticate(), 0);
    EXPECT_EQ(m_control.ReadCard(), u"打开端口失败！");
}

TEST_F(CardTransportTest, GetCardInfoErrorFlags)
{
    struct Case
    {
        const char *fault;
        int16_t result, flag;
        std::u16string_view text;
    };
    const Case cases[] = {
        {"none", 0, 0, u"0"},
        {"badcheck", 1, 2, u"读卡失败。"},
        {"stall", 1, 2, u"读卡失败。"}, // the header announces more than the pipe holds
        {"nocard", 1, 3, u"卡片认证失败，无卡或者此卡片已经读过。"},
        {"baud", 1, 4, u"打开端口失败！"},
    };
    for (const auto &c : cases) {
        const std::string folder = m_dir.path() + "/usb0";
        auto sim = Start("fifo", folder, c.fault);
        EXPECT_EQ(m_control.getCardInfo(), c.result) << c.fault;
        EXPECT_EQ(m_control.errorFlag, c.flag) << c.fault;
        EXPECT_EQ(m_control.ReadCard(), c.text) << c.fault;
        m_control.CloseComm();
        sim.reset();
        cardtest::Run("rm -rf '" + folder + "'");
    }
    EXPECT_EQ(m_control.getCardInfo(), 1);
    EXPECT_EQ(m_control.errorFlag, 4);
}

// A read sequence lets the pipes go and opens them again at once: the driver
// end must be there whenever the control opens them.
TEST_F(CardTransportTest, PipesOpenAgainRightAfterTheControlLetsGo)
{
    auto sim = Start("fifo", m_dir.path() + "/usb0");
    int failed = 0;
    for (int i = 0; i < 300; ++i) {
        failed += m_control.InitComm(1001) == 1 ? 0 : 1;
        m_control.CloseComm();
    }
    EXPECT_EQ(failed, 0);
}

// With the control's own waits, as a host gets them.
TEST_F(CardTransportTest, HidReaderIsFoundFirstAndReadsTheCard)
{
    UseDefaultTiming();
    const std::string root = m_dir.path() + "/hid";
    EXPECT_FALSE(FindHidReader(root + "/sys", root + "/dev"));
    auto sim = Start("hid", root);
    EXPECT_EQ(FindHidReader(root + "/sys", root + "/dev").value_or(""), root + "/dev/hidraw0");
    ASSERT_EQ(m_control.InitComm(5), 1); // any valid number: the HID reader wins
    EXPECT_EQ(Ports().port, kHidPort);
    EXPECT_EQ(m_control.CardReaderId, u"0123456789");
    ASSERT_EQ(m_control.Authenticate(), 1);
    ASSERT_EQ(m_control.ReadBaseMsg(), 1);
    ExpectCardFields();
    // The signal goes to the reader: both signals on, then off, twice.
    const std::string log = sim->Log();
    size_t on = 0;
    for (size_t at = log.find("rx hid 55AA04C0FF03"); at != std::string::npos;
         at = log.find("rx hid 55AA04C0FF03", at + 1))
        ++on;
    EXPECT_EQ(on, 2u);
    EXPECT_NE(log.find("rx hid 55AA04C0FF00"), std::string::npos);
    ASSERT_EQ(m_control.ReadICCard(8159), 1);
    EXPECT_EQ(m_control.GetICCardSN(), u"DEADBEEF");
    EXPECT_EQ(
        m_control.WriteTypeABlock(0, 1, 1, u"FFFFFFFFFFFF", u"A0A1A2A3A4A5A6A7A8A9AAABACADAEAF"),
        1);
    EXPECT_EQ(m_control.ReadTypeABlock(0, 1, 1, u"ffffffffffff"),
              u"A0A1A2A3A4A5A6A7A8A9AAABACADAEAF");
}

// The simulated reader takes a few milliseconds to notice a reopened
// device; every command must still get its answer.
TEST_F(CardTransportTest, HidReaderAnswersEveryCommandAtTheDefaultTiming)
{
    UseDefaultTiming();
    auto sim = Start("hid", m_dir.path() + "/hid");
    int failed = 0;
    for (int i = 0; i < 100; ++i) {
        failed += m_control.InitComm(8159) == 1 ? 0 : 1;
        failed += m_control.ReadICCard(8159) == 1 ? 0 : 1;
    }
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(m_control.GetICCardSN(), u"DEADBEEF");
}

// An answer that does not come in time fails the command, but the device
// stays open: no new enumeration is needed for the next command.
TEST_F(CardTransportTest, LateHidAnswerKeepsTheDevice)
{
    const std::string root = m_dir.path() + "/hid";
    auto sim = Start("hid", root);
    CardConfig config = GetCardConfig();
    config.timing.hid_answer_ms = 1000;
    auto hid = HidTransport::Open(config);
    ASSERT_TRUE(hid);
    Bytes ignored = EncodeSdtCommand(kSdtSamStatus);
    ignored.back() ^= 0xFF; // the reader drops a frame with a wrong check byte
    Bytes response;
    EXPECT_FALSE(hid->Exchange(ignored, FrameKind::Sdt, &response));
    ASSERT_EQ(::rename((root + "/sys").c_str(), (root + "/gone").c_str()), 0);
    EXPECT_FALSE(FindHidReader(root + "/sys", root + "/dev"));
    ASSERT_TRUE(hid->Exchange(EncodeSdtCommand(kSdtSamStatus), FrameKind::Sdt, &response));
    SdtResponse status;
    ASSERT_EQ(ParseSdtResponse(response.data(), response.size(), &status), FrameError::None);
    EXPECT_TRUE(status.Succeeded());
}

TEST_F(CardTransportTest, HidReaderIsEnumeratedAgainAfterAFailure)
{
    const std::string root = m_dir.path() + "/hid";
    auto sim = Start("hid", root);
    ASSERT_EQ(m_control.InitComm(1), 1);
    sim.reset(); // the reader goes away
    cardtest::Run("rm -rf '" + root + "'");
    EXPECT_EQ(m_control.Authenticate(), 0);
    sim = Start("hid", root); // and comes back as a new device
    EXPECT_EQ(m_control.Authenticate(), 1);
    EXPECT_EQ(Ports().port, kHidPort);
}

namespace {

// A driver back end that answers from canned frames and records the requests.
class FakeDriver : public UsbDriverBackend
{
public:
    std::vector<std::pair<uint32_t, size_t>> requests;
    std::map<int, Bytes> answers; // by command and parameter bytes
    Bytes pending;
    int opened = -1;

    bool Open(int index) override
    {
        opened = index;
        return index == 0;
    }
    bool Write(uint32_t code, const uint8_t *data, size_t size) override
    {
        requests.emplace_back(code, size);
        if (code == kIoctlWriteBody && size > 1)
            pending = answers[data[0] << 8 | data[1]];
        return true;
    }
    bool Read(uint32_t code, uint8_t *buffer, size_t size, size_t *got) override
    {
        requests.emplace_back(code, size);
        const size_t n = std::min(size, pending.size());
        std::copy(pending.begin(), pending.begin() + n, buffer);
        pending.erase(pending.begin(), pending.begin() + n);
        *got = n;
        return true;
    }
    void Close() override {}
};

Bytes Reply(const Bytes &data, uint16_t announced = 0, uint8_t sw3 = 0x90)
{
    const size_t length = announced ? announced : 3 + data.size() + 1;
    Bytes frame = {0xAA, 0xAA, 0xAA, 0x96, 0x69, uint8_t(length >> 8), uint8_t(length), 0, 0, sw3};
    frame.insert(frame.end(), data.begin(), data.end());
    uint8_t check = 0;
    for (size_t i = 5; i < frame.size(); ++i)
        check ^= frame[i];
    frame.push_back(check);
    return frame;
}

} // namespace

TEST_F(CardTransportTest, DriverBackEndCarriesHeaderAndBodySeparately)
{
    auto driver = std::make_shared<FakeDriver>();
    driver->answers[0x61FF] = Reply({});
    driver->answers[0x12FF] = Reply(Bytes(16, 0));
    CardConfig config = GetCardConfig();
    config.usb_driver = driver;
    SetCardConfig(config);
    ASSERT_EQ(m_control.InitComm(1001), 1);
    EXPECT_EQ(Ports().transport->Kind(), TransportKind::UsbDriver);
    EXPECT_EQ(m_control.GetSAMID(), u"00.00-00000000-0000000000-0000000000");
    const std::vector<std::pair<uint32_t, size_t>> first = {
        {kIoctlWriteHeader, 7}, {kIoctlWriteBody, 4}, {kIoctlReadHeader, 7}, {kIoctlReadBody, 4}};
    ASSERT_GE(driver->requests.size(), 4u);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), driver->requests.begin()));

    // A body length beyond what the reader sends fails the command.
    driver->answers[0x2001] = Reply({}, 0, 0x9F);
    driver->answers[0x2002] = Reply(Bytes(8, 0));
    EXPECT_EQ(m_control.Authenticate(), 1);
    driver->answers[0x2001] = Reply({}, 40, 0x9F);
    EXPECT_EQ(m_control.Authenticate(), 0);
    EXPECT_EQ(m_control.InitComm(1002), 0); // the driver does not know reader 1, no pipes either
}
