#include "cardkit/card_reader.h"

#include <chrono>
#include <thread>

#include "cardkit/hex_text.h"
#include "cardkit/ic_frame.h"
#include "cardkit/photo_files.h"
#include "cardkit/text_util.h"

namespace cardkit {

namespace {

constexpr size_t kMaxPhotoPath = 260;

void Pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A drive letter ("C:\x", "c:x") or a UNC host ("\\host\share") names a
// place that does not exist here; taken as it is, it would become a folder
// under the working folder or at the root.
bool NamesWindowsRoot(const std::string &path)
{
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    const bool drive = path.size() >= 2 && letter(path[0]) && path[1] == ':';
    const bool unc = path.size() >= 2 && path[0] == '/' && path[1] == '/';
    return drive || unc;
}

// The folder part of a photo path (up to its last separator, '\' or '/');
// nothing for a path that is too long, has no folder or names a drive or a
// network host.
std::optional<std::string> FolderOf(const std::u16string &photo_path)
{
    if (photo_path.size() >= kMaxPhotoPath)
        return std::nullopt;
    const std::string path = NativePath(photo_path);
    if (NamesWindowsRoot(path))
        return std::nullopt;
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return std::nullopt;
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

ReadOutcome MakePhotoFiles(PortState &state, const std::string &folder, const BaseMsg_t &msg)
{
    switch (WritePhotoWlt(folder, msg.photo.data(), msg.photo.size())) {
    case WltResult::CannotCreate:
        return ReadOutcome::CannotCreate;
    case WltResult::ShortWrite:
        return ReadOutcome::ShortWrite;
    case WltResult::Written:
        break;
    }
    // The decoder may talk to the reader itself, so the port is let go meanwhile.
    const int mode = state.transport && state.transport->Kind() == TransportKind::Serial ? 1 : 2;
    DropTransport(state);
    const bool decoded = RunPhotodec(JoinPath(folder, "photo.wlt"), mode);
    ReopenTransport(state);
    if (!decoded)
        return ReadOutcome::DecoderFailed;
    if (!ConvertBmpToJpeg(JoinPath(folder, "photo.bmp"), JoinPath(folder, "photo.jpg")))
        return ReadOutcome::JpegFailed;
    return ReadOutcome::Ok;
}

// Where the photo files of this read go: the private folder, or the folder
// of `photo_path`.
ReadOutcome ChoosePhotoFolder(const std::u16string &photo_path, std::string *folder)
{
    if (photo_path.empty()) {
        *folder = PrivatePhotoFolder();
    } else {
        const auto parent = FolderOf(photo_path);
        if (!parent)
            return ReadOutcome::PathInvalid;
        *folder = *parent;
    }
    return !folder->empty() && MakeFolders(*folder) ? ReadOutcome::Ok : ReadOutcome::CannotCreate;
}

} // namespace

bool AuthenticateCard(PortState &state)
{
    SdtResponse found, selected;
    return SendSdt(state, kSdtFindCard, {}, &found) && found.Succeeded(kSdtFindCardOk) &&
           SendSdt(state, kSdtSelectCard, {}, &selected) && selected.Succeeded();
}

void SignalUser(PortState &state)
{
    const CardTiming timing = GetCardConfig().timing;
    const bool hid = state.transport && state.transport->Kind() == TransportKind::Hid;
    for (int round = 0; round < 2; ++round) {
        if (hid) {
            Bytes ignored;
            SendIc(state, EncodeIcSignal(0x03), &ignored);
            Pause(timing.hid_signal_ms);
            SendIc(state, EncodeIcSignal(0x00), &ignored);
        } else {
            Pause(timing.tone_ms); // no speaker to drive: the tone keeps its length
        }
        if (round == 0)
            Pause(hid ? timing.hid_signal_ms : timing.tone_ms);
    }
}

// The card's text becomes the last message only once its photo files are
// made, so that the text, the properties and the photo files always belong
// to one card; the files of the card before are gone as soon as a read starts.
ReadOutcome ReadBaseMessage(PortState &state, const std::u16string &photo_path)
{
    RemovePhotoFiles(state.photo_folder);
    SdtResponse response;
    BaseMsg_t msg;
    if (!SendSdt(state, kSdtReadBaseMsg, {}, &response) || !response.Succeeded() ||
        !ParseBaseMsg(response.data.data(), response.data.size(), &msg))
        return ReadOutcome::ReadFailed;
    SignalUser(state);
    std::string folder;
    if (const ReadOutcome chosen = ChoosePhotoFolder(photo_path, &folder);
        chosen != ReadOutcome::Ok)
        return chosen;
    RemovePhotoFiles(folder);
    state.photo_folder = folder;
    if (const ReadOutcome made = MakePhotoFiles(state, folder, msg); made != ReadOutcome::Ok) {
        RemovePhotoFiles(folder); // half a photo of a card whose text is not kept
        return made;
    }
    state.last = msg;
    if (photo_path.empty())
        return ReadOutcome::Ok;
    const bool jpg = AsciiUpper(photo_path).ends_with(u".JPG");
    const std::string source = JoinPath(folder, jpg ? "photo.jpg" : "photo.bmp");
    return CopyWholeFile(source, NativePath(photo_path), IsPrivatePhotoFolder(folder))
               ? ReadOutcome::Ok
               : ReadOutcome::CopyFailed;
}

int ReadNewAddress(PortState &state)
{
    SdtResponse response;
    if (!SendSdt(state, kSdtReadNewAddress, {}, &response) || !response.Succeeded())
        return -1;
    std::array<std::u16string, kNewAddressEntries> entries;
    const int filled = ParseNewAddress(response.data.data(), response.data.size(), &entries);
    if (filled >= 0)
        state.new_address = entries;
    return filled;
}

std::optional<std::string> ReadIcSerial(PortState &state)
{
    Bytes data;
    if (!SendIc(state, EncodeIcSerialNumber(), &data))
        return std::nullopt;
    return ParseIcSerialNumber(data);
}

std::optional<BlockAddress> CheckBlockAddress(int sector, int block, int key_type,
                                              std::u16string_view key)
{
    if (sector < 0 || sector > 15 || block < 0 || block > 3 || (key_type != 1 && key_type != 2))
        return std::nullopt;
    const auto key_bytes = ParseHex(key, 6);
    if (!key_bytes)
        return std::nullopt;
    BlockAddress at{uint8_t(sector), uint8_t(block), key_type == 1 ? kIcKeyA : kIcKeyB, {}};
    std::copy(key_bytes->begin(), key_bytes->end(), at.key.begin());
    return at;
}

std::optional<std::array<uint8_t, 16>> ReadIcBlock(PortState &state, const BlockAddress &at)
{
    Bytes data;
    if (!SendIc(state, EncodeIcReadBlock(at.sector, at.block, at.key_type, at.key), &data))
        return std::nullopt;
    return ParseIcReadBlock(data);
}

bool WriteIcBlock(PortState &state, const BlockAddress &at, const std::array<uint8_t, 16> &data)
{
    Bytes answer;
    return SendIc(state, EncodeIcWriteBlock(at.sector, at.block, at.key_type, at.key, data),
                  &answer) &&
           ParseIcWriteBlock(answer);
}

} // namespace cardkit
