// Integer readers and writers: the general and radix syntaxes, and decimal and
// power-of-two radix text. One template body serves the narrow and wide twins.

#include <bit>

#include "corekit/numbers/number_chars.h"
#include "corekit/numbers/numbers.h"

using namespace corekit_numbers;

namespace {

// ---- Reading ----------------------------------------------------------------

// Digits of the radix from p on; the value wraps in U. Returns the count read.
template <typename U, typename Ch> unsigned ReadDigits(int radix, const Ch *s, U *out)
{
    const int shift = RadixShift(radix);
    const Ch *p = s;
    U v = 0;
    if (shift == 0) {
        for (uint32_t d; (d = Code(*p) - '0') < 10; ++p)
            v = static_cast<U>(v * 10u + d);
    } else if (shift > 0) {
        const uint32_t limit = 1u << shift;
        for (uint32_t d; (d = DigitValue(Code(*p))) < limit; ++p)
            v = static_cast<U>((v << shift) | d);
    }
    if (p != s)
        *out = v;
    return static_cast<unsigned>(p - s);
}

// Blanks, an optional sign and the blanks after it. Returns the position of
// the digits; *negative tells whether the sign was a minus.
template <typename Ch> const Ch *ReadSign(const Ch *p, bool *negative)
{
    p = SkipBlanks(p);
    *negative = *p == '-';
    if (*p == '-' || *p == '+')
        p = SkipBlanks(p + 1);
    return p;
}

template <typename Ch> uint64_t ReadGeneral(const Ch *s)
{
    bool negative;
    const Ch *p = ReadSign(s, &negative);
    uint64_t v = 0;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
        ReadDigits(1, p + 2, &v);
    else
        ReadDigits(0, p, &v);
    return negative ? 0 - v : v;
}

template <typename Ch> uint64_t ReadRadix(int radix, const Ch *s)
{
    bool negative;
    const Ch *p = ReadSign(s, &negative);
    uint64_t v = 0;
    ReadDigits(radix, p, &v);
    return negative ? 0 - v : v;
}

int32_t Wrap32(uint64_t v)
{
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

// ---- Writing ----------------------------------------------------------------

// "00" "01" ... "99": two decimal digits per table step halve the divisions.
constexpr char kDigitPairs[] = "00010203040506070809"
                               "10111213141516171819"
                               "20212223242526272829"
                               "30313233343536373839"
                               "40414243444546474849"
                               "50515253545556575859"
                               "60616263646566676869"
                               "70717273747576777879"
                               "80818283848586878889"
                               "90919293949596979899";

constexpr uint64_t kPowersOf10[] = {1ull,
                                    10ull,
                                    100ull,
                                    1000ull,
                                    10000ull,
                                    100000ull,
                                    1000000ull,
                                    10000000ull,
                                    100000000ull,
                                    1000000000ull,
                                    10000000000ull,
                                    100000000000ull,
                                    1000000000000ull,
                                    10000000000000ull,
                                    100000000000000ull,
                                    1000000000000000ull,
                                    10000000000000000ull,
                                    100000000000000000ull,
                                    1000000000000000000ull,
                                    10000000000000000000ull};

unsigned DecimalDigits(uint64_t v)
{
    v |= 1; // 0 has one digit, like 1
    // bit_width * log10(2), in 1/4096 steps: the digit count or one more.
    const unsigned guess = (static_cast<unsigned>(std::bit_width(v)) * 1233) >> 12;
    return guess + (v >= kPowersOf10[guess] ? 1 : 0);
}

template <typename Ch> unsigned WriteDecimal(Ch *buf, uint64_t v)
{
    const unsigned n = DecimalDigits(v);
    Ch *p = buf + n;
    *p = 0;
    while (v >= 100) {
        const unsigned pair = static_cast<unsigned>(v % 100) * 2;
        v /= 100;
        p -= 2;
        p[0] = static_cast<Ch>(kDigitPairs[pair]);
        p[1] = static_cast<Ch>(kDigitPairs[pair + 1]);
    }
    if (v >= 10) {
        const unsigned pair = static_cast<unsigned>(v) * 2;
        p[-2] = static_cast<Ch>(kDigitPairs[pair]);
        p[-1] = static_cast<Ch>(kDigitPairs[pair + 1]);
    } else {
        p[-1] = static_cast<Ch>('0' + v);
    }
    return n;
}

template <typename Ch> unsigned WriteSigned(Ch *buf, int64_t v)
{
    if (v >= 0)
        return WriteDecimal(buf, static_cast<uint64_t>(v));
    *buf = '-';
    return 1 + WriteDecimal(buf + 1, 0 - static_cast<uint64_t>(v));
}

template <typename Ch> unsigned WriteRadix(int radix, Ch *buf, uint64_t v)
{
    const int shift = RadixShift(radix);
    if (shift < 0) {
        *buf = 0;
        return 0;
    }
    if (shift == 0)
        return WriteDecimal(buf, v);
    const unsigned bits = static_cast<unsigned>(std::bit_width(v | 1));
    const unsigned n = (bits + shift - 1) / shift;
    const uint64_t mask = (1u << shift) - 1;
    Ch *p = buf + n;
    *p = 0;
    do {
        *--p = static_cast<Ch>("0123456789abcdef"[v & mask]);
        v >>= shift;
    } while (p != buf);
    return n;
}

} // namespace

int32_t ToInt32(const char *s)
{
    return Wrap32(ReadGeneral(s));
}
int32_t ToInt32(const char16_t *s)
{
    return Wrap32(ReadGeneral(s));
}
int64_t ToInt64(const char *s)
{
    return static_cast<int64_t>(ReadGeneral(s));
}
int64_t ToInt64(const char16_t *s)
{
    return static_cast<int64_t>(ReadGeneral(s));
}

int32_t ToInt32(int radix, const char *s)
{
    return Wrap32(ReadRadix(radix, s));
}
int32_t ToInt32(int radix, const char16_t *s)
{
    return Wrap32(ReadRadix(radix, s));
}
int64_t ToInt64(int radix, const char *s)
{
    return static_cast<int64_t>(ReadRadix(radix, s));
}
int64_t ToInt64(int radix, const char16_t *s)
{
    return static_cast<int64_t>(ReadRadix(radix, s));
}

unsigned ToInteger(int radix, const char *s, uint32_t *out)
{
    return ReadDigits(radix, s, out);
}
unsigned ToInteger(int radix, const char16_t *s, uint32_t *out)
{
    return ReadDigits(radix, s, out);
}
unsigned ToInteger(int radix, const char *s, uint64_t *out)
{
    return ReadDigits(radix, s, out);
}
unsigned ToInteger(int radix, const char16_t *s, uint64_t *out)
{
    return ReadDigits(radix, s, out);
}

unsigned FromInteger(char *buf, int64_t v)
{
    return WriteSigned(buf, v);
}
unsigned FromInteger(char16_t *buf, int64_t v)
{
    return WriteSigned(buf, v);
}
unsigned FromInteger(int radix, char *buf, uint64_t v)
{
    return WriteRadix(radix, buf, v);
}
unsigned FromInteger(int radix, char16_t *buf, uint64_t v)
{
    return WriteRadix(radix, buf, v);
}
