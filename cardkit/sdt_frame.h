#pragma once
// Frames of the identity-card side of the reader: a five-byte preamble
// AA AA AA 96 69, a big-endian 16-bit length, then that many bytes of body.
// A command body is command, parameter, data, check; a response body is
// SW1 SW2 SW3, data, check. The check byte makes the XOR of the two length
// bytes and the whole body zero.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cardkit/cardkit_export.h"

namespace cardkit {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kSdtPreamble[5] = {0xAA, 0xAA, 0xAA, 0x96, 0x69};
constexpr size_t kSdtHeaderSize = 7;
// Largest body any transport accepts: one pipe read of 4096 bytes holds the
// header and the body. The base message (3 + 4 + 256 + 1024 + 1) fits.
constexpr size_t kSdtMaxBody = 4096 - kSdtHeaderSize;

// Status word SW3 values.
constexpr uint8_t kSdtOk = 0x90;
constexpr uint8_t kSdtFindCardOk = 0x9F;

// Command and parameter bytes of every command the control sends.
struct SdtCommand
{
    uint8_t command;
    uint8_t parameter;
};
constexpr SdtCommand kSdtSamStatus = {0x11, 0xFF};
constexpr SdtCommand kSdtSamId = {0x12, 0xFF};
constexpr SdtCommand kSdtFindCard = {0x20, 0x01};
constexpr SdtCommand kSdtSelectCard = {0x20, 0x02};
constexpr SdtCommand kSdtReadBaseMsg = {0x30, 0x01};
constexpr SdtCommand kSdtReadNewAddress = {0x30, 0x03};
constexpr SdtCommand kSdtSetCommParam = {0x61, 0xFF};

// Builds the whole command frame. `size` data bytes follow the parameter;
// callers keep it far below kSdtMaxBody.
CARDKIT_EXPORT Bytes EncodeSdtCommand(SdtCommand cmd, const uint8_t *data = nullptr,
                                      size_t size = 0);

enum class FrameError { None, Truncated, BadPreamble, BadLength, BadCheck };

// Checks the 7-byte header and gives the announced body length. A length
// shorter than status plus check (4) or longer than kSdtMaxBody is BadLength.
CARDKIT_EXPORT FrameError ParseSdtHeader(const uint8_t *header, size_t size, size_t *body_length);

struct SdtResponse
{
    uint8_t sw1 = 0, sw2 = 0, sw3 = 0;
    Bytes data; // body without status bytes and check byte

    bool Succeeded(uint8_t ok = kSdtOk) const { return sw1 == 0 && sw2 == 0 && sw3 == ok; }
};

// Parses a complete response frame (header and body). Bytes after the
// announced body are ignored, so a transport may hand over a padded buffer
// (HID reports); fewer bytes than announced is Truncated.
CARDKIT_EXPORT FrameError ParseSdtResponse(const uint8_t *frame, size_t size, SdtResponse *out);

} // namespace cardkit
