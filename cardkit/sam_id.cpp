#include "cardkit/sam_id.h"

#include <cstdio>

namespace cardkit {

std::optional<std::string> FormatSamId(const uint8_t *data, size_t size)
{
    if (size != kSamIdBytes)
        return std::nullopt;
    auto u16 = [&](size_t at) { return unsigned(data[at] | data[at + 1] << 8); };
    auto u32 = [&](size_t at) {
        return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
               uint32_t(data[at + 3]) << 24;
    };
    char text[64];
    std::snprintf(text, sizeof text, "%.2u.%.2u-%.8u-%.10u-%.10u", u16(0), u16(2), unsigned(u32(4)),
                  unsigned(u32(8)), unsigned(u32(12)));
    return std::string(text);
}

std::string CardReaderIdOf(const std::string &sam_text)
{
    size_t start = 0;
    for (int group = 0; group < 2; ++group) {
        start = sam_text.find('-', start);
        if (start == std::string::npos)
            return {};
        ++start;
    }
    const size_t end = sam_text.find('-', start);
    return sam_text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace cardkit
