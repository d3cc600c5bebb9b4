#pragma once
// The system's own printf/scanf family: one conversion grammar for formatting
// into buffers, strings and byte buffers, for scanning and parsing text, and
// for formatting from and scanning into typed values (XVarMeter). Numbers are
// written and read by corekit's number writers and readers, never the C
// library's, so nothing depends on the process locale. Every function has a
// narrow (UTF-8) and a wide (UTF-16) twin unless it says otherwise.
//
// Conversion directive: '%', then an optional flag ('0' pads with zeros,
// '-' aligns left; one flag at most), an optional width (digits), an optional
// precision ('.' and digits; '.' alone is 0), an optional size ('h' 16 bits /
// float / the other string width, 'l' 32 bits (narrow %ls: a wide string),
// 'll' or 'I64' 64 bits), and the letter: d i u x X o b c f e E s T, and in
// the wide forms V. Width and precision above 65535 count as 65535.
//
// Formatting writes: d i signed decimal; u decimal; x X hexadecimal (lower,
// upper case); o octal; b binary; c one character; f the fixed form of the
// number writer (no precision: up to eight decimals, trailing zeros removed,
// one kept; precision 0: the truncated integer); e E the scientific form
// (1234.5 -> 1.2345e3, E upper-cases the text); s a string (null writes
// nothing); T and V write nothing and take no argument. A precision above 0
// cuts every text but f e E to that many characters (12345 with %.2d is 12).
// Then the text is padded to the width: spaces after it with '-', else spaces
// or, with '0', zeros before it (-5 with %05d is 000-5). "%%" writes one
// percent sign; a '%' that starts no complete directive is dropped.

#include <cstdarg>
#include <cstdint>

#include "corekit/corekit_export.h"
#include "corekit/numbers/xvar_meter.h"

class XString;
class XByteBuffer;

// ---- Formatting --------------------------------------------------------------

// Writes the text and a terminator into buf (the caller gives room enough);
// returns the characters written, terminator excluded.
COREKIT_EXPORT unsigned Sprintf(char *buf, const char *fmt, ...);
COREKIT_EXPORT unsigned Sprintf(char16_t *buf, const char16_t *fmt, ...);
COREKIT_EXPORT unsigned SprintfV(char *buf, const char *fmt, va_list args);
COREKIT_EXPORT unsigned SprintfV(char16_t *buf, const char16_t *fmt, va_list args);

// Appends to s (which then holds a text, possibly empty), first reserving room
// for 480 more characters; the same as s->AppendFormat(fmt, ...). Returns the
// characters appended.
COREKIT_EXPORT unsigned Sprintf(XString *s, const char16_t *fmt, ...);
COREKIT_EXPORT unsigned SprintfV(XString *s, const char16_t *fmt, va_list args);

// Appends narrow text to b with a zero byte after it (not counted); the same as
// b->AppendFormat(fmt, ...). Returns the bytes appended.
COREKIT_EXPORT unsigned Sprintf(XByteBuffer *b, const char *fmt, ...);
COREKIT_EXPORT unsigned SprintfV(XByteBuffer *b, const char *fmt, va_list args);

// Appends to s taking each directive's value from the next of the n typed
// values: d i u x X o b c need an integer (its low 16 bits with 'h', 64 with
// 'll', else 32), f e E a floater, s a text or a date-time (written as
// "%Y-%M-%d %H:%m:%s"). A null value writes nothing for its directive; T
// and V take no value. 1 on success; 0 on any other pairing or when the values
// run out, the text written so far staying in s.
COREKIT_EXPORT int SprintfV(XString *s, const char16_t *fmt, const XVarMeter *v, unsigned n);

// ---- Scanning ----------------------------------------------------------------
// Before each format element blanks (codes 1-32) are skipped in the text and
// in the format. An ordinary format character must equal the next text
// character. A directive reads one field at the current position:
//   d i   optional '-' or '+', optional blanks, decimal digits (stores int16_t
//         with 'h', int64_t with 'll'/'I64', else int32_t);
//   u x X o b   digits of the radix, no prefix (uint16_t, uint64_t or uint32_t);
//   c     one character (char or char16_t, no terminator);
//   f     sign, digits and fraction, no exponent; e E with an optional exponent
//         (double, float with 'h');
//   s     a word up to a blank, ')' or ','; a width above 0 limits it (stores the
//         word and a terminator; the wide forms with 'h' store it as UTF-8);
//   T     a text quoted with " or ', a backslash taking the next character in;
//         stores what stands between the quotes, backslashes kept.
// A field that reads nothing fails. Overflow wraps.

// Returns the number of values stored: scanning stops at the first element
// that fails.
COREKIT_EXPORT unsigned Sscanf(const char *text, const char *fmt, ...);
COREKIT_EXPORT unsigned Sscanf(const char16_t *text, const char16_t *fmt, ...);
COREKIT_EXPORT unsigned SscanfV(const char *text, const char *fmt, va_list args);
COREKIT_EXPORT unsigned SscanfV(const char16_t *text, const char16_t *fmt, va_list args);

// As Sscanf, but returns the characters of text consumed, or 0 when any
// literal or conversion fails.
COREKIT_EXPORT unsigned StrParse(const char *text, const char *fmt, ...);
COREKIT_EXPORT unsigned StrParse(const char16_t *text, const char16_t *fmt, ...);
COREKIT_EXPORT unsigned StrParseV(const char *text, const char *fmt, va_list args);
COREKIT_EXPORT unsigned StrParseV(const char16_t *text, const char16_t *fmt, va_list args);

// Scans into at most n typed values (count set to 0 unless stated): d i u x X o
// b c give integers; f e E floaters; s and T texts that point into text (not
// copied, not terminated) with their length in count; V reads a quoted text, a
// number starting with a sign or digit (integer or floater), or the word null
// in any case (kVarNull). Returns the number of values stored before the first
// element that failed, n when all n were stored.
COREKIT_EXPORT unsigned SscanfV(const char16_t *text, const char16_t *fmt, XVarMeter *v,
                                unsigned n);
