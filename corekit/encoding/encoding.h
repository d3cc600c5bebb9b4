#pragma once
// Conversions between UTF-16 and the byte encodings used at the system's edges, and
// hexadecimal text coding.
//
// Encoding selector (first argument of CStrToWStr, WStrToCStr, StrTransfer and every
// codepage argument): 0 the process-wide ANSI code page (CP936 unless changed with
// SetAnsiCodePage; characters it cannot map become '?'), 1 UTF-8, 2 UTF-16LE,
// 3 UTF-16BE, 4 Latin-1 (characters of 256 and above are dropped). Any other value
// converts nothing (result 0).
//
// UTF-8: a valid surrogate pair is one four-byte sequence; a lone surrogate is three
// bytes of its own. The decoder accepts three-byte surrogates as older files hold them,
// turns four-byte sequences into surrogate pairs and consumes five- and six-byte
// sequences without producing a character.

#include <cstdint>

#include "corekit/corekit_export.h"

class XMemoHelper;

// Name (as iconv knows it) of the code page behind selector 0; "CP936" by default.
// Returns 0 and keeps the old setting when iconv does not know the name.
COREKIT_EXPORT int SetAnsiCodePage(const char *name);
COREKIT_EXPORT const char *GetAnsiCodePage();

// len < 0: the whole string with its terminator. 1 when the bytes form complete UTF-8
// sequences (pure ASCII included); 0 on a byte that cannot start a sequence, a missing
// continuation byte, or a sequence cut off at the end.
COREKIT_EXPORT int IsUTF8Mode(const char *s, int len);
// The one to three UTF-8 bytes of the single unit ch (no terminator); returns their number.
COREKIT_EXPORT unsigned GetUTF8Char(char16_t ch, char *out);

// UTF-8 to UTF-16. len < 0: the whole string with its terminator. out null: the units
// needed (0 when the text is not valid UTF-8). Otherwise decodes into at most cap units,
// a terminator following when room remains (not counted); invalid or incomplete input
// writes an empty string and returns 0.
COREKIT_EXPORT unsigned UStrToWStr(const char *s, int len, char16_t *out, uint32_t cap);
// Decodes a piece of a longer stream: len bytes, no terminator. *pending receives the
// continuation bytes still expected by a sequence cut at the end of the piece (the part
// already seen is dropped; the caller resumes at that sequence's lead byte). Invalid
// input returns 0. out needs room for one unit per input byte; cap is not checked.
COREKIT_EXPORT unsigned UStrToWStr(const char *s, uint32_t len, char16_t *out, uint32_t cap,
                                   uint32_t *pending);
// UTF-16 to UTF-8. n < 0: the whole string with its terminator. out null: the bytes
// needed. Otherwise encodes until the next character does not fit in cap, a terminator
// following when room remains (not counted); returns the bytes written.
COREKIT_EXPORT unsigned WStrToUStr(const char16_t *s, int n, char *out, uint32_t cap);

// Selector 0 conversions, same conventions as UStrToWStr and WStrToUStr.
COREKIT_EXPORT unsigned AStrToWStr(const char *s, int len, char16_t *out, uint32_t cap);
COREKIT_EXPORT unsigned WStrToAStr(const char16_t *s, int n, char *out, uint32_t cap);

// Bytes in encoding sel to UTF-16. out non-null: cap = 0 returns 0, else out[0] = 0 is
// written first. s null returns 1. len < 0: the whole input up to and including its
// terminator (a 16-bit zero for selectors 2 and 3). out null: the units needed.
// Returns the units written; a terminator follows when room remains (not counted).
COREKIT_EXPORT unsigned CStrToWStr(int sel, const char *s, int len, char16_t *out, uint32_t cap);
// UTF-16 to bytes in encoding sel, same conventions; selectors 2 and 3 use an even part of
// cap; selector 4 with out null gives twice the count of characters below 256 (an upper
// bound). Returns the bytes written.
COREKIT_EXPORT unsigned WStrToCStr(int sel, const char16_t *s, int n, char *out, uint32_t cap);
// Guesses the encoding: UTF-8 when IsUTF8Mode(s, len) is 1, else selector 0.
COREKIT_EXPORT unsigned CStrToWStr(const char *s, int len, char16_t *out, uint32_t cap);

// n characters of s (n < 0: the whole string, terminator excluded) in encoding sel, in new
// arena memory, terminated (two zero bytes for selectors 2 and 3); *outLen (when given)
// receives the byte count without terminator. s null gives null.
COREKIT_EXPORT const char *StrTransfer(int sel, const char16_t *s, int n, XMemoHelper *m,
                                       uint32_t *outLen);
// n bytes (n < 0: the whole string) in encoding sel to a terminated wide string in the
// arena; *outLen receives the character count.
COREKIT_EXPORT const char16_t *StrTransfer(int sel, const char *s, int n, XMemoHelper *m,
                                           uint32_t *outLen);

// s (terminator included) converted into encoding codepage in a new heap string (release
// with MemFree); null s, or a conversion that yields no bytes, gives null.
COREKIT_EXPORT char *StrMalloc(const char16_t *s, int codepage);
// s (terminator included) converted from encoding codepage into a new wide string; null s
// gives null; a conversion that yields nothing gives a new empty string.
COREKIT_EXPORT char16_t *StrMalloc(const char *s, int codepage);

// Two upper-case hexadecimal digits per byte, high nibble first, then a terminator;
// returns 2n.
COREKIT_EXPORT unsigned HexEncode(char *out, const void *data, unsigned n);
COREKIT_EXPORT unsigned HexEncode(char16_t *out, const void *data, unsigned n);
// len < 0: the whole string. Each pair of hexadecimal digits (either case) gives a byte;
// returns the bytes written, or 0 on a non-digit or an unpaired last digit (bytes decoded
// before stay written).
COREKIT_EXPORT unsigned HexDecode(void *out, const char *s, int len);
COREKIT_EXPORT unsigned HexDecode(void *out, const char16_t *s, int len);
