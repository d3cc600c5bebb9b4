#include "cardkit/sdt_frame.h"

#include <cstring>

namespace cardkit {

Bytes EncodeSdtCommand(SdtCommand cmd, const uint8_t *data, size_t size)
{
    const size_t length = 2 + size + 1; // command, parameter, data, check
    Bytes frame(kSdtPreamble, kSdtPreamble + 5);
    frame.push_back(static_cast<uint8_t>(length >> 8));
    frame.push_back(static_cast<uint8_t>(length));
    frame.push_back(cmd.command);
    frame.push_back(cmd.parameter);
    if (size > 0)
        frame.insert(frame.end(), data, data + size);
    uint8_t check = 0;
    for (size_t i = 5; i < frame.size(); ++i)
        check ^= frame[i];
    frame.push_back(check);
    return frame;
}

FrameError ParseSdtHeader(const uint8_t *header, size_t size, size_t *body_length)
{
    if (size < kSdtHeaderSize)
        return FrameError::Truncated;
    if (std::memcmp(header, kSdtPreamble, 5) != 0)
        return FrameError::BadPreamble;
    const size_t length = (size_t{header[5]} << 8) | header[6];
    if (length < 4 || length > kSdtMaxBody)
        return FrameError::BadLength;
    *body_length = length;
    return FrameError::None;
}

FrameError ParseSdtResponse(const uint8_t *frame, size_t size, SdtResponse *out)
{
    size_t length = 0;
    FrameError error = ParseSdtHeader(frame, size, &length);
    if (error != FrameError::None)
        return error;
    if (size - kSdtHeaderSize < length)
        return FrameError::Truncated;
    const uint8_t *body = frame + kSdtHeaderSize;
    uint8_t check = frame[5] ^ frame[6];
    for (size_t i = 0; i < length; ++i)
        check ^= body[i];
    if (check != 0)
        return FrameError::BadCheck;
    out->sw1 = body[0];
    out->sw2 = body[1];
    out->sw3 = body[2];
    out->data.assign(body + 3, body + length - 1);
    return FrameError::None;
}

} // namespace cardkit
