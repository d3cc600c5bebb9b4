#pragma once
// The reader operations behind the control's methods. Every function expects
// the caller to hold PortMutex().
#include <array>
#include <optional>
#include <string>

#include "cardkit/cardkit_export.h"
#include "cardkit/port_state.h"

namespace cardkit {

// Find card (20 01, success 0x9F) then select card (20 02).
CARDKIT_EXPORT bool AuthenticateCard(PortState &state);

// What went wrong in a base-message read.
enum class ReadOutcome {
    Ok,
    ReadFailed,    // 30 01 failed or its answer did not parse
    PathInvalid,   // photo path of 260 characters or more, or without a folder
    CannotCreate,  // the folder or photo.wlt could not be created
    ShortWrite,    // photo.wlt was not written whole
    DecoderFailed, // the photo decoder did not produce photo.bmp
    JpegFailed,    // photo.bmp could not be turned into photo.jpg
    CopyFailed,    // the copy to the photo path failed
};

// Reads the base message with its photo files in the folder of `photo_path`
// (empty: the private temporary folder), then copies photo.jpg (path ending
// ".JPG" in any case) or photo.bmp to `photo_path` when it is not empty.
// The photo files of the card read before are removed first; the new card's
// text replaces `state.last` only when its photo files were made.
CARDKIT_EXPORT ReadOutcome ReadBaseMessage(PortState &state, const std::u16string &photo_path);

// Reads the additional addresses (30 03): the number of non-empty entries, or -1.
CARDKIT_EXPORT int ReadNewAddress(PortState &state);

// The tone (serial and USB ports) or the HID reader's signals, twice.
void SignalUser(PortState &state);

CARDKIT_EXPORT std::optional<std::string> ReadIcSerial(PortState &state);

// Argument checks of the block methods: sector 0-15, block 0-3, key type
// 1 (key A) or 2 (key B), 12 hex digits of key.
struct BlockAddress
{
    uint8_t sector, block, key_type;
    std::array<uint8_t, 6> key;
};
CARDKIT_EXPORT std::optional<BlockAddress> CheckBlockAddress(int sector, int block, int key_type,
                                                             std::u16string_view key);
CARDKIT_EXPORT std::optional<std::array<uint8_t, 16>> ReadIcBlock(PortState &state,
                                                                  const BlockAddress &at);
CARDKIT_EXPORT bool WriteIcBlock(PortState &state, const BlockAddress &at,
                                 const std::array<uint8_t, 16> &data);

} // namespace cardkit
