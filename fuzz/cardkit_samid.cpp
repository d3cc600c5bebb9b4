// A reader's answer to 12 FF (SAM identifier), as a whole frame.
#include <cstddef>
#include <cstdint>

#include "cardkit/sam_id.h"
#include "cardkit/sdt_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    cardkit::SdtResponse response;
    if (cardkit::ParseSdtResponse(data, size, &response) != cardkit::FrameError::None)
        return 0;
    const auto text = cardkit::FormatSamId(response.data.data(), response.data.size());
    if (text)
        cardkit::CardReaderIdOf(*text);
    return 0;
}
