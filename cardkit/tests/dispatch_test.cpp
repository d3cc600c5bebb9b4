// The control's dispatch interface, creation by programmatic identifier,
// registration, and the cardctl host.
#include <gtest/gtest.h>

#include <fstream>

#include "cardkit/card_dispatch.h"
#include "cardkit/card_server.h"
#include "cardkit/text_util.h"
#include "sim_util.h"

using namespace cardkit;

namespace {

class CardDispatch : public testing::Test
{
protected:
    void SetUp() override { SetCardConfig(cardtest::TestConfig(m_dir.path())); }
    void TearDown() override { m_control.CloseComm(); }

    int32_t Call(std::u16string_view name, std::vector<CardVariant> args = {},
                 DispatchKind kind = DispatchKind::Method)
    {
        m_result = CardVariant();
        return InvokeCardControlByName(m_control, name, kind, args, &m_result);
    }

    cardtest::TempFolder m_dir;
    CCardControlCtrl m_control;
    CardVariant m_result;
};

} // namespace

TEST_F(CardDispatch, MembersByNameIgnoringCase)
{
    EXPECT_EQ(GetCardDispId(u"Name"), GetCardDispId(u"nAME"));
    EXPECT_EQ(GetCardDispId(u"getcardinfo"), GetCardDispId(u"getCardInfo"));
    EXPECT_NE(GetCardDispId(u"GetSAMID"), kDispIdUnknown);
    EXPECT_EQ(GetCardDispId(u"GetSAMIDX"), kDispIdUnknown);
    EXPECT_EQ(GetCardParamCount(GetCardDispId(u"WriteTypeABlock")), 5);

    EXPECT_EQ(Call(u"initcomm", {CardVariant::Long(77)}), kDispOk);
    EXPECT_EQ(m_result.type, CardVariant::Type::Short);
    EXPECT_EQ(m_result.number, 0);
    EXPECT_EQ(Call(u"INITCOMM", {CardVariant::Text(u"77")}), kDispOk); // text coerced
    EXPECT_EQ(Call(u"getnewaddress", {CardVariant::Short(9)}), kDispOk);
    EXPECT_EQ(m_result.type, CardVariant::Type::Text);
    EXPECT_EQ(m_result.text, u"");
    EXPECT_EQ(Call(u"GETPHOTOBUF"), kDispOk);
    EXPECT_EQ(m_result.text, u"no");
    EXPECT_EQ(Call(u"readtypeablock", {CardVariant::Short(16), CardVariant::Short(0),
                                       CardVariant::Short(1), CardVariant::Text(u"FFFFFFFFFFFF")}),
              kDispOk);
    EXPECT_EQ(m_result.text, u"");

    struct Case
    {
        std::u16string_view name;
        std::vector<CardVariant> args;
        DispatchKind kind;
        int32_t code;
    };
    const Case errors[] = {
        {u"NoSuchMember", {}, DispatchKind::Method, kDispMemberNotFound},
        {u"", {}, DispatchKind::Method, kDispMemberNotFound},
        {u"InitComm", {}, DispatchKind::Method, kDispBadParamCount},
        {u"GetName", {CardVariant::Short(1)}, DispatchKind::Method, kDispBadParamCount},
        {u"InitComm", {CardVariant::Text(u"COM1")}, DispatchKind::Method, kDispTypeMismatch},
        {u"GetNewAddress", {CardVariant::Long(40000)}, DispatchKind::Method, kDispTypeMismatch},
        {u"GetName", {CardVariant::Text(u"x")}, DispatchKind::PropertyPut, kDispMemberNotFound},
    };
    for (const auto &c : errors)
        EXPECT_EQ(Call(c.name, c.args, c.kind), c.code) << ToUtf8(c.name);
}

TEST_F(CardDispatch, PropertiesGetAndPut)
{
    EXPECT_EQ(Call(u"cardno", {CardVariant::Text(u"123")}, DispatchKind::PropertyPut), kDispOk);
    EXPECT_EQ(m_control.CardNo, u"123");
    EXPECT_EQ(Call(u"CARDNO", {}, DispatchKind::PropertyGet), kDispOk);
    EXPECT_EQ(m_result.text, u"123");
    EXPECT_EQ(Call(u"ErrorFlag", {CardVariant::Text(u"-7")}, DispatchKind::PropertyPut), kDispOk);
    EXPECT_EQ(m_control.errorFlag, -7);
    EXPECT_EQ(Call(u"errorflag", {}, DispatchKind::PropertyGet), kDispOk);
    EXPECT_EQ(m_result.type, CardVariant::Type::Short);
    EXPECT_EQ(m_result.number, -7);
    EXPECT_EQ(Call(u"card_type", {CardVariant::Text(u"two")}, DispatchKind::PropertyPut),
              kDispTypeMismatch);
    EXPECT_EQ(Call(u"Name", {}, DispatchKind::PropertyPut), kDispBadParamCount);
    EXPECT_EQ(Call(u"Picture", {}, DispatchKind::Method), kDispOk); // a get, called as a method
}

