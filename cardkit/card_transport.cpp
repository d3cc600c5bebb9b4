#include "cardkit/card_transport.h"

#include "cardkit/ic_frame.h"

namespace cardkit {

bool CheckHeader(FrameKind kind, const uint8_t *header, size_t *body_length)
{
    const FrameError error = kind == FrameKind::Sdt
                                 ? ParseSdtHeader(header, kSdtHeaderSize, body_length)
                                 : ParseIcHeader(header, kIcHeaderSize, body_length);
    return error == FrameError::None;
}

} // namespace cardkit
