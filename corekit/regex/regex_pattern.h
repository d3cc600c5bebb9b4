#pragma once
// Rewrites a pattern of the script grammar into the engine's own syntax (internal to
// corekit's regular-expression functions).

#include <string>

// Fills out with the engine form of pattern (len units). False when pattern uses a construct
// that the script grammar rejects but the engine would accept (possessive or doubled
// quantifiers, group forms other than (?: (?= (?! (?<= (?<! and (?<name>).
// Wide patterns are UTF-16 units, narrow ones code points decoded from UTF-8.
bool TranslatePattern(const char16_t *pattern, size_t len, std::u16string *out);
bool TranslatePattern(const char32_t *pattern, size_t len, std::u32string *out);
