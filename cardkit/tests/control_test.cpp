// The control end to end against the simulated serial reader on a
// pseudo-terminal (it answers only at 38400 baud).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

#include "cardkit/card_control.h"
#include "cardkit/port_state.h"
#include "cardkit/text_util.h"
#include "sim_util.h"

using namespace cardkit;
using cardtest::Simulator;

namespace {

class CardSerial : public testing::Test
{
protected:
    void SetUp() override
    {
        SetCardConfig(cardtest::TestConfig(m_dir.path()));
        ForgetDetectedBaud();
    }
    void TearDown() override { m_control.CloseComm(); }

    // The simulator behind COM3.
    std::unique_ptr<Simulator> StartSim(const std::string &fault = "none")
    {
        auto sim = std::make_unique<Simulator>(
            m_dir.path(), std::vector<std::string>{"--pty", Tty(), "--fault", fault});
        EXPECT_TRUE(sim->running());
        return sim;
    }
    std::string Tty() const { return m_dir.path() + "/ttyS2"; }
    static size_t Count(const std::string &log, const std::string &text)
    {
        size_t n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    }

    cardtest::TempFolder m_dir;
    CCardControlCtrl m_control;
};

// Makes `folder` the working folder for one scope.
class WorkingFolder
{
public:
    explicit WorkingFolder(const std::string &folder) : m_before(::getcwd(nullptr, 0))
    {
        EXPECT_EQ(::chdir(folder.c_str()), 0);
    }
    ~WorkingFolder()
    {
        if (m_before != nullptr && ::chdir(m_before) != 0)
            ADD_FAILURE() << "cannot return to " << m_before;
        std::free(m_before);
    }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

private:
    char *m_before;
};

} // namespace

