#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "cardkit/cardkit_export.h"

namespace cardkit {

// Standard Base64 (RFC 4648 alphabet, '=' padding, no line breaks).
CARDKIT_EXPORT std::string EncodeBase64(const uint8_t *data, size_t size);

} // namespace cardkit
