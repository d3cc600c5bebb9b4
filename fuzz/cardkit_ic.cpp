// A reader's answer on the IC-card side, as a whole frame.
#include <cstddef>
#include <cstdint>

#include "cardkit/ic_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    cardkit::Bytes body;
    if (cardkit::ParseIcResponse(data, size, &body) != cardkit::FrameError::None)
        return 0;
    cardkit::ParseIcSerialNumber(body);
    cardkit::ParseIcReadBlock(body);
    cardkit::ParseIcWriteBlock(body);
    return 0;
}
