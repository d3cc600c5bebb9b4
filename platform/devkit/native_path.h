#pragma once
// Conversion between the system's UTF-16 path text and the UTF-8 paths of the
// operating system. Both `\` and `/` separate folders in the UTF-16 form.

#include <cstdint>
#include <string>

#include "platform/devkit/devkit_export.h"

namespace devkit {

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD. Null gives "".
DEVKIT_EXPORT std::string Utf16ToUtf8(const char16_t *text, size_t length);
DEVKIT_EXPORT std::string Utf16ToUtf8(const char16_t *text);

// UTF-8 to UTF-16; a malformed or overlong sequence becomes U+FFFD per bad byte.
DEVKIT_EXPORT std::u16string Utf8ToUtf16(const char *text, size_t length);

// The operating system's form of a path: UTF-8 with every `\` turned into `/`.
DEVKIT_EXPORT std::string ToNativePath(const char16_t *path);

// Copies `text` into buf (capacity `cap` units, terminator included), cut to fit.
// Returns the units copied without the terminator; 0 when cap is 0.
DEVKIT_EXPORT uint32_t CopyToBuffer(const std::u16string &text, char16_t *buf, uint32_t cap);

} // namespace devkit
