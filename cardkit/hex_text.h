#pragma once
// Hex text of the IC-card methods: two digits per byte, 0-9, A-F and a-f in,
// upper case out.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cardkit/cardkit_export.h"
#include "cardkit/sdt_frame.h"

namespace cardkit {

// Parses exactly `bytes` bytes from 2*bytes digits; any other length or any
// other character gives nothing.
CARDKIT_EXPORT std::optional<Bytes> ParseHex(std::u16string_view text, size_t bytes);

CARDKIT_EXPORT std::string FormatHex(const uint8_t *data, size_t size);

} // namespace cardkit