TEST_F(CardDispatch, CreateByProgId)
{
    struct Case
    {
        std::u16string_view progid;
        bool created;
    };
    const Case cases[] = {
        {u"CARDCONTROL.CardControlCtrl.1", true},
        {u"cardcontrol.cardcontrolctrl.1", true},
        {u"CARDCONTROL.CardControlCtrl", false},
        {u"CARDCONTROL.CardControlPropPage.1", false},
        {u"", false},
    };
    for (const auto &c : cases) {
        std::unique_ptr<CCardControlCtrl> control(CreateCardControl(c.progid));
        EXPECT_EQ(control != nullptr, c.created) << ToUtf8(c.progid);
        if (control) {
            EXPECT_EQ(DllCanUnloadNow(), 1);
        }
    }
}

TEST_F(CardDispatch, RegisterAndUnregisterOneRecord)
{
    const std::string registry = m_dir.path() + "/conf/servers";
    CardConfig config = GetCardConfig();
    config.registry_path = registry;
    SetCardConfig(config);
    {
        std::ofstream other(registry);
        EXPECT_FALSE(other); // the folder does not exist yet
    }
    EXPECT_FALSE(FindRegisteredServer(kCardControlProgId));
    ASSERT_EQ(DllRegisterServer(), 0);
    ASSERT_EQ(DllRegisterServer(), 0); // again: still one record
    std::ofstream(registry, std::ios::app) << "OTHER.Thing.1\t{0}\t/lib/other.so\n";
    const auto library = FindRegisteredServer(u"cardcontrol.CARDCONTROLctrl.1");
    ASSERT_TRUE(library);
    EXPECT_NE(library->find("libcardkit.so"), std::string::npos);
    std::string text = cardtest::Run("cat '" + registry + "'");
    EXPECT_EQ(text.find("CARDCONTROL.CardControlCtrl.1\t{5A6C3D1E-8B2F-4E7A-9C41-0D2B7E6F3A18}\t"),
              0u);
    EXPECT_EQ(text.find("CARDCONTROL", 1), std::string::npos);

    ASSERT_EQ(DllUnregisterServer(), 0);
    EXPECT_FALSE(FindRegisteredServer(kCardControlProgId));
    EXPECT_EQ(cardtest::Run("cat '" + registry + "'"), "OTHER.Thing.1\t{0}\t/lib/other.so\n");
    EXPECT_EQ(DllUnregisterServer(), 0);
}

TEST_F(CardDispatch, CardctlReadsACard)
{
    cardtest::Simulator sim(m_dir.path(), {"--fifo", m_dir.path() + "/usb0"});
    ASSERT_TRUE(sim.running());
    const std::string env = "CARDKIT_USB_PATTERN='" + m_dir.path() + "/usb{k}' " +
                            "CARDKIT_HID_SYSFS='" + m_dir.path() + "/none' " + "CARDKIT_TEMP='" +
                            m_dir.path() + "' ";
    const std::string cardctl = ZEP_BINARY_DIR "/tools/cardctl/cardctl";
    EXPECT_EQ(cardtest::Run(env + cardctl +
                            " InitComm 1001 authenticate ReadBaseMsg GetName getcode "
                            "Sex Name=X Name GetNewAddress 7 NoSuch CloseComm; echo rc=$?"),
              "InitComm: 1\nauthenticate: 1\nReadBaseMsg: 1\nGetName: 𠮷张三\n"
              "getcode: 11010119800102001X\nSex: 1\nName: X\nGetNewAddress: \n"
              "NoSuch: error 0x80020003\nCloseComm: 1\nrc=1\n");
    EXPECT_EQ(cardtest::Run("ls '" + m_dir.path() + "' | grep cardkit-"), ""); // photos gone
    const std::string registry = m_dir.path() + "/reg";
    EXPECT_EQ(cardtest::Run("CARDKIT_REGISTRY='" + registry + "' " + cardctl +
                            " register && cut -f1 '" + registry + "'"),
              "CARDCONTROL.CardControlCtrl.1\n");
}

TEST(CardctlTool, PrintsItsUsage)
{
    const std::string cardctl = ZEP_BINARY_DIR "/tools/cardctl/cardctl";
    const std::string usage =
        "usage: cardctl register|unregister\n"
        "       cardctl MEMBER [ARG...] [PROPERTY=VALUE] ...\n"
        "Calls the card reader control's members in order and prints \"Member: result\"\n"
        "for each, e.g. cardctl InitComm 1001 Authenticate ReadBaseMsg GetName Picture\n";
    EXPECT_EQ(cardtest::Run(cardctl + " --help; echo rc=$?"), usage + "rc=0\n");
    EXPECT_EQ(cardtest::Run(cardctl + " -h 2>/dev/null; echo rc=$?"), usage + "rc=0\n");
    EXPECT_EQ(cardtest::Run(cardctl + " 2>&1 >/dev/null; echo rc=$?"), usage + "rc=2\n");
}
