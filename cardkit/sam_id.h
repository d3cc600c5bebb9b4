#pragma once
// The reader's 16-byte SAM identifier: two 16-bit and three 32-bit numbers in
// the reader's (little-endian) byte order, shown as "%.2d.%.2d-%.8u-%.10u-%.10u".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "cardkit/cardkit_export.h"

namespace cardkit {

constexpr size_t kSamIdBytes = 16;

// Formats the data of a 12 FF response; anything but 16 bytes gives nothing.
CARDKIT_EXPORT std::optional<std::string> FormatSamId(const uint8_t *data, size_t size);

// The reader id shown to scripts: the first ten-digit group of the SAM text
// (the third '-'-separated group), empty when the text has no such group.
CARDKIT_EXPORT std::string CardReaderIdOf(const std::string &sam_text);

} // namespace cardkit
