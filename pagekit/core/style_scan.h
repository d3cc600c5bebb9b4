#pragma once
// Private readers of the style language: a bounded cursor over one declaration value
// and the value parsers every key shares (numbers, lengths, strings, keywords).
// Every reader either consumes what it read and returns true, or leaves the cursor
// where it was and returns false.

#include <cstdint>

struct StyleCursor
{
    const char *p;   // next byte
    const char *end; // the byte that ended the value (';', '}' or the terminating zero)
    bool atTextEnd;  // end is the terminating zero of the whole text

    bool AtEnd() const { return p >= end; }
    char Peek() const { return p < end ? *p : '\0'; }
};

inline bool IsStyleBlank(char c)
{
    return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32;
}

void SkipStyleBlanks(StyleCursor &c);

// Length of the keyword when the text at c starts with it, ASCII case ignored, else 0.
// A keyword must end at a byte that cannot continue a word (letter, digit, '-', '_').
unsigned MatchStyleWord(const StyleCursor &c, const char *word);
// Index of the first matching word of the list (consumed), or -1.
int ReadStyleWord(StyleCursor &c, const char *const *words, int count);
// Unit matching: the unit must follow directly, its end need not be a word boundary.
unsigned MatchStyleUnit(const StyleCursor &c, const char *unit);

// A decimal number: optional sign, digits with an optional point and fraction (at least
// one digit). withExponent also reads an exponent (e, optional sign, digits).
bool ReadStyleNumber(StyleCursor &c, double *value, bool withExponent);
// True when the text at c looks like the start of a number (digit, sign or point).
bool LooksLikeNumber(const StyleCursor &c);

// A number followed directly by "px", "pt" (/0.75), "em" or "rem" (x16), or by nothing
// when a blank or the end of the whole text follows; rounded to nearest.
// The result must lie within [lo, hi] or the length is refused.
bool ReadPixelLength(StyleCursor &c, int64_t lo, int64_t hi, int64_t *value);
// Encoded length: number x 1000 rounded, unit in bits 28-31; numbers above 65536 and
// negative numbers are refused.
bool ReadEncodedLength(StyleCursor &c, uint32_t *value);

// A colour through the painting library's reader.
bool ReadStyleColor(StyleCursor &c, uint32_t *color);

// A quoted or bare string, cut to limit - 1 bytes on a UTF-8 character boundary and
// converted to a new UTF-16 string (corekit heap). An empty string gives null with true.
bool ReadStyleString(StyleCursor &c, unsigned limit, char16_t **out);
