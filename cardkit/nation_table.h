#pragma once
#include <string_view>

#include "cardkit/cardkit_export.h"

namespace cardkit {

// Nationality name of a card's nation code: 1-56 in the order of the
// national nationality code list, 94-99 the additional codes; any other
// code gives an empty name.
CARDKIT_EXPORT std::u16string_view NationName(int code);

} // namespace cardkit
