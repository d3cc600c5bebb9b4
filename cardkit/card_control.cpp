#include "cardkit/card_control.h"

#include <atomic>
#include <unistd.h>

#include "cardkit/base64.h"
#include "cardkit/card_reader.h"
#include "cardkit/hex_text.h"
#include "cardkit/nation_table.h"
#include "cardkit/photo_files.h"
#include "cardkit/sam_id.h"
#include "cardkit/text_util.h"

using namespace cardkit;

namespace {

std::atomic<int> g_instances{0};

using Lock = std::lock_guard<std::recursive_mutex>;

std::u16string Ascii(const std::string &text)
{
    return std::u16string(text.begin(), text.end());
}

// Base64 of photo.jpg in `folder`, read whole; nothing when it cannot be read.
std::optional<std::u16string> PhotoBase64(const std::string &folder)
{
    Bytes jpeg;
    if (folder.empty() || !ReadWholeFile(JoinPath(folder, "photo.jpg"), &jpeg))
        return std::nullopt;
    return Ascii(EncodeBase64(jpeg.data(), jpeg.size()));
}

const BaseMsg_t &Last()
{
    return Ports().last;
}

} // namespace

CCardControlCtrl::CCardControlCtrl()
{
    ++g_instances;
}

// The photo files of the last card go with the last control.
CCardControlCtrl::~CCardControlCtrl()
{
    if (--g_instances != 0)
        return;
    Lock lock(PortMutex());
    if (IsPrivatePhotoFolder(Ports().photo_folder))
        Ports().photo_folder.clear();
    RemovePrivatePhotoFolder();
}

int CCardControlCtrl::InstanceCount()
{
    return g_instances;
}

// ---- Port -------------------------------------------------------------------

int16_t CCardControlCtrl::InitComm(int32_t iPort)
{
    Lock lock(PortMutex());
    if (!OpenPort(Ports(), iPort))
        return 0;
    CardReaderId = Ascii(CardReaderIdOf(Ports().sam_text));
    return 1;
}

int16_t CCardControlCtrl::CloseComm()
{
    Lock lock(PortMutex());
    return ClosePort(Ports()) ? 1 : 0;
}

int16_t CCardControlCtrl::Authenticate()
{
    Lock lock(PortMutex());
    return AuthenticateCard(Ports()) ? 1 : 0;
}

int16_t CCardControlCtrl::ListReaderCard()
{
    Lock lock(PortMutex());
    constexpr int kCandidates[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 1001};
    for (int port : kCandidates) {
        if (OpenPort(Ports(), port)) {
            ClosePort(Ports());
            return 1;
        }
    }
    return 0;
}

std::u16string CCardControlCtrl::GetSAMID()
{
    Lock lock(PortMutex());
    return Ports().port != 0 ? Ascii(Ports().sam_text) : u"";
}

// ---- Base message -----------------------------------------------------------

void CCardControlCtrl::FillProperties()
{
    const BaseMsg_t &msg = Last();
    Name = msg.name;
    Sex = msg.sex == u'1' ? u"1" : u"0";
    Nation = std::u16string(NationName(msg.nation_code));
    Born = msg.born;
    Address = msg.address;
    CardNo = msg.card_no;
    IssuedAt = msg.issued_at;
    EffectedDate = msg.valid_start;
    ExpiredDate = msg.valid_end;
    if (auto picture = PhotoBase64(Ports().photo_folder))
        Picture = *picture;
}

int16_t CCardControlCtrl::ReadBaseMsg()
{
    Lock lock(PortMutex());
    if (ReadBaseMessage(Ports(), u"") != ReadOutcome::Ok)
        return 0;
    FillProperties();
    return 1;
}

int16_t CCardControlCtrl::ReadBaseMsgP(const std::u16string &photopath)
{
    Lock lock(PortMutex());
    switch (ReadBaseMessage(Ports(), photopath)) {
    case ReadOutcome::Ok:
        FillProperties();
        return 1;
    case ReadOutcome::ReadFailed:
        return -4;
    case ReadOutcome::PathInvalid:
        return 2;
    case ReadOutcome::CannotCreate:
        return 0;
    case ReadOutcome::ShortWrite:
        return -2;
    case ReadOutcome::DecoderFailed:
    case ReadOutcome::JpegFailed:
        return -3;
    case ReadOutcome::CopyFailed:
        FillProperties();
        return 2;
    }
    return 0;
}

int16_t CCardControlCtrl::ReadNewAppMsg()
{
    Lock lock(PortMutex());
    return int16_t(ReadNewAddress(Ports()));
}

std::u16string CCardControlCtrl::GetNewAddress(int16_t i)
{
    Lock lock(PortMutex());
    if (i < 0 || i >= int16_t(kNewAddressEntries))
        return {};
    return Ports().new_address[size_t(i)];
}

std::u16string CCardControlCtrl::GetName()
{
    Lock lock(PortMutex());
    return Last().name;
}

std::u16string CCardControlCtrl::GetSex()
{
    Lock lock(PortMutex());
    return Last().sex == u'1' ? u"男" : u"女";
}

std::u16string CCardControlCtrl::GetFolk()
{
    Lock lock(PortMutex());
    return std::u16string(NationName(Last().nation_code));
}

std::u16string CCardControlCtrl::GetBirthYear()
{
    Lock lock(PortMutex());
    return Last().born.substr(0, 4);
}

std::u16string CCardControlCtrl::GetBirthMonth()
{
    Lock lock(PortMutex());
    return Last().born.size() > 4 ? Last().born.substr(4, 2) : u"";
}

std::u16string CCardControlCtrl::GetBirthDay()
{
    Lock lock(PortMutex());
    return Last().born.size() > 6 ? Last().born.substr(6, 2) : u"";
}

