// Hexadecimal text coding of bytes.
#include <cstddef>

#include "corekit/encoding/encoding.h"
#include "corekit/text/char_traits.h"

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

template <typename C> unsigned Encode(C *out, const void *data, unsigned n)
{
    const auto *b = static_cast<const unsigned char *>(data);
    for (unsigned i = 0; i < n; ++i) {
        out[2 * i] = static_cast<C>(kDigits[b[i] >> 4]);
        out[2 * i + 1] = static_cast<C>(kDigits[b[i] & 0x0F]);
    }
    out[2 * n] = 0;
    return 2 * n;
}

// Value of a hexadecimal digit, or -1.
int DigitValue(unsigned c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    return -1;
}

template <typename C> unsigned Decode(void *out, const C *s, int len)
{
    size_t n = len < 0 ? corekit_detail::Length(s) : static_cast<size_t>(len);
    auto *b = static_cast<unsigned char *>(out);
    for (size_t i = 0; i < n; i += 2) {
        int hi = DigitValue(corekit_detail::Code(s[i]));
        if (hi < 0 || i + 1 >= n)
            return 0;
        int lo = DigitValue(corekit_detail::Code(s[i + 1]));
        if (lo < 0)
            return 0;
        b[i / 2] = static_cast<unsigned char>(hi << 4 | lo);
    }
    return static_cast<unsigned>(n / 2);
}

} // namespace

unsigned HexEncode(char *out, const void *data, unsigned n)
{
    return Encode(out, data, n);
}

unsigned HexEncode(char16_t *out, const void *data, unsigned n)
{
    return Encode(out, data, n);
}

unsigned HexDecode(void *out, const char *s, int len)
{
    return s ? Decode(out, s, len) : 0;
}

unsigned HexDecode(void *out, const char16_t *s, int len)
{
    return s ? Decode(out, s, len) : 0;
}
