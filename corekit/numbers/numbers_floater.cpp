// Floating readers and writers and the typed number reader. The arithmetic is
// plain double arithmetic in a fixed order (tenths accumulated digit by digit,
// exponents applied by repeated multiplication) so that every build reads and
// writes the same values; nothing here consults the process locale.

#include <cmath>
#include <cstdint>
#include <limits>

#include "corekit/numbers/number_chars.h"
#include "corekit/numbers/numbers.h"

using namespace corekit_numbers;

namespace {

// ---- Reading ----------------------------------------------------------------

// Integer digits. *exact wraps modulo 2^64 like every integer reader; *whole
// is the same value in floating point, which keeps growing (rather than
// wrapping) once the digits pass the 64-bit range.
template <typename Ch> const Ch *ReadWhole(const Ch *p, double *whole, uint64_t *exact)
{
    uint64_t u = 0;
    for (uint32_t d; (d = Code(*p) - '0') < 10; ++p) {
        if (u > (std::numeric_limits<uint64_t>::max() - d) / 10)
            break;
        u = u * 10 + d;
    }
    *exact = u;
    if (!IsDecimal(Code(*p))) {
        *whole = static_cast<double>(u);
        return p;
    }
    // Extended precision for the tail keeps the rounding error of the digit
    // by digit accumulation well below the double's last bit.
    long double w = static_cast<long double>(u);
    for (uint32_t d; (d = Code(*p) - '0') < 10; ++p) {
        w = w * 10 + d;
        u = u * 10 + d;
    }
    *exact = u;
    *whole = static_cast<double>(w);
    return p;
}

// Fraction digits after the point: each digit d adds d * f, f starting at 0.1
// and shrinking tenfold per digit.
template <typename Ch> const Ch *ReadFraction(const Ch *p, double *value)
{
    double v = *value;
    double f = 0.1;
    for (uint32_t d; (d = Code(*p) - '0') < 10; ++p) {
        v += d * f;
        f *= 0.1;
    }
    *value = v;
    return p;
}

// p is at an e or E. "e-" and digits scale down, "e" and digits scale up; a
// "+" is not part of the exponent. The count saturates, and the scaling stops
// once the value is 0 or infinite, so no exponent makes this loop long.
template <typename Ch> const Ch *ReadExponent(const Ch *p, double *value)
{
    ++p;
    const bool down = *p == '-';
    if (down)
        ++p;
    uint64_t n = 0;
    for (uint32_t d; (d = Code(*p) - '0') < 10; ++p)
        n = n > (std::numeric_limits<uint64_t>::max() - 9) / 10 ? n : n * 10 + d;
    double v = *value;
    const double factor = down ? 0.1 : 10.0;
    for (; n > 0 && v != 0 && !std::isinf(v); --n)
        v *= factor;
    *value = v;
    return p;
}

template <typename Ch> bool IsExponentMark(Ch c)
{
    return c == 'e' || c == 'E';
}

template <typename Ch> unsigned ReadFloater(int mode, const Ch *s, double *out)
{
    const Ch *p = s;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    const Ch *digits = p;
    double v;
    uint64_t exact;
    p = ReadWhole(p, &v, &exact);
    if (*p == '.')
        p = ReadFraction(p + 1, &v);
    // An exponent only follows a mantissa: "e5" is a word, not 0 times ten to the fifth.
    if (mode > 0 && p != digits && IsExponentMark(*p))
        p = ReadExponent(p, &v);
    *out = negative ? -v : v;
    return static_cast<unsigned>(p - s);
}

template <typename Ch> unsigned ReadNumber(const Ch *s, XVarMeter *out)
{
    const Ch *p = s;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        p = SkipBlanks(p + 1);
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        uint64_t v = 0;
        p += 2;
        p += ToInteger(1, p, &v);
        out->type = kVarInteger;
        out->value.integer = static_cast<int64_t>(negative ? 0 - v : v);
        return static_cast<unsigned>(p - s);
    }
    const Ch *digits = p;
    double v;
    uint64_t exact;
    p = ReadWhole(p, &v, &exact);
    bool floater = *p == '.';
    if (floater)
        p = ReadFraction(p + 1, &v);
    if (p == digits)
        return 0;
    if (IsExponentMark(*p)) {
        floater = true;
        p = ReadExponent(p, &v);
    }
    if (floater) {
        out->type = kVarFloater;
        out->value.floater = negative ? -v : v;
    } else {
        out->type = kVarInteger;
        out->value.integer = static_cast<int64_t>(negative ? 0 - exact : exact);
    }
    return static_cast<unsigned>(p - s);
}

// ---- Writing ----------------------------------------------------------------

template <typename Ch> Ch *WriteAscii(Ch *p, const char *text)
{
    while (*text)
        *p++ = static_cast<Ch>(*text++);
    return p;
}

template <typename Ch> Ch *WriteUnsigned(Ch *p, uint64_t v)
{
    return p + FromInteger(0, p, v);
}