std::u16string CCardControlCtrl::GetAddress()
{
    Lock lock(PortMutex());
    return Last().address;
}

std::u16string CCardControlCtrl::GetAgency()
{
    Lock lock(PortMutex());
    return Last().issued_at;
}

std::u16string CCardControlCtrl::GetValid()
{
    Lock lock(PortMutex());
    return Last().valid_start + u"-" + Last().valid_end;
}

std::u16string CCardControlCtrl::GetCode()
{
    Lock lock(PortMutex());
    return Last().card_no;
}

std::u16string CCardControlCtrl::GetGov()
{
    return GetAgency();
}

std::u16string CCardControlCtrl::GetValStart()
{
    Lock lock(PortMutex());
    return Last().valid_start;
}

std::u16string CCardControlCtrl::GetValEnd()
{
    Lock lock(PortMutex());
    return Last().valid_end;
}

int16_t CCardControlCtrl::GetSexN()
{
    Lock lock(PortMutex());
    return Last().sex == u'1' ? 1 : 2;
}

int16_t CCardControlCtrl::GetFolkN()
{
    Lock lock(PortMutex());
    return int16_t(Last().nation_code);
}

std::u16string CCardControlCtrl::GetPhotobuf()
{
    Lock lock(PortMutex());
    return PhotoBase64(Ports().photo_folder).value_or(u"no");
}

// ---- One-call reads ---------------------------------------------------------

// Open, authenticate, read: 1, or -1 port, -2 authentication, -3 the read
// command, -4 the photo files.
int CCardControlCtrl::ReadSequence(int32_t port, const std::u16string &photopath)
{
    if (!OpenPort(Ports(), port))
        return kReadPortFailed;
    CardReaderId = Ascii(CardReaderIdOf(Ports().sam_text));
    if (!AuthenticateCard(Ports()))
        return kReadAuthFailed;
    const ReadOutcome outcome = ReadBaseMessage(Ports(), photopath);
    if (outcome == ReadOutcome::ReadFailed)
        return kReadFailed;
    if (outcome != ReadOutcome::Ok)
        return kReadPhotoFailed;
    FillProperties();
    return kReadOk;
}

int16_t CCardControlCtrl::ReadCardPort(int32_t Port, const std::u16string &photopath)
{
    Lock lock(PortMutex());
    return int16_t(ReadSequence(Port, photopath));
}

int16_t CCardControlCtrl::getCardInfo()
{
    Lock lock(PortMutex());
    card_type = 2;
    const std::string folder = PrivatePhotoFolder();
    const std::string copy = folder.empty() ? "" : JoinPath(folder, "card.bmp");
    if (!copy.empty())
        ::unlink(copy.c_str()); // the earlier card's
    const int result = copy.empty() ? kReadPhotoFailed : ReadSequence(1001, FromUtf8(copy));
    switch (result) {
    case kReadOk:
        errorFlag = 0;
        return 0;
    case kReadFailed:
    case kReadPhotoFailed:
        errorFlag = 2;
        break;
    case kReadAuthFailed:
        errorFlag = 3;
        break;
    case kReadPortFailed:
        errorFlag = 4;
        break;
    }
    return 1;
}

std::u16string CCardControlCtrl::ReadCard()
{
    Lock lock(PortMutex());
    constexpr int kCandidates[] = {1001, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    int found = 0;
    for (int port : kCandidates) {
        if (OpenPort(Ports(), port)) {
            ClosePort(Ports());
            found = port;
            break;
        }
    }
    if (found == 0)
        return u"打开端口失败！";
    switch (ReadSequence(found, u"")) {
    case kReadOk:
        break;
    case kReadPortFailed:
        return u"端口打开失败，请检查机器是否连接正常。";
    case kReadAuthFailed:
        return u"卡片认证失败，无卡或者此卡片已经读过。";
    case kReadFailed:
        return u"读卡失败。";
    case kReadPhotoFailed:
        return u"生成照片文件失败。";
    default:
        return u"其他错误。";
    }
    const auto picture = PhotoBase64(Ports().photo_folder);
    if (!picture)
        return u"未找到照片文件！";
    Picture = *picture;
    return u"0";
}

// ---- Type A IC cards --------------------------------------------------------

int16_t CCardControlCtrl::ReadICCard(int32_t port)
{
    Lock lock(PortMutex());
    if (!OpenPort(Ports(), port))
        return -1;
    const auto serial = ReadIcSerial(Ports());
    if (!serial)
        return -2;
    Ports().ic_serial = *serial;
    return 1;
}

std::u16string CCardControlCtrl::GetICCardSN()
{
    Lock lock(PortMutex());
    return Ascii(Ports().ic_serial);
}

std::u16string CCardControlCtrl::ReadTypeABlock(int16_t SID, int16_t BID, int16_t KeyType,
                                                const std::u16string &Key)
{
    const auto at = CheckBlockAddress(SID, BID, KeyType, Key);
    if (!at)
        return {};
    Lock lock(PortMutex());
    const auto block = ReadIcBlock(Ports(), *at);
    return block ? Ascii(FormatHex(block->data(), block->size())) : u"";
}

int16_t CCardControlCtrl::WriteTypeABlock(int16_t SID, int16_t BID, int16_t KeyType,
                                          const std::u16string &Key, const std::u16string &Data)
{
    const auto at = CheckBlockAddress(SID, BID, KeyType, Key);
    const auto data = ParseHex(Data, 16);
    if (!at || !data)
        return 0;
    std::array<uint8_t, 16> block;
    std::copy(data->begin(), data->end(), block.begin());
    Lock lock(PortMutex());
    return WriteIcBlock(Ports(), *at, block) ? 1 : 0;
}
