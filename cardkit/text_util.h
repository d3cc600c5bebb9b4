#pragma once
// UTF-16 / UTF-8 conversion and the path rules of the control: scripts may
// separate folders with '\' or '/', files are joined with exactly one '/'.
#include <string>
#include <string_view>

#include "cardkit/cardkit_export.h"

namespace cardkit {

// Unpaired surrogates become U+FFFD.
CARDKIT_EXPORT std::string ToUtf8(std::u16string_view text);
// Invalid sequences become U+FFFD.
CARDKIT_EXPORT std::u16string FromUtf8(std::string_view text);

// ASCII-only upper-casing.
CARDKIT_EXPORT std::u16string AsciiUpper(std::u16string_view text);
CARDKIT_EXPORT bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

// Replaces every '\' by '/'.
CARDKIT_EXPORT std::string NativePath(std::u16string_view path);
// Joins a folder and a file name with exactly one separator.
CARDKIT_EXPORT std::string JoinPath(const std::string &folder, const std::string &name);

} // namespace cardkit
