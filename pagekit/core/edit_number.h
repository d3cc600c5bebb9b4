#pragma once
// Numbers as the edits and grid cells show them: the number format word, and the
// conversions between numbers and their grouped, signed, fixed or free decimal texts.
//
// Format word: bits 0-7 decimals (formatting uses at most kNumberMaxDecimals), bits 8-15
// non-zero groups the integer digits by three with ',', bits 16-23 non-zero allows
// negative numbers, bits 24-27 the mode (kNumberMode*). Writers terminate their output
// and return its length; kNumberTextSize units hold any result.

#include <cstdint>

#include "pagekit/pagekit_export.h"

enum : uint32_t {
    kNumberModeInteger = 0, // no decimals
    kNumberModeFree = 1,    // up to the decimals, trailing zeros trimmed
    kNumberModeFixed = 2,   // exactly the decimals; the empty form is "." and zeros
    kNumberModeNumeric = 3, // exactly the decimals, normalised when an edit loses focus
};

constexpr uint32_t kNumberDecimalsMask = 0xFF;
constexpr uint32_t kNumberGroupMask = 0xFF00;
constexpr uint32_t kNumberSignMask = 0xFF0000;
constexpr unsigned kNumberModeShift = 24;
constexpr unsigned kNumberMaxDecimals = 8;
// Values beyond this magnitude are written as this magnitude.
constexpr double kNumberClamp = 1e38;
// Units of any text SetStrInteger, SetStrDouble or SetEmptyDouble writes, terminator
// included.
constexpr unsigned kNumberTextSize = 64;

inline uint32_t NumberDecimals(uint32_t format)
{
    return format & kNumberDecimalsMask;
}
inline bool NumberGrouped(uint32_t format)
{
    return (format & kNumberGroupMask) != 0;
}
inline bool NumberSigned(uint32_t format)
{
    return (format & kNumberSignMask) != 0;
}
inline uint32_t NumberMode(uint32_t format)
{
    return (format >> kNumberModeShift) & 0xF;
}

// Reads text with every ',' dropped as corekit's ToInt64 does; *out takes the value.
// Returns the length of text. A null text reads 0.
PAGEKIT_EXPORT unsigned GetStrInteger(int64_t *out, const char16_t *text);
// The decimal text of value: signed when the format allows negatives, else value read as
// unsigned; grouped when the format says so (a leading '-' stays in front).
PAGEKIT_EXPORT unsigned SetStrInteger(int64_t value, char16_t *out, uint32_t format);
// Reads text with every ',' dropped as corekit's ToFloater does. Returns the length of text.
PAGEKIT_EXPORT unsigned GetStrDouble(double *out, const char16_t *text);
// The text of value by the mode of format, clamped to +-kNumberClamp: half a unit of the
// last place is added away from zero and the digits are then taken (so 2.5 gives "3" in
// mode 0 and 1.005 gives "1.00" at two decimals, 1.005 being just below the tie). Mode 1
// trims trailing zeros after the point, and the point when nothing follows it. Other modes
// and NaN write an empty text.
PAGEKIT_EXPORT unsigned SetStrDouble(double value, char16_t *out, uint32_t format);
// Mode 2: "." and one '0' per decimal; other modes an empty text.
PAGEKIT_EXPORT unsigned SetEmptyDouble(char16_t *out, uint32_t format);

// Regroups a number being typed: drops every ',' and puts one after every three digits of
// the integer part, counted from its end (the part before '.'); *caret (may be null) keeps
// following the character it followed. The text may grow: capacity is the size of its
// buffer, terminator included; when not every separator fits, none is put in. Returns the
// new length.
PAGEKIT_EXPORT unsigned GetPartNumber(char16_t *text, unsigned capacity, unsigned *caret);
// The same when the buffer has room for a separator after every three digits.
PAGEKIT_EXPORT unsigned GetPartNumber(char16_t *text, unsigned *caret);
