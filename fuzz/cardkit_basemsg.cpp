// A reader's answer to 30 01 (base message) or 30 03 (additional addresses),
// as a whole frame.
#include <array>
#include <cstddef>
#include <cstdint>

#include "cardkit/base_msg.h"
#include "cardkit/sdt_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    cardkit::SdtResponse response;
    if (cardkit::ParseSdtResponse(data, size, &response) != cardkit::FrameError::None)
        return 0;
    cardkit::BaseMsg_t msg;
    cardkit::ParseBaseMsg(response.data.data(), response.data.size(), &msg);
    std::array<std::u16string, cardkit::kNewAddressEntries> entries;
    cardkit::ParseNewAddress(response.data.data(), response.data.size(), &entries);
    return 0;
}
