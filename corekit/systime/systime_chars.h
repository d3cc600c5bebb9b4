#pragma once
// Character helpers of the time grammars, for narrow and wide text alike
// (internal to corekit).

#include <cstdint>

namespace corekit_time {

inline uint32_t CodeOf(char c)
{
    return static_cast<unsigned char>(c);
}
inline uint32_t CodeOf(char16_t c)
{
    return c;
}

inline bool IsBlankCode(uint32_t c)
{
    return c - 1 < 32; // codes 1-32
}

inline bool IsDigitCode(uint32_t c)
{
    return c - '0' < 10;
}

inline uint32_t FoldCode(uint32_t c)
{
    return c - 'A' < 26 ? c + ('a' - 'A') : c;
}

// Writes v in decimal with at least minDigits digits (leading zeros); returns
// the characters written (no terminator).
template <typename Ch> unsigned WriteDecimal(Ch *buf, uint32_t v, unsigned minDigits)
{
    char digits[10];
    unsigned n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    unsigned written = 0;
    for (; minDigits > n; --minDigits)
        buf[written++] = Ch('0');
    while (n)
        buf[written++] = Ch(digits[--n]);
    return written;
}

template <typename Ch> unsigned WriteAscii(Ch *buf, const char *text)
{
    unsigned n = 0;
    for (; text[n]; ++n)
        buf[n] = Ch(text[n]);
    return n;
}

// The narrow or wide copy of an ASCII default text.
template <typename Ch> const Ch *Widen(const char *narrow, const char16_t *wide);
template <> inline const char *Widen<char>(const char *narrow, const char16_t *)
{
    return narrow;
}
template <> inline const char16_t *Widen<char16_t>(const char *, const char16_t *wide)
{
    return wide;
}

} // namespace corekit_time
