#pragma once
// Zero-terminated string functions in narrow (8-bit) and wide (UTF-16 unit) twins.
// "Blank" is a character code from 1 to 32 (narrow bytes 0x80-0xFF are never blank);
// case folding maps only the ASCII letters A-Z to a-z. Comparisons treat null
// arguments alike: both null give 0, a null a gives -1, a null b gives 1.

#include <cstdint>

#include "corekit/corekit_export.h"

// Characters before the terminator; s must not be null.
COREKIT_EXPORT unsigned Strlen(const char *s);
COREKIT_EXPORT unsigned Strlen(const char16_t *s);

// Copies src with its terminator; returns dst.
COREKIT_EXPORT char *Strcpy(char *dst, const char *src);
COREKIT_EXPORT char16_t *Strcpy(char16_t *dst, const char16_t *src);
// Copies exactly n characters, writes no terminator; returns dst.
COREKIT_EXPORT char16_t *Strcpy(char16_t *dst, const char16_t *src, unsigned n);
// Appends src to dst; returns dst.
COREKIT_EXPORT char *Strcat(char *dst, const char *src);
COREKIT_EXPORT char16_t *Strcat(char16_t *dst, const char16_t *src);
// Copies src with its terminator and returns the length of src: dst + result is the new end.
COREKIT_EXPORT unsigned StrMerge(char *dst, const char *src);
COREKIT_EXPORT unsigned StrMerge(char16_t *dst, const char16_t *src);
// Writes n copies of ch, no terminator; returns dst.
COREKIT_EXPORT char16_t *Strset(char16_t *dst, char16_t ch, unsigned n);
// n is the capacity of dst in characters, terminator included: a shorter src is copied
// whole, a longer one as its first n-1 characters and a terminator; n = 0 writes nothing.
COREKIT_EXPORT char *Strncpy(char *dst, const char *src, unsigned n);
COREKIT_EXPORT char16_t *Strncpy(char16_t *dst, const char16_t *src, unsigned n);
// Moves n characters; the areas may overlap. Returns dst.
COREKIT_EXPORT char16_t *Strmove(char16_t *dst, const char16_t *src, unsigned n);

// Narrow: bytes as unsigned, -1, 0 or 1. Wide: difference of the first differing units.
COREKIT_EXPORT int Strcmp(const char *a, const char *b);
COREKIT_EXPORT int Strcmp(const char16_t *a, const char16_t *b);
// nocase non-zero: as Stricmp, else as Strcmp.
COREKIT_EXPORT int Strcmp(const char *a, const char *b, int nocase);
COREKIT_EXPORT int Strcmp(const char16_t *a, const char16_t *b, int nocase);
// Difference of the folded characters at the first difference (narrow: signed 8-bit).
COREKIT_EXPORT int Stricmp(const char *a, const char *b);
COREKIT_EXPORT int Stricmp(const char16_t *a, const char16_t *b);
// At most n characters, stopping at a terminator.
COREKIT_EXPORT int Strncmp(const char *a, const char *b, unsigned n);
COREKIT_EXPORT int Strncmp(const char16_t *a, const char16_t *b, unsigned n);
COREKIT_EXPORT int Strnicmp(const char *a, const char *b, unsigned n);
COREKIT_EXPORT int Strnicmp(const char16_t *a, const char16_t *b, unsigned n);
// a is a counted string of n characters (need not be terminated), b terminated. All n
// characters are compared; at the first difference a[i] - b[i] (narrow: signed 8-bit);
// when all agree, -1 if b goes on, else 0.
COREKIT_EXPORT int Strncmp(const char *a, unsigned n, const char *b);
COREKIT_EXPORT int Strncmp(const char16_t *a, unsigned n, const char16_t *b);
COREKIT_EXPORT int Strnicmp(const char *a, unsigned n, const char *b);
COREKIT_EXPORT int Strnicmp(const char16_t *a, unsigned n, const char16_t *b);

