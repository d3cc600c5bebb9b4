#pragma once
// The identity-card reader control, as page scripts see it: text and short
// properties filled by the read methods, and the methods of its dispatch
// interface. Every instance shares the one process-wide port.
#include <cstdint>
#include <string>

#include "cardkit/cardkit_export.h"

class CARDKIT_EXPORT CCardControlCtrl
{
public:
    CCardControlCtrl();
    ~CCardControlCtrl();
    CCardControlCtrl(const CCardControlCtrl &) = delete;
    CCardControlCtrl &operator=(const CCardControlCtrl &) = delete;

    // Properties (read/write).
    int16_t card_type = 0;
    int16_t errorFlag = 0;
    std::u16string Name, Sex, Nation, Born, Address, CardNo, IssuedAt, EffectedDate, ExpiredDate,
        Picture, CardReaderId;

    // Port.
    int16_t InitComm(int32_t iPort);
    int16_t CloseComm();
    int16_t Authenticate();
    int16_t ListReaderCard();
    std::u16string GetSAMID();

    // Base message.
    int16_t ReadBaseMsg();
    int16_t ReadBaseMsgP(const std::u16string &photopath);
    int16_t ReadNewAppMsg();
    std::u16string GetNewAddress(int16_t i);
    std::u16string GetName();
    std::u16string GetSex();
    std::u16string GetFolk();
    std::u16string GetBirthYear();
    std::u16string GetBirthMonth();
    std::u16string GetBirthDay();
    std::u16string GetAddress();
    std::u16string GetAgency();
    std::u16string GetValid();
    std::u16string GetCode();
    std::u16string GetGov();
    std::u16string GetValStart();
    std::u16string GetValEnd();
    int16_t GetSexN();
    int16_t GetFolkN();
    std::u16string GetPhotobuf();

    // One-call reads.
    int16_t ReadCardPort(int32_t Port, const std::u16string &photopath);
    int16_t getCardInfo();
    std::u16string ReadCard();

    // Type A IC cards.
    int16_t ReadICCard(int32_t port);
    std::u16string GetICCardSN();
    std::u16string ReadTypeABlock(int16_t SID, int16_t BID, int16_t KeyType,
                                  const std::u16string &Key);
    int16_t WriteTypeABlock(int16_t SID, int16_t BID, int16_t KeyType, const std::u16string &Key,
                            const std::u16string &Data);

    // Live instances in the process (for unloading the module).
    static int InstanceCount();

private:
    int ReadSequence(int32_t port, const std::u16string &photopath);
    void FillProperties();
};

// The control under the name scripts and hosts know it by.
using CardControl = CCardControlCtrl;

// Result codes of the read sequence of ReadCard, ReadCardPort and getCardInfo.
enum CardReadResult : int16_t {
    kReadOk = 1,
    kReadPortFailed = -1,
    kReadAuthFailed = -2,
    kReadFailed = -3,
    kReadPhotoFailed = -4,
};
