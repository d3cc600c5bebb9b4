#pragma once
// Masked values and escaped texts.
//
// A mask lists one position per unit: '$' takes a digit 0-9, '#' an ASCII letter, '%' a
// digit or a letter, '?' any character (the four placeholders); any other unit stands
// for itself. A masked value is as long as its mask, holds the fixed units where the mask
// has them, and a blank (U+0020) in every empty placeholder: "$$:$$" empty is "  :  ".
// Masks and values are zero-terminated; the functions that take a size never write past
// it.

#include "pagekit/pagekit_export.h"

// Units of a mask edit's mask, terminator not included.
constexpr unsigned kMaskMaxLength = 128;
constexpr char16_t kMaskBlank = u' ';

// True for the four placeholder units.
PAGEKIT_EXPORT bool IsMaskHolder(char16_t m);
// True when ch may stand in placeholder m; a fixed unit takes no character.
PAGEKIT_EXPORT bool MaskAccepts(char16_t m, char16_t ch);

// The empty value of mask: at most size - 1 units, always terminated when size > 0.
// Returns the units written, terminator not counted.
PAGEKIT_EXPORT unsigned GetMaskEmpty(const char16_t *mask, char16_t *out, unsigned size);
// Non-zero when every placeholder position of value is blank or past its end.
PAGEKIT_EXPORT int IsMaskEmpty(const char16_t *mask, const char16_t *value);
// The masked text of a value aligned with mask: a placeholder takes the value's unit at
// its position when it fits, else a blank; fixed positions take the mask unit; positions
// past the value's end are blank. out needs the mask's length plus one; returns the length.
PAGEKIT_EXPORT unsigned SetMaskValue(const char16_t *mask, char16_t *out, const char16_t *value);
// The same on at most count positions from the start of mask, input and out, stopping at
// the end of mask or input; out is not terminated. Returns the positions written.
PAGEKIT_EXPORT unsigned SetMaskValue(const char16_t *mask, char16_t *out, const char16_t *input,
                                     unsigned count);
// The placeholder nearest to pos: the first at or after pos (else the last before it), or
// with backwards non-zero the last at or before pos (else the first after it). 0 when the
// mask has none.
PAGEKIT_EXPORT unsigned GetMaskEntry(int backwards, const char16_t *mask, unsigned pos);
// The caret position just after the last filled placeholder before pos (blank ones
// skipped); the first placeholder when none before pos is filled.
PAGEKIT_EXPORT unsigned GetMaskEntry(const char16_t *mask, const char16_t *value, unsigned pos);

// Resolves the escapes \n, \r, \t and \\ of in; any other backslash and the unit after it
// are dropped, a lone backslash at the end too. out may be in. Returns the length written.
PAGEKIT_EXPORT unsigned DeflateBuffer(char16_t *out, const char16_t *in);
// Escapes line feed, carriage return, tab and backslash as \n, \r, \t and \\, writing at
// most size units with the terminator: an escape or a surrogate pair that does not fit
// whole ends the text. Returns the length written.
PAGEKIT_EXPORT unsigned InflateBuffer(char16_t *out, const char16_t *in, unsigned size);
