#include "cardkit/hex_text.h"

namespace cardkit {

static int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

std::optional<Bytes> ParseHex(std::u16string_view text, size_t bytes)
{
    if (text.size() != 2 * bytes)
        return std::nullopt;
    Bytes out(bytes);
    for (size_t i = 0; i < bytes; ++i) {
        const int high = HexDigit(text[2 * i]);
        const int low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return out;
}

std::string FormatHex(const uint8_t *data, size_t size)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * size);
    for (size_t i = 0; i < size; ++i) {
        text.push_back(kDigits[data[i] >> 4]);
        text.push_back(kDigits[data[i] & 15]);
    }
    return text;
}

} // namespace cardkit
