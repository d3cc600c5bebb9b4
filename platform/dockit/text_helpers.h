#pragma once
// Small text helpers used by the style reader, the folders and the web item.

#include <cstdint>

#include "platform/dockit/dockit_export.h"

class XString;

// Length of `word` when `text` begins with it, ASCII case ignored; 0 otherwise and
// for a null or empty word. Narrow texts are compared byte by byte.
DOCKIT_EXPORT int MatchMarker(const char *text, const char *word);
DOCKIT_EXPORT int MatchMarker(const char16_t *text, const char16_t *word);

// Position (from 1) of `word` in the comma-separated `list`, 0 when it is not listed.
// Blanks around entries are ignored; nocase non-zero ignores ASCII case. An empty
// word matches an empty entry only.
DOCKIT_EXPORT int StrCompose(const char *word, const char *list, int nocase);
DOCKIT_EXPORT int StrCompose(const char16_t *word, const char16_t *list, int nocase);

// Appends `text` (length units, or up to its terminator when length < 0) to out in
// the form that may stand between the quotes of a script string literal: quotes,
// backslashes, control characters, U+2028, U+2029, unpaired surrogates and `<`, `>`
// (so no "</script>" can close a page's script block) are written as escapes.
// Returns the units appended. The caller adds the surrounding quotes.
DOCKIT_EXPORT uint32_t StrEncode(XString *out, const char16_t *text, int length = -1);