// Blanks removed at both ends, the start or the end, in place; returns the new length.
COREKIT_EXPORT unsigned StrTrim(char *s);
COREKIT_EXPORT unsigned StrTrim(char16_t *s);
COREKIT_EXPORT unsigned StrLTrim(char *s);
COREKIT_EXPORT unsigned StrLTrim(char16_t *s);
COREKIT_EXPORT unsigned StrRTrim(char *s);
COREKIT_EXPORT unsigned StrRTrim(char16_t *s);
// ASCII case change and reversal in place; return s.
COREKIT_EXPORT char *StrUpper(char *s);
COREKIT_EXPORT char16_t *StrUpper(char16_t *s);
COREKIT_EXPORT char *StrLower(char *s);
COREKIT_EXPORT char16_t *StrLower(char16_t *s);
COREKIT_EXPORT char *StrReverse(char *s);
COREKIT_EXPORT char16_t *StrReverse(char16_t *s);

// First or last occurrence of ch, or null; ch = 0 finds the terminator.
COREKIT_EXPORT const char *Strchr(const char *s, int ch);
COREKIT_EXPORT char *Strchr(char *s, int ch);
COREKIT_EXPORT const char16_t *Strchr(const char16_t *s, int ch);
COREKIT_EXPORT char16_t *Strchr(char16_t *s, int ch);
COREKIT_EXPORT const char *Strrchr(const char *s, int ch);
COREKIT_EXPORT char *Strrchr(char *s, int ch);
COREKIT_EXPORT const char16_t *Strrchr(const char16_t *s, int ch);
COREKIT_EXPORT char16_t *Strrchr(char16_t *s, int ch);
// n < 0: as Strchr. Else the first ch among the first n characters (a zero inside them
// is an ordinary character), or null.
COREKIT_EXPORT const char16_t *FindChar(const char16_t *s, int n, int ch);
COREKIT_EXPORT char16_t *FindChar(char16_t *s, int n, int ch);

// First occurrence of t in s, or null; an empty t gives s.
COREKIT_EXPORT const char *Strstr(const char *s, const char *t);
COREKIT_EXPORT char *Strstr(char *s, const char *t);
COREKIT_EXPORT const char16_t *Strstr(const char16_t *s, const char16_t *t);
COREKIT_EXPORT char16_t *Strstr(char16_t *s, const char16_t *t);
// As Strstr with case folding, except that an empty s gives null even for an empty t.
COREKIT_EXPORT const char *Stristr(const char *s, const char *t);
COREKIT_EXPORT char *Stristr(char *s, const char *t);
COREKIT_EXPORT const char16_t *Stristr(const char16_t *s, const char16_t *t);
COREKIT_EXPORT char16_t *Stristr(char16_t *s, const char16_t *t);
// First occurrence in s of the first n characters of t; n = 0 gives s.
COREKIT_EXPORT const char16_t *Strstr(const char16_t *s, const char16_t *t, unsigned n);
COREKIT_EXPORT char16_t *Strstr(char16_t *s, const char16_t *t, unsigned n);
// Last occurrence of t lying wholly within the first n characters of s; an empty t gives
// s + n; none gives null. Strristr folds case.
COREKIT_EXPORT const char16_t *Strrstr(const char16_t *s, unsigned n, const char16_t *t);
COREKIT_EXPORT char16_t *Strrstr(char16_t *s, unsigned n, const char16_t *t);
COREKIT_EXPORT const char16_t *Strristr(const char16_t *s, unsigned n, const char16_t *t);
COREKIT_EXPORT char16_t *Strristr(char16_t *s, unsigned n, const char16_t *t);

// 1 when text matches pattern, else 0; a null argument gives 0. Pattern elements:
// '*' any run, '?' any one character, '#' an ASCII letter, '$' a digit, "[lo,hi]" one
// character in the range (narrow: signed 8-bit order), "[set]" one of the set's
// characters, '\' before one of * ? $ # [ that character literally (before anything
// else: a backslash). nocase > 0 lets an ASCII letter match its other case (never
// inside sets and ranges).
COREKIT_EXPORT int LikeCompare(const char *text, const char *pattern, int nocase);
COREKIT_EXPORT int LikeCompare(const char16_t *text, const char16_t *pattern, int nocase);
