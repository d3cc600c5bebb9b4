#pragma once
// Text <-> number conversions with the system's own syntax, independent of the
// C library and of the process locale. Every function has a narrow (bytes) and
// a wide (UTF-16) twin that behave alike; only ASCII digits and letters count.
//
// Radix codes (the `radix` argument): 0 decimal, 1 hexadecimal (reads either
// case, writes lower case), 2 octal, 3 binary. Any other code reads nothing
// and writes no digits.
//
// "Blank" is a character code from 1 to 32 (narrow bytes 0x80-0xFF are never
// blank). No reader reports a syntax error: each stops at the first character
// it cannot use. Arguments must not be null.

#include <cstdint>

#include "corekit/corekit_export.h"
#include "corekit/numbers/xvar_meter.h"

// Buffer sizes in characters, terminator included, that the writers need.
constexpr unsigned kIntegerTextMax = 66; // 64 binary digits, or sign and 20 digits
// FromFloater needs kFloaterTextMax plus the precision (when positive): a
// finite double has at most 309 integer digits, then sign, point, eight
// digits, an exponent of up to "e-324" and the terminator.
constexpr unsigned kFloaterTextMax = 330;

// ---- Integer readers -------------------------------------------------------

// General syntax: blanks, an optional - or + and blanks after it, then either
// 0x/0X and hexadecimal digits or decimal digits. Overflow wraps; no digits
// give 0. The 32-bit forms wrap the value to 32 bits.
COREKIT_EXPORT int32_t ToInt32(const char *s);
COREKIT_EXPORT int32_t ToInt32(const char16_t *s);
COREKIT_EXPORT int64_t ToInt64(const char *s);
COREKIT_EXPORT int64_t ToInt64(const char16_t *s);

// Radix syntax: blanks, an optional sign and blanks, then digits of the radix;
// no 0x prefix is recognised (0x1F in radix 1 reads as 0).
COREKIT_EXPORT int32_t ToInt32(int radix, const char *s);
COREKIT_EXPORT int32_t ToInt32(int radix, const char16_t *s);
COREKIT_EXPORT int64_t ToInt64(int radix, const char *s);
COREKIT_EXPORT int64_t ToInt64(int radix, const char16_t *s);

// Unsigned digits of the radix from the very start of s (no blanks, sign or
// prefix). Returns the characters consumed; *out is written only when that is
// not 0. The value wraps modulo 2^32 or 2^64.
COREKIT_EXPORT unsigned ToInteger(int radix, const char *s, uint32_t *out);
COREKIT_EXPORT unsigned ToInteger(int radix, const char16_t *s, uint32_t *out);
COREKIT_EXPORT unsigned ToInteger(int radix, const char *s, uint64_t *out);
COREKIT_EXPORT unsigned ToInteger(int radix, const char16_t *s, uint64_t *out);

// ---- Integer writers -------------------------------------------------------

// Signed decimal text of v, terminated; returns the characters written
// (sign included, terminator not).
COREKIT_EXPORT unsigned FromInteger(char *buf, int64_t v);
COREKIT_EXPORT unsigned FromInteger(char16_t *buf, int64_t v);

// Unsigned text of v in the radix, no prefix and no sign, terminated; 0 writes
// the digit 0. Returns the digits written (0, with an empty text, for an
// unknown radix).
COREKIT_EXPORT unsigned FromInteger(int radix, char *buf, uint64_t v);
COREKIT_EXPORT unsigned FromInteger(int radix, char16_t *buf, uint64_t v);

// ---- Floating readers ------------------------------------------------------

// Skips blanks, then reads as ToFloater(2, ...); 0 when nothing is read.
COREKIT_EXPORT double ToFloater(const char *s);
COREKIT_EXPORT double ToFloater(const char16_t *s);

// An optional sign (no blanks after it), decimal digits, an optional point and
// fraction digits, and, when mode > 0, an exponent: e or E, then either - and
// digits or digits directly (a + after the e is not read: only the e is
// consumed). The exponent is only read after at least one digit or a point.
// Integer digits beyond the 64-bit range keep accumulating in floating point;
// the exponent is applied by repeated multiplication by 10 or 0.1, which stops
// once the value is 0 or infinite. Always writes *out; returns the characters
// consumed.
COREKIT_EXPORT unsigned ToFloater(int mode, const char *s, double *out);
COREKIT_EXPORT unsigned ToFloater(int mode, const char16_t *s, double *out);

// ---- Floating writers ------------------------------------------------------

// Same as FromFloater(0, -1, buf, x).
COREKIT_EXPORT unsigned FromFloater(char *buf, double x);
COREKIT_EXPORT unsigned FromFloater(char16_t *buf, double x);

// Decimal text of x, terminated; returns the characters written.
// Fixed form (scientific == 0):
//   precision > 0: rounded half up at the last digit, exactly that many
//                  decimals (trailing zeros stay);
//   precision = 0: the integer part, truncated toward zero, no point;
//   precision < 0: up to eight decimals, rounded, trailing zeros removed but
//                  one kept after the point (3 gives "3.0").
// Scientific form: the mantissa in the fixed form with the same precision, then
// "e" and the decimal exponent for values above 1, "e-" and the exponent for
// values up to 1 (so 1 gives "1.0e-0", 5 gives "5.0e0"); zero writes its
// fixed form followed by "e0".
// Infinities are written "inf" and "-inf", NaN "nan", in both forms. Integer
// parts beyond the 64-bit range are written exactly. The buffer must hold
// kFloaterTextMax characters plus the precision.
COREKIT_EXPORT unsigned FromFloater(int scientific, int precision, char *buf, double x);
COREKIT_EXPORT unsigned FromFloater(int scientific, int precision, char16_t *buf, double x);

// ---- Typed reader ----------------------------------------------------------

// An optional sign and blanks after it, then 0x/0X and hexadecimal digits
// (integer), or decimal digits with an optional point and fraction (a point
// makes a floater) and an optional exponent as in ToFloater (makes a
// floater). Fills out->type (kVarInteger or kVarFloater) and out->value;
// out->count is left alone. Returns the characters consumed, or 0 (out left
// untouched) when neither a digit, a point nor a 0x prefix follows the sign.
COREKIT_EXPORT unsigned ToNumber(const char *s, XVarMeter *out);
COREKIT_EXPORT unsigned ToNumber(const char16_t *s, XVarMeter *out);