// Exact decimal digits of an integral double of 2^64 or more: the mantissa
// shifted left by the binary exponent, in base-10^9 limbs.
template <typename Ch> Ch *WriteHugeInteger(Ch *p, double x)
{
    constexpr uint32_t kBase = 1000000000;
    uint32_t limbs[40] = {}; // 2^1024 has 309 decimal digits: 35 limbs
    int exponent;
    const double fraction = std::frexp(x, &exponent); // x = fraction * 2^exponent
    uint64_t mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
    int shift = exponent - 53;
    int used = 0;
    for (; mantissa != 0; mantissa /= kBase)
        limbs[used++] = static_cast<uint32_t>(mantissa % kBase);
    while (shift > 0) {
        const int step = shift < 29 ? shift : 29; // limb << 29 stays below 2^64
        uint64_t carry = 0;
        for (int i = 0; i < used; ++i) {
            const uint64_t t = (static_cast<uint64_t>(limbs[i]) << step) + carry;
            limbs[i] = static_cast<uint32_t>(t % kBase);
            carry = t / kBase;
        }
        for (; carry != 0; carry /= kBase)
            limbs[used++] = static_cast<uint32_t>(carry % kBase);
        shift -= step;
    }
    p = WriteUnsigned(p, limbs[used - 1]);
    for (int i = used - 2; i >= 0; --i) {
        Ch digits[10];
        const unsigned n = FromInteger(0, digits, limbs[i]);
        for (unsigned k = n; k < 9; ++k)
            *p++ = '0';
        for (unsigned k = 0; k < n; ++k)
            *p++ = digits[k];
    }
    return p;
}

// Fixed form of a finite x >= 0 (see FromFloater in the header).
template <typename Ch> Ch *WriteFixed(Ch *p, int precision, double x)
{
    if (precision > 0) {
        double half = 0.5;
        for (int i = 0; i < precision && half != 0; ++i)
            half *= 0.1;
        x += half;
    } else if (precision < 0) {
        x += 5.0000000000000026e-9;
    }
    double fraction = 0;
    if (x < 18446744073709551616.0) { // 2^64
        const uint64_t whole = static_cast<uint64_t>(x);
        p = WriteUnsigned(p, whole);
        fraction = x - static_cast<double>(whole); // exact
    } else {
        p = WriteHugeInteger(p, x); // no fraction bits left at this size
    }
    if (precision == 0)
        return p;
    *p++ = '.';
    Ch *first = p;
    const int count = precision > 0 ? precision : 8;
    for (int i = 0; i < count; ++i) {
        fraction *= 10;
        int digit = static_cast<int>(fraction);
        digit = digit > 9 ? 9 : digit;
        fraction -= digit;
        *p++ = static_cast<Ch>('0' + digit);
    }
    if (precision < 0)
        while (p > first + 1 && p[-1] == '0')
            --p;
    return p;
}

// Scientific form of a finite x >= 0. The mantissa is scaled by repeated
// multiplication; zero, which no scaling brings to 1, is written as "...e0".
template <typename Ch> Ch *WriteScientific(Ch *p, int precision, double x)
{
    unsigned n = 0;
    if (x == 0) {
        p = WriteFixed(p, precision, x);
        *p++ = 'e';
    } else if (x > 1) {
        for (; x >= 10; ++n)
            x *= 0.1;
        p = WriteFixed(p, precision, x);
        *p++ = 'e';
    } else {
        for (; x < 1; ++n)
            x *= 10;
        p = WriteFixed(p, precision, x);
        *p++ = 'e';
        *p++ = '-';
    }
    return WriteUnsigned(p, n);
}

template <typename Ch> unsigned WriteFloater(int scientific, int precision, Ch *buf, double x)
{
    Ch *p = buf;
    if (std::isnan(x)) {
        p = WriteAscii(p, "nan");
    } else {
        if (x < 0) {
            *p++ = '-';
            x = -x;
        }
        if (std::isinf(x))
            p = WriteAscii(p, "inf");
        else if (scientific)
            p = WriteScientific(p, precision, x);
        else
            p = WriteFixed(p, precision, x);
    }
    *p = 0;
    return static_cast<unsigned>(p - buf);
}

} // namespace

double ToFloater(const char *s)
{
    double v;
    ToFloater(2, SkipBlanks(s), &v);
    return v;
}
double ToFloater(const char16_t *s)
{
    double v;
    ToFloater(2, SkipBlanks(s), &v);
    return v;
}

unsigned ToFloater(int mode, const char *s, double *out)
{
    return ReadFloater(mode, s, out);
}
unsigned ToFloater(int mode, const char16_t *s, double *out)
{
    return ReadFloater(mode, s, out);
}

unsigned FromFloater(char *buf, double x)
{
    return WriteFloater(0, -1, buf, x);
}
unsigned FromFloater(char16_t *buf, double x)
{
    return WriteFloater(0, -1, buf, x);
}
unsigned FromFloater(int scientific, int precision, char *buf, double x)
{
    return WriteFloater(scientific, precision, buf, x);
}
unsigned FromFloater(int scientific, int precision, char16_t *buf, double x)
{
    return WriteFloater(scientific, precision, buf, x);
}

unsigned ToNumber(const char *s, XVarMeter *out)
{
    return ReadNumber(s, out);
}
unsigned ToNumber(const char16_t *s, XVarMeter *out)
{
    return ReadNumber(s, out);
}
