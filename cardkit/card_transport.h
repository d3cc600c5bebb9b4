#pragma once
// One open reader connection. Every transport sends a command frame and
// hands back the raw response frame: header plus exactly the announced body,
// the header already checked (preamble, length within the transport's
// buffer). The caller checks the XOR and reads the status.
#include "cardkit/card_config.h"
#include "cardkit/sdt_frame.h"

namespace cardkit {

enum class FrameKind { Sdt, Ic };

// Transport kinds as the module state records them.
enum class TransportKind { None = 0, Serial = 1, UsbDriver = 2, UsbPipes = 3, Hid = 4 };

class CardTransport
{
public:
    virtual ~CardTransport() = default;
    virtual TransportKind Kind() const = 0;
    // Sends `command` and reads the answer. False on any I/O failure, any
    // deadline, a bad preamble or a length the buffer cannot hold; nothing is
    // retried after a bad frame.
    virtual bool Exchange(const Bytes &command, FrameKind kind, Bytes *response) = 0;
};

// Header size of a frame kind.
inline size_t HeaderSize(FrameKind kind)
{
    return kind == FrameKind::Sdt ? kSdtHeaderSize : 3;
}

// Checks a header of `kind` and gives the body length it announces.
CARDKIT_EXPORT bool CheckHeader(FrameKind kind, const uint8_t *header, size_t *body_length);

} // namespace cardkit
