#pragma once
// Regular expressions in the ECMAScript grammar, on wide (UTF-16) and narrow (UTF-8) text.
//
// Patterns follow the grammar of script regular expressions without flags other than
// case-insensitivity: \d \w \s \b, classes, lazy quantifiers, groups, named groups,
// lookahead and fixed-length lookbehind, back references, \xhh and \uhhhh escapes. A letter
// escape the grammar does not define stands for the letter itself. Case-insensitive
// matching folds ASCII letters only, in both twins. \s and \S, inside a class or outside,
// are the grammar's white space and line terminators (U+00A0, U+3000, U+FEFF ...). Wide
// text is matched unit by unit (a surrogate pair is two characters); narrow text is UTF-8
// matched code point by code point, with offsets in bytes, and an invalid sequence in it
// is matched by nothing (no match spans one). Texts end at their first zero unit. Groups inside a
// repeated group differ from script engines in what they capture: a group keeps its value from an
// earlier iteration, and a last iteration that matches empty counts (so (a*)*b on aaab captures the
// empty text before b).
//
// Every function fails (0, null, or an unchanged output) when the pattern does not compile
// or when matching exceeds the engine's step, depth or memory limits, so a very long text or
// a pathological pattern returns a failure instead of exhausting the stack or the clock.

#include <cstdint>

#include "corekit/corekit_export.h"

class XString;
class XByteBuffer;

// Bit 0 of the options word: case-insensitive matching.
constexpr uint32_t kRegexNoCase = 1;
// Offset written for a group that did not take part in the match.
constexpr unsigned int kRegexUnset = 0xFFFFFFFFu;

struct pcre2_real_code_32;
struct pcre2_real_code_16;

// One pattern compiled once for narrow text, wide text, or both.
class COREKIT_EXPORT XRegexHelper
{
public:
    XRegexHelper() = default;
    XRegexHelper(const XRegexHelper &) = delete;
    XRegexHelper &operator=(const XRegexHelper &) = delete;
    virtual ~XRegexHelper();

    // Compiles pattern for the text width of its argument, replacing an earlier pattern of
    // that width; 0 (and none of that width kept) when the pattern is invalid or null.
    int Compile(const char *pattern, uint32_t options);
    int Compile(const char16_t *pattern, uint32_t options);

    const pcre2_real_code_32 *GetNarrow() const { return m_narrow; }
    const pcre2_real_code_16 *GetWide() const { return m_wide; }

private:
    void Reset();

    pcre2_real_code_32 *m_narrow = nullptr;
    pcre2_real_code_16 *m_wide = nullptr;
};

// 1 when the whole text matches pattern, else 0.
COREKIT_EXPORT int RegexMatch(const char16_t *pattern, uint32_t options, const char16_t *text);
// First match of pattern in text: writes the start and end offsets (in characters) of the
// whole match and then of each group in order (kRegexUnset for a group that did not take
// part) and returns the number of offsets written; 0 when there is no match. out needs room
// for two offsets per group plus two.
COREKIT_EXPORT unsigned int RegexSearch(const char16_t *pattern, uint32_t options,
                                        const char16_t *text, unsigned int *out);
// out = text with every match replaced by format, where $& is the match, $1 ... $99 a group
// (empty when it did not take part), $` and $' the text before and after the match and $$
// a dollar sign; any other $ stands for itself. After an empty match the search resumes one
// character further on. 1, or 0 with out unchanged.
COREKIT_EXPORT int RegexReplace(const char16_t *pattern, uint32_t options, const char16_t *text,
                                const char16_t *format, XString *out);

// Compiles pattern once; null when it is invalid. Release with RegexRelease.
COREKIT_EXPORT XRegexHelper *RegexMalloc(const char *pattern, uint32_t options);
COREKIT_EXPORT XRegexHelper *RegexMalloc(const char16_t *pattern, uint32_t options);
// Destroys r; null is ignored.
COREKIT_EXPORT void RegexRelease(XRegexHelper *r);

// Whole-text match with the expression of the text's width; 0 when r has none.
COREKIT_EXPORT int RegexMatch(const XRegexHelper *r, const char *text);
COREKIT_EXPORT int RegexMatch(const XRegexHelper *r, const char16_t *text);
// First match: out (when given) receives its start and end offsets; 1 or 0.
COREKIT_EXPORT int RegexSearch(const XRegexHelper *r, const char *text, unsigned int *out);
COREKIT_EXPORT int RegexSearch(const XRegexHelper *r, const char16_t *text, unsigned int *out);
// Replace every match as the pattern form of RegexReplace does; 1, or 0 with out unchanged.
COREKIT_EXPORT int RegexReplace(const XRegexHelper *r, const char16_t *text, const char16_t *format,
                                XString *out);
COREKIT_EXPORT int RegexReplace(const XRegexHelper *r, const char *text, const char *format,
                                XByteBuffer *out);
