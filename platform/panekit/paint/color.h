#pragma once
// Colour text of the painting library. Colour values are 0x00BBGGRR; 0xFFFFFFFF is
// the unset colour.
//
// Accepted forms (ASCII case ignored): "#rgb", "#rrggbb", "rgb(r, g, b)" with decimal
// integers (clamped to 0...255, blanks allowed around them), the CSS named colours, and
// "transparent" and "none", which both give the unset colour. A hash or a name must not
// run on into a letter, digit, '-' or '_'.

#include <cstdint>

#include "platform/panekit/panekit_export.h"

constexpr uint32_t kColorUnset = 0xFFFFFFFF;
// Characters FormatColor writes at most, terminator included.
constexpr unsigned kColorTextMax = 8;

// Reads a colour at the very start of text. Returns the characters read and writes
// *color, or returns 0 and leaves *color alone when the text starts with no colour.
PANEKIT_EXPORT int ParseColor(const char *text, uint32_t *color);
PANEKIT_EXPORT int ParseColor(const char16_t *text, uint32_t *color);

// Writes "#rrggbb" (lower-case digits, from the low 24 bits) or "none" for the unset
// colour into buf (kColorTextMax characters), terminated; returns the length.
PANEKIT_EXPORT int FormatColor(char *buf, uint32_t color);
PANEKIT_EXPORT int FormatColor(char16_t *buf, uint32_t color);
