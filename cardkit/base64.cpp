#include "cardkit/base64.h"

namespace cardkit {

std::string EncodeBase64(const uint8_t *data, size_t size)
{
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const uint32_t v = uint32_t(data[i]) << 16 | uint32_t(data[i + 1]) << 8 | data[i + 2];
        out.push_back(kAlphabet[v >> 18]);
        out.push_back(kAlphabet[v >> 12 & 63]);
        out.push_back(kAlphabet[v >> 6 & 63]);
        out.push_back(kAlphabet[v & 63]);
    }
    if (i < size) {
        const bool two = i + 1 < size;
        const uint32_t v = uint32_t(data[i]) << 16 | (two ? uint32_t(data[i + 1]) << 8 : 0);
        out.push_back(kAlphabet[v >> 18]);
        out.push_back(kAlphabet[v >> 12 & 63]);
        out.push_back(two ? kAlphabet[v >> 6 & 63] : '=');
        out.push_back('=');
    }
    return out;
}

} // namespace cardkit
