#pragma once
// Frames of the Type A (IC card) side of the reader: 55 AA, a length byte
// equal to the data length plus one, the data, and a check byte that makes the
// XOR of every frame byte zero. Responses have the same shape.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "cardkit/cardkit_export.h"
#include "cardkit/sdt_frame.h"

namespace cardkit {

constexpr size_t kIcHeaderSize = 3;
constexpr uint8_t kIcKeyA = 0x60;
constexpr uint8_t kIcKeyB = 0x61;
// Largest command data: 04 FF sector block keytype key[6] data[16].
constexpr size_t kIcMaxData = 254;

// Builds a frame around `size` data bytes (at most kIcMaxData).
CARDKIT_EXPORT Bytes EncodeIcFrame(const uint8_t *data, size_t size);

CARDKIT_EXPORT Bytes EncodeIcSerialNumber();
// Sector 0-15, block 0-3 and key type kIcKeyA/kIcKeyB are the caller's to check.
CARDKIT_EXPORT Bytes EncodeIcReadBlock(uint8_t sector, uint8_t block, uint8_t key_type,
                                       const std::array<uint8_t, 6> &key);
CARDKIT_EXPORT Bytes EncodeIcWriteBlock(uint8_t sector, uint8_t block, uint8_t key_type,
                                        const std::array<uint8_t, 6> &key,
                                        const std::array<uint8_t, 16> &data);
// Buzzer and LED: bit 1 and bit 0 of `flags` switch the two signals.
CARDKIT_EXPORT Bytes EncodeIcSignal(uint8_t flags);

// Checks the 3-byte header and gives the announced body length (1-255).
CARDKIT_EXPORT FrameError ParseIcHeader(const uint8_t *header, size_t size, size_t *body_length);

// Parses a complete response; `data` receives the body without its check
// byte. Bytes after the announced body are ignored.
CARDKIT_EXPORT FrameError ParseIcResponse(const uint8_t *frame, size_t size, Bytes *data);

// Serial-number answer: 02 FF then 4 to 10 serial bytes. Gives the serial
// number as upper-case hex, or nothing for any other answer.
CARDKIT_EXPORT std::optional<std::string> ParseIcSerialNumber(const Bytes &data);
// Block-read answer: 03 FF then the 16 block bytes.
CARDKIT_EXPORT std::optional<std::array<uint8_t, 16>> ParseIcReadBlock(const Bytes &data);
// Block-write answer: 04 FF.
CARDKIT_EXPORT bool ParseIcWriteBlock(const Bytes &data);

} // namespace cardkit
