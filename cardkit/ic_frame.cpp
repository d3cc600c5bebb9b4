#include "cardkit/ic_frame.h"

#include "cardkit/hex_text.h"

namespace cardkit {

Bytes EncodeIcFrame(const uint8_t *data, size_t size)
{
    Bytes frame = {0x55, 0xAA, static_cast<uint8_t>(size + 1)};
    frame.insert(frame.end(), data, data + size);
    uint8_t check = 0;
    for (uint8_t b : frame)
        check ^= b;
    frame.push_back(check);
    return frame;
}

Bytes EncodeIcSerialNumber()
{
    const uint8_t data[] = {0x02, 0xFF, 0xFF};
    return EncodeIcFrame(data, sizeof data);
}

static Bytes BlockCommand(uint8_t command, uint8_t sector, uint8_t block, uint8_t key_type,
                          const std::array<uint8_t, 6> &key)
{
    Bytes data = {command, 0xFF, sector, block, key_type};
    data.insert(data.end(), key.begin(), key.end());
    return data;
}

Bytes EncodeIcReadBlock(uint8_t sector, uint8_t block, uint8_t key_type,
                        const std::array<uint8_t, 6> &key)
{
    Bytes data = BlockCommand(0x03, sector, block, key_type, key);
    return EncodeIcFrame(data.data(), data.size());
}

Bytes EncodeIcWriteBlock(uint8_t sector, uint8_t block, uint8_t key_type,
                         const std::array<uint8_t, 6> &key, const std::array<uint8_t, 16> &payload)
{
    Bytes data = BlockCommand(0x04, sector, block, key_type, key);
    data.insert(data.end(), payload.begin(), payload.end());
    return EncodeIcFrame(data.data(), data.size());
}

Bytes EncodeIcSignal(uint8_t flags)
{
    const uint8_t data[] = {0xC0, 0xFF, flags};
    return EncodeIcFrame(data, sizeof data);
}

FrameError ParseIcHeader(const uint8_t *header, size_t size, size_t *body_length)
{
    if (size < kIcHeaderSize)
        return FrameError::Truncated;
    if (header[0] != 0x55 || header[1] != 0xAA)
        return FrameError::BadPreamble;
    if (header[2] == 0)
        return FrameError::BadLength;
    *body_length = header[2];
    return FrameError::None;
}

FrameError ParseIcResponse(const uint8_t *frame, size_t size, Bytes *data)
{
    size_t length = 0;
    FrameError error = ParseIcHeader(frame, size, &length);
    if (error != FrameError::None)
        return error;
    if (size - kIcHeaderSize < length)
        return FrameError::Truncated;
    uint8_t check = 0;
    for (size_t i = 0; i < kIcHeaderSize + length; ++i)
        check ^= frame[i];
    if (check != 0)
        return FrameError::BadCheck;
    data->assign(frame + kIcHeaderSize, frame + kIcHeaderSize + length - 1);
    return FrameError::None;
}

std::optional<std::string> ParseIcSerialNumber(const Bytes &data)
{
    if (data.size() < 2 + 4 || data.size() > 2 + 10 || data[0] != 0x02 || data[1] != 0xFF)
        return std::nullopt;
    return FormatHex(data.data() + 2, data.size() - 2);
}

std::optional<std::array<uint8_t, 16>> ParseIcReadBlock(const Bytes &data)
{
    if (data.size() < 2 + 16 || data[0] != 0x03 || data[1] != 0xFF)
        return std::nullopt;
    std::array<uint8_t, 16> block;
    for (size_t i = 0; i < 16; ++i)
        block[i] = data[2 + i];
    return block;
}

bool ParseIcWriteBlock(const Bytes &data)
{
    return data.size() >= 2 && data[0] == 0x04 && data[1] == 0xFF;
}

} // namespace cardkit
