#pragma once
// The card's base message as the reader sends it after 30 01: two big-endian
// 16-bit lengths (text, photo), the UTF-16LE text and the compressed photo.
// Text fields stay UTF-16 so that rare characters in names survive.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cardkit/cardkit_export.h"
#include "cardkit/sdt_frame.h"

namespace cardkit {

constexpr size_t kBaseTextBytes = 256;
constexpr size_t kPhotoBytes = 1024;
constexpr size_t kNewAddressEntries = 4;
constexpr size_t kNewAddressEntryBytes = 70;

struct BaseMsg_t
{
    std::u16string name; // surrounding white space removed
    char16_t sex = 0;    // '1' male, anything else female
    int nation_code = 0; // two decimal digits; 0 when they are not digits
    std::u16string born; // YYYYMMDD
    std::u16string address;
    std::u16string card_no; // 18 characters
    std::u16string issued_at;
    std::u16string valid_start;
    std::u16string valid_end;                 // YYYYMMDD or the card's long-term text
    std::array<uint8_t, kPhotoBytes> photo{}; // zero-filled past the announced length
    size_t photo_length = 0;
};

// Parses the data of a 30 01 response. Fails when either announced length
// exceeds its field (256 text bytes, 1024 photo bytes) or the bytes received.
CARDKIT_EXPORT bool ParseBaseMsg(const uint8_t *data, size_t size, BaseMsg_t *out);

// Decodes the fields from up to 256 text bytes (missing bytes read as zero).
CARDKIT_EXPORT void DecodeBaseText(const uint8_t *text, size_t size, BaseMsg_t *out);

// Cuts the data of a 30 03 response (at most 280 bytes) into four 70-byte
// entries; fails on a longer answer. Returns the number of non-empty entries.
CARDKIT_EXPORT int ParseNewAddress(const uint8_t *data, size_t size,
                                   std::array<std::u16string, kNewAddressEntries> *out);

// Decodes `count` little-endian UTF-16 units and cuts the trailing run of
// blanks (codes 0-32).
CARDKIT_EXPORT std::u16string DecodeField(const uint8_t *bytes, size_t count);

} // namespace cardkit