TEST_F(CardSerial, DetectsBaudOnceAndFillsEveryProperty)
{
    auto sim = StartSim();
    ASSERT_EQ(m_control.InitComm(3), 1);
    EXPECT_EQ(DetectedBaud(), 38400);
    const std::string log = sim->Log();
    // SAM status at 115200 and 57600 went unanswered, then 38400 answered.
    const size_t first = log.find("rx 115200 AAAAAA96690003");
    const size_t second = log.find("rx 57600 AAAAAA96690003");
    const size_t third = log.find("rx 38400 AAAAAA96690003");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    ASSERT_NE(third, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_EQ(Count(log, " 19200 "), 0u);
    EXPECT_NE(log.find("rx 38400 AAAAAA9669000461FF58"), std::string::npos);
    EXPECT_EQ(m_control.CardReaderId, u"0123456789");
    EXPECT_EQ(m_control.GetSAMID(), u"05.01-20099168-0123456789-4000000000");

    ASSERT_EQ(m_control.Authenticate(), 1);
    ASSERT_EQ(m_control.ReadBaseMsg(), 1);
    EXPECT_EQ(m_control.Name, u"𠮷张三");
    EXPECT_EQ(m_control.Sex, u"1");
    EXPECT_EQ(m_control.Nation, u"蒙古");
    EXPECT_EQ(m_control.Born, u"19800102");
    EXPECT_EQ(m_control.Address, u"北京市东城区景山前街4号");
    EXPECT_EQ(m_control.CardNo, u"11010119800102001X");
    EXPECT_EQ(m_control.IssuedAt, u"北京市公安局东城分局");
    EXPECT_EQ(m_control.EffectedDate, u"20100101");
    EXPECT_EQ(m_control.ExpiredDate, u"长期");
    EXPECT_EQ(m_control.GetSexN(), 1);
    EXPECT_EQ(m_control.GetSex(), u"男");
    EXPECT_EQ(m_control.GetFolkN(), 2);
    EXPECT_EQ(m_control.GetFolk(), u"蒙古");
    EXPECT_EQ(m_control.GetBirthYear() + u"|" + m_control.GetBirthMonth() + u"|" +
                  m_control.GetBirthDay(),
              u"1980|01|02");
    EXPECT_EQ(m_control.GetValid(), u"20100101-长期");
    EXPECT_EQ(m_control.GetCode(), u"11010119800102001X");

    // The picture is the JPEG file as base64 -w0 sees it, and djpeg reads it.
    const std::string folder = Ports().photo_folder;
    ASSERT_FALSE(folder.empty());
    const std::string jpg = folder + "/photo.jpg";
    EXPECT_EQ(ToUtf8(m_control.Picture), cardtest::Run("base64 -w0 '" + jpg + "'"));
    EXPECT_EQ(m_control.GetPhotobuf(), m_control.Picture);
    EXPECT_EQ(cardtest::Run("djpeg -pnm '" + jpg + "' | head -c 11"), "P6\n102 126\n");

    ASSERT_EQ(m_control.ReadNewAppMsg(), 1);
    EXPECT_EQ(m_control.GetNewAddress(0), u"北京市西城区新街口1号");
    EXPECT_EQ(m_control.GetNewAddress(1), u"");
    EXPECT_EQ(m_control.GetNewAddress(4), u"");
    EXPECT_EQ(m_control.GetNewAddress(-1), u"");

    // The rate found is kept: reopening probes no other rate.
    EXPECT_EQ(m_control.CloseComm(), 1);
    EXPECT_EQ(m_control.CloseComm(), 0);
    ASSERT_EQ(m_control.InitComm(3), 1);
    EXPECT_EQ(Count(sim->Log(), "rx 115200"), Count(log, "rx 115200"));
    EXPECT_EQ(Count(sim->Log(), "rx 57600"), Count(log, "rx 57600"));
}

TEST_F(CardSerial, FaultModesGiveTheirReadCardText)
{
    struct Case
    {
        const char *fault;
        std::u16string_view text;
    };
    const Case cases[] = {
        {"none", u"0"},
        {"badcheck", u"读卡失败。"},
        {"stall", u"读卡失败。"},
        {"nocard", u"卡片认证失败，无卡或者此卡片已经读过。"},
        {"baud", u"打开端口失败！"},
    };
    for (const auto &c : cases) {
        auto sim = StartSim(c.fault);
        EXPECT_EQ(m_control.ReadCard(), c.text) << c.fault;
        m_control.CloseComm();
        sim.reset();
        ::unlink(Tty().c_str());
    }
    EXPECT_EQ(m_control.ReadCard(), u"打开端口失败！"); // no reader at all
}

TEST_F(CardSerial, ListReaderCardLeavesNoPortOpen)
{
    EXPECT_EQ(m_control.ListReaderCard(), 0);
    auto sim = StartSim();
    EXPECT_EQ(m_control.ListReaderCard(), 1);
    EXPECT_FALSE(cardtest::ProcessHasOpen(Tty()));
    EXPECT_TRUE(sim->WaitForLog("hangup", 2000)); // the simulator's side reads EIO
    EXPECT_EQ(m_control.CloseComm(), 0);
    EXPECT_EQ(m_control.GetSAMID(), u""); // no current port
}

TEST_F(CardSerial, PortNumbersOutsideTheRangesTouchNothing)
{
    auto sim = StartSim();
    for (int port : {0, 17, 1000, 1017, 8158, -3})
        EXPECT_EQ(m_control.InitComm(port), 0) << port;
    EXPECT_EQ(m_control.ReadCardPort(99, u""), -1);
    EXPECT_EQ(m_control.ReadICCard(17), -1);
    EXPECT_EQ(sim->Log().find("rx"), std::string::npos);
}

TEST_F(CardSerial, PhotoPathRules)
{
    auto sim = StartSim();
    ASSERT_EQ(m_control.InitComm(3), 1);
    std::u16string base = FromUtf8(m_dir.path());
    struct Case
    {
        std::u16string path;
        int16_t result;
        const char *copy_of; // file of the photo folder the target must equal
    };
    const Case cases[] = {
        {base + u"\\a\\b\\face.Jpg", 1, "photo.jpg"}, // backslashes, folders made
        {base + u"/c/face.bmp", 1, "photo.bmp"},
        {u"face.jpg", 2, nullptr},
        {base + u"/" + std::u16string(260, u'x') + u".jpg", 2, nullptr},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(m_control.Authenticate(), 1);
        EXPECT_EQ(m_control.ReadBaseMsgP(c.path), c.result) << ToUtf8(c.path);
        if (c.copy_of == nullptr)
            continue;
        const std::string target = NativePath(c.path);
        const std::string source =
            NativePath(c.path.substr(0, c.path.find_last_of(u"\\/"))) + "/" + c.copy_of;
        EXPECT_EQ(cardtest::Run("cmp '" + target + "' '" + source + "' && echo same"), "same\n");
    }
    EXPECT_EQ(m_control.ReadCardPort(3, base + u"/d/card.jpg"), 1);
    EXPECT_EQ(m_control.Name, u"𠮷张三");
}

// Paths of another system's drives and hosts are refused before any folder
// is made, here or at the root.
TEST_F(CardSerial, PhotoPathsOnDrivesAndHostsAreRefused)
{
    auto sim = StartSim();
    ASSERT_EQ(m_control.InitComm(3), 1);
    const std::string host = "cardkit-host-" + std::to_string(::getpid());
    const std::u16string uhost = FromUtf8(host);
    const std::u16string paths[] = {
        u"C:\\photos\\face.JPG",
        u"c:photos\\face.jpg",
        u"\\\\" + uhost + u"\\share\\x.jpg",
        u"//" + uhost + u"/share/x.jpg",
        u"\\/" + uhost + u"\\share\\x.jpg",
    };
    const WorkingFolder here(m_dir.path());
    const std::string listing = cardtest::Run("ls -A");
    for (const auto &path : paths) {
        ASSERT_EQ(m_control.Authenticate(), 1);
        EXPECT_EQ(m_control.ReadBaseMsgP(path), 2) << ToUtf8(path);
    }
    EXPECT_EQ(m_control.ReadCardPort(3, u"C:\\photos\\face.jpg"), kReadPhotoFailed);
    EXPECT_EQ(cardtest::Run("ls -A"), listing); // nothing made under the working folder
    EXPECT_EQ(::access(("/" + host).c_str(), F_OK), -1);
}

TEST_F(CardSerial, TypeABlocksRoundTripAndBadArgumentsSendNothing)
{
    auto sim = StartSim();
    ASSERT_EQ(m_control.ReadICCard(3), 1);
    EXPECT_EQ(m_control.GetICCardSN(), u"DEADBEEF");
    const std::u16string data = u"00112233445566778899aabbccddeeff";
    EXPECT_EQ(m_control.WriteTypeABlock(1, 2, 1, u"ffffffffffff", data), 1);
    EXPECT_EQ(m_control.ReadTypeABlock(1, 2, 2, u"FFFFFFFFFFFF"),
              u"00112233445566778899AABBCCDDEEFF");
    EXPECT_EQ(m_control.ReadTypeABlock(1, 2, 1, u"000000000000"), u""); // refused by the card

    const std::string before = sim->Log();
    const size_t frames = std::count(before.begin(), before.end(), '\n');
    struct Case
    {
        int16_t sector, block, key_type;
        std::u16string key;
    };
    const Case bad[] = {
        {16, 0, 1, u"FFFFFFFFFFFF"}, {-1, 0, 1, u"FFFFFFFFFFFF"}, {0, 4, 1, u"FFFFFFFFFFFF"},
        {0, 0, 0, u"FFFFFFFFFFFF"},  {0, 0, 3, u"FFFFFFFFFFFF"},  {0, 0, 1, u"FFFFFFFFFFF"},
        {0, 0, 1, u"FFFFFFFFFFFFF"}, {0, 0, 1, u"FFFFFFFFFFFG"},
    };
    for (const auto &c : bad) {
        EXPECT_EQ(m_control.ReadTypeABlock(c.sector, c.block, c.key_type, c.key), u"");
        EXPECT_EQ(m_control.WriteTypeABlock(c.sector, c.block, c.key_type, c.key, data), 0);
    }
    for (const std::u16string &d : {data.substr(0, 31), data + u"0", data.substr(0, 30) + u"x1"})
        EXPECT_EQ(m_control.WriteTypeABlock(0, 0, 1, u"FFFFFFFFFFFF", d), 0);
    const std::string log = sim->Log();
    EXPECT_EQ(size_t(std::count(log.begin(), log.end(), '\n')), frames);
}
